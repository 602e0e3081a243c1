#ifndef VELMORA_BASE_UTF8_H
#define VELMORA_BASE_UTF8_H

#include <cstddef>
#include <string>

namespace velmora {

// UTF-8 as the standard defines it, and nothing looser: a character has one
// spelling only. Overlong forms ("\xC0\xAF" for "/"), the UTF-16 surrogates
// and anything above U+10FFFF are refused, so a name or a text checked here
// cannot hide a character another reader decodes differently.

// The length of the UTF-8 sequence at text[pos] with its character in c, or 0
// when the bytes there are no valid sequence (or pos is past the end).
std::size_t utf8_sequence(const std::string& text, std::size_t pos, char32_t& c);

// Whether text is valid UTF-8 from end to end (the empty text is).
bool is_valid_utf8(const std::string& text);

// Appends the UTF-8 spelling of a character (at most U+10FFFF) to out.
void append_utf8(std::string& out, char32_t c);

// ISO-8859-1 bytes (each byte one character) as UTF-8: the game's files and
// the readmes of old mods are written in it.
std::string latin1_to_utf8(const std::string& bytes);

} // namespace velmora

#endif
