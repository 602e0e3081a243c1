#ifndef VELMORA_MOD_CONFLICT_CACHE_H
#define VELMORA_MOD_CONFLICT_CACHE_H

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "diff/diff.h"
#include "mod/conflict_view.h"
#include "mod/mod.h"

namespace velmora {

// Tells whether a change's text is still the one something was built from,
// without keeping a copy of it: its size, and its hash when the sizes agree.
struct TextPrint {
    std::size_t size = 0;
    std::uint64_t hash = 0;

    static TextPrint of(const std::string& text);
    bool matches(const std::string& text) const;
};

// The changes of one mod as check_conflicts needs them, kept across the pairs
// the mod is checked in: its changes by file, and the parsed form of each diff
// and xml change, built when a pair first needs it. Applying 30 mods checks
// 435 pairs; without this each would parse both sides' texts again.
//
// Nothing tells the cache when a load or an edit replaces changes, so every
// use compares what it kept with the mod's current changes: the list (address,
// file and type of each change) and the text of each change it parsed, by its
// size and hash (a copy of every text would double the memory a mod takes).
class ConflictCache {
public:
    struct Entry {
        const Change* change;
        std::string file;
        Change::Type type;
        std::string key; // file_key(file)
        bool game_file; // is_game_file_name(file)
    };

    // Brings the index up to date with a mod's changes; the entries follow
    // their order.
    const std::vector<Entry>& sync(const std::list<Change>& changes);
    // The entries whose file has this key, in change order; null when none.
    const std::vector<const Entry*>* find(const std::string& key) const;

    // The parsed form of an xml or diff change of `mod`. Throw XmlError or
    // GenericError with the change's context when its text cannot be read.
    const ConflictView& view(const Mod& mod, const Change& change);
    const Diff& diff(const Mod& mod, const Change& change);

private:
    struct Parsed {
        Change::Type type;
        TextPrint text; // of what the parsed form was built from
        std::unique_ptr<ConflictView> view;
        std::unique_ptr<Diff> diff;
    };

    Parsed& parsed(const Change& change);

    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::vector<const Entry*>> by_key_;
    std::unordered_map<const Change*, Parsed> parsed_;
};

} // namespace velmora

#endif
