// The windows' way from a download to the game: the empty list that says what
// to do, "Import Archive...", and finding the game at first start and from the
// preferences, never storing anything the user did not confirm.
#include <gtest/gtest.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/menuitem.h>

#include <cstdlib>

#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/archives.h"
#include "ui/createmoddialog.h"
#include "ui/detectdialog.h"
#include "ui/mainwindow.h"
#include "ui/prefsdialog.h"
#include "ui/statusdialog.h"
#include "ui_fixture.h"

namespace velmora::test {
namespace {

// Beyond the Sword in Steam's library of the sandbox's home.
Path write_steam_game(const UiSandbox& box)
{
    const Path steamapps = box.home() / ".local/share/Steam/steamapps";
    const Path game = steamapps / "common/Sid Meier's Civilization IV Beyond the Sword/Beyond the Sword";
    write_game(game);
    write_file(game / "Civ4BeyondSword.exe", "MZ");
    write_file(steamapps / "appmanifest_8800.acf",
        "\"AppState\" { \"appid\" \"8800\" \"installdir\" \"Sid Meier's Civilization IV Beyond the Sword\" }");
    return game;
}

Path steam_custom_assets(const UiSandbox& box)
{
    return box.home()
        / ".local/share/Steam/steamapps/compatdata/8800/pfx/drive_c/users/steamuser/Documents/My Games/Beyond the "
          "Sword/CustomAssets";
}

class WindowsTest : public testing::Test {
protected:
    WindowsTest() { unsetenv("WINEPREFIX"); }

    UiSandbox box;
};

// --- First start ---------------------------------------------------------------

TEST_F(WindowsTest, anEmptyListSaysWhatToDoFirstWithTheButtonsToDoIt)
{
    box.start();

    EXPECT_TRUE(box.main().empty_hint->is_visible());
    EXPECT_FALSE(box.main().mod_list->get_parent()->is_visible());
    EXPECT_NE(box.main().empty_label->get_text().find("where Civilization IV is installed"), std::string::npos);

    box.core.set_civ4_dir(box.game());
    box.write_mod("Archers.Pellarix", mod_file_text("Better Archers"));
    box.core.load_mods();

    EXPECT_FALSE(box.main().empty_hint->is_visible());
    EXPECT_TRUE(box.main().mod_list->get_parent()->is_visible());
}

struct FirstStartCase {
    const char* name;
    bool game_on_disk;
    int answer; // the detect dialog's response; 0: no dialog expected
    bool stored;
};

void PrintTo(const FirstStartCase& c, std::ostream* os) { *os << c.name; }

class FirstStartTest : public WindowsTest, public testing::WithParamInterface<FirstStartCase> { };

TEST_P(FirstStartTest, offersTheGameFoundAndStoresItOnlyWhenConfirmed)
{
    const FirstStartCase& c = GetParam();
    Path game;
    if (c.game_on_disk)
        game = write_steam_game(box);
    box.start();
    Answers answers;
    if (c.answer)
        answers.then([&](Gtk::Window& w) {
            EXPECT_EQ(&w, box.ui->detect);
            EXPECT_EQ(box.ui->detect->chosen(), 0);
            return c.answer;
        });

    box.main().detect_game(true);

    EXPECT_EQ(box.core.get_civ4_dir(), c.stored ? game : Path());
    EXPECT_EQ(box.core.get_custom_assets_dir(), c.stored ? steam_custom_assets(box) : Path());
    EXPECT_EQ(exists(steam_custom_assets(box)), c.stored);
    EXPECT_TRUE(answers.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, FirstStartTest,
    testing::Values(FirstStartCase{"confirmed", true, Gtk::RESPONSE_OK, true},
        FirstStartCase{"cancelled", true, Gtk::RESPONSE_CANCEL, false},
        FirstStartCase{"nothingFoundStaysSilent", false, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The preferences' Detect button --------------------------------------------

TEST_F(WindowsTest, detectInThePreferencesFillsTheEntriesAndOkStoresThem)
{
    box.write_conf(box.game(), box.custom_assets(), {});
    const Path steam_game = write_steam_game(box);
    box.start();
    PrefsDialog& prefs = *box.ui->prefs;
    box.main().menu_prefs_activated();
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);

    prefs.response(1); // the Detect button

    EXPECT_EQ(prefs.civ4_dir_entry->get_text(), platform::native(steam_game));
    EXPECT_EQ(prefs.custom_assets_dir_entry->get_text(), platform::native(steam_custom_assets(box)));
    EXPECT_TRUE(prefs.is_visible());
    EXPECT_EQ(box.core.get_civ4_dir(), box.game());
    EXPECT_FALSE(exists(steam_custom_assets(box)));

    prefs.response(Gtk::RESPONSE_OK);

    EXPECT_EQ(box.core.get_civ4_dir(), steam_game);
    EXPECT_EQ(box.core.get_custom_assets_dir(), steam_custom_assets(box));
    EXPECT_TRUE(exists(steam_custom_assets(box)));
}

TEST_F(WindowsTest, detectFindingNothingSaysSoAndChangesNothing)
{
    box.write_conf(box.game(), box.custom_assets(), {});
    box.start();
    box.main().menu_prefs_activated();
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);

    box.ui->prefs->response(1);

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("No Civilization IV installation was found"), std::string::npos);
    EXPECT_EQ(box.ui->prefs->civ4_dir_entry->get_text(), platform::native(box.game()));
}

// --- Mod > Import Archive... ---------------------------------------------------

class ImportWindowTest : public WindowsTest {
protected:
    void SetUp() override
    {
        box.write_conf(box.game(), box.custom_assets(), {});
        write_game(box.game());
        std::string units = game_unit_infos();
        units.replace(units.find("<iCombat>3</iCombat>"), 20, "<iCombat>5</iCombat>");
        write_archive(box / "Better_Archers_v1.2.zip", "zip",
            {{"Better Archers/Assets/" + Path(unit_infos_file).str(), units},
                {"Better Archers/readme.txt", "Archers hit harder."}});
        box.start();
        box.ui->status->signal_show().connect([this] { ++status_shown; });
    }

    // Answers the form of the new mod's header: what it suggests is kept,
    // then edit changes it.
    Answers::Answer form(std::function<void(CreateModDialog&)> edit = nullptr)
    {
        return [this, edit](Gtk::Window& w) {
            EXPECT_EQ(&w, box.ui->create_mod);
            CreateModDialog& dlg = *box.ui->create_mod;
            seen.push_back({dlg.get_title(), dlg.dir_entry->get_text(), dlg.name_entry->get_text(),
                dlg.version_entry->get_text()});
            if (edit)
                edit(dlg);
            return Gtk::RESPONSE_OK;
        };
    }

    int status_shown = 0;
    // Title, archive, name and version the form showed, each time.
    std::vector<std::vector<std::string>> seen;
};

TEST_F(ImportWindowTest, theMenuItemAsksForAnArchiveAndCancellingImportsNothing)
{
    Answers answers;
    answers.then([](Gtk::Window& w) {
        EXPECT_NE(dynamic_cast<Gtk::FileChooserDialog*>(&w), nullptr);
        EXPECT_EQ(w.get_title(), "Import Mod Archive");
        return Gtk::RESPONSE_CANCEL;
    });

    box.main().menu_import_archive_activated();

    EXPECT_EQ(answers.windows.size(), 1u);
    EXPECT_EQ(status_shown, 0);
    EXPECT_TRUE(box.rows().empty());
}

TEST_F(ImportWindowTest, importsWithProgressAndListsTheModNamedAfterTheArchive)
{
    Answers answers;
    answers.then(form());

    box.main().import_archive(box / "Better_Archers_v1.2.zip");

    EXPECT_TRUE(answers.messages.empty()) << answers.messages[0];
    const std::string archive = platform::native(box / "Better_Archers_v1.2.zip");
    EXPECT_EQ(seen, (std::vector<std::vector<std::string>>{{"Import Mod Archive", archive, "Better Archers", "1.2"}}));
    EXPECT_EQ(status_shown, 1);
    EXPECT_FALSE(box.ui->status->is_visible());
    EXPECT_EQ(box.ui->status->label->get_text(), "Saving");
    ASSERT_EQ(box.rows().size(), 1u);
    EXPECT_EQ(box.rows()[0], (ModRow{false, "Better Archers", "1.2", "Archers hit harder."}));
    Mod saved;
    ASSERT_EQ(saved.load(box.mods() / Path("Better Archers.Pellarix")), 0);
    ASSERT_EQ(saved.changes.size(), 1u);
    EXPECT_EQ(saved.changes.front().file, Path(unit_infos_file).str());
}

// What the user types in the form wins over what the archive suggests; a
// description left empty comes from the readme, and a report is written
// when asked for. The form is the folder's form again afterwards.
TEST_F(ImportWindowTest, theFormsEntriesNameTheMod)
{
    Answers answers;
    answers.then(form([](CreateModDialog& dlg) {
        dlg.name_entry->set_text("Archers Plus");
        dlg.author_entry->set_text("Ev");
        dlg.version_entry->set_text("2.0");
        dlg.report_check->set_active(true);
    }));

    box.main().import_archive(box / "Better_Archers_v1.2.zip");

    EXPECT_TRUE(answers.messages.empty()) << answers.messages[0];
    ASSERT_EQ(box.rows().size(), 1u);
    EXPECT_EQ(box.rows()[0], (ModRow{false, "Archers Plus", "2.0", "Archers hit harder."}));
    Mod saved;
    ASSERT_EQ(saved.load(box.mods() / Path("Archers Plus.Pellarix")), 0);
    EXPECT_EQ(saved.author, "Ev");
    EXPECT_TRUE(exists(box.settings() / Path("report.txt")));
    EXPECT_FALSE(exists(box.mods() / Path("Better Archers.Pellarix")));

    box.ui->create_mod->clear();
    EXPECT_EQ(box.ui->create_mod->get_title(), "Create Mod");
    EXPECT_TRUE(box.ui->create_mod->dir_entry->get_editable());
}

TEST_F(ImportWindowTest, aNameTheFormRefusesKeepsItOpenAndCancellingImportsNothing)
{
    Answers answers;
    answers.then(form([](CreateModDialog& dlg) { dlg.name_entry->set_text("../Archers"); }));
    answers.then_respond(Gtk::RESPONSE_OK); // the refusal
    answers.then([](Gtk::Window&) { return Gtk::RESPONSE_CANCEL; });

    box.main().import_archive(box / "Better_Archers_v1.2.zip");

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("cannot be part of a file name"), std::string::npos) << answers.messages[0];
    EXPECT_EQ(status_shown, 0);
    EXPECT_TRUE(box.rows().empty());
    EXPECT_TRUE(list_files(box.mods()).empty());
}

struct LimitCase {
    const char* name;
    int answer;
    bool imported;
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

class ImportLimitTest : public ImportWindowTest, public testing::WithParamInterface<LimitCase> { };

TEST_P(ImportLimitTest, aBombAsksBeforeGoingOn)
{
    write_archive(box / "Huge.zip", "zip",
        {{"Assets/Art/zeros.dds", std::string(8 << 20, '\0')}, {"Assets/Art/b.dds", "B"}});
    Answers answers;
    answers.then(form());
    answers.then_respond(GetParam().answer);
    if (!GetParam().imported)
        answers.then_respond(Gtk::RESPONSE_OK); // the error

    box.main().import_archive(box / "Huge.zip");

    ASSERT_GE(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("times its own size"), std::string::npos) << answers.messages[0];
    EXPECT_EQ(box.rows().size(), GetParam().imported ? 1u : 0u);
    EXPECT_EQ(exists(box.mods() / Path("Huge.Pellarix")), GetParam().imported);
}

INSTANTIATE_TEST_SUITE_P(Answers, ImportLimitTest,
    testing::Values(LimitCase{"importAnyway", Gtk::RESPONSE_YES, true}, LimitCase{"stop", Gtk::RESPONSE_NO, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportWindowTest, aHostileArchiveIsShownAsAnErrorAndImportsNothing)
{
    write_archive(box / "Evil.zip", "zip", {{"Assets/Art/a.dds", "A"}, {"../../escaped.txt", "evil"}});
    Answers answers;
    answers.then(form());
    answers.then_respond(Gtk::RESPONSE_OK);

    box.main().import_archive(box / "Evil.zip");

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("\"../../escaped.txt\""), std::string::npos) << answers.messages[0];
    EXPECT_TRUE(box.rows().empty());
    EXPECT_TRUE(box.main().is_sensitive());
}

} // namespace
} // namespace velmora::test
