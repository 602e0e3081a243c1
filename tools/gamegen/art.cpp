#include "tools/gamegen/art.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace velmora::gamegen {

namespace {

struct Kind {
    const char* pool;
    const char* pattern; // "{}" is the name in camel case
    std::size_t least, most; // size at scale 1
};

// The same patterns as the art defines use, so that those point at real files.
const std::vector<Kind> kKinds = {
    {"unit", "Art/Units/{}/{}.nif", 20000, 300000},
    {"unit", "Art/Units/{}/{}.kfm", 1000, 6000},
    {"unit", "Art/Interface/Buttons/Units/{}.dds", 8000, 90000},
    {"building", "Art/Structures/Buildings/{}/{}.nif", 20000, 250000},
    {"building", "Art/Interface/Buttons/Buildings/{}.dds", 8000, 90000},
    {"leader", "Art/LeaderHeads/{}/{}.nif", 60000, 400000},
    {"improvement", "Art/Terrain/Improvements/{}/{}.nif", 20000, 200000},
};

std::string fill(const std::string& pattern, const std::string& name)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "{}") == 0) {
            out += name;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

bool ends_with(const std::string& s, const char* tail)
{
    std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

void put32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A DirectDraw surface header: a DXT3 texture with its mip levels.
std::string dds_header(Rng& rng)
{
    std::uint32_t side = 32u << rng.range(0, 3);
    std::string h = "DDS ";
    put32(h, 124);
    put32(h, 0x000A1007);
    put32(h, side);
    put32(h, side);
    put32(h, side * side);
    put32(h, 0);
    put32(h, static_cast<std::uint32_t>(rng.range(1, 8)));
    for (int i = 0; i < 11; ++i)
        put32(h, 0);
    put32(h, 32);
    put32(h, 4);
    h += "DXT3";
    for (int i = 0; i < 5; ++i)
        put32(h, 0);
    put32(h, 0x1000);
    for (int i = 0; i < 4; ++i)
        put32(h, 0);
    return h;
}

} // namespace

std::vector<BinaryFile> art_files(const World& world)
{
    const std::size_t count = static_cast<std::size_t>(world.scaled(300, 12));
    Rng rng(hash_text("art-files"));
    std::vector<BinaryFile> out;
    for (std::size_t i = 0; out.size() < count; ++i) {
        bool any = false;
        for (const auto& kind : kKinds) {
            const auto& pool = world.pool(kind.pool);
            if (i >= pool.size() || out.size() >= count)
                continue;
            any = true;
            std::size_t size = kind.least + rng.index(kind.most - kind.least);
            size = std::max<std::size_t>(256, static_cast<std::size_t>(std::llround(size * world.scale())));
            out.push_back({fill(kind.pattern, camel_name(pool[i])), size});
        }
        if (!any)
            break;
    }
    std::sort(
        out.begin(), out.end(), [](const BinaryFile& a, const BinaryFile& b) { return a.path < b.path; });
    return out;
}

std::string binary_bytes(Rng& rng, const std::string& path, std::size_t size)
{
    std::string out;
    out.reserve(size + 8);
    if (ends_with(path, ".dds"))
        out = dds_header(rng);
    else if (ends_with(path, ".nif"))
        out = "Gamebryo File Format, Version 20.0.0.4\n";
    else if (ends_with(path, ".kfm"))
        out = ";Gamebryo KFM File Version 2.2.0.0b\n";
    while (out.size() < size) {
        std::uint64_t v = rng.next();
        for (int i = 0; i < 8; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    out.resize(size);
    return out;
}

} // namespace velmora::gamegen
