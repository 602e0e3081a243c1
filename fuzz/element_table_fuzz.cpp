// Any bytes as an element table: loaded or refused with GenericError, and
// lookups in whatever was loaded stay safe.
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

#include "base/errors.h"
#include "xml/element_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string file = "/tmp/velmora-fuzz-" + std::to_string(::getpid()) + "-elements.txt";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    velmora::ElementInfoStorage& table = velmora::ElementInfoStorage::instance();
    table.clear();
    try {
        table.load(file);
    } catch (const velmora::GenericError&) { }
    ::unlink(file.c_str());
    // A path it cannot look up is refused with GenericError.
    for (const char* path : {"/Civ4UnitInfos/UnitInfos/UnitInfo[3]/Type", "/UnitInfos/X", "/", ""}) {
        try {
            table.get_info(path);
        } catch (const velmora::GenericError&) { }
    }
    table.find("UnitInfos", "UnitInfo");
    table.clear();
    return 0;
}
