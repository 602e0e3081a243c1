#ifndef VELMORA_TESTS_GAMEGEN_TREE_H
#define VELMORA_TESTS_GAMEGEN_TREE_H

#include <libxml++/libxml++.h>

#include <memory>
#include <string>
#include <vector>

#include "path/platform.h"
#include "tools/gamegen/output.h"

namespace velmora::test {

// "" when equal, else where the bytes part, for a readable failure.
inline std::string first_difference(const std::string& a, const std::string& b)
{
    if (a == b)
        return {};
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size())
        + ", first difference at byte " + std::to_string(i);
}

inline bool ends_with(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

inline std::vector<std::string> files_with(const std::vector<std::string>& files, const std::string& tail)
{
    std::vector<std::string> out;
    for (const auto& f : files)
        if (ends_with(f, tail))
            out.push_back(f);
    return out;
}

// Parses with libxml2, as the program does; throws on a document that is not
// well-formed.
inline std::unique_ptr<xmlpp::DomParser> parse_xml(const Path& file)
{
    auto parser = std::make_unique<xmlpp::DomParser>();
    parser->parse_file(platform::native(file));
    return parser;
}

// The elements an XPath finds; local-name() steps avoid the default namespace.
inline xmlpp::NodeSet find(const xmlpp::DomParser& parser, const std::string& xpath)
{
    return parser.get_document()->get_root_node()->find(xpath);
}

inline std::string text_of(const xmlpp::Node* node)
{
    auto e = dynamic_cast<const xmlpp::Element*>(node);
    return e && e->get_child_text() ? std::string(e->get_child_text()->get_content()) : std::string();
}

} // namespace velmora::test

#endif
