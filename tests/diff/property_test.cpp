#include <gtest/gtest.h>

#include <random>

#include "base/errors.h"
#include "tests/diff/diff_support.h"

using velmora::ConflictError;
using velmora::Diff;
using velmora::GenericError;
using namespace velmora::test;

namespace {

// Pairs of script-like texts: mostly distinct lines, short runs of empty
// lines, a few lines that repeat, and edits of every kind between them.
class PairMaker {
public:
    explicit PairMaker(unsigned int seed)
        : rng_(seed)
    { }

    void make(std::string& old_text, std::string& new_text)
    {
        std::vector<std::string> old_lines = text(pick(0, 3) == 0 ? pick(0, 8) : pick(10, 150));
        std::vector<std::string> new_lines;
        bool dense = pick(0, 40) == 0;
        if (dense) // a long stretch with every third or fourth line changed
            old_lines = text(pick(400, 600));
        unsigned int every = pick(3, 4);
        for (size_t n = 0; n <= old_lines.size(); ++n) {
            if (dense && n >= 100 && n < 360) {
                if (n < old_lines.size())
                    new_lines.push_back(n % every == 0 ? fresh("changed") : old_lines[n]);
                continue;
            }
            if (pick(0, 11) == 0)
                edit(old_lines, n, new_lines);
            else if (n < old_lines.size())
                new_lines.push_back(old_lines[n]);
        }
        old_text = join(old_lines);
        new_text = join(new_lines);
    }

    std::string prefix() { return join(text(pick(1, 12))); }

private:
    unsigned int pick(unsigned int low, unsigned int high)
    {
        return std::uniform_int_distribution<unsigned int>(low, high)(rng_);
    }

    std::string fresh(const char* kind)
    {
        return "    " + std::string(kind) + "_" + std::to_string(next_++) + "()";
    }

    std::vector<std::string> text(unsigned int size)
    {
        std::vector<std::string> out;
        while (out.size() < size) {
            unsigned int r = pick(0, 19);
            if (r < 3) // a short run of empty lines
                out.insert(out.end(), pick(1, 3), "");
            else if (r == 3)
                out.push_back("        return None");
            else
                out.push_back(fresh("line"));
        }
        return out;
    }

    // One edit at old line n: insert, delete, replace, or add empty lines.
    void edit(const std::vector<std::string>& old_lines, size_t& n, std::vector<std::string>& new_lines)
    {
        unsigned int count = pick(1, 4);
        switch (pick(0, 3)) {
        case 0: // insertion
            for (unsigned int k = 0; k < count; ++k)
                new_lines.push_back(fresh("added"));
            break;
        case 1: // deletion
            n += count - 1;
            return;
        case 2: // replacement
            for (unsigned int k = 0; k < count; ++k)
                new_lines.push_back(fresh("replaced"));
            n += count - 1;
            return;
        default:
            new_lines.push_back("");
            break;
        }
        if (n < old_lines.size())
            new_lines.push_back(old_lines[n]);
    }

    static std::string join(const std::vector<std::string>& lines)
    {
        std::string out;
        for (const std::string& l : lines)
            out += l + '\n';
        return out;
    }

    std::mt19937 rng_;
    unsigned int next_ = 0;
};

// Lines read past an end are empty, so trailing empty lines carry no meaning.
std::string without_trailing_empty_lines(std::string text)
{
    while (text.size() >= 2 && text.compare(text.size() - 2, 2, "\n\n") == 0)
        text.pop_back();
    if (text == "\n")
        text.clear();
    return text;
}

std::vector<std::string> split(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

bool every_old_side_stands_once(const Diff& d, const std::string& text)
{
    std::vector<std::string> lines = split(text);
    for (const Diff::Block& b : d.blocks) {
        std::vector<std::string> side;
        for (const Diff::Line& l : b.lines)
            if (l.type != '+')
                side.push_back(l.text);
        int places = 0;
        for (size_t p = 0; p <= lines.size(); ++p) {
            size_t n = 0;
            while (n < side.size() && side[n] == (p + n < lines.size() ? lines[p + n] : std::string()))
                ++n;
            places += n == side.size();
        }
        if (places != 1)
            return false;
    }
    return true;
}

testing::AssertionResult round_trips(
    const std::string& old_text, const std::string& new_text, const std::string& prefix)
{
    Diff d = create_diff(old_text, new_text);
    std::string out = apply_diff(d, old_text);
    if (!out.empty() && out.back() != '\n')
        return testing::AssertionFailure() << "output does not end with a line feed";
    if (without_trailing_empty_lines(out) != without_trailing_empty_lines(new_text))
        return testing::AssertionFailure() << "apply gives\n" << out << "\ndiff\n" << write_diff(d);
    if (read_diff(write_diff(d)).blocks != d.blocks)
        return testing::AssertionFailure() << "write and read change the blocks of\n" << write_diff(d);
    if (d.blocks.empty())
        return testing::AssertionSuccess();
    if (check_diff(d, old_text) != 0 || check_diff(d, new_text) != 2)
        return testing::AssertionFailure() << "check gives " << check_diff(d, old_text) << " on old, "
                                           << check_diff(d, new_text) << " on new, for\n"
                                           << write_diff(d);
    // Shifted, a block whose old side stands in more than one place (empty
    // lines in a run of them) may land on another one of them, nearer its
    // recorded line: then only success is asked for.
    out = apply_diff(d, prefix + old_text);
    if (without_trailing_empty_lines(out) != without_trailing_empty_lines(prefix + new_text)
        && every_old_side_stands_once(d, prefix + old_text))
        return testing::AssertionFailure() << "shifted apply gives\n" << out << "\ndiff\n" << write_diff(d);
    return testing::AssertionSuccess();
}

TEST(DiffProperty, createThenApplyTurnsOldIntoNewAndCheckTellsBothApart)
{
    for (unsigned int seed = 1; seed <= 1500; ++seed) {
        PairMaker maker(seed);
        std::string old_text;
        std::string new_text;
        maker.make(old_text, new_text);
        std::string prefix = maker.prefix();
        ASSERT_TRUE(round_trips(old_text, new_text, prefix)) << "seed " << seed << "\nold text:\n"
                                                             << old_text << "\nnew text:\n"
                                                             << new_text << "\nprefix:\n"
                                                             << prefix;
    }
}

std::string windows(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// Lines read past an end are empty, so trailing empty lines carry no meaning.
std::string without_trailing_empty_windows_lines(std::string text)
{
    while (text.size() >= 4 && text.compare(text.size() - 4, 4, "\r\n\r\n") == 0)
        text.resize(text.size() - 2);
    return text;
}

// The same pairs with Windows line ends, some without a final one: applying
// the created diff gives the new text's bytes, no line with a line feed alone.
TEST(DiffProperty, createThenApplyKeepsWindowsLineEndsAndTheFinalOne)
{
    for (unsigned int seed = 1; seed <= 500; ++seed) {
        PairMaker maker(seed);
        std::string old_text;
        std::string new_text;
        maker.make(old_text, new_text);
        old_text = without_trailing_empty_lines(old_text);
        new_text = without_trailing_empty_lines(new_text);
        // Lines read past an end are empty: a text that ends in an empty line
        // says nothing about its end.
        if (seed % 3 == 0 && new_text.size() >= 2)
            new_text.pop_back();
        if (seed % 5 == 0 && old_text.size() >= 2)
            old_text.pop_back();
        // A file without a line end has none to keep: added lines get line feeds.
        if (old_text.find('\n') == std::string::npos)
            continue;
        Diff d = create_diff(windows(old_text), windows(new_text));
        std::string out = apply_diff(d, windows(old_text));
        ASSERT_EQ(without_trailing_empty_windows_lines(out),
            without_trailing_empty_windows_lines(windows(new_text)))
            << "seed " << seed << "\ndiff\n"
            << write_diff(d);
    }
}

// Damaged difference texts, as a mod from a forum may carry: every one is
// either refused by read or checked and applied without a crash, each failure
// a GenericError.
TEST(DiffProperty, damagedTextsFailCleanly)
{
    const char* damage[]
        = {"@@ -", ",", "+", "9999999999", "99999999", "0", "-", " ", "\n", "@@ -4294967295,1 +1,1 @@\n"};
    for (unsigned int seed = 1; seed <= 500; ++seed) {
        PairMaker maker(seed);
        std::string old_text;
        std::string new_text;
        maker.make(old_text, new_text);
        std::string text = write_diff(create_diff(old_text, new_text));
        std::mt19937 rng(seed);
        for (int n = 0; n < 3 && !text.empty(); ++n) {
            size_t at = rng() % text.size();
            text.replace(at, rng() % 8, damage[rng() % (sizeof damage / sizeof *damage)]);
        }
        Diff d;
        try {
            std::istringstream in(text);
            d.read(in);
        } catch (const GenericError&) {
            continue;
        }
        try {
            check_diff(d, old_text);
            apply_diff(d, old_text);
        } catch (const ConflictError&) { }
    }
}

} // namespace
