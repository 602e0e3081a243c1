#include <gtest/gtest.h>

#include <sstream>

#include "base/errors.h"
#include "tests/diff/diff_support.h"

using velmora::Diff;
using velmora::GenericError;
using namespace velmora::test;

namespace {

Diff::Block block(unsigned int old_start, unsigned int new_start, std::list<Diff::Line> lines)
{
    Diff::Block b;
    b.old_start = old_start;
    b.new_start = new_start;
    b.lines = std::move(lines);
    return b;
}

TEST(DiffText, writesHeaderWithOneBasedStartsAndCountsThenEachLine)
{
    Diff d;
    d.blocks.push_back(block(2, 2, {{' ', "c"}, {'-', "d"}, {'+', "D"}, {' ', "e"}, {' ', "f"}}));
    d.blocks.push_back(block(0, 0, {{'+', "x"}, {'+', ""}}));
    EXPECT_EQ(write_diff(d),
        "@@ -3,4 +3,4 @@\n c\n-d\n+D\n e\n f\n"
        "@@ -1,0 +1,2 @@\n+x\n+\n");
}

TEST(DiffText, emptyDiffWritesNothing) { EXPECT_EQ(write_diff(Diff()), ""); }

TEST(DiffText, writingThenReadingGivesTheSameBlocks)
{
    Diff d;
    d.blocks.push_back(block(0, 0, {{'+', "x"}, {'+', "y"}}));
    d.blocks.push_back(block(11, 13, {{' ', ""}, {'-', " d\t"}, {'+', "-D"}, {' ', "+e"}}));
    d.blocks.push_back(block(20, 22, {{'-', "z", true}, {'+', "z"}}));
    EXPECT_EQ(read_diff(write_diff(d)).blocks, d.blocks);
    EXPECT_NE(write_diff(d).find("-z\n\\ No newline at end of file\n+z\n"), std::string::npos);
}

struct ReadCase {
    const char* name;
    std::string text;
    std::list<Diff::Block> blocks;
};

class DiffRead : public testing::TestWithParam<ReadCase> { };

TEST_P(DiffRead, placesEveryLineItCanAndIgnoresTheRest)
{
    EXPECT_EQ(read_diff(GetParam().text).blocks, GetParam().blocks);
}

INSTANTIATE_TEST_SUITE_P(Texts, DiffRead,
    testing::Values(ReadCase{"emptyText", "", {}},
        ReadCase{
            "headerWithTrailingText", "@@ -12,5 +13,6 @@ some text\n a\n", {block(11, 12, {{' ', "a"}})}},
        ReadCase{"headerWithoutNewCount", "@@ -3,4 +3 @@\n-a\n", {block(2, 2, {{'-', "a"}})}},
        ReadCase{"blanksAndPlusBeforeNumbers", "@@ - 7,1 ++8,1 @@\n+a\n", {block(6, 7, {{'+', "a"}})}},
        ReadCase{"countsAreNotRead", "@@ -1,4000000000 +1,4000000000 @@\n a\n", {block(0, 0, {{' ', "a"}})}},
        ReadCase{"linesBeforeFirstHeaderIgnored", "--- a.py\n+++ b.py\n a\n@@ -2,1 +2,1 @@\n-b\n+B\n",
            {block(1, 1, {{'-', "b"}, {'+', "B"}})}},
        ReadCase{"otherAndEmptyLinesIgnored", "@@ -1,2 +1,2 @@\n a\n\n\\ No newline at end of file\n*x\n b\n",
            {block(0, 0, {{' ', "a"}, {' ', "b"}})}},
        // The empty context line lost its space (an editor trimmed it): it is dropped.
        ReadCase{"lostSingleSpaceContextLine", "@@ -1,3 +1,3 @@\n a\n\n-c\n+C\n",
            {block(0, 0, {{' ', "a"}, {'-', "c"}, {'+', "C"}})}},
        ReadCase{"noNewlineMarkBelongsToTheLineBefore",
            "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+B\n\\ Kein Zeilenumbruch am "
            "Dateiende.\n",
            {block(0, 0, {{' ', "a"}, {'-', "b", true}, {'+', "B", true}})}},
        ReadCase{"carriageReturnsStayInTheLine", "@@ -1,1 +1,1 @@\r\n a\r\n", {block(0, 0, {{' ', "a\r"}})}},
        ReadCase{"blockWithoutLines", "@@ -4,0 +4,0 @@\n@@ -9,1 +9,1 @@\n x\n",
            {block(3, 3, {}), block(8, 8, {{' ', "x"}})}},
        ReadCase{"largestLineNumber", "@@ -1073741824,0 +1073741824,1 @@\n+a\n",
            {block(1073741823, 1073741823, {{'+', "a"}})}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

struct MalformedCase {
    const char* name;
    std::string text;
    std::string message;
};

class DiffReadMalformed : public testing::TestWithParam<MalformedCase> { };

TEST_P(DiffReadMalformed, refusesTheTextNamingTheHeaderAndKeepsTheBlocks)
{
    Diff d = read_diff("@@ -1,1 +1,1 @@\n a\n");
    const std::list<Diff::Block> before = d.blocks;
    std::istringstream in(GetParam().text);
    try {
        d.read(in);
        FAIL() << "read accepted " << GetParam().text;
    } catch (const GenericError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
    EXPECT_EQ(d.blocks, before);
}

const std::string range = "a line number from 1 to 1073741824.";

INSTANTIATE_TEST_SUITE_P(Texts, DiffReadMalformed,
    testing::Values(
        MalformedCase{"noMinus", "@@ 1,2 +1,2 @@\n",
            "Invalid diff header \"@@ 1,2 +1,2 @@\" at line 1: it has no \"-\" before the old start."},
        MalformedCase{"bareMarker", " a\n@@\n",
            "Invalid diff header \"@@\" at line 2: it has no \"-\" before the old start."},
        MalformedCase{"noCommaAfterOldStart", "@@ -1 +1 @@\n",
            "Invalid diff header \"@@ -1 +1 @@\" at line 1: it has no \",\" after the old start."},
        MalformedCase{"noPlus", "@@ -1,2 @@\n",
            "Invalid diff header \"@@ -1,2 @@\" at line 1: it has no \"+\" before the new start."},
        MalformedCase{"endsAfterMinus", "@@ -",
            "Invalid diff header \"@@ -\" at line 1: it has no \",\" after the old start."},
        MalformedCase{"endsAfterPlus", "@@ -1,1 +",
            "Invalid diff header \"@@ -1,1 +\" at line 1: the new start is not " + range},
        MalformedCase{"oldStartZero", "@@ -0,2 +1,2 @@\n",
            "Invalid diff header \"@@ -0,2 +1,2 @@\" at line 1: the old start is not " + range},
        MalformedCase{"newStartZero", "@@ -1,2 +0,2 @@\n",
            "Invalid diff header \"@@ -1,2 +0,2 @@\" at line 1: the new start is not " + range},
        MalformedCase{"oldStartNotANumber", "@@ -x,2 +1,2 @@\n",
            "Invalid diff header \"@@ -x,2 +1,2 @@\" at line 1: the old start is not " + range},
        MalformedCase{"oldStartEmpty", "@@ -,2 +1,2 @@\n",
            "Invalid diff header \"@@ -,2 +1,2 @@\" at line 1: the old start is not " + range},
        MalformedCase{"oldStartNegative", "@@ --5,2 +1,2 @@\n",
            "Invalid diff header \"@@ --5,2 +1,2 @@\" at line 1: the old start is not " + range},
        MalformedCase{"newStartNotANumber", "@@ -1,2 +y,2 @@\n",
            "Invalid diff header \"@@ -1,2 +y,2 @@\" at line 1: the new start is not " + range},
        MalformedCase{"oldStartJustTooLarge", "@@ -1073741825,1 +1,1 @@\n",
            "Invalid diff header \"@@ -1073741825,1 +1,1 @@\" at line 1: the old start is not " + range},
        MalformedCase{"oldStartOverflowsUnsigned", "@@ -4294967297,1 +1,1 @@\n",
            "Invalid diff header \"@@ -4294967297,1 +1,1 @@\" at line 1: the old start is not " + range},
        MalformedCase{"newStartOverflowsEverything", "@@ -1,1 +99999999999999999999999999,1 @@\n",
            "Invalid diff header \"@@ -1,1 +99999999999999999999999999,1 @@\" at line 1: the new start is "
            "not "
                + range},
        MalformedCase{"blockReachesPastLineLimit", "@@ -1073741824,1 +1,1 @@\n+a\n a\n",
            "Invalid diff header \"@@ -1073741824,1 +1,1 @@\" at line 1: its block reaches beyond line "
            "1073741824."},
        MalformedCase{"laterHeaderBad", "@@ -1,1 +1,1 @@\n a\n b\n@@ -2,1 +2,1\n c\n@@ -x\n",
            "Invalid diff header \"@@ -x\" at line 6: it has no \",\" after the old start."}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return info.param.name; });

TEST(DiffText, quotesOnlyTheBeginningOfAHugeBadHeader)
{
    std::string header = "@@ -" + std::string(1 << 20, '9');
    Diff d;
    std::istringstream in(header);
    try {
        d.read(in);
        FAIL();
    } catch (const GenericError& e) {
        EXPECT_EQ(std::string(e.what()),
            "Invalid diff header \"" + header.substr(0, 60)
                + "...\" at line 1: it has no \",\" after the old start.");
    }
}

} // namespace
