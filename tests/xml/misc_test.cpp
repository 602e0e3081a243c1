#include <gtest/gtest.h>

#include "xml/misc.h"
#include "support/case_name.h"

namespace velmora {
namespace {

struct FormatXmlCase {
    std::string input;
    std::string output;
};

class FormatXml : public testing::TestWithParam<FormatXmlCase> { };

TEST_P(FormatXml, reindentsByTheScannerRules) { EXPECT_EQ(format_xml(GetParam().input), GetParam().output); }

INSTANTIATE_TEST_SUITE_P(Examples, FormatXml,
    testing::Values(FormatXmlCase{"<?xml version=\"1.0\"?><a><b>x</b><c/></a>",
                        "<?xml version=\"1.0\"?>\n<a>\n  <b>x</b>\n  <c/>\n</a>"},
        FormatXmlCase{"<a><c/></a>", "\n<a>\n  <c/></a>"},
        FormatXmlCase{"<a>text<b/></a>", "\n<a>text\n  <b/></a>"},
        // White space between tags never survives; other text keeps its blanks.
        FormatXmlCase{"<a>\r\n\t<b> x </b>\n</a>", "\n<a>\n  <b> x </b>\n</a>"},
        FormatXmlCase{"<a><b>x</b></a> trailing", "\n<a>\n  <b>x</b>\n</a>"},
        FormatXmlCase{"<a><b>x</b></a><unterminated", "\n<a>\n  <b>x</b>\n</a>"},
        FormatXmlCase{"<!-- head --><a><!-- in --></a>", "<!-- head -->\n<a>\n  <!-- in -->\n</a>"},
        // More closing than opening tags stays at the left margin.
        FormatXmlCase{"</a></b><c/>", "\n</a>\n</b>\n<c/>"}, FormatXmlCase{"", ""},
        FormatXmlCase{"no tags", ""}),
    ::velmora::test::CaseNameBy<&FormatXmlCase::input>());

struct SplitCase {
    std::string input;
    std::string separators;
    bool keep_empty;
    std::vector<std::string> words;
};

class Split : public testing::TestWithParam<SplitCase> { };

TEST_P(Split, cutsAtSeparators)
{
    EXPECT_EQ(split(GetParam().input, GetParam().separators, GetParam().keep_empty), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(Examples, Split,
    testing::Values(SplitCase{"a  b\tc", " \t", false, {"a", "b", "c"}}, SplitCase{"  ", " ", false, {}},
        SplitCase{"a,,b", ",", true, {"a", "", "b"}}, SplitCase{",a,", ",", true, {"a"}},
        SplitCase{"a,,", ",", true, {"a", ""}}, SplitCase{"", ",", true, {}},
        SplitCase{"XInfos XInfo object Type\r", " \t\r\n", false, {"XInfos", "XInfo", "object", "Type"}}),
    ::velmora::test::CaseNameBy<&SplitCase::input>());

TEST(BasenameFromPath, dropsTheIndexOfTheLastComponentOnly)
{
    EXPECT_EQ(basename_from_path("/Civ4XInfos/XInfos/XInfo[12]"), "XInfo");
    EXPECT_EQ(basename_from_path("/A/B/D[3]"), "D");
    EXPECT_EQ(basename_from_path("/A/B[2]/D"), "D");
    EXPECT_EQ(basename_from_path("/A/B"), "B");
    EXPECT_EQ(basename_from_path("D[3]"), "D[3]");
    EXPECT_EQ(basename_from_path(""), "");
}

} // namespace
} // namespace velmora
