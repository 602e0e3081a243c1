#ifndef VELMORA_XML_PARSE_H
#define VELMORA_XML_PARSE_H

#include <memory>
#include <string>

namespace xmlpp {
class DomParser;
}

namespace velmora {

class Path;

// Every XML text the program reads is parsed by one of these two, with the same
// options for untrusted input: no entity substitution, no DTD loading or
// validation, no network access. Both throw the XML library's own exception
// (xmlpp::exception) when the text is not well-formed; callers turn it into an
// XmlError naming what they were reading. The parser owns the document.

// A game data file. A file that declares no encoding and whose bytes are not
// valid UTF-8 is read as ISO-8859-1, as the game reads it. A file that cannot
// be read throws xmlpp::exception too.
std::unique_ptr<xmlpp::DomParser> parse_game_file(const Path& file);

// XML text held in memory (the text of a mod's change), read like a file's bytes.
std::unique_ptr<xmlpp::DomParser> parse_xml_text(const std::string& text);

} // namespace velmora

#endif
