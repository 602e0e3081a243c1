// velmora-cli import and prefs --detect: a downloaded archive becomes a mod,
// and the game is found without typing its folder.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_fixture.h"
#include "support/archives.h"

namespace velmora::test {
namespace {

class CliImportTest : public CliTest {
protected:
    void SetUp() override
    {
        configure({});
        std::string units = game_unit_infos();
        units.replace(units.find("<iCombat>3</iCombat>"), 20, "<iCombat>7</iCombat>");
        write_archive(box / "Strong_Archers_v1.1.zip", "zip",
            {{"Strong Archers/Assets/" + Path(unit_infos_file).str(), units},
                {"Strong Archers/Read Me.txt", "Archers at 7.\r\n"}});
    }

    CliRun import(const std::vector<std::string>& options, const std::string& archive = "Strong_Archers_v1.1.zip")
    {
        std::vector<std::string> args{"import", native(box / archive)};
        args.insert(args.end(), options.begin(), options.end());
        return cli(args);
    }

    nlohmann::json shown(const std::string& mod) const
    {
        return nlohmann::json::parse(cli({"show", mod, "--json"}).out);
    }
};

TEST_F(CliImportTest, makesTheModWithTheNamesOfTheArchive)
{
    CliRun run = import({"--author", "Me"});

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find(native(box.mods() / "Strong Archers.Pellarix")), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"Strong Archers/Assets\""), std::string::npos) << run.out;
    nlohmann::json doc = shown("Strong Archers");
    EXPECT_EQ(doc["author"], "Me");
    EXPECT_EQ(doc["version"], "1.1");
    EXPECT_EQ(doc["description"], "Archers at 7.");
    ASSERT_EQ(doc["changes"].size(), 1u);
    EXPECT_EQ(doc["changes"][0]["file"], "XML/Units/CIV4UnitInfos.xml");
    EXPECT_EQ(doc["changes"][0]["type"], "xml");
}

TEST_F(CliImportTest, givenValuesWinAndAnExistingModNeedsForce)
{
    ASSERT_EQ(import({}).code, 0);

    CliRun refused = import({});
    CliRun forced = import({"--force", "--name", "Archers", "--version", "2", "--description", ""});
    CliRun replaced = import({"--force"});

    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("already exists. Give --force"), std::string::npos) << refused.err;
    ASSERT_EQ(forced.code, 0) << forced.err;
    nlohmann::json doc = shown("Archers");
    EXPECT_EQ(doc["version"], "2");
    EXPECT_EQ(doc["description"], "");
    EXPECT_EQ(replaced.code, 0) << replaced.err;
}

TEST_F(CliImportTest, aPassedLimitNamesTheOptionThatRaisesIt)
{
    CliRun stopped = import({"--max-size", "100"});
    CliRun raised = import({"--max-size", "1M"});
    CliRun wrong = import({"--max-size", "lots"});

    EXPECT_EQ(stopped.code, 1);
    EXPECT_NE(stopped.err.find("unpacks to more than 100 bytes"), std::string::npos) << stopped.err;
    EXPECT_NE(stopped.err.find("--max-size SIZE"), std::string::npos) << stopped.err;
    EXPECT_EQ(raised.code, 0) << raised.err;
    EXPECT_EQ(wrong.code, 2);
}

TEST_F(CliImportTest, aHostileArchiveWritesNoMod)
{
    write_archive(box / "evil.zip", "zip", {{"Assets/XML/a.xml", "<a/>"}, {"../../escaped.txt", "evil"}});

    CliRun run = import({"--name", "Evil"}, "evil.zip");

    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("its entry \"../../escaped.txt\""), std::string::npos) << run.err;
    EXPECT_FALSE(exists(box.mods() / "Evil.Pellarix"));
}

TEST_F(CliImportTest, anEntryFailingItsChecksumWritesNoMod)
{
    const std::string units = game_unit_infos();
    write_archive(box / "damaged.zip", "zip", {{"Assets/" + Path(unit_infos_file).str(), units}},
        "zip:compression=store");
    std::string bytes = read_file(box / "damaged.zip");
    bytes[bytes.find("<iCombat>")] = '[';
    write_file(box / "damaged.zip", bytes);

    CliRun run = import({"--name", "Damaged"}, "damaged.zip");

    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("damaged.zip\" at the entry \"Assets/"), std::string::npos) << run.err;
    EXPECT_FALSE(exists(box.mods() / "Damaged.Pellarix"));
}

// --- prefs --detect -----------------------------------------------------------

class CliDetectTest : public CliTest {
protected:
    // Beyond the Sword in Steam's library, its Proton prefix not made yet.
    void write_steam_game()
    {
        const Path steamapps = box.home() / ".local/share/Steam/steamapps";
        const Path game = steamapps / "common/Sid Meier's Civilization IV Beyond the Sword/Beyond the Sword";
        write_file(game / "Assets/XML/GlobalDefines.xml", "<Civ4Defines/>");
        write_file(game / "Civ4BeyondSword.exe", "MZ");
        write_file(steamapps / "appmanifest_8800.acf",
            "\"AppState\" { \"appid\" \"8800\" \"installdir\" \"Sid Meier's Civilization IV Beyond the Sword\" }");
    }

    void write_wine_game()
    {
        const Path game = box.home() / ".wine/drive_c/Program Files/Civ4/Warlords";
        write_file(game / "Assets/XML/GlobalDefines.xml", "<Civ4Defines/>");
        write_file(game / "Civ4Warlords.exe", "MZ");
    }

    CliRun detect(const std::vector<std::string>& options = {}) const
    {
        std::vector<std::string> args{"--home", native(box.home()), "prefs", "--detect"};
        args.insert(args.end(), options.begin(), options.end());
        return run_cli(args, native(box.run()), "", {{"WINEPREFIX", "", true}});
    }

    std::string steam_game() const
    {
        return native(box.home()
            / ".local/share/Steam/steamapps/common/Sid Meier's Civilization IV Beyond the Sword/Beyond the Sword");
    }
    std::string steam_custom_assets() const
    {
        return native(box.home()
            / ".local/share/Steam/steamapps/compatdata/8800/pfx/drive_c/users/steamuser/Documents/My Games/Beyond the "
              "Sword/CustomAssets");
    }
};

TEST_F(CliDetectTest, oneInstallIsStoredWithItsCustomAssetsCreated)
{
    write_steam_game();

    CliRun run = detect();

    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("1. Beyond the Sword (Steam)"), std::string::npos) << run.out;
    nlohmann::json prefs = nlohmann::json::parse(cli({"prefs", "--json"}).out);
    EXPECT_EQ(prefs["civ4_dir"], steam_game());
    EXPECT_EQ(prefs["custom_assets_dir"], steam_custom_assets());
    EXPECT_TRUE(exists(Path(steam_custom_assets())));
}

TEST_F(CliDetectTest, severalInstallsAreListedAndStoredOnlyWhenNamed)
{
    configure({});
    write_steam_game();
    write_wine_game();

    write_file(Path(steam_game()) / "Mods/AdvCiv/Assets/XML/GlobalDefines.xml", "<Civ4Defines/>");
    write_file(Path(steam_game()) / "Mods/Not a mod/readme.txt", "no Assets");
    CliRun text = detect();
    CliRun listed = detect({"--json"});
    const nlohmann::json unchanged = nlohmann::json::parse(cli({"prefs", "--json"}).out);
    CliRun chosen = detect({"--use", "2"});

    ASSERT_EQ(listed.code, 0) << listed.err;
    nlohmann::json doc = nlohmann::json::parse(listed.out);
    ASSERT_EQ(doc["installs"].size(), 2u);
    EXPECT_EQ(doc["installs"][0]["civ4_dir"], steam_game());
    EXPECT_EQ(doc["installs"][1]["edition"], "Warlords");
    EXPECT_EQ(doc["installs"][0]["mods"], nlohmann::json::array({"AdvCiv"}));
    EXPECT_EQ(doc["installs"][1]["mods"], nlohmann::json::array());
    EXPECT_NE(text.out.find("   Mods:" + std::string(18, ' ') + "AdvCiv\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("   Mods:" + std::string(18, ' ') + "(none)\n"), std::string::npos) << text.out;
    EXPECT_TRUE(doc["stored"].is_null());
    EXPECT_EQ(unchanged["civ4_dir"], native(box.game()));
    ASSERT_EQ(chosen.code, 0) << chosen.err;
    nlohmann::json prefs = nlohmann::json::parse(cli({"prefs", "--json"}).out);
    EXPECT_EQ(prefs["civ4_dir"], native(box.home() / ".wine/drive_c/Program Files/Civ4/Warlords"));
    EXPECT_EQ(detect({"--use", "3"}).code, 2);
}

TEST_F(CliDetectTest, nothingFoundIsAnErrorThatSaysWhatToDo)
{
    CliRun run = detect();

    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("No Civilization IV installation was found"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--civ4-dir"), std::string::npos) << run.err;
}

} // namespace
} // namespace velmora::test
