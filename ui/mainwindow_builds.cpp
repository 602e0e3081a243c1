// The main window's whole builds: the fingerprint in the status bar, putting
// a restore point back, and playing without mods.
#include "base/errors.h"
#include "base/format.h"
#include "base/human_text.h"
#include "core/orrindel.h"
#include "core/restore_points.h"
#include "path/fs.h"
#include "path/platform.h"
#include "ui/mainwindow.h"
#include "ui/mainwindow_busy.h"
#include "ui/modal.h"
#include "ui/restoredialog.h"

namespace velmora {

namespace {

// The folder apply builds, as the user knows it.
std::string target_kind(const Orrindel& orrindel)
{
    return orrindel.get_mod_target().empty() ? "custom assets folder" : "mod folder";
}

// What becomes of what lies in target when another build or none takes its
// place, as the core does it: a build of Velmora's is kept as a restore point
// (unless none are kept), anything else goes, files of the user's backed up.
std::string fate_of(const Orrindel& orrindel, const Path& target)
{
    if (target.empty() || !exists(target))
        return "";
    if (!is_build(target))
        return "What is there now is no build of Velmora's: files Velmora did not write are kept in a backup beside "
               "it.";
    if (orrindel.get_restore_point_limit() == 0)
        return "The build there now is deleted (the settings keep no restore points).";
    return "The build there now is kept as a restore point (File > Restore Previous Build brings it back).";
}

} // namespace

std::string MainWindow::get_fingerprint_text() const { return fingerprint_label->get_text(); }

// Shown whenever the custom-assets folder holds a build with files: after an
// apply, a restore, at start and when the folder setting changes.
void MainWindow::show_fingerprint()
{
    BuildSummary build;
    try {
        build = orrindel->describe_build();
    } catch (const GenericError&) {
        // No build there (never applied, or without mods), or no folder set: nothing to compare.
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
    const Path target = orrindel->get_target_dir();
    const std::string folder = platform::native(target);
    const std::string kind = target_kind(*orrindel);
    const std::string replaced = fate_of(*orrindel, target);
    if (show_message(this,
            format("Put the build of %S (%S) back in the %S \"%S\"?%s%S", &when, &mods, &kind, &folder,
                replaced.empty() ? "" : " ", &replaced),
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
    // With a mod target, the mod folder is what the game would load.
    const Path target = orrindel->get_target_dir();
    const std::string folder = platform::native(target);
    const std::string kind = target_kind(*orrindel);
    if (target.empty() || !exists(target)) {
        show_status_message(format("The %S \"%S\" is already empty: the game starts without mods.", &kind, &folder));
        return;
    }
    const std::string kept = fate_of(*orrindel, target);
    if (show_message(this,
            format("Empty the %S \"%S\", so that the game starts without mods? %S The ticked mods stay ticked "
                   "for the next apply.",
                &kind, &folder, &kept),
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
        show_status_message(format("Emptying the %S failed.", &kind));
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
