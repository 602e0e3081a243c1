#include "ui/createmoddialog.h"

#include <gtkmm/filechooserdialog.h>
#include <gtkmm/stock.h>
#include <string>

#include "core/ini.h"
#include "path/platform.h"
#include "ui/lookup.h"
#include "ui/modal.h"

namespace velmora {

CreateModDialog::CreateModDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Dialog(cobject)
    , dir_entry(lookup_widget<Gtk::Entry>(xml, "create_mod.dir"))
    , name_entry(lookup_widget<Gtk::Entry>(xml, "create_mod.name"))
    , description_entry(lookup_widget<Gtk::Entry>(xml, "create_mod.description"))
    , author_entry(lookup_widget<Gtk::Entry>(xml, "create_mod.author"))
    , version_entry(lookup_widget<Gtk::Entry>(xml, "create_mod.version"))
    , report_check(lookup_widget<Gtk::CheckButton>(xml, "create_mod.report"))
    , intro_label(lookup_widget<Gtk::Label>(xml, "create_mod_intro"))
    , dir_label(lookup_widget<Gtk::Label>(xml, "create_mod_dir_label"))
    , ok_label(lookup_widget<Gtk::Label>(xml, "create_mod.ok_label"))
    , dir_browse(lookup_widget<Gtk::Button>(xml, "create_mod.dir_browse"))
    , folder_title(get_title())
    , folder_intro(intro_label->get_label())
    , folder_label(dir_label->get_label())
    , folder_ok(ok_label->get_label())
{
    dir_browse->signal_clicked().connect(sigc::mem_fun(*this, &CreateModDialog::dir_browse_clicked));
}

void CreateModDialog::set_archive_mode(bool archive)
{
    set_title(archive ? "Import Mod Archive" : folder_title);
    intro_label->set_label(archive
            ? "Velmora unpacks the archive, compares the mod's files with the game's own files and records "
              "every difference as a change of a new mod. A description left empty is taken from the "
              "archive's readme."
            : folder_intro);
    dir_label->set_label(archive ? "_Archive:" : folder_label);
    ok_label->set_label(archive ? "_Import" : folder_ok);
    dir_entry->set_editable(!archive);
    dir_browse->set_visible(!archive);
}

void CreateModDialog::clear()
{
    dir_entry->set_text("");
    name_entry->set_text("");
    description_entry->set_text("");
    author_entry->set_text("");
    version_entry->set_text("");
    report_check->set_active(false);
    set_archive_mode(false);
}

void CreateModDialog::dir_browse_clicked()
{
    Gtk::FileChooserDialog chooser("Select Mods directory", Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
    chooser.set_transient_for(*this);
    Path start = dir_entry->get_text().empty() ? start_dir : Path(dir_entry->get_text());
    if (!start.empty())
        chooser.set_current_folder(platform::native(start));
    chooser.add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
    chooser.add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
    chooser.set_default_response(Gtk::RESPONSE_OK);
    if (run_modal(chooser) != Gtk::RESPONSE_OK)
        return;
    // The chosen folder: the one selected in the list, or the one shown when none is.
    std::string chosen = chooser.get_filename();
    if (chosen.empty())
        chosen = chooser.get_current_folder();
    if (chosen.empty())
        return;
    Path folder(chosen);
    dir_entry->set_text(platform::native(folder));
    set_header(read_mod_ini_folder(folder));
}

void CreateModDialog::read_inifile(const Path& path) { set_header(read_mod_ini_file(path)); }

void CreateModDialog::set_header(const ModIni& ini)
{
    if (ini.name)
        name_entry->set_text(*ini.name);
    if (ini.description)
        description_entry->set_text(*ini.description);
}

bool CreateModDialog::on_delete_event(GdkEventAny*) { return true; }

} // namespace velmora
