#include "mod/game_files.h"

#include <gtest/gtest.h>

#include "support/tempdir.h"

namespace velmora {
namespace {

using test::TempDir;
using test::write_file;

// A Steam-like install: the original game, with Warlords and Beyond the Sword inside it.
class GameFilesTest : public ::testing::Test {
protected:
    TempDir tmp;
    Path original = tmp / "Civilization IV";
    Path warlords = original / Path("Warlords");
    Path bts = original / Path("Beyond the Sword");

    void SetUp() override
    {
        write_file(original / Path("Assets\\XML\\Art\\CIV4ArtDefines_Unit.xml"), "original");
        write_file(original / Path("Assets\\XML\\GameInfo\\CIV4EraInfos.xml"), "original");
        write_file(warlords / Path("Assets\\XML\\GameInfo\\CIV4EraInfos.xml"), "warlords");
        write_file(bts / Path("Assets\\XML\\Units\\CIV4UnitInfos.xml"), "bts");
        write_file(bts / Path("Assets\\XML\\GameInfo\\CIV4EraInfos.xml"), "bts");
    }
};

TEST_F(GameFilesTest, aFileIsTakenFromTheFirstFolderTheGameSearchesThatHasIt)
{
    GameFiles game = GameFiles::of_game(bts);
    ASSERT_EQ(game.folders().size(), 3u);
    struct Case {
        const char* rel;
        Path expected;
    } cases[] = {
        {"XML\\GameInfo\\CIV4EraInfos.xml", bts / Path("Assets\\XML\\GameInfo\\CIV4EraInfos.xml")},
        {"xml\\units\\civ4unitinfos.XML", bts / Path("Assets\\XML\\Units\\CIV4UnitInfos.xml")},
        {"XML\\Art\\CIV4ArtDefines_Unit.xml", original / Path("Assets\\XML\\Art\\CIV4ArtDefines_Unit.xml")},
        // Nowhere: named in the game folder's own Assets.
        {"XML\\Units\\Missing.xml", bts / Path("Assets\\XML\\Units\\Missing.xml")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(game.find(Path(c.rel)).str(), c.expected.str()) << c.rel;
}

TEST_F(GameFilesTest, aBaseModsCopyComesBeforeTheGamesAndTheRestIsTheGamesOrder)
{
    const Path big = bts / Path("Mods\\Big Mod");
    write_file(big / Path("Assets\\XML\\Units\\CIV4UnitInfos.xml"), "big mod");
    GameFiles game = GameFiles::of_game(bts, big);
    ASSERT_EQ(game.folders().size(), 4u);
    EXPECT_EQ(game.find(Path("xml\\units\\civ4unitinfos.xml")).str(),
        (big / Path("Assets\\XML\\Units\\CIV4UnitInfos.xml")).str());
    EXPECT_EQ(game.find(Path("XML\\GameInfo\\CIV4EraInfos.xml")).str(),
        (bts / Path("Assets\\XML\\GameInfo\\CIV4EraInfos.xml")).str());
    EXPECT_EQ(GameFiles::of_game(bts, Path()).folders(), GameFiles::of_game(bts).folders());
}

TEST_F(GameFilesTest, warlordsComesBeforeTheOriginalGame)
{
    test::write_file(warlords / Path("Assets\\XML\\Art\\CIV4ArtDefines_Unit.xml"), "warlords");
    GameFiles game = GameFiles::of_game(bts);
    EXPECT_EQ(test::read_file(game.find(Path("XML\\Art\\CIV4ArtDefines_Unit.xml"))), "warlords");
}

TEST_F(GameFilesTest, aGameFolderThatIsWarlordsOrTheOriginalIsNotSearchedTwice)
{
    EXPECT_EQ(GameFiles::of_game(warlords).folders().size(), 2u);
    EXPECT_EQ(GameFiles::of_game(original).folders().size(), 1u);
}

TEST_F(GameFilesTest, aLoneGameFolderHasOnlyItsOwnAssetsEvenWhenMissing)
{
    Path lone = tmp / "Elsewhere\\Game";
    GameFiles game = GameFiles::of_game(lone);
    ASSERT_EQ(game.folders().size(), 1u);
    EXPECT_EQ(game.find(Path("XML\\A.xml")).str(), (lone / Path("Assets\\XML\\A.xml")).str());
    EXPECT_TRUE(GameFiles().find(Path("XML\\A.xml")).empty());
}

} // namespace
} // namespace velmora
