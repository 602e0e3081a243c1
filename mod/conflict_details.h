#ifndef VELMORA_MOD_CONFLICT_DETAILS_H
#define VELMORA_MOD_CONFLICT_DETAILS_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mod/game_files.h"

namespace velmora {

class Mod;
struct Change;

// One place where two mods' changes meet, as the question about them shows it.
struct ConflictDetail {
    std::string file; // as the first mod names it
    // What in the file: "UnitInfo UNIT_WARRIOR", "CityNames", "lines 101-103";
    // empty when the mods change the file as a whole.
    std::string where;
    // What each mod does there: "iCombat: game 2, A 3", "A writes:", "\tx = 1".
    std::vector<std::string> lines;
    // False when whichever mod wins, every change of both is kept (a record
    // whose fields each mod changes apart).
    bool answer_matters = true;
};

// Everything two conflicting mods do where they meet.
struct ConflictReport {
    std::string message; // check_conflicts' message, "Conflict in ..."
    std::vector<ConflictDetail> details;
    // The content of each mod's conflicting changes: an answer given for them
    // holds as long as neither changes.
    std::uint64_t first_changes = 0;
    std::uint64_t second_changes = 0;
    // False when only the message and the two hashes were made (describe_sides):
    // the details are then empty whatever the mods change.
    bool described = true;

    bool answer_matters() const;
    // The details as lines for a question: each place, then what each mod
    // does there, indented by two spaces; after 30 places, how many more.
    std::vector<std::string> text() const;
};

// Two mods whose check_conflicts gave `message`, to be described.
struct ConflictPair {
    const Mod* first;
    const Mod* second;
    std::string message;
};

// Describes the conflicts of pairs of mods. The game's values of a file are
// read once for all the pairs given together, and dropped once those pairs'
// details of that file are written: an apply of many mods meets in most of
// the game's files, whose records together would outweigh the largest file
// many times over.
class ConflictDescriber {
public:
    explicit ConflictDescriber(GameFiles game = GameFiles());
    ~ConflictDescriber();
    ConflictDescriber(const ConflictDescriber&) = delete;
    ConflictDescriber& operator=(const ConflictDescriber&) = delete;

    // The report on each pair, in their order. The mods must be loaded.
    // Throws XmlError for a change text that cannot be parsed.
    std::vector<ConflictReport> describe(const std::vector<ConflictPair>& pairs);
    // The report on a and b, whose check_conflicts gave `message`.
    ConflictReport describe(const Mod& a, const Mod& b, const std::string& message);
    // The reports without their details: the message and the hashes of each
    // side's conflicting changes, the same as describe gives, without reading
    // the game's files. What a remembered answer needs.
    std::vector<ConflictReport> describe_sides(const std::vector<ConflictPair>& pairs);

    struct XmlIndex;

private:
    struct Meeting;
    using ChangeIndexes = std::map<const Change*, std::unique_ptr<XmlIndex>>;
    std::vector<ConflictReport> reports(const std::vector<ConflictPair>& pairs, bool details);
    void describe_file(std::vector<Meeting*>& meetings, ChangeIndexes& changes, bool details);

    GameFiles game;
};

} // namespace velmora

#endif
