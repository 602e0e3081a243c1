// The folders of the settings that are gone (a drive not mounted, a game
// moved): every command that needs one says which and how to set it, before
// it writes anything.
#include <gtest/gtest.h>
#include <map>

#include "cli/cli_fixture.h"
#include "support/archives.h"
#include "support/case_name.h"

namespace velmora::test {
namespace {

const char* const set_game = "Set it with velmora-cli prefs --civ4-dir, or Detect Game in the preferences.";
const char* const set_mods = "Set it with velmora-cli prefs --mods-dir, or in the preferences.";

// How the settings' folders went wrong.
enum class Gone { GameFolder, GameWithoutAssets, ModsFolder };

struct FolderCase {
    std::string title;
    std::string command;
    Gone gone;
};

std::ostream& operator<<(std::ostream& os, const FolderCase& c) { return os << c.title; }

class CliFoldersTest : public CliTest, public ::testing::WithParamInterface<FolderCase> {
protected:
    void SetUp() override
    {
        write_mod("a.Pellarix", "Alpha", {archer_combat(4)});
        write_file(box.custom_assets() / "earlier.txt", "from the last apply");
        std::string units = game_unit_infos();
        units.replace(units.find("<iCombat>3</iCombat>"), 20, "<iCombat>7</iCombat>");
        write_file(box / "work/Assets" / unit_infos_file, units);
        write_archive(box / "Strong_Archers.zip", "zip", {{"Assets/" + Path(unit_infos_file).str(), units}});
        mkpath(box / "empty game", 0755);
        write_file(box / "empty game/readme.txt", "the game was here");
    }

    // The settings with one folder gone and Alpha enabled.
    void write_settings(Gone gone) const
    {
        const Path game = gone == Gone::GameFolder ? box / "unmounted/game"
            : gone == Gone::GameWithoutAssets      ? box / "empty game"
                                                   : box.game();
        const Path mods = gone == Gone::ModsFolder ? box / "unmounted/mods" : box.mods();
        write_file(box.conf(),
            "<?xml version=\"1.0\"?>\n<VelmoraConfig>\n  <Civ4Dir>" + game.str() + "</Civ4Dir>\n  <ModsDir>"
                + mods.str() + "</ModsDir>\n  <CustomAssetsDir>" + box.custom_assets().str()
                + "</CustomAssetsDir>\n  <EnabledMod>Alpha</EnabledMod>\n</VelmoraConfig>\n");
    }

    std::vector<std::string> args_of(const std::string& command) const
    {
        if (command == "create")
            return {"create", native(box / "work"), "--name", "Strong Archers", "--report"};
        if (command == "import")
            return {"import", native(box / "Strong_Archers.zip"), "--report"};
        // Rules name mods, which a mods folder that is gone hides.
        if (command == "apply with a rule")
            return {"apply", "--prefer", "Alpha:Beta"};
        if (command == "apply --dry-run")
            return {"apply", "--dry-run"};
        return {command};
    }

    // Every file of the home folder (settings, mods, report) and of the
    // custom-assets folder, with its bytes.
    std::map<std::string, std::string> written() const
    {
        std::map<std::string, std::string> files;
        for (const Path& folder : {box.home(), box.custom_assets()})
            for (const std::string& file : list_tree(folder))
                files[folder.str() + "\\" + file] = read_file(folder / file);
        return files;
    }
};

std::string expected_message(const CoreSandbox& box, Gone gone)
{
    switch (gone) {
    case Gone::GameFolder:
        return "The game folder \"" + platform::native(box / "unmounted/game")
            + "\" does not exist (a drive not mounted, or the game moved?). " + set_game;
    case Gone::GameWithoutAssets:
        return "The game folder \"" + platform::native(box / "empty game")
            + "\" holds no Assets folder (the game moved, or another folder was chosen?). " + set_game;
    case Gone::ModsFolder:
        return "The mods folder \"" + platform::native(box / "unmounted/mods")
            + "\" does not exist (a drive not mounted, or the folder moved?). " + set_mods;
    }
    return std::string();
}

TEST_P(CliFoldersTest, saysWhichFolderIsGoneAndWritesNothing)
{
    const FolderCase& c = GetParam();
    write_settings(c.gone);
    const std::map<std::string, std::string> before = written();

    CliRun run = cli(args_of(c.command));

    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_EQ(run.err, "velmora-cli: error: " + expected_message(box, c.gone) + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(written(), before);
}

std::vector<FolderCase> folder_cases()
{
    std::vector<FolderCase> cases;
    for (const char* command : {"apply", "apply --dry-run", "check", "create", "import", "verify"}) {
        cases.push_back({std::string(command) + " game folder gone", command, Gone::GameFolder});
        cases.push_back(
            {std::string(command) + " game folder without Assets", command, Gone::GameWithoutAssets});
    }
    for (const char* command : {"apply", "apply --dry-run", "apply with a rule", "check", "create", "import"})
        cases.push_back({std::string(command) + " mods folder gone", command, Gone::ModsFolder});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Commands, CliFoldersTest, ::testing::ValuesIn(folder_cases()), CaseName());

// Without a mod to apply, apply only removes the custom-assets folder: a game
// that is gone does not stop it.
TEST_F(CliTest, applyOfNoModNeedsNoGameFolder)
{
    write_file(box.custom_assets() / "earlier.txt", "from the last apply");
    box.write_conf(box / "unmounted/game", box.custom_assets(), {});

    CliRun run = cli({"apply"});

    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_FALSE(exists(box.custom_assets()));
}

// A game file that a change needs and the game lacks is still the mod's
// problem, named as such: the folder check does not hide it.
TEST_F(CliTest, aGameFileTheGameLacksIsStillNamed)
{
    write_mod("a.Pellarix", "Alpha", {archer_combat(4)});
    configure({"Alpha"});
    ASSERT_EQ(platform::unlink((box.game() / "Assets" / unit_infos_file).str()), 0);

    CliRun run = cli({"apply"});

    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("CIV4UnitInfos.xml"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("The game folder"), std::string::npos) << run.err;
    EXPECT_FALSE(exists(box.custom_assets()));
}

} // namespace
} // namespace velmora::test
