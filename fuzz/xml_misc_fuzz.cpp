// The text helpers never fail, whatever the input.
#include <cstdint>
#include <string>

#include "xml/misc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    velmora::format_xml(text);
    std::string separators = text.substr(0, 2);
    std::string rest = text.size() > 2 ? text.substr(2) : std::string();
    for (const std::string& word : velmora::split(rest, separators, true))
        if (word.find_first_of(separators) != std::string::npos && !separators.empty())
            __builtin_trap();
    velmora::split(rest, separators, false);
    velmora::basename_from_path(text);
    return 0;
}
