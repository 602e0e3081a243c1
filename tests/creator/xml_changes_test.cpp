// The element-level comparison of an XML file with the game's: what the
// change keeps, what the report says, and the errors that stop the creation.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "path/platform.h"
#include "tests/creator/creator_fixture.h"

namespace velmora::test {
namespace {

class XmlChangesTest : public CreatorFixture {
protected:
    // The change of the things file ("" when none) and the report's lines
    // after the file's own line.
    struct Result {
        std::string change;
        std::string details;
    };

    Result compare(const std::string& game_records, const std::string& modified_records)
    {
        write_pair(things_file, things(game_records), things(modified_records));
        std::unique_ptr<Mod> mod = create();
        Result result;
        if (!mod) {
            ADD_FAILURE() << "no mod";
            return result;
        }
        if (!mod->changes.empty()) {
            EXPECT_EQ(mod->changes.size(), 1u);
            EXPECT_EQ(mod->changes.front().type, Change::XML);
            EXPECT_EQ(mod->changes.front().file, things_file);
            result.change = outline(mod->changes.front().text);
        }
        const std::string head = std::string(things_file) + " -> xml\n";
        std::string text = report();
        EXPECT_EQ(text.compare(0, head.size(), head), 0) << text;
        result.details = text.substr(std::min(head.size(), text.size()));
        return result;
    }
};

TEST_F(XmlChangesTest, theReportOfAChangedValueAndANewRecordReadsByteForByte)
{
    write_pair(things_file, things(thing("THING_A", field("iSize", "1"))),
        things(thing("THING_A", field("iSize", "2")) + thing("THING_B", field("iSize", "3"))));

    ASSERT_TRUE(create());

    EXPECT_EQ(report(),
        "XML\\Things\\Civ4ThingInfos.xml -> xml\n"
        "    iSize: changed 1 -> 2\n"
        "  THING_A: changed\n"
        "  THING_B: new\n");
}

TEST_F(XmlChangesTest, theChangeKeepsTheRootWithItsNamespace)
{
    write_pair(things_file, things(thing("THING_A", field("iSize", "1"))),
        things(thing("THING_A", field("iSize", "2"))));

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    EXPECT_NE(mod->changes.front().text.find("<Civ4ThingInfos xmlns=\"x-schema:CIV4ThingSchema.xml\">"),
        std::string::npos)
        << mod->changes.front().text;
}

struct ChangeCase {
    const char* name;
    std::string game;
    std::string modified;
    std::string details; // report lines after the file's line
    std::string change; // outline of the change; empty when there is none
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class XmlChangeCaseTest : public XmlChangesTest, public ::testing::WithParamInterface<ChangeCase> { };

TEST_P(XmlChangeCaseTest, keepsWhatDiffersAndReportsIt)
{
    const ChangeCase& c = GetParam();

    Result r = compare(c.game, c.modified);

    EXPECT_EQ(r.details, c.details);
    EXPECT_EQ(r.change, c.change);
}

const std::string art_a = "\t\t\t<Art>\n\t\t\t\t<Mesh file=\"a.nif\" "
                          "scale=\"1.0\"/>\n\t\t\t\t<Button>a.dds</Button>\n\t\t\t</Art>\n";

// A record whose key is not its first field, as in most of the game's files.
std::string classed_thing(const std::string& type, const std::string& fields)
{
    return "\t\t<ThingInfo>\n" + field("Class", "THINGCLASS_A") + field("Type", type) + fields
        + "\t\t</ThingInfo>\n";
}

std::string frame(const std::string& records) { return "Civ4ThingInfos(ThingInfos(" + records + "))"; }

INSTANTIATE_TEST_SUITE_P(Records, XmlChangeCaseTest,
    ::testing::Values(
        ChangeCase{"recordsAreMatchedByKeyNotPosition",
            thing("THING_A", field("iSize", "1")) + thing("THING_B", field("iSize", "2")),
            thing("THING_B", field("iSize", "2")) + thing("THING_A", field("iSize", "1")), "", ""},
        // The record under the old key is gone from the modder's file.
        ChangeCase{"aChangedKeyIsANewRecordAndTheOldOneRemoved", thing("THING_A", field("iSize", "1")),
            thing("THING_C", field("iSize", "1")), "  THING_C: new\nThingInfos: removed THING_A\n",
            frame("ThingInfo(Type=THING_C,iSize=1),ThingInfo{remove=1}(Type=THING_A)")},
        ChangeCase{"aChangedRecordKeepsExactlyItsKeyAndTheChangedValue",
            classed_thing(
                "THING_A", field("Description", "Axe") + field("iSize", "1") + field("iCost", "10")),
            classed_thing(
                "THING_A", field("Description", "Axe") + field("iSize", "1") + field("iCost", "12")),
            "    iCost: changed 10 -> 12\n  THING_A: changed\n", frame("ThingInfo(Type=THING_A,iCost=12)")},
        ChangeCase{"changedValuesAreReportedInKeyOrder",
            thing("THING_A", field("iSize", "1") + field("Description", "Axe")),
            thing("THING_A", field("iSize", "2") + field("Description", "Big axe")),
            "    Description: changed Axe -> Big axe\n    iSize: changed 1 -> 2\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,iSize=2,Description=Big axe)")},
        ChangeCase{"spacesAroundAValueAreADifference", thing("THING_A", field("iSize", "1")),
            thing("THING_A", field("iSize", " 1")), "    iSize: changed 1 ->  1\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,iSize= 1)")},
        ChangeCase{"anEmptyValueThatIsSetIsRecordedSilently", thing("THING_A", "\t\t\t<Description/>\n"),
            thing("THING_A", field("Description", "Axe")), "  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Description=Axe)")},
        ChangeCase{"aValueThatIsEmptiedIsRecordedSilently", thing("THING_A", field("Description", "Axe")),
            thing("THING_A", "\t\t\t<Description/>\n"), "  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Description=)")},
        ChangeCase{"aNewFieldIsNew", thing("THING_A", field("iSize", "1")),
            thing("THING_A", field("iSize", "1") + field("iCost", "5")),
            "    iCost: new\n  THING_A: changed\n", frame("ThingInfo(Type=THING_A,iCost=5)")},
        ChangeCase{"aSetKeepsOnlyItsNewItems", thing("THING_A", items("Tags", "Tag", {"TAG_X", "TAG_Y"})),
            thing("THING_A", items("Tags", "Tag", {"TAG_Y", "TAG_Z", "TAG_X"})),
            "    TAG_Z: new\n  THING_A: changed\n", frame("ThingInfo(Type=THING_A,Tags(Tag=TAG_Z))")},
        ChangeCase{"aSetReorderedIsNoDifference", thing("THING_A", items("Tags", "Tag", {"TAG_X", "TAG_Y", "TAG_Z"})),
            thing("THING_A", items("Tags", "Tag", {"TAG_Z", "TAG_X", "TAG_Y"})), "", ""},
        // A set is a multiset: an item the game has once and the modder twice is new once more.
        ChangeCase{"aSetItemRepeatedIsNewOnceMore", thing("THING_A", items("Tags", "Tag", {"TAG_X"})),
            thing("THING_A", items("Tags", "Tag", {"TAG_X", "TAG_X"})), "    TAG_X: new\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Tags(Tag=TAG_X))")},
        ChangeCase{"aReorderedListIsCarriedWholeAndItsFirstDifferenceReported",
            thing("THING_A", items("Sizes", "iSize", {"1", "2", "3", "4"})),
            thing("THING_A", items("Sizes", "iSize", {"1", "3", "2", "5"})),
            "    2 != 3\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Sizes(iSize=1,iSize=3,iSize=2,iSize=5))")},
        ChangeCase{"aLongerListIsCarriedWholeWithoutALineOfItsOwn",
            thing("THING_A", items("Sizes", "iSize", {"1", "2"})),
            thing("THING_A", items("Sizes", "iSize", {"1", "2", "3"})), "  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Sizes(iSize=1,iSize=2,iSize=3))")},
        ChangeCase{"aChangedPairRecordIsReportedAtEachLevel",
            thing("THING_A", flavors({{"FLAVOR_GOLD", "2"}, {"FLAVOR_SCIENCE", "1"}})),
            thing("THING_A", flavors({{"FLAVOR_GOLD", "5"}, {"FLAVOR_SCIENCE", "1"}})),
            "      iFlavor: changed 2 -> 5\n    FLAVOR_GOLD: changed\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Flavors(Flavor(FlavorType=FLAVOR_GOLD,iFlavor=5)))")},
        ChangeCase{"aNewPairRecordInAnEmptyCollectionIsNew", thing("THING_A", "\t\t\t<Flavors/>\n"),
            thing("THING_A", flavors({{"FLAVOR_GOLD", "2"}})), "    FLAVOR_GOLD: new\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Flavors(Flavor(FlavorType=FLAVOR_GOLD,iFlavor=2)))")},
        ChangeCase{"anIgnoredElementIsWarnedAboutAndNeverADifference",
            thing("THING_A", field("Notes", "old")), thing("THING_A", field("Notes", "new")),
            "    Warning: ignoring Notes\n", ""},
        ChangeCase{"anUnchangedIgnoredElementIsWarnedAboutToo", thing("THING_A", field("Notes", "same")),
            thing("THING_A", field("Notes", "same")), "    Warning: ignoring Notes\n", ""},
        ChangeCase{"aNewIgnoredElementIsLeftOut", thing("THING_A", field("iSize", "1")),
            thing("THING_A", field("iSize", "2") + field("Notes", "mine")),
            "    Warning: ignoring Notes\n    iSize: changed 1 -> 2\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,iSize=2)")},
        ChangeCase{"anIgnoredElementInANewRecordIsLeftOut", thing("THING_A"),
            thing("THING_A") + thing("THING_B", field("iSize", "1") + field("Notes", "mine")),
            "  THING_B: new\n    Warning: ignoring Notes\n", frame("ThingInfo(Type=THING_B,iSize=1)")},
        ChangeCase{"anOpaqueElementLaidOutAnewIsUnchanged", thing("THING_A", art_a),
            thing("THING_A",
                "<Art><Mesh scale=\"1.0\" file=\"a.nif\"/><!-- same --><Button>a.dds</Button></Art>"),
            "", ""},
        ChangeCase{"aChangedOpaqueElementIsCarriedWhole", thing("THING_A", field("iSize", "1") + art_a),
            thing("THING_A",
                field("iSize", "1")
                    + "\t\t\t<Art>\n\t\t\t\t<Mesh file=\"b.nif\" "
                      "scale=\"1.0\"/>\n\t\t\t\t<Button>a.dds</Button>\n"
                      "\t\t\t</Art>\n"),
            "    Art: changed\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Art(Mesh{file=b.nif scale=1.0}=,Button=a.dds))")}),
    [](const auto& info) { return std::string(info.param.name); });

// What the modder deleted: records by their key, fields by their name, set
// items by their text, each with one report line naming its place by keys.
INSTANTIATE_TEST_SUITE_P(Removals, XmlChangeCaseTest,
    ::testing::Values(
        ChangeCase{"aDeletedRecordIsRemovedByItsKey",
            thing("THING_A", field("iSize", "1")) + thing("THING_B", field("iSize", "2")),
            thing("THING_A", field("iSize", "1")), "ThingInfos: removed THING_B\n",
            frame("ThingInfo{remove=1}(Type=THING_B)")},
        ChangeCase{"aRecordWhoseKeyIsNotItsFirstFieldIsRemovedByItsKey",
            classed_thing("THING_A", "") + classed_thing("THING_B", field("iSize", "2")), classed_thing("THING_A", ""),
            "ThingInfos: removed THING_B\n", frame("ThingInfo{remove=1}(Type=THING_B)")},
        ChangeCase{"aDeletedFieldIsRemoved", thing("THING_A", field("iSize", "1") + field("iCost", "5")),
            thing("THING_A", field("iSize", "1")), "THING_A: removed iCost\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,iCost{remove=1}=)")},
        ChangeCase{"aRemovalBesideAChange", thing("THING_A", field("iSize", "1") + field("iCost", "5")),
            thing("THING_A", field("iSize", "2")),
            "    iSize: changed 1 -> 2\nTHING_A: removed iCost\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,iSize=2,iCost{remove=1}=)")},
        ChangeCase{"aDeletedStructuredFieldIsRemovedEmpty", thing("THING_A", field("iSize", "1") + art_a),
            thing("THING_A", field("iSize", "1")), "THING_A: removed Art\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Art{remove=1}=)")},
        ChangeCase{"aDeletedSetItemIsRemovedByItsText",
            thing("THING_A", items("Tags", "Tag", {"TAG_X", "TAG_Y", "TAG_Z"})),
            thing("THING_A", items("Tags", "Tag", {"TAG_Z", "TAG_X"})),
            "THING_A: Tags: removed TAG_Y\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Tags(Tag{remove=1}=TAG_Y))")},
        ChangeCase{"aRepeatedSetItemDeletedOnceIsRemovedOnce",
            thing("THING_A", items("Tags", "Tag", {"TAG_X", "TAG_Y", "TAG_X"})),
            thing("THING_A", items("Tags", "Tag", {"TAG_Y", "TAG_X", "TAG_Z"})),
            "    TAG_Z: new\nTHING_A: Tags: removed TAG_X\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Tags(Tag=TAG_Z,Tag{remove=1}=TAG_X))")},
        ChangeCase{"aDeletedPairRecordIsRemovedByItsKey",
            thing("THING_A", flavors({{"FLAVOR_GOLD", "2"}, {"FLAVOR_SCIENCE", "1"}})),
            thing("THING_A", flavors({{"FLAVOR_GOLD", "2"}})),
            "THING_A: Flavors: removed FLAVOR_SCIENCE\n  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Flavors(Flavor{remove=1}(FlavorType=FLAVOR_SCIENCE)))")},
        // The second of two records with one key: the first, unchanged, stays
        // in the change (its key alone), so that the removal is the second.
        ChangeCase{"theSecondOfTwoRecordsWithOneKey",
            thing("THING_A", field("iSize", "1")) + thing("THING_A", field("iSize", "2")),
            thing("THING_A", field("iSize", "1")), "ThingInfos: removed THING_A[1]\n",
            frame("ThingInfo(Type=THING_A),ThingInfo{remove=1}(Type=THING_A)")},
        ChangeCase{"aDeletedIgnoredElementIsNotRecorded", thing("THING_A", field("Notes", "old")), thing("THING_A"),
            "", ""},
        ChangeCase{"aListCutShortIsCarriedWhole", thing("THING_A", items("Sizes", "iSize", {"1", "2"})),
            thing("THING_A", items("Sizes", "iSize", {"1"})), "  THING_A: changed\n",
            frame("ThingInfo(Type=THING_A,Sizes(iSize=1))")}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Errors ---------------------------------------------------------------------

struct ErrorCase {
    const char* name;
    std::string game;
    std::string modified;
    std::string message; // followed by the file it was met in
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class XmlErrorTest : public XmlChangesTest, public ::testing::WithParamInterface<ErrorCase> { };

TEST_P(XmlErrorTest, stopsTheCreationNamingTheFile)
{
    const ErrorCase& c = GetParam();
    write_pair(things_file, c.game, c.modified);
    write_file(modified("Art/velmora.dds"), "DDS |bytes");

    EXPECT_EQ(create_error(), c.message + " (in " + platform::native(Path(things_file)) + ")");
    // The report shows how far the work got.
    EXPECT_EQ(report(), "Art\\velmora.dds -> whole\n" + std::string(things_file) + " -> xml\n");
}

const std::string one_thing = things(thing("THING_A", field("iSize", "1") + items("Sizes", "iSize", {"1"})));
const std::string value_with_children
    = things(thing("THING_A", "\t\t\t<iSize><Big>1</Big></iSize>\n" + items("Sizes", "iSize", {"1"})));
const std::string empty_things
    = game_document("Civ4ThingInfos", "xmlns=\"x-schema:CIV4ThingSchema.xml\"", "");

INSTANTIATE_TEST_SUITE_P(Messages, XmlErrorTest,
    ::testing::Values(ErrorCase{"rootsOfOtherNames", one_thing,
                          game_document("Civ4OtherInfos", "xmlns=\"x-schema:CIV4ThingSchema.xml\"",
                              "\t<ThingInfos>\n" + thing("THING_A") + "\t</ThingInfos>\n"),
                          "Attempt to process elements with different names"},
        ErrorCase{"recordsOfOtherNamesUnderOneKey", one_thing,
            things("\t\t<OtherInfo>\n\t\t\t<Type>THING_A</Type>\n\t\t</OtherInfo>\n"),
            "Attempt to process elements with different names"},
        ErrorCase{"anEmptyModifiedRoot", one_thing, empty_things, "Toplevel element with no contents?"},
        ErrorCase{"anEmptyGameRoot", empty_things, one_thing, "Toplevel element with no contents?"},
        ErrorCase{"aValueWithChildren", one_thing,
            things(thing("THING_A", "\t\t\t<iSize><Big>1</Big></iSize>\n" + items("Sizes", "iSize", {"1"}))),
            "Value element iSize has children.  Maybe it isn't really a value element?"},
        ErrorCase{"aValueWithChildrenInAnUnchangedFile", value_with_children, value_with_children,
            "Value element iSize has children.  Maybe it isn't really a value element?"},
        ErrorCase{"anEmptyRootInBothFiles", empty_things, empty_things, "Toplevel element with no contents?"},
        ErrorCase{"aRecordWithoutItsKey", one_thing,
            things("\t\t<ThingInfo>\n" + field("iSize", "1") + "\t\t</ThingInfo>\n"),
            "No key found for object ThingInfo"},
        ErrorCase{"aRecordInAList", one_thing,
            things(thing("THING_A", field("iSize", "1") + "\t\t\t<Sizes>" + thing("THING_B") + "</Sizes>\n")),
            "Non-value element ThingInfo when building element list"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(XmlChangesTest, aFileThatIsNotXmlIsAnXmlErrorNamingIt)
{
    write_pair(things_file, things(thing("THING_A")), things(thing("THING_A")) + "<ThingInfos>");

    try {
        create();
        FAIL() << "create() did not fail";
    } catch (const XmlError& e) {
        std::string message = e.what();
        EXPECT_EQ(message.find("XML error in " + platform::native(modified(things_file)) + ": "), 0u) << message;
    }
}

} // namespace
} // namespace velmora::test
