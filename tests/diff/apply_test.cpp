#include <gtest/gtest.h>

#include <optional>

#include "base/errors.h"
#include "tests/diff/diff_support.h"

using velmora::ConflictError;
using velmora::Diff;
using namespace velmora::test;

namespace {

const std::nullopt_t THROWS = std::nullopt;

struct ApplyCase {
    const char* name;
    std::string diff;
    std::string input;
    int check;
    std::optional<std::string> output; // THROWS: apply throws "Unable to apply diff"
};

class DiffApply : public testing::TestWithParam<ApplyCase> { };

TEST_P(DiffApply, checkAndApplyAgree)
{
    const ApplyCase& c = GetParam();
    Diff d = read_diff(c.diff);
    EXPECT_EQ(check_diff(d, c.input), c.check);
    if (c.output) {
        EXPECT_EQ(apply_diff(d, c.input), *c.output);
        return;
    }
    try {
        apply_diff(d, c.input);
        FAIL() << "apply succeeded";
    } catch (const ConflictError& e) {
        EXPECT_STREQ(e.what(), "Unable to apply diff");
    }
}

// Line 9 of l0 .. l19 replaced by L9.
const std::string line_nine = "@@ -7,7 +7,7 @@\n l6\n l7\n l8\n-l9\n+L9\n l10\n l11\n l12\n";
const std::string abc = "@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n";
const std::string two_blocks = "@@ -3,7 +3,7 @@\n l2\n l3\n l4\n-l5\n+L5\n l6\n l7\n l8\n"
                               "@@ -10,7 +10,7 @@\n l9\n l10\n l11\n-l12\n+L12\n l13\n l14\n l15\n";
// "x y" recorded at line 5 (0-based); "new" goes between them.
const std::string xy = "@@ -6,2 +6,3 @@\n x\n+new\n y\n";

std::string with(const std::string& text, const std::string& from, const std::string& to)
{
    std::string out = text;
    size_t at = out.find(from);
    return at == std::string::npos ? out : out.replace(at, from.size(), to);
}

const std::string twenty = numbered(0, 20);
const std::string twenty_nine = with(twenty, "l9\n", "L9\n");
const std::string twenty_five_twelve = with(with(twenty, "l5\n", "L5\n"), "l12\n", "L12\n");
const std::string extra = numbered(0, 5, "extra");
const std::string run_old = numbered(0, 10) + "\n\n\n" + numbered(0, 10, "m");
const std::string run_new = with(numbered(0, 10), "l4\n", "") + "\n\n\n\n" + numbered(0, 10, "m");
const std::string run_diff = "@@ -2,7 +2,6 @@\n l1\n l2\n l3\n-l4\n l5\n l6\n l7\n"
                             "@@ -11,6 +10,7 @@\n \n \n \n+\n m0\n m1\n m2\n";

INSTANTIATE_TEST_SUITE_P(Cases, DiffApply,
    testing::Values(ApplyCase{"atTheRecordedLine", line_nine, twenty, 0, twenty_nine},
        ApplyCase{"fiveLinesInsertedBefore", line_nine, extra + twenty, 0, (extra + twenty_nine)},
        ApplyCase{
            "threeLinesRemovedBefore", line_nine, numbered(3, 20), 0, with(numbered(3, 20), "l9\n", "L9\n")},
        ApplyCase{"removedLineNoLongerMatches", line_nine, with(twenty, "l9\n", "l9 changed\n"), 1, THROWS},
        ApplyCase{"contextLineNoLongerMatches", line_nine, with(twenty, "l11\n", "l11 changed\n"), 1, THROWS},
        // Line ends are the file's: Windows ones stay, added lines take them
        // too, and a file without a final line end keeps lacking one.
        ApplyCase{"noFinalLineFeed", abc, "a\nb\nc", 0, "a\nB\nc"},
        ApplyCase{"windowsLineEnds", abc, "a\r\nb\r\nc\r\nd\r\n", 0, "a\r\nB\r\nc\r\nd\r\n"},
        ApplyCase{
            "windowsLineEndsWithoutAFinalOne", "@@ -1,2 +1,3 @@\n a\n+x\n b\n", "a\r\nb", 0, "a\r\nx\r\nb"},
        ApplyCase{"addedLinesTakeTheEndOfTheLineBefore", "@@ -2,2 +2,3 @@\n b\n+x\n c\n", "a\nb\r\nc\n", 0,
            "a\nb\r\nx\r\nc\n"},
        ApplyCase{"blockPastTheEndOfAWindowsFile", "@@ -4,3 +4,4 @@\n \n \n \n+x\n", "a\r\nb\r\n", 0,
            "a\r\nb\r\n\r\n\r\n\r\n\r\nx\r\n"},
        ApplyCase{"replacedLineKeepsItsLineEnd", abc, "a\r\nb\nc\r\n", 0, "a\r\nB\nc\r\n"},
        ApplyCase{"emptyDiffCopiesTheInput", "", "a\r\nb", 0, "a\r\nb"},
        ApplyCase{"carriageReturnAtTheVeryEndIsKept", "@@ -1,1 +1,2 @@\n a\n+x\n", "a\nb\r", 0, "a\nx\nb\r"},
        // The last line changed by a diff that does not say how the file ends
        // (one from an earlier version): it ends as the file did.
        ApplyCase{"lastLineReplacedWithoutMark", "@@ -2,2 +2,2 @@\n b\n-c\n+C\n", "a\nb\nc", 0, "a\nb\nC"},
        ApplyCase{"lastLineReplacedWithoutMarkWindows", "@@ -2,2 +2,2 @@\n b\n-c\n+C\n", "a\r\nb\r\nc", 0,
            "a\r\nb\r\nC"},
        // Marked: the final line end is added, removed or kept as the diff says.
        ApplyCase{"finalLineEndAdded", "@@ -2,2 +2,2 @@\n b\n-c\n\\ No newline at end of file\n+c\n",
            "a\nb\nc", 0, "a\nb\nc\n"},
        ApplyCase{"finalLineEndAddedAlreadyApplied",
            "@@ -2,2 +2,2 @@\n b\n-c\n\\ No newline at end of file\n+c\n", "a\nb\nc\n", 2, "a\nb\nc\n"},
        ApplyCase{"finalLineEndRemoved", "@@ -2,2 +2,2 @@\n b\n-c\n+c\n\\ No newline at end of file\n",
            "a\r\nb\r\nc\r\n", 0, "a\r\nb\r\nc"},
        ApplyCase{"finalLineEndRemovedAlreadyApplied",
            "@@ -2,2 +2,2 @@\n b\n-c\n+c\n\\ No newline at end of file\n", "a\nb\nc", 2, "a\nb\nc"},
        ApplyCase{"lastLineWithoutEndReplacedByTwo",
            "@@ -1,2 +1,3 @@\n a\n-b\n\\ No newline at end of file\n+B\n+b\n\\ No newline at end of file\n",
            "a\r\nb", 0, "a\r\nB\r\nb"},
        // Another mod added lines after a line the diff knew as the last.
        ApplyCase{"markedLastLineNoLongerLast", "@@ -1,2 +1,2 @@\n a\n-b\n+B\n\\ No newline at end of file\n",
            "a\nb\nc\n", 0, "a\nB\nc\n"},
        ApplyCase{"alreadyApplied", abc, "a\nB\nc\n", 2, THROWS},
        ApplyCase{"twoBlocksApplied", two_blocks, twenty, 0, twenty_five_twelve},
        ApplyCase{"twoBlocksAlreadyApplied", two_blocks, twenty_five_twelve, 2, THROWS},
        ApplyCase{"twoBlocksShiftedAndAlreadyApplied", two_blocks, extra + twenty_five_twelve, 2, THROWS},
        ApplyCase{"onlyTheFirstBlockApplied", two_blocks, with(twenty, "l5\n", "L5\n"), 1, THROWS},
        ApplyCase{"onlyTheSecondBlockApplied", two_blocks, with(twenty, "l12\n", "L12\n"), 1, THROWS},
        // A file with the new text also shows the old side here ("a y y y"):
        // it must read as applied, or applying again would add another "y".
        ApplyCase{"addedLineRepeatsTheContextAfterIt", "@@ -1,4 +1,5 @@\n a\n+y\n y\n y\n y\n",
            "a\ny\ny\ny\ny\nz\n", 2, "a\ny\ny\ny\ny\ny\nz\n"},
        ApplyCase{"addedLineRepeatsTheContextNotYetApplied", "@@ -1,4 +1,5 @@\n a\n+y\n y\n y\n y\n",
            "a\ny\ny\ny\nz\n", 0, "a\ny\ny\ny\ny\nz\n"},
        // After a block that removed a line, an empty line added to a run of
        // them: in the new text the old side stands at the recorded line too,
        // but the new side stands where the first block leads one to expect it.
        ApplyCase{"emptyLineAddedToARun", run_diff, run_old, 0, run_new},
        ApplyCase{"emptyLineAddedToARunAlreadyApplied", run_diff, run_new, 2, THROWS},
        // Lines past the end of a file read as empty lines.
        ApplyCase{"blockPastTheEnd", "@@ -4,3 +4,4 @@\n \n \n \n+x\n", "a\nb\n", 0, "a\nb\n\n\n\n\nx\n"},
        ApplyCase{"blockPastTheEndAlreadyApplied", "@@ -4,3 +4,4 @@\n \n \n \n+x\n", "a\nb\n\n\n\n\nx\n", 2,
            "a\nb\n\n\n\n\nx\nx\n"},
        ApplyCase{"onlyAddedLines", "@@ -3,0 +3,1 @@\n+x\n", "a\nb\nc\n", 0, "a\nb\nx\nc\n"},
        ApplyCase{
            "onlyAddedLinesAlreadyApplied", "@@ -3,0 +3,1 @@\n+x\n", "a\nb\nx\nc\n", 2, "a\nb\nx\nx\nc\n"},
        // A block whose context repeats lines of the block before it (as a
        // damaged or foreign diff may hold) cannot follow it.
        ApplyCase{"blockStartingInsideThePreviousOne",
            "@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n@@ -2,3 +2,3 @@\n b\n c\n-d\n+D\n", "a\nb\nc\nd\n", 1, THROWS},
        // Absurd line numbers from a damaged mod: no billion empty lines are
        // written; the block goes where its lines stand, if anywhere.
        ApplyCase{"contextFarPastTheEnd", "@@ -1000000000,1 +1000000000,2 @@\n z\n+x\n", "a\n", 1, THROWS},
        ApplyCase{"contextFarPastTheEndFoundInTheFile", "@@ -1000000000,1 +1000000000,2 @@\n a\n+x\n",
            "a\nb\n", 0, "a\nx\nb\n"},
        ApplyCase{"addedLinesFarPastTheEnd", "@@ -1000000000,0 +1,1 @@\n+x\n", "a\n", 1, THROWS},
        // The nearest place wins, after before before at the same distance.
        ApplyCase{
            "nearestAfterWinsATie", xy, "0\n1\n2\nx\ny\n5\n6\nx\ny\n", 0, "0\n1\n2\nx\ny\n5\n6\nx\nnew\ny\n"},
        ApplyCase{"nearerBeforeWins", xy, "0\n1\n2\n3\nx\ny\n6\n7\nx\ny\n", 0,
            "0\n1\n2\n3\nx\nnew\ny\n6\n7\nx\ny\n"},
        ApplyCase{"foundFarBefore", xy, "x\ny\n" + numbered(0, 30), 0, ("x\nnew\ny\n" + numbered(0, 30))},
        ApplyCase{"foundFarAfter", xy, numbered(0, 30) + "x\ny\n", 0, (numbered(0, 30) + "x\nnew\ny\n")},
        ApplyCase{"notFoundAnywhere", xy, numbered(0, 30), 1, THROWS},
        // The recorded line lies past the end of a file that lost lines.
        ApplyCase{"fileShrankBelowTheRecordedLine", xy, "x\ny\n", 0, "x\nnew\ny\n"}),
    [](const testing::TestParamInfo<ApplyCase>& info) { return info.param.name; });

// Whatever the recorded line, the search ends at the ends of the input, and
// nothing is written for lines past its end that no block lands on (a search
// that went on would meet the test's time limit).
TEST(DiffApply, absurdLineNumbersAreRefused)
{
    std::string text = numbered(0, 200000);
    for (const char* diff : {"@@ -1073741824,0 +1,1 @@\n+x\n", "@@ -1000000000,1 +1,2 @@\n z\n+x\n"}) {
        Diff d = read_diff(diff);
        EXPECT_EQ(check_diff(d, text), 1) << diff;
        EXPECT_THROW(apply_diff(d, text), ConflictError) << diff;
    }
}

} // namespace
