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

// Keeps the XML library from printing on standard error what it cannot tie to
// a parser ("I/O error : No such file or directory" for a file it cannot open
// or write). Velmora reports each failure itself, in its own words. Errors of
// a parse still reach the parser and so the exception. Called before each use
// of the library; its setting is per thread, so it is made once per thread.
void quiet_xml_library();

} // namespace velmora

#endif
