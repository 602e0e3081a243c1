// The core's profiles: named sets of enabled mods, each with its remembered
// answers and its same-field preference, over common folders.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "mod/mod.h"
#include "mod/xml_text.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

// Profile names are shown in menus and written into "conf".
std::string profile_name_problem(const std::string& name)
{
    if (name.empty())
        return "a profile needs a name";
    if (name.size() > 100)
        return "a profile's name has at most 100 characters";
    if (!is_xml_text(name)
        || std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return "a profile's name cannot hold control characters";
    if (name.front() == ' ' || name.back() == ' ')
        return "a profile's name cannot begin or end with a space";
    return "";
}

} // namespace

ProfileValues Orrindel::profile_values() const
{
    ProfileValues v;
    v.name = profile;
    v.ask_fields_only = ask_fields_only;
    v.answers = answers_name;
    // Each enabled mod by its name, or by its file where the name repeats;
    // names the folder cannot place yet are kept as they were read.
    for (const Mod* mod : get_enabled_mods_in_order())
        v.enabled.push_back(key_of(mod));
    for (const std::set<std::string>* kept : {&missing_mods, &ambiguous_mods})
        for (const std::string& name : *kept)
            if (std::find(v.enabled.begin(), v.enabled.end(), name) == v.enabled.end())
                v.enabled.push_back(name);
    if (const ProfileValues* stored = config.find_profile(profile))
        v.other = stored->other;
    return v;
}

// A file name for a new profile's answers that no other profile uses, so that
// two Velmoras making profiles at once never share one.
std::string Orrindel::new_answers_file() const
{
    std::random_device random;
    for (;;) {
        char text[32];
        std::snprintf(text, sizeof text, "answers-%08x", static_cast<unsigned>(random()));
        const std::string name = text;
        const std::vector<ProfileValues>& profiles = config.get_profiles();
        const bool used = name == profile_values().answers_file()
            || std::any_of(profiles.begin(), profiles.end(), [&](const ProfileValues& p) { return p.answers_file() == name; });
        if (!used && !exists(settings_dir / Path(name)))
            return name;
    }
}

ProfileValues Orrindel::get_profile_values(const std::string& name) const
{
    require_profile(name);
    return name == profile ? profile_values() : *config.find_profile(name);
}

std::vector<std::string> Orrindel::get_profiles() const
{
    std::vector<std::string> names;
    for (const ProfileValues& p : config.get_profiles())
        names.push_back(p.name);
    if (std::find(names.begin(), names.end(), profile) == names.end())
        names.push_back(profile);
    return names;
}

bool Orrindel::has_profile(const std::string& name) const
{
    return name == profile || config.find_profile(name) != nullptr;
}

void Orrindel::require_profile(const std::string& name) const
{
    if (!has_profile(name))
        throw GenericError(format("There is no profile named '%S'.", &name));
}

void Orrindel::require_new_profile_name(const std::string& name) const
{
    const std::string problem = profile_name_problem(name);
    if (!problem.empty())
        throw GenericError(format("Cannot name a profile '%S': %S.", &name, &problem));
    if (has_profile(name))
        throw GenericError(format("A profile named '%S' already exists.", &name));
}

void Orrindel::use_profile(const std::string& name)
{
    require_profile(name);
    if (name == profile)
        return;
    const ProfileValues target = *config.find_profile(name);
    // What changed in the profile left is kept for the next save.
    config.store_profile(profile_values());
    profile = target.name;
    ask_fields_only = target.ask_fields_only;
    answers_name = target.answers;
    load_answers();
    std::vector<EnabledEntry> entries;
    for (const std::string& key : target.enabled)
        entries.push_back({std::string(), key});
    enabled_mods.clear();
    missing_mods.clear();
    ambiguous_mods.clear();
    enable_entries(entries);
    enabled_mods_changed.emit();
    prefs_changed.emit();
    profiles_changed.emit();
}

void Orrindel::switch_profile(const std::string& name)
{
    use_profile(name);
    current_profile = name;
}

void Orrindel::new_profile(const std::string& name, bool copy)
{
    require_new_profile_name(name);
    ProfileValues p;
    if (copy)
        p = profile_values();
    p.name = name;
    p.answers = new_answers_file();
    if (copy && exists(remembered.get_file())) {
        const Path to = settings_dir / Path(p.answers);
        if (platform::copy_file(remembered.get_file().str(), to.str()) != 0) {
            std::string why = std::strerror(errno);
            throw GenericError(format("Cannot copy the remembered answers to %S: %S", &to, &why));
        }
    }
    config.store_profile(profile_values());
    config.store_profile(p);
    profiles_changed.emit();
}

void Orrindel::rename_profile(const std::string& from, const std::string& to)
{
    require_profile(from);
    require_new_profile_name(to);
    if (!config.find_profile(from))
        config.store_profile(profile_values());
    config.rename_profile(from, to);
    if (profile == from)
        profile = to;
    if (current_profile == from)
        current_profile = to;
    profiles_changed.emit();
}

void Orrindel::delete_profile(const std::string& name)
{
    require_profile(name);
    if (name == current_profile || name == profile)
        throw GenericError(
            format("The profile '%S' is the current one; switch to another profile before deleting it.", &name));
    const Path answers = settings_dir / Path(config.find_profile(name)->answers_file());
    config.remove_profile(name);
    platform::unlink(answers.str());
    profiles_changed.emit();
}

} // namespace velmora
