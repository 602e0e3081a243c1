#include <gtest/gtest.h>

#include <libxml++/document.h>
#include <libxml++/nodes/element.h>
#include <libxml++/parsers/domparser.h>

#include <functional>
#include <memory>
#include <vector>

#include "xml/element_path.h"
#include "xml/parse.h"

using velmora::element_group;
using velmora::element_path;
using velmora::ElementPaths;

namespace {

// The same unit document under three namespace declarations: "@" stands for
// the element prefix and ROOT for the root's start tag.
const char* const units_template = R"(<?xml version="1.0"?>
<!-- units -->
ROOT
	<!-- records -->
	<@UnitInfos>
		<@UnitInfo>
			<@Class>UNITCLASS_WARRIOR</@Class>
			<@Type>UNIT_WARRIOR</@Type>
			<@Flavors><@Flavor><@FlavorType>FLAVOR_MILITARY</@FlavorType></@Flavor><@Flavor/></@Flavors>
		</@UnitInfo>
		<!-- between -->
		<@UnitInfo><@Class/><@Type/><@Flavors><@Flavor><@FlavorType/></@Flavor><@Flavor/></@Flavors></@UnitInfo>
		<@UnitInfo><@Class/><@Type/><@Flavors><@Flavor><@FlavorType/></@Flavor><@Flavor/></@Flavors></@UnitInfo>
	</@UnitInfos>
	<@Note>x</@Note>
</@Civ4UnitInfos>
)";

std::string units(const std::string& root_tag, const std::string& prefix)
{
    std::string text = units_template;
    text.replace(text.find("ROOT"), 4, root_tag);
    for (std::string::size_type at; (at = text.find('@')) != std::string::npos;)
        text.replace(at, 1, prefix.empty() ? "" : prefix + ":");
    return text;
}

struct NamespaceCase {
    std::string name;
    std::string text;
};

class ElementPath : public testing::TestWithParam<NamespaceCase> { };

// Every element's path, in document order, by element_path or, with numbered
// siblings, by one ElementPaths.
std::vector<std::string> all_paths(const xmlpp::Element* root, bool numbered)
{
    std::vector<std::string> out;
    ElementPaths paths;
    std::function<void(const xmlpp::Element*)> walk = [&](const xmlpp::Element* e) {
        out.push_back(numbered ? paths.path(e) : element_path(e));
        for (const xmlpp::Node* n : e->get_children())
            if (auto* c = dynamic_cast<const xmlpp::Element*>(n))
                walk(c);
    };
    walk(root);
    return out;
}

TEST_P(ElementPath, namesEveryElementByItsLocalName)
{
    std::unique_ptr<xmlpp::DomParser> parser = velmora::parse_xml_text(GetParam().text);
    const xmlpp::Element* root = parser->get_document()->get_root_node();
    std::vector<std::string> expected{"/Civ4UnitInfos", "/Civ4UnitInfos/UnitInfos"};
    for (int i = 1; i <= 3; ++i) {
        std::string unit = "/Civ4UnitInfos/UnitInfos/UnitInfo[" + std::to_string(i) + "]";
        expected.push_back(unit);
        for (const char* leaf : {"/Class", "/Type", "/Flavors", "/Flavors/Flavor[1]",
                 "/Flavors/Flavor[1]/FlavorType", "/Flavors/Flavor[2]"})
            expected.push_back(unit + leaf);
    }
    expected.push_back("/Civ4UnitInfos/Note");
    EXPECT_EQ(all_paths(root, false), expected);
    EXPECT_EQ(all_paths(root, true), expected);
    EXPECT_EQ(element_group(root), "UnitInfos");
}

INSTANTIATE_TEST_SUITE_P(Namespaces, ElementPath,
    testing::Values(
        NamespaceCase{"defaultNamespace", units("<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">", "")},
        NamespaceCase{"noNamespace", units("<Civ4UnitInfos>", "")},
        NamespaceCase{
            "prefixedNamespace", units("<u:Civ4UnitInfos xmlns:u=\"x-schema:CIV4UnitSchema.xml\">", "u")}),
    [](const testing::TestParamInfo<NamespaceCase>& info) { return info.param.name; });

// Without namespaces libxml2's own path has the same form: the two must agree.
TEST(ElementPath, agreesWithTheLibraryPathWhereTheLibraryNamesElements)
{
    std::unique_ptr<xmlpp::DomParser> parser
        = velmora::parse_xml_text("<R><A><B/><C/><B><D/></B></A><A/><E><A/></E><B>t</B></R>");
    ElementPaths paths;
    std::function<void(const xmlpp::Element*)> walk = [&](const xmlpp::Element* e) {
        EXPECT_EQ(element_path(e), std::string(e->get_path()));
        EXPECT_EQ(paths.path(e), std::string(e->get_path()));
        for (const xmlpp::Node* n : e->get_children())
            if (auto* c = dynamic_cast<const xmlpp::Element*>(n))
                walk(c);
    };
    walk(parser->get_document()->get_root_node());
}

TEST(ElementPath, groupDropsOnlyALeadingCiv4)
{
    for (const auto& [text, group] : std::vector<std::pair<std::string, std::string>>{
             {"<Civ4GameText xmlns=\"http://www.firaxis.com\"><TEXT/></Civ4GameText>", "GameText"},
             {"<AudioDefines><SoundDatas/></AudioDefines>", "AudioDefines"}, {"<Civ4><A/></Civ4>", ""},
             {"<MyCiv4Infos><A/></MyCiv4Infos>", "MyCiv4Infos"}}) {
        std::unique_ptr<xmlpp::DomParser> parser = velmora::parse_xml_text(text);
        const xmlpp::Element* root = parser->get_document()->get_root_node();
        const auto* child = dynamic_cast<const xmlpp::Element*>(root->get_children().front());
        EXPECT_EQ(element_group(child), group) << text;
    }
}

} // namespace
