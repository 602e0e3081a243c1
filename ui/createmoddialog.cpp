#include "ui/createmoddialog.h"

#include <fstream>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/stock.h>
#include <string>

#include "mod/xml_text.h"
#include "path/fs.h"
#include "path/platform.h"
#include "ui/lookup.h"
#include "ui/modal.h"

namespace velmora {

namespace {

std::string trim_spaces_right(const std::string& s)
{
    std::string::size_type end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string trim_spaces_left(const std::string& s)
{
    std::string::size_type start = s.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : s.substr(start);
}

bool is_ini_name(const std::string& name)
{
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".ini") == 0;
}

} // namespace

CreateModDialog::CreateModDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Dialog(cobject)
    , dir_entry(lookup_widget<Gtk::Entry>(xml, "create_mod.dir"))
    , name_entry(lookup_widget<Gtk::Entry>(xml, "create_mod.name"))
    , description_entry(lookup_widget<Gtk::Entry>(xml, "create_mod.description"))
    , author_entry(lookup_widget<Gtk::Entry>(xml, "create_mod.author"))
    , version_entry(lookup_widget<Gtk::Entry>(xml, "create_mod.version"))
    , report_check(lookup_widget<Gtk::CheckButton>(xml, "create_mod.report"))
{
    lookup_widget<Gtk::Button>(xml, "create_mod.dir_browse")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &CreateModDialog::dir_browse_clicked));
}

void CreateModDialog::clear()
{
    dir_entry->set_text("");
    name_entry->set_text("");
    description_entry->set_text("");
    author_entry->set_text("");
    version_entry->set_text("");
    report_check->set_active(false);
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
    for (const std::string& name : list_files(folder))
        if (is_ini_name(name))
            read_inifile(child_path(folder, name));
}

void CreateModDialog::read_inifile(const Path& path)
{
    std::ifstream in(platform::native(path));
    if (!in)
        return;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        std::string::size_type eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = trim_spaces_right(line.substr(0, eq));
        // Mods' INI files are usually in the game's ISO-8859-1; the entries take UTF-8.
        std::string value = to_xml_text(trim_spaces_left(line.substr(eq + 1)));
        if (key == "Name")
            name_entry->set_text(value);
        else if (key == "Description")
            description_entry->set_text(value);
    }
}

bool CreateModDialog::on_delete_event(GdkEventAny*) { return true; }

} // namespace velmora
