#include <gtest/gtest.h>

#include <libxml++/libxml++.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/element_table.h"
#include "support/game_xml.h"
#include "support/tempdir.h"
#include "xml/elements.h"
#include "xml/parse.h"

namespace velmora {
namespace {

using test::mod_with;
using test::read_file;
using test::text_doc;
using test::text_record;
using test::unit;
using test::units_doc;
using test::units_file;
using test::whole_change;
using test::write_file;
using test::xml_change;

// The texts of the elements at a path of local names or "*" ("UnitInfo/Type"),
// anywhere in the document, in document order. The game's files put every
// element in a default namespace, hence local-name().
std::vector<std::string> texts(const std::string& xml, const std::string& path)
{
    std::string xpath = "/";
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type slash = path.find('/', start);
        std::string name = path.substr(start, slash - start);
        xpath += name == "*" ? "/*" : "/*[local-name()='" + name + "']";
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    auto parser = parse_xml_text(xml);
    std::vector<std::string> out;
    for (xmlpp::Node* n : parser->get_document()->get_root_node()->find(xpath))
        out.push_back(element_text(dynamic_cast<xmlpp::Element*>(n)));
    return out;
}

using Texts = std::vector<std::string>;

// A game's Assets folder and an empty custom-assets folder, with the table
// the documents need.
class ModApply : public testing::Test {
protected:
    ModApply() { table.load_text(test::merge_table); }

    void game(const std::string& file, const std::string& text) { write_file(source / file, text); }
    std::string output(const std::string& file = units_file) { return read_file(target / file); }
    void apply(const Mod& m) { ASSERT_EQ(m.apply(source.path(), target.path()), 0); }

    test::ElementTableScope table;
    test::TempDir source;
    test::TempDir target;
};

TEST_F(ModApply, recordsAddedByTwoModsToOneContainerAreAllPresent)
{
    game(units_file, units_doc(unit("UNIT_WARRIOR")));
    apply(mod_with("First", {xml_change(units_file, units_doc(unit("UNIT_SCOUT")))}));
    apply(mod_with("Second", {xml_change(units_file, units_doc(unit("UNIT_ARCHER")))}));

    std::string out = output();
    EXPECT_EQ(texts(out, "UnitInfo/Type"), (Texts{"UNIT_WARRIOR", "UNIT_SCOUT", "UNIT_ARCHER"}));
    // Written unformatted in Latin-1, with the game's comments and namespace.
    EXPECT_EQ(out.rfind("<?xml version=\"1.0\" encoding=\"latin1\"?>\n", 0), 0u) << out;
    EXPECT_NE(out.find("<!-- Velmora test data, written by hand -->"), std::string::npos);
    EXPECT_NE(
        out.find("<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n\t\t<UnitInfo>"),
        std::string::npos);
    EXPECT_EQ(read_file(source / units_file), units_doc(unit("UNIT_WARRIOR")));
}

TEST_F(ModApply, aWholeChangeAfterAnXmlChangeReplacesTheMergedFile)
{
    game(units_file, units_doc(unit("UNIT_WARRIOR")));
    std::string whole = units_doc(unit("UNIT_ONLY"));
    apply(mod_with("Merge", {xml_change(units_file, units_doc(unit("UNIT_SCOUT")))}));
    apply(mod_with("Replace", {whole_change("xml\\units\\civ4unitinfos.xml", whole)}));

    EXPECT_EQ(output(), whole);
    EXPECT_EQ(list_files(target / "XML\\Units"), (std::list<std::string>{"CIV4UnitInfos.xml"}));
}

TEST_F(ModApply, newRecordsAreAppendedInTheModsOrder)
{
    // The game uses eras, game speeds and world sizes by their position.
    game(units_file, units_doc(unit("UNIT_WARRIOR")));
    apply(mod_with("New", {xml_change(units_file, units_doc(unit("UNIT_B") + unit("UNIT_A")))}));

    EXPECT_EQ(texts(output(), "UnitInfo/Type"), (Texts{"UNIT_WARRIOR", "UNIT_B", "UNIT_A"}));
}

// One record of the base and of the change, and what the merge leaves at a path.
struct MergeCase {
    const char* name;
    std::string base_fields;
    std::string change_fields;
    std::string path;
    Texts expected;
};

void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.name; }

class MergeByType : public ModApply, public testing::WithParamInterface<MergeCase> { };

TEST_P(MergeByType, followsTheElementTable)
{
    const MergeCase& c = GetParam();
    game(units_file,
        units_doc(unit("UNIT_WARRIOR", c.base_fields) + unit("UNIT_ARCHER", "\t\t\t<iCombat>3</iCombat>\n")));
    apply(mod_with("Mod", {xml_change(units_file, units_doc(unit("UNIT_WARRIOR", c.change_fields)))}));

    std::string out = output();
    EXPECT_EQ(texts(out, c.path), c.expected) << out;
    // The record the change does not name is left alone.
    EXPECT_EQ(texts(out, "UnitInfo/iCombat").back(), "3");
}

const std::string yields = "\t\t\t<YieldChanges>\n\t\t\t\t<iYield>1</iYield>\n\t\t\t\t<iYield>0</iYield>\n"
                           "\t\t\t\t<iYield>0</iYield>\n\t\t\t</YieldChanges>\n";
const std::string flavors
    = "\t\t\t<Flavors>\n\t\t\t\t<Flavor>\n\t\t\t\t\t<FlavorType>FLAVOR_MILITARY</FlavorType>\n"
      "\t\t\t\t\t<iFlavor>2</iFlavor>\n\t\t\t\t</Flavor>\n\t\t\t</Flavors>\n";

INSTANTIATE_TEST_SUITE_P(Cases, MergeByType,
    testing::Values(MergeCase{"listIsReplaced", yields,
                        "\t\t\t<YieldChanges>\n\t\t\t\t<iYield>0</iYield>\n\t\t\t\t<iYield>2</"
                        "iYield>\n\t\t\t</YieldChanges>\n",
                        "UnitInfo/YieldChanges/iYield", {"0", "2"}},
        MergeCase{"setIsExtended",
            "\t\t\t<PrereqBonuses>\n\t\t\t\t<BonusType>BONUS_COPPER</BonusType>\n\t\t\t</PrereqBonuses>\n",
            "\t\t\t<PrereqBonuses>\n\t\t\t\t<BonusType>BONUS_IRON</BonusType>\n\t\t\t</PrereqBonuses>\n",
            "UnitInfo/PrereqBonuses/BonusType", {"BONUS_COPPER", "BONUS_IRON"}},
        MergeCase{"valueIsReplaced", "\t\t\t<iCombat>1</iCombat>\n", "\t\t\t<iCombat>2</iCombat>\n",
            "UnitInfo/iCombat", {"2", "3"}},
        MergeCase{"valueWithoutTextEmptiesTheBase", "\t\t\t<Description>TXT_KEY_UNIT_WARRIOR</Description>\n",
            "\t\t\t<Description/>\n", "UnitInfo/Description", {""}},
        MergeCase{"fieldsTheChangeDoesNotNameStay", "\t\t\t<iCombat>1</iCombat>\n" + yields,
            "\t\t\t<iMoves>2</iMoves>\n", "UnitInfo/YieldChanges/iYield", {"1", "0", "0"}},
        MergeCase{"newFieldIsAdded", "\t\t\t<iCombat>1</iCombat>\n", "\t\t\t<iMoves>2</iMoves>\n",
            "UnitInfo/iMoves", {"2"}},
        MergeCase{"pairRecordInsideARecordIsMergedByItsKey", flavors,
            "\t\t\t<Flavors>\n\t\t\t\t<Flavor>\n\t\t\t\t\t<FlavorType>FLAVOR_MILITARY</FlavorType>\n"
            "\t\t\t\t\t<iFlavor>5</iFlavor>\n\t\t\t\t</Flavor>\n\t\t\t\t<Flavor>\n"
            "\t\t\t\t\t<FlavorType>FLAVOR_GOLD</FlavorType>\n\t\t\t\t\t<iFlavor>1</iFlavor>\n"
            "\t\t\t\t</Flavor>\n\t\t\t</Flavors>\n",
            "UnitInfo/Flavors/Flavor/iFlavor", {"5", "1"}},
        MergeCase{"opaqueElementIsReplacedWhole",
            "\t\t\t<BonusAffinities>\n\t\t\t\t<BonusAffinity>BONUS_HORSE</BonusAffinity>\n"
            "\t\t\t\t<iAffinity>2</iAffinity>\n\t\t\t</BonusAffinities>\n\t\t\t<iCombat>1</iCombat>\n",
            "\t\t\t<BonusAffinities>\n\t\t\t\t<BonusAffinity>BONUS_IVORY</BonusAffinity>\n\t\t\t</"
            "BonusAffinities>\n",
            "UnitInfo/BonusAffinities/*", {"BONUS_IVORY"}}),
    [](const testing::TestParamInfo<MergeCase>& info) { return info.param.name; });

TEST_F(ModApply, anOpaqueElementKeepsItsPlaceAmongTheFields)
{
    game(units_file,
        units_doc(unit("UNIT_WARRIOR",
            "\t\t\t<BonusAffinities>\n\t\t\t\t<iAffinity>2</iAffinity>\n\t\t\t</BonusAffinities>\n"
            "\t\t\t<iCombat>1</iCombat>\n")));
    apply(mod_with("Mod",
        {xml_change(units_file,
            units_doc(unit(
                "UNIT_WARRIOR", "\t\t\t<BonusAffinities><iAffinity>4</iAffinity></BonusAffinities>\n")))}));

    std::string out = output();
    EXPECT_EQ(texts(out, "UnitInfo/*"), (Texts{"UNITCLASS_WARRIOR", "UNIT_WARRIOR", "", "1"})) << out;
    EXPECT_EQ(texts(out, "BonusAffinities/iAffinity"), (Texts{"4"}));
}

// The game's text files have no container: the root holds the records, and
// a language element is sometimes text, sometimes structured.
TEST_F(ModApply, recordsDirectlyUnderTheRootMergeAndOpaqueLanguagesAreReplaced)
{
    const char* file = "XML\\Text\\CIV4GameText_Velmora.xml";
    game(file,
        test::crlf(test::to_latin1(text_doc(
            text_record("TXT_KEY_A", "\t\t<English>Warrior</English>\n\t\t<French>Guerrier</French>\n")
            + text_record("TXT_KEY_B", "\t\t<English>Archer</English>\n\t\t<French>Archère</French>\n")))));
    apply(mod_with("Texts",
        {xml_change(file,
            text_doc(
                text_record("TXT_KEY_A",
                    "\t\t<French>\n\t\t\t<Text>Guerrière:Guerrières</Text>\n\t\t\t<Gender>Female</Gender>\n"
                    "\t\t</French>\n")
                    + text_record("TXT_KEY_0", "\t\t<English>Zero</English>\n"),
                test::Declaration::utf_8))}));

    std::string out = output(file);
    EXPECT_EQ(texts(out, "TEXT/Tag"), (Texts{"TXT_KEY_A", "TXT_KEY_B", "TXT_KEY_0"}));
    EXPECT_EQ(texts(out, "TEXT/English"), (Texts{"Warrior", "Archer", "Zero"}));
    EXPECT_EQ(texts(out, "TEXT/French"), (Texts{"\n\t\t\t", "Archère"}));
    EXPECT_EQ(texts(out, "TEXT/French/Text"), (Texts{"Guerrière:Guerrières"}));
    // Latin-1 bytes on disk: è is one byte.
    EXPECT_NE(out.find("Guerri\xE8re:Guerri\xE8res"), std::string::npos);
    EXPECT_NE(out.find("Arch\xE8re"), std::string::npos);
}

TEST_F(ModApply, anOpaqueRootIsReplacedByTheChangesCopy)
{
    const char* file = "XML\\Units\\CIV4UnitSchema.xml";
    auto schema = [](const std::string& types) {
        return test::game_document("Schema",
            R"(xmlns="urn:schemas-microsoft-com:xml-data" xmlns:dt="urn:schemas-microsoft-com:datatypes")",
            types);
    };
    game(file, schema("\t<ElementType name=\"Type\" content=\"textOnly\"/>\n"));
    apply(mod_with("Schema",
        {xml_change(file,
            schema("\t<ElementType name=\"Type\" content=\"textOnly\"/>\n"
                   "\t<ElementType name=\"iRange\" content=\"textOnly\" dt:type=\"int\"/>\n"))}));

    auto parser = parse_xml_text(output(file));
    xmlpp::Element* root = parser->get_document()->get_root_node();
    auto types = root->find("*[local-name()='ElementType']");
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(dynamic_cast<xmlpp::Element*>(types[1])->get_attribute_value("type", "dt"), "int");
}

TEST_F(ModApply, aChangeTextWithMultiByteCharactersIsParsedWhole)
{
    game(units_file, units_doc(unit("UNIT_WARRIOR")));
    // The records after the accented text must survive a parse that counted
    // characters where it should count bytes.
    std::string change
        = units_doc(unit("UNIT_ÉLITE", "\t\t\t<Description>Épée à deux mains — “ßüñ”</Description>\n")
                + unit("UNIT_ZEALOT"),
            test::Declaration::utf_8);
    apply(mod_with("Accents", {xml_change(units_file, change)}));

    std::string out = output();
    EXPECT_EQ(texts(out, "UnitInfo/Type"), (Texts{"UNIT_WARRIOR", "UNIT_ÉLITE", "UNIT_ZEALOT"}));
    EXPECT_EQ(texts(out, "UnitInfo/Description"), (Texts{"Épée à deux mains — “ßüñ”"}));
    // Characters beyond Latin-1 become character references.
    EXPECT_NE(out.find("\xC9p\xE9"
                       "e \xE0 deux mains &#8212; &#8220;\xDF\xFC\xF1&#8221;"),
        std::string::npos);
}

// A mod file is UTF-8, and so is every change text read from it, even when
// the modder copied the game's header, which declares ISO-8859-1.
TEST_F(ModApply, aChangeTextIsReadAsTheUtf8ItIsWhateverItsDeclarationSays)
{
    game(units_file, units_doc(unit("UNIT_WARRIOR")));
    apply(mod_with("Copied header",
        {xml_change(units_file,
            units_doc(unit("UNIT_WARRIOR", "\t\t\t<Description>Épée</Description>\n"),
                test::Declaration::iso_8859_1))}));

    EXPECT_EQ(texts(output(), "UnitInfo/Description"), (Texts{"Épée"}));
}

// Text the change editor keeps in ISO-8859-1 (not UTF-8) is read as such.
TEST_F(ModApply, aLatin1ChangeTextKeepsItsAccents)
{
    game(units_file, units_doc(unit("UNIT_WARRIOR")));
    apply(mod_with("Latin-1",
        {xml_change(units_file,
            test::to_latin1(units_doc(unit("UNIT_WARRIOR", "\t\t\t<Description>Épée</Description>\n"),
                test::Declaration::none)))}));

    EXPECT_EQ(texts(output(), "UnitInfo/Description"), (Texts{"Épée"}));
}

TEST_F(ModApply, aGameFileIsFoundInAnotherLetterCase)
{
    game("Xml\\UNITS\\Civ4UnitInfos.XML", units_doc(unit("UNIT_WARRIOR")));
    apply(mod_with("Lower", {xml_change("xml\\units\\civ4unitinfos.xml", units_doc(unit("UNIT_SCOUT")))}));
    apply(mod_with("Upper", {xml_change("XML\\UNITS\\CIV4UNITINFOS.XML", units_doc(unit("UNIT_ARCHER")))}));

    // One file in the target, holding the game's record and both mods' records.
    EXPECT_EQ(list_files(target.path()), (std::list<std::string>{"xml"}));
    EXPECT_EQ(list_files(target / "xml\\units"), (std::list<std::string>{"civ4unitinfos.xml"}));
    EXPECT_EQ(texts(output("xml\\units\\civ4unitinfos.xml"), "UnitInfo/Type"),
        (Texts{"UNIT_WARRIOR", "UNIT_SCOUT", "UNIT_ARCHER"}));
}

TEST_F(ModApply, changesOfOneModAccumulateInOrder)
{
    game(units_file, units_doc(unit("UNIT_WARRIOR", "\t\t\t<iCombat>1</iCombat>\n")));
    apply(mod_with("Steps",
        {xml_change(units_file, units_doc(unit("UNIT_WARRIOR", "\t\t\t<iCombat>2</iCombat>\n"))),
            xml_change(units_file, units_doc(unit("UNIT_SCOUT"))),
            whole_change("Art\\velmora.dds", std::string("DDS \0\x01\xFF", 7))}));

    EXPECT_EQ(texts(output(), "UnitInfo/iCombat"), (Texts{"2"}));
    EXPECT_EQ(texts(output(), "UnitInfo/Type"), (Texts{"UNIT_WARRIOR", "UNIT_SCOUT"}));
    EXPECT_EQ(output("Art\\velmora.dds"), std::string("DDS \0\x01\xFF", 7));
}

// Changes that cannot be merged fail with a message and leave the target
// file as it was (here: not there).
struct FailureCase {
    const char* name;
    std::string base;
    std::string change;
    std::string message; // a part of the message
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class ApplyFailure : public ModApply, public testing::WithParamInterface<FailureCase> { };

TEST_P(ApplyFailure, reportsTheProblemAndWritesNothing)
{
    const FailureCase& c = GetParam();
    game(units_file, c.base);
    Mod m = mod_with("Broken", {xml_change(units_file, c.change)});
    try {
        m.apply(source.path(), target.path());
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
    EXPECT_FALSE(exists(target / units_file));
}

const std::string warrior = units_doc(unit("UNIT_WARRIOR"));

INSTANTIATE_TEST_SUITE_P(Cases, ApplyFailure,
    testing::Values(FailureCase{"rootOfAnotherFile", warrior,
                        test::game_document("Civ4BuildingInfos", "", "\t<BuildingInfos/>\n"),
                        "Attempt to apply an element to a different element (mod 'Broken', change to "
                        "XML\\Units\\CIV4UnitInfos.xml)"},
        FailureCase{
            "toplevelWithoutContents", warrior, "<Civ4UnitInfos/>", "Toplevel element with no contents?"},
        FailureCase{"ignoredElementInARecordOfTheBase",
            units_doc(unit("UNIT_WARRIOR", "\t\t\t<HotKeyInfo>A</HotKeyInfo>\n")),
            units_doc(unit("UNIT_WARRIOR", "\t\t\t<HotKeyInfo>B</HotKeyInfo>\n")),
            "Don't know type of element HotKeyInfo"},
        FailureCase{"ignoredElementInANewRecord", warrior,
            units_doc(unit("UNIT_SCOUT", "\t\t\t<HotKeyInfo>B</HotKeyInfo>\n")),
            "Don't know type of element HotKeyInfo"},
        FailureCase{"structureWhereTheTableSaysValue",
            units_doc(unit("UNIT_WARRIOR", "\t\t\t<Stats>\n\t\t\t\t<iA>1</iA>\n\t\t\t</Stats>\n")),
            units_doc(unit("UNIT_WARRIOR", "\t\t\t<Stats>\n\t\t\t\t<iA>2</iA>\n\t\t\t</Stats>\n")),
            "The element /Civ4UnitInfos/UnitInfos/UnitInfo/Stats holds other elements"},
        FailureCase{"recordWithoutItsKey", warrior,
            units_doc("\t\t<UnitInfo><iCombat>1</iCombat></UnitInfo>\n"), "No key found for object UnitInfo"},
        FailureCase{"changeTextIsNotXml", warrior, units_doc(unit("UNIT_WARRIOR")) + "<trailing>",
            "XML error in mod data: "},
        FailureCase{"baseFileIsNotXml", "<Civ4UnitInfos><UnitInfos>", warrior, "XML error in "}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(ModApply, anUnreadableBaseIsAnXmlErrorNamingTheFile)
{
    Mod m = mod_with("Missing", {xml_change(units_file, warrior)});
    try {
        m.apply(source.path(), target.path());
        FAIL() << "no error";
    } catch (const XmlError& e) {
        std::string expected = "XML error in " + platform::native(source / units_file) + ": ";
        EXPECT_EQ(std::string(e.what()).rfind(expected, 0), 0u) << e.what();
    }
}

const char* const script_file = "Python\\CvVelmoraEvents.py";
const std::string script
    = "import CvUtil\n\ndef onGameStart(argsList):\n\tiPlayer = argsList[0]\n"
      "\tCvUtil.pyPrint(\"game start\")\n\treturn 0\n\ndef onEndTurn(argsList):\n\treturn 0\n";

std::string patched_script()
{
    std::string patched = script;
    patched.replace(patched.find("\"game start\""), 12, "\"Velmora: game start\"");
    return patched;
}

const std::string script_diff = test::diff_text(script, patched_script());

TEST_F(ModApply, aDiffPatchesTheGamesScriptIntoTheTarget)
{
    game(script_file, script);
    apply(mod_with("Log", {test::diff_change(script_file, script_diff)}));

    EXPECT_EQ(output(script_file), patched_script());
    EXPECT_EQ(read_file(source / script_file), script);
}

TEST_F(ModApply, aDiffAlreadyPresentLeavesTheTargetUntouched)
{
    std::string patched = patched_script();
    game(script_file, patched);
    apply(mod_with("Log", {test::diff_change(script_file, script_diff)}));

    EXPECT_FALSE(exists(target / script_file));
    EXPECT_TRUE(exists(target / "Python"));

    write_file(target / script_file, patched);
    apply(mod_with("Log again", {test::diff_change(script_file, script_diff)}));
    EXPECT_EQ(output(script_file), patched);
}

TEST_F(ModApply, aDiffThatNoLongerFitsIsAConflictNamingTheFile)
{
    std::string changed = script;
    changed.replace(changed.find("game start"), 10, "begin");
    game(script_file, changed);
    Mod m = mod_with("Log", {test::diff_change(script_file, script_diff)});
    try {
        m.apply(source.path(), target.path());
        FAIL() << "no error";
    } catch (const ConflictError& e) {
        EXPECT_STREQ(e.what(),
            "Unable to apply diff to Python\\CvVelmoraEvents.py: the mod 'Log' was made for another version of "
            "the file.");
    }
    EXPECT_FALSE(exists(target / script_file));
}

} // namespace
} // namespace velmora
