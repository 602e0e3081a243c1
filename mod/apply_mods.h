#ifndef VELMORA_MOD_APPLY_MODS_H
#define VELMORA_MOD_APPLY_MODS_H

#include <functional>
#include <string>
#include <vector>

#include "mod/game_files.h"
#include "mod/mod.h"
#include "path/path.h"

namespace xmlpp {
class Element;
}

namespace velmora {

class ProvenanceRecorder;
class SchemaCache;

// Applies the changes of several mods, in their order, file by file: every
// change to one file before the next file, the files in the order of their
// first change. The result is the one Mod::apply gives mod after mod (with
// the mods before each as applied_before, and one schema cache), but an XML
// file that several mods change is parsed once and written once, and its
// document is freed as soon as it is written. When a mod changes a file that
// may be a schema, the changes keep the mods' order instead, so that each
// merge reads the schema as the mods before it left it. Every destination of
// every mod is checked before anything is written. `starting` is called
// before each change with its mod and the number of files done and in all.
// With a recorder, what each change does to its file is recorded there
// (files carried over excepted: they were not built). With `warnings`, a line
// is added there for each removal of a record that the file never had (one
// that a mod before removed is not named). `merged`, when given, is called
// with each merged XML file once written: its path, the root of its document
// (freed right after) and the bytes written, so that a check of the result
// may use the tree instead of reading the file again.
using MergedFile = std::function<void(const Path& file, const xmlpp::Element* root, const std::string& bytes)>;
void apply_mods(const std::vector<const Mod*>& order, const GameFiles& game, const Path& target,
    const Mod::CarryOver& carry, const std::function<void(const Mod&, unsigned, unsigned)>& starting,
    SchemaCache* schemas = nullptr, ProvenanceRecorder* provenance = nullptr,
    std::vector<std::string>* warnings = nullptr, const MergedFile& merged = nullptr);

} // namespace velmora

#endif
