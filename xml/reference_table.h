#ifndef VELMORA_XML_REFERENCE_TABLE_H
#define VELMORA_XML_REFERENCE_TABLE_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Which values of the game's XML files name something another record, a text
// file or an art define file must define: read from "references.txt". A value
// is a reference when it starts with a family's prefix (UNITCLASS_, TXT_KEY_)
// and the element holding it is not one of the fields the table exempts.
class ReferenceTable {
public:
    // Adds the lines of a table file, opened by its native name as given.
    // Nothing is added when the file cannot be read or has a line it does not
    // understand (GenericError naming the file and the line).
    void load(const std::string& filename);
    // Adds the lines of a table's text; `source` names it in messages.
    void add(const std::string& text, const std::string& source);

    // The family of a value that may be a reference: the longest family
    // prefix it starts with, when the rest is a name (letters, digits, '_');
    // empty for anything else, and for the names the table exempts.
    std::string_view family_of(std::string_view value) const;
    // Whether the text of element `name` in documents of `group` is never a reference.
    bool exempt_field(std::string_view group, std::string_view name) const;

    // Whether the keys of documents of `group` name constants rather than
    // records (GlobalDefines): they define no name a reference may point at.
    bool constants(std::string_view group) const { return constant_groups_.count(group) > 0; }

    bool empty() const { return families_.empty(); }
    // A hash of what the table holds: scans of names made with a table of
    // another digest may differ.
    std::uint64_t digest() const;

private:
    // The families by their first word ("TXT_" for TXT_KEY_), longest first.
    std::map<std::string, std::vector<std::string>, std::less<>> families_;
    std::set<std::string, std::less<>> exempt_names_;
    std::set<std::string, std::less<>> exempt_fields_; // "Group\tElement", "*\tElement"
    std::set<std::string, std::less<>> constant_groups_;
};

} // namespace velmora

#endif
