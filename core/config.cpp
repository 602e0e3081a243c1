#include "core/config.h"

#include <cerrno>
#include <cstring>
#include <libxml++/libxml++.h>
#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

const char* const root_name = "VelmoraConfig";

// The element's text, when it has a text child.
bool child_text(const xmlpp::Element* e, std::string& text)
{
    const xmlpp::TextNode* t = e->get_child_text();
    if (!t)
        return false;
    text = t->get_content();
    return true;
}

// The XML library's first message on one line: its lines trimmed and joined
// by spaces, up to the place ("File ...") of a second message. Later messages
// are mostly echoes of the first.
std::string one_line(const std::string& text)
{
    std::istringstream lines(text);
    std::string out;
    bool placed = false;
    for (std::string line; std::getline(lines, line);) {
        auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            continue;
        if (line.compare(first, 5, "File ") == 0) {
            if (placed)
                break;
            placed = true;
        }
        auto last = line.find_last_not_of(" \t\r");
        out += (out.empty() ? "" : " ") + line.substr(first, last - first + 1);
    }
    return out;
}

} // namespace

Config::Config(Orrindel& orrindel)
    : orrindel(orrindel)
{ }

void Config::load()
{
    if (file.empty())
        file = orrindel.get_settings_dir() / Path("conf");
    if (!exists(file))
        return;

    xmlpp::DomParser parser;
    parser.set_throw_messages(true); // into the exception, not onto the console
    try {
        parser.parse_file(platform::native(file));
    } catch (const xmlpp::exception& e) {
        std::string message = one_line(e.what());
        throw XmlError(format("The configuration file %S cannot be read: %S", &file, &message));
    }
    const xmlpp::Document* doc = parser.get_document();
    const xmlpp::Element* root = doc ? doc->get_root_node() : nullptr;
    if (!root)
        return;

    for (const xmlpp::Node* node : root->get_children()) {
        auto e = dynamic_cast<const xmlpp::Element*>(node);
        std::string text;
        if (!e || !child_text(e, text))
            continue;
        const std::string name = e->get_name();
        if (name == "Civ4Dir")
            orrindel.set_civ4_dir(Path(text));
        else if (name == "ModsDir")
            orrindel.set_mods_dir(Path(text));
        else if (name == "CustomAssetsDir")
            orrindel.set_custom_assets_dir(Path(text));
        else if (name == "AskFieldsOnly")
            orrindel.set_ask_fields_only(text == "yes");
        else if (name == "EnabledMod")
            enabled_mod_names.push_back(text);
    }
}

void Config::save()
{
    if (file.empty() || !writable)
        return;

    xmlpp::Document doc("1.0");
    xmlpp::Element* root = doc.create_root_node(root_name);
    root->add_child("Civ4Dir")->set_child_text(orrindel.get_civ4_dir().str());
    root->add_child("ModsDir")->set_child_text(orrindel.get_mods_dir().str());
    root->add_child("CustomAssetsDir")->set_child_text(orrindel.get_custom_assets_dir().str());
    if (orrindel.get_ask_fields_only())
        root->add_child("AskFieldsOnly")->set_child_text("yes");
    for (const Mod* mod : orrindel.get_enabled_mods_in_order())
        root->add_child("EnabledMod")->set_child_text(mod->name);

    Path temporary(file.str() + ".new");
    std::string problem;
    try {
        doc.write_to_file_formatted(platform::native(temporary));
        if (platform::sync_path(temporary.str()) != 0 || platform::rename(temporary.str(), file.str()) != 0)
            problem = std::strerror(errno);
    } catch (const xmlpp::exception& e) {
        problem = e.what();
    }
    if (!problem.empty()) {
        platform::unlink(temporary.str());
        throw GenericError(format("Cannot save the configuration file %S: %S", &file, &problem));
    }
}

Path Config::keep_bad_file()
{
    Path bad(file.str() + ".bad");
    if (platform::rename(file.str(), bad.str()) == 0)
        return bad;
    writable = false;
    return Path();
}

} // namespace velmora
