// A modder's deletions through the whole program: a mod created from a folder
// that deletes a record, a field (from every record and from the schema) and
// a pair record, applied by the core, checked against the built schema.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/orrindel.h"
#include "creator/modcreator.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "support/core_fixtures.h"
#include "support/element_table.h"
#include "support/tempdir.h"
#include "support/unit_schema.h"

namespace velmora {
namespace {

using test::CoreSandbox;
using test::read_file;
using test::schema_unit;
using test::write_file;

const char* const units = "XML/Units/CIV4UnitInfos.xml";
const char* const schema = "XML/Units/CIV4UnitSchema.xml";

const std::string flavors_model = "\t\t<element type=\"Flavors\" minOccurs=\"0\"/>\n";
// The units model with bOnlyAttackAnimals (optional, before the flavors), or without it.
std::string model(bool with_animals)
{
    return "\t\t<element type=\"Class\"/>\n\t\t<element type=\"Type\"/>\n"
           "\t\t<element type=\"bOnlyDefensive\"/>\n"
        + std::string(with_animals ? "\t\t<element type=\"bOnlyAttackAnimals\" minOccurs=\"0\"/>\n" : "")
        + flavors_model + "\t\t<element type=\"iCombat\"/>\n";
}

std::string schema_text(bool with_animals)
{
    std::string text = test::unit_schema_text(model(with_animals));
    if (!with_animals) {
        const std::string declaration
            = "\t<ElementType name=\"bOnlyAttackAnimals\" content=\"textOnly\" dt:type=\"boolean\"/>\n";
        text.erase(text.find(declaration), declaration.size());
    }
    return text;
}

const std::string flavor_defense = "<Flavors><Flavor><FlavorType>FLAVOR_DEFENSE</FlavorType><iFlavor>5</iFlavor></Flavor>"
                                   "<Flavor><FlavorType>FLAVOR_MILITARY</FlavorType><iFlavor>2</iFlavor></Flavor></Flavors>";

std::string unit(const std::string& name, bool animals, const std::string& flavors)
{
    std::vector<std::string> fields{"<Class>UNITCLASS_" + name + "</Class>", "<Type>UNIT_" + name + "</Type>",
        "<bOnlyDefensive>0</bOnlyDefensive>"};
    if (animals)
        fields.push_back("<bOnlyAttackAnimals>1</bOnlyAttackAnimals>");
    if (!flavors.empty())
        fields.push_back(flavors);
    fields.push_back("<iCombat>2</iCombat>");
    return schema_unit(fields);
}

TEST(RemovalsApplied, theBuiltFilesAreTheModifiedOnesAndPassTheBuiltSchema)
{
    CoreSandbox box;
    write_file(box.run() / "elements.txt", test::fixture_elements_table() + "Schema\tSchema\topaque\n");
    const Path game = box.game() / "Assets";
    const Path modified = box / "MyMod/Assets";
    write_file(game / schema, schema_text(true));
    write_file(game / units,
        test::schema_units_doc(unit("WARRIOR", true, "") + unit("ARCHER", true, flavor_defense) + unit("CHARIOT", true, "")));
    write_file(modified / schema, schema_text(false));
    const std::string modified_units = test::schema_units_doc(unit("WARRIOR", false, "")
        + unit("ARCHER", false,
            "<Flavors><Flavor><FlavorType>FLAVOR_DEFENSE</FlavorType><iFlavor>5</iFlavor></Flavor></Flavors>"));
    write_file(modified / units, modified_units);
    box.write_conf(box.game(), box.custom_assets(), {"Cleanup"});

    Orrindel core(box.home());
    core.startup();
    {
        ModCreator creator(core.get_civ4_dir(), core.get_settings_dir(), box / "MyMod", true);
        std::unique_ptr<Mod> mod(creator.create());
        ASSERT_TRUE(mod);
        mod->name = "Cleanup";
        mkpath(box.mods(), 0755);
        mod->save(box.mods() / "Cleanup.Pellarix");
    }
    EXPECT_EQ(read_file(box.settings() / "report.txt"),
        "XML\\Units\\CIV4UnitInfos.xml -> xml\n"
        "UNIT_ARCHER: Flavors: removed FLAVOR_MILITARY\n"
        "UNIT_ARCHER: removed bOnlyAttackAnimals\n"
        "  UNIT_ARCHER: changed\n"
        "UNIT_WARRIOR: removed bOnlyAttackAnimals\n"
        "  UNIT_WARRIOR: changed\n"
        "UnitInfos: removed UNIT_CHARIOT\n"
        "XML\\Units\\CIV4UnitSchema.xml -> xml\n"
        "  Schema: changed\n");
    core.load_mods();
    ASSERT_EQ(core.get_enabled_mods().size(), 1u);
    core.apply();

    EXPECT_EQ(core.get_apply_warnings(), std::vector<std::string>());
    // The game's own copy breaks the new schema; what was built does not.
    EXPECT_EQ(core.get_verification().checked, 1u);
    EXPECT_TRUE(core.get_verification().clean());
    const std::string built = read_file(box.custom_assets() / units);
    EXPECT_EQ(built.find("bOnlyAttackAnimals"), std::string::npos) << built;
    EXPECT_EQ(built.find("UNIT_CHARIOT"), std::string::npos) << built;
    EXPECT_EQ(built.find("FLAVOR_MILITARY"), std::string::npos) << built;
    EXPECT_NE(built.find("FLAVOR_DEFENSE"), std::string::npos) << built;
}

} // namespace
} // namespace velmora
