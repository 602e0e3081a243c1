#include "path/spool.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "path/platform.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::TempDir;
using test::TmpdirScope;

std::string bytes_of(std::size_t size, unsigned seed)
{
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<char>((i * 131 + seed * 7 + i / 251) & 0xff);
    return out;
}

std::string read_whole(const Spool::Piece& piece)
{
    std::string out;
    EXPECT_TRUE(piece.read(out));
    return out;
}

std::string read_in_blocks(const Spool::Piece& piece, std::size_t& blocks)
{
    std::string out;
    blocks = 0;
    EXPECT_TRUE(piece.read([&](std::string_view block) {
        EXPECT_LE(block.size(), 65536u);
        out.append(block);
        ++blocks;
    }));
    return out;
}

// Pieces of every size that matters read back whole, in blocks and by their
// start, also after the pieces stored around them are gone (their disk space
// is given back) and new ones are stored.
TEST(Spool, givesBackEachPiecesBytesWhateverHappensToTheOthers)
{
    TempDir tmp;
    TmpdirScope scope(tmp.native());
    const std::vector<std::size_t> sizes{0, 1, 4096, 65536, 65537, 300000};
    std::vector<std::string> originals;
    std::vector<std::shared_ptr<const Spool::Piece>> pieces;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        originals.push_back(bytes_of(sizes[i], static_cast<unsigned>(i)));
        pieces.push_back(Spool::store(originals.back(), 1000 + i));
        ASSERT_TRUE(pieces.back()) << sizes[i];
    }
    // Every other one dropped, a new one stored in their place.
    for (std::size_t i = 1; i < pieces.size(); i += 2)
        pieces[i].reset();
    const std::string later = bytes_of(70000, 99);
    auto after = Spool::store(later, 7);
    ASSERT_TRUE(after);
    EXPECT_EQ(read_whole(*after), later);
    for (std::size_t i = 0; i < pieces.size(); i += 2) {
        const Spool::Piece& piece = *pieces[i];
        EXPECT_EQ(piece.size(), sizes[i]);
        EXPECT_EQ(piece.hash(), 1000 + i);
        EXPECT_TRUE(read_whole(piece) == originals[i]) << sizes[i];
        std::size_t blocks = 0;
        EXPECT_TRUE(read_in_blocks(piece, blocks) == originals[i]) << sizes[i];
        EXPECT_EQ(blocks, (sizes[i] + 65535) / 65536) << sizes[i];
        std::string head;
        ASSERT_TRUE(piece.read_head(10, head));
        EXPECT_EQ(head, originals[i].substr(0, 10)) << sizes[i];
    }
}

// The spool has no name: nothing is left in the folder, even while it is in use.
TEST(Spool, leavesNothingInTheTemporaryFolder)
{
    TempDir tmp;
    TmpdirScope scope(tmp.native());
    auto piece = Spool::store("art", 1);
    ASSERT_TRUE(piece);
    std::vector<std::string> names;
    ASSERT_TRUE(platform::read_dir(tmp.path().str(), names));
    for (const std::string& name : names)
        EXPECT_TRUE(name == "." || name == "..") << name;
}

// A folder that cannot hold it gives no piece: the caller keeps the bytes itself.
TEST(Spool, givesNoPieceWhenTheTemporaryFolderIsUnusable)
{
    TempDir tmp;
    TmpdirScope scope(platform::native(tmp / "missing"));
    EXPECT_FALSE(Spool::store("art", 1));
}

// A forked process (the benchmarks' children) stores its pieces apart: it
// and its parent would otherwise write their next pieces at the same place.
// Dropping a piece it inherited leaves the parent's bytes alone.
TEST(Spool, aForkedProcessStoresInASpoolOfItsOwn)
{
    TempDir tmp;
    TmpdirScope scope(tmp.native());
    auto before = Spool::store(bytes_of(1000, 1), 1);
    ASSERT_TRUE(before);
    int stored[2], written[2];
    ASSERT_EQ(::pipe(stored), 0);
    ASSERT_EQ(::pipe(written), 0);
    const std::string mine = bytes_of(5000, 2);
    const std::string theirs = bytes_of(5000, 3);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        before.reset(); // the parent's piece, not the child's to free
        auto piece = Spool::store(mine, 2);
        char c = 0;
        bool ok = piece && ::write(stored[1], "s", 1) == 1 && ::read(written[0], &c, 1) == 1;
        std::string back;
        ok = ok && piece->read(back) && back == mine;
        ::_exit(ok ? 0 : 1);
    }
    char c = 0;
    ASSERT_EQ(::read(stored[0], &c, 1), 1);
    auto parents = Spool::store(theirs, 3);
    ASSERT_EQ(::write(written[1], "w", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child's piece was overwritten";
    ASSERT_TRUE(parents);
    EXPECT_TRUE(read_whole(*parents) == theirs);
    EXPECT_TRUE(read_whole(*before) == bytes_of(1000, 1));
    for (int fd : {stored[0], stored[1], written[0], written[1]})
        ::close(fd);
}

} // namespace
} // namespace velmora
