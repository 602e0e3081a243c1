#include "core/setup_file.h"

#include <libxml++/libxml++.h>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "core/config.h"
#include "xml/library.h"
#include "path/platform.h"
#include "xml/parse.h"

namespace velmora {

namespace {

const char* const root_name = "VelmoraSetup";

std::string child_text(const xmlpp::Element* e, const char* name)
{
    for (const xmlpp::Node* n : e->get_children(name))
        if (auto c = dynamic_cast<const xmlpp::Element*>(n))
            if (const xmlpp::TextNode* t = c->get_child_text())
                return t->get_content();
    return std::string();
}

int mod_index(const std::string& text, std::size_t mods)
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const int i = std::stoi(text);
    return static_cast<std::size_t>(i) < mods ? i : -1;
}

} // namespace

Setup Setup::read(const Path& file)
{
    quiet_xml_library();
    xmlpp::DomParser parser;
    parser.set_throw_messages(true);
    try {
        call_xml_library([&] { parser.parse_file(platform::native(file)); });
    } catch (const XmlLibraryError& e) {
        std::string message = library_message(e);
        throw XmlError(format("The setup file %S cannot be read: %S", &file, &message));
    }
    const xmlpp::Element* root = parser.get_document() ? parser.get_document()->get_root_node() : nullptr;
    if (!root || root->get_name() != root_name)
        throw XmlError(format("The file %S is not a Velmora setup file (its root element is not <%s>).", &file,
            root_name));
    Setup setup;
    setup.profile = child_text(root, "Profile");
    setup.ask_fields_only = child_text(root, "AskFieldsOnly") == "yes";
    for (const xmlpp::Node* n : root->get_children("Mod")) {
        auto e = dynamic_cast<const xmlpp::Element*>(n);
        if (!e)
            continue;
        SetupMod m{child_text(e, "Name"), child_text(e, "Version"), child_text(e, "File"), 0};
        if (m.name.empty() && m.file.empty())
            continue;
        parse_hash(child_text(e, "Hash"), m.hash);
        setup.mods.push_back(m);
    }
    for (const xmlpp::Node* n : root->get_children("Answer")) {
        auto e = dynamic_cast<const xmlpp::Element*>(n);
        if (!e)
            continue;
        SetupAnswer a;
        a.winner = child_text(e, "Winner");
        a.loser = child_text(e, "Loser");
        a.winner_mod = mod_index(child_text(e, "WinnerMod"), setup.mods.size());
        a.loser_mod = mod_index(child_text(e, "LoserMod"), setup.mods.size());
        // An answer that lost a part cannot match anything: left out.
        if (a.winner.empty() || a.loser.empty() || !parse_hash(child_text(e, "WinnerChanges"), a.winner_changes)
            || !parse_hash(child_text(e, "LoserChanges"), a.loser_changes))
            continue;
        setup.answers.push_back(a);
    }
    return setup;
}

void Setup::write(const Path& file) const
{
    quiet_xml_library();
    xmlpp::Document doc("1.0");
    xmlpp::Element* root = doc.create_root_node(root_name);
    root->add_child("Profile")->set_child_text(profile);
    if (ask_fields_only)
        root->add_child("AskFieldsOnly")->set_child_text("yes");
    for (const SetupMod& m : mods) {
        xmlpp::Element* e = root->add_child("Mod");
        e->add_child("Name")->set_child_text(m.name);
        e->add_child("Version")->set_child_text(m.version);
        e->add_child("File")->set_child_text(m.file);
        e->add_child("Hash")->set_child_text(hash_text(m.hash));
    }
    for (const SetupAnswer& a : answers) {
        xmlpp::Element* e = root->add_child("Answer");
        e->add_child("Winner")->set_child_text(a.winner);
        if (a.winner_mod >= 0)
            e->add_child("WinnerMod")->set_child_text(std::to_string(a.winner_mod));
        e->add_child("WinnerChanges")->set_child_text(hash_text(a.winner_changes));
        e->add_child("Loser")->set_child_text(a.loser);
        if (a.loser_mod >= 0)
            e->add_child("LoserMod")->set_child_text(std::to_string(a.loser_mod));
        e->add_child("LoserChanges")->set_child_text(hash_text(a.loser_changes));
    }
    const std::string problem = write_document_atomically(doc, file);
    if (!problem.empty())
        throw GenericError(format("Cannot write the setup file %S: %S", &file, &problem));
}

} // namespace velmora
