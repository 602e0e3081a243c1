#ifndef VELMORA_CORE_CUSTOM_ASSETS_H
#define VELMORA_CORE_CUSTOM_ASSETS_H

#include "path/path.h"

namespace velmora {

// The location p names on disk: made absolute against the current folder,
// with the symbolic links, "." and ".." of the part that exists resolved.
Path real_location(const Path& p);

// A new custom-assets folder, built beside the old one and put in its place
// only by commit(), so that a failure, or the program being killed, never
// leaves a partly built folder under the custom-assets name.
class CustomAssetsBuild {
public:
    // Removes what an interrupted earlier build left beside target and creates
    // the new, empty folder. Throws GenericError when it cannot.
    explicit CustomAssetsBuild(const Path& target);
    // Removes the new folder unless it was committed.
    ~CustomAssetsBuild();
    CustomAssetsBuild(const CustomAssetsBuild&) = delete;
    CustomAssetsBuild& operator=(const CustomAssetsBuild&) = delete;

    // The folder to build in.
    const Path& folder() const { return fresh; }
    // Puts the new folder in place of target and removes the old one. Throws
    // GenericError, with target as it was, when the swap fails.
    void commit();

private:
    Path target;
    Path fresh;
    Path old;
    bool committed = false;
};

// Removes the custom-assets folder: it is first renamed aside, so that it is
// gone from its name at once or not at all. A missing folder is no error.
// Throws GenericError when it cannot be removed.
void remove_custom_assets(const Path& target);

} // namespace velmora

#endif
