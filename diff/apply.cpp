#include "diff/diff.h"

#include <optional>

#include "base/errors.h"
#include "diff/locate.h"

namespace velmora {

using detail::Fit;
using detail::Placement;
using detail::Sides;

namespace {

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

// Whether a block's old side or new side stands at line p of the input, or
// neither. Where both stand, one side begins with the other (an added line
// repeats the context after it, a block deletes the last lines of a file):
// only the longer one tells which text the file has.
std::optional<Placement> fit_either(const Diff& diff, Diff::Input& in, const Sides& sides, unsigned int p)
{
    bool new_side = detail::stands_at(diff, in, sides.new_side, p);
    bool old_side = detail::stands_at(diff, in, sides.old_side, p);
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
            if (!detail::stands_at(*this, in, sides.old_side, p))
                return std::nullopt;
            return Placement{p, Fit::OLD_SIDE};
        };
        std::optional<Placement> at
            = detail::place(in, b.old_start, cur, !sides.old_side.empty(), fit_at, release);
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
