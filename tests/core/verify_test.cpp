#include <gtest/gtest.h>
#include <libxml++/parsers/domparser.h>

#include <string>
#include <vector>

#include "base/hash.h"
#include "core/manifest.h"
#include "core/verify.h"
#include "mod/game_files.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/element_table.h"
#include "support/tempdir.h"
#include "support/unit_schema.h"
#include "xml/parse.h"
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

// A verification that keeps its scans, then something changed, then one
// that may use them: it must find what a verification without them finds.
class VerifyAgain : public VerifyFolder {
protected:
    Verification verify_with_memo()
    {
        SchemaCache schemas;
        const Manifest written = Manifest::of_folder(built.path());
        return verify_folder(built.path(), GameFiles({game.path()}), schemas, &memo, &written);
    }

    // A schema beside the file in the built folder that wants Help last, where
    // the file has it: the game's own schema puts Help earlier.
    void write_help_last_schema()
    {
        std::string model = test::unit_info_model;
        const std::string help = "\t\t<element type=\"Help\" minOccurs=\"0\"/>\n";
        model.erase(model.find(help), help.size());
        test::write_file(built / "XML/Units/CIV4UnitSchema.xml", test::unit_schema_text(model + help));
    }

    VerifyMemo memo;
};

TEST_F(VerifyAgain, takesAFileWhoseBytesItScannedBeforeAsScanned)
{
    test::write_file(built / units, warrior_units({}));
    const Manifest written = Manifest::of_folder(built.path());
    SchemaCache schemas;
    ASSERT_EQ(verify_folder(built.path(), GameFiles({game.path()}), schemas, &memo, &written).checked, 1u);
    // The manifest says the bytes are those scanned: the file is not read.
    test::write_file(built / units, "not XML at all");
    const Verification again = verify_folder(built.path(), GameFiles({game.path()}), schemas, &memo, &written);
    EXPECT_EQ(again.checked, 1u);
    EXPECT_TRUE(again.files.empty());
}

class VerifyAgainAfter;

struct Edit {
    const char* name;
    void (VerifyAgainAfter::*before)(); // makes the folder first verified
    void (VerifyAgainAfter::*change)();
};

void PrintTo(const Edit& e, std::ostream* os) { *os << e.name; }

class VerifyAgainAfter : public VerifyAgain, public testing::WithParamInterface<Edit> {
public:
    void help_last_with_schema()
    {
        write_help_last_schema();
        test::write_file(built / units, warrior_units({"<Help>TXT_KEY_WARRIOR_HELP</Help>"}));
    }
    void clean_units() { test::write_file(built / units, warrior_units({})); }
    void faulty_units() { test::write_file(built / units, warrior_units({"<Help>TXT_KEY_WARRIOR_HELP</Help>"})); }
    void remove_schema() { platform::unlink((built / "XML/Units/CIV4UnitSchema.xml").str()); }
    void game_schema_like_the_file()
    {
        faulty_units();
        write_help_last_schema();
        test::write_file(game / "XML/Units/CIV4UnitSchema.xml", test::read_file(built / "XML/Units/CIV4UnitSchema.xml"));
        remove_schema();
    }
    void restore_schemas()
    {
        test::write_file(game / "XML/Units/CIV4UnitSchema.xml", test::unit_schema());
        if (exists(built / "XML/Units/CIV4UnitSchema.xml"))
            test::write_file(built / "XML/Units/CIV4UnitSchema.xml", test::unit_schema());
    }
};

TEST_P(VerifyAgainAfter, findsWhatAFreshVerificationFinds)
{
    (this->*GetParam().before)();
    const Verification first = verify_with_memo();
    ASSERT_TRUE(first.clean());
    (this->*GetParam().change)();

    const Verification again = verify_with_memo();
    const Verification fresh = verify();
    EXPECT_EQ(again.checked, fresh.checked);
    EXPECT_EQ(again.files_at_fault(), fresh.files_at_fault());
    EXPECT_EQ(fresh.files_at_fault(), 1u) << "the change must make a fault, else the case shows nothing";
}

// The scan kept from the tree an apply merged, then the same changes: the
// verification that uses it must find what a fresh one finds.
TEST_P(VerifyAgainAfter, keptFromTheMergedTreeFindsWhatAFreshVerificationFinds)
{
    (this->*GetParam().before)();
    std::uint64_t bytes = 0;
    ASSERT_TRUE(hash_file(built / units, bytes));
    auto parser = parse_game_file(built / units);
    SchemaCache schemas;
    check_merged_file(built.path(), Path(units), parser->get_document()->get_root_node(), bytes,
        GameFiles({game.path()}), schemas, memo);
    ASSERT_EQ(memo.files.size(), 1u) << "a clean file is kept";
    (this->*GetParam().change)();

    const Verification again = verify_with_memo();
    const Verification fresh = verify();
    EXPECT_EQ(again.checked, fresh.checked);
    EXPECT_EQ(again.files_at_fault(), fresh.files_at_fault());
}

TEST_F(VerifyAgain, aMergedTreeCheckedCleanIsNotReadAgainAndAFaultyOneIsLeftToTheVerification)
{
    struct Case {
        const char* name;
        std::vector<std::string> extra;
        unsigned kept;
        unsigned at_fault;
    };
    for (const Case& c : {Case{"clean", {}, 1, 0},
             Case{"faulty", {"<Help>TXT_KEY_WARRIOR_HELP</Help>"}, 0, 1}}) {
        SCOPED_TRACE(c.name);
        memo = VerifyMemo();
        const std::string text = warrior_units(c.extra);
        test::write_file(built / units, text);
        const Manifest written = Manifest::of_folder(built.path());
        auto parser = parse_game_file(built / units);
        SchemaCache schemas;
        check_merged_file(built.path(), Path(units), parser->get_document()->get_root_node(), hash_bytes(text),
            GameFiles({game.path()}), schemas, memo);
        EXPECT_EQ(memo.files.size(), c.kept);
        if (c.kept)
            // The verification takes the kept scan: it does not read the file.
            test::write_file(built / units, "not XML at all");
        const Verification v = verify_folder(built.path(), GameFiles({game.path()}), schemas, &memo, &written);
        EXPECT_EQ(v.checked, 1u);
        EXPECT_EQ(v.files_at_fault(), c.at_fault);
    }
}

INSTANTIATE_TEST_SUITE_P(Causes, VerifyAgainAfter,
    testing::Values(Edit {"fileChanged", &VerifyAgainAfter::clean_units, &VerifyAgainAfter::faulty_units},
        Edit {"schemaBesideItRemoved", &VerifyAgainAfter::help_last_with_schema, &VerifyAgainAfter::remove_schema},
        Edit {"schemaBesideItChanged", &VerifyAgainAfter::help_last_with_schema, &VerifyAgainAfter::restore_schemas},
        Edit {"gameSchemaChanged", &VerifyAgainAfter::game_schema_like_the_file, &VerifyAgainAfter::restore_schemas}),
    [](const testing::TestParamInfo<Edit>& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora
