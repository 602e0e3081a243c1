#ifndef VELMORA_CORE_VERIFY_H
#define VELMORA_CORE_VERIFY_H

#include <string>
#include <vector>

#include "path/path.h"
#include "xml/schema_check.h"

namespace velmora {

class GameFiles;
class SchemaCache;

// The faults of one file of a custom-assets folder against its schema.
struct FileFaults {
    Path file; // relative to the checked folder
    std::vector<SchemaViolation> faults; // not in the game's own copy: the game may refuse the file
    std::vector<SchemaViolation> in_game; // already in the game's own copy of the file
};

// What checking a custom-assets folder against the game's schemas found.
struct Verification {
    unsigned checked = 0; // XML files checked against a schema
    std::vector<FileFaults> files; // the files with faults of either kind, in path order

    // The files with faults the game's copy lacks.
    unsigned files_at_fault() const;
    bool clean() const { return files_at_fault() == 0; }
};

// One line for a fault: "XML/Units/CIV4UnitInfos.xml, line 12, record
// UNIT_WARRIOR: <Help> comes after <iCombat>, but the schema puts it before
// <iCombat>", with " (already in the game's file)" for one of the game's.
std::string describe(const Path& file, const SchemaViolation& v, bool in_game);

// Checks every XML data file below folder that names a schema against it,
// found as the game finds it (beside the file in folder, else in the game's
// folders). A file that cannot be parsed is a fault of that file. Schemas are
// read through `schemas`. The record keys come from the element table.
Verification verify_folder(const Path& folder, const GameFiles& game, SchemaCache& schemas);

} // namespace velmora

#endif
