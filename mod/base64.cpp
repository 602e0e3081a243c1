#include "mod/base64.h"

#include <cstdint>

namespace velmora {

namespace {

const char alphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.-";
constexpr int line_length = 80;

// The index of c in the alphabet, or -1.
int digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 36;
    if (c == '.')
        return 62;
    if (c == '-')
        return 63;
    return -1;
}

} // namespace

std::string base64_encode(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size() * 4 / 3 + bytes.size() / 60 + 2);
    std::uint32_t acc = 0;
    int bits = 0;
    int count = 0;
    for (unsigned char b : bytes) {
        acc += static_cast<std::uint32_t>(b) << bits;
        bits += 8;
        while (bits >= 6) {
            out += alphabet[acc % 64];
            acc >>= 6;
            bits -= 6;
            ++count;
        }
        // Tested once per byte, so a line may hold one character more than 80.
        if (count >= line_length) {
            out += '\n';
            count = 0;
        }
    }
    if (bits > 0)
        out += alphabet[acc % 64];
    return out;
}

std::string base64_decode(const std::string& text)
{
    std::string out;
    out.reserve(text.size() * 3 / 4);
    std::uint32_t acc = 0;
    int bits = 0;
    for (char c : text) {
        int v = digit_value(c);
        if (v < 0)
            continue;
        acc += static_cast<std::uint32_t>(v) << bits;
        bits += 6;
        if (bits >= 8) {
            out += static_cast<char>(acc % 256);
            acc >>= 8;
            bits -= 8;
        }
    }
    return out;
}

} // namespace velmora
