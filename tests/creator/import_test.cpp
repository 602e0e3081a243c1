// Importing a mod from a downloaded archive: each kind of archive, where the
// mod folder hides inside it, the names and description it gives the mod, and
// the archives that must be refused without a byte written outside.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cstdlib>

#include "base/errors.h"
#include "creator/import.h"
#include "path/platform.h"
#include "support/archives.h"
#include "tests/creator/creator_fixture.h"

namespace velmora::test {
namespace {

using ::testing::HasSubstr;

std::string unchanged_things() { return things(thing("THING_A", field("iSize", "1"))); }
std::string changed_things() { return things(thing("THING_A", field("iSize", "2"))); }

// The game has the things file; archives carry a changed copy and a new texture.
class ImportTest : public CreatorFixture {
protected:
    ImportTest()
    {
        write_file(game(things_file), unchanged_things());
        mkpath(tmp / "unpack", 0755);
        const char* old = std::getenv("TMPDIR");
        old_tmpdir = old ? old : "";
        had_tmpdir = old != nullptr;
        // Unpacking happens in a folder the tests can watch.
        setenv("TMPDIR", platform::native(tmp / "unpack").c_str(), 1);
    }
    ~ImportTest() override
    {
        if (had_tmpdir)
            setenv("TMPDIR", old_tmpdir.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

    std::vector<ArchiveItem> mod_items(const std::string& folder = "Better Archers/Assets/")
    {
        return {{folder + "XML/Things/Civ4ThingInfos.xml", changed_things()},
            {folder + "Art/velmora.dds", "DDS |bytes"}};
    }

    std::unique_ptr<Mod> import(const Path& archive, const ArchiveLimits& limits = ArchiveLimits())
    {
        ModImporter importer(core->get_civ4_dir(), core->get_settings_dir(), archive, true, limits);
        return importer.import();
    }

    std::string import_error(const Path& archive, const ArchiveLimits& limits = ArchiveLimits())
    {
        try {
            import(archive, limits);
        } catch (const GenericError& e) {
            return e.what();
        }
        ADD_FAILURE() << "import() did not fail";
        return std::string();
    }

    // The temporary folders are gone and nothing landed beside them.
    void expect_nothing_left()
    {
        EXPECT_TRUE(list_files(tmp / "unpack").empty());
        EXPECT_FALSE(exists(tmp / "escaped.txt"));
    }

    static std::vector<std::string> files_of(const Mod& mod)
    {
        std::vector<std::string> files;
        for (const Change& c : mod.changes)
            files.push_back(c.file);
        return files;
    }

    std::string old_tmpdir;
    bool had_tmpdir = false;
};

// --- Each kind of archive ---------------------------------------------------

struct KindCase {
    const char* name;
    const char* file;
    const char* format; // libarchive's writer, or "rar" for the hand-made one
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

class ImportKindTest : public ImportTest, public ::testing::WithParamInterface<KindCase> { };

TEST_P(ImportKindTest, makesTheModThatCreateModMakesFromTheSameFolder)
{
    const KindCase& c = GetParam();
    const Path archive = tmp / c.file;
    if (std::string(c.format) == "rar")
        write_file(archive, rar4_archive(mod_items()));
    else
        write_archive(archive, c.format, mod_items());
    for (const ArchiveItem& item : mod_items())
        write_file(tmp / ("MyMod/" + item.name), item.data);

    std::unique_ptr<Mod> imported = import(archive);
    const std::string import_report = report();
    std::unique_ptr<Mod> created = create(tmp / "MyMod/Better Archers/Assets");

    ASSERT_TRUE(imported);
    EXPECT_EQ(files_of(*imported),
        (std::vector<std::string>{"Art\\velmora.dds", "XML\\Things\\Civ4ThingInfos.xml"}));
    ASSERT_EQ(imported->changes.size(), created->changes.size());
    for (auto a = imported->changes.begin(), b = created->changes.begin(); a != imported->changes.end(); ++a, ++b)
        EXPECT_EQ(a->text, b->text) << a->file;
    EXPECT_EQ(import_report, report());
    expect_nothing_left();
}

INSTANTIATE_TEST_SUITE_P(Kinds, ImportKindTest,
    ::testing::Values(KindCase{"zip", "Better_Archers_v1.2.zip", "zip"},
        KindCase{"sevenZip", "Better_Archers_v1.2.7z", "7zip"},
        KindCase{"tar", "Better_Archers_v1.2.tar", "pax"},
        KindCase{"rar", "Better_Archers_v1.2.rar", "rar"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Where the mod folder is ------------------------------------------------

struct RootCase {
    const char* name;
    std::vector<const char*> files;
    const char* expected_root;
};

void PrintTo(const RootCase& c, std::ostream* os) { *os << c.name; }

class ImportRootTest : public ImportTest, public ::testing::WithParamInterface<RootCase> { };

TEST_P(ImportRootTest, findsTheFolderThatPlaysAssets)
{
    const RootCase& c = GetParam();
    std::vector<ArchiveItem> items;
    for (const char* f : c.files)
        items.push_back({f, "DDS |bytes"});
    write_archive(tmp / "mod.zip", "zip", items);

    ModImporter importer(core->get_civ4_dir(), core->get_settings_dir(), tmp / "mod.zip", false);
    std::unique_ptr<Mod> mod = importer.import();

    EXPECT_EQ(importer.assets_folder(), c.expected_root);
    ASSERT_TRUE(mod);
    EXPECT_EQ(files_of(*mod), std::vector<std::string>{"Art\\velmora.dds"});
}

INSTANTIATE_TEST_SUITE_P(Folders, ImportRootTest,
    ::testing::Values(RootCase{"assetsAtTheTop", {"Assets/Art/velmora.dds", "Readme.txt"}, "Assets"},
        RootCase{"customAssetsInLowerCase", {"customassets/Art/velmora.dds"}, "customassets"},
        RootCase{"contentFoldersAtTheTop", {"Art/velmora.dds"}, ""},
        RootCase{"contentFoldersInAModFolder", {"Better Archers/Art/velmora.dds"}, "Better Archers"},
        RootCase{"nestedDeep",
            {"Downloads/Better Archers 1.2/Mods/Better Archers/Assets/Art/velmora.dds",
                "Downloads/Better Archers 1.2/Docs/changes.txt"},
            "Downloads/Better Archers 1.2/Mods/Better Archers/Assets"},
        RootCase{"namedFolderBeforeAnotherAtTheSameDepth",
            {"Extras/Art/velmora.dds", "Assets/Art/velmora.dds"}, "Assets"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportTest, anArchiveWithoutAModFolderIsRefused)
{
    write_archive(tmp / "photos.zip", "zip", {{"Holiday/beach.jpg", "JPEG"}});

    EXPECT_THAT(import_error(tmp / "photos.zip"), HasSubstr("photos.zip\" holds no mod"));
    expect_nothing_left();
}

TEST_F(ImportTest, twoModFoldersAtTheSameDepthAreNamedRatherThanGuessed)
{
    write_archive(tmp / "pack.zip", "zip", {{"Archers/Assets/Art/a.dds", "A"}, {"Knights/Assets/Art/k.dds", "K"}});

    const std::string error = import_error(tmp / "pack.zip");

    EXPECT_THAT(error, HasSubstr("\"Archers/Assets\""));
    EXPECT_THAT(error, HasSubstr("\"Knights/Assets\""));
}

// A zip made on a Mac or from a Windows folder of pictures carries files no
// game reads; a copy of the folders in "__MACOSX" is no second mod folder.
TEST_F(ImportTest, leavesOutFilesNoGameReads)
{
    write_archive(tmp / "mod.zip", "zip",
        {{"Better Archers/Art/velmora.dds", "DDS |bytes"}, {"Better Archers/Art/Thumbs.db", "thumbnails"},
            {"Better Archers/.DS_Store", "Finder"}, {"__MACOSX/Art/._velmora.dds", "resource fork"}});

    ModImporter importer(core->get_civ4_dir(), core->get_settings_dir(), tmp / "mod.zip", true);
    std::unique_ptr<Mod> mod = importer.import();

    ASSERT_TRUE(mod);
    EXPECT_EQ(importer.assets_folder(), "Better Archers");
    EXPECT_EQ(files_of(*mod), std::vector<std::string>{"Art\\velmora.dds"});
    EXPECT_EQ(importer.skipped(), (std::vector<std::string>{".DS_Store", "Art\\Thumbs.db"}));
    EXPECT_THAT(report(), HasSubstr("Art\\Thumbs.db -> skipped (no game reads it)\n"));
    expect_nothing_left();
}

// --- Names, version and description -----------------------------------------

TEST_F(ImportTest, takesNameAndVersionFromTheFileAndTheDescriptionFromTheReadme)
{
    std::vector<ArchiveItem> items = mod_items();
    items.push_back({"Better Archers/ReadMe.txt", "\r\nBetter Archers for BtS\r\nArchers get +1 range.\r\n\r\n"});
    write_archive(tmp / "Better_Archers_v1.2.zip", "zip", items);

    std::unique_ptr<Mod> mod = import(tmp / "Better_Archers_v1.2.zip");

    ASSERT_TRUE(mod);
    EXPECT_EQ(mod->name, "Better Archers");
    EXPECT_EQ(mod->version, "1.2");
    EXPECT_EQ(mod->description, "Better Archers for BtS\nArchers get +1 range.");
}

TEST_F(ImportTest, aReadmeInsideTheModFolderIsBothDescriptionAndNothingMore)
{
    std::vector<ArchiveItem> items = mod_items("Assets/");
    // Windows-1252 text, as forum readmes often are.
    items.push_back({"Assets/readme.txt", "Caf\xE9 archers"});
    write_archive(tmp / "mod.zip", "zip", items);

    std::unique_ptr<Mod> mod = import(tmp / "mod.zip");

    ASSERT_TRUE(mod);
    EXPECT_EQ(mod->description, "Caf\xC3\xA9 archers");
}

struct FileNameCase {
    const char* file;
    const char* name;
    const char* version;
};

class ArchiveFileNameTest : public ::testing::TestWithParam<FileNameCase> { };

TEST_P(ArchiveFileNameTest, givesTheModsNameAndVersion)
{
    const ArchiveFileNames names = names_from_archive_file(GetParam().file);
    EXPECT_EQ(names.name, GetParam().name);
    EXPECT_EQ(names.version, GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(Files, ArchiveFileNameTest,
    ::testing::Values(FileNameCase{"Better_Archers_v1.2.zip", "Better Archers", "1.2"},
        FileNameCase{"/home/me/Downloads/Rhye's Mod-3.05b.tar.gz", "Rhye's Mod", "3.05b"},
        FileNameCase{"Civ4 Units.7z", "Civ4 Units", ""}, FileNameCase{"GreatPeople.RAR", "GreatPeople", ""},
        FileNameCase{"v2.zip", "v2", ""}),
    [](const auto& info) {
        std::string name;
        for (const char* c = info.param.file; *c; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c)))
                name += *c;
        return name;
    });

// --- Hostile and damaged archives -------------------------------------------

struct HostileCase {
    const char* name;
    const char* format;
    ArchiveItem entry;
    const char* named; // what the message quotes
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

class ImportHostileTest : public ImportTest, public ::testing::WithParamInterface<HostileCase> { };

TEST_P(ImportHostileTest, isRefusedNamingTheEntryWithNothingWritten)
{
    const HostileCase& c = GetParam();
    ArchiveItem entry = c.entry;
    std::string named = c.named;
    if (entry.name == "ABSOLUTE")
        entry.name = named = platform::native(tmp / "escaped.txt");
    std::vector<ArchiveItem> items = mod_items("Assets/");
    items.insert(items.begin() + 1, entry);
    items.push_back({"Assets/Art/after.dds", "after"});
    write_archive(tmp / "hostile.archive", c.format, items);

    const std::string error = import_error(tmp / "hostile.archive");

    EXPECT_THAT(error, HasSubstr("hostile.archive\" is refused"));
    EXPECT_THAT(error, HasSubstr("\"" + named + "\""));
    expect_nothing_left();
}

INSTANTIATE_TEST_SUITE_P(Entries, ImportHostileTest,
    ::testing::Values(
        HostileCase{"zipSlip", "zip", {"Assets/../../../escaped.txt", "evil"}, "Assets/../../../escaped.txt"},
        HostileCase{"backslashSlip", "pax", {"Assets\\..\\..\\escaped.txt", "evil"}, "Assets\\..\\..\\escaped.txt"},
        HostileCase{"absolutePath", "pax", {"ABSOLUTE", "evil"}, ""},
        HostileCase{"driveLetter", "zip", {"C:/Windows/escaped.txt", "evil"}, "C:/Windows/escaped.txt"},
        HostileCase{"linkPointingOut", "pax",
            {"Assets/Art/link", "", ArchiveItem::SymbolicLink, "../../../.."}, "Assets/Art/link"},
        HostileCase{"absoluteLink", "pax", {"Assets/Art/passwd", "", ArchiveItem::SymbolicLink, "/etc/passwd"},
            "/etc/passwd"},
        HostileCase{"hardLinkOut", "pax", {"Assets/Art/hard", "", ArchiveItem::HardLink, "../../etc/passwd"},
            "../../etc/passwd"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportTest, linksInsideTheModBecomeCopies)
{
    write_archive(tmp / "links.tar", "pax",
        {{"Assets/Art/velmora.dds", "DDS |bytes"},
            {"Assets/Art/copy.dds", "", ArchiveItem::SymbolicLink, "velmora.dds"},
            {"Assets/Art/Units/hard.dds", "", ArchiveItem::HardLink, "Assets/Art/velmora.dds"}});

    std::unique_ptr<Mod> mod = import(tmp / "links.tar");

    ASSERT_TRUE(mod);
    EXPECT_EQ(files_of(*mod), (std::vector<std::string>{"Art\\Units\\hard.dds", "Art\\copy.dds", "Art\\velmora.dds"}));
    for (const Change& c : mod->changes)
        EXPECT_EQ(c.text, "DDS |bytes") << c.file;
}

TEST_F(ImportTest, aBombIsStoppedByTheRatioWithNothingLeft)
{
    std::vector<ArchiveItem> items = mod_items("Assets/");
    items.push_back({"Assets/Art/zeros.dds", std::string(16 << 20, '\0')});
    write_archive(tmp / "bomb.zip", "zip", items);

    EXPECT_THAT(import_error(tmp / "bomb.zip"), HasSubstr("bomb.zip\" unpacks to more than 200 times its own size"));
    expect_nothing_left();
}

TEST_F(ImportTest, theLimitsOnSizeAndEntriesStopAnImportUntilRaised)
{
    write_archive(tmp / "mod.zip", "zip", mod_items());
    ArchiveLimits small;
    small.max_size = 12;
    EXPECT_THAT(import_error(tmp / "mod.zip", small), HasSubstr("mod.zip\" unpacks to more than 12 bytes"));
    ArchiveLimits few;
    few.max_entries = 1;
    EXPECT_THAT(import_error(tmp / "mod.zip", few), HasSubstr("mod.zip\" holds more than 1 entries"));

    ModImporter importer(core->get_civ4_dir(), core->get_settings_dir(), tmp / "mod.zip", false, small);
    std::vector<ArchiveLimits::Kind> asked;
    importer.signal_limit_exceeded.connect([&asked](ArchiveLimits::Kind kind, const std::string&) {
        asked.push_back(kind);
        return true;
    });
    std::unique_ptr<Mod> mod = importer.import();
    EXPECT_EQ(asked, std::vector<ArchiveLimits::Kind>{ArchiveLimits::Kind::Size});
    ASSERT_TRUE(mod);
    EXPECT_EQ(mod->changes.size(), 2u);
    expect_nothing_left();
}

TEST_F(ImportTest, aGameFolderWithoutAssetsStopsTheImportBeforeUnpacking)
{
    write_archive(tmp / "mod.zip", "zip", mod_items());
    core->set_civ4_dir(tmp / "Nowhere");

    EXPECT_EQ(import_error(tmp / "mod.zip"), "Your Civ4 directory seems to be invalid (no Assets directory found)");
    expect_nothing_left();
}

TEST_F(ImportTest, aDamagedArchiveIsAnErrorNamingTheFile)
{
    write_archive(tmp / "whole.7z", "7zip", mod_items());
    const std::string bytes = read_file(tmp / "whole.7z");
    write_file(tmp / "cut.7z", bytes.substr(0, bytes.size() / 2));
    write_file(tmp / "text.zip", "this is not an archive\n");

    EXPECT_THAT(import_error(tmp / "cut.7z"), HasSubstr("archive \"" + platform::native(tmp / "cut.7z") + "\""));
    EXPECT_THAT(import_error(tmp / "text.zip"), HasSubstr("archive \"" + platform::native(tmp / "text.zip") + "\""));
    EXPECT_THAT(import_error(tmp / "missing.zip"), HasSubstr("missing.zip\" does not exist"));
    expect_nothing_left();
}

// An entry whose bytes fail their checksum is damage, not a file to compare:
// it once reached the XML parser from the private unpacking folder.
TEST_F(ImportTest, anEntryFailingItsChecksumStopsTheImportNamingArchiveAndEntry)
{
    write_archive(tmp / "crc.zip", "zip", mod_items(), "zip:compression=store");
    std::string bytes = read_file(tmp / "crc.zip");
    const std::string::size_type at = bytes.find("iSize");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'j';
    write_file(tmp / "crc.zip", bytes);

    const std::string error = import_error(tmp / "crc.zip");

    EXPECT_THAT(error, HasSubstr("archive \"" + platform::native(tmp / "crc.zip") + "\""));
    EXPECT_THAT(error, HasSubstr("entry \"Better Archers/Assets/XML/Things/Civ4ThingInfos.xml\""));
    EXPECT_THAT(error, ::testing::Not(HasSubstr("velmora-import")));
    expect_nothing_left();
}

} // namespace
} // namespace velmora::test
