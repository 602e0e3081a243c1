#include "ui/interface.h"

#include <glade/glade-xml.h>
#include <gtkmm/main.h>
#include <libglademm/xml.h>

#include "core/data_file.h"
#include "base/errors.h"
#include "base/format.h"
#include "path/platform.h"
#include "ui/buildwindow.h"
#include "ui/createmoddialog.h"
#include "ui/detectdialog.h"
#include "ui/editchangedialog.h"
#include "ui/lookup.h"
#include "ui/mainwindow.h"
#include "ui/modprioritydialog.h"
#include "ui/modpropdialog.h"
#include "ui/prefsdialog.h"
#include "ui/schemafaultsdialog.h"
#include "ui/statusdialog.h"

namespace velmora {

namespace {

const char* const window_names[] = {"main_window", "preferences", "create_mod", "status", "mod_properties",
    "about", "edit_change", "mod_priority", "detect", "schema_faults", "build"};

template <class T> T* build_window(const Glib::RefPtr<Gnome::Glade::Xml>& xml, const char* name)
{
    T* window = nullptr;
    if (glade_xml_get_widget(xml->gobj(), name))
        xml->get_widget_derived(name, window);
    if (!window)
        throw GenericError(
            format("The window definitions lack the window \"%s\" or give it the wrong kind.", name));
    return window;
}

} // namespace

Interface::Interface(Orrindel& o)
    : Interface(o, find_data_file("velmora.glade"))
{ }

Interface::Interface(Orrindel& o, const Path& definitions)
    : orrindel(o)
{
    build(definitions);
}

Interface::~Interface() { destroy_windows(); }

void Interface::build(const Path& definitions)
{
    std::string file = platform::native(definitions);
    bool is_folder = false;
    if (platform::stat(definitions.str(), &is_folder) != 0 || is_folder)
        throw GenericError(format("Cannot find the window definitions \"%S\".", &file));
    Glib::RefPtr<Gnome::Glade::Xml> xml;
    try {
        xml = Gnome::Glade::Xml::create(file);
    } catch (const Gnome::Glade::XmlError& e) {
        std::string reason = e.what();
        throw GenericError(format("Cannot read the window definitions \"%S\": %S", &file, &reason));
    }
    try {
        main_window = build_window<MainWindow>(xml, "main_window");
        main_window->set_orrindel(&orrindel);
        main_window->set_interface(this);
        prefs = build_window<PrefsDialog>(xml, "preferences");
        prefs->set_orrindel(&orrindel);
        create_mod = build_window<CreateModDialog>(xml, "create_mod");
        status = build_window<StatusDialog>(xml, "status");
        mod_properties = build_window<ModPropDialog>(xml, "mod_properties");
        mod_properties->orrindel = &orrindel;
        about = lookup_widget<Gtk::Dialog>(xml, "about");
        edit_change = build_window<EditChangeDialog>(xml, "edit_change");
        mod_properties->editor = edit_change;
        mod_priority = build_window<ModPriorityDialog>(xml, "mod_priority");
        detect = build_window<DetectDialog>(xml, "detect");
        prefs->detect_dialog = detect;
        schema_faults = build_window<SchemaFaultsDialog>(xml, "schema_faults");
        build_view = build_window<BuildWindow>(xml, "build");
        build_view->orrindel = &orrindel;
    } catch (const GenericError& e) {
        // The windows not wrapped yet exist too: the definitions built them all.
        destroy_windows();
        for (const char* name : window_names)
            if (GtkWidget* w = glade_xml_get_widget(xml->gobj(), name))
                gtk_widget_destroy(w);
        throw GenericError(format("Cannot use the window definitions \"%S\": %s", &file, e.what()));
    }
}

void Interface::destroy_windows()
{
    delete detect;
    detect = nullptr;
    delete schema_faults;
    delete build_view;
    build_view = nullptr;
    delete mod_priority;
    delete edit_change;
    delete about;
    delete mod_properties;
    delete status;
    delete create_mod;
    delete prefs;
    delete main_window;
    mod_priority = nullptr;
    schema_faults = nullptr;
    edit_change = nullptr;
    about = nullptr;
    mod_properties = nullptr;
    status = nullptr;
    create_mod = nullptr;
    prefs = nullptr;
    main_window = nullptr;
}

int Interface::run()
{
    if (!main_window)
        return -1;
    Gtk::Main::run(*main_window);
    return 0;
}

} // namespace velmora
