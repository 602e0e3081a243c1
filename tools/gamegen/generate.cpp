#include <cmath>

#include "base/errors.h"
#include "path/fs.h"
#include "tools/gamegen/art.h"
#include "tools/gamegen/catalog.h"
#include "tools/gamegen/gamegen.h"
#include "tools/gamegen/output.h"
#include "tools/gamegen/python.h"
#include "tools/gamegen/schema.h"
#include "tools/gamegen/text.h"

namespace velmora {

namespace {

using namespace gamegen;

// Scales above this make trees of gigabytes, which no test needs.
constexpr double kMaxScale = 20.0;

XmlDocument record_document(
    const RecordFile& recipe, const World& world, Rng& rng, std::vector<std::string> comments)
{
    XmlDocument doc;
    doc.declaration = recipe.declaration;
    doc.comments = std::move(comments);
    doc.crlf = recipe.crlf;
    doc.root = XmlNode(recipe.root);
    doc.root.attributes = {{"xmlns", "x-schema:" + recipe.schema}};
    build_fields(doc.root, recipe.fields, world, rng);
    return doc;
}

void write_tree(const GameGenOptions& options, OutputTree& out)
{
    const World world(options.scale);
    auto header = [&](const std::string& path, const std::string& title) {
        return header_comments(path, title, options.seed, options.scale);
    };
    for (const auto& recipe : xml_catalog()) {
        Rng rng = stream(options.seed, recipe.path);
        out.write(recipe.path,
            write_document(record_document(recipe, world, rng, header(recipe.path, recipe.title))),
            FileKind::Xml);
    }
    for (const auto& schema : schema_files())
        out.write(schema.path, write_document(schema_document(schema.name, header(schema.path, "Schema"))),
            FileKind::Xml);
    for (const auto& file : text_files()) {
        Rng rng = stream(options.seed, file.path);
        out.write(file.path, write_document(text_document(file, world, rng, header(file.path, file.title))),
            FileKind::Xml);
    }
    for (const auto& file : python_files(options.scale)) {
        Rng rng = stream(options.seed, file.path);
        out.write(file.path, python_script(rng, file), FileKind::Python);
    }
    for (const auto& file : art_files(world)) {
        Rng rng = stream(options.seed, file.path);
        out.write(file.path, binary_bytes(rng, file.path, file.size), FileKind::Binary);
    }
}

} // namespace

GameGenSummary generate_assets(const Path& assets_dir, const GameGenOptions& options)
{
    if (!std::isfinite(options.scale) || options.scale <= 0 || options.scale > kMaxScale)
        throw GenericError("The scale " + scale_text(options.scale)
            + " is out of range: it must be above 0 and at most " + scale_text(kMaxScale) + ".");
    bool was_missing = require_empty_folder(assets_dir, "The assets folder");
    make_folder(assets_dir);
    OutputTree out(assets_dir);
    try {
        write_tree(options, out);
    } catch (...) {
        // Take back what this run wrote; the folder was missing or empty.
        rmdir(assets_dir, true);
        if (!was_missing)
            mkpath(assets_dir, 0755);
        throw;
    }
    return out.summary();
}

} // namespace velmora
