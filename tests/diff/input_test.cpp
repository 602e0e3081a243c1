#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "diff/diff.h"

using velmora::Diff;

namespace {

std::vector<std::string> all_lines(const std::string& text)
{
    std::istringstream s(text);
    Diff::Input in(s);
    std::vector<std::string> out;
    std::string line;
    for (unsigned int n = 0; in.getline(n, line); ++n)
        out.push_back(line);
    return out;
}

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

class DiffInputLines : public testing::TestWithParam<SplitCase> { };

TEST_P(DiffInputLines, cutsAtLineFeedsAndDropsOneCarriageReturn)
{
    EXPECT_EQ(all_lines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Texts, DiffInputLines,
    testing::Values(SplitCase{"empty", "", {}}, SplitCase{"oneLineFeed", "\n", {""}},
        SplitCase{"threeLines", "a\nb\nc\n", {"a", "b", "c"}},
        SplitCase{"noFinalLineFeed", "a\nb", {"a", "b"}},
        SplitCase{"windowsLineEnds", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        SplitCase{"onlyOneCarriageReturnDropped", "a\r\r\nb\rc\n", {"a\r", "b\rc"}},
        SplitCase{"carriageReturnWithoutLineFeedKept", "a\nb\r", {"a", "b\r"}},
        SplitCase{"emptyLinesKept", "\n\na\n\n", {"", "", "a", ""}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

// The line ends, as apply writes them back.
TEST(DiffInput, tellsHowEachLineEnded)
{
    using End = Diff::End;
    const struct {
        const char* text;
        std::vector<End> ends;
    } cases[] = {{"a\nb\n", {End::LF, End::LF}}, {"a\r\n\r\nb", {End::CRLF, End::CRLF, End::NONE}},
        {"a\nb\r\nc\r", {End::LF, End::CRLF, End::NONE}}, {"\n", {End::LF}}};
    for (const auto& c : cases) {
        std::istringstream s(c.text);
        Diff::Input in(s);
        std::vector<End> ends;
        for (unsigned int n = 0; in.line(n); ++n)
            ends.push_back(in.end(n));
        EXPECT_EQ(ends, c.ends) << c.text;
    }
    // Held lines keep their ends when the ring grows past its first size.
    std::string many;
    for (int n = 0; n < 40; ++n)
        many += n % 2 ? "x\r\n" : "y\n";
    std::istringstream s(many);
    Diff::Input in(s);
    ASSERT_TRUE(in.line(39));
    for (unsigned int n = 0; n < 40; ++n)
        EXPECT_EQ(in.end(n), n % 2 ? End::CRLF : End::LF) << n;
}

TEST(DiffInput, threeLinesAreNumberedZeroToTwoAndAFailedReadLeavesOutAlone)
{
    std::istringstream s("a\nb\nc\n");
    Diff::Input in(s);
    std::string out = "untouched";
    EXPECT_FALSE(in.getline(3, out));
    EXPECT_EQ(out, "untouched");
    EXPECT_TRUE(in.getline(2, out));
    EXPECT_EQ(out, "c");
    EXPECT_TRUE(in.getline(0, out));
    EXPECT_EQ(out, "a");
    EXPECT_EQ(in.count(), 3u);
    EXPECT_TRUE(in.ended());
}

TEST(DiffInput, pruneReleasesLinesReadEarlier)
{
    std::istringstream s("0\n1\n2\n3\n4\n5\n6\n");
    Diff::Input in(s);
    std::string out;
    ASSERT_TRUE(in.getline(5, out));
    in.prune(5);
    out = "untouched";
    EXPECT_FALSE(in.getline(4, out));
    EXPECT_EQ(out, "untouched");
    EXPECT_TRUE(in.getline(5, out));
    EXPECT_EQ(out, "5");
    EXPECT_EQ(in.first(), 5u);
}

TEST(DiffInput, pruneNeverReachesLinesNotYetRead)
{
    std::istringstream s("0\n1\n2\n3\n");
    Diff::Input in(s);
    std::string out;
    ASSERT_TRUE(in.getline(1, out));
    in.prune(10);
    EXPECT_EQ(in.first(), 2u);
    EXPECT_TRUE(in.getline(2, out));
    EXPECT_EQ(out, "2");
    EXPECT_TRUE(in.getline(3, out));
    EXPECT_FALSE(in.getline(4, out));
}

TEST(DiffInput, holdsOnlyLinesBetweenTheLastReleasedAndTheFurthestAskedFor)
{
    std::string text;
    for (int n = 0; n < 10000; ++n)
        text += "line " + std::to_string(n) + "\n";
    std::istringstream s(text);
    Diff::Input in(s);
    std::string out;
    for (unsigned int n = 0; in.getline(n + 3, out); ++n) {
        in.prune(n);
        ASSERT_LE(in.count() - in.first(), 4u);
    }
    EXPECT_EQ(in.count(), 10000u);
}

} // namespace
