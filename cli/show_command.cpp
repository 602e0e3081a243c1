// velmora-cli show: a mod's header and changes, as the mod-properties window
// shows them.
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/json.h"
#include "cli/mod_lookup.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "path/platform.h"

namespace velmora::cli {

namespace {

std::string type_name(Change::Type type) { return format("%O", new fmtobject<Change::Type>(&type)); }

void load_changes(Mod& mod)
{
    if (!mod.loaded && mod.load(mod.path) != 0) {
        const std::string file = shown(mod.path);
        throw GenericError(format("The mod file \"%S\" no longer exists.", &file));
    }
}

void print_change_text(const Mod& mod, const std::string& file)
{
    bool found = false;
    for (const Change& c : mod.changes) {
        if (Path(c.file) == Path(file)) {
            c.read([](std::string_view block) {
                std::cout.write(block.data(), static_cast<std::streamsize>(block.size()));
            });
            found = true;
        }
    }
    if (found)
        return;
    const std::string name = printable(mod.name);
    const std::string wanted = printable(file);
    const std::string key = printable(mod.path[-1]);
    throw GenericError(
        format("The mod '%S' has no change to the file \"%S\" (\"velmora-cli show %S\" lists its "
               "changes).",
            &name, &wanted, &key));
}

void print_json(const Orrindel& core, Mod& mod)
{
    nlohmann::json changes = nlohmann::json::array();
    for (const Change& c : mod.changes)
        changes.push_back({{"file", platform::native(c.file)}, {"type", type_name(c.type)}, {"size", c.size()},
            {"removals", mod.removals(c)}});
    print(std::cout,
        {{"name", mod.name}, {"author", mod.author}, {"version", mod.version},
            {"description", mod.description}, {"file", mod.path[-1]}, {"path", platform_path(mod.path)},
            {"enabled", core.get_enabled_mods().count(&mod) > 0}, {"changes", changes}});
}

void print_text(const Orrindel& core, Mod& mod)
{
    print_table(std::cout,
        {{"Name:", printable(one_line(mod.name))}, {"Author:", printable(one_line(mod.author))},
            {"Version:", printable(one_line(mod.version))},
            {"Description:", printable(one_line(mod.description))}, {"File:", shown(mod.path)},
            {"Enabled:", core.get_enabled_mods().count(&mod) ? "yes" : "no"}});
    if (mod.changes.empty()) {
        std::cout << "\nNo changes.\n";
        return;
    }
    std::cout << "\n";
    std::vector<std::vector<std::string>> rows{{"TYPE", "SIZE", "FILE"}};
    std::vector<std::string> removals;
    for (const Change& c : mod.changes) {
        const std::string file = printable(platform::native(c.file));
        rows.push_back({type_name(c.type), std::to_string(c.size()), file});
        for (const std::string& removal : mod.removals(c))
            removals.push_back(file + ": " + printable(one_line(removal)));
    }
    print_table(std::cout, rows);
    if (removals.empty())
        return;
    std::cout << "\nRemovals:\n";
    for (const std::string& line : removals)
        std::cout << "  " << line << "\n";
}

} // namespace

int run_show(Orrindel& core, const ShowOptions& options)
{
    Mod& mod = *require_mod(core, options.mod);
    load_changes(mod);
    if (options.change)
        print_change_text(mod, *options.change);
    else if (options.json)
        print_json(core, mod);
    else
        print_text(core, mod);
    return exit_success;
}

} // namespace velmora::cli
