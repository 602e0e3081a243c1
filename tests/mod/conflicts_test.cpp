#include <gtest/gtest.h>

#include <libxml++/exceptions/exception.h>

#include <string>
#include <vector>

#include "path/platform.h"
#include "base/errors.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "support/element_table.h"
#include "support/game_xml.h"
#include "xml/library.h"

namespace velmora {
namespace {

using test::conflict_of;
using test::diff_change;
using test::mod_with;
using test::text_doc;
using test::text_record;
using test::unit;
using test::units_doc;
using test::units_file;
using test::whole_change;
using test::xml_change;

class ModConflicts : public testing::Test {
protected:
    ModConflicts() { table.load_text(test::merge_table); }
    test::ElementTableScope table;
};

// A long script and differences that change some of its lines.
std::string script_with(int changed_line = -1, const std::string& text = std::string())
{
    std::string out;
    for (int i = 0; i < 40; ++i)
        out += (i == changed_line ? text : "\tline = " + std::to_string(i)) + "\n";
    return out;
}

const std::string script_diff_a = test::diff_text(script_with(), script_with(10, "\tline = 'a'"));
// Its change touches the first one's.
const std::string script_diff_b = test::diff_text(script_with(), script_with(11, "\tline = 'b'"));
// Its context takes in the line the first one changes, but one line lies between the changes.
const std::string script_diff_near = test::diff_text(script_with(), script_with(12, "\tline = 'near'"));
const std::string script_diff_far = test::diff_text(script_with(), script_with(30, "\tline = 'far'"));

std::string names_doc(const std::string& body)
{
    return test::game_document("Civ4NameLists", R"(xmlns="x-schema:CIV4NameListsSchema.xml")", body);
}

std::string version_doc(const std::string& value)
{
    return test::game_document("Civ4Version", "", "\t<Version>" + value + "</Version>\n");
}

std::string schema_doc(const std::string& types)
{
    return test::game_document("Schema",
        R"(xmlns="urn:schemas-microsoft-com:xml-data" xmlns:dt="urn:schemas-microsoft-com:datatypes")",
        types);
}

// Two changes of one file, one per mod, and the ConflictError each order of
// the check gives ("" for none).
struct PairCase {
    const char* name;
    Change a;
    Change b;
    std::string a_then_b;
    std::string b_then_a;
};

void PrintTo(const PairCase& c, std::ostream* os) { *os << c.name; }

class ConflictPair : public ModConflicts, public testing::WithParamInterface<PairCase> { };

TEST_P(ConflictPair, givesTheFirstModsFileAndElement)
{
    const PairCase& c = GetParam();
    Mod a = mod_with("A", {c.a});
    Mod b = mod_with("B", {c.b});
    // Messages show the file in the system's own form.
    EXPECT_EQ(conflict_of(a, b), platform::native(c.a_then_b));
    EXPECT_EQ(conflict_of(b, a), platform::native(c.b_then_a));
}

const char* const lower_units = "xml\\units\\civ4unitinfos.xml";
const std::string in_units = "Conflict in XML\\Units\\CIV4UnitInfos.xml";
const std::string in_lower = "Conflict in xml\\units\\civ4unitinfos.xml";
const std::string iron
    = "\t\t\t<PrereqBonuses>\n\t\t\t\t<BonusType>BONUS_IRON</BonusType>\n\t\t\t</PrereqBonuses>\n";
const std::string copper
    = "\t\t\t<PrereqBonuses>\n\t\t\t\t<BonusType>BONUS_COPPER</BonusType>\n\t\t\t</PrereqBonuses>\n";

INSTANTIATE_TEST_SUITE_P(Cases, ConflictPair,
    testing::Values(PairCase{"wholeAgainstDiffInAnotherLetterCase", whole_change(units_file, "x"),
                        diff_change(lower_units, script_diff_a), in_units, in_lower},
        PairCase{"wholeAgainstXml", whole_change(units_file, units_doc(unit("UNIT_X"))),
            xml_change(units_file, units_doc(unit("UNIT_X"))), in_units, in_units},
        PairCase{"identicalWholeContents", whole_change(units_file, std::string("DDS\0a", 5)),
            whole_change(lower_units, std::string("DDS\0a", 5)), "", ""},
        PairCase{"wholeContentsDifferingInOneByte", whole_change(units_file, std::string("DDS\0a", 5)),
            whole_change(units_file, std::string("DDS\0b", 5)), in_units, in_units},
        PairCase{"wholeContentsDifferingInLength", whole_change(units_file, "abc"),
            whole_change(units_file, "abcd"), in_units, in_units},
        PairCase{"sameFileWrittenWithSlashes", whole_change(units_file, "a"),
            whole_change("XML/Units/./CIV4UnitInfos.xml", "b"), in_units,
            "Conflict in XML/Units/./CIV4UnitInfos.xml"},
        PairCase{"overlappingDiffs", diff_change("Python\\x.py", script_diff_a),
            diff_change("python\\X.py", script_diff_b), "Conflict in Python\\x.py: lines 11-12",
            "Conflict in python\\X.py: lines 11-12"},
        PairCase{"diffsWithinEachOthersContext", diff_change("Python\\x.py", script_diff_a),
            diff_change("Python\\x.py", script_diff_near), "", ""},
        PairCase{"separateDiffs", diff_change("Python\\x.py", script_diff_a),
            diff_change("Python\\x.py", script_diff_far), "", ""},
        PairCase{"differentRecordsOfOneContainer", xml_change(units_file, units_doc(unit("UNIT_A"))),
            xml_change(units_file, units_doc(unit("UNIT_B"))), "", ""},
        PairCase{"differentFieldsOfOneRecord",
            xml_change(units_file, units_doc(unit("UNIT_X", "\t\t\t<iCombat>2</iCombat>\n"))),
            xml_change(lower_units, units_doc(unit("UNIT_X", "\t\t\t<iMoves>2</iMoves>\n"))),
            in_units + ": UnitInfo UNIT_X", in_lower + ": UnitInfo UNIT_X"},
        PairCase{"firstSharedRecordInKeyOrder",
            xml_change(units_file, units_doc(unit("UNIT_Z") + unit("UNIT_M") + unit("UNIT_A"))),
            xml_change(units_file, units_doc(unit("UNIT_M") + unit("UNIT_Z"))),
            in_units + ": UnitInfo UNIT_M", in_units + ": UnitInfo UNIT_M"},
        PairCase{"setsNever",
            xml_change("XML\\n.xml", names_doc("\t<LeaderNames><Name>A</Name></LeaderNames>\n")),
            xml_change(
                "XML\\n.xml", names_doc("\t<LeaderNames><Name>A</Name><Name>B</Name></LeaderNames>\n")),
            "", ""},
        PairCase{"listsAlways",
            xml_change("XML\\n.xml", names_doc("\t<CityNames><City>A</City></CityNames>\n")),
            xml_change("XML\\n.xml", names_doc("\t<CityNames><City>A</City></CityNames>\n")),
            "Conflict in XML\\n.xml: CityNames", "Conflict in XML\\n.xml: CityNames"},
        PairCase{"equalValues", xml_change("XML\\v.xml", version_doc("3.19")),
            xml_change("XML\\v.xml", version_doc("3.19")), "", ""},
        PairCase{"differentValues", xml_change("XML\\v.xml", version_doc("3.19")),
            xml_change("XML\\v.xml", version_doc("3.17")), "Conflict in XML\\v.xml: Version",
            "Conflict in XML\\v.xml: Version"},
        PairCase{"valueWithoutText", xml_change("XML\\v.xml", version_doc("3.19")),
            xml_change("XML\\v.xml", version_doc("")), "", ""},
        PairCase{"equalOpaqueElementsLaidOutDifferently",
            xml_change("XML\\s.xml", schema_doc("\t<ElementType name=\"Type\" content=\"textOnly\"/>\n")),
            xml_change("XML\\s.xml",
                schema_doc(
                    "<!-- a comment --><ElementType content=\"textOnly\" name=\"Type\"></ElementType>")),
            "", ""},
        PairCase{"differentOpaqueElements",
            xml_change("XML\\s.xml", schema_doc("\t<ElementType name=\"Type\" content=\"textOnly\"/>\n")),
            xml_change("XML\\s.xml", schema_doc("\t<ElementType name=\"Type\" content=\"eltOnly\"/>\n")),
            "Conflict in XML\\s.xml: Schema", "Conflict in XML\\s.xml: Schema"},
        PairCase{"recordsDirectlyUnderTheRoot",
            xml_change("XML\\t.xml", text_doc(text_record("TXT_KEY_A", "\t\t<English>A</English>\n"))),
            xml_change("XML\\t.xml",
                text_doc(text_record("TXT_KEY_B", "\t\t<English>B</English>\n")
                    + text_record("TXT_KEY_A", "\t\t<French>A</French>\n"))),
            "Conflict in XML\\t.xml: TEXT TXT_KEY_A", "Conflict in XML\\t.xml: TEXT TXT_KEY_A"},
        PairCase{"otherFilesOnly", xml_change(units_file, units_doc(unit("UNIT_X"))),
            xml_change("XML\\Units\\CIV4UnitInfos2.xml", units_doc(unit("UNIT_X"))), "", ""}),
    [](const testing::TestParamInfo<PairCase>& info) { return info.param.name; });

std::string removals(const std::string& records) { return test::units_removals_doc(records); }

// A record as a created change names it: its key, then what changes.
std::string keyed(const std::string& type, const std::string& fields)
{
    return "\t\t<UnitInfo>\n\t\t\t<Type>" + type + "</Type>\n" + fields + "\t\t</UnitInfo>\n";
}

std::string names_removals_doc(const std::string& body)
{
    return test::game_document("Civ4NameLists",
        R"(xmlns="x-schema:CIV4NameListsSchema.xml" xmlns:velmora="urn:velmora:change")", body);
}

// A removal counts as a change of what it removes; two changes that only
// remove the same do not conflict, as the order cannot matter.
INSTANTIATE_TEST_SUITE_P(Removals, ConflictPair,
    testing::Values(
        PairCase{"recordRemovedAgainstChanged", xml_change(units_file, removals(test::removed_unit("UNIT_X"))),
            xml_change(units_file, units_doc(unit("UNIT_X", "\t\t\t<iCost>58</iCost>\n"))),
            in_units + ": UnitInfo UNIT_X", in_units + ": UnitInfo UNIT_X"},
        PairCase{"recordRemovedByBoth", xml_change(units_file, removals(test::removed_unit("UNIT_X"))),
            xml_change(units_file, removals(test::removed_unit("UNIT_X") + unit("UNIT_Y"))), "", ""},
        PairCase{"fieldRemovedByBoth", xml_change(units_file, removals(keyed("UNIT_X", test::removed_field("iCost")))),
            xml_change(units_file, removals(keyed("UNIT_X", test::removed_field("iCost")))), "", ""},
        PairCase{"fieldRemovedAgainstChanged",
            xml_change(units_file, removals(keyed("UNIT_X", test::removed_field("iCost")))),
            xml_change(units_file, units_doc(unit("UNIT_X", "\t\t\t<iCost>58</iCost>\n"))),
            in_units + ": UnitInfo UNIT_X", in_units + ": UnitInfo UNIT_X"},
        PairCase{"differentFieldsRemoved",
            xml_change(units_file, removals(keyed("UNIT_X", test::removed_field("iCost")))),
            xml_change(units_file, removals(keyed("UNIT_X", test::removed_field("iMoves")))),
            in_units + ": UnitInfo UNIT_X", in_units + ": UnitInfo UNIT_X"},
        PairCase{"setItemRemovedThatTheOtherAdds",
            xml_change("XML\\n.xml",
                names_removals_doc("\t<LeaderNames><Name velmora:remove=\"1\">A</Name></LeaderNames>\n")),
            xml_change("XML\\n.xml", names_doc("\t<LeaderNames><Name>B</Name><Name>A</Name></LeaderNames>\n")),
            "Conflict in XML\\n.xml: LeaderNames", "Conflict in XML\\n.xml: LeaderNames"},
        PairCase{"setItemsRemovedAndAddedApart",
            xml_change("XML\\n.xml",
                names_removals_doc("\t<LeaderNames><Name velmora:remove=\"1\">A</Name><Name>C</Name></LeaderNames>\n")),
            xml_change("XML\\n.xml",
                names_removals_doc("\t<LeaderNames><Name>B</Name><Name velmora:remove=\"1\">D</Name></LeaderNames>\n")),
            "", ""}),
    [](const testing::TestParamInfo<PairCase>& info) { return info.param.name; });

TEST_F(ModConflicts, reportsTheFirstConflictInTheFirstModsOrder)
{
    Mod a = mod_with("A",
        {whole_change("Art\\a.dds", "1"), xml_change(units_file, units_doc(unit("UNIT_X"))),
            whole_change("Python\\x.py", "2")});
    Mod b = mod_with(
        "B", {whole_change("python\\x.py", "3"), xml_change(units_file, units_doc(unit("UNIT_X")))});

    EXPECT_EQ(conflict_of(a, b), platform::native(in_units + ": UnitInfo UNIT_X"));
    EXPECT_EQ(conflict_of(b, a), platform::native(std::string("Conflict in python\\x.py")));
}

// Change texts are parsed once per mod, not once per pair, so an edit of a
// change after a check must still count in the next one.
TEST_F(ModConflicts, anEditedChangeIsCheckedAsItIsNow)
{
    Mod a = mod_with("A", {xml_change(units_file, units_doc(unit("UNIT_A")))});
    Mod b = mod_with("B", {xml_change(units_file, units_doc(unit("UNIT_B")))});
    Mod c = mod_with("C", {xml_change(units_file, units_doc(unit("UNIT_C")))});
    ASSERT_EQ(conflict_of(a, b), "");
    ASSERT_EQ(conflict_of(a, c), "");

    b.changes.front().text = units_doc(unit("UNIT_A"));
    EXPECT_EQ(conflict_of(a, b), platform::native(in_units + ": UnitInfo UNIT_A"));
    b.changes.front().type = Change::WHOLE;
    EXPECT_EQ(conflict_of(a, b), platform::native(in_units));
    b.changes = {xml_change(units_file, units_doc(unit("UNIT_B")))};
    EXPECT_EQ(conflict_of(a, b), "");
    Mod copy = a;
    copy.changes.front().text = units_doc(unit("UNIT_C"));
    EXPECT_EQ(conflict_of(copy, c), platform::native(in_units + ": UnitInfo UNIT_C"));
    EXPECT_EQ(conflict_of(a, c), "");
}

// Failures that are not conflicts reach the caller as plain errors of ours,
// naming what could not be read or compared.
struct ErrorCase {
    const char* name;
    Change a;
    Change b;
    std::string message; // a part of it
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ConflictCheckError : public ModConflicts, public testing::WithParamInterface<ErrorCase> { };

TEST_P(ConflictCheckError, isAnErrorNotAConflict)
{
    const ErrorCase& c = GetParam();
    Mod a = mod_with("A", {c.a});
    Mod b = mod_with("B", {c.b});
    try {
        a.check_conflicts(&b);
        FAIL() << "no error";
    } catch (const ConflictError& e) {
        FAIL() << "a conflict: " << e.what();
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    } catch (const XmlLibraryError& e) {
        FAIL() << "the XML library's exception: " << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ConflictCheckError,
    testing::Values(ErrorCase{"changeTextThatDoesNotParse", xml_change(units_file, units_doc(unit("UNIT_X"))),
                        xml_change(units_file, "<Civ4UnitInfos><UnitInfos>"), "XML error in mod data: "},
        ErrorCase{"rootsOfDifferentFiles", xml_change(units_file, units_doc(unit("UNIT_X"))),
            xml_change(units_file, test::game_document("Civ4BuildingInfos", "", "\t<BuildingInfos/>\n")),
            "Attempt to conflict-check two different elements (mods 'A' and 'B', changes to "
            "XML\\Units\\CIV4UnitInfos.xml)"},
        ErrorCase{"toplevelWithoutContents", xml_change(units_file, units_doc(unit("UNIT_X"))),
            xml_change(units_file, "<Civ4UnitInfos/>"), "Toplevel element with no contents?"},
        ErrorCase{"recordWithoutItsKey", xml_change(units_file, units_doc("\t\t<UnitInfo/>\n")),
            xml_change(units_file, units_doc(unit("UNIT_X"))), "No key found for object UnitInfo"},
        ErrorCase{"ignoredElement",
            xml_change("XML\\h.xml", "<Civ4UnitInfos><HotKeyInfo>A</HotKeyInfo></Civ4UnitInfos>"),
            xml_change("XML\\h.xml", "<Civ4UnitInfos><HotKeyInfo>B</HotKeyInfo></Civ4UnitInfos>"),
            "Don't know type of element HotKeyInfo"},
        ErrorCase{"diffWithABadHeader", diff_change("Python\\x.py", "@@ nonsense\n"),
            diff_change("Python\\x.py", script_diff_a), "Invalid diff header"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

} // namespace
} // namespace velmora
