#include "xml/misc.h"

#include <algorithm>

namespace velmora {

namespace {

bool is_blank(const std::string& s) { return s.find_first_not_of(" \t\n\v\f\r") == std::string::npos; }

// Deeper levels are indented as this one: the game's files nest about ten
// deep, and indenting a hostile text nested 100,000 deep by its depth would
// need gigabytes.
constexpr int max_indent_depth = 32;

} // namespace

std::string format_xml(const std::string& xml)
{
    std::string out;
    std::string::size_type pos = 0;
    int depth = 0;
    bool pending = false;
    bool first = true;
    auto new_line = [&] {
        out += '\n';
        out.append(2 * static_cast<std::string::size_type>(std::min(depth, max_indent_depth)), ' ');
    };
    for (;;) {
        std::string::size_type lt = xml.find('<', pos);
        if (lt == std::string::npos)
            break;
        std::string text = xml.substr(pos, lt - pos);
        std::string::size_type gt = xml.find('>', lt);
        if (gt == std::string::npos)
            break;
        std::string tag = xml.substr(lt, gt - lt + 1);
        pos = gt + 1;
        if (!is_blank(text)) {
            if (!pending)
                new_line();
            out += text;
        }
        if (tag.compare(0, 4, "<!--") == 0 || tag.compare(0, 2, "<?") == 0) {
            if (!first)
                new_line();
            out += tag;
            pending = false;
        } else if (tag.size() > 1 && tag[1] == '/') {
            // More closing than opening tags: stay at the left margin.
            depth = depth > 0 ? depth - 1 : 0;
            if (!pending)
                new_line();
            out += tag;
            pending = false;
        } else {
            new_line();
            out += tag;
            if (tag[tag.size() - 2] != '/') {
                ++depth;
                pending = true;
            }
        }
        first = false;
    }
    return out;
}

std::vector<std::string> split(const std::string& s, const std::string& separators, bool keep_empty)
{
    std::vector<std::string> words;
    std::string::size_type pos = s.find_first_not_of(separators);
    while (pos != std::string::npos && pos < s.size()) {
        std::string::size_type end = s.find_first_of(separators, pos);
        words.push_back(s.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        if (end == std::string::npos)
            break;
        pos = keep_empty ? end + 1 : s.find_first_not_of(separators, end);
    }
    return words;
}

std::string basename_from_path(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return path;
    std::string::size_type bracket = path.rfind('[');
    if (bracket != std::string::npos && bracket > slash)
        return path.substr(slash + 1, bracket - slash - 1);
    return path.substr(slash + 1);
}

} // namespace velmora
