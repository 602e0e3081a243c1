#ifndef VELMORA_UI_CREATEMODDIALOG_H
#define VELMORA_UI_CREATEMODDIALOG_H

#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/button.h>
#include <libglademm/xml.h>

#include "core/ini.h"
#include "path/path.h"

namespace velmora {

// Describes a mod to be made from a folder of modified game files: the folder,
// the mod's header and whether a report is wanted. The dialog creates nothing;
// the main window runs it and reads its entries. Browsing for the folder also
// takes the name and description from the ".ini" files found in it. The same
// form describes a mod imported from an archive (set_archive_mode), whose
// file then stands in the folder entry.
class CreateModDialog : public Gtk::Dialog {
public:
    CreateModDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // Empties the five entries, unchecks the report and goes back to a folder;
    // start_dir stays.
    void clear();
    // For an archive: the entry shows the archive's file, which cannot be
    // changed there, and the texts say what importing does.
    void set_archive_mode(bool archive);
    void dir_browse_clicked();
    // Sets the name and description entries from the "Name" and "Description"
    // keys of an INI file; a file that cannot be opened changes nothing.
    void read_inifile(const Path& path);
    // Sets the name and description entries the INI gives; the others stay.
    void set_header(const ModIni& ini);

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

private:
    Gtk::Label* intro_label;
    Gtk::Label* dir_label;
    Gtk::Label* ok_label;
    Gtk::Button* dir_browse;
    Glib::ustring folder_title, folder_intro, folder_label, folder_ok;
};

} // namespace velmora

#endif
