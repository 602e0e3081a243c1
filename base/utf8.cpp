#include "base/utf8.h"

namespace velmora {

std::size_t utf8_sequence(const std::string& text, std::size_t pos, char32_t& c)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    if (pos >= n)
        return 0;
    const unsigned char b = s[pos];
    if (b < 0x80) {
        c = b;
        return 1;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2, c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, c = b & 0x0F;
        if (b == 0xE0)
            low = 0xA0; // overlong below U+0800
        else if (b == 0xED)
            high = 0x9F; // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, c = b & 0x07;
        if (b == 0xF0)
            low = 0x90; // overlong below U+10000
        else if (b == 0xF4)
            high = 0x8F; // above U+10FFFF
    } else {
        return 0; // a continuation byte, an overlong lead (C0, C1) or F5..FF
    }
    if (n - pos < length || s[pos + 1] < low || s[pos + 1] > high)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (k > 1 && (s[pos + k] < 0x80 || s[pos + k] > 0xBF))
            return 0;
        c = (c << 6) | (s[pos + k] & 0x3F);
    }
    return length;
}

bool is_valid_utf8(const std::string& text)
{
    char32_t c;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = utf8_sequence(text, pos, c);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string latin1_to_utf8(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char b : bytes)
        append_utf8(out, b);
    return out;
}

} // namespace velmora
