#ifndef VELMORA_CLI_TEXT_H
#define VELMORA_CLI_TEXT_H

#include <ostream>
#include <string>
#include <vector>

namespace velmora {

class Path;

namespace cli {

// A message on one line: line breaks and the blanks around them become one
// space, and the ends are trimmed. Library messages span several lines.
std::string one_line(const std::string& text);

// Text from a mod file or a file name, safe to write to a terminal: control
// characters (C0, DEL and C1) are shown as "\xNN" so that a mod from a forum
// cannot move the cursor or retitle the window.
std::string printable(const std::string& text);

// A line of a conflict's details, safe for a terminal: tabs (script lines)
// become four spaces, other control characters "\xNN".
std::string detail_line(const std::string& line);

// The native form of a path ("/home/me/..."), made printable.
std::string shown(const Path& p);

// The number of characters text takes on a terminal, counting UTF-8 sequences
// as one character each.
std::size_t display_width(const std::string& text);

// Rows of columns, padded so that the columns line up. The last column is not
// padded, so no line ends in blanks.
void print_table(std::ostream& out, const std::vector<std::vector<std::string>>& rows);

} // namespace cli
} // namespace velmora

#endif
