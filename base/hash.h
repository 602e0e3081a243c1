#ifndef VELMORA_BASE_HASH_H
#define VELMORA_BASE_HASH_H

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// A 64-bit content hash (XXH3), for telling whether bytes changed since they
// were last seen: what Velmora wrote, the changes an answer was given for,
// the inputs of a built file. Not for security.
std::uint64_t hash_bytes(std::string_view bytes);

// Hashes several pieces as one stream, so that ("ab", "c") and ("a", "bc")
// differ: each piece is preceded by its length.
class Hasher {
public:
    Hasher();
    ~Hasher();
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;

    Hasher& add(std::string_view piece);
    // One piece given in parts: begin with its whole size, then its parts in
    // order; the same hash as add() of the whole.
    Hasher& begin(std::uint64_t size);
    Hasher& more(std::string_view part);
    std::uint64_t value() const;

private:
    void* state; // XXH3_state_t, kept out of this header
};

// The hash as 16 lower-case hex digits, and back. parse_hash returns false
// (and leaves out alone) for any text that is not exactly that.
std::string hash_text(std::uint64_t hash);
bool parse_hash(std::string_view text, std::uint64_t& out);

// The hash of a file's bytes, read in blocks. Returns false when the file
// cannot be read.
class Path;
bool hash_file(const Path& file, std::uint64_t& out);

} // namespace velmora

#endif
