#ifndef VELMORA_CORE_GAME_DETECT_H
#define VELMORA_CORE_GAME_DETECT_H

#include <string>
#include <vector>

#include "core/mod_target.h"
#include "path/path.h"

namespace velmora {

class Orrindel;

// A Civilization IV installation found on disk.
struct GameInstall {
    // The folder holding "Assets" and the game's program: Beyond the Sword's
    // when the install has it, else Warlords', else the original game's.
    Path civ4_dir;
    // "My Games/<edition>/CustomAssets" in the user documents of the Wine or
    // Proton prefix the game runs in (it may not exist yet); empty when no
    // prefix is known.
    Path custom_assets_dir;
    // "Beyond the Sword", "Warlords" or "Civilization IV".
    std::string edition;
    // Where it was found, for the user: "Steam", "Wine prefix", ...
    std::string found_in;
    // The mods in the game folder's "Mods" folder, by name: the base mods to choose from.
    std::vector<FoundMod> mods;
};

// Looks for Civilization IV below home: the Steam folders and the libraries
// their "steamapps/libraryfolders.vdf" lists (with their Proton prefixes in
// "steamapps/compatdata"), the Wine prefixes "~/.wine" and wine_prefix (the
// value of $WINEPREFIX, may be empty), and the Lutris and Heroic prefixes and
// installs under "~/Games", GOG installs inside any of them included. A game
// folder is known by its content: "Assets/XML" and the game's program. Each
// install is listed once, in that order; nothing found gives an empty list.
std::vector<GameInstall> detect_game_installs(const Path& home, const std::string& wine_prefix);

// Stores the install's folders in the core and saves the configuration,
// creating the custom-assets folder when missing. Throws GenericError naming
// the folder when it cannot be created or the configuration saved.
void use_game_install(Orrindel& core, const GameInstall& install);

} // namespace velmora

#endif
