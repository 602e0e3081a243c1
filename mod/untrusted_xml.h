#ifndef VELMORA_MOD_UNTRUSTED_XML_H
#define VELMORA_MOD_UNTRUSTED_XML_H

#include <exception>
#include <string>

namespace xmlpp {
class Parser;
}

namespace velmora {

// Sets a parser up for text that comes from a mod: entities are not
// substituted, no DTD is loaded and nothing is fetched from the network, so a
// mod cannot make the parser read a local file (XXE) into its data. With
// large_text, text nodes may be longer than the library's 10 MB default: a
// mod file holds each whole file's bytes as one text node, and a mod that
// saves must load again. Nesting depth and entity checks stay as they are.
void restrict_parser(xmlpp::Parser& parser, bool large_text = false);

// The XML library's message on one line: its lines trimmed and joined by
// spaces (the library's text begins and ends with line feeds).
std::string library_message(const std::exception& e);

} // namespace velmora

#endif
