// Merging the elements of an xml change into the game's document, driven by
// the element table's types.
#include <libxml++/nodes/element.h>
#include <libxml/tree.h>

#include <cstring>
#include <unordered_map>

#include "base/errors.h"
#include "base/format.h"
#include "mod/mod.h"
#include "xml/element_info.h"
#include "xml/element_path.h"
#include "xml/elements.h"
#include "xml/schema.h"

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
    return std::strcmp(
               reinterpret_cast<const char*>(a->cobj()->name), reinterpret_cast<const char*>(b->cobj()->name))
        == 0;
}

bool has_element_children(const xmlpp::Element* e)
{
    for (const xmlNode* c = e->cobj()->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            return true;
    return false;
}

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

bool is_blank_text(const xmlNode* n)
{
    if (!n || n->type != XML_TEXT_NODE || !n->content)
        return false;
    for (const xmlChar* p = n->content; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return false;
    return true;
}

void replace_namespace(xmlNode* n, const xmlNs* from, xmlNs* to)
{
    for (; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE)
            continue;
        if (n->ns == from)
            n->ns = to;
        for (xmlAttr* a = n->properties; a; a = a->next)
            if (a->ns == from)
                a->ns = to;
        replace_namespace(n->children, from, to);
    }
}

// A copy from the change's document declares the namespaces it uses on
// itself; where the base declares the same one around it (the game's
// default namespace on the root), the copy uses that one, so that the game's
// file gains no declaration on every added element.
void adopt_namespaces(xmlNode* copy)
{
    xmlNs** link = &copy->nsDef;
    while (xmlNs* ns = *link) {
        xmlNs* outer = copy->parent ? xmlSearchNs(copy->doc, copy->parent, ns->prefix) : nullptr;
        if (!outer || !xmlStrEqual(outer->href, ns->href)) {
            link = &ns->next;
            continue;
        }
        if (copy->ns == ns)
            copy->ns = outer;
        for (xmlAttr* a = copy->properties; a; a = a->next)
            if (a->ns == ns)
                a->ns = outer;
        replace_namespace(copy->children, ns, outer);
        *link = ns->next;
        ns->next = nullptr;
        xmlFreeNs(ns);
    }
}

xmlNode* copy_of(const xmlpp::Element* c, xmlDoc* doc)
{
    xmlNode* copy = xmlDocCopyNode(const_cast<xmlNode*>(c->cobj()), doc, 1);
    if (!copy) {
        std::string name = c->get_name();
        throw GenericError(format("Cannot copy the element %S", &name));
    }
    return copy;
}

// Puts copy before `before`, a sibling element, with the indentation that
// stands before `before` repeated for it.
void insert_indented(xmlNode* copy, xmlNode* before)
{
    xmlNode* indent = is_blank_text(before->prev) ? before->prev : nullptr;
    xmlAddPrevSibling(before, copy);
    // Added after the element: a text node put next to another text node
    // would be merged into it.
    if (indent)
        if (xmlNode* again = xmlNewDocText(copy->doc, indent->content))
            xmlAddPrevSibling(before, again);
}

// Adds a deep copy of c (an element of the change's document) to parent:
// before `before` when given, else after parent's last element, indented as
// the children are.
void add_copy(xmlpp::Element* parent, const xmlpp::Element* c, xmlNode* before)
{
    refuse_ignored(c);
    xmlNode* p = parent->cobj();
    xmlNode* copy = copy_of(c, p->doc);
    xmlNode* last = xmlGetLastChild(p);
    while (last && last->type != XML_ELEMENT_NODE)
        last = last->prev;
    if (before) {
        insert_indented(copy, before);
    } else if (last && is_blank_text(last->next) && !last->next->next) {
        // Between the last element and the white space that closes the parent.
        xmlNode* closing = last->next;
        xmlAddPrevSibling(closing, copy);
        if (is_blank_text(last->prev))
            if (xmlNode* again = xmlNewDocText(copy->doc, last->prev->content))
                xmlAddPrevSibling(copy, again);
    } else {
        xmlAddChild(p, copy);
    }
    adopt_namespaces(copy);
}

// Appends a deep copy of c to parent.
void append_copy(xmlpp::Element* parent, const xmlpp::Element* c) { add_copy(parent, c, nullptr); }

// Adds a deep copy of c to parent where the schema orders it among parent's
// children (the game refuses a record whose fields are out of the schema's
// order), else at the end.
void add_in_order(xmlpp::Element* parent, const xmlpp::Element* c, const Schema* schema)
{
    add_copy(parent, c,
        schema ? schema->insertion_point(parent->cobj(), reinterpret_cast<const char*>(c->cobj()->name))
               : nullptr);
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
    xmlNode* old = base->cobj();
    xmlNode* copy = copy_of(change, old->doc);
    xmlReplaceNode(old, copy);
    adopt_namespaces(copy);
    // As Node::remove_child does: the C++ wrappers first, then the nodes.
    xmlpp::Node::free_wrappers(old);
    xmlFreeNode(old);
}

} // namespace

void Mod::apply_element(xmlpp::Element* base, xmlpp::Element* change, const Schema* schema) const
{
    if (!same_name(base, change))
        throw GenericError("Attempt to apply an element to a different element");
    switch (get_element_type(base)) {
    case TOPLEVEL: {
        xmlpp::Element* b = get_child_element(base);
        xmlpp::Element* c = get_child_element(change);
        if (!b || !c)
            throw GenericError("Toplevel element with no contents?");
        apply_element(b, c, schema);
        break;
    }
    case CONTAINER:
    case OBJECT:
        apply_object_element(base, change, schema);
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

void Mod::apply_object_element(xmlpp::Element* base, xmlpp::Element* change, const Schema* schema) const
{
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
    for (xmlNode* n = change->cobj()->children; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE)
            continue;
        xmlpp::Node::create_wrapper(n);
        auto* c = static_cast<xmlpp::Element*>(n->_private);
        auto key = keys.find(c);
        if (key == keys.end())
            continue;
        auto it = bmap.find(*key->second);
        if (it != bmap.end())
            apply_element(it->second, c, schema);
        else
            add_in_order(base, c, schema);
    }
}

void Mod::apply_list_element(xmlpp::Element* base, xmlpp::Element* change) const
{
    clear_content(base);
    for (xmlpp::Node* child : change->get_children())
        if (auto* c = dynamic_cast<xmlpp::Element*>(child))
            append_copy(base, c);
}

void Mod::apply_set_element(xmlpp::Element* base, xmlpp::Element* change) const
{
    for (xmlpp::Node* child : change->get_children())
        if (auto* c = dynamic_cast<xmlpp::Element*>(child))
            append_copy(base, c);
}

} // namespace velmora
