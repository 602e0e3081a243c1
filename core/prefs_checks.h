#ifndef VELMORA_CORE_PREFS_CHECKS_H
#define VELMORA_CORE_PREFS_CHECKS_H

#include "path/path.h"

namespace velmora {

// What the preferences make of a custom-assets folder, which every apply
// deletes and rebuilds. The windows and the command-line tool both ask this,
// so that they accept the same folders.
enum class CustomAssetsVerdict {
    // Named "Assets" (any letter case) or "CustomAssets": the usual places.
    Accepted,
    // The game's own "Assets" folder (or a link to it): applying would
    // delete the game's data. Always refused.
    GameAssets,
    // Any other name: taken only when the user confirms that this folder may
    // be deleted.
    UnusualName,
};

// Judges custom_assets against the game folder civ4_dir that will be in force
// with it: the one being stored when both change together.
CustomAssetsVerdict judge_custom_assets_dir(const Path& custom_assets, const Path& civ4_dir);

} // namespace velmora

#endif
