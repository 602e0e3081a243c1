#include "core/ini.h"

#include <fstream>

#include "mod/xml_text.h"
#include "path/fs.h"
#include "path/platform.h"

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

bool is_ini_name(const std::string& name)
{
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".ini") == 0;
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

ModIni read_mod_ini_file(const Path& file)
{
    std::ifstream in(platform::native(file));
    if (!in)
        return ModIni();
    return read_mod_ini(in);
}

ModIni read_mod_ini_folder(const Path& folder)
{
    ModIni out;
    for (const std::string& name : list_files(folder)) {
        if (!is_ini_name(name))
            continue;
        ModIni ini = read_mod_ini_file(child_path(folder, name));
        if (ini.name)
            out.name = std::move(ini.name);
        if (ini.description)
            out.description = std::move(ini.description);
    }
    return out;
}

} // namespace velmora
