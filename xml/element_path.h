#ifndef VELMORA_XML_ELEMENT_PATH_H
#define VELMORA_XML_ELEMENT_PATH_H

#include <string>

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
std::string element_path(const xmlpp::Element* e);

// The document group of e: the local name of its top element without a leading
// "Civ4". The same group ElementInfoStorage::get_info takes from element_path(e).
std::string element_group(const xmlpp::Element* e);

} // namespace velmora

#endif
