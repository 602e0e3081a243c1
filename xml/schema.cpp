#include "xml/schema.h"

#include <libxml++/exceptions/exception.h>
#include <libxml++/nodes/element.h>
#include <libxml++/parsers/domparser.h>
#include <libxml/tree.h>

#include <cstring>

#include "base/errors.h"
#include "base/format.h"
#include "path/path.h"
#include "xml/library.h"
#include "xml/parse.h"
#include "xml/tree.h"

namespace velmora {

namespace {

bool named(const xmlNode* n, const char* name)
{
    return n->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(n->name), name) == 0;
}

std::string attribute(const xmlNode* n, const char* name)
{
    xmlChar* value = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return std::string();
    std::string out(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return out;
}

[[noreturn]] void bad_schema(const std::string& name, const std::string& why)
{
    throw XmlError(format("The schema %S is not a schema the game can read: %S", &name, &why));
}

SchemaOrder order_of(const std::string& text, SchemaOrder fallback, const std::string& name)
{
    if (text.empty())
        return fallback;
    if (text == "seq")
        return SchemaOrder::seq;
    if (text == "one")
        return SchemaOrder::one;
    if (text == "many")
        return SchemaOrder::many;
    bad_schema(name, "unknown order \"" + text + "\"");
}

// minOccurs and maxOccurs: XDR allows 0 or 1, and "*" or 1.
void read_occurs(const xmlNode* n, SchemaParticle& p)
{
    p.min_occurs = attribute(n, "minOccurs") == "0" ? 0 : 1;
    std::string max = attribute(n, "maxOccurs");
    p.repeats = max == "*" || (!max.empty() && max != "1" && max != "0");
}

void read_items(const xmlNode* n, SchemaParticle& group, const std::string& name)
{
    for (const xmlNode* c = n->children; c; c = c->next) {
        if (named(c, "element")) {
            SchemaParticle p;
            p.element = attribute(c, "type");
            if (p.element.empty())
                bad_schema(name, "an element reference has no type");
            read_occurs(c, p);
            group.items.push_back(std::move(p));
        } else if (named(c, "group")) {
            SchemaParticle p;
            p.order = order_of(attribute(c, "order"), SchemaOrder::seq, name);
            read_occurs(c, p);
            read_items(c, p, name);
            group.items.push_back(std::move(p));
        }
    }
}

// Gives each element of p its rank, going on from `rank`. Members of a group
// without a sequence, or of a repeated group, share one rank.
void assign_slots(const SchemaParticle& p, unsigned& rank, bool required, bool shared, ElementDecl& decl)
{
    if (!p.element.empty()) {
        SchemaSlot slot{rank, p.repeats || shared, required && p.min_occurs > 0 && !shared,
            static_cast<unsigned>(decl.slots.size())};
        if (decl.slots.emplace(p.element, slot).second && slot.required)
            decl.required.push_back(p.element);
        if (!shared)
            ++rank;
        return;
    }
    bool in_sequence = p.order == SchemaOrder::seq && !p.repeats && !shared;
    bool members_required = required && p.min_occurs > 0 && p.order == SchemaOrder::seq;
    for (const SchemaParticle& item : p.items)
        assign_slots(item, rank, members_required, !in_sequence, decl);
    if (!in_sequence && !shared)
        ++rank;
}

ElementDecl read_decl(const xmlNode* n, const std::string& name)
{
    ElementDecl d;
    d.name = attribute(n, "name");
    if (d.name.empty())
        bad_schema(name, "an ElementType has no name");
    std::string content = attribute(n, "content");
    if (content == "eltOnly")
        d.content = SchemaContent::elements;
    else if (content == "textOnly")
        d.content = SchemaContent::text;
    else if (content == "empty")
        d.content = SchemaContent::empty;
    else if (content.empty() || content == "mixed")
        d.content = SchemaContent::mixed;
    else
        bad_schema(name, "unknown content \"" + content + "\" of " + d.name);
    d.open = attribute(n, "model") != "closed";
    d.model.order = order_of(attribute(n, "order"),
        d.content == SchemaContent::elements ? SchemaOrder::seq : SchemaOrder::many, name);
    read_items(n, d.model, name);
    unsigned rank = 0;
    assign_slots(d.model, rank, true, false, d);
    return d;
}

} // namespace

const SchemaSlot* ElementDecl::slot(const char* element) const
{
    auto it = slots.find(element);
    return it == slots.end() ? nullptr : &it->second;
}

std::unique_ptr<Schema> Schema::read(const Path& file)
{
    std::unique_ptr<xmlpp::DomParser> parser;
    try {
        parser = parse_game_file(file);
    } catch (const XmlLibraryError& e) {
        throw XmlError(format("XML error in the schema %S: %s", &file, e.what()));
    }
    return from_document(parser->get_document()->get_root_node(), file.str());
}

std::unique_ptr<Schema> Schema::parse(const std::string& text, const std::string& name)
{
    std::unique_ptr<xmlpp::DomParser> parser;
    try {
        parser = parse_xml_text(text);
    } catch (const XmlLibraryError& e) {
        throw XmlError(format("XML error in the schema %S: %s", &name, e.what()));
    }
    return from_document(parser->get_document()->get_root_node(), name);
}

std::unique_ptr<Schema> Schema::from_document(const xmlpp::Element* root, const std::string& name)
{
    if (!root || !named(root->cobj(), "Schema"))
        bad_schema(name, "its root is not <Schema>");
    auto schema = std::make_unique<Schema>();
    for (const xmlNode* c = root->cobj()->children; c; c = c->next)
        if (named(c, "ElementType")) {
            ElementDecl d = read_decl(c, name);
            std::string key = d.name;
            schema->decls_.emplace(std::move(key), std::move(d));
        }
    return schema;
}

const ElementDecl* Schema::find(const char* element) const
{
    auto it = decls_.find(element);
    return it == decls_.end() ? nullptr : &it->second;
}

TreeNode Schema::insertion_point(TreeNode parent, const char* element) const
{
    const ElementDecl* decl = find(parent.name());
    if (!decl)
        return TreeNode();
    const SchemaSlot* slot = decl->slot(element);
    if (!slot)
        return TreeNode();
    for (TreeNode c = parent.first_child(); c; c = c.next()) {
        if (!c.is_element())
            continue;
        const SchemaSlot* other = decl->slot(c.name());
        if (other && other->rank > slot->rank)
            return c;
    }
    return TreeNode();
}

std::string schema_name(const xmlpp::Element* root)
{
    const xmlNode* n = root->cobj();
    for (const xmlNs* ns = n->nsDef; ns; ns = ns->next) {
        if (ns->prefix || !ns->href)
            continue;
        const char* href = reinterpret_cast<const char*>(ns->href);
        if (std::strncmp(href, "x-schema:", 9) == 0)
            return href + 9;
    }
    return std::string();
}

const Schema* SchemaCache::get(const Path& file)
{
    auto [it, added] = entries_.try_emplace(file.str());
    if (added) {
        try {
            it->second.schema = Schema::read(file);
        } catch (const GenericError& e) {
            it->second.error = e.what();
        }
    }
    return it->second.schema.get();
}

std::string SchemaCache::error(const Path& file) const
{
    auto it = entries_.find(file.str());
    return it == entries_.end() ? std::string() : it->second.error;
}

void SchemaCache::forget(const Path& file) { entries_.erase(file.str()); }

} // namespace velmora
