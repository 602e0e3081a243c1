#include "ui/profiledialog.h"

#include <gtkmm/stock.h>

namespace velmora {

ProfileDialog::ProfileDialog(
    Gtk::Window& parent, const std::string& title, const std::string& text, const std::string& action)
    : Gtk::Dialog(title, parent, true, true)
    , prompt(text, 0.0, 0.5)
{
    set_resizable(false);
    set_border_width(6);
    Gtk::VBox* box = get_vbox();
    box->set_spacing(8);
    prompt.set_line_wrap(true);
    prompt.set_size_request(380, -1);
    box->pack_start(prompt, false, false);
    box->pack_start(name, false, false);
    box->pack_start(choice, false, false);
    box->pack_start(copy, false, false);
    name.set_activates_default(true);
    add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
    add_button(action, Gtk::RESPONSE_OK)->set_use_underline(true);
    set_default_response(Gtk::RESPONSE_OK);
    prompt.show();
}

void ProfileDialog::ask_name(const std::string& text)
{
    name.set_text(text);
    name.show();
    name.grab_focus();
}

void ProfileDialog::offer_copy(const std::string& from)
{
    // The name is the user's: an underscore in it is no mnemonic.
    copy.set_use_underline(false);
    copy.set_label("Start with the ticked mods, remembered answers and preference of '" + from + "'");
    copy.show();
}

void ProfileDialog::ask_choice(const std::vector<std::string>& names)
{
    choosing = true;
    for (const std::string& n : names)
        choice.append_text(n);
    if (!names.empty())
        choice.set_active(0);
    choice.show();
}

std::string ProfileDialog::get_name() const { return choosing ? choice.get_active_text() : name.get_text(); }

} // namespace velmora
