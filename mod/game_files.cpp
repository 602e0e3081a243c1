#include "mod/game_files.h"

#include <algorithm>
#include <utility>

#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

// The folding of platform::stricmp: ASCII letters only, as the game's file
// system compares names.
std::string folded(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    return s;
}

} // namespace

GameFiles::GameFiles(std::vector<Path> assets_folders)
    : folders_(std::move(assets_folders))
{
    // Spelled as on disk once, so that each file is looked up below them alone.
    for (Path& folder : folders_)
        folder = fix_case(folder);
}

GameFiles GameFiles::of_game(const Path& civ4_dir)
{
    Path own = fix_case(civ4_dir / Path("Assets"));
    std::vector<Path> folders{own};
    if (civ4_dir.size() > 1) {
        Path parent = civ4_dir.subpath(0, civ4_dir.size() - 1);
        for (const Path& candidate : {parent / Path("Warlords") / Path("Assets"), parent / Path("Assets")}) {
            Path found = fix_case(candidate);
            bool is_folder = false;
            if (platform::stat(found.str(), &is_folder) != 0 || !is_folder)
                continue;
            // The game folder may itself be Warlords' or the original game's.
            std::string real = platform::real_path(found.str());
            bool known = false;
            for (const Path& f : folders)
                known = known || (!real.empty() && platform::real_path(f.str()) == real);
            if (!known)
                folders.push_back(found);
        }
    }
    return GameFiles(std::move(folders));
}

GameFiles GameFiles::of_game(const Path& civ4_dir, const Path& base_mod)
{
    GameFiles game = of_game(civ4_dir);
    if (!base_mod.empty())
        game.folders_.insert(game.folders_.begin(), fix_case(base_mod / Path("Assets")));
    return game;
}

Path GameFiles::find(const Path& rel) const
{
    Path first;
    for (const Path& folder : folders_) {
        bool found = false;
        Path candidate = spelled_below(folder, rel, found);
        if (found && exists(candidate))
            return candidate;
        if (first.empty())
            first = candidate;
    }
    return first;
}

Path GameFiles::spelled_below(const Path& folder, const Path& rel, bool& found) const
{
    Path result = folder;
    found = true;
    for (auto it = rel.begin(); it != rel.end(); ++it) {
        const std::string component = *it;
        if (found) {
            auto names = names_.find(result.str());
            if (names == names_.end()) {
                std::vector<std::string> listed;
                platform::read_dir(result.str(), listed);
                std::sort(listed.begin(), listed.end());
                names = names_.emplace(result.str(), std::map<std::string, std::string>()).first;
                for (const std::string& name : listed)
                    if (name != "." && name != "..")
                        names->second.emplace(folded(name), name); // the first in byte order stays
            }
            auto name = names->second.find(folded(component));
            found = name != names->second.end();
            result = child_path(result, found ? name->second : component);
        } else {
            result = child_path(result, component);
        }
    }
    return result;
}

} // namespace velmora
