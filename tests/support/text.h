#ifndef VELMORA_TESTS_SUPPORT_TEXT_H
#define VELMORA_TESTS_SUPPORT_TEXT_H

#include <string>

// Text helpers that the test fixtures and the sample-data generator share. They
// are written independently of the library's own code, so that a fixture made
// with them checks the library rather than repeating it. A library of their
// own (velmora_test_text), linked by the tests and by velmora-gamegen.
namespace velmora::test {

// The same text with CRLF line ends, as about a third of the game's files have.
std::string crlf(const std::string& text);

// Text made safe to stand between tags: & < > escaped.
std::string escape_xml(const std::string& text);

// The mod format's base-64 code: its own alphabet, low bits first, a line feed
// after every 80 characters.
std::string encode_mod_base64(const std::string& bytes);

} // namespace velmora::test

#endif
