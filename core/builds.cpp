// What the core does with whole builds of the custom-assets folder: their
// fingerprint, the restore points kept of earlier ones, putting one back, and
// taking every mod out of the game.
#include <cerrno>
#include <cstring>
#include <ctime>

#include "base/errors.h"
#include "base/format.h"
#include "core/custom_assets.h"
#include "core/manifest.h"
#include "core/orrindel.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

std::string last_error() { return std::strerror(errno); }

} // namespace

BuildSummary Orrindel::describe_build() const
{
    const Path target = checked_target();
    Manifest manifest;
    if (!Manifest::read(target, manifest))
        throw GenericError(format("The custom assets folder %S holds no build of Velmora (no list of the files "
                                  "an apply wrote); apply the mods first.",
            &target));
    BuildSummary summary;
    summary.fingerprint = build_fingerprint(manifest);
    summary.files = manifest.entries.size();
    BuildInfo::read(target, summary.info);
    return summary;
}

std::vector<RestorePoint> Orrindel::get_restore_points() const
{
    return list_restore_points(checked_target());
}

// The name the build in target gets as a restore point, or none when it is
// no build of Velmora's or none are kept.
Path Orrindel::restore_point_for(const Path& target) const
{
    if (restore_point_limit == 0 || !is_build(target))
        return Path();
    return new_restore_point(target, std::time(nullptr));
}

// The build in target steps aside as the newest restore point, or, when it
// is not a build of Velmora's, is removed. Files of the user's in it are
// kept in a backup first (hard links: no bytes copied). The caller holds the
// lock; afterwards target does not exist. Returns whether a restore point
// was kept.
bool Orrindel::retire_custom_assets(const Path& target)
{
    if (platform::kind_of(target.str()) == platform::Kind::None)
        return false;
    const Path point = restore_point_for(target);
    if (point.empty()) {
        const Path keep = foreign_files_in(target) ? backup_folder(target, std::time(nullptr)) : Path();
        remove_custom_assets(target, keep);
        last_backup = keep;
        prune_restore_points(target, restore_point_limit);
        return false;
    }
    if (foreign_files_in(target))
        last_backup = back_up_custom_assets(target);
    if (platform::rename(target.str(), point.str()) != 0) {
        std::string why = last_error();
        throw GenericError(format("Cannot keep the custom assets folder %S as the restore point %S: %S", &target,
            &point, &why));
    }
    prune_restore_points(target, restore_point_limit);
    return true;
}

bool Orrindel::unmod()
{
    const Path target = checked_target();
    CustomAssetsLock lock(target, lock_wait_ms);
    last_backup = Path();
    applied_order.clear();
    verification = Verification();
    last_fingerprint.clear();
    return retire_custom_assets(target);
}

void Orrindel::restore_build(unsigned n)
{
    const Path target = checked_target();
    CustomAssetsLock lock(target, lock_wait_ms);
    const std::vector<RestorePoint> points = list_restore_points(target);
    if (n < 1 || n > points.size()) {
        const unsigned count = static_cast<unsigned>(points.size());
        throw GenericError(count == 0
                ? format("There are no restore points of %S yet: each apply keeps the build it replaces.", &target)
                : format("There is no restore point %u of %S; there are %u.", n, &target, count));
    }
    const Path point = points[n - 1].folder;
    last_backup = Path();
    if (platform::kind_of(target.str()) == platform::Kind::None) {
        if (platform::rename(point.str(), target.str()) != 0) {
            std::string why = last_error();
            throw GenericError(format("Cannot restore %S as %S: %S", &point, &target, &why));
        }
        return;
    }
    // The two folders exchange names in one step: at every moment the
    // custom-assets folder is one whole build. Then the build replaced takes
    // a restore point's name of its own.
    if (foreign_files_in(target))
        last_backup = back_up_custom_assets(target);
    const Path aside = restore_point_for(target);
    if (platform::exchange(point.str(), target.str()) == 0) {
        if (aside.empty() || platform::rename(point.str(), aside.str()) != 0)
            rmdir(point, true);
    } else {
        if (errno != ENOSYS && errno != EINVAL) {
            std::string why = last_error();
            throw GenericError(format("Cannot restore %S as %S: %S", &point, &target, &why));
        }
        // Without an atomic exchange: the build steps aside, then the restore point takes its name.
        const Path away = aside.empty() ? new_restore_point(target, std::time(nullptr)) : aside;
        if (platform::rename(target.str(), away.str()) != 0) {
            std::string why = last_error();
            throw GenericError(format("Cannot move the custom assets folder %S aside: %S", &target, &why));
        }
        if (platform::rename(point.str(), target.str()) != 0) {
            std::string why = last_error();
            platform::rename(away.str(), target.str());
            throw GenericError(format("Cannot restore %S as %S: %S", &point, &target, &why));
        }
        if (aside.empty())
            rmdir(away, true);
    }
    prune_restore_points(target, restore_point_limit);
    Manifest manifest;
    last_fingerprint = Manifest::read(target, manifest) ? build_fingerprint(manifest) : std::string();
}

} // namespace velmora
