#ifndef VELMORA_CORE_MOD_NAME_H
#define VELMORA_CORE_MOD_NAME_H

#include <string>

namespace velmora {

// A new mod is saved as its name followed by ".Pellarix" in the mods folder.
// Returns why name cannot be such a file name, or "" when it can: it must not
// be empty, reach outside the folder (separators, ".."), or use what Windows
// refuses in file names (<>:"/\|?*, control characters, device names such as
// CON or COM1, a final dot or space), so that a mod made on one system loads
// on the other.
std::string check_mod_file_name(const std::string& name);

} // namespace velmora

#endif
