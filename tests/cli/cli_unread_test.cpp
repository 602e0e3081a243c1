// Files no game reads: creation leaves them out and says so, old mods that
// carry them neither conflict over them nor write them, and a mod aimed at
// Velmora's own files is refused.
#include <gtest/gtest.h>

#include "cli/cli_fixture.h"

namespace velmora::test {
namespace {

class CliUnreadTest : public CliTest {
protected:
    CliRun create(const std::string& name) const
    {
        return cli({"create", native(box / "work"), "--name", name});
    }
};

TEST_F(CliUnreadTest, createLeavesOutWhatNoGameReadsAndCountsIt)
{
    configure({});
    write_file(box / "work/Assets/.DS_Store", "Finder");
    write_file(box / "work/Assets/Art/Thumbs.db", "thumbnails");
    write_file(box / "work/Assets" / (std::string(unit_infos_file) + "~"), game_unit_infos() + "<!-- edited -->");
    write_file(box / "work/Assets/readme.txt", "Stronger archers.");

    CliRun run = create("T");

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Created the mod 'T' with 1 change"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nskipped 3 files no game reads: .DS_Store, Art/Thumbs.db, "
                           "XML/Units/CIV4UnitInfos.xml~\n"),
        std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\nkept 1 document the game does not read: readme.txt\n"), std::string::npos)
        << run.out;
    const std::string shown = cli({"show", "T"}).out;
    EXPECT_NE(shown.find("readme.txt"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Thumbs.db"), std::string::npos) << shown;
}

TEST_F(CliUnreadTest, aFolderOfOnlyFilesNoGameReadsMakesAModOfNoChangesAndSaysSo)
{
    configure({});
    write_file(box / "work/Assets/Art/Thumbs.db", "thumbnails");
    write_file(box / "work/Assets/desktop.ini", "[.ShellClassInfo]");

    CliRun run = create("Nothing");

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Created the mod 'Nothing' with 0 changes"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nskipped 2 files no game reads: Art/Thumbs.db, desktop.ini\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find("the mod changes nothing"), std::string::npos) << run.err;
}

// Mods made before junk was left out, each with its own Windows thumbnails.
TEST_F(CliUnreadTest, oldModsWithDifferentThumbnailsDoNotConflictAndWriteNoneOfThem)
{
    write_mod("p.Pellarix", "P", {archer_combat(4), {"Art\\Thumbs.db", "whole", "P's thumbnails"}});
    write_mod("q.Pellarix", "Q", {{"Art\\Thumbs.db", "whole", "Q's thumbnails"}, {"readme.txt~", "whole", "Q"}});
    configure({"P", "Q"});

    CliRun check = cli({"check"});
    CliRun apply = cli({"apply"});

    EXPECT_EQ(check.code, 0) << check.err;
    EXPECT_NE(check.out.find("No conflicts."), std::string::npos) << check.out;
    ASSERT_EQ(apply.code, 0) << apply.err;
    EXPECT_EQ(list_tree(box.custom_assets()), std::vector<std::string>{unit_infos_file});
    // The mods keep them: nothing of a mod is lost.
    EXPECT_NE(cli({"show", "Q"}).out.find("Thumbs.db"), std::string::npos);
}

TEST_F(CliUnreadTest, aModAimedAtVelmorasManifestIsRefusedNamingIt)
{
    write_mod("sneaky.Pellarix", "Sneaky", {archer_combat(4), {".velmora-manifest", "whole", "velmora-manifest 2\n"}});
    configure({"Sneaky"});
    write_file(box.custom_assets() / "earlier.txt", "from the last apply");

    for (const char* command : {"check", "apply"}) {
        CliRun run = cli({command});
        EXPECT_EQ(run.code, 1) << command;
        EXPECT_NE(run.err.find("The mod 'Sneaky'"), std::string::npos) << command << ": " << run.err;
        EXPECT_NE(run.err.find(".velmora-manifest"), std::string::npos) << command << ": " << run.err;
        EXPECT_EQ(list_tree(box.custom_assets()), std::vector<std::string>{"earlier.txt"}) << command;
    }
}

} // namespace
} // namespace velmora::test
