#ifndef VELMORA_UI_MODPROPDIALOG_H
#define VELMORA_UI_MODPROPDIALOG_H

#include <gtkmm/entry.h>
#include <gtkmm/liststore.h>
#include <gtkmm/treeview.h>
#include <gtkmm/window.h>
#include <libglademm/xml.h>
#include <string>

namespace velmora {

class EditChangeDialog;
class Mod;
class Orrindel;
struct Change;

// A mod's header for editing and the list of its changes, with the type of
// each. Save writes the mod back to its own file. The window is modal: the mod
// it shows must stay in the core's list while it is open.
class ModPropDialog : public Gtk::Window {
public:
    class Columns : public Gtk::TreeModelColumnRecord {
    public:
        Columns();
        Gtk::TreeModelColumn<std::string> file_column;
        Gtk::TreeModelColumn<Glib::ustring> type_column;
        Gtk::TreeModelColumn<Change*> change_column;
    };

    ModPropDialog(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // Shows mod, reading its changes first when only its header is in memory.
    // Throws GenericError (or XmlError) when the mod file cannot be read.
    void set_mod(Mod* mod);
    void save_clicked();
    void edit_chg_clicked();
    void close_clicked();

    Orrindel* orrindel = nullptr;
    // The change editor, which the interface owns.
    EditChangeDialog* editor = nullptr;
    Columns columns;
    Gtk::Entry* name_entry;
    Gtk::Entry* author_entry;
    Gtk::Entry* description_entry;
    Gtk::Entry* version_entry;
    Gtk::TreeView* file_list;
    Mod* mod = nullptr;

protected:
    bool on_delete_event(GdkEventAny* event) override;
    bool on_key_press_event(GdkEventKey* event) override;

private:
    void file_list_row_activated(const Gtk::TreeModel::Path& path, Gtk::TreeViewColumn* column);

    Glib::RefPtr<Gtk::ListStore> store;
};

} // namespace velmora

#endif
