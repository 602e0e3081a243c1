#ifndef VELMORA_CORE_QUESTIONS_H
#define VELMORA_CORE_QUESTIONS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mod/conflict_details.h"
#include "mod/game_files.h"
#include "path/path.h"

namespace velmora {

class ConflictReports;
class Mod;

// The questions of one apply or check, whose reports are made only as far as
// someone reads them. Describing a pair reads the game's copies of the files
// both mods change, the largest part of an apply that asks nobody (every
// question answered on the command line or remembered); the hashes a
// remembered answer needs come from the mods' changes alone. Lives while the
// core that made it does, with the mods loaded.
class QuestionRound {
public:
    QuestionRound(std::vector<ConflictPair> pairs, GameFiles game, ConflictReports& kept);

    std::size_t size() const { return pairs.size(); }
    const ConflictPair& pair(std::size_t i) const { return pairs[i]; }

    // The report on pair i, described (with its details). The first read
    // describes, together with it, every pair still wanted, each game file
    // read once for all of them. Throws what ConflictDescriber::describe throws.
    const ConflictReport& report(std::size_t i);
    // The report on pair i, at least its message and hashes.
    const ConflictReport& sides(std::size_t i);
    // Describes, or hashes, the pairs given, all together.
    void describe(const std::vector<std::size_t>& which);
    void hash(const std::vector<std::size_t>& which);
    // Whether pair i's details may still be read (a question not yet
    // answered): true for every pair until settled.
    void set_wanted(std::size_t i, bool wanted);

private:
    enum class State : unsigned char { none, hashed, described };
    void make(const std::vector<std::size_t>& which, State state);

    std::vector<ConflictPair> pairs;
    GameFiles game;
    ConflictReports& kept;
    std::vector<ConflictReport> reports;
    std::vector<State> states;
    std::vector<char> wanted;
};

// A priority question about two conflicting enabled mods: which one wins.
struct PriorityQuestion {
    Mod* first = nullptr;
    Mod* second = nullptr;
    // check_conflicts' message about the pair, "Conflict in ...".
    std::string message;
    // 1 or 2 when a remembered answer settles the question for these changes.
    unsigned int remembered = 0;
    // True when the answer would change nothing and the preferences say to
    // ask only when two mods change the same field: nobody is asked.
    bool skipped = false;
    // Set by whoever answers, to keep the answer for the next applies.
    bool remember = false;

    // What the two mods change where they meet, with the game's values:
    // described when first read (see QuestionRound::report).
    const ConflictReport& report() const { return round->report(index); }
    // The content of each mod's conflicting changes, as a remembered answer holds it.
    std::uint64_t first_changes() const { return round->sides(index).first_changes; }
    std::uint64_t second_changes() const { return round->sides(index).second_changes; }

    std::shared_ptr<QuestionRound> round;
    std::size_t index = 0;
};

} // namespace velmora

#endif
