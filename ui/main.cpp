// The Velmora program: the core, the toolkit and the windows, started and
// ended in an order that lets each use the one before it.
#include <gtk/gtk.h>
#include <gtkmm/main.h>
#include <iostream>
#include <memory>
#include <string>

#include "base/errors.h"
#include "core/orrindel.h"
#include "ui/interface.h"
#include "ui/mainwindow.h"
#include "ui/modal.h"

using namespace velmora;

namespace {

// Problems of start-up go to the user in a dialog. One that ends the program
// also goes to standard error, for whoever started it from a terminal.
void report(Gtk::Window* parent, const std::string& message, Gtk::MessageType type)
{
    if (type == Gtk::MESSAGE_ERROR)
        std::cerr << "velmora: " << message << '\n';
    show_message(parent, message, type, Gtk::BUTTONS_OK);
}

} // namespace

int main(int argc, char** argv)
{
    // Gtk::Main ends the process when there is no display; say why instead.
    if (!gtk_init_check(&argc, &argv)) {
        std::cerr << "velmora: cannot open a display (is DISPLAY set?)\n";
        return 1;
    }
    Orrindel core;
    Gtk::Main kit(argc, argv);
    std::unique_ptr<Interface> ui;
    try {
        ui = std::make_unique<Interface>(core);
    } catch (const GenericError& e) {
        report(nullptr, e.what(), Gtk::MESSAGE_ERROR);
        return 1;
    }
    try {
        core.startup();
    } catch (const GenericError& e) {
        report(ui->main_window, e.what(), Gtk::MESSAGE_ERROR);
        return 1;
    }
    // Warnings (settings that could not be read) come over the window they concern.
    ui->main_window->show();
    for (const std::string& warning : core.get_warnings())
        report(ui->main_window, warning, Gtk::MESSAGE_WARNING);
    // A first start: offer the game found on the computer rather than an empty form.
    ui->main_window->detect_game(true);

    int result = ui->run();
    try {
        core.save_changed_config();
    } catch (const GenericError& e) {
        report(nullptr, e.what(), Gtk::MESSAGE_ERROR);
        result = 1;
    }
    ui.reset();
    return result;
}
