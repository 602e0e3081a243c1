#ifndef VELMORA_CORE_INI_H
#define VELMORA_CORE_INI_H

#include <istream>
#include <optional>
#include <string>

#include "path/path.h"

namespace velmora {

// The header a mod's INI file gives: its "Name" and "Description" keys, each
// the last value given, as UTF-8 (the files are usually ISO-8859-1).
struct ModIni {
    std::optional<std::string> name;
    std::optional<std::string> description;
};

// Reads "key = value" lines; lines starting with ';', lines without '=' and
// other keys are skipped. Never fails, whatever the bytes.
ModIni read_mod_ini(std::istream& in);

// The header the INI file `file` gives; nothing when it cannot be opened.
ModIni read_mod_ini_file(const Path& file);

// The header the INI files at the top of a mod's folder give: each file
// whose name ends in ".ini" (so, in this letter case), in name order, a key
// of a later file replacing the same key of an earlier one. Nothing when the
// folder cannot be read.
ModIni read_mod_ini_folder(const Path& folder);

} // namespace velmora

#endif
