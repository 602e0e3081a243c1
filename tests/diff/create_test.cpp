#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>

#include "tests/diff/diff_support.h"

using velmora::Diff;
using namespace velmora::test;

namespace {

// l0 .. l19 with the given lines replaced by their upper-case form ("L5").
std::string twenty_with(std::initializer_list<unsigned int> changed)
{
    std::string out;
    for (unsigned int n = 0; n < 20; ++n) {
        bool c = std::find(changed.begin(), changed.end(), n) != changed.end();
        out += (c ? "L" : "l") + std::to_string(n) + "\n";
    }
    return out;
}

struct CreateCase {
    const char* name;
    std::string old_text;
    std::string new_text;
    std::string diff;
    // What applying the diff to the old text gives, when not the new text.
    std::optional<std::string> applied = std::nullopt;
};

class DiffCreate : public testing::TestWithParam<CreateCase> { };

TEST_P(DiffCreate, writesTheExpectedDifferenceAndItTurnsOldIntoNew)
{
    const CreateCase& c = GetParam();
    Diff d = create_diff(c.old_text, c.new_text);
    EXPECT_EQ(write_diff(d), c.diff);
    EXPECT_EQ(check_diff(d, c.old_text), 0);
    EXPECT_EQ(apply_diff(d, c.old_text), c.applied.value_or(c.new_text));
    EXPECT_EQ(read_diff(write_diff(d)).blocks, d.blocks);
}

INSTANTIATE_TEST_SUITE_P(Examples, DiffCreate,
    testing::Values(CreateCase{"equalTexts", numbered(0, 20), numbered(0, 20), ""},
        // Applying keeps the file's line ends, so a diff needs none of its own.
        CreateCase{"windowsLineEndsEqualUnixOnes", "a\r\nb\r\nc\r\n", "a\nb\nc\n", "", "a\r\nb\r\nc\r\n"},
        CreateCase{
            "windowsLineEnds", "a\r\nb\r\nc\r\n", "a\r\nB\r\nc\r\n", "@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n"},
        CreateCase{"oneReplacedLine", lines({"a", "b", "c"}), lines({"a", "B", "c"}),
            "@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n"},
        // A final line without a line end differs from the same line with one.
        CreateCase{"oldWithoutFinalLineFeed", "a\nb\nc", lines({"a", "B", "c"}),
            "@@ -1,3 +1,3 @@\n a\n-b\n-c\n\\ No newline at end of file\n+B\n+c\n"},
        CreateCase{"bothWithoutFinalLineFeed", "a\nb\nc", "a\nB\nc",
            "@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n\\ No newline at end of file\n"},
        CreateCase{"bothWithoutFinalLineEndWindows", "a\r\nb\r\nc", "a\r\nB\r\nc",
            "@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n\\ No newline at end of file\n"},
        CreateCase{"finalLineFeedRemoved", lines({"a", "b"}), "a\nb",
            "@@ -1,2 +1,2 @@\n a\n-b\n+b\n\\ No newline at end of file\n"},
        CreateCase{"finalLineFeedAdded", "a\nb", lines({"a", "b"}),
            "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n"},
        CreateCase{
            "oneLineWithoutEndFromNothing", "", "x", "@@ -1,0 +1,1 @@\n+x\n\\ No newline at end of file\n"},
        CreateCase{"lineNineOfTwenty", numbered(0, 20), twenty_with({9}),
            "@@ -7,7 +7,7 @@\n l6\n l7\n l8\n-l9\n+L9\n l10\n l11\n l12\n"},
        // Fewer than six equal lines between two changes: one change that
        // removes and adds the equal lines again.
        CreateCase{"linesFiveAndEightInOneBlock", numbered(0, 20), twenty_with({5, 8}),
            "@@ -3,10 +3,10 @@\n l2\n l3\n l4\n-l5\n-l6\n-l7\n-l8\n+L5\n+l6\n+l7\n+L8\n l9\n l10\n l11\n"},
        CreateCase{"sixEqualLinesMakeTwoBlocks", numbered(0, 20), twenty_with({5, 12}),
            "@@ -3,7 +3,7 @@\n l2\n l3\n l4\n-l5\n+L5\n l6\n l7\n l8\n"
            "@@ -10,7 +10,7 @@\n l9\n l10\n l11\n-l12\n+L12\n l13\n l14\n l15\n"},
        CreateCase{"noOldLinesTwoNew", "", lines({"x", "y"}), "@@ -1,0 +1,2 @@\n+x\n+y\n"},
        CreateCase{"emptyLinesAtTheEnd", lines({"a", "b"}), lines({"a", "b", "", "", "", "", "x"}),
            "@@ -4,3 +4,4 @@\n \n \n \n+x\n"},
        CreateCase{"lastThreeLinesDeleted", numbered(0, 10), numbered(0, 7),
            "@@ -5,6 +5,3 @@\n l4\n l5\n l6\n-l7\n-l8\n-l9\n"},
        CreateCase{"emptyLineAddedToARunAfterARemovedLine", numbered(0, 10) + "\n\n\n" + numbered(0, 10, "m"),
            numbered(0, 4) + numbered(5, 10) + "\n\n\n\n" + numbered(0, 10, "m"),
            "@@ -2,7 +2,6 @@\n l1\n l2\n l3\n-l4\n l5\n l6\n l7\n@@ -11,6 +10,7 @@\n \n \n \n+\n m0\n m1\n "
            "m2\n"},
        CreateCase{"insertionAtTheStart", numbered(0, 5), "new\n" + numbered(0, 5),
            "@@ -1,3 +1,4 @@\n+new\n l0\n l1\n l2\n"},
        CreateCase{"everythingDifferent", lines({"a", "b"}), lines({"c", "d", "e"}),
            "@@ -1,2 +1,3 @@\n-a\n-b\n+c\n+d\n+e\n"}),
    [](const testing::TestParamInfo<CreateCase>& info) { return info.param.name; });

TEST(DiffCreate, textsDifferingOnlyInEmptyLinesAtTheEndGiveNoBlocks)
{
    EXPECT_TRUE(create_diff(lines({"a", "b"}), lines({"a", "b", "", ""})).blocks.empty());
    EXPECT_TRUE(create_diff(lines({"a", "", "", ""}), lines({"a"})).blocks.empty());
}

// Every fourth line of a long stretch changed: no six equal lines follow a
// change within the search bound, so it ends at a three-line match and the
// next change begins within the context of the last. They go on in one block,
// which applies.
TEST(DiffCreate, changesTooCloseForTheirOwnBlocksContinueThePreviousOne)
{
    std::string old_text = numbered(0, 400);
    std::string new_text;
    std::string expected = "@@ -98,203 +98,203 @@\n";
    for (unsigned int n = 0; n < 400; ++n) {
        std::string l = "l" + std::to_string(n);
        bool changed = n >= 100 && n < 300 && n % 4 == 0;
        new_text += (changed ? "X" + l : l) + "\n";
        if (n >= 97 && n < 196)
            expected += changed ? "-" + l + "\n+X" + l + "\n" : " " + l + "\n";
    }
    // From line 196 on, six equal lines (297 to 302) lie within the search
    // bound: the rest of the stretch becomes one change.
    for (unsigned int n = 196; n < 297; ++n)
        expected += "-l" + std::to_string(n) + "\n";
    for (unsigned int n = 196; n < 297; ++n)
        expected += std::string(n % 4 == 0 ? "+Xl" : "+l") + std::to_string(n) + "\n";
    expected += " l297\n l298\n l299\n";
    Diff d = create_diff(old_text, new_text);
    EXPECT_EQ(write_diff(d), expected);
    EXPECT_EQ(check_diff(d, old_text), 0);
    EXPECT_EQ(check_diff(d, new_text), 2);
    EXPECT_EQ(apply_diff(d, old_text), new_text);
}

// Fewer lines of context than the usual three, down to none: the search for
// where the texts agree again ends (it once never did without context) and
// the difference still turns the old text into the new.
TEST(DiffCreate, withLessContextTheDifferenceStillTurnsOldIntoNew)
{
    struct Pair {
        const char* name;
        std::string old_text, new_text;
    };
    const Pair pairs[] = {
        {"oneReplacedLine", twenty_with({}), twenty_with({7})},
        {"twoChangesApart", twenty_with({}), twenty_with({2, 15})},
        {"adjacentChanges", twenty_with({}), twenty_with({4, 5, 6})},
        {"firstAndLastLine", twenty_with({}), twenty_with({0, 19})},
        {"linesAdded", lines({"a", "b", "c"}), lines({"a", "x", "y", "b", "c"})},
        {"linesRemoved", lines({"a", "b", "c", "d"}), lines({"a", "d"})},
        {"everythingDifferent", lines({"a", "b"}), lines({"c", "d", "e"})},
    };
    for (unsigned int context : {0u, 1u}) {
        for (const Pair& p : pairs) {
            SCOPED_TRACE(std::string(p.name) + ", context " + std::to_string(context));
            std::istringstream o(p.old_text);
            std::istringstream n(p.new_text);
            Diff d;
            d.context = context;
            d.create(o, n);
            EXPECT_FALSE(d.blocks.empty());
            EXPECT_EQ(check_diff(d, p.old_text), 0) << write_diff(d);
            EXPECT_EQ(apply_diff(d, p.old_text), p.new_text) << write_diff(d);
        }
    }
}

} // namespace
