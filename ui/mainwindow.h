#ifndef VELMORA_UI_MAINWINDOW_H
#define VELMORA_UI_MAINWINDOW_H

#include <gtkmm/button.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/statusbar.h>
#include <gtkmm/treeview.h>
#include <gtkmm/window.h>
#include <libglademm/xml.h>
#include <string>

#include "core/new_mod.h"
#include "path/path.h"

namespace velmora {

class CreateModDialog;
class Interface;
class Mod;
struct PriorityQuestion;
class Orrindel;
struct Verification;
enum class FolderUse;

// The window the user works in: the mods of the mods folder with a check box
// each, a menu and the Refresh and Apply buttons. It turns the user's commands
// into operations of the core, shows their progress in the status window and
// every failure in an error dialog.
//
// Applying and creating a mod keep the windows drawn by handling pending
// events while they work. Meanwhile the window is insensitive and every
// command refuses to start, so that no second command runs inside the first
// and no mod it works on is rescanned or deleted under it.
class MainWindow : public Gtk::Window {
public:
    class ModListColumns : public Gtk::TreeModelColumnRecord {
    public:
        ModListColumns();
        Gtk::TreeModelColumn<bool> enabled;
        Gtk::TreeModelColumn<Glib::ustring> name;
        Gtk::TreeModelColumn<Glib::ustring> version;
        Gtk::TreeModelColumn<Glib::ustring> description;
        Gtk::TreeModelColumn<Mod*> mod; // null for an enabled mod whose file is missing
        Gtk::TreeModelColumn<bool> available; // false: greyed out, "file missing"
    };

    MainWindow(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // Connects the window to the core's mod signals.
    void set_orrindel(Orrindel* orrindel);
    // The other windows, which the window runs and writes into.
    void set_interface(velmora::Interface* ui);

    void menu_prefs_activated();
    void menu_about_activated();
    void menu_create_mod_activated();
    // Asks for an archive, then imports it.
    void menu_import_archive_activated();
    // Makes a mod from the archive, named after its file (asking before
    // replacing a mod file), with the status window following the work.
    void import_archive(const Path& archive);
    // Looks for the game; when found, asks which install to use and stores
    // its folders. At first start (no game folder set) it stays silent when
    // nothing is found; on demand it says so.
    void detect_game(bool first_start);
    void menu_mod_properties_activated();
    void menu_delete_mod_activated();
    // Shows the Build window: what the last apply built, and who won where.
    void menu_build_activated();
    void refresh_clicked();
    void apply_clicked();
    // Lists the files apply built that the game may refuse.
    void show_schema_faults(const Verification& verification);
    bool show_start_hint();
    void mod_enable_clicked(const Glib::ustring& path);
    void orrindel_mods_changed();
    void orrindel_enabled_mods_changed();
    void orrindel_prefs_changed();
    bool set_mods_enabled_foreach(const Gtk::TreeIter& row);
    // The answers to "another version of 'A' is enabled".
    enum VersionResponse { version_use_this = 1, version_enable_both = 2 };

    void apply_progress(const std::string& message, float fraction);
    bool archive_limit_passed(ArchiveLimits::Kind kind, const std::string& message);
    unsigned int mod_priority(PriorityQuestion& question);

    // Profiles and setup files (mainwindow_profiles.cpp). Choosing a profile
    // makes it current and shows its ticks; the next Apply builds it.
    void profile_chosen();
    void menu_new_profile_activated();
    void menu_rename_profile_activated();
    // Asks which other profile to delete, then whether to.
    void menu_delete_profile_activated();
    // Ask for the file, then export_setup / import_setup.
    void menu_export_setup_activated();
    void menu_import_setup_activated();
    void export_setup(const Path& file);
    // Asks the new profile's name (the file's profile name first), makes it
    // and says which mods are missing or of another version.
    void import_setup(const Path& file);
    void orrindel_profiles_changed();

    // Whole builds (mainwindow_builds.cpp): restore points and an unmodded game.
    void menu_restore_build_activated();
    void menu_play_without_mods_activated();
    // The fingerprint of the build in the custom-assets folder, or nothing
    // when it holds none.
    std::string get_fingerprint_text() const;

    // A command is running; others are refused until it ends.
    bool is_busy() const { return busy; }
    // The text the status line shows.
    const std::string& get_status_message() const { return status_message; }

    Orrindel* orrindel = nullptr;
    ModListColumns columns;
    Gtk::TreeView* mod_list;
    // Shown instead of the list while it is empty: what to do first.
    Gtk::Widget* empty_hint;
    Gtk::Label* empty_label;
    // Shown once an apply succeeded: opens the Build window.
    Gtk::Button* show_build;
    // Above the list: the profile in use, to switch to another.
    Gtk::ComboBoxText* profile_chooser = nullptr;
    // In the status bar: the build's fingerprint, to compare with a friend's.
    Gtk::Label* fingerprint_label = nullptr;

protected:
    bool on_delete_event(GdkEventAny* event) override;

private:
    class Busy;

    Glib::RefPtr<Gtk::ListStore> get_store();
    Mod* selected_mod();
    int ask_new_mod(CreateModDialog& dlg);
    std::string new_mod_problem(const CreateModDialog& dlg);
    void create_mod(const CreateModDialog& dlg);
    void show_progress(const std::string& message, float fraction);
    void show_summary();
    bool folders_ready(FolderUse use);
    bool may_replace_custom_assets();
    bool preview_accepted();
    void show_empty_hint();
    void show_status_message(const std::string& message);
    std::string listed_name(const Mod* mod) const;
    bool may_enable_version(Mod* mod);
    void mod_list_row_activated(const Gtk::TreeModel::Path& path, Gtk::TreeViewColumn* column);
    void build_profile_widgets(const Glib::RefPtr<Gnome::Glade::Xml>& xml);
    void fill_profile_chooser();
    void save_profiles();
    bool ask_setup_file(bool save, Path& file);
    void show_fingerprint();

    velmora::Interface* ui = nullptr;
    Gtk::Statusbar* statusbar;
    Gtk::Widget* list_scroll;
    Gtk::Button* empty_create;
    Gtk::Button* empty_import;
    std::string status_message;
    bool busy = false;
    // What the summary last said apply builds (Orrindel::describe_target).
    std::string described_target;
    // The chooser is being filled: its change is no choice of the user's.
    bool filling_profiles = false;
};

} // namespace velmora

#endif
