// The main window's whole builds: the fingerprint in the status bar, putting
// a restore point back, and playing without mods.
#include "base/errors.h"
#include "base/format.h"
#include "base/human_text.h"
#include "core/orrindel.h"
#include "path/platform.h"
#include "ui/mainwindow.h"
#include "ui/mainwindow_busy.h"
#include "ui/modal.h"
#include "ui/restoredialog.h"

namespace velmora {

std::string MainWindow::get_fingerprint_text() const { return fingerprint_label->get_text(); }

// Shown whenever the custom-assets folder holds a build with files: after an
// apply, a restore, at start and when the folder setting changes.
void MainWindow::show_fingerprint()
{
    BuildSummary build;
    try {
        if (!orrindel->get_custom_assets_dir().empty())
            build = orrindel->describe_build();
    } catch (const GenericError&) {
        // No build there (never applied, or without mods): nothing to compare.
    }
    if (build.files == 0) {
        fingerprint_label->set_text("");
        fingerprint_label->hide();
        return;
    }
    fingerprint_label->set_text("Build " + build.fingerprint);
    fingerprint_label->show();
}

void MainWindow::menu_restore_build_activated()
{
    if (busy)
        return;
    std::vector<RestorePoint> points;
    try {
        points = orrindel->get_restore_points();
    } catch (const GenericError& e) {
        show_error(this, e.what());
        return;
    }
    RestoreDialog dialog(*this);
    dialog.set_points(points);
    const int response = run_modal(dialog);
    const unsigned n = dialog.get_chosen();
    dialog.hide();
    if (response != Gtk::RESPONSE_OK || n == 0 || n > points.size())
        return;
    const BuildInfo& info = points[n - 1].info;
    const std::string when = local_time_text(info.time ? info.time : points[n - 1].replaced);
    const std::string mods = build_mods_text(info);
    const std::string folder = platform::native(orrindel->get_custom_assets_dir());
    const std::string replaced = orrindel->get_restore_point_limit() == 0
        ? std::string("The build there now is deleted (the settings keep no restore points).")
        : std::string("The build there now becomes a restore point itself.");
    if (show_message(this,
            format("Put the build of %S (%S) back in the custom assets folder \"%S\"? %S", &when, &mods, &folder,
                &replaced),
            Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_OK_CANCEL)
        != Gtk::RESPONSE_OK)
        return;
    std::string error;
    {
        Busy guard(*this, true);
        try {
            orrindel->restore_build(n);
        } catch (const GenericError& e) {
            error = e.what();
        }
    }
    show_fingerprint();
    if (!error.empty()) {
        show_status_message("Restoring the build failed.");
        show_error(this, error);
        return;
    }
    std::string message = format("Restored the build of %S (%S).", &when, &mods);
    if (!orrindel->get_last_backup().empty()) {
        const std::string backup = platform::native(orrindel->get_last_backup());
        message += format(" Files Velmora did not write were kept in \"%S\".", &backup);
    }
    show_status_message(message);
}

void MainWindow::menu_play_without_mods_activated()
{
    if (busy)
        return;
    const std::string folder = platform::native(orrindel->get_custom_assets_dir());
    if (orrindel->get_custom_assets_dir().empty() || !orrindel->custom_assets_exist()) {
        show_status_message(format("The custom assets folder \"%S\" is already empty: the game starts without mods.",
            &folder));
        return;
    }
    const std::string kept = orrindel->get_restore_point_limit() == 0
        ? std::string("The build there is deleted (the settings keep no restore points).")
        : std::string("The build there is kept as a restore point (File > Restore Previous Build brings it back).");
    if (show_message(this,
            format("Empty the custom assets folder \"%S\", so that the game starts without mods? %S The ticked "
                   "mods stay ticked for the next apply.",
                &folder, &kept),
            Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_OK_CANCEL)
        != Gtk::RESPONSE_OK)
        return;
    std::string error;
    bool restore_point = false;
    {
        Busy guard(*this, true);
        try {
            restore_point = orrindel->unmod();
        } catch (const GenericError& e) {
            error = e.what();
        }
    }
    show_fingerprint();
    if (!error.empty()) {
        show_status_message("Emptying the custom assets folder failed.");
        show_error(this, error);
        return;
    }
    std::string message = "The game starts without mods.";
    if (restore_point)
        message += " The build is restore point 1.";
    if (!orrindel->get_last_backup().empty()) {
        const std::string backup = platform::native(orrindel->get_last_backup());
        message += format(" Files Velmora did not write were kept in \"%S\".", &backup);
    }
    show_status_message(message);
}

} // namespace velmora
