// velmora-cli blame and apply --dry-run: who made each part of the built
// files, and what the next apply would change, with nothing written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "cli/cli_fixture.h"
#include "mod/mod_test_support.h"
#include "support/case_name.h"

namespace velmora::test {
namespace {

const char* const units = "XML/Units/CIV4UnitInfos.xml";
const char* const script = "Python/CvVelmoraEvents.py";
const char* const charlie_art = "Art/Interface/Buttons/Charlie.dds";

FixtureChange warrior(const std::string& fields)
{
    return {unit_infos_file, "xml",
        "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n\t\t<UnitInfo>\n"
        "\t\t\t<Type>UNIT_WARRIOR</Type>\n"
            + fields + "\t\t</UnitInfo>\n\t</UnitInfos>\n</Civ4UnitInfos>\n"};
}

// Every file below folder (records of the apply included) with its bytes and modification time.
std::map<std::string, std::pair<std::string, std::int64_t>> snapshot(const Path& folder)
{
    std::map<std::string, std::pair<std::string, std::int64_t>> out;
    const std::filesystem::path root(platform::native(folder));
    if (!std::filesystem::exists(root))
        return out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        const std::int64_t time = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
        out[e.path().lexically_relative(root).generic_string()]
            = {e.is_regular_file() ? read_file(Path(e.path().string())) : std::string(), time};
    }
    return out;
}

// Alpha and Bravo both change the warrior's strength, which is a question;
// Alpha also changes a line of a script, Bravo the warrior's moves too, and
// Charlie brings a button of its own.
class CliBuildTest : public CliTest {
protected:
    void SetUp() override
    {
        write_mod("alpha.Pellarix", "Alpha",
            {warrior("\t\t\t<iCombat>23</iCombat>\n"),
                {events_script_file, "diff",
                    diff_text(game_events_script(), alpha_script())}});
        write_mod("bravo.Pellarix", "Bravo", {warrior("\t\t\t<iCombat>4</iCombat>\n\t\t\t<iMoves>2</iMoves>\n")});
        write_mod("charlie.Pellarix", "Charlie", {{"Art\\Interface\\Buttons\\Charlie.dds", "whole", "DDS Charlie"}});
        write_file(box.game() / "Assets/XML/GameInfo/CIV4EraInfos.xml", "<Civ4EraInfos/>\n");
        configure({"Alpha", "Bravo", "Charlie"});
    }

    static std::string alpha_script()
    {
        std::string text = game_events_script();
        const std::string from = "\"game start\"";
        return text.replace(text.find(from), from.size(), "\"alpha start\"");
    }

    void apply(const std::string& winner, const std::string& loser)
    {
        CliRun run = cli({"apply", "--prefer", winner + ":" + loser});
        ASSERT_EQ(run.code, 0) << run.err;
    }
};

TEST_F(CliBuildTest, blameNamesTheWinnerOfEachFieldAndTheModsItOverrode)
{
    apply("Alpha", "Bravo");

    CliRun run = cli({"blame", units});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(lines_of(run.out),
        (std::vector<std::string>{"UNIT_WARRIOR  iCombat 23 (Alpha, over Bravo)", "UNIT_WARRIOR  iMoves 2 (Bravo)"}));

    run = cli({"blame", "python\\cvvelmoraevents.PY"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(lines_of(run.out), std::vector<std::string>{"line 6 (Alpha)"});

    run = cli({"blame", charlie_art});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(lines_of(run.out), std::vector<std::string>{"whole file (Charlie)"});
}

TEST_F(CliBuildTest, blameOfARecordGivesEachFieldWithItsModAndTheGamesValue)
{
    apply("Bravo", "Alpha");

    CliRun run = cli({"blame", "xml\\units\\civ4unitinfos.xml", "UNIT_WARRIOR"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(line_with(run.out, "iCombat 4 (Bravo, over Alpha; game 1)"), "") << run.out;
    EXPECT_NE(line_with(run.out, "iMoves 2 (Bravo; not in the game)"), "") << run.out;
    EXPECT_NE(line_with(run.out, "Description TXT_KEY_UNIT_WARRIOR (game)"), "") << run.out;

    run = cli({"blame", units, "UNIT_WARRIOR", "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    const nlohmann::json doc = nlohmann::json::parse(run.out);
    EXPECT_EQ(doc["record"], "UNIT_WARRIOR");
    EXPECT_EQ(doc["element"], "UnitInfo");
    std::map<std::string, nlohmann::json> fields;
    for (const auto& f : doc["fields"])
        fields[f["field"]] = f;
    EXPECT_EQ(fields["iCombat"]["mod"], "Bravo");
    EXPECT_EQ(fields["iCombat"]["over"], nlohmann::json::array({"Alpha"}));
    EXPECT_EQ(fields["iCombat"]["game"], "1");
    EXPECT_TRUE(fields["iMoves"]["game"].is_null());
    EXPECT_TRUE(fields["Class"]["mod"].is_null());
}

TEST_F(CliBuildTest, blameJsonOfAFileListsRecordsHunksAndTheWholeFile)
{
    apply("Alpha", "Bravo");

    CliRun run = cli({"blame", units, "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    nlohmann::json doc = nlohmann::json::parse(run.out);
    EXPECT_EQ(doc["touched"], true);
    EXPECT_EQ(doc["mods"], nlohmann::json::array({"Bravo", "Alpha"}));
    EXPECT_TRUE(doc["whole"].is_null());
    ASSERT_EQ(doc["records"].size(), 1u);
    EXPECT_EQ(doc["records"][0]["record"], "UNIT_WARRIOR");
    const auto& combat = doc["records"][0]["fields"][0];
    EXPECT_EQ(combat["field"], "iCombat");
    EXPECT_EQ(combat["value"], "23");
    EXPECT_EQ(combat["mod"], "Alpha");
    EXPECT_EQ(combat["over"], nlohmann::json::array({"Bravo"}));

    doc = nlohmann::json::parse(cli({"blame", script, "--json"}).out);
    ASSERT_EQ(doc["hunks"].size(), 1u);
    EXPECT_EQ(doc["hunks"][0]["first"], 6);
    EXPECT_EQ(doc["hunks"][0]["last"], 6);
    EXPECT_EQ(doc["hunks"][0]["mod"], "Alpha");

    doc = nlohmann::json::parse(cli({"blame", charlie_art, "--json"}).out);
    EXPECT_EQ(doc["whole"]["mod"], "Charlie");
}

struct BlameCase {
    const char* name;
    std::vector<std::string> args;
    int code;
    const char* out; // in standard output, or null
    const char* err; // in standard error, or null
};

void PrintTo(const BlameCase& c, std::ostream* os) { *os << c.name; }

class CliBlameCases : public CliBuildTest, public ::testing::WithParamInterface<BlameCase> { };

TEST_P(CliBlameCases, saysWhatItCannotShow)
{
    const BlameCase& c = GetParam();
    apply("Alpha", "Bravo");
    CliRun run = cli(c.args);
    EXPECT_EQ(run.code, c.code) << run.out << run.err;
    if (c.out) {
        EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    }
    if (c.err) {
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CliBlameCases,
    ::testing::Values(
        BlameCase{"untouchedGameFile", {"blame", "XML/GameInfo/CIV4EraInfos.xml"}, 0,
            "No mod changes XML/GameInfo/CIV4EraInfos.xml: the game's own copy is used.", nullptr},
        BlameCase{"untouchedGameFileJson", {"blame", "XML/GameInfo/CIV4EraInfos.xml", "--json"}, 0,
            "\"touched\": false", nullptr},
        BlameCase{"fileNeitherBuiltNorInTheGame", {"blame", "XML/Units/CIV4Nothing.xml"}, 1, nullptr,
            "XML/Units/CIV4Nothing.xml is not in the build"},
        BlameCase{"recordNoModChanges", {"blame", units, "UNIT_ARCHER"}, 1, nullptr,
            "No mod changes a record 'UNIT_ARCHER'"},
        BlameCase{"recordOfAnUntouchedFile", {"blame", "XML/GameInfo/CIV4EraInfos.xml", "ERA_X"}, 1, nullptr,
            "No mod changes XML/GameInfo/CIV4EraInfos.xml"},
        BlameCase{"recordInAnyLetterCase", {"blame", units, "unit_warrior"}, 0, "iCombat 23 (Alpha, over Bravo", nullptr}),
    CaseName());

// A build in a mod target on top of a base mod: blame reads the record from
// the folder the build made and compares it with the base mod's copy, the one
// the build started from; a file only the base mod has is that copy.
TEST_F(CliBuildTest, blameOfAModTargetComparesWithTheBaseModsCopy)
{
    const Path big = box.game() / "Mods/Big Mod";
    write_file(big / "Assets/XML/Units/CIV4UnitInfos.xml",
        "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n\t\t<UnitInfo>\n"
        "\t\t\t<Class>UNITCLASS_WARRIOR</Class>\n\t\t\t<Type>UNIT_WARRIOR</Type>\n"
        "\t\t\t<iCombat>5</iCombat>\n\t\t\t<iMoves>3</iMoves>\n\t\t</UnitInfo>\n\t</UnitInfos>\n"
        "</Civ4UnitInfos>\n");
    write_file(big / "Assets/Art/Big.dds", "DDS big");
    CliRun run = cli({"prefs", "--base-mod", platform::native(big), "--mod-target", "Combined"});
    ASSERT_EQ(run.code, 0) << run.err;
    apply("Bravo", "Alpha");

    run = cli({"blame", units, "UNIT_WARRIOR"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(line_with(run.out, "iCombat 4 (Bravo, over Alpha; game 5)"), "") << run.out;
    EXPECT_NE(line_with(run.out, "iMoves 2 (Bravo; game 3)"), "") << run.out;

    run = cli({"blame", "Art/Big.dds"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "No mod changes Art/Big.dds: the game's own copy is used.\n");
}

TEST_F(CliBuildTest, blameWithoutABuildSaysSo)
{
    CliRun run = cli({"blame", units});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("No build yet"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(CliBuildTest, dryRunWritesNothingAndListsWhatApplyWouldChange)
{
    apply("Bravo", "Alpha");
    CliRun run = cli({"disable", "Charlie"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto folder = snapshot(box.custom_assets());
    const auto settings = snapshot(box.settings());

    run = cli({"apply", "--dry-run", "--prefer", "Alpha:Bravo"});

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(snapshot(box.custom_assets()) == folder);
    EXPECT_TRUE(snapshot(box.settings()) == settings);
    EXPECT_EQ(lines_of(run.out)[0].rfind("Dry run, nothing written: applying 2 mods to", 0), 0u) << run.out;
    EXPECT_NE(line_with(run.out, "would change 2 files (1 unchanged)"), "") << run.out;
    EXPECT_NE(line_with(run.out, "changed  XML/Units/CIV4UnitInfos.xml (Bravo, Alpha)"), "") << run.out;
    EXPECT_NE(line_with(run.out, "    UNIT_WARRIOR  iCombat 4 -> 23 (Alpha)"), "") << run.out;
    EXPECT_NE(line_with(run.out, "removed  Art/Interface/Buttons/Charlie.dds"), "") << run.out;
    EXPECT_EQ(line_with(run.out, script), "") << "the script stays as it is: " << run.out;
}

TEST_F(CliBuildTest, dryRunListsUnansweredQuestionsAndFails)
{
    const auto settings = snapshot(box.settings());
    CliRun run = cli({"apply", "--dry-run"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(line_with(run.out, "Conflict: 'Alpha' and 'Bravo' [no answer]"), "") << run.out;
    EXPECT_NE(run.err.find("1 conflict has no answer"), std::string::npos) << run.err;
    EXPECT_FALSE(exists(box.custom_assets()));
    EXPECT_TRUE(snapshot(box.settings()) == settings);

    run = cli({"apply", "--dry-run", "--json"});
    EXPECT_EQ(run.code, 1);
    const nlohmann::json doc = nlohmann::json::parse(run.out);
    ASSERT_EQ(doc["unanswered"].size(), 1u);
    EXPECT_EQ(doc["unanswered"][0]["first"], "Alpha");
    EXPECT_TRUE(doc["files"].empty());
}

TEST_F(CliBuildTest, aDryRunThenAnApplyBuildsWhatTheDryRunSaid)
{
    apply("Bravo", "Alpha");
    ASSERT_EQ(cli({"disable", "Charlie"}).code, 0);
    const auto before = snapshot(box.custom_assets());

    CliRun run = cli({"apply", "--dry-run", "--json", "--prefer", "Alpha:Bravo"});
    ASSERT_EQ(run.code, 0) << run.err;
    const nlohmann::json doc = nlohmann::json::parse(run.out);
    std::map<std::string, std::string> said;
    for (const auto& f : doc["files"])
        said[f["file"]] = f["change"];
    EXPECT_EQ(doc["order"], nlohmann::json::array({"Bravo", "Alpha"}));
    const auto& units_change = doc["files"][1];
    ASSERT_EQ(units_change["file"], units);
    ASSERT_EQ(units_change["fields"].size(), 1u);
    EXPECT_EQ(units_change["fields"][0],
        (nlohmann::json{{"record", "UNIT_WARRIOR"}, {"field", "iCombat"}, {"old", "4"}, {"new", "23"}, {"mod", "Alpha"}}));

    apply("Alpha", "Bravo");
    const auto after = snapshot(box.custom_assets());
    std::map<std::string, std::string> done;
    for (const auto& [file, content] : after)
        if (file[0] != '.' && !content.first.empty() && !before.count(file))
            done[file] = "added";
    for (const auto& [file, content] : before) {
        if (file[0] == '.' || content.first.empty())
            continue;
        auto now = after.find(file);
        if (now == after.end())
            done[file] = "removed";
        else if (now->second.first != content.first)
            done[file] = "changed";
    }
    EXPECT_EQ(done, said);
    // And what it records of who made them is what the dry run showed.
    EXPECT_NE(line_with(cli({"blame", units}).out, "UNIT_WARRIOR  iCombat 23 (Alpha, over Bravo)"), "");
}

TEST_F(CliBuildTest, dryRunBeforeAnyApplyAddsEveryFile)
{
    CliRun run = cli({"apply", "--dry-run", "--json", "--prefer", "Alpha:Bravo"});
    ASSERT_EQ(run.code, 0) << run.err;
    const nlohmann::json doc = nlohmann::json::parse(run.out);
    std::set<std::string> added;
    for (const auto& f : doc["files"]) {
        EXPECT_EQ(f["change"], "added") << f.dump();
        added.insert(f["file"].get<std::string>());
    }
    EXPECT_EQ(added, (std::set<std::string>{charlie_art, script, units}));
    EXPECT_FALSE(exists(box.custom_assets()));
}

} // namespace
} // namespace velmora::test
