// Removals in xml changes: what applying them does to the game's file, what
// it refuses, and what it says when there is nothing to remove.
#include <gtest/gtest.h>

#include <libxml++/libxml++.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "mod/apply_mods.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "mod/removal.h"
#include "path/fs.h"
#include "support/element_table.h"
#include "support/game_xml.h"
#include "support/tempdir.h"
#include "xml/parse.h"

namespace velmora {
namespace {

using test::mod_with;
using test::read_file;
using test::unit;
using test::units_doc;
using test::units_file;
using test::write_file;
using test::xml_change;

std::string removals_doc(const std::string& records) { return test::units_removals_doc(records); }

std::string field(const std::string& name, const std::string& text)
{
    return "\t\t\t<" + name + ">" + text + "</" + name + ">\n";
}

using test::removed_field;
using test::removed_unit;

std::string record(const std::string& type, const std::string& fields)
{
    return "\t\t<UnitInfo>\n\t\t\t<Type>" + type + "</Type>\n" + fields + "\t\t</UnitInfo>\n";
}

std::string bonuses(const std::vector<std::string>& items, const std::vector<std::string>& removed = {})
{
    std::string s = "\t\t\t<PrereqBonuses>\n";
    for (const std::string& b : items)
        s += "\t\t\t\t<BonusType>" + b + "</BonusType>\n";
    for (const std::string& b : removed)
        s += "\t\t\t\t<BonusType velmora:remove=\"1\">" + b + "</BonusType>\n";
    return s + "\t\t\t</PrereqBonuses>\n";
}

std::string flavor(const std::string& type, const std::string& value, bool removed = false)
{
    return std::string("\t\t\t\t<Flavor") + (removed ? " velmora:remove=\"1\"" : "") + ">\n\t\t\t\t\t<FlavorType>"
        + type + "</FlavorType>\n" + (value.empty() ? "" : "\t\t\t\t\t<iFlavor>" + value + "</iFlavor>\n")
        + "\t\t\t\t</Flavor>\n";
}

std::string flavors(const std::string& items) { return "\t\t\t<Flavors>\n" + items + "\t\t\t</Flavors>\n"; }

// The units file as apply writes it: the game's layout under the writer's declaration.
std::string written(const std::string& records)
{
    return "<?xml version=\"1.0\" encoding=\"latin1\"?>\n" + units_doc(records, test::Declaration::none);
}

class Removals : public testing::Test {
protected:
    Removals() { table.load_text(test::merge_table); }

    void game(const std::string& text) { write_file(source / units_file, text); }
    std::string output() { return read_file(target / units_file); }
    // Applies the mods in order, file by file as the core does; returns the warnings.
    std::vector<std::string> apply(const std::vector<Mod>& mods)
    {
        std::vector<const Mod*> order;
        for (const Mod& m : mods)
            order.push_back(&m);
        std::vector<std::string> warnings;
        apply_mods(order, GameFiles({source.path()}), target.path(), nullptr, nullptr, nullptr, nullptr, &warnings);
        return warnings;
    }

    test::ElementTableScope table;
    test::TempDir source;
    test::TempDir target;
};

// The game's records, the change, and the file the merge leaves, byte for byte.
struct RemovalCase {
    const char* name;
    std::string game;
    std::string change;
    std::string result;
};

void PrintTo(const RemovalCase& c, std::ostream* os) { *os << c.name; }

class RemovalByType : public Removals, public testing::WithParamInterface<RemovalCase> { };

TEST_P(RemovalByType, takesOutWhatTheChangeNames)
{
    const RemovalCase& c = GetParam();
    game(units_doc(c.game));

    EXPECT_EQ(apply({mod_with("Mod", {xml_change(units_file, removals_doc(c.change))})}), std::vector<std::string>());

    const std::string out = output();
    // Written as the game's file is: its layout, no trace of the namespace.
    EXPECT_EQ(out, written(c.result));
    EXPECT_EQ(out.find("velmora"), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(Cases, RemovalByType,
    testing::Values(
        RemovalCase{"aRecordByItsKey", unit("UNIT_WARRIOR") + unit("UNIT_SCOUT") + unit("UNIT_ARCHER"),
            removed_unit("UNIT_SCOUT"), unit("UNIT_WARRIOR") + unit("UNIT_ARCHER")},
        RemovalCase{"theLastRecord", unit("UNIT_WARRIOR") + unit("UNIT_SCOUT"), removed_unit("UNIT_SCOUT"),
            unit("UNIT_WARRIOR")},
        RemovalCase{"aFieldOfARecord", unit("UNIT_WARRIOR", field("iCost", "10") + field("iMoves", "1")),
            record("UNIT_WARRIOR", removed_field("iCost")), unit("UNIT_WARRIOR", field("iMoves", "1"))},
        RemovalCase{"aFieldNextToAChangedOne", unit("UNIT_WARRIOR", field("iCost", "10") + field("iMoves", "1")),
            record("UNIT_WARRIOR", field("iMoves", "2") + removed_field("iCost")),
            unit("UNIT_WARRIOR", field("iMoves", "2"))},
        RemovalCase{"aWholeSetField", unit("UNIT_WARRIOR", bonuses({"BONUS_COPPER"}) + field("iCost", "10")),
            record("UNIT_WARRIOR", removed_field("PrereqBonuses")), unit("UNIT_WARRIOR", field("iCost", "10"))},
        RemovalCase{"oneSetItemWhileAnotherIsAdded",
            unit("UNIT_WARRIOR", bonuses({"BONUS_COPPER", "BONUS_IRON"})),
            record("UNIT_WARRIOR", bonuses({"BONUS_HORSE"}, {"BONUS_COPPER"})),
            unit("UNIT_WARRIOR", bonuses({"BONUS_IRON", "BONUS_HORSE"}))},
        // A set is a multiset: one mark takes out one of two equal items.
        RemovalCase{"oneOfARepeatedSetItem",
            unit("UNIT_WARRIOR", bonuses({"BONUS_COPPER", "BONUS_IRON", "BONUS_COPPER"})),
            record("UNIT_WARRIOR", bonuses({}, {"BONUS_COPPER"})),
            unit("UNIT_WARRIOR", bonuses({"BONUS_COPPER", "BONUS_IRON"}))},
        RemovalCase{"aPairRecordInsideARecord",
            unit("UNIT_WARRIOR", flavors(flavor("FLAVOR_MILITARY", "2") + flavor("FLAVOR_GOLD", "1"))),
            record("UNIT_WARRIOR", flavors(flavor("FLAVOR_MILITARY", "", true))),
            unit("UNIT_WARRIOR", flavors(flavor("FLAVOR_GOLD", "1")))},
        RemovalCase{"theSecondOfTwoRecordsWithOneKey",
            unit("UNIT_WARRIOR", field("iCost", "1")) + unit("UNIT_WARRIOR", field("iCost", "2")),
            record("UNIT_WARRIOR", "") + removed_unit("UNIT_WARRIOR"), unit("UNIT_WARRIOR", field("iCost", "1"))},
        // Removing what is not there is no error: the file is as the mod wants it.
        RemovalCase{"aFieldTheRecordLacks", unit("UNIT_WARRIOR", field("iMoves", "1")),
            record("UNIT_WARRIOR", removed_field("iCost")), unit("UNIT_WARRIOR", field("iMoves", "1"))},
        RemovalCase{"aSetItemTheSetLacks", unit("UNIT_WARRIOR", bonuses({"BONUS_IRON"})),
            record("UNIT_WARRIOR", bonuses({}, {"BONUS_COPPER"})), unit("UNIT_WARRIOR", bonuses({"BONUS_IRON"}))},
        RemovalCase{"aSetItemInASetTheRecordLacks", unit("UNIT_WARRIOR", field("iMoves", "1")),
            record("UNIT_WARRIOR", bonuses({}, {"BONUS_COPPER"})), unit("UNIT_WARRIOR", field("iMoves", "1"))},
        // A new record keeps what it adds, without the removals inside it.
        RemovalCase{"removalsInANewRecordAreLeftOut", unit("UNIT_WARRIOR"),
            record("UNIT_SCOUT", field("iCost", "5") + removed_field("iMoves")),
            unit("UNIT_WARRIOR") + record("UNIT_SCOUT", field("iCost", "5"))}),
    [](const testing::TestParamInfo<RemovalCase>& info) { return info.param.name; });

TEST_F(Removals, aRemovalOfWhatAnEarlierModRemovedIsSilent)
{
    game(units_doc(unit("UNIT_WARRIOR") + unit("UNIT_SCOUT", field("iCost", "5"))));
    Mod first = mod_with("First", {xml_change(units_file, removals_doc(removed_unit("UNIT_SCOUT")))});
    Mod second = mod_with("Second", {xml_change(units_file, removals_doc(removed_unit("UNIT_SCOUT")))});
    Mod third = mod_with("Third", {xml_change(units_file, removals_doc(record("UNIT_SCOUT", removed_field("iCost"))))});

    EXPECT_EQ(apply({first, second, third}), std::vector<std::string>());
    EXPECT_EQ(output(), written(unit("UNIT_WARRIOR")));
}

TEST_F(Removals, aRemovalOfARecordTheFileNeverHadIsAWarningNamingIt)
{
    const std::string warrior = unit("UNIT_WARRIOR", flavors(flavor("FLAVOR_MILITARY", "2")));
    game(units_doc(warrior));
    Mod m = mod_with("Cleaner", {xml_change(units_file,
                                    removals_doc(removed_unit("UNIT_GHOST") + record("UNIT_SHADOW", removed_field("iCost"))
                                        + record("UNIT_WARRIOR", flavors(flavor("FLAVOR_GOLD", "", true)))))});

    EXPECT_EQ(apply({m}),
        (std::vector<std::string>{
            "The mod 'Cleaner' removes UNIT_GHOST from XML/Units/CIV4UnitInfos.xml, but the file never had it: "
            "nothing was removed.",
            "The mod 'Cleaner' removes parts of UNIT_SHADOW in XML/Units/CIV4UnitInfos.xml, but the file never "
            "had it: nothing was removed.",
            "The mod 'Cleaner' removes UNIT_WARRIOR: Flavors: FLAVOR_GOLD from XML/Units/CIV4UnitInfos.xml, but "
            "the file never had it: nothing was removed."}));
    EXPECT_EQ(output(), written(warrior));
}

// A mark where nothing can be removed stops the apply, naming the element.
struct MisplacedCase {
    const char* name;
    std::string change;
    std::string message;
};

void PrintTo(const MisplacedCase& c, std::ostream* os) { *os << c.name; }

class MisplacedRemoval : public Removals, public testing::WithParamInterface<MisplacedCase> { };

TEST_P(MisplacedRemoval, isRefusedNamingTheElement)
{
    const MisplacedCase& c = GetParam();
    const std::string base = units_doc(unit("UNIT_WARRIOR",
        "\t\t\t<YieldChanges>\n\t\t\t\t<iYield>1</iYield>\n\t\t\t</YieldChanges>\n"
        "\t\t\t<BonusAffinities>\n\t\t\t\t<BonusAffinity>BONUS_HORSE</BonusAffinity>\n\t\t\t</BonusAffinities>\n"));
    game(base);
    try {
        apply({mod_with("Broken", {xml_change(units_file, c.change)})});
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_EQ(std::string(e.what()), c.message + " (mod 'Broken', change to XML\\Units\\CIV4UnitInfos.xml)");
    }
    EXPECT_FALSE(exists(target / units_file));
}

INSTANTIATE_TEST_SUITE_P(Cases, MisplacedRemoval,
    testing::Values(
        MisplacedCase{"onTheCollection",
            test::game_document("Civ4UnitInfos",
                R"(xmlns="x-schema:CIV4UnitSchema.xml" xmlns:velmora="urn:velmora:change")",
                "\t<UnitInfos velmora:remove=\"1\">\n" + unit("UNIT_WARRIOR") + "\t</UnitInfos>\n"),
            "The removal mark on /Civ4UnitInfos/UnitInfos cannot be applied: only a record, a field or a set "
            "item can be removed"},
        MisplacedCase{"onARecordsKey", removals_doc("\t\t<UnitInfo>\n\t\t\t<Type velmora:remove=\"1\">UNIT_WARRIOR</Type>\n\t\t</UnitInfo>\n"),
            "The removal mark on /Civ4UnitInfos/UnitInfos/UnitInfo/Type cannot be applied: the key of a record "
            "cannot be removed, only the record"},
        MisplacedCase{"inAList",
            removals_doc(record("UNIT_WARRIOR",
                "\t\t\t<YieldChanges>\n\t\t\t\t<iYield velmora:remove=\"1\">1</iYield>\n\t\t\t</YieldChanges>\n")),
            "The removal mark on /Civ4UnitInfos/UnitInfos/UnitInfo/YieldChanges/iYield cannot be applied: a list "
            "is replaced whole: give the list without the item instead"},
        MisplacedCase{"inAnOpaqueElement",
            removals_doc(record("UNIT_WARRIOR",
                "\t\t\t<BonusAffinities>\n\t\t\t\t<BonusAffinity velmora:remove=\"1\">BONUS_HORSE</BonusAffinity>\n"
                "\t\t\t</BonusAffinities>\n")),
            "The removal mark on /Civ4UnitInfos/UnitInfos/UnitInfo/BonusAffinities/BonusAffinity cannot be "
            "applied: an opaque element is replaced whole, with what the change gives"},
        MisplacedCase{"withAnotherValue", removals_doc(record("UNIT_WARRIOR", "\t\t\t<iCost velmora:remove=\"yes\"/>\n")),
            "The element <iCost> of the change has remove=\"yes\" in Velmora's namespace: a removal is marked "
            "with the value 1"},
        MisplacedCase{"withAnotherName", removals_doc(record("UNIT_WARRIOR", "\t\t\t<iCost velmora:delete=\"1\"/>\n")),
            "The element <iCost> of the change has the attribute delete in Velmora's namespace, which only knows "
            "\"remove\""}),
    [](const testing::TestParamInfo<MisplacedCase>& info) { return info.param.name; });

// The list of removals `show` gives, in the words of the creator's report.
TEST_F(Removals, describeNamesEachRemovalByItsKeys)
{
    const std::string change = removals_doc(removed_unit("UNIT_SCOUT")
        + record("UNIT_WARRIOR",
            field("iCost", "3") + removed_field("iMoves") + bonuses({"BONUS_IRON"}, {"BONUS_COPPER"})
                + flavors(flavor("FLAVOR_GOLD", "", true))));
    Mod m = mod_with("Mod", {xml_change(units_file, change), test::whole_change("Art/a.dds", "DDS ")});

    EXPECT_EQ(change_removals(m, m.changes.front()),
        (std::vector<std::string>{"UnitInfos: removed UNIT_SCOUT", "UNIT_WARRIOR: Flavors: removed FLAVOR_GOLD",
            "UNIT_WARRIOR: PrereqBonuses: removed BONUS_COPPER", "UNIT_WARRIOR: removed iMoves"}));
    EXPECT_EQ(change_removals(m, m.changes.back()), std::vector<std::string>());
}

} // namespace
} // namespace velmora
