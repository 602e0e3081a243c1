// velmora-cli list, enable, disable and show: the mods folder and the
// enabled marks, as the main window and the mod-properties window show them.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_fixture.h"
#include "support/case_name.h"

namespace velmora::test {
namespace {

// A file whose header cannot be parsed: the scan leaves it out.
const char* const broken_header = "<?xml version=\"1.0\"?>\n<Pellarix>\n  <Name>Broken</Nme>\n</Pellarix>\n";

class CliListTest : public CliTest {
protected:
    void SetUp() override
    {
        write_mod("alpha.Pellarix", "Alpha", {}, "1.2", "Stronger archers");
        write_mod("beta.Pellarix", "Beta", {}, "0.9", "Faster\nworkers");
        write_file(box.mods() / "broken.Pellarix", broken_header);
        write_file(box.mods() / "notes.txt", "not a mod");
        configure({"Beta"});
    }
};

TEST_F(CliListTest, textShowsEveryModWithItsMarkAndWarnsAboutUnreadableFiles)
{
    CliRun run = cli({"list"});

    ASSERT_EQ(run.code, 0) << run.err;
    std::string alpha = line_with(run.out, "Alpha");
    std::string beta = line_with(run.out, "Beta");
    EXPECT_EQ(alpha.rfind("[ ]", 0), 0u) << run.out;
    EXPECT_EQ(beta.rfind("[x]", 0), 0u) << run.out;
    for (const char* part : {"1.2", "alpha.Pellarix", "Stronger archers"})
        EXPECT_NE(alpha.find(part), std::string::npos) << alpha;
    // A description over two lines stays on its mod's line.
    EXPECT_NE(beta.find("Faster workers"), std::string::npos) << beta;
    EXPECT_EQ(run.out.find("notes.txt"), std::string::npos);
    EXPECT_EQ(run.out.find("broken"), std::string::npos);
    ASSERT_EQ(lines_of(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find("warning: The mod file \"broken.Pellarix\" cannot be read"), std::string::npos)
        << run.err;
}

TEST_F(CliListTest, jsonParsesBackToTheSameMods)
{
    CliRun run = cli({"list", "--json"});

    ASSERT_EQ(run.code, 0) << run.err;
    nlohmann::json doc = nlohmann::json::parse(run.out);
    EXPECT_EQ(doc["mods_dir"], native(box.mods()));
    ASSERT_EQ(doc["mods"].size(), 2u);
    nlohmann::json alpha = doc["mods"][0]["name"] == "Alpha" ? doc["mods"][0] : doc["mods"][1];
    nlohmann::json beta = doc["mods"][0]["name"] == "Beta" ? doc["mods"][0] : doc["mods"][1];
    EXPECT_EQ(alpha["enabled"], false);
    EXPECT_EQ(alpha["version"], "1.2");
    EXPECT_EQ(alpha["author"], "Velmora Tests");
    EXPECT_EQ(alpha["file"], "alpha.Pellarix");
    EXPECT_EQ(alpha["path"], native(box.mods() / "alpha.Pellarix"));
    EXPECT_EQ(beta["enabled"], true);
    EXPECT_EQ(beta["description"], "Faster\nworkers");
    ASSERT_EQ(doc["unreadable"].size(), 1u);
    EXPECT_EQ(doc["unreadable"][0]["file"], "broken.Pellarix");
}

TEST_F(CliListTest, emptyFolderSaysSo)
{
    for (const char* f : {"alpha.Pellarix", "beta.Pellarix", "broken.Pellarix"})
        ASSERT_EQ(platform::unlink((box.mods() / f).str()), 0);
    configure({}); // an enabled mod whose file is gone is listed as missing

    CliRun run = cli({"list"});

    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "No mods in \"" + native(box.mods()) + "\".\n");
}

// Mods are named by their header's name or their file's name.
struct EnableCase {
    const char* title;
    std::vector<std::string> args;
    std::vector<std::string> enabled_after; // the "EnabledMod" names of "conf", in list order
};

std::ostream& operator<<(std::ostream& os, const EnableCase& c) { return os << c.title; }

class CliEnableTest : public CliTest, public ::testing::WithParamInterface<EnableCase> {
protected:
    void SetUp() override
    {
        write_mod("alpha.Pellarix", "Alpha");
        write_mod("beta.Pellarix", "Beta");
        write_mod("gamma one.Pellarix", "Gamma");
        write_mod("gamma two.Pellarix", "Gamma");
        configure({"Beta"});
    }

    std::vector<std::string> enabled_in_conf() const
    {
        std::vector<std::string> names;
        for (const std::string& line : lines_of(read_file(box.conf()))) {
            auto begin = line.find("<EnabledMod>");
            if (begin != std::string::npos)
                names.push_back(line.substr(begin + 12, line.find("</") - begin - 12));
        }
        return names;
    }
};

TEST_P(CliEnableTest, changesTheMarksKeptInTheConfiguration)
{
    const EnableCase& c = GetParam();
    CliRun run = cli(c.args);

    EXPECT_EQ(run.code, 0) << run.err;
    std::vector<std::string> names = enabled_in_conf();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, c.enabled_after);
}

INSTANTIATE_TEST_SUITE_P(Marks, CliEnableTest,
    ::testing::Values(EnableCase{"by name", {"enable", "Alpha"}, {"Alpha", "Beta"}},
        EnableCase{"by file name", {"enable", "alpha.Pellarix"}, {"Alpha", "Beta"}},
        EnableCase{"by file name in another letter case", {"enable", "ALPHA.pellarix"}, {"Alpha", "Beta"}},
        EnableCase{"several at once", {"enable", "Alpha", "gamma two.Pellarix"},
            {"Alpha", "Beta", "gamma two.Pellarix"}},
        // Two versions of one mod share its name: the configuration keeps each by its file.
        EnableCase{"one file of a shared name", {"enable", "gamma one.Pellarix"}, {"Beta", "gamma one.Pellarix"}},
        EnableCase{"both files of a shared name", {"enable", "gamma two.Pellarix", "gamma one.Pellarix"},
            {"Beta", "gamma one.Pellarix", "gamma two.Pellarix"}},
        EnableCase{"an enabled one again", {"enable", "Beta"}, {"Beta"}},
        EnableCase{"disable", {"disable", "beta.Pellarix"}, {}}),
    ::velmora::test::CaseName());

TEST_F(CliEnableTest, unknownNameChangesNothing)
{
    CliRun run = cli({"enable", "Alpha", "Delta"});

    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(
        run.err.find("error: No mod named \"Delta\" in \"" + native(box.mods()) + "\""), std::string::npos)
        << run.err;
    EXPECT_EQ(enabled_in_conf(), std::vector<std::string>{"Beta"});
}

TEST_F(CliEnableTest, aNameTwoFilesShareIsAMistakeListingThemAndChangesNothing)
{
    const std::vector<std::vector<std::string>> commands{
        {"enable", "Alpha", "Gamma"}, {"disable", "Beta", "Gamma"}, {"show", "Gamma"}};
    for (const std::vector<std::string>& args : commands) {
        CliRun run = cli(args);

        EXPECT_EQ(run.code, 2) << args[0];
        EXPECT_EQ(run.out, "") << args[0];
        EXPECT_NE(run.err.find("error: The name \"Gamma\" is carried by 2 mods: gamma one.Pellarix, gamma "
                               "two.Pellarix; give one by its file name."),
            std::string::npos)
            << run.err;
        EXPECT_EQ(enabled_in_conf(), std::vector<std::string>{"Beta"});
    }
}

TEST_F(CliEnableTest, enablingASecondVersionWarnsAndBothStayEnabledAcrossARestart)
{
    CliRun first = cli({"enable", "gamma one.Pellarix"});
    EXPECT_EQ(first.err, "");
    CliRun second = cli({"enable", "gamma two.Pellarix"});

    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(second.out, "Enabled: Gamma (gamma two.Pellarix)\n");
    EXPECT_NE(second.err.find("gamma two.Pellarix: another version of 'Gamma' is enabled (gamma one.Pellarix)"),
        std::string::npos)
        << second.err;
    CliRun list = cli({"list"});
    EXPECT_NE(line_with(list.out, "gamma one.Pellarix").rfind("[x]", 0), std::string::npos) << list.out;
    EXPECT_NE(line_with(list.out, "gamma two.Pellarix").rfind("[x]", 0), std::string::npos) << list.out;
    EXPECT_NE(line_with(list.out, "alpha.Pellarix").rfind("[ ]", 0), std::string::npos) << list.out;
}

TEST_F(CliEnableTest, unreadableModFileIsNamedWithItsProblem)
{
    write_file(box.mods() / "broken.Pellarix", broken_header);

    CliRun run = cli({"enable", "broken.Pellarix"});

    EXPECT_EQ(run.code, 1);
    EXPECT_NE(
        run.err.find("The mod file \"broken.Pellarix\" in \"" + native(box.mods()) + "\" cannot be read"),
        std::string::npos)
        << run.err;
}

class CliShowTest : public CliTest {
protected:
    void SetUp() override
    {
        write_mod("archers.Pellarix", "Archers",
            {archer_combat(4), {"Python\\CvVelmoraEvents.py", "diff", script_diff},
                {"Art\\Interface\\Buttons\\archer.dds", "whole", std::string("DDS \x01\x02\x00\xff", 8)}},
            "2.0", "Archers hit harder");
    }

    const std::string script_diff = "@@ -5,3 +5,3 @@\n"
                                    " \tiPlayer = argsList[0]\n"
                                    "-\tCvUtil.pyPrint(\"game start\")\n"
                                    "+\tCvUtil.pyPrint(\"archers ready\")\n";
};

TEST_F(CliShowTest, textShowsTheHeaderAndEveryChange)
{
    CliRun run = cli({"show", "Archers"});

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(line_with(run.out, "Version:").find("2.0"), std::string::npos) << run.out;
    EXPECT_NE(line_with(run.out, "Description:").find("Archers hit harder"), std::string::npos);
    EXPECT_NE(line_with(run.out, "File:").find(native(box.mods() / "archers.Pellarix")), std::string::npos);
    EXPECT_NE(line_with(run.out, "Enabled:").find("no"), std::string::npos);
    // Change files in native form, with their type and payload size.
    std::string xml = line_with(run.out, "XML/Units/CIV4UnitInfos.xml");
    EXPECT_EQ(xml.rfind("xml", 0), 0u) << run.out;
    std::string diff = line_with(run.out, "Python/CvVelmoraEvents.py");
    EXPECT_EQ(diff.rfind("diff", 0), 0u) << run.out;
    EXPECT_NE(diff.find(std::to_string(script_diff.size())), std::string::npos) << diff;
    std::string whole = line_with(run.out, "Art/Interface/Buttons/archer.dds");
    EXPECT_EQ(whole.rfind("whole  8", 0), 0u) << run.out;
}

TEST_F(CliShowTest, changeTextIsPrintedAsStored)
{
    // Either separator and any letter case name the change's file.
    for (const char* file : {"Python/CvVelmoraEvents.py", "python\\cvvelmoraevents.PY"}) {
        CliRun run = cli({"show", "archers.Pellarix", "--change", file});
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, script_diff) << file;
    }
    CliRun binary = cli({"show", "Archers", "--change", "Art/Interface/Buttons/archer.dds"});
    EXPECT_EQ(binary.out, std::string("DDS \x01\x02\x00\xff", 8));
}

TEST_F(CliShowTest, jsonParsesBackToTheHeaderAndChanges)
{
    CliRun run = cli({"show", "Archers", "--json"});

    ASSERT_EQ(run.code, 0) << run.err;
    nlohmann::json doc = nlohmann::json::parse(run.out);
    EXPECT_EQ(doc["name"], "Archers");
    EXPECT_EQ(doc["version"], "2.0");
    EXPECT_EQ(doc["enabled"], false);
    ASSERT_EQ(doc["changes"].size(), 3u);
    EXPECT_EQ(doc["changes"][1]["file"], "Python/CvVelmoraEvents.py");
    EXPECT_EQ(doc["changes"][1]["type"], "diff");
    EXPECT_EQ(doc["changes"][1]["size"], script_diff.size());
    EXPECT_EQ(doc["changes"][2]["type"], "whole");
}

struct ShowErrorCase {
    const char* title;
    std::vector<std::string> args;
    const char* message;
};

std::ostream& operator<<(std::ostream& os, const ShowErrorCase& c) { return os << c.title; }

class CliShowErrorTest : public CliShowTest, public ::testing::WithParamInterface<ShowErrorCase> {
protected:
    void SetUp() override
    {
        CliShowTest::SetUp();
        // The header reads well; the body is cut short.
        write_file(box.mods() / "damaged.Pellarix",
            "<?xml version=\"1.0\"?>\n<Pellarix>\n  <Name>Damaged</Name>\n"
            "  <Change file=\"XML\\Units\\CIV4UnitInfos.xml\" type=\"xml\">&lt;Civ4UnitInfos");
    }
};

TEST_P(CliShowErrorTest, failsWithOneLineNamingTheProblem)
{
    const ShowErrorCase& c = GetParam();
    CliRun run = cli(c.args);

    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    ASSERT_EQ(lines_of(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Errors, CliShowErrorTest,
    ::testing::Values(ShowErrorCase{"unknown mod", {"show", "Cavalry"}, "No mod named \"Cavalry\""},
        ShowErrorCase{"damaged mod file", {"show", "Damaged"}, "damaged.Pellarix"},
        ShowErrorCase{"change to a file the mod leaves alone",
            {"show", "Archers", "--change", "XML/Civ4Defines.xml"},
            "has no change to the file \"XML/Civ4Defines.xml\""}),
    ::velmora::test::CaseName());

} // namespace
} // namespace velmora::test
