#ifndef VELMORA_XML_PARSE_H
#define VELMORA_XML_PARSE_H

#include <memory>
#include <string>

struct _xmlSAXHandler;

namespace xmlpp {
class DomParser;
}

namespace velmora {

class Path;

// Every XML text the program reads is parsed by one of these two, with the same
// options for untrusted input: no entity substitution, no DTD loading or
// validation, no network access. Both throw XmlLibraryError (xml/library.h)
// when the text is not well-formed; callers turn it into an XmlError naming
// what they were reading. The parser owns the document.

// A game data file. A file that declares no encoding and whose bytes are not
// valid UTF-8 is read as ISO-8859-1, as the game reads it. A file that cannot
// be read throws XmlLibraryError too.
std::unique_ptr<xmlpp::DomParser> parse_game_file(const Path& file);

// XML text held in memory (the text of a mod's change), read like a file's bytes.
std::unique_ptr<xmlpp::DomParser> parse_xml_text(const std::string& text);

// Keeps the XML library from printing on standard error what it cannot tie to
// a parser ("I/O error : No such file or directory" for a file it cannot open
// or write). Velmora reports each failure itself, in its own words. Errors of
// a parse still reach the parser and so the exception. Called before each use
// of the library; its setting is per thread, so it is made once per thread.
void quiet_xml_library();

// A game data file read as parse_game_file reads it, through the SAX2
// callbacks of handler instead of into a tree: for a pass over a large file
// that needs no tree. The callbacks get the parser context (xmlParserCtxt),
// whose _private is user. The handler's error and warning callbacks are
// replaced by silent ones. False when the file cannot be read or is not
// well-formed, or a callback stopped the parser (xmlStopParser).
bool scan_game_file(const Path& file, _xmlSAXHandler handler, void* user);

} // namespace velmora

#endif
