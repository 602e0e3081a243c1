#ifndef VELMORA_MOD_SCHEMAS_H
#define VELMORA_MOD_SCHEMAS_H

#include <string>

#include "path/path.h"

namespace xmlpp {
class Element;
}

namespace velmora {

class GameFiles;
class Schema;
class SchemaCache;

// The schema file named `name` (from a document's "x-schema:NAME") for a data
// file at `file` (relative to "Assets"), where the game looks for it: beside
// the file in the custom-assets folder being built, else in the game's
// folders in their order, letter case ignored. An empty Path when no folder
// has it.
Path find_schema_file(const std::string& name, const Path& file, const Path& custom_assets, const GameFiles& game);

// The schema of the document whose root is `root`, read through the cache;
// null when the root names none or the file cannot be found or read.
const Schema* schema_for(const xmlpp::Element* root, const Path& file, const Path& custom_assets,
    const GameFiles& game, SchemaCache& schemas);

} // namespace velmora

#endif
