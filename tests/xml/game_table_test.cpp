#include <gtest/gtest.h>

#include <libxml++/document.h>
#include <libxml++/nodes/element.h>
#include <libxml++/parsers/domparser.h>

#include <cctype>
#include <map>
#include <memory>
#include <vector>

#include "base/errors.h"
#include "support/element_table.h"
#include "support/game_xml.h"
#include "xml/element_info.h"
#include "xml/element_path.h"
#include "xml/elements.h"
#include "xml/parse.h"
#include "support/case_name.h"

using namespace velmora;
using namespace velmora::test;

namespace velmora::test {
void PrintTo(const GameFile& file, std::ostream* os) { *os << file.path; }
} // namespace velmora::test

namespace {

std::vector<xmlpp::Element*> element_children(xmlpp::Element* e)
{
    std::vector<xmlpp::Element*> children;
    for (xmlpp::Node* n : e->get_children())
        if (auto* c = dynamic_cast<xmlpp::Element*>(n))
            children.push_back(c);
    return children;
}

// Walks a document the way merging does and notes every element that merging
// could not handle: a value or ignored element with element children, a record
// without its key, a list with structured items, an empty document root.
class Walk {
public:
    std::vector<std::string> problems;
    std::map<std::string, xmlpp::Element*> elements; // by element path
    void visit(xmlpp::Element* e)
    {
        std::string path = paths_.path(e);
        elements[path] = e;
        int type = get_element_type(e);
        if (type != get_element_type(path))
            problems.push_back(path + ": the element and its path give different types");
        try {
            visit_as(e, path, type);
        } catch (const GenericError& error) {
            problems.push_back(path + ": " + error.what());
        }
    }

private:
    ElementPaths paths_; // the walk reads the document only
    void visit_as(xmlpp::Element* e, const std::string& path, int type)
    {
        switch (type) {
        case VALUE:
            if (get_child_element(e))
                problems.push_back(path + ": a value with element children");
            break;
        case IGNORE:
            problems.push_back(path + ": ignored content");
            break;
        case OPAQUE:
            break;
        case TOPLEVEL: {
            // Merging descends into the first element only.
            std::vector<xmlpp::Element*> children = element_children(e);
            if (children.size() != 1)
                problems.push_back(path + ": a document root without exactly one element");
            else
                visit(children.front());
            break;
        }
        case LIST:
        case SET:
            for (const auto& item : build_element_list(e))
                visit(item.second);
            break;
        default:
            for (const auto& child : build_element_map(e))
                visit(child.second);
            break;
        }
    }
};

class ShippedTable : public testing::TestWithParam<GameFile> {
protected:
    void SetUp() override { table.load_shipped(); }

    ElementTableScope table;
};

TEST_P(ShippedTable, givesEveryElementOfTheGameFileAMergeableType)
{
    std::unique_ptr<xmlpp::DomParser> parser = parse_xml_text(GetParam().text);
    Walk walk;
    walk.visit(parser->get_document()->get_root_node());
    EXPECT_EQ(walk.problems, std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(GameFiles, ShippedTable, testing::ValuesIn(game_files()),
    [](const testing::TestParamInfo<GameFile>& info) {
        std::string name = info.param.path.substr(info.param.path.rfind('\\') + 1);
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

struct SpotCase {
    std::string (*document)();
    std::string path;
    int type;
    const char* key; // expected object key; null for none
};

class ShippedTableSpots : public testing::TestWithParam<SpotCase> {
protected:
    void SetUp() override { table.load_shipped(); }

    ElementTableScope table;
};

// Where order carries meaning the table must say list, where it does not set,
// and records must be keyed by the leaf that identifies them.
TEST_P(ShippedTableSpots, typeTheElementAsItsDataNeeds)
{
    const SpotCase& c = GetParam();
    std::unique_ptr<xmlpp::DomParser> parser = parse_xml_text(c.document());
    Walk walk;
    walk.visit(parser->get_document()->get_root_node());
    ASSERT_EQ(walk.elements.count(c.path), 1u) << c.path << " is not in the document";
    EXPECT_EQ(get_element_type(walk.elements[c.path]), c.type);
    const char* key = get_object_key(walk.elements[c.path]);
    if (c.key) {
        ASSERT_NE(key, nullptr);
        EXPECT_STREQ(key, c.key);
    } else
        EXPECT_EQ(key, nullptr);
}

const std::string knight = "/Civ4UnitInfos/UnitInfos/UnitInfo[2]";
const std::string forge = "/Civ4BuildingInfos/BuildingInfos/BuildingInfo";
const std::string france = "/Civ4CivilizationInfos/CivilizationInfos/CivilizationInfo[1]";

INSTANTIATE_TEST_SUITE_P(Elements, ShippedTableSpots,
    testing::Values(SpotCase{unit_infos_xml, knight, OBJECT, "Type"},
        SpotCase{
            unit_infos_xml, knight + "/UnitClassUpgrades/UnitClassUpgrade", OBJECT, "UnitClassUpgradeType"},
        SpotCase{unit_infos_xml, knight + "/Flavors/Flavor", OBJECT, "FlavorType"},
        SpotCase{unit_infos_xml, knight + "/PrereqBonuses", SET, ""},
        SpotCase{unit_infos_xml, knight + "/UniqueNames", SET, ""},
        SpotCase{unit_infos_xml, knight + "/UnitMeshGroups", OBJECT, ""},
        SpotCase{unit_infos_xml, knight + "/UnitMeshGroups/UnitMeshGroup[2]", OBJECT, "EarlyArtDefineTag"},
        SpotCase{building_infos_xml, forge + "/YieldModifiers", LIST, ""},
        SpotCase{building_infos_xml, forge + "/CommerceChanges", LIST, ""},
        SpotCase{building_infos_xml, forge + "/SpecialistYieldChanges/SpecialistYieldChange/YieldChanges",
            LIST, ""},
        SpotCase{building_infos_xml, forge + "/TechTypes", SET, ""},
        SpotCase{civilization_infos_xml, france + "/InitialCivics", LIST, ""},
        SpotCase{civilization_infos_xml, france + "/Cities", LIST, ""},
        SpotCase{civilization_infos_xml, france + "/Leaders/Leader[2]", OBJECT, "LeaderName"},
        SpotCase{handicap_info_xml, "/Civ4HandicapInfo/HandicapInfos/HandicapInfo/Goodies", LIST, ""},
        SpotCase{tech_infos_xml, "/Civ4TechInfos/TechInfos/TechInfo[2]/OrPreReqs", SET, ""},
        SpotCase{
            diplomacy_infos_xml, "/Civ4DiplomacyInfos/DiplomacyInfos/DiplomacyInfo/Responses", OPAQUE, ""},
        SpotCase{
            game_speed_info_xml, "/Civ4GameSpeedInfo/GameSpeedInfos/GameSpeedInfo/GameTurnInfos", OPAQUE, ""},
        SpotCase{game_text_xml, "/Civ4GameText", CONTAINER, ""},
        SpotCase{game_text_xml, "/Civ4GameText/TEXT[1]", OBJECT, "Tag"},
        SpotCase{game_text_xml, "/Civ4GameText/TEXT[1]/French", OPAQUE, ""},
        SpotCase{global_defines_xml, "/Civ4Defines/Define[3]", OBJECT, "DefineName"},
        SpotCase{audio_defines_xml, "/AudioDefines", OBJECT, ""},
        SpotCase{audio_defines_xml, "/AudioDefines/SoundTypes", LIST, ""},
        SpotCase{hints_xml, "/Civ4Hints/HintInfos/HintInfo[3]", OBJECT, "Description"},
        SpotCase{unit_schema_xml, "/Schema", OPAQUE, ""},
        SpotCase{art_defines_unit_xml, "/Civ4ArtDefines", TOPLEVEL, ""},
        SpotCase{corporation_info_xml, "/Civ4CorporationInfo", TOPLEVEL, ""}),
    ::velmora::test::CaseNameBy<&SpotCase::path>());

} // namespace
