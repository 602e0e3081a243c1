#ifndef VELMORA_CORE_PREFS_CHECKS_H
#define VELMORA_CORE_PREFS_CHECKS_H

#include <string>

#include "path/path.h"

namespace velmora {

class Orrindel;

// The folders a custom-assets folder is judged against: every apply deletes
// and rebuilds the custom-assets folder, so it must never be nor contain one
// of these. An empty path is not checked.
struct FolderSettings {
    // The game folder that will be in force with it: the one being stored
    // when both change together.
    Path civ4_dir;
    Path mods_dir;
    Path settings_dir;
    // The home folder that holds the settings folder.
    Path home;
    // A game folder being replaced still holds a game: its Assets folder is
    // refused too.
    Path old_civ4_dir;
};

// The folders of the core's settings (the home folder is the one holding the
// settings folder).
FolderSettings folder_settings(const Orrindel& core);

// What the preferences and apply make of a custom-assets folder.
enum class CustomAssetsVerdict {
    // Named "Assets" (any letter case) or "CustomAssets", the usual places,
    // and none of the refusals below.
    Accepted,
    // Any other name: taken only when the user confirms that this folder may
    // be deleted. Apply takes it.
    UnusualName,
    // Refused: no folder is set.
    NotSet,
    // Refused: the root of a file system or a drive.
    Root,
    // Refused: a file, not a folder.
    NotAFolder,
    // Refused: the game's own "Assets" folder (or a link to it); applying
    // would delete the game's data.
    GameAssets,
    // Refused: it is or contains the game, mods, settings or home folder.
    HoldsKeptFolder,
};

struct CustomAssetsJudgement {
    CustomAssetsVerdict verdict = CustomAssetsVerdict::Accepted;
    // The finished message: why it is refused, or what an unusual name risks.
    // Empty when accepted.
    std::string message;
    // The location the folder names on disk, links resolved.
    Path real;

    bool refused() const
    {
        return verdict != CustomAssetsVerdict::Accepted && verdict != CustomAssetsVerdict::UnusualName;
    }
};

// The one rule for which custom-assets folders are refused and why, asked by
// the preferences window, the command-line tool and apply alike, so that a
// folder the preferences take is one apply takes. Touches nothing.
CustomAssetsJudgement judge_custom_assets_dir(const Path& custom_assets, const FolderSettings& folders);

// The real location of the custom-assets folder, for apply, which deletes and
// rebuilds it. Throws GenericError with judge_custom_assets_dir's message,
// before anything is touched, when it is refused.
Path checked_custom_assets_dir(const Path& custom_assets, const FolderSettings& folders);

// The top folder of a Beyond the Sword or Warlords install holds the original
// game's "Assets" beside the expansions' folders: chosen as the game folder,
// every file Velmora builds starts from the original game's copy, which the
// expansion then reads in place of its own. What to tell the user when
// civ4_dir holds such an expansion folder with an "Assets" folder in it (the
// newest expansion when it holds both), or "" when it does not. Only a warning:
// a player of the original game chooses that folder rightly.
std::string game_dir_warning(const Path& civ4_dir);

// Why the game folder cannot be built on or compared with, as a finished
// message that names it and says how to set it ("" when it holds an "Assets"
// folder): not set, gone (a drive that is not mounted, a game that moved), not
// a folder, or without "Assets". Touches nothing.
std::string game_folder_problem(const Path& civ4_dir);
// The same for the mods folder: "" when it is a folder.
std::string mods_folder_problem(const Path& mods_dir);

} // namespace velmora

#endif
