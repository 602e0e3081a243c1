#include "core/config.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <libxml++/libxml++.h>
#include <set>
#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "xml/library.h"
#include "path/file_io.h"
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

bool is_folder_element(const std::string& name)
{
    return name == "Civ4Dir" || name == "ModsDir" || name == "CustomAssetsDir";
}

// One profile's settings, from the children of a "Profile" element or of the root.
void read_profile_setting(ProfileValues& p, const std::string& name, const std::string& text)
{
    if (name == "AskFieldsOnly")
        p.ask_fields_only = text == "yes";
    else if (name == "EnabledMod") {
        if (std::find(p.enabled.begin(), p.enabled.end(), text) == p.enabled.end())
            p.enabled.push_back(text);
    }
}

ProfileValues read_profile(const xmlpp::Element* e)
{
    ProfileValues p;
    for (const xmlpp::Node* node : e->get_children()) {
        auto child = dynamic_cast<const xmlpp::Element*>(node);
        std::string text;
        if (!child || !child_text(child, text))
            continue;
        const std::string name = child->get_name();
        if (name == "Name")
            p.name = text;
        else if (name == "Answers")
            p.answers = text;
        else if (name == "AskFieldsOnly" || name == "EnabledMod")
            read_profile_setting(p, name, text);
        else
            p.other.emplace_back(name, text);
    }
    return p;
}

// Reads file into out; folders (when given) gets each folder element in file
// order. Throws XmlError naming the file when it cannot be parsed.
void read_settings(const Path& file, ConfigValues& out, ConfigFolders* folders)
{
    quiet_xml_library();
    xmlpp::DomParser parser;
    parser.set_throw_messages(true); // into the exception, not onto the console
    try {
        call_xml_library([&] { parser.parse_file(platform::native(file)); });
    } catch (const XmlLibraryError& e) {
        std::string message = one_line(e.what());
        throw XmlError(format("The configuration file %S cannot be read: %S", &file, &message));
    }
    ProfileValues first;
    first.name = default_profile_name;
    std::vector<ProfileValues> others;
    const xmlpp::Document* doc = parser.get_document();
    const xmlpp::Element* root = doc ? doc->get_root_node() : nullptr;
    for (const xmlpp::Node* node : root ? root->get_children() : xmlpp::Node::NodeList()) {
        auto e = dynamic_cast<const xmlpp::Element*>(node);
        if (!e)
            continue;
        const std::string name = e->get_name();
        if (name == "Profile") {
            ProfileValues p = read_profile(e);
            if (!p.name.empty())
                others.push_back(std::move(p));
            continue;
        }
        std::string text;
        if (!child_text(e, text))
            continue;
        if (is_folder_element(name)) {
            (name == "Civ4Dir" ? out.civ4_dir : name == "ModsDir" ? out.mods_dir : out.custom_assets_dir)
                = Path(text).str();
            if (folders)
                folders->emplace_back(name, text);
        } else if (name == "BaseMod") {
            out.base_mod = Path(text).str();
        } else if (name == "ModTarget") {
            out.mod_target = text;
        } else if (name == "GameIniMod" || name == "EmptyGameCache") {
            (name == "GameIniMod" ? out.game_ini_mod : out.empty_game_cache) = text == "yes";
        } else if (name == "RestorePoints") {
            if (!text.empty() && text.size() < 4 && text.find_first_not_of("0123456789") == std::string::npos)
                out.restore_points = static_cast<unsigned>(std::stoul(text));
        } else if (name == "PreviewBeforeApply") {
            out.preview_before_apply = text != "no";
        } else if (name == "ProfileName") {
            first.name = text;
        } else if (name == "ProfileAnswers") {
            first.answers = text;
        } else if (name == "CurrentProfile") {
            out.current = text;
        } else {
            read_profile_setting(first, name, text);
        }
    }
    out.profiles.push_back(std::move(first));
    // A name given twice (by hand) is read once: the first one counts.
    for (ProfileValues& p : others)
        if (!out.find(p.name))
            out.profiles.push_back(std::move(p));
    if (!out.find(out.current))
        out.current = out.profiles.front().name;
}

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

const char* const default_profile_name = "Default";

bool ProfileValues::same_as(const ProfileValues& o) const
{
    std::set<std::string> a(enabled.begin(), enabled.end()), b(o.enabled.begin(), o.enabled.end());
    return name == o.name && ask_fields_only == o.ask_fields_only && answers_file() == o.answers_file() && a == b
        && other == o.other;
}

const ProfileValues* ConfigValues::find(const std::string& name) const
{
    for (const ProfileValues& p : profiles)
        if (p.name == name)
            return &p;
    return nullptr;
}

ProfileValues* ConfigValues::find(const std::string& name)
{
    return const_cast<ProfileValues*>(static_cast<const ConfigValues*>(this)->find(name));
}

bool ConfigValues::same_as(const ConfigValues& o) const
{
    if (civ4_dir != o.civ4_dir || mods_dir != o.mods_dir || custom_assets_dir != o.custom_assets_dir
        || base_mod != o.base_mod || mod_target != o.mod_target || restore_points != o.restore_points
        || game_ini_mod != o.game_ini_mod || empty_game_cache != o.empty_game_cache
        || preview_before_apply != o.preview_before_apply || current != o.current
        || profiles.size() != o.profiles.size())
        return false;
    for (std::size_t i = 0; i < profiles.size(); ++i)
        if (!profiles[i].same_as(o.profiles[i]))
            return false;
    return true;
}

namespace {

ConfigValues fresh_values()
{
    ConfigValues v;
    ProfileValues p;
    p.name = default_profile_name;
    v.profiles.push_back(p);
    v.current = p.name;
    return v;
}

// The enabled names of one profile after both programs' changes: a mod
// enabled or disabled here since the base is so, the rest as the file has it.
std::vector<std::string> merged_names(
    const std::vector<std::string>& base, const std::vector<std::string>& now, const std::vector<std::string>& disk)
{
    std::vector<std::string> out;
    for (const std::string& name : now)
        if (contains(disk, name) || !contains(base, name))
            out.push_back(name);
    for (const std::string& name : disk)
        if (!contains(out, name) && (contains(now, name) || !contains(base, name)))
            out.push_back(name);
    return out;
}

// One profile both programs have: what changed here since base wins, the rest
// is the file's. Without a base (both made a profile of that name), this
// program's values win and the enabled mods are joined.
ProfileValues merged_profile(const ProfileValues* base, const ProfileValues& now, const ProfileValues& disk)
{
    ProfileValues out = disk;
    if (!base) {
        out.ask_fields_only = now.ask_fields_only;
        out.answers = now.answers;
        out.enabled = merged_names({}, now.enabled, disk.enabled);
        return out;
    }
    if (now.ask_fields_only != base->ask_fields_only)
        out.ask_fields_only = now.ask_fields_only;
    if (now.answers_file() != base->answers_file())
        out.answers = now.answers;
    out.enabled = merged_names(base->enabled, now.enabled, disk.enabled);
    return out;
}

} // namespace

Config::Config()
    : values(fresh_values())
    , saved(fresh_values())
{ }

bool Config::load(const Path& default_file)
{
    if (file.empty())
        file = default_file;
    if (!exists(file))
        return false;
    ConfigValues read;
    ConfigFolders read_folders;
    read_settings(file, read, &read_folders);
    values = std::move(read);
    folders = std::move(read_folders);
    return true;
}

const ProfileValues& Config::get_current_profile() const
{
    const ProfileValues* p = values.find(values.current);
    return p ? *p : values.profiles.front();
}

std::list<std::string> Config::get_enabled_mod_names() const
{
    const std::vector<std::string>& names = get_current_profile().enabled;
    return std::list<std::string>(names.begin(), names.end());
}

void Config::store_profile(const ProfileValues& profile)
{
    if (ProfileValues* p = values.find(profile.name))
        *p = profile;
    else
        values.profiles.push_back(profile);
}

void Config::rename_profile(const std::string& from, const std::string& to)
{
    if (ProfileValues* p = values.find(from))
        p->name = to;
    if (values.current == from)
        values.current = to;
}

void Config::rename_mod_key(const std::string& from, const std::string& to)
{
    for (ProfileValues& p : values.profiles)
        for (std::string& key : p.enabled)
            if (key == from)
                key = to;
}

void Config::remove_profile(const std::string& name)
{
    auto& list = values.profiles;
    list.erase(std::remove_if(list.begin(), list.end(), [&](const ProfileValues& p) { return p.name == name; }),
        list.end());
}

ConfigValues Config::current(const ConfigValues& held, const ProfileValues& in_use) const
{
    ConfigValues v = values;
    v.civ4_dir = held.civ4_dir;
    v.mods_dir = held.mods_dir;
    v.custom_assets_dir = held.custom_assets_dir;
    v.base_mod = held.base_mod;
    v.mod_target = held.mod_target;
    v.restore_points = held.restore_points;
    v.game_ini_mod = held.game_ini_mod;
    v.empty_game_cache = held.empty_game_cache;
    v.preview_before_apply = held.preview_before_apply;
    v.current = held.current;
    ProfileValues live = in_use;
    if (const ProfileValues* kept = v.find(live.name))
        live.other = kept->other;
    if (ProfileValues* p = v.find(live.name))
        *p = live;
    else
        v.profiles.push_back(live);
    return v;
}

void Config::mark_saved(const ConfigValues& held, const ProfileValues& in_use)
{
    saved = current(held, in_use);
    values = saved;
}

// The file's values with what changed here since the last load or save put
// over them: a folder changed here wins; a profile made here is added, one
// deleted here is dropped, and in the profiles both have a mod enabled or
// disabled here is enabled or disabled. Everything else stays as the other
// program left it, and a profile the other deleted stays deleted unless it
// changed here.
ConfigValues Config::merged_with_file(const ConfigValues& now) const
{
    ConfigValues disk;
    try {
        if (!exists(file))
            return now;
        read_settings(file, disk, nullptr);
    } catch (const XmlError&) {
        return now; // nothing to keep of a file that cannot be read
    }
    ConfigValues out;
    out.civ4_dir = now.civ4_dir != saved.civ4_dir ? now.civ4_dir : disk.civ4_dir;
    out.mods_dir = now.mods_dir != saved.mods_dir ? now.mods_dir : disk.mods_dir;
    out.custom_assets_dir = now.custom_assets_dir != saved.custom_assets_dir ? now.custom_assets_dir
                                                                             : disk.custom_assets_dir;
    out.base_mod = now.base_mod != saved.base_mod ? now.base_mod : disk.base_mod;
    out.mod_target = now.mod_target != saved.mod_target ? now.mod_target : disk.mod_target;
    out.restore_points = now.restore_points != saved.restore_points ? now.restore_points : disk.restore_points;
    out.game_ini_mod = now.game_ini_mod != saved.game_ini_mod ? now.game_ini_mod : disk.game_ini_mod;
    out.empty_game_cache
        = now.empty_game_cache != saved.empty_game_cache ? now.empty_game_cache : disk.empty_game_cache;
    out.preview_before_apply = now.preview_before_apply != saved.preview_before_apply
        ? now.preview_before_apply
        : disk.preview_before_apply;
    for (const ProfileValues& d : disk.profiles) {
        const ProfileValues* here = now.find(d.name);
        const ProfileValues* base = saved.find(d.name);
        if (here)
            out.profiles.push_back(merged_profile(base, *here, d));
        else if (!base)
            out.profiles.push_back(d); // made by the other program
    }
    for (const ProfileValues& p : now.profiles) {
        if (disk.find(p.name))
            continue;
        const ProfileValues* base = saved.find(p.name);
        if (!base || !p.same_as(*base))
            out.profiles.push_back(p);
    }
    out.current = now.current != saved.current ? now.current : disk.current;
    if (out.profiles.empty())
        out.profiles.push_back(*now.find(now.current));
    if (!out.find(out.current))
        out.current = out.profiles.front().name;
    return out;
}

void Config::save(const ConfigValues& held, const ProfileValues& in_use)
{
    if (file.empty() || !writable)
        return;
    const ConfigValues now = current(held, in_use);
    // The settings folder itself is the lock: "conf" is replaced by a rename.
    const Path folder = file.size() > 1 ? file.subpath(0, file.size() - 1) : Path(".");
    FileLock lock(folder);
    if (!lock.held()) {
        std::string why = std::strerror(errno);
        if (errno == EWOULDBLOCK)
            why = "another Velmora is saving it";
        throw GenericError(format("Cannot save the configuration file %S: %S", &file, &why));
    }
    ConfigValues merged = merged_with_file(now);
    write(merged);
    // What this program holds now is the base of the next merge: the other's
    // changes, taken from the file, are not undone by it.
    saved = now;
    // The profiles not in use are known as the file now has them.
    for (const ProfileValues& p : merged.profiles)
        if (p.name != in_use.name)
            store_profile(p);
    auto& list = values.profiles;
    list.erase(std::remove_if(list.begin(), list.end(),
                   [&](const ProfileValues& p) { return p.name != in_use.name && !merged.find(p.name); }),
        list.end());
}

void Config::save_if_changed(const ConfigValues& held, const ProfileValues& in_use)
{
    if (!current(held, in_use).same_as(saved))
        save(held, in_use);
}

std::string write_document_atomically(xmlpp::Document& doc, const Path& file)
{
    std::string bytes;
    try {
        bytes = with_xml_library([&doc] { return std::string(doc.write_to_string_formatted()); });
    } catch (const XmlLibraryError& e) {
        return library_message(e);
    }
    if (write_file_atomically(file, bytes) != 0)
        return std::strerror(errno);
    return std::string();
}

void Config::write(const ConfigValues& v)
{
    quiet_xml_library();
    xmlpp::Document doc("1.0");
    xmlpp::Element* root = doc.create_root_node(root_name);
    root->add_child("Civ4Dir")->set_child_text(v.civ4_dir);
    root->add_child("ModsDir")->set_child_text(v.mods_dir);
    root->add_child("CustomAssetsDir")->set_child_text(v.custom_assets_dir);
    // Written only when set: a file without them reads as it did before they existed.
    if (!v.base_mod.empty())
        root->add_child("BaseMod")->set_child_text(v.base_mod);
    if (!v.mod_target.empty())
        root->add_child("ModTarget")->set_child_text(v.mod_target);
    if (v.restore_points != 3)
        root->add_child("RestorePoints")->set_child_text(std::to_string(v.restore_points));
    if (v.game_ini_mod)
        root->add_child("GameIniMod")->set_child_text("yes");
    if (v.empty_game_cache)
        root->add_child("EmptyGameCache")->set_child_text("yes");
    if (!v.preview_before_apply)
        root->add_child("PreviewBeforeApply")->set_child_text("no");
    // The first profile where settings from before profiles kept the enabled
    // mods: such a file, and a Velmora that knows no profiles, read it as
    // they always did.
    const ProfileValues& first = v.profiles.front();
    if (first.ask_fields_only)
        root->add_child("AskFieldsOnly")->set_child_text("yes");
    for (const std::string& name : first.enabled)
        root->add_child("EnabledMod")->set_child_text(name);
    if (first.name != default_profile_name)
        root->add_child("ProfileName")->set_child_text(first.name);
    if (!first.answers.empty())
        root->add_child("ProfileAnswers")->set_child_text(first.answers);
    if (v.current != first.name)
        root->add_child("CurrentProfile")->set_child_text(v.current);
    for (std::size_t i = 1; i < v.profiles.size(); ++i) {
        const ProfileValues& p = v.profiles[i];
        xmlpp::Element* e = root->add_child("Profile");
        e->add_child("Name")->set_child_text(p.name);
        if (!p.answers.empty())
            e->add_child("Answers")->set_child_text(p.answers);
        if (p.ask_fields_only)
            e->add_child("AskFieldsOnly")->set_child_text("yes");
        for (const std::string& name : p.enabled)
            e->add_child("EnabledMod")->set_child_text(name);
        for (const auto& [name, text] : p.other)
            e->add_child(name)->set_child_text(text);
    }

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
