#ifndef VELMORA_TOOLS_GAMEGEN_CATALOG_H
#define VELMORA_TOOLS_GAMEGEN_CATALOG_H

#include <string>
#include <vector>

#include "tools/gamegen/fields.h"

namespace velmora::gamegen {

// One record file of the game's XML folder and how to make it.
struct RecordFile {
    std::string path; // under the Assets folder, "/" separated
    std::string root;
    std::string schema; // the file named by the root's x-schema namespace
    std::string declaration; // the whole <?xml?> line, or empty for none
    std::string title; // the last line of the comment header
    bool crlf = false;
    std::vector<Field> fields; // the root's children
};

// The record files (text files, schemas, scripts and art come separately).
const std::vector<RecordFile>& xml_catalog();

extern const char* const kPlainDeclaration;
extern const char* const kLatin1Declaration;

} // namespace velmora::gamegen

#endif
