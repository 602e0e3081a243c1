#include "core/orrindel.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "base/errors.h"
#include "base/format.h"
#include "core/data_file.h"
#include "core/game_user_files.h"
#include "core/mod_target.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/element_info.h"
#include "xml/parse.h"
#include "xml/reference_table.h"

namespace velmora {

namespace {

const char* const mod_extension = ".Pellarix";

// Mod files are taken by their exact extension: 'x.pellarix' is not a mod.
bool has_mod_extension(const Path& file)
{
    const std::string& text = file.str();
    const std::string ext = mod_extension;
    return text.size() > ext.size() && text.compare(text.size() - ext.size(), ext.size(), ext) == 0;
}

Path home_from_environment()
{
    const char* home = std::getenv("HOME");
    return home && *home ? Path(home) : Path();
}

} // namespace

Orrindel::Orrindel()
    : Orrindel(home_from_environment())
{ }

Orrindel::Orrindel(const Path& home)
    : home(home)
    , reference_table(new ReferenceTable)
{ }

Orrindel::~Orrindel()
{
    {
        try {
            save_changed_config();
        } catch (...) {
            // Nobody is left to tell; a front end that cares calls save_config() first.
        }
    }
}

void Orrindel::startup()
{
    quiet_xml_library();
    starting_up = true;
    settings_dir = home.empty() ? Path() : home / Path(".velmora");
    mods_dir = settings_dir / Path("mods");
    if (!settings_dir.empty() && !exists(settings_dir))
        mkpath(settings_dir, 0755);
    if (!exists(mods_dir))
        mkpath(mods_dir, 0755);
    load_element_table();
    load_reference_table();
    load_config();
    const ProfileValues& current = config.get_current_profile();
    profile = current_profile = current.name;
    ask_fields_only = current.ask_fields_only;
    answers_name = current.answers;
    load_answers();
    prefs_changed.emit();
    load_mods();
    starting_up = false;
    config.mark_saved(held_settings(), profile_values());
}

void Orrindel::load_element_table()
{
    Path file = find_data_file("elements.txt");
    try {
        ElementInfoStorage::instance().load(platform::native(file));
    } catch (const GenericError& e) {
        throw GenericError(format("Cannot load the element table %S: %s", &file, e.what()));
    }
}

// Without its table Velmora still merges and applies; it only cannot tell
// which names point nowhere, and says so.
void Orrindel::load_reference_table()
{
    const Path file = find_data_file("references.txt", data_folders());
    if (file.empty()) {
        warnings.push_back("Cannot find the reference table \"references.txt\": names that point nowhere are not "
                           "checked after applying.");
        return;
    }
    try {
        auto table = std::make_unique<ReferenceTable>();
        table->load(platform::native(file));
        reference_table = std::move(table);
    } catch (const GenericError& e) {
        warnings.push_back(std::string(e.what()) + " Names that point nowhere are not checked after applying.");
    }
}

void Orrindel::load_config()
{
    try {
        if (config.load(settings_dir / Path("conf")))
            apply_settings(config.get_values(), config.get_folders());
    } catch (const XmlError& e) {
        // Going on with the defaults is better than not starting; the file is
        // kept so that the user's settings can still be recovered by hand.
        Path bad = config.keep_bad_file();
        std::string kept = bad.empty() ? format("it could not be renamed, so it will not be overwritten")
                                       : format("it was kept as %S", &bad);
        warnings.push_back(format("%s. Velmora started with default settings; %S.", e.what(), &kept));
    }
}

void Orrindel::load_answers()
{
    try {
        remembered.load(settings_dir / Path(answers_name.empty() ? std::string("answers") : answers_name));
    } catch (const XmlError& e) {
        // The file stays as it is for the user to look at; every conflict is asked.
        warnings.push_back(format("%s. Every conflict will be asked about; forget the remembered answers "
                                  "in the preferences to start a new file.",
            e.what()));
    }
}

// The settings "conf" read, turned into the core's; a folder the file does
// not name keeps its default.
void Orrindel::apply_settings(const ConfigValues& values, const ConfigFolders& folders)
{
    if (!values.base_mod.empty())
        set_base_mod(Path(values.base_mod));
    if (!values.mod_target.empty())
        set_mod_target(values.mod_target);
    if (values.restore_points != restore_point_limit)
        set_restore_point_limit(values.restore_points);
    if (values.game_ini_mod != game_ini_mod)
        set_game_ini_mod(values.game_ini_mod);
    if (values.empty_game_cache != empty_game_cache)
        set_empty_game_cache(values.empty_game_cache);
    set_preview_before_apply(values.preview_before_apply);
    for (const auto& [name, text] : folders) {
        if (name == "Civ4Dir")
            set_civ4_dir(Path(text));
        else if (name == "ModsDir")
            set_mods_dir(Path(text));
        else
            set_custom_assets_dir(Path(text));
    }
}

// The settings "conf" keeps of the core as they are now; the profile in use
// goes beside them (profile_values).
ConfigValues Orrindel::held_settings() const
{
    ConfigValues v;
    v.civ4_dir = civ4_dir.str();
    v.mods_dir = mods_dir.str();
    v.custom_assets_dir = custom_assets_dir.str();
    v.base_mod = base_mod.str();
    v.mod_target = mod_target;
    v.restore_points = restore_point_limit;
    v.game_ini_mod = game_ini_mod;
    v.empty_game_cache = empty_game_cache;
    v.preview_before_apply = preview_before_apply;
    v.current = current_profile;
    return v;
}

void Orrindel::save_config() { config.save(held_settings(), profile_values()); }

void Orrindel::save_changed_config() { config.save_if_changed(held_settings(), profile_values()); }

std::list<Mod*> Orrindel::get_enabled_mods_in_order() const
{
    std::list<Mod*> enabled;
    for (Mod* mod : get_mods())
        if (enabled_mods.count(mod))
            enabled.push_back(mod);
    return enabled;
}

void Orrindel::load_mods()
{
    // What was enabled, as the configuration names it. A rescan also knows
    // each enabled mod's file: a second version of it appearing in the folder
    // must not leave the user's choice undecided.
    std::vector<EnabledEntry> entries;
    if (starting_up) {
        for (const std::string& key : config.get_enabled_mod_names())
            entries.push_back({std::string(), key});
    } else {
        for (const Mod* mod : get_enabled_mods_in_order())
            entries.push_back({mod->path.empty() ? std::string() : mod->path[-1], key_of(mod)});
        for (const std::string& key : missing_mods)
            entries.push_back({std::string(), key});
        for (const std::string& key : ambiguous_mods)
            entries.push_back({std::string(), key});
    }

    mods.clear();
    enabled_mods.clear();
    missing_mods.clear();
    ambiguous_mods.clear();

    for (const std::string& f : list_files(mods_dir)) {
        const Path file = child_path(mods_dir, f);
        if (!has_mod_extension(file))
            continue;
        auto mod = std::make_unique<Mod>();
        try {
            if (mod->load_headers(file) != 0)
                continue;
        } catch (const GenericError&) {
            continue; // a malformed mod file is left out of the list
        }
        mods.push_back(std::move(mod));
    }
    enable_entries(entries);
    mods_changed.emit();
}

void Orrindel::enable_entries(const std::vector<EnabledEntry>& entries)
{
    std::vector<const EnabledEntry*> by_key;
    for (const EnabledEntry& entry : entries) {
        const ModList listed = get_mods();
        auto same_file = std::find_if(listed.begin(), listed.end(),
            [&](const Mod* m) { return !entry.file.empty() && !m->path.empty() && m->path[-1] == entry.file; });
        if (same_file != listed.end())
            enabled_mods.insert(*same_file);
        else
            by_key.push_back(&entry);
    }
    for (const EnabledEntry* entry : by_key) {
        const std::vector<Mod*> found = mods_for_key(entry->key);
        if (found.empty())
            missing_mods.insert(entry->key);
        else if (found.size() == 1)
            enabled_mods.insert(found.front());
        else if (std::none_of(found.begin(), found.end(), [this](Mod* m) { return enabled_mods.count(m) > 0; }))
            ambiguous_mods.insert(entry->key);
    }
    if (!starting_up)
        return;
    for (const std::string& name : ambiguous_mods) {
        std::string files;
        for (const Mod* mod : mods_for_key(name))
            files += (files.empty() ? "" : ", ") + mod->path[-1];
        warnings.push_back(format("The enabled mod '%S' is in several files of the mods folder (%S); none of "
                                  "them is enabled: enable one by its file name.",
            &name, &files));
    }
}

std::string Orrindel::key_of(const Mod* mod) const
{
    if (mod->name.empty())
        return mod->path.empty() ? std::string() : mod->path[-1];
    const ModList listed = get_mods();
    const auto same_name
        = std::count_if(listed.begin(), listed.end(), [mod](const Mod* m) { return m->name == mod->name; });
    if (same_name > 1 && !mod->path.empty())
        return mod->path[-1];
    return mod->name;
}

std::string Orrindel::label_of(const Mod* mod) const
{
    const std::string key = key_of(mod);
    if (key == mod->name)
        return "'" + mod->name + "'";
    return "'" + mod->name + "' (" + key + ")";
}

std::vector<Mod*> Orrindel::mods_for_key(const std::string& key) const
{
    std::vector<Mod*> found;
    if (key.empty())
        return found;
    for (Mod* mod : get_mods())
        if (!mod->path.empty() && mod->path[-1] == key)
            return {mod};
    for (Mod* mod : get_mods())
        if (mod->name == key)
            found.push_back(mod);
    return found;
}

std::vector<Mod*> Orrindel::other_versions_enabled(const Mod* mod) const
{
    std::vector<Mod*> others;
    if (mod->name.empty())
        return others;
    for (Mod* m : get_enabled_mods_in_order())
        if (m != mod && m->name == mod->name)
            others.push_back(m);
    return others;
}

void Orrindel::disable_missing_mod(const std::string& name)
{
    if (missing_mods.erase(name))
        enabled_mods_changed.emit();
}

bool Orrindel::mods_dir_missing() const { return !exists(mods_dir); }

void Orrindel::add_mod(std::unique_ptr<Mod> mod)
{
    if (!mod)
        return;
    Mod* added = mod.get();
    for (std::unique_ptr<Mod>& listed : mods) {
        if (listed->path != added->path)
            continue;
        // A mod made again over its own file keeps its place: in the list,
        // and in the enabled mods of every profile that had it.
        const std::string old_key = key_of(listed.get());
        const bool was_enabled = enabled_mods.erase(listed.get()) > 0;
        listed = std::move(mod);
        if (was_enabled)
            enabled_mods.insert(added);
        const std::string new_key = key_of(added);
        if (new_key != old_key)
            config.rename_mod_key(old_key, new_key);
        mods_changed.emit();
        return;
    }
    mods.push_back(std::move(mod));
    mods_changed.emit();
}

void Orrindel::remove_mod(Mod* mod)
{
    auto it = std::find_if(mods.begin(), mods.end(), [mod](const std::unique_ptr<Mod>& m) { return m.get() == mod; });
    if (it == mods.end())
        return;
    enabled_mods.erase(mod);
    mods.erase(it);
    mods_changed.emit();
}

void Orrindel::save_mod(Mod& mod)
{
    // A listed mod holds only its header until its changes are read: written
    // as it is, its file would lose them. They are read first, under the
    // edited header.
    if (!mod.loaded) {
        const std::string header[] = {mod.name, mod.author, mod.version, mod.description};
        if (mod.load(mod.path) != 0) {
            const std::string file = platform::native(mod.path);
            throw GenericError(format("Cannot save the mod '%S': its file \"%S\" no longer exists.", &header[0], &file));
        }
        mod.name = header[0];
        mod.author = header[1];
        mod.version = header[2];
        mod.description = header[3];
    }
    mod.save(mod.path);
    mods_changed.emit();
}

void Orrindel::set_mod_enabled(Mod* mod, bool enabled)
{
    // A window may still hold a mod that a rescan has deleted; it must not
    // reach the enabled set.
    const ModList listed = get_mods();
    if (std::find(listed.begin(), listed.end(), mod) == listed.end())
        return;
    // The user has chosen a version of a mod whose name the configuration
    // could not place: the old entry has done its work.
    bool now = ambiguous_mods.erase(mod->name) > 0;
    now = (enabled ? enabled_mods.insert(mod).second : enabled_mods.erase(mod) > 0) || now;
    if (!now)
        return;
    enabled_mods_changed.emit();
}

void Orrindel::set_civ4_dir(const Path& dir)
{
    civ4_dir = dir;
    prefs_changed.emit();
}

void Orrindel::set_mods_dir(const Path& dir)
{
    mods_dir = dir;
    prefs_changed.emit();
}

void Orrindel::set_custom_assets_dir(const Path& dir)
{
    custom_assets_dir = dir;
    prefs_changed.emit();
}

void Orrindel::set_base_mod(const Path& dir)
{
    base_mod = dir;
    prefs_changed.emit();
}

void Orrindel::set_mod_target(const std::string& name)
{
    mod_target = name;
    prefs_changed.emit();
}

void Orrindel::set_game_ini_mod(bool on)
{
    game_ini_mod = on;
    prefs_changed.emit();
}

void Orrindel::set_empty_game_cache(bool on)
{
    empty_game_cache = on;
    prefs_changed.emit();
}

Path Orrindel::get_game_ini_file() const { return game_ini_file(custom_assets_dir); }

Path Orrindel::get_game_cache_folder() const { return game_cache_folder(custom_assets_dir); }

std::string Orrindel::update_game_ini()
{
    // In the settings folder: the user's line must outlive a custom-assets folder rebuilt or moved.
    const Path backup = child_path(settings_dir, "game-ini-backup");
    if (game_ini_mod && !mod_target.empty()) {
        // Named once apply has built it: the game must not start a mod that is not there.
        if (!is_folder(get_target_dir()))
            return std::string();
        return start_mod_in_game_ini(get_game_ini_file(), backup, mod_target);
    }
    return restore_game_ini(backup);
}

GameFiles Orrindel::get_game_files() const
{
    if (civ4_dir.empty())
        return base_mod.empty() ? GameFiles() : GameFiles({base_mod / Path("Assets")});
    return GameFiles::of_game(civ4_dir, base_mod);
}

Path Orrindel::get_target_dir() const
{
    if (mod_target.empty())
        return custom_assets_dir;
    return civ4_dir.empty() ? Path() : mod_target_folder(civ4_dir, mod_target);
}

Path Orrindel::get_built_dir() const
{
    const Path target = get_target_dir();
    return mod_target.empty() || target.empty() ? target : fix_case(target / Path("Assets"));
}

std::string Orrindel::describe_target() const { return velmora::describe_target(civ4_dir, base_mod, mod_target); }

void Orrindel::set_restore_point_limit(unsigned n)
{
    restore_point_limit = n;
    prefs_changed.emit();
}

bool Orrindel::custom_assets_exist() const
{
    return !custom_assets_dir.empty() && platform::kind_of(custom_assets_dir.str()) != platform::Kind::None;
}

void Orrindel::set_ask_fields_only(bool only)
{
    ask_fields_only = only;
    prefs_changed.emit();
}

bool Orrindel::forget_answer(const std::string& winner, const std::string& loser)
{
    if (!remembered.forget(winner, loser))
        return false;
    remembered.save();
    return true;
}

void Orrindel::forget_all_answers()
{
    remembered.forget_all();
    remembered.save();
}

void Orrindel::set_apply_steps(ConflictCheck check, ModApplier apply_mod)
{
    check_step = std::move(check);
    apply_step = std::move(apply_mod);
}

} // namespace velmora
