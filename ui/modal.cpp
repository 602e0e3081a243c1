#include "ui/modal.h"

#include <gtkmm/main.h>
#include <gtkmm/stock.h>

namespace velmora {

namespace {

ModalAnswerer& answerer()
{
    static ModalAnswerer current;
    return current;
}

} // namespace

int run_modal(Gtk::Dialog& dialog)
{
    if (answerer())
        return answerer()(dialog);
    return dialog.run();
}

void run_window(Gtk::Window& window)
{
    if (answerer()) {
        window.show();
        answerer()(window);
        window.hide();
        return;
    }
    Gtk::Main::run(window);
}

ModalOverride::ModalOverride(ModalAnswerer a)
    : previous(std::move(answerer()))
{
    answerer() = std::move(a);
}

ModalOverride::~ModalOverride() { answerer() = std::move(previous); }

int show_message(
    Gtk::Window* parent, const std::string& text, Gtk::MessageType type, Gtk::ButtonsType buttons)
{
    Gtk::MessageDialog dialog(text, false, type, buttons, true);
    if (parent)
        dialog.set_transient_for(*parent);
    int response = run_modal(dialog);
    dialog.hide();
    return response;
}

void show_error(Gtk::Window* parent, const std::string& text)
{
    show_message(parent, text, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK);
}

bool show_error_offering_prefs(Gtk::Window* parent, const std::string& text)
{
    Gtk::MessageDialog dialog(text, false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_NONE, true);
    dialog.add_button("_Preferences", open_prefs_response);
    dialog.add_button(Gtk::Stock::CLOSE, Gtk::RESPONSE_CLOSE);
    dialog.set_default_response(open_prefs_response);
    if (parent)
        dialog.set_transient_for(*parent);
    int response = run_modal(dialog);
    dialog.hide();
    return response == open_prefs_response;
}

void pump_events()
{
    while (Gtk::Main::events_pending())
        Gtk::Main::iteration();
}

} // namespace velmora
