#ifndef VELMORA_CLI_SESSION_H
#define VELMORA_CLI_SESSION_H

#include <memory>
#include <optional>
#include <string>

namespace velmora {

class Orrindel;

namespace cli {

// Starts the core the way the windows do: the settings folder ".velmora" in
// home, or in HOME when no home is given. The core's start-up warnings go to
// standard error. Throws GenericError when home is not a folder or the core
// cannot start (no element table).
std::unique_ptr<Orrindel> start_core(const std::optional<std::string>& home);

} // namespace cli
} // namespace velmora

#endif
