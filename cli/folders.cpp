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

} // namespace velmora::cli
