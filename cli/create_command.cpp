// velmora-cli create: the create-mod dialog and the mod creator, with the
// dialog's rules for the folder and the mod's name.
#include <iostream>
#include <memory>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/folders.h"
#include "cli/terminal.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/mod_name.h"
#include "core/orrindel.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"

#if __has_include("creator/modcreator.h")
#include "creator/modcreator.h"
#define VELMORA_HAVE_MOD_CREATOR 1
#endif

namespace velmora::cli {

namespace {

const char* const mod_extension = ".Pellarix";

// The folder of modified files, checked before the creator walks it.
Path modified_folder(const std::string& text)
{
    if (text.empty())
        throw UsageError("create needs the folder of modified files.");
    Path dir = absolute_folder(text);
    if (!is_folder(dir)) {
        const std::string name = shown(dir);
        throw GenericError(format("The folder \"%S\" does not exist.", &name));
    }
    return dir;
}

// The new mod's file; an existing one is replaced only when asked to.
Path new_mod_file(const Orrindel& core, const CreateOptions& options)
{
    const std::string problem = check_mod_file_name(options.name);
    if (!problem.empty())
        throw UsageError(problem);
    Path file = child_path(core.get_mods_dir(), options.name + mod_extension);
    if (!options.force && exists(file)) {
        const std::string name = shown(file);
        throw GenericError(format("The mod file \"%S\" already exists. Give --force to replace it.", &name));
    }
    return file;
}

bool replaces_enabled_mod(const Orrindel& core, const Path& file)
{
    for (Mod* mod : core.get_enabled_mods())
        if (mod->path == file)
            return true;
    return false;
}

#ifdef VELMORA_HAVE_MOD_CREATOR
std::unique_ptr<Mod> build_mod(Orrindel& core, const Path& dir, bool report)
{
    ModCreator creator(core.get_civ4_dir(), core.get_settings_dir(), dir, report);
    ProgressBar bar(std::cerr, is_terminal(STDERR_FILENO));
    creator.signal_progress.connect(
        [&bar](const Path& file, float fraction) { bar.show(platform::native(file), fraction); });
    std::unique_ptr<Mod> mod(creator.create());
    if (!mod) {
        const std::string name = shown(dir);
        throw GenericError(format("No mod could be made from the folder \"%S\".", &name));
    }
    return mod;
}
#else
std::unique_ptr<Mod> build_mod(Orrindel&, const Path&, bool)
{
    throw GenericError("Creating mods is not available in this build of Velmora.");
}
#endif

void print_result(const Orrindel& core, const Mod& mod, const CreateOptions& options, bool was_enabled)
{
    std::cout << "Created the mod '" << printable(mod.name) << "' with " << mod.changes.size()
              << (mod.changes.size() == 1 ? " change" : " changes") << ": \"" << shown(mod.path) << "\".\n";
    if (mod.changes.empty())
        warn("the folder holds no file that differs from the game's; the mod changes nothing.");
    if (options.report)
        std::cout << "Report: \"" << shown(core.get_settings_dir() / Path("report.txt")) << "\".\n";
    if (was_enabled)
        warn("the mod file replaced an enabled mod; the new mod is not enabled (\"velmora-cli enable\" "
             "enables it).");
}

} // namespace

int run_create(Orrindel& core, const CreateOptions& options)
{
    const Path dir = modified_folder(options.dir);
    const Path file = new_mod_file(core, options);
    std::unique_ptr<Mod> mod = build_mod(core, dir, options.report);
    mod->name = options.name;
    mod->author = options.author;
    mod->version = options.version;
    mod->description = options.description;
    const Path& folder = core.get_mods_dir();
    if (!folder.empty() && !exists(folder))
        mkpath(folder, 0755);
    // Written under a temporary name and renamed: a failure leaves an older file whole.
    mod->save(file);
    const bool was_enabled = replaces_enabled_mod(core, file);
    Mod& saved = *mod;
    core.add_mod(mod.release());
    print_result(core, saved, options, was_enabled);
    return exit_success;
}

} // namespace velmora::cli
