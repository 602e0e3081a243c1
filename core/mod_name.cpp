#include "core/mod_name.h"

#include <cctype>

#include "base/format.h"

namespace velmora {

namespace {

const char* const forbidden_chars = "<>:\"/\\|?*";

// Windows opens these as devices, whatever follows the first dot: "CON.Pellarix" is the console.
bool is_device_name(std::string stem)
{
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* d : devices)
        if (stem == d)
            return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0)
        && stem[3] >= '1' && stem[3] <= '9';
}

} // namespace

std::string check_mod_file_name(const std::string& name)
{
    if (name.empty())
        return "The mod needs a name: it becomes the name of its file in the mods folder.";
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f)
            return format(
                "The mod name '%S' contains a control character, which cannot be part of a file name.",
                &name);
    }
    std::string::size_type bad = name.find_first_of(forbidden_chars);
    if (bad != std::string::npos) {
        std::string c(1, name[bad]);
        return format("The mod name '%S' contains '%S', which cannot be part of a file name.", &name, &c);
    }
    if (name.find("..") != std::string::npos)
        return format("The mod name '%S' contains '..', which cannot be part of a mod's file name.", &name);
    if (name.back() == '.' || name.back() == ' ')
        return format(
            "The mod name '%S' ends with a dot or a space, which Windows drops from file names.", &name);
    if (is_device_name(name.substr(0, name.find('.'))))
        return format("The mod name '%S' is a device name on Windows and cannot be a file name.", &name);
    return std::string();
}

} // namespace velmora
