#include <gtest/gtest.h>

#include "core/restore_points.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/unit_schema.h"
#include "ui/mainwindow.h"
#include "ui/restoredialog.h"
#include "ui_fixture.h"

namespace velmora::test {
namespace {

const char* const archers = "Better Archers";
const char* const events = "Quiet Events";

std::string archer_change()
{
    return "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n\t\t<UnitInfo>\n"
           "\t\t\t<Type>UNIT_ARCHER</Type>\n\t\t\t<iCombat>4</iCombat>\n\t\t</UnitInfo>\n\t</UnitInfos>\n"
           "</Civ4UnitInfos>\n";
}

// "Better Archers" (one changed file) enabled, applied for real: build A;
// its next version applied over it: build B, with A as restore point 1.
class BuildWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        box.write_conf(box.game(), box.custom_assets(), {archers});
        box.write_mod("Archers.Pellarix",
            mod_file_text(archers, {{unit_infos_file, "xml", archer_change()}}, "Ana", "1.2", "Archers hit harder"));
        box.write_mod("Events.Pellarix", mod_file_text(events, {}, "Cy", "0.9", "Fewer random events"));
        box.start();
    }

    void apply_a()
    {
        box.main().apply_clicked();
        ASSERT_EQ(list_tree(box.custom_assets()), std::vector<std::string>{unit_infos_file});
        built_a = read_file(box.custom_assets() / Path(unit_infos_file));
        fingerprint_a = box.core.describe_build().fingerprint;
    }
    // Archers 1.3, hitting harder still, applied over build A.
    void apply_b()
    {
        std::string change = archer_change();
        change.replace(change.find("<iCombat>4"), 10, "<iCombat>5");
        box.write_mod("Archers.Pellarix",
            mod_file_text(archers, {{unit_infos_file, "xml", change}}, "Ana", "1.3", "Archers hit harder"));
        box.main().refresh_clicked();
        box.main().apply_clicked();
        ASSERT_NE(read_file(box.custom_assets() / Path(unit_infos_file)), built_a);
    }
    std::vector<RestorePoint> points() const { return list_restore_points(box.custom_assets()); }

    UiSandbox box;
    std::string built_a;
    std::string fingerprint_a;
};

TEST_F(BuildWindowTest, statusBarShowsTheFingerprintOfTheBuildThereIs)
{
    EXPECT_EQ(box.main().get_fingerprint_text(), "");
    EXPECT_FALSE(box.main().fingerprint_label->is_visible());

    apply_a();
    ASSERT_EQ(fingerprint_a.size(), 19u);
    EXPECT_EQ(box.main().get_fingerprint_text(), "Build " + fingerprint_a);
    EXPECT_TRUE(box.main().fingerprint_label->is_visible());
    EXPECT_TRUE(box.main().fingerprint_label->get_selectable());

    apply_b();
    const std::string fingerprint_b = box.core.describe_build().fingerprint;
    EXPECT_NE(fingerprint_b, fingerprint_a);
    EXPECT_EQ(box.main().get_fingerprint_text(), "Build " + fingerprint_b);

    // Nothing enabled: no build, nothing to compare.
    box.main().mod_enable_clicked("0");
    box.main().apply_clicked();
    EXPECT_EQ(box.main().get_fingerprint_text(), "");
    EXPECT_FALSE(box.main().fingerprint_label->is_visible());

    // Another custom-assets folder in the settings: the build there, if any.
    box.core.set_custom_assets_dir(box / "elsewhere");
    EXPECT_EQ(box.main().get_fingerprint_text(), "");
}

struct RestoreCase {
    const char* name;
    int confirm;
    bool restored;
};

class BuildWindowRestore : public BuildWindowTest, public testing::WithParamInterface<RestoreCase> { };

TEST_P(BuildWindowRestore, listsTheRestorePointsAndPutsTheChosenOneBackAfterAsking)
{
    apply_a();
    apply_b();
    ASSERT_EQ(points().size(), 1u);
    std::vector<std::vector<std::string>> rows;
    Answers answers;
    answers
        .then([&](Gtk::Window& w) {
            auto& dialog = dynamic_cast<RestoreDialog&>(w);
            rows = dialog.rows();
            EXPECT_EQ(dialog.get_chosen(), 1u);
            EXPECT_TRUE(dialog.restore_button->is_sensitive());
            return static_cast<int>(Gtk::RESPONSE_OK);
        })
        .then_respond(GetParam().confirm);

    box.main().menu_restore_build_activated();

    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], "Default");
    EXPECT_NE(rows[0][2].find(" of "), std::string::npos) << rows[0][2];
    EXPECT_EQ(rows[0][3], "Better Archers 1.2");
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("(Better Archers 1.2) back in the custom assets folder \""
                  + platform::native(box.custom_assets()) + "\"? The build there now is kept as a restore point"),
        std::string::npos)
        << answers.messages[0];
    if (!GetParam().restored) {
        EXPECT_NE(read_file(box.custom_assets() / Path(unit_infos_file)), built_a);
        EXPECT_EQ(points().size(), 1u);
        EXPECT_NE(box.main().get_fingerprint_text(), "Build " + fingerprint_a);
        return;
    }
    ASSERT_EQ(list_tree(box.custom_assets()), std::vector<std::string>{unit_infos_file});
    EXPECT_EQ(read_file(box.custom_assets() / Path(unit_infos_file)), built_a);
    EXPECT_EQ(box.main().get_fingerprint_text(), "Build " + fingerprint_a);
    ASSERT_EQ(points().size(), 1u);
    ASSERT_EQ(points()[0].info.mods.size(), 1u); // build B
    EXPECT_EQ(points()[0].info.mods[0].version, "1.3");
    EXPECT_EQ(box.main().get_status_message().rfind("Restored the build of ", 0), 0u)
        << box.main().get_status_message();
    // The enabled mods are the user's choice, not the build's.
    EXPECT_EQ(box.core.get_enabled_mods().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Confirm, BuildWindowRestore,
    testing::Values(RestoreCase{"cancelled", Gtk::RESPONSE_CANCEL, false}, RestoreCase{"accepted", Gtk::RESPONSE_OK, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BuildWindowTest, restoreWithoutRestorePointsSaysSoAndCannotRestore)
{
    apply_a();
    bool sensitive = true;
    std::string heading;
    Answers answers;
    answers.then([&](Gtk::Window& w) {
        auto& dialog = dynamic_cast<RestoreDialog&>(w);
        sensitive = dialog.restore_button->is_sensitive();
        heading = dialog.heading.get_text();
        EXPECT_TRUE(dialog.rows().empty());
        return static_cast<int>(Gtk::RESPONSE_OK); // Enter on the window: nothing chosen
    });

    box.main().menu_restore_build_activated();

    EXPECT_FALSE(sensitive);
    EXPECT_EQ(heading, "There are no restore points yet: each apply keeps the build it replaces.");
    EXPECT_EQ(read_file(box.custom_assets() / Path(unit_infos_file)), built_a);
}

TEST_F(BuildWindowTest, playWithoutModsAsksEmptiesTheFolderAndKeepsTheBuild)
{
    apply_a();
    for (int confirm : {Gtk::RESPONSE_CANCEL, Gtk::RESPONSE_OK}) {
        Answers answers;
        answers.then_respond(confirm);
        box.main().menu_play_without_mods_activated();
        ASSERT_EQ(answers.messages.size(), 1u);
        EXPECT_EQ(answers.messages[0].rfind("Empty the custom assets folder \"" + platform::native(box.custom_assets())
                          + "\", so that the game starts without mods? The build there now is kept as a restore point",
                      0),
            0u)
            << answers.messages[0];
    }
    EXPECT_FALSE(exists(box.custom_assets()));
    EXPECT_EQ(box.main().get_fingerprint_text(), "");
    ASSERT_EQ(points().size(), 1u);
    EXPECT_EQ(read_file(points()[0].folder / Path(unit_infos_file)), built_a);
    EXPECT_EQ(box.main().get_status_message(), "The game starts without mods. The build is restore point 1.");
    EXPECT_EQ(box.rows()[0].enabled, true);

    // Again: nothing to empty, nothing asked.
    Answers none;
    box.main().menu_play_without_mods_activated();
    EXPECT_NE(box.main().get_status_message().find("is already empty"), std::string::npos);

    // The next apply brings the mods back.
    box.main().apply_clicked();
    EXPECT_EQ(read_file(box.custom_assets() / Path(unit_infos_file)), built_a);
    EXPECT_EQ(box.main().get_fingerprint_text(), "Build " + fingerprint_a);
}

// With a mod target, the game loads the mod folder apply builds: that is the
// folder Play Without Mods looks at and names, not the custom-assets folder.
TEST_F(BuildWindowTest, playWithoutModsWorksOnTheModFolderOfAModTarget)
{
    apply_a();
    box.core.set_mod_target("Combined");
    const Path mod_folder = box.game() / "Mods/Combined";
    Answers none;

    box.main().menu_play_without_mods_activated();

    EXPECT_EQ(box.main().get_status_message(),
        "The mod folder \"" + platform::native(mod_folder) + "\" is already empty: the game starts without mods.");
    EXPECT_EQ(read_file(box.custom_assets() / Path(unit_infos_file)), built_a);
}

// A folder of the user's own files, never built: no restore point is
// promised, and the files are kept in a backup.
TEST_F(BuildWindowTest, playWithoutModsOverAFolderVelmoraDidNotBuildPromisesNoRestorePoint)
{
    write_file(box.custom_assets() / Path("res\\Fonts\\myfont.txt"), "my font");
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);

    box.main().menu_play_without_mods_activated();

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("no build of Velmora's: files Velmora did not write are kept in a backup"),
        std::string::npos)
        << answers.messages[0];
    EXPECT_EQ(answers.messages[0].find("restore point"), std::string::npos) << answers.messages[0];
    EXPECT_FALSE(exists(box.custom_assets()));
    EXPECT_TRUE(points().empty());
    ASSERT_EQ(box.backups().size(), 1u);
    EXPECT_EQ(read_file(box / "My Games" / box.backups()[0] / Path("res\\Fonts\\myfont.txt")), "my font");
    EXPECT_EQ(box.main().get_status_message().rfind("The game starts without mods. Files Velmora did not write were "
                                                    "kept in \"",
                  0),
        0u)
        << box.main().get_status_message();
}

} // namespace
} // namespace velmora::test
