// A fuzzed difference text read, checked and applied to a fuzzed old text.
// The input is the difference text, a NUL byte, then the old text.
#include <cstdint>
#include <sstream>
#include <string>

#include "base/errors.h"
#include "diff/diff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string::size_type cut = bytes.find('\0');
    std::string diff_text = bytes.substr(0, cut);
    std::string old_text = cut == std::string::npos ? std::string() : bytes.substr(cut + 1);
    velmora::Diff diff;
    try {
        std::istringstream in(diff_text);
        diff.read(in);
    } catch (const velmora::GenericError&) {
        return 0;
    }
    {
        std::istringstream old(old_text);
        diff.check(old);
    }
    try {
        std::istringstream old(old_text);
        std::ostringstream out;
        diff.apply(old, out);
    } catch (const velmora::GenericError&) { }
    diff.get_affected_lines();
    diff.check_conflicts(diff);
    // What was read is written back in a form that reads the same.
    std::ostringstream written;
    diff.write(written);
    velmora::Diff again;
    std::istringstream in(written.str());
    again.read(in);
    if (!(again.blocks == diff.blocks))
        __builtin_trap();
    return 0;
}
