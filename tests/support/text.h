#ifndef VELMORA_TESTS_SUPPORT_TEXT_H
#define VELMORA_TESTS_SUPPORT_TEXT_H

#include "tools/sampletext/sample_text.h"

// The text helpers the tests share with the sample-data generator, by the
// names the tests use.
namespace velmora::test {

using sampletext::crlf;
using sampletext::encode_mod_base64;
using sampletext::escape_xml;
using sampletext::to_latin1;

} // namespace velmora::test

#endif
