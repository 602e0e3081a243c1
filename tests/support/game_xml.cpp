#include "support/game_xml.h"

#include "support/tempdir.h"

namespace velmora::test {

namespace {

// The documents are files under tests/data/game/Assets, laid out like the
// game's Assets folder; they are read as bytes, so their line ends and
// encodings are what the tests see.
std::string game_data(const char* path_in_assets)
{
    return read_file(Path(VELMORA_SOURCE_DIR "/tests/data/game/Assets") / Path(path_in_assets));
}

} // namespace

std::string game_document(const std::string& root, const std::string& root_attributes,
    const std::string& body, Declaration declaration)
{
    std::string text;
    switch (declaration) {
    case Declaration::plain:
        text += "<?xml version=\"1.0\"?>\n";
        break;
    case Declaration::iso_8859_1:
        text += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
        break;
    case Declaration::utf_8:
        text += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        break;
    case Declaration::none:
        break;
    }
    text += "<!-- Velmora test data, written by hand -->\n"
            "<!-- Laid out like the game's own files -->\n"
            "<!-- -->\n"
            "<!-- "
        + root + " -->\n";
    text += "<" + root + (root_attributes.empty() ? "" : " " + root_attributes) + ">\n";
    text += body;
    text += "</" + root + ">\n";
    return text;
}

// Two units: one with mostly empty collections, one with every collection filled.
std::string unit_infos_xml() { return game_data("XML\\Units\\CIV4UnitInfos.xml"); }

// A building whose record starts with BuildingClass, not Type.
std::string building_infos_xml() { return game_data("XML\\Buildings\\CIV4BuildingInfos.xml"); }

std::string tech_infos_xml() { return game_data("XML\\Technologies\\CIV4TechInfos.xml"); }

// The barbarians list one building class twice, as the game's data does.
std::string civilization_infos_xml() { return game_data("XML\\Civilizations\\CIV4CivilizationInfos.xml"); }

std::string leaderhead_infos_xml() { return game_data("XML\\Civilizations\\CIV4LeaderHeadInfos.xml"); }

std::string promotion_infos_xml() { return game_data("XML\\Units\\CIV4PromotionInfos.xml"); }

std::string civic_infos_xml() { return game_data("XML\\GameInfo\\CIV4CivicInfos.xml"); }

std::string event_infos_xml() { return game_data("XML\\Events\\CIV4EventInfos.xml"); }

std::string event_trigger_infos_xml() { return game_data("XML\\Events\\CIV4EventTriggerInfos.xml"); }

// Responses have no element that identifies them.
std::string diplomacy_infos_xml() { return game_data("XML\\GameInfo\\CIV4DiplomacyInfos.xml"); }

// The root holds the records directly.
std::string global_defines_xml() { return game_data("XML\\GlobalDefines.xml"); }

// ISO-8859-1 bytes; the warrior's translations are structured.
std::string game_text_xml() { return game_data("XML\\Text\\CIV4GameTextInfos_Objects.xml"); }

std::string art_defines_unit_xml() { return game_data("XML\\Art\\CIV4ArtDefines_Unit.xml"); }

// A root of several sections: records, enum lists, settings.
std::string audio_defines_xml() { return game_data("XML\\Audio\\AudioDefines.xml"); }

std::string audio_2d_scripts_xml() { return game_data("XML\\Audio\\Audio2DScripts.xml"); }

// Hints are keyed by their text key, and one repeats.
std::string hints_xml() { return game_data("XML\\GameInfo\\CIV4Hints.xml"); }

std::string game_speed_info_xml() { return game_data("XML\\GameInfo\\CIV4GameSpeedInfo.xml"); }

std::string handicap_info_xml() { return game_data("XML\\GameInfo\\CIV4HandicapInfo.xml"); }

// No XML declaration, like the game's file.
std::string detail_manager_xml() { return game_data("XML\\Misc\\CIV4DetailManager.xml"); }

std::string unit_schema_xml() { return game_data("XML\\Units\\CIV4UnitSchema.xml"); }

std::string improvement_infos_xml() { return game_data("XML\\Terrain\\CIV4ImprovementInfos.xml"); }

std::string bonus_infos_xml() { return game_data("XML\\Terrain\\CIV4BonusInfos.xml"); }

std::string terrain_infos_xml() { return game_data("XML\\Terrain\\CIV4TerrainInfos.xml"); }

std::string feature_infos_xml() { return game_data("XML\\Terrain\\CIV4FeatureInfos.xml"); }

std::string culture_level_info_xml() { return game_data("XML\\GameInfo\\CIV4CultureLevelInfo.xml"); }

std::string era_infos_xml() { return game_data("XML\\GameInfo\\CIV4EraInfos.xml"); }

std::string corporation_info_xml() { return game_data("XML\\GameInfo\\CIV4CorporationInfo.xml"); }

std::string specialist_infos_xml() { return game_data("XML\\GameInfo\\CIV4SpecialistInfos.xml"); }

std::string color_vals_xml() { return game_data("XML\\Interface\\CIV4ColorVals.xml"); }

std::string undeclared_latin1_text_xml() { return game_data("XML\\Text\\CIV4GameText_AIAutoPlay.xml"); }

std::string game_text_quirks_xml() { return game_data("XML\\Text\\CIV4GameText_Quirks.xml"); }

std::vector<GameFile> game_files()
{
    struct Entry {
        const char* path;
        std::string (*text)();
    };
    static const Entry entries[] = {
        {"XML\\Units\\CIV4UnitInfos.xml", unit_infos_xml},
        {"XML\\Buildings\\CIV4BuildingInfos.xml", building_infos_xml},
        {"XML\\Technologies\\CIV4TechInfos.xml", tech_infos_xml},
        {"XML\\Civilizations\\CIV4CivilizationInfos.xml", civilization_infos_xml},
        {"XML\\Civilizations\\CIV4LeaderHeadInfos.xml", leaderhead_infos_xml},
        {"XML\\Units\\CIV4PromotionInfos.xml", promotion_infos_xml},
        {"XML\\GameInfo\\CIV4CivicInfos.xml", civic_infos_xml},
        {"XML\\Events\\CIV4EventInfos.xml", event_infos_xml},
        {"XML\\Events\\CIV4EventTriggerInfos.xml", event_trigger_infos_xml},
        {"XML\\GameInfo\\CIV4DiplomacyInfos.xml", diplomacy_infos_xml},
        {"XML\\GlobalDefines.xml", global_defines_xml},
        {"XML\\Text\\CIV4GameTextInfos_Objects.xml", game_text_xml},
        {"XML\\Art\\CIV4ArtDefines_Unit.xml", art_defines_unit_xml},
        {"XML\\Audio\\AudioDefines.xml", audio_defines_xml},
        {"XML\\Audio\\Audio2DScripts.xml", audio_2d_scripts_xml},
        {"XML\\GameInfo\\CIV4Hints.xml", hints_xml},
        {"XML\\GameInfo\\CIV4GameSpeedInfo.xml", game_speed_info_xml},
        {"XML\\GameInfo\\CIV4HandicapInfo.xml", handicap_info_xml},
        {"XML\\Misc\\CIV4DetailManager.xml", detail_manager_xml},
        {"XML\\Units\\CIV4UnitSchema.xml", unit_schema_xml},
        {"XML\\Terrain\\CIV4ImprovementInfos.xml", improvement_infos_xml},
        {"XML\\Terrain\\CIV4BonusInfos.xml", bonus_infos_xml},
        {"XML\\Terrain\\CIV4TerrainInfos.xml", terrain_infos_xml},
        {"XML\\Terrain\\CIV4FeatureInfos.xml", feature_infos_xml},
        {"XML\\GameInfo\\CIV4CultureLevelInfo.xml", culture_level_info_xml},
        {"XML\\GameInfo\\CIV4EraInfos.xml", era_infos_xml},
        {"XML\\GameInfo\\CIV4CorporationInfo.xml", corporation_info_xml},
        {"XML\\GameInfo\\CIV4SpecialistInfos.xml", specialist_infos_xml},
        {"XML\\Interface\\CIV4ColorVals.xml", color_vals_xml},
        {"XML\\Text\\CIV4GameText_AIAutoPlay.xml", undeclared_latin1_text_xml},
        {"XML\\Text\\CIV4GameText_Quirks.xml", game_text_quirks_xml},
    };
    std::vector<GameFile> files;
    for (const Entry& e : entries)
        files.push_back({e.path, e.text()});
    return files;
}

} // namespace velmora::test
