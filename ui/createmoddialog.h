#ifndef VELMORA_UI_CREATEMODDIALOG_H
#define VELMORA_UI_CREATEMODDIALOG_H

#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <libglademm/xml.h>

#include "path/path.h"

namespace velmora {

// Describes a mod to be made from a folder of modified game files: the folder,
// the mod's header and whether a report is wanted. The dialog creates nothing;
// the main window runs it and reads its entries. Browsing for the folder also
// takes the name and description from the ".ini" files found in it.
class CreateModDialog : public Gtk::Dialog {
public:
    CreateModDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // Empties the five entries and unchecks the report; start_dir stays.
    void clear();
    void dir_browse_clicked();
    // Sets the name and description entries from the "Name" and "Description"
    // keys of an INI file; a file that cannot be opened changes nothing.
    void read_inifile(const Path& path);

    // Where the folder chooser starts when the folder entry is empty.
    Path start_dir;
    Gtk::Entry* dir_entry;
    Gtk::Entry* name_entry;
    Gtk::Entry* description_entry;
    Gtk::Entry* author_entry;
    Gtk::Entry* version_entry;
    Gtk::CheckButton* report_check;

protected:
    bool on_delete_event(GdkEventAny* event) override;
};

} // namespace velmora

#endif
