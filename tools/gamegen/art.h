#ifndef VELMORA_TOOLS_GAMEGEN_ART_H
#define VELMORA_TOOLS_GAMEGEN_ART_H

#include <cstddef>
#include <string>
#include <vector>

#include "tools/gamegen/rng.h"
#include "tools/gamegen/world.h"

namespace velmora::gamegen {

struct BinaryFile {
    std::string path; // under the Assets folder
    std::size_t size = 0;
};

// The art files of the tree: models (.nif), animations (.kfm) and textures
// (.dds) of the units, buildings, leaders and improvements the art defines
// point to; a few hundred at scale 1.
std::vector<BinaryFile> art_files(const World& world);
// size bytes: the format's signature and header, then pseudo-random data.
std::string binary_bytes(Rng& rng, const std::string& path, std::size_t size);

} // namespace velmora::gamegen

#endif
