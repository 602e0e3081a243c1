// velmora-cli create and import: the create-mod dialog and the mod creator,
// with the dialog's rules for the folder and the mod's name; import makes the
// same mod from an archive.
#include <iostream>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/folders.h"
#include "cli/terminal.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/mod_name.h"
#include "core/new_mod.h"
#include "core/orrindel.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora::cli {

namespace {

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
Path checked_mod_file(const Orrindel& core, const std::string& mod_name, bool force)
{
    const std::string problem = check_mod_file_name(mod_name);
    if (!problem.empty())
        throw UsageError(problem);
    Path file = new_mod_file(core, mod_name);
    if (!force && exists(file)) {
        const std::string name = shown(file);
        throw GenericError(format("The mod file \"%S\" already exists. Give --force to replace it.", &name));
    }
    return file;
}

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

void print_result(const Orrindel& core, const NewMod& made, bool report)
{
    const Mod& mod = *made.mod;
    std::cout << "Created the mod '" << printable(mod.name) << "' with " << mod.changes.size()
              << (mod.changes.size() == 1 ? " change" : " changes") << ": \"" << shown(mod.path) << "\".\n";
    if (!made.skipped.empty())
        std::cout << "skipped " << listed(made.skipped, "file", "files", "no game reads") << "\n";
    if (!made.documents.empty())
        std::cout << "kept " << listed(made.documents, "document", "documents", "the game does not read")
                  << "\n";
    if (mod.changes.empty())
        warn("the folder holds no file that differs from the game's; the mod changes nothing.");
    if (report)
        std::cout << "Report: \"" << shown(core.get_settings_dir() / Path("report.txt")) << "\".\n";
    if (made.replaced_in.empty())
        return;
    std::string names;
    for (const std::string& name : made.replaced_in)
        names += (names.empty() ? "'" : ", '") + printable(one_line(name)) + "'";
    std::cout << "It replaced an enabled mod and keeps its place among the enabled mods of the "
              << (made.replaced_in.size() == 1 ? "profile " : "profiles ") << names << ".\n";
}

// Shows the progress of making a mod on a terminal.
NewModProgress progress_on(ProgressBar& bar)
{
    return [&bar](const std::string& step, float fraction) { bar.show(step, fraction); };
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
    const Path file = checked_mod_file(core, mod_name, options.force);

    std::optional<ArchiveLimits::Kind> passed;
    const ArchiveLimitQuestion refuse = [&passed](ArchiveLimits::Kind kind, const std::string&) {
        passed = kind;
        return false;
    };
    NewModHeader header{mod_name, options.author, options.version, options.description};
    ProgressBar bar(std::cerr, is_terminal(STDERR_FILENO));
    NewMod made;
    try {
        made = import_mod(core, archive, header, file, options.report, limits, progress_on(bar), refuse);
    } catch (const GenericError& e) {
        if (!passed)
            throw;
        bar.clear();
        report_error(e.what());
        hint(std::string("if you trust the archive, give ") + limit_option(*passed) + " to raise the limit.");
        return exit_failure;
    }
    bar.clear();
    std::cout << "Took the mod folder \"" << printable(made.assets_folder.empty() ? "." : made.assets_folder)
              << "\" of the archive.\n";
    print_result(core, made, options.report);
    return exit_success;
}

int run_create(Orrindel& core, const CreateOptions& options)
{
    if (options.dir.empty())
        throw UsageError("create needs the folder of modified files.");
    core.check_folders(FolderUse::CreateMod);
    const Path dir = modified_folder(options.dir);
    const Path file = checked_mod_file(core, options.name, options.force);
    const NewModHeader header{options.name, options.author, options.version, options.description};
    NewMod made;
    {
        ProgressBar bar(std::cerr, is_terminal(STDERR_FILENO));
        made = create_mod(core, dir, header, file, options.report, progress_on(bar));
    }
    if (!made.mod) {
        const std::string name = shown(dir);
        throw GenericError(format("No mod could be made from the folder \"%S\".", &name));
    }
    print_result(core, made, options.report);
    return exit_success;
}

} // namespace velmora::cli
