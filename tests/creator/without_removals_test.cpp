// Removals leave everything else as it was: a modified folder that deletes
// nothing gives, byte for byte, the mod file and the report that Velmora wrote
// before removals existed, and a mod file of that time applies as it did.
// The files under golden/no_removals were written by that Velmora.
#include <gtest/gtest.h>

#include "mod/mod.h"
#include "path/fs.h"
#include "tests/creator/creator_fixture.h"

namespace velmora::test {
namespace {

const Path golden(VELMORA_SOURCE_DIR "/tests/creator/golden/no_removals");
const char* const things_path = "XML/Things/Civ4ThingInfos.xml";

class WithoutRemovals : public CreatorFixture {
protected:
    WithoutRemovals()
    {
        write_file(game(things_path), read_file(golden / "game" / Path(things_path)));
        write_file(modified(things_path), read_file(golden / "modified" / Path(things_path)));
    }
};

TEST_F(WithoutRemovals, theModFileAndTheReportAreWhatTheyWereBefore)
{
    std::unique_ptr<Mod> mod = create();
    ASSERT_TRUE(mod);
    mod->name = "Golden";
    mod->author = "Velmora";
    mod->version = "1.0";
    mod->description = "No removals";
    const Path file = tmp / "mods/Golden.Pellarix";
    mkpath(tmp / "mods", 0755);
    ASSERT_EQ(mod->save(file), 0);

    EXPECT_EQ(read_file(file), read_file(golden / "Golden.Pellarix"));
    EXPECT_EQ(report(), read_file(golden / "report.txt"));
}

TEST_F(WithoutRemovals, aModFileOfBeforeAppliesAsItDid)
{
    Mod mod;
    ASSERT_EQ(mod.load(golden / "Golden.Pellarix"), 0);
    ASSERT_EQ(mod.changes.size(), 1u);
    mkpath(tmp / "CustomAssets", 0755);

    ASSERT_EQ(mod.apply(game(), tmp / "CustomAssets"), 0);

    EXPECT_EQ(read_file(tmp / "CustomAssets" / Path(things_path)), read_file(golden / "applied" / Path(things_path)));
}

} // namespace
} // namespace velmora::test
