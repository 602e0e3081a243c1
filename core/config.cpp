#include "core/config.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <libxml++/libxml++.h>
#include <set>
#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "mod/mod.h"
#include "mod/untrusted_xml.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/parse.h"

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

using SettingVisitor = std::function<void(const std::string& name, const std::string& text)>;

// Calls visit for each setting element with text, in file order. Throws
// XmlError naming the file when it cannot be parsed.
void read_settings(const Path& file, const SettingVisitor& visit)
{
    quiet_xml_library();
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
        if (e && child_text(e, text))
            visit(e->get_name(), text);
    }
}

// Folders are compared and written in their stored form.
std::string stored(const std::string& text) { return Path(text).str(); }

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Waits this long for another Velmora saving its settings; a save takes
// milliseconds.
const int lock_wait_ms = 5000;

class FileLock {
public:
    explicit FileLock(const Path& file)
        : handle(platform::lock(file.str(), lock_wait_ms))
    { }
    ~FileLock() { platform::unlock(handle); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return handle >= 0; }

private:
    int handle;
};

} // namespace

bool ConfigValues::same_as(const ConfigValues& other) const
{
    if (civ4_dir != other.civ4_dir || mods_dir != other.mods_dir || custom_assets_dir != other.custom_assets_dir
        || ask_fields_only != other.ask_fields_only)
        return false;
    std::set<std::string> a(enabled.begin(), enabled.end()), b(other.enabled.begin(), other.enabled.end());
    return a == b;
}

Config::Config(Orrindel& orrindel)
    : orrindel(orrindel)
{ }

void Config::load()
{
    if (file.empty())
        file = orrindel.get_settings_dir() / Path("conf");
    if (!exists(file))
        return;
    read_settings(file, [this](const std::string& name, const std::string& text) {
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
    });
}

ConfigValues Config::current() const
{
    ConfigValues v;
    v.civ4_dir = orrindel.get_civ4_dir().str();
    v.mods_dir = orrindel.get_mods_dir().str();
    v.custom_assets_dir = orrindel.get_custom_assets_dir().str();
    v.ask_fields_only = orrindel.get_ask_fields_only();
    // Each enabled mod by its name, or by its file where the name repeats;
    // names the folder cannot place yet are kept as they were read.
    for (const Mod* mod : orrindel.get_enabled_mods_in_order())
        v.enabled.push_back(orrindel.key_of(mod));
    for (const std::set<std::string>* kept : {&orrindel.get_missing_mods(), &orrindel.get_ambiguous_mods()})
        for (const std::string& name : *kept)
            if (!contains(v.enabled, name))
                v.enabled.push_back(name);
    return v;
}

void Config::mark_saved() { saved = current(); }

// The file's values with what changed here since the last load or save put
// over them: a folder changed here wins, a mod enabled or disabled here is
// enabled or disabled, and everything else stays as the other program left it.
ConfigValues Config::merged_with_file(const ConfigValues& now) const
{
    ConfigValues disk;
    try {
        if (!exists(file))
            return now;
        read_settings(file, [&disk](const std::string& name, const std::string& text) {
            if (name == "Civ4Dir")
                disk.civ4_dir = stored(text);
            else if (name == "ModsDir")
                disk.mods_dir = stored(text);
            else if (name == "CustomAssetsDir")
                disk.custom_assets_dir = stored(text);
            else if (name == "AskFieldsOnly")
                disk.ask_fields_only = text == "yes";
            else if (name == "EnabledMod" && !contains(disk.enabled, text))
                disk.enabled.push_back(text);
        });
    } catch (const XmlError&) {
        return now; // nothing to keep of a file that cannot be read
    }
    ConfigValues out;
    out.civ4_dir = now.civ4_dir != saved.civ4_dir ? now.civ4_dir : disk.civ4_dir;
    out.mods_dir = now.mods_dir != saved.mods_dir ? now.mods_dir : disk.mods_dir;
    out.custom_assets_dir = now.custom_assets_dir != saved.custom_assets_dir ? now.custom_assets_dir
                                                                             : disk.custom_assets_dir;
    out.ask_fields_only = now.ask_fields_only != saved.ask_fields_only ? now.ask_fields_only : disk.ask_fields_only;
    for (const std::string& name : now.enabled)
        if (contains(disk.enabled, name) || !contains(saved.enabled, name))
            out.enabled.push_back(name);
    for (const std::string& name : disk.enabled)
        if (!contains(out.enabled, name) && (contains(now.enabled, name) || !contains(saved.enabled, name)))
            out.enabled.push_back(name);
    return out;
}

void Config::save()
{
    if (file.empty() || !writable)
        return;
    const ConfigValues now = current();
    // The settings folder itself is the lock: "conf" is replaced by a rename.
    const Path folder = file.size() > 1 ? file.subpath(0, file.size() - 1) : Path(".");
    FileLock lock(folder);
    if (!lock.held()) {
        std::string why = std::strerror(errno);
        if (errno == EWOULDBLOCK)
            why = "another Velmora is saving it";
        throw GenericError(format("Cannot save the configuration file %S: %S", &file, &why));
    }
    write(merged_with_file(now));
    // What this program holds now is the base of the next merge: the other's
    // changes, taken from the file, are not undone by it.
    saved = now;
}

void Config::save_if_changed()
{
    if (!current().same_as(saved))
        save();
}

std::string write_document_atomically(xmlpp::Document& doc, const Path& file)
{
    Path temporary(file.str() + ".new");
    std::string problem;
    try {
        doc.write_to_file_formatted(platform::native(temporary));
        if (platform::sync_path(temporary.str()) != 0 || platform::rename(temporary.str(), file.str()) != 0)
            problem = std::strerror(errno);
    } catch (const xmlpp::exception& e) {
        problem = library_message(e);
    }
    if (!problem.empty())
        platform::unlink(temporary.str());
    return problem;
}

void Config::write(const ConfigValues& values)
{
    quiet_xml_library();
    xmlpp::Document doc("1.0");
    xmlpp::Element* root = doc.create_root_node(root_name);
    root->add_child("Civ4Dir")->set_child_text(values.civ4_dir);
    root->add_child("ModsDir")->set_child_text(values.mods_dir);
    root->add_child("CustomAssetsDir")->set_child_text(values.custom_assets_dir);
    if (values.ask_fields_only)
        root->add_child("AskFieldsOnly")->set_child_text("yes");
    for (const std::string& name : values.enabled)
        root->add_child("EnabledMod")->set_child_text(name);

    const std::string problem = write_document_atomically(doc, file);
    if (!problem.empty())
        throw GenericError(format("Cannot save the configuration file %S: %S", &file, &problem));
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
