#ifndef VELMORA_UI_MODPRIORITYDIALOG_H
#define VELMORA_UI_MODPRIORITYDIALOG_H

#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <libglademm/xml.h>
#include <string>

namespace velmora {

// Asks which of two conflicting mods takes precedence. Run modally, it answers
// 1 for the first mod's button, 2 for the second's, and the toolkit's response
// for a closed window otherwise.
class ModPriorityDialog : public Gtk::Dialog {
public:
    ModPriorityDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    void set_mod_names(const std::string& first, const std::string& second);
    void set_prompt(const std::string& prompt);

    void button1_clicked();
    void button2_clicked();

    Gtk::Label* label;
    Gtk::Button* button1;
    Gtk::Button* button2;

protected:
    // Closing only answers "neither" (the dialog's own handler sends the response); the window stays.
    bool on_delete_event(GdkEventAny* event) override;
};

} // namespace velmora

#endif
