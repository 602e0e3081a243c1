#ifndef VELMORA_TOOLS_GAMEGEN_PYTHON_H
#define VELMORA_TOOLS_GAMEGEN_PYTHON_H

#include <string>
#include <vector>

#include "tools/gamegen/rng.h"

namespace velmora::gamegen {

struct PythonFile {
    std::string path; // under the Assets folder
    int lines = 0;
    bool crlf = false;
    bool spaces = false; // indented with four spaces instead of tabs
    bool latin1 = false; // holds ISO-8859-1 text, with a coding line
};

// The scripts of the tree at this scale: the game's well-known modules
// always, more of them as the scale grows (about 150 at scale 1), with line
// counts spread like the game's (median about 250, a few of thousands).
std::vector<PythonFile> python_files(double scale);
// A script of exactly file.lines lines in the manner of the game's Python 2.4:
// a class of event handlers and screen code, blocks indented by tabs.
std::string python_script(Rng& rng, const PythonFile& file);

} // namespace velmora::gamegen

#endif
