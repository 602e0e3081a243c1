#include <gtest/gtest.h>

#include <algorithm>

#include "tests/diff/diff_support.h"

using velmora::Diff;
using namespace velmora::test;

namespace {

constexpr unsigned int TAG = 1u << 30;

TEST(DiffAffectedLines, tagsEachOldLineTheDiffTouches)
{
    Diff d = read_diff("@@ -5,3 +5,4 @@\n a\n-b\n+B\n+C\n c\n@@ -20,1 +21,1 @@\n-x\n+y\n");
    std::vector<unsigned int> expected = {
        4 + 3 * TAG, // first context line of its block
        5 + 1 * TAG, // removed
        6 + 2 * TAG, // added before line 6
        6 + 2 * TAG,
        6, // context
        19 + 1 * TAG, // a block that starts with a removed line has no tag 3
        20 + 2 * TAG,
    };
    EXPECT_EQ(d.get_affected_lines(), expected);
}

// l0 .. l39 with the given lines replaced by their upper-case form.
std::string forty_with(std::initializer_list<unsigned int> changed)
{
    std::string out;
    for (unsigned int n = 0; n < 40; ++n) {
        bool c = std::find(changed.begin(), changed.end(), n) != changed.end();
        out += (c ? "L" : "l") + std::to_string(n) + "\n";
    }
    return out;
}

struct ConflictCase {
    const char* name;
    Diff a;
    Diff b;
    bool conflict;
};

class DiffConflicts : public testing::TestWithParam<ConflictCase> { };

TEST_P(DiffConflicts, isTheSameBothWays)
{
    EXPECT_EQ(GetParam().a.check_conflicts(GetParam().b), GetParam().conflict);
    EXPECT_EQ(GetParam().b.check_conflicts(GetParam().a), GetParam().conflict);
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

const std::string forty = numbered(0, 40);

INSTANTIATE_TEST_SUITE_P(Cases, DiffConflicts,
    testing::Values(ConflictCase{"sameLineChanged", create_diff(forty, forty_with({9})),
                        create_diff(forty, replaced(forty, "l9\n", "other\n")), true},
        ConflictCase{"linesFiveAndTwentyApart", create_diff(forty, forty_with({5})),
            create_diff(forty, forty_with({20})), false},
        // Both blocks hold line 8 as context only.
        ConflictCase{"sharedContextLines", create_diff(forty, forty_with({5})),
            create_diff(forty, forty_with({11})), false},
        // One inserts before line 10; the other's block merely starts there.
        ConflictCase{"insertionBeforeFirstContextLine", read_diff("@@ -9,3 +9,4 @@\n l8\n l9\n+new\n l10\n"),
            read_diff("@@ -11,4 +11,4 @@\n l10\n l11\n-l12\n+L12\n"), false},
        // Line 10 lies between the insertion and the change: a merge keeps both.
        ConflictCase{"insertionBeforeALineOfTheOthersContext",
            read_diff("@@ -9,3 +9,4 @@\n l8\n l9\n+new\n l10\n"),
            read_diff("@@ -10,4 +10,4 @@\n l9\n l10\n-l11\n+L11\n"), false},
        ConflictCase{"insertionTouchingAChange", read_diff("@@ -9,3 +9,4 @@\n l8\n l9\n+new\n l10\n"),
            read_diff("@@ -10,3 +10,3 @@\n l9\n-l10\n+L10\n l11\n"), true},
        ConflictCase{"insertionsAtTheSamePlace", read_diff("@@ -8,2 +8,3 @@\n l7\n+new\n l8\n"),
            read_diff("@@ -8,2 +8,3 @@\n l7\n+other\n l8\n"), true},
        // A removal is seen whatever comes before it at the same line: here
        // an added line, as other tools write them.
        ConflictCase{"removalAfterAnAddedLine", read_diff("@@ -10,1 +10,1 @@\n+new\n-l9\n"),
            read_diff("@@ -10,2 +10,3 @@\n l9\n+x\n l10\n"), true},
        ConflictCase{"emptyDiff", Diff(), create_diff(forty, forty_with({5})), false}),
    [](const testing::TestParamInfo<ConflictCase>& info) { return info.param.name; });

} // namespace
