#include "core/ini.h"

#include "mod/xml_text.h"

namespace velmora {

namespace {

std::string trim_spaces_right(const std::string& s)
{
    std::string::size_type end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string trim_spaces_left(const std::string& s)
{
    std::string::size_type start = s.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : s.substr(start);
}

} // namespace

ModIni read_mod_ini(std::istream& in)
{
    ModIni ini;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        std::string::size_type eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = trim_spaces_right(line.substr(0, eq));
        // Mods' INI files are usually in the game's ISO-8859-1; the entries take UTF-8.
        std::string value = to_xml_text(trim_spaces_left(line.substr(eq + 1)));
        if (key == "Name")
            ini.name = value;
        else if (key == "Description")
            ini.description = value;
    }
    return ini;
}

} // namespace velmora
