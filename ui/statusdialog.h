#ifndef VELMORA_UI_STATUSDIALOG_H
#define VELMORA_UI_STATUSDIALOG_H

#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/label.h>
#include <gtkmm/progressbar.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>
#include <libglademm/xml.h>
#include <string>
#include <vector>

namespace velmora {

// The progress of a long operation: the current step and the fraction done.
// The main window shows it, writes into it and hides it again. Before an
// apply it can also show what the apply will change and ask whether to go on.
class StatusDialog : public Gtk::Window {
public:
    StatusDialog(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    // Starts a new operation: title, empty step, nothing done, over parent.
    void begin(const Glib::ustring& title, Gtk::Window& parent);
    // Shows headline and lines (what an apply will change) with Apply and
    // Cancel over parent, and waits: true when the user chose Apply. `again`
    // is the first state of the box "show this before each apply", which the
    // caller reads back from preview_again.
    bool ask_to_apply(
        const std::string& headline, const std::vector<std::string>& lines, bool again, Gtk::Window& parent);

    Gtk::Label* label;
    Gtk::ProgressBar* progress;
    Gtk::Widget* preview;
    Gtk::TextView* preview_text;
    Gtk::CheckButton* preview_again;
    Gtk::Button* preview_apply;
    Gtk::Button* preview_cancel;

protected:
    // The operation cannot be stopped halfway, so closing the window does
    // nothing; while it asks, closing it cancels.
    bool on_delete_event(GdkEventAny* event) override;
    bool on_key_press_event(GdkEventKey* event) override;

private:
    void answer(bool apply);

    bool asking = false;
    bool answered_apply = false;
};

} // namespace velmora

#endif
