#include "core/custom_assets.h"

#include <cerrno>
#include <cstring>

#include "base/errors.h"
#include "base/format.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

const char* const fresh_suffix = ".velmora-new";
const char* const old_suffix = ".velmora-old";

// A hidden name beside target, so that the temporary folders sit on the same
// file system (renames between them are single steps) and are easy to tell.
Path beside(const Path& target, const char* suffix)
{
    return child_path(target.subpath(0, target.size() - 1), "." + target[-1] + suffix);
}

std::string last_error() { return std::strerror(errno); }

// Removes a folder, file or link of ours; a link is removed, never followed.
bool remove_entry(const Path& p)
{
    switch (platform::kind_of(p.str())) {
    case platform::Kind::None:
        return true;
    case platform::Kind::Folder:
        return rmdir(p, true) == 0;
    default:
        return platform::unlink(p.str()) == 0;
    }
}

void remove_leftover(const Path& p)
{
    if (!remove_entry(p)) {
        std::string why = last_error();
        throw GenericError(format("Cannot remove %S, left over from an earlier apply: %S", &p, &why));
    }
}

} // namespace

Path real_location(const Path& p)
{
    const unsigned n = p.size();
    const unsigned shortest = p.is_absolute() ? 1 : 0;
    for (unsigned k = n + 1; k-- > shortest;) {
        std::string real = platform::real_path(k == 0 ? std::string(".") : p.subpath(0, k).str());
        if (real.empty())
            continue;
        Path result(real);
        // A trailing separator is an empty last component; it names nothing.
        for (unsigned i = k; i < n; ++i)
            if (!p[static_cast<int>(i)].empty())
                result /= Path(p[static_cast<int>(i)]);
        return result;
    }
    return p;
}

CustomAssetsBuild::CustomAssetsBuild(const Path& target)
    : target(target)
    , fresh(beside(target, fresh_suffix))
    , old(beside(target, old_suffix))
{
    remove_leftover(fresh);
    remove_leftover(old);
    if (mkpath(fresh, 0755) != 0) {
        std::string why = last_error();
        throw GenericError(format("Cannot create the folder %S: %S", &fresh, &why));
    }
}

CustomAssetsBuild::~CustomAssetsBuild()
{
    if (!committed)
        remove_entry(fresh);
}

void CustomAssetsBuild::commit()
{
    if (platform::kind_of(target.str()) == platform::Kind::None) {
        if (platform::rename(fresh.str(), target.str()) != 0) {
            std::string why = last_error();
            throw GenericError(format("Cannot move the new custom assets folder to %S: %S", &target, &why));
        }
        committed = true;
        return;
    }
    if (platform::exchange(fresh.str(), target.str()) == 0) {
        committed = true;
        remove_entry(fresh); // now the old folder; a leftover is removed by the next apply
        return;
    }
    if (errno != ENOSYS && errno != EINVAL) {
        std::string why = last_error();
        throw GenericError(format("Cannot replace the custom assets folder %S: %S", &target, &why));
    }
    // Without an atomic exchange: the old folder steps aside, then the new one takes its name.
    if (platform::rename(target.str(), old.str()) != 0) {
        std::string why = last_error();
        throw GenericError(format("Cannot replace the custom assets folder %S: %S", &target, &why));
    }
    if (platform::rename(fresh.str(), target.str()) != 0) {
        std::string why = last_error();
        platform::rename(old.str(), target.str());
        throw GenericError(format("Cannot replace the custom assets folder %S: %S", &target, &why));
    }
    committed = true;
    remove_entry(old);
}

void remove_custom_assets(const Path& target)
{
    if (platform::kind_of(target.str()) == platform::Kind::None)
        return;
    const Path old = beside(target, old_suffix);
    remove_leftover(old);
    if (platform::rename(target.str(), old.str()) == 0) {
        remove_entry(old); // gone from its name already; a leftover is removed by the next apply
        return;
    }
    if (!remove_entry(target)) {
        std::string why = last_error();
        throw GenericError(format("Cannot remove the custom assets folder %S: %S", &target, &why));
    }
}

} // namespace velmora
