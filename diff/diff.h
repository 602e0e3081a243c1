#ifndef VELMORA_DIFF_DIFF_H
#define VELMORA_DIFF_DIFF_H

#include <istream>
#include <list>
#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// A line-based difference between an old text (the game's file) and a new one:
// blocks of context (' '), removed ('-') and added ('+') lines, each anchored at
// a line of the old text. Mods store it as text (write/read) and apply it to
// script files that a game patch or another mod may have shifted.
class Diff {
public:
    struct Line {
        char type; // ' ', '-' or '+'
        std::string text; // without the line break
        // The last line of a text that ends without a line break: of the old
        // text for '-', of the new one for '+', of both for ' '. Written as
        // the line "\\ No newline at end of file" after it, which readers
        // of older versions skip.
        bool no_end = false;
    };

    // How a line of an input ends; NONE only for a last line without a line feed.
    enum class End : unsigned char { NONE, LF, CRLF };

    struct Block {
        unsigned int old_start = 0; // first line in the old text, from 0
        unsigned int new_start = 0; // first line in the new text, from 0; only written and read
        std::list<Line> lines;
    };

    // A forward-only view of a stream as numbered lines (from 0) that holds
    // only the lines between the last released one and the furthest one asked
    // for. Lines are cut at line feeds; one carriage return before the line
    // feed is dropped, so Windows line ends read like Unix ones, and end()
    // tells which line end each line had. Reading a line past the end fails;
    // callers treat it as an empty line.
    class Input {
    public:
        explicit Input(std::istream& in);
        Input(const Input&) = delete;
        Input& operator=(const Input&) = delete;

        // Copies line n into out; false (out untouched) when the line was
        // released or lies past the end of the stream.
        bool getline(unsigned int n, std::string& out);
        // Releases every held line numbered below n.
        void prune(unsigned int n);

        // Line n without a copy, or null where getline would fail. The pointer
        // stays valid until the next call on this input.
        const std::string* line(unsigned int n)
        {
            if (n >= first_ && n < count_)
                return &ring_[(head_ + (n - first_)) & (ring_.size() - 1)];
            return read_through(n);
        }
        // The line end of line n; valid where line(n) is not null.
        End end(unsigned int n) const { return ends_[(head_ + (n - first_)) & (ring_.size() - 1)]; }
        // True once a last line without a line end has been read.
        bool ended_without_end() const { return ended_without_end_; }
        // True once the stream has reported its end: count() is then the
        // number of lines of the whole input.
        bool ended() const { return ended_; }
        // The number of the first held line (lines released so far).
        unsigned int first() const { return first_; }
        // The number of lines read from the stream so far.
        unsigned int count() const { return count_; }

    private:
        const std::string* read_through(unsigned int n);
        bool read_next();
        bool fill();
        void grow();

        std::istream& in_;
        // The held lines, in a ring whose size is a power of two: the
        // algorithms look lines up by number, many times each while searching,
        // and a released slot keeps its buffer for a line read later.
        std::vector<std::string> ring_;
        std::vector<End> ends_; // the line end of each slot of ring_
        size_t head_ = 0; // the slot of line first_
        unsigned int first_ = 0;
        unsigned int count_ = 0;
        bool ended_ = false;
        bool ended_without_end_ = false;
        // Bytes read from the stream and not yet cut into lines: reading
        // blocks of them is far cheaper than a stream call per line.
        std::vector<char> buffer_;
        size_t begin_ = 0;
        size_t end_ = 0;
    };

    Diff() = default;

    void write(std::ostream& os) const;
    // Replaces all blocks by those of a difference text. Throws GenericError
    // for a header it cannot read; the diff is then left as it was.
    void read(std::istream& is);
    bool is_empty(const std::string& line) const;
    bool compare(const std::string& a, const std::string& b) const
    {
        return a == b || (blank_equal && is_empty(a) && is_empty(b));
    }

    // Replaces the blocks by the difference from old_text to new_text.
    void create(std::istream& old_text, std::istream& new_text);
    // 0: every block fits the old text in `in`; 2: every block is already in
    // it; 1: neither (the diff cannot be applied).
    int check(std::istream& in) const;
    // Writes the text of `in` with the diff applied. Lines keep the line ends
    // they have in `in`; added lines take the line end of the input line
    // before them (of its first line at its start). The last line ends as the
    // diff's new text says ("\\ No newline at end of file") where the diff
    // changes it, and as in `in` otherwise. Throws ConflictError "Unable to apply diff" when a block does
    // not fit; out then holds a partial text.
    void apply(std::istream& in, std::ostream& out) const;
    // The old lines that the diff touches, in block order: the line number in
    // the low 30 bits, a tag in the top two (see AffectedTag).
    std::vector<unsigned int> get_affected_lines() const;
    // True when a three-way merge of this diff's and other's results would
    // conflict (see find_conflicts).
    bool check_conflicts(const Diff& other) const;

    // Tags of get_affected_lines' entries.
    enum AffectedTag : unsigned int { CONTEXT = 0, REMOVED = 1, INSERTED_BEFORE = 2, FIRST_CONTEXT = 3 };
    static constexpr unsigned int TAG_SHIFT = 30;
    // Line numbers must fit below the tag bits; read refuses blocks that reach this far.
    static constexpr unsigned int LINE_LIMIT = 1u << TAG_SHIFT;

    bool blank_equal = false; // lines of white space only compare equal
    std::list<Block> blocks;
    unsigned int context = 3; // unchanged lines kept around each change
};

// A region where two differences of the same file change the text so that a
// three-way merge of their results conflicts: both change the same lines
// differently, or their changes touch. Lines of the old text, from 1; when
// both only add lines at one place, last is first - 1 (they add before line
// first). lines_a and lines_b are what each difference writes there.
struct DiffConflict {
    int first = 0;
    int last = 0;
    std::vector<std::string> lines_a;
    std::vector<std::string> lines_b;
};

// The regions where a and b, both made against the same old text, conflict,
// in line order: exactly where `git merge-file` of their two results would
// report a conflict. Changes separated by an unchanged line, also inside each
// other's context lines, and identical changes do not conflict.
std::vector<DiffConflict> find_conflicts(const Diff& a, const Diff& b);

// "line 101", "lines 101-103", "before line 101".
std::string describe_lines(const DiffConflict& c);

bool operator==(const Diff::Line& a, const Diff::Line& b);
bool operator==(const Diff::Block& a, const Diff::Block& b);

} // namespace velmora

#endif
