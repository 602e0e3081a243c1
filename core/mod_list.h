#ifndef VELMORA_CORE_MOD_LIST_H
#define VELMORA_CORE_MOD_LIST_H

#include <cstddef>
#include <iterator>
#include <list>
#include <memory>

#include "mod/mod.h"

namespace velmora {

// The mods the core owns, in their order, seen as plain pointers: the
// callers use them, the core deletes them. A view stays valid, and its
// iterators keep pointing where they did, until a mod is added or removed.
class ModList {
public:
    using Owned = std::list<std::unique_ptr<Mod>>;

    class iterator {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = Mod*;
        using difference_type = std::ptrdiff_t;
        using pointer = Mod* const*;
        using reference = Mod*;

        iterator() = default;
        explicit iterator(Owned::const_iterator it)
            : it(it)
        { }
        Mod* operator*() const { return it->get(); }
        iterator& operator++()
        {
            ++it;
            return *this;
        }
        iterator operator++(int) { return iterator(it++); }
        iterator& operator--()
        {
            --it;
            return *this;
        }
        iterator operator--(int) { return iterator(it--); }
        bool operator==(const iterator& other) const { return it == other.it; }
        bool operator!=(const iterator& other) const { return it != other.it; }

    private:
        Owned::const_iterator it;
    };
    using const_iterator = iterator;
    using reverse_iterator = std::reverse_iterator<iterator>;
    using value_type = Mod*;

    explicit ModList(const Owned& mods)
        : mods(&mods)
    { }

    iterator begin() const { return iterator(mods->begin()); }
    iterator end() const { return iterator(mods->end()); }
    reverse_iterator rbegin() const { return reverse_iterator(end()); }
    reverse_iterator rend() const { return reverse_iterator(begin()); }
    std::size_t size() const { return mods->size(); }
    bool empty() const { return mods->empty(); }
    Mod* front() const { return mods->front().get(); }
    Mod* back() const { return mods->back().get(); }

private:
    const Owned* mods;
};

} // namespace velmora

#endif
