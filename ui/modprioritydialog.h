#ifndef VELMORA_UI_MODPRIORITYDIALOG_H
#define VELMORA_UI_MODPRIORITYDIALOG_H

#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/expander.h>
#include <gtkmm/label.h>
#include <gtkmm/textview.h>
#include <libglademm/xml.h>
#include <string>
#include <vector>

namespace velmora {

// Asks which of two conflicting mods takes precedence. Run modally, it answers
// 1 for the first mod's button, 2 for the second's, and the toolkit's response
// for a closed window otherwise. A folded details area shows what each mod
// changes; a check box asks to remember the answer.
class ModPriorityDialog : public Gtk::Dialog {
public:
    ModPriorityDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml);

    void set_mod_names(const std::string& first, const std::string& second);
    void set_prompt(const std::string& prompt);
    // The lines of the details area, folded; no lines hide it. Also clears
    // the remember check box: each question starts unticked.
    void set_details(const std::vector<std::string>& lines);
    bool get_remember() const;

    void button1_clicked();
    void button2_clicked();

    Gtk::Label* label;
    Gtk::Button* button1;
    Gtk::Button* button2;
    Gtk::Expander* details;
    Gtk::TextView* details_text;
    Gtk::CheckButton* remember;

protected:
    // Closing only answers "neither" (the dialog's own handler sends the response); the window stays.
    bool on_delete_event(GdkEventAny* event) override;
};

} // namespace velmora

#endif
