#ifndef VELMORA_UI_PREFSDIALOG_H
#define VELMORA_UI_PREFSDIALOG_H

#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/liststore.h>
#include <gtkmm/treeview.h>
#include <libglademm/xml.h>

#include "path/path.h"

namespace velmora {

class DetectDialog;
class Orrindel;

// The three folders of the core: the game's, the mods' and the custom-assets
// folder, and how conflicts are asked about. The entries show the core's
// values as native paths; confirming checks the custom-assets folder
// (applying mods deletes it) and stores the values into the core. The dialog
// is not modal and answers itself. "Detect" looks for the game and fills the
// entries with the install the user picks; nothing is stored before OK.
// Forgetting the remembered answers happens at once. The big-mod part: the
// base mod (typed, browsed, or picked from the mods found in the game
// folder's "Mods" folder, which the list shows for the game folder typed),
// the mod target's name, and what apply does to the game's own files.
class PrefsDialog : public Gtk::Dialog {
public:
    PrefsDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // Only the first call counts: it connects the dialog to the core's preferences signal.
    void set_orrindel(Orrindel* orrindel);
    // Shows the core's folders in the entries, unless the dialog is storing them.
    void orrindel_prefs_changed();

    void civ4_dir_browse_clicked();
    void mods_dir_browse_clicked();
    void assets_dir_browse_clicked();
    void forget_answers_clicked();
    void detect_clicked();
    void base_mod_browse_clicked();
    // Fills the base-mod entry with the mod picked in the list.
    void installed_mod_picked();
    // Lists the mods of the game folder the entry names.
    void civ4_dir_changed();

    Orrindel* orrindel = nullptr;
    Gtk::Entry* civ4_dir_entry;
    Gtk::Entry* mods_dir_entry;
    Gtk::Entry* custom_assets_dir_entry;
    Gtk::CheckButton* ask_fields_only_check;
    Gtk::Button* forget_answers_button;
    Gtk::Entry* base_mod_entry;
    Gtk::Entry* mod_target_entry;
    Gtk::TreeView* installed_mods_view;
    Gtk::CheckButton* game_ini_mod_check;
    Gtk::CheckButton* empty_cache_check;
    // The list of the mods found: each one's name and native folder.
    struct InstalledColumns : Gtk::TreeModelColumnRecord {
        InstalledColumns()
        {
            add(name);
            add(folder);
        }
        Gtk::TreeModelColumn<Glib::ustring> name;
        Gtk::TreeModelColumn<Glib::ustring> folder;
    };
    InstalledColumns installed_columns;
    bool updating = false;
    DetectDialog* detect_dialog = nullptr;
    // The custom-assets folder detection proposed: created on OK when missing.
    Path detected_custom_assets_dir;

protected:
    void on_response(int response) override;
    bool on_delete_event(GdkEventAny* event) override;
    // The remembered answers may have grown since the dialog was last shown.
    void on_show() override;

private:
    void browse(const char* title, Gtk::Entry& entry);
    bool game_dir_accepted();
    bool custom_assets_dir_accepted();
    bool big_mod_accepted();
    void store_big_mod();

    Glib::RefPtr<Gtk::ListStore> installed_mods;
    // Filling the list selects nothing and must not change the entry.
    bool listing = false;
};

} // namespace velmora

#endif
