#ifndef VELMORA_UI_STATUSDIALOG_H
#define VELMORA_UI_STATUSDIALOG_H

#include <gtkmm/label.h>
#include <gtkmm/progressbar.h>
#include <gtkmm/window.h>
#include <libglademm/xml.h>

namespace velmora {

// The progress of a long operation: the current step and the fraction done.
// The main window shows it, writes into it and hides it again.
class StatusDialog : public Gtk::Window {
public:
    StatusDialog(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // Starts a new operation: title, empty step, nothing done, over parent.
    void begin(const Glib::ustring& title, Gtk::Window& parent);

    Gtk::Label* label;
    Gtk::ProgressBar* progress;

protected:
    // The operation cannot be stopped halfway, so closing the window does nothing.
    bool on_delete_event(GdkEventAny* event) override;
};

} // namespace velmora

#endif
