#ifndef VELMORA_UI_MODAL_H
#define VELMORA_UI_MODAL_H

#include <functional>
#include <gtkmm/dialog.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/window.h>
#include <string>

namespace velmora {

// Every modal dialog and every nested window loop of the program runs through
// these two functions, so that a test can answer them instead of a user.

// Runs dialog modally and returns its response (dialog.run()).
int run_modal(Gtk::Dialog& dialog);
// Shows window and runs a nested main loop until the window hides itself.
void run_window(Gtk::Window& window);

// Answers run_modal and run_window in place of the toolkit. For a dialog it
// returns the response; for a window it returns when the window's work is
// done (its return value is then ignored).
using ModalAnswerer = std::function<int(Gtk::Window&)>;

// Installs answerer for the life of the object, restoring the previous one after.
class ModalOverride {
public:
    explicit ModalOverride(ModalAnswerer answerer);
    ~ModalOverride();
    ModalOverride(const ModalOverride&) = delete;
    ModalOverride& operator=(const ModalOverride&) = delete;

private:
    ModalAnswerer previous;
};

// A modal message dialog with plain text, transient for parent when there is
// one; returns the response.
int show_message(
    Gtk::Window* parent, const std::string& text, Gtk::MessageType type, Gtk::ButtonsType buttons);
void show_error(Gtk::Window* parent, const std::string& text);
// The response of the "Preferences" button of show_error_offering_prefs.
constexpr int open_prefs_response = 1;
// An error dialog whose cause the preferences mend (a folder setting), with a
// "Preferences" button beside Close; true when the user chose it.
bool show_error_offering_prefs(Gtk::Window* parent, const std::string& text);

// Lets the toolkit handle every pending event, so that windows are drawn while
// a long operation runs on the one thread.
void pump_events();

} // namespace velmora

#endif
