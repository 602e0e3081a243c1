// Arbitrary bytes as a mod file: reading the header and the whole file ends
// in a mod or in GenericError; a mod that loads saves and loads again.
#include <cstdint>
#include <fstream>
#include <libxml++/exceptions/exception.h>
#include <string>
#include <unistd.h>

#include "core/errors.h"
#include "mod/mod.h"

namespace {

std::string scratch(const char* name)
{
    return "/tmp/velmora-fuzz-" + std::to_string(::getpid()) + "-" + name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string file = scratch("in.Pellarix");
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    velmora::Mod headers;
    try {
        headers.load_headers(velmora::Path(file));
    } catch (const velmora::GenericError&) {
    } catch (const xmlpp::exception&) {
        // The header scan's callers take the XML library's own error too.
    }
    velmora::Mod mod;
    try {
        mod.load(velmora::Path(file));
    } catch (const velmora::GenericError&) {
        return 0;
    }
    const std::string saved = scratch("saved.Pellarix");
    mod.save(velmora::Path(saved));
    velmora::Mod again;
    again.load(velmora::Path(saved));
    if (again.changes.size() != mod.changes.size())
        __builtin_trap();
    return 0;
}
