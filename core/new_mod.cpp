#include "core/new_mod.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "core/orrindel.h"
#include "creator/modcreator.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

const char* const mod_extension = ".Pellarix";

// The profiles whose enabled mods hold the listed mod of that file.
std::vector<std::string> profiles_enabling(const Orrindel& core, const Path& file)
{
    std::vector<std::string> names;
    for (const Mod* mod : core.get_mods()) {
        if (mod->path != file)
            continue;
        const std::string key = core.key_of(mod);
        for (const std::string& name : core.get_profiles()) {
            const std::vector<std::string> enabled = core.get_profile_values(name).enabled;
            if (std::find(enabled.begin(), enabled.end(), key) != enabled.end())
                names.push_back(name);
        }
    }
    return names;
}

// Gives the mod its header, saves it and lists it.
void add_new_mod(Orrindel& core, std::unique_ptr<Mod> mod, const NewModHeader& header, const Path& file,
    const NewModProgress& progress, NewMod& out)
{
    if (progress)
        progress("Saving", 1.0f);
    mod->name = header.name;
    mod->author = header.author;
    if (header.version)
        mod->version = *header.version;
    if (header.description)
        mod->description = *header.description;
    mod->save(file);
    out.replaced_in = profiles_enabling(core, file);
    out.mod = mod.get();
    core.add_mod(std::move(mod));
}

} // namespace

Path new_mod_file(const Orrindel& core, const std::string& name)
{
    return child_path(core.get_mods_dir(), name + mod_extension);
}

NewMod create_mod(Orrindel& core, const Path& dir, const NewModHeader& header, const Path& file, bool report,
    const NewModProgress& progress)
{
    NewMod out;
    std::unique_ptr<Mod> mod;
    {
        ModCreator creator(core.get_civ4_dir(), core.get_settings_dir(), dir, report);
        creator.set_base_mod(core.get_base_mod());
        if (progress)
            creator.signal_progress.connect(
                [&progress](const Path& rel, float fraction) { progress(platform::native(rel), fraction); });
        mod.reset(creator.create());
        out.skipped = creator.skipped();
        out.documents = creator.documents();
    }
    if (mod)
        add_new_mod(core, std::move(mod), header, file, progress, out);
    return out;
}

NewMod import_mod(Orrindel& core, const Path& archive, const NewModHeader& header, const Path& file, bool report,
    const ArchiveLimits& limits, const NewModProgress& progress, const ArchiveLimitQuestion& ask)
{
    NewMod out;
    std::unique_ptr<Mod> mod;
    {
        ModImporter importer(core.get_civ4_dir(), core.get_settings_dir(), archive, report, limits);
        importer.set_base_mod(core.get_base_mod());
        if (progress)
            importer.signal_progress.connect(
                [&progress](const std::string& step, float fraction) { progress(step, fraction); });
        if (ask)
            importer.signal_limit_exceeded.connect(
                [&ask](ArchiveLimits::Kind kind, const std::string& message) { return ask(kind, message); });
        mod = importer.import();
        out.skipped = importer.skipped();
        out.documents = importer.documents();
        out.assets_folder = importer.assets_folder();
    }
    add_new_mod(core, std::move(mod), header, file, progress, out);
    return out;
}

} // namespace velmora
