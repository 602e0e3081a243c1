#ifndef VELMORA_XML_ELEMENT_INFO_H
#define VELMORA_XML_ELEMENT_INFO_H

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

namespace velmora {

// How an element of the game's XML may be merged. The numbers appear in
// messages, so they never change.
enum ElementType {
    TOPLEVEL = 0, // a document root wrapping one significant element
    CONTAINER = 1, // a collection of records, matched by key
    OBJECT = 2, // a record, its fields matched by name
    LIST = 3, // ordered values: a change replaces the whole list
    SET = 4, // unordered values: changes add items
    VALUE = 5, // a leaf compared as text (never read from the table)
    IGNORE = 6, // left out of mods; merging refuses it
    OPAQUE = 7, // one value made of its whole content (see opaque_equal)
};

// One line of "elements.txt".
struct ElementInfo {
    std::string root; // document group: the root's name without its "Civ4" prefix
    std::string name; // element name
    int type; // an ElementType
    std::string key; // name of a record's key child; empty when the line has none
};

// The element table: filled from "elements.txt" at start-up, read afterwards.
class ElementInfoStorage {
public:
    static ElementInfoStorage& instance();

    // Appends the entries of a table file, opened by its native name as given.
    // Nothing is added when the file cannot be read or has a line with an
    // unknown type word (GenericError naming the line).
    void load(const std::string& filename);

    // The first entry for the document group and element name of an element
    // path ('/Civ4XInfos/XInfos/XInfo[3]' looks up group 'XInfos', name
    // 'XInfo'), or null. Throws GenericError for a path not starting with "/".
    const ElementInfo* get_info(const std::string& path) const;

    // The first entry for a group and an element name, or null.
    const ElementInfo* find(const std::string& group, const std::string& name) const;

    // A hash of every entry in order: two tables with the same digest merge
    // alike, so what was built with one need not be built again with the other.
    std::uint64_t digest() const;

    // Empties the table. For tests only: it invalidates every pointer that
    // get_info and get_object_key handed out.
    void clear();

private:
    ElementInfoStorage() = default;

    std::list<ElementInfo> infos_;
    // group + '\t' + name -> first entry with them; names never hold blanks.
    std::unordered_map<std::string, const ElementInfo*> index_;
};

// The document group of a root element name: the name without a leading "Civ4".
std::string group_of_root(const std::string& root_name);

} // namespace velmora

#endif
