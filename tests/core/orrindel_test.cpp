#include "core/orrindel.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

#include "core/data_file.h"
#include "base/errors.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::CoreSandbox;
using test::mod_file_text;
using test::read_file;
using test::write_file;

struct SignalCounts {
    int prefs = 0;
    int mods = 0;
    int enabled = 0;

    explicit SignalCounts(Orrindel& core)
    {
        core.signal_prefs_changed().connect([this] { ++prefs; });
        core.signal_mods_changed().connect([this] { ++mods; });
        core.signal_enabled_mods_changed().connect([this] { ++enabled; });
    }
};

template <class Mods> std::vector<std::string> names_of(const Mods& mods)
{
    std::vector<std::string> names;
    for (const Mod* m : mods)
        names.push_back(m->name);
    return names;
}

Mod* find_mod(const Orrindel& core, const std::string& name)
{
    for (Mod* m : core.get_mods())
        if (m->name == name)
            return m;
    return nullptr;
}

class OrrindelTest : public ::testing::Test {
protected:
    void write_mod(const std::string& file, const std::string& name)
    {
        write_file(box.mods() / file, mod_file_text(name));
    }

    std::unique_ptr<Orrindel> start()
    {
        auto core = std::make_unique<Orrindel>(box.home());
        core->startup();
        return core;
    }

    std::string enabled_in_conf() const
    {
        std::string conf = read_file(box.conf()), names;
        for (auto pos = conf.find("<EnabledMod>"); pos != std::string::npos;
             pos = conf.find("<EnabledMod>", pos + 1)) {
            auto begin = pos + 12;
            names += conf.substr(begin, conf.find('<', begin) - begin) + ";";
        }
        return names;
    }

    CoreSandbox box;
};

TEST_F(OrrindelTest, firstStartCreatesItsFoldersAndWritesSettingsOnlyOnceOneChanged)
{
    std::unique_ptr<Orrindel> core = std::make_unique<Orrindel>(box.home());
    SignalCounts counts(*core);
    core->startup();

    EXPECT_TRUE(exists(box.settings()));
    EXPECT_TRUE(exists(box.mods()));
    EXPECT_EQ(core->get_settings_dir(), box.settings());
    EXPECT_EQ(core->get_mods_dir(), box.mods());
    EXPECT_TRUE(core->get_civ4_dir().empty());
    EXPECT_TRUE(core->get_mods().empty());
    EXPECT_TRUE(core->get_warnings().empty());
    EXPECT_EQ(counts.prefs, 1);
    EXPECT_EQ(counts.mods, 1);
    EXPECT_FALSE(exists(box.conf()));

    core.reset();
    EXPECT_FALSE(exists(box.conf())) << "a run that changed nothing writes nothing";

    core = start();
    core->set_custom_assets_dir(box.custom_assets());
    core->set_custom_assets_dir(Path());
    core.reset();
    EXPECT_FALSE(exists(box.conf())) << "a setting changed and changed back is no change";

    core = start();
    core->set_civ4_dir(box.game());
    core.reset();
    EXPECT_EQ(read_file(box.conf()),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<VelmoraConfig>\n"
        "  <Civ4Dir>"
            + box.game().str()
            + "</Civ4Dir>\n"
        "  <ModsDir>"
            + box.mods().str()
            + "</ModsDir>\n"
              "  <CustomAssetsDir></CustomAssetsDir>\n"
              "</VelmoraConfig>\n");
}

TEST_F(OrrindelTest, theHomeFolderComesFromTheEnvironmentByDefault)
{
    const char* saved = std::getenv("HOME");
    std::string previous = saved ? saved : "";
    ::setenv("HOME", platform::native(box.home()).c_str(), 1);
    Orrindel core;
    core.startup();
    ::setenv("HOME", previous.c_str(), 1);
    EXPECT_EQ(core.get_settings_dir(), box.settings());
}

TEST_F(OrrindelTest, withoutAHomeFolderTheSettingsLiveInTheCurrentFolder)
{
    {
        Orrindel core{Path()};
        core.startup();
        EXPECT_TRUE(core.get_settings_dir().empty());
        EXPECT_EQ(core.get_mods_dir(), Path("mods"));
        core.set_civ4_dir(box.game());
    }
    EXPECT_TRUE(exists(box.run() / Path("mods")));
    EXPECT_TRUE(exists(box.run() / Path("conf")));
}

TEST_F(OrrindelTest, startupWithoutTheElementTableFailsNamingItAndWritesNothing)
{
    std::vector<Path> elsewhere = data_folders();
    elsewhere.erase(elsewhere.begin());
    if (!find_data_file("elements.txt", elsewhere).empty())
        GTEST_SKIP() << "an installed elements.txt would be found";
    platform::unlink((box.run() / Path("elements.txt")).str());
    {
        Orrindel core(box.home());
        try {
            core.startup();
            ADD_FAILURE() << "startup went on without an element table";
        } catch (const GenericError& e) {
            EXPECT_NE(std::string(e.what()).find("\"elements.txt\""), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("the current folder"), std::string::npos) << e.what();
        }
    }
    EXPECT_FALSE(exists(box.conf()));
}

TEST_F(OrrindelTest, anElementTableThatCannotBeReadFailsNamingIt)
{
    platform::unlink((box.run() / Path("elements.txt")).str());
    write_file(box.run() / Path("elements.txt"), "UnitInfos UnitInfo frobnicate\n");
    Orrindel core(box.home());
    try {
        core.startup();
        FAIL() << "startup accepted a broken element table";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find("elements.txt"), std::string::npos) << e.what();
    }
}

// The mods folder may be on a drive that is not mounted: the user's choice of
// mods must survive until the files are back.
TEST_F(OrrindelTest, aConfiguredModWhoseFileIsGoneStaysEnabledAndIsShownMissing)
{
    write_mod("alpha.Pellarix", "Alpha");
    box.write_conf(Path(), Path(), {"Gone", "Alpha"});
    auto core = start();
    ASSERT_EQ(core->get_enabled_mods().size(), 1u);
    EXPECT_EQ((*core->get_enabled_mods().begin())->name, "Alpha");
    EXPECT_EQ(core->get_missing_mods(), std::set<std::string>{"Gone"});
    core->set_mod_enabled(find_mod(*core, "Alpha"), false);
    core.reset();
    EXPECT_EQ(enabled_in_conf(), "Gone;");

    write_mod("gone.Pellarix", "Gone");
    core = start();
    EXPECT_TRUE(core->get_missing_mods().empty());
    ASSERT_EQ(core->get_enabled_mods().size(), 1u) << "the mod is enabled again once its file is back";
    EXPECT_EQ((*core->get_enabled_mods().begin())->name, "Gone");
}

TEST_F(OrrindelTest, aMissingModIsKeptAcrossARescanUntilDisabledByName)
{
    box.write_conf(Path(), Path(), {"Gone"});
    auto core = start();
    core->load_mods();
    EXPECT_EQ(core->get_missing_mods(), std::set<std::string>{"Gone"});
    SignalCounts counts(*core);
    core->disable_missing_mod("Gone");
    EXPECT_TRUE(core->get_missing_mods().empty());
    EXPECT_EQ(counts.enabled, 1);
    core.reset();
    EXPECT_EQ(enabled_in_conf(), "");
}

// Two versions of one mod carry its name; the configuration tells them apart
// by file where the name repeats, and by name where it does not.
TEST_F(OrrindelTest, aConfiguredNameTwoFilesShareEnablesNeitherAndSaysSo)
{
    write_mod("a.Pellarix", "Twin");
    write_mod("b.Pellarix", "Twin");
    box.write_conf(Path(), Path(), {"Twin"});
    auto core = start();

    EXPECT_EQ(core->get_mods().size(), 2u);
    EXPECT_TRUE(core->get_enabled_mods().empty());
    EXPECT_EQ(core->get_ambiguous_mods(), std::set<std::string>{"Twin"});
    ASSERT_EQ(core->get_warnings().size(), 1u);
    EXPECT_NE(core->get_warnings()[0].find("'Twin' is in several files of the mods folder (a.Pellarix, "
                                           "b.Pellarix); none of them is enabled: enable one by its file name."),
        std::string::npos)
        << core->get_warnings()[0];
    // Nothing chosen yet: the user's entry stays for the next start.
    core->save_config();
    EXPECT_EQ(enabled_in_conf(), "Twin;");
}

TEST_F(OrrindelTest, oneVersionEnabledByItsFileStaysTheOnlyOneAfterARestart)
{
    write_mod("a.Pellarix", "Twin");
    write_mod("b.Pellarix", "Twin");
    write_mod("c.Pellarix", "Single");
    box.write_conf(Path(), Path(), {"Twin", "Single"});
    auto core = start();
    const std::list<Mod*> mods(core->get_mods().begin(), core->get_mods().end());
    Mod* b = *std::next(mods.begin());
    SignalCounts counts(*core);

    core->set_mod_enabled(b, true);

    EXPECT_TRUE(core->get_ambiguous_mods().empty());
    EXPECT_EQ(counts.enabled, 1);
    EXPECT_EQ(core->key_of(b), "b.Pellarix");
    EXPECT_EQ(core->key_of(mods.back()), "Single");
    core.reset();
    EXPECT_EQ(enabled_in_conf(), "b.Pellarix;Single;");

    core = start();
    std::vector<std::string> files;
    for (const Mod* m : core->get_enabled_mods_in_order())
        files.push_back(m->path[-1]);
    EXPECT_EQ(files, (std::vector<std::string>{"b.Pellarix", "c.Pellarix"}));
    EXPECT_TRUE(core->get_warnings().empty());
}

TEST_F(OrrindelTest, aSecondVersionAppearingKeepsTheEnabledFileAcrossARescan)
{
    write_mod("a.Pellarix", "Twin");
    box.write_conf(Path(), Path(), {"Twin"});
    auto core = start();
    ASSERT_EQ(core->get_enabled_mods().size(), 1u);
    write_mod("b.Pellarix", "Twin");

    core->load_mods();

    ASSERT_EQ(core->get_enabled_mods().size(), 1u);
    EXPECT_EQ((*core->get_enabled_mods().begin())->path[-1], "a.Pellarix");
    EXPECT_TRUE(core->get_ambiguous_mods().empty());
    core.reset();
    EXPECT_EQ(enabled_in_conf(), "a.Pellarix;");
    // Once the other version is gone, the file name still names the mod.
    platform::unlink((box.mods() / "b.Pellarix").str());
    core = start();
    EXPECT_EQ(core->get_enabled_mods().size(), 1u);
    EXPECT_TRUE(core->get_missing_mods().empty());
}

TEST_F(OrrindelTest, otherVersionsEnabledAreTheEnabledModsOfTheSameName)
{
    write_mod("a.Pellarix", "Twin");
    write_mod("b.Pellarix", "Twin");
    write_mod("c.Pellarix", "Other");
    box.write_conf(Path(), Path(), {"a.Pellarix", "Other"});
    auto core = start();
    const std::vector<Mod*> mods(core->get_mods().begin(), core->get_mods().end());

    EXPECT_EQ(core->other_versions_enabled(mods[1]), std::vector<Mod*>{mods[0]});
    EXPECT_TRUE(core->other_versions_enabled(mods[0]).empty());
    EXPECT_TRUE(core->other_versions_enabled(mods[2]).empty());
    EXPECT_EQ(core->label_of(mods[1]), "'Twin' (b.Pellarix)");
    EXPECT_EQ(core->label_of(mods[2]), "'Other'");
}

TEST_F(OrrindelTest, theScanTakesExactModNamesAndSkipsOnlyMalformedFiles)
{
    write_mod("a.Pellarix", "A");
    write_mod("b.pellarix", "B");
    write_mod("x.PELLARIX", "X");
    mkpath(box.mods() / "c.Pellarix", 0755); // exists but cannot be read as a file
    write_file(box.mods() / "d.Pellarix", "<?xml version=\"1.0\"?>\n<Pellarix>\n  <Name>D</Name\n  <Author>");
    write_mod("e.Pellarix", "E");
    write_file(box.mods() / "readme.txt", "not a mod");

    auto core = start();
    ASSERT_EQ(names_of(core->get_mods()), (std::vector<std::string>{"A", "", "E"}));
    const Mod* c = *std::next(core->get_mods().begin());
    EXPECT_EQ(c->path, box.mods() / "c.Pellarix");
    EXPECT_TRUE(c->version.empty());
    EXPECT_TRUE(c->description.empty());
    EXPECT_EQ(core->get_mods().back()->path, box.mods() / "e.Pellarix");
}

TEST_F(OrrindelTest, aRescanKeepsEachModEnabledOrDisabledByName)
{
    write_mod("a.Pellarix", "A");
    write_mod("b.Pellarix", "B");
    write_mod("c.Pellarix", "C");
    box.write_conf(Path(), Path(), {"A"});
    auto core = start();
    core->set_mod_enabled(find_mod(*core, "A"), false);
    core->set_mod_enabled(find_mod(*core, "B"), true);
    write_mod("d.Pellarix", "D");
    platform::unlink((box.mods() / "c.Pellarix").str());
    SignalCounts counts(*core);

    core->load_mods();

    EXPECT_EQ(names_of(core->get_mods()), (std::vector<std::string>{"A", "B", "D"}));
    EXPECT_EQ(names_of(core->get_enabled_mods_in_order()), (std::vector<std::string>{"B"}));
    EXPECT_EQ(counts.mods, 1);
    EXPECT_EQ(counts.enabled, 0);
}

TEST_F(OrrindelTest, addModReplacesTheListedModWithTheSameFile)
{
    write_mod("a.Pellarix", "A");
    write_mod("b.Pellarix", "B");
    box.write_conf(Path(), Path(), {"A", "B"});
    auto core = start();
    SignalCounts counts(*core);

    auto replacement = std::make_unique<Mod>();
    replacement->name = "A2";
    replacement->path = box.mods() / "A.PELLARIX"; // the same file, as names compare
    Mod* added = replacement.get();
    core->add_mod(std::move(replacement));

    // A mod made again over its own file keeps its place in the list and stays enabled.
    EXPECT_EQ(names_of(core->get_mods()), (std::vector<std::string>{"A2", "B"}));
    EXPECT_EQ(names_of(core->get_enabled_mods_in_order()), (std::vector<std::string>{"A2", "B"}));
    EXPECT_EQ(core->get_enabled_mods().count(added), 1u);
    EXPECT_EQ(counts.mods, 1);
    core->save_config();
    EXPECT_EQ(enabled_in_conf(), "A2;B;") << "the configuration follows its new name";

    core->add_mod(nullptr); // no mod: nothing happens
    EXPECT_EQ(core->get_mods().size(), 2u);
    EXPECT_EQ(counts.mods, 1);
}

TEST_F(OrrindelTest, removeModForgetsAListedModOnly)
{
    write_mod("a.Pellarix", "A");
    box.write_conf(Path(), Path(), {"A"});
    auto core = start();
    SignalCounts counts(*core);
    Mod stranger;

    core->remove_mod(&stranger);
    EXPECT_EQ(counts.mods, 0);

    core->remove_mod(find_mod(*core, "A"));
    EXPECT_TRUE(core->get_mods().empty());
    EXPECT_TRUE(core->get_enabled_mods().empty());
    EXPECT_EQ(counts.mods, 1);
    EXPECT_TRUE(exists(box.mods() / "a.Pellarix"));
}

TEST_F(OrrindelTest, saveModWritesTheEditedHeaderKeepsTheChangesAndTellsOnlyWhenItSucceeds)
{
    write_file(box.mods() / "a.Pellarix",
        mod_file_text("A", {{"Art\\Readme.txt", "whole", "read me"}, {"Art\\Other.txt", "whole", "other"}}));
    write_mod("b.Pellarix", "B");
    auto core = start();
    SignalCounts counts(*core);
    Mod& mod = *find_mod(*core, "A");
    ASSERT_FALSE(mod.loaded) << "listed mods hold their header only";

    mod.name = "A edited";
    mod.version = "2";
    core->save_mod(mod);
    EXPECT_EQ(counts.mods, 1);
    Mod saved;
    ASSERT_EQ(saved.load(box.mods() / "a.Pellarix"), 0);
    EXPECT_EQ(saved.name, "A edited");
    EXPECT_EQ(saved.version, "2");
    EXPECT_EQ(saved.author, "Velmora Tests");
    EXPECT_EQ(saved.changes.size(), 2u) << "the file keeps its changes";

    // A file that cannot be written, or is gone: the edit stays in memory, nobody is told.
    const Path file = mod.path;
    mod.path = box.mods() / "no folder/a.Pellarix";
    mod.name = "A again";
    EXPECT_THROW(core->save_mod(mod), GenericError);
    EXPECT_EQ(mod.name, "A again");
    mod.path = file;
    Mod& gone = *find_mod(*core, "B");
    platform::unlink(gone.path.str());
    try {
        core->save_mod(gone);
        ADD_FAILURE() << "a mod whose file is gone was saved";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find("no longer exists"), std::string::npos) << e.what();
    }
    EXPECT_EQ(counts.mods, 1);
}

TEST_F(OrrindelTest, enablingOrDisablingEmitsOnlyWhenTheSetChanges)
{
    write_mod("a.Pellarix", "A");
    auto core = start();
    SignalCounts counts(*core);
    Mod* a = find_mod(*core, "A");
    Mod stranger;

    core->set_mod_enabled(a, true);
    core->set_mod_enabled(a, true);
    EXPECT_EQ(counts.enabled, 1);
    core->set_mod_enabled(a, false);
    core->set_mod_enabled(a, false);
    EXPECT_EQ(counts.enabled, 2);
    core->set_mod_enabled(&stranger, true); // not listed: never enters the set
    EXPECT_TRUE(core->get_enabled_mods().empty());
    EXPECT_EQ(counts.enabled, 2);
}

TEST_F(OrrindelTest, folderSettersEmitEvenWhenTheValueIsTheSame)
{
    auto core = start();
    SignalCounts counts(*core);
    core->set_civ4_dir(box.game());
    core->set_civ4_dir(box.game());
    core->set_mods_dir(core->get_mods_dir());
    core->set_custom_assets_dir(box.custom_assets());
    EXPECT_EQ(counts.prefs, 4);
    EXPECT_EQ(core->get_civ4_dir(), box.game());
    EXPECT_EQ(counts.mods, 0); // a new mods folder is read at the next rescan only
}

TEST_F(OrrindelTest, anExplicitSaveIsNotRepeatedAtExitUnlessSomethingChanged)
{
    write_mod("a.Pellarix", "A");
    auto core = start();
    core->set_civ4_dir(box.game());
    core->save_config();
    EXPECT_NE(read_file(box.conf()).find(box.game().str()), std::string::npos);

    platform::unlink(box.conf().str());
    auto unchanged = std::move(core);
    unchanged.reset();
    EXPECT_FALSE(exists(box.conf()));

    core = start();
    core->save_config();
    core->set_mod_enabled(find_mod(*core, "A"), true);
    core.reset();
    EXPECT_EQ(enabled_in_conf(), "A;");
}

} // namespace
} // namespace velmora
