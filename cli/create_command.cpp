// velmora-cli create and import: the create-mod dialog and the mod creator,
// with the dialog's rules for the folder and the mod's name; import makes the
// same mod from an archive.
#include <algorithm>
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
#include "creator/import.h"

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
    // The creator reads DIR itself only when it is named like an assets
    // folder, else the "Assets" folder inside it: say so before it fails.
    const std::string last = dir.size() > 0 ? dir[-1] : std::string();
    if (platform::stricmp(last.c_str(), "Assets") != 0 && platform::stricmp(last.c_str(), "CustomAssets") != 0
        && !is_folder(child_path(dir, "Assets"))) {
        const std::string name = shown(dir);
        throw GenericError(
            format("The folder \"%S\" is not named \"Assets\" or \"CustomAssets\" and holds no "
                   "\"Assets\" folder: give the folder of modified files itself, named like the "
                   "game's \"Assets\", or the mod's folder that holds it.",
                &name));
    }
    return dir;
}

// The new mod's file; an existing one is replaced only when asked to.
Path new_mod_file(const Orrindel& core, const std::string& mod_name, bool force)
{
    const std::string problem = check_mod_file_name(mod_name);
    if (!problem.empty())
        throw UsageError(problem);
    Path file = child_path(core.get_mods_dir(), mod_name + mod_extension);
    if (!force && exists(file)) {
        const std::string name = shown(file);
        throw GenericError(format("The mod file \"%S\" already exists. Give --force to replace it.", &name));
    }
    return file;
}

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

// The files of the folder that the game does not read: left out, or kept as
// documents (see ModCreator::skipped and documents).
struct Unread {
    std::vector<std::string> skipped;
    std::vector<std::string> documents;
};

#ifdef VELMORA_HAVE_MOD_CREATOR
std::unique_ptr<Mod> build_mod(Orrindel& core, const Path& dir, bool report, Unread& unread)
{
    ModCreator creator(core.get_civ4_dir(), core.get_settings_dir(), dir, report);
    creator.set_base_mod(core.get_base_mod());
    ProgressBar bar(std::cerr, is_terminal(STDERR_FILENO));
    creator.signal_progress.connect(
        [&bar](const Path& file, float fraction) { bar.show(platform::native(file), fraction); });
    std::unique_ptr<Mod> mod(creator.create());
    if (!mod) {
        const std::string name = shown(dir);
        throw GenericError(format("No mod could be made from the folder \"%S\".", &name));
    }
    unread = {creator.skipped(), creator.documents()};
    return mod;
}
#else
std::unique_ptr<Mod> build_mod(Orrindel&, const Path&, bool, Unread&)
{
    throw GenericError("Creating mods is not available in this build of Velmora.");
}
#endif

// "3 files no game reads: .DS_Store, Art/Thumbs.db, ...": the first names of
// files, in their native form; a folder of a Mac's copies may hold hundreds.
std::string listed(const std::vector<std::string>& files, const char* one, const char* many, const char* what)
{
    constexpr std::size_t shown_at_most = 10;
    std::string text = std::to_string(files.size()) + " " + (files.size() == 1 ? one : many) + " " + what + ": ";
    for (std::size_t i = 0; i < files.size() && i < shown_at_most; ++i)
        text += (i ? ", " : "") + printable(platform::native(Path(files[i])));
    if (files.size() > shown_at_most)
        text += ", and " + std::to_string(files.size() - shown_at_most) + " more";
    return text;
}

void print_result(
    const Orrindel& core, const Mod& mod, const Unread& unread, bool report, const std::vector<std::string>& enabling)
{
    std::cout << "Created the mod '" << printable(mod.name) << "' with " << mod.changes.size()
              << (mod.changes.size() == 1 ? " change" : " changes") << ": \"" << shown(mod.path) << "\".\n";
    if (!unread.skipped.empty())
        std::cout << "skipped " << listed(unread.skipped, "file", "files", "no game reads") << "\n";
    if (!unread.documents.empty())
        std::cout << "kept " << listed(unread.documents, "document", "documents", "the game does not read")
                  << "\n";
    if (mod.changes.empty())
        warn("the folder holds no file that differs from the game's; the mod changes nothing.");
    if (report)
        std::cout << "Report: \"" << shown(core.get_settings_dir() / Path("report.txt")) << "\".\n";
    if (enabling.empty())
        return;
    std::string names;
    for (const std::string& name : enabling)
        names += (names.empty() ? "'" : ", '") + printable(one_line(name)) + "'";
    std::cout << "It replaced an enabled mod and keeps its place among the enabled mods of the "
              << (enabling.size() == 1 ? "profile " : "profiles ") << names << ".\n";
}

// Saves the new mod in the mods folder and lists it.
void save_new_mod(Orrindel& core, std::unique_ptr<Mod> mod, const Path& file, const Unread& unread, bool report)
{
    // Written under a temporary name and renamed: a failure leaves an older file whole.
    mod->save(file);
    const std::vector<std::string> enabling = profiles_enabling(core, file);
    Mod& saved = *mod;
    core.add_mod(mod.release());
    print_result(core, saved, unread, report, enabling);
}

// "500M", "4G", "2000000": bytes, with an optional K, M, G or T (powers of 1024).
std::uint64_t size_option(const std::string& text)
{
    std::size_t end = 0;
    unsigned long long value = 0;
    try {
        value = std::stoull(text, &end);
    } catch (const std::exception&) {
        end = 0;
    }
    std::string unit = text.substr(end);
    int shift = unit.empty() ? 0 : -1;
    if (unit.size() == 1 || (unit.size() == 3 && (unit.substr(1) == "iB" || unit.substr(1) == "ib")))
        switch (unit[0]) {
        case 'k': case 'K': shift = 10; break;
        case 'm': case 'M': shift = 20; break;
        case 'g': case 'G': shift = 30; break;
        case 't': case 'T': shift = 40; break;
        default: break;
        }
    if (end == 0 || shift < 0 || text[0] == '-' || (shift && value > (~0ull >> shift)))
        throw UsageError("--max-size needs a size such as 500M or 8G, not \"" + text + "\".");
    return static_cast<std::uint64_t>(value) << shift;
}

ArchiveLimits limits_of(const ImportOptions& options)
{
    ArchiveLimits limits;
    if (!options.max_size.empty())
        limits.max_size = size_option(options.max_size);
    if (options.max_entries)
        limits.max_entries = options.max_entries;
    if (options.max_ratio)
        limits.max_ratio = options.max_ratio;
    return limits;
}

const char* limit_option(ArchiveLimits::Kind kind)
{
    switch (kind) {
    case ArchiveLimits::Kind::Size:
        return "--max-size SIZE";
    case ArchiveLimits::Kind::Entries:
        return "--max-entries N";
    case ArchiveLimits::Kind::Ratio:
        return "--max-ratio N";
    }
    return "";
}

} // namespace

int run_import(Orrindel& core, const ImportOptions& options)
{
    if (options.file.empty())
        throw UsageError("import needs the archive file.");
    core.check_folders(FolderUse::CreateMod);
    const Path archive = absolute_folder(options.file);
    const ArchiveLimits limits = limits_of(options);
    const std::string mod_name = options.name ? *options.name : names_from_archive_file(archive[-1]).name;
    if (!options.name && !check_mod_file_name(mod_name).empty())
        throw UsageError("The archive's file name gives no usable mod name (\"" + mod_name + "\"): give one with --name.");
    const Path file = new_mod_file(core, mod_name, options.force);

    ModImporter importer(core.get_civ4_dir(), core.get_settings_dir(), archive, options.report, limits);
    importer.set_base_mod(core.get_base_mod());
    ProgressBar bar(std::cerr, is_terminal(STDERR_FILENO));
    importer.signal_progress.connect(
        [&bar](const std::string& message, float fraction) { bar.show(message, fraction); });
    std::optional<ArchiveLimits::Kind> passed;
    importer.signal_limit_exceeded.connect([&passed](ArchiveLimits::Kind kind, const std::string&) {
        passed = kind;
        return false;
    });
    std::unique_ptr<Mod> mod;
    try {
        mod = importer.import();
    } catch (const GenericError& e) {
        if (!passed)
            throw;
        bar.clear();
        report_error(e.what());
        hint(std::string("if you trust the archive, give ") + limit_option(*passed) + " to raise the limit.");
        return exit_failure;
    }
    bar.clear();
    std::cout << "Took the mod folder \"" << printable(importer.assets_folder().empty() ? "." : importer.assets_folder())
              << "\" of the archive.\n";
    mod->name = mod_name;
    mod->author = options.author;
    if (options.version)
        mod->version = *options.version;
    if (options.description)
        mod->description = *options.description;
    save_new_mod(core, std::move(mod), file, {importer.skipped(), importer.documents()}, options.report);
    return exit_success;
}

int run_create(Orrindel& core, const CreateOptions& options)
{
    if (options.dir.empty())
        throw UsageError("create needs the folder of modified files.");
    core.check_folders(FolderUse::CreateMod);
    const Path dir = modified_folder(options.dir);
    const Path file = new_mod_file(core, options.name, options.force);
    Unread unread;
    std::unique_ptr<Mod> mod = build_mod(core, dir, options.report, unread);
    mod->name = options.name;
    mod->author = options.author;
    mod->version = options.version;
    mod->description = options.description;
    save_new_mod(core, std::move(mod), file, unread, options.report);
    return exit_success;
}

} // namespace velmora::cli
