// Priority questions across applies: answers remembered for the changes they
// were given for, the preference that skips questions whose answer changes
// nothing, and the file the answers are kept in.
#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/errors.h"
#include "core/answers.h"
#include "core/orrindel.h"
#include "mod/mod.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "support/core_fixtures.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::CoreSandbox;
using test::read_file;
using test::write_file;

// A units change of the fixture game's warrior (iCombat 1) and archer.
std::string units_change(const std::string& warrior_fields, const std::string& archer_fields = "")
{
    std::string records = "\t\t<UnitInfo>\n\t\t\t<Type>UNIT_WARRIOR</Type>\n" + warrior_fields + "\t\t</UnitInfo>\n";
    if (!archer_fields.empty())
        records += "\t\t<UnitInfo>\n\t\t\t<Type>UNIT_ARCHER</Type>\n" + archer_fields + "\t\t</UnitInfo>\n";
    return "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n" + records
        + "\t</UnitInfos>\n</Civ4UnitInfos>\n";
}

std::string combat(int value) { return "\t\t\t<iCombat>" + std::to_string(value) + "</iCombat>\n"; }

// Mods A, B (and C) in a sandbox with the fixture game; each core started
// here answers from `answers` and records the questions it is asked.
class AnswersTest : public testing::Test {
protected:
    void SetUp() override { test::write_game(box.game()); }

    void write_mod(const std::string& name, const std::string& change) const
    {
        write_file(box.mods() / (name + ".Pellarix"),
            test::mod_file_text(name, {{test::unit_infos_file, "xml", change}}));
    }

    // A new core, as a later run of the program starts one.
    Orrindel& start(const std::vector<std::string>& enabled)
    {
        box.write_conf(box.game(), box.custom_assets(), enabled);
        core = std::make_unique<Orrindel>(box.home());
        core->startup();
        asked.clear();
        core->signal_mod_priority().connect([this](PriorityQuestion& q) {
            asked.push_back(q.first->name + ":" + q.second->name);
            if (read_details)
                shown.push_back(q.report().text());
            q.remember = remember && !not_remembered.count(q.first->name + ":" + q.second->name);
            auto it = answers.find(q.first->name + ":" + q.second->name);
            return it == answers.end() ? 0u : it->second;
        });
        return *core;
    }

    std::string applied_units() const { return read_file(box.custom_assets() / test::unit_infos_file); }

    CoreSandbox box;
    std::unique_ptr<Orrindel> core;
    std::map<std::string, unsigned> answers;
    bool remember = true;
    std::set<std::string> not_remembered;
    std::vector<std::string> asked;
    // Whether the front end reads each question's details, as the windows do.
    bool read_details = false;
    std::vector<std::vector<std::string>> shown;
};

TEST_F(AnswersTest, rememberedAnswerIsUsedOnTheNextApplyWithoutAQuestion)
{
    write_mod("A", units_change(combat(4)));
    write_mod("B", units_change(combat(5)));
    answers["A:B"] = 2;
    start({"A", "B"}).apply();
    ASSERT_EQ(asked, std::vector<std::string>{"A:B"});

    answers.clear();
    start({"A", "B"}).apply();

    EXPECT_TRUE(asked.empty());
    EXPECT_NE(applied_units().find("<iCombat>5</iCombat>"), std::string::npos) << "B won";
    ASSERT_EQ(core->get_remembered_answers().size(), 1u);
    EXPECT_EQ(core->get_remembered_answers()[0].winner, "B");
}

TEST_F(AnswersTest, answerIsNotKeptUnlessAskedTo)
{
    write_mod("A", units_change(combat(4)));
    write_mod("B", units_change(combat(5)));
    answers["A:B"] = 1;
    remember = false;
    start({"A", "B"}).apply();

    EXPECT_FALSE(exists(box.settings() / Path("answers")));
    start({"A", "B"}).apply();
    EXPECT_EQ(asked, std::vector<std::string>{"A:B"});
}

// An answer is kept with the hashes of both mods' sides, made from their
// changes alone: it fits in the next apply whether or not either apply
// described the question (read the game's values).
struct DescribedCase {
    const char* name;
    bool shown_when_answered;
    bool described_next; // "ask only when two mods change the same field" describes every question
};

void PrintTo(const DescribedCase& c, std::ostream* os) { *os << c.name; }

class AnswersDescribed : public AnswersTest, public testing::WithParamInterface<DescribedCase> { };

TEST_P(AnswersDescribed, rememberedAnswerFitsWhetherOrNotAQuestionWasDescribed)
{
    write_mod("A", units_change(combat(4)));
    write_mod("B", units_change(combat(5)));
    answers["A:B"] = 2;
    read_details = GetParam().shown_when_answered;
    start({"A", "B"}).apply();
    ASSERT_EQ(asked, std::vector<std::string>{"A:B"});
    EXPECT_EQ(core->get_described_reports(), GetParam().shown_when_answered ? 1u : 0u);

    answers.clear();
    start({"A", "B"}).set_ask_fields_only(GetParam().described_next);
    core->apply();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(core->get_described_reports(), GetParam().described_next ? 1u : 0u);
    EXPECT_NE(applied_units().find("<iCombat>5</iCombat>"), std::string::npos) << "B won";
}

INSTANTIATE_TEST_SUITE_P(Cases, AnswersDescribed,
    testing::Values(DescribedCase{"shownThenNotDescribed", true, false},
        DescribedCase{"notShownThenNotDescribed", false, false}, DescribedCase{"shownThenDescribed", true, true},
        DescribedCase{"notShownThenDescribed", false, true}),
    [](const testing::TestParamInfo<DescribedCase>& info) { return std::string(info.param.name); });

// Three mods that all set the warrior's iCombat: three questions. The pairs
// are described (the game's values read) only when a front end reads a
// report, then all those still to be asked at once; a question answered on
// the command line is never described.
TEST_F(AnswersTest, questionsAreDescribedOnlyWhenAFrontEndReadsThem)
{
    write_mod("A", units_change(combat(4)));
    write_mod("B", units_change(combat(5)));
    write_mod("C", units_change(combat(6)));
    remember = false;

    // Every question answered by a rule, as with --prefer.
    start({"A", "B", "C"}).set_given_answers([](PriorityQuestion&) { return 1u; });
    core->apply();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(core->get_described_reports(), 0u);

    // Asked, but answered without looking.
    answers = {{"A:B", 1}, {"A:C", 1}, {"B:C", 1}};
    start({"A", "B", "C"}).apply();
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(core->get_described_reports(), 0u);

    // One question answered by a rule, the others shown with the game's value.
    read_details = true;
    start({"A", "B", "C"}).set_given_answers(
        [](PriorityQuestion& q) { return q.first->name == "A" && q.second->name == "B" ? 1u : 0u; });
    core->apply();
    EXPECT_EQ(asked, (std::vector<std::string>{"A:C", "B:C"}));
    EXPECT_EQ(core->get_described_reports(), 2u);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(std::find(shown[1].begin(), shown[1].end(), "  iCombat: game 1, B 5, C 6"), shown[1].end())
        << testing::PrintToString(shown[1]);

    // A check reads every report.
    Orrindel& checking = start({"A", "B", "C"});
    const std::list<Mod*> enabled = checking.get_enabled_mods_in_order();
    for (Mod* mod : enabled)
        ASSERT_EQ(mod->load(mod->path), 0);
    std::vector<PriorityQuestion> questions = checking.find_questions(enabled);
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(checking.get_described_reports(), 0u);
    EXPECT_FALSE(questions[2].report().details.empty());
    EXPECT_EQ(checking.get_described_reports(), 3u) << "described together";
    EXPECT_EQ(questions[0].message, questions[0].report().message);
}

// B changes after its answer was remembered.
struct ChangeCase {
    const char* name;
    std::string b_after;
    bool asked_again;
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class AnswersAfterChange : public AnswersTest, public testing::WithParamInterface<ChangeCase> { };

TEST_P(AnswersAfterChange, askAgainOnlyWhenTheConflictingChangeDiffers)
{
    write_mod("A", units_change(combat(4)));
    write_mod("B", units_change(combat(5)));
    answers["A:B"] = 1;
    start({"A", "B"}).apply();

    write_mod("B", GetParam().b_after);
    start({"A", "B"}).apply();

    EXPECT_EQ(asked, GetParam().asked_again ? std::vector<std::string>{"A:B"} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, AnswersAfterChange,
    testing::Values(ChangeCase{"conflictingFieldGetsAnotherValue", units_change(combat(6)), true},
        ChangeCase{"conflictingRecordGetsAnotherField", units_change(combat(5) + "\t\t\t<iCost>7</iCost>\n"), true},
        ChangeCase{"anotherRecordChanges", units_change(combat(5), combat(9)), false}),
    [](const testing::TestParamInfo<ChangeCase>& info) { return std::string(info.param.name); });

TEST_F(AnswersTest, contradictionBetweenRememberedAndNewAnswersIsACycle)
{
    write_mod("A", units_change(combat(4)));
    write_mod("B", units_change(combat(5)));
    write_mod("C", units_change(combat(6)));
    answers = {{"A:B", 1}, {"A:C", 1}, {"B:C", 1}};
    not_remembered = {"A:C"};
    start({"A", "B", "C"}).apply();
    const std::string kept = read_file(box.settings() / Path("answers"));

    answers = {{"A:C", 2}}; // C over A, while A over B and B over C are remembered
    Orrindel& again = start({"A", "B", "C"});

    try {
        again.apply();
        FAIL() << "a cycle was applied";
    } catch (const ConflictError& e) {
        EXPECT_NE(std::string(e.what()).find("contradict each other"), std::string::npos) << e.what();
    }
    EXPECT_EQ(asked, std::vector<std::string>{"A:C"});
    EXPECT_EQ(read_file(box.settings() / Path("answers")), kept) << "a contradicting answer is not kept";
}

// With "ask only when two mods change the same field".
struct FieldsCase {
    const char* name;
    std::string a;
    std::string b;
    bool asked;
};

void PrintTo(const FieldsCase& c, std::ostream* os) { *os << c.name; }

class AskFieldsOnly : public AnswersTest, public testing::WithParamInterface<FieldsCase> { };

TEST_P(AskFieldsOnly, skipsOnlyQuestionsWhoseAnswerChangesNothing)
{
    write_mod("A", GetParam().a);
    write_mod("B", GetParam().b);
    answers["A:B"] = 1;
    remember = false;
    start({"A", "B"}).set_ask_fields_only(true);
    core->apply();

    EXPECT_EQ(asked, GetParam().asked ? std::vector<std::string>{"A:B"} : std::vector<std::string>{});
    // Both mods' fields are in the built file whatever was asked.
    EXPECT_NE(applied_units().find("<iCombat>4</iCombat>"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Cases, AskFieldsOnly,
    testing::Values(
        FieldsCase{"differentFieldsOfOneRecord", units_change(combat(4)), units_change("\t\t\t<iCost>7</iCost>\n"), false},
        FieldsCase{"oneFieldWithDifferentValues", units_change(combat(4)), units_change(combat(5)), true}),
    [](const testing::TestParamInfo<FieldsCase>& info) { return std::string(info.param.name); });

TEST_F(AnswersTest, askFieldsOnlyIsOffByDefaultAndKeptInTheConfiguration)
{
    write_mod("A", units_change(combat(4)));
    write_mod("B", units_change("\t\t\t<iCost>7</iCost>\n"));
    answers["A:B"] = 1;
    remember = false;
    Orrindel& first = start({"A", "B"});
    EXPECT_FALSE(first.get_ask_fields_only());
    first.apply();
    EXPECT_EQ(asked, std::vector<std::string>{"A:B"}) << "two mods touching one record are asked about";
    first.set_ask_fields_only(true);
    first.save_config();

    core = std::make_unique<Orrindel>(box.home());
    core->startup();
    EXPECT_TRUE(core->get_ask_fields_only());
}

class RememberedAnswersFile : public testing::Test {
protected:
    test::TempDir dir;
    Path file = dir / "answers";
};

TEST_F(RememberedAnswersFile, keepsAnswersByNameAndChangesAcrossLoads)
{
    RememberedAnswers answers;
    answers.load(file);
    answers.remember({"Archers: Reborn", "B", 1, 2});
    answers.remember({"C", "B", 3, 4});
    answers.remember({"B", "Archers: Reborn", 5, 6}); // replaces the first
    answers.save();

    RememberedAnswers loaded;
    loaded.load(file);

    EXPECT_EQ(loaded.find("B", 5, "Archers: Reborn", 6), 1u);
    EXPECT_EQ(loaded.find("Archers: Reborn", 6, "B", 5), 2u);
    EXPECT_EQ(loaded.find("B", 5, "Archers: Reborn", 7), 0u) << "the loser's changes differ";
    EXPECT_EQ(loaded.find("B", 1, "Archers: Reborn", 2), 0u) << "the replaced answer is gone";
    EXPECT_EQ(loaded.find("C", 3, "B", 4), 1u);
    EXPECT_FALSE(loaded.forget("B", "C"));
    EXPECT_TRUE(loaded.forget("C", "B"));
    EXPECT_EQ(loaded.get().size(), 1u);
    EXPECT_FALSE(exists(temporary_name(file)));
}

TEST_F(RememberedAnswersFile, unreadableFileIsKeptUntilEveryAnswerIsForgotten)
{
    write_file(file, "<VelmoraAnswers><Answer>");
    RememberedAnswers answers;

    EXPECT_THROW(answers.load(file), XmlError);
    answers.remember({"A", "B", 1, 2});
    EXPECT_THROW(answers.save(), GenericError);
    EXPECT_EQ(read_file(file), "<VelmoraAnswers><Answer>");

    answers.forget_all();
    answers.save();
    RememberedAnswers loaded;
    loaded.load(file);
    EXPECT_TRUE(loaded.get().empty());
}

TEST_F(AnswersTest, unreadableAnswersFileIsAWarningAtStartup)
{
    write_file(box.settings() / Path("answers"), "not xml");
    Orrindel& c = start({});

    ASSERT_EQ(c.get_warnings().size(), 1u);
    EXPECT_NE(c.get_warnings()[0].find("answers"), std::string::npos) << c.get_warnings()[0];
}

} // namespace
} // namespace velmora
