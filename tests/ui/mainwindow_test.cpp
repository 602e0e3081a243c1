#include <gtest/gtest.h>
#include <gtkmm/messagedialog.h>

#include "base/errors.h"
#include "core/manifest.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "ui/createmoddialog.h"
#include "ui/mainwindow.h"
#include "ui/modprioritydialog.h"
#include "ui/modpropdialog.h"
#include "ui/prefsdialog.h"
#include "ui/schemafaultsdialog.h"
#include "ui/statusdialog.h"
#include "support/unit_schema.h"
#include "ui_fixture.h"
#include "support/case_name.h"

namespace velmora::test {
namespace {

const char* const archers = "Better Archers";
const char* const warriors = "Tough Warriors";
const char* const events = "Quiet Events";

std::string archer_change()
{
    return "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n\t\t<UnitInfo>\n"
           "\t\t\t<Type>UNIT_ARCHER</Type>\n\t\t\t<iCombat>4</iCombat>\n\t\t</UnitInfo>\n\t</UnitInfos>\n"
           "</Civ4UnitInfos>\n";
}

// Three mods in the mods folder, listed in file-name order: Archers, Events,
// Warriors. "Better Archers" is enabled by the configuration.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        box.write_conf(box.game(), box.custom_assets(), {archers});
        box.write_mod("Archers.Pellarix",
            mod_file_text(
                archers, {{unit_infos_file, "xml", archer_change()}}, "Ana", "1.2", "Archers hit harder"));
        box.write_mod(
            "Warriors.Pellarix", mod_file_text(warriors, {}, "Bo", "2.0", "Warriors defend better"));
        box.write_mod("Events.Pellarix", mod_file_text(events, {}, "Cy", "0.9", "Fewer random events"));
        box.start();
    }

    std::vector<std::string> mod_files() const { return list_tree(box.mods()); }

    UiSandbox box;
};

TEST_F(MainWindowTest, listsEveryModWithItsHeaderAndEnabledMark)
{
    std::vector<ModRow> expected = {
        {true, archers, "1.2", "Archers hit harder"},
        {false, events, "0.9", "Fewer random events"},
        {false, warriors, "2.0", "Warriors defend better"},
    };
    EXPECT_EQ(box.rows(), expected);
    auto* mod_column = box.main().mod_list->get_column(0);
    EXPECT_EQ(mod_column->get_title(), "Mod");
    EXPECT_EQ(mod_column->get_cell_renderers().size(), 2u); // check box and name
    EXPECT_EQ(box.main().mod_list->get_column(1)->get_title(), "Version");
    EXPECT_EQ(box.main().mod_list->get_column(2)->get_title(), "Description");
}

TEST_F(MainWindowTest, togglingACheckBoxTwiceRestoresTheEnabledSetWithTwoChanges)
{
    int changes = 0;
    box.core.signal_enabled_mods_changed().connect([&] { ++changes; });
    const std::set<Mod*> before = box.core.get_enabled_mods();

    box.main().mod_enable_clicked("2");
    EXPECT_TRUE(box.rows()[2].enabled);
    EXPECT_EQ(box.core.get_enabled_mods().count(box.mod_named(warriors)), 1u);

    box.main().mod_enable_clicked("2");
    EXPECT_FALSE(box.rows()[2].enabled);
    EXPECT_EQ(box.core.get_enabled_mods(), before);
    EXPECT_EQ(changes, 2);
}

// A second version of "Better Archers" kept beside the first.
class MainWindowVersions : public MainWindowTest {
protected:
    void SetUp() override
    {
        box.write_mod("Archers2.Pellarix", mod_file_text(archers, {}, "Ana", "1.3", "Archers hit harder still"));
        MainWindowTest::SetUp();
    }
};

TEST_F(MainWindowVersions, rowsOfARepeatedNameShowTheirFilesAndEnablingTheOtherAsks)
{
    std::vector<ModRow> expected = {
        {true, "Better Archers  (Archers.Pellarix)", "1.2", "Archers hit harder"},
        {false, "Better Archers  (Archers2.Pellarix)", "1.3", "Archers hit harder still"},
        {false, events, "0.9", "Fewer random events"},
        {false, warriors, "2.0", "Warriors defend better"},
    };
    // The configuration named "Better Archers" before the second file came: the
    // scan at start-up meets both and enables neither.
    expected[0].enabled = false;
    EXPECT_EQ(box.rows(), expected);
    box.main().mod_enable_clicked("0");
    ASSERT_TRUE(box.rows()[0].enabled);

    struct Case {
        int response;
        bool first_enabled;
        bool second_enabled;
    };
    for (const Case& c : {Case{Gtk::RESPONSE_CANCEL, true, false}, Case{MainWindow::version_enable_both, true, true},
             Case{MainWindow::version_use_this, false, true}}) {
        if (box.rows()[1].enabled)
            box.main().mod_enable_clicked("1");
        box.core.set_mod_enabled(*box.core.get_mods().begin(), true);
        Answers answers;
        answers.then_respond(c.response);

        box.main().mod_enable_clicked("1");

        ASSERT_EQ(answers.messages.size(), 1u);
        EXPECT_EQ(answers.messages[0].rfind("Archers2.Pellarix: another version of 'Better Archers' is enabled "
                                            "(Archers.Pellarix).",
                      0),
            0u)
            << answers.messages[0];
        EXPECT_EQ(box.rows()[0].enabled, c.first_enabled) << c.response;
        EXPECT_EQ(box.rows()[1].enabled, c.second_enabled) << c.response;
        EXPECT_EQ(box.core.get_enabled_mods().size(), static_cast<std::size_t>(c.first_enabled + c.second_enabled));
    }
}

TEST_F(MainWindowTest, refreshFollowsTheFolderAndKeepsTheMarks)
{
    box.main().mod_enable_clicked("1"); // Quiet Events
    box.write_mod("Zulu.Pellarix", mod_file_text("Zulu Impis", {}, "Di", "3", "New unit art"));
    ASSERT_EQ(platform::unlink((box.mods() / Path("Warriors.Pellarix")).str()), 0);

    box.main().refresh_clicked();

    std::vector<ModRow> expected = {
        {true, archers, "1.2", "Archers hit harder"},
        {true, events, "0.9", "Fewer random events"},
        {false, "Zulu Impis", "3", "New unit art"},
    };
    EXPECT_EQ(box.rows(), expected);
}

// A dialog answer as a test name.
std::string response_name(int response)
{
    switch (response) {
    case Gtk::RESPONSE_OK:
        return "ok";
    case Gtk::RESPONSE_CANCEL:
        return "cancel";
    case Gtk::RESPONSE_DELETE_EVENT:
        return "window_closed";
    default:
        return "response_" + std::to_string(-response);
    }
}

struct DeleteCase {
    int response;
    bool deleted;
};

class MainWindowDelete : public MainWindowTest, public testing::WithParamInterface<DeleteCase> { };

TEST_P(MainWindowDelete, asksFirstAndDeletesTheFileOnlyOnOk)
{
    box.select(warriors);
    Answers answers;
    answers.then_respond(GetParam().response);

    box.main().menu_delete_mod_activated();

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0], "Delete mod 'Tough Warriors'?");
    EXPECT_EQ(exists(box.mods() / Path("Warriors.Pellarix")), !GetParam().deleted);
    EXPECT_EQ(box.rows().size(), GetParam().deleted ? 2u : 3u);
    EXPECT_EQ(box.core.get_mods().size(), box.rows().size());
}

INSTANTIATE_TEST_SUITE_P(Answers, MainWindowDelete,
    testing::Values(DeleteCase{Gtk::RESPONSE_OK, true}, DeleteCase{Gtk::RESPONSE_CANCEL, false},
        DeleteCase{Gtk::RESPONSE_DELETE_EVENT, false}),
    [](const auto& info) { return response_name(info.param.response); });

TEST_F(MainWindowTest, deletingAModWhoseFileCannotBeRemovedKeepsItListed)
{
    // A folder that merely carries the mod extension: it is listed, and cannot be unlinked.
    write_file(box.mods() / Path("Stubborn.Pellarix\\keep.txt"), "x");
    box.main().refresh_clicked();
    ASSERT_EQ(box.rows().size(), 4u);
    box.select("");
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK).then_respond(Gtk::RESPONSE_OK);

    box.main().menu_delete_mod_activated();

    ASSERT_EQ(answers.messages.size(), 2u);
    EXPECT_NE(answers.messages[1].find("Cannot delete the mod file"), std::string::npos)
        << answers.messages[1];
    EXPECT_NE(answers.messages[1].find("Stubborn.Pellarix"), std::string::npos) << answers.messages[1];
    EXPECT_EQ(box.rows().size(), 4u);
    EXPECT_TRUE(exists(box.mods() / Path("Stubborn.Pellarix")));
}

TEST_F(MainWindowTest, commandsOnASelectedModSayWhenNoneIsSelected)
{
    void (MainWindow::*commands[])()
        = {&MainWindow::menu_delete_mod_activated, &MainWindow::menu_mod_properties_activated};
    for (auto command : commands) {
        Answers answers;
        answers.then_respond(Gtk::RESPONSE_OK);
        (box.main().*command)();
        EXPECT_EQ(answers.messages, std::vector<std::string>{"No mod selected"});
    }
    EXPECT_EQ(mod_files().size(), 3u);
}

TEST_F(MainWindowTest, propertiesOpenModalOverTheWindowAndHoldOffOtherCommands)
{
    box.select(archers);
    Answers answers;
    answers.then([&](Gtk::Window& w) {
        EXPECT_EQ(&w, box.ui->mod_properties);
        EXPECT_TRUE(w.get_modal());
        EXPECT_EQ(w.get_transient_for(), &box.main());
        EXPECT_EQ(box.ui->mod_properties->name_entry->get_text(), archers);
        // The mod shown must not go away meanwhile: these do nothing (no question, no rescan).
        box.main().menu_delete_mod_activated();
        box.main().refresh_clicked();
        EXPECT_EQ(box.ui->mod_properties->mod, box.mod_named(archers));
        return 0;
    });

    box.main().menu_mod_properties_activated();

    EXPECT_FALSE(box.main().is_busy());
    EXPECT_EQ(mod_files().size(), 3u);
}

TEST_F(MainWindowTest, propertiesOfAModWhoseFileIsGoneShowAnError)
{
    box.select(warriors);
    ASSERT_EQ(platform::unlink((box.mods() / Path("Warriors.Pellarix")).str()), 0);
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);

    box.main().menu_mod_properties_activated();

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("Warriors.Pellarix"), std::string::npos) << answers.messages[0];
    EXPECT_NE(answers.messages[0].find("no longer exists"), std::string::npos) << answers.messages[0];
}

// Applying: the conflict check finds every pair in conflict and each mod writes
// its name into "order.txt" of the custom assets, so the file shows the order.
class MainWindowApply : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        box.main().mod_enable_clicked("2"); // Tough Warriors too
        write_file(box.custom_assets() / Path("old.txt"), "from the last apply");
        Manifest::of_folder(box.custom_assets()).write(box.custom_assets());
        box.core.set_apply_steps(
            [](const Mod&, const Mod&) {
                throw ConflictError("Both mods change XML\\Units\\CIV4UnitInfos.xml");
            },
            [this](const Mod& mod, const GameFiles&, const Path& custom_assets) {
                applied.push_back(mod.name);
                on_apply(mod);
                Path order = custom_assets / Path("order.txt");
                std::string text = exists(order) ? read_file(order) : std::string();
                write_file(order, text + mod.name + "\n");
            });
    }

    std::function<void(const Mod&)> on_apply = [](const Mod&) {};
    std::vector<std::string> applied;
};

struct ConflictCase {
    const char* name;
    std::function<void(ModPriorityDialog&)> answer;
    std::vector<std::string> order; // empty: unresolved
};

std::ostream& operator<<(std::ostream& os, const ConflictCase& c) { return os << c.name; }

class MainWindowConflict : public MainWindowApply, public testing::WithParamInterface<ConflictCase> { };

TEST_P(MainWindowConflict, isAnsweredInThePriorityDialog)
{
    const ConflictCase& c = GetParam();
    Answers answers;
    answers.then_in_loop([&](Gtk::Window& w) {
        auto& dialog = dynamic_cast<ModPriorityDialog&>(w);
        EXPECT_EQ(dialog.button1->get_label(), archers);
        EXPECT_EQ(dialog.button2->get_label(), warriors);
        EXPECT_EQ(dialog.label->get_text(), "Both mods change XML\\Units\\CIV4UnitInfos.xml");
        c.answer(dialog);
    });
    if (c.order.empty())
        answers.then_respond(Gtk::RESPONSE_OK);

    box.main().apply_clicked();

    EXPECT_FALSE(box.ui->mod_priority->is_visible());
    EXPECT_FALSE(box.ui->status->is_visible());
    if (c.order.empty()) {
        ASSERT_EQ(answers.messages.size(), 1u);
        EXPECT_EQ(answers.messages[0],
            "Unresolved conflict between mods 'Better Archers' and 'Tough Warriors': "
            "Both mods change XML\\Units\\CIV4UnitInfos.xml");
        EXPECT_EQ(list_tree(box.custom_assets()), std::vector<std::string>{"old.txt"});
        return;
    }
    EXPECT_TRUE(answers.messages.empty());
    EXPECT_EQ(applied, c.order);
    EXPECT_EQ(list_tree(box.custom_assets()), std::vector<std::string>{"order.txt"});
}

INSTANTIATE_TEST_SUITE_P(Answers, MainWindowConflict,
    testing::Values(
        ConflictCase{"firstButton", [](ModPriorityDialog& d) { d.button1->clicked(); }, {warriors, archers}},
        ConflictCase{"secondButton", [](ModPriorityDialog& d) { d.button2->clicked(); }, {archers, warriors}},
        ConflictCase{"closedWindow", [](ModPriorityDialog& d) { close_by_window_manager(d); }, {}}),
    [](const testing::TestParamInfo<ConflictCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowApply, priorityDialogShowsEachQuestionsOwnNames)
{
    box.main().mod_enable_clicked("1"); // three mods: three questions
    std::vector<std::pair<std::string, std::string>> asked;
    Answers answers;
    for (int i = 0; i < 3; ++i) {
        answers.then_in_loop([&](Gtk::Window& w) {
            auto& dialog = dynamic_cast<ModPriorityDialog&>(w);
            asked.emplace_back(dialog.button1->get_label(), dialog.button2->get_label());
            dialog.button2->clicked();
        });
    }

    box.main().apply_clicked();

    std::vector<std::pair<std::string, std::string>> expected
        = {{archers, events}, {archers, warriors}, {events, warriors}};
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(applied, (std::vector<std::string>{archers, events, warriors}));
}

TEST_F(MainWindowApply, statusWindowFollowsProgressWhileOtherCommandsWait)
{
    box.core.set_apply_steps([](const Mod&, const Mod&) {},
        [this](const Mod& mod, const GameFiles&, const Path&) { on_apply(mod); });
    int rescans = 0;
    box.core.signal_mods_changed().connect([&] { ++rescans; });
    std::vector<std::pair<std::string, double>> seen;
    on_apply = [&](const Mod&) {
        StatusDialog& status = *box.ui->status;
        seen.emplace_back(status.label->get_text(), status.progress->get_fraction());
        EXPECT_TRUE(status.is_visible());
        EXPECT_EQ(status.get_title(), "Applying mods");
        EXPECT_FALSE(box.main().is_sensitive());
        // Commands that would run inside the apply are refused.
        box.main().refresh_clicked();
        box.main().apply_clicked();
        box.main().mod_enable_clicked("0");
        box.main().menu_create_mod_activated();
    };

    box.main().apply_clicked();

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, archers);
    EXPECT_NEAR(seen[0].second, 0.1, 1e-6);
    EXPECT_EQ(seen[1].first, warriors);
    EXPECT_NEAR(seen[1].second, 0.55, 1e-6);
    EXPECT_EQ(rescans, 0);
    EXPECT_EQ(box.core.get_enabled_mods().size(), 2u);
    EXPECT_TRUE(box.main().is_sensitive());
    EXPECT_FALSE(box.ui->status->is_visible());

    // Each report replaces the text; a full fraction fills the bar.
    box.main().apply_progress("Loading", 1.0f);
    EXPECT_EQ(box.ui->status->label->get_text(), "Loading");
    EXPECT_DOUBLE_EQ(box.ui->status->progress->get_fraction(), 1.0);
}

struct ForeignCase {
    const char* name;
    int response;
    bool applied;
};

class MainWindowForeignFiles : public MainWindowApply, public testing::WithParamInterface<ForeignCase> { };

// A file the user put into the custom-assets folder, and one changed since
// the last apply: the window says so and where they go before it replaces it.
TEST_P(MainWindowForeignFiles, areAskedAboutBeforeTheFolderIsReplaced)
{
    box.core.set_apply_steps([](const Mod&, const Mod&) {},
        [this](const Mod& mod, const GameFiles&, const Path&) { applied.push_back(mod.name); });
    write_file(box.custom_assets() / Path("res\\Fonts\\myfont.txt"), "my font");
    write_file(box.custom_assets() / Path("old.txt"), "changed by hand");
    Answers answers;
    answers.then_respond(GetParam().response);

    box.main().apply_clicked();

    ASSERT_EQ(answers.messages.size(), 1u);
    const std::string& question = answers.messages[0];
    EXPECT_NE(question.find("holds 1 file that Velmora did not write and 1 file changed since Velmora wrote it"),
        std::string::npos)
        << question;
    EXPECT_NE(question.find(platform::native(box.custom_assets())), std::string::npos) << question;
    EXPECT_NE(question.find(platform::native(box / "My Games/CustomAssets.velmora-backup-")), std::string::npos)
        << question;
    if (!GetParam().applied) {
        EXPECT_TRUE(applied.empty());
        EXPECT_TRUE(box.backups().empty());
        EXPECT_EQ(read_file(box.custom_assets() / Path("res\\Fonts\\myfont.txt")), "my font");
        return;
    }
    EXPECT_EQ(applied.size(), 2u);
    ASSERT_EQ(box.backups().size(), 1u);
    const Path backup = box / "My Games" / box.backups()[0];
    EXPECT_EQ(read_file(backup / Path("res\\Fonts\\myfont.txt")), "my font");
    EXPECT_EQ(read_file(backup / Path("old.txt")), "changed by hand");
    EXPECT_FALSE(exists(box.custom_assets() / Path("res")));
}

INSTANTIATE_TEST_SUITE_P(Answers, MainWindowForeignFiles,
    testing::Values(ForeignCase{"cancelled", Gtk::RESPONSE_CANCEL, false}, ForeignCase{"accepted", Gtk::RESPONSE_OK, true}),
    [](const testing::TestParamInfo<ForeignCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowApply, aFolderOfOnlyVelmorasFilesIsReplacedWithoutAQuestion)
{
    box.core.set_apply_steps([](const Mod&, const Mod&) {}, [](const Mod&, const GameFiles&, const Path&) {});
    Answers answers;
    box.main().apply_clicked();
    EXPECT_TRUE(answers.messages.empty());
    EXPECT_TRUE(box.core.get_last_backup().empty());
}

// The game folder on a drive that is not mounted: Apply says so before it
// starts, and the error offers the preferences that set it again.
struct GoneGameCase {
    const char* title;
    const char* button; // the label of the button the user presses
    bool prefs_shown;
};

std::ostream& operator<<(std::ostream& os, const GoneGameCase& c) { return os << c.title; }

class MainWindowGoneGame : public MainWindowApply, public testing::WithParamInterface<GoneGameCase> { };

TEST_P(MainWindowGoneGame, applySaysSoAndOffersThePreferences)
{
    const GoneGameCase& c = GetParam();
    const Path gone = box / "unmounted/Beyond the Sword";
    box.core.set_civ4_dir(gone);
    Answers answers;
    answers.then_in_loop([&](Gtk::Window& w) {
        auto& dialog = dynamic_cast<Gtk::MessageDialog&>(w);
        for (Gtk::Widget* child : dialog.get_action_area()->get_children())
            if (auto* button = dynamic_cast<Gtk::Button*>(child); button && button->get_label() == c.button)
                button->clicked();
    });

    box.main().apply_clicked();

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0],
        "The game folder \"" + platform::native(gone)
            + "\" does not exist (a drive not mounted, or the game moved?). Set it with velmora-cli prefs "
              "--civ4-dir, or Detect Game in the preferences.");
    EXPECT_TRUE(applied.empty());
    EXPECT_FALSE(box.ui->status->is_visible());
    EXPECT_EQ(list_tree(box.custom_assets()), std::vector<std::string>{"old.txt"});
    EXPECT_EQ(box.ui->prefs->is_visible(), c.prefs_shown);
    box.ui->prefs->hide();
}

INSTANTIATE_TEST_SUITE_P(Buttons, MainWindowGoneGame,
    testing::Values(
        GoneGameCase{"preferences", "_Preferences", true}, GoneGameCase{"close", "gtk-close", false}),
    CaseName());

// The mods folder on a drive that is not mounted: the mod stays enabled, and
// the user sees it is missing.
TEST(MainWindowMissingMod, isGreyedOutAsFileMissingAndCanBeDisabled)
{
    UiSandbox box;
    box.write_conf(box.game(), box.custom_assets(), {archers, "Gone Mod"});
    box.write_mod("Archers.Pellarix", mod_file_text(archers, {}, "Ana", "1.2", "Archers hit harder"));
    box.start();

    std::vector<ModRow> expected = {{true, archers, "1.2", "Archers hit harder"}, {true, "Gone Mod", "", "file missing"}};
    ASSERT_EQ(box.rows(), expected);
    const MainWindow::ModListColumns& c = box.main().columns;
    auto rows = box.main().mod_list->get_model()->children();
    EXPECT_TRUE(bool(rows[0][c.available]));
    EXPECT_FALSE(bool(rows[1][c.available]));

    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);
    box.main().apply_clicked();
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("The enabled mod 'Gone Mod' is missing"), std::string::npos)
        << answers.messages[0];

    box.main().mod_enable_clicked("1");
    EXPECT_EQ(box.rows(), std::vector<ModRow>{expected[0]});
    EXPECT_TRUE(box.core.get_missing_mods().empty());
}

TEST_F(MainWindowApply, filesThatBreakTheirSchemaAreCountedAndListed)
{
    box.core.set_apply_steps([](const Mod&, const Mod&) {}, [](const Mod&, const GameFiles&, const Path& custom_assets) {
        write_file(custom_assets / Path("XML/Units/CIV4UnitSchema.xml"), test::unit_schema());
        std::vector<std::string> fields = test::warrior_fields();
        std::swap(fields[3], fields[6]); // iCombat before bOnlyDefensive
        write_file(custom_assets / Path("XML/Units/CIV4UnitInfos.xml"),
            test::schema_units_doc(test::schema_unit(fields)));
    });
    std::string listed;
    Answers answers;
    answers.then_in_loop([&](Gtk::Window& w) {
        auto& dialog = dynamic_cast<SchemaFaultsDialog&>(w);
        EXPECT_NE(std::string(dialog.heading->get_text()).find("1 file may not load in the game"), std::string::npos) << dialog.heading->get_text();
        listed = dialog.list->get_buffer()->get_text();
        dialog.response(Gtk::RESPONSE_CLOSE);
    });

    box.main().apply_clicked();

    EXPECT_NE(std::string(box.main().get_status_message()).find("1 file may not load in the game"), std::string::npos) << box.main().get_status_message();
    EXPECT_NE(std::string(listed).find("CIV4UnitInfos.xml"), std::string::npos) << listed;
    EXPECT_NE(std::string(listed).find("record UNIT_WARRIOR: <bOnlyDefensive> comes after <iCombat>"), std::string::npos) << listed;
    EXPECT_FALSE(box.ui->schema_faults->is_visible());
}

TEST_F(MainWindowApply, namesThatPointNowhereAreCountedAndListedInTheirOwnSection)
{
    box.core.set_apply_steps([](const Mod&, const Mod&) {}, [](const Mod&, const GameFiles&, const Path& custom_assets) {
        write_file(custom_assets / Path("XML/Units/CIV4UnitInfos.xml"),
            "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n\t\t<UnitInfo>\n"
            "\t\t\t<Type>UNIT_WARRIOR</Type>\n\t\t\t<Upgrade>UNIT_LONGBOWMAN_9</Upgrade>\n"
            "\t\t</UnitInfo>\n\t</UnitInfos>\n</Civ4UnitInfos>\n");
    });
    std::string heading, listed;
    bool faults_shown = true;
    Answers answers;
    answers.then_in_loop([&](Gtk::Window& w) {
        auto& dialog = dynamic_cast<SchemaFaultsDialog&>(w);
        heading = dialog.references_heading->get_text();
        listed = dialog.references->get_buffer()->get_text();
        faults_shown = dialog.list_scroll->is_visible();
        dialog.response(Gtk::RESPONSE_CLOSE);
    });

    box.main().apply_clicked();

    EXPECT_NE(std::string(box.main().get_status_message()).find("1 name points nowhere"), std::string::npos)
        << box.main().get_status_message();
    EXPECT_NE(heading.find("1 name points nowhere"), std::string::npos) << heading;
    EXPECT_NE(listed.find("UNIT_WARRIOR: Upgrade UNIT_LONGBOWMAN_9 is defined by no enabled mod"), std::string::npos)
        << listed;
    EXPECT_FALSE(faults_shown);
}

TEST_F(MainWindowTest, cancelledCreateModFlashesTheStatusWindowAndCreatesNothing)
{
    int shown = 0;
    box.ui->status->signal_show().connect([&] { ++shown; });
    Answers answers;
    answers.then([&](Gtk::Window& w) {
        EXPECT_EQ(&w, box.ui->create_mod);
        box.ui->create_mod->dir_entry->set_text(box.game().str());
        box.ui->create_mod->name_entry->set_text("Never Made");
        return Gtk::RESPONSE_CANCEL;
    });

    box.main().menu_create_mod_activated();

    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(box.ui->status->is_visible());
    EXPECT_FALSE(box.ui->create_mod->is_visible());
    EXPECT_EQ(mod_files().size(), 3u);
    EXPECT_EQ(box.rows().size(), 3u);
}

// A modified copy of the game's units: the archer is stronger, and one new file.
class MainWindowCreate : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        std::string units = game_unit_infos();
        std::string::size_type at = units.find("<iCombat>3</iCombat>");
        ASSERT_NE(at, std::string::npos);
        units.replace(at, 20, "<iCombat>4</iCombat>");
        write_file(box / "Archer Fix/Assets" / unit_infos_file, units);
        write_file(box / "Archer Fix/Assets/Art/Archer.dds", std::string("DDS \0\x01\x02", 7));
        box.core.signal_mods_changed().connect([this] { ++list_changes; });
        box.ui->status->signal_show().connect([this] { ++status_shown; });
    }

    // Fills the dialog and confirms it.
    Answers::Answer fill(const std::string& name)
    {
        return [this, name](Gtk::Window&) {
            CreateModDialog& dlg = *box.ui->create_mod;
            dlg.dir_entry->set_text(platform::native(box / "Archer Fix"));
            dlg.name_entry->set_text(name);
            dlg.description_entry->set_text("Archers hit harder");
            dlg.author_entry->set_text("Ev");
            dlg.version_entry->set_text("0.1");
            dlg.report_check->set_active(true);
            return Gtk::RESPONSE_OK;
        };
    }

    int list_changes = 0;
    int status_shown = 0;
};

TEST_F(MainWindowCreate, savesTheNewModUnderItsNameAndListsItDisabled)
{
    Answers answers;
    answers.then(fill("Archer Fix"));

    box.main().menu_create_mod_activated();

    EXPECT_TRUE(answers.messages.empty()) << answers.messages[0];
    EXPECT_EQ(status_shown, 1);
    EXPECT_FALSE(box.ui->status->is_visible());
    EXPECT_EQ(box.ui->status->label->get_text(), "Saving");
    EXPECT_TRUE(box.main().is_sensitive());
    ASSERT_EQ(box.rows().size(), 4u);
    EXPECT_EQ(box.rows()[3], (ModRow{false, "Archer Fix", "0.1", "Archers hit harder"}));
    Mod saved;
    ASSERT_EQ(saved.load(box.mods() / Path("Archer Fix.Pellarix")), 0);
    EXPECT_EQ(saved.author, "Ev");
    ASSERT_EQ(saved.changes.size(), 2u);
    EXPECT_NE(
        read_file(box.settings() / Path("report.txt")).find("CIV4UnitInfos.xml -> xml"), std::string::npos);
}

struct ReplaceCase {
    int answer;
    bool replaced;
};

class MainWindowCreateReplace : public MainWindowCreate, public testing::WithParamInterface<ReplaceCase> { };

// "Archers" is saved as "Archers.Pellarix": the file of the listed, enabled "Better Archers".
TEST_P(MainWindowCreateReplace, asksBeforeReplacingAListedModsFile)
{
    const std::string old_file = read_file(box.mods() / Path("Archers.Pellarix"));
    Answers answers;
    answers.then(fill("Archers")).then_respond(GetParam().answer);
    if (!GetParam().replaced)
        answers.then_respond(Gtk::RESPONSE_CANCEL); // the dialog again

    box.main().menu_create_mod_activated();

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("Archers.Pellarix\" already exists. Replace it?"), std::string::npos)
        << answers.messages[0];
    std::vector<ModRow> rows = box.rows();
    ASSERT_EQ(rows.size(), 3u);
    if (GetParam().replaced) {
        // The new mod takes the old one's place in the list and stays enabled.
        EXPECT_EQ(rows[0], (ModRow{true, "Archers", "0.1", "Archers hit harder"}));
        EXPECT_EQ(rows[1].name, events);
        EXPECT_EQ(box.core.get_enabled_mods().size(), 1u);
        EXPECT_NE(read_file(box.mods() / Path("Archers.Pellarix")), old_file);
    } else {
        EXPECT_EQ(rows[0], (ModRow{true, archers, "1.2", "Archers hit harder"}));
        EXPECT_EQ(read_file(box.mods() / Path("Archers.Pellarix")), old_file);
        EXPECT_EQ(list_changes, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, MainWindowCreateReplace,
    testing::Values(ReplaceCase{Gtk::RESPONSE_OK, true}, ReplaceCase{Gtk::RESPONSE_CANCEL, false}),
    [](const auto& info) { return response_name(info.param.answer); });

TEST_F(MainWindowCreate, failureIsShownAndCreatesNothing)
{
    write_file(box / "Archer Fix/Assets" / unit_infos_file, "<Civ4UnitInfos><UnitInfos></Civ4UnitInfos>\n");
    Answers answers;
    answers.then(fill("Archer Fix")).then_respond(Gtk::RESPONSE_OK);

    box.main().menu_create_mod_activated();

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("CIV4UnitInfos.xml"), std::string::npos) << answers.messages[0];
    EXPECT_FALSE(box.ui->status->is_visible());
    EXPECT_EQ(mod_files().size(), 3u);
    EXPECT_EQ(list_changes, 0);
}

struct RefusedEntry {
    const char* folder; // relative to the sandbox; nullptr for an empty entry
    const char* name;
    const char* message; // a piece of the refusal
};

class MainWindowCreateRefusal : public MainWindowTest, public testing::WithParamInterface<RefusedEntry> { };

TEST_P(MainWindowCreateRefusal, keepsTheDialogOpenWithAMessage)
{
    const RefusedEntry& c = GetParam();
    CreateModDialog& dlg = *box.ui->create_mod;
    Answers answers;
    answers
        .then([&](Gtk::Window&) {
            dlg.dir_entry->set_text(c.folder ? platform::native(box / c.folder) : "");
            dlg.name_entry->set_text(c.name);
            return Gtk::RESPONSE_OK;
        })
        .then_respond(Gtk::RESPONSE_OK)
        .then([&](Gtk::Window& w) {
            // Shown again, with what the user typed.
            EXPECT_EQ(&w, &dlg);
            EXPECT_EQ(dlg.name_entry->get_text(), c.name);
            return Gtk::RESPONSE_CANCEL;
        });

    box.main().menu_create_mod_activated();

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find(c.message), std::string::npos) << answers.messages[0];
    EXPECT_EQ(mod_files().size(), 3u);
    EXPECT_FALSE(exists(box / "escape.Pellarix"));
}

INSTANTIATE_TEST_SUITE_P(Entries, MainWindowCreateRefusal,
    testing::Values(RefusedEntry{nullptr, "Good Name", "Choose the folder"},
        RefusedEntry{"nowhere", "Good Name", "does not exist"}, RefusedEntry{"game", "", "needs a name"},
        RefusedEntry{"game", "..\\..\\..\\escape", "'\\'"}, RefusedEntry{"game", "../escape", "'/'"},
        RefusedEntry{"game", "AUX", "device name"}),
    ::velmora::test::CaseNameBy<&RefusedEntry::message>());

} // namespace
} // namespace velmora::test

namespace velmora::test {
namespace {

std::string text_of(const Gtk::TextView& view) { return view.get_buffer()->get_text(); }

// Two mods that give the archer (strength 3 in the game) another strength,
// checked for conflicts as they really are.
class MainWindowDetails : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        box.write_mod("Warriors.Pellarix",
            mod_file_text(warriors, {{unit_infos_file, "xml", archer_change_of(5)}}, "Bo", "2.0", "Also archers"));
        box.main().refresh_clicked();
        box.main().mod_enable_clicked("2");
    }

    static std::string archer_change_of(int combat)
    {
        std::string text = archer_change();
        text.replace(text.find("<iCombat>4"), 10, "<iCombat>" + std::to_string(combat));
        return text;
    }
};

TEST_F(MainWindowDetails, priorityDialogFoldsWhatEachModChangesAndRemembersTheAnswer)
{
    Answers answers;
    answers.then_in_loop([&](Gtk::Window& w) {
        auto& dialog = dynamic_cast<ModPriorityDialog&>(w);
        EXPECT_TRUE(dialog.details->is_visible());
        EXPECT_FALSE(dialog.details->get_expanded());
        EXPECT_EQ(text_of(*dialog.details_text),
            platform::native(std::string("XML\\Units\\CIV4UnitInfos.xml"))
                + ", UnitInfo UNIT_ARCHER:\n  iCombat: game 3, Better Archers 4, Tough Warriors 5");
        EXPECT_FALSE(dialog.remember->get_active());
        dialog.remember->set_active(true);
        dialog.button2->clicked();
    });

    box.main().apply_clicked();

    ASSERT_EQ(box.core.get_remembered_answers().size(), 1u);
    EXPECT_EQ(box.core.get_remembered_answers()[0].winner, warriors);
    EXPECT_NE(read_file(box.custom_assets() / unit_infos_file).find("<iCombat>5</iCombat>"), std::string::npos);

    // Answered already: no dialog comes.
    box.main().apply_clicked();
    EXPECT_TRUE(answers.messages.empty());
}

TEST_F(MainWindowDetails, priorityDialogWithoutDetailsHidesTheArea)
{
    ModPriorityDialog& dialog = *box.ui->mod_priority;
    dialog.remember->set_active(true);
    dialog.set_details({"a line"});
    EXPECT_FALSE(dialog.remember->get_active()) << "each question starts unticked";

    dialog.set_details({});

    EXPECT_FALSE(dialog.details->is_visible());
    EXPECT_EQ(text_of(*dialog.details_text), "");
}

} // namespace
} // namespace velmora::test
