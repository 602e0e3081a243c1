#include "cli/folders.h"

#include <cstdlib>
#include <unistd.h>

#include "base/errors.h"
#include "path/platform.h"

namespace velmora::cli {

Path absolute_folder(const std::string& text)
{
    Path given(text);
    Path base;
    if (given.is_absolute()) {
        base = Path(given[0]);
        given = given.subpath(1, given.size() - 1);
    } else {
        std::string cwd(4096, '\0');
        if (!::getcwd(&cwd[0], cwd.size()))
            throw GenericError("Cannot read the name of the current folder.");
        base = Path(cwd.c_str());
    }
    // Joining resolves "." and "..".
    return base / given;
}

bool is_folder(const Path& p)
{
    bool folder = false;
    return platform::stat(p.str(), &folder) == 0 && folder;
}

std::vector<KeptFolder> kept_folders(const Path& civ4_dir, const Path& mods_dir, const Path& settings_dir)
{
    return {{"game folder", civ4_dir},
        {"game's Assets folder", civ4_dir.empty() ? Path() : civ4_dir / Path("Assets")},
        {"mods folder", mods_dir}, {"settings folder", settings_dir},
        {"home folder", settings_dir.size() > 1 ? settings_dir.subpath(0, settings_dir.size() - 1) : Path()}};
}

} // namespace velmora::cli
