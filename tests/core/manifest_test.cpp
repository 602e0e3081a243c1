#include "core/manifest.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <thread>

#include "base/errors.h"
#include "base/hash.h"
#include "mod/game_file_names.h"
#include "path/file_stamp.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;

void set_mtime(const Path& file, std::int64_t ns)
{
    timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)}};
    ASSERT_EQ(::utimensat(AT_FDCWD, platform::native(file).c_str(), times, 0), 0);
}

// No mod may write the manifest, and creating a mod from a built folder leaves
// it out: its name must be one of Velmora's own.
TEST(Manifest, isNamedAsVelmorasOwnFile)
{
    EXPECT_EQ(kind_of_name(Manifest::file_name), NameKind::Own);
}

TEST(Manifest, writesAndReadsBackEveryFieldSortedByFile)
{
    TempDir dir;
    Manifest m;
    m.entries = {{"XML\\Units\\CIV4UnitInfos.xml", 12345, hash_bytes("units"), 0},
        {"Art\\My Mod's files\\a b.dds", 0, hash_bytes(""), 0xfedcba9876543210ull}};
    m.write(dir.path());

    Manifest back;
    ASSERT_TRUE(Manifest::read(dir.path(), back));
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.entries[0].file, "Art\\My Mod's files\\a b.dds");
    EXPECT_EQ(back.entries[0].size, 0u);
    EXPECT_EQ(back.entries[0].inputs, 0xfedcba9876543210ull);
    EXPECT_EQ(back.entries[1].size, 12345u);
    EXPECT_EQ(back.entries[1].hash, hash_bytes("units"));
    ASSERT_NE(back.find("XML\\Units\\CIV4UnitInfos.xml"), nullptr);
    EXPECT_EQ(back.find("XML\\Units\\CIV4UnitInfos.xml")->size, 12345u);
    EXPECT_EQ(back.find("XML\\Units"), nullptr);
}

TEST(Manifest, keepsStampsAndReadsTheEarlierVersionWithout)
{
    TempDir dir;
    Manifest m;
    ManifestEntry e {"XML\\GlobalDefines.xml", 7, hash_bytes("defines"), 3};
    e.mtime_ns = 1796923165346973230;
    e.inode = 11035637;
    e.device = 65024;
    m.entries = {e};
    m.write(dir.path());
    Manifest back;
    ASSERT_TRUE(Manifest::read(dir.path(), back));
    ASSERT_EQ(back.entries.size(), 1u);
    EXPECT_EQ(back.entries[0].mtime_ns, e.mtime_ns);
    EXPECT_EQ(back.entries[0].inode, e.inode);
    EXPECT_EQ(back.entries[0].device, e.device);

    // Written by the version before stamps: read, every file hashed to be told unchanged.
    write_file(dir / Manifest::file_name,
        "velmora-manifest 1\n" + hash_text(hash_bytes("defines")) + " 7 " + hash_text(3) + " XML\\Global Defines.xml\n");
    ASSERT_TRUE(Manifest::read(dir.path(), back));
    ASSERT_EQ(back.entries.size(), 1u);
    EXPECT_EQ(back.entries[0].file, "XML\\Global Defines.xml");
    EXPECT_EQ(back.entries[0].hash, hash_bytes("defines"));
    EXPECT_EQ(back.entries[0].mtime_ns, 0);
}

TEST(Manifest, aMissingOrDamagedFileReadsAsNoManifest)
{
    const std::string good_line = hash_text(1) + " 5 " + hash_text(0) + " a.txt\n";
    const std::string stamped_line = hash_text(1) + " 5 " + hash_text(0) + " 17 4 2 a.txt\n";
    for (const std::string& text : {std::string(), std::string("velmora-manifest 2\n") + good_line,
             "velmora-manifest 3\n" + stamped_line, "velmora-manifest 2\n" + stamped_line + good_line,
             "velmora-manifest 2\n" + hash_text(1) + " 5 " + hash_text(0) + " -17 4 2 a.txt\n",
             "velmora-manifest 1\n" + good_line + "zz 5 " + hash_text(0) + " b.txt\n",
             "velmora-manifest 1\n" + hash_text(1) + " -5 " + hash_text(0) + " a.txt\n",
             "velmora-manifest 1\n" + hash_text(1) + " 5 " + hash_text(0) + "\n"}) {
        TempDir dir;
        if (!text.empty())
            write_file(dir / Manifest::file_name, text);
        Manifest m;
        m.entries.push_back({"left over", 1, 1, 1});
        EXPECT_FALSE(Manifest::read(dir.path(), m)) << text;
        EXPECT_TRUE(m.entries.empty()) << text;
    }
}

TEST(Manifest, aFailedWriteNamesTheFileAndLeavesNothing)
{
    TempDir dir;
    write_file(dir / "file", "not a folder");
    try {
        Manifest().write(dir / "file");
        FAIL() << "the write reported success";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find(Manifest::file_name), std::string::npos) << e.what();
    }
}

TEST(Manifest, foreignFilesAreThoseNotWrittenOrChangedSince)
{
    TempDir dir;
    write_file(dir / "XML/a.xml", "aaa");
    write_file(dir / "XML/b.xml", "bbb");
    Manifest::of_folder(dir.path()).write(dir.path());
    EXPECT_FALSE(find_foreign_files(dir.path()).any());

    write_file(dir / "XML/b.xml", "BBB");
    write_file(dir / "res/Fonts/mine.txt", "mine");
    const ForeignFiles found = find_foreign_files(dir.path());
    EXPECT_EQ(found.foreign, 1u);
    EXPECT_EQ(found.changed, 1u);
    EXPECT_EQ(found.files, (std::vector<std::string>{"XML\\b.xml", "res\\Fonts\\mine.txt"}));
}

TEST(Manifest, aFileReplacedWithItsSizeAndTimeKeptIsForeign)
{
    // Even with a stamp the next apply would trust: the user's bytes are never
    // taken for Velmora's by their stamp alone.
    TempDir dir;
    write_file(dir / "XML/a.xml", "aaa");
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    std::int64_t clock = 0;
    ASSERT_EQ(platform::clock_of(dir.path().str(), clock), 0);
    Manifest m = Manifest::of_folder(dir.path());
    platform::FileStamp stamp;
    ASSERT_EQ(platform::file_stamp((dir / "XML/a.xml").str(), stamp), 0);
    m.entries.at(0).set_stamp(stamp, clock);
    ASSERT_NE(m.entries[0].mtime_ns, 0);
    m.write(dir.path());

    write_file(dir / "XML/a.xml", "AAA"); // in place, as cp -p does
    set_mtime(dir / "XML/a.xml", stamp.mtime_ns);
    EXPECT_EQ(find_foreign_files(dir.path()).changed, 1u);
}

// A file written, then its manifest entry made as an apply makes it once a
// tick of the file system's clock has passed; then something done to the file.
struct Afterwards {
    const char* name;
    std::function<void(const Path& file, ManifestEntry& e)> change;
    bool still_written;
};

void PrintTo(const Afterwards& a, std::ostream* os) { *os << a.name; }

class ManifestStamp : public testing::TestWithParam<Afterwards> { };


TEST_P(ManifestStamp, tellsAFileStillWrittenByItsStampOrItsBytes)
{
    TempDir dir;
    const Path file = dir / "XML/GlobalDefines.xml";
    write_file(file, "<Civ4Defines>1</Civ4Defines>");
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    std::int64_t clock = 0;
    ASSERT_EQ(platform::clock_of(dir.path().str(), clock), 0);
    platform::FileStamp stamp;
    ASSERT_EQ(platform::file_stamp(file.str(), stamp), 0);
    ManifestEntry e {"XML\\GlobalDefines.xml", stamp.size, hash_bytes("<Civ4Defines>1</Civ4Defines>"), 0};
    e.set_stamp(stamp, clock);
    ASSERT_NE(e.mtime_ns, 0) << "a stamp older than the clock is kept";

    GetParam().change(file, e);
    EXPECT_EQ(still_written(dir.path(), e), GetParam().still_written);
}

INSTANTIATE_TEST_SUITE_P(Cases, ManifestStamp,
    testing::Values(Afterwards {"untouched", [](const Path&, ManifestEntry&) {}, true},
        // A kept stamp is trusted without reading: the hash is not even compared.
        Afterwards {"untouchedWithAWrongHash", [](const Path&, ManifestEntry& e) { e.hash ^= 1; }, true},
        Afterwards {"editedInPlaceWithTheSameSize",
            [](const Path& f, ManifestEntry&) { write_file(f, "<Civ4Defines>2</Civ4Defines>"); }, false},
        Afterwards {"replacedWithTheSameSizeAndTime",
            [](const Path& f, ManifestEntry& e) {
                const Path other = f.subpath(0, f.size() - 1) / Path("other.xml");
                write_file(other, "<Civ4Defines>2</Civ4Defines>");
                set_mtime(other, e.mtime_ns);
                ASSERT_EQ(platform::rename(other.str(), f.str()), 0);
            },
            false},
        Afterwards {"grown", [](const Path& f, ManifestEntry&) { write_file(f, "<Civ4Defines>22</Civ4Defines>"); },
            false},
        Afterwards {"replacedByAFolder",
            [](const Path& f, ManifestEntry&) {
                platform::unlink(f.str());
                mkpath(f, 0755);
            },
            false},
        // Without a stamp the bytes tell.
        Afterwards {"noStampKept", [](const Path&, ManifestEntry& e) { e.mtime_ns = 0; }, true},
        Afterwards {"noStampKeptAndEditedWithItsTimeSetBack",
            [](const Path& f, ManifestEntry& e) {
                const std::int64_t then = e.mtime_ns;
                e.mtime_ns = 0;
                write_file(f, "<Civ4Defines>2</Civ4Defines>");
                set_mtime(f, then);
            },
            false},
        Afterwards {"stampOfAnotherFile", [](const Path&, ManifestEntry& e) { e.inode ^= 1; }, true}),
    [](const testing::TestParamInfo<Afterwards>& info) { return std::string(info.param.name); });

TEST(ManifestStampKept, onlyWhenOlderThanTheClockReadBeforeIt)
{
    platform::FileStamp stamp;
    stamp.size = 5;
    stamp.mtime_ns = 1000;
    stamp.inode = 7;
    ManifestEntry e {"a.xml", 5, 1, 0};
    for (const auto& [clock, kept] : {std::pair<std::int64_t, bool> {1001, true}, {1000, false}, {999, false}, {0, false}}) {
        e.set_stamp(stamp, clock);
        EXPECT_EQ(e.mtime_ns != 0, kept) << "clock " << clock;
    }
    // A stamp of other bytes than the entry's size says nothing of them.
    e.size = 6;
    e.set_stamp(stamp, 1001);
    EXPECT_EQ(e.mtime_ns, 0);
}

} // namespace
} // namespace velmora
