#include "tools/gamegen/schema.h"

#include <algorithm>
#include <map>

#include "tools/gamegen/catalog.h"

namespace velmora::gamegen {

namespace {

const std::vector<std::string> kShipped
    = {"CIV4UnitSchema.xml", "CIV4BuildingsSchema.xml", "CIV4TechnologiesSchema.xml", "CIV4TerrainSchema.xml",
        "CIV4CivilizationsSchema.xml", "CIV4GameInfoSchema.xml"};

// The ElementType declarations in the order a schema needs them: children
// before their parents, each name once.
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

    // children: element name and whether it repeats.
    void composite(const std::string& name, const std::vector<std::pair<std::string, bool>>& children)
    {
        if (seen(name))
            return;
        XmlNode e("ElementType");
        e.attributes = {{"name", name}, {"content", "eltOnly"}};
        for (const auto& [child, repeats] : children) {
            XmlNode& ref = e.add("element");
            ref.attributes = {{"type", child}};
            if (repeats) {
                ref.attributes.emplace_back("minOccurs", "0");
                ref.attributes.emplace_back("maxOccurs", "*");
            }
        }
        out_.push_back(std::move(e));
    }

    // Declares a field's elements; returns the children it puts in its parent.
    std::vector<std::pair<std::string, bool>> field(const Field& f)
    {
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
            composite(f.name, {{f.item, true}});
            break;
        case FieldKind::Set:
            leaf(f.item, nullptr);
            composite(f.name, {{f.item, true}});
            break;
        case FieldKind::Records: {
            composite(f.item, fields(f.fields));
            if (f.name.empty())
                return {{f.item, true}};
            composite(f.name, {{f.item, true}});
            break;
        }
        case FieldKind::Object:
            composite(f.name, fields(f.fields));
            break;
        case FieldKind::OneOf: {
            std::vector<std::pair<std::string, bool>> out;
            for (const auto& choice : f.fields)
                for (auto& c : field(choice))
                    if (std::find(out.begin(), out.end(), c) == out.end())
                        out.push_back(c);
            return out;
        }
        default:
            leaf(f.name, nullptr);
        }
        return {{f.name, false}};
    }

    std::vector<std::pair<std::string, bool>> fields(const std::vector<Field>& list)
    {
        std::vector<std::pair<std::string, bool>> out;
        for (const auto& f : list)
            for (auto& c : field(f))
                out.push_back(std::move(c));
        return out;
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
    std::vector<SchemaFile> out;
    for (const auto& name : kShipped)
        for (const auto& recipe : xml_catalog())
            if (recipe.schema == name) {
                out.push_back({folder_of(recipe.path) + name, name});
                break;
            }
    return out;
}

XmlDocument schema_document(const std::string& name, std::vector<std::string> comments)
{
    Declarations d;
    for (const auto& recipe : xml_catalog())
        if (recipe.schema == name)
            d.composite(recipe.root, d.fields(recipe.fields));
    XmlDocument doc;
    doc.comments = std::move(comments);
    doc.root = XmlNode("Schema");
    doc.root.attributes = {
        {"xmlns", "urn:schemas-microsoft-com:xml-data"}, {"xmlns:dt", "urn:schemas-microsoft-com:datatypes"}};
    doc.root.children = d.take();
    return doc;
}

} // namespace velmora::gamegen
