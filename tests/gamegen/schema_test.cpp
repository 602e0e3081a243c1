#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/verify.h"
#include "mod/game_files.h"
#include "support/element_table.h"
#include "support/tempdir.h"
#include "tools/gamegen/gamegen.h"
#include "xml/schema.h"

namespace velmora {
namespace {

// Every fault of a verification, one line each, to show in a failure.
std::vector<std::string> all_faults(const Verification& v)
{
    std::vector<std::string> out;
    for (const FileFaults& f : v.files) {
        for (const SchemaViolation& fault : f.faults)
            out.push_back(describe(f.file, fault, false));
        for (const SchemaViolation& fault : f.in_game)
            out.push_back(describe(f.file, fault, true));
    }
    return out;
}

// A generated game, as a modified copy would be checked against it.
class GeneratedSchemas : public testing::Test {
protected:
    GeneratedSchemas()
    {
        table.load_shipped();
        generate_assets(game.path() / Path("Assets"), {5, 0.02});
    }

    Verification verify(const Path& folder)
    {
        SchemaCache schemas;
        return verify_folder(folder, GameFiles({game.path() / Path("Assets")}), schemas);
    }

    test::ElementTableScope table;
    test::TempDir game;
};

TEST_F(GeneratedSchemas, everyRecordFileHasASchemaItMeets)
{
    const Verification v = verify(game.path() / Path("Assets"));
    EXPECT_GT(v.checked, 20u);
    EXPECT_EQ(all_faults(v), std::vector<std::string>());
}

TEST_F(GeneratedSchemas, modifiedCopiesAddOptionalFieldsInTheMiddleOfRecordsAndMeetTheSchemas)
{
    bool added = false;
    for (unsigned seed = 1; seed <= 3; ++seed) {
        test::TempDir copy;
        std::vector<ModifiedFile> changed = modify_tree(game.path() / Path("Assets"), copy.path(), {seed, 1.0});
        for (const ModifiedFile& f : changed)
            for (const std::string& note : f.notes)
                added = added || note.find(": +bOnlyAttackAnimals") != std::string::npos;
        EXPECT_EQ(all_faults(verify(copy.path())), std::vector<std::string>()) << "seed " << seed;
    }
    EXPECT_TRUE(added);
}

} // namespace
} // namespace velmora
