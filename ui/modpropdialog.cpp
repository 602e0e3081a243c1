#include "ui/modpropdialog.h"

#include <algorithm>
#include <gdk/gdkkeysyms.h>

#include "base/errors.h"
#include "base/format.h"
#include "core/build_report.h"
#include "core/orrindel.h"
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

ModPropDialog::ConflictColumns::ConflictColumns()
{
    add(other);
    add(file);
    add(winner);
}

namespace {

// Whose work stands where two mods changed one file.
std::string winner_text(const std::string& mod, const ModOverlap& o)
{
    if (o.wins != 0 && o.losses == 0)
        return mod;
    if (o.losses != 0 && o.wins == 0)
        return o.other;
    if (o.wins == 0)
        return "no conflict: merged";
    return format("%S %u, %S %u", &mod, o.wins, &o.other, o.losses);
}

} // namespace

ModPropDialog::ModPropDialog(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Window(cobject)
    , name_entry(lookup_widget<Gtk::Entry>(xml, "mod_prop.name"))
    , author_entry(lookup_widget<Gtk::Entry>(xml, "mod_prop.author"))
    , description_entry(lookup_widget<Gtk::Entry>(xml, "mod_prop.description"))
    , version_entry(lookup_widget<Gtk::Entry>(xml, "mod_prop.version"))
    , file_list(lookup_widget<Gtk::TreeView>(xml, "mod_prop.file_list"))
    , conflicts_source(lookup_widget<Gtk::Label>(xml, "mod_prop.conflicts_source"))
    , conflict_list(lookup_widget<Gtk::TreeView>(xml, "mod_prop.conflict_list"))
    , dry_run(lookup_widget<Gtk::Button>(xml, "mod_prop.dry_run"))
    , store(Gtk::ListStore::create(columns))
    , conflict_store(Gtk::ListStore::create(conflict_columns))
{
    conflict_list->set_model(conflict_store);
    for (auto [title, column] :
        {std::make_pair("Mod", &conflict_columns.other), std::make_pair("File", &conflict_columns.file),
            std::make_pair("Stands", &conflict_columns.winner)}) {
        auto* view_column = Gtk::manage(new Gtk::TreeViewColumn(title, *column));
        view_column->set_resizable(true);
        view_column->set_expand(column == &conflict_columns.file);
        conflict_list->append_column(*view_column);
    }
    dry_run->signal_clicked().connect(sigc::mem_fun(*this, &ModPropDialog::dry_run_clicked));

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
    show_last_apply();
}

void ModPropDialog::show_last_apply()
{
    conflict_store->clear();
    if (!orrindel)
        return;
    const bool enabled = orrindel->get_enabled_mods().count(mod) > 0;
    dry_run->set_sensitive(enabled);
    if (!enabled) {
        conflicts_source->set_text(format("'%S' is not enabled, so it takes part in no build.", &mod->name));
        return;
    }
    Provenance provenance;
    if (!orrindel->read_provenance(provenance)) {
        conflicts_source->set_text(
            "Nothing was applied yet. Dry Run builds the enabled mods in memory, writing "
            "nothing, and shows whose work would stand.");
        return;
    }
    if (!show_conflicts(provenance, "From the last apply"))
        conflicts_source->set_text(
            format("'%S' was not in the last apply. Dry Run shows whose work would stand now.", &mod->name));
}

bool ModPropDialog::show_conflicts(const Provenance& provenance, const std::string& source)
{
    conflict_store->clear();
    const std::vector<std::string> built = build_mods(provenance);
    if (std::find(built.begin(), built.end(), mod->name) == built.end())
        return false;
    std::vector<std::string> others;
    for (const Mod* m : orrindel->get_enabled_mods_in_order())
        if (m != mod)
            others.push_back(m->name);
    std::vector<std::string> files;
    for (const ModOverlap& o : overlaps_of(provenance, mod->name, others)) {
        Gtk::TreeModel::Row row = *conflict_store->append();
        row[conflict_columns.other] = o.other;
        row[conflict_columns.file] = platform::native(Path(o.file));
        row[conflict_columns.winner] = winner_text(mod->name, o);
        if (std::find(files.begin(), files.end(), o.file) == files.end())
            files.push_back(o.file);
    }
    if (files.empty())
        conflicts_source->set_text(
            format("%S: '%S' changes no file that another enabled mod changes.", &source, &mod->name));
    else
        conflicts_source->set_text(format("%S: '%S' shares %u %s with other enabled mods.", &source,
            &mod->name, static_cast<unsigned>(files.size()), files.size() == 1 ? "file" : "files"));
    return true;
}

void ModPropDialog::dry_run_clicked()
{
    if (!mod || !orrindel)
        return;
    BuildPreview preview;
    try {
        preview = orrindel->preview();
    } catch (const std::exception& e) {
        show_error(this, e.what());
        return;
    }
    if (!preview.unanswered.empty()) {
        conflict_store->clear();
        const unsigned n = static_cast<unsigned>(preview.unanswered.size());
        conflicts_source->set_text(
            format("A dry run cannot tell yet: %u %s no answer. Apply the mods to answer %s.", n,
                n == 1 ? "conflict has" : "conflicts have", n == 1 ? "it" : "them"));
        return;
    }
    const std::string source = "From a dry run of the enabled mods";
    if (!show_conflicts(preview.provenance, source))
        conflicts_source->set_text(
            format("%S: '%S' changes no file that another enabled mod changes.", &source, &mod->name));
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
        if (orrindel)
            orrindel->save_mod(*mod);
        else
            mod->save(mod->path);
    } catch (const std::exception& e) {
        // The edits stay in the window and in memory; the user may try again.
        show_error(this, e.what());
        return;
    }
    set_title(format("Properties of %S", &mod->name));
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
