#include "xml/reference_table.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "xml/misc.h"

namespace velmora {

namespace {

bool name_char(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// A family prefix: a name that ends with its '_' ("UNIT_", "TXT_KEY_").
bool valid_prefix(const std::string& p)
{
    // The first word in capitals and digits, as family_of reads it.
    const std::size_t first = p.find('_');
    return p.size() > 1 && p.back() == '_' && p.front() >= 'A' && p.front() <= 'Z'
        && std::all_of(p.begin(), p.begin() + first,
            [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); })
        && std::all_of(p.begin(), p.end(), name_char);
}

std::string first_word(const std::string& s) { return s.substr(0, s.find('_') + 1); }

std::string field_key(std::string_view group, std::string_view name)
{
    std::string key(group);
    key += '\t';
    key += name;
    return key;
}

} // namespace

void ReferenceTable::load(const std::string& filename)
{
    std::ifstream in(filename, std::ios::binary);
    if (!in)
        throw GenericError(format("Cannot read the reference table %S.", &filename));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        throw GenericError(format("Cannot read the reference table %S.", &filename));
    add(text.str(), filename);
}

void ReferenceTable::add(const std::string& text, const std::string& source)
{
    ReferenceTable added = *this;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line[0] == '#')
            continue;
        const std::vector<std::string> words = split(line, " \t\r\n", false);
        if (words.empty())
            continue;
        const std::string& kind = words[0];
        if (kind == "family" && words.size() == 2 && valid_prefix(words[1])) {
            std::vector<std::string>& list = added.families_[first_word(words[1])];
            if (std::find(list.begin(), list.end(), words[1]) == list.end())
                list.push_back(words[1]);
            std::sort(list.begin(), list.end(),
                [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
        } else if (kind == "field" && words.size() == 3) {
            added.exempt_fields_.insert(field_key(words[1], words[2]));
        } else if (kind == "constants" && words.size() == 2) {
            added.constant_groups_.insert(words[1]);
        } else if (kind == "name" && words.size() == 2) {
            added.exempt_names_.insert(words[1]);
        } else {
            throw GenericError(format("Line %d of the reference table %S is not understood: \"%S\" (expected "
                                      "\"family PREFIX_\", \"field GROUP ELEMENT\", \"name NAME\" or \"constants GROUP\").",
                number, &source, &line));
        }
    }
    *this = std::move(added);
}

std::uint64_t ReferenceTable::digest() const
{
    Hasher h;
    h.add("families");
    for (const auto& [word, prefixes] : families_)
        for (const std::string& prefix : prefixes)
            h.add(word).add(prefix);
    for (const auto* set : {&exempt_names_, &exempt_fields_, &constant_groups_}) {
        h.add("set");
        for (const std::string& item : *set)
            h.add(item);
    }
    return h.value();
}

std::string_view ReferenceTable::family_of(std::string_view value) const
{
    // Most values are numbers, words or file names: the first word tells.
    std::size_t end = 0;
    while (end < value.size() && ((value[end] >= 'A' && value[end] <= 'Z') || (end > 0 && value[end] >= '0' && value[end] <= '9')))
        ++end;
    if (end == 0 || end >= value.size() || value[end] != '_')
        return {};
    const auto it = families_.find(value.substr(0, end + 1));
    if (it == families_.end())
        return {};
    for (const std::string& prefix : it->second) {
        // A bare prefix ("UNIT_") names nothing.
        if (value.size() > prefix.size() && value.compare(0, prefix.size(), prefix) == 0) {
            if (!std::all_of(value.begin() + prefix.size(), value.end(), name_char) || exempt_names_.count(value))
                return {};
            return prefix;
        }
    }
    return {};
}

bool ReferenceTable::exempt_field(std::string_view group, std::string_view name) const
{
    if (exempt_fields_.empty())
        return false;
    return exempt_fields_.count(field_key(group, name)) || exempt_fields_.count(field_key("*", name));
}

} // namespace velmora
