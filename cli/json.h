#ifndef VELMORA_CLI_JSON_H
#define VELMORA_CLI_JSON_H

#include <nlohmann/json_fwd.hpp>
#include <ostream>
#include <string>

namespace velmora {

class Path;

namespace cli {

// The native text of a path for a JSON document (not escaped for a terminal:
// JSON has its own escapes).
std::string platform_path(const Path& p);

// Writes a document indented, with a final line feed. Bytes that are not
// UTF-8 (a file name from another system) become U+FFFD instead of failing.
void print(std::ostream& out, const nlohmann::json& document);

} // namespace cli
} // namespace velmora

#endif
