#ifndef VELMORA_CORE_CONFIG_H
#define VELMORA_CORE_CONFIG_H

#include <functional>
#include <list>
#include <string>
#include <utility>
#include <vector>

#include "path/path.h"

namespace xmlpp {
class Document;
}

namespace velmora {

// Writes doc to file through a temporary file beside it, flushed to the disk
// and renamed over file, so that a failure or a crash leaves the old file
// whole. Returns why it failed, or "" when it did not.
std::string write_document_atomically(xmlpp::Document& doc, const Path& file);

// The name of the profile that settings from before profiles become.
extern const char* const default_profile_name;

// One profile: a name with its own enabled mods (as "conf" names them), its
// remembered answers and its same-field preference. The folders are common to
// all profiles.
struct ProfileValues {
    std::string name;
    bool ask_fields_only = false;
    std::vector<std::string> enabled;
    // The file of its remembered answers in the settings folder; "" is "answers".
    std::string answers;
    // Settings of the profile that this Velmora does not know (a later one
    // wrote them), kept as they were read: element name and text.
    std::vector<std::pair<std::string, std::string>> other;

    // The answers file's name, "answers" when none is set.
    std::string answers_file() const { return answers.empty() ? std::string("answers") : answers; }
    // Equal values: the same preference, answers file and set of enabled names.
    bool same_as(const ProfileValues& other) const;
};

// The settings that "conf" holds, as text: the folders in their stored form,
// the profiles in the order they are written and the current one's name.
struct ConfigValues {
    std::string civ4_dir;
    std::string mods_dir;
    std::string custom_assets_dir;
    std::string base_mod;
    std::string mod_target;
    // How many earlier builds each apply keeps as restore points.
    unsigned restore_points = 3;
    // After an apply into a mod target, the game's CivilizationIV.ini names it.
    bool game_ini_mod = false;
    // After an apply that changed files, the game's cache folder is emptied.
    bool empty_game_cache = false;
    // Whether the windows show what an apply will change before it runs.
    bool preview_before_apply = true;
    // Never empty once read; the first one is written at the top of the file,
    // where settings from before profiles kept the enabled mods.
    std::vector<ProfileValues> profiles;
    std::string current;

    const ProfileValues* find(const std::string& name) const;
    ProfileValues* find(const std::string& name);
    // Equal settings: the same folders, current profile and profiles.
    bool same_as(const ConfigValues& other) const;
};

// The folder elements of "conf" as read, in file order: element name
// ("Civ4Dir", "ModsDir", "CustomAssetsDir") and text. A folder the file does
// not name keeps the core's default.
using ConfigFolders = std::vector<std::pair<std::string, std::string>>;

// Reads and writes the user's settings file "conf": the folders and
// preferences of the core and the profiles (each with its enabled mods, the
// file of its remembered answers and whether to ask only when two mods change
// the same field). It holds plain values and knows nothing of the core: the
// core applies what load() read, and hands its settings to save() (`held`:
// its folders, preferences and current profile's name; `in_use`: the profile
// in use, as it is now). The other profiles are kept here.
class Config {
public:
    // The defaults, with one profile, until load() reads a file.
    Config();

    // Sets the file to default_file if not yet set, then reads it when it
    // exists: true when it did (get_values and get_folders give what it
    // holds). Throws XmlError naming the file when it cannot be parsed;
    // nothing read is kept then.
    bool load(const Path& default_file);
    // Writes the file through a temporary file renamed into place, so a failed
    // write leaves the old file whole. Another Velmora may have changed the
    // file since it was read: under a lock on the file, it is read again and
    // only what changed here since the last load or save replaces its values,
    // profile by profile, so neither program loses the other's changes. Does
    // nothing before load() chose the file, or after an unreadable file could
    // not be set aside. Throws GenericError naming the file when it cannot be
    // written.
    void save(const ConfigValues& held, const ProfileValues& in_use);
    // save() when a setting changed since the last load or save; reading the
    // settings never writes them.
    void save_if_changed(const ConfigValues& held, const ProfileValues& in_use);
    // The settings as they are now are the ones the file holds (called once
    // start-up has turned the file's values into the core's).
    void mark_saved(const ConfigValues& held, const ProfileValues& in_use);

    // What the last load() read: the settings, with the profiles as last read,
    // saved or stored, and the folder elements in file order.
    const ConfigValues& get_values() const { return values; }
    const ConfigFolders& get_folders() const { return folders; }

    // Moves the file that load() could not parse to "conf.bad" so the next
    // save does not destroy it. Returns the new name, or an empty Path when the
    // file could not be moved; save() then leaves the file alone.
    Path keep_bad_file();

    const Path& get_file() const { return file; }
    // The current profile as load() read it ("Default", empty, without a file).
    const ProfileValues& get_current_profile() const;
    // The enabled-mod names of the current profile that load() read, in file order.
    std::list<std::string> get_enabled_mod_names() const;

    // The profiles as last read, saved or stored; the one in use may be older
    // than the core's values.
    const std::vector<ProfileValues>& get_profiles() const { return values.profiles; }
    const ProfileValues* find_profile(const std::string& name) const { return values.find(name); }
    // Replaces the profile of that name, or adds it at the end.
    void store_profile(const ProfileValues& profile);
    void rename_profile(const std::string& from, const std::string& to);
    void remove_profile(const std::string& name);
    // A mod's name in the enabled mods of every profile changes from one to the other.
    void rename_mod_key(const std::string& from, const std::string& to);

private:
    ConfigValues current(const ConfigValues& held, const ProfileValues& in_use) const;
    ConfigValues merged_with_file(const ConfigValues& now) const;
    void write(const ConfigValues& values);

    ConfigFolders folders;
    // What the file held at the last load or save, with this program's
    // changes to the profiles not in use.
    ConfigValues values;
    // What this program held at the last load or save: the base of the merge.
    ConfigValues saved;
    Path file;
    bool writable = true;
};

} // namespace velmora

#endif
