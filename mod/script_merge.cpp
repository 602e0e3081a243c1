#include "mod/script_merge.h"

#include <sstream>

#include "diff/merge.h"

namespace velmora {

namespace {

bool ends_lines_with_crlf(const std::string& text)
{
    size_t crlf = 0;
    size_t lf = 0;
    for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        ++(i > 0 && text[i - 1] == '\r' ? crlf : lf);
    return crlf > lf;
}

std::string without_cr(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    return out;
}

std::string with_crlf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

std::string with_line_ends(const std::string& text, bool crlf)
{
    return crlf ? with_crlf(text) : without_cr(text);
}

// The difference applied to the game's file, in the file's line ends and
// with its final line end or without: the merge compares bytes, and a line
// end that differs from the game's would count as a change of every line.
std::string patched(const Diff& diff, const std::string& game)
{
    std::istringstream in(game);
    std::ostringstream out;
    diff.apply(in, out);
    std::string text = with_line_ends(out.str(), ends_lines_with_crlf(game));
    if (!game.empty() && game.back() != '\n') {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
    }
    return text;
}

} // namespace

std::optional<std::string> merge_script(const Diff& diff, const std::string& game, const std::string& current)
{
    std::istringstream in(game);
    int fit = diff.check(in);
    if (fit == 1)
        return std::nullopt;
    std::string theirs = fit == 2 ? game : patched(diff, game);
    bool crlf = ends_lines_with_crlf(current);
    if (ends_lines_with_crlf(game) == crlf)
        return merge_favouring_theirs(game, current, theirs);
    // The current file took other line ends than the game's (a mod replaced
    // it whole): the lines are merged without them and end as the current
    // file's do.
    std::string merged = merge_favouring_theirs(without_cr(game), without_cr(current), without_cr(theirs));
    return with_line_ends(merged, crlf);
}

} // namespace velmora
