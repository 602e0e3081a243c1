#ifndef VELMORA_CORE_MANIFEST_H
#define VELMORA_CORE_MANIFEST_H

#include <cstdint>
#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

// One file that an apply wrote into the custom-assets folder.
struct ManifestEntry {
    std::string file;         // relative to the custom-assets folder, Path text ("XML\\Units\\CIV4UnitInfos.xml")
    std::uint64_t size = 0;
    std::uint64_t hash = 0;   // base/hash.h hash of the bytes Velmora wrote
    std::uint64_t inputs = 0; // hash of what the file was built from; 0 = unknown
};

// What the last apply wrote into a custom-assets folder, kept inside that
// folder so that it is swapped with it. Anything else found there later was
// put there by the user or another tool and must not be deleted unasked.
class Manifest {
public:
    // The file's name in the custom-assets folder; the game reads only the
    // folders it knows (XML, res, ...) and ignores it.
    static const char* const file_name;

    std::vector<ManifestEntry> entries; // sorted by file
    // false (out empty) when missing or damaged
    static bool read(const Path& folder, Manifest& out);
    // atomically; throws GenericError naming the file
    void write(const Path& folder) const;
    const ManifestEntry* find(const std::string& file) const;

    // The files in folder (links and other entries too, never followed), with
    // their size and hash; the manifest itself left out.
    static Manifest of_folder(const Path& folder);
};

// The files of a custom-assets folder that an apply would destroy although
// Velmora did not write them: foreign ones (not in its manifest; every file
// when there is no manifest) and ones changed since Velmora wrote them.
struct ForeignFiles {
    unsigned foreign = 0;
    unsigned changed = 0;
    std::vector<std::string> files; // both kinds, Path text relative to the folder
    bool any() const { return foreign + changed > 0; }
};
ForeignFiles find_foreign_files(const Path& folder);

} // namespace velmora

#endif
