#ifndef VELMORA_UI_SCHEMAFAULTSDIALOG_H
#define VELMORA_UI_SCHEMAFAULTSDIALOG_H

#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <gtkmm/textview.h>
#include <libglademm/xml.h>
#include <string>
#include <vector>

namespace velmora {

// Lists the files of the custom-assets folder that break the game's schemas
// after an apply: the game may refuse to load them.
class SchemaFaultsDialog : public Gtk::Dialog {
public:
    SchemaFaultsDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // files: how many files may not load; faults: one line per fault.
    void set_faults(unsigned files, const std::vector<std::string>& faults);

    Gtk::Label* heading;
    Gtk::TextView* list;
};

} // namespace velmora

#endif
