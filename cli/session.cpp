#include "cli/session.h"
#include "path/fs.h"

#include "cli/commands.h"
#include "cli/folders.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"

namespace velmora::cli {

std::unique_ptr<Orrindel> start_core(const std::optional<std::string>& home)
{
    std::unique_ptr<Orrindel> core;
    if (home) {
        Path folder = absolute_folder(*home);
        // The core would create a missing one; a mistyped name would then
        // quietly start from empty settings.
        if (!is_folder(folder)) {
            const std::string name = shown(folder);
            throw GenericError(format("The home folder \"%S\" given with --home is not a folder.", &name));
        }
        core = std::make_unique<Orrindel>(folder);
    } else {
        core = std::make_unique<Orrindel>();
    }
    core->startup();
    for (const std::string& warning : core->get_warnings())
        warn(warning);
    return core;
}

} // namespace velmora::cli
