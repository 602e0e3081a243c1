#ifndef VELMORA_MOD_BASE64_H
#define VELMORA_MOD_BASE64_H

#include <string>

namespace velmora {

// The base-64 code of mod files. It is not the RFC 4648 one: its alphabet is
// "0-9a-zA-Z.-", bits are packed least significant first, a line feed follows
// every 80 characters and the last group is not padded. Mods in circulation
// use it, so it must stay exactly as it is.

// The code of any bytes.
std::string base64_encode(const std::string& bytes);
// The bytes of a code. Characters outside the alphabet (line feeds, spaces
// added by an editor, anything else) are skipped; never fails.
std::string base64_decode(const std::string& text);

} // namespace velmora

#endif
