#ifndef VELMORA_XML_ELEMENTS_H
#define VELMORA_XML_ELEMENTS_H

#include <list>
#include <map>
#include <string>
#include <utility>

namespace xmlpp {
class Element;
}

namespace velmora {

class TreeNode;

// The value children of a list or set element: (text, element), in document order.
typedef std::list<std::pair<std::string, xmlpp::Element*>> ElementList;
// The element children of a container or record by key. The pointers belong to
// the caller's document and must not outlive it.
typedef std::map<std::string, xmlpp::Element*> ElementMap;

// The ElementType of the element at an element path: the element table's entry
// when there is one, else the naming rules ('Civ4XInfos' TOPLEVEL, 'XInfos'
// CONTAINER, 'XInfo' OBJECT, anything else VALUE).
int get_element_type(const std::string& path);
// The same answer as get_element_type(element_path(e)), without building the path.
int get_element_type(const xmlpp::Element* e);

// The same answers for an element named `name` in documents of `group` (the
// root's name without "Civ4"), for readers that build no tree.
int get_element_type(const std::string& group, const std::string& name);
const char* get_object_key(const std::string& group, const std::string& name);

// The name of the key child of a record: the table's key word ("" for a line
// without one: an unkeyed record, matched by its name), "Type" for an unlisted
// 'XInfo', null otherwise. Valid as long as the table.
const char* get_object_key(const std::string& path);
const char* get_object_key(const xmlpp::Element* e);

// The text of e's first text child, unchanged; "" when it has none.
std::string element_text(const xmlpp::Element* e);

// The element children of a list or set, with their texts (an item without
// text reads as ""). Items must be values or opaque elements.
ElementList build_element_list(xmlpp::Element* e);

// The element children of a container or record by key: a keyed record by the
// text of its key child, anything else (unkeyed records too) by its element
// name. A repeated key gets "[1]", "[2]"... in document order; a numbered key
// that is already taken moves on to the next free number, so no child is lost.
ElementMap build_element_map(xmlpp::Element* e);

// Same element name, and the same attributes with the same values in any order.
// Children and text are not compared.
bool compare_elements(const xmlpp::Element* a, const xmlpp::Element* b);

// The equality of two opaque elements: names, attributes, texts and children in
// order, recursively. White space between elements, comments and processing
// instructions do not count; the text of an element without element children
// is compared exactly.
bool opaque_equal(const xmlpp::Element* a, const xmlpp::Element* b);
bool opaque_equal(TreeNode a, TreeNode b);

// Removes every child node of e; its attributes stay.
void clear_content(xmlpp::Element* e);
// Removes every child node of e that is not an element.
void remove_nonelements(xmlpp::Element* e);
// The first element child of e, or null.
xmlpp::Element* get_child_element(xmlpp::Element* e);

} // namespace velmora

#endif
