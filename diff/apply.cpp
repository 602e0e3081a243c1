#include "diff/diff.h"

#include <algorithm>
#include <optional>

#include "core/errors.h"

namespace velmora {

namespace {

// How many empty lines past the end of a file a block may be placed after. The
// texts read as going on with empty lines, so a file that gained empty lines at
// its end gives blocks recorded past the old end; a recorded line far beyond
// that comes from a damaged diff and would only write millions of empty lines.
constexpr unsigned int MAX_LINES_PAST_END = 1u << 16;

// How far after the previous block a block is first looked for at its
// recorded line before the input is scanned line by line.
constexpr unsigned int NEAR = 4096;

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
        }
    }
    std::vector<const std::string*> old_side;
    std::vector<const std::string*> new_side;
    bool changes = false;
};

enum class Fit { OLD_SIDE, NEW_SIDE };

struct Placement {
    unsigned int start;
    Fit fit;
};

bool stands_at(
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

// The output of apply, gathered into blocks: going through the stream for
// each line would cost more than the rest of applying.
class Output {
public:
    explicit Output(std::ostream& out)
        : out_(out)
    { }
    // What is left when apply throws: out holds a partial text either way.
    ~Output()
    {
        try {
            flush();
        } catch (...) { }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void put_line(const std::string& text)
    {
        pending_ += text;
        pending_ += '\n';
        if (pending_.size() >= FLUSH_SIZE)
            flush();
    }

    void flush()
    {
        out_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
        pending_.clear();
    }

private:
    static constexpr size_t FLUSH_SIZE = 1 << 16;
    std::ostream& out_;
    std::string pending_;
};

// Finds where a block goes: at the first offset o from its recorded line, in
// the order 0, +1, -1, +2, -2, ..., at which fit_at(p) places it (fit_at may
// move it a little, see check). Offsets that would place it before `floor`
// (the end of the previous block) are skipped; the positive offsets end at the
// end of the input and the negative ones at the floor, so a block recorded near
// the end of a file that has since lost lines is still found before its
// recorded line.
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
    unsigned int below_at = 0; // the offset's line, where fit_at was asked
    // Only up to the end of the input: past it every line reads as empty, and
    // whatever fits there also fits at the recorded line, which is tried first.
    for (unsigned int p = floor; p < recorded && !beyond_end(p); ++p) {
        if (std::optional<Placement> f = fit_at(p)) {
            below = f;
            below_at = p;
        }
        release(below ? below->start : p + 1);
    }
    for (unsigned int d = recorded < floor ? floor - recorded : 0;; ++d) {
        unsigned int p = recorded + d;
        if (below && d > recorded - below_at)
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

// Whether a block's old side or new side stands at line p of the input, or
// neither. Where both stand, one side begins with the other (an added line
// repeats the context after it, a block deletes the last lines of a file):
// only the longer one tells which text the file has.
std::optional<Placement> fit_either(const Diff& diff, Diff::Input& in, const Sides& sides, unsigned int p)
{
    bool new_side = stands_at(diff, in, sides.new_side, p);
    bool old_side = stands_at(diff, in, sides.old_side, p);
    if (new_side && old_side)
        return Placement{p, sides.old_side.size() > sides.new_side.size() ? Fit::OLD_SIDE : Fit::NEW_SIDE};
    if (!new_side && !old_side)
        return std::nullopt;
    return Placement{p, new_side ? Fit::NEW_SIDE : Fit::OLD_SIDE};
}

} // namespace

int Diff::check(std::istream& is) const
{
    Input in(is);
    unsigned int floor = 0; // where the last block ended in the input
    unsigned int old_end = 0; // where it ended in the old text
    bool all_applicable = true;
    bool all_present = true;
    for (const Block& b : blocks) {
        // Lines between two blocks are unchanged, so a block is looked for
        // first as far after the last one as in the old text: in a file that
        // has the new text, that is where its new side stands, while its old
        // side, if it is made of lines that repeat (empty lines), may stand
        // nearer to the recorded line too.
        unsigned int expected = floor + (b.old_start > old_end ? b.old_start - old_end : 0);
        Sides sides(b);
        std::optional<Placement> at = place(
            in, expected, floor, !sides.old_side.empty(),
            [&](unsigned int p) { return fit_either(*this, in, sides, p); },
            [&in](unsigned int n) { in.prune(n); });
        if (!at)
            return 1;
        // A block without changes is both applicable and present.
        if (sides.changes) {
            all_applicable = all_applicable && at->fit == Fit::OLD_SIDE;
            all_present = all_present && at->fit == Fit::NEW_SIDE;
        }
        if (!all_applicable && !all_present)
            return 1;
        const auto& side = at->fit == Fit::NEW_SIDE ? sides.new_side : sides.old_side;
        floor = at->start + static_cast<unsigned int>(side.size());
        old_end = b.old_start + static_cast<unsigned int>(sides.old_side.size());
        in.prune(floor);
    }
    return all_applicable ? 0 : 2;
}

void Diff::apply(std::istream& is, std::ostream& out) const
{
    static const std::string past_end;
    Input in(is);
    Output output(out);
    unsigned int cur = 0; // the next input line to write
    auto release = [&](unsigned int n) {
        for (; cur < n; ++cur) {
            const std::string* l = in.line(cur);
            output.put_line(l ? *l : past_end);
        }
        in.prune(n);
    };
    for (const Block& b : blocks) {
        Sides sides(b);
        auto fit_at = [&](unsigned int p) -> std::optional<Placement> {
            if (!stands_at(*this, in, sides.old_side, p))
                return std::nullopt;
            return Placement{p, Fit::OLD_SIDE};
        };
        std::optional<Placement> at = place(in, b.old_start, cur, !sides.old_side.empty(), fit_at, release);
        if (!at)
            throw ConflictError("Unable to apply diff");
        release(at->start);
        for (const Line& l : b.lines)
            if (l.type != '-')
                output.put_line(l.text);
        cur += static_cast<unsigned int>(sides.old_side.size());
        in.prune(cur);
    }
    for (const std::string* l; (l = in.line(cur)) != nullptr; in.prune(++cur))
        output.put_line(*l);
    output.flush();
}

} // namespace velmora
