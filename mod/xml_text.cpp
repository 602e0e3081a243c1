#include "mod/xml_text.h"

#include "base/utf8.h"

namespace velmora {

namespace {

bool is_xml_char(char32_t c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0a || c == 0x0d;
    if (c >= 0xd800 && c <= 0xdfff)
        return false;
    return c != 0xfffe && c != 0xffff && c <= 0x10ffff;
}

} // namespace

bool is_xml_text(const std::string& s)
{
    std::string::size_type pos = 0;
    while (pos < s.size()) {
        char32_t c;
        std::string::size_type len = utf8_sequence(s, pos, c);
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
        char32_t c;
        std::string::size_type len = utf8_sequence(s, pos, c);
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
