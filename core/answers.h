#ifndef VELMORA_CORE_ANSWERS_H
#define VELMORA_CORE_ANSWERS_H

#include <cstdint>
#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

// One remembered answer to a priority question: winner won over loser, for
// the changes whose contents hash to these values.
struct RememberedAnswer {
    std::string winner;
    std::string loser;
    std::uint64_t winner_changes = 0;
    std::uint64_t loser_changes = 0;
};

// The answers the user asked Velmora to remember, kept in the file "answers"
// of the settings folder. An answer belongs to the mods' names and to the
// content of both mods' conflicting changes: when either mod's changes
// differ, the answer no longer fits and the question is asked again.
class RememberedAnswers {
public:
    // Reads the file when it exists. Throws XmlError naming the file when it
    // cannot be parsed; the answers are then empty, and save() refuses to
    // write over the file until forget_all() has dropped it.
    void load(const Path& file);
    // Writes the file through a temporary file renamed into place, so a
    // failed write leaves the old file whole. Throws GenericError naming the
    // file when it cannot.
    void save();

    // 1 when a remembered answer makes the mod named a win over the one named
    // b for these contents of their changes, 2 when b wins, 0 when none fits.
    unsigned int find(const std::string& a, std::uint64_t a_changes, const std::string& b,
        std::uint64_t b_changes) const;
    // True when an answer about the mods named a and b is kept, whatever the
    // contents it holds for them.
    bool about(const std::string& a, const std::string& b) const;
    // Replaces any answer about the two mods by this one.
    void remember(const RememberedAnswer& answer);
    // Drops the answer that winner won over loser; false when there is none.
    bool forget(const std::string& winner, const std::string& loser);
    void forget_all();

    const std::vector<RememberedAnswer>& get() const { return answers; }
    const Path& get_file() const { return file; }

private:
    Path file;
    std::vector<RememberedAnswer> answers;
    bool unreadable = false;
};

} // namespace velmora

#endif
