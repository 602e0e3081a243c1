#ifndef VELMORA_TOOLS_GAMEGEN_CLI_H
#define VELMORA_TOOLS_GAMEGEN_CLI_H

#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// The velmora-gamegen program, arguments without the program name:
//   assets DIR [--seed N] [--scale X]
//   modify ASSETS OUT [--seed N] [--fraction F]
// Returns the exit code: 0 done, 1 failed (the message names the file or
// folder), 2 wrong usage.
int gamegen_main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace velmora

#endif
