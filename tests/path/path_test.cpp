#include <gtest/gtest.h>

#include <vector>

#include "path/path.h"
#include "support/case_name.h"

using velmora::Path;

namespace {

std::vector<std::string> components(const Path& p)
{
    std::vector<std::string> out;
    for (auto it = p.begin(); it != p.end(); ++it)
        out.push_back(*it);
    return out;
}

std::vector<std::string> components_backwards(const Path& p)
{
    std::vector<std::string> out;
    auto it = p.end();
    auto first = p.begin();
    do {
        --it;
        out.insert(out.begin(), *it);
    } while (it != first);
    return out;
}

struct InitCase {
    std::string input;
    std::string text;
    std::vector<std::string> parts;
    unsigned size;
    bool absolute;
};

class PathInit : public testing::TestWithParam<InitCase> { };

TEST_P(PathInit, normalisesTextAndSplitsComponents)
{
    const InitCase& c = GetParam();
    Path p(c.input);
    EXPECT_EQ(p.str(), c.text);
    EXPECT_EQ(components(p), c.parts);
    EXPECT_EQ(components_backwards(p), c.parts);
    EXPECT_EQ(p.size(), c.size);
    EXPECT_EQ(p.is_absolute(), c.absolute);
}

INSTANTIATE_TEST_SUITE_P(Examples, PathInit,
    testing::Values(InitCase{"C:/Games//Civ4/", "C:\\Games\\Civ4\\", {"C:", "Games", "Civ4", ""}, 4, true},
        InitCase{"C:\\Games\\Civ4", "C:\\Games\\Civ4", {"C:", "Games", "Civ4"}, 3, true},
        // On POSIX a leading slash roots the path like a backslash.
        InitCase{"/a/b", "\\a\\b", {"\\", "a", "b"}, 3, true}, InitCase{"\\\\a", "\\a", {"\\", "a"}, 2, true},
        InitCase{"\\", "\\", {"\\"}, 1, true}, InitCase{"\\\\", "\\", {"\\"}, 1, true},
        InitCase{"/", "\\", {"\\"}, 1, true}, InitCase{"", "", {""}, 0, false},
        InitCase{"C:", "C:", {"C:"}, 1, true}, InitCase{"C:\\", "C:\\", {"C:", ""}, 2, true},
        InitCase{"C:x\\y", "C:x\\y", {"C:x", "y"}, 2, false},
        InitCase{"a\\b\\", "a\\b\\", {"a", "b", ""}, 3, false},
        InitCase{"a//b///c", "a\\b\\c", {"a", "b", "c"}, 3, false},
        InitCase{"a/./../b", "a\\.\\..\\b", {"a", ".", "..", "b"}, 4, false},
        InitCase{"Assets\\XML\\Things", "Assets\\XML\\Things", {"Assets", "XML", "Things"}, 3, false}),
    ::velmora::test::CaseNameBy<&InitCase::input>());

struct IndexCase {
    std::string path;
    int index;
    std::string component;
};

class PathIndex : public testing::TestWithParam<IndexCase> { };

TEST_P(PathIndex, countsFromEitherEnd)
{
    EXPECT_EQ(Path(GetParam().path)[GetParam().index], GetParam().component);
}

INSTANTIATE_TEST_SUITE_P(Examples, PathIndex,
    testing::Values(IndexCase{"a\\b\\c", 0, "a"}, IndexCase{"a\\b\\c", 2, "c"}, IndexCase{"a\\b\\c", 3, ""},
        IndexCase{"a\\b\\c", 5, ""}, IndexCase{"a\\b\\c", -1, "c"}, IndexCase{"a\\b\\c", -3, "a"},
        IndexCase{"a\\b\\c", -4, ""}, IndexCase{"C:/Games//Civ4/", -1, ""},
        IndexCase{"C:/Games//Civ4/", -2, "Civ4"}, IndexCase{"\\", -1, "\\"}, IndexCase{"\\a", 0, "\\"},
        IndexCase{"", -1, ""}, IndexCase{"", 0, ""}),
    ::velmora::test::CaseNameBy<&IndexCase::path>());

struct JoinCase {
    std::string left;
    std::vector<std::string> right;
    std::string result;
};

class PathJoin : public testing::TestWithParam<JoinCase> { };

TEST_P(PathJoin, resolvesDotsDrivesAndRoots)
{
    Path p(GetParam().left);
    for (const auto& r : GetParam().right)
        p /= Path(r);
    EXPECT_EQ(p.str(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Examples, PathJoin,
    testing::Values(JoinCase{"C:", {"x"}, "C:\\x"}, JoinCase{"C:\\a", {"..", "b"}, "C:\\b"},
        JoinCase{"a\\b", {"D:\\x"}, "D:\\x"}, JoinCase{"a\\b", {"\\x"}, "\\x"}, JoinCase{"a", {""}, "a\\"},
        JoinCase{"a\\b", {".."}, "a"}, JoinCase{"a", {".."}, ""}, JoinCase{"\\a", {".."}, "\\"},
        JoinCase{"\\", {".."}, "\\"}, JoinCase{"C:\\", {".."}, "C:\\"}, JoinCase{"C:", {".."}, "C:"},
        JoinCase{"", {".."}, ""}, JoinCase{"a", {"."}, "a"}, JoinCase{"", {"x\\y"}, "x\\y"},
        JoinCase{"\\", {"x"}, "\\x"}, JoinCase{"C:\\", {"x"}, "C:\\x"}, JoinCase{"a\\", {"b"}, "a\\b"},
        JoinCase{"a\\b\\c", {"..\\..\\d"}, "a\\d"}, JoinCase{"a", {"..\\..\\x"}, "x"}),
    ::velmora::test::CaseNameBy<&JoinCase::left>());

TEST(Path, equalityIgnoresLetterCaseOnly)
{
    EXPECT_TRUE(Path("a\\b") == Path("A\\B"));
    EXPECT_FALSE(Path("a\\b") == Path("a\\b\\"));
    EXPECT_FALSE(Path("C:") == Path("C:\\"));
    EXPECT_TRUE(Path("a/b") == Path("a\\b"));
}

TEST(Path, subpathTakesComponentsAsPaths)
{
    EXPECT_EQ(Path("\\a\\b\\c").subpath(0, 3).str(), "\\a\\b");
    EXPECT_EQ(Path("C:\\a\\b").subpath(0, 1).str(), "C:");
    EXPECT_EQ(Path("C:\\a\\b").subpath(0, 2).str(), "C:\\a");
    EXPECT_EQ(Path("a\\b\\c").subpath(1, 5).str(), "b\\c");
    EXPECT_EQ(Path("a\\b\\c").subpath(7, 1).str(), "");
    EXPECT_EQ(Path("a\\..\\c").subpath(0, 3).str(), "c");
    EXPECT_EQ(Path("a\\b\\.\\c").subpath(1, 3).str(), "b\\c");
    EXPECT_EQ(Path("a\\C:\\b").subpath(0, 3).str(), "C:\\b");
    EXPECT_EQ(Path("a\\C:\\b").subpath(1, 2).str(), "C:\\b");
    EXPECT_EQ(Path("\\").subpath(0, 1).str(), "\\");
    EXPECT_EQ(Path("C:").subpath(0, 4).str(), "C:");
    Path file("Assets\\XML\\Units\\Civ4UnitInfos.xml");
    EXPECT_EQ(file.subpath(0, file.size() - 1).str(), "Assets\\XML\\Units");
}

TEST(Path, driveTestNeedsALetterAndAColon)
{
    EXPECT_TRUE(velmora::is_windows_drive("C:"));
    EXPECT_TRUE(velmora::is_windows_drive("z:"));
    EXPECT_FALSE(velmora::is_windows_drive("1:"));
    EXPECT_FALSE(velmora::is_windows_drive("C:\\"));
    EXPECT_FALSE(velmora::is_windows_drive("\xc3\xa9:"));
}

} // namespace
