#ifndef VELMORA_UI_INTERFACE_H
#define VELMORA_UI_INTERFACE_H

#include <gtkmm/dialog.h>

#include "path/path.h"

namespace velmora {

class BuildWindow;
class CreateModDialog;
class DetectDialog;
class EditChangeDialog;
class MainWindow;
class ModPriorityDialog;
class ModPropDialog;
class Orrindel;
class PrefsDialog;
class SchemaFaultsDialog;
class StatusDialog;

// Builds every window of the program once from the window definitions
// ("velmora.glade"), wires them to the core and to each other, and keeps them
// until it goes. Windows are shown and hidden, never rebuilt.
class Interface {
public:
    // Reads "velmora.glade" from the program's data folders.
    explicit Interface(Orrindel& orrindel);
    // Reads the window definitions from definitions.
    Interface(Orrindel& orrindel, const Path& definitions);
    // Destroys every window.
    ~Interface();
    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;

    // Runs the toolkit's main loop until the main window is hidden; 0 then.
    int run();

    MainWindow* main_window = nullptr;
    PrefsDialog* prefs = nullptr;
    CreateModDialog* create_mod = nullptr;
    StatusDialog* status = nullptr;
    ModPropDialog* mod_properties = nullptr;
    Gtk::Dialog* about = nullptr;
    EditChangeDialog* edit_change = nullptr;
    ModPriorityDialog* mod_priority = nullptr;
    DetectDialog* detect = nullptr;
    SchemaFaultsDialog* schema_faults = nullptr;
    BuildWindow* build_view = nullptr;
    Orrindel& orrindel;

private:
    void build(const Path& definitions);
    void destroy_windows();
};

} // namespace velmora

#endif
