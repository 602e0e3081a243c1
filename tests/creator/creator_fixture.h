#ifndef VELMORA_TESTS_CREATOR_CREATOR_FIXTURE_H
#define VELMORA_TESTS_CREATOR_CREATOR_FIXTURE_H

#include <gtest/gtest.h>
#include <libxml++/attribute.h>
#include <libxml++/nodes/element.h>
#include <libxml++/nodes/textnode.h>
#include <libxml++/parsers/domparser.h>

#include <memory>
#include <string>
#include <vector>

#include "base/errors.h"
#include "core/orrindel.h"
#include "creator/modcreator.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "support/core_fixtures.h"
#include "support/element_table.h"
#include "support/game_xml.h"
#include "support/tempdir.h"
#include "xml/parse.h"

namespace velmora::test {

// The table for the "Things" documents below. Civ4ThingInfos, ThingInfos and
// ThingInfo are typed by the naming rules; the rest needs lines.
inline const char* things_table()
{
    return "# Velmora element table for the creator's tests\n"
           "ThingInfos\tSizes\tlist\n"
           "ThingInfos\tTags\tset\n"
           "ThingInfos\tArt\topaque\n"
           "ThingInfos\tNotes\tignore\n"
           "ThingInfos\tFlavors\tcontainer\n"
           "ThingInfos\tFlavor\tobject\tFlavorType\n";
}

inline const char* const things_file = "XML\\Things\\Civ4ThingInfos.xml";

// A records file laid out like the game's: declaration, comment header,
// default namespace on the root, tabs, records in a container.
inline std::string things(const std::string& records, Declaration declaration = Declaration::iso_8859_1)
{
    return game_document("Civ4ThingInfos", "xmlns=\"x-schema:CIV4ThingSchema.xml\"",
        "\t<ThingInfos>\n" + records + "\t</ThingInfos>\n", declaration);
}

// One record: its key first, then its fields (each a line at record depth).
inline std::string thing(const std::string& type, const std::string& fields = "")
{
    return "\t\t<ThingInfo>\n\t\t\t<Type>" + type + "</Type>\n" + fields + "\t\t</ThingInfo>\n";
}

inline std::string field(const std::string& name, const std::string& text)
{
    return "\t\t\t<" + name + ">" + text + "</" + name + ">\n";
}

// A list or set field: <Sizes><iSize>1</iSize>...</Sizes>.
inline std::string items(
    const std::string& name, const std::string& item, const std::vector<std::string>& texts)
{
    std::string s = "\t\t\t<" + name + ">\n";
    for (const std::string& t : texts)
        s += "\t\t\t\t<" + item + ">" + t + "</" + item + ">\n";
    return s + "\t\t\t</" + name + ">\n";
}

inline std::string flavors(const std::vector<std::pair<std::string, std::string>>& pairs)
{
    std::string s = "\t\t\t<Flavors>\n";
    for (const auto& [type, value] : pairs)
        s += "\t\t\t\t<Flavor>\n\t\t\t\t\t<FlavorType>" + type + "</FlavorType>\n\t\t\t\t\t<iFlavor>" + value
            + "</iFlavor>\n\t\t\t\t</Flavor>\n";
    return s + "\t\t\t</Flavors>\n";
}

// A compact view of an XML text for comparisons: an element with element
// children as name(child,child), one without as name=text, attributes in
// braces after the name: name{a=1 b=2}. White space between elements and
// comments are left out.
inline std::string outline_element_content(const xmlpp::Element* e);
inline std::string outline_element(const xmlpp::Element* e)
{
    std::string attributes;
    for (const xmlpp::Attribute* a : e->get_attributes())
        attributes += " " + a->get_name() + "=" + a->get_value();
    if (!attributes.empty())
        return e->get_name() + "{" + attributes.substr(1) + "}" + outline_element_content(e);
    return e->get_name() + outline_element_content(e);
}

inline std::string outline_element_content(const xmlpp::Element* e)
{
    std::string children;
    for (const xmlpp::Node* n : e->get_children()) {
        if (const auto* c = dynamic_cast<const xmlpp::Element*>(n))
            children += (children.empty() ? "" : ",") + outline_element(c);
    }
    if (!children.empty())
        return "(" + children + ")";
    const xmlpp::TextNode* text = e->get_child_text();
    return "=" + (text ? std::string(text->get_content()) : std::string());
}

inline std::string outline(const std::string& xml)
{
    std::unique_ptr<xmlpp::DomParser> parser = parse_xml_text(xml);
    return outline_element(parser->get_document()->get_root_node());
}

// A game installation, a folder of modified files and a core whose settings
// folder takes the report. The element table is the creator's own for the
// life of the fixture.
class CreatorFixture : public ::testing::Test {
protected:
    CreatorFixture()
    {
        write_file(tmp / "run/elements.txt", things_table());
        mkpath(tmp / "home", 0755);
        mkpath(tmp / "Civ4/Assets", 0755);
        mkpath(tmp / "MyMod/Assets", 0755);
        cwd = std::make_unique<CurrentFolder>(tmp / "run");
        core = std::make_unique<Orrindel>(tmp / "home");
        core->startup();
        core->set_civ4_dir(tmp / "Civ4");
    }

    Path game(const std::string& rel = "") const { return tmp / ("Civ4/Assets/" + rel); }
    Path modified(const std::string& rel = "") const { return tmp / ("MyMod/Assets/" + rel); }
    Path report_file() const { return core->get_settings_dir() / Path("report.txt"); }
    std::string report() const { return exists(report_file()) ? read_file(report_file()) : std::string(); }

    // Writes a file into both trees: the game's version and the modder's.
    void write_pair(const std::string& rel, const std::string& game_text, const std::string& modified_text)
    {
        write_file(game(rel), game_text);
        write_file(modified(rel), modified_text);
    }

    std::unique_ptr<Mod> create(const Path& chosen, bool with_report = true)
    {
        ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), chosen, with_report);
        return std::unique_ptr<Mod>(creator.create());
    }
    std::unique_ptr<Mod> create() { return create(tmp / "MyMod"); }

    // The message of the GenericError (or kind of it) that create() throws.
    std::string create_error(const Path& chosen)
    {
        try {
            create(chosen);
        } catch (const GenericError& e) {
            return e.what();
        }
        ADD_FAILURE() << "create() did not fail";
        return std::string();
    }
    std::string create_error() { return create_error(tmp / "MyMod"); }

    TempDir tmp;
    ElementTableScope table;
    std::unique_ptr<CurrentFolder> cwd;
    std::unique_ptr<Orrindel> core;
};

} // namespace velmora::test

#endif
