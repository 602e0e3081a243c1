#ifndef VELMORA_TESTS_DIFF_DIFF_SUPPORT_H
#define VELMORA_TESTS_DIFF_DIFF_SUPPORT_H

#include <initializer_list>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "diff/diff.h"

namespace velmora {

// Readable failures: a block prints as its difference text.
inline void PrintTo(const Diff::Block& b, std::ostream* os)
{
    Diff d;
    d.blocks.push_back(b);
    d.write(*os);
}

namespace test {

// The text of the given lines, each ended by a line feed.
inline std::string lines(std::initializer_list<std::string> list)
{
    std::string out;
    for (const std::string& l : list)
        out += l + '\n';
    return out;
}

// "<prefix><from>\n" ... "<prefix><to - 1>\n": a file of distinct lines.
inline std::string numbered(unsigned int from, unsigned int to, const std::string& prefix = "l")
{
    std::string out;
    for (unsigned int n = from; n < to; ++n)
        out += prefix + std::to_string(n) + '\n';
    return out;
}

inline Diff read_diff(const std::string& text)
{
    std::istringstream in(text);
    Diff d;
    d.read(in);
    return d;
}

inline std::string write_diff(const Diff& d)
{
    std::ostringstream out;
    d.write(out);
    return out.str();
}

inline Diff create_diff(const std::string& old_text, const std::string& new_text)
{
    std::istringstream o(old_text);
    std::istringstream n(new_text);
    Diff d;
    d.create(o, n);
    return d;
}

inline int check_diff(const Diff& d, const std::string& text)
{
    std::istringstream in(text);
    return d.check(in);
}

inline std::string apply_diff(const Diff& d, const std::string& text)
{
    std::istringstream in(text);
    std::ostringstream out;
    d.apply(in, out);
    return out.str();
}

} // namespace test
} // namespace velmora

#endif
