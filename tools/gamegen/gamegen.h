#ifndef VELMORA_TOOLS_GAMEGEN_GAMEGEN_H
#define VELMORA_TOOLS_GAMEGEN_GAMEGEN_H

#include <cstdint>
#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

// Sample data shaped like the game's "Assets" folder, for tests and
// benchmarks: record files (XML) with the game's structure, text files in
// ISO-8859-1, Python scripts and binary art, all made up. Nothing is read
// from the game.

struct GameGenOptions {
    unsigned seed = 1;
    // 1 gives the size of the real game's data (about 40 MB of XML in about
    // 60 files); 0.01 gives the same files, a few KB each.
    double scale = 1.0;
};

struct FileTally {
    unsigned files = 0;
    std::uint64_t bytes = 0;
};

struct GameGenSummary {
    FileTally xml, python, binary;
    std::string largest_xml; // "/" separated, under the Assets folder
    std::uint64_t largest_xml_bytes = 0;
};

// Writes the tree into assets_dir, which is created when missing and must be
// empty otherwise. The same options give the same bytes on every run and
// machine. Throws GenericError (naming the folder or file) on bad options or
// a failed write; after a failure the folder holds nothing of the run.
GameGenSummary generate_assets(const Path& assets_dir, const GameGenOptions& options);

struct ModifyOptions {
    unsigned seed = 1;
    // The share of the tree's files, of each kind, that get changed (0 < f <= 1).
    double fraction = 0.1;
    // Whether edits also delete: whole records, optional fields, items of
    // sets and pair records. Off, a seed gives the copy it always gave.
    bool removals = false;
};

// One file of a modified copy.
struct ModifiedFile {
    enum class Kind { Changed, Added };
    std::string path; // "/" separated, the same under the Assets folder and the copy
    Kind kind = Kind::Changed;
    // XML files: the keys of the records changed or added (Type, Tag,
    // DefineName, ...), each once, in the order they were touched.
    std::vector<std::string> records;
    // One line per change, for people.
    std::vector<std::string> notes;
};

// Writes into out_dir (missing or empty) modified copies of some of the files
// of assets_dir, plus a few new files, as a mod author's working folder would
// hold them: changed values in existing records, new records, new set items,
// changed list entries, new pair records, changed Python lines, a changed
// binary file. XML keeps its layout, namespace and encoding. Copies made with
// different seeds often touch the same popular records (so that mods made
// from them conflict) and often do not. Only files that the generator's
// layout describes are edited; others are left out. Returns what it wrote,
// in path order. Throws GenericError naming the folder or file on failure.
std::vector<ModifiedFile> modify_tree(
    const Path& assets_dir, const Path& out_dir, const ModifyOptions& options);

} // namespace velmora

#endif
