#include "mod/game_file_names.h"

#include <vector>

namespace velmora {

const char* const own_name_mark = ".velmora-";

namespace {

std::string folded(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    return s;
}

// The names of file, folded, empty ones left out.
std::vector<std::string> names_of(const std::string& file)
{
    std::vector<std::string> names(1);
    for (char c : file) {
        if (c == '\\' || c == '/') {
            if (!names.back().empty())
                names.emplace_back();
        } else {
            names.back() += c;
        }
    }
    if (names.back().empty())
        names.pop_back();
    for (std::string& name : names)
        name = folded(name);
    return names;
}

bool ends_with(const std::string& s, const char* end)
{
    const std::string e(end);
    return s.size() >= e.size() && s.compare(s.size() - e.size(), e.size(), e) == 0;
}

bool is_junk_file(const std::string& name)
{
    for (const char* exact : {"thumbs.db", "desktop.ini", ".ds_store", "icon\r"})
        if (name == exact)
            return true;
    if (name.compare(0, 2, "._") == 0 || ends_with(name, "~"))
        return true;
    for (const char* extension : {".bak", ".orig", ".rej", ".swp"})
        if (ends_with(name, extension))
            return true;
    return false;
}

} // namespace

NameKind kind_of_name(const std::string& file)
{
    const std::vector<std::string> names = names_of(file);
    for (const std::string& name : names)
        if (name.find(own_name_mark) != std::string::npos)
            return NameKind::Own;
    for (const std::string& name : names)
        if (name == "__macosx")
            return NameKind::Junk;
    return !names.empty() && is_junk_file(names.back()) ? NameKind::Junk : NameKind::GameFile;
}

bool is_top_document(const std::string& file)
{
    const std::vector<std::string> names = names_of(file);
    if (names.size() != 1)
        return false;
    for (const char* extension : {".txt", ".md", ".rtf", ".pdf", ".doc", ".docx", ".odt", ".htm", ".html"})
        if (ends_with(names.front(), extension))
            return true;
    return false;
}

} // namespace velmora
