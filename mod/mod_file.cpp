// Reading and writing mod files.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <libxml++/libxml++.h>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "mod/base64.h"
#include "mod/change_errors.h"
#include "mod/change_path.h"
#include "mod/game_file_names.h"
#include "mod/header_parser.h"
#include "mod/mod.h"
#include "mod/untrusted_xml.h"
#include "mod/xml_text.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/misc.h"

namespace velmora {

namespace {

constexpr std::streamsize header_chunk_size = 1024;
// How much of a whole file is looked at to decide whether it is binary.
constexpr std::string::size_type encode_probe_size = 1024;
// Marks a whole change of an empty file, which has no text to tell it from the
// empty changes that reading drops.
const char* const empty_attribute = "empty";

bool is_unsafe_byte(unsigned char c) { return (c < 0x20 && c != '\n' && c != '\r') || c >= 0x7f; }

// Binary whole files are stored in the base-64 code; text files stay readable.
// Any other payload is encoded only when XML cannot carry its bytes as text
// (a Latin-1 script's diff, a stray control byte): written as plain text it
// would make the whole mod file unreadable.
bool needs_encoding(const Change& c, const std::string& text)
{
    if (text.empty())
        return false;
    if (c.type == Change::WHOLE) {
        std::string::size_type n = std::min(text.size(), encode_probe_size);
        for (std::string::size_type i = 0; i < n; ++i)
            if (is_unsafe_byte(static_cast<unsigned char>(text[i])))
                return true;
    }
    return !is_xml_text(text);
}

Change::Type type_from_name(const std::string& name)
{
    if (name == "diff")
        return Change::DIFF;
    if (name == "xml")
        return Change::XML;
    return Change::WHOLE;
}

// The mod read from a parsed document, the header starting from `header`
// (a header element without text keeps that value).
Mod read_document(const Path& p, xmlpp::Element* root, const Mod& header)
{
    Mod m;
    m.name = header.name;
    m.author = header.author;
    m.version = header.version;
    m.description = header.description;
    if (!root)
        return m;
    std::string* fields[] = {&m.name, &m.author, &m.version, &m.description};
    const char* field_names[] = {"Name", "Author", "Version", "Description"};
    for (xmlpp::Node* node : root->get_children()) {
        auto* e = dynamic_cast<xmlpp::Element*>(node);
        if (!e)
            continue;
        const xmlpp::TextNode* text = e->get_child_text();
        std::string name = e->get_name();
        for (int i = 0; i < 4; ++i)
            if (name == field_names[i] && text)
                *fields[i] = text->get_content();
        if (name != "Change")
            continue;
        Change c;
        c.type = type_from_name(e->get_attribute_value("type"));
        // A change without text is skipped, as mod files have always been
        // read (an unchanged script's empty difference), except an empty file
        // stored whole, which save marks.
        if (!text && !(c.type == Change::WHOLE && e->get_attribute_value(empty_attribute) == "1"))
            continue;
        c.file = e->get_attribute_value("file");
        c.text = text ? std::string(text->get_content()) : std::string();
        if (e->get_attribute_value("base64") == "1")
            c.text = base64_decode(c.text);
        else if (c.type == Change::XML)
            c.text = format_xml(c.text);
        // Art waits on disk until an apply writes it, not in memory.
        if (c.type == Change::WHOLE && c.text.size() >= stored_payload_minimum)
            if ((c.stored = Spool::store(c.text, hash_bytes(c.text))))
                std::string().swap(c.text);
        if (!is_safe_change_path(c.file)) {
            std::string shown = printable_name(c.file);
            throw GenericError(format("The mod %S was not loaded: its change of '%S' would not stay a file "
                                      "inside the custom assets folder.",
                &p, &shown));
        }
        // A mod must not write Velmora's own bookkeeping (the manifest) into
        // the folders it builds. Other names no game reads stay in the mod,
        // so that nothing of it is lost when it is saved; apply skips them.
        if (kind_of_name(c.file) == NameKind::Own) {
            std::string shown = printable_name(c.file);
            std::string mod = printable_name(m.name);
            throw GenericError(format("The mod '%S' (%S) was not loaded: its change of '%S' would write a file "
                                      "that Velmora keeps for itself in the custom assets folder.",
                &mod, &p, &shown));
        }
        m.changes.push_back(std::move(c));
    }
    return m;
}

xmlpp::Element* add_text_element(xmlpp::Element* parent, const char* name, const std::string& text)
{
    auto* e = parent->add_child(name);
    e->add_child_text(text);
    return e;
}

void write_change(xmlpp::Element* root, const Change& c)
{
    xmlpp::Element* e = root->add_child("Change");
    e->set_attribute("file", to_xml_text(c.file));
    e->set_attribute("type", format("%O", new fmtobject<Change::Type>(&c.type)));
    const std::string stored = c.stored ? c.bytes() : std::string();
    const std::string& text = c.stored ? stored : c.text;
    if (needs_encoding(c, text)) {
        e->set_attribute("base64", "1");
        e->set_attribute("size", format("%u", static_cast<unsigned>(text.size())));
        e->add_child_text(base64_encode(text));
    } else if (c.type == Change::WHOLE && text.empty()) {
        // An empty file (a package's __init__.py) is a change too; readers of
        // earlier versions skip the element, as they skip every empty one.
        e->set_attribute(empty_attribute, "1");
    } else {
        e->add_child_text(text);
    }
}

[[noreturn]] void throw_save_error(const Path& p, int error)
{
    const char* reason = error ? std::strerror(error) : "write error";
    throw GenericError(format("Cannot save the mod file %S: %s", &p, reason));
}

} // namespace

int Mod::load_headers(const Path& p)
{
    if (loaded)
        return 0;
    path = p;
    changes.clear();
    std::ifstream in(platform::native(p));
    if (!in)
        return 0;
    HeaderParser parser(*this);
    restrict_parser(parser);
    char buffer[header_chunk_size];
    // Never finished: a file cut short after its header is not an error here.
    while (in && !parser.header_done()) {
        in.read(buffer, header_chunk_size);
        std::streamsize n = in.gcount();
        if (n > 0)
            parser.parse_chunk_raw(
                reinterpret_cast<const unsigned char*>(buffer), static_cast<xmlpp::SaxParser::size_type>(n));
    }
    return 0;
}

int Mod::load(const Path& p)
{
    if (!exists(p))
        return -1;
    xmlpp::DomParser parser;
    restrict_parser(parser, true);
    // Messages go into the exception, not onto the console.
    parser.set_throw_messages(true);
    try {
        parser.parse_file(platform::native(p));
    } catch (const xmlpp::exception& e) {
        std::string message = library_message(e);
        throw XmlError(format("XML error in %S: %s", &p, message.c_str()));
    }
    Mod m = read_document(p, parser.get_document()->get_root_node(), *this);
    path = p;
    name = std::move(m.name);
    author = std::move(m.author);
    version = std::move(m.version);
    description = std::move(m.description);
    changes = std::move(m.changes);
    loaded = true;
    return 0;
}

int Mod::save(const Path& p)
{
    // The header as the file holds it (see to_xml_text); once the file is
    // written the mod takes it over, so that it matches its file.
    std::string header[]
        = {to_xml_text(name), to_xml_text(author), to_xml_text(version), to_xml_text(description)};
    xmlpp::Document doc("1.0");
    xmlpp::Element* root = doc.create_root_node("Pellarix");
    add_text_element(root, "Name", header[0]);
    add_text_element(root, "Author", header[1]);
    add_text_element(root, "Version", header[2]);
    add_text_element(root, "Description", header[3]);
    try {
        for (const Change& c : changes)
            write_change(root, c);
    } catch (const GenericError& e) {
        throw GenericError(format("Cannot save the mod file %S: %s", &p, e.what()));
    }
    std::string bytes;
    try {
        bytes = doc.write_to_string_formatted("utf-8");
    } catch (const xmlpp::exception& e) {
        std::string message = library_message(e);
        throw GenericError(format("Cannot save the mod file %S: %s", &p, message.c_str()));
    }
    // Through a temporary file: a failure or a kill halfway leaves the old file whole.
    if (write_file_atomically(p, bytes) != 0)
        throw_save_error(p, errno);
    path = p;
    name = header[0];
    author = header[1];
    version = header[2];
    description = header[3];
    for (Change& c : changes)
        c.file = to_xml_text(c.file);
    return 0;
}

} // namespace velmora
