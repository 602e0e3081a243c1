#ifndef VELMORA_CORE_DATA_FILE_H
#define VELMORA_CORE_DATA_FILE_H

#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

// The folders that may hold the program's data files ("elements.txt",
// "velmora.glade"), in the order they are searched: the current folder (an
// empty Path), the folder of the running executable, "../share/velmora"
// beside that folder (the installed layout, wherever it was moved), the data
// folder of the configured install prefix. Searching beyond the current
// folder lets the program start from anywhere.
std::vector<Path> data_folders();

// The data file `name` in the first of folders that holds it as a file; an
// empty Path when none does. In the current folder it is the bare name.
Path find_data_file(const std::string& name, const std::vector<Path>& folders);

// The data file `name` in the first of data_folders() that holds it. Throws
// GenericError naming every folder searched when none holds it.
Path find_data_file(const std::string& name);

} // namespace velmora

#endif
