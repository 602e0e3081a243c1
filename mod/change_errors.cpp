#include "mod/change_errors.h"

#include <libxml++/exceptions/exception.h>
#include <libxml++/parsers/domparser.h>

#include "base/errors.h"
#include "base/format.h"
#include "base/utf8.h"
#include "mod/mod.h"
#include "mod/untrusted_xml.h"
#include "xml/parse.h"

namespace velmora {

// Control bytes would garble an error dialog.
std::string printable_name(const std::string& s)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7f) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The text with the encoding its XML declaration names replaced by UTF-8.
// The text of a change loaded from a mod file is UTF-8 whatever its own
// declaration says: the mod file's parser decoded it. A modder who copies a
// game file's header into a change brings its "ISO-8859-1" along, which would
// turn every accented letter into two.
std::string declared_utf8(const std::string& text)
{
    if (text.compare(0, 5, "<?xml") != 0 || text.size() < 6 || !is_blank(text[5]))
        return text;
    std::string::size_type end = text.find("?>");
    std::string::size_type name = text.find("encoding", 5);
    if (end == std::string::npos || name == std::string::npos || name > end)
        return text;
    std::string::size_type pos = name + 8;
    while (pos < end && is_blank(text[pos]))
        ++pos;
    if (pos >= end || text[pos] != '=')
        return text;
    ++pos;
    while (pos < end && is_blank(text[pos]))
        ++pos;
    if (pos >= end || (text[pos] != '"' && text[pos] != '\''))
        return text;
    std::string::size_type close = text.find(text[pos], pos + 1);
    if (close == std::string::npos || close > end)
        return text;
    return text.substr(0, pos + 1) + "UTF-8" + text.substr(close);
}

} // namespace

std::string change_context(const Mod& mod, const Change& change)
{
    std::string name = printable_name(mod.name);
    std::string file = printable_name(change.file);
    return format(" (mod '%S', change to %S)", &name, &file);
}

std::unique_ptr<xmlpp::DomParser> parse_change_text(const Mod& mod, const Change& change)
{
    try {
        bool utf8 = is_valid_utf8(change.text);
        auto parser = parse_xml_text(utf8 ? declared_utf8(change.text) : change.text);
        if (!parser->get_document()->get_root_node())
            throw xmlpp::exception("The text has no root element");
        return parser;
    } catch (const xmlpp::exception& e) {
        std::string message = library_message(e) + change_context(mod, change);
        throw XmlError(format("XML error in mod data: %s", message.c_str()));
    }
}

} // namespace velmora
