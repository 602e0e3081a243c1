#ifndef VELMORA_CLI_TERMINAL_H
#define VELMORA_CLI_TERMINAL_H

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace velmora::cli {

// Whether the file descriptor is a terminal (a person is there).
bool is_terminal(int fd);

// A one-line progress bar, redrawn in place. It draws only when enabled: on a
// terminal, not into a log or a pipe.
class ProgressBar {
public:
    ProgressBar(std::ostream& out, bool enabled);
    // Leaves the line blank for what follows.
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // fraction from 0 to 1.
    void show(const std::string& message, float fraction);
    void clear();

private:
    std::ostream& out;
    bool enabled;
    bool drawn = false;
};

// Asks which of two conflicting mods wins, until the answer is "1" or "2",
// after the conflict and its details (what each mod changes there).
// Returns 1 or 2, or 0 when the input ends without an answer.
unsigned int ask_winner(std::istream& in, std::ostream& out, const std::string& first,
    const std::string& second, const std::string& conflict,
    const std::vector<std::string>& details = std::vector<std::string>());

} // namespace velmora::cli

#endif
