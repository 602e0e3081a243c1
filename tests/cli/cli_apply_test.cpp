// velmora-cli check and apply: every conflict listed, answered by --prefer
// rules or on a terminal, and the custom-assets folder left alone whenever
// the run cannot finish.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_fixture.h"
#include "support/case_name.h"

namespace velmora::test {
namespace {

// Three mods that each give the archer another strength: every pair conflicts.
// Each also brings a button of its own, which conflicts with nothing.
class CliConflictTest : public CliTest {
protected:
    void SetUp() override
    {
        write_mod("a.Pellarix", "Archers Four", {archer_combat(4), button("Four")});
        write_mod("b.Pellarix", "Archers Five", {archer_combat(5), button("Five")});
        write_mod("c.Pellarix", "Archers Six", {archer_combat(6), button("Six")});
        configure({"Archers Four", "Archers Five", "Archers Six"});
        // What an earlier apply left; nothing may touch it unless a run finishes.
        write_file(box.custom_assets() / "earlier.txt", "from an earlier apply");
    }

    static FixtureChange button(const std::string& name)
    {
        return {"Art\\Interface\\Buttons\\" + name + ".dds", "whole", "DDS " + name};
    }

    bool custom_assets_untouched() const
    {
        return list_tree(box.custom_assets()) == std::vector<std::string>{"earlier.txt"};
    }
};

TEST_F(CliConflictTest, checkListsEveryConflictingPairAndTouchesNothing)
{
    CliRun run = cli({"check"});

    EXPECT_EQ(run.code, 1) << "unanswered conflicts would stop apply";
    for (const char* pair : {"'Archers Four' and 'Archers Five'", "'Archers Four' and 'Archers Six'",
             "'Archers Five' and 'Archers Six'"}) {
        std::string line = line_with(run.out, pair);
        EXPECT_NE(line.find("[no answer]"), std::string::npos) << run.out;
        // The conflict's own message follows the names.
        EXPECT_GT(line.size(), line.find("]: ") + 3) << line;
    }
    EXPECT_NE(run.err.find("error: 3 conflicts have no answer"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--prefer"), std::string::npos) << run.err;
    EXPECT_TRUE(custom_assets_untouched());
}

TEST_F(CliConflictTest, checkJsonParsesBackWithTheRulesAnswers)
{
    CliRun run = cli({"check", "--json", "--prefer", "Archers Six:Archers Four", "--prefer",
        "b.Pellarix:Archers Six", "--prefer", "Archers Five:Archers Four"});

    ASSERT_EQ(run.code, 0) << run.err;
    nlohmann::json doc = nlohmann::json::parse(run.out);
    ASSERT_EQ(doc["enabled"].size(), 3u);
    ASSERT_EQ(doc["conflicts"].size(), 3u);
    for (const auto& c : doc["conflicts"]) {
        EXPECT_FALSE(c["message"].get<std::string>().empty());
        EXPECT_TRUE(c["winner"].is_object()) << c.dump();
    }
    // Five wins over both, Six over Four: Four, Six, Five.
    ASSERT_TRUE(doc["order"].is_array()) << run.out;
    std::vector<std::string> order;
    for (const auto& m : doc["order"])
        order.push_back(m["name"]);
    EXPECT_EQ(order, (std::vector<std::string>{"Archers Four", "Archers Six", "Archers Five"}));
    EXPECT_TRUE(custom_assets_untouched());
}

TEST_F(CliConflictTest, checkWithoutConflictsSucceeds)
{
    CliRun run = cli({"disable", "Archers Five", "Archers Six"});
    ASSERT_EQ(run.code, 0) << run.err;

    run = cli({"check"});

    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("No conflicts."), std::string::npos) << run.out;
}

struct PreferCase {
    const char* title;
    std::vector<std::string> rules;
    int winner_combat; // the archer's strength after apply
    const char* order; // as the summary names the mods
};

std::ostream& operator<<(std::ostream& os, const PreferCase& c) { return os << c.title; }

class CliPreferTest : public CliConflictTest, public ::testing::WithParamInterface<PreferCase> { };

TEST_P(CliPreferTest, applyPutsEachWinnerAfterItsLosers)
{
    const PreferCase& c = GetParam();
    std::vector<std::string> args{"apply"};
    for (const std::string& r : c.rules) {
        args.push_back("--prefer");
        args.push_back(r);
    }

    CliRun run = cli(args);

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "") << "no progress bar without a terminal";
    EXPECT_NE(run.out.find("Applied 3 mods to \"" + native(box.custom_assets())
                  + "\", in this order: " + c.order + ".\n"),
        std::string::npos)
        << run.out;
    std::string units = applied_units();
    EXPECT_NE(units.find("<iCombat>" + std::to_string(c.winner_combat) + "</iCombat>"), std::string::npos)
        << units;
    EXPECT_FALSE(exists(box.custom_assets() / "earlier.txt"));
}

INSTANTIATE_TEST_SUITE_P(Rules, CliPreferTest,
    ::testing::Values(
        PreferCase{"six over all",
            {"Archers Six:Archers Four", "Archers Six:Archers Five", "Archers Five:Archers Four"}, 6,
            "'Archers Four', 'Archers Five', 'Archers Six'"},
        PreferCase{"four over all, by file name",
            {"a.Pellarix:b.Pellarix", "a.Pellarix:c.Pellarix", "c.Pellarix:b.Pellarix"}, 4,
            "'Archers Five', 'Archers Six', 'Archers Four'"},
        PreferCase{"five over all",
            {"Archers Five:Archers Six", "Archers Five:Archers Four", "Archers Four:Archers Six"}, 5,
            "'Archers Six', 'Archers Four', 'Archers Five'"}),
    ::velmora::test::CaseName());

TEST_F(CliConflictTest, applyWithoutAnswerOnAPipeStopsAndChangesNothing)
{
    // Two of the three conflicts answered; the third is left open.
    CliRun run
        = cli({"apply", "--prefer", "Archers Four:Archers Five", "--prefer", "Archers Four:Archers Six"});

    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    std::vector<std::string> lines = lines_of(run.err);
    ASSERT_EQ(lines.size(), 2u) << run.err;
    EXPECT_EQ(
        lines[0].rfind(
            "velmora-cli: error: Unresolved conflict between mods 'Archers Five' and 'Archers Six': ", 0),
        0u)
        << lines[0];
    EXPECT_NE(lines[1].find("--prefer \"Archers Five:Archers Six\""), std::string::npos) << lines[1];
    EXPECT_TRUE(custom_assets_untouched());
}

struct RuleErrorCase {
    const char* title;
    std::vector<std::string> rules;
    int code;
    const char* message;
};

std::ostream& operator<<(std::ostream& os, const RuleErrorCase& c) { return os << c.title; }

class CliRuleErrorTest : public CliConflictTest, public ::testing::WithParamInterface<RuleErrorCase> { };

TEST_P(CliRuleErrorTest, badRulesStopApplyBeforeAnythingChanges)
{
    const RuleErrorCase& c = GetParam();
    std::vector<std::string> args{"apply"};
    for (const std::string& r : c.rules) {
        args.push_back("--prefer");
        args.push_back(r);
    }

    CliRun run = cli(args);

    EXPECT_EQ(run.code, c.code);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_TRUE(custom_assets_untouched());
}

INSTANTIATE_TEST_SUITE_P(Rules, CliRuleErrorTest,
    ::testing::Values(
        RuleErrorCase{"unknown winner", {"Cavalry:Archers Four"}, 1, "No mod named \"Cavalry\""},
        RuleErrorCase{"no loser", {"Archers Four:"}, 2, "WINNER:LOSER"},
        RuleErrorCase{"a mod over itself", {"Archers Four:a.Pellarix"}, 1, "cannot win over itself"},
        RuleErrorCase{
            "contradicting rules", {"Archers Four:Archers Five", "b.Pellarix:a.Pellarix"}, 1, "contradicts"},
        RuleErrorCase{"rules in a circle",
            {"Archers Four:Archers Five", "Archers Five:Archers Six", "Archers Six:Archers Four"}, 1,
            "'Archers Four'"}),
    ::velmora::test::CaseName());

TEST_F(CliConflictTest, ruleSplitsWhereBothSidesNameMods)
{
    // A name with a colon in it, as forum mods have.
    write_mod("d.Pellarix", "Units: Archers Seven", {archer_combat(7)});
    ASSERT_EQ(cli({"disable", "Archers Five", "Archers Six"}).code, 0);
    ASSERT_EQ(cli({"enable", "d.Pellarix"}).code, 0);

    CliRun run = cli({"apply", "--prefer", "Units: Archers Seven:Archers Four"});

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(applied_units().find("<iCombat>7</iCombat>"), std::string::npos);
}

TEST_F(CliConflictTest, questionOnATerminalIsAnsweredThere)
{
    ASSERT_EQ(cli({"disable", "Archers Six"}).code, 0);
    PtyCli term({"--home", native(box.home()), "apply"}, native(box.run()));

    ASSERT_TRUE(term.read_until("Answer 1 or 2: ")) << term.transcript;
    EXPECT_NE(term.transcript.find("Mods 'Archers Four' and 'Archers Five' conflict: "), std::string::npos)
        << term.transcript;
    EXPECT_NE(term.transcript.find("1) Archers Four"), std::string::npos);
    EXPECT_NE(term.transcript.find("2) Archers Five"), std::string::npos);
    // Anything but 1 or 2 is asked again.
    term.type("first\n");
    ASSERT_TRUE(term.read_until("Answer 1 or 2: ")) << term.transcript;
    term.type("2\n");

    EXPECT_EQ(term.finish(), 0) << term.transcript;
    EXPECT_NE(term.transcript.find("% Archers"), std::string::npos) << "a progress bar on the terminal";
    EXPECT_NE(applied_units().find("<iCombat>5</iCombat>"), std::string::npos);
}

TEST_F(CliConflictTest, endOfInputOnATerminalLeavesTheConflictUnanswered)
{
    ASSERT_EQ(cli({"disable", "Archers Six"}).code, 0);
    PtyCli term({"--home", native(box.home()), "apply"}, native(box.run()));

    ASSERT_TRUE(term.read_until("Answer 1 or 2: ")) << term.transcript;
    term.type("\x04"); // Ctrl-D

    EXPECT_EQ(term.finish(), 1);
    EXPECT_NE(term.transcript.find("Unresolved conflict between mods 'Archers Four' and 'Archers Five'"),
        std::string::npos)
        << term.transcript;
    EXPECT_TRUE(custom_assets_untouched());
}

class CliApplyTest : public CliTest {
protected:
    void SetUp() override { write_file(box.custom_assets() / "earlier.txt", "from an earlier apply"); }
};

TEST_F(CliApplyTest, noEnabledModRemovesTheCustomAssets)
{
    write_mod("a.Pellarix", "Alpha", {archer_combat(4)});
    configure({});

    CliRun run = cli({"apply"});

    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("No mod is enabled"), std::string::npos);
    EXPECT_FALSE(exists(box.custom_assets()));
}

struct ApplyErrorCase {
    const char* title;
    bool game_set;
    bool custom_set;
    const char* message;
};

std::ostream& operator<<(std::ostream& os, const ApplyErrorCase& c) { return os << c.title; }

class CliApplyErrorTest : public CliApplyTest, public ::testing::WithParamInterface<ApplyErrorCase> { };

TEST_P(CliApplyErrorTest, failsBeforeTouchingTheCustomAssets)
{
    const ApplyErrorCase& c = GetParam();
    write_mod("a.Pellarix", "Alpha", {archer_combat(4)});
    // Its header reads well, its body does not.
    write_file(box.mods() / "damaged.Pellarix",
        "<?xml version=\"1.0\"?>\n<Pellarix>\n  <Name>Damaged</Name>\n  <Change file=\"x.txt\" "
        "type=\"whole\">abc");
    box.write_conf(
        c.game_set ? box.game() : Path(), c.custom_set ? box.custom_assets() : Path(), {"Alpha", "Damaged"});

    for (const char* command : {"check", "apply"}) {
        CliRun run = cli({command});
        EXPECT_EQ(run.code, 1) << command;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << command << ": " << run.err;
        EXPECT_EQ(list_tree(box.custom_assets()), std::vector<std::string>{"earlier.txt"}) << command;
    }
}

INSTANTIATE_TEST_SUITE_P(Errors, CliApplyErrorTest,
    ::testing::Values(ApplyErrorCase{"unreadable enabled mod", true, true, "damaged.Pellarix"},
        ApplyErrorCase{"game folder not set", false, true, "The game folder is not set"},
        ApplyErrorCase{"custom assets folder not set", true, false, "The custom assets folder is not set"}),
    ::velmora::test::CaseName());

// A removal of a record the file never had removes nothing: apply goes on
// and says so; one of a record an earlier mod removed says nothing. Two
// mods that remove alike do not conflict.
TEST_F(CliTest, applyWarnsAboutARemovalOfARecordTheFileNeverHad)
{
    const std::string removes = "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\" xmlns:velmora=\"urn:velmora:change\">\n"
                                "\t<UnitInfos>\n"
                                "\t\t<UnitInfo velmora:remove=\"1\">\n\t\t\t<Type>UNIT_ARCHER</Type>\n\t\t</UnitInfo>\n"
                                "\t\t<UnitInfo velmora:remove=\"1\">\n\t\t\t<Type>UNIT_GHOST</Type>\n\t\t</UnitInfo>\n"
                                "\t</UnitInfos>\n"
                                "</Civ4UnitInfos>\n";
    write_mod("a.Pellarix", "First", {{unit_infos_file, "xml", removes}});
    write_mod("b.Pellarix", "Second", {{unit_infos_file, "xml", removes}});
    configure({"First", "Second"});

    CliRun run = cli({"apply"});

    // The archer is removed by the first and already gone for the second.
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string file = native(Path(unit_infos_file));
    EXPECT_EQ(lines_of(run.err),
        (std::vector<std::string>{"velmora-cli: warning: The mod 'First' removes UNIT_GHOST from " + file
                + ", but the file never had it: nothing was removed.",
            "velmora-cli: warning: The mod 'Second' removes UNIT_GHOST from " + file
                + ", but the file never had it: nothing was removed."}))
        << run.err;
    const std::string built = read_file(box.custom_assets() / Path(unit_infos_file));
    EXPECT_EQ(built.find("UNIT_ARCHER"), std::string::npos) << built;
    EXPECT_NE(built.find("UNIT_WARRIOR"), std::string::npos) << built;
}

} // namespace
} // namespace velmora::test
