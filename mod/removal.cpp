#include "mod/removal.h"

#include <libxml++/document.h>
#include <libxml++/nodes/element.h>
#include <libxml++/parsers/domparser.h>

#include <algorithm>
#include <cstring>

#include "base/errors.h"
#include "base/format.h"
#include "mod/change_errors.h"
#include "mod/mod.h"
#include "xml/element_info.h"
#include "xml/elements.h"
#include "xml/tree.h"

namespace velmora {

const char* const removal_namespace = "urn:velmora:change";

namespace {

const char* const mark_name = "remove";
const char* const mark_prefix = "velmora";

const char* text_of(const char* s) { return s ? s : ""; }

bool in_our_namespace(TreeAttribute a)
{
    return a.namespace_uri() && std::strcmp(a.namespace_uri(), removal_namespace) == 0;
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

bool drop_below(TreeNode e, const std::string& top)
{
    if (is_removal(e))
        return true;
    bool held = false;
    for (TreeNode c = e.first_child(); c;) {
        const TreeNode next = c.next();
        if (c.is_element() && holds_removal(c)) {
            held = true;
            if (drop_below(c, top))
                remove_indented(c);
        }
        c = next;
    }
    if (!held)
        return false;
    const Kind kind = kind_of(top, text_of(e.name()));
    const char* key = kind.type == OBJECT && kind.key ? kind.key : "";
    for (TreeNode c = e.first_child(); c; c = c.next())
        if (c.is_element() && (!*key || std::strcmp(text_of(c.name()), key) != 0))
            return false;
    return true;
}

// e's content for comparing: name, mark, text or children (sorted: their
// order means nothing to a removal).
std::string signature_text(TreeNode e)
{
    std::string s = std::string("<") + text_of(e.name()) + (is_removal(e) ? " removed>" : ">");
    std::vector<std::string> children;
    std::string text;
    for (TreeNode c = e.first_child(); c; c = c.next()) {
        if (c.is_element())
            children.push_back(signature_text(c));
        else if (c.is_text() && text.empty())
            text = text_of(c.content());
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
    for (TreeNode c = TreeNode(e).first_child(); c; c = c.next()) {
        if (!c.is_element())
            continue;
        if (key && *key && std::strcmp(text_of(c.name()), key) == 0)
            continue;
        if (type == SET ? !is_removal(c) : !only_removals(c.element()))
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
        for (TreeNode c = TreeNode(e).first_child(); c; c = c.next())
            if (c.is_element() && is_removal(c))
                lines.push_back(removal_line(
                    path, e->get_name(), removed_item_name(element_text(c.element()), text_of(c.name()))));
        return;
    default:
        return;
    }
}

} // namespace

bool is_removal(TreeNode e)
{
    bool marked = false;
    for (TreeAttribute a = e.first_attribute(); a; a = a.next()) {
        if (!in_our_namespace(a))
            continue;
        const std::string element = text_of(e.name());
        const std::string name = text_of(a.name());
        if (name != mark_name)
            throw GenericError(format("The element <%S> of the change has the attribute %S in Velmora's "
                                      "namespace, which only knows \"remove\"",
                &element, &name));
        const std::string value = a.value();
        if (value != "1")
            throw GenericError(format("The element <%S> of the change has remove=\"%S\" in Velmora's "
                                      "namespace: a removal is marked with the value 1",
                &element, &value));
        marked = true;
    }
    return marked;
}

bool is_removal(const xmlpp::Element* e) { return is_removal(TreeNode(e)); }

void mark_removal(TreeNode e)
{
    // A prefix that the root binds to something else already gets a number.
    set_namespaced_attribute(e, removal_namespace, mark_prefix, mark_name, "1");
}

bool holds_removal(TreeNode e)
{
    if (is_removal(e))
        return true;
    for (TreeNode c = e.first_child(); c; c = c.next())
        if (c.is_element() && holds_removal(c))
            return true;
    return false;
}

bool drop_removals(TreeNode e, const std::string& top) { return drop_below(e, top); }

void forget_removal_namespace(TreeNode e)
{
    if (declares_namespace(e, removal_namespace) && !holds_removal(e))
        undeclare_namespace(e, removal_namespace);
}

std::string removal_signature(const xmlpp::Element* e)
{
    return only_removals(e) ? signature_text(TreeNode(e)) : std::string();
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

} // namespace velmora
