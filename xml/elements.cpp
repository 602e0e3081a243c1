#include "xml/elements.h"

#include <libxml++/nodes/element.h>
#include <libxml++/nodes/textnode.h>
#include <libxml/tree.h>

#include <cstring>
#include <vector>

#include "base/errors.h"
#include "base/format.h"
#include "xml/element_info.h"
#include "xml/element_path.h"
#include "xml/misc.h"
#include "xml/tree.h"

namespace velmora {

namespace {

bool starts_with(const std::string& s, const char* prefix)
{
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

bool ends_with(const std::string& s, const char* suffix)
{
    std::string::size_type n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// The naming rules for elements the table does not list.
int type_by_name(const std::string& name)
{
    bool civ4 = starts_with(name, "Civ4");
    if (name.size() > 9 && civ4 && ends_with(name, "Infos"))
        return TOPLEVEL;
    if (name.size() > 5 && !civ4 && ends_with(name, "Infos"))
        return CONTAINER;
    if (name.size() > 4 && !civ4 && ends_with(name, "Info"))
        return OBJECT;
    return VALUE;
}

const char* key_by_name(const std::string& name) { return type_by_name(name) == OBJECT ? "Type" : nullptr; }

const char* text_of(const xmlChar* s) { return s ? reinterpret_cast<const char*>(s) : ""; }

const ElementInfo* lookup(const xmlpp::Element* e)
{
    return ElementInfoStorage::instance().find(element_group(e), e->get_name());
}

// The first child element of e with that local name.
xmlpp::Element* child_named(xmlpp::Element* e, const std::string& name)
{
    // Byte comparison on the library's own nodes: get_children(name) compares
    // through Glib's Unicode strings and builds a list of every match.
    for (xmlNode* child = e->cobj()->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE || std::strcmp(reinterpret_cast<const char*>(child->name), name.c_str()) != 0)
            continue;
        xmlpp::Node::create_wrapper(child);
        return static_cast<xmlpp::Element*>(child->_private);
    }
    return nullptr;
}

// The key of one child in a container's or record's map, before numbering;
// group is the child's document group.
std::string key_of(xmlpp::Element* c, const std::string& group)
{
    std::string name = text_of(c->cobj()->name);
    const ElementInfo* info = ElementInfoStorage::instance().find(group, name);
    if ((info ? info->type : type_by_name(name)) != OBJECT)
        return name;
    const char* key = info ? info->key.c_str() : key_by_name(name);
    if (!key)
        throw GenericError("Don't know key for object " + name);
    // A record listed without a key word is matched by its name, like a field.
    if (!*key)
        return name;
    xmlpp::Element* key_element = child_named(c, key);
    if (!key_element)
        throw GenericError("No key found for object " + name);
    // The game's data has records whose key element is empty: "" is their key.
    return element_text(key_element);
}

void insert_numbered(
    ElementMap& map, std::map<std::string, unsigned>& seen, const std::string& key, xmlpp::Element* c)
{
    unsigned& count = seen[key];
    std::string numbered = count == 0 ? key : key + format("[%u]", count);
    ++count;
    // A record whose own key reads like a numbered one ('A[1]') can take the
    // number a repeated key would get; the repeated one moves on.
    while (map.count(numbered)) {
        numbered = key + format("[%u]", count);
        ++count;
    }
    map.emplace(numbered, c);
}

bool same_namespace(const xmlAttr* a, const xmlAttr* b)
{
    if (!a->ns || !b->ns)
        return !a->ns && !b->ns;
    return std::strcmp(text_of(a->ns->href), text_of(b->ns->href)) == 0;
}

std::string attribute_value(const xmlAttr* attr)
{
    xmlChar* value = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(attr));
    std::string result = text_of(value);
    xmlFree(value);
    return result;
}

bool same_attributes(const xmlNode* a, const xmlNode* b)
{
    unsigned count_a = 0, count_b = 0;
    for (const xmlAttr* q = b->properties; q; q = q->next)
        ++count_b;
    for (const xmlAttr* p = a->properties; p; p = p->next) {
        ++count_a;
        const xmlAttr* q = b->properties;
        while (q && (std::strcmp(text_of(p->name), text_of(q->name)) != 0 || !same_namespace(p, q)))
            q = q->next;
        if (!q || attribute_value(p) != attribute_value(q))
            return false;
    }
    return count_a == count_b;
}

// One significant child of an opaque element: an element, or a run of text.
struct Part {
    const xmlNode* element;
    std::string text;
};

std::vector<Part> significant_children(const xmlNode* n)
{
    std::vector<Part> parts;
    bool has_elements = false;
    auto add_text = [&parts](const std::string& text) {
        if (parts.empty() || parts.back().element)
            parts.push_back({nullptr, std::string()});
        parts.back().text += text;
    };
    for (const xmlNode* c = n->children; c; c = c->next) {
        switch (c->type) {
        case XML_ELEMENT_NODE:
            parts.push_back({c, std::string()});
            has_elements = true;
            break;
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            add_text(text_of(c->content));
            break;
        case XML_ENTITY_REF_NODE:
            add_text(std::string("&") + text_of(c->name) + ";");
            break;
        default: // comments and processing instructions carry no data
            break;
        }
    }
    if (has_elements) {
        std::vector<Part> kept;
        for (Part& p : parts)
            if (p.element || p.text.find_first_not_of(" \t\r\n") != std::string::npos)
                kept.push_back(std::move(p));
        parts.swap(kept);
    }
    return parts;
}

// Recursion depth is bounded by the parser's nesting limit.
bool equal_nodes(const xmlNode* a, const xmlNode* b)
{
    if (std::strcmp(text_of(a->name), text_of(b->name)) != 0 || !same_attributes(a, b))
        return false;
    std::vector<Part> pa = significant_children(a);
    std::vector<Part> pb = significant_children(b);
    if (pa.size() != pb.size())
        return false;
    for (std::vector<Part>::size_type i = 0; i < pa.size(); ++i) {
        if (!pa[i].element != !pb[i].element)
            return false;
        if (pa[i].element ? !equal_nodes(pa[i].element, pb[i].element) : pa[i].text != pb[i].text)
            return false;
    }
    return true;
}

} // namespace

int get_element_type(const std::string& path)
{
    if (const ElementInfo* info = ElementInfoStorage::instance().get_info(path))
        return info->type;
    return type_by_name(basename_from_path(path));
}

int get_element_type(const xmlpp::Element* e)
{
    if (const ElementInfo* info = lookup(e))
        return info->type;
    return type_by_name(e->get_name());
}

int get_element_type(const std::string& group, const std::string& name)
{
    if (const ElementInfo* info = ElementInfoStorage::instance().find(group, name))
        return info->type;
    return type_by_name(name);
}

const char* get_object_key(const std::string& group, const std::string& name)
{
    if (const ElementInfo* info = ElementInfoStorage::instance().find(group, name))
        return info->key.c_str();
    return key_by_name(name);
}

const char* get_object_key(const std::string& path)
{
    if (const ElementInfo* info = ElementInfoStorage::instance().get_info(path))
        return info->key.c_str();
    return key_by_name(basename_from_path(path));
}

const char* get_object_key(const xmlpp::Element* e)
{
    if (const ElementInfo* info = lookup(e))
        return info->key.c_str();
    return key_by_name(e->get_name());
}

std::string element_text(const xmlpp::Element* e)
{
    const xmlpp::TextNode* text = e->get_child_text();
    return text ? std::string(text->get_content()) : std::string();
}

ElementList build_element_list(xmlpp::Element* e)
{
    int type = get_element_type(e);
    if (type != LIST && type != SET) {
        std::string name = e->get_name();
        throw GenericError(format("Attempt to build list of element %S with type %d", &name, type));
    }
    ElementList list;
    for (xmlpp::Node* child : e->get_children()) {
        auto* c = dynamic_cast<xmlpp::Element*>(child);
        if (!c)
            continue;
        int child_type = get_element_type(c);
        if (child_type != VALUE && child_type != OPAQUE)
            throw GenericError("Non-value element " + c->get_name() + " when building element list");
        // Empty items (padding such as <BonusType/>) occur in the game's data.
        list.emplace_back(element_text(c), c);
    }
    return list;
}

ElementMap build_element_map(xmlpp::Element* e)
{
    int type = get_element_type(e);
    if (type != CONTAINER && type != OBJECT) {
        std::string name = e->get_name();
        throw GenericError(format("Attempt to build map of element %S with type %d", &name, type));
    }
    ElementMap map;
    std::map<std::string, unsigned> seen;
    // The children's group is e's: looked up once, and the children reached
    // through libxml2, not through a wrapper for every node between them.
    const std::string group = element_group(e);
    for (xmlNode* child = e->cobj()->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE)
            continue;
        xmlpp::Node::create_wrapper(child);
        auto* c = static_cast<xmlpp::Element*>(child->_private);
        insert_numbered(map, seen, key_of(c, group), c);
    }
    return map;
}

bool compare_elements(const xmlpp::Element* a, const xmlpp::Element* b)
{
    // As bytes: Glib::ustring's == collates by the locale.
    return xmlStrEqual(a->cobj()->name, b->cobj()->name) && same_attributes(a->cobj(), b->cobj());
}

bool opaque_equal(const xmlpp::Element* a, const xmlpp::Element* b)
{
    return equal_nodes(a->cobj(), b->cobj());
}

bool opaque_equal(TreeNode a, TreeNode b) { return equal_nodes(a.cobj(), b.cobj()); }

void clear_content(xmlpp::Element* e)
{
    for (xmlpp::Node* child : e->get_children())
        e->remove_child(child);
}

void remove_nonelements(xmlpp::Element* e)
{
    for (xmlpp::Node* child : e->get_children())
        if (!dynamic_cast<xmlpp::Element*>(child))
            e->remove_child(child);
}

xmlpp::Element* get_child_element(xmlpp::Element* e)
{
    for (xmlpp::Node* child : e->get_children())
        if (auto* element = dynamic_cast<xmlpp::Element*>(child))
            return element;
    return nullptr;
}

} // namespace velmora
