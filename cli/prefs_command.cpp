// velmora-cli prefs: the preferences dialog's three folders.
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/folders.h"
#include "cli/json.h"
#include "cli/text.h"
#include "core/game_detect.h"
#include "core/mod_target.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "core/prefs_checks.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora::cli {

namespace {

const char* const force_hint = " Give --force to store it anyway.";

Path given_folder(const std::string& option, const std::string& text)
{
    if (text.empty())
        throw UsageError(option + " needs a folder name.");
    return absolute_folder(text);
}

bool has_assets_folder(const Path& civ4_dir)
{
    for (const std::string& name : list_files(civ4_dir))
        if (platform::stricmp(name.c_str(), "Assets") == 0 && is_folder(child_path(civ4_dir, name)))
            return true;
    return false;
}

Path game_folder(const std::string& text, bool force)
{
    Path dir = given_folder("--civ4-dir", text);
    const std::string name = shown(dir);
    if (!force && !is_folder(dir))
        throw GenericError(format("The game folder \"%S\" does not exist.%s", &name, force_hint));
    if (!force && !has_assets_folder(dir))
        throw GenericError(
            format("The game folder \"%S\" has no \"Assets\" folder: it does not look like the "
                   "folder Civilization IV is installed in.%s",
                &name, force_hint));
    return dir;
}

Path mods_folder(const std::string& text, bool force)
{
    Path dir = given_folder("--mods-dir", text);
    if (!force && !is_folder(dir)) {
        const std::string name = shown(dir);
        throw GenericError(format("The mods folder \"%S\" does not exist.%s", &name, force_hint));
    }
    return dir;
}

// The checks of the preferences window and of apply, so that a folder apply
// would refuse is refused now.
void check_custom_assets(const Path& custom, const FolderSettings& folders, bool named_now, bool force)
{
    const CustomAssetsJudgement judgement = judge_custom_assets_dir(custom, folders);
    if (judgement.refused())
        throw GenericError(judgement.message);
    if (judgement.verdict == CustomAssetsVerdict::UnusualName && named_now && !force)
        throw GenericError(judgement.message + force_hint);
}

// --base-mod: "none" clears it; anything else must be a mod's folder.
Path base_mod_folder(const std::string& text, bool force)
{
    if (text == "none")
        return Path();
    Path dir = given_folder("--base-mod", text);
    const std::string problem = judge_base_mod(dir);
    if (!force && !problem.empty())
        throw GenericError(problem + force_hint);
    return dir;
}

std::string or_not_set(const Path& p) { return p.empty() ? std::string("(not set)") : shown(p); }

nlohmann::json mod_names_json(const std::vector<FoundMod>& mods)
{
    nlohmann::json names = nlohmann::json::array();
    for (const FoundMod& m : mods)
        names.push_back(m.name);
    return names;
}

std::string mod_names(const std::vector<FoundMod>& mods)
{
    std::string names;
    for (const FoundMod& m : mods)
        names += (names.empty() ? "" : ", ") + printable(one_line(m.name));
    return names.empty() ? std::string("(none)") : names;
}

void print_prefs(const Orrindel& core, bool json)
{
    if (json) {
        print(std::cout,
            {{"civ4_dir", platform_path(core.get_civ4_dir())},
                {"mods_dir", platform_path(core.get_mods_dir())},
                {"custom_assets_dir", platform_path(core.get_custom_assets_dir())},
                {"settings_dir", platform_path(core.get_settings_dir())},
                {"base_mod",
                    core.get_base_mod().empty() ? nlohmann::json(nullptr)
                                                : nlohmann::json(platform_path(core.get_base_mod()))},
                {"mod_target",
                    core.get_mod_target().empty() ? nlohmann::json(nullptr)
                                                  : nlohmann::json(core.get_mod_target())},
                {"target_dir", platform_path(core.get_target_dir())}, {"target", core.describe_target()},
                {"ask_fields_only", core.get_ask_fields_only()}, {"profile", core.get_profile()},
                {"restore_points", core.get_restore_point_limit()}, {"game_ini", core.get_game_ini_mod()},
                {"game_ini_file", platform_path(core.get_game_ini_file())},
                {"empty_cache", core.get_empty_game_cache()},
                {"game_cache_dir", platform_path(core.get_game_cache_folder())},
                {"installed_mods", mod_names_json(find_installed_mods(core.get_civ4_dir()))}});
        return;
    }
    const std::string target = core.get_mod_target().empty()
        ? std::string("(not set: the custom assets folder is built)")
        : core.get_mod_target() + " (" + or_not_set(core.get_target_dir()) + ")";
    print_table(std::cout,
        {{"Game folder:", or_not_set(core.get_civ4_dir())}, {"Mods folder:", or_not_set(core.get_mods_dir())},
            {"Custom assets folder:", or_not_set(core.get_custom_assets_dir())},
            {"Base mod:", or_not_set(core.get_base_mod())}, {"Mod target:", target},
            {"Settings folder:", or_not_set(core.get_settings_dir())}});
    std::cout << core.describe_target() << ".\n";
    // Its own line: the folders' column stays as wide as their labels.
    std::cout << "Ask only when two mods change the same field: " << (core.get_ask_fields_only() ? "yes" : "no")
              << " (profile '" << printable(one_line(core.get_profile())) << "')\n";
    std::cout << "Restore points kept: " << core.get_restore_point_limit() << "\n";
    if (!core.get_civ4_dir().empty())
        std::cout << "Installed mods: " << mod_names(find_installed_mods(core.get_civ4_dir()))
                  << "\n";
    std::cout << "Name the mod target in the game's settings file: "
              << (core.get_game_ini_mod() ? "yes" : "no") << " (" << or_not_set(core.get_game_ini_file())
              << ")\n";
    std::cout << "Empty the game's cache after an apply: " << (core.get_empty_game_cache() ? "yes" : "no")
              << " (" << or_not_set(core.get_game_cache_folder()) << ")\n";
}

nlohmann::json installs_json(const std::vector<GameInstall>& installs)
{
    nlohmann::json list = nlohmann::json::array();
    for (const GameInstall& i : installs)
        list.push_back({{"civ4_dir", platform_path(i.civ4_dir)},
            {"custom_assets_dir", platform_path(i.custom_assets_dir)}, {"edition", i.edition},
            {"found_in", i.found_in}, {"mods", mod_names_json(i.mods)}});
    return list;
}

void print_installs(const std::vector<GameInstall>& installs)
{
    unsigned n = 0;
    for (const GameInstall& i : installs) {
        std::cout << ++n << ". " << printable(i.edition) << " (" << printable(i.found_in) << ")\n";
        print_table(std::cout,
            {{"   Game folder:", shown(i.civ4_dir)},
                {"   Custom assets folder:", or_not_set(i.custom_assets_dir)},
                {"   Mods:", mod_names(i.mods)}});
    }
}

// The install the user named with --use: its number or its game folder.
const GameInstall& chosen_install(const std::vector<GameInstall>& installs, const std::string& use)
{
    if (!use.empty() && use.find_first_not_of("0123456789") == std::string::npos) {
        const unsigned long n = std::stoul(use.substr(0, 9));
        if (n >= 1 && n <= installs.size())
            return installs[n - 1];
        throw UsageError("--use " + use + ": the list has no install numbered so.");
    }
    const Path dir = use.empty() ? Path() : absolute_folder(use);
    for (const GameInstall& i : installs)
        if (i.civ4_dir == dir)
            return i;
    throw UsageError("--use " + use + ": no install found has that game folder.");
}

// Lists the installs found; stores the one named, or the only one.
int run_detect(Orrindel& core, const PrefsOptions& options)
{
    const char* wine_prefix = std::getenv("WINEPREFIX");
    const std::vector<GameInstall> installs
        = detect_game_installs(core.get_home(), wine_prefix ? wine_prefix : "");
    if (installs.empty()) {
        const std::string home = shown(core.get_home());
        throw GenericError(format("No Civilization IV installation was found in the Steam libraries and Wine "
                                  "prefixes of \"%S\". Set the game folder with --civ4-dir.",
            &home));
    }
    const GameInstall* stored = nullptr;
    if (options.use)
        stored = &chosen_install(installs, *options.use);
    else if (installs.size() == 1)
        stored = &installs.front();
    if (stored)
        use_game_install(core, *stored);
    if (options.json) {
        print(std::cout,
            {{"installs", installs_json(installs)},
                {"stored", stored ? nlohmann::json(stored - installs.data() + 1) : nlohmann::json(nullptr)}});
        return exit_success;
    }
    print_installs(installs);
    if (!stored) {
        hint("several installs were found; \"velmora-cli prefs --detect --use N\" stores the one numbered N.");
        return exit_success;
    }
    std::cout << "Stored the game folder \"" << shown(stored->civ4_dir) << "\"";
    if (!stored->custom_assets_dir.empty())
        std::cout << " and the custom assets folder \"" << shown(stored->custom_assets_dir) << "\"";
    std::cout << ".\n";
    return exit_success;
}

} // namespace

int run_prefs(Orrindel& core, const PrefsOptions& options)
{
    if (options.detect)
        return run_detect(core, options);
    // Every value is checked before any is stored.
    const Path civ4 = options.civ4_dir ? game_folder(*options.civ4_dir, options.force) : core.get_civ4_dir();
    const Path mods = options.mods_dir ? mods_folder(*options.mods_dir, options.force) : core.get_mods_dir();
    const Path custom = options.custom_assets_dir ? given_folder("--custom-assets-dir", *options.custom_assets_dir)
                                                  : core.get_custom_assets_dir();
    if (!custom.empty() && (options.civ4_dir || options.mods_dir || options.custom_assets_dir)) {
        const FolderSettings folders{
            civ4, mods, core.get_settings_dir(), folder_settings(core).home, core.get_civ4_dir()};
        check_custom_assets(custom, folders, options.custom_assets_dir.has_value(), options.force);
    }
    const Path base = options.base_mod ? base_mod_folder(*options.base_mod, options.force) : core.get_base_mod();
    const std::string target = !options.mod_target ? core.get_mod_target()
        : *options.mod_target == "none"            ? std::string()
                                                   : *options.mod_target;
    if (!target.empty() || (options.mod_target && options.mod_target->empty())) {
        // Refused even with --force: apply would replace the base mod, or write outside the Mods folder.
        const std::string problem = judge_mod_target(target, civ4, base);
        if (!problem.empty())
            throw GenericError(problem);
    }
    if (options.civ4_dir || options.mods_dir || options.custom_assets_dir) {
        core.set_civ4_dir(civ4);
        core.set_mods_dir(mods);
        core.set_custom_assets_dir(custom);
        if (options.civ4_dir) {
            const std::string warning = game_dir_warning(civ4);
            if (!warning.empty())
                warn(warning);
        }
    }
    if (options.base_mod)
        core.set_base_mod(base);
    if (options.mod_target)
        core.set_mod_target(target);
    if (options.ask_fields_only)
        core.set_ask_fields_only(*options.ask_fields_only);
    if (options.restore_points)
        core.set_restore_point_limit(*options.restore_points);
    if (options.game_ini)
        core.set_game_ini_mod(*options.game_ini);
    if (options.empty_cache)
        core.set_empty_game_cache(*options.empty_cache);
    if (options.civ4_dir || options.mods_dir || options.custom_assets_dir || options.base_mod
        || options.mod_target || options.ask_fields_only || options.restore_points || options.game_ini
        || options.empty_cache)
        core.save_config();
    std::string game_ini_done;
    if (options.mod_target || options.game_ini || options.custom_assets_dir) {
        // Stored already: a settings file that cannot be written is told, not fatal.
        try {
            game_ini_done = core.update_game_ini();
        } catch (const GenericError& e) {
            warn(e.what());
        }
    }
    print_prefs(core, options.json);
    if (!game_ini_done.empty() && !options.json)
        std::cout << game_ini_done << "\n";
    return exit_success;
}

} // namespace velmora::cli
