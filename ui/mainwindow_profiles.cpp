// The main window's profiles: the chooser above the mods list, the Profile
// menu and setup files. Each command is one operation of the core.
#include <algorithm>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/stock.h>

#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "core/setup_file.h"
#include "path/platform.h"
#include "ui/lookup.h"
#include "ui/mainwindow.h"
#include "ui/modal.h"
#include "ui/profiledialog.h"

namespace velmora {

namespace {

std::string mods_text(std::size_t n) { return n == 1 ? "1 mod" : std::to_string(n) + " mods"; }

std::string setup_mod_text(const SetupMod& m)
{
    return "'" + m.name + "'" + (m.version.empty() ? std::string() : " " + m.version);
}

// What import-setup found of each mod of the setup, one line each, and
// which are missing.
std::string match_lines(const std::vector<SetupMatch>& matches, std::vector<std::string>& missing, bool& differs)
{
    std::string text;
    for (const SetupMatch& m : matches) {
        text += "\n    " + setup_mod_text(m.wanted) + ": ";
        if (!m.found) {
            text += "missing";
            missing.push_back(setup_mod_text(m.wanted));
        } else if (m.version_differs) {
            text += "version differs (here " + m.found->version + ", " + m.found->path[-1] + ")";
            differs = true;
        } else {
            text += "found (" + m.found->path[-1] + ")";
        }
    }
    return text;
}

} // namespace

void MainWindow::build_profile_widgets(const Glib::RefPtr<Gnome::Glade::Xml>& xml)
{
    profile_chooser = Gtk::manage(new Gtk::ComboBoxText());
    profile_chooser->set_tooltip_text(
        "Each profile has its own ticked mods and remembered answers; the next apply builds the one chosen here");
    lookup_widget<Gtk::Box>(xml, "main.profile_box")->pack_start(*profile_chooser, false, false);
    lookup_widget<Gtk::Label>(xml, "main.profile_label")->set_mnemonic_widget(*profile_chooser);
    profile_chooser->signal_changed().connect(sigc::mem_fun(*this, &MainWindow::profile_chosen));
    profile_chooser->show();

    fingerprint_label = Gtk::manage(new Gtk::Label());
    fingerprint_label->set_selectable(true);
    fingerprint_label->set_tooltip_text("The fingerprint of the build in the custom assets folder: friends who "
                                        "built the same files see the same code");
    statusbar->pack_end(*fingerprint_label, false, false);
}

void MainWindow::fill_profile_chooser()
{
    filling_profiles = true;
    profile_chooser->clear_items();
    for (const std::string& name : orrindel->get_profiles())
        profile_chooser->append_text(name);
    profile_chooser->set_active_text(orrindel->get_profile());
    filling_profiles = false;
}

void MainWindow::orrindel_profiles_changed()
{
    fill_profile_chooser();
    // The profile's missing mods have rows of their own: the list is rebuilt.
    orrindel_mods_changed();
}

// Profiles are written at once, as the command line writes them: another
// Velmora's save merges them in and never loses one.
void MainWindow::save_profiles()
{
    try {
        orrindel->save_config();
    } catch (const GenericError& e) {
        show_error(this, e.what());
    }
}

void MainWindow::profile_chosen()
{
    if (filling_profiles)
        return;
    const std::string name = profile_chooser->get_active_text();
    if (name.empty() || name == orrindel->get_profile())
        return;
    if (busy) {
        fill_profile_chooser();
        return;
    }
    try {
        orrindel->switch_profile(name);
    } catch (const GenericError& e) {
        fill_profile_chooser();
        show_error(this, e.what());
        return;
    }
    save_profiles();
    const std::string enabled
        = mods_text(orrindel->get_enabled_mods().size() + orrindel->get_missing_mods().size());
    show_status_message(format("Switched to the profile '%S' (%S enabled). The next apply builds it.", &name, &enabled));
}

void MainWindow::menu_new_profile_activated()
{
    if (busy)
        return;
    const std::string from = orrindel->get_profile();
    ProfileDialog dialog(*this, "New Profile",
        "A profile has its own ticked mods, remembered answers and preference; the folders are the same for "
        "every profile. Name the new profile:",
        "C_reate");
    dialog.ask_name("");
    dialog.offer_copy(from);
    std::string name;
    for (;;) {
        if (run_modal(dialog) != Gtk::RESPONSE_OK)
            return;
        name = dialog.get_name();
        try {
            orrindel->new_profile(name, dialog.get_copy());
            break;
        } catch (const GenericError& e) {
            show_error(&dialog, e.what());
        }
    }
    dialog.hide();
    const bool copied = dialog.get_copy();
    try {
        orrindel->switch_profile(name);
    } catch (const GenericError& e) {
        show_error(this, e.what());
    }
    save_profiles();
    show_status_message(copied ? format("Created the profile '%S' from '%S' and switched to it.", &name, &from)
                               : format("Created the profile '%S' and switched to it: tick its mods.", &name));
}

void MainWindow::menu_rename_profile_activated()
{
    if (busy)
        return;
    const std::string from = orrindel->get_profile();
    ProfileDialog dialog(*this, "Rename Profile", format("A new name for the profile '%S':", &from), "_Rename");
    dialog.ask_name(from);
    std::string to;
    for (;;) {
        if (run_modal(dialog) != Gtk::RESPONSE_OK)
            return;
        to = dialog.get_name();
        if (to == from)
            return;
        try {
            orrindel->rename_profile(from, to);
            break;
        } catch (const GenericError& e) {
            show_error(&dialog, e.what());
        }
    }
    dialog.hide();
    save_profiles();
    show_status_message(format("Renamed the profile '%S' to '%S'.", &from, &to));
}

void MainWindow::menu_delete_profile_activated()
{
    if (busy)
        return;
    const std::string current = orrindel->get_profile();
    std::vector<std::string> others = orrindel->get_profiles();
    others.erase(std::remove(others.begin(), others.end(), current), others.end());
    if (others.empty()) {
        show_message(this,
            format("'%S' is the only profile, and the profile in use cannot be deleted. Make another profile "
                   "first (Profile > New Profile).",
                &current),
            Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK);
        return;
    }
    ProfileDialog dialog(*this, "Delete Profile",
        format("Which profile? The profile in use ('%S') cannot be deleted.", &current), "_Delete");
    dialog.ask_choice(others);
    if (run_modal(dialog) != Gtk::RESPONSE_OK)
        return;
    dialog.hide();
    const std::string name = dialog.get_name();
    std::string enabled;
    try {
        enabled = mods_text(orrindel->get_profile_values(name).enabled.size());
    } catch (const GenericError& e) {
        show_error(this, e.what());
        return;
    }
    if (show_message(this,
            format("Delete the profile '%S'? Its ticks (%S enabled) and its remembered answers are lost; the mods "
                   "stay in the mods folder.",
                &name, &enabled),
            Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_OK_CANCEL)
        != Gtk::RESPONSE_OK)
        return;
    try {
        orrindel->delete_profile(name);
    } catch (const GenericError& e) {
        show_error(this, e.what());
        return;
    }
    save_profiles();
    show_status_message(format("Deleted the profile '%S'.", &name));
}

// A file chooser for a setup file: to write (save) or to read.
bool MainWindow::ask_setup_file(bool save, Path& file)
{
    Gtk::FileChooserDialog chooser(save ? "Export Setup" : "Import Setup",
        save ? Gtk::FILE_CHOOSER_ACTION_SAVE : Gtk::FILE_CHOOSER_ACTION_OPEN);
    chooser.set_transient_for(*this);
    chooser.add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
    chooser.add_button(save ? "_Export" : "_Import", Gtk::RESPONSE_OK);
    chooser.set_default_response(Gtk::RESPONSE_OK);
    if (save) {
        chooser.set_do_overwrite_confirmation(true);
        chooser.set_current_name(orrindel->get_profile() + " setup.xml");
    }
    if (!orrindel->get_home().empty())
        chooser.set_current_folder(platform::native(orrindel->get_home()));
    Gtk::FileFilter setups;
    setups.set_name("Setup files (*.xml)");
    setups.add_pattern("*.xml");
    chooser.add_filter(setups);
    Gtk::FileFilter all;
    all.set_name("All files");
    all.add_pattern("*");
    chooser.add_filter(all);
    if (run_modal(chooser) != Gtk::RESPONSE_OK || chooser.get_filename().empty())
        return false;
    file = Path(chooser.get_filename());
    return true;
}

void MainWindow::menu_export_setup_activated()
{
    Path file;
    if (!busy && ask_setup_file(true, file))
        export_setup(file);
}

void MainWindow::menu_import_setup_activated()
{
    Path file;
    if (!busy && ask_setup_file(false, file))
        import_setup(file);
}

void MainWindow::export_setup(const Path& file)
{
    if (busy)
        return;
    Setup setup;
    try {
        setup = orrindel->export_setup();
        setup.write(file);
    } catch (const GenericError& e) {
        show_error(this, e.what());
        return;
    }
    const std::string shown = platform::native(file);
    const std::string mods = mods_text(setup.mods.size());
    const unsigned answers = static_cast<unsigned>(setup.answers.size());
    show_status_message(format("Wrote the profile '%S' to \"%S\": %S, %u remembered %s.", &setup.profile, &shown,
        &mods, answers, answers == 1 ? "answer" : "answers"));
}

void MainWindow::import_setup(const Path& file)
{
    if (busy)
        return;
    const std::string shown = platform::native(file);
    Setup setup;
    try {
        setup = Setup::read(file);
    } catch (const GenericError& e) {
        show_error(this, e.what());
        return;
    }
    ProfileDialog dialog(*this, "Import Setup",
        format("The setup \"%S\" becomes a new profile, its mods found in the mods folder by their files' "
               "contents, else by name. Name the profile:",
            &shown),
        "_Import");
    dialog.ask_name(setup.profile);
    std::string name;
    std::vector<SetupMatch> matches;
    for (;;) {
        if (run_modal(dialog) != Gtk::RESPONSE_OK)
            return;
        name = dialog.get_name();
        try {
            matches = orrindel->import_setup(setup, name);
            break;
        } catch (const GenericError& e) {
            show_error(&dialog, e.what());
        }
    }
    dialog.hide();
    try {
        orrindel->switch_profile(name);
    } catch (const GenericError& e) {
        show_error(this, e.what());
    }
    save_profiles();
    std::vector<std::string> missing;
    bool differs = false;
    std::string text = format("Made the profile '%S' from \"%S\" and switched to it:", &name, &shown)
        + match_lines(matches, missing, differs);
    if (!missing.empty()) {
        std::string list;
        for (const std::string& m : missing)
            list += (list.empty() ? "" : ", ") + m;
        const std::string folder = platform::native(orrindel->get_mods_dir());
        const bool one = missing.size() == 1;
        text += format("\n\n%u %s of the setup %s missing from \"%S\": %S. Put %s in the mods folder before "
                       "applying the profile.",
            static_cast<unsigned>(missing.size()), one ? "mod" : "mods", one ? "is" : "are", &folder, &list,
            one ? "its file" : "their files");
    }
    show_status_message(missing.empty() ? format("Made the profile '%S' from \"%S\".", &name, &shown)
                                         : format("Made the profile '%S'; %u of its mods %s missing.", &name,
                                             static_cast<unsigned>(missing.size()), missing.size() == 1 ? "is" : "are"));
    show_message(this, text, missing.empty() && !differs ? Gtk::MESSAGE_INFO : Gtk::MESSAGE_WARNING, Gtk::BUTTONS_OK);
}

} // namespace velmora
