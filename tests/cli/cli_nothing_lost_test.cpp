// What velmora-cli must never lose: the user's files in the custom-assets
// folder, the settings of mods whose files are away, another run's work.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <list>
#include <map>
#include <thread>

#include "cli/cli_fixture.h"
#include "core/manifest.h"

namespace velmora::test {
namespace {

class CliKeepTest : public CliTest {
protected:
    void SetUp() override
    {
        write_game(box.game());
        write_mod("a.Pellarix", "Alpha", {archer_combat(4)});
    }
};

// The bytes and the modification time, to the nanosecond.
struct FileState {
    std::string bytes;
    long long seconds = 0;
    long nanoseconds = 0;
    bool operator==(const FileState& o) const
    {
        return bytes == o.bytes && seconds == o.seconds && nanoseconds == o.nanoseconds;
    }
};

FileState state_of(const Path& file)
{
    struct ::stat st {};
    FileState s;
    if (::stat(platform::native(file).c_str(), &st) == 0) {
        s.seconds = st.st_mtim.tv_sec;
        s.nanoseconds = st.st_mtim.tv_nsec;
    }
    s.bytes = read_file(file);
    return s;
}

struct ReadOnlyCase {
    const char* title;
    std::vector<std::string> args;
};

class CliReadOnlyTest : public CliKeepTest, public ::testing::WithParamInterface<ReadOnlyCase> { };

// The conf holds a mod whose file is away and a folder in a form Velmora
// would write differently: any rewrite would show.
TEST_P(CliReadOnlyTest, leavesTheSettingsFileAsItWas)
{
    write_file(box.conf(),
        "<?xml version=\"1.0\"?>\n<VelmoraConfig><Civ4Dir>" + native(box.game())
            + "</Civ4Dir><CustomAssetsDir>" + native(box.custom_assets())
            + "</CustomAssetsDir><EnabledMod>Alpha</EnabledMod><EnabledMod>Away</EnabledMod></VelmoraConfig>");
    // Back in time, so that a rewrite within the same clock tick shows too.
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, native(box.conf()).c_str(), times, 0), 0);
    const FileState before = state_of(box.conf());

    CliRun run = cli(GetParam().args);

    EXPECT_NE(run.code, 2) << run.err;
    EXPECT_TRUE(state_of(box.conf()) == before) << read_file(box.conf());
}

INSTANTIATE_TEST_SUITE_P(Commands, CliReadOnlyTest,
    ::testing::Values(ReadOnlyCase{"list", {"list"}}, ReadOnlyCase{"list_json", {"list", "--json"}},
        ReadOnlyCase{"show", {"show", "Alpha"}}, ReadOnlyCase{"check", {"check"}},
        ReadOnlyCase{"prefs", {"prefs"}}, ReadOnlyCase{"prefs_json", {"prefs", "--json"}},
        ReadOnlyCase{"apply_refused", {"apply"}}, ReadOnlyCase{"answers", {"answers"}},
        ReadOnlyCase{"answers_json", {"answers", "--json"}}),
    [](const auto& info) { return std::string(info.param.title); });

TEST_F(CliKeepTest, anEnabledModWhoseFileIsMissingIsListedWithAWarningAndStaysEnabled)
{
    configure({"Alpha", "Away"});

    CliRun list = cli({"list"});
    EXPECT_EQ(list.code, 0) << list.err;
    EXPECT_NE(line_with(list.out, "Away").find("[!]"), std::string::npos) << list.out;
    EXPECT_NE(line_with(list.out, "Away").find("file missing"), std::string::npos) << list.out;
    EXPECT_NE(line_with(list.out, "Alpha").find("[x]"), std::string::npos) << list.out;
    EXPECT_NE(list.err.find("The enabled mod 'Away' is missing"), std::string::npos) << list.err;

    CliRun apply = cli({"apply"});
    EXPECT_EQ(apply.code, 1);
    EXPECT_NE(apply.err.find("The enabled mod 'Away' is missing from the mods folder"), std::string::npos)
        << apply.err;
    EXPECT_FALSE(exists(box.custom_assets()));

    // Enabling another mod keeps it; disabling it by name lets it go.
    write_mod("b.Pellarix", "Beta");
    EXPECT_EQ(cli({"enable", "Beta"}).code, 0);
    EXPECT_NE(read_file(box.conf()).find("<EnabledMod>Away</EnabledMod>"), std::string::npos);
    CliRun disable = cli({"disable", "Away"});
    EXPECT_EQ(disable.code, 0) << disable.err;
    EXPECT_EQ(read_file(box.conf()).find("Away"), std::string::npos);
}

TEST_F(CliKeepTest, aMissingModsFolderIsReportedAsMissingAndItsModsStayEnabled)
{
    // The mods folder on a drive that is not mounted.
    const std::string away = native(box / "unmounted/mods");
    const std::string conf = "<?xml version=\"1.0\"?>\n<VelmoraConfig><ModsDir>" + away
        + "</ModsDir><EnabledMod>Alpha</EnabledMod></VelmoraConfig>\n";
    write_file(box.conf(), conf);

    CliRun run = cli({"list"});

    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.find("No mods in"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("The mods folder \"" + away + "\" does not exist"), std::string::npos) << run.err;
    EXPECT_NE(line_with(run.out, "Alpha").find("[!]"), std::string::npos) << run.out;
    EXPECT_EQ(read_file(box.conf()), conf);
}

TEST_F(CliKeepTest, applyKeepsTheUsersFilesInABackupItNames)
{
    configure({"Alpha"});
    ASSERT_EQ(cli({"apply"}).code, 0);
    write_file(box.custom_assets() / "res/Fonts/myfont.txt", "my font");

    CliRun run = cli({"apply"});

    EXPECT_EQ(run.code, 0) << run.err;
    ASSERT_EQ(box.backups().size(), 1u);
    const Path backup = box / "My Games" / box.backups()[0];
    EXPECT_NE(run.out.find("kept as \"" + native(backup) + "\""), std::string::npos) << run.out;
    EXPECT_EQ(read_file(backup / "res/Fonts/myfont.txt"), "my font");
    EXPECT_FALSE(exists(box.custom_assets() / "res/Fonts/myfont.txt"));
    EXPECT_NE(applied_units().find("<iCombat>4</iCombat>"), std::string::npos);

    // Now the folder holds only what Velmora wrote.
    CliRun again = cli({"apply"});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.out.find("kept as"), std::string::npos) << again.out;
    EXPECT_EQ(box.backups().size(), 1u);
}

TEST_F(CliKeepTest, applyWithoutBackupDeletesTheUsersFiles)
{
    configure({"Alpha"});
    write_file(box.custom_assets() / "res/Fonts/myfont.txt", "my font");

    CliRun run = cli({"apply", "--no-backup"});

    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(box.backups().empty());
    EXPECT_FALSE(exists(box.custom_assets() / "res/Fonts/myfont.txt"));
    EXPECT_EQ(list_tree(box.custom_assets()), std::vector<std::string>{unit_infos_file});
}

// The files of a folder and their bytes.
std::map<std::string, std::string> tree_of(const Path& folder)
{
    std::map<std::string, std::string> files;
    for (const std::string& f : list_tree(folder))
        files[f] = read_file(folder / Path(f));
    return files;
}

TEST_F(CliKeepTest, twoAppliesStartedTogetherEachSucceedOrStopAndTheTreeIsAlwaysWhole)
{
    write_mod("b.Pellarix", "Beta", {{events_script_file, "whole", "# Beta's events\n"}});
    configure({"Alpha", "Beta"});
    ASSERT_EQ(cli({"apply"}).code, 0);
    const auto clean = tree_of(box.custom_assets());
    Manifest reference;
    ASSERT_TRUE(Manifest::read(box.custom_assets(), reference));

    for (int round = 0; round < 20; ++round) {
        CliRun first, second;
        std::thread other([&] { second = cli({"apply"}); });
        first = cli({"apply"});
        other.join();
        for (const CliRun* run : {&first, &second}) {
            if (run->code != 0) {
                EXPECT_NE(run->err.find("Another Velmora is applying mods to"), std::string::npos)
                    << "round " << round << ": " << run->err;
            }
        }
        ASSERT_EQ(tree_of(box.custom_assets()), clean) << "round " << round;
        Manifest written;
        ASSERT_TRUE(Manifest::read(box.custom_assets(), written)) << "round " << round;
        EXPECT_EQ(written.entries.size(), reference.entries.size());
        ASSERT_TRUE(box.backups().empty()) << "round " << round;
    }
    std::list<std::string> beside = list_files(box / "My Games");
    // Earlier builds kept as restore points (the newest three) are no leftovers.
    beside.remove_if([](const std::string& name) { return name.rfind(".CustomAssets.velmora-restore-", 0) == 0; });
    EXPECT_EQ(beside, std::list<std::string>{"CustomAssets"});
}

} // namespace
} // namespace velmora::test
