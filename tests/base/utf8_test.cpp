// The one UTF-8 reader: every character has one spelling, so a text it passes
// cannot mean one thing here and another to the next reader.
#include <gtest/gtest.h>

#include <string>

#include "base/utf8.h"
#include "support/case_name.h"

namespace velmora {
namespace {

struct Utf8Case {
    const char* title;
    std::string bytes;
    bool valid;
};

class Utf8Validity : public ::testing::TestWithParam<Utf8Case> { };

TEST_P(Utf8Validity, acceptsOnlyTheShortestSpellingOfACharacter)
{
    EXPECT_EQ(is_valid_utf8(GetParam().bytes), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf8Validity,
    ::testing::Values(Utf8Case{"empty", "", true}, Utf8Case{"ascii with a nul", std::string("a\0b", 3), true},
        Utf8Case{"each length at its edges",
            "\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf", true},
        Utf8Case{"overlong slash in two bytes", "\xc0\xaf", false},
        Utf8Case{"overlong slash in three bytes", "\xe0\x80\xaf", false},
        Utf8Case{"overlong slash in four bytes", "\xf0\x80\x80\xaf", false},
        Utf8Case{"overlong just below two bytes", "\xc1\xbf", false},
        Utf8Case{"a surrogate", "\xed\xa0\x80", false}, Utf8Case{"above U 10FFFF", "\xf4\x90\x80\x80", false},
        Utf8Case{"a lead byte past F4", "\xf5\x80\x80\x80", false},
        Utf8Case{"a lone continuation byte", "a\x80", false}, Utf8Case{"cut short", "\xe2\x82", false},
        Utf8Case{"a third byte that continues nothing", "\xe2\x82\x41", false},
        Utf8Case{"Latin 1", "Tr\xe8s", false}),
    test::CaseName());

TEST(Utf8, aSequenceGivesItsLengthAndItsCharacter)
{
    const std::string text = "a\xc3\xa8\xe2\x82\xac\xf0\x9f\x8f\xb0";
    char32_t c = 0;
    EXPECT_EQ(utf8_sequence(text, 0, c), 1u);
    EXPECT_EQ(c, U'a');
    EXPECT_EQ(utf8_sequence(text, 1, c), 2u);
    EXPECT_EQ(c, U'\u00e8');
    EXPECT_EQ(utf8_sequence(text, 3, c), 3u);
    EXPECT_EQ(c, U'\u20ac');
    EXPECT_EQ(utf8_sequence(text, 6, c), 4u);
    EXPECT_EQ(c, U'\U0001f3f0');
    EXPECT_EQ(utf8_sequence(text, 2, c), 0u) << "inside a sequence";
    EXPECT_EQ(utf8_sequence(text, text.size(), c), 0u) << "past the end";
}

TEST(Utf8, everyCharacterWrittenReadsBackAsItself)
{
    for (char32_t c : {U'\0', U'\x7f', U'\x80', U'\u07ff', U'\u0800', U'\uffff', U'\U00010000', U'\U0010ffff'}) {
        std::string out;
        append_utf8(out, c);
        char32_t read = 0;
        EXPECT_EQ(utf8_sequence(out, 0, read), out.size()) << static_cast<unsigned long>(c);
        EXPECT_EQ(read, c);
    }
}

TEST(Utf8, latin1BecomesTheSameCharacters)
{
    EXPECT_EQ(latin1_to_utf8("Tr\xe8s \xff!"), "Tr\xc3\xa8s \xc3\xbf!");
    EXPECT_EQ(latin1_to_utf8(""), "");
}

} // namespace
} // namespace velmora
