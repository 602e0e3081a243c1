#ifndef VELMORA_CORE_INI_H
#define VELMORA_CORE_INI_H

#include <istream>
#include <optional>
#include <string>

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

} // namespace velmora

#endif
