#include "mod/xml_text.h"

namespace velmora {

namespace {

bool is_xml_char(unsigned long c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0a || c == 0x0d;
    if (c >= 0xd800 && c <= 0xdfff)
        return false;
    return c != 0xfffe && c != 0xffff && c <= 0x10ffff;
}

// Reads one UTF-8 sequence at s[pos]. Returns its length, 0 when the bytes
// there are no valid (shortest-form) sequence.
std::string::size_type read_utf8(const std::string& s, std::string::size_type pos, unsigned long& c)
{
    auto byte = [&](std::string::size_type i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b = byte(pos);
    std::string::size_type len;
    unsigned long min;
    if (b < 0x80) {
        c = b;
        return 1;
    } else if ((b & 0xe0) == 0xc0) {
        len = 2, c = b & 0x1f, min = 0x80;
    } else if ((b & 0xf0) == 0xe0) {
        len = 3, c = b & 0x0f, min = 0x800;
    } else if ((b & 0xf8) == 0xf0) {
        len = 4, c = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (pos + len > s.size())
        return 0;
    for (std::string::size_type i = 1; i < len; ++i) {
        if ((byte(pos + i) & 0xc0) != 0x80)
            return 0;
        c = (c << 6) | (byte(pos + i) & 0x3f);
    }
    return c < min ? 0 : len;
}

void append_utf8(std::string& out, unsigned long c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        // Only ISO-8859-1 characters come here: two bytes are enough.
        out += static_cast<char>(0xc0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
}

} // namespace

bool is_xml_text(const std::string& s)
{
    std::string::size_type pos = 0;
    while (pos < s.size()) {
        unsigned long c;
        std::string::size_type len = read_utf8(s, pos, c);
        if (len == 0 || !is_xml_char(c))
            return false;
        pos += len;
    }
    return true;
}

std::string to_xml_text(const std::string& s)
{
    std::string out;
    std::string::size_type pos = 0;
    while (pos < s.size()) {
        unsigned long c;
        std::string::size_type len = read_utf8(s, pos, c);
        if (len == 0) {
            c = static_cast<unsigned char>(s[pos]);
            if (is_xml_char(c))
                append_utf8(out, c);
            ++pos;
        } else {
            if (is_xml_char(c))
                out.append(s, pos, len);
            pos += len;
        }
    }
    return out;
}

} // namespace velmora
