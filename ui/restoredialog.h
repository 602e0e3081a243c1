#ifndef VELMORA_UI_RESTOREDIALOG_H
#define VELMORA_UI_RESTOREDIALOG_H

#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>
#include <string>
#include <vector>

#include "core/restore_points.h"

namespace velmora {

// Lists the restore points of the custom-assets folder, newest first: when
// each was built, for which profile, from which mods, and the disk space it
// takes; gives back the one chosen.
class RestoreDialog : public Gtk::Dialog {
public:
    class Columns : public Gtk::TreeModelColumnRecord {
    public:
        Columns();
        Gtk::TreeModelColumn<Glib::ustring> built;
        Gtk::TreeModelColumn<Glib::ustring> profile;
        Gtk::TreeModelColumn<Glib::ustring> mods;
        Gtk::TreeModelColumn<Glib::ustring> disk;
    };

    explicit RestoreDialog(Gtk::Window& parent);

    void set_points(const std::vector<RestorePoint>& points);
    // Selects restore point n (1: the newest).
    void choose(unsigned n);
    // The number of the chosen restore point, 1 for the newest; 0 for none.
    unsigned get_chosen() const;
    // The rows as shown: built, profile, disk use, mods.
    std::vector<std::vector<std::string>> rows() const;

    Columns columns;
    Gtk::Label heading;
    Gtk::ScrolledWindow scroll;
    Gtk::TreeView list;
    Glib::RefPtr<Gtk::ListStore> store;
    Gtk::Button* restore_button = nullptr;
};

// "Better Archers 1.2, Quiet Events": the mods a build was made from.
std::string build_mods_text(const BuildInfo& info);

} // namespace velmora

#endif
