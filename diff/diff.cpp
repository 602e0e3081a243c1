#include "diff/diff.h"

#include "base/errors.h"
#include "base/format.h"

namespace velmora {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The line that marks the line before it as a text's last line without a line
// end, as other diff tools write it.
const char* const no_end_mark = "\\ No newline at end of file";

} // namespace

bool operator==(const Diff::Line& a, const Diff::Line& b)
{
    return a.type == b.type && a.text == b.text && a.no_end == b.no_end;
}

bool operator==(const Diff::Block& a, const Diff::Block& b)
{
    return a.old_start == b.old_start && a.new_start == b.new_start && a.lines == b.lines;
}

bool Diff::is_empty(const std::string& line) const
{
    for (char c : line)
        if (!is_blank(c))
            return false;
    return true;
}

void Diff::write(std::ostream& os) const
{
    for (const Block& b : blocks) {
        unsigned int old_count = 0;
        unsigned int new_count = 0;
        for (const Line& l : b.lines) {
            old_count += l.type != '+';
            new_count += l.type != '-';
        }
        os << "@@ -" << b.old_start + 1 << ',' << old_count << " +" << b.new_start + 1 << ',' << new_count
           << " @@\n";
        for (const Line& l : b.lines) {
            os << l.type << l.text << '\n';
            if (l.no_end)
                os << no_end_mark << '\n';
        }
    }
}

namespace {

// One header line of a difference text, with its place for error messages.
class Header {
public:
    Header(const std::string& text, unsigned int number)
        : text_(text)
        , number_(number)
    { }

    // Reads "@@ -<old start>,<anything> +<new start>..." into 0-based starts.
    // Other tools add counts and trailing text; only the starts are read.
    void parse(unsigned int& old_start, unsigned int& new_start) const
    {
        size_t minus = text_.find('-', 2);
        if (minus == std::string::npos)
            fail("it has no \"-\" before the old start");
        size_t comma = text_.find(',', minus + 1);
        if (comma == std::string::npos)
            fail("it has no \",\" after the old start");
        size_t plus = text_.find('+', comma + 1);
        if (plus == std::string::npos)
            fail("it has no \"+\" before the new start");
        size_t end = text_.find(',', plus + 1);
        old_start = start(minus + 1, comma, "old");
        new_start = start(plus + 1, end == std::string::npos ? text_.size() : end, "new");
    }

    // A block may not reach the line numbers that get_affected_lines cannot tag.
    void check_extent(unsigned int old_start, unsigned int old_lines) const
    {
        if (old_lines >= Diff::LINE_LIMIT - old_start)
            fail(format("its block reaches beyond line %u", Diff::LINE_LIMIT).c_str());
    }

private:
    // The number in [from, to) as strtol reads it (blanks, then digits up to
    // the first other character), as a 1-based line number made 0-based.
    unsigned int start(size_t from, size_t to, const char* which) const
    {
        while (from < to && is_blank(text_[from]))
            ++from;
        if (from < to && text_[from] == '+')
            ++from;
        unsigned long long value = 0;
        size_t digits = from;
        while (digits < to && text_[digits] >= '0' && text_[digits] <= '9' && value <= Diff::LINE_LIMIT)
            value = value * 10 + (text_[digits++] - '0');
        if (digits == from || value == 0 || value > Diff::LINE_LIMIT)
            fail(format("the %s start is not a line number from 1 to %u", which, Diff::LINE_LIMIT).c_str());
        return static_cast<unsigned int>(value - 1);
    }

    [[noreturn]] void fail(const char* problem) const
    {
        // The text comes from a mod file: quote no more of it than a reader needs.
        std::string shown = text_.size() > 60 ? text_.substr(0, 60) + "..." : text_;
        throw GenericError(format("Invalid diff header \"%S\" at line %u: %s.", &shown, number_, problem));
    }

    const std::string& text_;
    unsigned int number_;
};

} // namespace

void Diff::read(std::istream& is)
{
    std::list<Block> result;
    Block* current = nullptr;
    unsigned int old_lines = 0;
    std::string header;
    unsigned int header_number = 0;
    std::string line;
    Line* just_read = nullptr; // the line read from the text line before, if any
    for (unsigned int number = 1; std::getline(is, line); ++number) {
        Line* previous = just_read;
        just_read = nullptr;
        if (line.compare(0, 2, "@@") == 0) {
            header = line;
            header_number = number;
            Block b;
            Header(header, number).parse(b.old_start, b.new_start);
            result.push_back(std::move(b));
            current = &result.back();
            old_lines = 0;
        } else if (current && !line.empty() && (line[0] == ' ' || line[0] == '-' || line[0] == '+')) {
            if (line[0] != '+')
                Header(header, header_number).check_extent(current->old_start, ++old_lines);
            current->lines.push_back({line[0], line.substr(1)});
            just_read = &current->lines.back();
        } else if (previous && !line.empty() && line[0] == '\\') {
            // Whatever its words (tools translate them), the mark is about the line just before it.
            previous->no_end = true;
        }
    }
    blocks.swap(result);
}

} // namespace velmora
