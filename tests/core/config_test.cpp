#include "core/config.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>

#include "base/errors.h"
#include "core/orrindel.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/tempdir.h"
#include "support/case_name.h"

namespace velmora {
namespace {

using test::CoreSandbox;
using test::mod_file_text;
using test::read_file;
using test::write_file;

class ConfigTest : public ::testing::Test {
protected:
    void write_conf_body(const std::string& body)
    {
        write_file(box.conf(), "<?xml version=\"1.0\"?>\n<VelmoraConfig>\n" + body + "</VelmoraConfig>\n");
    }

    CoreSandbox box;
};

TEST_F(ConfigTest, aFileNamingOnlyTheModsFolderChangesOnlyThatFolder)
{
    write_conf_body("  <ModsDir>" + (box / "elsewhere").str() + "</ModsDir>\n");
    Orrindel core(box.home());
    int emitted = 0;
    core.signal_prefs_changed().connect([&] { ++emitted; });
    core.startup();

    EXPECT_EQ(core.get_mods_dir(), box / "elsewhere");
    EXPECT_TRUE(core.get_civ4_dir().empty());
    EXPECT_TRUE(core.get_custom_assets_dir().empty());
    EXPECT_EQ(emitted, 2); // the element read, then the announcement at the end of the step
    EXPECT_FALSE(exists(box / "elsewhere")); // a configured mods folder is not created
}

TEST_F(ConfigTest, emptyUnknownAndRepeatedElementsAreReadAsTheFormatSays)
{
    write_conf_body("  <!-- written by hand -->\n"
                    "  <Civ4Dir/>\n"
                    "  <CustomAssetsDir>"
        + (box / "first").str()
        + "</CustomAssetsDir>\n"
          "  <CustomAssetsDir>"
        + (box / "second").str()
        + "</CustomAssetsDir>\n"
          "  <Colour>blue</Colour>\n"
          "  <EnabledMod></EnabledMod>\n"
          "  <EnabledMod>Alpha</EnabledMod>\n");
    write_file(box.mods() / "alpha.Pellarix", mod_file_text("Alpha"));
    Orrindel core(box.home());
    core.startup();

    EXPECT_TRUE(core.get_civ4_dir().empty());
    EXPECT_EQ(core.get_custom_assets_dir(), box / "second");
    EXPECT_EQ(core.get_enabled_mods().size(), 1u);
}

struct FolderText {
    const char* written;
    const char* normal;
};

class ConfigFolderTextTest : public ConfigTest, public ::testing::WithParamInterface<FolderText> { };

TEST_P(ConfigFolderTextTest, isReadAsAPathAndWrittenBackInNormalForm)
{
    write_conf_body(std::string("  <Civ4Dir>") + GetParam().written + "</Civ4Dir>\n");
    {
        Orrindel core(box.home());
        core.startup();
        EXPECT_EQ(core.get_civ4_dir().str(), GetParam().normal);
        core.save_config();
    }
    std::string conf = read_file(box.conf());
    EXPECT_NE(conf.find(std::string("<Civ4Dir>") + GetParam().normal + "</Civ4Dir>"), std::string::npos)
        << conf;
}

INSTANTIATE_TEST_SUITE_P(Folders, ConfigFolderTextTest,
    ::testing::Values(FolderText{"C:/Games/Civ4/Beyond the Sword", "C:\\Games\\Civ4\\Beyond the Sword"},
        FolderText{"C:/Games//Civ4/", "C:\\Games\\Civ4\\"},
        FolderText{"C:\\Games\\Civ4\\\\", "C:\\Games\\Civ4\\"}, FolderText{"/opt//civ4", "\\opt\\civ4"}),
    ::velmora::test::CaseNameBy<&FolderText::written>());

TEST_F(ConfigTest, anUnreadableFileIsKeptAsideAndTheDefaultsStay)
{
    const std::string broken
        = "<?xml version=\"1.0\"?>\n<VelmoraConfig>\n  <Civ4Dir>C:\\Games</Civ4Dir>\n  <ModsDir>";
    write_file(box.conf(), broken);
    {
        Orrindel core(box.home());
        core.startup();
        EXPECT_TRUE(core.get_civ4_dir().empty());
        EXPECT_EQ(core.get_mods_dir(), box.mods());
        ASSERT_EQ(core.get_warnings().size(), 1u);
        const std::string& warning = core.get_warnings().front();
        EXPECT_NE(warning.find(platform::native(box.conf())), std::string::npos) << warning;
        EXPECT_NE(warning.find("conf.bad"), std::string::npos) << warning;
        core.set_civ4_dir(box.game());
        core.save_config();
    }
    EXPECT_EQ(read_file(box / "home/.velmora/conf.bad"), broken);
    Orrindel again(box.home());
    again.startup();
    EXPECT_TRUE(again.get_warnings().empty());
    EXPECT_EQ(again.get_civ4_dir(), box.game());
}

TEST_F(ConfigTest, enabledModsAreWrittenInTheOrderOfTheModsList)
{
    for (const char* name : {"c", "a", "b"})
        write_file(box.mods() / (std::string(name) + ".Pellarix"), mod_file_text(std::string("Mod ") + name));
    Orrindel core(box.home());
    core.startup();
    for (auto it = core.get_mods().rbegin(); it != core.get_mods().rend(); ++it)
        core.set_mod_enabled(*it, true);
    core.save_config();
    std::string conf = read_file(box.conf());
    EXPECT_LT(conf.find("<EnabledMod>Mod a<"), conf.find("<EnabledMod>Mod b<"));
    EXPECT_LT(conf.find("<EnabledMod>Mod b<"), conf.find("<EnabledMod>Mod c<"));
}

// Settings of a folder where no two mods share a name are written as they
// always were: each enabled mod by its name.
TEST_F(ConfigTest, aFolderWithoutRepeatedNamesIsWrittenInTheFormItAlwaysHad)
{
    write_file(box.mods() / "a.Pellarix", mod_file_text("Alpha"));
    write_file(box.mods() / "b.Pellarix", mod_file_text("Beta"));
    write_file(box.mods() / "c.Pellarix", mod_file_text("Gamma"));
    const std::string before = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<VelmoraConfig>\n"
                               "  <Civ4Dir>C:\\Games\\Civ4</Civ4Dir>\n"
                               "  <ModsDir>"
        + box.mods().str()
        + "</ModsDir>\n"
          "  <CustomAssetsDir>C:\\Games\\CustomAssets</CustomAssetsDir>\n"
          "  <EnabledMod>Alpha</EnabledMod>\n"
          "  <EnabledMod>Gamma</EnabledMod>\n"
          "</VelmoraConfig>\n";
    write_file(box.conf(), before);
    {
        Orrindel core(box.home());
        core.startup();
        ASSERT_EQ(core.get_enabled_mods().size(), 2u);
        core.save_config();
    }
    EXPECT_EQ(read_file(box.conf()), before);
}

TEST_F(ConfigTest, aFailedSaveNamesTheFileAndLeavesNoTemporaryFile)
{
    Orrindel core(box.home());
    core.startup();
    // A folder in the file's place cannot be replaced by a rename.
    write_file(box / "home/.velmora/conf/keep", "x");
    try {
        core.save_config();
        FAIL() << "the save reported success";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find(platform::native(box.conf())), std::string::npos) << e.what();
    }
    EXPECT_EQ(test::list_tree(box.settings()), (std::vector<std::string>{"conf\\keep"}));
}

Mod* mod_named(const Orrindel& core, const std::string& name)
{
    for (Mod* mod : core.get_mods())
        if (mod->name == name)
            return mod;
    return nullptr;
}

// The windows stay open while velmora-cli enables a mod: each program's save
// keeps what the other changed since it read the file.
TEST_F(ConfigTest, twoProgramsSavingInTurnKeepEachOthersChanges)
{
    for (const char* name : {"A", "B", "C", "D"})
        write_file(box.mods() / (std::string(name) + ".Pellarix"), mod_file_text(name));
    box.write_conf(box.game(), Path(), {"A", "B"});
    Orrindel windows(box.home());
    windows.startup();
    {
        Orrindel cli(box.home());
        cli.startup();
        cli.set_mod_enabled(mod_named(cli, "C"), true);
        cli.set_mod_enabled(mod_named(cli, "A"), false);
        cli.set_civ4_dir(box / "other game");
        cli.save_config();
    }
    windows.set_mod_enabled(mod_named(windows, "D"), true);
    windows.set_mod_enabled(mod_named(windows, "B"), false);
    windows.set_custom_assets_dir(box.custom_assets());
    windows.save_config();

    Orrindel after(box.home());
    after.startup();
    std::set<std::string> enabled;
    for (const Mod* mod : after.get_enabled_mods())
        enabled.insert(mod->name);
    EXPECT_EQ(enabled, (std::set<std::string>{"C", "D"}));
    EXPECT_EQ(after.get_civ4_dir(), box / "other game") << "the other program's folder stays";
    EXPECT_EQ(after.get_custom_assets_dir(), box.custom_assets());

    // A second save of the windows does not undo the other program's changes.
    windows.set_mod_enabled(mod_named(windows, "B"), true);
    windows.save_config();
    Orrindel last(box.home());
    last.startup();
    EXPECT_EQ(last.get_enabled_mods().size(), 3u);
    EXPECT_EQ(last.get_civ4_dir(), box / "other game");
}

// The base mod and the mod target are kept like the folders: read back after
// a save, cleared when set empty, and each program's change kept by the other's save.
TEST_F(ConfigTest, baseModAndModTargetAreKeptAndMergedLikeTheFolders)
{
    box.write_conf(box.game(), box.custom_assets(), {});
    {
        Orrindel core(box.home());
        core.startup();
        core.set_base_mod(box / "game/Mods/Big Mod");
        core.set_mod_target("Combined");
        core.save_config();
    }
    Orrindel windows(box.home());
    windows.startup();
    EXPECT_EQ(windows.get_base_mod(), box / "game/Mods/Big Mod");
    EXPECT_EQ(windows.get_mod_target(), "Combined");
    {
        Orrindel cli(box.home());
        cli.startup();
        cli.set_mod_target("");
        cli.save_config();
    }
    windows.set_base_mod(box / "game/Mods/Other");
    windows.save_config();

    Orrindel after(box.home());
    after.startup();
    EXPECT_EQ(after.get_base_mod(), box / "game/Mods/Other");
    EXPECT_EQ(after.get_mod_target(), "") << "the other program's change stays";
    EXPECT_EQ(read_file(box.conf()).find("ModTarget"), std::string::npos);
}

// The preview before an apply is on until turned off; off is kept, written
// only then, and another program's save keeps it.
TEST_F(ConfigTest, thePreviewBeforeApplyIsOnByDefaultAndItsOffIsKept)
{
    box.write_conf(box.game(), box.custom_assets(), {});
    Orrindel windows(box.home());
    windows.startup();
    EXPECT_TRUE(windows.get_preview_before_apply());
    windows.set_preview_before_apply(false);
    windows.save_changed_config();
    EXPECT_NE(read_file(box.conf()).find("<PreviewBeforeApply>no</PreviewBeforeApply>"), std::string::npos);
    {
        Orrindel cli(box.home());
        cli.startup();
        EXPECT_FALSE(cli.get_preview_before_apply());
        cli.set_civ4_dir(box / "other game");
        cli.save_config();
    }
    Orrindel after(box.home());
    after.startup();
    EXPECT_FALSE(after.get_preview_before_apply());
    after.set_preview_before_apply(true);
    after.save_config();
    EXPECT_EQ(read_file(box.conf()).find("PreviewBeforeApply"), std::string::npos);
}

} // namespace
} // namespace velmora
