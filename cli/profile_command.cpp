// velmora-cli profile: named sets of enabled mods, answers and preference.
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/json.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"

namespace velmora::cli {

namespace {

std::string quoted(const std::string& name) { return "'" + printable(one_line(name)) + "'"; }

std::string mods_text(std::size_t n) { return n == 1 ? "1 mod" : std::to_string(n) + " mods"; }

void print_list(const Orrindel& core, bool json)
{
    if (json) {
        nlohmann::json profiles = nlohmann::json::array();
        for (const std::string& name : core.get_profiles()) {
            const ProfileValues p = core.get_profile_values(name);
            profiles.push_back({{"name", name}, {"current", name == core.get_current_profile()},
                {"enabled", p.enabled}, {"ask_fields_only", p.ask_fields_only}});
        }
        print(std::cout, {{"current", core.get_current_profile()}, {"profiles", profiles}});
        return;
    }
    for (const std::string& name : core.get_profiles()) {
        const ProfileValues p = core.get_profile_values(name);
        std::cout << (name == core.get_current_profile() ? "* " : "  ") << printable(one_line(name)) << " ("
                  << mods_text(p.enabled.size()) << " enabled)\n";
    }
}

} // namespace

int run_profile(Orrindel& core, const ProfileOptions& options)
{
    const std::vector<std::string>& names = options.names;
    if (options.action == "list") {
        print_list(core, options.json);
        return exit_success;
    }
    if (options.action == "new") {
        const std::string from = core.get_profile();
        core.new_profile(names[0], options.copy);
        core.save_config();
        std::cout << "Created the profile " << quoted(names[0]);
        if (options.copy)
            std::cout << " with the enabled mods, remembered answers and preference of " << quoted(from);
        std::cout << ". \"velmora-cli profile switch " << printable(one_line(names[0]))
                  << "\" makes it the current one.\n";
    } else if (options.action == "switch") {
        core.switch_profile(names[0]);
        core.save_config();
        std::cout << "Switched to the profile " << quoted(names[0]) << " (" << mods_text(core.get_enabled_mods().size() + core.get_missing_mods().size())
                  << " enabled). The next apply builds it.\n";
    } else if (options.action == "rename") {
        core.rename_profile(names[0], names[1]);
        core.save_config();
        std::cout << "Renamed the profile " << quoted(names[0]) << " to " << quoted(names[1]) << ".\n";
    } else if (options.action == "delete") {
        core.delete_profile(names[0]);
        core.save_config();
        std::cout << "Deleted the profile " << quoted(names[0]) << ".\n";
    }
    return exit_success;
}

} // namespace velmora::cli
