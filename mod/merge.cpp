// Merging the elements of an xml change into the game's document, driven by
// the element table's types.
#include <libxml++/nodes/element.h>
#include <libxml/tree.h>

#include <cstring>

#include "base/errors.h"
#include "base/format.h"
#include "mod/mod.h"
#include "xml/element_info.h"
#include "xml/element_path.h"
#include "xml/elements.h"

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

// Appends a deep copy of c (an element of the change's document) to parent.
void append_copy(xmlpp::Element* parent, const xmlpp::Element* c)
{
    refuse_ignored(c);
    parent->import_node(c, true);
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
    xmlNode* copy = xmlDocCopyNode(const_cast<xmlNode*>(change->cobj()), old->doc, 1);
    if (!copy) {
        std::string name = base->get_name();
        throw GenericError(format("Cannot copy the element %S", &name));
    }
    xmlReplaceNode(old, copy);
    // As Node::remove_child does: the C++ wrappers first, then the nodes.
    xmlpp::Node::free_wrappers(old);
    xmlFreeNode(old);
}

} // namespace

void Mod::apply_element(xmlpp::Element* base, xmlpp::Element* change) const
{
    if (!same_name(base, change))
        throw GenericError("Attempt to apply an element to a different element");
    switch (get_element_type(base)) {
    case TOPLEVEL: {
        xmlpp::Element* b = get_child_element(base);
        xmlpp::Element* c = get_child_element(change);
        if (!b || !c)
            throw GenericError("Toplevel element with no contents?");
        apply_element(b, c);
        break;
    }
    case CONTAINER:
    case OBJECT:
        apply_object_element(base, change);
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

void Mod::apply_object_element(xmlpp::Element* base, xmlpp::Element* change) const
{
    // Each map is built once per merge, so a container of thousands of
    // records is merged in n log n.
    const ElementMap bmap = build_element_map(base);
    const ElementMap cmap = build_element_map(change);
    for (const auto& [key, c] : cmap) {
        auto it = bmap.find(key);
        if (it != bmap.end())
            apply_element(it->second, c);
        else
            append_copy(base, c);
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
