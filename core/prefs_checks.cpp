#include "core/prefs_checks.h"

#include "core/custom_assets.h"
#include "path/platform.h"

namespace velmora {

CustomAssetsVerdict judge_custom_assets_dir(const Path& custom_assets, const Path& civ4_dir)
{
    if (!civ4_dir.empty()) {
        const Path game_assets = civ4_dir / Path("Assets");
        // The name alone would miss a link to the game's folder, or a path
        // through one.
        if (custom_assets == game_assets || real_location(custom_assets) == real_location(game_assets))
            return CustomAssetsVerdict::GameAssets;
    }
    const std::string last = custom_assets.empty() ? std::string() : custom_assets[-1];
    // The game's own folder is "Assets" in any letter case; the custom one is
    // spelt the way the game names it.
    if (platform::stricmp(last.c_str(), "Assets") == 0 || last == "CustomAssets")
        return CustomAssetsVerdict::Accepted;
    return CustomAssetsVerdict::UnusualName;
}

} // namespace velmora
