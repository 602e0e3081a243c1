#include <algorithm>
#include <unordered_map>

#include "diff/diff.h"

namespace velmora {

namespace {

// One change of a difference as a merge sees it: old lines [i1, i1 + chg1)
// become new lines [i2, i2 + chg2), which are `added`.
struct Hunk {
    long i1 = 0;
    long chg1 = 0;
    long i2 = 0;
    long chg2 = 0;
    std::vector<const std::string*> added;
};

// Beyond this many cells a run of changed lines is not searched for lines it
// keeps: it counts as one change (a conflict reported too wide, never missed).
constexpr size_t MAX_LCS_CELLS = size_t(1) << 22;

// The changes of one run of removed and added lines at old line `at`. The
// creation of a difference removes and adds again the equal lines between
// changes that lie close together; a merge sees only the lines that really
// change, so the run is split at the lines it keeps (a longest common
// subsequence, as the merge's own line difference finds).
void split_run(long at, const std::vector<const std::string*>& removed,
    const std::vector<const std::string*>& added, std::vector<Hunk>& out)
{
    size_t n = removed.size();
    size_t m = added.size();
    auto same = [&](size_t r, size_t a) { return *removed[r] == *added[a]; };
    size_t head = 0;
    while (head < n && head < m && same(head, head))
        ++head;
    size_t tail = 0;
    while (tail < n - head && tail < m - head && same(n - 1 - tail, m - 1 - tail))
        ++tail;
    size_t rn = n - head - tail;
    size_t an = m - head - tail;
    // The kept pairs (removed index, added index), in order.
    std::vector<std::pair<size_t, size_t>> kept;
    if (rn > 0 && an > 0 && (rn + 1) * (an + 1) <= MAX_LCS_CELLS) {
        std::vector<unsigned int> len((rn + 1) * (an + 1), 0);
        auto at_cell = [&](size_t r, size_t a) -> unsigned int& { return len[r * (an + 1) + a]; };
        for (size_t r = rn; r-- > 0;)
            for (size_t a = an; a-- > 0;)
                at_cell(r, a) = same(head + r, head + a) ? at_cell(r + 1, a + 1) + 1
                                                         : std::max(at_cell(r + 1, a), at_cell(r, a + 1));
        for (size_t r = 0, a = 0; r < rn && a < an;) {
            if (same(head + r, head + a) && at_cell(r, a) == at_cell(r + 1, a + 1) + 1) {
                kept.emplace_back(head + r, head + a);
                ++r;
                ++a;
            } else if (at_cell(r + 1, a) >= at_cell(r, a + 1)) {
                ++r;
            } else {
                ++a;
            }
        }
    }
    kept.emplace_back(n - tail, m - tail); // the end of the region to split
    size_t r = head;
    size_t a = head;
    for (const auto& [kr, ka] : kept) {
        if (kr > r || ka > a) {
            Hunk h;
            h.i1 = at + static_cast<long>(r);
            h.chg1 = static_cast<long>(kr - r);
            h.chg2 = static_cast<long>(ka - a);
            h.added.assign(added.begin() + static_cast<long>(a), added.begin() + static_cast<long>(ka));
            out.push_back(std::move(h));
        }
        r = kr + 1;
        a = ka + 1;
    }
}

// A difference as the changes a merge works with, and every old line it
// shows (context and removed lines) by number.
struct Changes {
    std::vector<Hunk> hunks;
    long delta = 0; // new lines minus old lines over the whole text
};

using KnownLines = std::unordered_map<long, const std::string*>;

Changes changes_of(const Diff& d, KnownLines& known)
{
    Changes c;
    std::vector<const std::string*> removed;
    std::vector<const std::string*> added;
    long run_at = 0;
    auto flush = [&] {
        if (!removed.empty() || !added.empty())
            split_run(run_at, removed, added, c.hunks);
        removed.clear();
        added.clear();
    };
    for (const Diff::Block& b : d.blocks) {
        long pos = b.old_start;
        for (const Diff::Line& l : b.lines) {
            if (l.type == ' ') {
                flush();
                known.emplace(pos++, &l.text);
                continue;
            }
            if (removed.empty() && added.empty())
                run_at = pos;
            if (l.type == '-') {
                known.emplace(pos++, &l.text);
                removed.push_back(&l.text);
            } else {
                added.push_back(&l.text);
            }
        }
        flush();
    }
    std::stable_sort(
        c.hunks.begin(), c.hunks.end(), [](const Hunk& x, const Hunk& y) { return x.i1 < y.i1; });
    for (Hunk& h : c.hunks) {
        h.i2 = h.i1 + c.delta;
        c.delta += h.chg2 - h.chg1;
    }
    return c;
}

// A region of the merge: mode 0 a conflict, 1 a change of ours only, 2 of
// theirs only. i0/chg0 old lines, i1/chg1 lines of ours, i2/chg2 of theirs.
struct Region {
    int mode;
    long i0, chg0, i1, chg1, i2, chg2;
};

// A region that touches the previous one, in either side's lines, joins it;
// joined regions of different kinds are a conflict.
void append(std::vector<Region>& regions, const Region& r)
{
    if (!regions.empty()) {
        Region& m = regions.back();
        if (r.i1 <= m.i1 + m.chg1 || r.i2 <= m.i2 + m.chg2) {
            if (r.mode != m.mode)
                m.mode = 0;
            m.chg0 = r.i0 + r.chg0 - m.i0;
            m.chg1 = r.i1 + r.chg1 - m.i1;
            m.chg2 = r.i2 + r.chg2 - m.i2;
            return;
        }
    }
    regions.push_back(r);
}

bool same_added(const Hunk& x, const Hunk& y)
{
    return std::equal(x.added.begin(), x.added.end(), y.added.begin(), y.added.end(),
        [](const std::string* p, const std::string* q) { return *p == *q; });
}

// The regions of a three-way merge of the two differences' results, walked
// as git's merge walks the two lists of changes: changes that overlap or
// touch (one ends where the other begins) form a conflict, unless they are
// the same change.
std::vector<Region> merge_regions(const Changes& a, const Changes& b)
{
    std::vector<Region> regions;
    auto x = a.hunks.begin();
    auto y = b.hunks.begin();
    while (x != a.hunks.end() && y != b.hunks.end()) {
        if (x->i1 + x->chg1 < y->i1) {
            append(regions, {1, x->i1, x->chg1, x->i2, x->chg2, y->i2 - y->i1 + x->i1, x->chg1});
            ++x;
            continue;
        }
        if (y->i1 + y->chg1 < x->i1) {
            append(regions, {2, y->i1, y->chg1, x->i2 - x->i1 + y->i1, y->chg1, y->i2, y->chg2});
            ++y;
            continue;
        }
        if (x->i1 != y->i1 || x->chg1 != y->chg1 || x->chg2 != y->chg2 || !same_added(*x, *y)) {
            long off = x->i1 - y->i1;
            long ffo = off + x->chg1 - y->chg1;
            Region r{0, x->i1, 0, x->i2, 0, y->i2, 0};
            if (off > 0) {
                r.i0 -= off;
                r.i1 -= off;
            } else {
                r.i2 += off;
            }
            r.chg0 = x->i1 + x->chg1 - r.i0;
            r.chg1 = x->i2 + x->chg2 - r.i1;
            r.chg2 = y->i2 + y->chg2 - r.i2;
            if (ffo < 0) {
                r.chg0 -= ffo;
                r.chg1 -= ffo;
            } else {
                r.chg2 += ffo;
            }
            append(regions, r);
        }
        long end_x = x->i1 + x->chg1;
        long end_y = y->i1 + y->chg1;
        if (end_x >= end_y)
            ++y;
        if (end_y >= end_x)
            ++x;
    }
    for (; x != a.hunks.end(); ++x)
        append(regions, {1, x->i1, x->chg1, x->i2, x->chg2, x->i1 + b.delta, x->chg1});
    for (; y != b.hunks.end(); ++y)
        append(regions, {2, y->i1, y->chg1, y->i1 + a.delta, y->chg1, y->i2, y->chg2});
    return regions;
}

// Line p of a difference's result (from 0), or null where the difference
// does not show it (an old line outside its blocks).
const std::string* result_line(const Changes& c, const KnownLines& known, long p)
{
    auto after
        = std::upper_bound(c.hunks.begin(), c.hunks.end(), p, [](long q, const Hunk& h) { return q < h.i2; });
    long old_line = p;
    if (after != c.hunks.begin()) {
        const Hunk& h = *std::prev(after);
        if (p < h.i2 + h.chg2)
            return h.added[static_cast<size_t>(p - h.i2)];
        old_line = h.i1 + h.chg1 + (p - h.i2 - h.chg2);
    }
    auto it = known.find(old_line);
    return it == known.end() ? nullptr : it->second;
}

// Lines [from, from + count) of a result; false when one is not shown.
bool result_lines(
    const Changes& c, const KnownLines& known, long from, long count, std::vector<std::string>& out)
{
    bool all = true;
    for (long p = from; p < from + count; ++p) {
        const std::string* l = result_line(c, known, p);
        all = all && l;
        out.push_back(l ? *l : std::string());
    }
    return all;
}

} // namespace

std::vector<DiffConflict> find_conflicts(const Diff& a, const Diff& b)
{
    KnownLines known;
    Changes ca = changes_of(a, known);
    Changes cb = changes_of(b, known);
    std::vector<DiffConflict> conflicts;
    for (const Region& r : merge_regions(ca, cb)) {
        if (r.mode != 0)
            continue;
        DiffConflict c;
        c.first = static_cast<int>(r.i0 + 1);
        c.last = static_cast<int>(r.i0 + r.chg0);
        bool shown_a = result_lines(ca, known, r.i1, r.chg1, c.lines_a);
        bool shown_b = result_lines(cb, known, r.i2, r.chg2, c.lines_b);
        // Where both sides wrote the same lines the merge finds nothing to
        // ask about; it keeps a conflict where one side is empty.
        if (r.chg1 > 0 && r.chg2 > 0 && shown_a && shown_b && c.lines_a == c.lines_b)
            continue;
        conflicts.push_back(std::move(c));
    }
    return conflicts;
}

std::string describe_lines(const DiffConflict& c)
{
    if (c.last < c.first)
        return "before line " + std::to_string(c.first);
    if (c.last == c.first)
        return "line " + std::to_string(c.first);
    return "lines " + std::to_string(c.first) + "-" + std::to_string(c.last);
}

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

bool Diff::check_conflicts(const Diff& other) const { return !find_conflicts(*this, other).empty(); }

} // namespace velmora
