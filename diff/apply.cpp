#include "diff/diff.h"

#include <optional>

#include "base/errors.h"
#include "diff/locate.h"

namespace velmora {

using detail::Fit;
using detail::Placement;
using detail::Sides;

namespace {

using End = Diff::End;

// The output of apply, gathered into blocks: going through the stream for
// each line would cost more than the rest of applying. A line's end is
// written when the next line comes, so that a line without one that is not
// the last after all (lines were added after it) gets one.
class Output {
public:
    // usual: the line end of added lines until an input line shows another.
    Output(std::ostream& out, End usual)
        : out_(out)
        , usual_(usual)
    { }
    // What is left when apply throws: out holds a partial text either way.
    ~Output()
    {
        try {
            finish();
        } catch (...) { }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // A line of the input, with the end it has there.
    void put_input(const std::string& text, End end)
    {
        seen(end);
        put(text, end);
    }
    // A line that did not come from the input: ends like the input line before it.
    void put_new(const std::string& text, bool no_end) { put(text, no_end ? End::NONE : usual_); }
    // An input line that is not written (a removed one) still shows the file's line ends.
    void seen(End end)
    {
        if (end != End::NONE)
            usual_ = end;
    }

    void finish()
    {
        end_line(held_);
        held_ = End::NONE;
        out_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
        pending_.clear();
    }

private:
    void put(const std::string& text, End end)
    {
        if (any_)
            end_line(held_ == End::NONE ? usual_ : held_);
        any_ = true;
        pending_ += text;
        held_ = end;
        if (pending_.size() >= FLUSH_SIZE) {
            out_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
            pending_.clear();
        }
    }

    void end_line(End end)
    {
        if (end == End::CRLF)
            pending_ += "\r\n";
        else if (end == End::LF)
            pending_ += '\n';
    }

    static constexpr size_t FLUSH_SIZE = 1 << 16;
    std::ostream& out_;
    std::string pending_;
    End usual_;
    End held_ = End::NONE; // the end of the last line written, not yet written itself
    bool any_ = false;
};

// The end of the input's line n; past the end of the input, none to go by.
End end_of(Diff::Input& in, unsigned int n) { return in.line(n) ? in.end(n) : End::NONE; }

// Whether a block placed at start replaces the input's last line, which has no
// line end, without the diff saying anything about line ends there: a diff
// written before they were recorded. Its new last line then lacks one too,
// as the file did.
bool keeps_missing_end(Diff::Input& in, const Diff::Block& b, const Sides& sides, unsigned int start)
{
    if (sides.old_side.empty() || sides.old_no_end || sides.new_no_end)
        return false;
    const unsigned int last = start + static_cast<unsigned int>(sides.old_side.size()) - 1;
    if (!in.line(last) || in.end(last) != End::NONE)
        return false;
    for (auto l = b.lines.rbegin(); l != b.lines.rend(); ++l)
        if (l->type != '-')
            return l->type == '+';
    return false;
}

// Whether a block's old side or new side stands at line p of the input, or
// neither. Where both stand, one side begins with the other (an added line
// repeats the context after it, a block deletes the last lines of a file):
// only the longer one tells which text the file has.
std::optional<Placement> fit_either(const Diff& diff, Diff::Input& in, const Sides& sides, unsigned int p)
{
    bool new_side = detail::stands_at(diff, in, sides.new_side, p);
    bool old_side = detail::stands_at(diff, in, sides.old_side, p);
    if (new_side && old_side) {
        // A block that only adds or removes the final line end has the same
        // lines on both sides: the line end tells them apart.
        bool old_end = detail::ends_as(in, sides.old_side.size(), sides.old_no_end, p);
        bool new_end = detail::ends_as(in, sides.new_side.size(), sides.new_no_end, p);
        if ((sides.old_no_end || sides.new_no_end) && old_end != new_end)
            return Placement{p, old_end ? Fit::OLD_SIDE : Fit::NEW_SIDE};
        return Placement{p, sides.old_side.size() > sides.new_side.size() ? Fit::OLD_SIDE : Fit::NEW_SIDE};
    }
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
        std::optional<Placement> at = detail::place(
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
    Output output(out, in.line(0) && in.end(0) == End::CRLF ? End::CRLF : End::LF);
    unsigned int cur = 0; // the next input line to write
    // A line past the end of the input reads as empty and ends as added lines do.
    auto copy = [&](unsigned int n) {
        if (const std::string* l = in.line(n))
            output.put_input(*l, in.end(n));
        else
            output.put_new(past_end, false);
    };
    auto release = [&](unsigned int n) {
        for (; cur < n; ++cur)
            copy(cur);
        in.prune(n);
    };
    for (const Block& b : blocks) {
        Sides sides(b);
        auto fit_at = [&](unsigned int p) -> std::optional<Placement> {
            if (!detail::stands_at(*this, in, sides.old_side, p))
                return std::nullopt;
            return Placement{p, Fit::OLD_SIDE};
        };
        std::optional<Placement> at
            = detail::place(in, b.old_start, cur, !sides.old_side.empty(), fit_at, release);
        if (!at)
            throw ConflictError("Unable to apply diff");
        release(at->start);
        const bool keep_missing_end = keeps_missing_end(in, b, sides, at->start);
        const Line* last_new = nullptr;
        for (const Line& l : b.lines)
            if (l.type != '-')
                last_new = &l;
        // Context lines are written as the input has them: with blank_equal
        // they may differ from the diff's, and they keep their line ends.
        for (const Line& l : b.lines) {
            if (l.type == '+')
                output.put_new(l.text, l.no_end || (keep_missing_end && &l == last_new));
            else if (l.type == ' ')
                copy(cur++);
            else
                output.seen(end_of(in, cur++));
        }
        in.prune(cur);
    }
    for (; in.line(cur) != nullptr; in.prune(++cur))
        copy(cur);
    output.finish();
}

} // namespace velmora
