#include <gtest/gtest.h>

#include <string>

#include "mod/xml_text.h"
#include "support/case_name.h"

using velmora::is_xml_text;
using velmora::to_xml_text;

namespace {

struct TextCase {
    std::string text;
    bool valid;
    std::string repaired;
};

class XmlText : public testing::TestWithParam<TextCase> { };

TEST_P(XmlText, tellsAndRepairsWhatXmlCannotCarry)
{
    EXPECT_EQ(is_xml_text(GetParam().text), GetParam().valid);
    EXPECT_EQ(to_xml_text(GetParam().text), GetParam().repaired);
}

INSTANTIATE_TEST_SUITE_P(Cases, XmlText,
    testing::Values(TextCase{"", true, ""}, TextCase{"plain\ttext\r\n", true, "plain\ttext\r\n"},
        TextCase{
            "Tr\xc3\xa8s \xe2\x82\xac \xf0\x9f\x8f\xb0", true, "Tr\xc3\xa8s \xe2\x82\xac \xf0\x9f\x8f\xb0"},
        // ISO-8859-1 bytes become their UTF-8 characters.
        TextCase{"Tr\xe8s", false, "Tr\xc3\xa8s"}, TextCase{"\xff", false, "\xc3\xbf"},
        // Control bytes XML forbids are dropped.
        TextCase{std::string("a\0b\x01"
                             "c\x1f",
                     6),
            false, "abc"},
        // Truncated, overlong, surrogate and out-of-range sequences are no
        // UTF-8: their bytes are ISO-8859-1 like any other stray byte.
        TextCase{"a\xc3", false, "a\xc3\x83"}, TextCase{"\xc0\xaf", false, "\xc3\x80\xc2\xaf"},
        TextCase{"\xed\xa0\x80", false, "\xc3\xad\xc2\xa0\xc2\x80"},
        TextCase{"\xf4\x90\x80\x80", false, "\xc3\xb4\xc2\x90\xc2\x80\xc2\x80"},
        // A non-character is valid UTF-8 that XML forbids: dropped.
        TextCase{"\xef\xbf\xbe", false, ""}),
    ::velmora::test::CaseNameBy<&TextCase::text>());

} // namespace
