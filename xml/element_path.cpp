#include "xml/element_path.h"

#include <libxml++/nodes/element.h>
#include <libxml/tree.h>

#include <cstring>
#include <vector>

#include "xml/element_info.h"

namespace velmora {

namespace {

// Parsed names are interned in the document's dictionary: equal names are
// usually the same pointer, so the string comparison is rarely needed.
bool same_element_name(const xmlNode* a, const xmlNode* b)
{
    return a->type == XML_ELEMENT_NODE
        && (a->name == b->name
            || std::strcmp(reinterpret_cast<const char*>(a->name), reinterpret_cast<const char*>(b->name))
                == 0);
}

// 0 when n has no same-named element sibling, else its 1-based position among them.
// One pass over the earlier siblings; the later ones only until the first match.
unsigned sibling_index(const xmlNode* n)
{
    unsigned before = 0;
    for (const xmlNode* p = n->prev; p; p = p->prev)
        if (same_element_name(p, n))
            ++before;
    if (before > 0)
        return before + 1;
    for (const xmlNode* q = n->next; q; q = q->next)
        if (same_element_name(q, n))
            return 1;
    return 0;
}

const xmlNode* top_element(const xmlNode* n)
{
    while (n->parent && n->parent->type == XML_ELEMENT_NODE)
        n = n->parent;
    return n;
}

std::string_view name_of(const xmlNode* n) { return reinterpret_cast<const char*>(n->name); }

// Builds the path from the element up, taking each component's sibling index
// from index_of.
template <typename IndexOf> std::string build_path(const xmlNode* e, IndexOf index_of)
{
    std::vector<const xmlNode*> chain;
    for (const xmlNode* n = e; n && n->type == XML_ELEMENT_NODE; n = n->parent)
        chain.push_back(n);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += '/';
        path += name_of(*it);
        if (unsigned index = index_of(*it)) {
            path += '[';
            path += std::to_string(index);
            path += ']';
        }
    }
    return path;
}

} // namespace

std::string element_path(const xmlpp::Element* e) { return build_path(e->cobj(), sibling_index); }

std::string ElementPaths::path(const xmlpp::Element* e)
{
    return build_path(e->cobj(), [this](const xmlNode* n) { return index(n); });
}

unsigned ElementPaths::index(const xmlNode* n)
{
    auto found = index_.find(n);
    if (found != index_.end())
        return found->second;
    if (!n->parent)
        return 0;
    number_children(n->parent);
    return index_.at(n);
}

std::string element_group(const xmlpp::Element* e)
{
    return group_of_root(reinterpret_cast<const char*>(top_element(e->cobj())->name));
}

// Two passes over the children: how many elements bear each name, then each
// element's place among those of its name.
void ElementPaths::number_children(const xmlNode* parent)
{
    names_.clear();
    for (const xmlNode* c = parent->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            ++names_[name_of(c)].total;
    for (const xmlNode* c = parent->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE) {
            NameCount& name = names_[name_of(c)];
            index_[c] = name.total > 1 ? ++name.seen : 0;
        }
}

} // namespace velmora
