#ifndef VELMORA_CLI_FOLDERS_H
#define VELMORA_CLI_FOLDERS_H

#include <string>
#include <vector>

#include "core/custom_assets.h"
#include "path/path.h"

namespace velmora {

class Orrindel;

namespace cli {

// A folder named on the command line, made absolute against the current
// folder: the configuration is read by programs started elsewhere.
Path absolute_folder(const std::string& text);

// Whether p is an existing folder (links followed).
bool is_folder(const Path& p);

// The folders that applying refuses to delete, for these settings: the game
// folder and its "Assets", the mods folder, the settings folder, the home
// folder that holds it and the user's own home folder. The same list as the
// core's apply, which keeps it to itself.
std::vector<KeptFolder> kept_folders(const Path& civ4_dir, const Path& mods_dir, const Path& settings_dir);

} // namespace cli
} // namespace velmora

#endif
