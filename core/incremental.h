#ifndef VELMORA_CORE_INCREMENTAL_H
#define VELMORA_CORE_INCREMENTAL_H

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/manifest.h"
#include "path/file_stamp.h"
#include "path/path.h"

namespace velmora {

class GameFiles;
class Mod;
struct Change;

// The hashes of the game's files from the earlier applies of a running
// Velmora: each apply hashes the game's copy of every file a mod changes,
// tens of megabytes that rarely change. A file whose stamp is what it was
// when it was hashed, and was settled then (see platform::settled), is not
// read again.
class GameFileHashes {
public:
    explicit GameFileHashes(std::int64_t settle_ns = 2'000'000'000)
        : settle_ns(settle_ns)
    { }

    // The hash of file's bytes (hash_file); false when it cannot be read.
    bool hash(const Path& file, std::uint64_t& out);
    // How many times a file was read.
    unsigned reads() const { return read_count; }

private:
    struct Known {
        platform::FileStamp stamp;
        std::int64_t clock; // read before the stamp was taken
        std::uint64_t hash;
    };
    std::int64_t settle_ns;
    std::unordered_map<std::string, Known> known;
    unsigned read_count = 0;
};

// What an apply can take over from the folder the last apply built. A file
// is built from its inputs alone: the game's copy (and the folder it is
// found in), the schema an XML merge orders its elements by, the changes of
// the enabled mods to it in their order, and the element table. When all of
// these are what the old folder's manifest recorded, and the old file is
// still the one written then, the file is linked (or copied) into the new
// folder instead of being built again. Anything in doubt is built again.
class IncrementalBuild {
public:
    // old_folder: the custom-assets folder as the last apply left it (missing
    // or without a manifest: everything is built); game: the game's "Assets"
    // folders; order: the mods in the order they are applied; hashes: those
    // of the game's files from earlier applies, if any.
    IncrementalBuild(const Path& old_folder, const GameFiles& game, const std::list<Mod*>& order,
        GameFileHashes* hashes = nullptr);

    // For Mod::apply: true when change's file was carried over into dst, or
    // had been already.
    bool carry(const Change& change, const Path& dst);
    // Files for which `may` says no (given the change's file) are built again.
    void set_carry_filter(std::function<bool(const std::string& file)> may) { may_carry = std::move(may); }
    // The files carried over, by their folded names (lower case, forward slashes).
    std::vector<std::string> carried_files() const;
    // The manifest of fresh, the folder built, once every mod is applied.
    Manifest manifest(const Path& fresh) const;
    // The number of files carried over.
    unsigned carried() const { return carried_count; }

private:
    struct File {
        std::uint64_t inputs = 0; // 0: not known, built again
        enum State { Undecided, Carried, Built } state = Undecided;
        const ManifestEntry* old = nullptr;
        Path dst; // where the new folder holds it
        platform::FileStamp seen; // a carried file's stamp when it was found unchanged
    };
    bool carry_over(File& f, const Path& dst);

    Path old_folder;
    Manifest old_manifest;
    std::map<std::string, const ManifestEntry*> old_entries; // by folded file name
    std::map<std::string, File> files; // by folded change file
    unsigned carried_count = 0;
    std::function<bool(const std::string&)> may_carry;
};

} // namespace velmora

#endif
