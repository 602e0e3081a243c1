// The windows that show what an apply built and will build: the Build window,
// the Conflicts page of a mod's properties and the preview before an apply.
#include <gtest/gtest.h>

#include "path/fs.h"
#include "path/platform.h"
#include "ui/buildwindow.h"
#include "ui/mainwindow.h"
#include "ui/modprioritydialog.h"
#include "ui/modpropdialog.h"
#include "ui/statusdialog.h"
#include "ui_fixture.h"

namespace velmora::test {
namespace {

using Lines = std::vector<std::string>;

const char* const archers = "Better Archers";
const char* const warriors = "Tough Warriors";
const char* const events = "Quiet Events";

std::string units_change(const std::string& records)
{
    return "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n" + records
        + "\t</UnitInfos>\n</Civ4UnitInfos>\n";
}

std::string unit(const char* type, int combat)
{
    return std::string("\t\t<UnitInfo>\n\t\t\t<Type>") + type + "</Type>\n\t\t\t<iCombat>"
        + std::to_string(combat) + "</iCombat>\n\t\t</UnitInfo>\n";
}

const std::string quiet_diff
    = "@@ -5,3 +5,3 @@\n \tiPlayer = argsList[0]\n-\tCvUtil.pyPrint(\"game start\")\n"
      "+\tCvUtil.pyPrint(\"quiet start\")\n \treturn 0\n";

std::string native(const std::string& file) { return platform::native(Path(file)); }

// Three enabled mods: Better Archers and Tough Warriors both set the
// archer's strength (3 in the game), Tough Warriors the warrior's too, and
// Quiet Events changes a line of the events script.
class BuildViews : public testing::Test {
protected:
    void SetUp() override
    {
        box.write_conf(box.game(), box.custom_assets(), {archers, warriors, events});
        box.write_mod("Archers.Pellarix",
            mod_file_text(archers, {{unit_infos_file, "xml", units_change(unit("UNIT_ARCHER", 4))}}));
        box.write_mod("Warriors.Pellarix",
            mod_file_text(warriors,
                {{unit_infos_file, "xml", units_change(unit("UNIT_ARCHER", 5) + unit("UNIT_WARRIOR", 2))}}));
        box.write_mod("Events.Pellarix", mod_file_text(events, {{events_script_file, "diff", quiet_diff}}));
        box.start();
    }

    // Applies, answering the one conflict for Tough Warriors once and for all.
    void apply_warriors_winning()
    {
        Answers answers;
        answers.then_in_loop([&](Gtk::Window& w) {
            auto& dialog = dynamic_cast<ModPriorityDialog&>(w);
            dialog.remember->set_active(true);
            dialog.button2->clicked();
        });
        box.main().apply_clicked();
        ASSERT_TRUE(answers.messages.empty());
        ASSERT_NE(
            read_file(box.custom_assets() / unit_infos_file).find("<iCombat>5</iCombat>"), std::string::npos);
    }

    // The rows of a tree as "name | value | mod | others", children indented.
    static void rows_of(
        const BuildWindow& w, const Gtk::TreeNodeChildren& rows, const std::string& indent, Lines& out)
    {
        for (const Gtk::TreeModel::Row& row : rows) {
            out.push_back(indent + Glib::ustring(row[w.columns.name]) + " | "
                + Glib::ustring(row[w.columns.value]) + " | " + Glib::ustring(row[w.columns.mod]) + " | "
                + Glib::ustring(row[w.columns.others]));
            rows_of(w, row.children(), indent + "  ", out);
        }
    }

    Lines tree() const
    {
        Lines out;
        rows_of(build(), build().tree->get_model()->children(), "", out);
        return out;
    }

    BuildWindow& build() const { return *box.ui->build_view; }

    Lines conflicts() const
    {
        ModPropDialog& props = *box.ui->mod_properties;
        Lines out;
        for (const Gtk::TreeModel::Row& row : props.conflict_list->get_model()->children())
            out.push_back(Glib::ustring(row[props.conflict_columns.other]) + " | "
                + Glib::ustring(row[props.conflict_columns.file]) + " | "
                + Glib::ustring(row[props.conflict_columns.winner]));
        return out;
    }

    UiSandbox box;
};

TEST_F(BuildViews, buildWindowShowsWhoWonEachFieldAndLineAndFiltersByModAndConflict)
{
    Answers unexpected; // a dialog that comes fails the test rather than waiting
    box.main().menu_build_activated();
    EXPECT_TRUE(build().is_visible());
    EXPECT_EQ(build().summary->get_text(),
        "Nothing was built yet. Apply the mods to see which mod made each file, record and line.");
    EXPECT_TRUE(tree().empty());
    EXPECT_FALSE(build().conflicts_only->is_sensitive());
    EXPECT_FALSE(box.main().show_build->is_visible());
    build().close_clicked();
    EXPECT_FALSE(build().is_visible());

    apply_warriors_winning();

    ASSERT_TRUE(box.main().show_build->is_visible());
    box.main().show_build->clicked();
    EXPECT_TRUE(build().is_visible());
    EXPECT_EQ(build().get_transient_for(), &box.main());
    EXPECT_EQ(build().summary->get_text(),
        "2 files built by 3 mods; 1 file has conflicts, the replaced mods in grey.");
    const std::string script = native(events_script_file);
    const std::string units = native(unit_infos_file);
    EXPECT_EQ(tree(),
        (Lines{script + " |  | Quiet Events | ", "  line 6 |  | Quiet Events | ",
            units + " |  | Better Archers, Tough Warriors | over Better Archers",
            "  UNIT_ARCHER |  | Tough Warriors | over Better Archers",
            "    iCombat | 5 | Tough Warriors | over Better Archers", "  UNIT_WARRIOR |  | Tough Warriors | ",
            "    iCombat | 2 | Tough Warriors | "}));

    build().conflicts_only->set_active(true);
    EXPECT_EQ(tree(),
        (Lines{units + " |  | Better Archers, Tough Warriors | over Better Archers",
            "  UNIT_ARCHER |  | Tough Warriors | over Better Archers",
            "    iCombat | 5 | Tough Warriors | over Better Archers"}));
    EXPECT_EQ(build().summary->get_text(),
        "2 files built by 3 mods; 1 file has conflicts, the replaced mods in grey. Showing 1 file.");

    build().conflicts_only->set_active(false);
    ASSERT_TRUE(build().filter_by(events));
    EXPECT_EQ(tree(), (Lines{script + " |  | Quiet Events | ", "  line 6 |  | Quiet Events | "}));
    EXPECT_FALSE(build().filter_by("Nobody"));
    EXPECT_EQ(build().filtered_mod(), events);

    // Reopened after another apply, the filter stays on the mod while it still built something.
    box.main().apply_clicked();
    box.main().menu_build_activated();
    EXPECT_EQ(build().filtered_mod(), events);
    box.main().mod_enable_clicked("1"); // Quiet Events off
    box.main().apply_clicked();
    EXPECT_EQ(build().filtered_mod(), "") << "the open window follows the apply";
    EXPECT_EQ(tree().size(), 5u);
}

TEST_F(BuildViews, conflictsPageListsTheOtherEnabledModsFileByFileFromTheLastApplyOrADryRun)
{
    Answers unexpected; // a dialog that comes fails the test rather than waiting
    ModPropDialog& props = *box.ui->mod_properties;
    props.set_mod(box.mod_named(archers));
    EXPECT_EQ(props.conflicts_source->get_text(),
        "Nothing was applied yet. Dry Run builds the enabled mods in memory, writing nothing, and shows "
        "whose work "
        "would stand.");
    props.dry_run_clicked();
    EXPECT_EQ(props.conflicts_source->get_text(),
        "A dry run cannot tell yet: 1 conflict has no answer. Apply the mods to answer it.");
    EXPECT_TRUE(conflicts().empty());

    box.main().mod_enable_clicked("1"); // Quiet Events off
    apply_warriors_winning();
    const std::string units = native(unit_infos_file);
    struct Case {
        const char* mod;
        std::string source;
        Lines rows;
    } const cases[] = {
        {archers, "From the last apply: 'Better Archers' shares 1 file with other enabled mods.",
            {"Tough Warriors | " + units + " | Tough Warriors"}},
        {warriors, "From the last apply: 'Tough Warriors' shares 1 file with other enabled mods.",
            {"Better Archers | " + units + " | Tough Warriors"}},
        {events, "'Quiet Events' is not enabled, so it takes part in no build.", {}},
    };
    for (const Case& c : cases) {
        props.set_mod(box.mod_named(c.mod));
        EXPECT_EQ(props.conflicts_source->get_text(), c.source) << c.mod;
        EXPECT_EQ(conflicts(), c.rows) << c.mod;
        EXPECT_EQ(props.dry_run->is_sensitive(), c.mod != events) << c.mod;
    }

    // Enabled since the last apply: only a dry run knows.
    box.main().mod_enable_clicked("1");
    props.set_mod(box.mod_named(events));
    EXPECT_EQ(props.conflicts_source->get_text(),
        "'Quiet Events' was not in the last apply. Dry Run shows whose work would stand now.");
    props.dry_run_clicked();
    EXPECT_EQ(props.conflicts_source->get_text(),
        "From a dry run of the enabled mods: 'Quiet Events' changes no file that another enabled mod "
        "changes.");
    EXPECT_FALSE(exists(box.custom_assets() / Path(events_script_file))) << "a dry run writes nothing";
    props.set_mod(box.mod_named(archers));
    props.dry_run_clicked();
    EXPECT_EQ(conflicts(), (Lines{"Tough Warriors | " + units + " | Tough Warriors"}));
    props.close_clicked();
}

TEST_F(BuildViews, previewBeforeApplyShowsWhatChangesAndLetsTheUserCancelOrTurnItOff)
{
    box.core.set_preview_before_apply(true);
    // Questions first: the apply asks them, with no preview before.
    apply_warriors_winning();
    // Nothing would change: the apply runs without asking.
    {
        Answers none;
        box.main().apply_clicked();
    }

    box.main().mod_enable_clicked("1"); // Quiet Events off: its script goes
    const Path script = box.custom_assets() / Path(events_script_file);
    Answers answers;
    answers.then([&](Gtk::Window& w) {
        auto& status = dynamic_cast<StatusDialog&>(w);
        EXPECT_EQ(status.label->get_text(), "1 file changes: " + native(events_script_file));
        EXPECT_EQ(status.preview_text->get_buffer()->get_text(), "removed  " + native(events_script_file));
        EXPECT_TRUE(status.preview->is_visible());
        EXPECT_FALSE(status.progress->is_visible());
        EXPECT_TRUE(status.preview_again->get_active());
        EXPECT_FALSE(box.main().is_sensitive()) << "no other command meanwhile";
        status.preview_cancel->clicked();
        return 0;
    });
    box.main().apply_clicked();
    EXPECT_TRUE(exists(script));
    EXPECT_EQ(box.main().get_status_message(), "Nothing was applied.");
    EXPECT_FALSE(box.ui->status->is_visible());

    answers.then([&](Gtk::Window& w) {
        auto& status = dynamic_cast<StatusDialog&>(w);
        status.preview_again->set_active(false);
        status.preview_apply->clicked();
        return 0;
    });
    box.main().apply_clicked();
    EXPECT_FALSE(exists(script));
    EXPECT_FALSE(box.core.get_preview_before_apply());
    EXPECT_NE(read_file(box.conf()).find("<PreviewBeforeApply>no</PreviewBeforeApply>"), std::string::npos);
    EXPECT_FALSE(box.ui->status->preview->is_visible());
    EXPECT_TRUE(box.ui->status->progress->is_visible());

    // Off: the next apply that changes something runs at once.
    box.main().mod_enable_clicked("1");
    box.main().apply_clicked();
    EXPECT_TRUE(exists(script));
    EXPECT_TRUE(answers.messages.empty());
}

TEST_F(BuildViews, closingThePreviewCancelsTheApply)
{
    box.core.set_preview_before_apply(true);
    apply_warriors_winning();
    box.main().mod_enable_clicked("1");
    Answers answers;
    answers.then([&](Gtk::Window& w) {
        close_by_window_manager(w);
        return 0;
    });
    box.main().apply_clicked();
    EXPECT_TRUE(exists(box.custom_assets() / Path(events_script_file)));
    EXPECT_TRUE(box.core.get_preview_before_apply());
}

} // namespace
} // namespace velmora::test
