#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "core/orrindel.h"
#include "core/references.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/element_table.h"
#include "support/tempdir.h"
#include "xml/name_scan.h"
#include "xml/reference_table.h"

namespace velmora {
namespace {

using test::CoreSandbox;
using test::FixtureChange;
using test::mod_file_text;
using test::write_file;

std::string shipped_references() { return test::read_file(Path(VELMORA_SOURCE_DIR "/references.txt")); }

const char* const text_elements = "GameText\tCiv4GameText\tcontainer\n"
                                  "GameText\tTEXT\tobject\tTag\n"
                                  "ArtDefines\tCiv4ArtDefines\ttoplevel\n"
                                  "UnitClassInfos\tCiv4UnitClassInfos\ttoplevel\n";

std::string unit_classes(const std::vector<std::string>& types)
{
    std::string records;
    for (const std::string& t : types)
        records += "\t\t<UnitClassInfo>\r\n\t\t\t<Type>" + t + "</Type>\r\n\t\t\t<Description>TXT_KEY_" + t
            + "</Description>\r\n\t\t</UnitClassInfo>\r\n";
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<!-- unit classes -->\r\n"
           "<Civ4UnitClassInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\r\n\t<UnitClassInfos>\r\n"
        + records + "\t</UnitClassInfos>\r\n</Civ4UnitClassInfos>\r\n";
}

std::string texts(const std::vector<std::string>& tags)
{
    std::string records;
    for (const std::string& t : tags)
        records += "\t<TEXT>\n\t\t<Tag>" + t + "</Tag>\n\t\t<English>Some words</English>\n\t</TEXT>\n";
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- texts -->\n"
           "<Civ4GameText xmlns=\"http://www.firaxis.com\">\n"
        + records + "</Civ4GameText>\n";
}

std::string unit_art(const std::vector<std::string>& types)
{
    std::string records;
    for (const std::string& t : types)
        records += "\t\t<UnitArtInfo>\n\t\t\t<Type>" + t
            + "</Type>\n\t\t\t<fScale>0.4</fScale>\n\t\t</UnitArtInfo>\n";
    return "<?xml version=\"1.0\"?>\n<!-- unit art -->\n<Civ4ArtDefines "
           "xmlns=\"x-schema:CIV4ArtDefinesSchema.xml\">\n"
           "\t<UnitArtInfos>\n"
        + records + "\t</UnitArtInfos>\n</Civ4ArtDefines>\n";
}

std::string longbowman(const std::string& type)
{
    return "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n\t\t<UnitInfo>\n"
           "\t\t\t<Class>UNITCLASS_LONGBOWMAN_2</Class>\n\t\t\t<Type>"
        + type
        + "</Type>\n\t\t\t<Description>TXT_KEY_UNIT_LONGBOWMAN_2</Description>\n"
          "\t\t\t<ArtDefineTag>ART_DEF_UNIT_LONGBOWMAN_2</ArtDefineTag>\n\t\t\t<iCombat>6</iCombat>\n"
          "\t\t</UnitInfo>\n\t</UnitInfos>\n</Civ4UnitInfos>\n";
}

const char* const classes_file = "XML\\Units\\CIV4UnitClassInfos.xml";
const char* const text_file = "XML\\Text\\CIV4GameTextInfos.xml";
const char* const art_file = "XML\\Art\\CIV4ArtDefines_Unit.xml";

// The fixture game with the classes, texts and art its units name, and two
// mods: Longbows adds a unit whose class, text and art Longbow Classes defines.
class BrokenReferences : public testing::Test {
protected:
    BrokenReferences()
    {
        write_file(box.run() / "elements.txt", test::fixture_elements_table() + text_elements);
        write_file(box.run() / "references.txt", shipped_references());
        const Path assets = box.game() / "Assets";
        write_file(assets / classes_file, unit_classes({"UNITCLASS_WARRIOR", "UNITCLASS_ARCHER"}));
        write_file(assets / "XML/Text/CIV4GameTextInfos.xml",
            texts({"TXT_KEY_UNIT_WARRIOR", "TXT_KEY_UNIT_ARCHER", "TXT_KEY_UNITCLASS_WARRIOR",
                "TXT_KEY_UNITCLASS_ARCHER"}));
        write_file(assets / art_file, unit_art({"ART_DEF_UNIT_WARRIOR"}));
        write_file(box.mods() / "Longbows.Pellarix",
            mod_file_text("Longbows", {{test::unit_infos_file, "xml", longbowman("UNIT_LONGBOWMAN_2")}}));
        write_file(box.mods() / "LongbowClasses.Pellarix",
            mod_file_text("Longbow Classes",
                {{classes_file, "xml", unit_classes({"UNITCLASS_LONGBOWMAN_2"})},
                    {text_file, "xml",
                        texts({"TXT_KEY_UNIT_LONGBOWMAN_2", "TXT_KEY_UNITCLASS_LONGBOWMAN_2"})},
                    {art_file, "xml", unit_art({"ART_DEF_UNIT_LONGBOWMAN_2"})}}));
    }

    const ReferenceCheck& apply(const std::vector<std::string>& enabled)
    {
        box.write_conf(box.game(), box.custom_assets(), enabled);
        core.reset(new Orrindel(box.home()));
        core->startup();
        core->signal_mod_priority().connect([](PriorityQuestion&) { return 1u; });
        core->apply();
        return core->get_verification().references;
    }

    std::vector<std::string> messages(const ReferenceCheck& check)
    {
        std::vector<std::string> out;
        for (const BrokenReference& r : check.broken)
            out.push_back(describe(r));
        return out;
    }

    CoreSandbox box;
    std::unique_ptr<Orrindel> core;
};

TEST_F(BrokenReferences, aUnitWhoseClassTextAndArtNoModDefinesNamesTheModThreeTimes)
{
    const ReferenceCheck& check = apply({"Longbows"});
    ASSERT_TRUE(check.done);
    EXPECT_EQ(messages(check),
        (std::vector<std::string>{"XML/Units/CIV4UnitInfos.xml: UNIT_LONGBOWMAN_2: Class "
                                  "UNITCLASS_LONGBOWMAN_2 is defined by no enabled "
                                  "mod (added by Longbows; defined by Longbow Classes, not enabled)",
            "XML/Units/CIV4UnitInfos.xml: UNIT_LONGBOWMAN_2: Description TXT_KEY_UNIT_LONGBOWMAN_2 is "
            "defined by no "
            "enabled mod (added by Longbows; defined by Longbow Classes, not enabled)",
            "XML/Units/CIV4UnitInfos.xml: UNIT_LONGBOWMAN_2: ArtDefineTag ART_DEF_UNIT_LONGBOWMAN_2 is "
            "defined by "
            "no enabled mod (added by Longbows; defined by Longbow Classes, not enabled)"}));
    EXPECT_EQ(check.caused_by_mods(), 3u);
    EXPECT_FALSE(core->get_verification().clean());
    // The same names are found before anything is written.
    EXPECT_EQ(messages(core->check_references(core->get_enabled_mods_in_order())), messages(check));
}

TEST_F(BrokenReferences, aSecondEnabledModThatDefinesTheNamesLeavesNone)
{
    const ReferenceCheck& check = apply({"Longbows", "Longbow Classes"});
    EXPECT_TRUE(check.broken.empty()) << testing::PrintToString(messages(check));
    EXPECT_TRUE(core->get_verification().clean());
    EXPECT_TRUE(core->check_references(core->get_enabled_mods_in_order()).broken.empty());
}

// A running Velmora keeps what it read of the files it built; each apply
// must still see the names of the files as that apply left them, those it
// carried over from the last build and those it wrote again.
TEST_F(BrokenReferences, eachApplyInOneRunningVelmoraSeesTheNamesOfWhatItBuilt)
{
    ASSERT_EQ(apply({"Longbows"}).caused_by_mods(), 3u);
    auto set_classes = [&](bool enabled) {
        for (Mod* mod : core->get_mods())
            if (mod->name == "Longbow Classes")
                core->set_mod_enabled(mod, enabled);
    };
    set_classes(true);
    core->apply();
    EXPECT_TRUE(core->get_verification().references.broken.empty())
        << testing::PrintToString(messages(core->get_verification().references));
    set_classes(false);
    core->apply();
    EXPECT_EQ(core->get_verification().references.caused_by_mods(), 3u);
    // The unit file, the same bytes in each build, came over each time.
    set_classes(true);
    core->apply();
    EXPECT_TRUE(core->get_verification().references.broken.empty());
}

// The scans of the last apply are kept beside its manifest for the next
// process, by the bytes scanned: a game file changed in between is read again.
TEST_F(BrokenReferences, anApplyInANewProcessSeesTheGamesFilesAsTheyAreNow)
{
    ASSERT_EQ(apply({"Longbows"}).caused_by_mods(), 3u);
    ASSERT_TRUE(exists(box.custom_assets() / ".velmora-checks"));
    // The game now defines the unit's class and text; its art is still missing.
    write_file(box.game() / "Assets" / classes_file, unit_classes({"UNITCLASS_WARRIOR", "UNITCLASS_LONGBOWMAN_2"}));
    write_file(box.game() / "Assets/XML/Text/CIV4GameTextInfos.xml",
        texts({"TXT_KEY_UNIT_WARRIOR", "TXT_KEY_UNIT_ARCHER", "TXT_KEY_UNITCLASS_WARRIOR", "TXT_KEY_UNIT_LONGBOWMAN_2"}));

    EXPECT_EQ(apply({"Longbows"}).caused_by_mods(), 1u)
        << testing::PrintToString(messages(core->get_verification().references));
    EXPECT_EQ(apply({"Longbows", "Longbow Classes"}).caused_by_mods(), 0u);
    EXPECT_EQ(apply({"Longbows"}).caused_by_mods(), 1u);
}

TEST_F(BrokenReferences, aDefinitionAModLeavesOutOfItsCopyOfTheGamesFileNamesThatMod)
{
    // A whole copy of the classes file without the archer's class.
    write_file(box.mods() / "NoArchers.Pellarix",
        mod_file_text("No Archers", {{classes_file, "whole", unit_classes({"UNITCLASS_WARRIOR"})}}));
    const ReferenceCheck& check = apply({"No Archers"});
    EXPECT_EQ(messages(check),
        (std::vector<std::string>{
            "XML/Units/CIV4UnitInfos.xml: UNIT_ARCHER: Class UNITCLASS_ARCHER is defined by "
            "no enabled mod (removed by No Archers)"}));
}

TEST_F(BrokenReferences, theGamesOwnBrokenReferencesAreToldApartAndDoNotFail)
{
    // The game's archer has no text, and a mod's new unit repeats the game's fault.
    write_file(box.game() / "Assets/XML/Text/CIV4GameTextInfos.xml",
        texts({"TXT_KEY_UNIT_WARRIOR", "TXT_KEY_UNITCLASS_WARRIOR", "TXT_KEY_UNITCLASS_ARCHER"}));
    const std::string copy
        = "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n\t\t<UnitInfo>\n"
          "\t\t\t<Class>UNITCLASS_ARCHER</Class>\n\t\t\t<Type>UNIT_ARCHER_2</Type>\n"
          "\t\t\t<Description>TXT_KEY_UNIT_ARCHER</Description>\n"
          "\t\t</UnitInfo>\n\t</UnitInfos>\n</Civ4UnitInfos>\n";
    write_file(
        box.mods() / "Archers.Pellarix", mod_file_text("Archers", {{test::unit_infos_file, "xml", copy}}));
    const ReferenceCheck& check = apply({"Archers"});
    ASSERT_EQ(check.broken.size(), 2u) << testing::PrintToString(messages(check));
    for (const BrokenReference& r : check.broken) {
        EXPECT_TRUE(r.in_game) << describe(r);
        EXPECT_EQ(r.name, "TXT_KEY_UNIT_ARCHER");
    }
    EXPECT_EQ(describe(check.broken[0]),
        "XML/Units/CIV4UnitInfos.xml: UNIT_ARCHER: Description TXT_KEY_UNIT_ARCHER is defined nowhere in the "
        "game "
        "(also in the game's own files)");
    EXPECT_EQ(check.caused_by_mods(), 0u);
    EXPECT_TRUE(core->get_verification().clean());
}

TEST_F(BrokenReferences, aModdersFamilyLineChecksTheModsNewKindOfRecord)
{
    const std::string spells = "<Civ4SpellInfos>\n\t<SpellInfos>\n"
                               "\t\t<SpellInfo>\n\t\t\t<Type>SPELL_FIREBALL</Type>\n\t\t</SpellInfo>\n"
                               "\t\t<SpellInfo>\n\t\t\t<Type>SPELL_METEOR</Type>\n"
                               "\t\t\t<PrereqSpell>SPELL_FIRE_BALL</PrereqSpell>\n\t\t</SpellInfo>\n"
                               "\t</SpellInfos>\n</Civ4SpellInfos>\n";
    write_file(box.mods() / "Spells.Pellarix",
        mod_file_text("Spells", {{"XML\\Spells\\CIV4SpellInfos.xml", "whole", spells}}));
    EXPECT_TRUE(apply({"Spells"}).broken.empty());

    write_file(box.run() / "references.txt", shipped_references() + "family SPELL_\n");
    const ReferenceCheck& check = apply({"Spells"});
    EXPECT_EQ(messages(check),
        (std::vector<std::string>{
            "XML/Spells/CIV4SpellInfos.xml: SPELL_METEOR: PrereqSpell SPELL_FIRE_BALL is "
            "defined by no enabled mod (added by Spells)"}));
}

TEST_F(BrokenReferences, withoutItsTableVelmoraAppliesAndSaysNamesAreNotChecked)
{
    ::unlink(platform::native(box.run() / "references.txt").c_str());
    const ReferenceCheck& check = apply({"Longbows"});
    EXPECT_FALSE(check.done);
    ASSERT_FALSE(core->get_warnings().empty());
    EXPECT_NE(core->get_warnings().back().find("references.txt"), std::string::npos);
}

// What one data file defines and points at, read without a tree.
TEST(NameScan, findsDefinitionsAndReferencesOfTheTablesFamilies)
{
    test::ElementTableScope elements;
    elements.load_text(test::fixture_elements_table());
    ReferenceTable table;
    table.add(
        "family UNIT_\nfamily UNITCLASS_\nfamily TXT_KEY_\nfield UnitInfos Button\nname UNIT_SPECIAL_NONE\n",
        "test");
    const NameScan scan
        = scan_names("<?xml version=\"1.0\"?>\n<!-- <UnitInfo><Type>UNIT_COMMENT</Type> -->\n"
                     "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n<UnitInfos>\n"
                     "<UnitInfo>\n<Class> UNITCLASS_A </Class>\n<Type>UNIT_A</Type>\n"
                     "<Upgrade>UNIT_B</Upgrade><Button>UNIT_ART</Button><Empty/>\n"
                     "<Other>UNIT_SPECIAL_NONE</Other><Words>UNIT_ a b</Words>\n"
                     "<Flavors><Flavor><FlavorType>UNIT_C</FlavorType></Flavor></Flavors>\n"
                     "</UnitInfo>\n<UnitInfo><Type>UNIT_B</Type><Help>TXT_KEY_B</Help></UnitInfo>\n"
                     "</UnitInfos>\n</Civ4UnitInfos>\n",
            table);
    EXPECT_EQ(scan.defined, (std::vector<std::string>{"UNIT_A", "UNIT_B"}));
    std::vector<std::string> refs;
    for (const ScannedReference& r : scan.references)
        refs.push_back(r.record + " " + r.field + " " + r.name);
    EXPECT_EQ(refs,
        (std::vector<std::string>{"UNIT_A Class UNITCLASS_A", "UNIT_A Upgrade UNIT_B",
            "UNIT_A FlavorType UNIT_C", "UNIT_B Help TXT_KEY_B"}));
}

TEST(NameScan, theKeysOfConstantsDefineNoNameButTheirValuesAreReferences)
{
    test::ElementTableScope elements;
    elements.load_text("Defines\tCiv4Defines\tcontainer\nDefines\tDefine\tobject\tDefineName\n");
    ReferenceTable table;
    table.add("family ROUTE_\nconstants Defines\n", "test");
    const NameScan scan = scan_names("<Civ4Defines xmlns=\"x-schema:CIV4GlobalDefinesSchema.xml\">\r\n\t<Define>\r\n"
                                     "\t\t<DefineName>ROUTE_BONUS</DefineName>\r\n"
                                     "\t\t<DefineTextVal>ROUTE_ROAD</DefineTextVal>\r\n\t</Define>\r\n</Civ4Defines>\r\n",
        table);
    EXPECT_TRUE(scan.defined.empty());
    ASSERT_EQ(scan.references.size(), 1u);
    EXPECT_EQ(scan.references[0].record, "ROUTE_BONUS");
    EXPECT_EQ(scan.references[0].name, "ROUTE_ROAD");
}

TEST(ReferenceTable, refusesALineItDoesNotUnderstandNamingIt)
{
    ReferenceTable table;
    table.add("family UNIT_\n", "a");
    for (const char* bad : {"family UNIT\n", "family unit_\n", "famly UNIT_\n", "field UnitInfos\n", "name\n",
             "constants\n"}) {
        try {
            ReferenceTable copy = table;
            copy.add(std::string("# comment\n") + bad, "references.txt");
            ADD_FAILURE() << bad;
        } catch (const GenericError& e) {
            EXPECT_NE(
                std::string(e.what()).find("Line 2 of the reference table references.txt"), std::string::npos)
                << e.what();
        }
    }
    EXPECT_EQ(table.family_of("UNIT_A"), "UNIT_");
    EXPECT_EQ(table.family_of("UNIT_"), "");
    EXPECT_EQ(table.family_of("UNIT_A B"), "");
}

} // namespace
} // namespace velmora
