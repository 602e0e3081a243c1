#include "mod/game_files.h"

#include <utility>

#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

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
    for (const Path& folder : folders_) {
        Path candidate = fix_case_below(folder, rel);
        if (exists(candidate))
            return candidate;
    }
    return folders_.empty() ? Path() : fix_case_below(folders_.front(), rel);
}

} // namespace velmora
