// Merging the elements of an xml change into the game's document, driven by
// the element table's types.
#include <libxml++/nodes/element.h>

#include <cstring>
#include <unordered_map>

#include "base/errors.h"
#include "base/format.h"
#include "mod/merge.h"
#include "mod/removal.h"
#include "xml/element_info.h"
#include "xml/element_path.h"
#include "xml/elements.h"
#include "xml/schema.h"
#include "xml/tree.h"

namespace velmora {

namespace {

[[noreturn]] void unknown_type(const xmlpp::Element* e)
{
    std::string name = e->get_name();
    throw GenericError(format("Don't know type of element %S", &name));
}

// Names compared byte for byte: Glib::ustring's comparison collates, which is
// slow and calls differently spelled names equal.
bool same_name(const xmlpp::Element* a, const xmlpp::Element* b)
{
    return std::strcmp(TreeNode(a).name(), TreeNode(b).name()) == 0;
}

bool has_element_children(const xmlpp::Element* e) { return TreeNode(e).has_element_children(); }

// Elements the table types "ignore" are left to the game: merging refuses
// them wherever the change holds them, not only where the base has them too.
void refuse_ignored(const xmlpp::Element* e)
{
    if (get_element_type(e) == IGNORE)
        unknown_type(e);
    for (const xmlpp::Node* child : e->get_children())
        if (const auto* c = dynamic_cast<const xmlpp::Element*>(child))
            refuse_ignored(c);
}

[[noreturn]] void misplaced_removal(const xmlpp::Element* e, const char* why)
{
    std::string path = element_path(e);
    throw GenericError(format("The removal mark on %S cannot be applied: %s", &path, why));
}

// A list or an opaque element is replaced whole: a mark inside it would be
// copied into the game's file.
void refuse_removals_in(const xmlpp::Element* e, const char* why)
{
    for (TreeNode c = TreeNode(e).first_child(); c; c = c.next())
        if (c.is_element() && holds_removal(c))
            misplaced_removal(c.element(), why);
}

// Adds a deep copy of c (an element of the change's document) to parent:
// before `before` when given, else after parent's last element, indented as
// the children are. Removals in c are left out (what they name is not
// there), and so is c when it holds nothing else: false then.
bool add_copy(xmlpp::Element* parent, const xmlpp::Element* c, TreeNode before)
{
    refuse_ignored(c);
    const TreeNode p(parent);
    const TreeNode copy = copy_to_document(c, p);
    // The copy is typed by the name of the top element of c's document.
    if (holds_removal(TreeNode(c)) && drop_removals(copy, TreeNode(c).top().name())) {
        free_detached(copy);
        return false;
    }
    forget_removal_namespace(copy);
    if (before)
        insert_indented(copy, before);
    else
        append_indented(p, copy);
    adopt_namespaces(copy);
    return true;
}

// Appends a deep copy of c to parent.
void append_copy(xmlpp::Element* parent, const xmlpp::Element* c) { add_copy(parent, c, TreeNode()); }

// Adds a deep copy of c to parent where the schema orders it among parent's
// children (the game refuses a record whose fields are out of the schema's
// order), else at the end. False when c held nothing but removals.
bool add_in_order(xmlpp::Element* parent, const xmlpp::Element* c, const Schema* schema)
{
    return add_copy(
        parent, c, schema ? schema->insertion_point(TreeNode(parent), TreeNode(c).name()) : TreeNode());
}


// The key of a child of a container or record, as build_element_map gives
// it before numbering.
std::string key_in_parent(const xmlpp::Element* e)
{
    if (get_element_type(e) == OBJECT)
        if (const char* key = get_object_key(e); key && *key)
            for (TreeNode c = TreeNode(e).first_child(); c; c = c.next())
                if (c.is_element() && std::strcmp(c.name(), key) == 0)
                    return element_text(c.element());
    return e->get_name();
}

// The keys from the collection of the file's records (the first element
// that is not a top-level one) down to parent, then key.
std::vector<std::string> place_of(xmlpp::Element* parent, const std::string& key)
{
    std::vector<std::string> place{key};
    for (xmlpp::Element* e = parent; e; e = e->get_parent()) {
        xmlpp::Element* up = e->get_parent();
        if (!up || get_element_type(up) == TOPLEVEL)
            break;
        place.insert(place.begin(), key_in_parent(e));
    }
    return place;
}

bool is_keyed_record(const xmlpp::Element* e)
{
    if (get_element_type(e) != OBJECT)
        return false;
    const char* key = get_object_key(e);
    return key && *key;
}

// The one item of a set that a removal names: the last equal one, so that
// the items before it keep their places.
TreeNode item_to_remove(xmlpp::Element* base, xmlpp::Element* removal)
{
    const TreeNode r(removal);
    const bool structured = has_element_children(removal);
    const std::string text = element_text(removal);
    TreeNode found;
    for (TreeNode n = TreeNode(base).first_child(); n; n = n.next()) {
        if (!n.is_element() || std::strcmp(n.name(), r.name()) != 0)
            continue;
        auto* item = n.element();
        if (structured ? opaque_equal(n, r) : !has_element_children(item) && element_text(item) == text)
            found = n;
    }
    return found;
}

void set_value(xmlpp::Element* base, xmlpp::Element* change)
{
    // Setting the text of an element that holds elements would drop the mod's
    // elements, or overwrite the white space between the base's, without a word.
    if (has_element_children(base) || has_element_children(change)) {
        std::string path = element_path(base);
        throw GenericError(format("The element %S holds other elements, but the element table gives it no "
                                  "type that merges them (add a line for it to elements.txt)",
            &path));
    }
    base->set_child_text(element_text(change));
}

// Puts a copy of change where base is, in the same place among its siblings
// (the game's schemas fix the order of a record's fields), and frees base.
void replace_element(xmlpp::Element* base, const xmlpp::Element* change)
{
    refuse_removals_in(change, "an opaque element is replaced whole, with what the change gives");
    const TreeNode old(base);
    const TreeNode copy = copy_to_document(change, old);
    forget_removal_namespace(copy);
    replace_node(old, copy);
    adopt_namespaces(copy);
}

} // namespace

void apply_element(xmlpp::Element* base, xmlpp::Element* change, const Schema* schema, RemovalLog* log)
{
    if (!same_name(base, change))
        throw GenericError("Attempt to apply an element to a different element");
    // Marks that a record's or a set's merge takes are not seen here.
    if (is_removal(change))
        misplaced_removal(change, "only a record, a field or a set item can be removed");
    switch (get_element_type(base)) {
    case TOPLEVEL: {
        xmlpp::Element* b = get_child_element(base);
        xmlpp::Element* c = get_child_element(change);
        if (!b || !c)
            throw GenericError("Toplevel element with no contents?");
        apply_element(b, c, schema, log);
        break;
    }
    case CONTAINER:
    case OBJECT:
        apply_object_element(base, change, schema, log);
        break;
    case LIST:
        apply_list_element(base, change);
        break;
    case SET:
        apply_set_element(base, change);
        break;
    case VALUE:
        set_value(base, change);
        break;
    case OPAQUE:
        replace_element(base, change);
        break;
    default:
        unknown_type(base);
    }
}

void apply_object_element(xmlpp::Element* base, xmlpp::Element* change, const Schema* schema, RemovalLog* log)
{
    const bool record = get_element_type(base) == OBJECT;
    const char* key_name = record ? get_object_key(base) : nullptr;
    // Each map is built once per merge, so a container of thousands of
    // records is merged in n log n.
    const ElementMap bmap = build_element_map(base);
    const ElementMap cmap = build_element_map(change);
    std::unordered_map<const xmlpp::Element*, const std::string*> keys;
    keys.reserve(cmap.size());
    for (const auto& [key, c] : cmap)
        keys.emplace(c, &key);
    // In the change's order: the game uses some records by their position
    // (eras, game speeds, world sizes), so new records keep the mod's order.
    for (TreeNode n = TreeNode(change).first_child(); n; n = n.next()) {
        if (!n.is_element())
            continue;
        auto* c = n.element();
        auto key = keys.find(c);
        if (key == keys.end())
            continue;
        auto it = bmap.find(*key->second);
        const bool there = it != bmap.end();
        if (is_removal(c)) {
            if (key_name && *key_name && std::strcmp(n.name(), key_name) == 0)
                misplaced_removal(c, "the key of a record cannot be removed, only the record");
            if (there) {
                if (log)
                    log->removed.push_back(place_of(base, *key->second));
                remove_indented(TreeNode(it->second));
            } else if (log && is_keyed_record(c)) {
                log->missing.push_back({place_of(base, *key->second), true});
            }
        } else if (there) {
            apply_element(it->second, c, schema, log);
        } else if (!add_in_order(base, c, schema) && log && is_keyed_record(c)) {
            // Removals in a record the file lacks: nothing to remove them from.
            log->missing.push_back({place_of(base, *key->second), false});
        }
    }
}

void apply_list_element(xmlpp::Element* base, xmlpp::Element* change)
{
    refuse_removals_in(change, "a list is replaced whole: give the list without the item instead");
    clear_content(base);
    for (xmlpp::Node* child : change->get_children())
        if (auto* c = dynamic_cast<xmlpp::Element*>(child))
            append_copy(base, c);
}

void apply_set_element(xmlpp::Element* base, xmlpp::Element* change)
{
    for (xmlpp::Node* child : change->get_children()) {
        auto* c = dynamic_cast<xmlpp::Element*>(child);
        if (!c)
            continue;
        if (!is_removal(c)) {
            refuse_removals_in(c, "only a whole item of a set can be removed");
            append_copy(base, c);
            continue;
        }
        // The item as the game's file has it, without the mark; an item
        // already gone (an earlier mod removed it) is no error.
        remove_namespaced_attribute(TreeNode(c), removal_namespace, "remove");
        if (const TreeNode item = item_to_remove(base, c))
            remove_indented(item);
    }
}

} // namespace velmora
