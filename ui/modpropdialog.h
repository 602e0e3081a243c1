#ifndef VELMORA_UI_MODPROPDIALOG_H
#define VELMORA_UI_MODPROPDIALOG_H

#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/treeview.h>
#include <gtkmm/window.h>
#include <libglademm/xml.h>
#include <string>

namespace velmora {

class EditChangeDialog;
class Mod;
class Orrindel;
class Provenance;
struct Change;

// A mod's header for editing and the list of its changes, with the type of
// each. Save writes the mod back to its own file. The page "Conflicts" lists
// the other enabled mods that change the same files, file by file, and whose
// work stands there: from the last apply, or from a dry run on demand. The
// window is modal: the mod it shows must stay in the core's list while it is
// open.
class ModPropDialog : public Gtk::Window {
public:
    class Columns : public Gtk::TreeModelColumnRecord {
    public:
        Columns();
        Gtk::TreeModelColumn<std::string> file_column;
        Gtk::TreeModelColumn<Glib::ustring> type_column;
        Gtk::TreeModelColumn<Change*> change_column;
    };

    class ConflictColumns : public Gtk::TreeModelColumnRecord {
    public:
        ConflictColumns();
        Gtk::TreeModelColumn<Glib::ustring> other; // the other mod
        Gtk::TreeModelColumn<Glib::ustring> file;
        Gtk::TreeModelColumn<Glib::ustring> winner; // "Alpha", "Alpha 2, Bravo 1", "no conflict: merged"
    };

    ModPropDialog(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // Shows mod, reading its changes first when only its header is in memory.
    // Throws GenericError (or XmlError) when the mod file cannot be read.
    void set_mod(Mod* mod);
    void save_clicked();
    void edit_chg_clicked();
    void close_clicked();
    // Fills the page "Conflicts" from a build of the enabled mods made in
    // memory, writing nothing.
    void dry_run_clicked();

    Orrindel* orrindel = nullptr;
    // The change editor, which the interface owns.
    EditChangeDialog* editor = nullptr;
    Columns columns;
    Gtk::Entry* name_entry;
    Gtk::Entry* author_entry;
    Gtk::Entry* description_entry;
    Gtk::Entry* version_entry;
    Gtk::TreeView* file_list;
    ConflictColumns conflict_columns;
    Gtk::Label* conflicts_source;
    Gtk::TreeView* conflict_list;
    Gtk::Button* dry_run;
    Mod* mod = nullptr;

protected:
    bool on_delete_event(GdkEventAny* event) override;
    bool on_key_press_event(GdkEventKey* event) override;

private:
    void file_list_row_activated(const Gtk::TreeModel::Path& path, Gtk::TreeViewColumn* column);
    void show_last_apply();
    // Lists mod's overlaps in the build provenance describes; false when
    // the mod is not in that build.
    bool show_conflicts(const Provenance& provenance, const std::string& source);

    Glib::RefPtr<Gtk::ListStore> store;
    Glib::RefPtr<Gtk::ListStore> conflict_store;
};

} // namespace velmora

#endif
