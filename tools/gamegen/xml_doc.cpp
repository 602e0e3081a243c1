#include "tools/gamegen/xml_doc.h"

#include <cctype>
#include <string_view>

namespace velmora::gamegen {

XmlNode& XmlNode::add(std::string element, std::string leaf_text)
{
    children.emplace_back(std::move(element), std::move(leaf_text));
    return children.back();
}

XmlNode& XmlNode::add(XmlNode node)
{
    children.push_back(std::move(node));
    return children.back();
}

const XmlNode* XmlNode::child(const std::string& element) const
{
    for (const auto& c : children)
        if (!c.comment && c.name == element)
            return &c;
    return nullptr;
}

XmlNode* XmlNode::child(const std::string& element)
{
    return const_cast<XmlNode*>(static_cast<const XmlNode*>(this)->child(element));
}

namespace {

void write_node(std::string& out, const XmlNode& n, int depth, std::string_view eol)
{
    out.append(static_cast<std::size_t>(depth), '\t');
    if (n.comment) {
        out += "<!--";
        out += n.name;
        out += "-->";
        out += eol;
        return;
    }
    out += '<';
    out += n.name;
    for (const auto& [key, value] : n.attributes) {
        out += ' ';
        out += key;
        out += "=\"";
        out += value;
        out += '"';
    }
    if (n.children.empty()) {
        if (n.text.empty()) {
            out += "/>";
        } else {
            out += '>';
            out += n.text;
            out += "</";
            out += n.name;
            out += '>';
        }
        out += eol;
        return;
    }
    out += '>';
    out += eol;
    for (const auto& c : n.children)
        write_node(out, c, depth + 1, eol);
    out.append(static_cast<std::size_t>(depth), '\t');
    out += "</";
    out += n.name;
    out += '>';
    out += eol;
}

bool is_name_char(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || c == ':';
}

// Every '&' begins a reference ("&amp;", "&#233;") and there is no '<'.
bool is_markup_text(std::string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '<')
            return false;
        if (s[i] != '&')
            continue;
        std::size_t j = i + 1;
        if (j < s.size() && s[j] == '#')
            ++j;
        std::size_t first = j;
        while (j < s.size() && std::isalnum(static_cast<unsigned char>(s[j])))
            ++j;
        if (j == first || j >= s.size() || s[j] != ';')
            return false;
        i = j;
    }
    return true;
}

// Reads "<Name a="v" ...", leaving pos on what follows the last attribute.
bool read_start_tag(std::string_view s, std::size_t& pos, XmlNode& node, std::string& why)
{
    pos = 1;
    while (pos < s.size() && is_name_char(s[pos]))
        ++pos;
    if (pos == 1) {
        why = "a tag without a name";
        return false;
    }
    node.name = std::string(s.substr(1, pos - 1));
    for (;;) {
        std::size_t p = pos;
        while (p < s.size() && s[p] == ' ')
            ++p;
        if (p >= s.size() || s[p] == '>' || s[p] == '/') {
            pos = p;
            return true;
        }
        std::size_t name_start = p;
        while (p < s.size() && is_name_char(s[p]))
            ++p;
        if (p == name_start || p + 1 >= s.size() || s[p] != '=' || s[p + 1] != '"') {
            why = "a malformed attribute in <" + node.name + ">";
            return false;
        }
        std::size_t value_start = p + 2;
        std::size_t value_end = s.find('"', value_start);
        if (value_end == std::string_view::npos) {
            why = "an attribute value without its closing quote";
            return false;
        }
        std::string_view value = s.substr(value_start, value_end - value_start);
        if (!is_markup_text(value)) {
            why = "a '<' or a bare '&' in an attribute value";
            return false;
        }
        node.attributes.emplace_back(std::string(s.substr(name_start, p - name_start)), std::string(value));
        pos = value_end + 1;
    }
}

class Reader {
public:
    Reader(XmlDocument& doc, std::string& error)
        : doc_(doc)
        , error_(error)
    { }

    bool line(std::string_view line, std::size_t number);
    bool finish();

private:
    bool fail(const std::string& why)
    {
        error_ = "line " + std::to_string(number_) + ": " + why;
        return false;
    }
    bool comment(std::string_view s);
    bool end_tag(std::string_view s);
    bool start_tag(std::string_view s);

    XmlDocument& doc_;
    std::string& error_;
    std::vector<XmlNode*> open_;
    bool root_started_ = false;
    bool root_done_ = false;
    std::size_t number_ = 0;
    std::size_t tabs_ = 0;
};

bool Reader::line(std::string_view line, std::size_t number)
{
    number_ = number;
    tabs_ = 0;
    while (tabs_ < line.size() && line[tabs_] == '\t')
        ++tabs_;
    std::string_view s = line.substr(tabs_);
    if (s.empty())
        return fail("an empty line");
    if (s.substr(0, 5) == "<?xml") {
        if (number != 1 || tabs_ != 0 || s.size() < 7 || s.substr(s.size() - 2) != "?>")
            return fail("an XML declaration that is not the whole first line");
        doc_.declaration = std::string(s);
        return true;
    }
    if (s.substr(0, 4) == "<!--")
        return comment(s);
    if (s.substr(0, 2) == "</")
        return end_tag(s);
    if (s[0] == '<')
        return start_tag(s);
    return fail("text outside a tag (text spread over lines?)");
}

bool Reader::comment(std::string_view s)
{
    if (s.size() < 7 || s.substr(s.size() - 3) != "-->")
        return fail("a comment that does not end on its line");
    std::string_view inner = s.substr(4, s.size() - 7);
    if (inner.find("--") != std::string_view::npos || (!inner.empty() && inner.back() == '-'))
        return fail("\"--\" inside a comment");
    if (tabs_ != open_.size())
        return fail("indentation that does not match the nesting");
    if (!root_started_) {
        doc_.comments.emplace_back(inner);
        return true;
    }
    if (open_.empty())
        return fail("a comment after the root element");
    XmlNode c{std::string(inner)};
    c.comment = true;
    open_.back()->add(std::move(c));
    return true;
}

bool Reader::end_tag(std::string_view s)
{
    if (open_.empty())
        return fail("an end tag with no open element");
    const std::string& name = open_.back()->name;
    if (s.size() != name.size() + 3 || s.substr(2, name.size()) != name || s.back() != '>')
        return fail("</" + name + "> expected");
    if (tabs_ + 1 != open_.size())
        return fail("indentation that does not match the nesting");
    open_.pop_back();
    if (open_.empty())
        root_done_ = true;
    return true;
}

bool Reader::start_tag(std::string_view s)
{
    if (root_done_)
        return fail("content after the root element");
    if (tabs_ != open_.size())
        return fail("indentation that does not match the nesting");
    XmlNode node;
    std::size_t pos = 0;
    std::string why;
    if (!read_start_tag(s, pos, node, why))
        return fail(why);
    bool open = false;
    if (s.substr(pos) == "/>") {
        // an empty element
    } else if (pos < s.size() && s[pos] == '>') {
        std::string_view rest = s.substr(pos + 1);
        if (rest.empty()) {
            open = true;
        } else {
            std::string close = "</" + node.name + ">";
            if (rest.size() < close.size() || rest.substr(rest.size() - close.size()) != close)
                return fail("<" + node.name + "> is not closed on its line");
            std::string_view text = rest.substr(0, rest.size() - close.size());
            if (text.empty() || !is_markup_text(text))
                return fail("the text of <" + node.name + "> is not plain text");
            node.text = std::string(text);
        }
    } else {
        return fail("a malformed tag <" + node.name + ">");
    }
    XmlNode* placed;
    if (!root_started_) {
        root_started_ = true;
        doc_.root = std::move(node);
        placed = &doc_.root;
        if (!open)
            root_done_ = true;
    } else {
        placed = &open_.back()->add(std::move(node));
    }
    if (open)
        open_.push_back(placed);
    return true;
}

bool Reader::finish()
{
    if (!root_started_) {
        error_ = "no root element";
        return false;
    }
    if (!root_done_) {
        error_ = "the file ends inside <" + open_.back()->name + ">";
        return false;
    }
    return true;
}

} // namespace

std::string write_document(const XmlDocument& doc)
{
    std::string_view eol = doc.crlf ? "\r\n" : "\n";
    std::string out;
    if (!doc.declaration.empty()) {
        out += doc.declaration;
        out += eol;
    }
    for (const auto& c : doc.comments) {
        out += "<!--";
        out += c;
        out += "-->";
        out += eol;
    }
    write_node(out, doc.root, 0, eol);
    return out;
}

bool read_document(const std::string& bytes, XmlDocument& doc, std::string& error)
{
    doc = XmlDocument();
    if (bytes.empty() || bytes.back() != '\n') {
        error = bytes.empty() ? "the file is empty" : "the last line has no line end";
        return false;
    }
    std::size_t lf = 0, crlf = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ++lf;
            crlf += i > 0 && bytes[i - 1] == '\r';
        } else if (bytes[i] == '\r' && bytes[i + 1] != '\n') {
            error = "a carriage return without a line feed";
            return false;
        }
    }
    if (crlf != 0 && crlf != lf) {
        error = "mixed line ends (CRLF and LF)";
        return false;
    }
    doc.crlf = crlf != 0;
    Reader reader(doc, error);
    std::size_t start = 0, number = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        std::size_t stop = doc.crlf ? end - 1 : end;
        if (!reader.line(std::string_view(bytes).substr(start, stop - start), ++number))
            return false;
        start = end + 1;
    }
    return reader.finish();
}

} // namespace velmora::gamegen
