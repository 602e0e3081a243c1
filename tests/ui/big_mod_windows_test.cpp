// The windows' part of building a mod on top of a big mod: the preferences'
// base mod, mod target and game-file settings, and what the main window
// tells after an apply into a mod target.
#include <gtest/gtest.h>

#include "core/game_user_files.h"
#include "path/fs.h"
#include "path/platform.h"
#include "ui/mainwindow.h"
#include "ui/prefsdialog.h"
#include "ui_fixture.h"

namespace velmora::test {
namespace {

// The game with two big mods and a folder that is no mod in its Mods folder;
// the dialog open as the main window opens it.
class BigModPrefs : public testing::Test {
protected:
    void SetUp() override
    {
        mkpath(box / "game/Mods/AdvCiv/Assets/XML", 0755);
        mkpath(box / "game/Mods/BUG Mod/Assets", 0755);
        mkpath(box / "game/Mods/Readme only", 0755);
        box.write_conf(box.game(), box.custom_assets(), {});
        box.start();
        prefs = box.ui->prefs;
        box.main().menu_prefs_activated();
    }

    std::string native(const char* relative) const { return platform::native(box / relative); }

    std::vector<std::string> listed() const
    {
        std::vector<std::string> names;
        for (const Gtk::TreeModel::Row& row : prefs->installed_mods_view->get_model()->children()) {
            const Glib::ustring name = row[prefs->installed_columns.name];
            names.push_back(name);
        }
        return names;
    }

    UiSandbox box;
    PrefsDialog* prefs = nullptr;
};

TEST_F(BigModPrefs, listsTheGamesModsAndPickingOneFillsTheBaseMod)
{
    EXPECT_EQ(listed(), (std::vector<std::string>{"AdvCiv", "BUG Mod"}));
    EXPECT_EQ(prefs->base_mod_entry->get_text(), "");
    EXPECT_EQ(prefs->mod_target_entry->get_text(), "");

    prefs->installed_mods_view->get_selection()->select(Gtk::TreePath("1"));
    EXPECT_EQ(prefs->base_mod_entry->get_text(), native("game/Mods/BUG Mod"));

    // The list follows the game folder typed; filling it changes no entry.
    prefs->civ4_dir_entry->set_text(native("elsewhere"));
    EXPECT_TRUE(listed().empty());
    EXPECT_EQ(prefs->base_mod_entry->get_text(), native("game/Mods/BUG Mod"));
    prefs->civ4_dir_entry->set_text(native("game"));
    EXPECT_EQ(listed().size(), 2u);
    const auto picked = prefs->installed_mods_view->get_selection()->get_selected();
    ASSERT_TRUE(picked);
    const Glib::ustring name = (*picked)[prefs->installed_columns.name];
    EXPECT_EQ(name, "BUG Mod");
}

TEST_F(BigModPrefs, confirmingStoresTheBigModSettingsAndCancelShowsTheCoresAgain)
{
    prefs->base_mod_entry->set_text(native("game/Mods/AdvCiv"));
    prefs->mod_target_entry->set_text("Combined");
    prefs->game_ini_mod_check->set_active(true);
    prefs->empty_cache_check->set_active(true);
    prefs->response(Gtk::RESPONSE_CANCEL);
    EXPECT_TRUE(box.core.get_base_mod().empty());
    EXPECT_EQ(prefs->mod_target_entry->get_text(), "");
    EXPECT_FALSE(prefs->game_ini_mod_check->get_active());

    box.main().menu_prefs_activated();
    prefs->base_mod_entry->set_text(native("game/Mods/AdvCiv"));
    prefs->mod_target_entry->set_text("Combined");
    prefs->game_ini_mod_check->set_active(true);
    prefs->empty_cache_check->set_active(true);
    prefs->response(Gtk::RESPONSE_OK);

    EXPECT_FALSE(prefs->is_visible());
    EXPECT_EQ(box.core.get_base_mod(), box / "game/Mods/AdvCiv");
    EXPECT_EQ(box.core.get_mod_target(), "Combined");
    EXPECT_TRUE(box.core.get_game_ini_mod());
    EXPECT_TRUE(box.core.get_empty_game_cache());
}

struct RefusedCase {
    const char* name;
    const char* base; // relative to the sandbox; "" none
    const char* target;
    const char* message; // a part of the error shown
};

std::ostream& operator<<(std::ostream& os, const RefusedCase& c) { return os << c.name; }

class BigModRefused : public BigModPrefs, public testing::WithParamInterface<RefusedCase> { };

TEST_P(BigModRefused, isToldAndNothingIsStored)
{
    const RefusedCase& c = GetParam();
    prefs->base_mod_entry->set_text(*c.base ? native(c.base) : std::string());
    prefs->mod_target_entry->set_text(c.target);
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);

    prefs->response(Gtk::RESPONSE_OK);

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find(c.message), std::string::npos) << answers.messages[0];
    EXPECT_TRUE(prefs->is_visible());
    EXPECT_TRUE(box.core.get_base_mod().empty());
    EXPECT_TRUE(box.core.get_mod_target().empty());
}

INSTANTIATE_TEST_SUITE_P(BigModPrefs, BigModRefused,
    testing::Values(RefusedCase{"baseModWithoutAssets", "game/Mods/Readme only", "", "Assets"},
        RefusedCase{"targetIsTheBaseMod", "game/Mods/AdvCiv", "advciv", "base mod"},
        RefusedCase{"targetWithASeparator", "", "a/b", "plain folder name"}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST_F(BigModPrefs, clearingTheTargetPutsTheGamesModLineBack)
{
    const std::string ini = "[CONFIG]\r\nMod = 0\r\n";
    write_file(box / "My Games/CivilizationIV.ini", ini);
    mkpath(box / "game/Mods/Combined/Assets", 0755);
    prefs->mod_target_entry->set_text("Combined");
    prefs->game_ini_mod_check->set_active(true);
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);
    prefs->response(Gtk::RESPONSE_OK);
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("Mods\\Combined"), std::string::npos) << answers.messages[0];
    EXPECT_EQ(read_file(box / "My Games/CivilizationIV.ini"), "[CONFIG]\r\nMod = Mods\\Combined\r\n");

    box.main().menu_prefs_activated();
    prefs->mod_target_entry->set_text("");
    answers.then_respond(Gtk::RESPONSE_OK);
    prefs->response(Gtk::RESPONSE_OK);
    ASSERT_EQ(answers.messages.size(), 2u);
    EXPECT_EQ(read_file(box / "My Games/CivilizationIV.ini"), ini);
    EXPECT_FALSE(prefs->is_visible());
}

// One enabled mod whose apply writes a file; the folders of the preferences.
class BigModApply : public testing::Test {
protected:
    void SetUp() override
    {
        box.write_conf(box.game(), box.custom_assets(), {"Archers"});
        box.write_mod("Archers.Pellarix", mod_file_text("Archers"));
        box.start();
        box.core.set_apply_steps([](const Mod&, const Mod&) {},
            [](const Mod&, const GameFiles&, const Path& folder) {
                write_file(folder / Path("built.txt"), "b");
            });
    }

    std::string status() const { return box.main().get_status_message(); }

    UiSandbox box;
};

TEST_F(BigModApply, intoAModTargetTellsHowToStartIt)
{
    box.core.set_mod_target("Combined");
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);

    box.main().apply_clicked();

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("Building Mods/Combined"), std::string::npos) << answers.messages[0];
    EXPECT_NE(answers.messages[0].find("Advanced > Load a Mod > Combined"), std::string::npos);
    EXPECT_NE(answers.messages[0].find("mod=\"Mods\\Combined\""), std::string::npos);
    EXPECT_TRUE(exists(box / "game/Mods/Combined/Assets/built.txt"));
}

TEST_F(BigModApply, whatFailsWithTheGamesFilesIsAWarningAfterABuildThatStays)
{
    box.core.set_mod_target("Combined");
    box.core.set_game_ini_mod(true);
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);

    box.main().apply_clicked();

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("CivilizationIV.ini\" does not exist"), std::string::npos)
        << answers.messages[0];
    EXPECT_TRUE(exists(box / "game/Mods/Combined/Assets/built.txt"));
}

TEST_F(BigModApply, theEmptiedCacheIsToldInTheStatusBar)
{
    box.core.set_empty_game_cache(true);
    write_file(box / "My Games/cache/parsed.dat", "old");

    box.main().apply_clicked();

    EXPECT_FALSE(exists(box / "My Games/cache/parsed.dat"));
    EXPECT_NE(status().find("Emptied the game's cache"), std::string::npos) << status();
}

} // namespace
} // namespace velmora::test
