#ifndef VELMORA_TOOLS_GAMEGEN_RNG_H
#define VELMORA_TOOLS_GAMEGEN_RNG_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::gamegen {

// splitmix64. The standard library's distributions give different numbers on
// different library versions; this gives the same bytes everywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed)
        : state_(seed)
    { }

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A whole number in [lo, hi]; lo when the range is empty.
    int range(int lo, int hi)
    {
        if (hi <= lo)
            return lo;
        return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool chance(int percent) { return static_cast<int>(next() % 100) < percent; }
    std::size_t index(std::size_t n) { return n ? static_cast<std::size_t>(next() % n) : 0; }
    template <typename T> const T& pick(const std::vector<T>& v) { return v[index(v.size())]; }

private:
    std::uint64_t state_;
};

inline std::uint64_t hash_text(const std::string& s)
{
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

// The stream of one named part of the output (a file, usually). Each part
// draws from its own stream, so what one file holds never depends on which
// files were written before it.
inline Rng stream(unsigned seed, const std::string& name)
{
    return Rng(hash_text(name) ^ (static_cast<std::uint64_t>(seed) * 0xD1B54A32D192ED03ull));
}

} // namespace velmora::gamegen

#endif
