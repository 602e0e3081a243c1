#include "core/prefs_checks.h"

#include <cstdlib>
#include <vector>

#include "base/errors.h"
#include "base/format.h"
#include "core/custom_assets.h"
#include "core/orrindel.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

// A folder that applying must never delete, and the words that name it in a
// message ("game folder").
struct KeptFolder {
    std::string what;
    Path path;
};

// The user's own home folder, also when the core was given another one.
Path environment_home()
{
    const char* home = std::getenv("HOME");
    return home && *home ? Path(home) : Path();
}

std::vector<KeptFolder> kept_folders(const FolderSettings& f)
{
    return {{"game folder", f.civ4_dir},
        {"game's Assets folder", f.civ4_dir.empty() ? Path() : f.civ4_dir / Path("Assets")},
        {"mods folder", f.mods_dir}, {"settings folder", f.settings_dir}, {"home folder", f.home},
        {"home folder", environment_home()}};
}

bool is_within(const Path& inner, const Path& outer)
{
    return inner.size() >= outer.size() && inner.subpath(0, outer.size()) == outer;
}

bool is_game_assets(const Path& custom_assets, const Path& civ4_dir)
{
    if (civ4_dir.empty())
        return false;
    const Path game_assets = civ4_dir / Path("Assets");
    // The name alone would miss a link to the game's folder, or a path
    // through one.
    return custom_assets == game_assets || real_location(custom_assets) == real_location(game_assets);
}

// The kept folder the custom-assets folder is, else the first one it contains.
const KeptFolder* kept_folder_hit(const Path& real, const std::vector<KeptFolder>& kept)
{
    const KeptFolder* hit = nullptr;
    for (const KeptFolder& k : kept) {
        if (k.path.empty())
            continue;
        Path location = real_location(k.path);
        if (location == real)
            return &k;
        if (!hit && is_within(location, real))
            hit = &k;
    }
    return hit;
}

bool has_assets_name(const Path& p)
{
    const std::string last = p.empty() ? std::string() : p[-1];
    // The game's own folder is "Assets" in any letter case; the custom one is
    // spelt the way the game names it.
    return platform::stricmp(last.c_str(), "Assets") == 0 || last == "CustomAssets";
}

CustomAssetsJudgement judged(CustomAssetsVerdict verdict, std::string message, const Path& real = Path())
{
    return {verdict, std::move(message), real};
}

} // namespace

FolderSettings folder_settings(const Orrindel& core)
{
    const Path& settings = core.get_settings_dir();
    return {core.get_civ4_dir(), core.get_mods_dir(), settings,
        settings.size() > 1 ? settings.subpath(0, settings.size() - 1) : Path(), Path()};
}

CustomAssetsJudgement judge_custom_assets_dir(const Path& custom_assets, const FolderSettings& folders)
{
    using V = CustomAssetsVerdict;
    if (custom_assets.empty())
        return judged(V::NotSet,
            "The custom assets folder is not set. Choose it in the preferences before applying mods.");
    // Messages show paths in the native form the user typed or chose.
    const std::string shown = platform::native(custom_assets);
    const Path real = real_location(custom_assets);
    if (real.size() <= 1)
        return judged(V::Root,
            format("The custom assets folder %S is the root of a drive or file system. Velmora deletes and "
                   "rebuilds that folder: choose a folder of its own.",
                &shown));
    platform::Kind kind = platform::kind_of(real.str());
    if (kind != platform::Kind::None && kind != platform::Kind::Folder)
        return judged(V::NotAFolder, format("The custom assets folder %S is not a folder.", &shown));
    if (is_game_assets(custom_assets, folders.civ4_dir) || is_game_assets(custom_assets, folders.old_civ4_dir))
        return judged(V::GameAssets,
            format("The custom assets folder \"%S\" is the game's own Assets folder: applying mods "
                   "deletes and rebuilds it. Choose another folder.",
                &shown));
    const std::vector<KeptFolder> kept = kept_folders(folders);
    if (const KeptFolder* hit = kept_folder_hit(real, kept)) {
        const std::string kept_shown = platform::native(hit->path);
        return judged(V::HoldsKeptFolder,
            format("The custom assets folder %S is or contains the %S %S. Velmora deletes and "
                   "rebuilds that folder: choose a folder of its own.",
                &shown, &hit->what, &kept_shown));
    }
    if (!has_assets_name(custom_assets))
        return judged(V::UnusualName,
            format("The custom assets folder \"%S\" is not named \"Assets\" or \"CustomAssets\". "
                   "Applying mods deletes and rebuilds it.",
                &shown),
            real);
    return judged(V::Accepted, std::string(), real);
}

Path checked_custom_assets_dir(const Path& custom_assets, const FolderSettings& folders)
{
    CustomAssetsJudgement judgement = judge_custom_assets_dir(custom_assets, folders);
    if (judgement.refused())
        throw GenericError(judgement.message);
    return judgement.real;
}

namespace {

// The child of folder named name in any letter case (the folders of a Windows
// install may be spelled otherwise on Linux), or an empty path.
Path child_folder_named(const Path& folder, const char* name)
{
    for (const std::string& child : list_files(folder))
        if (platform::stricmp(child.c_str(), name) == 0 && is_folder(child_path(folder, child)))
            return child_path(folder, child);
    return Path();
}

} // namespace

std::string game_dir_warning(const Path& civ4_dir)
{
    if (civ4_dir.empty() || !is_folder(civ4_dir))
        return std::string();
    for (const char* expansion : {"Beyond the Sword", "Warlords"}) {
        const Path inside = child_folder_named(civ4_dir, expansion);
        if (inside.empty() || child_folder_named(inside, "Assets").empty())
            continue;
        return format(
            "The game folder \"%S\" holds %s in \"%S\". Velmora builds on the files of the game folder you "
            "choose: to play mods with %s, choose \"%S\"; keep \"%S\" only for the original game.",
            &civ4_dir, expansion, &inside, expansion, &inside, &civ4_dir);
    }
    return std::string();
}

namespace {

const char* const set_game_folder
    = "Set it with velmora-cli prefs --civ4-dir, or Detect Game in the preferences.";
const char* const set_mods_folder = "Set it with velmora-cli prefs --mods-dir, or in the preferences.";

// What a folder setting names on disk, links followed (a Steam library is
// often reached through one).
enum class Found { Nothing, Folder, Other };

Found found_at(const Path& p)
{
    bool folder = false;
    if (platform::stat(p.str(), &folder) != 0)
        return Found::Nothing;
    return folder ? Found::Folder : Found::Other;
}

} // namespace

std::string game_folder_problem(const Path& civ4_dir)
{
    if (civ4_dir.empty())
        return format("The game folder is not set. %s", set_game_folder);
    const std::string shown = platform::native(civ4_dir);
    switch (found_at(civ4_dir)) {
    case Found::Nothing:
        return format("The game folder \"%S\" does not exist (a drive not mounted, or the game moved?). %s",
            &shown, set_game_folder);
    case Found::Other:
        return format("The game folder \"%S\" is not a folder. %s", &shown, set_game_folder);
    case Found::Folder:
        break;
    }
    if (child_folder_named(civ4_dir, "Assets").empty())
        return format("The game folder \"%S\" holds no Assets folder (the game moved, or another folder was "
                      "chosen?). %s",
            &shown, set_game_folder);
    return std::string();
}

std::string mods_folder_problem(const Path& mods_dir)
{
    const std::string shown = platform::native(mods_dir);
    switch (found_at(mods_dir)) {
    case Found::Nothing:
        return format("The mods folder \"%S\" does not exist (a drive not mounted, or the folder moved?). %s",
            &shown, set_mods_folder);
    case Found::Other:
        return format("The mods folder \"%S\" is not a folder. %s", &shown, set_mods_folder);
    case Found::Folder:
        break;
    }
    return std::string();
}

} // namespace velmora
