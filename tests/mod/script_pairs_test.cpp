#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "path/platform.h"
#include "base/errors.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::conflict_of;
using test::diff_change;
using test::diff_text;
using test::mod_with;
using test::read_file;
using test::TempDir;
using test::whole_change;
using test::write_file;
using testing::HasSubstr;
using testing::Not;

using Lines = std::vector<std::string>;

const char* const script_file = "Python\\CvEventManager.py";

// Forty lines of an event handler; every line distinct.
Lines game_script()
{
    Lines out;
    for (int i = 0; i < 40; ++i)
        out.push_back("\t\tself.iValue" + std::to_string(i) + " = " + std::to_string(i));
    return out;
}

std::string text(const Lines& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += l + "\n";
    return out;
}

Lines changed(Lines lines, int at, const std::string& by) { return lines[at] = "\t\t" + by, lines; }
Lines removed(Lines lines, int at) { return lines.erase(lines.begin() + at), lines; }
Lines inserted(Lines lines, int before, const std::string& line)
{
    return lines.insert(lines.begin() + before, "\t\t" + line), lines;
}

const Lines game = game_script();

struct PairCase {
    const char* name;
    Lines a; // the game's script as mod A changes it
    Lines b;
    std::string conflict; // the lines check reports; empty for none
    Lines a_then_b; // the script after applying A, then B
    Lines b_then_a;
};

void PrintTo(const PairCase& c, std::ostream* os) { *os << c.name; }

class ScriptPair : public testing::TestWithParam<PairCase> {
protected:
    // The script after applying `first`, then `second`, as apply does.
    std::string applied(const Mod& first, const Mod& second)
    {
        TempDir target;
        GameFiles files({source.path()});
        first.apply(files, target.path());
        second.apply(files, target.path(), {&first});
        return read_file(target / script_file);
    }

    TempDir source;
};

TEST_P(ScriptPair, conflictsOnlyWhereAMergeDoesAndAppliesInBothOrders)
{
    const PairCase& c = GetParam();
    write_file(source / script_file, text(game));
    Mod a = mod_with("A", {diff_change(script_file, diff_text(text(game), text(c.a)))});
    Mod b = mod_with("B", {diff_change(script_file, diff_text(text(game), text(c.b)))});

    std::string expected
        = c.conflict.empty() ? "" : "Conflict in " + platform::native(std::string(script_file)) + ": " + c.conflict;
    EXPECT_EQ(conflict_of(a, b), expected);
    EXPECT_EQ(conflict_of(b, a), expected);
    EXPECT_EQ(applied(a, b), text(c.a_then_b));
    EXPECT_EQ(applied(b, a), text(c.b_then_a));
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptPair,
    testing::Values(
        PairCase{"disjoint", changed(game, 5, "a = 1"), changed(game, 30, "b = 2"), "",
            changed(changed(game, 5, "a = 1"), 30, "b = 2"), changed(changed(game, 5, "a = 1"), 30, "b = 2")},
        // Touching changes are one region: the mod applied later writes it.
        PairCase{"adjacent", changed(game, 10, "a = 1"), changed(game, 11, "b = 2"), "lines 11-12",
            changed(game, 11, "b = 2"), changed(game, 10, "a = 1")},
        // Each change lies in the other's context lines; one unchanged line between them.
        PairCase{"insideEachOthersContext", changed(game, 10, "a = 1"), changed(game, 12, "b = 2"), "",
            changed(changed(game, 10, "a = 1"), 12, "b = 2"),
            changed(changed(game, 10, "a = 1"), 12, "b = 2")},
        PairCase{"sameLineChangedDifferently", changed(game, 10, "a = 1"), changed(game, 10, "b = 2"),
            "line 11", changed(game, 10, "b = 2"), changed(game, 10, "a = 1")},
        PairCase{"sameLineChangedIdentically", changed(game, 10, "same = 3"), changed(game, 10, "same = 3"),
            "", changed(game, 10, "same = 3"), changed(game, 10, "same = 3")},
        PairCase{"oneInsertingWhereTheOtherDeletes", removed(game, 10), inserted(game, 10, "b = 2"),
            "line 11", inserted(game, 10, "b = 2"), removed(game, 10)},
        PairCase{"insertionsAtOnePlace", inserted(game, 20, "a = 1"), inserted(game, 20, "b = 2"),
            "before line 21", inserted(game, 20, "b = 2"), inserted(game, 20, "a = 1")},
        // The loser of a region keeps its changes elsewhere.
        PairCase{"conflictKeepsTheLosersOtherChanges", changed(changed(game, 10, "a = 1"), 30, "a = 30"),
            changed(game, 11, "b = 2"), "lines 11-12", changed(changed(game, 11, "b = 2"), 30, "a = 30"),
            changed(changed(game, 10, "a = 1"), 30, "a = 30")}),
    [](const testing::TestParamInfo<PairCase>& info) { return info.param.name; });

class ScriptApplyFailure : public testing::Test {
protected:
    TempDir source;
    TempDir target;
    GameFiles files{{source.path()}};
};

// The game's file no longer is the one the difference was made against; the
// file as an earlier mod left it is: the difference patches that instead.
TEST_F(ScriptApplyFailure, aDifferenceThatFitsOnlyTheCurrentFileStillApplies)
{
    write_file(source / script_file, text(changed(game, 20, "patched = 1")));
    Mod restore = mod_with("Restore", {whole_change(script_file, text(game))});
    Mod later
        = mod_with("Later", {diff_change(script_file, diff_text(text(game), text(changed(game, 21, "x"))))});
    restore.apply(files, target.path());
    later.apply(files, target.path(), {&restore});
    EXPECT_EQ(read_file(target / script_file), text(changed(game, 21, "x")));
}

TEST_F(ScriptApplyFailure, namesTheModAndTheModsBeforeItThatChangeTheFile)
{
    write_file(source / script_file, text(game));
    Lines other = changed(game, 5, "other = 1");
    Mod first = mod_with("First", {whole_change(script_file, text(other))});
    Mod unrelated = mod_with("Unrelated", {whole_change("Python\\CvUtil.py", "x\n")});
    Mod second
        = mod_with("Second", {diff_change("python\\cveventmanager.py", diff_text(text(game), text(other)))});
    // Made against another version of the game: its removed line stands nowhere.
    Mod later = mod_with("Later",
        {diff_change(
            script_file, diff_text(text(changed(game, 5, "old = 0")), text(changed(game, 5, "new = 0"))))});
    first.apply(files, target.path());
    unrelated.apply(files, target.path(), {&first});
    second.apply(files, target.path(), {&first, &unrelated});
    try {
        later.apply(files, target.path(), {&first, &unrelated, &second});
        FAIL() << "no error";
    } catch (const ConflictError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Unable to apply diff to "));
        EXPECT_THAT(e.what(),
            HasSubstr("CvEventManager.py: the mod 'Later' was made for another version of the "
                      "file, which mods 'First' and 'Second', applied before it, also change."));
        EXPECT_THAT(e.what(), Not(HasSubstr("Unrelated")));
    }
    EXPECT_EQ(read_file(target / script_file), text(other));
}

} // namespace
} // namespace velmora
