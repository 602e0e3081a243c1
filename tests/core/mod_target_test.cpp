// Building a mod folder in the game's Mods folder on top of a big mod: the
// modcomps made for the big mod record only their own changes, and apply
// gives the big mod whole with the merged files in place of its own, never
// writing the big mod itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "base/errors.h"
#include "core/manifest.h"
#include "core/mod_target.h"
#include "core/orrindel.h"
#include "creator/modcreator.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/case_name.h"
#include "support/core_fixtures.h"
#include "support/element_table.h"
#include "support/tempdir.h"

#if __has_include("tools/gamegen/gamegen.h")
#include "tools/gamegen/gamegen.h"

namespace velmora::test {
namespace {

const char* const big_ini = "[CONFIG]\r\n\r\n; Custom XML and Python from user folder are not loaded\r\n"
                            "NoCustomAssets = 1\r\n";
const char* const big_dll = "MZ\x90\x00 a generated game core";

// Every file below folder with its bytes, by relative path; manifests left out
// (their stamps differ from folder to folder).
std::map<std::string, std::string> contents(const Path& folder)
{
    std::map<std::string, std::string> out;
    for (const std::string& f : list_tree(folder))
        out[f] = read_file(folder / Path(f));
    return out;
}

void remove_scripts(const Path& folder)
{
    for (const std::string& name : list_files(folder)) {
        const Path p = folder / Path(name);
        if (is_folder(p))
            remove_scripts(p);
        else if (name.size() > 3 && name.compare(name.size() - 3, 3, ".py") == 0)
            platform::unlink(p.str());
    }
}

// A generated game; in its Mods folder a big mod (a modified copy of the
// game's Assets with changed units and more, a DLL, an INI and a private
// map); two modcomps made from modified copies of the big mod, created
// against it, and one of them created against the bare game too.
class ModTarget : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        made = new TempDir;
        ElementTableScope scope;
        write_file(*made / "run/elements.txt", read_file(Path(shipped_table_file())));
        CurrentFolder in_run(*made / "run");
        generate_assets(*made / "Civ4/Assets", {3, 0.01});
        const Path big = *made / "Civ4/Mods/Big Mod";
        mkpath(big, 0755);
        std::filesystem::copy(platform::native(*made / "Civ4/Assets"), platform::native(big / "Assets"),
            std::filesystem::copy_options::recursive);
        big_changes = new std::vector<ModifiedFile>(modify_tree(*made / "Civ4/Assets", *made / "big", {7, 0.3}));
        std::filesystem::copy(platform::native(*made / "big"), platform::native(big / "Assets"),
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        write_file(big / "Assets/CvGameCoreDLL.dll", std::string(big_dll, 26));
        write_file(big / "Big Mod.ini", big_ini);
        write_file(big / "PrivateMaps/Earth.CivBeyondSwordWBSave", "a map");

        Orrindel maker(*made / "home");
        maker.startup();
        maker.set_civ4_dir(*made / "Civ4");
        mkpath(*made / "mods", 0755);
        comp_changes = new std::vector<ModifiedFile>;
        for (unsigned m = 1; m <= 2; ++m) {
            const Path copy = *made / ("comp" + std::to_string(m) + "/Assets");
            mkpath(*made / ("comp" + std::to_string(m)), 0755);
            std::filesystem::copy(platform::native(big / "Assets"), platform::native(copy),
                std::filesystem::copy_options::recursive);
            const Path edits = *made / ("edits" + std::to_string(m));
            std::vector<ModifiedFile> changed = modify_tree(big / "Assets", edits, {10 + m, 0.1});
            if (m == 1)
                *comp_changes = changed;
            std::filesystem::copy(platform::native(edits), platform::native(copy),
                std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
            // Two line differences on nearby lines cannot both apply.
            remove_scripts(copy);
            ModCreator creator(maker.get_civ4_dir(), maker.get_settings_dir(), copy, false);
            creator.set_base_mod(big);
            std::unique_ptr<Mod> mod(creator.create());
            ASSERT_TRUE(mod);
            mod->name = "Comp " + std::to_string(m);
            ASSERT_EQ(mod->save(*made / ("mods/" + mod->name + ".Pellarix")), 0);
        }
        ModCreator bare(maker.get_civ4_dir(), maker.get_settings_dir(), *made / "comp1/Assets", false);
        bare_comp = bare.create();
    }
    static void TearDownTestSuite()
    {
        delete bare_comp;
        delete big_changes;
        delete comp_changes;
        delete made;
        made = nullptr;
    }

    void SetUp() override
    {
        const auto copy = std::filesystem::copy_options::recursive;
        std::filesystem::copy(platform::native(*made / "run"), platform::native(tmp / "run"), copy);
        std::filesystem::copy(platform::native(*made / "Civ4"), platform::native(tmp / "Civ4"), copy);
        mkpath(tmp / "home/.velmora", 0755);
        std::filesystem::copy(platform::native(*made / "mods"), platform::native(tmp / "home/.velmora/mods"), copy);
        cwd = std::make_unique<CurrentFolder>(tmp / "run");
        core = std::make_unique<Orrindel>(tmp / "home");
        core->startup();
        core->set_civ4_dir(tmp / "Civ4");
        core->set_custom_assets_dir(custom_assets());
        core->set_base_mod(big_mod());
        core->signal_mod_priority().connect([](PriorityQuestion&) { return 1u; });
        ASSERT_EQ(core->get_mods().size(), 2u);
        for (Mod* mod : core->get_mods())
            core->set_mod_enabled(mod, true);
    }

    Path big_mod() const { return tmp / "Civ4/Mods/Big Mod"; }
    Path mods_folder() const { return tmp / "Civ4/Mods"; }
    Path custom_assets() const { return tmp / "My Games/CustomAssets"; }

    static TempDir* made;
    static std::vector<ModifiedFile>* big_changes;
    static std::vector<ModifiedFile>* comp_changes;
    static Mod* bare_comp;
    TempDir tmp;
    ElementTableScope table;
    std::unique_ptr<CurrentFolder> cwd;
    std::unique_ptr<Orrindel> core;
};

TempDir* ModTarget::made = nullptr;
std::vector<ModifiedFile>* ModTarget::big_changes = nullptr;
std::vector<ModifiedFile>* ModTarget::comp_changes = nullptr;
Mod* ModTarget::bare_comp = nullptr;

std::string stored_name(const std::string& slashed)
{
    std::string out = slashed;
    for (char& c : out)
        if (c == '/')
            c = '\\';
    return out;
}

TEST_F(ModTarget, aModcompCreatedAgainstTheBaseModRecordsOnlyItsOwnChanges)
{
    std::set<std::string> own;
    for (const ModifiedFile& f : *comp_changes)
        if (f.path.size() < 3 || f.path.compare(f.path.size() - 3, 3, ".py") != 0)
            own.insert(stored_name(f.path));
    const Mod* comp = nullptr;
    for (const Mod* mod : core->get_mods())
        if (mod->name == "Comp 1")
            comp = mod;
    ASSERT_TRUE(comp);
    ASSERT_EQ(const_cast<Mod*>(comp)->load(comp->path), 0);
    std::set<std::string> recorded;
    for (const Change& c : comp->changes)
        recorded.insert(c.file);
    EXPECT_EQ(recorded, own);
    // Against the bare game the same folder also records the big mod's changes.
    ASSERT_TRUE(bare_comp);
    EXPECT_GT(bare_comp->changes.size(), comp->changes.size());
}

TEST_F(ModTarget, applyBuildsTheBaseModWholeWithTheMergedFilesAndLeavesTheOtherFoldersAlone)
{
    write_file(custom_assets() / "XML/mine.xml", "the user's own");
    const auto big_before = contents(big_mod());
    const auto custom_before = contents(custom_assets());
    core->set_mod_target("Combined");

    core->apply();

    const Path built = mods_folder() / "Combined";
    const auto after = contents(built);
    EXPECT_EQ(contents(big_mod()), big_before);
    EXPECT_EQ(contents(custom_assets()), custom_before);
    EXPECT_EQ(read_file(built / "Combined.ini"), big_ini);
    EXPECT_FALSE(exists(built / "Big Mod.ini"));
    EXPECT_EQ(read_file(built / "Assets/CvGameCoreDLL.dll"), std::string(big_dll, 26));
    EXPECT_EQ(read_file(built / "PrivateMaps/Earth.CivBeyondSwordWBSave"), "a map");
    // The same apply into the custom-assets folder builds the same files from
    // the base mod: the mod folder is the base mod with those in place of its own.
    core->set_mod_target("");
    core->apply();
    std::map<std::string, std::string> expected;
    for (const auto& [file, bytes] : big_before)
        if (file != "Big Mod.ini")
            expected[file] = bytes;
    expected["Combined.ini"] = big_ini;
    unsigned replaced = 0;
    for (const std::string& f : list_tree(custom_assets())) {
        replaced += expected.count("Assets\\" + f) > 0;
        expected["Assets\\" + f] = read_file(custom_assets() / Path(f));
    }
    EXPECT_GT(replaced, 0u);
    EXPECT_EQ(after, expected);
}

TEST_F(ModTarget, switchingBackBuildsTheCustomAssetsFolderAgainAndLeavesTheModFolder)
{
    core->set_mod_target("Combined");
    core->apply();
    const auto built = contents(mods_folder() / "Combined");
    EXPECT_FALSE(exists(custom_assets()));

    core->set_mod_target("");
    core->apply();

    EXPECT_FALSE(list_tree(custom_assets()).empty());
    EXPECT_EQ(contents(mods_folder() / "Combined"), built);
    EXPECT_TRUE(core->get_last_backup().empty());
}

TEST_F(ModTarget, theGameStartsWithTheTargetOnlyWhileItIsOnAndItsCacheIsEmptiedAfterAChange)
{
    const std::string ini = "[CONFIG]\r\nMod = Mods\\AdvCiv\r\nShowIntro = 0\r\n";
    const Path ini_file = tmp / "My Games/CivilizationIV.ini";
    write_file(ini_file, ini);
    const Path cache = core->get_game_cache_folder();
    ASSERT_EQ(cache, tmp / "My Games/cache");
    core->set_game_ini_mod(true);
    core->set_empty_game_cache(true);
    core->set_mod_target("Combined");
    EXPECT_EQ(core->update_game_ini(), "") << "named before it is built";
    EXPECT_EQ(read_file(ini_file), ini);

    write_file(cache / "parsed.dat", "old");
    core->apply();
    EXPECT_EQ(read_file(ini_file), "[CONFIG]\r\nMod = Mods\\Combined\r\nShowIntro = 0\r\n");
    EXPECT_FALSE(exists(cache / "parsed.dat"));
    EXPECT_EQ(core->get_apply_notes().size(), 2u);

    // Nothing changed: the cache the game made since stays.
    write_file(cache / "parsed.dat", "new");
    core->apply();
    EXPECT_TRUE(exists(cache / "parsed.dat"));

    core->set_mod_target("");
    EXPECT_NE(core->update_game_ini().find("Mods\\AdvCiv"), std::string::npos);
    EXPECT_EQ(read_file(ini_file), ini);
    core->apply();
    EXPECT_EQ(read_file(ini_file), ini);
    EXPECT_FALSE(exists(cache / "parsed.dat")) << "the custom assets folder was built";
}

TEST_F(ModTarget, aMissingGameSettingsFileIsAWarningNotAFailedApply)
{
    core->set_game_ini_mod(true);
    core->set_mod_target("Combined");
    core->apply();
    EXPECT_TRUE(is_folder(mods_folder() / "Combined"));
    ASSERT_EQ(core->get_apply_notes().size(), 1u);
    EXPECT_TRUE(core->get_apply_notes()[0].failed);
    EXPECT_NE(core->get_apply_notes()[0].text.find("CivilizationIV.ini\" does not exist"), std::string::npos);
    EXPECT_FALSE(exists(tmp / "My Games/CivilizationIV.ini"));
}

TEST_F(ModTarget, anIncrementalReapplyEqualsAFullOne)
{
    core->set_mod_target("Combined");
    core->apply();
    const Mod* first = core->get_mods().front();
    core->set_mod_enabled(const_cast<Mod*>(first), false);
    core->apply();
    core->set_mod_enabled(const_cast<Mod*>(first), true);
    core->apply();
    EXPECT_TRUE(core->get_last_backup().empty()) << "the base mod's files counted as the user's";

    core->set_mod_target("Fresh");
    core->apply();

    auto incremental = contents(mods_folder() / "Combined");
    auto fresh = contents(mods_folder() / "Fresh");
    ASSERT_EQ(incremental.count("Combined.ini"), 1u);
    fresh["Combined.ini"] = fresh["Fresh.ini"];
    fresh.erase("Fresh.ini");
    EXPECT_EQ(incremental, fresh);
}

TEST_F(ModTarget, theUsersOwnFileInTheModFolderIsKeptInABackup)
{
    core->set_mod_target("Combined");
    core->apply();
    write_file(mods_folder() / "Combined/Assets/XML/mine.xml", "the user's own");

    core->apply();

    ASSERT_FALSE(core->get_last_backup().empty());
    EXPECT_EQ(read_file(core->get_last_backup() / Path("Assets/XML/mine.xml")), "the user's own");
    EXPECT_FALSE(exists(mods_folder() / "Combined/Assets/XML/mine.xml"));
    // The backup is no mod the game or the base mod list offers.
    for (const FoundMod& found : find_installed_mods(tmp / "Civ4"))
        EXPECT_TRUE(found.name == "Big Mod" || found.name == "Combined") << found.name;
}

TEST_F(ModTarget, withoutABaseModTheFolderHoldsWhatApplyBuildsAndAMinimalIni)
{
    core->set_base_mod(Path());
    core->set_mod_target("Combined");

    core->apply();

    const Path built = mods_folder() / "Combined";
    const std::string ini = read_file(built / "Combined.ini");
    EXPECT_NE(ini.find("[CONFIG]\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("NoCustomAssets = 1\r\n"), std::string::npos) << ini;
    EXPECT_FALSE(exists(built / "Assets/CvGameCoreDLL.dll"));
    EXPECT_FALSE(exists(built / "PrivateMaps"));
}

TEST_F(ModTarget, aRefusedTargetOrAMissingBaseModChangesNothing)
{
    const auto big_before = contents(big_mod());
    struct Case {
        const char* target;
        Path base;
        const char* message;
    } cases[] = {
        {"big mod", big_mod(), "the base mod's own folder"},
        {"../Elsewhere", big_mod(), "not a plain folder name"},
        {"Combined", tmp / "Civ4/Mods/Gone", "does not exist"},
    };
    for (const Case& c : cases) {
        core->set_mod_target(c.target);
        core->set_base_mod(c.base);
        try {
            core->apply();
            ADD_FAILURE() << c.target << ": applied";
        } catch (const GenericError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(contents(big_mod()), big_before) << c.target;
        EXPECT_EQ(list_files(mods_folder()), (std::list<std::string>{"Big Mod"})) << c.target;
    }
}

} // namespace
} // namespace velmora::test

#endif
