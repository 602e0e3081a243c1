#ifndef VELMORA_UI_SCHEMAFAULTSDIALOG_H
#define VELMORA_UI_SCHEMAFAULTSDIALOG_H

#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <gtkmm/textview.h>
#include <libglademm/xml.h>
#include <string>
#include <vector>

namespace velmora {

// Lists what the game may stumble on after an apply: the files of the
// custom-assets folder that break the game's schemas (the game may refuse to
// load them), then the names the mods left pointing nowhere.
class SchemaFaultsDialog : public Gtk::Dialog {
public:
    SchemaFaultsDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // files: how many files may not load; faults: one line per fault.
    // A section without a line is hidden.
    void set_faults(unsigned files, const std::vector<std::string>& faults);
    // references: one line per name a mod left pointing nowhere.
    void set_references(const std::vector<std::string>& references);

    Gtk::Label* heading;
    Gtk::TextView* list;
    Gtk::Widget* list_scroll;
    Gtk::Label* references_heading;
    Gtk::TextView* references;
    Gtk::Widget* references_scroll;
};

} // namespace velmora

#endif
