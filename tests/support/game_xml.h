#ifndef VELMORA_TESTS_SUPPORT_GAME_XML_H
#define VELMORA_TESTS_SUPPORT_GAME_XML_H

#include <string>
#include <vector>

#include "support/text.h"

namespace velmora::test {

// Game-like XML for tests, written by hand (no game file is copied): the layout
// of the game's data files with invented but plausible content.

enum class Declaration {
    plain, // <?xml version="1.0"?>
    iso_8859_1, // <?xml version="1.0" encoding="ISO-8859-1"?>
    utf_8, // <?xml version="1.0" encoding="UTF-8"?>
    none, // no XML declaration at all
};

// A document as the game ships it: the declaration, a header of comments, the
// root with its attributes (usually the default namespace,
// xmlns="x-schema:CIV4UnitSchema.xml") and the body, which holds the root's
// content indented by tabs and ends with a line feed.
std::string game_document(const std::string& root, const std::string& root_attributes,
    const std::string& body, Declaration declaration = Declaration::plain);

// One document per kind of game file. Each uses the nested shapes of the real
// file: pair records keyed by a ...Type leaf, per-yield lists, type sets, empty
// collections, unkeyed records inside records.
std::string unit_infos_xml();
std::string building_infos_xml();
std::string tech_infos_xml();
std::string civilization_infos_xml();
std::string leaderhead_infos_xml();
std::string promotion_infos_xml();
std::string civic_infos_xml();
std::string event_infos_xml();
std::string event_trigger_infos_xml();
std::string diplomacy_infos_xml();
std::string global_defines_xml();
std::string game_text_xml();
std::string art_defines_unit_xml();
std::string audio_defines_xml();
std::string audio_2d_scripts_xml();
std::string hints_xml();
std::string game_speed_info_xml();
std::string handicap_info_xml();
std::string detail_manager_xml();
std::string unit_schema_xml();
std::string improvement_infos_xml();
std::string bonus_infos_xml();
std::string terrain_infos_xml();
std::string feature_infos_xml();
std::string culture_level_info_xml();
std::string era_infos_xml();
std::string corporation_info_xml();
std::string specialist_infos_xml();
std::string color_vals_xml();

// A text file that declares no encoding yet holds ISO-8859-1 bytes, as some
// game files do.
std::string undeclared_latin1_text_xml();
// Quirks of real text files: language elements straight under the root, a
// language repeated in one record, a record whose key element is empty.
std::string game_text_quirks_xml();

// Every document above with the path of its file inside the game's "Assets"
// folder (backslash separated, e.g. "XML\Units\CIV4UnitInfos.xml").
struct GameFile {
    std::string path;
    std::string text;
};
std::vector<GameFile> game_files();

} // namespace velmora::test

#endif
