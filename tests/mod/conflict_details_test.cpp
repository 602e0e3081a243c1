// What a priority question shows about two conflicting mods: the fields of a
// record with the game's value and each mod's, the lines each writes into a
// script, and whether the answer changes anything.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "path/platform.h"
#include "base/errors.h"
#include "mod/conflict_details.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "support/element_table.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::mod_with;
using test::unit;
using test::units_doc;
using test::units_file;
using test::xml_change;
using Lines = std::vector<std::string>;

const std::string combat_2 = "\t\t\t<iCombat>2</iCombat>\n";

std::string warrior(const std::string& fields) { return units_doc(unit("UNIT_WARRIOR", fields)); }

// check_conflicts' message for a and b, and the report on them.
ConflictReport report_on(const Mod& a, const Mod& b, ConflictDescriber& describer)
{
    try {
        a.check_conflicts(&b);
    } catch (const ConflictError& e) {
        return describer.describe(a, b, e.what());
    }
    ADD_FAILURE() << "no conflict between " << a.name << " and " << b.name;
    return ConflictReport();
}

// A game whose warrior has iCombat 2 and iCost 15, and a describer that reads it.
class ConflictDetails : public testing::Test {
protected:
    ConflictDetails()
        : describer(GameFiles({game / "Assets"}))
    {
        table.load_text(test::merge_table);
        test::write_file(game / "Assets/XML/Units/CIV4UnitInfos.xml",
            warrior(combat_2 + "\t\t\t<iCost>15</iCost>\n\t\t\t<iMoves>1</iMoves>\n"));
    }

    test::ElementTableScope table;
    test::TempDir game;
    ConflictDescriber describer;
};

// Two mods' changes of the warrior, and what the question says in each order.
struct RecordCase {
    const char* name;
    std::string a_fields;
    std::string b_fields;
    std::vector<std::string> a_then_b;
    std::vector<std::string> b_then_a;
    bool answer_matters;
};

void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

class RecordDetails : public ConflictDetails, public testing::WithParamInterface<RecordCase> { };

TEST_P(RecordDetails, listEachModsFieldsWithTheGamesValueInBothOrders)
{
    const RecordCase& c = GetParam();
    Mod a = mod_with("A", {xml_change(units_file, test::units_removals_doc(unit("UNIT_WARRIOR", c.a_fields)))});
    Mod b = mod_with("B", {xml_change(units_file, test::units_removals_doc(unit("UNIT_WARRIOR", c.b_fields)))});

    ConflictReport ab = report_on(a, b, describer);
    ConflictReport ba = report_on(b, a, describer);

    ASSERT_EQ(ab.details.size(), 1u);
    EXPECT_EQ(ab.details[0].file, units_file);
    EXPECT_EQ(ab.details[0].where, "UnitInfo UNIT_WARRIOR");
    EXPECT_EQ(ab.details[0].lines, c.a_then_b);
    EXPECT_EQ(ab.answer_matters(), c.answer_matters);
    ASSERT_EQ(ba.details.size(), 1u);
    EXPECT_EQ(ba.details[0].lines, c.b_then_a);
    EXPECT_EQ(ba.answer_matters(), c.answer_matters);
}

const char* const kept = "No field is changed by both: both changes are kept whatever the answer.";

INSTANTIATE_TEST_SUITE_P(Cases, RecordDetails,
    testing::Values(
        RecordCase{"differentFields", "\t\t\t<iCombat>3</iCombat>\n", "\t\t\t<iCost>7</iCost>\n",
            {"iCombat: game 2, A 3", "iCost: game 15, B 7", kept},
            {"iCombat: game 2, A 3", "iCost: game 15, B 7", kept}, false},
        RecordCase{"sameFieldDifferentValues", "\t\t\t<iCombat>3</iCombat>\n",
            "\t\t\t<iCombat>4</iCombat>\n\t\t\t<iCost>7</iCost>\n",
            {"iCombat: game 2, A 3, B 4", "iCost: game 15, B 7"},
            {"iCombat: game 2, B 4, A 3", "iCost: game 15, B 7"}, true},
        RecordCase{"sameFieldSameValue", "\t\t\t<iCombat>3</iCombat>\n", "\t\t\t<iCombat>3</iCombat>\n",
            {"iCombat: game 2, A 3, B 3",
                "The fields both change get the same values: both changes are kept whatever the answer."},
            {"iCombat: game 2, B 3, A 3",
                "The fields both change get the same values: both changes are kept whatever the answer."},
            false},
        // A field a mod writes with the game's own value is no change of it.
        RecordCase{"fieldKeptAtTheGamesValue", combat_2 + "\t\t\t<iCost>9</iCost>\n",
            "\t\t\t<iCombat>5</iCombat>\n", {"iCombat: game 2, B 5", "iCost: game 15, A 9", kept},
            {"iCombat: game 2, B 5", "iCost: game 15, A 9", kept}, false},
        RecordCase{"fieldTheGameLacks", "\t\t\t<bNoBadGoodies>1</bNoBadGoodies>\n",
            "\t\t\t<bNoBadGoodies>0</bNoBadGoodies>\n",
            {"bNoBadGoodies: game none, A 1, B 0"}, {"bNoBadGoodies: game none, B 0, A 1"}, true},
        // A removal is a change of the field: against a change of it, the order decides.
        RecordCase{"fieldRemovedAgainstChanged", test::removed_field("iCost"), "\t\t\t<iCost>7</iCost>\n",
            {"iCost: game 15, A removes it, B 7"}, {"iCost: game 15, B 7, A removes it"}, true},
        RecordCase{"fieldRemovedBesideAnotherChanged", test::removed_field("iCost"), "\t\t\t<iCombat>5</iCombat>\n",
            {"iCombat: game 2, B 5", "iCost: game 15, A removes it", kept},
            {"iCombat: game 2, B 5", "iCost: game 15, A removes it", kept}, false},
        RecordCase{"setItemRemovedThatTheOtherAdds",
            "\t\t\t<PrereqBonuses>\n\t\t\t\t<BonusType velmora:remove=\"1\">BONUS_COPPER</BonusType>\n"
            "\t\t\t</PrereqBonuses>\n",
            "\t\t\t<PrereqBonuses>\n\t\t\t\t<BonusType>BONUS_COPPER</BonusType>\n\t\t\t</PrereqBonuses>\n",
            {"PrereqBonuses: game none, A {BonusType: removes BONUS_COPPER}, B {BonusType: BONUS_COPPER}"},
            {"PrereqBonuses: game none, B {BonusType: BONUS_COPPER}, A {BonusType: removes BONUS_COPPER}"}, true},
        RecordCase{"setItemsRemovedAndAddedApart",
            "\t\t\t<PrereqBonuses>\n\t\t\t\t<BonusType velmora:remove=\"1\">BONUS_COPPER</BonusType>\n"
            "\t\t\t</PrereqBonuses>\n",
            "\t\t\t<PrereqBonuses>\n\t\t\t\t<BonusType>BONUS_IRON</BonusType>\n\t\t\t</PrereqBonuses>\n",
            {"PrereqBonuses: game none, A {BonusType: removes BONUS_COPPER}, B {BonusType: BONUS_IRON}",
                "Both mods' changes of the fields both change are kept whatever the answer."},
            {"PrereqBonuses: game none, B {BonusType: BONUS_IRON}, A {BonusType: removes BONUS_COPPER}",
                "Both mods' changes of the fields both change are kept whatever the answer."},
            false}),
    [](const testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

// "UNIT_WARRIOR: A removes it, B sets iCost 58" in either order of the pair.
TEST_F(ConflictDetails, aRecordRemovedAgainstChangedSaysWhatEachDoes)
{
    Mod a = mod_with("Alpha", {xml_change(units_file, test::units_removals_doc(test::removed_unit("UNIT_WARRIOR")))});
    Mod b = mod_with("Bravo", {xml_change(units_file, test::units_removals_doc(unit("UNIT_WARRIOR",
                                  "\t\t\t<iCost>58</iCost>\n\t\t\t<iMoves>2</iMoves>\n"
                                      + test::removed_field("iCombat"))))});

    for (const ConflictReport& r : {report_on(a, b, describer), report_on(b, a, describer)}) {
        ASSERT_EQ(r.details.size(), 1u);
        EXPECT_EQ(r.details[0].where, "UnitInfo UNIT_WARRIOR");
        EXPECT_EQ(r.details[0].lines, (Lines{"UNIT_WARRIOR: Alpha removes it, Bravo sets iCost 58, iMoves 2, removes iCombat"}));
        EXPECT_TRUE(r.answer_matters());
    }
}

// A remembered answer holds for the content of both sides: a mod that now
// removes what it changed before is asked about again.
TEST_F(ConflictDetails, aRemovalInPlaceOfAChangeChangesTheHash)
{
    Mod a = mod_with("A", {xml_change(units_file, warrior("\t\t\t<iCost>7</iCost>\n"))});
    Mod a_removes = mod_with("A", {xml_change(units_file, test::units_removals_doc(unit("UNIT_WARRIOR", test::removed_field("iCost"))))});
    Mod a_removes_record = mod_with("A", {xml_change(units_file, test::units_removals_doc(test::removed_unit("UNIT_WARRIOR")))});
    Mod b = mod_with("B", {xml_change(units_file, warrior("\t\t\t<iCombat>3</iCombat>\n"))});

    const ConflictReport sets = report_on(a, b, describer);
    const ConflictReport removes = report_on(a_removes, b, describer);
    const ConflictReport removes_record = report_on(a_removes_record, b, describer);

    EXPECT_NE(removes.first_changes, sets.first_changes);
    EXPECT_NE(removes_record.first_changes, removes.first_changes);
    EXPECT_EQ(removes.second_changes, sets.second_changes);
}

TEST_F(ConflictDetails, leaveTheGamesValueOutWhenTheGameHasNoSuchFile)
{
    ConflictDescriber without_game{GameFiles({game / "Elsewhere"})};
    Mod a = mod_with("A", {xml_change(units_file, warrior("\t\t\t<iCombat>3</iCombat>\n"))});
    Mod b = mod_with("B", {xml_change(units_file, warrior("\t\t\t<iCost>7</iCost>\n"))});

    ConflictReport r = report_on(a, b, without_game);

    ASSERT_EQ(r.details.size(), 1u);
    EXPECT_EQ(r.details[0].lines, (Lines{"iCombat: A 3", "iCost: B 7", kept}));
}

TEST_F(ConflictDetails, textNamesEachRecordThenIndentsItsFields)
{
    Mod a = mod_with("A", {xml_change(units_file, warrior("\t\t\t<iCombat>3</iCombat>\n"))});
    Mod b = mod_with("B", {xml_change(units_file, warrior("\t\t\t<iCombat>4</iCombat>\n"))});

    EXPECT_EQ(report_on(a, b, describer).text(), (Lines{platform::native(std::string(units_file)) + ", UnitInfo UNIT_WARRIOR:", "  iCombat: game 2, A 3, B 4"}));
}

// The content hashes an answer is bound to: what each mod changes where the
// two meet, and nothing else of either.
TEST_F(ConflictDetails, changeHashesFollowOnlyTheConflictingRecords)
{
    const std::string archer = unit("UNIT_ARCHER", "\t\t\t<iCombat>4</iCombat>\n");
    Mod a = mod_with("A", {xml_change(units_file, warrior("\t\t\t<iCombat>3</iCombat>\n"))});
    Mod b = mod_with("B", {xml_change(units_file, warrior("\t\t\t<iCost>7</iCost>\n"))});
    const ConflictReport before = report_on(a, b, describer);

    Mod a_elsewhere = mod_with(
        "A", {xml_change(units_file, units_doc(unit("UNIT_WARRIOR", "\t\t\t<iCombat>3</iCombat>\n") + archer))});
    Mod b_changed = mod_with("B", {xml_change(units_file, warrior("\t\t\t<iCost>8</iCost>\n"))});
    const ConflictReport unrelated = report_on(a_elsewhere, b, describer);
    const ConflictReport changed = report_on(a, b_changed, describer);

    EXPECT_EQ(unrelated.first_changes, before.first_changes);
    EXPECT_EQ(unrelated.second_changes, before.second_changes);
    EXPECT_EQ(changed.first_changes, before.first_changes);
    EXPECT_NE(changed.second_changes, before.second_changes);
}

std::string script(const std::vector<std::pair<int, std::string>>& changed = {})
{
    std::string out;
    for (int i = 0; i < 30; ++i) {
        std::string line = "\tx" + std::to_string(i) + " = " + std::to_string(i);
        for (const auto& [at, text] : changed)
            if (at == i)
                line = text;
        out += line + "\n";
    }
    return out;
}

TEST_F(ConflictDetails, scriptShowsTheLinesEachModWritesWhereBothChange)
{
    const char* file = "Python\\CvEventManager.py";
    Mod a = mod_with("A", {test::diff_change(file, test::diff_text(script(), script({{10, "\tx10 = 'a'"}})))});
    Mod b = mod_with("B",
        {test::diff_change(file, test::diff_text(script(), script({{10, "\tx10 = 'b'"}, {11, "\tx11 = 'b'"}})))});

    ConflictReport r = report_on(a, b, describer);

    ASSERT_EQ(r.details.size(), 1u);
    EXPECT_EQ(r.details[0].where, "lines 11-12");
    // Each side's text of the whole region, as a merge would show it.
    EXPECT_EQ(r.details[0].lines,
        (Lines{"A writes:", "    \tx10 = 'a'", "    \tx11 = 11", "B writes:", "    \tx10 = 'b'", "    \tx11 = 'b'"}));
    EXPECT_TRUE(r.answer_matters());
}

TEST_F(ConflictDetails, wholeFileAgainstAnXmlChangeSaysWhatEachModDoes)
{
    Mod a = mod_with("A", {test::whole_change(units_file, warrior(""))});
    Mod b = mod_with("B", {xml_change(units_file, warrior("\t\t\t<iCost>7</iCost>\n"))});

    ConflictReport r = report_on(a, b, describer);

    ASSERT_EQ(r.details.size(), 1u);
    EXPECT_EQ(r.details[0].lines, (Lines{"A replaces the whole file", "B changes elements of it"}));
    EXPECT_TRUE(r.answer_matters());
}

// Pairs described together read each game file once for all of them; each
// report must still list its places in its own changes' order (here not the
// files' order) and be bound to the same hashes as when described alone, or
// not described at all.
TEST_F(ConflictDetails, pairsDescribedTogetherGetTheReportsTheyGetAlone)
{
    const char* file = "Python\\CvEventManager.py";
    const char* art = "Art\\Units\\Warrior\\Warrior.dds";
    Mod a = mod_with("A", {xml_change(units_file, warrior("\t\t\t<iCombat>3</iCombat>\n")),
        test::diff_change(file, test::diff_text(script(), script({{10, "\tx10 = 'a'"}}))),
        test::whole_change(art, std::string("DDS a\0\xff", 8))});
    Mod b = mod_with("B", {test::whole_change(art, std::string("DDS b\0\xfe", 8)),
        test::diff_change(file, test::diff_text(script(), script({{10, "\tx10 = 'b'"}}))),
        xml_change(units_file, warrior("\t\t\t<iCombat>4</iCombat>\n\t\t\t<iCost>7</iCost>\n"))});
    Mod c = mod_with("C", {xml_change(units_file, warrior("\t\t\t<iCost>9</iCost>\n"))});
    std::vector<ConflictPair> pairs;
    for (const auto& [first, second] : {std::pair(&a, &b), std::pair(&a, &c), std::pair(&b, &c)}) {
        try {
            first->check_conflicts(second);
            ADD_FAILURE() << "no conflict between " << first->name << " and " << second->name;
        } catch (const ConflictError& e) {
            pairs.push_back({first, second, e.what()});
        }
    }

    const std::vector<ConflictReport> together = describer.describe(pairs);
    // Without the details (no game file read), the same hashes: a remembered
    // answer fits whether or not its question was shown.
    const std::vector<ConflictReport> sides = describer.describe_sides(pairs);

    ASSERT_EQ(together.size(), pairs.size());
    ASSERT_EQ(sides.size(), pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        SCOPED_TRACE(pairs[i].first->name + " and " + pairs[i].second->name);
        ConflictDescriber alone_describer(GameFiles({game / "Assets"}));
        const ConflictReport alone = alone_describer.describe(*pairs[i].first, *pairs[i].second, pairs[i].message);
        EXPECT_EQ(together[i].message, pairs[i].message);
        EXPECT_EQ(together[i].text(), alone.text());
        EXPECT_EQ(together[i].first_changes, alone.first_changes);
        EXPECT_EQ(together[i].second_changes, alone.second_changes);
        EXPECT_TRUE(together[i].described);
        EXPECT_EQ(sides[i].message, pairs[i].message);
        EXPECT_FALSE(sides[i].described);
        EXPECT_TRUE(sides[i].details.empty());
        EXPECT_EQ(sides[i].first_changes, alone.first_changes);
        EXPECT_EQ(sides[i].second_changes, alone.second_changes);
    }
    // A and B meet in the units file, the script and the art, in A's order.
    ASSERT_EQ(together[0].details.size(), 3u);
    EXPECT_EQ(together[0].details[0].file, units_file);
    EXPECT_EQ(together[0].details[0].lines, (Lines{"iCombat: game 2, A 3, B 4", "iCost: game 15, B 7"}));
    EXPECT_EQ(together[0].details[1].file, file);
    EXPECT_EQ(together[0].details[2].file, art);
    EXPECT_EQ(together[1].details.at(0).lines, (Lines{"iCombat: game 2, A 3", "iCost: game 15, C 9", kept}));
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

TEST(ConflictReportText, showsThirtyPlacesThenHowManyMore)
{
    ConflictReport r;
    for (int i = 0; i < 32; ++i)
        r.details.push_back({"XML\\a.xml", "UnitInfo UNIT_" + std::to_string(i), {"iCombat: A 1, B 2"}, true});

    std::vector<std::string> text = r.text();

    ASSERT_EQ(text.size(), 61u);
    EXPECT_EQ(text[58], platform::native(std::string("XML\\a.xml")) + ", UnitInfo UNIT_29:");
    EXPECT_EQ(text.back(), "... and 2 more places.");
}

} // namespace
} // namespace velmora
