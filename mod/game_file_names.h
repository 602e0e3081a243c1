#ifndef VELMORA_MOD_GAME_FILE_NAMES_H
#define VELMORA_MOD_GAME_FILE_NAMES_H

#include <string>

namespace velmora {

// Every name Velmora keeps for itself in a folder it builds holds this
// (".velmora-manifest", and the temporary names it writes through, such as
// "CIV4UnitInfos.xml.velmora-part"): no mod may write one.
extern const char* const own_name_mark;

// What a file below an "Assets" folder is to the game, by its name alone.
enum class NameKind {
    // A file the game may read.
    GameFile,
    // Left by a system or an editor, never read by any game: "Thumbs.db",
    // "desktop.ini", ".DS_Store", "Icon\r", AppleDouble "._*" files, anything
    // in a "__MACOSX" folder, backups and leftovers ending in "~", ".bak",
    // ".orig", ".rej" or ".swp". Letter case is ignored, as Windows does.
    Junk,
    // One of Velmora's own names (see own_name_mark).
    Own,
};

// The kind of file, a path relative to "Assets" with "\" or "/" between its
// names ('Art\Thumbs.db'). This is the one list of names that are never game
// files: creation leaves them out of new mods, conflict checks and apply
// leave them out of old ones, and loading refuses a mod that aims at an own name.
NameKind kind_of_name(const std::string& file);

inline bool is_game_file_name(const std::string& file) { return kind_of_name(file) == NameKind::GameFile; }

// A document at the top of an "Assets" folder ("readme.txt", "Changes.pdf"):
// the game reads none there, but a mod may mean to ship it, so it is kept
// and only said to be unread.
bool is_top_document(const std::string& file);

} // namespace velmora

#endif
