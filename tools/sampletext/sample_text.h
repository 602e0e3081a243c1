#ifndef VELMORA_TOOLS_SAMPLETEXT_SAMPLE_TEXT_H
#define VELMORA_TOOLS_SAMPLETEXT_SAMPLE_TEXT_H

#include <string>

// Text helpers that the test fixtures and the sample-data generator
// (velmora-gamegen) share. They are written independently of the library's
// own code, so that data made with them checks the library rather than
// repeating it. A library of their own (velmora_sample_text), outside
// velmora_core and outside the tests.
namespace velmora::sampletext {

// The same text with CRLF line ends, as about a third of the game's files have.
std::string crlf(const std::string& text);

// Text made safe to stand between tags: & < > escaped.
std::string escape_xml(const std::string& text);

// UTF-8 text to ISO-8859-1 bytes (characters beyond U+00FF become '?').
std::string to_latin1(const std::string& utf8);

// The mod format's base-64 code: its own alphabet, low bits first, a line feed
// after every 80 characters.
std::string encode_mod_base64(const std::string& bytes);

} // namespace velmora::sampletext

#endif
