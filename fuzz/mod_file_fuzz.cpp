// Arbitrary bytes as a mod file: reading the header and the whole file ends
// in a mod or in GenericError; a mod that loads saves and loads again.
#include <cstdint>
#include <fstream>
#include <libxml++/exceptions/exception.h>
#include <string>
#include <unistd.h>

#include "base/errors.h"
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
    }
    velmora::Mod mod;
    try {
        mod.load(velmora::Path(file));
    } catch (const velmora::GenericError&) {
        ::unlink(file.c_str());
        return 0;
    }
    ::unlink(file.c_str());
    const std::string saved = scratch("saved.Pellarix");
    mod.save(velmora::Path(saved));
    velmora::Mod again;
    again.load(velmora::Path(saved));
    ::unlink(saved.c_str());
    // A change without text is written as an empty element, which reading
    // drops by design, unless it is an empty file stored whole; every other
    // change must come back.
    auto with_text = [](const velmora::Mod& m) {
        size_t n = 0;
        for (const auto& c : m.changes)
            n += !c.text.empty() || c.type == velmora::Change::WHOLE;
        return n;
    };
    if (again.changes.size() != with_text(mod))
        __builtin_trap();
    return 0;
}
