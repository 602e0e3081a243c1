#include "mod/change_path.h"

#include <vector>

#include "path/path.h"
#include "path/platform.h"

namespace velmora {

namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

bool is_forbidden_byte(unsigned char c)
{
    return c < 0x20 || c == 0x7f || c == ':' || c == '<' || c == '>' || c == '"' || c == '|' || c == '?'
        || c == '*';
}

// Windows opens a device, not a file, for these names, whatever the
// extension ("NUL.txt") and trailing spaces.
bool is_device_name(const std::string& name)
{
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* d : devices)
        if (platform::stricmp(base.c_str(), d) == 0)
            return true;
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
        std::string stem = base.substr(0, 3);
        return platform::stricmp(stem.c_str(), "COM") == 0 || platform::stricmp(stem.c_str(), "LPT") == 0;
    }
    return false;
}

std::vector<std::string> components(const std::string& file)
{
    std::vector<std::string> parts(1);
    for (char c : file) {
        if (is_separator(c))
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

} // namespace

bool is_safe_change_path(const std::string& file)
{
    if (file.empty() || is_separator(file[0]))
        return false;
    for (unsigned char c : file)
        if (is_forbidden_byte(c))
            return false;
    std::vector<std::string> names = components(file);
    // The last component names the file itself.
    if (names.back().empty() || names.back() == "." || names.back() == "..")
        return false;
    int depth = 0;
    for (const std::string& name : names) {
        if (name.empty() || name == ".")
            continue;
        if (name == "..") {
            if (--depth < 0)
                return false;
            continue;
        }
        if (name.back() == '.' || name.back() == ' ' || is_device_name(name))
            return false;
        ++depth;
    }
    return true;
}

std::string file_key(const std::string& file)
{
    Path resolved;
    resolved /= Path(file);
    std::string key = resolved.str();
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
}

} // namespace velmora
