#ifndef VELMORA_TESTS_MOD_MOD_TEST_SUPPORT_H
#define VELMORA_TESTS_MOD_MOD_TEST_SUPPORT_H

// Small game-like documents and in-memory mods for the tests of applying and
// conflict checking.

#include <sstream>
#include <string>
#include <vector>

#include "base/errors.h"
#include "diff/diff.h"
#include "mod/mod.h"
#include "support/game_xml.h"

namespace velmora::test {

// The table lines the documents below need beyond the naming rules.
inline const char* const merge_table = "UnitInfos\tFlavors\tcontainer\n"
                                       "UnitInfos\tFlavor\tobject\tFlavorType\n"
                                       "UnitInfos\tYieldChanges\tlist\n"
                                       "UnitInfos\tPrereqBonuses\tset\n"
                                       "UnitInfos\tBonusAffinities\topaque\n"
                                       "UnitInfos\tHotKeyInfo\tignore\n"
                                       "GameText\tCiv4GameText\tcontainer\n"
                                       "GameText\tTEXT\tobject\tTag\n"
                                       "GameText\tEnglish\topaque\n"
                                       "GameText\tFrench\topaque\n"
                                       "Schema\tSchema\topaque\n"
                                       "NameLists\tCiv4NameLists\ttoplevel\n"
                                       "NameLists\tCityNames\tlist\n"
                                       "NameLists\tLeaderNames\tset\n"
                                       "Version\tCiv4Version\ttoplevel\n";

inline const char* const units_file = "XML\\Units\\CIV4UnitInfos.xml";

// The message of the ConflictError check_conflicts throws; "" when it returns.
inline std::string conflict_of(const Mod& a, const Mod& b)
{
    try {
        a.check_conflicts(&b);
    } catch (const ConflictError& e) {
        return e.what();
    }
    return std::string();
}

// A units document as the game lays it out: declaration, comment header,
// default namespace on the root, tabs; `records` are tab-indented UnitInfo
// elements.
inline std::string units_doc(const std::string& records, Declaration declaration = Declaration::iso_8859_1)
{
    return game_document("Civ4UnitInfos", R"(xmlns="x-schema:CIV4UnitSchema.xml")",
        "\t<UnitInfos>\n" + records + "\t</UnitInfos>\n", declaration);
}

// A units change that may hold removals: Velmora's namespace declared on the root.
inline std::string units_removals_doc(const std::string& records)
{
    return game_document("Civ4UnitInfos", R"(xmlns="x-schema:CIV4UnitSchema.xml" xmlns:velmora="urn:velmora:change")",
        "\t<UnitInfos>\n" + records + "\t</UnitInfos>\n");
}

// The removal of the record keyed `type`, and of a field (a line indented by three tabs).
inline std::string removed_unit(const std::string& type)
{
    return "\t\t<UnitInfo velmora:remove=\"1\">\n\t\t\t<Type>" + type + "</Type>\n\t\t</UnitInfo>\n";
}
inline std::string removed_field(const std::string& name)
{
    return "\t\t\t<" + name + " velmora:remove=\"1\"/>\n";
}

// A UnitInfo record keyed `type`; `fields` are lines indented by three tabs.
// As in the game, the key is not the record's first field.
inline std::string unit(const std::string& type, const std::string& fields = std::string())
{
    return "\t\t<UnitInfo>\n\t\t\t<Class>UNITCLASS_" + type.substr(5) + "</Class>\n\t\t\t<Type>" + type
        + "</Type>\n" + fields + "\t\t</UnitInfo>\n";
}

// A text file: the root holds the TEXT records directly.
inline std::string text_doc(const std::string& records, Declaration declaration = Declaration::iso_8859_1)
{
    return game_document("Civ4GameText", R"(xmlns="http://www.firaxis.com")", records, declaration);
}

inline std::string text_record(const std::string& tag, const std::string& languages)
{
    return "\t<TEXT>\n\t\t<Tag>" + tag + "</Tag>\n" + languages + "\t</TEXT>\n";
}

inline Mod mod_with(const std::string& name, const std::vector<Change>& changes)
{
    Mod m;
    m.name = name;
    m.changes.assign(changes.begin(), changes.end());
    m.loaded = true;
    return m;
}

inline Change xml_change(const std::string& file, const std::string& text)
{
    return {file, Change::XML, text};
}
inline Change whole_change(const std::string& file, const std::string& text)
{
    return {file, Change::WHOLE, text};
}
inline Change diff_change(const std::string& file, const std::string& text)
{
    return {file, Change::DIFF, text};
}

// The text of the difference from old_text to new_text, as a mod stores it.
inline std::string diff_text(const std::string& old_text, const std::string& new_text)
{
    std::istringstream o(old_text), n(new_text);
    Diff d;
    d.create(o, n);
    std::ostringstream out;
    d.write(out);
    return out.str();
}

} // namespace velmora::test

#endif
