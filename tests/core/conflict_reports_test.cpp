// The reports on conflicting pairs kept from one apply to the next: a pair is
// described again whenever anything the report was made from may have changed.
#include "core/conflict_reports.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "base/errors.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/element_table.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::mod_with;
using test::read_file;
using test::unit;
using test::units_doc;
using test::units_file;
using test::write_file;
using test::xml_change;
using Lines = std::vector<std::string>;

std::string warrior(const std::string& combat)
{
    return units_doc(unit("UNIT_WARRIOR", "\t\t\t<iCombat>" + combat + "</iCombat>\n"));
}

// Sets a file's modification time back to what a stamp showed, as a tool that
// keeps times does.
void restore_mtime(const Path& file, std::int64_t mtime_ns)
{
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(mtime_ns / 1000000000);
    times[1].tv_nsec = static_cast<long>(mtime_ns % 1000000000);
    ASSERT_EQ(::utimensat(AT_FDCWD, platform::native(file).c_str(), times, 0), 0);
}

// A game whose warrior has iCombat 2 in Beyond the Sword's folder (Warlords'
// comes first for nothing yet), two mods that each change it, and the
// reports kept across "applies", one call each. No settling time: the game's
// file is written just before, and the stamps alone must tell.
class ConflictReportsTest : public testing::Test {
public:
    ConflictReportsTest()
        : reports(0)
    {
        table.load_text(test::merge_table);
        write_file(game_file(), warrior("2"));
        mkpath(warlords() / Path("XML/Units"), 0755);
    }

    Path bts() const { return dir / "BtS/Assets"; }
    Path warlords() const { return dir / "Warlords/Assets"; }
    Path game_file() const { return bts() / Path(units_file); }
    GameFiles game() const { return GameFiles({warlords(), bts()}); }

    // The lines of the question on a and b in a new apply.
    Lines apply_lines()
    {
        try {
            a.check_conflicts(&b);
        } catch (const ConflictError& e) {
            std::vector<ConflictReport> r = reports.describe({{&a, &b, e.what()}}, game());
            EXPECT_EQ(r.size(), 1u);
            EXPECT_EQ(r.at(0).details.size(), 1u);
            return r.at(0).details.empty() ? Lines() : r.at(0).details[0].lines;
        }
        ADD_FAILURE() << "no conflict";
        return Lines();
    }

    test::ElementTableScope table;
    test::TempDir dir;
    ConflictReports reports;
    Mod a = mod_with("A", {xml_change(units_file, warrior("3"))});
    Mod b = mod_with("B", {xml_change(units_file, warrior("4"))});
};

TEST_F(ConflictReportsTest, describesAnUnchangedPairOnce)
{
    const Lines first = apply_lines();
    EXPECT_EQ(first, (Lines {"iCombat: game 2, A 3, B 4"}));
    EXPECT_EQ(apply_lines(), first);
    EXPECT_EQ(apply_lines(), first);
    EXPECT_EQ(reports.described(), 1u);
}

// A round made as far as it is read: the sides alone read no game file, and
// describing later in the round or in the next reuses what was made.
TEST_F(ConflictReportsTest, makesTheSidesWithoutDescribingAndDescribesOnlyWhenAsked)
{
    std::vector<ConflictPair> pairs;
    try {
        a.check_conflicts(&b);
    } catch (const ConflictError& e) {
        pairs.push_back({&a, &b, e.what()});
    }
    ASSERT_EQ(pairs.size(), 1u);
    reports.begin_round();
    const ConflictReport sides = reports.sides_more(pairs).at(0);
    EXPECT_FALSE(sides.described);
    EXPECT_TRUE(sides.details.empty());
    EXPECT_EQ(reports.described(), 0u);
    EXPECT_EQ(reports.sided(), 1u);
    EXPECT_EQ(reports.sides_more(pairs).at(0).first_changes, sides.first_changes);
    EXPECT_EQ(reports.sided(), 1u) << "kept within the round";

    const ConflictReport described = reports.describe_more(pairs, game()).at(0);
    EXPECT_TRUE(described.described);
    EXPECT_EQ(described.details.at(0).lines, (Lines {"iCombat: game 2, A 3, B 4"}));
    EXPECT_EQ(described.first_changes, sides.first_changes);
    EXPECT_EQ(described.second_changes, sides.second_changes);
    EXPECT_EQ(reports.described(), 1u);

    // The next round: the kept report gives the sides and, unchanged, the details.
    reports.begin_round();
    EXPECT_TRUE(reports.sides_more(pairs).at(0).described);
    EXPECT_EQ(reports.describe_more(pairs, game()).at(0).details.at(0).lines, described.details.at(0).lines);
    EXPECT_EQ(reports.described(), 1u);
    EXPECT_EQ(reports.sided(), 1u);
}

// Something the report was made from, changed between two applies, and the
// lines the second apply must show.
struct Edit {
    const char* name;
    std::function<void(ConflictReportsTest&)> change;
    Lines then;
};

class ConflictReportsAfter : public ConflictReportsTest, public testing::WithParamInterface<Edit> { };

void PrintTo(const Edit& c, std::ostream* os) { *os << c.name; }

TEST_P(ConflictReportsAfter, describesThePairAgain)
{
    apply_lines();
    GetParam().change(*this);
    EXPECT_EQ(apply_lines(), GetParam().then);
    EXPECT_EQ(reports.described(), 2u);
}

// The game's file written again in place with the same size, and its time set
// back: only the time of the write to its name or bytes (ctime) shows it.
void same_size_in_place(ConflictReportsTest& t)
{
    platform::FileStamp before;
    ASSERT_EQ(platform::file_stamp(t.game_file().str(), before), 0);
    write_file(t.game_file(), warrior("5"));
    restore_mtime(t.game_file(), before.mtime_ns);
}

// A new file of the same size and time put in its place: another inode.
void same_size_replaced(ConflictReportsTest& t)
{
    platform::FileStamp before;
    ASSERT_EQ(platform::file_stamp(t.game_file().str(), before), 0);
    const Path other = t.game_file().subpath(0, t.game_file().size() - 1) / Path("new.xml");
    write_file(other, warrior("5"));
    restore_mtime(other, before.mtime_ns);
    ASSERT_EQ(platform::rename(other.str(), t.game_file().str()), 0);
}

INSTANTIATE_TEST_SUITE_P(Causes, ConflictReportsAfter,
    testing::Values(Edit {"gameFileRewrittenInPlaceWithItsSizeAndTime", same_size_in_place,
                        {"iCombat: game 5, A 3, B 4"}},
        Edit {"gameFileReplacedWithItsSizeAndTime", same_size_replaced, {"iCombat: game 5, A 3, B 4"}},
        Edit {"gameFileGrown",
            [](ConflictReportsTest& t) { write_file(t.game_file(), warrior("25")); },
            {"iCombat: game 25, A 3, B 4"}},
        Edit {"gameFileRemoved",
            [](ConflictReportsTest& t) { platform::unlink(t.game_file().str()); },
            {"iCombat: A 3, B 4"}},
        Edit {"gameFileNowFoundInAnEarlierFolder",
            [](ConflictReportsTest& t) {
                write_file(t.warlords() / Path(units_file), warrior("6"));
            },
            {"iCombat: game 6, A 3, B 4"}},
        Edit {"modChangeEdited",
            [](ConflictReportsTest& t) { t.b.changes.front().text = warrior("7"); },
            {"iCombat: game 2, A 3, B 7"}},
        Edit {"modRenamed", [](ConflictReportsTest& t) { t.b.name = "C"; }, {"iCombat: game 2, A 3, C 4"}},
        Edit {"elementTableChanged",
            [](ConflictReportsTest& t) {
                // One line more: what records are keyed by may differ.
                t.table.load_text(std::string(test::merge_table) + "UnitInfos\tUnitMeshGroups\topaque\n");
            },
            {"iCombat: game 2, A 3, B 4"}}),
    [](const testing::TestParamInfo<Edit>& info) { return std::string(info.param.name); });

TEST(ConflictReportsSettling, describesAgainWhileAGameFileIsFreshlyWritten)
{
    test::ElementTableScope table;
    table.load_text(test::merge_table);
    test::TempDir dir;
    write_file(dir / "Assets" / Path(units_file), warrior("2"));
    Mod a = mod_with("A", {xml_change(units_file, warrior("3"))});
    Mod b = mod_with("B", {xml_change(units_file, warrior("4"))});
    ConflictReports reports; // the settling time of a running Velmora
    for (int apply = 0; apply < 2; ++apply) {
        try {
            a.check_conflicts(&b);
            FAIL() << "no conflict";
        } catch (const ConflictError& e) {
            reports.describe({{&a, &b, e.what()}}, GameFiles({dir / "Assets"}));
        }
    }
    // Written a moment ago: a write in the same tick of the clock would not show.
    EXPECT_EQ(reports.described(), 2u);
}

} // namespace
} // namespace velmora
