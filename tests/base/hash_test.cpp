#include "base/hash.h"

#include <gtest/gtest.h>

#include "path/path.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::TempDir;
using test::write_file;

TEST(Hash, piecesAreKeptApartByTheirLengths)
{
    EXPECT_NE(Hasher().add("ab").add("c").value(), Hasher().add("a").add("bc").value());
    EXPECT_EQ(Hasher().add("ab").add("c").value(), Hasher().add("ab").add("c").value());
    EXPECT_NE(Hasher().add("").value(), Hasher().value());
    // A piece given in parts hashes as the whole piece.
    EXPECT_EQ(Hasher().add("x").begin(3).more("a").more("").more("bc").value(),
        Hasher().add("x").add("abc").value());
}

TEST(Hash, textReadsBackAndAnythingElseIsRefused)
{
    std::uint64_t h = hash_bytes("Civ4UnitInfos");
    std::uint64_t back = 0;
    ASSERT_TRUE(parse_hash(hash_text(h), back));
    EXPECT_EQ(back, h);
    EXPECT_EQ(hash_text(0x1a), "000000000000001a");
    std::uint64_t untouched = 7;
    for (const char* bad : {"", "1a", "000000000000001A", "00000000000000001a", "000000000000001g"})
        EXPECT_FALSE(parse_hash(bad, untouched)) << bad;
    EXPECT_EQ(untouched, 7u);
}

TEST(Hash, aFileHashesAsItsBytesAndAMissingOneIsReported)
{
    TempDir tmp;
    std::string bytes(200000, 'x');
    bytes[123456] = '\0';
    Path file = tmp / "Art\\big.dds";
    write_file(file, bytes);
    std::uint64_t h = 0;
    ASSERT_TRUE(hash_file(file, h));
    EXPECT_EQ(h, hash_bytes(bytes));
    EXPECT_FALSE(hash_file(tmp / "missing", h));
}

} // namespace
} // namespace velmora
