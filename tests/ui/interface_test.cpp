#include <gtest/gtest.h>
#include <regex>

#include "base/errors.h"
#include "ui/buildwindow.h"
#include "ui/createmoddialog.h"
#include "ui/editchangedialog.h"
#include "ui/mainwindow.h"
#include "ui/modprioritydialog.h"
#include "ui/modpropdialog.h"
#include "ui/prefsdialog.h"
#include "ui/schemafaultsdialog.h"
#include "ui/statusdialog.h"
#include "ui_fixture.h"

namespace velmora::test {
namespace {

TEST(Interface, buildsEveryWindowHiddenFromTheDefinitions)
{
    UiSandbox box;
    box.start();
    Interface& ui = *box.ui;
    Gtk::Window* windows[] = {ui.main_window, ui.prefs, ui.create_mod, ui.status, ui.mod_properties, ui.about,
        ui.edit_change, ui.mod_priority, ui.schema_faults, ui.build_view};
    for (Gtk::Window* w : windows) {
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->is_visible()) << w->get_title();
    }
    EXPECT_TRUE(ui.mod_properties->get_modal());
    EXPECT_TRUE(ui.edit_change->get_modal());
    EXPECT_EQ(ui.mod_properties->editor, ui.edit_change);
}

TEST(Interface, missingDefinitionsFileIsNamedInTheError)
{
    UiSandbox box;
    Path missing = box / "nowhere/velmora.glade";
    try {
        Interface ui(box.core, missing);
        FAIL() << "built windows from a missing file";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find("nowhere/velmora.glade"), std::string::npos) << e.what();
    }
}

// Every widget that a window looks up: a definition file without it is refused
// with its name, and the windows built meanwhile are destroyed again.
TEST(Interface, definitionsLackingAWidgetAreRefusedWithItsName)
{
    const std::string definitions = read_file(glade_file());
    const char* names[] = {"main_window", "main.mod_list", "main.menu.preferences", "main.menu.quit",
        "main.menu.create_mod", "main.menu.mod_properties", "main.menu.delete_mod", "main.menu.about",
        "main.refresh", "main.apply", "main.statusbar", "preferences", "prefs.civ4_dir", "prefs.mods_dir",
        "prefs.custom_assets_dir", "prefs.civ4_dir_browse", "prefs.mods_dir_browse",
        "prefs.custom_assets_dir_browse", "create_mod", "create_mod.dir", "create_mod.name",
        "create_mod.description", "create_mod.author", "create_mod.version", "create_mod.report",
        "create_mod.dir_browse", "status", "status.label", "status.progress", "mod_properties",
        "mod_prop.name", "mod_prop.author", "mod_prop.description", "mod_prop.version", "mod_prop.file_list",
        "mod_prop.edit_change", "mod_prop.close", "mod_prop.save", "about", "edit_change", "edit_chg.text",
        "edit_chg.notice", "edit_chg.close", "edit_chg.save", "mod_priority", "mod_prio.label",
        "mod_prio.button1", "mod_prio.button2", "mod_prio.details", "mod_prio.details_text",
        "mod_prio.remember", "prefs.ask_fields_only", "prefs.forget_answers", "schema_faults",
        "schema_faults.heading", "schema_faults.list", "schema_faults.references_heading",
        "schema_faults.references", "main.menu.build", "main.show_build", "status.preview",
        "status.preview_text", "status.preview_again", "status.preview_apply", "status.preview_cancel",
        "mod_prop.conflicts_source", "mod_prop.conflict_list", "mod_prop.dry_run", "build", "build.summary",
        "build.mod_filter", "build.conflicts_only", "build.tree", "build.close"};
    UiSandbox box;
    for (const char* name : names) {
        std::string id = std::string("id=\"") + name + "\"";
        std::string::size_type at = definitions.find(id);
        ASSERT_NE(at, std::string::npos) << name;
        std::string broken = definitions;
        broken.replace(at, id.size(), std::string("id=\"renamed.") + name + "\"");
        Path file = box / "broken.glade";
        write_file(file, broken);
        try {
            Interface ui(box.core, file);
            ADD_FAILURE() << "built windows without " << name;
        } catch (const GenericError& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("\"") + name + "\""), std::string::npos)
                << e.what();
        }
    }
}

} // namespace
} // namespace velmora::test
