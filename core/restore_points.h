#ifndef VELMORA_CORE_RESTORE_POINTS_H
#define VELMORA_CORE_RESTORE_POINTS_H

#include <cstdint>
#include <ctime>
#include <vector>

#include "core/build_info.h"
#include "path/path.h"

namespace velmora {

// An earlier build of a custom-assets folder, kept whole beside it (hidden:
// ".CustomAssets.velmora-restore-YYYYMMDD-HHMMSS") when a later apply, a
// restore or playing without mods replaced it. Its files are the very files
// that build wrote (a renamed folder, or hard links shared with the builds
// after it), its manifest and other ".velmora-" files with them.
struct RestorePoint {
    Path folder;
    // When it stopped being the custom-assets folder.
    std::time_t replaced = 0;
    // What it was built from; empty when it does not say.
    BuildInfo info;
    // The sizes of its files, and of those no other folder shares by a hard
    // link: what deleting it would free.
    std::uint64_t bytes = 0;
    std::uint64_t own_bytes = 0;
};

// The restore points of target, newest first.
std::vector<RestorePoint> list_restore_points(const Path& target);

// A new restore point's name for a build of target replaced at `when`.
Path new_restore_point(const Path& target, std::time_t when);

// Whether folder is a build Velmora made (it holds the list of what it wrote):
// only such a folder becomes a restore point.
bool is_build(const Path& folder);

// Deletes the oldest restore points of target beyond the newest `keep`.
// Returns false when one could not be deleted (it is left for the next time).
bool prune_restore_points(const Path& target, unsigned keep);

} // namespace velmora

#endif
