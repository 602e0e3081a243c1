#ifndef VELMORA_UI_DETECTDIALOG_H
#define VELMORA_UI_DETECTDIALOG_H

#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/treeview.h>
#include <libglademm/xml.h>
#include <string>
#include <vector>

#include "core/game_detect.h"

namespace velmora {

// The Civilization IV installs found on the computer, to pick the one to use.
// It takes the installs and a sentence in and gives the chosen one out; run
// modally, it answers RESPONSE_OK for "Use This Game".
class DetectDialog : public Gtk::Dialog {
public:
    class Columns : public Gtk::TreeModelColumnRecord {
    public:
        Columns();
        Gtk::TreeModelColumn<Glib::ustring> edition;
        Gtk::TreeModelColumn<Glib::ustring> found_in;
        Gtk::TreeModelColumn<Glib::ustring> civ4_dir;
        Gtk::TreeModelColumn<Glib::ustring> custom_assets_dir;
        // The mods in the game's Mods folder, by name.
        Gtk::TreeModelColumn<Glib::ustring> mods;
        Gtk::TreeModelColumn<int> index;
    };

    DetectDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // Lists the installs, the first selected, under the sentence intro.
    void set_installs(const std::vector<GameInstall>& installs, const std::string& intro);
    // The selected install's index in the list given, or -1.
    int chosen() const;
    // Selects the row of install index.
    void choose(int index);

    Columns columns;
    Gtk::Label* label;
    Gtk::TreeView* list;

protected:
    // Closing answers "cancel" (the dialog's own handler sends the response); the window stays.
    bool on_delete_event(GdkEventAny* event) override;

private:
    void row_activated(const Gtk::TreeModel::Path& path, Gtk::TreeViewColumn* column);
};

} // namespace velmora

#endif
