#include "mod/base64.h"

#include <cstdint>

namespace velmora {

namespace {

const char alphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.-";
constexpr int line_length = 80;

// The index of each character in the alphabet, or -1.
struct DigitTable {
    signed char value[256];
    DigitTable()
    {
        for (signed char& v : value)
            v = -1;
        for (int i = 0; i < 64; ++i)
            value[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
    }
};
const DigitTable digits;

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
    // Written through a pointer into a buffer of the largest size: mods carry
    // megabytes of art, and appending byte by byte checks the capacity each time.
    std::string out(text.size() * 3 / 4 + 1, '\0');
    char* o = &out[0];
    std::uint32_t acc = 0;
    int bits = 0;
    for (char c : text) {
        const int v = digits.value[static_cast<unsigned char>(c)];
        if (v < 0)
            continue;
        acc += static_cast<std::uint32_t>(v) << bits;
        bits += 6;
        if (bits >= 8) {
            *o++ = static_cast<char>(acc % 256);
            acc >>= 8;
            bits -= 8;
        }
    }
    out.resize(static_cast<std::string::size_type>(o - out.data()));
    return out;
}

} // namespace velmora
