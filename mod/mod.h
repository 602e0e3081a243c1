#ifndef VELMORA_MOD_MOD_H
#define VELMORA_MOD_MOD_H

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/format.h"
#include "base/hash.h"
#include "path/path.h"
#include "path/spool.h"

namespace xmlpp {
class Element;
}

namespace velmora {

class ConflictCache;
class GameFiles;
struct RemovalLog;
class Schema;
class SchemaCache;

// Owns what conflict checks derive from a mod's changes (see ConflictCache).
// A copy starts empty: the cache describes one list of changes.
class ConflictCacheSlot {
public:
    ConflictCacheSlot();
    ~ConflictCacheSlot();
    ConflictCacheSlot(const ConflictCacheSlot&);
    ConflictCacheSlot& operator=(const ConflictCacheSlot&);

    // Created on first use.
    ConflictCache& get();

private:
    std::unique_ptr<ConflictCache> cache_;
};

// One change of a mod, aimed at one file of the game's "Assets" tree.
struct Change {
    enum Type { DIFF = 0, XML = 1, WHOLE = 2 };

    std::string file; // relative to "Assets", Path normal form: 'XML\Units\Civ4UnitInfos.xml'
    Type type = WHOLE;
    // The payload: diff text, xml text or the whole file's bytes. A large
    // whole file read from a mod file waits in a spool instead, and text is
    // empty: the members below give the payload wherever it is, and
    // set_text replaces it.
    std::string text;
    std::shared_ptr<const Spool::Piece> stored;

    Change() = default;
    Change(std::string file, Type type, std::string text)
        : file(std::move(file))
        , type(type)
        , text(std::move(text))
    { }

    std::uint64_t size() const { return stored ? stored->size() : text.size(); }
    // Replaces the payload, wherever it was, with t.
    void set_text(std::string t)
    {
        text = std::move(t);
        stored.reset();
    }
    // The payload's bytes. Throws GenericError when a stored payload cannot be read back.
    std::string bytes() const;
    // The payload in blocks, or up to its first n bytes; the same errors.
    void read(const std::function<void(std::string_view)>& block) const;
    std::string head(std::size_t n) const;
    // Whether the two payloads are the same bytes.
    bool same_payload(const Change& other) const;
    // The hash of the payload's bytes (hash_bytes), without reading a stored one.
    std::uint64_t payload_hash() const { return stored ? stored->hash() : hash_bytes(text); }
};

// Adds the payload to h as one piece, as h.add(text) would.
void add_payload(Hasher& h, const Change& change);

// Whole files at least this large wait in a spool from the moment their mod is read.
constexpr std::size_t stored_payload_minimum = 16384;

// A mod: its file, its header and its ordered changes.
class Mod {
public:
    class HeaderParser;

    Path path;
    std::string name;
    std::string author;
    std::string description;
    std::string version;
    std::list<Change> changes;
    bool loaded = false;

    // Reads only the header of file p (stops after the first change begins).
    int load_headers(const Path& p);
    // Reads the whole file p; -1 when p does not exist.
    int load(const Path& p);
    // Writes the whole mod to p.
    int save(const Path& p);

    // What one of its changes removes from the game's file, one report line
    // each ("UNIT_WARRIOR: FreePromotions: removed PROMOTION_FLANKING1"); none
    // for a change that is not xml. Throws XmlError when its text cannot be parsed.
    std::vector<std::string> removals(const Change& change) const;

    // Throws ConflictError at the first conflict between this mod's changes and other's.
    void check_conflicts(const Mod* other) const;
    // Applies every change: reads from target when the file is already there,
    // else from the copy of the file the game reads (game.find), and writes
    // into target. A change whose file would lie outside target (also through
    // a symbolic link) fails the whole mod before anything is written. A
    // script that the mods applied_before (in their order) changed already is
    // merged with their changes; a failure names those of them that change it.
    // An element the merge adds stands where the file's schema orders it; the
    // schemas are read through `schemas` (one cache for a whole apply) or,
    // when it is null, through a cache of this call.
    int apply(const GameFiles& game, const Path& target,
        const std::vector<const Mod*>& applied_before = std::vector<const Mod*>(),
        SchemaCache* schemas = nullptr) const;
    // The same with the game's files in source alone.
    int apply(const Path& source, const Path& target) const;
    // Decides, for one change whose folder dst now lies ready, whether its
    // file is carried over from an earlier build instead of being written:
    // true when the change is done (see apply_mods).
    using CarryOver = std::function<bool(const Change& change, const Path& dst)>;


private:
    // Parsed forms of the changes for check_conflicts, built once per change
    // text and rebuilt when a load or an edit replaces it.
    mutable ConflictCacheSlot conflict_cache;
};

template <> void fmtobject<Change::Type>::write(std::ostream& os) const;

} // namespace velmora

#endif
