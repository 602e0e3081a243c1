#include "core/mod_target.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

#include "base/errors.h"
#include "base/format.h"
#include "core/custom_assets.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool ends_with(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The names of folder's entries by their lower case: the game finds files
// whatever their letter case, so a built file replaces the base mod's copy
// however either spells it.
std::map<std::string, std::string> names_by_case(const Path& folder)
{
    std::map<std::string, std::string> names;
    for (const std::string& name : list_files(folder))
        names.emplace(lower(name), name);
    return names;
}

// Windows refuses these in a file name; the game runs there (or under Wine).
bool plain_folder_name(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.size() > 200)
        return false;
    for (unsigned char c : name)
        if (c < 32 || std::strchr("/\\:*?\"<>|", c))
            return false;
    // Windows drops a trailing dot or space: the name would not be the folder's.
    return name.back() != '.' && name.back() != ' ';
}

bool has_assets(const Path& dir)
{
    for (const std::string& name : list_files(dir))
        if (platform::stricmp(name.c_str(), "Assets") == 0 && is_folder(child_path(dir, name)))
            return true;
    return false;
}

std::string last_error() { return std::strerror(errno); }

void make_folder(const Path& dir)
{
    if (platform::mkdir(dir.str()) != 0 && errno != EEXIST) {
        std::string why = last_error();
        throw GenericError(format("Cannot create the folder %S: %S", &dir, &why));
    }
}

// A second name for the base mod's file, never a write to it: the built
// folder is replaced whole by the next apply, the base mod is left as it is.
void link_or_copy(const Path& from, const Path& to)
{
    const platform::Kind kind = platform::kind_of(from.str());
    if (kind == platform::Kind::Other)
        return; // a pipe or socket holds no data; opening one could block
    if (kind == platform::Kind::File && platform::hard_link(from.str(), to.str()) == 0)
        return;
    if (platform::copy_file(from.str(), to.str()) != 0) {
        std::string why = last_error();
        throw GenericError(format("Cannot copy %S from the base mod to %S: %S", &from, &to, &why));
    }
}

// Each entry of from that to lacks, folders merged into the ones to has.
void add_tree(const Path& from, const Path& to, const std::string& skip)
{
    const std::map<std::string, std::string> have = names_by_case(to);
    for (const std::string& name : list_files(from)) {
        if (!skip.empty() && lower(name) == skip)
            continue;
        const Path src = child_path(from, name);
        const auto found = have.find(lower(name));
        const Path dst = child_path(to, found == have.end() ? name : found->second);
        if (platform::kind_of(src.str()) == platform::Kind::Folder) {
            if (found == have.end())
                make_folder(dst);
            if (platform::kind_of(dst.str()) == platform::Kind::Folder)
                add_tree(src, dst, std::string());
            continue;
        }
        if (found == have.end())
            link_or_copy(src, dst);
    }
}

// The base mod's own INI: the one named after its folder, else the only INI
// beside its "Assets".
std::string base_ini(const Path& base_mod)
{
    std::vector<std::string> inis;
    const std::string own = lower(base_mod[-1] + ".ini");
    for (const std::string& name : list_files(base_mod)) {
        if (lower(name) == own && platform::kind_of(child_path(base_mod, name).str()) == platform::Kind::File)
            return name;
        if (ends_with(lower(name), ".ini") && platform::kind_of(child_path(base_mod, name).str()) == platform::Kind::File)
            inis.push_back(name);
    }
    return inis.size() == 1 ? inis.front() : std::string();
}

void write_minimal_ini(const Path& file, const std::string& name)
{
    std::ofstream out(platform::native(file), std::ios::binary | std::ios::trunc);
    // CRLF, as the game's own INI files are written.
    out << "[CONFIG]\r\n\r\n"
        << "; Built by Velmora from the enabled mods on top of the game's own files.\r\n"
        << "; The custom assets folder would mix another build's files into this one.\r\n"
        << "NoCustomAssets = 1\r\n\r\n"
        << "Name = " << name << "\r\n"
        << "Description = Built by Velmora\r\n";
    out.close();
    if (!out) {
        std::string why = last_error();
        throw GenericError(format("Cannot write the mod's settings file %S: %S", &file, &why));
    }
}

// p relative to civ4_dir ("Mods/AdvCiv") when it is below it, else p in full.
std::string shown_below(const Path& p, const Path& civ4_dir)
{
    const Path real = real_location(p), game = real_location(civ4_dir);
    if (!civ4_dir.empty() && real.size() > game.size() && real.subpath(0, game.size()) == game) {
        std::string out;
        for (unsigned i = game.size(); i < real.size(); ++i)
            out += (out.empty() ? "" : "/") + real[static_cast<int>(i)];
        return out;
    }
    return platform::native(p);
}

} // namespace

Path mod_target_folder(const Path& civ4_dir, const std::string& name)
{
    return child_path(fix_case(civ4_dir / Path("Mods")), name);
}

std::string judge_mod_target(const std::string& name, const Path& civ4_dir, const Path& base_mod)
{
    if (name.empty())
        return "The mod target has no name. Give the name of the mod folder to build in the game's Mods folder.";
    if (!plain_folder_name(name))
        return format("The mod target \"%S\" is not a plain folder name: give a name without \"/\", \"\\\", "
                      "\":\" or other characters Windows refuses, that is not \".\" or \"..\".",
            &name);
    if (!civ4_dir.empty() && !base_mod.empty()) {
        const Path target = real_location(fix_case(mod_target_folder(civ4_dir, name)));
        if (target == real_location(fix_case(base_mod)))
            return format("The mod target \"%S\" is the base mod's own folder %S: apply would replace the base "
                          "mod. Choose another name.",
                &name, &base_mod);
    }
    return std::string();
}

Path checked_mod_target(const std::string& name, const Path& civ4_dir, const Path& base_mod)
{
    const std::string problem = judge_mod_target(name, civ4_dir, base_mod);
    if (!problem.empty())
        throw GenericError(problem);
    if (civ4_dir.empty())
        throw GenericError("The game folder is not set. Choose it in the preferences before building a mod in its "
                           "Mods folder.");
    return real_location(mod_target_folder(civ4_dir, name));
}

std::string judge_base_mod(const Path& dir)
{
    if (!is_folder(dir))
        return format("The base mod folder %S does not exist.", &dir);
    if (!has_assets(dir))
        return format("The base mod folder %S has no \"Assets\" folder: choose the mod's own folder, the one "
                      "holding \"Assets\" (usually in the game's Mods folder).",
            &dir);
    return std::string();
}

std::vector<FoundMod> find_installed_mods(const Path& civ4_dir)
{
    std::vector<FoundMod> found;
    if (civ4_dir.empty())
        return found;
    const Path mods = fix_case(civ4_dir / Path("Mods"));
    for (const std::string& name : list_files(mods)) {
        const Path folder = child_path(mods, name);
        // Hidden names are Velmora's builds in progress; backups carry ".velmora-backup-".
        if (name[0] == '.' || name.find(".velmora-backup-") != std::string::npos || !is_folder(folder)
            || !has_assets(folder))
            continue;
        found.push_back({name, folder});
    }
    return found;
}

void add_base_mod(const Path& folder, const Path& base_mod, const std::string& name)
{
    const std::string ini = base_mod.empty() ? std::string() : base_ini(base_mod);
    const Path own_ini = child_path(folder, name + ".ini");
    if (!ini.empty())
        link_or_copy(child_path(base_mod, ini), own_ini);
    else
        write_minimal_ini(own_ini, name);
    if (!base_mod.empty())
        add_tree(base_mod, folder, lower(ini));
}

std::string describe_target(const Path& civ4_dir, const Path& base_mod, const std::string& mod_target)
{
    const std::string target
        = mod_target.empty() ? std::string("the custom assets folder") : "Mods/" + mod_target;
    const std::string base = base_mod.empty() ? std::string("the game's files") : shown_below(base_mod, civ4_dir);
    return "Building " + target + " on top of " + base;
}

std::string how_to_start(const std::string& name)
{
    return "Start it in the game with Advanced > Load a Mod > " + name + ", or with the launch option mod=\"Mods\\"
        + name + "\" (in a shortcut, or in Steam's launch options after %command%).";
}

} // namespace velmora
