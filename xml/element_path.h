#ifndef VELMORA_XML_ELEMENT_PATH_H
#define VELMORA_XML_ELEMENT_PATH_H

#include <libxml/tree.h>

#include <string>
#include <string_view>
#include <unordered_map>

namespace xmlpp {
class Element;
}

namespace velmora {

// The element path of e: '/Civ4UnitInfos/UnitInfos/UnitInfo[3]/Type'. Every
// element from the top one down, by its local name (namespaces and prefixes play
// no part), with a 1-based index among the same-named element siblings after a
// component that has such siblings. libxml2's own node path cannot be used: in a
// document with a default namespace, as the game's files have, it names every
// element '*'.
//
// Alone, a path costs a walk over the siblings of every element on the way up
// (the index among same-named siblings cannot be known without counting them):
// building the path of every record of a large container that way is quadratic.
// ElementPaths below gives the same paths at one lookup per level.
std::string element_path(const xmlpp::Element* e);

// The element paths of one document, with each parent's element children numbered
// the first time one of them is on a path: the path of an element then costs one
// lookup per level, and the paths of all the elements of a document cost time
// linear in its size. The numbers are not kept up to date: use one ElementPaths
// only while no element is added, removed, moved or renamed in the document
// (libxml2 gives no notice of such changes), e.g. for the paths of a document
// read for a report or checked before it is changed.
class ElementPaths {
public:
    std::string path(const xmlpp::Element* e);

private:
    unsigned index(const xmlNode* n);
    void number_children(const xmlNode* parent);

    // The sibling index of each numbered element (0: no same-named sibling).
    std::unordered_map<const xmlNode*, unsigned> index_;
    struct NameCount {
        unsigned total = 0;
        unsigned seen = 0;
    };
    std::unordered_map<std::string_view, NameCount> names_; // scratch for number_children
};

// The document group of e: the local name of its top element without a leading
// "Civ4". The same group ElementInfoStorage::get_info takes from element_path(e).
std::string element_group(const xmlpp::Element* e);

} // namespace velmora

#endif
