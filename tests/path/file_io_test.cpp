// Reading a file whole and replacing one in a single step: the old file or
// the new one, never a part, and no temporary file left behind on failure.
#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>
#include <unistd.h>

#include "path/file_io.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;

TEST(ReadWholeFile, readsEveryByteOfAFileLargerThanOneBlock)
{
    TempDir dir;
    std::string bytes(200000, 'x');
    bytes[70000] = '\0';
    bytes.back() = '\n';
    write_file(dir / "big.dds", bytes);

    std::string read = "left over";
    ASSERT_EQ(read_whole_file(dir / "big.dds", read), 0);
    EXPECT_EQ(read, bytes);
    ASSERT_EQ(read_whole_file(dir / "big.dds", read), 0);
    EXPECT_EQ(read.size(), bytes.size()) << "a second read replaces, not appends";
}

TEST(ReadWholeFile, aMissingFileOrAFolderIsAFailureWithItsReason)
{
    TempDir dir;
    mkpath(dir / "folder", 0755);
    std::string read = "left over";

    EXPECT_EQ(read_whole_file(dir / "missing.xml", read), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(read_whole_file(dir / "folder", read), -1);
    EXPECT_EQ(errno, EISDIR);
    EXPECT_EQ(read, "");
}

class WriteFileAtomically : public ::testing::TestWithParam<Flush> {
protected:
    TempDir dir;
    Path file = dir / "conf";
};

TEST_P(WriteFileAtomically, replacesTheFileAndLeavesNoTemporaryName)
{
    write_file(file, "old and longer");

    ASSERT_EQ(write_file_atomically(file, "new", GetParam()), 0);

    EXPECT_EQ(read_file(file), "new");
    EXPECT_FALSE(exists(temporary_name(file)));
    ASSERT_EQ(write_file_atomically(dir / "fresh", "made", GetParam()), 0);
    EXPECT_EQ(read_file(dir / "fresh"), "made");
}

TEST_P(WriteFileAtomically, aLeftoverOrALinkAtTheTemporaryNameIsNeverWrittenThrough)
{
    write_file(dir / "elsewhere", "keep me");
    ASSERT_EQ(::symlink((dir.native() + "/elsewhere").c_str(), platform::native(temporary_name(file)).c_str()), 0);

    ASSERT_EQ(write_file_atomically(file, "new", GetParam()), 0);

    EXPECT_EQ(read_file(file), "new");
    EXPECT_EQ(read_file(dir / "elsewhere"), "keep me");
    EXPECT_EQ(platform::kind_of(file.str()), platform::Kind::File);
}

TEST_P(WriteFileAtomically, aFailedWriteLeavesTheOldFileAndNoTemporaryFile)
{
    write_file(file, "old");

    // The stream fails part way (a full disk).
    EXPECT_EQ(write_file_atomically(
                  file,
                  [](std::ostream& out) {
                      out << "half";
                      out.setstate(std::ios::badbit);
                  },
                  GetParam()),
        -1);
    EXPECT_NE(errno, 0);
    // The writer itself gives up: its exception passes through.
    EXPECT_THROW(write_file_atomically(
                     file,
                     [](std::ostream& out) {
                         out << "half";
                         throw std::runtime_error("no more");
                     },
                     GetParam()),
        std::runtime_error);
    // The name is a folder: the rename fails.
    mkpath(dir / "taken", 0755);
    write_file(dir / "taken\\inside", "x");
    EXPECT_EQ(write_file_atomically(dir / "taken", "bytes", GetParam()), -1);
    // No folder to write in.
    EXPECT_EQ(write_file_atomically(dir / "missing\\conf", "bytes", GetParam()), -1);
    EXPECT_EQ(errno, ENOENT);

    EXPECT_EQ(read_file(file), "old");
    EXPECT_EQ(list_files(dir.path()), (std::list<std::string>{"conf", "taken"}));
}

INSTANTIATE_TEST_SUITE_P(Flushes, WriteFileAtomically, ::testing::Values(Flush::ToDisk, Flush::Later),
    [](const auto& info) { return std::string(info.param == Flush::ToDisk ? "toDisk" : "later"); });

} // namespace
} // namespace velmora
