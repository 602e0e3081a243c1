#include "core/data_file.h"

#include "base/errors.h"
#include "base/format.h"
#include "path/fs.h"
#include "path/platform.h"

#ifndef VELMORA_DATA_DIR
#define VELMORA_DATA_DIR ""
#endif

namespace velmora {

namespace {

bool is_file(const Path& p)
{
    bool is_folder = false;
    return platform::stat(p.str(), &is_folder) == 0 && !is_folder;
}

} // namespace

std::vector<Path> data_folders()
{
    std::vector<Path> folders{Path()};
    std::string exe = platform::executable_dir();
    if (!exe.empty()) {
        folders.emplace_back(exe);
        // An installed program finds its data beside its own bin folder, so
        // that an install moved elsewhere, or unpacked under DESTDIR, works.
        folders.push_back(Path(exe) / Path("../share/velmora"));
    }
    std::string installed = VELMORA_DATA_DIR;
    if (!installed.empty())
        folders.emplace_back(installed);
    return folders;
}

Path find_data_file(const std::string& name, const std::vector<Path>& folders)
{
    for (const Path& folder : folders) {
        Path candidate = folder.empty() ? Path(name) : child_path(folder, name);
        if (is_file(candidate))
            return candidate;
    }
    return Path();
}

Path find_data_file(const std::string& name)
{
    std::vector<Path> folders = data_folders();
    Path found = find_data_file(name, folders);
    if (!found.empty())
        return found;
    std::string searched;
    for (const Path& folder : folders) {
        std::string shown = folder.empty() ? "the current folder" : "\"" + platform::native(folder) + "\"";
        searched += (searched.empty() ? "" : ", ") + shown;
    }
    throw GenericError(format("Cannot find the data file \"%s\": looked in %S.", name.c_str(), &searched));
}

} // namespace velmora
