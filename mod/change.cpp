#include "mod/mod.h"

namespace velmora {

// The type's name in mod files and messages; a value outside the enumeration
// writes nothing.
template <> void fmtobject<Change::Type>::write(std::ostream& os) const
{
    switch (*value_) {
    case Change::DIFF:
        os << "diff";
        break;
    case Change::XML:
        os << "xml";
        break;
    case Change::WHOLE:
        os << "whole";
        break;
    }
}

} // namespace velmora
