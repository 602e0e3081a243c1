#include "core/prefs_checks.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "path/fs.h"
#include "path/platform.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::TempDir;

struct VerdictCase {
    const char* title;
    const char* custom_assets; // below the temporary folder
    const char* civ4_dir; // below the temporary folder; "" for not set
    CustomAssetsVerdict verdict;
};

std::ostream& operator<<(std::ostream& os, const VerdictCase& c) { return os << c.title; }

class CustomAssetsVerdictTest : public ::testing::TestWithParam<VerdictCase> {
protected:
    void SetUp() override
    {
        mkpath(dir / "Civ4/Assets", 0755);
        // A folder name that leads to the game's Assets through a link.
        ASSERT_EQ(
            ::symlink(platform::native(dir / "Civ4").c_str(), platform::native(dir / "Game Link").c_str()),
            0);
    }
    TempDir dir;
};

TEST_P(CustomAssetsVerdictTest, judgesByNameAndByRealLocation)
{
    const VerdictCase& c = GetParam();
    Path civ4 = *c.civ4_dir ? dir / c.civ4_dir : Path();
    EXPECT_EQ(judge_custom_assets_dir(dir / c.custom_assets, civ4), c.verdict);
}

INSTANTIATE_TEST_SUITE_P(Folders, CustomAssetsVerdictTest,
    ::testing::Values(
        VerdictCase{"CustomAssets", "My Games/CustomAssets", "Civ4", CustomAssetsVerdict::Accepted},
        VerdictCase{"Assets in any case", "My Games/aSSets", "Civ4", CustomAssetsVerdict::Accepted},
        VerdictCase{"CustomAssets in another case", "My Games/customassets", "Civ4",
            CustomAssetsVerdict::UnusualName},
        VerdictCase{"another name", "My Games/Output", "Civ4", CustomAssetsVerdict::UnusualName},
        VerdictCase{"the game's Assets", "Civ4/Assets", "Civ4", CustomAssetsVerdict::GameAssets},
        VerdictCase{
            "the game's Assets in another case", "CIV4/assets", "Civ4", CustomAssetsVerdict::GameAssets},
        VerdictCase{
            "the game's Assets through a link", "Game Link/Assets", "Civ4", CustomAssetsVerdict::GameAssets},
        VerdictCase{"no game folder set", "Civ4/Assets", "", CustomAssetsVerdict::Accepted}));

} // namespace
} // namespace velmora
