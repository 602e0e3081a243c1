#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>

#include "diff/merge.h"
#include "mod/script_merge.h"
#include "support/tempdir.h"
#include "tests/diff/diff_support.h"

using velmora::Diff;
using velmora::DiffConflict;
using velmora::find_conflicts;
using velmora::merge_favouring_theirs;
using velmora::merge_script;
using namespace velmora::test;

namespace {

// A script and two mods' edits of it, each a map from the old line an edit
// starts at to the edit. Every other script has all lines distinct; the
// others have some empty lines and statements that repeat, as real scripts
// do, and a last line that no edit touches: a difference does not tell empty
// lines at the end of a text from the lines past its end, so none of the
// three texts may end with one.
class TripleMaker {
public:
    explicit TripleMaker(unsigned int seed)
        : rng_(seed)
        , repeats_(seed % 2 == 1)
    { }

    struct Edit {
        enum Kind { INSERT, DELETE, REPLACE } kind;
        unsigned int count;
        std::vector<std::string> lines;
    };
    using Edits = std::map<unsigned int, Edit>;

    void make(std::string& base, std::string& ours, std::string& theirs)
    {
        std::vector<std::string> old_lines;
        for (unsigned int n = 0, size = pick(1, 40); n < size; ++n) {
            if (repeats_ && n % 5 == 2)
                old_lines.emplace_back();
            else if (repeats_ && n % 7 == 3)
                old_lines.emplace_back("        return None");
            else
                old_lines.push_back("    line_" + std::to_string(n) + " = " + std::to_string(n));
        }
        Edits mine = edits(old_lines.size());
        Edits other = edits(old_lines.size());
        // Some edits both mods make alike: no conflict, as long as nothing else touches them.
        for (const auto& [at, e] : mine)
            if (pick(0, 3) == 0)
                other[at] = e;
        const std::string end = repeats_ ? "# end\n" : "";
        base = join(old_lines) + end;
        ours = join(edited(old_lines, mine)) + end;
        theirs = join(edited(old_lines, other)) + end;
    }

private:
    unsigned int pick(unsigned int low, unsigned int high)
    {
        return std::uniform_int_distribution<unsigned int>(low, high)(rng_);
    }

    Edits edits(size_t size)
    {
        Edits out;
        for (unsigned int n = 0; n <= size; ++n) {
            if (pick(0, 6) != 0)
                continue;
            Edit e{static_cast<Edit::Kind>(pick(0, 2)), pick(1, 3), {}};
            if (e.kind != Edit::DELETE)
                for (unsigned int k = 0; k < e.count; ++k)
                    e.lines.push_back("    changed_" + std::to_string(next_++) + "()");
            out[n] = e;
        }
        return out;
    }

    static std::vector<std::string> edited(const std::vector<std::string>& old_lines, const Edits& edits)
    {
        std::vector<std::string> out;
        for (size_t n = 0; n <= old_lines.size();) {
            auto e = edits.find(static_cast<unsigned int>(n));
            if (e == edits.end() || (e->second.kind != Edit::INSERT && n == old_lines.size())) {
                if (n < old_lines.size())
                    out.push_back(old_lines[n]);
                ++n;
                continue;
            }
            out.insert(out.end(), e->second.lines.begin(), e->second.lines.end());
            if (e->second.kind == Edit::INSERT) {
                if (n < old_lines.size())
                    out.push_back(old_lines[n]);
                ++n;
            } else {
                n += e->second.count;
            }
        }
        return out;
    }

    static std::string join(const std::vector<std::string>& lines)
    {
        std::string out;
        for (const std::string& l : lines)
            out += l + '\n';
        return out;
    }

    std::mt19937 rng_;
    bool repeats_;
    unsigned int next_ = 0;
};

// What `git merge-file` makes of the three texts: its output and its exit
// status (the number of conflicts; negative when git could not be run).
struct GitMerge {
    std::string text;
    int status = -1;
};

GitMerge git_merge_file(const TempDir& dir, const std::string& base, const std::string& ours,
    const std::string& theirs, bool favour_theirs)
{
    write_file(dir / "base", base);
    write_file(dir / "ours", ours);
    write_file(dir / "theirs", theirs);
    std::string folder = dir.native();
    std::string command = "git merge-file -p " + std::string(favour_theirs ? "--theirs " : "") + "'" + folder
        + "/ours' '" + folder + "/base' '" + folder + "/theirs' 2>/dev/null";
    GitMerge result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.text.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) && WEXITSTATUS(status) < 127 ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(ScriptMergeProperty, agreesWithGitMergeFileOnGeneratedTriples)
{
    TempDir dir;
    int conflicting = 0;
    for (unsigned int seed = 0; seed < 160; ++seed) {
        TripleMaker maker(seed);
        std::string base, ours, theirs;
        maker.make(base, ours, theirs);
        Diff a = create_diff(base, ours);
        Diff b = create_diff(base, theirs);
        GitMerge marked = git_merge_file(dir, base, ours, theirs, false);
        ASSERT_GE(marked.status, 0) << "git merge-file could not be run";
        SCOPED_TRACE("seed " + std::to_string(seed) + "\nbase:\n" + base + "ours:\n" + ours + "theirs:\n"
            + theirs + "git:\n" + marked.text);

        bool conflict = !find_conflicts(a, b).empty();
        EXPECT_EQ(conflict, marked.status > 0);
        EXPECT_EQ(!find_conflicts(b, a).empty(), conflict);
        conflicting += conflict;

        GitMerge favoured = git_merge_file(dir, base, ours, theirs, true);
        ASSERT_EQ(favoured.status, 0);
        EXPECT_EQ(merge_favouring_theirs(base, ours, theirs), favoured.text);
        // As apply merges: the later mod's difference into the earlier one's file.
        EXPECT_EQ(merge_script(b, base, ours), favoured.text);
    }
    // The generated triples exercise both answers.
    EXPECT_GT(conflicting, 15);
    EXPECT_LT(conflicting, 145);
}

TEST(ScriptMerge, keepsLineEndsAndAMissingFinalLineEndByteForByte)
{
    const std::string game = "a\r\nb\r\nc\r\nd\r\ne\r\nf";
    const std::string current
        = "A\r\nb\r\nc\r\nd\r\ne\r\nf"; // an earlier mod's change, in the game's line ends
    Diff later = create_diff("a\nb\nc\nd\ne\nf\n", "a\nb\nc\nd\nE\nf\n");
    EXPECT_EQ(merge_script(later, game, current), "A\r\nb\r\nc\r\nd\r\nE\r\nf");
}

TEST(ScriptMerge, takesTheCurrentFilesLineEndsWhenTheyDifferFromTheGames)
{
    const std::string game = "a\r\nb\r\nc\r\nd\r\ne\r\n";
    Diff later = create_diff("a\nb\nc\nd\ne\n", "a\nb\nc\nd\nE\n");
    EXPECT_EQ(merge_script(later, game, "A\nb\nc\nd\ne\n"), "A\nb\nc\nd\nE\n");
}

TEST(ScriptMerge, givesNothingWhenTheDifferenceDoesNotFitTheGamesFile)
{
    Diff later = create_diff(numbered(0, 10), numbered(0, 5) + "x\n" + numbered(6, 10));
    EXPECT_EQ(merge_script(later, numbered(0, 10, "patched "), numbered(0, 10)), std::nullopt);
}

TEST(ScriptMerge, leavesTheCurrentFileWhenTheGamesFileHasTheDifferenceAlready)
{
    std::string patched = numbered(0, 5) + "x\n" + numbered(6, 10);
    Diff later = create_diff(numbered(0, 10), patched);
    std::string current = "first\n" + patched;
    EXPECT_EQ(merge_script(later, patched, current), current);
}

} // namespace
