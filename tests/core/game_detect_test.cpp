// Finding Civilization IV on a Linux desktop: Steam libraries, Proton, Wine,
// Lutris and Heroic prefixes, GOG installs inside them, in a made-up home.
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>

#include "core/game_detect.h"
#include "core/orrindel.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/tempdir.h"

namespace velmora::test {
namespace {

enum Editions { Original = 1, Warlords = 2, BeyondTheSword = 4, Complete = 7 };

// A game folder: "Assets/XML" and the edition's program.
void write_game_folder(const Path& dir, const char* program)
{
    write_file(dir / Path("Assets/XML/GlobalDefines.xml"), "<Civ4Defines/>\r\n");
    write_file(dir / Path(program), "MZ");
}

// An install laid out as Steam and GOG lay it out: the original game in the
// install's folder, the expansions in subfolders.
void write_install(const Path& dir, int editions)
{
    if (editions & Original)
        write_game_folder(dir, "Civilization4.exe");
    if (editions & Warlords)
        write_game_folder(dir / Path("Warlords"), "Civ4Warlords.exe");
    if (editions & BeyondTheSword)
        write_game_folder(dir / Path("Beyond the Sword"), "Civ4BeyondSword.exe");
}

void write_manifest(const Path& steamapps, const std::string& id, const std::string& dir)
{
    write_file(steamapps / Path("appmanifest_" + id + ".acf"),
        "\"AppState\"\n{\n\t\"appid\"\t\t\"" + id + "\"\n\t\"name\"\t\t\"" + dir + "\"\n\t\"installdir\"\t\t\"" + dir
            + "\"\n}\n");
}

struct Found {
    std::string civ4_dir; // relative to the temporary folder
    std::string custom_assets_dir; // relative too; "" for none
    std::string edition;
    std::string found_in;
};

struct DetectCase {
    const char* name;
    std::function<void(const TempDir& tmp, std::string& wine_prefix)> build;
    std::vector<Found> expected;
};

void PrintTo(const DetectCase& c, std::ostream* os) { *os << c.name; }

const char* const bts_steam = "Sid Meier's Civilization IV Beyond the Sword";
const char* const proton_docs = "pfx/drive_c/users/steamuser/Documents/My Games/";

void steam_two_libraries(const TempDir& tmp, std::string&)
{
    const Path steamapps = tmp / "home/.local/share/Steam/steamapps";
    write_file(steamapps / Path("libraryfolders.vdf"),
        "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + platform::native(tmp / "home/.local/share/Steam")
            + "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"3900\"\t\t\"1\"\n\t\t}\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\""
            + platform::native(tmp / "Games Disk/SteamLibrary") + "\"\n\t}\n}\n");
    // The original game alone in the home library, the complete game in the other.
    write_install(steamapps / Path("common/Sid Meier's Civilization IV"), Original);
    write_manifest(steamapps, "3900", "Sid Meier's Civilization IV");
    const Path other = tmp / "Games Disk/SteamLibrary/steamapps";
    write_install(other / Path("common") / Path(bts_steam), Complete);
    write_manifest(other, "8800", bts_steam);
    mkpath(other / Path("compatdata/8800/pfx/drive_c/users/steamuser/Documents"), 0755);
    // The same library through ~/.steam/steam, as Steam links it: found once.
    mkpath(tmp / "home/.steam", 0755);
    ::symlink(platform::native(tmp / "home/.local/share/Steam").c_str(),
        platform::native(tmp / "home/.steam/steam").c_str());
}

void proton_gog(const TempDir& tmp, std::string&)
{
    const Path steamapps = tmp / "home/.steam/debian-installation/steamapps";
    const Path pfx = steamapps / Path("compatdata/2718281828/pfx");
    write_install(pfx / Path("drive_c/GOG Games/Civilization IV Complete"), Complete);
    write_file(pfx / Path("drive_c/users/steamuser/Documents/My Games/Beyond the Sword/CustomAssets/a.txt"), "");
}

void wine_prefixes(const TempDir& tmp, std::string& wine_prefix)
{
    // A retail install in ~/.wine, with "My Games" already there.
    const Path wine = tmp / "home/.wine";
    write_install(wine / Path("drive_c/Program Files/2K Games/Firaxis Games/Sid Meier's Civilization 4"), Complete);
    mkpath(wine / Path("drive_c/users/Public/Documents"), 0755);
    mkpath(wine / Path("drive_c/users/me/My Documents/My Games/Beyond the Sword/CustomAssets"), 0755);
    // Wine links a drive to the whole disk: not searched.
    mkpath(wine / Path("dosdevices"), 0755);
    ::symlink("/", platform::native(wine / Path("drive_c/Program Files/z:")).c_str());
    // Warlords alone in the prefix $WINEPREFIX names.
    write_install(tmp / "prefixes/civ4/drive_c/Program Files (x86)/Civ4", Warlords);
    mkpath(tmp / "prefixes/civ4/drive_c/users/me", 0755);
    wine_prefix = platform::native(tmp / "prefixes/civ4");
}

void lutris_and_heroic(const TempDir& tmp, std::string&)
{
    write_install(tmp / "home/Games/civilization-iv/drive_c/GOG Games/Civilization IV Complete", Complete);
    mkpath(tmp / "home/Games/civilization-iv/drive_c/users/me/Documents", 0755);
    write_install(tmp / "home/Games/Heroic/Civilization IV Complete", Original | BeyondTheSword);
    mkpath(tmp / "home/Games/Heroic/Prefixes/default/Civilization IV Complete/drive_c/users/me/Documents", 0755);
}

void nothing(const TempDir& tmp, std::string& wine_prefix)
{
    // Look-alikes: an Assets folder without the program, the program without Assets.
    write_file(tmp / "home/.wine/drive_c/Program Files/Civ4/Assets/XML/a.xml", "<a/>");
    write_file(tmp / "home/.wine/drive_c/Program Files/Civ4 Demo/Civ4BeyondSword.exe", "MZ");
    mkpath(tmp / "home/.local/share/Steam/steamapps/common", 0755);
    write_file(tmp / "home/.local/share/Steam/steamapps/libraryfolders.vdf", "\"libraryfolders\" { broken");
    wine_prefix = platform::native(tmp / "no such prefix");
}

const std::string wine_docs = "home/.wine/drive_c/users/me/My Documents/My Games/Beyond the Sword/CustomAssets";

const DetectCase detect_cases[] = {
    {"steamWithTwoLibrariesAndTwoEditions", steam_two_libraries,
        {{"home/.local/share/Steam/steamapps/common/Sid Meier's Civilization IV",
             "home/.local/share/Steam/steamapps/compatdata/3900/pfx/drive_c/users/steamuser/Documents/My Games/Sid Meier's "
             "Civilization 4/CustomAssets",
             "Civilization IV", "Steam"},
            {std::string("Games Disk/SteamLibrary/steamapps/common/") + bts_steam + "/Beyond the Sword",
                std::string("Games Disk/SteamLibrary/steamapps/compatdata/8800/") + proton_docs
                    + "Beyond the Sword/CustomAssets",
                "Beyond the Sword", "Steam"}}},
    {"gogInAProtonPrefix", proton_gog,
        {{"home/.steam/debian-installation/steamapps/compatdata/2718281828/pfx/drive_c/GOG Games/Civilization IV "
          "Complete/Beyond the Sword",
            std::string("home/.steam/debian-installation/steamapps/compatdata/2718281828/") + proton_docs
                + "Beyond the Sword/CustomAssets",
            "Beyond the Sword", "Proton prefix"}}},
    {"wineAndWinePrefix", wine_prefixes,
        {{"home/.wine/drive_c/Program Files/2K Games/Firaxis Games/Sid Meier's Civilization 4/Beyond the Sword",
             wine_docs, "Beyond the Sword", "Wine prefix"},
            {"prefixes/civ4/drive_c/Program Files (x86)/Civ4/Warlords",
                "prefixes/civ4/drive_c/users/me/Documents/My Games/Warlords/CustomAssets", "Warlords",
                "Wine prefix"}}},
    {"lutrisAndHeroic", lutris_and_heroic,
        {{"home/Games/civilization-iv/drive_c/GOG Games/Civilization IV Complete/Beyond the Sword",
             "home/Games/civilization-iv/drive_c/users/me/Documents/My Games/Beyond the Sword/CustomAssets",
             "Beyond the Sword", "Lutris prefix"},
            {"home/Games/Heroic/Civilization IV Complete/Beyond the Sword",
                "home/Games/Heroic/Prefixes/default/Civilization IV Complete/drive_c/users/me/Documents/My "
                "Games/Beyond the Sword/CustomAssets",
                "Beyond the Sword", "Heroic"}}},
    {"nothingFound", nothing, {}},
};

class GameDetectTest : public ::testing::TestWithParam<DetectCase> { };

TEST_P(GameDetectTest, findsEachInstallOnceWithItsBestEditionAndCustomAssets)
{
    const DetectCase& c = GetParam();
    TempDir tmp;
    mkpath(tmp / "home", 0755);
    const Path home = tmp / "home";
    std::string wine_prefix;
    c.build(tmp, wine_prefix);

    const std::vector<GameInstall> found = detect_game_installs(home, wine_prefix);

    ASSERT_EQ(found.size(), c.expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        const Found& e = c.expected[i];
        EXPECT_EQ(found[i].civ4_dir, tmp / e.civ4_dir) << i;
        EXPECT_EQ(found[i].custom_assets_dir, e.custom_assets_dir.empty() ? Path() : tmp / e.custom_assets_dir) << i;
        EXPECT_EQ(found[i].edition, e.edition) << i;
        EXPECT_EQ(found[i].found_in, e.found_in) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Homes, GameDetectTest, ::testing::ValuesIn(detect_cases),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UseGameInstall, storesBothFoldersAndCreatesTheMissingCustomAssets)
{
    CoreSandbox sandbox;
    Orrindel core(sandbox.home());
    core.startup();
    const GameInstall install{sandbox / "Steam/Beyond the Sword", sandbox / "pfx/My Games/Beyond the Sword/CustomAssets",
        "Beyond the Sword", "Steam", {}};

    use_game_install(core, install);

    EXPECT_EQ(core.get_civ4_dir(), install.civ4_dir);
    EXPECT_EQ(core.get_custom_assets_dir(), install.custom_assets_dir);
    EXPECT_TRUE(exists(install.custom_assets_dir));
    Orrindel again(sandbox.home());
    again.startup();
    EXPECT_EQ(again.get_civ4_dir(), install.civ4_dir);
}

} // namespace
} // namespace velmora::test
