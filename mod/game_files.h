#ifndef VELMORA_MOD_GAME_FILES_H
#define VELMORA_MOD_GAME_FILES_H

#include <map>
#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

// Where the game finds a file that no mod and no custom-assets folder holds:
// the game folder's own "Assets", then Warlords' "Assets" beside it, then the
// original game's "Assets" one folder up (Beyond the Sword and Warlords are
// installed inside the original game's folder). The first copy found wins.
// With a base mod (a big mod the user's mods are made for), its "Assets" come
// first: the game loaded with that mod reads its copy of a file before the
// game's own.
class GameFiles {
public:
    GameFiles() = default;
    // The folders of the install whose game folder is civ4_dir, those that exist.
    // civ4_dir's own "Assets" is always the first, present or not, so that
    // messages about a missing file name the folder the user chose.
    static GameFiles of_game(const Path& civ4_dir);
    // The same after base_mod's "Assets" (base_mod is the mod's folder, the
    // one holding "Assets"); an empty base_mod adds nothing.
    static GameFiles of_game(const Path& civ4_dir, const Path& base_mod);
    // Exactly these "Assets" folders (as fix_case spells them), in this order.
    explicit GameFiles(std::vector<Path> assets_folders);

    const std::vector<Path>& folders() const { return folders_; }

    // The first existing copy of rel (letter case ignored, as the game's file
    // names are) in the folders, in its on-disk spelling. When no folder has
    // it: rel in the first folder, as fix_case spells it (a path that does
    // not exist); an empty Path when there are no folders.
    // Each folder's names are read once and kept: the game's files do not
    // change while one apply or one mod creation looks them up by thousands.
    Path find(const Path& rel) const;

private:
    // folder / rel with each component in its on-disk spelling (of names that
    // differ only in letter case, the first in byte order), the rest as given
    // from the first component that is not there; found tells whether all are.
    Path spelled_below(const Path& folder, const Path& rel, bool& found) const;

    std::vector<Path> folders_;
    // The names in each folder met so far, by their folded (lower-case) form.
    mutable std::map<std::string, std::map<std::string, std::string>> names_;
};

} // namespace velmora

#endif
