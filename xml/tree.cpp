#include "xml/tree.h"

#include <cstring>
#include <string>

#include "base/errors.h"
#include "base/format.h"

namespace velmora {

namespace {

const xmlChar* xml_chars(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

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

bool same_text(const xmlChar* a, const xmlChar* b)
{
    if (!a || !b)
        return !a && !b;
    return a == b || std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b)) == 0;
}

bool same_namespace(const xmlNs* a, const xmlNs* b)
{
    if (!a || !b)
        return !a && !b;
    return same_text(a->href, b->href);
}

bool same_nodes(const xmlNode* a, const xmlNode* b)
{
    if (a->type != b->type || !same_text(a->name, b->name))
        return false;
    if (a->type != XML_ELEMENT_NODE)
        return same_text(a->content, b->content);
    if (!same_namespace(a->ns, b->ns))
        return false;
    const xmlAttr* p = a->properties;
    const xmlAttr* q = b->properties;
    for (; p && q; p = p->next, q = q->next) {
        if (!same_text(p->name, q->name) || !same_namespace(p->ns, q->ns))
            return false;
        const xmlNode* x = p->children;
        const xmlNode* y = q->children;
        for (; x && y; x = x->next, y = y->next)
            if (!same_nodes(x, y))
                return false;
        if (x || y)
            return false;
    }
    if (p || q)
        return false;
    const xmlNode* x = a->children;
    const xmlNode* y = b->children;
    for (; x && y; x = x->next, y = y->next)
        if (!same_nodes(x, y))
            return false;
    return !x && !y;
}

void copy_in_scope(xmlNode* parent, const xmlNode* n)
{
    if (n->type == XML_TEXT_NODE) {
        xmlAddChild(parent, xmlNewDocText(parent->doc, n->content));
        return;
    }
    if (n->type != XML_ELEMENT_NODE)
        return;
    xmlNs* ns = n->ns && n->ns->href ? xmlSearchNsByHref(parent->doc, parent, n->ns->href) : nullptr;
    xmlNode* copy = xmlNewDocNode(parent->doc, ns, n->name, nullptr);
    if (!copy)
        throw GenericError(std::string("Cannot copy the element ") + reinterpret_cast<const char*>(n->name));
    xmlAddChild(parent, copy);
    for (const xmlAttr* a = n->properties; a; a = a->next) {
        xmlChar* value = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(a));
        xmlNs* ans = a->ns && a->ns->href ? xmlSearchNsByHref(parent->doc, copy, a->ns->href) : nullptr;
        xmlSetNsProp(copy, ans, a->name, value);
        xmlFree(value);
    }
    for (const xmlNode* c = n->children; c; c = c->next)
        copy_in_scope(copy, c);
}

} // namespace

std::string TreeAttribute::value() const
{
    std::string value;
    for (const xmlNode* t = a_->children; t; t = t->next)
        if (t->type == XML_TEXT_NODE && t->content)
            value += reinterpret_cast<const char*>(t->content);
    return value;
}

bool is_blank_text(TreeNode n)
{
    if (!n || !n.is_text())
        return false;
    for (const char* p = n.content() ? n.content() : ""; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return false;
    return true;
}

TreeNode copy_to_document(const xmlpp::Element* e, TreeNode place)
{
    xmlNode* copy = xmlDocCopyNode(TreeNode(e).cobj(), place.cobj()->doc, 1);
    if (!copy) {
        std::string name = e->get_name();
        throw GenericError(format("Cannot copy the element %S", &name));
    }
    return TreeNode(copy);
}

void free_detached(TreeNode n) { xmlFreeNode(n.cobj()); }

void insert_indented(TreeNode copy, TreeNode before)
{
    xmlNode* b = before.cobj();
    xmlNode* indent = is_blank_text(before.prev()) ? b->prev : nullptr;
    xmlAddPrevSibling(b, copy.cobj());
    // Added after the element: a text node put next to another text node
    // would be merged into it.
    if (indent)
        if (xmlNode* again = xmlNewDocText(copy.cobj()->doc, indent->content))
            xmlAddPrevSibling(b, again);
}

void append_indented(TreeNode parent, TreeNode copy)
{
    xmlNode* p = parent.cobj();
    xmlNode* c = copy.cobj();
    xmlNode* last = xmlGetLastChild(p);
    while (last && last->type != XML_ELEMENT_NODE)
        last = last->prev;
    if (last && is_blank_text(TreeNode(last->next)) && !last->next->next) {
        // Between the last element and the white space that closes the parent.
        xmlNode* closing = last->next;
        xmlAddPrevSibling(closing, c);
        if (is_blank_text(TreeNode(last->prev)))
            if (xmlNode* again = xmlNewDocText(c->doc, last->prev->content))
                xmlAddPrevSibling(c, again);
    } else {
        xmlAddChild(p, c);
    }
}

void replace_node(TreeNode old, TreeNode copy)
{
    xmlReplaceNode(old.cobj(), copy.cobj());
    // As Node::remove_child does: the C++ objects first, then the nodes.
    xmlpp::Node::free_wrappers(old.cobj());
    xmlFreeNode(old.cobj());
}

void remove_node(TreeNode n)
{
    xmlpp::Node::free_wrappers(n.cobj());
    xmlUnlinkNode(n.cobj());
    xmlFreeNode(n.cobj());
}

void remove_indented(TreeNode n)
{
    if (is_blank_text(n.prev())) {
        xmlNode* indent = n.cobj()->prev;
        xmlUnlinkNode(indent);
        xmlFreeNode(indent);
    }
    remove_node(n);
}

void remove_nonelements(TreeNode e)
{
    for (TreeNode c = e.first_child(); c;) {
        const TreeNode next = c.next();
        if (!c.is_element())
            remove_node(c);
        c = next;
    }
}

void adopt_namespaces(TreeNode copy)
{
    xmlNode* c = copy.cobj();
    xmlNs** link = &c->nsDef;
    while (xmlNs* ns = *link) {
        xmlNs* outer = c->parent ? xmlSearchNs(c->doc, c->parent, ns->prefix) : nullptr;
        if (!outer || !xmlStrEqual(outer->href, ns->href)) {
            link = &ns->next;
            continue;
        }
        if (c->ns == ns)
            c->ns = outer;
        for (xmlAttr* a = c->properties; a; a = a->next)
            if (a->ns == ns)
                a->ns = outer;
        replace_namespace(c->children, ns, outer);
        *link = ns->next;
        ns->next = nullptr;
        xmlFreeNs(ns);
    }
}

bool declares_namespace(TreeNode e, const char* uri)
{
    for (const xmlNs* ns = e.cobj()->nsDef; ns; ns = ns->next)
        if (ns->href && std::strcmp(reinterpret_cast<const char*>(ns->href), uri) == 0)
            return true;
    return false;
}

void undeclare_namespace(TreeNode e, const char* uri)
{
    for (xmlNs** link = &e.cobj()->nsDef; *link;) {
        xmlNs* ns = *link;
        if (ns->href && std::strcmp(reinterpret_cast<const char*>(ns->href), uri) == 0) {
            *link = ns->next;
            ns->next = nullptr;
            xmlFreeNs(ns);
        } else {
            link = &ns->next;
        }
    }
}

void set_namespaced_attribute(
    TreeNode e, const char* uri, const char* prefix, const char* name, const char* value)
{
    xmlNode* n = e.cobj();
    xmlNode* root = e.top().cobj();
    xmlNs* ns = xmlSearchNsByHref(n->doc, n, xml_chars(uri));
    for (unsigned i = 0; !ns; ++i) {
        const std::string numbered = i == 0 ? std::string(prefix) : prefix + std::to_string(i);
        ns = xmlNewNs(root, xml_chars(uri), xml_chars(numbered.c_str()));
    }
    xmlSetNsProp(n, ns, xml_chars(name), xml_chars(value));
}

void remove_namespaced_attribute(TreeNode e, const char* uri, const char* name)
{
    xmlNode* n = e.cobj();
    xmlUnsetNsProp(n, xmlSearchNsByHref(n->doc, n, xml_chars(uri)), xml_chars(name));
}

TreeNode append_element_like(TreeNode parent, TreeNode like)
{
    xmlNode* p = parent.cobj();
    const xmlNode* l = like.cobj();
    xmlNs* ns = l->ns && l->ns->href ? xmlSearchNsByHref(p->doc, p, l->ns->href) : nullptr;
    xmlNode* e = xmlNewDocNode(p->doc, ns, l->name, nullptr);
    if (!e)
        return TreeNode();
    xmlAddChild(p, e);
    return TreeNode(e);
}

void append_copy_in_scope(TreeNode parent, TreeNode n) { copy_in_scope(parent.cobj(), n.cobj()); }

bool same_subtree(TreeNode a, TreeNode b) { return same_nodes(a.cobj(), b.cobj()); }

} // namespace velmora
