#include "base/format.h"

#include <memory>
#include <sstream>

#include "path/path.h"
#include "path/platform.h"

namespace velmora {
namespace detail {

FormatArg make_arg(const Path* p)
{
    FormatArg a{FormatArg::PathText};
    a.path = p;
    return a;
}

} // namespace detail

namespace {

void write_arg(std::string& out, const detail::FormatArg& a)
{
    switch (a.kind) {
    case detail::FormatArg::Chars:
        if (a.chars)
            out += a.chars;
        break;
    case detail::FormatArg::String:
        if (a.string)
            out += *a.string;
        break;
    case detail::FormatArg::PathText:
        // Messages are read by the user, who knows the paths of the system
        // they use; the backslash form is only how paths are stored.
        if (a.path)
            out += platform::native(*a.path);
        break;
    case detail::FormatArg::Signed:
    case detail::FormatArg::Unsigned:
        out += std::to_string(a.number);
        break;
    case detail::FormatArg::Object:
        if (a.object) {
            std::ostringstream os;
            a.object->write(os);
            out += os.str();
        }
        break;
    }
}

} // namespace

void format::build(const std::string& fmt, std::vector<detail::FormatArg>& args)
{
    // The "%O" objects are ours from here on, used or not.
    std::vector<std::unique_ptr<fmtobjbase>> owned;
    for (auto& a : args)
        if (a.kind == detail::FormatArg::Object)
            owned.emplace_back(a.object);

    std::string& out = *this;
    size_t next = 0;
    for (size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c != '%' || i + 1 == fmt.size()) {
            out += c;
            continue;
        }
        char conv = fmt[++i];
        switch (conv) {
        case '%':
            out += '%';
            break;
        case 's':
        case 'S':
        case 'd':
        case 'u':
        case 'O':
            if (next < args.size())
                write_arg(out, args[next++]);
            break;
        default: // not a conversion: copied as it stands
            out += '%';
            out += conv;
            break;
        }
    }
}

} // namespace velmora
