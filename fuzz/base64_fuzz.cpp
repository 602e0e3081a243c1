// Decoding any text never fails; encoding then decoding gives the bytes back.
#include <cstdint>
#include <string>

#include "mod/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    velmora::base64_decode(bytes);
    if (velmora::base64_decode(velmora::base64_encode(bytes)) != bytes)
        __builtin_trap();
    return 0;
}
