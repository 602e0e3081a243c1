#include "mod/conflict_view.h"

#include <libxml++/nodes/element.h>
#include <libxml++/nodes/textnode.h>

#include <algorithm>

#include "base/errors.h"
#include "base/format.h"
#include "mod/removal.h"
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
            view.removals.reserve(map.size());
            for (const auto& entry : map) {
                view.children.emplace_back(entry.first, entry.second->get_name());
                view.removals.push_back(removal_signature(entry.second));
            }
        } catch (const GenericError& error) {
            view.error = error.what();
        }
        break;
    case SET:
        try {
            for (const auto& [text, item] : build_element_list(e))
                (is_removal(item) ? view.removed : view.added).push_back(text);
        } catch (const GenericError& error) {
            view.error = error.what();
        }
        std::sort(view.added.begin(), view.added.end());
        std::sort(view.removed.begin(), view.removed.end());
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
        break;
    default:
        view.error = format("Don't know type of element %S", &name);
        break;
    }
}

// The first key both sides name, in ascending key order, as the conflict
// message names it; empty when they share none. A child that both only
// remove alike is not shared: the order of the two changes does not matter.
std::string first_shared_child(const ConflictView& a, const ConflictView& b)
{
    std::size_t i = 0, j = 0;
    while (i < a.children.size() && j < b.children.size()) {
        const std::string& ka = a.children[i].first;
        const std::string& kb = b.children[j].first;
        if (ka < kb) {
            ++i;
        } else if (kb < ka) {
            ++j;
        } else {
            if (a.removals[i].empty() || a.removals[i] != b.removals[j])
                return a.children[i].second + " " + ka;
            ++i;
            ++j;
        }
    }
    return std::string();
}

bool share_any(const std::vector<std::string>& sorted_a, const std::vector<std::string>& sorted_b)
{
    auto i = sorted_a.begin();
    auto j = sorted_b.begin();
    while (i != sorted_a.end() && j != sorted_b.end()) {
        if (*i < *j)
            ++i;
        else if (*j < *i)
            ++j;
        else
            return true;
    }
    return false;
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
        if (!a.error.empty())
            throw GenericError(a.error);
        if (!b.error.empty())
            throw GenericError(b.error);
        // Whether the item is there in the end depends on which comes last.
        if (share_any(a.added, b.removed) || share_any(b.added, a.removed))
            throw ConflictError(level.name);
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
