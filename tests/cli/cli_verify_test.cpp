#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli/cli_fixture.h"
#include "support/unit_schema.h"

namespace velmora::test {
namespace {

const char* const units = "XML/Units/CIV4UnitInfos.xml";

// The warrior with one field moved before another it follows in the schema.
std::string out_of_order_units()
{
    std::vector<std::string> fields = warrior_fields();
    fields.push_back("<Help>TXT_KEY_WARRIOR_HELP</Help>"); // belongs before bOnlyDefensive
    return schema_units_doc(schema_unit(fields));
}

// The game's units file already repeats a field; its schema stands beside it.
class CliVerifyTest : public CliTest {
protected:
    void SetUp() override
    {
        std::vector<std::string> fields = warrior_fields();
        fields.push_back("<iCombat>3</iCombat>");
        write_file(box.game() / "Assets" / units, schema_units_doc(schema_unit(fields)));
        write_file(box.game() / "Assets/XML/Units/CIV4UnitSchema.xml", unit_schema());
        configure({});
    }

    // The custom assets hold the game's fault and, when asked, one of their own.
    void build(bool own_fault)
    {
        std::vector<std::string> fields = warrior_fields();
        if (own_fault)
            fields.push_back("<Help>TXT_KEY_WARRIOR_HELP</Help>");
        fields.push_back("<iCombat>3</iCombat>");
        write_file(box.custom_assets() / units, schema_units_doc(schema_unit(fields)));
    }
};

TEST_F(CliVerifyTest, listsNewFaultsApartFromTheGamesAndFailsForThem)
{
    build(true);
    CliRun run = cli({"verify"});

    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_NE(line_with(run.out, "record UNIT_WARRIOR: <Help> comes after <iCombat>, but the schema puts it before "
                                 "<iCombat>"),
        "")
        << run.out;
    const std::string game_fault = line_with(run.out, "<iCombat> appears more than once");
    EXPECT_NE(game_fault.find("(already in the game's file)"), std::string::npos) << run.out;
    EXPECT_NE(game_fault.find("CIV4UnitInfos.xml"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("1 file may not load in the game."), std::string::npos) << run.out;
}

TEST_F(CliVerifyTest, faultsOnlyTheGamesCopyHasLeaveTheExitStatusZero)
{
    build(false);
    CliRun run = cli({"verify"});

    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(line_with(run.out, "(already in the game's file)"), "") << run.out;
    EXPECT_NE(run.out.find("Checked 1 file"), std::string::npos) << run.out;
}

TEST_F(CliVerifyTest, jsonListsEachFileWithBothKindsOfFaults)
{
    test::TempDir other;
    write_file(other / units, out_of_order_units());
    CliRun run = cli({"verify", "--dir", native(other.path()), "--json"});

    EXPECT_EQ(run.code, 1) << run.err;
    nlohmann::json doc = nlohmann::json::parse(run.out);
    EXPECT_EQ(doc["checked"], 1);
    ASSERT_EQ(doc["files"].size(), 1u);
    const nlohmann::json& file = doc["files"][0];
    EXPECT_NE(file["file"].get<std::string>().find("CIV4UnitInfos.xml"), std::string::npos);
    ASSERT_EQ(file["faults"].size(), 1u);
    EXPECT_EQ(file["faults"][0]["record"], "UNIT_WARRIOR");
    EXPECT_EQ(file["faults"][0]["element"], "Help");
    EXPECT_EQ(file["in_game"].size(), 0u);
}

TEST_F(CliVerifyTest, aMissingFolderIsAnError)
{
    CliRun run = cli({"verify", "--dir", native(box / "nowhere")});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("nowhere"), std::string::npos) << run.err;
}

TEST_F(CliVerifyTest, applyWarnsAboutFilesThatBreakTheirSchemaAndSucceeds)
{
    write_mod("broken.Pellarix", "Broken", {{unit_infos_file, "whole", out_of_order_units()}});
    configure({"Broken"});
    CliRun run = cli({"apply"});

    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.err.find("record UNIT_WARRIOR: <Help> comes after <iCombat>"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("1 file may not load in the game."), std::string::npos) << run.err;
}

TEST_F(CliVerifyTest, applyOfAnAddedFieldStaysQuiet)
{
    write_mod("help.Pellarix", "Help",
        {{unit_infos_file, "xml",
            schema_units_doc(schema_unit({"<Type>UNIT_WARRIOR</Type>", "<Help>TXT_KEY_WARRIOR_HELP</Help>"}))}});
    configure({"Help"});
    CliRun run = cli({"apply"});

    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err.find("may not load"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("already in the game"), std::string::npos) << run.err;
}

// A game that defines two unit classes, and a mod adding a unit of a class
// no file defines.
class CliReferencesTest : public CliTest {
protected:
    void SetUp() override
    {
        write_file(box.game() / "Assets/XML/Units/CIV4UnitClassInfos.xml",
            "<Civ4UnitClassInfos>\r\n\t<UnitClassInfos>\r\n"
            "\t\t<UnitClassInfo><Type>UNITCLASS_WARRIOR</Type></UnitClassInfo>\r\n"
            "\t\t<UnitClassInfo><Type>UNITCLASS_ARCHER</Type></UnitClassInfo>\r\n"
            "\t</UnitClassInfos>\r\n</Civ4UnitClassInfos>\r\n");
        write_mod("Longbows.Pellarix", "Longbows",
            {{"XML\\Units\\CIV4UnitInfos.xml", "xml",
                "<Civ4UnitInfos>\n\t<UnitInfos>\n\t\t<UnitInfo>\n\t\t\t<Class>UNITCLASS_LONGBOWMAN_2</Class>\n"
                "\t\t\t<Type>UNIT_LONGBOWMAN_2</Type>\n\t\t</UnitInfo>\n\t</UnitInfos>\n</Civ4UnitInfos>\n"}});
        configure({"Longbows"});
    }
};

TEST_F(CliReferencesTest, checkApplyAndVerifyNameTheBrokenReferenceAndItsMod)
{
    const std::string message = "XML/Units/CIV4UnitInfos.xml: UNIT_LONGBOWMAN_2: Class UNITCLASS_LONGBOWMAN_2 is "
                                "defined by no enabled mod (added by Longbows)";
    CliRun check = cli({"check"});
    EXPECT_EQ(check.code, 0) << check.err;
    EXPECT_NE(check.out.find(message), std::string::npos) << check.out;
    EXPECT_FALSE(exists(box.custom_assets() / "XML")) << "check wrote into the custom assets folder";

    CliRun apply = cli({"apply"});
    EXPECT_EQ(apply.code, 0) << apply.err;
    EXPECT_NE(apply.err.find("warning: " + message), std::string::npos) << apply.err;

    CliRun verify = cli({"verify"});
    EXPECT_EQ(verify.code, 1) << verify.err;
    EXPECT_NE(verify.out.find(message), std::string::npos) << verify.out;
    EXPECT_NE(verify.out.find("1 name points nowhere"), std::string::npos) << verify.out;

    CliRun json = cli({"verify", "--json"});
    EXPECT_EQ(json.code, 1) << json.err;
    const nlohmann::json doc = nlohmann::json::parse(json.out);
    EXPECT_EQ(doc["broken_references"], 1);
    ASSERT_EQ(doc["references"].size(), 1u);
    const nlohmann::json& r = doc["references"][0];
    EXPECT_EQ(r["file"], "XML/Units/CIV4UnitInfos.xml");
    EXPECT_EQ(r["record"], "UNIT_LONGBOWMAN_2");
    EXPECT_EQ(r["field"], "Class");
    EXPECT_EQ(r["name"], "UNITCLASS_LONGBOWMAN_2");
    EXPECT_EQ(r["mod"], "Longbows");
    EXPECT_EQ(r["in_game"], false);
}

TEST_F(CliReferencesTest, theGamesOwnBrokenReferenceIsListedApartWithExitZero)
{
    configure({});
    write_file(box.game() / "Assets" / units,
        "<Civ4UnitInfos>\n\t<UnitInfos>\n\t\t<UnitInfo>\n\t\t\t<Class>UNITCLASS_SCOUT</Class>\n"
        "\t\t\t<Type>UNIT_SCOUT</Type>\n\t\t</UnitInfo>\n\t</UnitInfos>\n</Civ4UnitInfos>\n");
    ASSERT_EQ(mkpath(box.custom_assets(), 0755), 0);
    CliRun verify = cli({"verify"});
    EXPECT_EQ(verify.code, 0) << verify.err;
    EXPECT_NE(verify.out.find("UNIT_SCOUT: Class UNITCLASS_SCOUT is defined nowhere in the game (also in the game's "
                              "own files)"),
        std::string::npos)
        << verify.out;
}

} // namespace
} // namespace velmora::test
