// What applying a mod writes, byte for byte, and which copy of a game file it
// starts from when the game folder lacks the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "path/fs.h"
#include "support/element_table.h"
#include "support/game_xml.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::crlf;
using test::diff_change;
using test::diff_text;
using test::mod_with;
using test::read_file;
using test::unit;
using test::units_doc;
using test::units_file;
using test::write_file;
using test::xml_change;

const char* const script_file = "Python\\CvVelmoraEvents.py";
const std::string script
    = "import CvUtil\n\ndef onGameStart(argsList):\n\tiPlayer = argsList[0]\n"
      "\tCvUtil.pyPrint(\"game start\")\n\treturn 0\n\ndef onEndTurn(argsList):\n\treturn 0\n";

std::string patched(const std::string& text)
{
    std::string out = text;
    out.replace(out.find("\"game start\""), 12, "\"Velmora: game start\"");
    return out + (text.back() == '\n' ? "" : "\n") + "\ndef onCityBuilt(argsList):\n\treturn 1";
}

std::string without_final_end(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// --- Patched scripts keep the game file's bytes --------------------------------

struct ScriptCase {
    const char* name;
    std::string game; // the game's script
    std::string modified; // what the modder made of it
    std::string diff; // the mod's difference
    std::string result; // what applying it writes
};

void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.name; }

class ModApplyScript : public testing::TestWithParam<ScriptCase> {
protected:
    test::TempDir source;
    test::TempDir target;
};

TEST_P(ModApplyScript, writesTheScriptWithTheLineEndsOfTheGamesCopy)
{
    const ScriptCase& c = GetParam();
    write_file(source / script_file, c.game);
    Mod m = mod_with("Log", {diff_change(script_file, c.diff)});

    ASSERT_EQ(m.apply(source.path(), target.path()), 0);

    EXPECT_EQ(read_file(target / script_file), c.result);
}

const std::string lf_with_end = patched(script) + "\n";
const std::string lf_without_end = patched(script);
const std::string lf_diff = diff_text(script, lf_with_end);

INSTANTIATE_TEST_SUITE_P(Scripts, ModApplyScript,
    testing::Values(ScriptCase{"unixLineEnds", script, lf_with_end, lf_diff, lf_with_end},
        ScriptCase{"windowsLineEnds", crlf(script), crlf(lf_with_end),
            diff_text(crlf(script), crlf(lf_with_end)), crlf(lf_with_end)},
        ScriptCase{"noFinalLineEnd", without_final_end(script), lf_without_end,
            diff_text(without_final_end(script), lf_without_end), lf_without_end},
        ScriptCase{"windowsLineEndsNoFinalOne", without_final_end(crlf(script)), crlf(lf_without_end),
            diff_text(without_final_end(crlf(script)), crlf(lf_without_end)), crlf(lf_without_end)},
        ScriptCase{
            "finalLineEndRemoved", script, lf_without_end, diff_text(script, lf_without_end), lf_without_end},
        ScriptCase{"finalLineEndAdded", without_final_end(crlf(script)), crlf(lf_with_end),
            diff_text(without_final_end(crlf(script)), crlf(lf_with_end)), crlf(lf_with_end)},
        // A mod made from a copy with Unix line ends, applied to Windows ones.
        ScriptCase{"unixDiffOnWindowsFile", crlf(script), lf_with_end, lf_diff, crlf(lf_with_end)}),
    [](const testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

TEST(ModApplyWhole, anEmptyFileIsWrittenEmpty)
{
    test::TempDir source;
    test::TempDir target;
    Mod m = mod_with("Package", {test::whole_change("Python\\Contrib\\__init__.py", "")});

    ASSERT_EQ(m.apply(source.path(), target.path()), 0);

    ASSERT_TRUE(exists(target / "Python\\Contrib\\__init__.py"));
    EXPECT_EQ(read_file(target / "Python\\Contrib\\__init__.py"), "");
}

// --- The copy the game would read --------------------------------------------

// A Steam-like install: the original game, Warlords and Beyond the Sword in it.
class ModApplyGameFiles : public testing::Test {
protected:
    ModApplyGameFiles() { table.load_text(test::merge_table); }

    Path original() const { return tmp / "Civilization IV"; }
    Path warlords() const { return original() / Path("Warlords"); }
    Path bts() const { return original() / Path("Beyond the Sword"); }
    Path custom() const { return tmp / "CustomAssets"; }

    void apply(const Mod& m) { ASSERT_EQ(m.apply(GameFiles::of_game(bts()), custom()), 0); }

    test::ElementTableScope table;
    test::TempDir tmp;
};

struct GameCopyCase {
    const char* name;
    bool in_bts;
    bool in_warlords;
    bool in_original;
    const char* read_from; // the copy the change must start from
};

void PrintTo(const GameCopyCase& c, std::ostream* os) { *os << c.name; }

class ModApplyGameCopy : public ModApplyGameFiles, public testing::WithParamInterface<GameCopyCase> {
protected:
    // Each copy that exists names its game in a record of its own.
    void write_copies(const std::string& file, bool xml)
    {
        const GameCopyCase& c = GetParam();
        const std::pair<bool, std::pair<Path, const char*>> copies[] = {{c.in_bts, {bts(), "BTS"}},
            {c.in_warlords, {warlords(), "WARLORDS"}}, {c.in_original, {original(), "ORIGINAL"}}};
        for (const auto& [present, where] : copies)
            if (present)
                write_file(where.first / Path("Assets") / Path(file),
                    xml ? units_doc(unit(std::string("UNIT_") + where.second))
                        : crlf("# " + std::string(where.second) + "\n" + script));
    }
};

TEST_P(ModApplyGameCopy, anXmlChangeMergesIntoThatCopy)
{
    write_copies(units_file, true);

    apply(mod_with("Scouts", {xml_change(units_file, units_doc(unit("UNIT_SCOUT")))}));

    const std::string out = read_file(custom() / Path(units_file));
    EXPECT_NE(out.find(std::string("<Type>UNIT_") + GetParam().read_from + "</Type>"), std::string::npos)
        << out;
    EXPECT_NE(out.find("<Type>UNIT_SCOUT</Type>"), std::string::npos) << out;
}

TEST_P(ModApplyGameCopy, aDiffPatchesThatCopy)
{
    write_copies(script_file, false);

    apply(mod_with("Log", {diff_change(script_file, diff_text(script, patched(script) + "\n"))}));

    EXPECT_EQ(read_file(custom() / Path(script_file)),
        crlf("# " + std::string(GetParam().read_from) + "\n" + patched(script) + "\n"));
}

INSTANTIATE_TEST_SUITE_P(Installs, ModApplyGameCopy,
    testing::Values(GameCopyCase{"onlyWarlords", false, true, false, "WARLORDS"},
        GameCopyCase{"onlyTheOriginalGame", false, false, true, "ORIGINAL"},
        GameCopyCase{"warlordsBeforeTheOriginal", false, true, true, "WARLORDS"},
        GameCopyCase{"theGameFolderFirst", true, true, true, "BTS"}),
    [](const testing::TestParamInfo<GameCopyCase>& info) { return std::string(info.param.name); });

TEST_F(ModApplyGameFiles, aFileNoGameHasIsAnErrorNamingTheGameFoldersCopy)
{
    mkpath(bts() / Path("Assets"), 0755);
    mkpath(warlords() / Path("Assets"), 0755);
    Mod m = mod_with("Scouts", {xml_change(units_file, units_doc(unit("UNIT_SCOUT")))});
    try {
        m.apply(GameFiles::of_game(bts()), custom());
        FAIL() << "no error";
    } catch (const XmlError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("Beyond the Sword"), std::string::npos) << message;
        EXPECT_NE(message.find("CIV4UnitInfos.xml"), std::string::npos) << message;
    }
}

} // namespace
} // namespace velmora
