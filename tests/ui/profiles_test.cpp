#include <gtest/gtest.h>
#include <gtkmm/filechooserdialog.h>

#include "core/setup_file.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/unit_schema.h"
#include "ui/mainwindow.h"
#include "ui/profiledialog.h"
#include "ui_fixture.h"

namespace velmora::test {
namespace {

const char* const archers = "Better Archers";
const char* const warriors = "Tough Warriors";
const char* const events = "Quiet Events";

// Three mods, "Better Archers" enabled in the one profile of settings from
// before profiles ("Default").
class ProfileWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        write_files();
        box.start();
    }
    void write_files()
    {
        box.write_conf(box.game(), box.custom_assets(), {archers});
        box.write_mod("Archers.Pellarix", mod_file_text(archers, {}, "Ana", "1.2", "Archers hit harder"));
        box.write_mod("Warriors.Pellarix", mod_file_text(warriors, {}, "Bo", "2.0", "Warriors defend better"));
        box.write_mod("Events.Pellarix", mod_file_text(events, {}, "Cy", "0.9", "Fewer random events"));
    }

    std::vector<std::string> chooser_items() const
    {
        std::vector<std::string> items;
        Glib::RefPtr<Gtk::TreeModel> model = box.main().profile_chooser->get_model();
        for (const Gtk::TreeModel::Row& row : model->children()) {
            Glib::ustring text;
            row.get_value(0, text);
            items.push_back(text);
        }
        return items;
    }
    std::string chosen() const { return box.main().profile_chooser->get_active_text(); }
    std::vector<std::string> ticked() const
    {
        std::vector<std::string> names;
        for (const ModRow& row : box.rows())
            if (row.enabled)
                names.push_back(row.name);
        return names;
    }
    // The settings as the next start reads them.
    std::string conf() const { return read_file(box.conf()); }

    // Answers the profile dialog with a name (and the copy box).
    static Answers::Answer name_it(const std::string& name, bool copy = false)
    {
        return [name, copy](Gtk::Window& w) {
            auto& dialog = dynamic_cast<ProfileDialog&>(w);
            dialog.name.set_text(name);
            dialog.copy.set_active(copy);
            return static_cast<int>(Gtk::RESPONSE_OK);
        };
    }

    UiSandbox box;
};

TEST_F(ProfileWindowTest, choosingAProfileShowsItsTicksAndMakesItCurrent)
{
    EXPECT_EQ(chooser_items(), std::vector<std::string>{"Default"});
    EXPECT_EQ(chosen(), "Default");
    box.core.new_profile("Rebalance", false);
    EXPECT_EQ(chooser_items(), (std::vector<std::string>{"Default", "Rebalance"}));
    EXPECT_EQ(chosen(), "Default");

    box.main().profile_chooser->set_active_text("Rebalance");
    EXPECT_EQ(box.core.get_current_profile(), "Rebalance");
    EXPECT_TRUE(ticked().empty());
    EXPECT_EQ(box.main().get_status_message(), "Switched to the profile 'Rebalance' (0 mods enabled). The next "
                                               "apply builds it.");
    EXPECT_NE(conf().find("<CurrentProfile>Rebalance</CurrentProfile>"), std::string::npos) << conf();

    // Each profile keeps its own ticks across switches.
    box.main().mod_enable_clicked("2");
    box.main().profile_chooser->set_active_text("Default");
    EXPECT_EQ(ticked(), std::vector<std::string>{archers});
    box.main().profile_chooser->set_active_text("Rebalance");
    EXPECT_EQ(ticked(), std::vector<std::string>{warriors});
    EXPECT_EQ(box.core.get_profile_values("Default").enabled, std::vector<std::string>{archers});
}

// Another Velmora (the command line) left "Rebalance" current.
class ProfileWindowStart : public ProfileWindowTest {
protected:
    void SetUp() override
    {
        write_files();
        {
            Orrindel cli(box.home());
            cli.startup();
            cli.new_profile("Rebalance", false);
            cli.switch_profile("Rebalance");
            cli.set_mod_enabled(cli.get_mods().back(), true);
            cli.save_config();
        }
        box.start();
    }
};

TEST_F(ProfileWindowStart, theChooserShowsTheCurrentProfileOfTheSettings)
{
    EXPECT_EQ(chooser_items(), (std::vector<std::string>{"Default", "Rebalance"}));
    EXPECT_EQ(chosen(), "Rebalance");
    EXPECT_EQ(ticked(), std::vector<std::string>{warriors});
}

TEST_F(ProfileWindowTest, aProfileWithAMissingModShowsItsRowOnlyWhileChosen)
{
    velmora::Setup setup;
    setup.profile = "Friday";
    setup.mods.push_back({"Gone Mod", "1.0", "Gone.Pellarix", 42});
    box.core.import_setup(setup, "Friday");
    EXPECT_EQ(box.rows().size(), 3u);

    box.main().profile_chooser->set_active_text("Friday");
    ASSERT_EQ(box.rows().size(), 4u);
    EXPECT_EQ(box.rows()[3], (ModRow{true, "Gone Mod", "", "file missing"}));
    EXPECT_NE(box.main().get_status_message().find("(1 mod enabled)"), std::string::npos);

    box.main().profile_chooser->set_active_text("Default");
    EXPECT_EQ(box.rows().size(), 3u);
    EXPECT_EQ(ticked(), std::vector<std::string>{archers});
}

TEST_F(ProfileWindowTest, switchingIsRefusedWhileACommandRuns)
{
    box.core.new_profile("Rebalance", false);
    box.core.set_apply_steps([](const Mod&, const Mod&) {},
        [&](const Mod&, const GameFiles&, const Path&) { box.main().profile_chooser->set_active_text("Rebalance"); });

    box.main().apply_clicked();

    EXPECT_EQ(box.core.get_profile(), "Default");
    EXPECT_EQ(chosen(), "Default");
}

struct NewProfileCase {
    const char* name;
    bool copy;
    std::vector<std::string> ticked;
};

class ProfileWindowNew : public ProfileWindowTest, public testing::WithParamInterface<NewProfileCase> { };

TEST_P(ProfileWindowNew, makesTheProfileAndSwitchesToIt)
{
    Answers answers;
    answers.then(name_it("Big Rebalance", GetParam().copy));

    box.main().menu_new_profile_activated();

    EXPECT_TRUE(answers.messages.empty());
    EXPECT_EQ(chooser_items(), (std::vector<std::string>{"Default", "Big Rebalance"}));
    EXPECT_EQ(chosen(), "Big Rebalance");
    EXPECT_EQ(box.core.get_current_profile(), "Big Rebalance");
    EXPECT_EQ(ticked(), GetParam().ticked);
    EXPECT_NE(conf().find("<Name>Big Rebalance</Name>"), std::string::npos) << conf();
    // The profile left keeps its ticks.
    EXPECT_EQ(box.core.get_profile_values("Default").enabled, std::vector<std::string>{archers});
}

INSTANTIATE_TEST_SUITE_P(Copy, ProfileWindowNew,
    testing::Values(NewProfileCase{"empty", false, {}}, NewProfileCase{"copied", true, {archers}}),
    [](const auto& info) { return std::string(info.param.name); });

// A name the core refuses keeps the dialog open with the name typed; Cancel
// then leaves everything as it was.
TEST_F(ProfileWindowTest, aRefusedNameKeepsTheDialogOpen)
{
    struct Case {
        const char* command;
        void (MainWindow::*run)();
        const char* name;
        const char* error;
    };
    for (const Case& c : {Case{"new", &MainWindow::menu_new_profile_activated, "Default", "already exists"},
             Case{"new", &MainWindow::menu_new_profile_activated, "", "a profile needs a name"},
             Case{"new", &MainWindow::menu_new_profile_activated, " Padded", "cannot begin or end with a space"},
             Case{"rename", &MainWindow::menu_rename_profile_activated, "", "a profile needs a name"}}) {
        SCOPED_TRACE(std::string(c.command) + " '" + c.name + "'");
        std::string typed;
        Answers answers;
        answers.then(name_it(c.name)).then_respond(Gtk::RESPONSE_OK).then([&](Gtk::Window& w) {
            typed = dynamic_cast<ProfileDialog&>(w).name.get_text();
            return static_cast<int>(Gtk::RESPONSE_CANCEL);
        });

        (box.main().*c.run)();

        ASSERT_EQ(answers.messages.size(), 1u);
        EXPECT_NE(answers.messages[0].find(c.error), std::string::npos) << answers.messages[0];
        EXPECT_EQ(typed, c.name);
        EXPECT_EQ(chooser_items(), std::vector<std::string>{"Default"});
        EXPECT_EQ(box.core.get_profile(), "Default");
    }
}

TEST_F(ProfileWindowTest, renameRenamesTheProfileInUse)
{
    std::string offered;
    Answers answers;
    answers.then([&](Gtk::Window& w) {
        offered = dynamic_cast<ProfileDialog&>(w).name.get_text();
        return name_it("Main")(w);
    });

    box.main().menu_rename_profile_activated();

    EXPECT_EQ(offered, "Default");
    EXPECT_EQ(chooser_items(), std::vector<std::string>{"Main"});
    EXPECT_EQ(chosen(), "Main");
    EXPECT_EQ(ticked(), std::vector<std::string>{archers});
    EXPECT_NE(conf().find("Main"), std::string::npos) << conf();
    EXPECT_EQ(box.main().get_status_message(), "Renamed the profile 'Default' to 'Main'.");
}

TEST_F(ProfileWindowTest, deleteOffersTheOtherProfilesAndAsksFirst)
{
    {
        // The only profile is the one in use: nothing to delete.
        Answers answers;
        answers.then_respond(Gtk::RESPONSE_OK);
        box.main().menu_delete_profile_activated();
        ASSERT_EQ(answers.messages.size(), 1u);
        EXPECT_NE(answers.messages[0].find("'Default' is the only profile"), std::string::npos);
    }
    box.core.new_profile("Rebalance", false);
    box.core.new_profile("Interface Only", false);
    for (int confirm : {Gtk::RESPONSE_CANCEL, Gtk::RESPONSE_OK}) {
        std::vector<std::string> offered;
        Answers answers;
        answers
            .then([&](Gtk::Window& w) {
                auto& dialog = dynamic_cast<ProfileDialog&>(w);
                for (const Gtk::TreeModel::Row& row : dialog.choice.get_model()->children()) {
                    Glib::ustring text;
                    row.get_value(0, text);
                    offered.push_back(text);
                }
                dialog.choice.set_active_text("Interface Only");
                return static_cast<int>(Gtk::RESPONSE_OK);
            })
            .then_respond(confirm);

        box.main().menu_delete_profile_activated();

        EXPECT_EQ(offered, (std::vector<std::string>{"Rebalance", "Interface Only"}));
        ASSERT_EQ(answers.messages.size(), 1u);
        EXPECT_EQ(answers.messages[0].rfind("Delete the profile 'Interface Only'? ", 0), 0u) << answers.messages[0];
        const bool kept = confirm != Gtk::RESPONSE_OK;
        EXPECT_EQ(chooser_items().size(), kept ? 3u : 2u);
        EXPECT_EQ(box.core.get_profiles().size(), kept ? 3u : 2u);
        if (!kept) {
            EXPECT_EQ(conf().find("Interface Only"), std::string::npos) << conf();
        }
    }
    EXPECT_EQ(chosen(), "Default");
}

TEST_F(ProfileWindowTest, exportAndImportSetupSayWhatIsMissingAndWhatDiffers)
{
    box.main().mod_enable_clicked("2"); // Tough Warriors
    const Path file = box / "Friday setup.xml";
    box.main().export_setup(file);
    EXPECT_EQ(box.main().get_status_message(), "Wrote the profile 'Default' to \"" + platform::native(file)
            + "\": 2 mods, 0 remembered answers.");

    // On a friend's machine: another version of the archers, no warriors.
    box.write_mod("Archers.Pellarix", mod_file_text(archers, {}, "Ana", "1.3", "Archers hit harder still"));
    ASSERT_EQ(platform::unlink((box.mods() / Path("Warriors.Pellarix")).str()), 0);
    box.main().refresh_clicked();
    std::string offered;
    Answers answers;
    answers
        .then([&](Gtk::Window& w) {
            offered = dynamic_cast<ProfileDialog&>(w).name.get_text();
            return name_it("Friday")(w);
        })
        .then_respond(Gtk::RESPONSE_OK);

    box.main().import_setup(file);

    EXPECT_EQ(offered, "Default");
    ASSERT_EQ(answers.messages.size(), 1u);
    const std::string& report = answers.messages[0];
    EXPECT_NE(report.find("Made the profile 'Friday' from \"" + platform::native(file) + "\" and switched to it:"),
        std::string::npos)
        << report;
    EXPECT_NE(report.find("'Better Archers' 1.2: version differs (here 1.3, Archers.Pellarix)"), std::string::npos)
        << report;
    EXPECT_NE(report.find("'Tough Warriors' 2.0: missing"), std::string::npos) << report;
    EXPECT_NE(report.find("1 mod of the setup is missing from \"" + platform::native(box.mods())
                  + "\": 'Tough Warriors' 2.0."),
        std::string::npos)
        << report;
    EXPECT_EQ(chosen(), "Friday");
    const std::vector<ModRow> expected = {
        {true, archers, "1.3", "Archers hit harder still"},
        {false, events, "0.9", "Fewer random events"},
        {true, warriors, "", "file missing"},
    };
    EXPECT_EQ(box.rows(), expected);
    EXPECT_EQ(box.main().get_status_message(), "Made the profile 'Friday'; 1 of its mods is missing.");
}

// The menu item asks where to write, suggesting a file named after the profile.
TEST_F(ProfileWindowTest, exportSetupAsksForTheFileNamedAfterTheProfile)
{
    const std::string folder = platform::native(box / "shared");
    mkpath(box / "shared", 0755);
    for (int response : {Gtk::RESPONSE_CANCEL, Gtk::RESPONSE_OK}) {
        Answers answers;
        answers.then([&](Gtk::Window& w) {
            auto& chooser = dynamic_cast<Gtk::FileChooserDialog&>(w);
            EXPECT_EQ(chooser.get_title(), "Export Setup");
            EXPECT_TRUE(chooser.get_do_overwrite_confirmation());
            chooser.set_current_folder(folder);
            for (int i = 0; i < 200 && chooser.get_current_folder() != folder; ++i) {
                pump();
                Glib::usleep(10000);
            }
            return response;
        });

        box.main().menu_export_setup_activated();

        const std::list<std::string> files = list_files(box / "shared");
        EXPECT_EQ(std::vector<std::string>(files.begin(), files.end()),
            response == Gtk::RESPONSE_OK ? std::vector<std::string>{"Default setup.xml"} : std::vector<std::string>{});
    }
    const velmora::Setup setup = velmora::Setup::read(box / "shared/Default setup.xml");
    ASSERT_EQ(setup.mods.size(), 1u);
    EXPECT_EQ(setup.mods[0].name, archers);
}

TEST_F(ProfileWindowTest, setupFilesThatCannotBeWrittenOrReadAreErrors)
{
    struct Case {
        const char* name;
        std::string file_text; // empty: no file
        bool export_it;
    };
    for (const Case& c : {Case{"export into a missing folder", "", true}, Case{"import a missing file", "", false},
             Case{"import a file of another kind", "<?xml version=\"1.0\"?>\n<Other/>\n", false},
             Case{"import a broken file", "<VelmoraSetup", false}}) {
        SCOPED_TRACE(c.name);
        const Path file = c.export_it ? box / "no such folder/setup.xml" : box / "setup.xml";
        if (!c.file_text.empty())
            write_file(file, c.file_text);
        Answers answers;
        answers.then_respond(Gtk::RESPONSE_OK);

        if (c.export_it)
            box.main().export_setup(file);
        else
            box.main().import_setup(file);

        ASSERT_EQ(answers.messages.size(), 1u);
        EXPECT_NE(answers.messages[0].find(c.export_it ? "no such folder" : "setup.xml"), std::string::npos)
            << answers.messages[0];
        EXPECT_EQ(chooser_items(), std::vector<std::string>{"Default"});
    }
}

} // namespace
} // namespace velmora::test
