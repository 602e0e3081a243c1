#ifndef VELMORA_CORE_REFERENCES_H
#define VELMORA_CORE_REFERENCES_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "path/file_stamp.h"
#include "path/path.h"
#include "xml/name_scan.h"

namespace velmora {

class Manifest;

class GameFiles;
class Mod;
class ReferenceTable;

// A name that a record of the built game points at and nothing defines: the
// game stops at it when loading, shows the raw key, or fails on first use.
struct BrokenReference {
    Path file; // relative to the checked folder (a game file when no mod changed it)
    std::string record; // the key of the record holding it
    std::string field; // the element holding it
    std::string name; // the name nothing defines
    bool in_game = false; // the game's own files have the same broken reference
    // The game's file that defines the name when the game alone does: a mod's
    // copy of that file left the definition out.
    Path defined_by_game;
    // Filled by name_mods: the enabled mod whose change put the value there,
    // the one whose copy of the game's file left the definition out, and a
    // mod that defines the name but is not enabled ("" when unknown).
    std::string added_by;
    std::string removed_by;
    std::string defined_by;
};

// What checking the names of a built game found.
struct ReferenceCheck {
    bool done = false; // false: no reference table, nothing checked
    unsigned files = 0; // data files read
    std::vector<BrokenReference> broken; // the mods' and the game's, by file in path order

    // The broken references the game's own files do not have.
    unsigned caused_by_mods() const;
};

// "XML/Units/CIV4UnitInfos.xml: UNIT_LONGBOWMAN_2: UnitClass
// UNITCLASS_LONGBOWMAN_2 is defined by no enabled mod (added by Longbows;
// defined by Longbow Classes, not enabled)", with "also in the game's own
// files" for one the game has.
std::string describe(const BrokenReference& r);

// The scans of files read by earlier checks, kept in a running Velmora (and
// beside the manifest, see check_memos.h): a scan is kept by the hash of the
// bytes scanned, so that a file carried over into a new build, or a game file
// read by a new process, is not scanned again. The game's files are read
// again only when their stamps change.
struct ReferenceMemo {
    struct Scan {
        NameScan names;
        bool used = false;
    };
    // A file read by its name: the hash of its bytes when it had this stamp.
    struct Seen {
        platform::FileStamp stamp;
        std::uint64_t bytes = 0;
        bool used = false;
    };
    std::map<std::uint64_t, Scan> scans; // by the hash of the bytes scanned
    std::map<std::string, Seen> files; // by the file's native name
};

// Reads the data files of the game's own folders (`assets_folders`, in the
// order the game reads them) into memo, as check_references reads them, so
// that a check that follows finds them read. Apply runs it on another thread
// while the mods are merged: it touches nothing but memo.
void scan_game_files(const std::vector<Path>& assets_folders, const ReferenceTable& table, ReferenceMemo& memo);

// Checks that every reference of the game as the game reads it (the data
// files below "XML" in folder, else in the game's folders, the first copy of
// each) names something that game defines, and tells the broken ones the
// game's own files have too. A family counts only when the game defines at
// least one name of it. `memo` keeps the scans between checks; `written`,
// the manifest of what an apply just wrote into folder, tells the bytes of
// the built files.
ReferenceCheck check_references(const Path& folder, const GameFiles& game, const ReferenceTable& table,
    ReferenceMemo* memo = nullptr, const Manifest* written = nullptr);

// Names the mods behind each broken reference the mods caused: `order` the
// enabled mods in the order they were applied, `others` the mods that are not
// enabled. Their changes must be loaded; a mod whose change cannot be read
// names nothing.
void name_mods(ReferenceCheck& check, const ReferenceTable& table, const std::vector<const Mod*>& order,
    const std::vector<const Mod*>& others);

} // namespace velmora

#endif
