#include <gtest/gtest.h>

#include <libxml++/libxml++.h>

#include <string>
#include <vector>

#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "support/element_table.h"
#include "support/tempdir.h"
#include "support/unit_schema.h"
#include "xml/parse.h"
#include "xml/schema.h"
#include "xml/schema_check.h"

namespace velmora {
namespace {

using test::mod_with;
using test::schema_unit;
using test::schema_units_doc;
using test::units_file;
using test::warrior_fields;
using test::xml_change;

// The warrior's fields with `added` put in before the field `before` (at the
// end when it is "").
std::vector<std::string> warrior_with(const std::vector<std::pair<std::string, std::string>>& added)
{
    std::vector<std::string> fields = warrior_fields();
    for (const auto& [field, before] : added) {
        auto at = fields.end();
        for (auto it = fields.begin(); it != fields.end(); ++it)
            if (!before.empty() && it->rfind("<" + before + ">", 0) == 0)
                at = it;
        fields.insert(at, field);
    }
    return fields;
}

// A change giving the warrior these fields.
Change warrior_change(const std::vector<std::string>& fields)
{
    std::vector<std::string> all = {"<Type>UNIT_WARRIOR</Type>"};
    all.insert(all.end(), fields.begin(), fields.end());
    return xml_change(units_file, schema_units_doc(schema_unit(all)));
}

// What follows the XML declaration, which the merge writes anew.
std::string body(const std::string& text) { return text.substr(text.find('\n') + 1); }

// A game with the units file and its schema; the schema's file name is in
// other letters than the root names it, as the game ignores letter case.
class SchemaOrderApply : public testing::Test {
protected:
    SchemaOrderApply()
    {
        table.load_text(test::merge_table);
        test::write_file(game / "XML/Units/Civ4UnitSchema.xml", test::unit_schema());
        test::write_file(game / units_file, schema_units_doc(schema_unit(warrior_fields())));
    }

    void apply(const std::vector<Mod>& mods)
    {
        SchemaCache schemas;
        for (const Mod& m : mods)
            ASSERT_EQ(m.apply(GameFiles({game.path()}), target.path(), {}, &schemas), 0);
    }
    std::string output() { return test::read_file(target / units_file); }

    // The output's faults against the game's schema.
    std::vector<std::string> faults()
    {
        auto schema = Schema::parse(test::unit_schema(), "units");
        auto parser = parse_xml_text(output());
        std::vector<std::string> out;
        for (const SchemaViolation& v : check_document(parser->get_document()->get_root_node(), *schema))
            out.push_back(v.problem);
        return out;
    }

    test::ElementTableScope table;
    test::TempDir game;
    test::TempDir target;
};

struct AddedField {
    const char* name;
    std::string field;
    std::string before; // the field it must precede; "" for the record's end
};

class SchemaOrderAdd : public SchemaOrderApply, public testing::WithParamInterface<AddedField> { };

TEST_P(SchemaOrderAdd, putsTheFieldWhereTheSchemaOrdersItAndChangesNothingElse)
{
    apply({mod_with("Mod", {warrior_change({GetParam().field})})});
    EXPECT_EQ(body(output()), body(schema_units_doc(schema_unit(warrior_with({{GetParam().field, GetParam().before}})))));
    EXPECT_EQ(faults(), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(Fields, SchemaOrderAdd,
    testing::Values(AddedField{"atTheStart", "<Description>TXT_KEY_WARRIOR</Description>", "Class"},
        AddedField{"inTheMiddle", "<Help>TXT_KEY_WARRIOR_HELP</Help>", "bOnlyDefensive"},
        AddedField{"afterARequiredField", "<bOnlyAttackAnimals>1</bOnlyAttackAnimals>", "HotKey"},
        AddedField{"insideAGroup", "<bAltDown>1</bAltDown>", "iHotKeyPriority"},
        AddedField{"aRecordCollection",
            "<Flavors><Flavor><FlavorType>FLAVOR_MILITARY</FlavorType><iFlavor>2</iFlavor></Flavor></Flavors>",
            "iCombat"},
        AddedField{"atTheEnd", "<iLeaderExperience>3</iLeaderExperience>", ""}),
    [](const testing::TestParamInfo<AddedField>& info) { return std::string(info.param.name); });

TEST_F(SchemaOrderApply, fieldsOfTwoModsInOneRecordAllStandInOrder)
{
    apply({mod_with("First", {warrior_change({"<bOnlyAttackAnimals>1</bOnlyAttackAnimals>"})}),
        mod_with("Second",
            {warrior_change({"<iLeaderExperience>3</iLeaderExperience>", "<Help>TXT_KEY_WARRIOR_HELP</Help>",
                "<Description>TXT_KEY_WARRIOR</Description>"})})});
    EXPECT_EQ(body(output()),
        body(schema_units_doc(schema_unit(warrior_with({{"<bOnlyAttackAnimals>1</bOnlyAttackAnimals>", "HotKey"},
            {"<Help>TXT_KEY_WARRIOR_HELP</Help>", "bOnlyDefensive"},
            {"<Description>TXT_KEY_WARRIOR</Description>", "Class"},
            {"<iLeaderExperience>3</iLeaderExperience>", ""}})))));
    EXPECT_EQ(faults(), std::vector<std::string>());
}

TEST_F(SchemaOrderApply, withoutASchemaAppendsTheField)
{
    test::TempDir bare;
    test::write_file(bare / units_file, schema_units_doc(schema_unit(warrior_fields())));
    ASSERT_EQ(mod_with("Mod", {warrior_change({"<Help>TXT_KEY_WARRIOR_HELP</Help>"})}).apply(bare.path(), target.path()), 0);
    EXPECT_EQ(body(output()),
        body(schema_units_doc(schema_unit(warrior_with({{"<Help>TXT_KEY_WARRIOR_HELP</Help>", ""}})))));
}

TEST_F(SchemaOrderApply, aSchemaInTheCustomAssetsFolderOverridesTheGames)
{
    // This schema moves Help to the record's end.
    std::string model = test::unit_info_model;
    model.erase(model.find("\t\t<element type=\"Help\" minOccurs=\"0\"/>\n"),
        std::string("\t\t<element type=\"Help\" minOccurs=\"0\"/>\n").size());
    model += "\t\t<element type=\"Help\" minOccurs=\"0\"/>\n";
    test::write_file(target / "XML/Units/CIV4UNITSCHEMA.xml", test::unit_schema_text(model));

    apply({mod_with("Mod", {warrior_change({"<Help>TXT_KEY_WARRIOR_HELP</Help>"})})});
    EXPECT_EQ(body(output()),
        body(schema_units_doc(schema_unit(warrior_with({{"<Help>TXT_KEY_WARRIOR_HELP</Help>", ""}})))));
}

TEST_F(SchemaOrderApply, newRecordsKeepTheModsOrderAfterTheGamesRecords)
{
    auto record = [](const std::string& type) {
        return schema_unit({"<Class>UNITCLASS_" + type + "</Class>", "<Type>UNIT_" + type + "</Type>",
            "<bOnlyDefensive>0</bOnlyDefensive>", "<iCombat>1</iCombat>"});
    };
    apply({mod_with("Eras", {xml_change(units_file, schema_units_doc(record("INDUSTRIAL") + record("RENAISSANCE") + record("MEDIEVAL")))})});
    const std::string out = output();
    const std::vector<std::string> order = {"UNIT_WARRIOR", "UNIT_INDUSTRIAL", "UNIT_RENAISSANCE", "UNIT_MEDIEVAL"};
    std::string::size_type at = 0;
    for (const std::string& type : order) {
        std::string::size_type found = out.find("<Type>" + type + "</Type>", at);
        ASSERT_NE(found, std::string::npos) << type << " missing or out of order in\n" << out;
        at = found;
    }
    EXPECT_EQ(faults(), std::vector<std::string>());
}

} // namespace
} // namespace velmora
