#ifndef VELMORA_MOD_XML_TEXT_H
#define VELMORA_MOD_XML_TEXT_H

#include <string>

namespace velmora {

// Whether s can be written as XML text and read back unchanged: UTF-8 made
// only of the characters XML 1.0 allows (tab, line feed, carriage return and
// everything from U+0020 up but surrogates, U+FFFE and U+FFFF).
bool is_xml_text(const std::string& s);

// s made writable as XML text, for header values and file names. A byte that
// is not part of a valid UTF-8 sequence is taken as ISO-8859-1, the game's own
// text encoding (an INI file's "Très" stays "Très"); characters XML forbids,
// such as control bytes, are dropped.
std::string to_xml_text(const std::string& s);

} // namespace velmora

#endif
