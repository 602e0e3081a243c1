#include "cli/text.h"

#include <algorithm>

#include "path/path.h"
#include "path/platform.h"

namespace velmora::cli {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

void append_hex(std::string& out, unsigned char c)
{
    static const char hex[] = "0123456789ABCDEF";
    out += "\\x";
    out += hex[c >> 4];
    out += hex[c & 15];
}

} // namespace

std::string detail_line(const std::string& line)
{
    std::string expanded;
    for (char c : line)
        expanded += c == '\t' ? std::string(4, ' ') : std::string(1, c);
    return printable(expanded);
}

std::string one_line(const std::string& text)
{
    std::string out;
    std::string::size_type i = 0;
    while (i < text.size()) {
        std::string::size_type end = i;
        bool breaks = false;
        while (end < text.size() && is_blank(text[end])) {
            breaks = breaks || text[end] == '\n' || text[end] == '\r';
            ++end;
        }
        if (end > i) {
            if (!out.empty() && end < text.size())
                out += breaks ? std::string(" ") : text.substr(i, end - i);
            i = end;
            continue;
        }
        out += text[i++];
    }
    return out;
}

std::string printable(const std::string& text)
{
    std::string out;
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        // U+0080..U+009F, the C1 controls, are 0xC2 0x80..0x9F in UTF-8.
        if (c == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80) {
            append_hex(out, c);
            append_hex(out, static_cast<unsigned char>(text[++i]));
        } else if (c < 0x20 || c == 0x7F) {
            append_hex(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string shown(const Path& p) { return printable(platform::native(p)); }

std::size_t display_width(const std::string& text)
{
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void print_table(std::ostream& out, const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size())
            widths.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], display_width(row[c]));
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size())
                line += std::string(widths[c] - display_width(row[c]) + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << line << '\n';
    }
}

} // namespace velmora::cli
