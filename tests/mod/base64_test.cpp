#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "mod/base64.h"
#include "support/case_name.h"

using velmora::base64_decode;
using velmora::base64_encode;

namespace {

std::vector<std::string> lines_of(const std::string& code)
{
    std::vector<std::string> lines(1);
    for (char c : code) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

std::string random_bytes(std::mt19937& rng, std::size_t n)
{
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += static_cast<char>(byte(rng));
    return s;
}

struct CodeCase {
    std::string bytes;
    std::string code;
};

class Base64Example : public testing::TestWithParam<CodeCase> { };

TEST_P(Base64Example, encodesLeastSignificantBitsFirstWithoutPadding)
{
    EXPECT_EQ(base64_encode(GetParam().bytes), GetParam().code);
    EXPECT_EQ(base64_decode(GetParam().code), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Examples, Base64Example,
    testing::Values(CodeCase{"", ""}, CodeCase{"a", "x1"}, CodeCase{"abc", "x9So"},
        // The top of the alphabet: six one-bits are "-", 62 is ".".
        CodeCase{std::string(3, '\xff'), "----"}, CodeCase{"\xfe\xef\xff", ".-.-"},
        CodeCase{std::string(3, '\0'), "0000"}),
    ::velmora::test::CaseNameBy<&CodeCase::code>());

TEST(Base64, roundTripsEveryByteValue)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(base64_decode(base64_encode(all)), all);
}

TEST(Base64, roundTripsRandomBinaryOfEveryLengthAroundLineEnds)
{
    std::mt19937 rng(20260101);
    for (std::size_t n = 0; n < 200; ++n) {
        std::string bytes = random_bytes(rng, n);
        ASSERT_EQ(base64_decode(base64_encode(bytes)), bytes) << "length " << n;
    }
    std::string big = random_bytes(rng, 100000);
    EXPECT_EQ(base64_decode(base64_encode(big)), big);
}

TEST(Base64, breaksTheLineOnceEightyCharactersAreReached)
{
    std::mt19937 rng(7);
    for (std::size_t n : {1u, 59u, 60u, 61u, 120u, 121u, 1000u, 4096u}) {
        std::string code = base64_encode(random_bytes(rng, n));
        std::vector<std::string> lines = lines_of(code);
        std::size_t characters = 0;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            // Each byte gives one or two characters, so a line ends at 80 or 81.
            EXPECT_TRUE(lines[i].size() == 80 || lines[i].size() == 81) << n << " line " << i;
            characters += lines[i].size();
        }
        EXPECT_LT(lines.back().size(), 81u) << n;
        characters += lines.back().size();
        EXPECT_EQ(characters, (8 * n + 5) / 6) << n;
    }
    // 60 bytes fill exactly one line, which still gets its line feed.
    std::string sixty = base64_encode(std::string(60, 'x'));
    EXPECT_EQ(sixty.size(), 81u);
    EXPECT_EQ(sixty.back(), '\n');
}

TEST(Base64, decodingSkipsWhitespaceAndForeignCharacters)
{
    std::mt19937 rng(3);
    std::string bytes = random_bytes(rng, 500);
    std::string code = base64_encode(bytes);
    std::string edited;
    for (std::size_t i = 0; i < code.size(); ++i) {
        edited += code[i];
        if (i % 7 == 0)
            edited += "\r\n\t ";
        if (i % 13 == 0)
            edited += "=+/";
    }
    EXPECT_EQ(base64_decode("  " + edited + "\n\n"), bytes);
}

TEST(Base64, dropsBitsThatDoNotMakeAWholeByte)
{
    EXPECT_EQ(base64_decode("x"), "");
    EXPECT_EQ(base64_decode("x1"), "a");
    EXPECT_EQ(base64_decode("x9S"), "ab");
}

} // namespace
