#ifndef VELMORA_CORE_CONFLICT_REPORTS_H
#define VELMORA_CORE_CONFLICT_REPORTS_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "mod/conflict_details.h"
#include "path/file_stamp.h"

namespace velmora {

class Mod;

// The reports on conflicting pairs, kept from one apply to the next in a
// running Velmora. Describing pairs reads the game's copy of every file two
// of them merge (a large XML file takes longer to parse than the rest of a
// re-apply); after one mod was enabled, all the other pairs are what they
// were. A report is taken again only when both mods' changes and names, the
// message, the element table and every game file it read are what they were.
class ConflictReports {
public:
    // A game file written less than settle_ns before its stamp was taken may
    // be written again within one tick of the file system's clock without its
    // stamp showing it: a report that read it is made again. Game files are
    // older than the default by far.
    explicit ConflictReports(std::int64_t settle_ns = 2'000'000'000)
        : settle_ns(settle_ns)
    { }

    // The report on each pair, in their order: a kept one when nothing it was
    // made from changed, else made by a ConflictDescriber reading `game` (all
    // those together) and kept. One call is one round of questions: the mods
    // may have been edited or loaded again since the last, and are hashed anew.
    // Throws what ConflictDescriber::describe throws.
    std::vector<ConflictReport> describe(const std::vector<ConflictPair>& pairs, const GameFiles& game);

    // A round of questions whose reports are made only as far as they are
    // read: begin_round(), then describe_more and sides_more as often as
    // needed. Reports no call of a round asked for are dropped at the next.
    void begin_round();
    // As describe, within the current round.
    std::vector<ConflictReport> describe_more(const std::vector<ConflictPair>& pairs, const GameFiles& game);
    // The reports without details (ConflictDescriber::describe_sides), or kept
    // ones, within the current round: the game's files play no part.
    std::vector<ConflictReport> sides_more(const std::vector<ConflictPair>& pairs);

    // How many reports were described (not kept ones, nor those made without details).
    unsigned described() const { return described_count; }
    // How many were made without details.
    unsigned sided() const { return sided_count; }

private:
    struct GameFile {
        std::string path; // as found; "" when the game has none
        bool exists = false;
        platform::FileStamp stamp;
        std::int64_t clock = 0; // the system's time just before the stamp was taken, in ns
    };
    struct Kept {
        ConflictReport report; // without details while report.described is false
        std::vector<GameFile> game_files;
        bool used = false;
    };

    std::vector<ConflictReport> reports(const std::vector<ConflictPair>& pairs, const GameFiles* game);
    std::uint64_t key_of(const ConflictPair& pair);
    std::uint64_t content(const Mod& mod);
    std::vector<GameFile> game_files_of(const Mod& a, const Mod& b, const GameFiles& game);
    const GameFile& game_file(const std::string& key, const std::string& file, const GameFiles& game);
    const std::vector<std::string>& keys_of(const Mod& mod);
    bool unchanged(const std::vector<GameFile>& kept_files, const std::vector<GameFile>& now) const;

    std::int64_t settle_ns;
    unsigned described_count = 0;
    unsigned sided_count = 0;
    std::unordered_map<std::uint64_t, Kept> kept; // by pair, message and table
    // This round's, found once: the mods may change between rounds, and the game.
    std::unordered_map<const Mod*, std::uint64_t> contents;
    std::unordered_map<const Mod*, std::vector<std::string>> keys; // file_key of each change
    std::unordered_map<std::string, GameFile> game_files; // by file_key
    std::uint64_t table = 0; // the element table's digest
};

} // namespace velmora

#endif
