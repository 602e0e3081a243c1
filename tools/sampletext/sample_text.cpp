#include "tools/sampletext/sample_text.h"

namespace velmora::sampletext {

std::string crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string escape_xml(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string to_latin1(const std::string& utf8)
{
    std::string out;
    for (std::string::size_type i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80)
            out += utf8[i];
        else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            ++i;
        } else {
            out += '?';
            while (i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80)
                ++i;
        }
    }
    return out;
}

std::string encode_mod_base64(const std::string& bytes)
{
    static const char alphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.-";
    std::string out;
    unsigned acc = 0, bits = 0, count = 0;
    for (char c : bytes) {
        acc += static_cast<unsigned>(static_cast<unsigned char>(c)) << bits;
        bits += 8;
        while (bits >= 6) {
            out += alphabet[acc % 64];
            acc >>= 6;
            bits -= 6;
            ++count;
        }
        if (count >= 80) {
            out += '\n';
            count = 0;
        }
    }
    if (bits > 0)
        out += alphabet[acc % 64];
    return out;
}

} // namespace velmora::sampletext
