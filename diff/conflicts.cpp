#include "diff/diff.h"

namespace velmora {

namespace {

constexpr unsigned int LINE_MASK = Diff::LINE_LIMIT - 1;

unsigned int line_of(unsigned int entry) { return entry & LINE_MASK; }
unsigned int tag_of(unsigned int entry) { return entry >> Diff::TAG_SHIFT; }

bool collide(unsigned int x, unsigned int y)
{
    unsigned int tx = tag_of(x);
    unsigned int ty = tag_of(y);
    return tx == Diff::REMOVED || ty == Diff::REMOVED
        || (tx == Diff::INSERTED_BEFORE && ty != Diff::FIRST_CONTEXT)
        || (ty == Diff::INSERTED_BEFORE && tx != Diff::FIRST_CONTEXT);
}

// The end of the run of entries from `from` on that share its line number.
size_t run_end(const std::vector<unsigned int>& entries, size_t from)
{
    size_t end = from + 1;
    while (end < entries.size() && line_of(entries[end]) == line_of(entries[from]))
        ++end;
    return end;
}

} // namespace

std::vector<unsigned int> Diff::get_affected_lines() const
{
    std::vector<unsigned int> entries;
    for (const Block& b : blocks) {
        unsigned int line = b.old_start;
        bool first = true;
        for (const Line& l : b.lines) {
            if (l.type == '+') {
                entries.push_back(line | (INSERTED_BEFORE << TAG_SHIFT));
            } else {
                unsigned int tag = l.type == '-' ? REMOVED : first ? FIRST_CONTEXT : CONTEXT;
                entries.push_back(line | (tag << TAG_SHIFT));
                ++line;
            }
            first = false;
        }
    }
    return entries;
}

bool Diff::check_conflicts(const Diff& other) const
{
    std::vector<unsigned int> a = get_affected_lines();
    std::vector<unsigned int> b = other.get_affected_lines();
    size_t ia = 0;
    size_t ib = 0;
    while (ia < a.size() && ib < b.size()) {
        if (line_of(a[ia]) < line_of(b[ib])) {
            ++ia;
        } else if (line_of(b[ib]) < line_of(a[ia])) {
            ++ib;
        } else {
            // A line can carry several entries (added lines before it, then the
            // line itself): every entry of one diff meets every entry of the
            // other, so a removal is seen whatever comes first in either block.
            size_t ea = run_end(a, ia);
            size_t eb = run_end(b, ib);
            for (size_t x = ia; x < ea; ++x)
                for (size_t y = ib; y < eb; ++y)
                    if (collide(a[x], b[y]))
                        return true;
            ia = ea;
            ib = eb;
        }
    }
    return false;
}

} // namespace velmora
