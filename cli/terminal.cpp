#include "cli/terminal.h"

#include <algorithm>
#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/text.h"

namespace velmora::cli {

namespace {

constexpr int bar_width = 24;

unsigned terminal_columns()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

// The first `columns` characters of text, never splitting a UTF-8 sequence.
std::string cut(const std::string& text, std::size_t columns)
{
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == columns)
            return text.substr(0, i);
    }
    return text;
}

std::string trimmed(const std::string& s)
{
    auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

bool is_terminal(int fd) { return ::isatty(fd) == 1; }

ProgressBar::ProgressBar(std::ostream& out, bool enabled)
    : out(out)
    , enabled(enabled)
{ }

ProgressBar::~ProgressBar() { clear(); }

void ProgressBar::show(const std::string& message, float fraction)
{
    if (!enabled)
        return;
    const float f = std::clamp(fraction, 0.0f, 1.0f);
    const int filled = static_cast<int>(f * bar_width);
    const int percent = static_cast<int>(f * 100);
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#')
        + std::string(static_cast<std::size_t>(bar_width - filled), '-') + "] " + std::to_string(percent)
        + "% " + printable(one_line(message));
    // One column short of the width: a full line would wrap on some terminals.
    out << "\r\033[K" << cut(line, terminal_columns() - 1) << std::flush;
    drawn = true;
}

void ProgressBar::clear()
{
    if (!drawn)
        return;
    out << "\r\033[K" << std::flush;
    drawn = false;
}

unsigned int ask_winner(std::istream& in, std::ostream& out, const std::string& first,
    const std::string& second, const std::string& conflict, const std::vector<std::string>& details)
{
    out << "Mods '" << printable(first) << "' and '" << printable(second)
        << "' conflict: " << printable(one_line(conflict)) << "\n";
    for (const std::string& line : details)
        out << "  " << detail_line(line) << "\n";
    out
        << "Which mod wins (is applied later)?\n"
        << "  1) " << printable(first) << "\n"
        << "  2) " << printable(second) << "\n";
    for (;;) {
        out << "Answer 1 or 2: " << std::flush;
        std::string answer;
        if (!std::getline(in, answer)) {
            out << "\n";
            return 0;
        }
        answer = trimmed(answer);
        if (answer == "1")
            return 1;
        if (answer == "2")
            return 2;
    }
}

} // namespace velmora::cli
