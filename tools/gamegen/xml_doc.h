#ifndef VELMORA_TOOLS_GAMEGEN_XML_DOC_H
#define VELMORA_TOOLS_GAMEGEN_XML_DOC_H

#include <string>
#include <utility>
#include <vector>

namespace velmora::gamegen {

// One element, or one comment, of a game data file. A leaf's text is kept as
// markup, exactly as it stands between its tags (entities not expanded), so a
// document read back writes the same bytes.
struct XmlNode {
    std::string name; // the element name; for a comment, its text
    bool comment = false;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;
    std::vector<XmlNode> children;

    XmlNode() = default;
    explicit XmlNode(std::string element, std::string leaf_text = {})
        : name(std::move(element))
        , text(std::move(leaf_text))
    { }

    // Appends a child and returns it (valid until the next child is added here).
    XmlNode& add(std::string element, std::string leaf_text = {});
    XmlNode& add(XmlNode node);
    const XmlNode* child(const std::string& element) const;
    XmlNode* child(const std::string& element);
    bool is_leaf() const { return !comment && children.empty(); }
};

// A whole file: the optional <?xml?> line, the comments before the root, the
// root, and the line end used on every line.
struct XmlDocument {
    std::string declaration; // the whole "<?xml ...?>" text, or empty for none
    std::vector<std::string> comments;
    XmlNode root;
    bool crlf = false;
};

// The layout of the game's files: one element per line, a tab per level,
// empty elements as <Name/>, every line ended (the last one too).
std::string write_document(const XmlDocument& doc);

// Reads a file written in that layout. Anything else (text spread over lines,
// mixed line ends, spaces for indentation, content after the root, ...) is
// refused: false, with the line and the reason in error.
bool read_document(const std::string& bytes, XmlDocument& doc, std::string& error);


} // namespace velmora::gamegen

#endif
