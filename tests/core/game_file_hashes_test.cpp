#include <gtest/gtest.h>

#include <functional>

#include "base/hash.h"
#include "core/incremental.h"
#include "path/platform.h"
#include "support/case_name.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;

struct Between {
    const char* what;
    std::int64_t settle_ns;
    std::function<void(const Path& file)> change; // done between the two hashes
    unsigned reads;
};

class GameFileHashesBetween : public testing::TestWithParam<Between> { };

// A file is read again unless its stamp is the one it had, settled: a stale
// hash would carry over a file built from an older copy of the game's.
TEST_P(GameFileHashesBetween, readsTheFileAgainUnlessItsStampIsSettledAndTheSame)
{
    const Between& c = GetParam();
    TempDir tmp;
    const Path file = tmp / "Assets\\XML\\Units\\CIV4UnitInfos.xml";
    write_file(file, "<Civ4UnitInfos/>\r\n");
    GameFileHashes hashes(c.settle_ns);
    std::uint64_t first = 0, second = 0;
    ASSERT_TRUE(hashes.hash(file, first));
    EXPECT_EQ(first, hash_bytes("<Civ4UnitInfos/>\r\n"));
    if (c.change)
        c.change(file);
    ASSERT_TRUE(hashes.hash(file, second));
    EXPECT_EQ(second, hash_bytes(read_file(file)));
    EXPECT_EQ(hashes.reads(), c.reads);
}

INSTANTIATE_TEST_SUITE_P(Changes, GameFileHashesBetween,
    testing::Values(Between{"nothingSettled", 0, nullptr, 1},
        Between{"nothingButFresh", 2'000'000'000, nullptr, 2},
        Between{"rewritten", 0,
            [](const Path& f) { write_file(f, "<Civ4UnitInfos>\r\n</Civ4UnitInfos>\r\n"); }, 2},
        Between{"replacedWithTheSameSize", 0,
            [](const Path& f) {
                write_file(Path(f.str() + ".new"), "<Civ4UnitInfos/>\n\n\n");
                ASSERT_EQ(platform::rename(f.str() + ".new", f.str()), 0);
            },
            2}),
    test::CaseName());

TEST(GameFileHashes, reportsAFileThatCannotBeRead)
{
    TempDir tmp;
    GameFileHashes hashes(0);
    std::uint64_t h = 0;
    EXPECT_FALSE(hashes.hash(tmp / "missing.xml", h));
    write_file(tmp / "missing.xml", "x");
    ASSERT_TRUE(hashes.hash(tmp / "missing.xml", h));
    EXPECT_EQ(h, hash_bytes("x"));
}

} // namespace
} // namespace velmora
