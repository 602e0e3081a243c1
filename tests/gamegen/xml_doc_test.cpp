#include <gtest/gtest.h>

#include "tools/gamegen/xml_doc.h"
#include "support/case_name.h"

namespace velmora::gamegen {
namespace {

TEST(XmlDocument, writesTheGameLayoutAndReadsItBackByteForByte)
{
    XmlDocument doc;
    doc.declaration = "<?xml version=\"1.0\"?>";
    doc.comments = {" Unit Infos ", " "};
    doc.crlf = true;
    doc.root = XmlNode("Civ4UnitInfos");
    doc.root.attributes = {{"xmlns", "x-schema:CIV4UnitSchema.xml"}};
    XmlNode& record = doc.root.add("UnitInfos").add("UnitInfo");
    record.add("Type", "UNIT_SCOUT");
    XmlNode& flavor = record.add("Flavors").add("Flavor");
    flavor.add("FlavorType", "FLAVOR_GOLD");
    flavor.add("iFlavor", "2");
    record.add("UniqueNames");
    const std::string expected = "<?xml version=\"1.0\"?>\r\n"
                                 "<!-- Unit Infos -->\r\n"
                                 "<!-- -->\r\n"
                                 "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\r\n"
                                 "\t<UnitInfos>\r\n"
                                 "\t\t<UnitInfo>\r\n"
                                 "\t\t\t<Type>UNIT_SCOUT</Type>\r\n"
                                 "\t\t\t<Flavors>\r\n"
                                 "\t\t\t\t<Flavor>\r\n"
                                 "\t\t\t\t\t<FlavorType>FLAVOR_GOLD</FlavorType>\r\n"
                                 "\t\t\t\t\t<iFlavor>2</iFlavor>\r\n"
                                 "\t\t\t\t</Flavor>\r\n"
                                 "\t\t\t</Flavors>\r\n"
                                 "\t\t\t<UniqueNames/>\r\n"
                                 "\t\t</UnitInfo>\r\n"
                                 "\t</UnitInfos>\r\n"
                                 "</Civ4UnitInfos>\r\n";
    ASSERT_EQ(write_document(doc), expected);

    XmlDocument back;
    std::string error;
    ASSERT_TRUE(read_document(expected, back, error)) << error;
    EXPECT_TRUE(back.crlf);
    EXPECT_EQ(back.comments.size(), 2u);
    EXPECT_EQ(back.root.attributes, doc.root.attributes);
    EXPECT_EQ(write_document(back), expected);
}

TEST(XmlDocument, keepsCommentsInsideRecordsAndEntitiesInText)
{
    const std::string text = "<Civ4GameText xmlns=\"http://www.firaxis.com\">\n"
                             "\t<!-- Section -->\n"
                             "\t<TEXT>\n"
                             "\t\t<Tag>TXT_KEY_A</Tag>\n"
                             "\t\t<English>Gold &amp; Trade &#233;</English>\n"
                             "\t</TEXT>\n"
                             "</Civ4GameText>\n";
    XmlDocument doc;
    std::string error;
    ASSERT_TRUE(read_document(text, doc, error)) << error;
    ASSERT_EQ(doc.root.children.size(), 2u);
    EXPECT_TRUE(doc.root.children[0].comment);
    EXPECT_EQ(doc.root.children[1].child("English")->text, "Gold &amp; Trade &#233;");
    EXPECT_EQ(write_document(doc), text);
}

struct Refused {
    const char* text;
    const char* reason;
};

class XmlDocumentRefuses : public testing::TestWithParam<Refused> { };

TEST_P(XmlDocumentRefuses, whatItCouldNotWriteBack)
{
    XmlDocument doc;
    std::string error;
    EXPECT_FALSE(read_document(GetParam().text, doc, error));
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Cases, XmlDocumentRefuses,
    testing::Values(Refused{"", "empty"}, Refused{"<a>\n</a>", "no line end"},
        Refused{"<a>\r\n\t<b/>\n</a>\r\n", "mixed line ends"},
        Refused{"<a>\n\t<b>one\n\ttwo</b>\n</a>\n", "line 2: <b> is not closed"},
        Refused{"<a>\n\t<b>1</c>\n</a>\n", "line 2"},
        Refused{"<a>\n    <b/>\n</a>\n", "line 2: text outside"},
        Refused{"<a>\n<b/>\n</a>\n", "line 2: indentation"}, Refused{"<a>\n\t<b/>\n", "ends inside <a>"},
        Refused{"<a/>\n<b/>\n", "after the root"}, Refused{"<a>\n\t<b>x & y</b>\n</a>\n", "not plain text"},
        Refused{"<!-- a -- b -->\n<a/>\n", "\"--\""}, Refused{"<a>\n</b>\n", "</a> expected"},
        Refused{"<a>\n\n</a>\n", "empty line"}, Refused{"<!-- only -->\n", "no root"},
        Refused{"<a x=1/>\n", "attribute"}, Refused{"<a>\r</a>\n", "carriage return"}),
    ::velmora::test::CaseNameBy<&Refused::reason>());

} // namespace
} // namespace velmora::gamegen
