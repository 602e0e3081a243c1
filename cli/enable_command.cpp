// velmora-cli enable / disable: the enabled marks of the main window's list.
#include <iostream>
#include <set>

#include "cli/commands.h"
#include "cli/mod_lookup.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"

namespace velmora::cli {

namespace {

// The configuration keeps enabled mods by name: a mod whose header could not
// be read has none, and its mark would be gone at the next start.
void require_name(const Mod& mod)
{
    if (!mod.name.empty())
        return;
    const std::string file = shown(mod.path);
    throw GenericError(
        format("The mod file \"%S\" has no name in its header (it may be unreadable); it cannot be enabled.",
            &file));
}

// Every mod the arguments name, or an error before anything changes. Each
// argument names one file: a name that two versions of a mod share is refused.
std::vector<Mod*> resolve(const Orrindel& core, const EnableOptions& options, std::vector<std::string>& missing)
{
    std::vector<Mod*> targets;
    std::set<Mod*> seen;
    for (const std::string& key : options.mods) {
        // An enabled mod whose file is gone can only be disabled, by its name.
        if (!options.enable && core.get_missing_mods().count(key) && find_mods(core, key).empty()) {
            missing.push_back(key);
            continue;
        }
        Mod* mod = require_mod(core, key);
        if (options.enable)
            require_name(*mod);
        if (seen.insert(mod).second)
            targets.push_back(mod);
    }
    return targets;
}

// Two versions of one mod enabled together conflict wherever they differ:
// seldom what the user meant.
void warn_other_versions(const Orrindel& core, const Mod* mod)
{
    std::string files;
    for (const Mod* other : core.other_versions_enabled(mod))
        files += (files.empty() ? "" : ", ") + printable(other->path[-1]);
    if (files.empty())
        return;
    const std::string file = printable(mod->path[-1]);
    const std::string name = printable(one_line(mod->name));
    warn(format("%S: another version of '%S' is enabled (%S); disable the one you do not want.", &file, &name,
        &files));
}

} // namespace

int run_enable(Orrindel& core, const EnableOptions& options)
{
    std::vector<std::string> missing;
    const std::vector<Mod*> targets = resolve(core, options, missing);
    const char* done = options.enable ? "Enabled" : "Disabled";
    const char* already = options.enable ? "Already enabled" : "Already disabled";
    for (Mod* mod : targets) {
        bool was = core.get_enabled_mods().count(mod) > 0;
        core.set_mod_enabled(mod, options.enable);
        if (options.enable && !was)
            warn_other_versions(core, mod);
        std::cout << (was == options.enable ? already : done) << ": " << printable(one_line(mod->name))
                  << " (" << printable(mod->path[-1]) << ")\n";
    }
    for (const std::string& name : missing) {
        core.disable_missing_mod(name);
        std::cout << done << ": " << printable(one_line(name)) << " (file missing)\n";
    }
    core.save_config();
    return exit_success;
}

} // namespace velmora::cli
