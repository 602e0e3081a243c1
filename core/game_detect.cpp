#include "core/game_detect.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

// How deep below a place the search goes for an install's folder: GOG and
// retail installers nest it ("Program Files/2K Games/Firaxis Games/...").
constexpr int search_depth = 4;

struct Edition {
    const char* program;
    const char* name;
    const char* my_games; // its folder in the user's "My Games"
};

// Best first: Steam and GOG put the three side by side in one install.
const Edition editions[] = {
    {"Civ4BeyondSword.exe", "Beyond the Sword", "Beyond the Sword"},
    {"Civ4Warlords.exe", "Warlords", "Warlords"},
    {"Civilization4.exe", "Civilization IV", "Sid Meier's Civilization 4"},
};

bool is_dir(const Path& p)
{
    bool folder = false;
    return platform::stat(p.str(), &folder) == 0 && folder;
}

// The entry of dir named name in any letter case (Wine folders are made by
// installers written for Windows); an empty Path when there is none.
Path child_any_case(const Path& dir, const std::string& name)
{
    for (const std::string& n : list_files(dir))
        if (platform::stricmp(n.c_str(), name.c_str()) == 0)
            return child_path(dir, n);
    return Path();
}

// The edition whose game folder dir is, or nullptr.
const Edition* edition_of(const Path& dir)
{
    const Path assets = child_any_case(dir, "Assets");
    if (assets.empty() || !is_dir(assets) || !is_dir(child_any_case(assets, "XML")))
        return nullptr;
    for (const Edition& e : editions) {
        const Path program = child_any_case(dir, e.program);
        bool folder = true;
        if (!program.empty() && platform::stat(program.str(), &folder) == 0 && !folder)
            return &e;
    }
    return nullptr;
}

// The prefix a path lies in: the folder above its "drive_c".
Path prefix_of(const Path& p)
{
    for (unsigned i = p.size(); i-- > 0;)
        if (platform::stricmp(p[static_cast<int>(i)].c_str(), "drive_c") == 0)
            return p.subpath(0, i);
    return Path();
}

// The user's documents in a Wine prefix: the user whose documents already
// hold "My Games", else Proton's "steamuser", else the first real user; in a
// prefix not made yet, Proton's "steamuser" or Wine's user named like the
// Linux user.
Path documents_of(const Path& prefix, const Path& home)
{
    const Path users = child_any_case(prefix / Path("drive_c"), "users");
    Path chosen;
    for (const std::string& user : users.empty() ? std::list<std::string>() : list_files(users)) {
        if (platform::stricmp(user.c_str(), "Public") == 0 || !is_dir(child_path(users, user)))
            continue;
        for (const char* docs : {"Documents", "My Documents"}) {
            const Path d = child_any_case(child_path(users, user), docs);
            if (!d.empty() && !child_any_case(d, "My Games").empty())
                return d;
        }
        if (chosen.empty() || user == "steamuser")
            chosen = child_path(users, user);
    }
    if (chosen.empty()) {
        bool proton = home.empty();
        for (const std::string& name : prefix)
            proton = proton || name == "compatdata";
        chosen = prefix / Path("drive_c/users") / Path(proton ? std::string("steamuser") : home[-1]);
    }
    for (const char* docs : {"Documents", "My Documents"}) {
        const Path d = child_any_case(chosen, docs);
        if (!d.empty())
            return d;
    }
    return chosen / Path("Documents");
}

Path custom_assets_in(const Path& prefix, const Path& home, const Edition& edition)
{
    Path my_games = documents_of(prefix, home);
    const Path found = child_any_case(my_games, "My Games");
    my_games = found.empty() ? my_games / Path("My Games") : found;
    const Path folder = child_any_case(my_games, edition.my_games);
    const Path game = folder.empty() ? child_path(my_games, edition.my_games) : folder;
    const Path custom = child_any_case(game, "CustomAssets");
    return custom.empty() ? game / Path("CustomAssets") : custom;
}

class Finder {
public:
    Finder(const Path& home)
        : home(home)
    { }

    // Installs at or below dir; prefix: the Wine prefix they run in, when known.
    void search(const Path& dir, int depth, const Path& prefix, const std::string& found_in);
    void search_prefix(const Path& prefix, const std::string& found_in);
    void search_steam(const Path& root);

    std::vector<GameInstall> installs;

private:
    void add(const Path& civ4_dir, const Edition& edition, const Path& prefix, const std::string& found_in);

    Path home;
    std::set<std::string> seen_installs;
    std::set<std::string> seen_places;
};

void Finder::add(const Path& civ4_dir, const Edition& edition, const Path& prefix, const std::string& found_in)
{
    const std::string real = platform::real_path(civ4_dir.str());
    if (!seen_installs.insert(real.empty() ? civ4_dir.str() : real).second)
        return;
    Path in_prefix = prefix.empty() ? prefix_of(civ4_dir) : prefix;
    GameInstall install{civ4_dir, Path(), edition.name, found_in, find_installed_mods(civ4_dir)};
    if (!in_prefix.empty())
        install.custom_assets_dir = custom_assets_in(in_prefix, home, edition);
    installs.push_back(install);
}

// The folders of dir, links left out: Wine links "dosdevices" to the whole disk.
std::list<Path> subfolders(const Path& dir)
{
    std::list<Path> folders;
    for (const std::string& name : list_files(dir)) {
        const Path child = child_path(dir, name);
        if (platform::kind_of(child.str()) == platform::Kind::Folder)
            folders.push_back(child);
    }
    return folders;
}

// The best game folder of an install whose own folder is dir: Steam and GOG
// put the original game in it and the expansions in its subfolders.
const Edition* best_in(const Path& dir, Path& best_dir)
{
    const Edition* best = edition_of(dir);
    best_dir = dir;
    for (const Path& child : subfolders(dir)) {
        const Edition* e = edition_of(child);
        if (e && (!best || e < best)) {
            best = e;
            best_dir = child;
        }
    }
    return best;
}

void Finder::search(const Path& dir, int depth, const Path& prefix, const std::string& found_in)
{
    Path best_dir;
    if (const Edition* best = edition_of(dir) ? best_in(dir, best_dir) : nullptr) {
        add(best_dir, *best, prefix, found_in);
        return;
    }
    // Game folders side by side without the original above them are still one install.
    const Edition* best = nullptr;
    const std::list<Path> folders = subfolders(dir);
    for (const Path& child : folders) {
        Path child_best;
        const Edition* e = edition_of(child) ? best_in(child, child_best) : nullptr;
        if (e && (!best || e < best)) {
            best = e;
            best_dir = child_best;
        }
    }
    if (best) {
        add(best_dir, *best, prefix, found_in);
        return;
    }
    if (depth > 0)
        for (const Path& child : folders)
            search(child, depth - 1, prefix, found_in);
}

void Finder::search_prefix(const Path& prefix, const std::string& found_in)
{
    const Path drive = child_any_case(prefix, "drive_c");
    if (drive.empty() || !is_dir(drive))
        return;
    const std::string real = platform::real_path(prefix.str());
    if (!seen_places.insert(real.empty() ? prefix.str() : real).second)
        return;
    for (const char* place : {"Program Files", "Program Files (x86)", "GOG Games", "Games"}) {
        const Path p = child_any_case(drive, place);
        if (!p.empty())
            search(p, search_depth, prefix, found_in);
    }
}

// The quoted strings of a Valve key-value file, in order; braces as "{" and "}".
std::vector<std::string> vdf_tokens(const std::string& text)
{
    std::vector<std::string> tokens;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' || text[i] == '}') {
            tokens.emplace_back(1, text[i]);
        } else if (text[i] == '"') {
            std::string token;
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size())
                    ++i;
                token += text[i];
            }
            tokens.push_back("\"" + token);
        }
    }
    return tokens;
}

// The values of the keys a Valve file holds: key -> values, in order.
std::multimap<std::string, std::string> vdf_values(const Path& file)
{
    std::multimap<std::string, std::string> values;
    std::string text;
    read_whole_file(file, text); // a file that cannot be read holds no keys
    const std::vector<std::string> tokens = vdf_tokens(text);
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i)
        if (tokens[i][0] == '"' && tokens[i + 1][0] == '"') {
            values.emplace(tokens[i].substr(1), tokens[i + 1].substr(1));
            ++i;
        }
    return values;
}

// The libraries a Steam folder lists: "path" values, or in the older form,
// values under numbered keys.
std::vector<Path> steam_libraries(const Path& steamapps)
{
    std::vector<Path> libraries;
    for (const auto& [key, value] : vdf_values(steamapps / Path("libraryfolders.vdf"))) {
        const bool numbered = !key.empty() && key.find_first_not_of("0123456789") == std::string::npos;
        if ((key == "path" || numbered) && !value.empty() && (value[0] == '/' || value[0] == '\\'))
            libraries.emplace_back(value);
    }
    return libraries;
}

// The app id of each installed game's folder, from the library's manifests.
std::map<std::string, std::string> steam_app_ids(const Path& steamapps)
{
    std::map<std::string, std::string> ids;
    for (const std::string& name : list_files(steamapps)) {
        if (name.rfind("appmanifest_", 0) != 0)
            continue;
        const auto values = vdf_values(child_path(steamapps, name));
        const auto id = values.find("appid");
        const auto dir = values.find("installdir");
        if (id != values.end() && dir != values.end())
            ids[dir->second] = id->second;
    }
    return ids;
}

void Finder::search_steam(const Path& root)
{
    const Path steamapps = child_any_case(root, "steamapps");
    if (steamapps.empty())
        return;
    std::vector<Path> libraries{root};
    for (const Path& library : steam_libraries(steamapps))
        libraries.push_back(library);
    for (const Path& library : libraries) {
        const std::string real = platform::real_path(library.str());
        if (real.empty() || !seen_places.insert("steam:" + real).second)
            continue;
        const Path apps = child_any_case(library, "steamapps");
        if (apps.empty())
            continue;
        const std::map<std::string, std::string> ids = steam_app_ids(apps);
        const Path common = child_any_case(apps, "common");
        for (const std::string& game : common.empty() ? std::list<std::string>() : list_files(common)) {
            const auto id = ids.find(game);
            Path prefix;
            if (id != ids.end())
                prefix = apps / Path("compatdata") / Path(id->second) / Path("pfx");
            search(child_path(common, game), 1, prefix, "Steam");
        }
        // Other games run through Proton (a GOG install added to Steam).
        const Path compat = child_any_case(apps, "compatdata");
        for (const std::string& id : compat.empty() ? std::list<std::string>() : list_files(compat))
            search_prefix(child_path(compat, id) / Path("pfx"), "Proton prefix");
    }
}

} // namespace

std::vector<GameInstall> detect_game_installs(const Path& home, const std::string& wine_prefix)
{
    Finder finder(home);
    // The real folder first: ~/.steam/steam and ~/.steam/root usually link to it.
    for (const char* steam : {".local/share/Steam", ".steam/steam", ".steam/root", ".steam/debian-installation",
             ".var/app/com.valvesoftware.Steam/.local/share/Steam", "snap/steam/common/.local/share/Steam"})
        finder.search_steam(home / Path(steam));
    finder.search_prefix(home / Path(".wine"), "Wine prefix");
    if (!wine_prefix.empty())
        finder.search_prefix(Path(wine_prefix), "Wine prefix");
    // Lutris makes a prefix per game under ~/Games; Heroic keeps its prefixes
    // in ~/Games/Heroic/Prefixes and installs GOG games beside them.
    const Path games = home / Path("Games");
    for (const std::string& name : list_files(games))
        finder.search_prefix(child_path(games, name), "Lutris prefix");
    const Path heroic = games / Path("Heroic");
    for (const Path& prefixes : {heroic / Path("Prefixes"), heroic / Path("Prefixes/default")})
        for (const std::string& name : list_files(prefixes))
            finder.search_prefix(child_path(prefixes, name), "Heroic prefix");
    for (const std::string& name : list_files(heroic)) {
        if (platform::stricmp(name.c_str(), "Prefixes") == 0)
            continue;
        Path prefix;
        for (const Path& prefixes : {heroic / Path("Prefixes/default"), heroic / Path("Prefixes")})
            if (prefix.empty() && is_dir(prefixes / Path(name) / Path("drive_c")))
                prefix = prefixes / Path(name);
        finder.search(child_path(heroic, name), 1, prefix, "Heroic");
    }
    return finder.installs;
}

void use_game_install(Orrindel& core, const GameInstall& install)
{
    if (!install.custom_assets_dir.empty() && !exists(install.custom_assets_dir)
        && mkpath(install.custom_assets_dir, 0755) != 0) {
        const std::string name = platform::native(install.custom_assets_dir);
        const std::string reason = std::strerror(errno);
        throw GenericError(format("Cannot create the custom assets folder \"%S\": %S.", &name, &reason));
    }
    core.set_civ4_dir(install.civ4_dir);
    if (!install.custom_assets_dir.empty())
        core.set_custom_assets_dir(install.custom_assets_dir);
    core.save_config();
}

} // namespace velmora
