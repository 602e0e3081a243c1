// A fuzzed xml change merged into a small game-like document.
#include <cstdint>
#include <libxml++/libxml++.h>
#include <string>
#include <unistd.h>

#include "base/errors.h"
#include "mod/conflict_view.h"
#include "mod/merge.h"
#include "xml/element_info.h"
#include "xml/parse.h"
#include "xml/library.h"

namespace {

const char* const table_text = "UnitInfos\tCiv4UnitInfos\ttoplevel\n"
                               "UnitInfos\tUnitInfos\tcontainer\n"
                               "UnitInfos\tUnitInfo\tobject\tType\n"
                               "UnitInfos\tFlavors\tcontainer\n"
                               "UnitInfos\tFlavor\tobject\tFlavorType\n"
                               "UnitInfos\tUnitClassUpgrades\tset\n"
                               "UnitInfos\tPrereqTechs\tlist\n"
                               "UnitInfos\tHidden\tignore\n";

const char* const game_text
    = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
      "<!-- game-like units -->\n"
      "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n"
      "\t<UnitInfos>\n"
      "\t\t<UnitInfo>\n"
      "\t\t\t<Type>UNIT_WARRIOR</Type>\n"
      "\t\t\t<iCombat>1</iCombat>\n"
      "\t\t\t<PrereqTechs><PrereqTech>TECH_A</PrereqTech></PrereqTechs>\n"
      "\t\t\t<UnitClassUpgrades><UnitClassUpgrade>UNITCLASS_X</UnitClassUpgrade></UnitClassUpgrades>\n"
      "\t\t\t<Flavors>\n"
      "\t\t\t\t<Flavor><FlavorType>FLAVOR_MILITARY</FlavorType><iFlavor>2</iFlavor></Flavor>\n"
      "\t\t\t</Flavors>\n"
      "\t\t</UnitInfo>\n"
      "\t\t<UnitInfo><Type>UNIT_ARCHER</Type><iCombat>3</iCombat></UnitInfo>\n"
      "\t</UnitInfos>\n"
      "</Civ4UnitInfos>\n";

bool load_table()
{
    const std::string file = "/tmp/velmora-fuzz-" + std::to_string(::getpid()) + "-xml-change-elements.txt";
    FILE* f = std::fopen(file.c_str(), "w");
    std::fputs(table_text, f);
    std::fclose(f);
    velmora::ElementInfoStorage::instance().clear();
    velmora::ElementInfoStorage::instance().load(file);
    ::unlink(file.c_str());
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool loaded = load_table();
    (void)loaded;
    std::string text(reinterpret_cast<const char*>(data), size);
    try {
        auto base = velmora::parse_xml_text(game_text);
        auto change = velmora::parse_xml_text(text);
        xmlpp::Element* change_root = change->get_document()->get_root_node();
        if (!change_root)
            return 0;
        velmora::check_element_conflicts(change_root, change_root);
        velmora::apply_element(base->get_document()->get_root_node(), change_root);
        base->get_document()->write_to_string("latin1");
    } catch (const velmora::GenericError&) {
    } catch (const velmora::XmlLibraryError&) {
    } catch (const xmlpp::exception&) { }
    return 0;
}
