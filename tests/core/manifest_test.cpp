#include "core/manifest.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/hash.h"
#include "path/platform.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;

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

TEST(Manifest, aMissingOrDamagedFileReadsAsNoManifest)
{
    const std::string good_line = hash_text(1) + " 5 " + hash_text(0) + " a.txt\n";
    for (const std::string& text : {std::string(), std::string("velmora-manifest 2\n") + good_line,
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

} // namespace
} // namespace velmora
