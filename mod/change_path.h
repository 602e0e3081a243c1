#ifndef VELMORA_MOD_CHANGE_PATH_H
#define VELMORA_MOD_CHANGE_PATH_H

#include <string>

namespace velmora {

// Whether a change's file may be joined onto the custom-assets folder: a
// relative path that stays inside that folder on Windows and on POSIX alike.
// Mods come from forums, so this is checked when a mod is loaded and again
// right before a change is written.
//
// Refused: an empty path; a rooted one ("\x", "/x", "\\server\share"); a
// colon anywhere (drives "C:x", "c:\x", alternate streams); control bytes;
// the characters Windows forbids in names (< > " | ? *); a name ending in a
// dot or a space other than "." and ".." (Windows strips them, so "..." or
// ".. " would act as ".."); device names (CON, NUL, COM1, ...); ".." that
// climbs above the start; and a path that does not end in a file name
// ("XML\", "XML\.", "XML\.."). Both "\"
// and "/" separate components.
bool is_safe_change_path(const std::string& file);

// The name under which changes of one file are matched, between two mods and
// within an apply: the path as the destination is built from it ("." and ".."
// resolved, either separator), letters in lower case, as the game's file
// names ignore case.
std::string file_key(const std::string& file);

} // namespace velmora

#endif
