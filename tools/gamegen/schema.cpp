#include "tools/gamegen/schema.h"

#include <algorithm>
#include <map>

#include "tools/gamegen/catalog.h"

namespace velmora::gamegen {

namespace {

// A reference to an element in a content model, as the game's schemas write
// them: minOccurs="0" for what records may leave out, maxOccurs="*" for what
// repeats.
XmlNode reference(const std::string& type, bool optional, bool repeats)
{
    XmlNode ref("element");
    ref.attributes = {{"type", type}};
    if (optional || repeats)
        ref.attributes.emplace_back("minOccurs", "0");
    if (repeats)
        ref.attributes.emplace_back("maxOccurs", "*");
    return ref;
}

// The ElementType declarations in the order a schema needs them: children
// before their parents, each name once. Content models are sequences in the
// order the records hold their fields, as the game requires.
class Declarations {
public:
    void leaf(const std::string& name, const char* type)
    {
        if (seen(name))
            return;
        XmlNode e("ElementType");
        e.attributes = {{"name", name}, {"content", "textOnly"}};
        if (type)
            e.attributes.emplace_back("dt:type", type);
        out_.push_back(std::move(e));
    }

    void composite(const std::string& name, std::vector<XmlNode> model)
    {
        if (seen(name))
            return;
        XmlNode e("ElementType");
        e.attributes = {{"name", name}, {"content", "eltOnly"}};
        e.children = std::move(model);
        out_.push_back(std::move(e));
    }

    // Declares a field's elements; returns what it puts in its parent's model.
    std::vector<XmlNode> field(const Field& f)
    {
        const bool optional = f.absent > 0;
        switch (f.kind) {
        case FieldKind::Int:
            leaf(f.name, "int");
            break;
        case FieldKind::Bool:
            leaf(f.name, "boolean");
            break;
        case FieldKind::Float:
            leaf(f.name, "float");
            break;
        case FieldKind::List:
            leaf(f.item, f.item[0] == 'b' ? "boolean" : "int");
            composite(f.name, {reference(f.item, false, true)});
            break;
        case FieldKind::Set:
            leaf(f.item, nullptr);
            composite(f.name, {reference(f.item, false, true)});
            break;
        case FieldKind::Records: {
            composite(f.item, fields(f.fields));
            if (f.name.empty())
                return {reference(f.item, false, true)};
            composite(f.name, {reference(f.item, false, true)});
            break;
        }
        case FieldKind::Object:
            composite(f.name, fields(f.fields));
            break;
        case FieldKind::OneOf: {
            // One of the choices stands in each record.
            XmlNode group("group");
            group.attributes = {{"order", "one"}};
            for (const auto& choice : f.fields)
                for (auto& c : field(choice)) {
                    bool known = false;
                    for (const auto& g : group.children)
                        known = known || g.attributes == c.attributes;
                    if (!known)
                        group.children.push_back(std::move(c));
                }
            return {std::move(group)};
        }
        default:
            leaf(f.name, nullptr);
        }
        return {reference(f.name, optional, false)};
    }

    std::vector<XmlNode> fields(const std::vector<Field>& list)
    {
        std::vector<XmlNode> out;
        for (const auto& f : list)
            for (auto& c : field(f))
                out.push_back(std::move(c));
        return repeated_runs(std::move(out));
    }

    // Fields that a record repeats (a Fader's Key, Value, Key, Value) are a
    // repeated group in the schema, as the game's schemas declare them.
    static std::vector<XmlNode> repeated_runs(std::vector<XmlNode> refs)
    {
        auto type_of = [](const XmlNode& n) {
            for (const auto& [name, value] : n.attributes)
                if (name == "type")
                    return value;
            return std::string();
        };
        for (std::size_t j = 0; j < refs.size(); ++j) {
            const std::string type = type_of(refs[j]);
            std::size_t i = 0;
            while (i < j && (type.empty() || type_of(refs[i]) != type))
                ++i;
            if (i == j)
                continue;
            XmlNode group("group");
            group.attributes = {{"order", "seq"}, {"maxOccurs", "*"}};
            group.children.assign(refs.begin() + static_cast<std::ptrdiff_t>(i), refs.begin() + static_cast<std::ptrdiff_t>(j));
            std::vector<XmlNode> out(refs.begin(), refs.begin() + static_cast<std::ptrdiff_t>(i));
            out.push_back(std::move(group));
            for (std::size_t k = j; k < refs.size(); ++k) {
                bool in_group = false;
                for (const auto& g : out.back().children)
                    in_group = in_group || type_of(g) == type_of(refs[k]);
                if (!in_group)
                    out.push_back(std::move(refs[k]));
            }
            return out;
        }
        return refs;
    }

    std::vector<XmlNode> take() { return std::move(out_); }

private:
    bool seen(const std::string& name) { return !names_.emplace(name, true).second; }

    std::map<std::string, bool> names_;
    std::vector<XmlNode> out_;
};

std::string folder_of(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

} // namespace

std::vector<SchemaFile> schema_files()
{
    // Every schema a record file names, beside the first file that names it,
    // as the game keeps them: the game refuses a file whose schema is missing.
    std::vector<SchemaFile> out;
    for (const auto& recipe : xml_catalog()) {
        bool known = false;
        for (const auto& s : out)
            known = known || s.name == recipe.schema;
        if (!known && !recipe.schema.empty())
            out.push_back({folder_of(recipe.path) + recipe.schema, recipe.schema});
    }
    return out;
}

XmlDocument schema_document(const std::string& name, std::vector<std::string> comments)
{
    // Files that share a schema and a root (the art defines) hold different
    // parts of it: the root's model lists them all, each optional.
    Declarations d;
    std::vector<std::pair<std::string, std::vector<XmlNode>>> roots;
    for (const auto& recipe : xml_catalog()) {
        if (recipe.schema != name)
            continue;
        std::vector<XmlNode> model = d.fields(recipe.fields);
        auto root = std::find_if(roots.begin(), roots.end(), [&](const auto& r) { return r.first == recipe.root; });
        if (root == roots.end()) {
            roots.emplace_back(recipe.root, std::move(model));
            continue;
        }
        for (auto& ref : root->second)
            if (std::find(ref.attributes.begin(), ref.attributes.end(), std::make_pair(std::string("minOccurs"), std::string("0"))) == ref.attributes.end())
                ref.attributes.emplace_back("minOccurs", "0");
        for (auto& ref : model) {
            bool known = false;
            for (const auto& r : root->second)
                known = known || r.attributes[0] == ref.attributes[0];
            if (!known) {
                if (std::find(ref.attributes.begin(), ref.attributes.end(), std::make_pair(std::string("minOccurs"), std::string("0"))) == ref.attributes.end())
                    ref.attributes.emplace_back("minOccurs", "0");
                root->second.push_back(std::move(ref));
            }
        }
    }
    for (auto& [root, model] : roots)
        d.composite(root, std::move(model));
    XmlDocument doc;
    doc.comments = std::move(comments);
    doc.root = XmlNode("Schema");
    doc.root.attributes = {
        {"xmlns", "urn:schemas-microsoft-com:xml-data"}, {"xmlns:dt", "urn:schemas-microsoft-com:datatypes"}};
    doc.root.children = d.take();
    return doc;
}

} // namespace velmora::gamegen
