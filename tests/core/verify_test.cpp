#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/verify.h"
#include "mod/game_files.h"
#include "path/platform.h"
#include "support/element_table.h"
#include "support/tempdir.h"
#include "support/unit_schema.h"
#include "xml/schema.h"

namespace velmora {
namespace {

const char* const units = "XML/Units/CIV4UnitInfos.xml";

std::string warrior_units(const std::vector<std::string>& extra)
{
    std::vector<std::string> fields = test::warrior_fields();
    fields.insert(fields.end(), extra.begin(), extra.end());
    return test::schema_units_doc(test::schema_unit(fields));
}

// A game with the units schema and a units file that already repeats iCombat.
class VerifyFolder : public testing::Test {
protected:
    VerifyFolder()
    {
        test::write_file(game / "XML/Units/CIV4UnitSchema.xml", test::unit_schema());
        test::write_file(game / units, warrior_units({"<iCombat>3</iCombat>"}));
    }

    Verification verify()
    {
        SchemaCache schemas;
        return verify_folder(built.path(), GameFiles({game.path()}), schemas);
    }

    test::ElementTableScope table;
    test::TempDir game;
    test::TempDir built;
};

TEST_F(VerifyFolder, tellsTheGamesOwnFaultsApartFromNewOnes)
{
    test::write_file(built / units, warrior_units({"<iCombat>3</iCombat>", "<Help>TXT_KEY_WARRIOR_HELP</Help>"}));
    const Verification result = verify();

    EXPECT_EQ(result.checked, 1u);
    ASSERT_EQ(result.files.size(), 1u);
    const FileFaults& file = result.files[0];
    EXPECT_EQ(platform::native(file.file), platform::native(Path(units)));
    ASSERT_EQ(file.faults.size(), 1u);
    EXPECT_EQ(file.faults[0].element, "Help");
    ASSERT_EQ(file.in_game.size(), 1u);
    EXPECT_EQ(file.in_game[0].element, "iCombat");
    EXPECT_EQ(result.files_at_fault(), 1u);
    EXPECT_GT(file.in_game[0].line, 1u);
    EXPECT_EQ(describe(file.file, file.in_game[0], true),
        platform::native(Path(units)) + ", line " + std::to_string(file.in_game[0].line)
            + ", record UNIT_WARRIOR: <iCombat> appears more than once in "
                                        "<UnitInfo>, but the schema allows it once (already in the game's file)");
}

TEST_F(VerifyFolder, isCleanWhenOnlyTheGamesFaultsRemain)
{
    test::write_file(built / units, warrior_units({"<iCombat>3</iCombat>"}));
    const Verification result = verify();
    EXPECT_TRUE(result.clean());
    ASSERT_EQ(result.files.size(), 1u);
    EXPECT_EQ(result.files[0].in_game.size(), 1u);
}

TEST_F(VerifyFolder, checksAgainstASchemaInTheFolderBeforeTheGames)
{
    // This schema wants Help last, where the file has it.
    std::string model = test::unit_info_model;
    const std::string help = "\t\t<element type=\"Help\" minOccurs=\"0\"/>\n";
    model.erase(model.find(help), help.size());
    test::write_file(built / "XML/Units/civ4unitschema.xml", test::unit_schema_text(model + help));
    test::write_file(built / units, warrior_units({"<Help>TXT_KEY_WARRIOR_HELP</Help>"}));
    const Verification result = verify();
    EXPECT_EQ(result.checked, 1u); // the schema file itself names no schema
    EXPECT_TRUE(result.files.empty());
}

TEST_F(VerifyFolder, reportsUnreadableFilesAndSkipsFilesWithoutSchema)
{
    test::write_file(built / "XML/Broken.xml", "<Civ4UnitInfos><UnitInfos>");
    test::write_file(built / "XML/Text/CIV4GameText.xml", "<Civ4GameText xmlns=\"http://www.firaxis.com\"/>");
    test::write_file(built / "XML/Units/CIV4Missing.xml", "<Civ4UnitInfos xmlns=\"x-schema:CIV4Nowhere.xml\"/>");
    const Verification result = verify();
    EXPECT_EQ(result.checked, 0u);
    ASSERT_EQ(result.files.size(), 1u);
    EXPECT_EQ(platform::native(result.files[0].file), platform::native(Path("XML/Broken.xml")));
    EXPECT_NE(result.files[0].faults.at(0).problem.find("cannot be read"), std::string::npos);
}

} // namespace
} // namespace velmora
