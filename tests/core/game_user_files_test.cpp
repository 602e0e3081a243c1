// The game's settings file and cache in the user's "My Games": the Mod line
// set and put back with every other byte kept, and the cache emptied of its
// own files only.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include "base/errors.h"
#include "core/game_user_files.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/tempdir.h"

namespace velmora::test {
namespace {

const char* const game_ini
    = "; Civilization IV settings\r\n[CONFIG]\r\n\r\n; Path of the mod to load\r\n"
      "Mod = 0\r\n\r\n; Skip the intro movie\r\nShowIntro = 0\r\n[DEBUG]\r\nHotSeat = 0\r\n";

struct IniCase {
    const char* name;
    std::string before;
    std::string after; // with "Mod = Mods\Combined"
    std::optional<std::string> old_line;
    // Put back: before, but for a section the file lacked.
    std::optional<std::string> restored = std::nullopt;
};

class IniWithMod : public ::testing::TestWithParam<IniCase> { };

TEST_P(IniWithMod, setsTheModLineAndPutsBackEveryByte)
{
    const IniCase& c = GetParam();
    std::optional<std::string> old_line = std::string("stale");
    const std::string after = ini_with_mod(c.before, "Mods\\Combined", old_line);
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(old_line, c.old_line);
    EXPECT_EQ(ini_mod_value(after), std::optional<std::string>("Mods\\Combined"));
    EXPECT_EQ(ini_with_mod_line(after, old_line), c.restored.value_or(c.before));
}

INSTANTIATE_TEST_SUITE_P(GameIni, IniWithMod,
    ::testing::Values(IniCase{"existingModLine", game_ini,
                          "; Civilization IV settings\r\n[CONFIG]\r\n\r\n; Path of the mod to load\r\nMod = "
                          "Mods\\Combined\r\n\r\n"
                          "; Skip the intro movie\r\nShowIntro = 0\r\n[DEBUG]\r\nHotSeat = 0\r\n",
                          std::string("Mod = 0")},
        IniCase{"noModLineAddedToConfig", "[CONFIG]\r\nShowIntro = 0\r\n",
            "[CONFIG]\r\nMod = Mods\\Combined\r\nShowIntro = 0\r\n", std::nullopt},
        IniCase{"noConfigSectionAppended", "[DEBUG]\nHotSeat = 0",
            "[DEBUG]\nHotSeat = 0\n[CONFIG]\nMod = Mods\\Combined\n", std::nullopt,
            std::string("[DEBUG]\nHotSeat = 0\n[CONFIG]\n")},
        IniCase{"emptyFileGetsCrlf", "", "[CONFIG]\r\nMod = Mods\\Combined\r\n", std::nullopt,
            std::string("[CONFIG]\r\n")},
        IniCase{"spacingAndCaseOfTheKey", "[config]\r\n  mod\t=  Mods\\AdvCiv  \r\n",
            "[config]\r\nMod = Mods\\Combined\r\n", std::string("  mod\t=  Mods\\AdvCiv  ")},
        IniCase{"lastLineWithoutEnd", "[CONFIG]\r\nMod = 0", "[CONFIG]\r\nMod = Mods\\Combined",
            std::string("Mod = 0")},
        IniCase{"commentsAndOtherSectionsIgnored", "[DEBUG]\r\nMod = 1\r\n[CONFIG]\r\n;Mod = Mods\\Old\r\n",
            "[DEBUG]\r\nMod = 1\r\n[CONFIG]\r\nMod = Mods\\Combined\r\n;Mod = Mods\\Old\r\n", std::nullopt}),
    [](const ::testing::TestParamInfo<IniCase>& info) { return info.param.name; });

class GameIniFile : public ::testing::Test {
protected:
    Path ini() const { return tmp / "My Games/Beyond the Sword/CivilizationIV.ini"; }
    Path backup() const { return tmp / "settings/game-ini-backup"; }
    void SetUp() override { mkpath(tmp / "settings", 0755); }

    TempDir tmp;
};

TEST_F(GameIniFile, isFoundBesideTheCustomAssetsFolderInItsOwnLetterCase)
{
    write_file(tmp / "My Games/Beyond the Sword/civilizationiv.INI", game_ini);
    EXPECT_EQ(game_ini_file(tmp / "My Games/Beyond the Sword/CustomAssets"),
        tmp / "My Games/Beyond the Sword/civilizationiv.INI");
    EXPECT_TRUE(game_ini_file(Path()).empty());
}

TEST_F(GameIniFile, switchingBackRestoresTheFileByteForByte)
{
    write_file(ini(), game_ini);
    const std::string done = start_mod_in_game_ini(ini(), backup(), "Combined");
    EXPECT_NE(done.find("Mods\\Combined"), std::string::npos) << done;
    EXPECT_EQ(ini_mod_value(read_file(ini())), std::optional<std::string>("Mods\\Combined"));
    // A second target keeps the user's line, not the one Velmora wrote.
    start_mod_in_game_ini(ini(), backup(), "Other");
    EXPECT_EQ(ini_mod_value(read_file(ini())), std::optional<std::string>("Mods\\Other"));
    EXPECT_EQ(start_mod_in_game_ini(ini(), backup(), "Other"), "");

    EXPECT_NE(restore_game_ini(backup()).find("Mod = 0"), std::string::npos);
    EXPECT_EQ(read_file(ini()), game_ini);
    EXPECT_FALSE(exists(backup()));
    EXPECT_EQ(restore_game_ini(backup()), "");
    EXPECT_EQ(list_files(tmp / "My Games/Beyond the Sword"), std::list<std::string>{"CivilizationIV.ini"});
}

TEST_F(GameIniFile, aModLineAddedIsRemovedAgain)
{
    const std::string without = "[CONFIG]\r\nShowIntro = 0\r\n";
    write_file(ini(), without);
    start_mod_in_game_ini(ini(), backup(), "Combined");
    EXPECT_EQ(read_file(ini()), "[CONFIG]\r\nMod = Mods\\Combined\r\nShowIntro = 0\r\n");
    restore_game_ini(backup());
    EXPECT_EQ(read_file(ini()), without);
}

TEST_F(GameIniFile, aModLineTheUserChangedSinceIsLeftAlone)
{
    write_file(ini(), game_ini);
    start_mod_in_game_ini(ini(), backup(), "Combined");
    const std::string chosen = "[CONFIG]\r\nMod = Mods\\Something Else\r\n";
    write_file(ini(), chosen);
    EXPECT_NE(restore_game_ini(backup()).find("left as it is"), std::string::npos);
    EXPECT_EQ(read_file(ini()), chosen);
    EXPECT_FALSE(exists(backup()));
}

TEST_F(GameIniFile, aMissingFileIsToldAndNotCreated)
{
    try {
        start_mod_in_game_ini(ini(), backup(), "Combined");
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find("CivilizationIV.ini\" does not exist"), std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(exists(ini()));
    EXPECT_FALSE(exists(backup()));
    EXPECT_THROW(start_mod_in_game_ini(Path(), backup(), "Combined"), GenericError);

    // Gone after it was set: nothing to put back, and the backup goes.
    write_file(ini(), game_ini);
    start_mod_in_game_ini(ini(), backup(), "Combined");
    platform::unlink(ini().str());
    EXPECT_NE(restore_game_ini(backup()).find("is gone"), std::string::npos);
    EXPECT_FALSE(exists(ini()));
    EXPECT_FALSE(exists(backup()));
}

// Writes that fail as on a full disk: the limit on the size of a file this
// process writes holds for root too, where a read-only folder does not.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit old_ {};
    void (*old_handler_)(int) = SIG_DFL;
};

TEST_F(GameIniFile, aFailedWriteLeavesTheFileWholeAndKeepsTheBackup)
{
    write_file(ini(), game_ini);
    start_mod_in_game_ini(ini(), backup(), "Combined");
    const std::string set = read_file(ini());
    {
        FileSizeLimit full(8);
        EXPECT_THROW(restore_game_ini(backup()), GenericError);
    }
    EXPECT_EQ(read_file(ini()), set);
    EXPECT_TRUE(exists(backup()));
    restore_game_ini(backup());
    EXPECT_EQ(read_file(ini()), game_ini);
}

struct CacheCase {
    const char* name;
    const char* existing; // "" when no cache folder exists
    const char* expected;
};

class GameCacheFolder : public ::testing::TestWithParam<CacheCase> { };

TEST_P(GameCacheFolder, isFoundInTheSameUsersLocalApplicationData)
{
    TempDir tmp;
    const Path user = tmp / "drive_c/users/steamuser";
    const Path custom = user / Path("Documents/My Games/Beyond the Sword/CustomAssets");
    mkpath(custom, 0755);
    if (*GetParam().existing)
        mkpath(user / Path(GetParam().existing), 0755);
    EXPECT_EQ(game_cache_folder(custom), user / Path(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(GameCache, GameCacheFolder,
    ::testing::Values(CacheCase{"appData", "AppData/Local/My Games/Beyond the Sword/cache",
                          "AppData/Local/My Games/Beyond the Sword/cache"},
        CacheCase{"appDataOtherCase", "appdata/local/my games/Beyond the Sword/Cache",
            "appdata/local/my games/Beyond the Sword/Cache"},
        CacheCase{"olderWindows", "Local Settings/Application Data/My Games/Beyond the Sword/cache",
            "Local Settings/Application Data/My Games/Beyond the Sword/cache"},
        CacheCase{"besideCustomAssets", "Documents/My Games/Beyond the Sword/cache",
            "Documents/My Games/Beyond the Sword/cache"},
        CacheCase{"noneYet", "", "AppData/Local/My Games/Beyond the Sword/cache"}),
    [](const ::testing::TestParamInfo<CacheCase>& info) { return info.param.name; });

TEST(GameCache, aCustomAssetsFolderOutsideMyGamesHasItsCacheBeside)
{
    TempDir tmp;
    EXPECT_EQ(game_cache_folder(tmp / "civ/CustomAssets"), tmp / "civ/cache");
    EXPECT_TRUE(game_cache_folder(Path()).empty());
}

TEST(GameCache, emptyingRemovesItsFilesAndNothingElse)
{
    TempDir tmp;
    const Path cache = tmp / "cache";
    write_file(cache / "CvTerrainInfos.dat", "parsed");
    write_file(cache / "a b é.cache", "parsed");
    write_file(cache / "sub/keep.dat", "kept");
    write_file(tmp / "outside/precious.txt", "mine");
    ASSERT_EQ(::symlink(platform::native(tmp / "outside/precious.txt").c_str(),
                  platform::native(cache / "link-to-file").c_str()),
        0);
    ASSERT_EQ(::symlink(platform::native(tmp / "outside").c_str(),
                  platform::native(cache / "link-to-folder").c_str()),
        0);

    EXPECT_EQ(empty_game_cache(cache), 2u);
    EXPECT_FALSE(exists(cache / "CvTerrainInfos.dat"));
    EXPECT_FALSE(exists(cache / "a b é.cache"));
    EXPECT_EQ(read_file(cache / "sub/keep.dat"), "kept");
    EXPECT_EQ(platform::kind_of((cache / "link-to-file").str()), platform::Kind::Link);
    EXPECT_EQ(platform::kind_of((cache / "link-to-folder").str()), platform::Kind::Link);
    EXPECT_EQ(read_file(tmp / "outside/precious.txt"), "mine");
    EXPECT_EQ(empty_game_cache(cache), 0u);
    EXPECT_EQ(empty_game_cache(tmp / "missing"), 0u);
}

TEST(GameCache, aCacheThatIsALinkIsNotEntered)
{
    TempDir tmp;
    write_file(tmp / "elsewhere/precious.txt", "mine");
    ASSERT_EQ(
        ::symlink(platform::native(tmp / "elsewhere").c_str(), platform::native(tmp / "cache").c_str()), 0);
    try {
        empty_game_cache(tmp / "cache");
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find("cache"), std::string::npos);
    }
    EXPECT_EQ(read_file(tmp / "elsewhere/precious.txt"), "mine");
}

} // namespace
} // namespace velmora::test
