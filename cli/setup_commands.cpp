// velmora-cli export and import-setup: a profile as one small file to share.
#include <iostream>

#include "cli/commands.h"
#include "cli/folders.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "core/setup_file.h"

namespace velmora::cli {

namespace {

std::string mod_text(const SetupMod& m)
{
    std::string text = "'" + printable(one_line(m.name)) + "'";
    if (!m.version.empty())
        text += " " + printable(one_line(m.version));
    return text;
}

} // namespace

int run_export(Orrindel& core, const ExportOptions& options)
{
    const Path file = absolute_folder(options.file);
    const Setup setup = core.export_setup();
    setup.write(file);
    const unsigned mods = static_cast<unsigned>(setup.mods.size());
    const unsigned answers = static_cast<unsigned>(setup.answers.size());
    std::cout << "Wrote the profile '" << printable(one_line(setup.profile)) << "' to \"" << shown(file) << "\": "
              << mods << (mods == 1 ? " mod, " : " mods, ") << answers
              << (answers == 1 ? " remembered answer.\n" : " remembered answers.\n");
    return exit_success;
}

int run_import_setup(Orrindel& core, const ImportSetupOptions& options)
{
    const Path file = absolute_folder(options.file);
    const Setup setup = Setup::read(file);
    const std::string name = options.as ? *options.as : setup.profile;
    if (name.empty())
        throw UsageError(format("The setup file \"%S\" names no profile; give one with --as NAME.", &options.file));
    const std::vector<SetupMatch> matches = core.import_setup(setup, name);
    core.save_config();
    std::cout << "Made the profile '" << printable(one_line(name)) << "' from \"" << shown(file) << "\":\n";
    std::vector<std::string> missing;
    for (const SetupMatch& m : matches) {
        std::cout << "  " << mod_text(m.wanted) << ": ";
        if (!m.found) {
            std::cout << "missing\n";
            missing.push_back(mod_text(m.wanted));
        } else if (m.version_differs) {
            std::cout << "version differs (here " << printable(one_line(m.found->version)) << ", "
                      << printable(m.found->path[-1]) << ")\n";
        } else {
            std::cout << "found (" << printable(m.found->path[-1]) << ")\n";
        }
    }
    if (missing.empty())
        return exit_success;
    std::string list;
    for (const std::string& m : missing)
        list += (list.empty() ? "" : ", ") + m;
    const std::string folder = shown(core.get_mods_dir());
    report_error(format("%u %s of the setup %s missing from \"%S\": %S. Put %s in the mods folder before "
                        "applying the profile.",
        static_cast<unsigned>(missing.size()), missing.size() == 1 ? "mod" : "mods",
        missing.size() == 1 ? "is" : "are", &folder, &list, missing.size() == 1 ? "its file" : "their files"));
    return exit_failure;
}

} // namespace velmora::cli
