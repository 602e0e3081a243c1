// velmora-cli prefs and create: the checks of the preferences dialog and of
// the create-mod dialog, refusing before anything is stored or written.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "cli/cli_fixture.h"
#include "support/case_name.h"

namespace velmora::test {
namespace {

class CliPrefsTest : public CliTest {
protected:
    void SetUp() override
    {
        configure({});
        mkpath(box / "game without assets", 0755);
        write_game(box / "other game");
        // A big mod in the game's Mods folder.
        write_file(box.game() / "Mods/Big Mod/Assets" / unit_infos_file, game_unit_infos());
    }

    // "@/x" names x in the sandbox folder.
    std::string in_sandbox(const std::string& arg) const
    {
        return arg.rfind("@/", 0) == 0 ? native(box / arg.substr(2)) : arg;
    }

    nlohmann::json stored() const
    {
        CliRun run = cli({"prefs", "--json"});
        EXPECT_EQ(run.code, 0) << run.err;
        return nlohmann::json::parse(run.out);
    }
};

TEST_F(CliPrefsTest, showsTheFoldersInNativeForm)
{
    CliRun run = cli({"prefs"});

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(line_with(run.out, "Game folder:"), "Game folder:           " + native(box.game()));
    EXPECT_EQ(line_with(run.out, "Mods folder:"), "Mods folder:           " + native(box.mods()));
    EXPECT_EQ(
        line_with(run.out, "Custom assets folder:"), "Custom assets folder:  " + native(box.custom_assets()));
}

struct AcceptCase {
    const char* title;
    std::vector<std::string> args; // "@" stands for the sandbox folder
    const char* key;
    const char* stored; // below the sandbox folder
};

std::ostream& operator<<(std::ostream& os, const AcceptCase& c) { return os << c.title; }

class CliPrefsAcceptTest : public CliPrefsTest, public ::testing::WithParamInterface<AcceptCase> { };

TEST_P(CliPrefsAcceptTest, storesTheFolderAsAnAbsolutePath)
{
    const AcceptCase& c = GetParam();
    std::vector<std::string> args{"prefs"};
    for (const std::string& a : c.args)
        args.push_back(in_sandbox(a));

    CliRun run = cli(args);

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(stored()[c.key], native(box / c.stored));
}

INSTANTIATE_TEST_SUITE_P(Folders, CliPrefsAcceptTest,
    ::testing::Values(
        AcceptCase{"custom assets named Assets in any case", {"--custom-assets-dir", "@/My Games/assets"},
            "custom_assets_dir", "My Games/assets"},
        AcceptCase{"unusual custom assets name with --force",
            {"--custom-assets-dir", "@/Mod Output", "--force"}, "custom_assets_dir", "Mod Output"},
        // The program runs in the sandbox's "run" folder.
        AcceptCase{"relative folder", {"--custom-assets-dir", "../Games/./CustomAssets"}, "custom_assets_dir",
            "Games/CustomAssets"},
        AcceptCase{"game folder", {"--civ4-dir", "@/other game"}, "civ4_dir", "other game"},
        AcceptCase{"missing mods folder with --force", {"--mods-dir", "@/later/mods", "--force"}, "mods_dir",
            "later/mods"},
        AcceptCase{"base mod", {"--base-mod", "@/game/Mods/Big Mod"}, "base_mod", "game/Mods/Big Mod"},
        AcceptCase{"base mod without Assets with --force", {"--base-mod", "@/game without assets", "--force"},
            "base_mod", "game without assets"}),
    ::velmora::test::CaseName());

struct RefuseCase {
    const char* title;
    std::vector<std::string> args; // "@" stands for the sandbox folder
    const char* message;
};

std::ostream& operator<<(std::ostream& os, const RefuseCase& c) { return os << c.title; }

class CliPrefsRefuseTest : public CliPrefsTest, public ::testing::WithParamInterface<RefuseCase> { };

TEST_P(CliPrefsRefuseTest, refusesAndStoresNothing)
{
    const RefuseCase& c = GetParam();
    ASSERT_EQ(::symlink(native(box.game() / "Assets").c_str(), native(box / "CustomAssets").c_str()), 0);
    std::vector<std::string> args{"prefs"};
    for (const std::string& a : c.args)
        args.push_back(in_sandbox(a));
    const nlohmann::json before = stored();

    CliRun run = cli(args);

    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    ASSERT_EQ(lines_of(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(stored(), before);
}

INSTANTIATE_TEST_SUITE_P(Folders, CliPrefsRefuseTest,
    ::testing::Values(RefuseCase{"the game's Assets", {"--custom-assets-dir", "@/game/Assets", "--force"},
                          "is the game's own Assets folder"},
        RefuseCase{"the game's Assets in another case", {"--custom-assets-dir", "@/game/ASSETS"},
            "is the game's own Assets folder"},
        RefuseCase{"a link to the game's Assets", {"--custom-assets-dir", "@/CustomAssets"},
            "is the game's own Assets folder"},
        RefuseCase{"the new game's Assets",
            {"--civ4-dir", "@/other game", "--custom-assets-dir", "@/other game/Assets"},
            "is the game's own Assets folder"},
        RefuseCase{"an unusual name", {"--custom-assets-dir", "@/Mod Output"}, "--force"},
        RefuseCase{"CustomAssets in another case", {"--custom-assets-dir", "@/customassets"}, "--force"},
        RefuseCase{"the home folder, even with --force", {"--custom-assets-dir", "@/home", "--force"},
            "home folder"},
        RefuseCase{"missing game folder", {"--civ4-dir", "@/no game"}, "does not exist"},
        RefuseCase{"game folder without Assets", {"--civ4-dir", "@/game without assets"},
            "has no \"Assets\" folder"},
        RefuseCase{"missing mods folder", {"--mods-dir", "@/no mods"}, "The mods folder"},
        RefuseCase{"missing base mod", {"--base-mod", "@/no mod"}, "does not exist"},
        RefuseCase{"base mod without Assets", {"--base-mod", "@/game without assets"}, "has no \"Assets\" folder"},
        RefuseCase{"empty mod target", {"--mod-target", ""}, "has no name"},
        RefuseCase{"mod target with a slash", {"--mod-target", "My/Mod"}, "is not a plain folder name"},
        RefuseCase{"mod target with a backslash", {"--mod-target", "My\\Mod"}, "is not a plain folder name"},
        RefuseCase{"mod target of dots", {"--mod-target", ".."}, "is not a plain folder name"},
        RefuseCase{"mod target ending in a dot", {"--mod-target", "Mod."}, "is not a plain folder name"},
        RefuseCase{"the base mod's own folder, even with --force",
            {"--base-mod", "@/game/Mods/Big Mod", "--mod-target", "big mod", "--force"}, "base mod's own folder"}),
    ::velmora::test::CaseName());

TEST_F(CliPrefsTest, modTargetIsStoredByNameSaidInEveryListingAndClearedByNone)
{
    CliRun run = cli({"prefs", "--base-mod", native(box.game() / "Mods/Big Mod"), "--mod-target", "Combined"});

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(line_with(run.out, "Mod target:"),
        "Mod target:            Combined (" + native(box.game() / "Mods/Combined") + ")");
    EXPECT_NE(run.out.find("Building Mods/Combined on top of Mods/Big Mod.\n"), std::string::npos) << run.out;
    EXPECT_EQ(stored()["mod_target"], "Combined");
    EXPECT_EQ(stored()["target_dir"], native(box.game() / "Mods/Combined"));
    run = cli({"list"});
    EXPECT_NE(run.out.find("Building Mods/Combined on top of Mods/Big Mod.\n"), std::string::npos) << run.out;

    run = cli({"prefs", "--mod-target", "none", "--base-mod", "none"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Building the custom assets folder on top of the game's files.\n"), std::string::npos)
        << run.out;
    EXPECT_TRUE(stored()["mod_target"].is_null());
    EXPECT_TRUE(stored()["base_mod"].is_null());
    EXPECT_EQ(stored()["target_dir"], native(box.custom_assets()));
}

// The game's settings file beside the custom-assets folder names the target
// once it is built, and gets its own line back when the target is cleared.
TEST_F(CliPrefsTest, gameIniAndCacheSettingsAreStoredShownAndUndone)
{
    const std::string ini = "[CONFIG]\r\nMod = 0\r\n";
    write_file(box / "My Games/CivilizationIV.ini", ini);
    mkpath(box.game() / "Mods/Combined/Assets", 0755);

    CliRun run = cli({"prefs", "--mod-target", "Combined", "--game-ini", "yes", "--empty-cache", "yes"});

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(line_with(run.out, "Name the mod target"),
        "Name the mod target in the game's settings file: yes (" + native(box / "My Games/CivilizationIV.ini")
            + ")");
    EXPECT_EQ(line_with(run.out, "Empty the game's cache"),
        "Empty the game's cache after an apply: yes (" + native(box / "My Games/cache") + ")");
    EXPECT_EQ(line_with(run.out, "Installed mods:"),
        "Installed mods: Big Mod, Combined");
    EXPECT_EQ(read_file(box / "My Games/CivilizationIV.ini"), "[CONFIG]\r\nMod = Mods\\Combined\r\n");
    EXPECT_EQ(stored()["game_ini"], true);
    EXPECT_EQ(stored()["empty_cache"], true);
    EXPECT_EQ(stored()["installed_mods"], nlohmann::json::array({"Big Mod", "Combined"}));

    run = cli({"prefs", "--mod-target", "none"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("says \"Mod = 0\" again"), std::string::npos) << run.out;
    EXPECT_EQ(read_file(box / "My Games/CivilizationIV.ini"), ini);
    EXPECT_EQ(stored()["game_ini"], true);

    // A settings file that is gone: said, and the preferences are stored all the same.
    run = cli({"prefs", "--mod-target", "Combined"});
    platform::unlink((box / "My Games/CivilizationIV.ini").str());
    run = cli({"prefs", "--mod-target", "none", "--game-ini", "no"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("is gone"), std::string::npos) << run.out;
    EXPECT_EQ(stored()["game_ini"], false);
    EXPECT_FALSE(exists(box / "My Games/CivilizationIV.ini"));
}

TEST_F(CliPrefsTest, newGameFolderIsCheckedAgainstTheStoredCustomAssets)
{
    // Stored by hand: the custom assets folder is the Assets folder of another game.
    box.write_conf(box.game(), box / "other game/Assets", {});

    CliRun run = cli({"prefs", "--civ4-dir", native(box / "other game")});

    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("is the game's own Assets folder"), std::string::npos) << run.err;
    EXPECT_EQ(stored()["civ4_dir"], native(box.game()));
}

TEST_F(CliPrefsTest, topFolderOfAnInstallIsStoredWithAWarningNamingTheExpansion)
{
    write_game(box / "install");
    write_game(box / "install/Beyond the Sword");

    CliRun run = cli({"prefs", "--civ4-dir", native(box / "install")});

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(
        run.err.find("warning: The game folder \"" + native(box / "install") + "\" holds Beyond the Sword"),
        std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("choose \"" + native(box / "install/Beyond the Sword") + "\""), std::string::npos)
        << run.err;
    EXPECT_EQ(stored()["civ4_dir"], native(box / "install"));

    run = cli({"prefs", "--civ4-dir", native(box / "install/Beyond the Sword")});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

// The create-mod dialog's rules for the folder and the name.
struct CreateErrorCase {
    const char* title;
    std::string dir; // below the sandbox folder
    std::string name;
    int code;
    const char* message;
};

std::ostream& operator<<(std::ostream& os, const CreateErrorCase& c) { return os << c.title; }

class CliCreateTest : public CliTest {
protected:
    void SetUp() override
    {
        configure({});
        write_mod("Alpha.Pellarix", "Alpha");
        // A modified copy of part of the game: the archer is stronger.
        std::string units = game_unit_infos();
        units.replace(units.find("<iCombat>3</iCombat>"), 20, "<iCombat>7</iCombat>");
        write_file(box / "My Mod/Assets" / unit_infos_file, units);
    }
};

class CliCreateErrorTest : public CliCreateTest, public ::testing::WithParamInterface<CreateErrorCase> { };

TEST_P(CliCreateErrorTest, refusesBeforeWritingAnything)
{
    const CreateErrorCase& c = GetParam();
    const std::vector<std::string> before = list_tree(box.mods());
    const std::string alpha = read_file(box.mods() / "Alpha.Pellarix");

    CliRun run = cli({"create", native(box / c.dir), "--name", c.name});

    EXPECT_EQ(run.code, c.code);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(list_tree(box.mods()), before);
    EXPECT_EQ(read_file(box.mods() / "Alpha.Pellarix"), alpha);
}

INSTANTIATE_TEST_SUITE_P(Rules, CliCreateErrorTest,
    ::testing::Values(CreateErrorCase{"empty name", "My Mod", "", 2, "needs a name"},
        CreateErrorCase{"name with a separator", "My Mod", "../escape", 2, "cannot be part of a file name"},
        CreateErrorCase{"device name", "My Mod", "CON", 2, "device name"},
        CreateErrorCase{"name ending in a dot", "My Mod", "Archers.", 2, "ends with a dot"},
        CreateErrorCase{"missing folder", "No Mod", "Archers", 1, "does not exist"},
        // The files themselves chosen instead of the mod's folder: "My Mod/Assets/XML".
        CreateErrorCase{"folder without Assets", "My Mod/Assets/XML", "Archers", 1,
            "is not named \"Assets\" or \"CustomAssets\" and holds no \"Assets\" folder"},
        CreateErrorCase{"existing mod file", "My Mod", "Alpha", 1, "already exists. Give --force"}),
    ::velmora::test::CaseName());

#if __has_include("creator/modcreator.h")
TEST_F(CliCreateTest, createsTheModInTheModsFolder)
{
    CliRun run = cli({"create", native(box / "My Mod"), "--name", "Strong Archers", "--author", "Me",
        "--version", "1.1", "--description", "Archers at 7", "--report"});

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find(native(box.mods() / "Strong Archers.Pellarix")), std::string::npos) << run.out;
    nlohmann::json doc = nlohmann::json::parse(cli({"show", "Strong Archers", "--json"}).out);
    EXPECT_EQ(doc["author"], "Me");
    EXPECT_EQ(doc["version"], "1.1");
    EXPECT_EQ(doc["description"], "Archers at 7");
    ASSERT_EQ(doc["changes"].size(), 1u);
    EXPECT_EQ(doc["changes"][0]["file"], "XML/Units/CIV4UnitInfos.xml");
    EXPECT_EQ(doc["changes"][0]["type"], "xml");
    EXPECT_TRUE(exists(box.settings() / "report.txt"));
}

// Copies of the game's own files in the folder give no change, and the count
// names only the changes the mod holds.
TEST_F(CliCreateTest, countsOnlyTheChangesTheModHolds)
{
    write_file(
        box / "My Mod/Assets" / events_script_file, read_file(box.game() / "Assets" / events_script_file));
    write_file(box.game() / "Assets/Art/button.dds", "DDS |same");
    write_file(box / "My Mod/Assets/Art/button.dds", "DDS |same");

    CliRun run = cli({"create", native(box / "My Mod"), "--name", "Counted", "--report"});

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("with 1 change: "), std::string::npos) << run.out;
    nlohmann::json doc = nlohmann::json::parse(cli({"show", "Counted", "--json"}).out);
    ASSERT_EQ(doc["changes"].size(), 1u);
    EXPECT_EQ(doc["changes"][0]["type"], "xml");
    const std::string report = read_file(box.settings() / "report.txt");
    EXPECT_NE(report.find("Art\\button.dds -> unchanged\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Python\\CvVelmoraEvents.py -> unchanged\n"), std::string::npos) << report;
}

TEST_F(CliCreateTest, forceReplacesAnExistingModFile)
{
    CliRun run = cli({"create", native(box / "My Mod"), "--name", "Alpha", "--force"});

    ASSERT_EQ(run.code, 0) << run.err;
    nlohmann::json doc = nlohmann::json::parse(cli({"show", "Alpha", "--json"}).out);
    EXPECT_EQ(doc["changes"].size(), 1u);
}
#endif

} // namespace
} // namespace velmora::test
