#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <unistd.h>

#include "base/errors.h"
#include "base/hash.h"
#include "core/custom_assets.h"
#include "core/manifest.h"
#include "core/orrindel.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/tempdir.h"
#include "support/case_name.h"

namespace velmora {
namespace {

using test::CoreSandbox;
using test::list_tree;
using test::read_file;
using test::write_file;

// One priority question and the answer the user gives (0: the dialog was closed).
struct Question {
    std::string first;
    std::string second;
    unsigned answer;
};

// The core with its per-mod steps replaced: mods conflict as the test says,
// and applying a mod writes '<name>.txt' into the folder being built.
class ApplyTest : public ::testing::Test {
protected:
    ApplyTest()
    {
        core.startup();
        core.set_civ4_dir(box.game());
        core.set_custom_assets_dir(box.custom_assets());
        core.set_apply_steps(
            [this](const Mod& a, const Mod& b) {
                if (conflicting(a.name, b.name))
                    throw ConflictError("Conflict in XML\\Units\\CIV4UnitInfos.xml: UnitInfo UNIT_" + a.name);
            },
            [this](const Mod& mod, const GameFiles& game, const Path& target) {
                ASSERT_FALSE(game.folders().empty());
                EXPECT_EQ(game.folders().front(), box.game() / Path("Assets"));
                write_file(target / Path(mod.name + ".txt"), mod.name);
                if (mod.name == failing)
                    throw ConflictError("Unable to apply diff to Python\\CvVelmoraEvents.py");
                applied.push_back(mod.name);
            });
        core.signal_apply_progress().connect(
            [this](const std::string& message, float fraction) { progress.emplace_back(message, fraction); });
        core.signal_mod_priority().connect([this](PriorityQuestion& question) {
            const Mod* a = question.first;
            const Mod* b = question.second;
            asked.push_back(a->name + " " + b->name + ": " + question.message);
            for (const Question& q : questions)
                if (q.first == a->name && q.second == b->name)
                    return q.answer;
            return 0u;
        });
    }

    bool conflicting(const std::string& a, const std::string& b) const
    {
        for (const Question& q : questions)
            if ((q.first == a && q.second == b) || (q.first == b && q.second == a))
                return true;
        return false;
    }

    // A listed, enabled mod whose changes count as loaded.
    Mod* add(const std::string& name, bool enabled = true)
    {
        auto mod = std::make_unique<Mod>();
        mod->name = name;
        mod->path = box.mods() / (name + ".Pellarix");
        mod->loaded = true;
        Mod* m = mod.get();
        core.add_mod(std::move(mod));
        core.set_mod_enabled(m, enabled);
        return m;
    }

    void add_all(const std::vector<std::string>& names)
    {
        for (const std::string& n : names)
            add(n);
    }

    // What an earlier apply left: the folder that must survive a failed one,
    // with the list of what that apply wrote.
    void write_old_custom_assets() const
    {
        write_file(box.custom_assets() / Path("XML\\Units\\CIV4UnitInfos.xml"), "old units");
        write_file(box.custom_assets() / Path("old.txt"), "old");
        Manifest::of_folder(box.custom_assets()).write(box.custom_assets());
    }

    void expect_old_custom_assets_untouched() const
    {
        EXPECT_EQ(list_tree(box.custom_assets()),
            (std::vector<std::string>{"XML\\Units\\CIV4UnitInfos.xml", "old.txt"}));
        EXPECT_EQ(read_file(box.custom_assets() / Path("XML\\Units\\CIV4UnitInfos.xml")), "old units");
        expect_no_leftovers();
    }

    // Nothing but the custom-assets folder itself (and its backups) beside it.
    void expect_no_leftovers() const
    {
        std::list<std::string> beside = list_files(box / "My Games");
        beside.remove("CustomAssets");
        for (const std::string& name : box.backups())
            beside.remove(name);
        // Earlier builds kept as restore points are no leftovers.
        beside.remove_if([](const std::string& name) { return name.rfind(".CustomAssets.velmora-restore-", 0) == 0; });
        EXPECT_TRUE(beside.empty()) << beside.front();
    }

    std::string error_of_apply()
    {
        try {
            core.apply();
        } catch (const GenericError& e) {
            return e.what();
        }
        return "(no error)";
    }

    CoreSandbox box;
    Orrindel core{box.home()};
    std::vector<Question> questions;
    std::string failing;
    std::vector<std::string> applied;
    std::vector<std::string> asked;
    std::vector<std::pair<std::string, float>> progress;
};

struct ProgressCase {
    std::vector<std::string> mods;
    std::vector<std::pair<std::string, float>> expected;
};

class ApplyProgressTest : public ApplyTest, public ::testing::WithParamInterface<ProgressCase> { };

TEST_P(ApplyProgressTest, reportsLoadingThenEachModAtFixedFractions)
{
    add_all(GetParam().mods);
    core.apply();
    ASSERT_EQ(progress.size(), GetParam().expected.size());
    for (size_t i = 0; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i].first, GetParam().expected[i].first) << i;
        EXPECT_FLOAT_EQ(progress[i].second, GetParam().expected[i].second) << i;
    }
    EXPECT_EQ(applied, GetParam().mods);
}

INSTANTIATE_TEST_SUITE_P(ModCounts, ApplyProgressTest,
    ::testing::Values(ProgressCase{{"Alone"}, {{"Loading", 0.0f}, {"Alone", 0.1f}}},
        ProgressCase{{"A", "B", "C", "D"},
            {{"Loading", 0.0f}, {"Loading", 0.025f}, {"Loading", 0.05f}, {"Loading", 0.075f}, {"A", 0.1f},
                {"B", 0.325f}, {"C", 0.55f}, {"D", 0.775f}}}),
    ::velmora::test::CaseNameBy<&ProgressCase::mods>());

TEST_F(ApplyTest, withNoEnabledModTheFolderIsRemovedAndNothingIsAsked)
{
    add("Disabled", false);
    questions = {{"Disabled", "Disabled", 1}};
    write_old_custom_assets();
    core.apply();
    EXPECT_FALSE(exists(box.custom_assets()));
    EXPECT_TRUE(progress.empty());
    EXPECT_TRUE(asked.empty());
    // The build removed is kept whole as a restore point, and nothing else is left.
    const std::list<std::string> beside = list_files(box / "My Games");
    ASSERT_EQ(beside.size(), 1u);
    EXPECT_EQ(beside.front().rfind(".CustomAssets.velmora-restore-", 0), 0u) << beside.front();
}

TEST_F(ApplyTest, aSuccessfulApplyReplacesAFolderOfOnlyItsOwnFilesWithoutABackup)
{
    add_all({"X", "Y"});
    write_old_custom_assets();
    core.apply();
    EXPECT_EQ(list_tree(box.custom_assets()), (std::vector<std::string>{"X.txt", "Y.txt"}));
    EXPECT_TRUE(core.get_last_backup().empty());
    EXPECT_TRUE(box.backups().empty());
    expect_no_leftovers();
}

TEST_F(ApplyTest, theManifestListsEachFileItWroteWithSizeAndHash)
{
    add_all({"X", "Longer"});
    core.apply();
    Manifest written;
    ASSERT_TRUE(Manifest::read(box.custom_assets(), written));
    ASSERT_EQ(written.entries.size(), 2u);
    EXPECT_EQ(written.entries[0].file, "Longer.txt");
    EXPECT_EQ(written.entries[0].size, 6u);
    EXPECT_EQ(written.entries[0].hash, hash_bytes("Longer"));
    EXPECT_EQ(written.entries[1].file, "X.txt");
    EXPECT_TRUE(find_foreign_files(box.custom_assets()).files.empty());
}

// What the user put into the folder, or changed there, is theirs.
struct KeptCase {
    const char* title;
    std::function<void(const CoreSandbox&)> touch;
    unsigned foreign;
    unsigned changed;
};

class ApplyKeepsTest : public ApplyTest, public ::testing::WithParamInterface<KeptCase> {
protected:
    // The old folder with the user's touch, as it was before the apply.
    std::map<std::string, std::string> old_folder() const
    {
        std::map<std::string, std::string> files;
        for (const std::string& f : list_tree(box.custom_assets()))
            files[f] = read_file(box.custom_assets() / Path(f));
        return files;
    }

    void expect_backup_of(const std::map<std::string, std::string>& before) const
    {
        ASSERT_EQ(box.backups().size(), 1u);
        const Path backup = box / "My Games" / box.backups()[0];
        EXPECT_EQ(core.get_last_backup(), backup);
        for (const auto& [file, bytes] : before)
            EXPECT_EQ(read_file(backup / Path(file)), bytes) << file;
        EXPECT_EQ(list_tree(backup).size(), before.size());
        expect_no_leftovers();
    }
};

TEST_P(ApplyKeepsTest, filesVelmoraDidNotWriteSurviveInTheNamedBackup)
{
    add("X");
    write_old_custom_assets();
    GetParam().touch(box);
    const ForeignFiles found = core.find_foreign_files();
    EXPECT_EQ(found.foreign, GetParam().foreign);
    EXPECT_EQ(found.changed, GetParam().changed);
    const auto before = old_folder();
    core.apply();
    EXPECT_EQ(list_tree(box.custom_assets()), (std::vector<std::string>{"X.txt"}));
    expect_backup_of(before);
}

TEST_P(ApplyKeepsTest, filesVelmoraDidNotWriteSurviveAlsoWhenNoModIsEnabled)
{
    write_old_custom_assets();
    GetParam().touch(box);
    const auto before = old_folder();
    core.apply();
    EXPECT_FALSE(exists(box.custom_assets()));
    expect_backup_of(before);
}

TEST_P(ApplyKeepsTest, withoutBackupsTheFolderIsReplacedAsAWhole)
{
    add("X");
    write_old_custom_assets();
    GetParam().touch(box);
    core.set_keep_foreign_files(false);
    EXPECT_FALSE(core.find_foreign_files().any());
    core.apply();
    EXPECT_EQ(list_tree(box.custom_assets()), (std::vector<std::string>{"X.txt"}));
    EXPECT_TRUE(core.get_last_backup().empty());
    EXPECT_TRUE(box.backups().empty());
}

INSTANTIATE_TEST_SUITE_P(Touches, ApplyKeepsTest,
    ::testing::Values(KeptCase{"a_file_of_the_user",
                          [](const CoreSandbox& b) {
                              write_file(b.custom_assets() / Path("res\\Fonts\\myfont.txt"), "my font");
                          },
                          1, 0},
        KeptCase{"a_file_changed_since",
            [](const CoreSandbox& b) { write_file(b.custom_assets() / Path("old.txt"), "mine"); }, 0, 1},
        KeptCase{"a_file_changed_to_the_same_size",
            [](const CoreSandbox& b) { write_file(b.custom_assets() / Path("old.txt"), "OLD"); }, 0, 1},
        KeptCase{"a_folder_without_a_manifest",
            [](const CoreSandbox& b) {
                platform::unlink((b.custom_assets() / Path(Manifest::file_name)).str());
            },
            2, 0},
        KeptCase{"a_damaged_manifest",
            [](const CoreSandbox& b) { write_file(b.custom_assets() / Path(Manifest::file_name), "junk"); },
            2, 0}),
    [](const auto& info) { return std::string(info.param.title); });

TEST_F(ApplyTest, aBackupIsNeverReplacedByALaterOne)
{
    add("X");
    for (const char* mine : {"first", "second"}) {
        write_old_custom_assets();
        write_file(box.custom_assets() / Path("mine.txt"), mine);
        core.apply();
    }
    ASSERT_EQ(box.backups().size(), 2u);
    std::set<std::string> kept;
    for (const std::string& b : box.backups())
        kept.insert(read_file(box / "My Games" / b / "mine.txt"));
    EXPECT_EQ(kept, (std::set<std::string>{"first", "second"}));
}

TEST_F(ApplyTest, anApplyWhileAnotherHoldsTheFolderStopsAndChangesNothing)
{
    add("X");
    write_old_custom_assets();
    core.set_apply_lock_wait(100);
    {
        CustomAssetsLock other(real_location(box.custom_assets()));
        std::string error = error_of_apply();
        EXPECT_NE(error.find("Another Velmora is applying mods to"), std::string::npos) << error;
        EXPECT_NE(error.find(platform::native(real_location(box.custom_assets()))), std::string::npos) << error;
        expect_old_custom_assets_untouched();
    }
    core.apply();
    EXPECT_EQ(list_tree(box.custom_assets()), (std::vector<std::string>{"X.txt"}));
}

TEST_F(ApplyTest, enabledModsWhoseFilesAreMissingStopTheApplyNamingThem)
{
    box.write_conf(box.game(), box.custom_assets(), {"Gone", "Lost"});
    Orrindel restarted(box.home());
    restarted.startup();
    restarted.set_apply_steps(nullptr, nullptr);
    write_old_custom_assets();
    std::string error;
    try {
        restarted.apply();
    } catch (const GenericError& e) {
        error = e.what();
    }
    EXPECT_NE(error.find("The enabled mods 'Gone', 'Lost' are missing from the mods folder"), std::string::npos)
        << error;
    EXPECT_NE(error.find(platform::native(box.mods())), std::string::npos) << error;
    expect_old_custom_assets_untouched();
}

TEST_F(ApplyTest, anUnansweredConflictNamesBothModsInQuestionOrderAndTouchesNothing)
{
    add_all({"X", "Y"});
    questions = {{"X", "Y", 0}};
    write_old_custom_assets();
    EXPECT_EQ(error_of_apply(),
        "Unresolved conflict between mods 'X' and 'Y': Conflict in XML\\Units\\CIV4UnitInfos.xml: UnitInfo "
        "UNIT_X");
    EXPECT_EQ(
        asked, (std::vector<std::string>{"X Y: Conflict in XML\\Units\\CIV4UnitInfos.xml: UnitInfo UNIT_X"}));
    EXPECT_TRUE(applied.empty());
    expect_old_custom_assets_untouched();
}

TEST_F(ApplyTest, aFailingModLeavesTheOldFolderExactlyAsItWas)
{
    add_all({"X", "Broken", "Z"});
    failing = "Broken";
    write_old_custom_assets();
    EXPECT_EQ(error_of_apply(), "Unable to apply diff to Python\\CvVelmoraEvents.py");
    EXPECT_EQ(applied, (std::vector<std::string>{"X"}));
    expect_old_custom_assets_untouched();
}

TEST_F(ApplyTest, foldersLeftByAnInterruptedApplyAreCleanedUp)
{
    add("X");
    write_old_custom_assets();
    write_file(box / "My Games/.CustomAssets.velmora-new/XML/half.xml", "half");
    write_file(box / "My Games/.CustomAssets.velmora-old/old.txt", "old");
    core.apply();
    EXPECT_EQ(list_tree(box.custom_assets()), (std::vector<std::string>{"X.txt"}));
    expect_no_leftovers();
}

TEST_F(ApplyTest, aMissingCustomAssetsFolderIsCreatedWhereItIsNamed)
{
    add("X");
    core.set_custom_assets_dir(box / "My Games/New Folder/CustomAssets/");
    core.apply();
    EXPECT_EQ(list_tree(box / "My Games"), (std::vector<std::string>{"New Folder\\CustomAssets\\X.txt"}));
}

TEST_F(ApplyTest, aLinkedCustomAssetsFolderIsRebuiltWhereTheLinkPoints)
{
    add("X");
    write_file(box / "elsewhere/CustomAssets/old.txt", "old");
    Manifest::of_folder(box / "elsewhere/CustomAssets").write(box / "elsewhere/CustomAssets");
    mkpath(box / "My Games", 0755);
    ASSERT_EQ(::symlink(platform::native(box / "elsewhere/CustomAssets").c_str(),
                  platform::native(box.custom_assets()).c_str()),
        0);
    core.apply();
    EXPECT_EQ(platform::kind_of(box.custom_assets().str()), platform::Kind::Link);
    // The build replaced is kept beside the folder the link points to.
    const std::vector<std::string> tree = list_tree(box / "elsewhere");
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].rfind(".CustomAssets.velmora-restore-", 0), 0u) << tree[0];
    EXPECT_EQ(tree[1], "CustomAssets\\X.txt");
}

TEST_F(ApplyTest, anEnabledModWhoseFileIsGoneFailsNamingIt)
{
    Mod* gone = add("Gone");
    gone->loaded = false;
    write_old_custom_assets();
    std::string error = error_of_apply();
    EXPECT_NE(error.find("'Gone'"), std::string::npos) << error;
    EXPECT_NE(error.find(platform::native(gone->path)), std::string::npos) << error;
    expect_old_custom_assets_untouched();
}

TEST_F(ApplyTest, anUnsetGameFolderIsRefusedWhenThereIsAModToApply)
{
    add("X");
    core.set_civ4_dir(Path());
    write_old_custom_assets();
    EXPECT_NE(error_of_apply().find("game folder is not set"), std::string::npos);
    expect_old_custom_assets_untouched();
}

TEST_F(ApplyTest, theUsersOwnHomeFolderIsRefusedAlsoWhenTheCoreWasGivenAnother)
{
    const char* saved = std::getenv("HOME");
    const std::string previous = saved ? saved : "";
    mkpath(box / "user", 0755);
    ::setenv("HOME", platform::native(box / "user").c_str(), 1);
    core.set_custom_assets_dir(box / "user");
    add("X");
    std::string error = error_of_apply();
    ::setenv("HOME", previous.c_str(), 1);
    EXPECT_NE(error.find("or contains the home folder"), std::string::npos) << error;
    EXPECT_TRUE(applied.empty());
}

struct OrderCase {
    const char* title;
    std::vector<std::string> mods;
    std::vector<Question> questions; // the conflicting pairs, in the order they are asked
    std::vector<std::string> order;
};

class ApplyOrderTest : public ApplyTest, public ::testing::WithParamInterface<OrderCase> { };

TEST_P(ApplyOrderTest, appliesEveryWinnerAfterTheModsItWonAgainst)
{
    add_all(GetParam().mods);
    questions = GetParam().questions;
    core.apply();
    EXPECT_EQ(applied, GetParam().order);
    ASSERT_EQ(asked.size(), questions.size());
    for (size_t i = 0; i < asked.size(); ++i)
        EXPECT_EQ(asked[i].substr(0, asked[i].find(':')), questions[i].first + " " + questions[i].second);
}

INSTANTIATE_TEST_SUITE_P(Answers, ApplyOrderTest,
    ::testing::Values(OrderCase{"no conflict keeps the list order", {"X", "Y", "Z"}, {}, {"X", "Y", "Z"}},
        OrderCase{"the first wins", {"X", "Y"}, {{"X", "Y", 1}}, {"Y", "X"}},
        OrderCase{"the second wins", {"X", "Y"}, {{"X", "Y", 2}}, {"X", "Y"}},
        OrderCase{
            "a winner over two goes last", {"X", "Y", "Z"}, {{"X", "Y", 1}, {"X", "Z", 1}}, {"Y", "Z", "X"}},
        OrderCase{
            "a chain of answers holds", {"X", "Y", "Z"}, {{"X", "Z", 1}, {"Y", "Z", 2}}, {"Y", "Z", "X"}},
        OrderCase{"only the winner moves", {"W", "X", "Y", "Z"}, {{"W", "Z", 1}}, {"X", "Y", "Z", "W"}}),
    [](const auto& info) {
        std::string name = info.param.title;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST_F(ApplyTest, answersThatFormACycleAreShownAsTheUsersOwnAnswers)
{
    add_all({"X", "Y", "Z"});
    questions = {{"X", "Y", 1}, {"X", "Z", 2}, {"Y", "Z", 1}};
    write_old_custom_assets();
    std::string error = error_of_apply();
    EXPECT_NE(error.find("'X' over 'Y', 'Y' over 'Z', 'Z' over 'X'"), std::string::npos) << error;
    EXPECT_TRUE(applied.empty());
    expect_old_custom_assets_untouched();
}

struct RefusedCase {
    const char* title;
    std::function<Path(const CoreSandbox&)> folder;
    const char* message;
};

class RefusedFolderTest : public ApplyTest, public ::testing::WithParamInterface<RefusedCase> { };

TEST_P(RefusedFolderTest, isRefusedBeforeAnythingIsTouched)
{
    add("X");
    write_file(box.mods() / "x.Pellarix", "mod");
    write_file(box.settings() / "report.txt", "report");
    core.set_custom_assets_dir(GetParam().folder(box));
    std::string error = error_of_apply();
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
    EXPECT_TRUE(progress.empty());
    EXPECT_TRUE(applied.empty());
    EXPECT_EQ(read_file(box.game() / "Assets" / Path(test::unit_infos_file)), test::game_unit_infos());
    EXPECT_EQ(read_file(box.mods() / "x.Pellarix"), "mod");
    EXPECT_EQ(read_file(box.settings() / "report.txt"), "report");
}

Path linked(const CoreSandbox& box, const std::string& target)
{
    Path link = box / "link";
    (void)::symlink(platform::native(box / target).c_str(), platform::native(link).c_str());
    return link;
}

INSTANTIATE_TEST_SUITE_P(Folders, RefusedFolderTest,
    ::testing::Values(RefusedCase{"unset", [](const CoreSandbox&) { return Path(); }, "is not set"},
        RefusedCase{"root", [](const CoreSandbox&) { return Path("/"); }, "root of a drive"},
        RefusedCase{"game", [](const CoreSandbox& b) { return b.game(); }, "or contains the game folder"},
        RefusedCase{
            "above_game", [](const CoreSandbox& b) { return b / "game/.."; }, "or contains the game folder"},
        RefusedCase{"assets_in_other_case", [](const CoreSandbox& b) { return b / "game/ASSETS"; },
            "is the game's own Assets folder"},
        RefusedCase{"mods", [](const CoreSandbox& b) { return b.mods(); }, "or contains the mods folder"},
        RefusedCase{
            "settings", [](const CoreSandbox& b) { return b.settings(); }, "or contains the settings folder"},
        RefusedCase{"home", [](const CoreSandbox& b) { return b.home(); }, "or contains the home folder"},
        RefusedCase{"relative_to_the_game", [](const CoreSandbox&) { return Path("../game"); },
            "or contains the game folder"},
        RefusedCase{"link_to_home", [](const CoreSandbox& b) { return linked(b, "home"); },
            "or contains the home folder"},
        RefusedCase{"a_file",
            [](const CoreSandbox& b) {
                write_file(b / "My Games/CustomAssets", "not a folder");
                return b.custom_assets();
            },
            "is not a folder"}),
    [](const auto& info) { return std::string(info.param.title); });

} // namespace
} // namespace velmora
