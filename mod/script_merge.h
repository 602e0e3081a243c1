#ifndef VELMORA_MOD_SCRIPT_MERGE_H
#define VELMORA_MOD_SCRIPT_MERGE_H

#include <optional>
#include <string>

#include "diff/diff.h"

namespace velmora {

// A mod's difference to a script that mods applied before it changed too,
// merged into the file as they left it (current): the difference was made
// against the game's file, so that is the base of a three-way merge, the
// current file one side and the game's file with the difference applied the
// other, which wins where the two conflict (its mod is applied later, the
// winner of the user's answer). Line ends are kept as the files have them.
// Nothing when the difference does not fit the game's file (a patched game):
// the caller then patches the current file as it stands.
std::optional<std::string> merge_script(
    const Diff& diff, const std::string& game, const std::string& current);

} // namespace velmora

#endif
