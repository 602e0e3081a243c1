#ifndef VELMORA_CORE_SETUP_FILE_H
#define VELMORA_CORE_SETUP_FILE_H

#include <cstdint>
#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

class Mod;

// One mod of a shared setup: what it is called and the hash of its file's
// bytes, which finds the very same file in another mods folder.
struct SetupMod {
    std::string name;
    std::string version;
    std::string file;
    std::uint64_t hash = 0;
};

// A remembered answer of a shared setup. Its mods are named by the setup's
// mods where they are among them (the index, else -1 and the name only), so
// that the answer follows the mods into a folder where their files are
// named differently.
struct SetupAnswer {
    std::string winner;
    std::string loser;
    int winner_mod = -1;
    int loser_mod = -1;
    std::uint64_t winner_changes = 0;
    std::uint64_t loser_changes = 0;
};

// A profile as one small file to hand to a friend: its enabled mods in
// order, its remembered answers and its same-field preference.
struct Setup {
    std::string profile;
    bool ask_fields_only = false;
    std::vector<SetupMod> mods;
    std::vector<SetupAnswer> answers;

    // Throws XmlError naming the file when it cannot be read or is not a
    // setup file.
    static Setup read(const Path& file);
    // Atomically; throws GenericError naming the file.
    void write(const Path& file) const;
};

// Where a setup's mod is in this mods folder: the file of the same hash, or
// (version_differs) a mod of the same name, or none (found null).
struct SetupMatch {
    SetupMod wanted;
    Mod* found = nullptr;
    bool version_differs = false;
};

} // namespace velmora

#endif
