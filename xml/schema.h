#ifndef VELMORA_XML_SCHEMA_H
#define VELMORA_XML_SCHEMA_H

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace xmlpp {
class Element;
}

namespace velmora {

class Path;
class TreeNode;

// The game's data files name an XDR schema (Microsoft's XML-Data Reduced) on
// their root, and the game refuses a file that breaks it: a record's fields
// must come in the order the schema lists them. These are the parts of XDR
// the game's schemas use.

enum class SchemaContent { elements, text, empty, mixed }; // content="eltOnly|textOnly|empty|mixed"
enum class SchemaOrder { seq, one, many }; // order="seq|one|many"

// An <element type="..."/> reference or a <group>, with its occurrences.
struct SchemaParticle {
    std::string element; // the element a reference names; empty for a group
    unsigned min_occurs = 1;
    bool repeats = false; // maxOccurs is "*" or above 1
    SchemaOrder order = SchemaOrder::seq; // a group's
    std::vector<SchemaParticle> items; // a group's
};

// Where an element stands in a content model.
struct SchemaSlot {
    // Elements of lower rank come first. Elements of one rank (the members of
    // a "one" or "many" group, or of a repeated group) have no order among them.
    unsigned rank = 0;
    bool repeats = false; // may appear more than once
    bool required = false; // must appear (every group on the way to it is required and in sequence)
    unsigned index = 0; // its position among its declaration's slots
};

// An <ElementType> declaration.
struct ElementDecl {
    std::string name;
    SchemaContent content = SchemaContent::mixed;
    // An open model lets elements declared elsewhere in the schema, but not
    // named by this content model, stand anywhere.
    bool open = true;
    SchemaParticle model; // a group holding the declaration's element and group children
    std::unordered_map<std::string, SchemaSlot> slots; // every element the model names
    std::vector<std::string> required; // the elements that must appear, in the model's order

    const SchemaSlot* slot(const char* element) const;
};

class Schema {
public:
    // Reads an XDR schema file. Throws XmlError naming the file when it cannot
    // be read or is not an XDR schema.
    static std::unique_ptr<Schema> read(const Path& file);
    // The same from the file's text; `name` is used in messages.
    static std::unique_ptr<Schema> parse(const std::string& text, const std::string& name);

    // The declaration of an element, or null.
    const ElementDecl* find(const char* element) const;
    const ElementDecl* find(const std::string& element) const { return find(element.c_str()); }

    // The child of parent before which a new child named `element` belongs:
    // the first element child the parent's content model orders after it.
    // Null, to append, when the schema does not declare the parent, its model
    // does not name the element, or nothing comes after it.
    TreeNode insertion_point(TreeNode parent, const char* element) const;

private:
    static std::unique_ptr<Schema> from_document(const xmlpp::Element* root, const std::string& name);

    std::unordered_map<std::string, ElementDecl> decls_;
};

// The schema file a document names: NAME from its root's default namespace
// "x-schema:NAME"; "" when the root names none.
std::string schema_name(const xmlpp::Element* root);

// Each schema read once: the schemas by the path of their file. A file that
// cannot be read is remembered as such, with its message.
class SchemaCache {
public:
    // The schema in file, read on the first call; null when it cannot be read
    // (error() then tells why).
    const Schema* get(const Path& file);
    // The message of the failed read of file, or "".
    std::string error(const Path& file) const;
    // Drops what was read from file, which has been written since.
    void forget(const Path& file);

private:
    struct Entry {
        std::unique_ptr<Schema> schema;
        std::string error;
    };
    std::map<std::string, Entry> entries_;
};

} // namespace velmora

#endif
