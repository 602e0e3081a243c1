#ifndef VELMORA_CORE_NEW_MOD_H
#define VELMORA_CORE_NEW_MOD_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "creator/import.h"
#include "path/path.h"

namespace velmora {

class Mod;
class Orrindel;

// Making a new mod, from a folder of modified game files or from a mod
// archive: the same work for the windows and the command-line tool, which
// only ask for the header and show the progress and the result.

// The file a new mod of that name is saved as: "NAME.Pellarix" in the mods folder.
Path new_mod_file(const Orrindel& core, const std::string& name);

// The header the user gives a new mod. A version or description not given
// stays as made: empty for a folder; for an archive, the version its file
// name suggests and the text of its readme.
struct NewModHeader {
    std::string name;
    std::string author;
    std::optional<std::string> version;
    std::optional<std::string> description;
};

// What making a mod did.
struct NewMod {
    // The new mod, saved and listed by the core; null when the folder gave
    // none (nothing was saved).
    Mod* mod = nullptr;
    // The files left out as no game reads them, and the documents kept
    // although the game does not read them (see ModCreator::skipped and
    // documents).
    std::vector<std::string> skipped;
    std::vector<std::string> documents;
    // An archive's folder taken as "Assets", with "/" between its names; ""
    // for the archive's top.
    std::string assets_folder;
    // The profiles whose enabled mods held the listed mod of the same file,
    // which the new one replaced and whose place it keeps there.
    std::vector<std::string> replaced_in;
};

// Before each step: what is done (a file relative to the modified folder, in
// its native form, or a step of an import) and the fraction done, from 0 to 1.
using NewModProgress = std::function<void(const std::string& step, float fraction)>;
// An archive passed a limit (the message says which): true lifts the limit
// and goes on, false stops the import.
using ArchiveLimitQuestion = std::function<bool(ArchiveLimits::Kind kind, const std::string& message)>;

// Makes a mod of the modified files in dir (a modified "Assets" or
// "CustomAssets" folder, or a folder that holds "Assets"), compared with the
// game's files, the base mod's first; gives it the header, saves it as file
// (written whole under a temporary name: a failure leaves an older file
// whole) and lists it, in place of a listed mod of the same file. With
// report, "report.txt" in the settings folder says what was found. Throws as
// ModCreator does, and GenericError naming the file when it cannot be saved.
NewMod create_mod(Orrindel& core, const Path& dir, const NewModHeader& header, const Path& file, bool report,
    const NewModProgress& progress);

// The same for a mod archive (zip, 7z, rar, tar), unpacked as ModImporter
// does within limits: ask decides whether to go on past one (without it, the
// import stops). Throws as ModImporter::import does, and as create_mod.
NewMod import_mod(Orrindel& core, const Path& archive, const NewModHeader& header, const Path& file, bool report,
    const ArchiveLimits& limits, const NewModProgress& progress, const ArchiveLimitQuestion& ask);

} // namespace velmora

#endif
