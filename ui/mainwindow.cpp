#include "ui/mainwindow.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <gdkmm/cursor.h>
#include <gtkmm/cellrenderertext.h>
#include <gtkmm/cellrenderertoggle.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/stock.h>
#include <gtkmm/main.h>
#include <gtkmm/menuitem.h>
#include <memory>

#include "base/errors.h"
#include "base/format.h"
#include "core/build_report.h"
#include "core/game_detect.h"
#include "core/mod_name.h"
#include "core/mod_target.h"
#include "core/new_mod.h"
#include "core/orrindel.h"
#include "path/fs.h"
#include "path/platform.h"
#include "ui/buildwindow.h"
#include "ui/createmoddialog.h"
#include "ui/detectdialog.h"
#include "ui/interface.h"
#include "ui/mainwindow_busy.h"
#include "ui/lookup.h"
#include "ui/modal.h"
#include "ui/modprioritydialog.h"
#include "ui/modpropdialog.h"
#include "ui/prefsdialog.h"
#include "ui/schemafaultsdialog.h"
#include "ui/statusdialog.h"

namespace velmora {

namespace {

// How a mod is named to the user: by its name, or by its file when it has none.
std::string shown_name(const Mod* mod)
{
    if (!mod->name.empty())
        return mod->name;
    return mod->path.empty() ? std::string("(unnamed mod)") : mod->path[-1];
}

std::string count_text(std::size_t n, const char* one, const char* many)
{
    unsigned u = static_cast<unsigned>(n);
    return n == 1 ? format("1 %s", one) : format("%u %s", u, many);
}

// What the status line adds about the files of a new mod's folder that no
// game reads (the report lists them).
std::string unread_text(const std::vector<std::string>& skipped, const std::vector<std::string>& documents)
{
    std::string text;
    if (!skipped.empty())
        text += " Skipped " + count_text(skipped.size(), "file", "files") + " no game reads.";
    if (!documents.empty())
        text += " Kept " + count_text(documents.size(), "document", "documents") + " the game does not read.";
    return text;
}

} // namespace

MainWindow::ModListColumns::ModListColumns()
{
    add(enabled);
    add(name);
    add(version);
    add(description);
    add(mod);
    add(available);
}

MainWindow::MainWindow(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Window(cobject)
    , mod_list(lookup_widget<Gtk::TreeView>(xml, "main.mod_list"))
    , empty_hint(lookup_widget<Gtk::Widget>(xml, "main.empty"))
    , empty_label(lookup_widget<Gtk::Label>(xml, "main.empty_label"))
    , show_build(lookup_widget<Gtk::Button>(xml, "main.show_build"))
    , statusbar(lookup_widget<Gtk::Statusbar>(xml, "main.statusbar"))
    , list_scroll(lookup_widget<Gtk::Widget>(xml, "main_list_scroll"))
    , empty_create(lookup_widget<Gtk::Button>(xml, "main.empty_create"))
    , empty_import(lookup_widget<Gtk::Button>(xml, "main.empty_import"))
{
    mod_list->set_model(Gtk::ListStore::create(columns));

    auto* mod_column = Gtk::manage(new Gtk::TreeViewColumn("Mod"));
    auto* toggle = Gtk::manage(new Gtk::CellRendererToggle());
    toggle->set_activatable(true);
    toggle->signal_toggled().connect(sigc::mem_fun(*this, &MainWindow::mod_enable_clicked));
    mod_column->pack_start(*toggle, false);
    mod_column->add_attribute(toggle->property_active(), columns.enabled);
    auto* name = Gtk::manage(new Gtk::CellRendererText());
    mod_column->pack_start(*name, true);
    mod_column->add_attribute(name->property_text(), columns.name);
    mod_column->set_resizable(true);
    mod_column->set_expand(true);
    mod_list->append_column(*mod_column);
    auto* version = Gtk::manage(new Gtk::TreeViewColumn("Version", columns.version));
    version->set_resizable(true);
    mod_list->append_column(*version);
    auto* description = Gtk::manage(new Gtk::TreeViewColumn("Description", columns.description));
    description->set_resizable(true);
    description->set_expand(true);
    mod_list->append_column(*description);
    // An enabled mod whose file is missing is greyed out; its box can still be cleared.
    mod_column->add_attribute(*name, "sensitive", columns.available);
    for (Gtk::TreeViewColumn* column : {version, description})
        column->add_attribute(*column->get_first_cell_renderer(), "sensitive", columns.available);
    mod_list->set_search_column(columns.name);
    mod_list->signal_row_activated().connect(sigc::mem_fun(*this, &MainWindow::mod_list_row_activated));

    struct {
        const char* name;
        void (MainWindow::*handler)();
    } const items[] = {
        {"main.menu.preferences", &MainWindow::menu_prefs_activated},
        {"main.menu.create_mod", &MainWindow::menu_create_mod_activated},
        {"main.menu.import_archive", &MainWindow::menu_import_archive_activated},
        {"main.menu.mod_properties", &MainWindow::menu_mod_properties_activated},
        {"main.menu.delete_mod", &MainWindow::menu_delete_mod_activated},
        {"main.menu.build", &MainWindow::menu_build_activated},
        {"main.menu.about", &MainWindow::menu_about_activated},
        {"main.menu.new_profile", &MainWindow::menu_new_profile_activated},
        {"main.menu.rename_profile", &MainWindow::menu_rename_profile_activated},
        {"main.menu.delete_profile", &MainWindow::menu_delete_profile_activated},
        {"main.menu.export_setup", &MainWindow::menu_export_setup_activated},
        {"main.menu.import_setup", &MainWindow::menu_import_setup_activated},
        {"main.menu.restore_build", &MainWindow::menu_restore_build_activated},
        {"main.menu.play_without_mods", &MainWindow::menu_play_without_mods_activated},
    };
    for (const auto& item : items)
        lookup_widget<Gtk::MenuItem>(xml, item.name)
            ->signal_activate()
            .connect(sigc::mem_fun(*this, item.handler));
    show_build->signal_clicked().connect(sigc::mem_fun(*this, &MainWindow::menu_build_activated));
    lookup_widget<Gtk::MenuItem>(xml, "main.menu.quit")
        ->signal_activate()
        .connect(sigc::mem_fun(*this, &MainWindow::hide));
    empty_create->signal_clicked().connect(sigc::mem_fun(*this, &MainWindow::menu_create_mod_activated));
    empty_import->signal_clicked().connect(sigc::mem_fun(*this, &MainWindow::menu_import_archive_activated));
    lookup_widget<Gtk::Button>(xml, "main.empty_prefs")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &MainWindow::menu_prefs_activated));
    lookup_widget<Gtk::Button>(xml, "main.empty_detect")->signal_clicked().connect([this] { detect_game(false); });
    lookup_widget<Gtk::Button>(xml, "main.refresh")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &MainWindow::refresh_clicked));
    lookup_widget<Gtk::Button>(xml, "main.apply")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &MainWindow::apply_clicked));
    build_profile_widgets(xml);
}

void MainWindow::set_orrindel(Orrindel* o)
{
    orrindel = o;
    orrindel->signal_mods_changed().connect(sigc::mem_fun(*this, &MainWindow::orrindel_mods_changed));
    orrindel->signal_enabled_mods_changed().connect(
        sigc::mem_fun(*this, &MainWindow::orrindel_enabled_mods_changed));
    orrindel->signal_prefs_changed().connect(sigc::mem_fun(*this, &MainWindow::orrindel_prefs_changed));
    orrindel->signal_profiles_changed().connect(sigc::mem_fun(*this, &MainWindow::orrindel_profiles_changed));
    show_empty_hint();
}

void MainWindow::set_interface(velmora::Interface* i) { ui = i; }

Glib::RefPtr<Gtk::ListStore> MainWindow::get_store()
{
    return Glib::RefPtr<Gtk::ListStore>::cast_static(mod_list->get_model());
}

Mod* MainWindow::selected_mod()
{
    Gtk::TreeModel::iterator it = mod_list->get_selection()->get_selected();
    return it ? static_cast<Mod*>((*it)[columns.mod]) : nullptr;
}

void MainWindow::orrindel_mods_changed()
{
    Glib::RefPtr<Gtk::ListStore> store = get_store();
    store->clear();
    const std::set<Mod*>& enabled = orrindel->get_enabled_mods();
    for (Mod* mod : orrindel->get_mods()) {
        Gtk::TreeModel::Row row = *store->append();
        row[columns.enabled] = enabled.count(mod) > 0;
        row[columns.name] = listed_name(mod);
        row[columns.version] = mod->version;
        row[columns.description] = mod->description;
        row[columns.mod] = mod;
        row[columns.available] = true;
    }
    for (const std::string& name : orrindel->get_missing_mods()) {
        Gtk::TreeModel::Row row = *store->append();
        row[columns.enabled] = true;
        row[columns.name] = name;
        row[columns.description] = "file missing";
        row[columns.mod] = nullptr;
        row[columns.available] = false;
    }
    show_summary();
    show_empty_hint();
}

void MainWindow::orrindel_prefs_changed()
{
    show_empty_hint();
    // Also the end of reading the settings at start-up: their profiles and build.
    fill_profile_chooser();
    show_fingerprint();
    // The summary says the target: shown again when that changed, else a
    // command's own message stays.
    const std::string target = orrindel->describe_target();
    if (!busy && target != described_target) {
        described_target = target;
        show_summary();
    }
}

// A first start shows an empty list: it says what to do, in order, with the
// buttons to do it. Mods need the game's files, so the game folder comes first.
void MainWindow::show_empty_hint()
{
    const bool empty = orrindel->get_mods().empty();
    const bool have_game = !orrindel->get_civ4_dir().empty();
    if (!have_game)
        empty_label->set_markup(
            "<b>No mods yet.</b>\n\n"
            "1. Tell Velmora where Civilization IV is installed: <i>Detect Game</i> looks in Steam, Proton "
            "and Wine folders, or set the folders by hand.\n"
            "2. Then make a mod: import an archive you downloaded (zip, 7z, rar), or create one from a folder "
            "of changed game files.");
    else
        empty_label->set_markup(
            "<b>No mods in the mods folder.</b>\n\n"
            "Import a mod archive you downloaded (zip, 7z, rar), or create a mod from a folder of changed "
            "game files. Tick the mods you want and press <i>Apply Mods</i>.");
    empty_create->set_sensitive(have_game);
    empty_import->set_sensitive(have_game);
    if (empty) {
        list_scroll->hide();
        empty_hint->show();
    } else {
        empty_hint->hide();
        list_scroll->show();
    }
}

void MainWindow::orrindel_enabled_mods_changed()
{
    get_store()->foreach_iter(sigc::mem_fun(*this, &MainWindow::set_mods_enabled_foreach));
    show_summary();
}

bool MainWindow::set_mods_enabled_foreach(const Gtk::TreeIter& it)
{
    Gtk::TreeModel::Row row = *it;
    Mod* mod = row[columns.mod];
    if (mod)
        row[columns.enabled] = orrindel->get_enabled_mods().count(mod) > 0;
    else
        row[columns.enabled] = orrindel->get_missing_mods().count(Glib::ustring(row[columns.name])) > 0;
    return false;
}

void MainWindow::mod_enable_clicked(const Glib::ustring& path)
{
    if (busy)
        return;
    Gtk::TreeModel::iterator it = get_store()->get_iter(Gtk::TreeModel::Path(path));
    if (!it)
        return;
    Gtk::TreeModel::Row row = *it;
    Mod* mod = row[columns.mod];
    if (!mod) {
        // A missing mod can only be disabled; it then leaves the list.
        orrindel->disable_missing_mod(Glib::ustring(row[columns.name]));
        orrindel_mods_changed();
        return;
    }
    bool enabled = !row[columns.enabled];
    if (enabled && !may_enable_version(mod))
        return;
    row[columns.enabled] = enabled;
    orrindel->set_mod_enabled(mod, enabled);
    // The core may have refused; the mark shows what it holds.
    row[columns.enabled] = orrindel->get_enabled_mods().count(mod) > 0;
}

// Two versions of one mod carry its name; the list tells them apart by file.
std::string MainWindow::listed_name(const Mod* mod) const
{
    const std::string key = orrindel->key_of(mod);
    if (mod->name.empty() || key == mod->name)
        return mod->name;
    return mod->name + "  (" + key + ")";
}

// Two versions of one mod enabled together conflict wherever they differ:
// seldom what the user meant, so the user says which. False: enable nothing.
bool MainWindow::may_enable_version(Mod* mod)
{
    const std::vector<Mod*> others = orrindel->other_versions_enabled(mod);
    if (others.empty())
        return true;
    std::string files;
    for (const Mod* other : others)
        files += (files.empty() ? "" : ", ") + other->path[-1];
    const std::string file = mod->path[-1];
    const std::string text = format("%S: another version of '%S' is enabled (%S).\n\nUse this version instead "
                                    "of it, or enable both? Two versions of a mod conflict wherever they differ.",
        &file, &mod->name, &files);
    Gtk::MessageDialog dialog(*this, text, false, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_NONE, true);
    dialog.add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
    dialog.add_button("Enable _Both", version_enable_both);
    dialog.add_button("_Use This Version", version_use_this);
    dialog.set_default_response(version_use_this);
    const int response = run_modal(dialog);
    dialog.hide();
    if (response == version_use_this)
        for (Mod* other : others)
            orrindel->set_mod_enabled(other, false);
    return response == version_use_this || response == version_enable_both;
}

void MainWindow::refresh_clicked()
{
    if (busy)
        return;
    orrindel->load_mods();
}

void MainWindow::menu_prefs_activated()
{
    if (busy)
        return;
    ui->prefs->set_transient_for(*this);
    ui->prefs->present();
}

void MainWindow::menu_about_activated()
{
    ui->about->set_transient_for(*this);
    run_modal(*ui->about);
    ui->about->hide();
}

void MainWindow::menu_mod_properties_activated()
{
    if (busy)
        return;
    Mod* mod = selected_mod();
    if (!mod) {
        show_error(this, "No mod selected");
        return;
    }
    ModPropDialog& properties = *ui->mod_properties;
    try {
        properties.set_mod(mod);
    } catch (const std::exception& e) {
        // GenericError and its kinds; anything else of the XML library too.
        show_error(this, e.what());
        return;
    }
    // Modal and guarded: the mod it shows must not be deleted or rescanned meanwhile.
    Busy guard(*this, false);
    properties.set_transient_for(*this);
    properties.set_modal(true);
    run_window(properties);
}

void MainWindow::mod_list_row_activated(const Gtk::TreeModel::Path&, Gtk::TreeViewColumn*)
{
    menu_mod_properties_activated();
}

void MainWindow::menu_delete_mod_activated()
{
    if (busy)
        return;
    Mod* mod = selected_mod();
    if (!mod) {
        show_error(this, "No mod selected");
        return;
    }
    std::string name = shown_name(mod);
    if (show_message(this, format("Delete mod '%S'?", &name), Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_OK_CANCEL)
        != Gtk::RESPONSE_OK)
        return;
    // A file that is already gone needs no deleting; any other failure keeps
    // the mod listed, as its file will be at the next rescan.
    if (platform::unlink(mod->path.str()) != 0 && errno != ENOENT) {
        std::string file = platform::native(mod->path);
        std::string reason = std::strerror(errno);
        show_error(this,
            format("Cannot delete the mod file \"%S\": %S. The mod stays in the list.", &file, &reason));
        return;
    }
    orrindel->remove_mod(mod);
}

// A folder of the settings that is gone (a drive not mounted, a game that
// moved) is said as such before the command starts, with the preferences at
// hand to set it again.
bool MainWindow::folders_ready(FolderUse use)
{
    const std::string problem = orrindel->folder_problem(use);
    if (problem.empty())
        return true;
    show_status_message("Nothing was done: a folder in the preferences is missing.");
    if (show_error_offering_prefs(this, problem))
        menu_prefs_activated();
    return false;
}

// Files in the custom-assets folder that Velmora did not write are the user's:
// the user hears where they go before the folder is replaced.
bool MainWindow::may_replace_custom_assets()
{
    const ForeignFiles found = orrindel->find_foreign_files();
    if (!found.any())
        return true;
    const std::string folder = platform::native(orrindel->get_custom_assets_dir());
    const std::string backup = platform::native(orrindel->next_backup_folder());
    std::string what;
    if (found.foreign)
        what = count_text(found.foreign, "file", "files") + " that Velmora did not write";
    if (found.changed)
        what += (what.empty() ? "" : " and ") + count_text(found.changed, "file", "files")
            + " changed since Velmora wrote " + (found.changed == 1 ? "it" : "them");
    const std::string text = format("The custom assets folder \"%S\" holds %S.\n\nTo keep them, Velmora moves "
                                    "the old folder to \"%S\" and builds a new one. Apply the mods?",
        &folder, &what, &backup);
    return show_message(this, text, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_OK_CANCEL) == Gtk::RESPONSE_OK;
}

void MainWindow::apply_clicked()
{
    if (busy || !folders_ready(FolderUse::Apply))
        return;
    if (!may_replace_custom_assets() || !preview_accepted()) {
        show_status_message("Nothing was applied.");
        return;
    }
    std::string error;
    {
        Busy guard(*this, true);
        StatusDialog& status = *ui->status;
        status.begin("Applying mods", *this);
        pump_events();
        sigc::connection progress
            = orrindel->signal_apply_progress().connect(sigc::mem_fun(*this, &MainWindow::apply_progress));
        sigc::connection priority
            = orrindel->signal_mod_priority().connect(sigc::mem_fun(*this, &MainWindow::mod_priority));
        try {
            orrindel->apply();
        } catch (const GenericError& e) {
            error = e.what();
        } catch (const std::exception& e) {
            error = format("Applying mods failed: %s", e.what());
        }
        progress.disconnect();
        priority.disconnect();
        status.hide();
    }
    show_fingerprint();
    if (!error.empty()) {
        show_status_message("Applying mods failed.");
        show_error(this, error);
        return;
    }
    std::string folder = platform::native(orrindel->get_target_dir());
    std::string mods = count_text(orrindel->get_enabled_mods().size(), "mod", "mods");
    std::string message = format("Applied %S to \"%S\"", &mods, &folder);
    const Verification& verification = orrindel->get_verification();
    const unsigned at_fault = verification.files_at_fault();
    if (at_fault != 0) {
        std::string files = count_text(at_fault, "file", "files");
        message += format("; %S may not load in the game", &files);
    }
    const unsigned broken = verification.references.caused_by_mods();
    if (broken != 0) {
        std::string names = count_text(broken, "name points", "names point");
        message += format("; %S nowhere", &names);
    }
    message += ".";
    if (!orrindel->get_last_backup().empty()) {
        std::string backup = platform::native(orrindel->get_last_backup());
        message += format(" The old folder was kept as \"%S\".", &backup);
    }
    if (!show_start_hint())
        for (const ApplyNote& note : orrindel->get_apply_notes())
            message += " " + note.text;
    show_status_message(message);
    show_build->show();
    if (ui->build_view->is_visible())
        ui->build_view->refresh();
    const std::vector<std::string>& warnings = orrindel->get_apply_warnings();
    if (!warnings.empty()) {
        std::string text = "The mods were applied. Some of what they remove was never in the game's files:";
        for (const std::string& warning : warnings)
            text += "\n\n" + warning;
        show_message(this, text, Gtk::MESSAGE_WARNING, Gtk::BUTTONS_OK);
    }
    if (at_fault != 0 || broken != 0)
        show_schema_faults(verification);
}

// The status bar is too narrow for how to start a mod target, and what
// failed with the game's own files must be seen: both in a dialog. Returns
// whether it showed one (it then told the notes of the apply too).
bool MainWindow::show_start_hint()
{
    const std::vector<ApplyNote>& notes = orrindel->get_apply_notes();
    bool failed = false;
    for (const ApplyNote& note : notes)
        failed = failed || note.failed;
    if (orrindel->get_mod_target().empty() && !failed)
        return false;
    std::string text;
    if (!orrindel->get_mod_target().empty())
        text = orrindel->describe_target() + ".\n\n" + how_to_start(orrindel->get_mod_target());
    for (const ApplyNote& note : notes)
        text += (text.empty() ? "" : "\n\n") + note.text;
    show_message(this, text, failed ? Gtk::MESSAGE_WARNING : Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK);
    return true;
}

// With the preference on, builds the mods aside first and, when the build
// would change, shows what changes and lets the user cancel. Questions that no
// remembered answer settles are asked by the apply itself, so no preview
// comes before them.
bool MainWindow::preview_accepted()
{
    if (!orrindel->get_preview_before_apply())
        return true;
    BuildPreview preview;
    std::string error;
    {
        Busy guard(*this, true);
        StatusDialog& status = *ui->status;
        status.begin("Looking at what the apply will change", *this);
        pump_events();
        sigc::connection progress
            = orrindel->signal_apply_progress().connect(sigc::mem_fun(*this, &MainWindow::apply_progress));
        try {
            preview = orrindel->preview();
        } catch (const GenericError& e) {
            error = e.what();
        } catch (const std::exception& e) {
            error = format("Looking at what the apply will change failed: %s", e.what());
        }
        progress.disconnect();
        status.hide();
        if (error.empty() && preview.unanswered.empty() && preview.changes()) {
            const bool go
                = status.ask_to_apply(preview_headline(preview), preview_lines(preview), true, *this);
            if (!status.preview_again->get_active()) {
                orrindel->set_preview_before_apply(false);
                try {
                    orrindel->save_changed_config();
                } catch (const GenericError& e) {
                    error = e.what();
                }
            }
            if (!error.empty())
                show_error(this, error);
            return go;
        }
    }
    if (!error.empty()) {
        show_error(this, error);
        return false;
    }
    return true;
}

void MainWindow::menu_build_activated()
{
    BuildWindow& window = *ui->build_view;
    window.refresh();
    window.set_transient_for(*this);
    window.present();
}

void MainWindow::show_schema_faults(const Verification& verification)
{
    std::vector<std::string> lines;
    for (const FileFaults& f : verification.files)
        for (const SchemaViolation& v : f.faults)
            lines.push_back(describe(f.file, v, false));
    std::vector<std::string> references;
    for (const BrokenReference& r : verification.references.broken)
        if (!r.in_game)
            references.push_back(describe(r));
    SchemaFaultsDialog& dialog = *ui->schema_faults;
    dialog.set_faults(verification.files_at_fault(), lines);
    dialog.set_references(references);
    dialog.set_transient_for(*this);
    run_modal(dialog);
    dialog.hide();
}

void MainWindow::show_progress(const std::string& message, float fraction)
{
    StatusDialog& status = *ui->status;
    status.label->set_text(message);
    status.progress->set_fraction(fraction < 0 ? 0.0 : fraction > 1 ? 1.0 : fraction);
    pump_events();
}

void MainWindow::apply_progress(const std::string& message, float fraction)
{
    show_progress(message, fraction);
}

unsigned int MainWindow::mod_priority(PriorityQuestion& question)
{
    ModPriorityDialog& dialog = *ui->mod_priority;
    const std::string first = question.first->name.empty() ? shown_name(question.first) : listed_name(question.first);
    const std::string second
        = question.second->name.empty() ? shown_name(question.second) : listed_name(question.second);
    dialog.set_mod_names(first, second);
    dialog.set_prompt(question.message);
    dialog.set_details(question.report().text());
    dialog.set_transient_for(*this);
    int response = run_modal(dialog);
    dialog.hide();
    question.remember = (response == 1 || response == 2) && dialog.get_remember();
    // A closed dialog answers with a negative response: neither 1 nor 2.
    return static_cast<unsigned int>(response);
}

void MainWindow::menu_create_mod_activated()
{
    if (busy || !folders_ready(FolderUse::CreateMod))
        return;
    CreateModDialog& dlg = *ui->create_mod;
    dlg.clear();
    dlg.set_transient_for(*this);
    const Path& civ4 = orrindel->get_civ4_dir();
    dlg.start_dir = civ4.empty() ? Path() : civ4 / Path("Mods");
    int response = ask_new_mod(dlg);
    dlg.hide();

    Busy guard(*this, true);
    StatusDialog& status = *ui->status;
    status.begin("Creating mod", *this);
    pump_events();
    if (response == Gtk::RESPONSE_OK) {
        try {
            create_mod(dlg);
        } catch (const std::exception& e) {
            // GenericError and its kinds; anything else of the XML library too.
            status.hide();
            show_error(this, e.what());
        }
    }
    status.hide();
}

// Runs the dialog until it is cancelled or describes a mod that can be made;
// a refused answer leaves the dialog open with the user's entries.
int MainWindow::ask_new_mod(CreateModDialog& dlg)
{
    for (;;) {
        int response = run_modal(dlg);
        if (response != Gtk::RESPONSE_OK)
            return response;
        std::string problem = new_mod_problem(dlg);
        if (!problem.empty()) {
            show_error(&dlg, problem);
            continue;
        }
        Path file = new_mod_file(*orrindel, dlg.name_entry->get_text());
        if (!exists(file))
            return response;
        std::string shown = platform::native(file);
        if (show_message(&dlg, format("The mod file \"%S\" already exists. Replace it?", &shown),
                Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_OK_CANCEL)
            == Gtk::RESPONSE_OK)
            return response;
    }
}

std::string MainWindow::new_mod_problem(const CreateModDialog& dlg)
{
    std::string folder = dlg.dir_entry->get_text();
    if (folder.empty())
        return "Choose the folder that holds the modified game files.";
    if (!exists(Path(folder)))
        return format("The folder \"%S\" does not exist.", &folder);
    return check_mod_file_name(dlg.name_entry->get_text());
}

void MainWindow::create_mod(const CreateModDialog& dlg)
{
    const NewModHeader header{dlg.name_entry->get_text(), dlg.author_entry->get_text(),
        std::string(dlg.version_entry->get_text()), std::string(dlg.description_entry->get_text())};
    const NewMod made = velmora::create_mod(*orrindel, Path(dlg.dir_entry->get_text()), header,
        new_mod_file(*orrindel, header.name), dlg.report_check->get_active(),
        sigc::mem_fun(*this, &MainWindow::show_progress));
    if (!made.mod)
        return;
    const std::string changes = count_text(made.mod->changes.size(), "change", "changes");
    show_status_message(format("Created the mod '%S' with %S.", &header.name, &changes)
        + unread_text(made.skipped, made.documents));
}

void MainWindow::menu_import_archive_activated()
{
    if (busy || !folders_ready(FolderUse::CreateMod))
        return;
    Gtk::FileChooserDialog chooser("Import Mod Archive", Gtk::FILE_CHOOSER_ACTION_OPEN);
    chooser.set_transient_for(*this);
    chooser.add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
    chooser.add_button("_Import", Gtk::RESPONSE_OK);
    chooser.set_default_response(Gtk::RESPONSE_OK);
    // Browsers save downloads there.
    const Path downloads = orrindel->get_home() / Path("Downloads");
    if (!orrindel->get_home().empty() && exists(downloads))
        chooser.set_current_folder(platform::native(downloads));
    Gtk::FileFilter archives;
    archives.set_name("Mod archives (zip, 7z, rar, tar)");
    for (const char* pattern : {"*.zip", "*.ZIP", "*.7z", "*.rar", "*.RAR", "*.tar", "*.tar.*", "*.tgz"})
        archives.add_pattern(pattern);
    chooser.add_filter(archives);
    Gtk::FileFilter all;
    all.set_name("All files");
    all.add_pattern("*");
    chooser.add_filter(all);
    if (run_modal(chooser) != Gtk::RESPONSE_OK)
        return;
    const std::string file = chooser.get_filename();
    chooser.hide();
    if (!file.empty())
        import_archive(Path(file));
}

// The form of "Create Mod" asks for the new mod's header first, with the
// name and version the archive's file name suggests.
void MainWindow::import_archive(const Path& archive)
{
    if (busy || !folders_ready(FolderUse::CreateMod))
        return;
    const ArchiveFileNames suggested = names_from_archive_file(archive.empty() ? std::string() : archive[-1]);
    CreateModDialog& dlg = *ui->create_mod;
    dlg.clear();
    dlg.set_archive_mode(true);
    dlg.set_transient_for(*this);
    dlg.dir_entry->set_text(platform::native(archive));
    dlg.name_entry->set_text(suggested.name);
    dlg.version_entry->set_text(suggested.version);
    const int response = ask_new_mod(dlg);
    dlg.hide();
    if (response != Gtk::RESPONSE_OK)
        return;
    const std::string mod_name = dlg.name_entry->get_text();
    const std::string description = dlg.description_entry->get_text();
    // An empty description leaves the one the archive's readme gives.
    NewModHeader header{mod_name, dlg.author_entry->get_text(), std::string(dlg.version_entry->get_text()),
        std::nullopt};
    if (!description.empty())
        header.description = description;
    const bool report = dlg.report_check->get_active();
    const Path file = new_mod_file(*orrindel, mod_name);
    std::string error;
    std::string unread;
    {
        Busy guard(*this, true);
        StatusDialog& status = *ui->status;
        status.begin("Importing mod", *this);
        pump_events();
        try {
            const NewMod made = import_mod(*orrindel, archive, header, file, report, ArchiveLimits(),
                sigc::mem_fun(*this, &MainWindow::show_progress),
                sigc::mem_fun(*this, &MainWindow::archive_limit_passed));
            unread = unread_text(made.skipped, made.documents);
        } catch (const std::exception& e) {
            // GenericError and its kinds; anything else of the XML library too.
            error = e.what();
        }
        status.hide();
    }
    if (!error.empty()) {
        show_status_message("Importing the archive failed.");
        show_error(this, error);
        return;
    }
    const std::string shown = platform::native(archive);
    show_status_message(format("Imported the mod '%S' from \"%S\".", &mod_name, &shown) + unread);
}

bool MainWindow::archive_limit_passed(ArchiveLimits::Kind, const std::string& message)
{
    return show_message(ui->status, message + " Import it anyway if you trust it.", Gtk::MESSAGE_WARNING,
               Gtk::BUTTONS_YES_NO)
        == Gtk::RESPONSE_YES;
}

void MainWindow::detect_game(bool first_start)
{
    if (busy || (first_start && !orrindel->get_civ4_dir().empty()))
        return;
    const char* wine_prefix = std::getenv("WINEPREFIX");
    const std::vector<GameInstall> installs
        = detect_game_installs(orrindel->get_home(), wine_prefix ? wine_prefix : "");
    if (installs.empty()) {
        if (!first_start)
            show_message(this,
                "No Civilization IV installation was found in the Steam libraries and Wine prefixes of your "
                "home folder. Set the game folder in the preferences.",
                Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK);
        return;
    }
    DetectDialog& dialog = *ui->detect;
    std::string intro = installs.size() == 1 ? "Civilization IV was found on this computer. Use it?"
                                             : "Civilization IV was found in several places. Choose the one to use:";
    if (first_start)
        intro = "No game folder is set yet (the preferences can change it later). " + intro;
    dialog.set_installs(installs, intro);
    dialog.set_transient_for(*this);
    const int response = run_modal(dialog);
    dialog.hide();
    const int chosen = dialog.chosen();
    if (response != Gtk::RESPONSE_OK || chosen < 0)
        return;
    const GameInstall& install = installs[static_cast<std::size_t>(chosen)];
    try {
        use_game_install(*orrindel, install);
    } catch (const GenericError& e) {
        show_error(this, e.what());
        return;
    }
    const std::string folder = platform::native(install.civ4_dir);
    show_status_message(format("Using the game in \"%S\".", &folder));
}

void MainWindow::show_status_message(const std::string& message)
{
    statusbar->pop();
    statusbar->push(message);
    status_message = message;
}

void MainWindow::show_summary()
{
    if (orrindel->mods_dir_missing()) {
        std::string folder = platform::native(orrindel->get_mods_dir());
        show_status_message(format("The mods folder \"%S\" does not exist.", &folder));
        return;
    }
    std::string mods = count_text(orrindel->get_mods().size(), "mod", "mods");
    unsigned enabled = static_cast<unsigned>(orrindel->get_enabled_mods().size());
    std::string summary = format("%S, %u enabled", &mods, enabled);
    if (!orrindel->get_missing_mods().empty())
        summary += format(", %u missing", static_cast<unsigned>(orrindel->get_missing_mods().size()));
    // Said only when it differs from the plain build, which most users have.
    if (!orrindel->get_base_mod().empty() || !orrindel->get_mod_target().empty())
        summary += ". " + orrindel->describe_target();
    show_status_message(summary);
}

bool MainWindow::on_delete_event(GdkEventAny*)
{
    // Closing ends the program; never in the middle of a command.
    if (!busy)
        hide();
    return true;
}

} // namespace velmora
