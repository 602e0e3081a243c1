#ifndef VELMORA_CORE_CUSTOM_ASSETS_H
#define VELMORA_CORE_CUSTOM_ASSETS_H

#include <ctime>
#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

// The location p names on disk: made absolute against the current folder,
// with the symbolic links, "." and ".." of the part that exists resolved.
Path real_location(const Path& p);

// Holds the lock on a custom-assets folder for one apply, taken on the folder
// that holds it (the folder itself is swapped). The system releases the lock
// when the process ends, killed or not.
class CustomAssetsLock {
public:
    // Waits up to wait_ms for another Velmora to finish, then throws
    // GenericError "Another Velmora is applying mods to ...".
    explicit CustomAssetsLock(const Path& target, int wait_ms = 5000);
    ~CustomAssetsLock();
    CustomAssetsLock(const CustomAssetsLock&) = delete;
    CustomAssetsLock& operator=(const CustomAssetsLock&) = delete;

private:
    int handle = -1;
};

// The name a backup of target made at time `when` gets: beside it,
// "CustomAssets.velmora-backup-YYYYMMDD-HHMMSS" (local time), with "-2", "-3"
// ... added when that name is taken.
Path backup_folder(const Path& target, std::time_t when);

// Copies target to a new backup folder beside it (files are hard-linked where
// the file system can: no bytes are copied) and returns its name. The copy is
// made under a hidden name and renamed when complete, so that a backup is
// never partial. Throws GenericError when it cannot be made.
Path back_up_custom_assets(const Path& target);

// A new custom-assets folder, built beside the old one and put in its place
// only by commit(), so that a failure, or the program being killed, never
// leaves a partly built folder under the custom-assets name.
class CustomAssetsBuild {
public:
    // Removes what an interrupted earlier build left beside target and creates
    // the new, empty folder, named for this run alone. The caller holds the
    // CustomAssetsLock. Throws GenericError when it cannot.
    explicit CustomAssetsBuild(const Path& target);
    // Removes the new folder unless it was committed.
    ~CustomAssetsBuild();
    CustomAssetsBuild(const CustomAssetsBuild&) = delete;
    CustomAssetsBuild& operator=(const CustomAssetsBuild&) = delete;

    // The folder to build in.
    const Path& folder() const { return fresh; }
    // Puts the new folder in place of target and removes the old one, or
    // with keep_old_as renames it to that name (a restore point). Throws
    // GenericError, with target as it was, when the swap fails.
    void commit(const Path& keep_old_as = Path());

private:
    Path target;
    Path fresh;
    Path old;
    bool committed = false;
};

// Removes the custom-assets folder: it is first renamed aside, so that it is
// gone from its name at once or not at all; with keep_as, it is renamed to
// that backup and kept. A missing folder is no error. Throws GenericError
// when it cannot be removed.
void remove_custom_assets(const Path& target, const Path& keep_as = Path());

} // namespace velmora

#endif
