#ifndef VELMORA_CORE_BUILD_INFO_H
#define VELMORA_CORE_BUILD_INFO_H

#include <ctime>
#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

class Manifest;

// One mod an apply built from, as it was then.
struct BuildMod {
    std::string name;
    std::string version;
    std::string file; // the mod's file name in the mods folder
};

// What a custom-assets folder was built from, kept inside it beside the
// manifest: when, for which profile, and the mods in the order they were
// applied. Restore points and the fingerprint show it.
struct BuildInfo {
    // The file's name in the custom-assets folder; the game ignores it.
    static const char* const file_name;

    std::time_t time = 0;
    std::string profile;
    std::vector<BuildMod> mods;

    // false (out empty) when missing or damaged.
    static bool read(const Path& folder, BuildInfo& out);
    // Atomically; throws GenericError naming the file.
    void write(const Path& folder) const;
};

// A short code for what an apply built: made of each file's path, size and
// content hash in the manifest, so that two machines that built the same
// files get the same code, whatever their files' times and whatever else lies
// in their folders. "xxxx-xxxx-xxxx-xxxx" in hexadecimal digits.
std::string build_fingerprint(const Manifest& manifest);

} // namespace velmora

#endif
