// velmora-cli and whole setups: profiles, restore points, playing without
// mods, setup files shared between players, and the build fingerprint.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_fixture.h"
#include "path/platform.h"

namespace velmora::test {
namespace {

// Two mods that change the archer, the second the winner, and a third that
// changes nothing the others do.
class CliSetupsTest : public CliTest {
protected:
    void SetUp() override
    {
        write_mod("a.Pellarix", "Archers Four", {archer_combat(4)}, "1.0");
        write_mod("b.Pellarix", "Archers Five", {archer_combat(5)}, "2.0");
        write_mod("c.Pellarix", "Quiet", {}, "0.5");
        configure({"Archers Four", "Archers Five"});
    }

    std::vector<std::string> restore_points() const
    {
        std::vector<std::string> names;
        const Path parent = box.custom_assets().subpath(0, box.custom_assets().size() - 1);
        for (const std::string& name : list_files(parent))
            if (name.find(".velmora-restore-") != std::string::npos)
                names.push_back(name);
        return names;
    }

    std::string fingerprint() const
    {
        CliRun run = cli({"fingerprint"});
        EXPECT_EQ(run.code, 0) << run.err;
        return lines_of(run.out).empty() ? std::string() : lines_of(run.out)[0];
    }
};

TEST_F(CliSetupsTest, profilesAreMadeSwitchedRenamedAndDeleted)
{
    CliRun run = cli({"profile", "new", "Quiet Game"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(cli({"profile", "new", "Copy", "--copy"}).code, 0);
    run = cli({"profile", "switch", "Quiet Game"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Switched to the profile 'Quiet Game' (0 mods enabled)"), std::string::npos) << run.out;
    ASSERT_EQ(cli({"enable", "Quiet"}).code, 0);

    run = cli({"profile", "list"});
    EXPECT_EQ(run.out, "  Default (2 mods enabled)\n* Quiet Game (1 mod enabled)\n  Copy (2 mods enabled)\n");
    run = cli({"list", "--json"});
    const nlohmann::json quiet = nlohmann::json::parse(run.out);
    for (const auto& mod : quiet["mods"])
        EXPECT_EQ(mod["enabled"], mod["name"] == "Quiet") << mod;
    // Another profile for one command, without switching.
    run = cli({"--profile", "Default", "list", "--json"});
    const nlohmann::json others = nlohmann::json::parse(run.out);
    for (const auto& mod : others["mods"])
        EXPECT_EQ(mod["enabled"], mod["name"] != "Quiet") << mod;
    EXPECT_EQ(cli({"--profile", "Nope", "list"}).code, 1);

    run = cli({"profile", "delete", "Quiet Game"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("is the current one"), std::string::npos) << run.err;
    EXPECT_EQ(cli({"profile", "rename", "Copy", "Copied"}).code, 0);
    EXPECT_EQ(cli({"profile", "delete", "Copied"}).code, 0);
    run = cli({"profile", "list", "--json"});
    const nlohmann::json list = nlohmann::json::parse(run.out);
    EXPECT_EQ(list["current"], "Quiet Game");
    ASSERT_EQ(list["profiles"].size(), 2u);
    EXPECT_EQ(list["profiles"][0]["enabled"], nlohmann::json::array({"Archers Four", "Archers Five"}));
}

TEST_F(CliSetupsTest, eachProfileRemembersItsOwnAnswers)
{
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four", "--remember"}).code, 0);
    ASSERT_EQ(cli({"profile", "new", "Other", "--copy"}).code, 0);
    ASSERT_EQ(cli({"profile", "switch", "Other"}).code, 0);
    ASSERT_EQ(cli({"apply"}).code, 0) << "the copy took the answer";
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Four:Archers Five", "--remember"}).code, 0);
    EXPECT_EQ(cli({"answers"}).out, "'Archers Four' wins over 'Archers Five'\n");
    EXPECT_EQ(cli({"--profile", "Default", "answers"}).out, "'Archers Five' wins over 'Archers Four'\n");
}

TEST_F(CliSetupsTest, restoreBringsBackABuildByteForByteAndKeepsTheCurrentOne)
{
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four"}).code, 0);
    const std::string five = applied_units();
    const std::string five_code = fingerprint();
    const std::string manifest = read_file(box.custom_assets() / ".velmora-manifest");
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Four:Archers Five"}).code, 0);
    ASSERT_EQ(restore_points().size(), 1u);
    // A file of the user's in the build: kept in a backup when the folder is replaced.
    write_file(box.custom_assets() / "Art/mine.dds", "mine");

    CliRun run = cli({"restore", "--list"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(line_with(run.out, "Archers Four 1.0, Archers Five 2.0").find("Default"), std::string::npos) << run.out;
    run = cli({"restore"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(applied_units(), five);
    EXPECT_EQ(read_file(box.custom_assets() / ".velmora-manifest"), manifest);
    EXPECT_EQ(fingerprint(), five_code);
    EXPECT_FALSE(exists(box.custom_assets() / "Art/mine.dds"));
    ASSERT_EQ(box.backups().size(), 1u);
    EXPECT_NE(run.out.find("kept in"), std::string::npos) << run.out;
    EXPECT_EQ(restore_points().size(), 1u) << "the build replaced is a restore point itself";

    // The manifest came back with the build: the next apply carries its files over rightly.
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four"}).code, 0);
    EXPECT_EQ(applied_units(), five);
    EXPECT_EQ(cli({"restore", "7"}).code, 1);
}

TEST_F(CliSetupsTest, theNewestRestorePointsAreKeptUpToTheLimit)
{
    ASSERT_EQ(cli({"prefs", "--restore-points", "2"}).code, 0);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(cli({"apply", "--prefer", i % 2 ? "Archers Five:Archers Four" : "Archers Four:Archers Five"}).code, 0);
    EXPECT_EQ(restore_points().size(), 2u);
    ASSERT_EQ(cli({"prefs", "--restore-points", "0"}).code, 0);
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four"}).code, 0);
    EXPECT_EQ(restore_points().size(), 0u);
}

TEST_F(CliSetupsTest, unmodEmptiesTheFolderAndTheNextApplyBringsTheModsBack)
{
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four"}).code, 0);
    const std::string built = applied_units();

    CliRun run = cli({"unmod"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_FALSE(exists(box.custom_assets()));
    EXPECT_EQ(restore_points().size(), 1u);
    EXPECT_EQ(cli({"fingerprint"}).code, 1);
    run = cli({"unmod"});
    EXPECT_NE(run.out.find("already empty"), std::string::npos) << run.out;

    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four"}).code, 0);
    EXPECT_EQ(applied_units(), built);
}

TEST_F(CliSetupsTest, exportAndImportSetupFindModsByHashThenByName)
{
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four", "--remember"}).code, 0);
    const std::string setup = native(box / "setup.xml");
    CliRun run = cli({"export", setup});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("2 mods, 1 remembered answer"), std::string::npos) << run.out;

    // The friend's folder: Archers Five under another file name, the same bytes,
    // and another version of Archers Four.
    platform::rename((box.mods() / "b.Pellarix").str(), (box.mods() / "five.Pellarix").str());
    write_mod("a.Pellarix", "Archers Four", {archer_combat(4)}, "1.1", "Newer");
    run = cli({"import-setup", setup, "--as", "Friend"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("'Archers Five' 2.0: found (five.Pellarix)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("'Archers Four' 1.0: version differs (here 1.1, a.Pellarix)"), std::string::npos)
        << run.out;
    ASSERT_EQ(cli({"profile", "switch", "Friend"}).code, 0);
    EXPECT_EQ(cli({"answers"}).out, "'Archers Five' wins over 'Archers Four'\n");

    // A missing mod: listed, exit 1, and the profile made all the same.
    platform::unlink((box.mods() / "five.Pellarix").str());
    run = cli({"import-setup", setup, "--as", "Lacking"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("'Archers Five' 2.0: missing"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("1 mod of the setup is missing"), std::string::npos) << run.err;
    EXPECT_EQ(cli({"import-setup", setup, "--as", "Lacking"}).code, 1) << "the name is taken now";
    write_file(box / "not-a-setup.xml", "<?xml version=\"1.0\"?>\n<Other/>\n");
    EXPECT_EQ(cli({"import-setup", native(box / "not-a-setup.xml")}).code, 1);
}

TEST_F(CliSetupsTest, createForceKeepsTheModsPlaceInTheEnabledSets)
{
    mkpath(box / "changed/Assets", 0755);
    write_game(box.game());
    write_file(box / "changed/Assets" / unit_infos_file, game_unit_infos());
    configure({"Archers Four", "Archers Five", "Mine"});
    ASSERT_EQ(cli({"create", native(box / "changed"), "--name", "Mine"}).code, 0);
    ASSERT_EQ(cli({"profile", "new", "Other", "--copy"}).code, 0);

    CliRun run = cli({"create", native(box / "changed"), "--name", "Mine", "--force"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("keeps its place among the enabled mods of the profiles 'Default', 'Other'"),
        std::string::npos)
        << run.out;
    run = cli({"list"});
    EXPECT_EQ(line_with(run.out, "Mine.Pellarix").rfind("[x]", 0), 0u) << run.out;
}

// The fingerprint is made of the files apply wrote: equal builds give equal
// codes, whatever the times; one byte changes it; a foreign file does not.
TEST_F(CliSetupsTest, fingerprintFollowsTheBuiltFilesOnly)
{
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four"}).code, 0);
    const std::string first = fingerprint();
    EXPECT_EQ(first.size(), 19u) << first;
    ASSERT_EQ(cli({"unmod"}).code, 0);
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four"}).code, 0);
    EXPECT_EQ(fingerprint(), first) << "built again, later";
    write_file(box.custom_assets() / "readme.txt", "a foreign file");
    EXPECT_EQ(fingerprint(), first);
    CliRun json = cli({"fingerprint", "--json"});
    const nlohmann::json doc = nlohmann::json::parse(json.out);
    EXPECT_EQ(doc["fingerprint"], first);
    EXPECT_EQ(doc["mods"].size(), 2u);

    write_mod("a.Pellarix", "Archers Four", {archer_combat(6)}, "1.0");
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Four:Archers Five"}).code, 0);
    EXPECT_NE(fingerprint(), first);
}

} // namespace
} // namespace velmora::test
