#include "cli/mod_lookup.h"

#include <algorithm>

#include "cli/commands.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora::cli {

namespace {

const std::string mod_extension = ".Pellarix";

// The scan takes a file by its exact extension; so does this.
bool has_mod_extension(const std::string& name)
{
    return name.size() > mod_extension.size()
        && name.compare(name.size() - mod_extension.size(), mod_extension.size(), mod_extension) == 0;
}

bool same_file_name(const std::string& a, const std::string& b)
{
    return platform::stricmp(a.c_str(), b.c_str()) == 0;
}

// Why the header of file cannot be read, as the scan met it.
std::string header_problem(const Path& file)
{
    Mod probe;
    try {
        probe.load_headers(file);
    } catch (const GenericError& e) {
        return one_line(e.what());
    }
    return "it was added or repaired after the scan";
}

} // namespace

std::vector<Mod*> find_mods(const Orrindel& core, const std::string& key)
{
    std::vector<Mod*> found;
    for (Mod* mod : core.get_mods())
        if (mod->name == key)
            found.push_back(mod);
    if (!found.empty())
        return found;
    for (Mod* mod : core.get_mods())
        if (mod->path[-1] == key)
            found.push_back(mod);
    if (!found.empty())
        return found;
    for (Mod* mod : core.get_mods())
        if (same_file_name(mod->path[-1], key))
            found.push_back(mod);
    return found;
}

std::vector<Mod*> require_mods(const Orrindel& core, const std::string& key)
{
    std::vector<Mod*> found = find_mods(core, key);
    if (!found.empty())
        return found;
    const std::string folder = shown(core.get_mods_dir());
    const std::string name = printable(key);
    for (const SkippedFile& skipped : skipped_mod_files(core)) {
        if (same_file_name(skipped.file, key))
            throw GenericError(
                format("The mod file \"%S\" in \"%S\" cannot be read: %S", &name, &folder, &skipped.reason));
    }
    throw GenericError(format("No mod named \"%S\" in \"%S\" (give a mod's name or its file name; "
                              "\"velmora-cli list\" shows them).",
        &name, &folder));
}

std::string ambiguous_name_message(const std::string& key, const std::vector<Mod*>& mods)
{
    std::string files;
    for (const Mod* mod : mods)
        files += (files.empty() ? "" : ", ") + printable(mod->path[-1]);
    const std::string name = printable(key);
    return format("The name \"%S\" is carried by %u mods: %S; give one by its file name.", &name,
        static_cast<unsigned>(mods.size()), &files);
}

Mod* require_mod(const Orrindel& core, const std::string& key)
{
    std::vector<Mod*> mods = require_mods(core, key);
    if (mods.size() > 1)
        throw UsageError(ambiguous_name_message(key, mods));
    return mods.front();
}

std::vector<SkippedFile> skipped_mod_files(const Orrindel& core)
{
    std::vector<SkippedFile> skipped;
    const Path& folder = core.get_mods_dir();
    for (const std::string& f : list_files(folder)) {
        if (!has_mod_extension(f))
            continue;
        Path file = child_path(folder, f);
        bool listed = std::any_of(core.get_mods().begin(), core.get_mods().end(),
            [&](const Mod* m) { return m->path.str() == file.str(); });
        if (!listed)
            skipped.push_back({f, header_problem(file)});
    }
    return skipped;
}

} // namespace velmora::cli
