#ifndef VELMORA_MOD_MERGE_H
#define VELMORA_MOD_MERGE_H

namespace xmlpp {
class Element;
}

namespace velmora {

struct RemovalLog;
class Schema;

// The merges of a change's element into the base's, driven by the element
// table's types. With a schema, added elements go where its content models
// order them; without, at the end. The change's removals (see removal.h)
// take out the base's element of the same key, or one equal set item; one
// whose target the base lacks removes nothing, and `log` (when given) hears
// of it. The change's document may be altered.
void apply_element(
    xmlpp::Element* base, xmlpp::Element* change, const Schema* schema = nullptr, RemovalLog* log = nullptr);
// A record or a container of records: children matched by their keys.
void apply_object_element(
    xmlpp::Element* base, xmlpp::Element* change, const Schema* schema = nullptr, RemovalLog* log = nullptr);
// A list: the change's items replace the base's whole.
void apply_list_element(xmlpp::Element* base, xmlpp::Element* change);
// A set: the change's items are added, and those marked removed taken out.
void apply_set_element(xmlpp::Element* base, xmlpp::Element* change);

} // namespace velmora

#endif
