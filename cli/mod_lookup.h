#ifndef VELMORA_CLI_MOD_LOOKUP_H
#define VELMORA_CLI_MOD_LOOKUP_H

#include <string>
#include <vector>

namespace velmora {

class Mod;
class Orrindel;

namespace cli {

// The listed mods that key names: every mod whose name is key (two versions
// of one mod share it); failing that, the mod whose file name is key (letter
// case ignored when no file name matches exactly).
std::vector<Mod*> find_mods(const Orrindel& core, const std::string& key);

// As find_mods, but throws GenericError when nothing matches. The message
// names the mods folder, and says why when a file of that name is there but
// could not be read as a mod.
std::vector<Mod*> require_mods(const Orrindel& core, const std::string& key);

// The one mod key names. Throws as require_mods does when none matches, and
// UsageError listing their files when several share the name: the file name
// tells them apart.
Mod* require_mod(const Orrindel& core, const std::string& key);
// The message for a name that several listed mods share.
std::string ambiguous_name_message(const std::string& key, const std::vector<Mod*>& mods);

// A mod file of the mods folder that the scan left out, and why.
struct SkippedFile {
    std::string file;
    std::string reason;
};

// The files of the mods folder with the mod extension that are not listed:
// their header could not be read.
std::vector<SkippedFile> skipped_mod_files(const Orrindel& core);

} // namespace cli
} // namespace velmora

#endif
