#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <libxml++/libxml++.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "base/errors.h"
#include "base/format.h"
#include "mod/base64.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/tempdir.h"
#include "xml/misc.h"
#include "support/case_name.h"

using velmora::Change;
using velmora::format_xml;
using velmora::GenericError;
using velmora::Mod;
using velmora::Path;
using velmora::XmlError;
using velmora::test::read_file;
using velmora::test::TempDir;
using velmora::test::write_file;

namespace {

// A record of the game's unit file, as an xml change carries it.
const std::string unit_change = "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n"
                                "\t<UnitInfos>\n"
                                "\t\t<UnitInfo>\n"
                                "\t\t\t<Type>UNIT_ARCHER</Type>\n"
                                "\t\t\t<iCombat>4</iCombat>\n"
                                "\t\t\t<Flavors>\n"
                                "\t\t\t\t<Flavor>\n"
                                "\t\t\t\t\t<FlavorType>FLAVOR_MILITARY</FlavorType>\n"
                                "\t\t\t\t\t<iFlavor>3</iFlavor>\n"
                                "\t\t\t\t</Flavor>\n"
                                "\t\t\t</Flavors>\n"
                                "\t\t</UnitInfo>\n"
                                "\t</UnitInfos>\n"
                                "</Civ4UnitInfos>\n";

const std::string script_diff = "@@ -10,3 +10,3 @@\n"
                                " def onBeginGameTurn(self, argsList):\n"
                                "-\tiGameTurn = argsList[0]\n"
                                "+\tiGameTurn = argsList[0] + 1\n";

std::string mod_file(
    const std::string& body, const std::string& root = "Pellarix", const std::string& prolog = "")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" + prolog + "<" + root + ">\n" + body + "</" + root
        + ">\n";
}

std::string all_bytes()
{
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += static_cast<char>(b);
    return s;
}

Change change(Change::Type type, const std::string& file, const std::string& text)
{
    Change c;
    c.type = type;
    c.file = file;
    c.text = text;
    return c;
}

void expect_same_changes(const std::list<Change>& got, const std::vector<Change>& want)
{
    ASSERT_EQ(got.size(), want.size());
    auto it = got.begin();
    for (const Change& w : want) {
        EXPECT_EQ(it->file, w.file);
        EXPECT_EQ(it->type, w.type);
        EXPECT_EQ(it->text, w.text) << w.file;
        ++it;
    }
}

// --- The type's name ---------------------------------------------------------

struct TypeNameCase {
    int type;
    std::string name;
};

class ChangeTypeName : public testing::TestWithParam<TypeNameCase> { };

TEST_P(ChangeTypeName, isWrittenByFormat)
{
    auto type = static_cast<Change::Type>(GetParam().type);
    EXPECT_EQ(
        velmora::format("[%O]", new velmora::fmtobject<Change::Type>(&type)), "[" + GetParam().name + "]");
}

INSTANTIATE_TEST_SUITE_P(Types, ChangeTypeName,
    testing::Values(
        TypeNameCase{0, "diff"}, TypeNameCase{1, "xml"}, TypeNameCase{2, "whole"}, TypeNameCase{3, ""}),
    ::velmora::test::CaseName());

// --- Saving --------------------------------------------------------------------

TEST(ModSave, writesTheFormatByteForByte)
{
    TempDir dir;
    Mod m;
    m.name = "Stronger Archers";
    m.author = "Ann & Bo";
    m.version = "1.0";
    m.description = "";
    m.changes.push_back(change(Change::XML, "XML\\Units\\Civ4UnitInfos.xml", "<A>1</A>"));
    m.changes.push_back(change(Change::WHOLE, "Art\\x.dds", "DDS \x01"));
    m.changes.push_back(change(Change::DIFF, "Python\\CvEventManager.py", "+\tx = 1\n"));
    Path p = dir / "Stronger Archers.Pellarix";
    EXPECT_EQ(m.save(p), 0);
    EXPECT_EQ(read_file(p),
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<Pellarix>\n"
        "  <Name>Stronger Archers</Name>\n"
        "  <Author>Ann &amp; Bo</Author>\n"
        "  <Version>1.0</Version>\n"
        "  <Description></Description>\n"
        "  <Change file=\"XML\\Units\\Civ4UnitInfos.xml\" type=\"xml\">&lt;A&gt;1&lt;/A&gt;</Change>\n"
        "  <Change file=\"Art\\x.dds\" type=\"whole\" base64=\"1\" size=\"5\">"
            + velmora::base64_encode("DDS \x01")
            + "</Change>\n"
              "  <Change file=\"Python\\CvEventManager.py\" type=\"diff\">+\tx = 1\n</Change>\n"
              "</Pellarix>\n");
    EXPECT_EQ(m.path, p);
}

struct EncodeCase {
    const char* what;
    Change::Type type;
    std::string text;
    bool encoded;
};

class ModSaveEncoding : public testing::TestWithParam<EncodeCase> { };

TEST_P(ModSaveEncoding, encodesOnlyWhatMustBeAndReadsBackTheSameBytes)
{
    const EncodeCase& c = GetParam();
    TempDir dir;
    Mod m;
    m.changes.push_back(change(c.type, "Assets\\f", c.text));
    Path p = dir / "m.Pellarix";
    m.save(p);
    std::string file = read_file(p);
    std::string size = "size=\"" + std::to_string(c.text.size()) + "\"";
    EXPECT_EQ(file.find("base64=\"1\"") != std::string::npos, c.encoded) << c.what;
    EXPECT_EQ(file.find(size) != std::string::npos, c.encoded) << c.what;

    Mod back;
    ASSERT_EQ(back.load(p), 0);
    ASSERT_EQ(back.changes.size(), 1u) << c.what;
    if (c.type != Change::XML) {
        EXPECT_EQ(back.changes.front().text, c.text) << c.what;
    }
}

const std::string kilobyte(1024, 'k');

INSTANTIATE_TEST_SUITE_P(Payloads, ModSaveEncoding,
    testing::Values(EncodeCase{"plain text", Change::WHOLE, "[CONFIG]\r\nName=x\r\n", false},
        EncodeCase{"tab is unsafe", Change::WHOLE, "[CONFIG]\r\n\tName=x\r\n", true},
        EncodeCase{"delete is unsafe", Change::WHOLE, "a\x7f", true},
        EncodeCase{"non-ASCII in the first 1024 bytes", Change::WHOLE, "Tr\xc3\xa8s", true},
        EncodeCase{"non-ASCII after 1024 bytes", Change::WHOLE, kilobyte + "Tr\xc3\xa8s", false},
        EncodeCase{"every byte value", Change::WHOLE, all_bytes(), true},
        EncodeCase{"diff with tabs", Change::DIFF, script_diff, false},
        EncodeCase{"xml with tabs", Change::XML, unit_change, false},
        // XML cannot carry these bytes as text: plain, they would make the file unreadable.
        EncodeCase{"Latin-1 after 1024 bytes", Change::WHOLE, kilobyte + "Tr\xe8s", true},
        EncodeCase{"control byte after 1024 bytes", Change::WHOLE, kilobyte + "\x01", true},
        EncodeCase{"Latin-1 script diff", Change::DIFF, "+# Fran\xe7ois\n", true}),
    ::velmora::test::CaseName());

// An empty file (a package's __init__.py) is a change of its own; the empty
// difference of an unchanged script is not, and still vanishes on reading.
TEST(ModSave, marksAnEmptyWholeChangeSoThatReadingKeepsIt)
{
    TempDir dir;
    Mod m;
    m.changes.push_back(change(Change::WHOLE, "Python\\Contrib\\__init__.py", ""));
    m.changes.push_back(change(Change::DIFF, "Python\\CvOther.py", ""));
    m.changes.push_back(change(Change::WHOLE, "Art\\full.dds", "x"));
    Path p = dir / "m.Pellarix";
    m.save(p);
    std::string file = read_file(p);
    EXPECT_NE(file.find("<Change file=\"Python\\Contrib\\__init__.py\" type=\"whole\" empty=\"1\"/>"),
        std::string::npos)
        << file;
    Mod back;
    back.load(p);
    expect_same_changes(back.changes,
        {change(Change::WHOLE, "Python\\Contrib\\__init__.py", ""),
            change(Change::WHOLE, "Art\\full.dds", "x")});
}

// Files written before empty files were marked: every change without text is
// skipped, as it always was, whatever its type.
TEST(ModLoad, readsAnOlderFileWithEmptyChangesAsBefore)
{
    TempDir dir;
    Path p = dir / "old.Pellarix";
    write_file(p,
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<Pellarix>\n"
        "  <Name>Old</Name>\n"
        "  <Author></Author>\n"
        "  <Version>1.0</Version>\n"
        "  <Description></Description>\n"
        "  <Change file=\"Python\\Contrib\\__init__.py\" type=\"whole\"></Change>\n"
        "  <Change file=\"Python\\CvOther.py\" type=\"diff\"></Change>\n"
        "  <Change file=\"Art\\empty.dds\" type=\"whole\"/>\n"
        "  <Change file=\"Art\\full.dds\" type=\"whole\">x</Change>\n"
        "  <Change file=\"Python\\CvThings.py\" type=\"diff\">@@ -1,1 +1,1 @@\n-a\n+b\n</Change>\n"
        "</Pellarix>\n");
    Mod m;
    ASSERT_EQ(m.load(p), 0);
    expect_same_changes(m.changes,
        {change(Change::WHOLE, "Art\\full.dds", "x"),
            change(Change::DIFF, "Python\\CvThings.py", "@@ -1,1 +1,1 @@\n-a\n+b\n")});
}

TEST(ModSave, thenLoadGivesBackTheHeaderAndTheChanges)
{
    TempDir dir;
    Mod m;
    m.name = "Caf\xc3\xa9 <Mod>";
    m.author = "\"Ann\" & 'Bo'";
    m.version = "2.1b";
    m.description = "Line one\r\nLine two\n\n  indented ]]> end";
    std::vector<Change> changes = {
        change(Change::XML, "XML\\Units\\Civ4UnitInfos.xml", format_xml(unit_change)),
        change(Change::DIFF, "Python\\CvEventManager.py", script_diff),
        change(Change::WHOLE, "Art\\Interface\\x.dds", all_bytes()),
        change(Change::WHOLE, "Civ4.ini", "\n\n  \n"), change(Change::WHOLE, "readme.txt", "a\r\nb\rc\n")};
    m.changes.assign(changes.begin(), changes.end());
    Path p = dir / "m.Pellarix";
    m.save(p);

    Mod back;
    ASSERT_EQ(back.load(p), 0);
    EXPECT_TRUE(back.loaded);
    EXPECT_EQ(back.path, p);
    EXPECT_EQ(back.name, m.name);
    EXPECT_EQ(back.author, m.author);
    EXPECT_EQ(back.version, m.version);
    EXPECT_EQ(back.description, m.description);
    expect_same_changes(back.changes, changes);

    // Written again, the file does not change.
    std::string first = read_file(p);
    back.save(p);
    EXPECT_EQ(read_file(p), first);
}

TEST(ModSave, writesHeaderBytesOfOtherEncodingsAsTheirCharacters)
{
    TempDir dir;
    Mod m;
    m.name = "Tr\xe8s bien"; // from an ISO-8859-1 INI file
    m.description = std::string("a\x01z", 3);
    m.changes.push_back(change(Change::WHOLE, "Art\\P\xe9tain.dds", "x"));
    m.save(dir / "m.Pellarix");
    Mod back;
    ASSERT_EQ(back.load(dir / "m.Pellarix"), 0);
    EXPECT_EQ(back.name, "Tr\xc3\xa8s bien");
    EXPECT_EQ(back.description, "az");
    expect_same_changes(back.changes, {change(Change::WHOLE, "Art\\P\xc3\xa9tain.dds", "x")});
    // The mod in memory now says what its file says.
    EXPECT_EQ(m.name, back.name);
    EXPECT_EQ(m.description, back.description);
    EXPECT_EQ(m.changes.front().file, back.changes.front().file);
}

TEST(ModSave, replacesAnOlderFileAndLeavesNoTemporaryFile)
{
    TempDir dir;
    Path p = dir / "m.Pellarix";
    write_file(p, std::string(10000, 'o'));
    Mod m;
    m.name = "New";
    m.save(p);
    EXPECT_NE(read_file(p).find("<Name>New</Name>"), std::string::npos);
    EXPECT_EQ(velmora::list_files(dir.path()), std::list<std::string>{"m.Pellarix"});
}

// Lowers the largest file size the process may write: writing beyond it fails
// like a full disk (and does not kill the process).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit old_;
    void (*old_handler_)(int);
};

TEST(ModSave, keepsTheOldFileWhenTheDiskIsFull)
{
    TempDir dir;
    Path p = dir / "m.Pellarix";
    Mod old;
    old.name = "Old";
    old.save(p);
    std::string before = read_file(p);

    Mod m;
    m.name = "New";
    m.changes.push_back(change(Change::WHOLE, "Art\\big.dds", std::string(100000, '\x01')));
    try {
        FileSizeLimit limit(4096);
        m.save(p);
        ADD_FAILURE() << "saving did not fail";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find(velmora::platform::native(p)), std::string::npos) << e.what();
    }
    EXPECT_EQ(read_file(p), before);
    EXPECT_EQ(velmora::list_files(dir.path()), std::list<std::string>{"m.Pellarix"});
    EXPECT_TRUE(m.path.empty());
}

class ModSaveFailure : public testing::TestWithParam<std::string> { };

TEST_P(ModSaveFailure, throwsNamingTheFileAndLeavesTheFolderAsItWas)
{
    TempDir dir;
    write_file(dir / "file", "not a folder");
    velmora::mkpath(dir / "folder.Pellarix", 0755);
    Path p = dir / GetParam();
    Mod m;
    m.name = "x";
    try {
        m.save(p);
        ADD_FAILURE() << "saving to " << p.str() << " did not fail";
    } catch (const GenericError& e) {
        std::string message = e.what();
        EXPECT_EQ(message.find("Cannot save the mod file " + velmora::platform::native(p) + ": "), 0u) << message;
    }
    EXPECT_EQ(read_file(dir / "file"), "not a folder");
    EXPECT_EQ(velmora::list_files(dir.path()), (std::list<std::string>{"file", "folder.Pellarix"}));
    EXPECT_TRUE(velmora::list_files(dir / "folder.Pellarix").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ModSaveFailure, testing::Values("file\\m.Pellarix", "folder.Pellarix", "missing\\m.Pellarix"),
    ::velmora::test::CaseName());

// --- Loading -------------------------------------------------------------------

struct TypeCase {
    std::string attributes;
    Change::Type type;
};

class ModLoadType : public testing::TestWithParam<TypeCase> { };

TEST_P(ModLoadType, readsDiffAndXmlAndEverythingElseAsWhole)
{
    TempDir dir;
    write_file(dir / "m.Pellarix",
        mod_file("<Change file=\"Civ4.ini\" " + GetParam().attributes + ">[CONFIG]</Change>\n"));
    Mod m;
    ASSERT_EQ(m.load(dir / "m.Pellarix"), 0);
    ASSERT_EQ(m.changes.size(), 1u);
    EXPECT_EQ(m.changes.front().type, GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(Attributes, ModLoadType,
    testing::Values(TypeCase{"type=\"diff\"", Change::DIFF}, TypeCase{"type=\"xml\"", Change::XML},
        TypeCase{"type=\"whole\"", Change::WHOLE}, TypeCase{"type=\"Diff\"", Change::WHOLE},
        TypeCase{"type=\"XML\"", Change::WHOLE}, TypeCase{"type=\"patch\"", Change::WHOLE},
        TypeCase{"type=\"\"", Change::WHOLE}, TypeCase{"", Change::WHOLE}),
    ::velmora::test::CaseNameBy<&TypeCase::attributes>());

TEST(ModLoad, readsAnyRootAndIgnoresUnknownElements)
{
    TempDir dir;
    write_file(dir / "m.Pellarix",
        mod_file("  <Name>N</Name>\n  <Extra>x</Extra>\n  <name>lower</name>\n"
                 "  <Change file=\"Civ4.ini\" type=\"whole\">[CONFIG]<Sub>y</Sub></Change>\n"
                 "  <Group><Change file=\"a.txt\" type=\"whole\">nested</Change></Group>\n",
            "VelmoraMod", "<!-- shared on a forum -->\n"));
    Mod m;
    ASSERT_EQ(m.load(dir / "m.Pellarix"), 0);
    EXPECT_EQ(m.name, "N");
    expect_same_changes(m.changes, {change(Change::WHOLE, "Civ4.ini", "[CONFIG]")});
}

TEST(ModLoad, decodesOnlyWhenBase64IsExactlyOne)
{
    TempDir dir;
    write_file(dir / "m.Pellarix",
        mod_file("<Change file=\"a\" type=\"diff\" base64=\"1\">x9So</Change>\n"
                 "<Change file=\"b\" type=\"whole\" base64=\"true\" size=\"3\">x9So</Change>\n"
                 "<Change file=\"c\" type=\"whole\" base64=\"1\" size=\"999\">x9\n S o</Change>\n"));
    Mod m;
    ASSERT_EQ(m.load(dir / "m.Pellarix"), 0);
    expect_same_changes(m.changes,
        {change(Change::DIFF, "a", "abc"), change(Change::WHOLE, "b", "x9So"),
            change(Change::WHOLE, "c", "abc")});
}

TEST(ModLoad, reformatsXmlChangesAndKeepsThemStableAcrossSaves)
{
    TempDir dir;
    Mod m;
    m.changes.push_back(change(Change::XML, "XML\\Units\\Civ4UnitInfos.xml", unit_change));
    m.save(dir / "a.Pellarix");
    Mod a;
    a.load(dir / "a.Pellarix");
    ASSERT_EQ(a.changes.size(), 1u);
    EXPECT_EQ(a.changes.front().text, format_xml(unit_change));
    a.save(dir / "b.Pellarix");
    Mod b;
    b.load(dir / "b.Pellarix");
    EXPECT_EQ(b.changes.front().text, a.changes.front().text);
}

TEST(ModLoad, takesHeaderTextButNotCdata)
{
    TempDir dir;
    write_file(dir / "m.Pellarix",
        mod_file("<Name>Text</Name><Author><![CDATA[Ann & Bo]]></Author>"
                 "<Version>1</Version><Description><![CDATA[<b>bold</b>]]></Description>\n"));
    Mod m;
    ASSERT_EQ(m.load(dir / "m.Pellarix"), 0);
    EXPECT_EQ(m.name, "Text");
    EXPECT_EQ(m.author, "");
    EXPECT_EQ(m.description, "");

    Mod h;
    h.load_headers(dir / "m.Pellarix");
    EXPECT_EQ(h.name, "Text");
    EXPECT_EQ(h.author, "Ann & Bo");
    EXPECT_EQ(h.version, "1");
    EXPECT_EQ(h.description, "<b>bold</b>");
}

TEST(ModLoad, returnsMinusOneForAMissingFileAndChangesNothing)
{
    TempDir dir;
    Mod m;
    m.name = "Kept";
    m.changes.push_back(change(Change::WHOLE, "a", "b"));
    EXPECT_EQ(m.load(dir / "missing.Pellarix"), -1);
    EXPECT_EQ(m.name, "Kept");
    EXPECT_EQ(m.changes.size(), 1u);
    EXPECT_TRUE(m.path.empty());
    EXPECT_FALSE(m.loaded);
}

TEST(ModLoad, raisesXmlErrorNamingTheFileForMalformedXml)
{
    TempDir dir;
    Path p = dir / "bad.Pellarix";
    write_file(p, mod_file("<Name>Broken</Nam>\n"));
    Mod m;
    m.name = "Kept";
    try {
        m.load(p);
        FAIL() << "no error";
    } catch (const XmlError& e) {
        std::string message = e.what();
        std::string start = "XML error in " + velmora::platform::native(p) + ": ";
        EXPECT_EQ(message.compare(0, start.size(), start), 0) << message;
        EXPECT_NE(message.find("Opening and ending tag mismatch"), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
    EXPECT_EQ(m.name, "Kept");
    EXPECT_TRUE(m.path.empty());
    EXPECT_FALSE(m.loaded);
}

struct EntityCase {
    const char* what;
    std::string doctype;
};

// A folder with a plain ASCII name: in the usual non-ASCII test folder the
// library could not even build the file's URI, and the test would pass for
// the wrong reason.
class AsciiTempDir {
public:
    AsciiTempDir()
    {
        char name[] = "/tmp/velmora-entity-XXXXXX";
        if (!::mkdtemp(name))
            throw std::runtime_error("cannot create a temporary folder");
        path_ = Path(std::string(name));
    }
    ~AsciiTempDir() { velmora::rmdir(path_, true); }
    Path operator/(const std::string& name) const { return path_ / Path(name); }

private:
    Path path_;
};

class ModReadEntity : public testing::TestWithParam<EntityCase> { };

// A mod must not be able to pull a local file into its header (and from
// there into a saved mod or onto the screen).
TEST_P(ModReadEntity, doesNotReadLocalFiles)
{
    AsciiTempDir dir;
    write_file(dir / "secret.txt", "SECRET");
    write_file(dir / "evil.dtd", "<!ENTITY ext SYSTEM \"secret.txt\">");
    write_file(dir / "m.Pellarix",
        "<?xml version=\"1.0\"?>\n" + GetParam().doctype + "\n<Pellarix><Name>a&ext;</Name></Pellarix>\n");
    Mod m;
    try {
        m.load(dir / "m.Pellarix");
    } catch (const XmlError&) { }
    EXPECT_EQ(m.name.find("SECRET"), std::string::npos) << GetParam().what;
    Mod h;
    try {
        h.load_headers(dir / "m.Pellarix");
    } catch (const XmlError&) { }
    EXPECT_EQ(h.name.find("SECRET"), std::string::npos) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Entities, ModReadEntity,
    testing::Values(
        EntityCase{"external entity", "<!DOCTYPE Pellarix [<!ENTITY ext SYSTEM \"secret.txt\">]>"},
        EntityCase{"external DTD", "<!DOCTYPE Pellarix SYSTEM \"evil.dtd\">"},
        EntityCase{"parameter entity", "<!DOCTYPE Pellarix [<!ENTITY % p SYSTEM \"evil.dtd\"> %p;]>"}),
    ::velmora::test::CaseName());

class ModLoadUnsafePath : public testing::TestWithParam<std::string> { };

TEST_P(ModLoadUnsafePath, refusesTheWholeModNamingFileAndPath)
{
    TempDir dir;
    Path p = dir / "evil.Pellarix";
    write_file(p,
        mod_file("<Name>Evil</Name>\n<Change file=\"Civ4.ini\" type=\"whole\">fine</Change>\n<Change "
            + GetParam() + " type=\"whole\">payload</Change>\n"));
    Mod m;
    m.name = "Previous";
    m.changes.push_back(change(Change::DIFF, "x.py", "d"));
    try {
        m.load(p);
        FAIL() << GetParam() << " was accepted";
    } catch (const XmlError&) {
        FAIL() << "not an XML error";
    } catch (const GenericError& e) {
        std::string message = e.what();
        EXPECT_NE(message.find(velmora::platform::native(p)), std::string::npos) << message;
        std::string file = GetParam().substr(6, GetParam().size() - 7); // inside file="..."
        if (file.find('&') == std::string::npos) {
            EXPECT_NE(message.find("'" + file + "'"), std::string::npos) << message;
        }
    }
    EXPECT_EQ(m.name, "Previous");
    expect_same_changes(m.changes, {change(Change::DIFF, "x.py", "d")});
    EXPECT_TRUE(m.path.empty());
    EXPECT_FALSE(m.loaded);
}

INSTANTIATE_TEST_SUITE_P(Files, ModLoadUnsafePath,
    testing::Values("file=\"..\\..\\.bashrc\"", "file=\"XML\\..\\..\\x\"", "file=\"../../x\"",
        "file=\"/etc/x\"", "file=\"\\x\"", "file=\"C:x\"", "file=\"c:\\x\"", "file=\"...\\x\"",
        "file=\".. \\x\"", "file=\"\"", "file=\"a&#10;b\"", "file=\"XML\\CON\""),
    ::velmora::test::CaseName());

TEST(ModLoad, refusesAChangeWithoutFile)
{
    TempDir dir;
    write_file(dir / "m.Pellarix", mod_file("<Change type=\"whole\">payload</Change>\n"));
    Mod m;
    EXPECT_THROW(m.load(dir / "m.Pellarix"), GenericError);
    EXPECT_FALSE(m.loaded);
}

// --- Reading headers -----------------------------------------------------------

TEST(ModLoadHeaders, readsTheHeaderWithoutChanges)
{
    TempDir dir;
    Mod full;
    full.name = "N";
    full.author = "A";
    full.version = "V";
    full.description = "D\nE";
    full.changes.push_back(change(Change::WHOLE, "a.txt", "x"));
    full.save(dir / "m.Pellarix");

    Mod m;
    m.changes.push_back(change(Change::WHOLE, "old", "x"));
    EXPECT_EQ(m.load_headers(dir / "m.Pellarix"), 0);
    EXPECT_EQ(m.path, dir / "m.Pellarix");
    EXPECT_EQ(m.name, "N");
    EXPECT_EQ(m.author, "A");
    EXPECT_EQ(m.version, "V");
    EXPECT_EQ(m.description, "D\nE");
    EXPECT_TRUE(m.changes.empty());
    EXPECT_FALSE(m.loaded);
}

TEST(ModLoadHeaders, stopsAfterTheChunkThatHoldsTheFirstChange)
{
    TempDir dir;
    std::string change_text(3000, 'x');
    // Everything after the first kilobyte is never parsed, even when broken.
    write_file(dir / "far.Pellarix",
        mod_file("<Name>N</Name>\n<Change file=\"a\" type=\"whole\">" + change_text
            + "</Change>\n<Description>late</Description>\n<Broken></Pellarix>\n"));
    Mod far;
    EXPECT_EQ(far.load_headers(dir / "far.Pellarix"), 0);
    EXPECT_EQ(far.name, "N");
    EXPECT_EQ(far.description, "");

    write_file(dir / "near.Pellarix",
        mod_file("<Change file=\"a\" type=\"whole\">x</Change>\n<Description>near</Description>\n"));
    Mod near;
    near.load_headers(dir / "near.Pellarix");
    EXPECT_EQ(near.description, "near");
}

TEST(ModLoadHeaders, readsAHeaderLongerThanOneChunk)
{
    TempDir dir;
    std::string long_text;
    for (int i = 0; i < 500; ++i)
        long_text += "Caf\xc3\xa9 ";
    // Shifted byte by byte, so that a chunk ends inside a character once.
    for (int shift = 0; shift < 6; ++shift) {
        write_file(dir / "m.Pellarix",
            mod_file("<Name>" + std::string(shift, 'N') + "</Name><Description>" + long_text
                + "</Description><Version>3</Version>\n"));
        Mod m;
        m.load_headers(dir / "m.Pellarix");
        EXPECT_EQ(m.description, long_text) << shift;
        EXPECT_EQ(m.version, "3") << shift;
    }
}

TEST(ModLoadHeaders, readsAnIso88591FileLikeLoadDoes)
{
    TempDir dir;
    write_file(dir / "m.Pellarix",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Pellarix>\n\t<Name>Tr\xe8s</Name>\n"
        "\t<Change file=\"a.txt\" type=\"whole\">\xe9t\xe9</Change>\n</Pellarix>\n");
    Mod h;
    h.load_headers(dir / "m.Pellarix");
    EXPECT_EQ(h.name, "Tr\xc3\xa8s");
    Mod m;
    m.load(dir / "m.Pellarix");
    EXPECT_EQ(m.name, "Tr\xc3\xa8s");
    expect_same_changes(m.changes, {change(Change::WHOLE, "a.txt", "\xc3\xa9t\xc3\xa9")});
}

TEST(ModLoadHeaders, leavesALoadedModAlone)
{
    TempDir dir;
    Mod first;
    first.name = "First";
    first.changes.push_back(change(Change::WHOLE, "a.txt", "x"));
    first.save(dir / "first.Pellarix");
    Mod other;
    other.name = "Other";
    other.save(dir / "other.Pellarix");

    Mod m;
    m.load(dir / "first.Pellarix");
    EXPECT_EQ(m.load_headers(dir / "other.Pellarix"), 0);
    EXPECT_EQ(m.name, "First");
    EXPECT_EQ(m.path, dir / "first.Pellarix");
    EXPECT_EQ(m.changes.size(), 1u);
}

TEST(ModLoadHeaders, readsAnUnopenableFileAsAnEmptyHeader)
{
    TempDir dir;
    velmora::mkpath(dir / "folder.Pellarix", 0755);
    for (std::string name : {"missing.Pellarix", "folder.Pellarix"}) {
        Mod m;
        EXPECT_EQ(m.load_headers(dir / name), 0) << name;
        EXPECT_EQ(m.path, dir / name);
        EXPECT_EQ(m.name, "");
        EXPECT_EQ(m.description, "");
        EXPECT_TRUE(m.changes.empty());
    }
}

TEST(ModLoadHeaders, raisesTheParserErrorForAMalformedHeader)
{
    TempDir dir;
    write_file(dir / "bad.Pellarix", mod_file("<Name>Broken</Nam>\n"));
    Mod m;
    EXPECT_THROW(m.load_headers(dir / "bad.Pellarix"), XmlError);
}

} // namespace
