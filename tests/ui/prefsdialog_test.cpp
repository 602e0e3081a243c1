#include <gtest/gtest.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/main.h>

#include "path/fs.h"
#include "path/platform.h"
#include "ui/mainwindow.h"
#include "ui/prefsdialog.h"
#include "ui_fixture.h"
#include "support/case_name.h"

namespace velmora::test {
namespace {

const char* const same_folder_error
    = "Your custom assets directory is the same as your main assets directory.  "
      "This won't work.  Please change your custom assets directory to something "
      "else.";

// The game in "game", the custom assets in "My Games/CustomAssets"; the
// dialog open as the main window opens it.
class PrefsDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        box.write_conf(box.game(), box.custom_assets(), {});
        box.start();
        prefs = box.ui->prefs;
        box.main().menu_prefs_activated();
        box.core.signal_prefs_changed().connect([this] { ++changes; });
    }

    std::string native(const char* relative) const { return platform::native(box / relative); }

    void type(const std::string& civ4, const std::string& custom_assets) const
    {
        prefs->civ4_dir_entry->set_text(civ4);
        prefs->custom_assets_dir_entry->set_text(custom_assets);
    }

    UiSandbox box;
    PrefsDialog* prefs = nullptr;
    int changes = 0;
};

TEST_F(PrefsDialogTest, entriesShowTheCoresFoldersAsNativePaths)
{
    EXPECT_TRUE(prefs->is_visible());
    EXPECT_EQ(prefs->civ4_dir_entry->get_text(), native("game"));
    EXPECT_EQ(prefs->mods_dir_entry->get_text(), native("home/.velmora/mods"));
    EXPECT_EQ(prefs->custom_assets_dir_entry->get_text(), native("My Games/CustomAssets"));
    EXPECT_EQ(std::string(prefs->civ4_dir_entry->get_text()).find('\\'), std::string::npos);
}

TEST_F(PrefsDialogTest, confirmingStoresTheThreeFoldersInNormalFormAndTellsThreeTimes)
{
    prefs->mods_dir_entry->set_text(native("elsewhere/mods"));
    prefs->response(Gtk::RESPONSE_OK);

    EXPECT_EQ(changes, 3);
    EXPECT_FALSE(prefs->is_visible());
    EXPECT_EQ(box.core.get_civ4_dir().str(), box.game().str());
    EXPECT_EQ(box.core.get_mods_dir().str(), (box / "elsewhere/mods").str());
    EXPECT_EQ(box.core.get_custom_assets_dir().str(), box.custom_assets().str());
    EXPECT_EQ(prefs->mods_dir_entry->get_text(), native("elsewhere/mods"));
}

struct NameCase {
    const char* folder; // relative to the sandbox
    bool warns;
};

std::ostream& operator<<(std::ostream& os, const NameCase& c) { return os << c.folder; }

class PrefsDialogName : public PrefsDialogTest, public testing::WithParamInterface<NameCase> { };

TEST_P(PrefsDialogName, takesAssetsFoldersAndAsksAboutOthers)
{
    const NameCase& c = GetParam();
    prefs->custom_assets_dir_entry->set_text(native(c.folder));
    Answers answers;
    if (c.warns) {
        answers.then_respond(Gtk::RESPONSE_NO);
        prefs->response(Gtk::RESPONSE_OK);
        ASSERT_EQ(answers.messages.size(), 1u);
        EXPECT_NE(answers.messages[0].find("does not seem to be an assets directory!  This might be okay"),
            std::string::npos);
        EXPECT_EQ(changes, 0);
        EXPECT_TRUE(prefs->is_visible());
        EXPECT_EQ(prefs->custom_assets_dir_entry->get_text(), native(c.folder));
        answers.then_respond(Gtk::RESPONSE_YES);
    }

    prefs->response(Gtk::RESPONSE_OK);

    EXPECT_EQ(changes, 3);
    EXPECT_FALSE(prefs->is_visible());
    EXPECT_EQ(box.core.get_custom_assets_dir(), box / c.folder);
}

INSTANTIATE_TEST_SUITE_P(Folders, PrefsDialogName,
    testing::Values(NameCase{"My Games/assets", false}, NameCase{"My Games/ASSETS", false},
        NameCase{"My Games/CustomAssets", false}, NameCase{"My Games/customassets", true},
        NameCase{"My Games/Mods", true}),
    ::velmora::test::CaseName());

// The top folder of an install holds the original game's Assets and the
// expansions: asked about, because mods would be built on the original files.
TEST_F(PrefsDialogTest, asksBeforeTakingTheTopFolderOfAnInstall)
{
    write_game(box / "install");
    write_game(box / "install/Beyond the Sword");
    prefs->civ4_dir_entry->set_text(native("install"));
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_NO);

    prefs->response(Gtk::RESPONSE_OK);

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("holds Beyond the Sword"), std::string::npos) << answers.messages[0];
    EXPECT_NE(answers.messages[0].find(native("install/Beyond the Sword")), std::string::npos);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(prefs->is_visible());

    answers.then_respond(Gtk::RESPONSE_YES);
    prefs->response(Gtk::RESPONSE_OK);

    EXPECT_EQ(changes, 3);
    EXPECT_EQ(box.core.get_civ4_dir(), box / "install");
    // Stored once, it is not asked about again.
    box.main().menu_prefs_activated();
    prefs->response(Gtk::RESPONSE_OK);
    EXPECT_EQ(answers.messages.size(), 2u);
}

struct SameFolderCase {
    const char* civ4_entry;
    const char* custom_assets_entry;
    bool refused;
};

class PrefsDialogSameFolder : public PrefsDialogTest, public testing::WithParamInterface<SameFolderCase> { };

// The custom-assets folder is tested against the game folder in use and
// against one typed in the same go: apply would refuse the new game's Assets.
TEST_P(PrefsDialogSameFolder, refusesTheGamesOwnAssetsFolder)
{
    const SameFolderCase& c = GetParam();
    type(native(c.civ4_entry), native(c.custom_assets_entry));
    Answers answers;
    if (c.refused)
        answers.then_respond(Gtk::RESPONSE_OK);

    prefs->response(Gtk::RESPONSE_OK);

    if (c.refused) {
        EXPECT_EQ(answers.messages, std::vector<std::string>{same_folder_error});
        EXPECT_EQ(changes, 0);
        EXPECT_TRUE(prefs->is_visible());
        EXPECT_EQ(box.core.get_custom_assets_dir(), box.custom_assets());
    } else {
        EXPECT_TRUE(answers.messages.empty());
        EXPECT_EQ(changes, 3);
        EXPECT_EQ(box.core.get_custom_assets_dir(), box / c.custom_assets_entry);
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, PrefsDialogSameFolder,
    testing::Values(SameFolderCase{"game", "game/Assets", true}, SameFolderCase{"game", "GAME/assets", true},
        SameFolderCase{"other game", "game/Assets", true},
        SameFolderCase{"other game", "other game/Assets", true},
        SameFolderCase{"other game", "My Games/CustomAssets", false}),
    ::velmora::test::CaseNameBy<&SameFolderCase::custom_assets_entry>());

// The folders apply refuses to delete are refused before they are stored.
TEST_F(PrefsDialogTest, refusesTheSettingsFolderWithTheCoresReason)
{
    prefs->custom_assets_dir_entry->set_text(native("home/.velmora"));
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);

    prefs->response(Gtk::RESPONSE_OK);

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("is or contains the settings folder"), std::string::npos)
        << answers.messages[0];
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(prefs->is_visible());
    EXPECT_EQ(box.core.get_custom_assets_dir(), box.custom_assets());
}

// Waits until the chooser shows folder; it reads folders in the background.
bool chooser_shows(Gtk::FileChooser& chooser, const std::string& folder)
{
    for (int i = 0; i < 200 && chooser.get_current_folder() != folder; ++i) {
        pump();
        if (chooser.get_current_folder() != folder)
            Glib::usleep(10000);
    }
    return chooser.get_current_folder() == folder;
}

TEST_F(PrefsDialogTest, browsingStartsAtTheEntryAndTakesTheChosenFolder)
{
    mkpath(box / "game/Mods/Sub", 0755);
    Answers answers;
    answers.then([&](Gtk::Window& w) {
        auto& chooser = dynamic_cast<Gtk::FileChooserDialog&>(w);
        EXPECT_EQ(chooser.get_title(), "Select Civilization IV directory");
        EXPECT_TRUE(chooser_shows(chooser, native("game")));
        // A folder selected in the list is the one chosen, not the one shown.
        // The list fills in the background: select again until it has the name.
        for (int i = 0; i < 200 && chooser.get_filename() != native("game/Mods"); ++i) {
            chooser.select_filename(native("game/Mods"));
            pump();
            if (chooser.get_filename() != native("game/Mods"))
                Glib::usleep(10000);
        }
        EXPECT_EQ(chooser.get_filename(), native("game/Mods"));
        return Gtk::RESPONSE_OK;
    });

    prefs->civ4_dir_browse_clicked();

    EXPECT_EQ(prefs->civ4_dir_entry->get_text(), native("game/Mods"));
    EXPECT_EQ(box.core.get_civ4_dir(), box.game()); // stored only on confirmation
}

TEST_F(PrefsDialogTest, cancellingRestoresTheEntriesEvenAfterBrowsing)
{
    Answers answers;
    answers.then([&](Gtk::Window& w) {
        auto& chooser = dynamic_cast<Gtk::FileChooserDialog&>(w);
        chooser.set_current_folder(native("home"));
        chooser_shows(chooser, native("home"));
        return Gtk::RESPONSE_OK;
    });
    prefs->assets_dir_browse_clicked();
    ASSERT_EQ(prefs->custom_assets_dir_entry->get_text(), native("home"));
    prefs->mods_dir_entry->set_text("typed");

    prefs->response(Gtk::RESPONSE_CANCEL);

    EXPECT_FALSE(prefs->is_visible());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(prefs->custom_assets_dir_entry->get_text(), native("My Games/CustomAssets"));
    EXPECT_EQ(prefs->mods_dir_entry->get_text(), native("home/.velmora/mods"));
}

} // namespace
} // namespace velmora::test

namespace velmora::test {
namespace {

TEST_F(PrefsDialogTest, askFieldsOnlyIsStoredOnConfirmationOnly)
{
    EXPECT_FALSE(prefs->ask_fields_only_check->get_active());
    prefs->ask_fields_only_check->set_active(true);
    prefs->response(Gtk::RESPONSE_CANCEL);
    EXPECT_FALSE(box.core.get_ask_fields_only());
    EXPECT_FALSE(prefs->ask_fields_only_check->get_active()) << "cancel shows the core's value again";

    box.main().menu_prefs_activated();
    prefs->ask_fields_only_check->set_active(true);
    prefs->response(Gtk::RESPONSE_OK);
    EXPECT_TRUE(box.core.get_ask_fields_only());
}

TEST_F(PrefsDialogTest, forgetRememberedAnswersButtonEmptiesTheFile)
{
    prefs->hide();
    write_file(box.settings() / "answers",
        "<VelmoraAnswers><Answer><Winner>A</Winner><WinnerChanges>0000000000000001</WinnerChanges>"
        "<Loser>B</Loser><LoserChanges>0000000000000002</LoserChanges></Answer></VelmoraAnswers>");
    box.core.startup();
    box.main().menu_prefs_activated();
    ASSERT_TRUE(prefs->forget_answers_button->is_sensitive());

    prefs->forget_answers_button->clicked();

    EXPECT_TRUE(box.core.get_remembered_answers().empty());
    EXPECT_FALSE(prefs->forget_answers_button->is_sensitive());
    EXPECT_EQ(read_file(box.settings() / "answers").find("<Answer>"), std::string::npos);
}

} // namespace
} // namespace velmora::test
