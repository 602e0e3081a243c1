#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

#include "path/fs.h"
#include "path/platform.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::TempDir;
using test::write_file;

// Runs a body with the current folder set to dir, as fix_case searches from there.
class InFolder {
public:
    explicit InFolder(const TempDir& dir)
    {
        char buf[4096];
        old_ = getcwd(buf, sizeof buf) ? buf : "/";
        EXPECT_EQ(chdir(dir.native().c_str()), 0);
    }
    ~InFolder() { (void)chdir(old_.c_str()); }

private:
    std::string old_;
};

TEST(FileSystem, existsTellsFilesAndFoldersFromNothing)
{
    TempDir dir;
    write_file(dir / "a\\file.txt", "x");
    EXPECT_TRUE(exists(dir.path()));
    EXPECT_TRUE(exists(dir / "a"));
    EXPECT_TRUE(exists(dir / "a\\file.txt"));
    EXPECT_FALSE(exists(dir / "a\\missing.txt"));
    EXPECT_FALSE(exists(Path()));
}

TEST(FileSystem, mkpathCreatesEveryMissingFolder)
{
    TempDir dir;
    Path deep = dir / "New\\A\\B";
    EXPECT_EQ(mkpath(deep, 0755), 0);
    bool is_folder = false;
    ASSERT_EQ(platform::stat(deep.str(), &is_folder), 0);
    EXPECT_TRUE(is_folder);
    EXPECT_EQ(mkpath(deep, 0755), 0) << "existing folders are no error";
}

TEST(FileSystem, mkpathOverAFileFailsWithEexist)
{
    TempDir dir;
    write_file(dir / "file", "x");
    errno = 0;
    EXPECT_EQ(mkpath(dir / "file\\sub", 0755), -1);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(test::read_file(dir / "file"), "x");
}

TEST(FileSystem, fixCaseTakesTheDiskLetterCaseUntilTheFirstMissingName)
{
    TempDir dir;
    ASSERT_EQ(mkpath(dir / "Assets\\XML\\Things", 0755), 0);
    InFolder here(dir);
    EXPECT_EQ(fix_case(Path("assets\\xml\\things.xml")).str(), "Assets\\XML\\things.xml");
    EXPECT_EQ(fix_case(Path("ASSETS\\xml\\THINGS")).str(), "Assets\\XML\\Things");
    EXPECT_EQ(fix_case(Path("missing\\xml")).str(), "missing\\xml") << "nothing after a miss is searched";
    EXPECT_EQ(fix_case(Path("C:\\Assets")).str(), "C:\\Assets") << "a drive is not found as a name";
}

TEST(FileSystem, fixCaseWorksOnRootedPaths)
{
    TempDir dir;
    write_file(dir / "Assets\\XML\\Civ4UnitInfos.xml", "<x/>");
    Path asked(dir.path().str() + "\\assets\\xml\\CIV4UNITINFOS.XML");
    EXPECT_EQ(fix_case(asked).str(), (dir / "Assets\\XML\\Civ4UnitInfos.xml").str());
}

TEST(FileSystem, listFilesGivesSortedNamesWithoutDots)
{
    TempDir dir;
    EXPECT_TRUE(list_files(dir.path()).empty());
    EXPECT_TRUE(list_files(dir / "missing").empty());
    for (const char* name : {"b.Pellarix", "a.Pellarix", ".hidden", "Z"})
        write_file(dir / name, "");
    mkpath(dir / "folder", 0755);
    std::list<std::string> expected{".hidden", "Z", "a.Pellarix", "b.Pellarix", "folder"};
    EXPECT_EQ(list_files(dir.path()), expected);
}

TEST(FileSystem, rmdirRemovesBottomUp)
{
    TempDir dir;
    write_file(dir / "top\\a.txt", "a");
    write_file(dir / "top\\sub\\deeper\\b.txt", "b");
    EXPECT_NE(rmdir(dir / "top", false), 0) << "a folder with contents needs recursive";
    EXPECT_EQ(rmdir(dir / "top", true), 0);
    EXPECT_FALSE(exists(dir / "top"));
}

TEST(FileSystem, rmdirStopsAtTheFirstFailure)
{
    TempDir dir;
    write_file(dir / "top\\a\\x.txt", "x");
    write_file(dir / "top\\b\\y.txt", "y");
    // A name with a backslash cannot be reached through a Path: its removal fails.
    std::string odd = dir.native() + "/top/a/odd\\name";
    FILE* f = fopen(odd.c_str(), "w");
    ASSERT_TRUE(f != nullptr);
    fclose(f);
    EXPECT_NE(rmdir(dir / "top", true), 0);
    EXPECT_TRUE(exists(dir / "top\\b\\y.txt")) << "entries after the failure stay";
    ::unlink(odd.c_str());
}

TEST(FileSystem, rmdirUnlinksSymbolicLinksWithoutFollowingThem)
{
    TempDir dir;
    write_file(dir / "precious\\keep.txt", "keep");
    write_file(dir / "custom\\x.txt", "x");
    ASSERT_EQ(symlink((dir.native() + "/precious").c_str(), (dir.native() + "/custom/link").c_str()), 0);
    EXPECT_EQ(rmdir(dir / "custom", true), 0);
    EXPECT_FALSE(exists(dir / "custom"));
    EXPECT_EQ(test::read_file(dir / "precious\\keep.txt"), "keep");
}

TEST(FileSystem, childPathKeepsOddNamesInsideTheFolder)
{
    EXPECT_EQ(child_path(Path("\\a"), "C:").str(), "\\a\\C:");
    EXPECT_EQ(child_path(Path("\\a\\"), "b").str(), "\\a\\b");
    EXPECT_EQ(child_path(Path(), "C:x").str(), ".\\C:x");
}

} // namespace
} // namespace velmora
