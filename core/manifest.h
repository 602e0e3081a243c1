#ifndef VELMORA_CORE_MANIFEST_H
#define VELMORA_CORE_MANIFEST_H

#include <cstdint>
#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

// One file that apply wrote into the custom-assets folder.
struct ManifestEntry {
    std::string file; // relative to the folder, "/" separated, as spelled on disk
    std::uint64_t size = 0;
    std::uint64_t hash = 0; // hash_file of what was written
    std::uint64_t inputs = 0; // hash of what the file was built from; 0: unknown
};

// The record of what the last apply wrote, kept inside the custom-assets
// folder: it tells a file Velmora made from one put there or changed since.
class Manifest {
public:
    std::vector<ManifestEntry> entries;

    // Reads the manifest of folder into out. False, with out emptied, when
    // there is none or it is damaged in any way: then nothing it would have
    // said can be trusted.
    static bool read(const Path& folder, Manifest& out);
    // Writes the manifest into folder, through a temporary file, so that a
    // failure leaves no manifest rather than half of one. Throws GenericError
    // naming the file when it cannot.
    void write(const Path& folder) const;
    // The entry of file (letter case ignored, "\\" read as "/"), or null.
    const ManifestEntry* find(const std::string& file) const;
};

} // namespace velmora

#endif
