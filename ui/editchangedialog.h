#ifndef VELMORA_UI_EDITCHANGEDIALOG_H
#define VELMORA_UI_EDITCHANGEDIALOG_H

#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>
#include <libglademm/xml.h>

namespace velmora {

struct Change;

// A plain text editor for the text of one change. Save puts the text into the
// change in memory; the mod reaches the disk when its properties are saved.
// Text the view cannot hold faithfully is never written back altered: a
// binary file is only described, and a change text in ISO-8859-1 (the
// game's own encoding) is shown converted and saved back in ISO-8859-1.
class EditChangeDialog : public Gtk::Window {
public:
    enum class Encoding { Utf8, Latin1, Binary };

    EditChangeDialog(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    void set_change(Change* change);
    void save_clicked();
    // Hides the editor; text edited since the last save is dropped, after asking.
    void close_clicked();

    Encoding get_encoding() const { return encoding; }

    Change* change = nullptr;
    Gtk::TextView* text_view;
    Gtk::Label* notice;
    Gtk::Button* save_button;

protected:
    bool on_delete_event(GdkEventAny* event) override;
    bool on_key_press_event(GdkEventKey* event) override;

private:
    Encoding encoding = Encoding::Utf8;
};

} // namespace velmora

#endif
