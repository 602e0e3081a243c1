#ifndef VELMORA_UI_PROFILEDIALOG_H
#define VELMORA_UI_PROFILEDIALOG_H

#include <gtkmm/checkbutton.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <string>
#include <vector>

namespace velmora {

// Asks for a profile: a name to type (New, Rename, Import Setup), with the
// choice to copy the profile in use for New, or one of the existing profiles
// to pick (Delete). It takes texts in and gives the answer out; the main
// window does the work.
class ProfileDialog : public Gtk::Dialog {
public:
    // action: the label of the button that does it ("C_reate").
    ProfileDialog(Gtk::Window& parent, const std::string& title, const std::string& prompt, const std::string& action);

    // A name to type, starting with text.
    void ask_name(const std::string& text);
    // Offers to copy the profile named from (unticked).
    void offer_copy(const std::string& from);
    // One of names to pick, the first chosen.
    void ask_choice(const std::vector<std::string>& names);

    // The name typed or picked.
    std::string get_name() const;
    bool get_copy() const { return copy.get_active(); }

    Gtk::Label prompt;
    Gtk::Entry name;
    Gtk::CheckButton copy;
    Gtk::ComboBoxText choice;

private:
    bool choosing = false;
};

} // namespace velmora

#endif
