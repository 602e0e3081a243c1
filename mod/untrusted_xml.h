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
// mod cannot make the parser read a local file (XXE) into its data.
void restrict_parser(xmlpp::Parser& parser);

// The XML library's message on one line: its lines trimmed and joined by
// spaces (the library's text begins and ends with line feeds).
std::string library_message(const std::exception& e);

} // namespace velmora

#endif
