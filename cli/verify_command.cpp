// velmora-cli verify: which files of the custom-assets folder the game may
// refuse, checked against the schemas their roots name.
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/errors.h"
#include "base/format.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/text.h"
#include "core/orrindel.h"
#include "core/verify.h"
#include "path/platform.h"

namespace velmora::cli {

namespace {

nlohmann::json faults_json(const std::vector<SchemaViolation>& faults)
{
    nlohmann::json out = nlohmann::json::array();
    for (const SchemaViolation& v : faults)
        out.push_back(
            {{"line", v.line}, {"record", v.record}, {"element", v.element}, {"problem", v.problem}});
    return out;
}

} // namespace

nlohmann::json references_json(const ReferenceCheck& check)
{
    nlohmann::json out = nlohmann::json::array();
    for (const BrokenReference& r : check.broken) {
        auto or_null = [](const std::string& s) { return s.empty() ? nlohmann::json(nullptr) : nlohmann::json(s); };
        out.push_back({{"file", platform::native(r.file)}, {"record", r.record}, {"field", r.field},
            {"name", r.name}, {"mod", or_null(r.added_by)}, {"removed_by", or_null(r.removed_by)},
            {"defined_by", or_null(r.defined_by)}, {"in_game", r.in_game}, {"message", describe(r)}});
    }
    return out;
}

void print_references(const ReferenceCheck& check)
{
    for (const BrokenReference& r : check.broken)
        if (!r.in_game)
            std::cout << printable(describe(r)) << "\n";
    for (const BrokenReference& r : check.broken)
        if (r.in_game)
            std::cout << printable(describe(r)) << "\n";
}

namespace {

void print_json(const Path& folder, const Verification& result)
{
    nlohmann::json out = {{"folder", platform_path(folder)}, {"checked", result.checked},
        {"files_at_fault", result.files_at_fault()}, {"files", nlohmann::json::array()},
        {"references_checked", result.references.done},
        {"broken_references", result.references.caused_by_mods()},
        {"references", references_json(result.references)}};
    for (const FileFaults& f : result.files)
        out["files"].push_back({{"file", platform::native(f.file)}, {"faults", faults_json(f.faults)},
            {"in_game", faults_json(f.in_game)}});
    print(std::cout, out);
}

void print_text(const Path& folder, const Verification& result)
{
    std::cout << "Checked " << result.checked << (result.checked == 1 ? " file" : " files") << " in \""
              << shown(folder) << "\" against the game's schemas.\n";
    for (const FileFaults& f : result.files)
        for (const SchemaViolation& v : f.faults)
            std::cout << printable(describe(f.file, v, false)) << "\n";
    for (const FileFaults& f : result.files)
        for (const SchemaViolation& v : f.in_game)
            std::cout << printable(describe(f.file, v, true)) << "\n";
    const unsigned n = result.files_at_fault();
    if (n == 0)
        std::cout << "No file breaks its schema in a way the game's own copy does not.\n";
    else
        std::cout << n << (n == 1 ? " file" : " files") << " may not load in the game.\n";
    if (!result.references.done)
        return;
    print_references(result.references);
    const unsigned broken = result.references.caused_by_mods();
    if (broken == 0)
        std::cout << "No name points nowhere that the game's own files do not already leave pointing nowhere.\n";
    else
        std::cout << broken << (broken == 1 ? " name points" : " names point")
                  << " nowhere: the game may stop while loading or show raw keys.\n";
}

} // namespace

int run_verify(Orrindel& core, const VerifyOptions& options)
{
    core.check_folders(FolderUse::Verify);
    const Path folder = options.dir ? Path(*options.dir) : core.get_built_dir();
    if (folder.empty())
        throw UsageError("The custom assets folder is not set: choose it with \"velmora-cli prefs "
                         "--custom-assets-dir DIR\" or name a folder with --dir.");
    if (platform::kind_of(folder.str()) != platform::Kind::Folder)
        throw GenericError(format("The folder %S does not exist.", &folder));
    const Verification result = core.verify(folder);
    if (options.json)
        print_json(folder, result);
    else
        print_text(folder, result);
    return result.clean() ? exit_success : exit_failure;
}

void warn_verification(const Verification& result)
{
    unsigned in_game = 0;
    for (const FileFaults& f : result.files) {
        for (const SchemaViolation& v : f.faults)
            warn(describe(f.file, v, false));
        in_game += static_cast<unsigned>(f.in_game.size());
    }
    if (in_game)
        warn(format("%u schema %s already in the game's own files (\"velmora-cli verify\" lists %s).", in_game,
            in_game == 1 ? "fault is" : "faults are", in_game == 1 ? "it" : "them"));
    const unsigned n = result.files_at_fault();
    if (n)
        warn(format("%u %s may not load in the game.", n, n == 1 ? "file" : "files"));
    warn_references(result.references);
}

void warn_references(const ReferenceCheck& check)
{
    for (const BrokenReference& r : check.broken)
        if (!r.in_game)
            warn(describe(r));
    const unsigned in_game = static_cast<unsigned>(check.broken.size()) - check.caused_by_mods();
    if (in_game)
        warn(format("%u broken %s also in the game's own files (\"velmora-cli verify\" lists %s).", in_game,
            in_game == 1 ? "reference is" : "references are", in_game == 1 ? "it" : "them"));
    const unsigned broken = check.caused_by_mods();
    if (broken)
        warn(format("%u %s nowhere: the game may stop while loading or show raw keys.", broken,
            broken == 1 ? "name points" : "names point"));
}

} // namespace velmora::cli
