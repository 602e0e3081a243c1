#ifndef VELMORA_MOD_CONFLICT_VIEW_H
#define VELMORA_MOD_CONFLICT_VIEW_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace xmlpp {
class DomParser;
class Element;
} // namespace xmlpp

namespace velmora {

// What a conflict check looks at in one xml change: the element names from the
// root down through the toplevel elements, and of the first element below them
// only what decides a conflict (the keys of its children, its text, or the
// element itself when it is opaque). It is small next to the parsed change, so
// a mod can keep one per change for all the pairs it is checked in.
struct ConflictView {
    struct Level {
        std::string name;
        int type; // an ElementType
    };

    // From the root down. The last level is the first element that is not a
    // toplevel one, or a toplevel element without element children.
    std::vector<Level> levels;

    // The GenericError that comparing the last level raises (a record without
    // its key, an element of a type that cannot be compared).
    std::string error;
    // Container or record: (key, element name) of each child, by key.
    std::vector<std::pair<std::string, std::string>> children;
    // For each child, in the same order: what removal_signature gives (""
    // unless all the change does to the child is remove): two changes that
    // remove the same do not conflict.
    std::vector<std::string> removals;
    // Set: the texts of the items it adds and of those it removes. Only an
    // item that one change adds and the other removes makes the order matter.
    std::vector<std::string> added;
    std::vector<std::string> removed;
    // Value: its text, when it has a text child.
    bool has_text = false;
    std::string text;
    // Opaque: the element, compared whole. `document` keeps it alive when the
    // view outlives the caller's document.
    const xmlpp::Element* opaque = nullptr;
    std::shared_ptr<const xmlpp::DomParser> document;
};

// The view of the change whose root element is root.
ConflictView make_conflict_view(xmlpp::Element* root);

// Returns when two changes of the same file do not conflict. Throws
// ConflictError naming a's element ("UnitInfo UNIT_X" for a record of a
// container, the element's name for a list, value or opaque element), and
// GenericError when the two cannot be compared. Two changes that touch the
// same child of a container or record conflict, unless both only remove the
// same from it; two changes of a set conflict when an item one adds is one
// the other removes.
void compare_conflict_views(const ConflictView& a, const ConflictView& b);

// The two elements' views compared: throws ConflictError as compare_conflict_views does.
void check_element_conflicts(xmlpp::Element* a, xmlpp::Element* b);

} // namespace velmora

#endif
