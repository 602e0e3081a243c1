#include <gtest/gtest.h>

#include <libxml++/libxml++.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "support/element_table.h"
#include "support/tempdir.h"
#include "support/unit_schema.h"
#include "xml/parse.h"
#include "xml/schema.h"
#include "xml/schema_check.h"
#include "xml/tree.h"

namespace velmora {
namespace {

TEST(Schema, readsContentOrderOccursAndModelWithTheirDefaults)
{
    auto schema = Schema::parse(test::unit_schema(), "units");
    const ElementDecl* unit = schema->find("UnitInfo");
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->content, SchemaContent::elements);
    EXPECT_EQ(unit->model.order, SchemaOrder::seq); // the default for eltOnly
    EXPECT_TRUE(unit->open); // the default model
    EXPECT_EQ(schema->find("Class")->content, SchemaContent::text);
    EXPECT_EQ(schema->find("Missing"), nullptr);

    // Ranks follow the sequence, into the group; only required elements outside
    // optional groups are required.
    EXPECT_LT(unit->slot("Description")->rank, unit->slot("Class")->rank);
    EXPECT_LT(unit->slot("bOnlyAttackAnimals")->rank, unit->slot("HotKey")->rank);
    EXPECT_LT(unit->slot("HotKey")->rank, unit->slot("bAltDown")->rank);
    EXPECT_LT(unit->slot("iHotKeyPriority")->rank, unit->slot("Flavors")->rank);
    EXPECT_EQ(unit->required, (std::vector<std::string>{"Class", "Type", "bOnlyDefensive", "iCombat"}));
    EXPECT_EQ(unit->slot("Button"), nullptr);
    EXPECT_TRUE(schema->find("Flavors")->slot("Flavor")->repeats);
    EXPECT_FALSE(unit->slot("Help")->repeats);
}

TEST(Schema, givesTheMembersOfAnUnorderedGroupOneRank)
{
    auto schema = Schema::parse(test::unit_schema_text("\t\t<element type=\"Class\"/>\n"
                                                       "\t\t<group order=\"one\">\n"
                                                       "\t\t\t<element type=\"Help\"/>\n"
                                                       "\t\t\t<element type=\"Button\"/>\n"
                                                       "\t\t</group>\n"
                                                       "\t\t<element type=\"iCombat\"/>\n"),
        "units");
    const ElementDecl* unit = schema->find("UnitInfo");
    EXPECT_EQ(unit->slot("Help")->rank, unit->slot("Button")->rank);
    EXPECT_LT(unit->slot("Class")->rank, unit->slot("Help")->rank);
    EXPECT_LT(unit->slot("Button")->rank, unit->slot("iCombat")->rank);
    EXPECT_EQ(unit->required, (std::vector<std::string>{"Class", "iCombat"}));
}

TEST(Schema, refusesFilesThatAreNoSchemaNamingTheFile)
{
    test::TempDir dir;
    const std::vector<std::string> texts = {"<Schema><ElementType", "<Civ4UnitInfos/>",
        "<Schema><ElementType name=\"A\" content=\"eltOnly\" order=\"sometimes\"/></Schema>",
        "<Schema><ElementType content=\"eltOnly\"/></Schema>"};
    for (const std::string& text : texts) {
        test::write_file(dir / "CIV4BadSchema.xml", text);
        try {
            Schema::read(dir / "CIV4BadSchema.xml");
            ADD_FAILURE() << "read " << text;
        } catch (const XmlError& e) {
            EXPECT_NE(std::string(e.what()).find("CIV4BadSchema.xml"), std::string::npos) << e.what() << text;
        }
    }
    SchemaCache cache;
    EXPECT_EQ(cache.get(dir / "CIV4BadSchema.xml"), nullptr);
    EXPECT_NE(std::string(cache.error(dir / "CIV4BadSchema.xml")).find("CIV4BadSchema.xml"), std::string::npos) << cache.error(dir / "CIV4BadSchema.xml");
    EXPECT_EQ(cache.get(dir / "Absent.xml"), nullptr);
}

TEST(Schema, cacheReadsEachFileOnceUntilForgotten)
{
    test::TempDir dir;
    test::write_file(dir / "CIV4UnitSchema.xml", test::unit_schema());
    SchemaCache cache;
    const Schema* first = cache.get(dir / "CIV4UnitSchema.xml");
    ASSERT_NE(first, nullptr);
    test::write_file(dir / "CIV4UnitSchema.xml", "not a schema");
    EXPECT_EQ(cache.get(dir / "CIV4UnitSchema.xml"), first);
    cache.forget(dir / "CIV4UnitSchema.xml");
    EXPECT_EQ(cache.get(dir / "CIV4UnitSchema.xml"), nullptr);
}

TEST(Schema, namesTheSchemaOfTheRootsDefaultNamespace)
{
    auto parser = parse_xml_text(test::schema_units_doc(""));
    EXPECT_EQ(schema_name(parser->get_document()->get_root_node()), "CIV4UnitSchema.xml");
    auto text = parse_xml_text("<Civ4GameText xmlns=\"http://www.firaxis.com\"/>");
    EXPECT_EQ(schema_name(text->get_document()->get_root_node()), "");
}

// A units document and the faults expected in it, as "record|element|problem".
struct CheckCase {
    const char* name;
    std::vector<std::string> fields;
    std::vector<std::string> faults;
};

class SchemaCheck : public testing::TestWithParam<CheckCase> {
protected:
    test::ElementTableScope table;
};

TEST_P(SchemaCheck, findsTheFaultsOfARecord)
{
    table.load_text("UnitInfos\tFlavor\tobject\tFlavorType\n");
    auto schema = Schema::parse(test::unit_schema(), "units");
    const std::string text = test::schema_units_doc(test::schema_unit(GetParam().fields));
    auto parser = parse_xml_text(text);
    std::vector<std::string> faults;
    for (const SchemaViolation& v : check_document(parser->get_document()->get_root_node(), *schema))
        faults.push_back(v.record + "|" + v.element + "|" + v.problem);
    EXPECT_EQ(faults, GetParam().faults);

    // The quick pass over the file agrees on whether there is a fault.
    test::TempDir dir;
    test::write_file(dir / "CIV4UnitInfos.xml", text);
    std::string asked;
    SchemaScan scan = scan_against_schema(dir / "CIV4UnitInfos.xml", [&](const std::string& name) {
        asked = name;
        return schema.get();
    });
    EXPECT_EQ(asked, "CIV4UnitSchema.xml");
    EXPECT_EQ(scan, faults.empty() ? SchemaScan::clean : SchemaScan::faulty);
}

TEST(SchemaScanFile, tellsFilesWithoutSchemaAndUnreadableOnes)
{
    test::TempDir dir;
    auto none = [](const std::string&) -> const Schema* { return nullptr; };
    test::write_file(dir / "text.xml", "<Civ4GameText xmlns=\"http://www.firaxis.com\"><TEXT/></Civ4GameText>");
    EXPECT_EQ(scan_against_schema(dir / "text.xml", none), SchemaScan::no_schema);
    test::write_file(dir / "units.xml", test::schema_units_doc(""));
    EXPECT_EQ(scan_against_schema(dir / "units.xml", none), SchemaScan::no_schema);
    auto schema = Schema::parse(test::unit_schema(), "units");
    test::write_file(dir / "broken.xml", "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\"><UnitInfos>");
    EXPECT_EQ(scan_against_schema(dir / "broken.xml", [&](const std::string&) { return schema.get(); }),
        SchemaScan::faulty);
    test::write_file(dir / "broken-text.xml", "<Civ4GameText><TEXT>");
    EXPECT_EQ(scan_against_schema(dir / "broken-text.xml", none), SchemaScan::faulty);
}

const std::string warrior = "<Class>UNITCLASS_WARRIOR</Class><Type>UNIT_WARRIOR</Type>";

INSTANTIATE_TEST_SUITE_P(Records, SchemaCheck,
    testing::Values(CheckCase{"cleanWithOptionalFieldsLeftOut", test::warrior_fields(), {}},
        CheckCase{"fieldAfterOneItComesBefore",
            {warrior, "<bOnlyDefensive>0</bOnlyDefensive>", "<iCombat>2</iCombat>",
                "<bOnlyAttackAnimals>1</bOnlyAttackAnimals>"},
            {"UNIT_WARRIOR|bOnlyAttackAnimals|<bOnlyAttackAnimals> comes after <iCombat>, but the schema puts "
             "it before <iCombat>"}},
        CheckCase{"requiredFieldMissing",
            {warrior, "<iCombat>2</iCombat>"},
            {"UNIT_WARRIOR|bOnlyDefensive|<UnitInfo> lacks <bOnlyDefensive>, which the schema requires"}},
        CheckCase{"undeclaredField",
            {warrior, "<bOnlyDefensive>0</bOnlyDefensive>", "<iCombat>2</iCombat>", "<iMadeUp>1</iMadeUp>"},
            {"UNIT_WARRIOR|iMadeUp|<iMadeUp> is not allowed in <UnitInfo>"}},
        CheckCase{"fieldRepeated",
            {warrior, "<bOnlyDefensive>0</bOnlyDefensive>", "<iCombat>2</iCombat>", "<iCombat>3</iCombat>"},
            {"UNIT_WARRIOR|iCombat|<iCombat> appears more than once in <UnitInfo>, but the schema allows it "
             "once"}},
        CheckCase{"textAmongFields",
            {warrior, "stray", "<bOnlyDefensive>0</bOnlyDefensive>", "<iCombat>2</iCombat>"},
            {"UNIT_WARRIOR|UnitInfo|<UnitInfo> holds the text \"stray\", but the schema allows only elements "
             "in it"}},
        CheckCase{"elementsInATextField",
            {warrior, "<bOnlyDefensive><b>0</b></bOnlyDefensive>", "<iCombat>2</iCombat>"},
            {"UNIT_WARRIOR|bOnlyDefensive|<bOnlyDefensive> holds elements, but the schema allows only text in "
             "it"}},
        CheckCase{"faultInsideAPairRecord",
            {warrior, "<bOnlyDefensive>0</bOnlyDefensive>",
                "<Flavors><Flavor><iFlavor>2</iFlavor><FlavorType>FLAVOR_MILITARY</FlavorType></Flavor></Flavors>",
                "<iCombat>2</iCombat>"},
            {"UNIT_WARRIOR / FLAVOR_MILITARY|FlavorType|<FlavorType> comes after <iFlavor>, but the schema puts "
             "it before <iFlavor>"}}),
    [](const testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(SchemaCheckModel, closedModelRefusesDeclaredElementsItDoesNotName)
{
    std::string schema_text = test::unit_schema();
    schema_text.replace(schema_text.find("name=\"UnitInfo\" content=\"eltOnly\""),
        std::string("name=\"UnitInfo\" content=\"eltOnly\"").size(),
        "name=\"UnitInfo\" content=\"eltOnly\" model=\"closed\"");
    auto schema = Schema::parse(schema_text, "units");
    auto parser = parse_xml_text(test::schema_units_doc(test::schema_unit(test::warrior_fields())));
    auto faults = check_document(parser->get_document()->get_root_node(), *schema);
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].element, "Button");
}

TEST(SchemaInsertion, putsANewFieldBeforeTheFirstFieldOrderedAfterIt)
{
    auto schema = Schema::parse(test::unit_schema(), "units");
    auto parser = parse_xml_text(test::schema_units_doc(test::schema_unit(test::warrior_fields())));
    // The first UnitInfo.
    TreeNode unit = TreeNode(parser->get_document()->get_root_node()).first_element().first_element();
    auto before = [&](const char* name) {
        TreeNode at = schema->insertion_point(unit, name);
        return at ? std::string(at.name()) : std::string("(end)");
    };
    EXPECT_EQ(before("Description"), "Class");
    EXPECT_EQ(before("Help"), "bOnlyDefensive");
    EXPECT_EQ(before("bAltDown"), "iHotKeyPriority");
    EXPECT_EQ(before("Flavors"), "iCombat");
    EXPECT_EQ(before("iLeaderExperience"), "(end)");
    EXPECT_EQ(before("Button"), "(end)"); // not in the content model
    EXPECT_EQ(before("iUnknown"), "(end)");
}

} // namespace
} // namespace velmora
