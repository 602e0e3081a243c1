#include "core/prefs_checks.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/errors.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::TempDir;
using test::write_file;
using V = CustomAssetsVerdict;

struct VerdictCase {
    const char* title;
    const char* custom_assets; // below the temporary folder; "/" for the root, "" for not set
    V verdict;
    const char* message; // a part of the message; "" when none is given
    const char* civ4_dir = "Civ4"; // below the temporary folder; "" for not set
    const char* old_civ4_dir = "";
};

std::ostream& operator<<(std::ostream& os, const VerdictCase& c) { return os << c.title; }

// A game in "Civ4", the settings in "home/.velmora" with the mods below, a
// link "Game Link" to the game folder and a file "notes.txt".
class CustomAssetsVerdictTest : public ::testing::TestWithParam<VerdictCase> {
protected:
    void SetUp() override
    {
        mkpath(dir / "Civ4/Assets", 0755);
        mkpath(dir / "Other Civ4/Assets", 0755);
        mkpath(dir / "home/.velmora/mods", 0755);
        write_file(dir / "notes.txt", "not a folder");
        // A folder name that leads to the game's Assets through a link.
        ASSERT_EQ(
            ::symlink(platform::native(dir / "Civ4").c_str(), platform::native(dir / "Game Link").c_str()),
            0);
    }

    Path below(const char* relative) const
    {
        if (!*relative)
            return Path();
        return *relative == '/' ? Path(relative) : dir / relative;
    }

    FolderSettings folders(const VerdictCase& c) const
    {
        return {below(c.civ4_dir), dir / "home/.velmora/mods", dir / "home/.velmora", dir / "home",
            below(c.old_civ4_dir)};
    }

    TempDir dir;
};

TEST_P(CustomAssetsVerdictTest, judgesByNameAndByRealLocation)
{
    const VerdictCase& c = GetParam();
    CustomAssetsJudgement judgement = judge_custom_assets_dir(below(c.custom_assets), folders(c));
    EXPECT_EQ(judgement.verdict, c.verdict);
    EXPECT_NE(judgement.message.find(c.message), std::string::npos) << judgement.message;
    EXPECT_EQ(judgement.message.empty(), c.verdict == V::Accepted);
}

TEST_P(CustomAssetsVerdictTest, checkedFolderThrowsTheMessageOfARefusal)
{
    const VerdictCase& c = GetParam();
    CustomAssetsJudgement judgement = judge_custom_assets_dir(below(c.custom_assets), folders(c));
    if (judgement.refused()) {
        try {
            checked_custom_assets_dir(below(c.custom_assets), folders(c));
            ADD_FAILURE() << "not refused";
        } catch (const GenericError& e) {
            EXPECT_EQ(e.what(), judgement.message);
        }
    } else {
        EXPECT_EQ(checked_custom_assets_dir(below(c.custom_assets), folders(c)), judgement.real);
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, CustomAssetsVerdictTest,
    ::testing::Values(VerdictCase{"CustomAssets", "My Games/CustomAssets", V::Accepted, ""},
        VerdictCase{"Assets_in_any_case", "My Games/aSSets", V::Accepted, ""},
        VerdictCase{"CustomAssets_in_another_case", "My Games/customassets", V::UnusualName,
            "is not named \"Assets\" or \"CustomAssets\""},
        VerdictCase{"another_name", "My Games/Output", V::UnusualName, "Applying mods deletes and rebuilds it"},
        VerdictCase{"not_set", "", V::NotSet, "is not set"},
        VerdictCase{"root", "/", V::Root, "root of a drive"},
        VerdictCase{"a_file", "notes.txt", V::NotAFolder, "is not a folder"},
        VerdictCase{"the_games_Assets", "Civ4/Assets", V::GameAssets, "is the game's own Assets folder"},
        VerdictCase{
            "the_games_Assets_in_another_case", "CIV4/assets", V::GameAssets, "is the game's own Assets folder"},
        VerdictCase{"the_games_Assets_through_a_link", "Game Link/Assets", V::GameAssets,
            "is the game's own Assets folder"},
        VerdictCase{"the_replaced_games_Assets", "Civ4/Assets", V::GameAssets, "is the game's own Assets folder",
            "Other Civ4", "Civ4"},
        VerdictCase{"no_game_folder_set", "Civ4/Assets", V::Accepted, "", ""},
        VerdictCase{"the_game_folder", "Civ4", V::HoldsKeptFolder, "is or contains the game folder"},
        VerdictCase{"above_the_game_folder", "Civ4/..", V::HoldsKeptFolder, "is or contains the game folder"},
        VerdictCase{"the_mods_folder", "home/.velmora/mods", V::HoldsKeptFolder, "or contains the mods folder"},
        VerdictCase{"the_settings_folder", "home/.velmora", V::HoldsKeptFolder,
            "or contains the settings folder"},
        VerdictCase{"the_home_folder", "home", V::HoldsKeptFolder, "or contains the home folder"}),
    [](const auto& info) { return std::string(info.param.title); });

struct GameDirCase {
    const char* title;
    std::vector<const char*> folders; // made below the temporary folder
    const char* civ4_dir;
    const char* warns_of; // the expansion folder the warning names; "" for no warning
};

std::ostream& operator<<(std::ostream& os, const GameDirCase& c) { return os << c.title; }

class GameDirWarningTest : public ::testing::TestWithParam<GameDirCase> { };

// The top folder of an install holds the original game's Assets: chosen as the
// game folder, mods would be built on the original game's files.
TEST_P(GameDirWarningTest, warnsOfAnExpansionInsideTheGameFolder)
{
    const GameDirCase& c = GetParam();
    TempDir dir;
    for (const char* folder : c.folders)
        ASSERT_EQ(mkpath(dir / folder, 0755), 0) << folder;

    const std::string warning = game_dir_warning(dir / c.civ4_dir);

    if (*c.warns_of == '\0') {
        EXPECT_EQ(warning, "");
        return;
    }
    const std::string expansion = platform::native(dir / c.warns_of);
    EXPECT_NE(warning.find("choose \"" + expansion + "\""), std::string::npos) << warning;
    EXPECT_NE(
        warning.find("The game folder \"" + platform::native(dir / c.civ4_dir) + "\""), std::string::npos)
        << warning;
}

INSTANTIATE_TEST_SUITE_P(Installs, GameDirWarningTest,
    ::testing::Values(GameDirCase{"top_of_a_complete_install",
                          {"Civ4/Assets", "Civ4/Warlords/Assets", "Civ4/Beyond the Sword/Assets"}, "Civ4",
                          "Civ4/Beyond the Sword"},
        GameDirCase{
            "top_of_a_Warlords_install", {"Civ4/Assets", "Civ4/Warlords/Assets"}, "Civ4", "Civ4/Warlords"},
        GameDirCase{"expansion_in_another_letter_case", {"Civ4/Assets", "Civ4/BEYOND THE SWORD/assets"},
            "Civ4", "Civ4/BEYOND THE SWORD"},
        GameDirCase{"the_Beyond_the_Sword_folder",
            {"Civ4/Assets", "Civ4/Warlords/Assets", "Civ4/Beyond the Sword/Assets"}, "Civ4/Beyond the Sword",
            ""},
        GameDirCase{
            "an_expansion_folder_without_Assets", {"Civ4/Assets", "Civ4/Beyond the Sword/Docs"}, "Civ4", ""},
        GameDirCase{"the_original_game_alone", {"Civ4/Assets"}, "Civ4", ""},
        GameDirCase{"a_missing_folder", {}, "Civ4", ""}),
    [](const auto& info) { return std::string(info.param.title); });

} // namespace
} // namespace velmora
