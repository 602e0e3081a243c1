#ifndef VELMORA_CORE_GAME_USER_FILES_H
#define VELMORA_CORE_GAME_USER_FILES_H

#include <optional>
#include <string>

#include "path/path.h"

namespace velmora {

// The game's own files in the user's "My Games/<edition>" folders, the one
// that holds the custom-assets folder and its twin in the local application
// data: its settings file, which can name the mod it starts with, and the
// cache of parsed data it keeps, stale once a mod's files change.

// "CivilizationIV.ini" beside the custom-assets folder (the name spelled as
// on disk when it exists); empty when custom_assets is not set.
Path game_ini_file(const Path& custom_assets);

// The game's cache folder for the custom-assets folder
// ".../Documents/My Games/<edition>/CustomAssets": "My Games/<edition>/cache"
// in the same user's local application data ("AppData/Local", or "Local
// Settings/Application Data" of older Windows), else beside the custom-assets
// folder; the first that exists, letter case ignored. When none exists: the
// first of them. Empty when custom_assets is not set.
Path game_cache_folder(const Path& custom_assets);

// The value of the game's "Mod" key in INI text (the [CONFIG] section's, or
// one before any section), spaces trimmed; nothing when no line sets it.
std::optional<std::string> ini_mod_value(const std::string& text);
// text with its Mod line made "Mod = <value>", or added to [CONFIG] (the
// section added at the end when missing); every other byte kept, the new
// line ending like the file's first. old_line: the line replaced, without
// its line ending, or nothing when none was.
std::string ini_with_mod(
    const std::string& text, const std::string& value, std::optional<std::string>& old_line);
// text with its Mod line replaced by old_line, or removed when old_line is nothing.
std::string ini_with_mod_line(const std::string& text, const std::optional<std::string>& old_line);

// Makes the game start with Mods\<name>: sets "Mod = Mods\<name>" in ini,
// first keeping the line it replaces in backup (a file of the settings
// folder) unless backup holds one already. Returns what it did, for the
// user, or "" when the file said so already. Throws GenericError naming the
// file when ini is not set or missing, or a file cannot be read or written;
// ini is left whole then.
std::string start_mod_in_game_ini(const Path& ini, const Path& backup, const std::string& name);
// Puts back the line backup keeps into the INI file it names, when its Mod
// line is still the one start_mod_in_game_ini wrote, and removes backup.
// Returns what it did, for the user, or "" when there is no backup. Throws
// GenericError naming the file it cannot read or write; backup stays then.
std::string restore_game_ini(const Path& backup);

// Removes the files of the game's cache folder, and nothing else: its
// subfolders and links stay, and a folder that is a link is not entered.
// Returns how many files went; 0 when the folder does not exist. Throws
// GenericError naming the folder when it cannot be emptied.
unsigned empty_game_cache(const Path& folder);

} // namespace velmora

#endif
