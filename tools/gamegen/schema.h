#ifndef VELMORA_TOOLS_GAMEGEN_SCHEMA_H
#define VELMORA_TOOLS_GAMEGEN_SCHEMA_H

#include <string>
#include <vector>

#include "tools/gamegen/xml_doc.h"

namespace velmora::gamegen {

// An XDR schema file of the kind the game keeps beside its record files
// (root "Schema", the content in attributes), made from the catalog.
struct SchemaFile {
    std::string path; // beside the first record file that names it
    std::string name; // as the x-schema namespace names it
};

// The schemas of the tree: one for each schema a record file names.
std::vector<SchemaFile> schema_files();
// Declares every element of the record files that name the schema; the root
// (no declaration line) is preceded by the given comments.
XmlDocument schema_document(const std::string& name, std::vector<std::string> comments);

} // namespace velmora::gamegen

#endif
