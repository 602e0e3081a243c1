#include "diff/diff.h"

namespace velmora {

namespace {

// How far the search for a resynchronisation goes on after its first partial match.
constexpr unsigned int SEARCH_AFTER_FIRST_MATCH = 200;

// What a line past the end of a text reads as.
const std::string past_end_line;

const std::string& text_of(Diff::Input& in, unsigned int n)
{
    const std::string* l = in.line(n);
    return l ? *l : past_end_line;
}

// How line n ends, as far as two lines of equal text may still differ: the
// last line of a text without a line end (1) differs from the same text with
// one (0), so that the diff records the change. Past the end, lines read as
// empty lines with a line end (0), except after a last line without one (2):
// there a text has no more lines, not even empty ones.
int end_state(Diff::Input& in, unsigned int n)
{
    if (in.line(n))
        return in.end(n) == Diff::End::NONE ? 1 : 0;
    return in.ended() && in.ended_without_end() ? 2 : 0;
}

bool lacks_end(Diff::Input& in, unsigned int n) { return end_state(in, n) == 1; }

// The numbers of old and new lines that one change spans.
struct Span {
    unsigned int removed = 0;
    unsigned int added = 0;
};

// One forward pass over two texts. A line past the end of a text reads as
// empty, which is why trailing empty lines make no difference.
class Creator {
public:
    Creator(const Diff& diff, std::istream& old_text, std::istream& new_text)
        : diff_(diff)
        , k_(diff.context)
        , window_(diff.context > 0 ? 2 * diff.context : 1)
        , old_(old_text)
        , new_(new_text)
    { }

    std::list<Diff::Block> run()
    {
        for (;;) {
            const std::string* a = old_.line(i_);
            const std::string* b = new_.line(j_);
            if (!a && !b)
                break;
            const std::string& old_line = a ? *a : past_end_line;
            // Exact on purpose: the search below uses compare, this does not.
            if (old_line == (b ? *b : past_end_line) && end_state(old_, i_) == end_state(new_, j_))
                equal_line(old_line);
            else
                change();
        }
        return std::move(blocks_);
    }

private:
    void equal_line(const std::string& text)
    {
        if (open_) {
            // Without context (k 0) the block ends at the change's last line.
            if (t_ < k_) {
                open_->lines.push_back({' ', text, lacks_end(old_, i_)});
                ++t_;
            }
            if (t_ == k_) {
                open_ = nullptr;
                closed_end_ = k_ > 0 ? i_ + 1 : i_;
            }
        }
        if (i_ > k_)
            old_.prune(i_ - k_);
        if (j_ > k_)
            new_.prune(j_ - k_);
        ++i_;
        ++j_;
    }

    void change()
    {
        if (!open_)
            open_block();
        Span s = resync();
        for (unsigned int n = 0; n < s.removed; ++n, ++i_)
            open_->lines.push_back({'-', text_of(old_, i_), lacks_end(old_, i_)});
        for (unsigned int n = 0; n < s.added; ++n, ++j_)
            open_->lines.push_back({'+', text_of(new_, j_), lacks_end(new_, j_)});
        t_ = 0;
    }

    void open_block()
    {
        unsigned int old_start = i_ > k_ ? i_ - k_ : 0;
        // A block whose leading context would repeat lines of the previous one
        // could never be placed after it: go on in the previous block instead,
        // with the equal lines in between as context.
        if (!blocks_.empty() && old_start < closed_end_) {
            open_ = &blocks_.back();
            for (unsigned int n = closed_end_; n < i_; ++n)
                open_->lines.push_back({' ', text_of(old_, n)});
            return;
        }
        Diff::Block b;
        b.old_start = old_start;
        b.new_start = j_ > k_ ? j_ - k_ : 0;
        for (unsigned int n = old_start; n < i_; ++n)
            b.lines.push_back({' ', text_of(old_, n)});
        blocks_.push_back(std::move(b));
        open_ = &blocks_.back();
    }

    // The number of lines that agree from old line o and new line n on, up to 2K
    // (one without context: the texts must agree again on a line at least).
    unsigned int agreeing(unsigned int o, unsigned int n)
    {
        unsigned int s = 0;
        while (s < window_ && diff_.compare(text_of(old_, o + s), text_of(new_, n + s))
            && end_state(old_, o + s) == end_state(new_, n + s))
            ++s;
        return s;
    }

    // Looks for the nearest place where both texts agree again for 2K lines,
    // trying at each distance d every split of d into skipped old and new lines.
    Span resync()
    {
        Span best;
        unsigned int best_length = 0;
        unsigned int limit = 0;
        for (unsigned int d = 1;; ++d) {
            for (unsigned int m = 0; m <= d; ++m) {
                unsigned int n = agreeing(i_ + m, j_ + d - m);
                if (n == 0)
                    continue;
                if (limit == 0)
                    limit = d + SEARCH_AFTER_FIRST_MATCH;
                if (n > best_length) {
                    best = {m, d - m};
                    best_length = n;
                }
            }
            if (limit != 0 && d > limit)
                return best;
            if (best_length == window_)
                return best;
            if (past_end(old_, i_ + d) && past_end(new_, j_ + d))
                return {remaining(old_, i_), remaining(new_, j_)};
        }
    }

    static bool past_end(Diff::Input& in, unsigned int n) { return !in.line(n) && in.ended(); }
    static unsigned int remaining(const Diff::Input& in, unsigned int from)
    {
        return in.count() > from ? in.count() - from : 0;
    }

    const Diff& diff_;
    const unsigned int k_;
    const unsigned int window_; // the lines that must agree again to end a change
    Diff::Input old_;
    Diff::Input new_;
    std::list<Diff::Block> blocks_;
    Diff::Block* open_ = nullptr;
    unsigned int closed_end_ = 0; // one past the last old line of the last closed block
    unsigned int i_ = 0;
    unsigned int j_ = 0;
    unsigned int t_ = 0;
};

} // namespace

void Diff::create(std::istream& old_text, std::istream& new_text)
{
    blocks = Creator(*this, old_text, new_text).run();
}

} // namespace velmora
