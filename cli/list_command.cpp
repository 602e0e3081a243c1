// velmora-cli list: the mods folder as the main window shows it.
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/json.h"
#include "cli/mod_lookup.h"
#include "cli/text.h"
#include "core/orrindel.h"

namespace velmora::cli {

namespace {

nlohmann::json mod_json(const Orrindel& core, Mod* mod)
{
    return {{"name", mod->name}, {"version", mod->version}, {"author", mod->author},
        {"description", mod->description}, {"file", mod->path[-1]}, {"path", platform_path(mod->path)},
        {"enabled", core.get_enabled_mods().count(mod) > 0}, {"key", core.key_of(mod)}};
}

void print_json(const Orrindel& core, const std::vector<SkippedFile>& skipped)
{
    nlohmann::json mods = nlohmann::json::array();
    for (Mod* mod : core.get_mods())
        mods.push_back(mod_json(core, mod));
    nlohmann::json missing = nlohmann::json::array();
    for (const std::string& name : core.get_missing_mods())
        missing.push_back(name);
    nlohmann::json unreadable = nlohmann::json::array();
    for (const SkippedFile& s : skipped)
        unreadable.push_back({{"file", s.file}, {"reason", s.reason}});
    nlohmann::json out = {{"mods_dir", platform_path(core.get_mods_dir())},
        {"mods_dir_exists", !core.mods_dir_missing()}, {"mods", mods}, {"missing", missing},
        {"unreadable", unreadable}, {"target", core.describe_target()},
        {"target_dir", platform_path(core.get_target_dir())}};
    print(std::cout, out);
}

void print_mods(const Orrindel& core)
{
    if (core.get_mods().empty() && core.get_missing_mods().empty()) {
        if (!core.mods_dir_missing())
            std::cout << "No mods in \"" << shown(core.get_mods_dir()) << "\".\n";
        return;
    }
    std::vector<std::vector<std::string>> rows{{"", "NAME", "VERSION", "FILE", "DESCRIPTION"}};
    // Enabled, but its file is gone: "!" and no file.
    for (const std::string& name : core.get_missing_mods())
        rows.push_back({"[!]", printable(one_line(name)), "", "", "file missing"});
    for (Mod* mod : core.get_mods()) {
        bool enabled = core.get_enabled_mods().count(mod) > 0;
        rows.push_back(
            {enabled ? "[x]" : "[ ]", printable(one_line(mod->name)), printable(one_line(mod->version)),
                printable(mod->path[-1]), printable(one_line(mod->description))});
    }
    print_table(std::cout, rows);
}

void print_text(const Orrindel& core)
{
    print_mods(core);
    // Said only when it differs from the plain build, which most users have.
    if (!core.get_base_mod().empty() || !core.get_mod_target().empty())
        std::cout << core.describe_target() << ".\n";
}

} // namespace

int run_list(Orrindel& core, const ListOptions& options)
{
    if (core.mods_dir_missing())
        warn("The mods folder \"" + shown(core.get_mods_dir())
            + "\" does not exist (a drive that is not mounted?). Enabled mods stay enabled.");
    for (const std::string& name : core.get_missing_mods())
        warn("The enabled mod '" + printable(one_line(name)) + "' is missing from \"" + shown(core.get_mods_dir())
            + "\"; it stays enabled. Put its file back, or disable it.");
    const std::vector<SkippedFile> skipped = skipped_mod_files(core);
    for (const SkippedFile& s : skipped)
        warn("The mod file \"" + printable(s.file) + "\" cannot be read and is not listed: " + s.reason);
    if (options.json)
        print_json(core, skipped);
    else
        print_text(core);
    return exit_success;
}

} // namespace velmora::cli
