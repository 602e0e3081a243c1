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

    bool answer_matters() const;
    // The details as lines for a question: each place, then what each mod
    // does there, indented by two spaces; after 30 places, how many more.
    std::vector<std::string> text() const;
};

// Describes the conflicts of pairs of mods. It keeps what it read (each xml
// change's records, the game's files) for the pairs of one apply or check:
// a mod is compared with every other one.
class ConflictDescriber {
public:
    explicit ConflictDescriber(GameFiles game = GameFiles());
    ~ConflictDescriber();
    ConflictDescriber(const ConflictDescriber&) = delete;
    ConflictDescriber& operator=(const ConflictDescriber&) = delete;

    // The report on a and b, whose check_conflicts gave `message`. Both must
    // be loaded. Throws XmlError for a change text that cannot be parsed.
    ConflictReport describe(const Mod& a, const Mod& b, const std::string& message);

    struct XmlIndex;

private:
    const XmlIndex& change_index(const Mod& mod, const Change& change);
    const XmlIndex* game_index(const std::string& file, const XmlIndex& like);

    GameFiles game;
    std::map<const Change*, std::pair<std::string, std::unique_ptr<XmlIndex>>> changes;
    std::map<std::string, std::unique_ptr<XmlIndex>> games; // null: the game has no readable copy
};

} // namespace velmora

#endif
