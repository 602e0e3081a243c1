#include "mod/conflict_view.h"

#include <libxml++/nodes/element.h>
#include <libxml++/nodes/textnode.h>

#include "base/errors.h"
#include "base/format.h"
#include "xml/element_info.h"
#include "xml/elements.h"

namespace velmora {

namespace {

void describe_last_level(ConflictView& view, xmlpp::Element* e, int type)
{
    std::string name = e->get_name();
    switch (type) {
    case CONTAINER:
    case OBJECT:
        try {
            ElementMap map = build_element_map(e);
            view.children.reserve(map.size());
            for (const auto& entry : map)
                view.children.emplace_back(entry.first, entry.second->get_name());
        } catch (const GenericError& error) {
            view.error = error.what();
        }
        break;
    case VALUE:
        if (const xmlpp::TextNode* text = e->get_child_text()) {
            view.has_text = true;
            view.text = text->get_content();
        }
        break;
    case OPAQUE:
        view.opaque = e;
        break;
    case LIST:
    case SET:
        break;
    default:
        view.error = format("Don't know type of element %S", &name);
        break;
    }
}

// The first key both sides name, in ascending key order, as the conflict
// message names it; empty when they share none.
std::string first_shared_child(const ConflictView& a, const ConflictView& b)
{
    auto i = a.children.begin();
    auto j = b.children.begin();
    while (i != a.children.end() && j != b.children.end()) {
        if (i->first < j->first)
            ++i;
        else if (j->first < i->first)
            ++j;
        else
            return i->second + " " + i->first;
    }
    return std::string();
}

void compare_last_level(const ConflictView& a, const ConflictView& b, const ConflictView::Level& level)
{
    switch (level.type) {
    case CONTAINER:
    case OBJECT: {
        if (!a.error.empty())
            throw GenericError(a.error);
        if (!b.error.empty())
            throw GenericError(b.error);
        // Two changes that touch the same child conflict, whatever they do to it.
        std::string shared = first_shared_child(a, b);
        if (!shared.empty())
            throw ConflictError(shared);
        return;
    }
    case LIST:
        // A list is replaced whole: only one mod's list can survive.
        throw ConflictError(level.name);
    case SET:
        return;
    case VALUE:
        if (a.has_text && b.has_text && a.text != b.text)
            throw ConflictError(level.name);
        return;
    case OPAQUE:
        if (a.opaque && b.opaque && !opaque_equal(a.opaque, b.opaque))
            throw ConflictError(level.name);
        return;
    default:
        throw GenericError(a.error);
    }
}

} // namespace

ConflictView make_conflict_view(xmlpp::Element* root)
{
    ConflictView view;
    for (xmlpp::Element* e = root; e;) {
        int type = get_element_type(e);
        view.levels.push_back({e->get_name(), type});
        if (type == TOPLEVEL) {
            e = get_child_element(e);
            continue;
        }
        describe_last_level(view, e, type);
        break;
    }
    return view;
}

void compare_conflict_views(const ConflictView& a, const ConflictView& b)
{
    for (std::vector<ConflictView::Level>::size_type i = 0;; ++i) {
        // Only a toplevel element without element children ends a view early.
        if (i == a.levels.size() || i == b.levels.size())
            throw GenericError("Toplevel element with no contents?");
        const ConflictView::Level& level = a.levels[i];
        if (level.name != b.levels[i].name)
            throw GenericError("Attempt to conflict-check two different elements");
        if (level.type != TOPLEVEL) {
            compare_last_level(a, b, level);
            return;
        }
    }
}

} // namespace velmora
