#include <gtest/gtest.h>

#include <libxml++/document.h>
#include <libxml++/nodes/element.h>
#include <libxml++/parsers/domparser.h>

#include <map>
#include <memory>
#include <vector>

#include "base/errors.h"
#include "support/element_table.h"
#include "xml/element_info.h"
#include "xml/element_path.h"
#include "xml/elements.h"
#include "xml/parse.h"
#include "support/case_name.h"

using namespace velmora;
using velmora::test::ElementTableScope;

namespace {

// A parsed document and its root.
struct Doc {
    std::unique_ptr<xmlpp::DomParser> parser;
    xmlpp::Element* root() const { return parser->get_document()->get_root_node(); }
    // The element under test: the root's first element child.
    xmlpp::Element* subject() const { return get_child_element(root()); }
};

Doc parse(const std::string& text) { return {parse_xml_text(text)}; }

// Element children in document order.
std::vector<xmlpp::Element*> element_children(xmlpp::Element* e)
{
    std::vector<xmlpp::Element*> out;
    for (xmlpp::Node* n : e->get_children())
        if (auto* c = dynamic_cast<xmlpp::Element*>(n))
            out.push_back(c);
    return out;
}

// ---- naming rules ----

struct RuleCase {
    std::string path;
    int type;
    const char* key; // null: no key
};

class NamingRules : public testing::TestWithParam<RuleCase> {
protected:
    ElementTableScope table; // empty: the rules decide alone
};

TEST_P(NamingRules, classifyUnlistedElementsByName)
{
    const RuleCase& c = GetParam();
    EXPECT_EQ(get_element_type(c.path), c.type);
    const char* key = get_object_key(c.path);
    if (c.key) {
        ASSERT_NE(key, nullptr);
        EXPECT_STREQ(key, c.key);
    } else
        EXPECT_EQ(key, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, NamingRules,
    testing::Values(RuleCase{"/Civ4Infos", VALUE, nullptr}, RuleCase{"/Civ4XInfos", TOPLEVEL, nullptr},
        RuleCase{"/Civ4XInfos/Infos", VALUE, nullptr}, RuleCase{"/Civ4XInfos/XInfos", CONTAINER, nullptr},
        RuleCase{"/Civ4XInfos/XInfos/Info", VALUE, nullptr},
        RuleCase{"/Civ4XInfos/XInfos/XInfo[3]", OBJECT, "Type"},
        RuleCase{"/Civ4XInfos/XInfos/Civ4XInfo", VALUE, nullptr},
        RuleCase{"/Civ4XInfos/XInfos/Civ4XInfos", TOPLEVEL, nullptr},
        RuleCase{"/Civ4XInfos/XInfos/Xinfo", VALUE, nullptr},
        RuleCase{"/Civ4XInfos/XINFOS", VALUE, nullptr}),
    ::velmora::test::CaseNameBy<&RuleCase::path>());

TEST(ElementTableLookup, aListedElementTakesTheTableTypeAndKeyWhateverItsName)
{
    ElementTableScope table;
    table.load_text("XInfos XInfo list\nXInfos Pair object PairType\n");
    EXPECT_EQ(get_element_type("/Civ4XInfos/XInfos/XInfo"), LIST);
    ASSERT_NE(get_object_key("/Civ4XInfos/XInfos/XInfo"), nullptr);
    EXPECT_STREQ(get_object_key("/Civ4XInfos/XInfos/XInfo"), "");
    EXPECT_STREQ(get_object_key("/Civ4XInfos/XInfos/XInfo/Pairs/Pair[2]"), "PairType");
    // Other groups still follow the rules.
    EXPECT_EQ(get_element_type("/Civ4YInfos/XInfos/XInfo"), OBJECT);
}

// ---- maps ----

struct MapCase {
    std::string name;
    std::string table;
    std::string body; // the content of the root's first child
    std::map<std::string, int> keys; // key -> position among that child's element children
};

std::ostream& operator<<(std::ostream& os, const MapCase& c) { return os << c.name; }

class ElementMapKeys : public testing::TestWithParam<MapCase> {
protected:
    ElementTableScope table;
};

TEST_P(ElementMapKeys, keyEveryChildOnce)
{
    const MapCase& c = GetParam();
    table.load_text(c.table);
    Doc doc = parse("<Civ4XInfos xmlns=\"x-schema:CIV4XSchema.xml\">\n" + c.body + "\n</Civ4XInfos>");
    std::vector<xmlpp::Element*> children = element_children(doc.subject());
    ElementMap map = build_element_map(doc.subject());
    std::map<std::string, int> got;
    for (const auto& [key, element] : map)
        for (std::size_t i = 0; i < children.size(); ++i)
            if (children[i] == element)
                got[key] = static_cast<int>(i);
    EXPECT_EQ(got, c.keys);
}

INSTANTIATE_TEST_SUITE_P(Cases, ElementMapKeys,
    testing::Values(MapCase{"repeatedRecordKeysAreNumberedInDocumentOrder", "",
                        "<XInfos>\n\t<XInfo><Type>A</Type></XInfo>\n\t<XInfo><Type>B</Type></XInfo>\n"
                        "\t<XInfo><Type>A</Type></XInfo>\n</XInfos>",
                        {{"A", 0}, {"A[1]", 2}, {"B", 1}}},
        MapCase{"repeatedFieldsAreNumbered", "", "<XInfo><X>1</X><Y>2</Y><X>3</X><X>4</X></XInfo>",
            {{"X", 0}, {"X[1]", 2}, {"X[2]", 3}, {"Y", 1}}},
        MapCase{"aTakenNumberMovesOnInsteadOfDroppingTheRecord", "",
            "<XInfos><XInfo><Type>A[1]</Type></XInfo><XInfo><Type>A</Type></XInfo>"
            "<XInfo><Type>A</Type></XInfo></XInfos>",
            {{"A[1]", 0}, {"A", 1}, {"A[2]", 2}}},
        MapCase{"aLiteralKeyThatIsTakenIsNumberedToo", "",
            "<XInfos><XInfo><Type>A</Type></XInfo><XInfo><Type>A</Type></XInfo>"
            "<XInfo><Type>A[1]</Type></XInfo></XInfos>",
            {{"A", 0}, {"A[1]", 1}, {"A[1][1]", 2}}},
        MapCase{"emptyKeyElementsGiveTheEmptyKey", "",
            "<XInfos><XInfo><Type/></XInfo><XInfo><Type>B</Type></XInfo><XInfo><Type></Type></XInfo></"
            "XInfos>",
            {{"", 0}, {"[1]", 2}, {"B", 1}}},
        MapCase{"pairRecordsAreKeyedByTheTableKey",
            "XInfos Flavors container\nXInfos Flavor object FlavorType\n",
            "<Flavors>\n\t<Flavor>\n\t\t<iFlavor>2</iFlavor>\n\t\t<FlavorType>FLAVOR_GOLD</FlavorType>\n\t</"
            "Flavor>\n"
            "\t<Flavor>\n\t\t<FlavorType>FLAVOR_SCIENCE</FlavorType>\n\t\t<iFlavor>4</iFlavor>\n\t</Flavor>\n"
            "</Flavors>",
            {{"FLAVOR_GOLD", 0}, {"FLAVOR_SCIENCE", 1}}},
        MapCase{"unkeyedRecordsAreMatchedByName", "XInfos Group object\n",
            "<XInfo><Type>T</Type><Group><A>1</A></Group><Group><A>2</A></Group></XInfo>",
            {{"Type", 0}, {"Group", 1}, {"Group[1]", 2}}},
        MapCase{"nonRecordsInAContainerAreKeyedByName", "XInfos Responses opaque\n",
            "<XInfos><XInfo><Type>A</Type></XInfo><Civ4XInfo><Type>A</Type></Civ4XInfo>"
            "<Responses><Response/></Responses></XInfos>",
            {{"A", 0}, {"Civ4XInfo", 1}, {"Responses", 2}}},
        MapCase{"whiteSpaceAndCommentsAreNotChildren", "",
            "<XInfo>\n\t<!-- the key -->\n\t<Type>A</Type>\n\t<?pi x?>\n\ttext\n</XInfo>", {{"Type", 0}}}),
    [](const testing::TestParamInfo<MapCase>& info) { return info.param.name; });

TEST(ElementMapKeys, unkeyedRecordFieldsMergeByName)
{
    ElementTableScope table;
    table.load_text("XInfos Group object\n");
    Doc doc = parse("<Civ4XInfos><XInfo><Group><A>1</A><B>2</B></Group></XInfo></Civ4XInfos>");
    xmlpp::Element* group = get_child_element(doc.subject());
    ElementMap map = build_element_map(group);
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(map.count("A"), 1u);
    EXPECT_EQ(map.count("B"), 1u);
}

struct ErrorCase {
    std::string table;
    std::string body;
    bool list; // build_element_list instead of build_element_map
    std::string message;
};

class ElementModelErrors : public testing::TestWithParam<ErrorCase> {
protected:
    ElementTableScope table;
};

TEST_P(ElementModelErrors, nameTheElementAndTheProblem)
{
    const ErrorCase& c = GetParam();
    table.load_text(c.table);
    Doc doc = parse("<Civ4XInfos>" + c.body + "</Civ4XInfos>");
    try {
        if (c.list)
            build_element_list(doc.subject());
        else
            build_element_map(doc.subject());
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Messages, ElementModelErrors,
    testing::Values(ErrorCase{"", "<XInfos><XInfo><Type>A</Type></XInfo><XInfo><Tag>B</Tag></XInfo></XInfos>",
                        false, "No key found for object XInfo"},
        ErrorCase{"XInfos Yields list\n", "<Yields><iYield>1</iYield></Yields>", false,
            "Attempt to build map of element Yields with type 3"},
        ErrorCase{"", "<Value>1</Value>", false, "Attempt to build map of element Value with type 5"},
        ErrorCase{"", "<XInfos><XInfo><Type>A</Type></XInfo></XInfos>", true,
            "Attempt to build list of element XInfos with type 1"},
        ErrorCase{"XInfos Items set\n", "<Items><Item>A</Item><XInfo><Type>B</Type></XInfo></Items>", true,
            "Non-value element XInfo when building element list"}),
    ::velmora::test::CaseNameBy<&ErrorCase::message>());

// ---- lists ----

struct ListCase {
    std::string name;
    std::string table;
    std::string body;
    std::vector<std::string> texts;
};

std::ostream& operator<<(std::ostream& os, const ListCase& c) { return os << c.name; }

class ElementListItems : public testing::TestWithParam<ListCase> {
protected:
    ElementTableScope table;
};

TEST_P(ElementListItems, readEveryItemInOrder)
{
    const ListCase& c = GetParam();
    table.load_text(c.table);
    Doc doc = parse("<Civ4XInfos>" + c.body + "</Civ4XInfos>");
    std::vector<xmlpp::Element*> children = element_children(doc.subject());
    ElementList list = build_element_list(doc.subject());
    std::vector<std::string> texts;
    std::size_t i = 0;
    for (const auto& [text, element] : list) {
        texts.push_back(text);
        ASSERT_LT(i, children.size());
        EXPECT_EQ(element, children[i++]);
    }
    EXPECT_EQ(texts, c.texts);
}

INSTANTIATE_TEST_SUITE_P(Cases, ElementListItems,
    testing::Values(ListCase{"passOverWhiteSpaceAndComments", "XInfos Yields list\n",
                        "<Yields>\n\t<iYield>1</iYield>\n\t<!-- production -->\n\t<iYield>1</iYield>\n"
                        "\t<iYield> 0 </iYield>\n</Yields>",
                        {"1", "1", " 0 "}},
        ListCase{"emptyItemsReadAsEmptyText", "XInfos PrereqBonuses set\n",
            "<PrereqBonuses><BonusType>BONUS_IRON</BonusType><BonusType/><BonusType></BonusType></"
            "PrereqBonuses>",
            {"BONUS_IRON", "", ""}},
        ListCase{"opaqueItemsAreValues", "XInfos Texts list\nXInfos English opaque\n",
            "<Texts><English>a</English><English><Text>b</Text></English></Texts>", {"a", ""}},
        ListCase{"anEmptyListHasNoItems", "XInfos Cities list\n", "<Cities/>", {}}),
    [](const testing::TestParamInfo<ListCase>& info) { return info.param.name; });

// ---- element comparison ----

struct PairCase {
    std::string a;
    std::string b;
    bool equal;
};

class CompareElements : public testing::TestWithParam<PairCase> { };

TEST_P(CompareElements, comparesNamesAndAttributesOnly)
{
    Doc a = parse(GetParam().a), b = parse(GetParam().b);
    EXPECT_EQ(compare_elements(a.root(), b.root()), GetParam().equal);
    EXPECT_EQ(compare_elements(b.root(), a.root()), GetParam().equal);
}

INSTANTIATE_TEST_SUITE_P(Cases, CompareElements,
    testing::Values(PairCase{"<A x=\"1\" y=\"2\"/>", "<A y=\"2\" x=\"1\"/>", true},
        PairCase{"<A x=\"1\"/>", "<A x=\"1\" y=\"2\"/>", false},
        PairCase{"<A x=\"1\"/>", "<A x=\"2\"/>", false}, PairCase{"<A x=\"1\"/>", "<B x=\"1\"/>", false},
        PairCase{"<A>text<B/></A>", "<A>other</A>", true},
        PairCase{"<A xmlns=\"x-schema:S.xml\"/>", "<A/>", true},
        PairCase{"<p:A xmlns:p=\"urn:p\" p:x=\"1\"/>", "<A xmlns:q=\"urn:p\" q:x=\"1\"/>", true},
        PairCase{"<A xmlns:p=\"urn:p\" p:x=\"1\"/>", "<A x=\"1\"/>", false}),
    ::velmora::test::CaseNameBy<&PairCase::a>());

class OpaqueEqual : public testing::TestWithParam<PairCase> { };

TEST_P(OpaqueEqual, comparesTheWholeContent)
{
    Doc a = parse(GetParam().a), b = parse(GetParam().b);
    EXPECT_EQ(opaque_equal(a.root(), b.root()), GetParam().equal);
    EXPECT_EQ(opaque_equal(b.root(), a.root()), GetParam().equal);
}

const char* const response
    = "<Responses>\n\t<Response>\n\t\t<Leaders>\n\t\t\t<Leader>"
      "<LeaderType>LEADER_A</LeaderType><bLeaderType>1</bLeaderType></Leader>\n"
      "\t\t</Leaders>\n\t\t<DiplomacyText>\n\t\t\t<Text>T1</Text>\n\t\t\t<Text>T2</Text>\n"
      "\t\t</DiplomacyText>\n\t</Response>\n</Responses>";

INSTANTIATE_TEST_SUITE_P(Cases, OpaqueEqual,
    testing::Values(PairCase{response,
                        "<Responses><Response><Leaders><Leader><LeaderType>LEADER_A</LeaderType>"
                        "<bLeaderType>1</bLeaderType></Leader></Leaders><DiplomacyText><Text>T1</Text>"
                        "<Text>T2</Text></DiplomacyText></Response></Responses>",
                        true},
        PairCase{response,
            "<Responses>\r\n  <Response>\r\n    <!-- first -->\r\n    <Leaders><Leader><LeaderType>LEADER_A"
            "</LeaderType><bLeaderType>1</bLeaderType></Leader></Leaders>\r\n    "
            "<DiplomacyText><Text>T1</Text>"
            "<Text>T2</Text></DiplomacyText>\r\n  </Response>\r\n</Responses>",
            true},
        PairCase{response,
            "<Responses><Response><Leaders><Leader><LeaderType>LEADER_A</LeaderType>"
            "<bLeaderType>1</bLeaderType></Leader></Leaders><DiplomacyText><Text>T2</Text>"
            "<Text>T1</Text></DiplomacyText></Response></Responses>",
            false},
        PairCase{response,
            "<Responses><Response><Leaders><Leader><LeaderType>LEADER_B</LeaderType>"
            "<bLeaderType>1</bLeaderType></Leader></Leaders><DiplomacyText><Text>T1</Text>"
            "<Text>T2</Text></DiplomacyText></Response></Responses>",
            false},
        PairCase{response,
            "<Responses><Response><Leaders><Leader><LeaderType>LEADER_A</LeaderType>"
            "<bLeaderType>1</bLeaderType></Leader></Leaders><DiplomacyText><Text>T1</Text>"
            "</DiplomacyText></Response></Responses>",
            false},
        PairCase{"<English>Warrior</English>", "<English>Warrior </English>", false},
        PairCase{"<English>Warrior</English>", "<English><Text>Warrior</Text></English>", false},
        PairCase{"<E a=\"1\" b=\"2\"><T c=\"3\"/></E>", "<E b=\"2\" a=\"1\"><T c=\"3\"/></E>", true},
        PairCase{"<E><T c=\"3\"/></E>", "<E><T c=\"4\"/></E>", false},
        PairCase{"<E>a<![CDATA[b]]>c</E>", "<E>abc</E>", true},
        PairCase{"<E>a<!-- x -->b</E>", "<E>ab</E>", true}, PairCase{"<E/>", "<F/>", false}),
    ::velmora::test::CaseNameBy<&PairCase::a>());

// ---- tree editing ----

TEST(TreeEditing, clearContentRemovesEveryChildButKeepsAttributes)
{
    Doc doc = parse("<A x=\"1\">text<B/><!-- c --><C>d</C></A>");
    clear_content(doc.root());
    EXPECT_TRUE(doc.root()->get_children().empty());
    EXPECT_EQ(doc.root()->get_attribute_value("x"), "1");
}

TEST(TreeEditing, removeNonelementsKeepsTheElementsInOrder)
{
    Doc doc = parse("<A>\n\ttext<B/>\n\t<!-- c --><C>d</C><?pi?></A>");
    remove_nonelements(doc.root());
    std::vector<std::string> names;
    for (xmlpp::Node* n : doc.root()->get_children())
        names.push_back(n->get_name());
    EXPECT_EQ(names, (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(element_text(dynamic_cast<xmlpp::Element*>(doc.root()->get_children().back())), "d");
}

TEST(TreeEditing, getChildElementSkipsNonElements)
{
    Doc doc = parse("<A>\n\t<!-- c -->text<B/><C/></A>");
    ASSERT_NE(get_child_element(doc.root()), nullptr);
    EXPECT_EQ(get_child_element(doc.root())->get_name(), "B");
    EXPECT_EQ(get_child_element(get_child_element(doc.root())), nullptr);
}

} // namespace
