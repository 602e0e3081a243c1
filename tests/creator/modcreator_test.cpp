// The mod creator's walk over a folder of modified files: which folders it
// takes, how it classifies each file, its progress and its report file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <sstream>

#include "base/errors.h"
#include "diff/diff.h"
#include "path/platform.h"
#include "tests/creator/creator_fixture.h"

namespace velmora::test {
namespace {

const char* const script = "import CvUtil\n"
                           "\n"
                           "def onGameStart(argsList):\n"
                           "\tCvUtil.pyPrint(\"game start\")\n"
                           "\treturn 0\n";

std::string unchanged_things() { return things(thing("THING_A", field("iSize", "1"))); }

class ModCreatorTest : public CreatorFixture { };

// --- Which folders the creator works on -------------------------------------

struct FolderCase {
    const char* name;
    const char* chosen; // relative to the temporary folder
    const char* files_in; // where the modified file lies
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

class ModCreatorFolderTest : public ModCreatorTest, public ::testing::WithParamInterface<FolderCase> { };

TEST_P(ModCreatorFolderTest, takesTheFilesOfTheRightFolder)
{
    const FolderCase& c = GetParam();
    write_file(tmp / (std::string(c.files_in) + "/Art/velmora.dds"), "DDS |bytes");

    std::unique_ptr<Mod> mod = create(tmp / c.chosen);

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    EXPECT_EQ(mod->changes.front().file, "Art\\velmora.dds");
    EXPECT_EQ(mod->changes.front().text, "DDS |bytes");
}

INSTANTIATE_TEST_SUITE_P(Folders, ModCreatorFolderTest,
    ::testing::Values(FolderCase{"assetsInLowerCase", "Work/assets", "Work/assets"},
        FolderCase{"customAssetsInUpperCase", "My Games/CUSTOMASSETS", "My Games/CUSTOMASSETS"},
        FolderCase{"modFolderHoldingAssets", "Mods/Velmora", "Mods/Velmora/Assets"},
        FolderCase{"modFolderHoldingAssetsInOtherCase", "Mods/Other", "Mods/Other/ASSETS"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ModCreatorTest, aFolderWithoutAssetsIsRefusedWithTheFolderItLookedFor)
{
    mkpath(tmp / "Mods/Empty", 0755);
    write_file(tmp / "Mods/Empty/readme.txt", "not an Assets folder");

    EXPECT_EQ(create_error(tmp / "Mods/Empty"),
        "Directory " + platform::native(tmp / "Mods/Empty/Assets") + " does not exist");
}

TEST_F(ModCreatorTest, aChosenAssetsThatIsAFileIsRefused)
{
    write_file(tmp / "Files/Assets", "a file");

    EXPECT_EQ(
        create_error(tmp / "Files/Assets"), "Directory " + platform::native(tmp / "Files/Assets") + " does not exist");
}

TEST_F(ModCreatorTest, anEmptyFolderTextMeansAssetsInTheCurrentFolder)
{
    write_file(tmp / "run/Assets/Art/velmora.dds", "DDS |bytes");

    std::unique_ptr<Mod> mod = create(Path());

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    EXPECT_EQ(mod->changes.front().file, "Art\\velmora.dds");
}

TEST_F(ModCreatorTest, aGameFolderThatIsAlreadyAssetsIsNotExtended)
{
    write_pair(things_file, unchanged_things(), things(thing("THING_A", field("iSize", "2"))));
    core->set_civ4_dir(tmp / "Civ4/assets");

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    EXPECT_EQ(mod->changes.front().type, Change::XML);
}

TEST_F(ModCreatorTest, aGameFolderWithoutAssetsIsRefused)
{
    write_file(modified("Art/velmora.dds"), "DDS |bytes");
    core->set_civ4_dir(tmp / "MyMod/Assets/Art");

    EXPECT_EQ(create_error(), "Your Civ4 directory seems to be invalid (no Assets directory found)");
}

TEST_F(ModCreatorTest, everyFileOfEveryFolderIsTakenDepthFirstInNameOrder)
{
    write_file(modified("b.txt"), "b");
    write_file(modified("A/z.txt"), "z");
    write_file(modified("A/Deep/er/x.txt"), "x");
    write_file(modified("c.txt"), "c");

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    std::vector<std::string> files;
    for (const Change& c : mod->changes)
        files.push_back(c.file);
    EXPECT_EQ(files, (std::vector<std::string>{"A\\Deep\\er\\x.txt", "A\\z.txt", "b.txt", "c.txt"}));
}

TEST_F(ModCreatorTest, aLinkBackUpTheTreeIsNotWalkedAgain)
{
    write_file(modified("Art/a.txt"), "a");
    ASSERT_EQ(::symlink("..", platform::native(modified("Art/up")).c_str()), 0);

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    EXPECT_EQ(mod->changes.front().file, "Art\\a.txt");
}

// --- How each file is recorded -----------------------------------------------

struct FileCase {
    const char* name;
    const char* file; // relative to Assets
    bool in_game; // the game has a file of that name (with other contents)
    Change::Type type;
    const char* report_word;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

class ModCreatorFileTest : public ModCreatorTest, public ::testing::WithParamInterface<FileCase> { };

TEST_P(ModCreatorFileTest, isRecordedByItsExactExtension)
{
    const FileCase& c = GetParam();
    const std::string game_text = unchanged_things();
    const std::string modified_text = things(thing("THING_A", field("iSize", "2")));
    if (c.in_game)
        write_file(game(c.file), game_text);
    write_file(modified(c.file), modified_text);

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    const Change& change = mod->changes.front();
    EXPECT_EQ(change.file, Path(c.file).str());
    EXPECT_EQ(change.type, c.type);
    if (c.type == Change::WHOLE) {
        EXPECT_EQ(change.text, modified_text);
    }
    EXPECT_EQ(report().substr(0, report().find('\n')), Path(c.file).str() + " -> " + c.report_word);
}

INSTANTIATE_TEST_SUITE_P(Extensions, ModCreatorFileTest,
    ::testing::Values(FileCase{"xml", "XML/Things/Civ4ThingInfos.xml", true, Change::XML, "xml"},
        FileCase{"xmlAfterTwoDots", "XML/Things/a.b.xml", true, Change::XML, "xml"},
        FileCase{"upperCaseXml", "XML/Things/Foo.XML", true, Change::WHOLE, "whole"},
        FileCase{"py", "Python/Things.py", true, Change::DIFF, "diff"},
        FileCase{"upperCasePy", "Python/script.PY", true, Change::WHOLE, "whole"},
        FileCase{"dotFile", "Art/.hidden", true, Change::WHOLE, "whole"},
        FileCase{"xmlOnlyInTheMod", "XML/Things/Civ4NewThingInfos.xml", false, Change::WHOLE, "whole"},
        FileCase{"pyOnlyInTheMod", "Python/New.py", false, Change::WHOLE, "whole"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ModCreatorTest, theGameFileIsFoundWhateverTheLetterCaseOfTheCopy)
{
    write_file(game(things_file), unchanged_things());
    write_file(modified("xml/THINGS/civ4thinginfos.xml"), things(thing("THING_A", field("iSize", "2"))));

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    EXPECT_EQ(mod->changes.front().type, Change::XML);
    EXPECT_EQ(mod->changes.front().file, "xml\\THINGS\\civ4thinginfos.xml");
}

TEST_F(ModCreatorTest, aFileWithoutADotIsSkippedSilently)
{
    write_file(modified("README"), "Read me first");
    write_file(modified("Art/velmora.dds"), "DDS |bytes");
    std::vector<std::string> progressed;

    ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), tmp / "MyMod", true);
    creator.signal_progress.connect([&](const Path& file, float) { progressed.push_back(file.str()); });
    std::unique_ptr<Mod> mod(creator.create());

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    EXPECT_EQ(progressed, std::vector<std::string>{"Art\\velmora.dds"});
    EXPECT_EQ(report(), "Art\\velmora.dds -> whole\n");
}

// A copy of the game's own file changes nothing alone and, with other mods,
// would undo their changes to it: no change, but the report names it.
struct UnchangedCase {
    const char* name;
    const char* file;
    std::string game;
    std::string modified;
};

void PrintTo(const UnchangedCase& c, std::ostream* os) { *os << c.name; }

class ModCreatorUnchangedTest : public ModCreatorTest,
                                public ::testing::WithParamInterface<UnchangedCase> { };

TEST_P(ModCreatorUnchangedTest, givesNoChangeAndIsReportedUnchanged)
{
    const UnchangedCase& c = GetParam();
    write_pair(c.file, c.game, c.modified);
    write_file(modified("Art/new.dds"), "DDS |new");

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    EXPECT_EQ(mod->changes.front().file, "Art\\new.dds");
    EXPECT_NE(report().find(Path(c.file).str() + " -> unchanged\n"), std::string::npos) << report();
    EXPECT_NE(report().find("Art\\new.dds -> whole\n"), std::string::npos) << report();
}

const std::string texture("DDS |\0\x01\xff\x80 texture", 18);

INSTANTIATE_TEST_SUITE_P(Files, ModCreatorUnchangedTest,
    ::testing::Values(UnchangedCase{"script", "Python/CvThings.py", script, script},
        // Applying a difference keeps the game's line ends anyway.
        UnchangedCase{"scriptWithOtherLineEnds", "Python/CvThings.py", crlf(script), script},
        UnchangedCase{"emptyScript", "Python/__init__.py", "", ""},
        UnchangedCase{"binaryFile", "Art/Interface/button.dds", texture, texture},
        UnchangedCase{"emptyFile", "Art/empty.dds", "", ""},
        UnchangedCase{"largerThanOneReadBlock", "Sounds/theme.mp3", std::string(200000, '\x7f') + "end",
            std::string(200000, '\x7f') + "end"}),
    [](const auto& info) { return std::string(info.param.name); });

// Compared byte for byte, not by size: a copy differing only in its last byte
// is a change.
TEST_F(ModCreatorTest, aWholeFileDifferingFromTheGamesInOneByteIsStored)
{
    std::string changed = texture;
    changed.back() = 'E';
    write_pair("Art/Interface/button.dds", texture, changed);
    write_pair("Sounds/theme.mp3", std::string(200000, 'm'), std::string(199999, 'm') + "M");

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 2u);
    EXPECT_EQ(mod->changes.front().text, changed);
    EXPECT_EQ(mod->changes.back().text.back(), 'M');
    EXPECT_EQ(report(), "Art\\Interface\\button.dds -> whole\nSounds\\theme.mp3 -> whole\n");
}

TEST_F(ModCreatorTest, aChangedScriptGivesItsLineDifference)
{
    std::string changed = script;
    changed.replace(changed.find("game start"), 10, "Velmora: game start");
    write_pair("Python/CvThings.py", crlf(script), changed);

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    EXPECT_EQ(mod->changes.front().text,
        "@@ -1,5 +1,5 @@\n"
        " import CvUtil\n"
        " \n"
        " def onGameStart(argsList):\n"
        "-\tCvUtil.pyPrint(\"game start\")\n"
        "+\tCvUtil.pyPrint(\"Velmora: game start\")\n"
        " \treturn 0\n");
}

// An unchanged copy of the game's file (whole bytes, or a copy that an editor
// re-indented, stripped of comments or of attributes) gives no change, but
// the report still names the file.
struct SameXmlCase {
    const char* name;
    std::string game;
    std::string modified;
};

void PrintTo(const SameXmlCase& c, std::ostream* os) { *os << c.name; }

class ModCreatorSameXmlTest : public ModCreatorTest, public ::testing::WithParamInterface<SameXmlCase> { };

TEST_P(ModCreatorSameXmlTest, givesNoChangeButAReportLine)
{
    write_pair(things_file, GetParam().game, GetParam().modified);

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    EXPECT_TRUE(mod->changes.empty());
    EXPECT_EQ(report(), std::string(things_file) + " -> xml\n");
}

const std::string same_game
    = things(thing("THING_A", field("iSize", "1") + items("Sizes", "iSize", {"1", "2"}))
        + thing("THING_B", items("Tags", "Tag", {"TAG_X"}) + "\t\t\t<Art><Mesh file=\"a.nif\"/></Art>\n"));

INSTANTIATE_TEST_SUITE_P(Xml, ModCreatorSameXmlTest,
    ::testing::Values(SameXmlCase{"sameBytes", same_game, same_game},
        SameXmlCase{"crlfLineEnds", same_game, crlf(same_game)},
        SameXmlCase{"otherIndentation", same_game,
            "<Civ4ThingInfos xmlns=\"x-schema:CIV4ThingSchema.xml\"><ThingInfos>"
            "<ThingInfo>  "
            "<Type>THING_A</Type><iSize>1</iSize><Sizes><iSize>1</iSize>\n<iSize>2</iSize></Sizes>"
            "</ThingInfo><ThingInfo><Type>THING_B</Type><Tags><Tag>TAG_X</Tag></Tags>"
            "<Art>\n  <Mesh file=\"a.nif\"/>\n</Art></ThingInfo></ThingInfos></Civ4ThingInfos>"},
        SameXmlCase{"commentsAddedAndRemoved", same_game,
            "<Civ4ThingInfos xmlns=\"x-schema:CIV4ThingSchema.xml\"><!-- mine --><ThingInfos>"
            "<ThingInfo><Type>THING_A</Type><!-- bigger? --><iSize>1</iSize><Sizes><iSize>1</iSize><!-- x -->"
            "<iSize>2</iSize></Sizes></ThingInfo><ThingInfo><Type>THING_B</Type><Tags><Tag>TAG_X</Tag></Tags>"
            "<Art><Mesh file=\"a.nif\"/><!-- y --></Art></ThingInfo></ThingInfos></Civ4ThingInfos>"},
        SameXmlCase{"attributesOfRecordsChanged", same_game,
            "<Civ4ThingInfos xmlns=\"x-schema:CIV4ThingSchema.xml\" version=\"2\"><ThingInfos>"
            "<ThingInfo note=\"x\"><Type>THING_A</Type><iSize unit=\"m\">1</iSize><Sizes><iSize>1</iSize>"
            "<iSize>2</iSize></Sizes></ThingInfo><ThingInfo><Type>THING_B</Type><Tags><Tag>TAG_X</Tag></Tags>"
            "<Art><Mesh file=\"a.nif\"/></Art></ThingInfo></ThingInfos></Civ4ThingInfos>"},
        SameXmlCase{"latin1AndUtf8OfTheSameText", to_latin1(things(thing("THING_É", field("Name", "Écu")))),
            things(thing("THING_É", field("Name", "Écu")), Declaration::utf_8)}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Progress -----------------------------------------------------------------

TEST_F(ModCreatorTest, progressGivesEachFileAndTheShareDoneBeforeIt)
{
    write_file(modified("a.txt"), "a");
    write_file(modified("b.txt"), "b");
    write_file(modified("c/d.txt"), "d");
    write_file(modified("e.txt"), "e");
    std::vector<std::pair<std::string, float>> progress;

    ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), tmp / "MyMod", false);
    creator.signal_progress.connect(
        [&](const Path& file, float fraction) { progress.emplace_back(file.str(), fraction); });
    std::unique_ptr<Mod> mod(creator.create());

    ASSERT_TRUE(mod);
    EXPECT_EQ(progress,
        (std::vector<std::pair<std::string, float>>{
            {"a.txt", 0.0f}, {"b.txt", 0.25f}, {"c\\d.txt", 0.5f}, {"e.txt", 0.75f}}));
}

TEST_F(ModCreatorTest, aSecondCreateWalksTheSameFoldersAgain)
{
    write_pair(things_file, unchanged_things(), things(thing("THING_A", field("iSize", "2"))));
    write_file(modified("Art/velmora.dds"), "DDS |bytes");

    ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), tmp / "MyMod", false);
    std::unique_ptr<Mod> first(creator.create());
    std::unique_ptr<Mod> second(creator.create());

    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    ASSERT_EQ(second->changes.size(), 2u);
    auto a = first->changes.begin();
    for (const Change& c : second->changes) {
        EXPECT_EQ(c.file, a->file);
        EXPECT_EQ(c.text, a->text);
        ++a;
    }
}

// --- Files the game reads from Warlords or the original game -----------------

// Beyond the Sword reads a file its own folder lacks from Warlords' folder
// beside it, else from the original game's one folder up: a modified copy of
// such a file is compared with that copy.
class ModCreatorOlderGameTest : public ModCreatorTest, public ::testing::WithParamInterface<const char*> {
protected:
    Path older(const std::string& rel) const { return tmp / (std::string(GetParam()) + "/" + rel); }
};

TEST_P(ModCreatorOlderGameTest, comparesWithTheCopyTheGameReads)
{
    write_file(older(things_file),
        things(thing("THING_A", field("iSize", "1")) + thing("THING_B", field("iSize", "2"))));
    write_file(modified(things_file),
        things(thing("THING_A", field("iSize", "1")) + thing("THING_B", field("iSize", "5"))));
    write_file(older("Python/CvThings.py"), crlf(script));
    write_file(modified("Python/CvThings.py"), crlf(std::string(script) + "x = 1\n"));
    write_file(older("Art/button.dds"), texture);
    write_file(modified("Art/button.dds"), texture);

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 2u);
    EXPECT_EQ(mod->changes.front().type, Change::DIFF);
    EXPECT_EQ(mod->changes.front().text,
        "@@ -3,3 +3,4 @@\n def onGameStart(argsList):\n \tCvUtil.pyPrint(\"game start\")\n"
        " \treturn 0\n+x = 1\n");
    EXPECT_EQ(mod->changes.back().type, Change::XML);
    EXPECT_EQ(
        outline(mod->changes.back().text), "Civ4ThingInfos(ThingInfos(ThingInfo(Type=THING_B,iSize=5)))");
    EXPECT_EQ(report().substr(0, report().find("\n  ")),
        "Art\\button.dds -> unchanged\nPython\\CvThings.py -> diff\nXML\\Things\\Civ4ThingInfos.xml -> xml");
}

INSTANTIATE_TEST_SUITE_P(Installs, ModCreatorOlderGameTest, ::testing::Values("Warlords/Assets", "Assets"),
    [](const auto& info) { return std::string(info.index == 0 ? "warlords" : "originalGame"); });

TEST_F(ModCreatorTest, theGameFoldersOwnCopyComesBeforeWarlords)
{
    const std::string mine = things(thing("THING_A", field("iSize", "3")));
    write_pair(things_file, mine, mine);
    write_file(tmp / ("Warlords/Assets/" + std::string(things_file)), unchanged_things());
    write_file(tmp / "Warlords/Assets/Art/button.dds", texture);
    write_file(modified("Art/button.dds"), texture);
    write_file(game("Art/button.dds"), "DDS |other");

    std::unique_ptr<Mod> mod = create();

    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->changes.size(), 1u);
    EXPECT_EQ(mod->changes.front().file, "Art\\button.dds");
}

// --- The report file ------------------------------------------------------------

TEST_F(ModCreatorTest, withoutTheReportOptionNoReportIsTouched)
{
    write_file(modified("Art/velmora.dds"), "DDS |bytes");
    write_file(report_file(), "an earlier report\n");

    std::unique_ptr<Mod> mod = create(tmp / "MyMod", false);

    ASSERT_TRUE(mod);
    EXPECT_EQ(report(), "an earlier report\n");
}

TEST_F(ModCreatorTest, withoutTheReportOptionNoReportIsCreated)
{
    write_file(modified("Art/velmora.dds"), "DDS |bytes");

    ASSERT_TRUE(create(tmp / "MyMod", false));
    EXPECT_FALSE(exists(report_file()));
}

TEST_F(ModCreatorTest, anEarlierReportIsEmptiedAsSoonAsTheCreatorIsMade)
{
    write_file(report_file(), "an earlier report\n");

    ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), tmp / "Nowhere", true);
    EXPECT_EQ(report(), "");
    EXPECT_THROW(creator.create(), GenericError);
    EXPECT_EQ(report(), "");
}

TEST_F(ModCreatorTest, aReportThatCannotBeWrittenIsAnErrorNamingIt)
{
    mkpath(report_file(), 0755); // a folder where the file should go

    try {
        ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), tmp / "MyMod", true);
        FAIL() << "the creator was made";
    } catch (const GenericError& e) {
        EXPECT_NE(
            std::string(e.what()).find("Cannot write the report " + platform::native(report_file())), std::string::npos)
            << e.what();
    }
}

TEST_F(ModCreatorTest, theReportListsEveryFileWithItsTypeInWalkOrder)
{
    write_pair("Python/CvThings.py", script, script);
    write_pair("Python/CvOther.py", script, std::string(script) + "x = 1\n");
    write_pair(things_file, unchanged_things(), unchanged_things());
    write_file(modified("Art/velmora.dds"), "DDS |bytes");

    ASSERT_TRUE(create());
    EXPECT_EQ(report(),
        "Art\\velmora.dds -> whole\n"
        "Python\\CvOther.py -> diff\n"
        "Python\\CvThings.py -> unchanged\n"
        "XML\\Things\\Civ4ThingInfos.xml -> xml\n");
}

// --- Files that cannot be carried -----------------------------------------------

TEST_F(ModCreatorTest, aFileThatCannotBeReadStopsTheCreationNamingIt)
{
    write_file(modified("Art/a.txt"), "a");
    ASSERT_EQ(::symlink("missing.dds", platform::native(modified("Art/broken.dds")).c_str()), 0);

    std::string message = create_error();

    EXPECT_EQ(message.find("Cannot read " + platform::native(modified("Art/broken.dds")) + ": "), 0u) << message;
}

TEST_F(ModCreatorTest, aFileNameWindowsCannotHoldStopsTheCreationNamingIt)
{
    write_file(modified("Art/what?.txt"), "?");

    std::string message = create_error();

    EXPECT_NE(message.find(platform::native(Path("Art\\what?.txt"))), std::string::npos) << message;
}

TEST_F(ModCreatorTest, processFileOutsideCreateReportsFailure)
{
    ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), tmp / "MyMod", false);
    EXPECT_NE(creator.process_file(Path("Art\\velmora.dds")), 0);
}

// --- Files no game reads --------------------------------------------------------

std::vector<std::string> files_of(const Mod& mod)
{
    std::vector<std::string> files;
    for (const Change& c : mod.changes)
        files.push_back(c.file);
    return files;
}

struct UnreadCase {
    const char* title;
    const char* file; // as the walk finds it
    const char* report; // the report's word for it
};

void PrintTo(const UnreadCase& c, std::ostream* os) { *os << c.title; }

class ModCreatorUnreadTest : public ModCreatorTest, public ::testing::WithParamInterface<UnreadCase> { };

TEST_P(ModCreatorUnreadTest, isLeftOutWithAReportLine)
{
    const UnreadCase& c = GetParam();
    write_file(modified(c.file), "not for the game");
    write_file(modified("Art/velmora.dds"), "DDS |bytes");

    ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), tmp / "MyMod", true);
    std::unique_ptr<Mod> mod(creator.create());

    ASSERT_TRUE(mod);
    EXPECT_EQ(files_of(*mod), std::vector<std::string>{"Art\\velmora.dds"});
    const std::string file = Path(c.file).str();
    EXPECT_EQ(creator.skipped(), std::vector<std::string>{file});
    EXPECT_NE(report().find(file + " -> skipped (" + c.report + ")\n"), std::string::npos) << report();
}

INSTANTIATE_TEST_SUITE_P(Kinds, ModCreatorUnreadTest,
    ::testing::Values(UnreadCase{"thumbnails", "Art/Thumbs.db", "no game reads it"},
        UnreadCase{"folderSettings", "Art/desktop.ini", "no game reads it"},
        UnreadCase{"finder", ".DS_Store", "no game reads it"},
        UnreadCase{"folderIcon", "Art/Icon\r", "no game reads it"},
        UnreadCase{"appleDouble", "Art/._velmora.dds", "no game reads it"},
        UnreadCase{"macCopies", "__MACOSX/Art/._velmora.dds", "no game reads it"},
        UnreadCase{"editorBackup", "XML/Things/Civ4ThingInfos.xml~", "no game reads it"},
        UnreadCase{"backupWithoutADot", "Python/notes~", "no game reads it"},
        UnreadCase{"bak", "Python/CvThings.py.bak", "no game reads it"},
        UnreadCase{"orig", "Python/CvThings.py.orig", "no game reads it"},
        UnreadCase{"rej", "Python/CvThings.py.rej", "no game reads it"},
        UnreadCase{"swap", "Python/.CvThings.py.swp", "no game reads it"},
        UnreadCase{"manifestOfABuiltFolder", ".velmora-manifest", "Velmora's own file"},
        UnreadCase{"halfWrittenFile", "XML/Things/Civ4ThingInfos.xml.velmora-part", "Velmora's own file"}),
    [](const auto& info) { return std::string(info.param.title); });

TEST_F(ModCreatorTest, aFolderOfOnlyFilesNoGameReadsGivesAModWithoutChanges)
{
    write_file(modified("Thumbs.db"), "thumbnails");
    write_file(modified(".velmora-manifest"), "velmora-manifest 2\n");

    ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), tmp / "MyMod", false);
    std::unique_ptr<Mod> mod(creator.create());

    ASSERT_TRUE(mod);
    EXPECT_TRUE(mod->changes.empty());
    EXPECT_EQ(creator.skipped(), (std::vector<std::string>{".velmora-manifest", "Thumbs.db"}));
}

TEST_F(ModCreatorTest, aDocumentAtTheTopStaysAndTheReportSaysTheGameDoesNotReadIt)
{
    write_file(modified("readme.txt"), "Read me first");
    write_file(modified("Art/readme.txt"), "A texture's notes");

    ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), tmp / "MyMod", true);
    std::unique_ptr<Mod> mod(creator.create());

    ASSERT_TRUE(mod);
    EXPECT_EQ(files_of(*mod), (std::vector<std::string>{"Art\\readme.txt", "readme.txt"}));
    EXPECT_EQ(creator.documents(), std::vector<std::string>{"readme.txt"});
    EXPECT_EQ(report(),
        "Art\\readme.txt -> whole\n"
        "readme.txt -> whole\n"
        "  a document: the game does not read it, the mod carries it\n");
}

} // namespace
} // namespace velmora::test
