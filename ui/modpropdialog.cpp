#include "ui/modpropdialog.h"

#include <gdk/gdkkeysyms.h>

#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "mod/mod.h"
#include "path/platform.h"
#include "ui/editchangedialog.h"
#include "ui/lookup.h"
#include "ui/modal.h"

namespace velmora {

ModPropDialog::Columns::Columns()
{
    add(file_column);
    add(type_column);
    add(change_column);
}

ModPropDialog::ModPropDialog(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Window(cobject)
    , name_entry(lookup_widget<Gtk::Entry>(xml, "mod_prop.name"))
    , author_entry(lookup_widget<Gtk::Entry>(xml, "mod_prop.author"))
    , description_entry(lookup_widget<Gtk::Entry>(xml, "mod_prop.description"))
    , version_entry(lookup_widget<Gtk::Entry>(xml, "mod_prop.version"))
    , file_list(lookup_widget<Gtk::TreeView>(xml, "mod_prop.file_list"))
    , store(Gtk::ListStore::create(columns))
{
    file_list->set_model(store);
    auto* file = Gtk::manage(new Gtk::TreeViewColumn("File", columns.file_column));
    file->set_expand(true);
    file->set_resizable(true);
    file_list->append_column(*file);
    file_list->append_column(*Gtk::manage(new Gtk::TreeViewColumn("Type", columns.type_column)));
    file_list->get_selection()->set_mode(Gtk::SELECTION_SINGLE);
    file_list->signal_row_activated().connect(sigc::mem_fun(*this, &ModPropDialog::file_list_row_activated));

    lookup_widget<Gtk::Button>(xml, "mod_prop.edit_change")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &ModPropDialog::edit_chg_clicked));
    lookup_widget<Gtk::Button>(xml, "mod_prop.close")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &ModPropDialog::close_clicked));
    lookup_widget<Gtk::Button>(xml, "mod_prop.save")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &ModPropDialog::save_clicked));
}

void ModPropDialog::set_mod(Mod* m)
{
    // Saving a mod whose changes were never read would write it back without them.
    if (!m->loaded && m->load(m->path) != 0) {
        std::string file = platform::native(m->path);
        throw GenericError(
            format("Cannot open mod '%S': its file \"%S\" no longer exists.", &m->name, &file));
    }
    mod = m;
    name_entry->set_text(mod->name);
    author_entry->set_text(mod->author);
    description_entry->set_text(mod->description);
    version_entry->set_text(mod->version);
    store->clear();
    for (Change& c : mod->changes) {
        Gtk::TreeModel::Row row = *store->append();
        row[columns.file_column] = platform::native(c.file);
        row[columns.type_column] = format("%O", new fmtobject<Change::Type>(&c.type));
        row[columns.change_column] = &c;
    }
    set_title(format("Properties of %S", &mod->name));
}

void ModPropDialog::save_clicked()
{
    if (!mod)
        return;
    mod->name = name_entry->get_text();
    mod->author = author_entry->get_text();
    mod->description = description_entry->get_text();
    mod->version = version_entry->get_text();
    try {
        mod->save(mod->path);
    } catch (const std::exception& e) {
        // The edits stay in the window and in memory; the user may try again.
        show_error(this, e.what());
        return;
    }
    set_title(format("Properties of %S", &mod->name));
    if (orrindel)
        orrindel->signal_mods_changed.emit();
}

void ModPropDialog::edit_chg_clicked()
{
    Gtk::TreeModel::iterator it = file_list->get_selection()->get_selected();
    if (!it) {
        show_error(this, "No file selected");
        return;
    }
    try {
        editor->set_change((*it)[columns.change_column]);
    } catch (const GenericError& e) {
        show_error(this, e.what());
        return;
    }
    editor->set_transient_for(*this);
    run_window(*editor);
}

void ModPropDialog::close_clicked() { hide(); }

bool ModPropDialog::on_delete_event(GdkEventAny*)
{
    close_clicked();
    return true;
}

bool ModPropDialog::on_key_press_event(GdkEventKey* event)
{
    if (event->keyval == GDK_KEY_Escape) {
        close_clicked();
        return true;
    }
    return Gtk::Window::on_key_press_event(event);
}

void ModPropDialog::file_list_row_activated(const Gtk::TreeModel::Path&, Gtk::TreeViewColumn*)
{
    edit_chg_clicked();
}

} // namespace velmora
