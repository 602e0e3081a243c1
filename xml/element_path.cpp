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

} // namespace

std::string element_path(const xmlpp::Element* e)
{
    std::vector<const xmlNode*> chain;
    for (const xmlNode* n = e->cobj(); n && n->type == XML_ELEMENT_NODE; n = n->parent)
        chain.push_back(n);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += '/';
        path += reinterpret_cast<const char*>((*it)->name);
        if (unsigned index = sibling_index(*it)) {
            path += '[';
            path += std::to_string(index);
            path += ']';
        }
    }
    return path;
}

std::string element_group(const xmlpp::Element* e)
{
    return group_of_root(reinterpret_cast<const char*>(top_element(e->cobj())->name));
}

} // namespace velmora
