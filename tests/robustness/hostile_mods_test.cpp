// Mods from forums are untrusted: each of these hostile mod files must end in
// a clear error (or load and apply harmlessly), within bounded time, and must
// leave everything outside the folder being built exactly as it was.
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include <libxml++/exceptions/exception.h>

#include "base/errors.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/element_table.h"
#include "support/tempdir.h"
#include "xml/misc.h"

// The large payload is smaller under the sanitizers, whose allocators make
// hundreds of megabytes slow.
#ifndef VELMORA_HOSTILE_PAYLOAD_MB
#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_HOSTILE_PAYLOAD_MB 24
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_HOSTILE_PAYLOAD_MB 24
#endif
#endif
#endif
#ifndef VELMORA_HOSTILE_PAYLOAD_MB
#define VELMORA_HOSTILE_PAYLOAD_MB 200
#endif

namespace velmora {
namespace {

using test::read_file;
using test::write_file;

const char* const secret_text = "VELMORA-SECRET-7f3a";
const char* const canary = "/tmp/velmora-hostile-canary.txt";

std::string escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

// A mod file: optional prolog (a DOCTYPE), raw header fields, and changes
// whose attributes and text are given as they stand in the file.
struct RawChange {
    std::string file_attr; // already escaped
    std::string type;
    std::string body; // already escaped
    std::string extra_attrs;
};

std::string mod_bytes(const std::string& prolog, const std::string& description,
    const std::vector<RawChange>& changes, const std::string& name = "Hostile")
{
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" + prolog + "<Pellarix>\n";
    text += "<Name>" + name + "</Name><Author>x</Author><Version>1</Version>";
    text += "<Description>" + description + "</Description>\n";
    for (const RawChange& c : changes)
        text += "<Change file=\"" + c.file_attr + "\" type=\"" + c.type + "\"" + c.extra_attrs + ">" + c.body
            + "</Change>\n";
    return text + "</Pellarix>\n";
}

std::string one_change(const std::string& file, const std::string& type, const std::string& text)
{
    return mod_bytes("", "d", {{escape(file), type, escape(text), ""}});
}

std::string nested(const std::string& name, unsigned depth, const std::string& inner)
{
    std::string out;
    out.reserve(depth * (2 * name.size() + 5) + inner.size());
    for (unsigned i = 0; i < depth; ++i)
        out += "<" + name + ">";
    out += inner;
    for (unsigned i = 0; i < depth; ++i)
        out += "</" + name + ">";
    return out;
}

std::string billion_laughs_dtd(const std::string& root)
{
    std::string dtd = "<!DOCTYPE " + root + " [\n<!ENTITY lol0 \"lollollollollollollollollollol\">\n";
    for (int i = 1; i <= 9; ++i) {
        dtd += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k)
            dtd += "&lol" + std::to_string(i - 1) + ";";
        dtd += "\">\n";
    }
    return dtd + "]>\n";
}

std::string unit_change(const std::string& prolog, const std::string& combat)
{
    return prolog + "<Civ4UnitInfos><UnitInfos><UnitInfo><Type>UNIT_WARRIOR</Type><iCombat>" + combat
        + "</iCombat></UnitInfo></UnitInfos></Civ4UnitInfos>\n";
}

// Where a hostile mod is stopped.
enum class Outcome {
    load_error, // Mod::load throws GenericError (or a kind of it)
    apply_error, // loads; Mod::apply throws
    harmless, // loads and applies; the secret appears nowhere
};

struct HostileCase {
    const char* name;
    std::function<std::string(const Path& sandbox)> bytes; // the mod file
    Outcome outcome;
    const char* message; // a part of the error's text
};

// The sandbox: the game, the mod, a secret file and a folder outside the target.
class HostileMods : public ::testing::TestWithParam<HostileCase> {
protected:
    void SetUp() override
    {
        table.load_text(test::fixture_elements_table()
            + "UnitInfos\tCiv4UnitInfos2\tignore\n"
              "UnitInfos\tHidden\tignore\n");
        test::write_game(dir / "game");
        write_file(dir / "outside/secret.txt", secret_text);
        write_file(dir / "outside/evil.dtd", std::string("<!ENTITY leak \"") + secret_text + "\">");
        write_file(dir / "target/keep.txt", "kept");
        platform::unlink(canary);
    }

    // Every file of the sandbox outside "target", with its bytes.
    std::map<std::string, std::string> snapshot() const
    {
        std::map<std::string, std::string> out;
        for (const std::string& f : test::list_tree(dir.path()))
            if (f.rfind("target\\", 0) != 0)
                out[f] = read_file(dir.path() / Path(f));
        return out;
    }

    test::TempDir dir;
    test::ElementTableScope table;
};

// A file: URI of the secret, non-ASCII bytes percent-encoded, so that the
// parser would find it if it looked.
std::string secret_path(const Path& sandbox)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : platform::native(sandbox / Path("outside/secret.txt"))) {
        if (c < 0x80) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

const std::string dotdot = "..\\..\\outside\\pwned.txt";

const HostileCase hostile_cases[] = {
    // Change paths that climb out of the target or name another root.
    {"climbingBackslash", [](const Path&) { return one_change(dotdot, "whole", "x"); }, Outcome::load_error,
        "would not stay a file inside"},
    {"climbingSlash", [](const Path&) { return one_change("../../outside/pwned.txt", "whole", "x"); },
        Outcome::load_error, "would not stay a file inside"},
    {"climbingAfterAFolder",
        [](const Path&) { return one_change("XML\\..\\..\\outside\\pwned.txt", "xml", "<a/>"); },
        Outcome::load_error, "would not stay a file inside"},
    {"climbingMixedSeparators",
        [](const Path&) {
            return one_change("XML/Units\\..\\../..\\outside/pwned.txt", "diff", "@@ -1 +1 @@\n");
        },
        Outcome::load_error, "would not stay a file inside"},
    {"absoluteSlash", [](const Path&) { return one_change(canary, "whole", "x"); }, Outcome::load_error,
        "would not stay a file inside"},
    {"absoluteBackslash",
        [](const Path&) { return one_change("\\tmp\\velmora-hostile-canary.txt", "whole", "x"); },
        Outcome::load_error, "would not stay a file inside"},
    {"uncShare", [](const Path&) { return one_change("\\\\server\\share\\pwned.txt", "whole", "x"); },
        Outcome::load_error, "would not stay a file inside"},
    {"driveRooted", [](const Path&) { return one_change("C:\\Windows\\pwned.txt", "whole", "x"); },
        Outcome::load_error, "would not stay a file inside"},
    {"driveRelativeLowerCase", [](const Path&) { return one_change("c:pwned.txt", "whole", "x"); },
        Outcome::load_error, "would not stay a file inside"},
    {"driveForwardSlashMixedCase",
        [](const Path&) { return one_change("D:/Art/../PWNED.TXT", "whole", "x"); }, Outcome::load_error,
        "would not stay a file inside"},
    {"trailingDotsActAsParent",
        [](const Path&) { return one_change("...\\...\\outside\\pwned.txt", "whole", "x"); },
        Outcome::load_error, "would not stay a file inside"},
    {"dotsAndSpaceActAsParent", [](const Path&) { return one_change(".. \\.. \\pwned.txt", "whole", "x"); },
        Outcome::load_error, "would not stay a file inside"},
    {"trailingDotOnName", [](const Path&) { return one_change("XML\\..\\..\\pwned.txt.", "whole", "x"); },
        Outcome::load_error, "would not stay a file inside"},
    {"deviceName", [](const Path&) { return one_change("XML\\Con.txt", "whole", "x"); }, Outcome::load_error,
        "would not stay a file inside"},
    {"emptyPath", [](const Path&) { return one_change("", "whole", "x"); }, Outcome::load_error,
        "would not stay a file inside"},
    {"folderOnly", [](const Path&) { return one_change("XML\\Units\\", "whole", "x"); }, Outcome::load_error,
        "would not stay a file inside"},
    // Invalid bytes: the XML parser refuses them in the file itself; as
    // character references they reach the path check.
    {"invalidUtf8InHeader", [](const Path&) { return mod_bytes("", "caf\xe9 \xff\xfe", {}); },
        Outcome::load_error, "XML error in"},
    {"invalidUtf8InPath", [](const Path&) { return one_change("XML\\\xc3\x28.xml", "whole", "x"); },
        Outcome::load_error, "XML error in"},
    {"nulByteInHeader", [](const Path&) { return mod_bytes("", std::string("a\0b", 3), {}); },
        Outcome::load_error, "XML error in"},
    {"nulByteInPath",
        [](const Path&) {
            return mod_bytes("", "d", {{std::string("XML\\a\0.xml", 10), "whole", "x", ""}});
        },
        Outcome::load_error, "XML error in"},
    {"controlReferenceInPath",
        [](const Path&) {
            return mod_bytes("", "d", {{"XML\\a&#1;.xml", "whole", "x", ""}});
        },
        Outcome::load_error, "XML error in"},
    {"newlineReferenceInPath",
        [](const Path&) {
            return mod_bytes("", "d", {{"XML\\a&#10;.xml", "whole", "x", ""}});
        },
        Outcome::load_error, "would not stay a file inside"},
    // External entities and DTDs: nothing is read, nothing is fetched.
    {"externalEntityInHeader",
        [](const Path& s) {
            (void)s;
            return mod_bytes("<!DOCTYPE Pellarix [<!ENTITY xxe SYSTEM \"../outside/secret.txt\">]>\n",
                "&xxe;", {{"XML\\a.txt", "whole", "x", ""}});
        },
        Outcome::harmless, ""},
    {"externalDtdInHeader",
        [](const Path& s) {
            (void)s;
            return mod_bytes("<!DOCTYPE Pellarix SYSTEM \"../outside/evil.dtd\">\n", "&leak;",
                {{"XML\\a.txt", "whole", "x", ""}});
        },
        Outcome::load_error, "Entity 'leak' not defined"},
    {"parameterEntityFetchesNetwork",
        [](const Path&) {
            return mod_bytes(
                "<!DOCTYPE Pellarix [<!ENTITY % p SYSTEM \"http://127.0.0.1:9/evil.dtd\"> %p;]>\n", "d",
                {{"XML\\a.txt", "whole", "x", ""}});
        },
        Outcome::harmless, ""},
    {"externalEntityInXmlChange",
        [](const Path& s) {
            return one_change(test::unit_infos_file, "xml",
                unit_change(
                    "<!DOCTYPE Civ4UnitInfos [<!ENTITY xxe SYSTEM \"" + secret_path(s) + "\">]>\n", "&xxe;"));
        },
        Outcome::harmless, ""},
    {"xincludeInXmlChange",
        [](const Path& s) {
            return one_change(test::unit_infos_file, "xml",
                "<Civ4UnitInfos xmlns:xi=\"http://www.w3.org/2001/XInclude\"><UnitInfos><UnitInfo>"
                "<Type>UNIT_WARRIOR</Type><iCombat><xi:include href=\""
                    + secret_path(s)
                    + "\" parse=\"text\"/></iCombat></UnitInfo></UnitInfos></Civ4UnitInfos>\n");
        },
        Outcome::apply_error, "holds other elements"},
    // Entity expansion bombs. A mod file's parser takes text nodes of any
    // length and so has no depth limit, but it never expands entities.
    {"billionLaughsInHeader",
        [](const Path&) { return mod_bytes(billion_laughs_dtd("Pellarix"), "&lol9;", {}); },
        Outcome::harmless, ""},
    {"billionLaughsInXmlChange",
        [](const Path&) {
            return one_change(
                test::unit_infos_file, "xml", unit_change(billion_laughs_dtd("Civ4UnitInfos"), "&lol9;"));
        },
        Outcome::apply_error, "entity reference loop"},
    // Deep nesting, in the mod file and in a change's XML.
    {"deepNestingInModFile",
        [](const Path&) { return mod_bytes("", nested("Description", 100000, "x"), {}); }, Outcome::harmless,
        ""},
    {"deepNestingInXmlChange",
        [](const Path&) {
            return one_change(test::unit_infos_file, "xml",
                "<Civ4UnitInfos><UnitInfos><UnitInfo><Type>UNIT_WARRIOR</Type>"
                    + nested("Flavors", 100000, "") + "</UnitInfo></UnitInfos></Civ4UnitInfos>");
        },
        Outcome::apply_error, "XML error in"},
    // A diff whose line numbers are absurd.
    {"diffBeyondLineLimit",
        [](const Path&) {
            return one_change(
                test::events_script_file, "diff", "@@ -4294967295,2 +4294967295,2 @@\n a\n-b\n+c\n");
        },
        Outcome::apply_error, "Invalid diff header"},
    {"diffHugeButAllowedLine",
        [](const Path&) {
            return one_change(test::events_script_file, "diff", "@@ -1000000000,2 +1,2 @@\n a\n-b\n+c\n");
        },
        Outcome::apply_error, "Unable to apply diff"},
    {"diffOverflowingDigits",
        [](const Path&) {
            return one_change(
                test::events_script_file, "diff", "@@ -99999999999999999999999,1 +1,1 @@\n-a\n+b\n");
        },
        Outcome::apply_error, "Invalid diff header"},
    {"diffHugeLineCount",
        [](const Path&) {
            return one_change(test::events_script_file, "diff", "@@ -5,4294967295 +5,1 @@\n-a\n+b\n");
        },
        Outcome::apply_error, "Unable to apply diff"},
    // An xml change naming an element the table says to leave out.
    {"xmlChangeOfIgnoredElement",
        [](const Path&) {
            return one_change(test::unit_infos_file, "xml",
                "<Civ4UnitInfos><UnitInfos><UnitInfo><Type>UNIT_WARRIOR</Type><Hidden>1</Hidden></UnitInfo>"
                "</UnitInfos></Civ4UnitInfos>");
        },
        Outcome::apply_error, "Hidden"},
    // A large base-64 payload: it loads and applies (a mod holding a file
    // over 7.5 MB once saved but failed to load).
    {"largeBase64Payload",
        [](const Path&) {
            std::string body(static_cast<size_t>(VELMORA_HOSTILE_PAYLOAD_MB) << 20, 'A');
            for (size_t i = 80; i < body.size(); i += 81)
                body[i] = '\n';
            return mod_bytes("", "d", {{"Art\\big.dds", "whole", body, " base64=\"1\""}});
        },
        Outcome::harmless, ""},
};

TEST_P(HostileMods, endsInAClearErrorOrHarmlessly)
{
    const HostileCase& c = GetParam();
    const Path file = dir / "mods/hostile.Pellarix";
    write_file(file, c.bytes(dir.path()));
    const auto before = snapshot();

    std::string error;
    bool loaded = false;
    {
        Mod headers;
        try {
            headers.load_headers(file);
        } catch (const GenericError&) { }
    }
    Mod mod;
    try {
        mod.load(file);
        loaded = true;
        mod.apply(dir / "game/Assets", dir / "target");
    } catch (const GenericError& e) {
        error = e.what();
    }

    switch (c.outcome) {
    case Outcome::load_error:
        EXPECT_FALSE(loaded) << "loaded, error: " << error;
        break;
    case Outcome::apply_error:
        EXPECT_TRUE(loaded) << error;
        EXPECT_FALSE(error.empty());
        break;
    case Outcome::harmless:
        EXPECT_EQ(error, "");
        break;
    }
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    if (!error.empty() && c.outcome == Outcome::load_error) {
        EXPECT_NE(error.find(platform::native(file)), std::string::npos) << "the message names no file: " << error;
    }

    // Nothing outside the target changed, nothing secret went in.
    EXPECT_TRUE(before == snapshot());
    EXPECT_FALSE(exists(Path(canary)));
    EXPECT_EQ(mod.description.find(secret_text), std::string::npos);
    for (const std::string& f : test::list_tree(dir / "target")) {
        std::string bytes = read_file(dir / "target" / Path(f));
        EXPECT_EQ(bytes.find(secret_text), std::string::npos) << f;
        EXPECT_EQ(bytes.find("lollollol"), std::string::npos) << f;
    }
    EXPECT_EQ(read_file(dir / "target/keep.txt"), "kept");
}

INSTANTIATE_TEST_SUITE_P(Robustness, HostileMods, ::testing::ValuesIn(hostile_cases),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

// A whole file of more than 7.5 MB is one base-64 text node of more than
// 10 MB: the mod saved, and loading it failed with "huge text node".
TEST(LargeModFile, savedWithANineMegabyteFileLoadsAgain)
{
    test::TempDir dir;
    Mod mod;
    mod.name = "Large";
    Change change;
    change.file = "Art\\large.dds";
    change.text.assign(9u << 20, '\x01');
    change.text[12345] = '\xff';
    mod.changes.push_back(change);
    mod.save(dir / "large.Pellarix");

    Mod loaded;
    ASSERT_EQ(loaded.load(dir / "large.Pellarix"), 0);
    ASSERT_EQ(loaded.changes.size(), 1u);
    EXPECT_TRUE(loaded.changes.front().bytes() == change.text);
}

// format_xml runs on every xml change a mod file holds: indenting each level
// by its depth made a change nested 100,000 deep take gigabytes.
TEST(HostileXmlText, deepNestingFormatsInBoundedSpace)
{
    const std::string deep = nested("a", 100000, "x");
    const std::string formatted = format_xml(deep);
    EXPECT_LT(formatted.size(), 30 * deep.size());
    EXPECT_NE(formatted.find("\n" + std::string(64, ' ') + "<a>"), std::string::npos);
    EXPECT_EQ(formatted.find(std::string(66, ' ')), std::string::npos);
}

} // namespace
} // namespace velmora
