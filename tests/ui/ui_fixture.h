#ifndef VELMORA_TESTS_UI_UI_FIXTURE_H
#define VELMORA_TESTS_UI_UI_FIXTURE_H

#include <deque>
#include <functional>
#include <gtkmm/dialog.h>
#include <gtkmm/window.h>
#include <memory>
#include <string>
#include <vector>

#include "core/orrindel.h"
#include "path/path.h"
#include "support/core_fixtures.h"
#include "ui/interface.h"
#include "ui/modal.h"

namespace velmora::test {

// The window definitions of the source tree.
Path glade_file();

// Handles every pending event of the toolkit.
void pump();
// Sends the window the event of its close button, as a window manager does.
void close_by_window_manager(Gtk::Window& window);

// Answers the program's modal dialogs and nested windows in the order they
// come, as a user would, and records the text of every message dialog. A
// dialog that comes when no answer is left fails the test and is closed,
// so a test never waits for a user.
class Answers {
public:
    using Answer = std::function<int(Gtk::Window&)>;

    Answers();
    // Fails the test when answers were left unused.
    ~Answers();
    Answers(const Answers&) = delete;
    Answers& operator=(const Answers&) = delete;

    Answers& then(Answer answer);
    // Answers a message dialog with response.
    Answers& then_respond(int response);
    // Runs the real dialog loop and, once it runs, does action inside it
    // (clicks a button, closes the window).
    Answers& then_in_loop(std::function<void(Gtk::Window&)> action);

    // The texts of the message dialogs shown so far, in order.
    std::vector<std::string> messages;
    // The windows run so far, in order.
    std::vector<Gtk::Window*> windows;

private:
    int answer(Gtk::Window& window);

    std::deque<Answer> queue;
    ModalOverride override;
};

// One row of the main window's mod list.
struct ModRow {
    bool enabled;
    std::string name;
    std::string version;
    std::string description;
    bool operator==(const ModRow& o) const
    {
        return enabled == o.enabled && name == o.name && version == o.version && description == o.description;
    }
};
std::ostream& operator<<(std::ostream& os, const ModRow& row);

// Temporary folders with a game, a core with a temporary HOME, and the real
// windows built over the core from the window definitions.
class UiSandbox : public CoreSandbox {
public:
    UiSandbox();
    ~UiSandbox();

    // Writes a mod file into the mods folder.
    Path write_mod(const std::string& file_name, const std::string& text) const;
    // Builds the windows and starts the core, as the program does, with the
    // preview before an apply turned off.
    void start();

    MainWindow& main() const { return *ui->main_window; }
    std::vector<ModRow> rows() const;
    // Selects the row of the mod named name in the main list.
    void select(const std::string& name) const;
    Mod* mod_named(const std::string& name) const;

    Orrindel core;
    std::unique_ptr<Interface> ui;
};

} // namespace velmora::test

#endif
