#include "mod/mod.h"

#include <cerrno>
#include <cstring>

#include "base/errors.h"
#include "base/hash.h"
#include "mod/change_errors.h"
#include "mod/removal.h"

namespace velmora {

namespace {

[[noreturn]] void throw_unreadable(const Change& change, int error)
{
    const std::string file = printable_name(change.file);
    throw GenericError(
        format("Cannot read back the bytes of '%S', kept in a temporary file since its mod was "
               "read: %s",
            &file, std::strerror(error)));
}

} // namespace

std::string Change::bytes() const
{
    if (!stored)
        return text;
    std::string out;
    if (!stored->read(out))
        throw_unreadable(*this, errno);
    return out;
}

void Change::read(const std::function<void(std::string_view)>& block) const
{
    if (!stored) {
        block(text);
        return;
    }
    if (!stored->read(block))
        throw_unreadable(*this, errno);
}

std::string Change::head(std::size_t n) const
{
    if (!stored)
        return text.substr(0, n);
    std::string out;
    if (!stored->read_head(n, out))
        throw_unreadable(*this, errno);
    return out;
}

bool Change::same_payload(const Change& other) const
{
    if (!stored && !other.stored)
        return text == other.text;
    if (size() != other.size())
        return false;
    // Equal hashes are read back to be sure: a wrong "same" would drop a mod's file silently.
    return payload_hash() == other.payload_hash() && bytes() == other.bytes();
}

void add_payload(Hasher& h, const Change& change)
{
    if (!change.stored) {
        h.add(change.text);
        return;
    }
    h.begin(change.size());
    change.read([&h](std::string_view block) { h.more(block); });
}

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

std::vector<std::string> Mod::removals(const Change& change) const { return change_removals(*this, change); }

} // namespace velmora
