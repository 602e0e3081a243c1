#ifndef VELMORA_UI_BUILDWINDOW_H
#define VELMORA_UI_BUILDWINDOW_H

#include <gtkmm/checkbutton.h>
#include <gtkmm/combobox.h>
#include <gtkmm/label.h>
#include <gtkmm/liststore.h>
#include <gtkmm/treestore.h>
#include <gtkmm/treeview.h>
#include <gtkmm/window.h>
#include <libglademm/xml.h>
#include <string>
#include <vector>

#include "core/build_report.h"

namespace velmora {

class Orrindel;

// What the last apply built, as a tree: each file, its records (or runs of
// script lines) and their fields, with the mod whose work stands and, in
// grey, the mods it replaced. The tree can show only what one mod touched
// and only the conflicts. The window shows; the core tells.
class BuildWindow : public Gtk::Window {
public:
    class Columns : public Gtk::TreeModelColumnRecord {
    public:
        Columns();
        Gtk::TreeModelColumn<Glib::ustring> name; // file, record key, "lines 3-9", field
        Gtk::TreeModelColumn<Glib::ustring> value; // a field's value
        Gtk::TreeModelColumn<Glib::ustring> mod; // whose work stands
        Gtk::TreeModelColumn<Glib::ustring> others; // "over Bravo", "with Alpha"
        Gtk::TreeModelColumn<bool> conflict;
        Gtk::TreeModelColumn<int> weight; // of the mod's name: bold where it replaced another's work
    };

    BuildWindow(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // Reads what the last apply recorded and shows it, keeping the filters
    // where they still fit.
    void refresh();
    // Chooses the mod whose work the tree shows ("" all); false when no
    // file of the build names it.
    bool filter_by(const std::string& mod);
    // The mod the filter shows ("" for all).
    std::string filtered_mod() const;
    void close_clicked();

    Orrindel* orrindel = nullptr;
    Columns columns;
    Gtk::Label* summary;
    Gtk::ComboBox* mod_filter;
    Gtk::CheckButton* conflicts_only;
    Gtk::TreeView* tree;

protected:
    bool on_delete_event(GdkEventAny* event) override;
    bool on_key_press_event(GdkEventKey* event) override;

private:
    class FilterColumns : public Gtk::TreeModelColumnRecord {
    public:
        FilterColumns() { add(label); }
        Gtk::TreeModelColumn<Glib::ustring> label;
    };

    void show_items();
    void add_rows(const std::vector<BuildItem>& list, const Gtk::TreeNodeChildren* parent);

    FilterColumns filter_columns;
    Glib::RefPtr<Gtk::TreeStore> store;
    Glib::RefPtr<Gtk::ListStore> mods_store;
    std::vector<BuildItem> items;
    std::vector<std::string> mods; // the filter's mods, after "All mods"
    bool built = false;
    bool filling = false;
};

} // namespace velmora

#endif
