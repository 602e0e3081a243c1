// velmora-cli as a whole: its command line, its start-up, and the settings it
// shares with the windows.
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include "cli/cli_fixture.h"
#include "core/orrindel.h"
#include "mod/mod.h"
#include "support/case_name.h"

namespace velmora::test {
namespace {

struct UsageCase {
    const char* title;
    std::vector<std::string> args;
    int code;
    const char* out; // expected in standard output
    const char* err; // expected in standard error; every line of it is one of ours
};

std::ostream& operator<<(std::ostream& os, const UsageCase& c) { return os << c.title; }

class CliUsageTest : public CliTest, public ::testing::WithParamInterface<UsageCase> { };

TEST_P(CliUsageTest, exitCodeAndMessagesFollowTheConventions)
{
    const UsageCase& c = GetParam();
    CliRun run = cli(c.args);
    EXPECT_EQ(run.code, c.code) << run.err;
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    for (const std::string& line : lines_of(run.err))
        EXPECT_EQ(line.rfind("velmora-cli: ", 0), 0u) << "not a message line of ours: " << line;
    if (c.code == 2) {
        EXPECT_EQ(lines_of(run.err).front().rfind("velmora-cli: error: ", 0), 0u) << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(CommandLine, CliUsageTest,
    ::testing::Values(UsageCase{"no command", {}, 2, "", "A subcommand is required"},
        UsageCase{"unknown command", {"frobnicate"}, 2, "", "Unknown command \"frobnicate\""},
        UsageCase{"unknown option", {"list", "--bogus"}, 2, "", "--bogus"},
        UsageCase{"enable without a mod", {"enable"}, 2, "", "MOD"},
        UsageCase{"change text and json together", {"show", "x", "--change", "a", "--json"}, 2, "", "--json"},
        UsageCase{"prefer rule without a colon", {"check", "--prefer", "Winner"}, 2, "", "WINNER:LOSER"},
        UsageCase{"empty folder for a preference", {"prefs", "--mods-dir", ""}, 2, "", "--mods-dir"},
        UsageCase{"help", {"--help"}, 0, "Usage: velmora-cli", ""},
        UsageCase{"help of a command", {"apply", "--help"}, 0, "--prefer", ""},
        UsageCase{"version", {"--version"}, 0, "velmora-cli ", ""}),
    ::velmora::test::CaseName());

class CliStartTest : public CliTest { };

TEST_F(CliStartTest, missingElementTableIsAnError)
{
    if (exists(Path(std::string(VELMORA_INSTALLED_DATA_DIR)) / Path("elements.txt")))
        GTEST_SKIP() << "an installed element table would be found";
    // A copy of the program far from the build folder's element table.
    TempDir elsewhere;
    Path program = elsewhere / "bin/velmora-cli";
    write_file(program, read_file(Path(VELMORA_CLI)));
    ASSERT_EQ(::chmod(native(program).c_str(), 0755), 0);
    mkpath(elsewhere / "work", 0755);

    CliRun run
        = run_process(native(program), {"--home", native(box.home()), "list"}, native(elsewhere / "work"));

    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(
        run.err.find("velmora-cli: error: Cannot find the data file \"elements.txt\""), std::string::npos)
        << run.err;
    EXPECT_EQ(lines_of(run.err).size(), 1u) << run.err;
}

TEST_F(CliStartTest, unreadableConfigurationIsSetAsideWithOneWarning)
{
    const std::string broken = "<VelmoraConfig><Civ4Dir>C:\\Games</Civ";
    write_file(box.conf(), broken);
    write_mod("a.Pellarix", "Alpha");

    CliRun run = cli({"list"});

    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Alpha"), std::string::npos);
    ASSERT_EQ(lines_of(run.err).size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("velmora-cli: warning: ", 0), 0u);
    EXPECT_NE(run.err.find("conf.bad"), std::string::npos);
    EXPECT_EQ(read_file(box.settings() / "conf.bad"), broken);
}

TEST_F(CliStartTest, homeThatIsNotAFolderIsAnError)
{
    const std::string missing = native(box / "no such home");
    CliRun run = run_cli({"--home", missing, "list"}, native(box.run()));

    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("\"" + missing + "\""), std::string::npos) << run.err;
    EXPECT_FALSE(exists(box / "no such home"));
}

TEST_F(CliStartTest, settingsComeFromHomeUnlessHomeIsGiven)
{
    write_mod("a.Pellarix", "Alpha");
    mkpath(box / "other home", 0755);

    CliRun from_env = run_cli({"list"}, native(box.run()), "", {{"HOME", native(box.home())}});
    EXPECT_EQ(from_env.code, 0) << from_env.err;
    EXPECT_NE(from_env.out.find("Alpha"), std::string::npos) << from_env.out;

    CliRun overridden = run_cli({"--home", native(box.home()), "list"}, native(box.run()), "",
        {{"HOME", native(box / "other home")}});
    EXPECT_NE(overridden.out.find("Alpha"), std::string::npos) << overridden.out;
    EXPECT_FALSE(exists(box / "other home/.velmora"));
}

// The windows keep their settings through the core's Config: what one side
// writes, the other reads.
class CliSharedSettingsTest : public CliTest {
protected:
    std::unique_ptr<Orrindel> start_core() const
    {
        auto core = std::make_unique<Orrindel>(box.home());
        core->startup();
        return core;
    }

    static Mod* named(const Orrindel& core, const std::string& name)
    {
        for (Mod* m : core.get_mods())
            if (m->name == name)
                return m;
        return nullptr;
    }
};

TEST_F(CliSharedSettingsTest, cliReadsWhatTheCoreWrote)
{
    write_mod("a.Pellarix", "Alpha");
    write_mod("b.Pellarix", "Beta");
    {
        auto core = start_core();
        core->set_civ4_dir(box.game());
        core->set_custom_assets_dir(box.custom_assets());
        core->set_mod_enabled(named(*core, "Beta"), true);
        core->save_config();
    }

    CliRun prefs = cli({"prefs", "--json"});
    ASSERT_EQ(prefs.code, 0) << prefs.err;
    nlohmann::json p = nlohmann::json::parse(prefs.out);
    EXPECT_EQ(p["civ4_dir"], native(box.game()));
    EXPECT_EQ(p["custom_assets_dir"], native(box.custom_assets()));
    EXPECT_EQ(p["mods_dir"], native(box.mods()));

    nlohmann::json list = nlohmann::json::parse(cli({"list", "--json"}).out);
    ASSERT_EQ(list["mods"].size(), 2u);
    for (const auto& m : list["mods"])
        EXPECT_EQ(m["enabled"], m["name"] == "Beta") << m.dump();
}

TEST_F(CliSharedSettingsTest, coreReadsWhatTheCliWrote)
{
    write_mod("a.Pellarix", "Alpha");
    write_mod("b.Pellarix", "Beta");
    ASSERT_EQ(
        cli({"prefs", "--civ4-dir", native(box.game()), "--custom-assets-dir", native(box.custom_assets())})
            .code,
        0);
    ASSERT_EQ(cli({"enable", "Alpha"}).code, 0);

    auto core = start_core();
    EXPECT_EQ(core->get_civ4_dir(), box.game());
    EXPECT_EQ(core->get_custom_assets_dir(), box.custom_assets());
    ASSERT_EQ(core->get_enabled_mods().size(), 1u);
    EXPECT_EQ((*core->get_enabled_mods().begin())->name, "Alpha");
}

} // namespace
} // namespace velmora::test
