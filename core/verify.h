#ifndef VELMORA_CORE_VERIFY_H
#define VELMORA_CORE_VERIFY_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/references.h"
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

// What checking a custom-assets folder against the game's schemas, and the
// names its records point at against the names the game defines, found.
struct Verification {
    unsigned checked = 0; // XML files checked against a schema
    std::vector<FileFaults> files; // the files with faults of either kind, in path order
    ReferenceCheck references;

    // The files with faults the game's copy lacks.
    unsigned files_at_fault() const;
    // No schema fault and no broken reference that the game's own files lack.
    bool clean() const { return files_at_fault() == 0 && references.caused_by_mods() == 0; }
};

// One line for a fault: "XML/Units/CIV4UnitInfos.xml, line 12, record
// UNIT_WARRIOR: <Help> comes after <iCombat>, but the schema puts it before
// <iCombat>", with " (already in the game's file)" for one of the game's.
std::string describe(const Path& file, const SchemaViolation& v, bool in_game);

class Manifest;

// The scans of the last verification that found no fault, kept in a running
// Velmora: after a re-apply most files are the ones checked then (carried
// over), and scanning them again is most of the check's time. A kept scan
// counts only for the same bytes, the same element table, and each schema
// the file named found again at the same place with the same bytes.
struct VerifyMemo {
    struct Lookup {
        std::string name; // from "x-schema:NAME"
        std::string found; // the schema file, "" when none was found
        std::uint64_t bytes = 0; // of the schema file
    };
    struct Scan {
        std::uint64_t bytes = 0; // of the checked file
        std::uint64_t table = 0; // the element table's digest
        std::vector<Lookup> lookups;
        bool checked = false; // false: the file names no schema the game has
    };
    std::map<std::string, Scan> files; // by Path text relative to the folder
};

// Checks every XML data file below folder that names a schema against it,
// found as the game finds it (beside the file in folder, else in the game's
// folders). A file that cannot be parsed is a fault of that file. Schemas are
// read through `schemas`. The record keys come from the element table.
// With `memo` and `written` (the manifest of folder, whose hashes are those of
// the files' bytes), a file that a kept scan covers is not read again, and the
// scans that find no fault are kept.
Verification verify_folder(const Path& folder, const GameFiles& game, SchemaCache& schemas,
    VerifyMemo* memo = nullptr, const Manifest* written = nullptr);

// Checks a file that an apply has just merged and written into folder, at
// rel, on its tree `root`, against the schema the game would read it with;
// when it finds no fault, keeps in memo the scan verify_folder would have
// made of the file's bytes (`bytes`, their hash), so that the verification
// that follows does not read the file again. A file with a fault is left for
// verify_folder to read and describe.
void check_merged_file(const Path& folder, const Path& rel, const xmlpp::Element* root, std::uint64_t bytes,
    const GameFiles& game, SchemaCache& schemas, VerifyMemo& memo);

} // namespace velmora

#endif
