#ifndef VELMORA_TESTS_SUPPORT_UNIT_SCHEMA_H
#define VELMORA_TESTS_SUPPORT_UNIT_SCHEMA_H

// A units schema in the game's XDR, and records that leave out what it makes
// optional, for the tests of schema order and verification.

#include <string>
#include <vector>

#include "support/game_xml.h"

namespace velmora::test {

// UnitInfo: an optional field first, required and optional fields in
// sequence, an optional group (HotKey required within it), a repeated pair
// record, an optional field last. Button is declared but left out of the
// content model, which the open model allows anywhere.
inline std::string unit_schema_text(const std::string& unit_info_model)
{
    return "<?xml version=\"1.0\"?>\n"
           "<!-- Units schema -->\n"
           "<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">\n"
           "\t<ElementType name=\"Description\" content=\"textOnly\"/>\n"
           "\t<ElementType name=\"Class\" content=\"textOnly\"/>\n"
           "\t<ElementType name=\"Type\" content=\"textOnly\"/>\n"
           "\t<ElementType name=\"Help\" content=\"textOnly\"/>\n"
           "\t<ElementType name=\"Button\" content=\"textOnly\"/>\n"
           "\t<ElementType name=\"bOnlyDefensive\" content=\"textOnly\" dt:type=\"boolean\"/>\n"
           "\t<ElementType name=\"bOnlyAttackAnimals\" content=\"textOnly\" dt:type=\"boolean\"/>\n"
           "\t<ElementType name=\"HotKey\" content=\"textOnly\"/>\n"
           "\t<ElementType name=\"bAltDown\" content=\"textOnly\" dt:type=\"boolean\"/>\n"
           "\t<ElementType name=\"iHotKeyPriority\" content=\"textOnly\" dt:type=\"int\"/>\n"
           "\t<ElementType name=\"FlavorType\" content=\"textOnly\"/>\n"
           "\t<ElementType name=\"iFlavor\" content=\"textOnly\" dt:type=\"int\"/>\n"
           "\t<ElementType name=\"Flavor\" content=\"eltOnly\">\n"
           "\t\t<element type=\"FlavorType\"/>\n"
           "\t\t<element type=\"iFlavor\"/>\n"
           "\t</ElementType>\n"
           "\t<ElementType name=\"Flavors\" content=\"eltOnly\">\n"
           "\t\t<element type=\"Flavor\" minOccurs=\"0\" maxOccurs=\"*\"/>\n"
           "\t</ElementType>\n"
           "\t<ElementType name=\"iCombat\" content=\"textOnly\" dt:type=\"int\"/>\n"
           "\t<ElementType name=\"iLeaderExperience\" content=\"textOnly\" dt:type=\"int\"/>\n"
           "\t<ElementType name=\"UnitInfo\" content=\"eltOnly\">\n"
        + unit_info_model
        + "\t</ElementType>\n"
          "\t<ElementType name=\"UnitInfos\" content=\"eltOnly\">\n"
          "\t\t<element type=\"UnitInfo\" maxOccurs=\"*\"/>\n"
          "\t</ElementType>\n"
          "\t<ElementType name=\"Civ4UnitInfos\" content=\"eltOnly\">\n"
          "\t\t<element type=\"UnitInfos\"/>\n"
          "\t</ElementType>\n"
          "</Schema>\n";
}

inline const char* const unit_info_model = "\t\t<element type=\"Description\" minOccurs=\"0\"/>\n"
                                           "\t\t<element type=\"Class\"/>\n"
                                           "\t\t<element type=\"Type\"/>\n"
                                           "\t\t<element type=\"Help\" minOccurs=\"0\"/>\n"
                                           "\t\t<element type=\"bOnlyDefensive\"/>\n"
                                           "\t\t<element type=\"bOnlyAttackAnimals\" minOccurs=\"0\"/>\n"
                                           "\t\t<group order=\"seq\" minOccurs=\"0\">\n"
                                           "\t\t\t<element type=\"HotKey\"/>\n"
                                           "\t\t\t<element type=\"bAltDown\" minOccurs=\"0\"/>\n"
                                           "\t\t\t<element type=\"iHotKeyPriority\" minOccurs=\"0\"/>\n"
                                           "\t\t</group>\n"
                                           "\t\t<element type=\"Flavors\" minOccurs=\"0\"/>\n"
                                           "\t\t<element type=\"iCombat\"/>\n"
                                           "\t\t<element type=\"iLeaderExperience\" minOccurs=\"0\"/>\n";

inline std::string unit_schema() { return unit_schema_text(unit_info_model); }

inline const char* const unit_schema_file = "XML\\Units\\CIV4UnitSchema.xml";

// A units file bound to the schema; `records` are tab-indented UnitInfo elements.
inline std::string schema_units_doc(const std::string& records)
{
    return game_document("Civ4UnitInfos", R"(xmlns="x-schema:CIV4UnitSchema.xml")",
        "\t<UnitInfos>\n" + records + "\t</UnitInfos>\n", Declaration::plain);
}

// A UnitInfo record from field lines without indentation ("<Class>X</Class>").
inline std::string schema_unit(const std::vector<std::string>& fields)
{
    std::string out = "\t\t<UnitInfo>\n";
    for (const std::string& f : fields)
        out += "\t\t\t" + f + "\n";
    return out + "\t\t</UnitInfo>\n";
}

// A warrior as the game has it: optional fields left out, Button (outside the
// content model) after its key, an optional group with only its required member.
inline std::vector<std::string> warrior_fields()
{
    return {"<Class>UNITCLASS_WARRIOR</Class>", "<Type>UNIT_WARRIOR</Type>", "<Button>Art/warrior.dds</Button>",
        "<bOnlyDefensive>0</bOnlyDefensive>", "<HotKey>KB_W</HotKey>", "<iHotKeyPriority>0</iHotKeyPriority>",
        "<iCombat>2</iCombat>"};
}

} // namespace velmora::test

#endif
