#include "xml/library.h"

#include <libxml++/exceptions/exception.h>
#include <libxml++/parsers/parser.h>
#include <libxml/parser.h>
#include <sstream>

#include "xml/parse.h"

namespace velmora {

void call_xml_library(const std::function<void()>& f)
{
    try {
        f();
    } catch (const xmlpp::exception& e) {
        throw XmlLibraryError(e.what());
    }
}

void restrict_parser(xmlpp::Parser& parser, bool large_text)
{
    quiet_xml_library();
    parser.set_validate(false);
    parser.set_substitute_entities(false);
    const int refused
        = XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_DTDVALID | XML_PARSE_XINCLUDE;
    if (large_text)
        parser.set_parser_options(XML_PARSE_NONET | XML_PARSE_HUGE, refused);
    else
        parser.set_parser_options(XML_PARSE_NONET, refused | XML_PARSE_HUGE);
}

std::string library_message(const std::exception& e)
{
    std::istringstream lines(e.what());
    std::string out;
    for (std::string line; std::getline(lines, line);) {
        std::string::size_type first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            continue;
        std::string::size_type last = line.find_last_not_of(" \t\r");
        if (!out.empty())
            out += ' ';
        out.append(line, first, last - first + 1);
    }
    return out;
}

} // namespace velmora
