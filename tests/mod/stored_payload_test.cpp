// Whole files of a loaded mod wait in a spool on disk, not in memory: every
// use of them gives the same bytes and the same results as before.
#include <gtest/gtest.h>

#include <string>

#include "base/errors.h"
#include "mod/conflict_details.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "path/fs.h"
#include "support/case_name.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::conflict_of;
using test::read_file;
using test::TempDir;
using test::TmpdirScope;
using test::whole_change;

const char* const art_file = "Art\\Units\\Archer\\archer.nif";

// Bytes as art has them: every value, NULs included.
std::string art(std::size_t size, char last = '\x7f')
{
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<char>(i * 37 + i / 256);
    if (size > 0)
        out[size - 1] = last;
    return out;
}

// A mod holding `changes`, saved to dir and read back as Velmora reads mods.
Mod saved_and_loaded(const TempDir& dir, const std::string& name, const std::vector<Change>& changes)
{
    Mod m = test::mod_with(name, changes);
    const Path file = dir / (name + ".Pellarix");
    m.save(file);
    Mod back;
    EXPECT_EQ(back.load(file), 0);
    return back;
}

struct LoadCase {
    const char* what;
    std::string bytes;
    bool spool_usable;
    bool stored;
};

class StoredPayloadLoad : public testing::TestWithParam<LoadCase> { };

// Loaded, the bytes are the same wherever they wait; saved again, the mod
// file is the same file.
TEST_P(StoredPayloadLoad, givesTheSameBytesAndSavesTheSameFile)
{
    const LoadCase& c = GetParam();
    TempDir dir, tmp;
    TmpdirScope scope(c.spool_usable ? tmp.native() : tmp.native() + "/missing");
    Mod loaded = saved_and_loaded(dir, "Archers", {whole_change(art_file, c.bytes)});
    ASSERT_EQ(loaded.changes.size(), 1u);
    const Change& got = loaded.changes.front();
    EXPECT_EQ(static_cast<bool>(got.stored), c.stored);
    EXPECT_EQ(got.text.empty(), c.stored);
    EXPECT_EQ(got.size(), c.bytes.size());
    EXPECT_TRUE(got.bytes() == c.bytes);
    EXPECT_EQ(got.head(6), c.bytes.substr(0, 6));
    const std::string first = read_file(dir / "Archers.Pellarix");
    loaded.save(dir / "Again.Pellarix");
    EXPECT_TRUE(read_file(dir / "Again.Pellarix") == first);
}

INSTANTIATE_TEST_SUITE_P(Payloads, StoredPayloadLoad,
    testing::Values(LoadCase{"small art stays in memory", art(stored_payload_minimum - 1), true, false},
        LoadCase{"art of the minimum size waits on disk", art(stored_payload_minimum), true, true},
        LoadCase{"large text waits on disk", std::string(100000, 'x'), true, true},
        LoadCase{"without a usable temporary folder in memory", art(100000), false, false}),
    test::CaseName());

struct CompareCase {
    const char* what;
    std::string other;
    bool conflict;
};

class StoredPayloadCompare : public testing::TestWithParam<CompareCase> { };

// Two mods replacing the same art conflict only when the bytes differ,
// whether both wait on disk or one is still in memory (a mod being made);
// the reports' hashes, which remembered answers are bound to, are the same
// either way.
TEST_P(StoredPayloadCompare, comparesTheBytesWhereverTheyWait)
{
    const CompareCase& c = GetParam();
    TempDir dir;
    const std::string mine = art(40000);
    Mod a = saved_and_loaded(dir, "A", {whole_change(art_file, mine)});
    Mod b = saved_and_loaded(dir, "B", {whole_change(art_file, c.other)});
    Mod b_in_memory = test::mod_with("B", {whole_change(art_file, c.other)});
    ASSERT_TRUE(a.changes.front().stored);
    EXPECT_EQ(!conflict_of(a, b).empty(), c.conflict);
    EXPECT_EQ(!conflict_of(a, b_in_memory).empty(), c.conflict);
    EXPECT_EQ(!conflict_of(b_in_memory, a).empty(), c.conflict);
    if (!c.conflict)
        return;
    Mod a_in_memory = test::mod_with("A", {whole_change(art_file, mine)});
    ConflictDescriber describer;
    const ConflictReport stored = describer.describe(a, b, "m");
    const ConflictReport in_memory = describer.describe(a_in_memory, b_in_memory, "m");
    EXPECT_EQ(stored.first_changes, in_memory.first_changes);
    EXPECT_EQ(stored.second_changes, in_memory.second_changes);
    EXPECT_EQ(stored.text(), in_memory.text());
}

INSTANTIATE_TEST_SUITE_P(Others, StoredPayloadCompare,
    testing::Values(CompareCase{"the same bytes", art(40000), false},
        CompareCase{"the last byte differs", art(40000, '\x01'), true},
        CompareCase{"one byte longer", art(40000) + '\0', true}),
    test::CaseName());

// An apply writes the waiting bytes into the folder as they are.
TEST(StoredPayloadApply, writesTheBytesIntoTheFolder)
{
    TempDir dir, game, target;
    const std::string bytes = art(200000);
    Mod m = saved_and_loaded(dir, "Archers", {whole_change(art_file, bytes)});
    ASSERT_TRUE(m.changes.front().stored);
    ASSERT_EQ(m.apply(game.path(), target.path()), 0);
    EXPECT_TRUE(read_file(target / art_file) == bytes);
}

} // namespace
} // namespace velmora
