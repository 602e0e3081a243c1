#ifndef VELMORA_CORE_BLAME_H
#define VELMORA_CORE_BLAME_H

#include <string>
#include <vector>

#include "mod/provenance.h"
#include "path/path.h"

namespace velmora {

class GameFiles;
class Orrindel;

// One field of a built record: its value, the mod whose value stands (none
// for the game's) and the game's own value where a mod changed it.
struct BlameField {
    std::string field;
    std::string value;
    const FieldOrigin* origin = nullptr; // null: the game's value (or the whole file's)
    std::string game; // the game's value, when origin is set
    bool in_game = false; // whether the game's copy has the field at all
};

// A record of a built file, field by field.
struct RecordBlame {
    std::string key; // the record's key path, as recorded
    std::string element;
    std::vector<BlameField> fields;
};

// The key path of the record `record` names in origin: the key path itself,
// else the one record whose last key is `record`, letter case aside; "" when
// none or several fit.
std::string find_record_key(const FileOrigin& origin, const std::string& record);

// Reads record `key` from the built file in folder and from the game's copy.
// Throws GenericError naming the file when the built file cannot be read as
// XML or lacks the record.
RecordBlame blame_record(const Path& folder, const GameFiles& game, const FileOrigin& origin, const std::string& key);

// The same for the last build of core: the folder it built (a mod target's
// "Assets" too) and the copy it built on, the base mod's before the game's.
RecordBlame blame_record(const Orrindel& core, const FileOrigin& origin, const std::string& key);

// Whether the game, with the base mod first, has a copy of file (relative
// to "Assets"): a file no mod changes is then that copy.
bool game_has_file(const Orrindel& core, const Path& file);

} // namespace velmora

#endif
