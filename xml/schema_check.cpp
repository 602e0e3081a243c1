#include "xml/schema_check.h"

#include <libxml++/nodes/element.h>
#include <libxml/tree.h>

#include <libxml/parser.h>

#include <cstring>
#include <unordered_map>

#include "base/format.h"
#include "xml/element_info.h"
#include "xml/elements.h"
#include "xml/parse.h"
#include "xml/schema.h"

namespace velmora {

namespace {

const char* name_of(const xmlNode* n) { return reinterpret_cast<const char*>(n->name); }

bool blank(const xmlChar* text)
{
    for (const xmlChar* p = text; p && *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return false;
    return true;
}

// Non-blank text directly inside n, shortened for a message; "" when none.
std::string stray_text(const xmlNode* n)
{
    for (const xmlNode* c = n->children; c; c = c->next)
        if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && !blank(c->content)) {
            std::string text(reinterpret_cast<const char*>(c->content));
            std::string::size_type start = text.find_first_not_of(" \t\r\n");
            std::string::size_type end = text.find_last_not_of(" \t\r\n");
            text = text.substr(start, end - start + 1);
            return text.size() > 40 ? text.substr(0, 37) + "..." : text;
        }
    return std::string();
}

bool has_element_children(const xmlNode* n)
{
    for (const xmlNode* c = n->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            return true;
    return false;
}

// The keys of the keyed records from the root down to n.
std::string record_of(const xmlNode* n)
{
    std::string out;
    for (; n && n->type == XML_ELEMENT_NODE; n = n->parent) {
        xmlpp::Node::create_wrapper(const_cast<xmlNode*>(n));
        const auto* e = static_cast<const xmlpp::Element*>(n->_private);
        if (get_element_type(e) != OBJECT)
            continue;
        const char* key = get_object_key(e);
        if (!key || !*key)
            continue;
        for (const xmlNode* c = n->children; c; c = c->next)
            if (c->type == XML_ELEMENT_NODE && std::string(name_of(c)) == key) {
                xmlChar* text = xmlNodeGetContent(c);
                std::string value = text ? reinterpret_cast<const char*>(text) : "";
                xmlFree(text);
                out = out.empty() ? value : value + " / " + out;
                break;
            }
    }
    return out;
}

class Checker {
public:
    Checker(const Schema& schema, std::vector<SchemaViolation>& out) : schema_(schema), out_(out) { }

    void check(const xmlNode* e, const ElementDecl& decl)
    {
        switch (decl.content) {
        case SchemaContent::text:
            if (has_element_children(e))
                report(e, name_of(e), format("<%s> holds elements, but the schema allows only text in it", name_of(e)));
            return;
        case SchemaContent::empty:
            if (has_element_children(e) || !stray_text(e).empty())
                report(e, name_of(e), format("<%s> has content, but the schema wants it empty", name_of(e)));
            return;
        case SchemaContent::mixed:
            check_children_declared(e, decl);
            return;
        case SchemaContent::elements:
            break;
        }
        std::string text = stray_text(e);
        if (!text.empty())
            report(e, name_of(e),
                format("<%s> holds the text \"%S\", but the schema allows only elements in it", name_of(e), &text));
        check_sequence(e, decl);
    }

private:
    void report(const xmlNode* at, const std::string& element, std::string problem)
    {
        SchemaViolation v;
        v.record = record_of(at);
        v.element = element;
        v.problem = std::move(problem);
        v.line = static_cast<unsigned>(xmlGetLineNo(at));
        out_.push_back(std::move(v));
    }

    // An element the content model does not name: allowed by an open model
    // when the schema declares it, refused otherwise.
    bool allowed_elsewhere(const xmlNode* e, const ElementDecl& decl, const xmlNode* c)
    {
        if (decl.open && schema_.find(name_of(c)))
            return true;
        report(c, name_of(c), format("<%s> is not allowed in <%s>", name_of(c), name_of(e)));
        return false;
    }

    void check_children_declared(const xmlNode* e, const ElementDecl& decl)
    {
        for (const xmlNode* c = e->children; c; c = c->next)
            if (c->type == XML_ELEMENT_NODE && (decl.slot(name_of(c)) || allowed_elsewhere(e, decl, c)))
                descend(c);
    }

    void check_sequence(const xmlNode* e, const ElementDecl& decl)
    {
        const xmlNode* last = nullptr; // the child of the highest rank so far
        unsigned last_rank = 0;
        // How often each slot was met, up to 2: by the slot's index, not its name.
        std::vector<unsigned char> counts(decl.slots.size(), 0);
        for (const xmlNode* c = e->children; c; c = c->next) {
            if (c->type != XML_ELEMENT_NODE)
                continue;
            const SchemaSlot* slot = decl.slot(name_of(c));
            if (!slot) {
                if (allowed_elsewhere(e, decl, c))
                    descend(c);
                continue;
            }
            unsigned char& count = counts[slot->index];
            const bool second = count == 1; // told once, at the second
            if (count < 2)
                ++count;
            if (second && !slot->repeats)
                report(c, name_of(c),
                    format("<%s> appears more than once in <%s>, but the schema allows it once", name_of(c), name_of(e)));
            if (last && slot->rank < last_rank)
                report(c, name_of(c),
                    format("<%s> comes after <%s>, but the schema puts it before <%s>", name_of(c), name_of(last),
                        name_of(last)));
            else {
                last = c;
                last_rank = slot->rank;
            }
            descend(c);
        }
        for (const std::string& name : decl.required)
            if (const SchemaSlot* slot = decl.slot(name.c_str()); !slot || counts[slot->index] == 0)
                report(e, name, format("<%s> lacks <%S>, which the schema requires", name_of(e), &name));
    }

    void descend(const xmlNode* c)
    {
        if (const ElementDecl* decl = schema_.find(name_of(c)))
            check(c, *decl);
    }

    const Schema& schema_;
    std::vector<SchemaViolation>& out_;
};

} // namespace

std::vector<SchemaViolation> check_document(const xmlpp::Element* root, const Schema& schema)
{
    std::vector<SchemaViolation> out;
    const xmlNode* n = root->cobj();
    const ElementDecl* decl = schema.find(name_of(n));
    Checker checker(schema, out);
    if (!decl) {
        SchemaViolation v;
        v.element = name_of(n);
        v.problem = format("the root <%s> is not declared by the schema", name_of(n));
        v.line = static_cast<unsigned>(xmlGetLineNo(n));
        out.push_back(std::move(v));
        return out;
    }
    checker.check(n, *decl);
    return out;
}

namespace {

// The state of the quick pass: one frame per open element.
class Scan {
public:
    Scan(const std::function<const Schema*(const std::string&)>& schema_of) : schema_of_(schema_of) { }

    static void start(void* context, const xmlChar* name, const xmlChar*, const xmlChar*, int namespaces,
        const xmlChar** ns, int, int, const xmlChar**)
    {
        auto* parser = static_cast<xmlParserCtxtPtr>(context);
        auto* scan = static_cast<Scan*>(parser->_private);
        if (!scan->open(reinterpret_cast<const char*>(name), namespaces, ns))
            xmlStopParser(parser);
    }

    static void end(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
    {
        auto* parser = static_cast<xmlParserCtxtPtr>(context);
        auto* scan = static_cast<Scan*>(parser->_private);
        if (!scan->close())
            xmlStopParser(parser);
    }

    static void text(void* context, const xmlChar* chars, int length)
    {
        auto* parser = static_cast<xmlParserCtxtPtr>(context);
        auto* scan = static_cast<Scan*>(parser->_private);
        if (!scan->characters(chars, length))
            xmlStopParser(parser);
    }

    bool no_schema = false;
    bool faulty = false;

private:
    struct Frame {
        const ElementDecl* decl;
        unsigned last_rank = 0;
        bool any = false;
        std::vector<unsigned char> counts; // per slot, up to 2
    };

    bool fault()
    {
        faulty = true;
        return false;
    }

    void push(const ElementDecl* decl)
    {
        frames_.push_back(Frame{decl, 0, false, {}});
        if (decl && decl->content == SchemaContent::elements)
            frames_.back().counts.assign(decl->slots.size(), 0);
    }

    bool open_root(const char* name, int namespaces, const xmlChar** ns)
    {
        std::string schema_name;
        for (int i = 0; i < namespaces; ++i) {
            const char* prefix = reinterpret_cast<const char*>(ns[2 * i]);
            const char* uri = reinterpret_cast<const char*>(ns[2 * i + 1]);
            if (!prefix && uri && std::strncmp(uri, "x-schema:", 9) == 0)
                schema_name = uri + 9;
        }
        schema_ = schema_name.empty() ? nullptr : schema_of_(schema_name);
        if (!schema_) {
            // Read on to the end all the same: a file the game cannot read at all is a fault.
            no_schema = true;
            return true;
        }
        const ElementDecl* decl = schema_->find(name);
        if (!decl)
            return fault();
        push(decl);
        return true;
    }

    bool open(const char* name, int namespaces, const xmlChar** ns)
    {
        if (no_schema)
            return true;
        if (frames_.empty())
            return open_root(name, namespaces, ns);
        Frame& parent = frames_.back();
        const ElementDecl* d = parent.decl;
        if (!d) {
            push(nullptr);
            return true;
        }
        if (d->content == SchemaContent::text || d->content == SchemaContent::empty)
            return fault();
        const SchemaSlot* slot = d->slot(name);
        if (!slot) {
            const ElementDecl* declared = schema_->find(name);
            if (!d->open || !declared)
                return fault();
            push(declared);
            return true;
        }
        if (d->content == SchemaContent::elements) {
            unsigned char& count = parent.counts[slot->index];
            if (count < 2)
                ++count;
            if (count == 2 && !slot->repeats)
                return fault();
            if (parent.any && slot->rank < parent.last_rank)
                return fault();
            parent.last_rank = slot->rank;
            parent.any = true;
        }
        push(schema_->find(name));
        return true;
    }

    bool close()
    {
        if (frames_.empty())
            return true;
        Frame& f = frames_.back();
        if (f.decl && f.decl->content == SchemaContent::elements)
            for (const std::string& name : f.decl->required)
                if (f.counts[f.decl->slot(name.c_str())->index] == 0)
                    return fault();
        frames_.pop_back();
        return true;
    }

    bool characters(const xmlChar* chars, int length)
    {
        if (frames_.empty())
            return true;
        const ElementDecl* d = frames_.back().decl;
        if (!d || (d->content != SchemaContent::elements && d->content != SchemaContent::empty))
            return true;
        for (int i = 0; i < length; ++i)
            if (chars[i] != ' ' && chars[i] != '\t' && chars[i] != '\r' && chars[i] != '\n')
                return fault();
        return true;
    }

    const std::function<const Schema*(const std::string&)>& schema_of_;
    const Schema* schema_ = nullptr;
    std::vector<Frame> frames_;
};

} // namespace

SchemaScan scan_against_schema(const Path& file, const std::function<const Schema*(const std::string&)>& schema_of)
{
    Scan scan(schema_of);
    xmlSAXHandler handler{};
    handler.startElementNs = &Scan::start;
    handler.endElementNs = &Scan::end;
    handler.characters = &Scan::text;
    handler.cdataBlock = &Scan::text;
    const bool read = scan_game_file(file, handler, &scan);
    // A text that does not read is left to the full check, which says why.
    if (!read && !scan.faulty)
        return SchemaScan::faulty;
    if (scan.no_schema)
        return SchemaScan::no_schema;
    return scan.faulty ? SchemaScan::faulty : SchemaScan::clean;
}

} // namespace velmora
