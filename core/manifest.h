#ifndef VELMORA_CORE_MANIFEST_H
#define VELMORA_CORE_MANIFEST_H

#include <cstdint>
#include <string>
#include <vector>

#include "path/file_stamp.h"
#include "path/path.h"

namespace velmora {

// One file that an apply wrote into the custom-assets folder.
struct ManifestEntry {
    std::string file;         // relative to the custom-assets folder, Path text ("XML\\Units\\CIV4UnitInfos.xml")
    std::uint64_t size = 0;
    std::uint64_t hash = 0;   // base/hash.h hash of the bytes Velmora wrote
    std::uint64_t inputs = 0; // hash of what the file was built from; 0 = unknown
    // The file's stamp when the manifest was made, kept only when no write
    // after that can leave it the same (see platform::clock_of); 0 = none,
    // the bytes are hashed to tell the file unchanged.
    std::int64_t mtime_ns = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;

    // Keeps `stamp` when its time is older than `clock`, read before it was taken.
    void set_stamp(const platform::FileStamp& stamp, std::int64_t clock);
};

// True when folder's copy of e.file is a plain file that still holds what was
// written: its size is the recorded one and either its stamp is the recorded
// one or its bytes hash to the recorded hash. `seen`, when given, gets the
// stamp the file had before it was judged.
bool still_written(const Path& folder, const ManifestEntry& e, platform::FileStamp* seen = nullptr);

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
    // their size and hash; the manifest itself and the provenance beside it
    // (mod/provenance.h) left out.
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
