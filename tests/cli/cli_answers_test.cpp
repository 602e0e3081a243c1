// velmora-cli and conflicts across runs: the details check prints, answers
// remembered by apply --remember and listed or forgotten by answers, and
// prefs --ask-fields-only.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "path/platform.h"
#include "cli/cli_fixture.h"

namespace velmora::test {
namespace {

// Two mods that change the archer (strength 3 in the game).
class CliAnswersTest : public CliTest {
protected:
    void SetUp() override
    {
        write_mod("a.Pellarix", "Archers Four", {archer_combat(4)});
        write_mod("b.Pellarix", "Archers Five", {archer_combat(5)});
        configure({"Archers Four", "Archers Five"});
    }

    Path answers_file() const { return box.settings() / Path("answers"); }

    // An xml change that gives the archer another cost, and no other field.
    static FixtureChange archer_cost(int cost)
    {
        return {unit_infos_file, "xml",
            "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n\t\t<UnitInfo>\n"
            "\t\t\t<Type>UNIT_ARCHER</Type>\n\t\t\t<iCost>"
                + std::to_string(cost) + "</iCost>\n\t\t</UnitInfo>\n\t</UnitInfos>\n</Civ4UnitInfos>\n"};
    }
};

TEST_F(CliAnswersTest, checkShowsWhatEachModChangesInTextAndJson)
{
    CliRun run = cli({"check"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("    " + platform::native(std::string("XML\\Units\\CIV4UnitInfos.xml")) + ", UnitInfo UNIT_ARCHER:\n"
                           "      iCombat: game 3, Archers Four 4, Archers Five 5\n"),
        std::string::npos)
        << run.out;

    run = cli({"check", "--json"});
    nlohmann::json conflict = nlohmann::json::parse(run.out)["conflicts"][0];
    EXPECT_EQ(conflict["answer_needed"], true);
    EXPECT_EQ(conflict["remembered"], false);
    ASSERT_EQ(conflict["details"].size(), 1u) << run.out;
    EXPECT_EQ(conflict["details"][0]["where"], "UnitInfo UNIT_ARCHER");
    EXPECT_EQ(conflict["details"][0]["lines"], nlohmann::json::array({"iCombat: game 3, Archers Four 4, Archers Five 5"}));
    EXPECT_EQ(conflict["details"][0]["answer_matters"], true);
}

TEST_F(CliAnswersTest, rememberedAnswerAppliesWithoutATerminalUntilItIsForgotten)
{
    CliRun run = cli({"apply", "--prefer", "Archers Five:Archers Four", "--remember"});
    ASSERT_EQ(run.code, 0) << run.err;
    write_file(box.custom_assets() / unit_infos_file, "from an earlier apply");

    // Standard input is a pipe: a question would stop the run.
    run = cli({"apply"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string applied = applied_units();
    EXPECT_NE(applied.find("<iCombat>5</iCombat>"), std::string::npos);
    run = cli({"check"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("['Archers Five' wins, remembered]"), std::string::npos) << run.out;

    const std::string kept = read_file(answers_file());
    run = cli({"answers"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "'Archers Five' wins over 'Archers Four'\n");
    EXPECT_EQ(read_file(answers_file()), kept);

    run = cli({"answers", "--forget", "b.Pellarix:Archers Four"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "No remembered answers.\n");
    run = cli({"apply"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("Unresolved conflict"), std::string::npos) << run.err;
    EXPECT_EQ(applied_units(), applied) << "a stopped apply changes nothing";
}

TEST_F(CliAnswersTest, rememberedAnswerIsAskedAgainWhenAModsChangeDiffers)
{
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Four:Archers Five", "--remember"}).code, 0);
    write_mod("b.Pellarix", "Archers Five", {archer_combat(6)});

    CliRun run = cli({"apply"});

    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("Unresolved conflict between mods 'Archers Four' and 'Archers Five'"), std::string::npos)
        << run.err;
}

TEST_F(CliAnswersTest, preferRuleCountsBeforeARememberedAnswerAndReplacesItWithRemember)
{
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Four:Archers Five", "--remember"}).code, 0);

    CliRun run = cli({"apply", "--prefer", "Archers Five:Archers Four"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(applied_units().find("<iCombat>5</iCombat>"), std::string::npos);
    EXPECT_EQ(cli({"answers"}).out, "'Archers Four' wins over 'Archers Five'\n") << "kept without --remember";

    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four", "--remember"}).code, 0);
    EXPECT_EQ(cli({"answers"}).out, "'Archers Five' wins over 'Archers Four'\n");
}

TEST_F(CliAnswersTest, forgetRefusesAnAnswerThatIsNotRememberedAndForgetAllDropsEveryOne)
{
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Four:Archers Five", "--remember"}).code, 0);

    CliRun run = cli({"answers", "--forget", "Archers Five:Archers Four"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("No remembered answer makes \"Archers Five:Archers Four\" win"), std::string::npos)
        << run.err;
    EXPECT_EQ(cli({"answers", "--forget", "no colon"}).code, 2);

    run = cli({"answers", "--forget-all", "--json"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["answers"].size(), 0u);
}

// A second version of "Archers Four" beside the first: rules and answers
// name one file.
TEST_F(CliAnswersTest, rulesAndAnswersNameOneVersionOfAModByItsFile)
{
    write_mod("a2.Pellarix", "Archers Four", {archer_combat(7)});
    configure({"a2.Pellarix", "Archers Five"});

    CliRun run = cli({"apply", "--prefer", "Archers Four:Archers Five"});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("--prefer \"Archers Four:Archers Five\": The name \"Archers Four\" is carried by 2 "
                           "mods: a.Pellarix, a2.Pellarix; give one by its file name."),
        std::string::npos)
        << run.err;
    EXPECT_FALSE(exists(box.custom_assets()));

    run = cli({"apply", "--prefer", "a2.Pellarix:Archers Five", "--remember"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(applied_units().find("<iCombat>7</iCombat>"), std::string::npos);
    EXPECT_EQ(cli({"answers"}).out, "'a2.Pellarix' wins over 'Archers Five'\n");
    run = cli({"apply"});
    EXPECT_EQ(run.code, 0) << "the remembered answer fits: " << run.err;

    EXPECT_EQ(cli({"answers", "--forget", "Archers Four:Archers Five"}).code, 2);
    run = cli({"answers", "--forget", "a2.Pellarix:b.Pellarix"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "No remembered answers.\n");

    // Both versions at once: the question says which is which.
    ASSERT_EQ(cli({"enable", "a.Pellarix"}).code, 0);
    run = cli({"apply", "--prefer", "a2.Pellarix:Archers Five"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("Unresolved conflict between mods 'Archers Four' (a.Pellarix) and 'Archers Four' "
                           "(a2.Pellarix)"),
        std::string::npos)
        << run.err;
}

// Answers remembered by name before a second version came keep fitting the
// version they were given for.
TEST_F(CliAnswersTest, anAnswerRememberedByNameStillFitsItsVersion)
{
    ASSERT_EQ(cli({"apply", "--prefer", "Archers Five:Archers Four", "--remember"}).code, 0);
    write_mod("a2.Pellarix", "Archers Four", {archer_combat(7)});
    configure({"a.Pellarix", "Archers Five"});

    CliRun run = cli({"apply"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(applied_units().find("<iCombat>5</iCombat>"), std::string::npos);
    configure({"a2.Pellarix", "Archers Five"});
    EXPECT_EQ(cli({"apply"}).code, 1) << "the other version's changes differ";
}

TEST_F(CliAnswersTest, askFieldsOnlySkipsRecordsWhoseFieldsDoNotMeet)
{
    write_mod("b.Pellarix", "Archers Five", {archer_cost(30)});
    CliRun run = cli({"prefs", "--ask-fields-only", "yes"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Ask only when two mods change the same field: yes"), std::string::npos) << run.out;

    run = cli({"check"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("[no answer needed]"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("No field is changed by both"), std::string::npos) << run.out;
    run = cli({"apply"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(applied_units().find("<iCombat>4</iCombat>"), std::string::npos);
    EXPECT_NE(applied_units().find(">30</iCost>"), std::string::npos);

    EXPECT_EQ(cli({"prefs", "--ask-fields-only", "no"}).code, 0);
    EXPECT_EQ(cli({"apply"}).code, 1) << "asked again, and no terminal to answer";
    EXPECT_EQ(cli({"prefs", "--ask-fields-only", "maybe"}).code, 2);
}

} // namespace
} // namespace velmora::test
