// velmora-cli fingerprint, restore and unmod: whole builds of the custom
// assets folder.
#include <ctime>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/json.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "base/human_text.h"
#include "core/orrindel.h"

namespace velmora::cli {

namespace {

std::string mod_text(const BuildMod& m)
{
    std::string text = printable(one_line(m.name));
    if (!m.version.empty())
        text += " " + printable(one_line(m.version));
    return text;
}

std::string mods_text(const BuildInfo& info)
{
    if (info.mods.empty())
        return "no mods";
    std::string text;
    for (const BuildMod& m : info.mods)
        text += (text.empty() ? "" : ", ") + mod_text(m);
    return text;
}

nlohmann::json mods_json(const BuildInfo& info)
{
    nlohmann::json mods = nlohmann::json::array();
    for (const BuildMod& m : info.mods)
        mods.push_back({{"name", m.name}, {"version", m.version}, {"file", m.file}});
    return mods;
}

void say_backup(const Orrindel& core)
{
    if (!core.get_last_backup().empty())
        std::cout << "Files in the custom assets folder that Velmora did not write were kept in \""
                  << shown(core.get_last_backup()) << "\".\n";
}

} // namespace

int run_fingerprint(Orrindel& core, const FingerprintOptions& options)
{
    const BuildSummary build = core.describe_build();
    if (options.json) {
        print(std::cout, {{"fingerprint", build.fingerprint}, {"files", build.files},
                             {"folder", platform_path(core.get_custom_assets_dir())}, {"profile", build.info.profile},
                             {"built", static_cast<long long>(build.info.time)}, {"mods", mods_json(build.info)}});
        return exit_success;
    }
    std::cout << build.fingerprint << "\n";
    const unsigned n = static_cast<unsigned>(build.info.mods.size());
    std::cout << build.files << (build.files == 1 ? " file" : " files") << " built";
    if (build.info.time != 0)
        std::cout << " on " << local_time_text(build.info.time) << " for the profile '"
                  << printable(one_line(build.info.profile)) << "'";
    std::cout << (n == 0 ? "." : " from:") << "\n";
    for (const BuildMod& m : build.info.mods)
        std::cout << "  " << mod_text(m) << " (" << printable(m.file) << ")\n";
    return exit_success;
}

int run_restore(Orrindel& core, const RestoreOptions& options)
{
    if (options.list) {
        const std::vector<RestorePoint> points = core.get_restore_points();
        if (options.json) {
            nlohmann::json out = nlohmann::json::array();
            unsigned i = 0;
            for (const RestorePoint& p : points)
                out.push_back({{"number", ++i}, {"folder", platform_path(p.folder)},
                    {"replaced", static_cast<long long>(p.replaced)}, {"built", static_cast<long long>(p.info.time)},
                    {"profile", p.info.profile}, {"mods", mods_json(p.info)}, {"bytes", p.bytes},
                    {"own_bytes", p.own_bytes}});
            print(std::cout, {{"restore_points", out}});
            return exit_success;
        }
        if (points.empty()) {
            std::cout << "No restore points of \"" << shown(core.get_custom_assets_dir())
                      << "\" yet: each apply keeps the build it replaces.\n";
            return exit_success;
        }
        std::vector<std::vector<std::string>> rows{{"N", "BUILT", "PROFILE", "DISK", "MODS"}};
        unsigned i = 0;
        for (const RestorePoint& p : points)
            rows.push_back({std::to_string(++i), local_time_text(p.info.time ? p.info.time : p.replaced),
                printable(one_line(p.info.profile)), size_text(p.own_bytes) + " of " + size_text(p.bytes),
                mods_text(p.info)});
        print_table(std::cout, rows);
        return exit_success;
    }
    const std::vector<RestorePoint> points = core.get_restore_points();
    const unsigned n = options.number;
    BuildInfo info;
    if (n >= 1 && n <= points.size())
        info = points[n - 1].info;
    core.restore_build(n);
    std::cout << "Restored the build of " << local_time_text(info.time ? info.time : points[n - 1].replaced) << " ("
              << mods_text(info) << ") in \"" << shown(core.get_custom_assets_dir())
              << "\"; the build it replaced is restore point 1.\n";
    say_backup(core);
    return exit_success;
}

int run_unmod(Orrindel& core, const UnmodOptions&)
{
    const bool had = core.custom_assets_exist();
    const bool kept = core.unmod();
    const std::string folder = shown(core.get_custom_assets_dir());
    if (!had) {
        std::cout << "The custom assets folder \"" << folder << "\" is already empty: the game starts without mods.\n";
        return exit_success;
    }
    std::cout << "Emptied the custom assets folder \"" << folder << "\": the game starts without mods.";
    if (kept)
        std::cout << " The build is kept as restore point 1 (\"velmora-cli restore\" brings it back).";
    std::cout << " The enabled mods stay enabled for the next apply.\n";
    say_backup(core);
    return exit_success;
}

} // namespace velmora::cli
