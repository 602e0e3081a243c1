// velmora-cli blame: which mod made each record field, script hunk or whole
// file of a file the last apply built.
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/errors.h"
#include "base/format.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/text.h"
#include "core/blame.h"
#include "core/orrindel.h"
#include "path/platform.h"

namespace velmora::cli {

namespace {

std::string names(const std::vector<std::string>& list)
{
    std::string out;
    for (const std::string& name : list)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

// "(Alpha, over Bravo, with Charlie)".
std::string who(const std::string& mod, const std::vector<std::string>& over, const std::vector<std::string>& with,
    const std::string& more = std::string())
{
    std::string out = "(" + mod;
    if (!over.empty())
        out += ", over " + names(over);
    if (!with.empty())
        out += ", with " + names(with);
    return out + more + ")";
}

std::string file_text(const std::string& file) { return platform::native(Path(file)); }

nlohmann::json whole_json(const FileOrigin& f)
{
    if (f.whole.empty())
        return nullptr;
    return {{"mod", f.whole}, {"over", f.replaced}};
}

void print_file(const FileOrigin& f, bool json)
{
    if (json) {
        nlohmann::json out = {{"file", file_text(f.file)}, {"touched", true}, {"mods", f.mods},
            {"whole", whole_json(f)}, {"records", nlohmann::json::array()}, {"hunks", nlohmann::json::array()}};
        for (const auto& [key, r] : f.records) {
            nlohmann::json fields = nlohmann::json::array();
            for (const auto& [field, v] : r.fields)
                fields.push_back(
                    {{"field", field}, {"value", v.value}, {"mod", v.mod}, {"over", v.over}, {"with", v.with}});
            out["records"].push_back({{"record", key}, {"element", r.element}, {"fields", fields}});
        }
        for (const HunkOrigin& h : f.hunks)
            out["hunks"].push_back({{"first", h.first}, {"last", h.last}, {"mod", h.mod}, {"over", h.over}});
        print(std::cout, out);
        return;
    }
    if (!f.whole.empty())
        std::cout << printable("whole file " + who(f.whole, f.replaced, {})) << "\n";
    for (const auto& [key, r] : f.records)
        for (const auto& [field, v] : r.fields)
            std::cout << printable(one_line(key + "  " + field + " " + v.value + " " + who(v.mod, v.over, v.with)))
                      << "\n";
    for (const HunkOrigin& h : f.hunks) {
        const std::string lines = h.first == h.last ? "line " + std::to_string(h.first)
                                                    : "lines " + std::to_string(h.first) + "-" + std::to_string(h.last);
        std::cout << printable(lines + " " + who(h.mod, h.over, {})) << "\n";
    }
    if (f.records.empty() && f.hunks.empty() && f.whole.empty())
        std::cout << printable("The mods " + names(f.mods) + " change " + file_text(f.file)
                               + ", but none of their changes shows in the built file.")
                  << "\n";
}

void print_record(const FileOrigin& f, const RecordBlame& r, bool json)
{
    if (json) {
        nlohmann::json out = {{"file", file_text(f.file)}, {"record", r.key}, {"element", r.element},
            {"fields", nlohmann::json::array()}};
        for (const BlameField& b : r.fields) {
            nlohmann::json field = {{"field", b.field}, {"value", b.value}, {"mod", nullptr},
                {"over", nlohmann::json::array()}, {"with", nlohmann::json::array()}, {"game", nullptr}};
            if (b.origin) {
                field["mod"] = b.origin->mod;
                field["over"] = b.origin->over;
                field["with"] = b.origin->with;
                if (b.in_game)
                    field["game"] = b.game;
            }
            out["fields"].push_back(field);
        }
        print(std::cout, out);
        return;
    }
    const std::string base = f.whole.empty() ? "(game)" : "(" + f.whole + ", whole file)";
    for (const BlameField& b : r.fields) {
        std::string line = b.field + " " + b.value + " ";
        if (b.origin)
            line += who(b.origin->mod, b.origin->over, b.origin->with, b.in_game ? "; game " + b.game : "; not in the game");
        else
            line += base;
        std::cout << printable(one_line(line)) << "\n";
    }
}

} // namespace

int run_blame(Orrindel& core, const BlameOptions& options)
{
    const Path folder = core.get_custom_assets_dir();
    if (folder.empty())
        throw GenericError("The custom assets folder is not set: choose it with \"velmora-cli prefs "
                           "--custom-assets-dir DIR\", then apply mods.");
    Provenance provenance;
    if (!core.read_provenance(provenance))
        throw GenericError(format("No build yet: the custom assets folder %S holds no record of an apply by "
                                  "Velmora. Apply mods first (\"velmora-cli apply\").",
            &folder));
    const Path file(options.file);
    const std::string shown_file = platform::native(file);
    const FileOrigin* origin = provenance.find(file.str());
    if (!origin) {
        if (!game_has_file(core, file))
            throw GenericError(format("%S is not in the build: no mod changes it and the game has no such file.",
                &shown_file));
        if (options.record)
            throw GenericError(format("No mod changes %S: the game's own copy is used, so the record '%S' is "
                                      "the game's.",
                &shown_file, &*options.record));
        if (options.json)
            print(std::cout,
                {{"file", shown_file}, {"touched", false}, {"mods", nlohmann::json::array()}, {"whole", nullptr},
                    {"records", nlohmann::json::array()}, {"hunks", nlohmann::json::array()}});
        else
            std::cout << printable("No mod changes " + shown_file + ": the game's own copy is used.") << "\n";
        return exit_success;
    }
    if (!options.record) {
        print_file(*origin, options.json);
        return exit_success;
    }
    const std::string key = find_record_key(*origin, *options.record);
    if (key.empty())
        throw GenericError(format("No mod changes a record '%S' in %S (\"velmora-cli blame %S\" lists the records "
                                  "the mods change).",
            &*options.record, &shown_file, &shown_file));
    print_record(*origin, blame_record(core, *origin, key), options.json);
    return exit_success;
}

} // namespace velmora::cli
