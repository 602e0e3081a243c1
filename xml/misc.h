#ifndef VELMORA_XML_MISC_H
#define VELMORA_XML_MISC_H

#include <string>
#include <vector>

namespace velmora {

// Re-indents XML text (two spaces a level, levels below the 32nd as the 32nd)
// for the change editor and mod files.
// A scanner, not a parser: it never fails, whatever the input.
std::string format_xml(const std::string& xml);

// The words of s, cut at any of the separator characters. With keep_empty,
// two adjacent separators give an empty word (leading separators are skipped).
std::vector<std::string> split(const std::string& s, const std::string& separators, bool keep_empty);

// The element name at the end of an element path, without its "[n]" index.
std::string basename_from_path(const std::string& path);

} // namespace velmora

#endif
