#include "mod/removal.h"

#include <libxml++/document.h>
#include <libxml++/nodes/element.h>
#include <libxml++/parsers/domparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cstring>

#include "base/errors.h"
#include "base/format.h"
#include "mod/change_errors.h"
#include "mod/mod.h"
#include "xml/element_info.h"
#include "xml/elements.h"

namespace velmora {

const char* const removal_namespace = "urn:velmora:change";

namespace {

const char* const mark_name = "remove";
const char* const mark_prefix = "velmora";

const char* text_of(const xmlChar* s) { return s ? reinterpret_cast<const char*>(s) : ""; }

bool is_element(const xmlNode* n) { return n->type == XML_ELEMENT_NODE; }

bool in_our_namespace(const xmlAttr* a)
{
    return a->ns && a->ns->href && std::strcmp(text_of(a->ns->href), removal_namespace) == 0;
}

std::string attribute_value(const xmlAttr* a)
{
    std::string value;
    for (const xmlNode* t = a->children; t; t = t->next)
        if (t->type == XML_TEXT_NODE)
            value += text_of(t->content);
    return value;
}

xmlpp::Element* wrapper(const xmlNode* n)
{
    auto* node = const_cast<xmlNode*>(n);
    xmlpp::Node::create_wrapper(node);
    return static_cast<xmlpp::Element*>(node->_private);
}

// The element table's answer for an element named `name` in a document
// whose top element is named `top`: an element need not be in a document.
struct Kind {
    int type;
    const char* key;
};

Kind kind_of(const std::string& top, const char* name)
{
    const std::string path = "/" + top + "/" + name;
    return {get_element_type(path), get_object_key(path)};
}

bool is_blank_text(const xmlNode* n)
{
    if (!n || n->type != XML_TEXT_NODE)
        return false;
    for (const char* p = text_of(n->content); *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return false;
    return true;
}


bool drop_below(xmlNode* e, const std::string& top)
{
    if (is_removal(e))
        return true;
    bool held = false;
    for (xmlNode* c = e->children; c;) {
        xmlNode* next = c->next;
        if (is_element(c) && holds_removal(c)) {
            held = true;
            if (drop_below(c, top))
                remove_indented(c);
        }
        c = next;
    }
    if (!held)
        return false;
    const Kind kind = kind_of(top, text_of(e->name));
    const char* key = kind.type == OBJECT && kind.key ? kind.key : "";
    for (const xmlNode* c = e->children; c; c = c->next)
        if (is_element(c) && (!*key || std::strcmp(text_of(c->name), key) != 0))
            return false;
    return true;
}

// e's content for comparing: name, mark, text or children (sorted: their
// order means nothing to a removal).
std::string signature_text(const xmlNode* e)
{
    std::string s = std::string("<") + text_of(e->name) + (is_removal(e) ? " removed>" : ">");
    std::vector<std::string> children;
    std::string text;
    for (const xmlNode* c = e->children; c; c = c->next) {
        if (is_element(c))
            children.push_back(signature_text(c));
        else if (c->type == XML_TEXT_NODE && text.empty())
            text = text_of(c->content);
    }
    std::sort(children.begin(), children.end());
    if (children.empty())
        s += text;
    for (const std::string& c : children)
        s += c;
    return s + "</>";
}

bool only_removals(const xmlpp::Element* e)
{
    if (is_removal(e))
        return true;
    const int type = get_element_type(e);
    if (type != CONTAINER && type != OBJECT && type != SET)
        return false;
    const char* key = type == OBJECT ? get_object_key(e) : nullptr;
    bool any = false;
    for (const xmlNode* c = e->cobj()->children; c; c = c->next) {
        if (!is_element(c))
            continue;
        if (key && *key && std::strcmp(text_of(c->name), key) == 0)
            continue;
        if (type == SET ? !is_removal(c) : !only_removals(wrapper(c)))
            return false;
        any = true;
    }
    return any;
}

void describe(xmlpp::Element* e, std::vector<std::string>& path, std::vector<std::string>& lines)
{
    const int type = get_element_type(e);
    switch (type) {
    case TOPLEVEL:
        if (xmlpp::Element* child = get_child_element(e))
            describe(child, path, lines);
        return;
    case CONTAINER:
    case OBJECT: {
        ElementMap map;
        try {
            map = build_element_map(e);
        } catch (const GenericError&) {
            return;
        }
        for (const auto& [key, c] : map) {
            if (is_removal(c)) {
                lines.push_back(removal_line(path, e->get_name(), key));
                continue;
            }
            path.push_back(key);
            describe(c, path, lines);
            path.pop_back();
        }
        return;
    }
    case SET:
        for (const xmlNode* c = e->cobj()->children; c; c = c->next)
            if (is_element(c) && is_removal(c))
                lines.push_back(removal_line(
                    path, e->get_name(), removed_item_name(element_text(wrapper(c)), text_of(c->name))));
        return;
    default:
        return;
    }
}

} // namespace

bool is_removal(const xmlNode* e)
{
    bool marked = false;
    for (const xmlAttr* a = e->properties; a; a = a->next) {
        if (!in_our_namespace(a))
            continue;
        const std::string element = text_of(e->name);
        const std::string name = text_of(a->name);
        if (name != mark_name)
            throw GenericError(format("The element <%S> of the change has the attribute %S in Velmora's "
                                      "namespace, which only knows \"remove\"",
                &element, &name));
        const std::string value = attribute_value(a);
        if (value != "1")
            throw GenericError(format("The element <%S> of the change has remove=\"%S\" in Velmora's "
                                      "namespace: a removal is marked with the value 1",
                &element, &value));
        marked = true;
    }
    return marked;
}

bool is_removal(const xmlpp::Element* e) { return is_removal(e->cobj()); }

void mark_removal(xmlNode* e)
{
    xmlNode* root = e;
    while (root->parent && is_element(root->parent))
        root = root->parent;
    xmlNs* ns = xmlSearchNsByHref(e->doc, e, reinterpret_cast<const xmlChar*>(removal_namespace));
    // A prefix that the root binds to something else already gets a number.
    for (unsigned n = 0; !ns; ++n) {
        const std::string prefix = n == 0 ? std::string(mark_prefix) : mark_prefix + std::to_string(n);
        ns = xmlNewNs(root, reinterpret_cast<const xmlChar*>(removal_namespace),
            reinterpret_cast<const xmlChar*>(prefix.c_str()));
    }
    xmlSetNsProp(e, ns, reinterpret_cast<const xmlChar*>(mark_name), reinterpret_cast<const xmlChar*>("1"));
}

bool holds_removal(const xmlNode* e)
{
    if (is_removal(e))
        return true;
    for (const xmlNode* c = e->children; c; c = c->next)
        if (is_element(c) && holds_removal(c))
            return true;
    return false;
}

bool drop_removals(xmlNode* e, const std::string& top) { return drop_below(e, top); }

void forget_removal_namespace(xmlNode* e)
{
    for (xmlNs** link = &e->nsDef; *link;) {
        xmlNs* ns = *link;
        if (ns->href && std::strcmp(text_of(ns->href), removal_namespace) == 0 && !holds_removal(e)) {
            *link = ns->next;
            ns->next = nullptr;
            xmlFreeNs(ns);
        } else {
            link = &ns->next;
        }
    }
}

std::string removal_signature(const xmlpp::Element* e)
{
    return only_removals(e) ? signature_text(e->cobj()) : std::string();
}

std::string removal_line(const std::vector<std::string>& path, const std::string& top, const std::string& item)
{
    std::string where;
    for (const std::string& key : path)
        where += (where.empty() ? "" : ": ") + key;
    return (where.empty() ? top : where) + ": removed " + item;
}

std::string removed_item_name(const std::string& text, const std::string& element_name)
{
    return text.empty() ? element_name : text;
}

std::vector<std::string> describe_removals(xmlpp::Element* root)
{
    std::vector<std::string> path, lines;
    describe(root, path, lines);
    return lines;
}

std::vector<std::string> change_removals(const Mod& mod, const Change& change)
{
    // Only a change that names the namespace can hold a removal: most need no parse.
    if (change.type != Change::XML || change.text.find(removal_namespace) == std::string::npos)
        return {};
    std::unique_ptr<xmlpp::DomParser> parser = parse_change_text(mod, change);
    xmlpp::Element* root = parser->get_document()->get_root_node();
    return root ? describe_removals(root) : std::vector<std::string>();
}

void remove_indented(xmlNode* n)
{
    if (is_blank_text(n->prev)) {
        xmlNode* indent = n->prev;
        xmlUnlinkNode(indent);
        xmlFreeNode(indent);
    }
    xmlpp::Node::free_wrappers(n);
    xmlUnlinkNode(n);
    xmlFreeNode(n);
}

} // namespace velmora
