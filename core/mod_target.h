#ifndef VELMORA_CORE_MOD_TARGET_H
#define VELMORA_CORE_MOD_TARGET_H

#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

// The big mods of the game's "Mods" folder switch the custom-assets folder
// off (NoCustomAssets = 1 in their INI), so for their players apply can build
// a mod of its own instead: <game folder>/Mods/<NAME>, holding the base mod
// (the big mod the user's mods are made for) whole, with the files apply
// builds in place of the base mod's.

// The folder apply builds for the mod target name: civ4_dir's "Mods" folder
// (as it is spelled on disk) / name.
Path mod_target_folder(const Path& civ4_dir, const std::string& name);

// Why name cannot be a mod target, as a finished message, or "" when it can:
// it must be a plain folder name (no separators, no "." or "..", nothing
// Windows refuses in a file name) and must not be base_mod's own folder,
// which apply would replace. civ4_dir may be empty (not checked against the
// base mod then).
std::string judge_mod_target(const std::string& name, const Path& civ4_dir, const Path& base_mod);
// The real location of the mod target folder, for apply. Throws GenericError
// with judge_mod_target's message, or when the game folder is not set.
Path checked_mod_target(const std::string& name, const Path& civ4_dir, const Path& base_mod);

// Why dir cannot be the base mod, as a finished message, or "" when it can:
// it must be a folder holding "Assets".
std::string judge_base_mod(const Path& dir);

// A mod found in a "Mods" folder: a folder holding "Assets".
struct FoundMod {
    std::string name;
    Path folder;
};
// The mods in civ4_dir's "Mods" folder, by name; the folders Velmora leaves
// beside a mod target while it builds or backs one up are left out.
std::vector<FoundMod> find_installed_mods(const Path& civ4_dir);

// Completes a mod target folder being built: every file of base_mod that
// folder does not hold yet (letter case ignored, as the game reads them),
// hard-linked where the file system allows, else copied, and base_mod's own
// INI as "<name>.ini". Without a base mod, or when it has no INI, a minimal
// "<name>.ini" is written. base_mod is only read. Throws GenericError naming
// the file it cannot copy or write.
void add_base_mod(const Path& folder, const Path& base_mod, const std::string& name);

// "Building Mods/<name> on top of Mods/<base>" or "Building the custom assets
// folder on top of ..." : the target in force, for the status bar and the
// command-line tool. Mods are named by the folder they are in relative to the
// game folder where they are below it.
std::string describe_target(const Path& civ4_dir, const Path& base_mod, const std::string& mod_target);

// How to start the game with the mod target name, in one sentence: the
// game's own menu, and the launch option for a shortcut or Steam.
std::string how_to_start(const std::string& name);

} // namespace velmora

#endif
