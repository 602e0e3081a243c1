#include "base/hash.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <new>
#include <vector>
#include <xxhash.h>

#include "path/path.h"
#include "path/platform.h"

namespace velmora {

std::uint64_t hash_bytes(std::string_view bytes) { return XXH3_64bits(bytes.data(), bytes.size()); }

Hasher::Hasher()
    : state(XXH3_createState())
{
    if (!state)
        throw std::bad_alloc();
    XXH3_64bits_reset(static_cast<XXH3_state_t*>(state));
}

Hasher::~Hasher() { XXH3_freeState(static_cast<XXH3_state_t*>(state)); }

Hasher& Hasher::add(std::string_view piece) { return begin(piece.size()).more(piece); }

Hasher& Hasher::begin(std::uint64_t n)
{
    unsigned char size[8];
    for (int i = 0; i < 8; ++i)
        size[i] = static_cast<unsigned char>(n >> (8 * i));
    XXH3_64bits_update(static_cast<XXH3_state_t*>(state), size, sizeof size);
    return *this;
}

Hasher& Hasher::more(std::string_view part)
{
    XXH3_64bits_update(static_cast<XXH3_state_t*>(state), part.data(), part.size());
    return *this;
}

std::uint64_t Hasher::value() const { return XXH3_64bits_digest(static_cast<const XXH3_state_t*>(state)); }

std::string hash_text(std::uint64_t hash)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

bool parse_hash(std::string_view text, std::uint64_t& out)
{
    if (text.size() != 16)
        return false;
    std::uint64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    out = value;
    return true;
}

bool hash_file(const Path& file, std::uint64_t& out)
{
    std::ifstream in(platform::native(file), std::ios::binary);
    if (!in)
        return false;
    XXH3_state_t* s = XXH3_createState();
    if (!s)
        throw std::bad_alloc();
    XXH3_64bits_reset(s);
    // Left uninitialised: only what is read is hashed, and zeroing the block
    // cost as much as hashing a small file.
    constexpr std::size_t block_size = 1 << 16;
    const std::unique_ptr<char[]> block(new char[block_size]);
    while (in) {
        in.read(block.get(), static_cast<std::streamsize>(block_size));
        XXH3_64bits_update(s, block.get(), static_cast<size_t>(in.gcount()));
    }
    bool ok = in.eof() && !in.bad();
    if (ok)
        out = XXH3_64bits_digest(s);
    XXH3_freeState(s);
    return ok;
}

} // namespace velmora
