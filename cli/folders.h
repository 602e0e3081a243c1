#ifndef VELMORA_CLI_FOLDERS_H
#define VELMORA_CLI_FOLDERS_H

#include <string>

#include "path/path.h"

namespace velmora {

class Orrindel;

namespace cli {

// A folder named on the command line, made absolute against the current
// folder: the configuration is read by programs started elsewhere.
Path absolute_folder(const std::string& text);

} // namespace cli
} // namespace velmora

#endif
