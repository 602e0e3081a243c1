#ifndef VELMORA_DIFF_LOCATE_H
#define VELMORA_DIFF_LOCATE_H

// How check and apply find where a block of a difference goes in a file.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "diff/diff.h"

namespace velmora::detail {

// How many empty lines past the end of a file a block may be placed after. The
// texts read as going on with empty lines, so a file that gained empty lines at
// its end gives blocks recorded past the old end; a recorded line far beyond
// that comes from a damaged diff and would only write millions of empty lines.
inline constexpr unsigned int MAX_LINES_PAST_END = 1u << 16;

// How far after the previous block a block is first looked for at its
// recorded line before the input is scanned line by line.
inline constexpr unsigned int NEAR = 4096;

// The two texts of a block: its old side (context and removed lines) and its
// new side (context and added lines), in order.
struct Sides {
    explicit Sides(const Diff::Block& b)
    {
        for (const Diff::Line& l : b.lines) {
            if (l.type != '+')
                old_side.push_back(&l.text);
            if (l.type != '-')
                new_side.push_back(&l.text);
            changes = changes || l.type != ' ';
            old_no_end = old_no_end || (l.no_end && l.type != '+');
            new_no_end = new_no_end || (l.no_end && l.type != '-');
        }
    }
    std::vector<const std::string*> old_side;
    std::vector<const std::string*> new_side;
    bool changes = false;
    // Whether each side is a text's end without a line end (see Diff::Line).
    bool old_no_end = false;
    bool new_no_end = false;
};

// Whether a side of size lines standing at pos ends as the diff says: without
// a line end exactly when no_end is set. Past the end of the input, lines read
// as having one.
inline bool ends_as(Diff::Input& in, size_t size, bool no_end, unsigned int pos)
{
    if (size == 0)
        return true;
    const unsigned int last = pos + static_cast<unsigned int>(size) - 1;
    return (in.line(last) && in.end(last) == Diff::End::NONE) == no_end;
}

enum class Fit { OLD_SIDE, NEW_SIDE };

// Where a block goes, and which of its sides stands there.
struct Placement {
    unsigned int start;
    Fit fit;
};

inline bool stands_at(
    const Diff& diff, Diff::Input& in, const std::vector<const std::string*>& side, unsigned int pos)
{
    static const std::string past_end;
    for (size_t n = 0; n < side.size(); ++n) {
        const std::string* l = in.line(pos + static_cast<unsigned int>(n));
        if (!diff.compare(l ? *l : past_end, *side[n]))
            return false;
    }
    return true;
}

// Finds where a block goes: at the first offset o from its recorded line, in
// the order 0, +1, -1, +2, -2, ..., at which fit_at(p) places it. Offsets
// that would place it before `floor` (the end of the previous block) are
// skipped; the positive offsets end at the end of the input and the negative
// ones at the floor, so a block recorded near the end of a file that has since
// lost lines is still found before its recorded line.
//
// Rather than jumping back and forth, the input is scanned forward once: the
// nearest fit below the recorded line is the last one met, and above it the
// first one. So the lines that no fit can start at any more are handed to
// release(n) (all lines below n) at once, and a large file is never held whole.
template <typename FitAt, typename Release>
std::optional<Placement> place(
    Diff::Input& in, unsigned int recorded, unsigned int floor, bool anchored, FitAt fit_at, Release release)
{
    // The end of the previous block counts as inside: it may lie among the
    // empty lines read past the end, and the next block may start there.
    auto beyond_end
        = [&](unsigned int n) { return !in.line(n) && in.ended() && n > std::max(in.count(), floor); };
    auto too_far
        = [&](unsigned int n) { return n > MAX_LINES_PAST_END && beyond_end(n - MAX_LINES_PAST_END); };
    if (!anchored) {
        // Nothing to look for: such a block goes exactly where it was recorded.
        if (recorded < floor)
            return std::nullopt;
        for (unsigned int p = floor; p < recorded && !beyond_end(p); ++p)
            release(p + 1);
        if (too_far(recorded))
            return std::nullopt;
        return fit_at(recorded);
    }
    // Offset 0 comes first: when the recorded line is near, look there at
    // once. Only a long way off would that hold too many lines.
    if (recorded >= floor && recorded - floor <= NEAR && !too_far(recorded))
        if (std::optional<Placement> f = fit_at(recorded))
            return f;
    std::optional<Placement> below;
    // Only up to the end of the input: past it every line reads as empty, and
    // whatever fits there also fits at the recorded line, which is tried first.
    for (unsigned int p = floor; p < recorded && !beyond_end(p); ++p) {
        if (std::optional<Placement> f = fit_at(p))
            below = f;
        release(below ? below->start : p + 1);
    }
    for (unsigned int d = recorded < floor ? floor - recorded : 0;; ++d) {
        unsigned int p = recorded + d;
        if (below && d > recorded - below->start)
            return below;
        if (d > 0 && beyond_end(p))
            return below;
        if (d > 0 || !too_far(p))
            if (std::optional<Placement> f = fit_at(p))
                return f;
        // Past the end, lines are only written once a block lands there.
        if (!below && !beyond_end(p))
            release(p + 1);
    }
}

} // namespace velmora::detail

#endif
