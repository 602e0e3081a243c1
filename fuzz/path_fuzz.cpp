// Paths built from any text: joins, sub-paths and iteration stay in bounds.
#include <cstdint>
#include <string>

#include "path/path.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string::size_type cut = text.find('\n');
    velmora::Path a(text.substr(0, cut));
    velmora::Path b(cut == std::string::npos ? std::string() : text.substr(cut + 1));
    velmora::Path joined = a / b;
    (void)joined.is_absolute();
    (void)(joined == a);
    unsigned n = joined.size();
    unsigned counted = 0;
    for (auto it = joined.begin(); it != joined.end() && counted <= n + 1; ++it, ++counted)
        (void)*it;
    for (unsigned first = 0; first <= n && first < 8; ++first)
        for (unsigned count = 0; first + count <= n && count < 8; ++count)
            (void)joined.subpath(first, count).str();
    for (int i = -static_cast<int>(n); i < static_cast<int>(n); ++i)
        (void)joined[i];
    velmora::Path copy = a;
    copy /= b;
    if (!(copy == joined))
        __builtin_trap();
    return 0;
}
