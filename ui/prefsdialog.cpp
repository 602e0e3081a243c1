#include "ui/prefsdialog.h"

#include <gtkmm/filechooserdialog.h>
#include <gtkmm/stock.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/errors.h"
#include "base/format.h"
#include "core/game_detect.h"
#include "core/mod_target.h"
#include "core/orrindel.h"
#include "core/prefs_checks.h"
#include "path/fs.h"
#include "path/path.h"
#include "path/platform.h"
#include "ui/detectdialog.h"
#include "ui/lookup.h"
#include "ui/modal.h"

namespace velmora {

namespace {

// The response of the "Detect" button of the dialog's button row.
constexpr int detect_response = 1;

} // namespace

PrefsDialog::PrefsDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Dialog(cobject)
    , civ4_dir_entry(lookup_widget<Gtk::Entry>(xml, "prefs.civ4_dir"))
    , mods_dir_entry(lookup_widget<Gtk::Entry>(xml, "prefs.mods_dir"))
    , custom_assets_dir_entry(lookup_widget<Gtk::Entry>(xml, "prefs.custom_assets_dir"))
    , ask_fields_only_check(lookup_widget<Gtk::CheckButton>(xml, "prefs.ask_fields_only"))
    , forget_answers_button(lookup_widget<Gtk::Button>(xml, "prefs.forget_answers"))
    , base_mod_entry(lookup_widget<Gtk::Entry>(xml, "prefs.base_mod"))
    , mod_target_entry(lookup_widget<Gtk::Entry>(xml, "prefs.mod_target"))
    , installed_mods_view(lookup_widget<Gtk::TreeView>(xml, "prefs.installed_mods"))
    , game_ini_mod_check(lookup_widget<Gtk::CheckButton>(xml, "prefs.game_ini_mod"))
    , empty_cache_check(lookup_widget<Gtk::CheckButton>(xml, "prefs.empty_cache"))
    , installed_mods(Gtk::ListStore::create(installed_columns))
{
    installed_mods_view->set_model(installed_mods);
    installed_mods_view->append_column("Mod", installed_columns.name);
    installed_mods_view->get_selection()->signal_changed().connect(
        sigc::mem_fun(*this, &PrefsDialog::installed_mod_picked));
    civ4_dir_entry->signal_changed().connect(sigc::mem_fun(*this, &PrefsDialog::civ4_dir_changed));
    lookup_widget<Gtk::Button>(xml, "prefs.base_mod_browse")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &PrefsDialog::base_mod_browse_clicked));
    forget_answers_button->signal_clicked().connect(sigc::mem_fun(*this, &PrefsDialog::forget_answers_clicked));
    lookup_widget<Gtk::Button>(xml, "prefs.civ4_dir_browse")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &PrefsDialog::civ4_dir_browse_clicked));
    lookup_widget<Gtk::Button>(xml, "prefs.mods_dir_browse")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &PrefsDialog::mods_dir_browse_clicked));
    lookup_widget<Gtk::Button>(xml, "prefs.custom_assets_dir_browse")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &PrefsDialog::assets_dir_browse_clicked));
}

void PrefsDialog::set_orrindel(Orrindel* o)
{
    if (orrindel)
        return;
    orrindel = o;
    orrindel->signal_prefs_changed().connect(sigc::mem_fun(*this, &PrefsDialog::orrindel_prefs_changed));
}

void PrefsDialog::orrindel_prefs_changed()
{
    if (updating || !orrindel)
        return;
    civ4_dir_entry->set_text(platform::native(orrindel->get_civ4_dir()));
    mods_dir_entry->set_text(platform::native(orrindel->get_mods_dir()));
    custom_assets_dir_entry->set_text(platform::native(orrindel->get_custom_assets_dir()));
    ask_fields_only_check->set_active(orrindel->get_ask_fields_only());
    base_mod_entry->set_text(platform::native(orrindel->get_base_mod()));
    mod_target_entry->set_text(orrindel->get_mod_target());
    game_ini_mod_check->set_active(orrindel->get_game_ini_mod());
    empty_cache_check->set_active(orrindel->get_empty_game_cache());
    civ4_dir_changed();
    forget_answers_button->set_sensitive(!orrindel->get_remembered_answers().empty());
}

void PrefsDialog::on_show()
{
    if (orrindel)
        forget_answers_button->set_sensitive(!orrindel->get_remembered_answers().empty());
    Gtk::Dialog::on_show();
}

void PrefsDialog::forget_answers_clicked()
{
    if (!orrindel)
        return;
    try {
        orrindel->forget_all_answers();
    } catch (const GenericError& e) {
        show_error(this, e.what());
    }
    forget_answers_button->set_sensitive(!orrindel->get_remembered_answers().empty());
}

void PrefsDialog::civ4_dir_browse_clicked() { browse("Select Civilization IV directory", *civ4_dir_entry); }

void PrefsDialog::mods_dir_browse_clicked() { browse("Select Mods directory", *mods_dir_entry); }

void PrefsDialog::assets_dir_browse_clicked()
{
    browse("Select Custom Assets directory", *custom_assets_dir_entry);
}

void PrefsDialog::base_mod_browse_clicked() { browse("Select the base mod's folder", *base_mod_entry); }

void PrefsDialog::civ4_dir_changed()
{
    listing = true;
    installed_mods->clear();
    const std::string typed = civ4_dir_entry->get_text();
    for (const FoundMod& mod : find_installed_mods(typed.empty() ? Path() : Path(typed))) {
        Gtk::TreeModel::Row row = *installed_mods->append();
        row[installed_columns.name] = mod.name;
        row[installed_columns.folder] = platform::native(mod.folder);
        // The base mod in force is shown picked.
        if (base_mod_entry->get_text() == platform::native(mod.folder))
            installed_mods_view->get_selection()->select(row);
    }
    listing = false;
}

void PrefsDialog::installed_mod_picked()
{
    const Gtk::TreeModel::iterator row = installed_mods_view->get_selection()->get_selected();
    if (listing || !row)
        return;
    const Glib::ustring folder = (*row)[installed_columns.folder];
    base_mod_entry->set_text(folder);
}

void PrefsDialog::detect_clicked()
{
    if (!orrindel || !detect_dialog)
        return;
    const char* wine_prefix = std::getenv("WINEPREFIX");
    const std::vector<GameInstall> installs
        = detect_game_installs(orrindel->get_home(), wine_prefix ? wine_prefix : "");
    if (installs.empty()) {
        show_message(this,
            "No Civilization IV installation was found in the Steam libraries and Wine prefixes of your home "
            "folder. Choose the game's folder with Browse.",
            Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK);
        return;
    }
    detect_dialog->set_installs(installs,
        installs.size() == 1 ? "Civilization IV was found here. Use its folders?"
                             : "Civilization IV was found in several places. Choose the one to use:");
    detect_dialog->set_transient_for(*this);
    const int response = run_modal(*detect_dialog);
    detect_dialog->hide();
    const int chosen = detect_dialog->chosen();
    if (response != Gtk::RESPONSE_OK || chosen < 0)
        return;
    const GameInstall& install = installs[static_cast<std::size_t>(chosen)];
    civ4_dir_entry->set_text(platform::native(install.civ4_dir));
    if (!install.custom_assets_dir.empty()) {
        custom_assets_dir_entry->set_text(platform::native(install.custom_assets_dir));
        detected_custom_assets_dir = install.custom_assets_dir;
    }
}

void PrefsDialog::browse(const char* title, Gtk::Entry& entry)
{
    Gtk::FileChooserDialog chooser(title, Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
    chooser.set_transient_for(*this);
    if (!entry.get_text().empty())
        chooser.set_current_folder(platform::native(Path(entry.get_text())));
    chooser.add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
    chooser.add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
    chooser.set_default_response(Gtk::RESPONSE_OK);
    if (run_modal(chooser) != Gtk::RESPONSE_OK)
        return;
    // The chosen folder: the one selected in the list, or the one shown when none is.
    std::string folder = chooser.get_filename();
    if (folder.empty())
        folder = chooser.get_current_folder();
    if (!folder.empty())
        entry.set_text(folder);
}

// The custom-assets folder is deleted and rebuilt by every apply: the core's
// rule refuses the game's own "Assets" folder and the other folders it must
// not delete, and a folder that is not named like an assets folder is taken
// only when the user insists.
bool PrefsDialog::custom_assets_dir_accepted()
{
    FolderSettings folders = folder_settings(*orrindel);
    folders.old_civ4_dir = folders.civ4_dir;
    folders.civ4_dir = Path(civ4_dir_entry->get_text());
    folders.mods_dir = Path(mods_dir_entry->get_text());
    const CustomAssetsJudgement judgement
        = judge_custom_assets_dir(Path(custom_assets_dir_entry->get_text()), folders);
    switch (judgement.verdict) {
    case CustomAssetsVerdict::Accepted:
    case CustomAssetsVerdict::NotSet: // nothing to delete; apply asks for it
        return true;
    case CustomAssetsVerdict::UnusualName:
        return show_message(this,
                   "Your custom assets directory does not seem to be an assets directory!  This might be "
                   "okay, if you know what you're doing.  However, please note that this directory will "
                   "be deleted when you apply mods.  Continue?",
                   Gtk::MESSAGE_WARNING, Gtk::BUTTONS_YES_NO)
            == Gtk::RESPONSE_YES;
    case CustomAssetsVerdict::GameAssets:
        show_error(this,
            "Your custom assets directory is the same as your main assets directory.  This won't work.  "
            "Please change your custom assets directory to something else.");
        return false;
    default:
        show_error(this, judgement.message);
        return false;
    }
}

// The core's rules: a base mod is a folder holding "Assets", and the target
// a plain folder name other than the base mod's own.
bool PrefsDialog::big_mod_accepted()
{
    const std::string base = base_mod_entry->get_text();
    const Path base_dir = base.empty() ? Path() : Path(base);
    if (!base.empty() && base_dir != orrindel->get_base_mod()) {
        const std::string problem = judge_base_mod(base_dir);
        if (!problem.empty()) {
            show_error(this, problem);
            return false;
        }
    }
    const std::string target = mod_target_entry->get_text();
    if (target.empty())
        return true;
    const std::string problem = judge_mod_target(target, Path(civ4_dir_entry->get_text()), base_dir);
    if (!problem.empty())
        show_error(this, problem);
    return problem.empty();
}

// Stored only where changed: each change tells the windows. Then the game's
// settings file follows (its Mod line put back once the target is off).
void PrefsDialog::store_big_mod()
{
    const std::string base = base_mod_entry->get_text();
    const Path base_dir = base.empty() ? Path() : Path(base);
    if (base_dir != orrindel->get_base_mod())
        orrindel->set_base_mod(base_dir);
    if (mod_target_entry->get_text() != orrindel->get_mod_target())
        orrindel->set_mod_target(mod_target_entry->get_text());
    if (game_ini_mod_check->get_active() != orrindel->get_game_ini_mod())
        orrindel->set_game_ini_mod(game_ini_mod_check->get_active());
    if (empty_cache_check->get_active() != orrindel->get_empty_game_cache())
        orrindel->set_empty_game_cache(empty_cache_check->get_active());
}

// A game folder that holds an expansion's folder is most often the top folder
// of a Beyond the Sword install chosen by mistake: asked about when it changes.
bool PrefsDialog::game_dir_accepted()
{
    const Path civ4(civ4_dir_entry->get_text());
    if (civ4 == orrindel->get_civ4_dir())
        return true;
    const std::string warning = game_dir_warning(civ4);
    return warning.empty()
        || show_message(this, warning + " Use this folder anyway?", Gtk::MESSAGE_WARNING, Gtk::BUTTONS_YES_NO)
        == Gtk::RESPONSE_YES;
}

void PrefsDialog::on_response(int response)
{
    if (!orrindel)
        return;
    if (response == detect_response) {
        detect_clicked();
        return;
    }
    if (response != Gtk::RESPONSE_OK) {
        orrindel_prefs_changed();
        hide();
        return;
    }
    if (!custom_assets_dir_accepted() || !big_mod_accepted() || !game_dir_accepted())
        return;
    // The game reads the folder the detection proposed once it exists.
    const Path custom(custom_assets_dir_entry->get_text());
    if (!detected_custom_assets_dir.empty() && custom == detected_custom_assets_dir && !exists(custom)
        && mkpath(custom, 0755) != 0) {
        const std::string name = platform::native(custom);
        const std::string reason = std::strerror(errno);
        show_error(this, format("Cannot create the custom assets folder \"%S\": %S.", &name, &reason));
        return;
    }
    updating = true;
    orrindel->set_civ4_dir(Path(civ4_dir_entry->get_text()));
    orrindel->set_mods_dir(Path(mods_dir_entry->get_text()));
    orrindel->set_custom_assets_dir(Path(custom_assets_dir_entry->get_text()));
    if (ask_fields_only_check->get_active() != orrindel->get_ask_fields_only())
        orrindel->set_ask_fields_only(ask_fields_only_check->get_active());
    store_big_mod();
    updating = false;
    // Stored already: a settings file that cannot be written is told, and the dialog closes all the same.
    try {
        const std::string done = orrindel->update_game_ini();
        if (!done.empty())
            show_message(this, done, Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK);
    } catch (const GenericError& e) {
        show_error(this, e.what());
    }
    hide();
}

bool PrefsDialog::on_delete_event(GdkEventAny*) { return true; }

} // namespace velmora
