// Verification of a built custom-assets folder: the game reads each data file
// against the schema its root names, and refuses the whole file when one
// record breaks it.
#include "core/verify.h"

#include <libxml++/parsers/domparser.h>

#include <algorithm>
#include <memory>
#include <set>

#include "base/format.h"
#include "base/hash.h"
#include "core/manifest.h"
#include "mod/game_files.h"
#include "mod/schemas.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/parse.h"
#include "xml/element_info.h"
#include "xml/schema.h"
#include "xml/library.h"

namespace velmora {

namespace {

bool is_xml_name(const std::string& name)
{
    return name.size() > 4 && platform::stricmp(name.c_str() + name.size() - 4, ".xml") == 0;
}

// The XML files below folder, relative to it, in path order.
void collect(const Path& folder, const Path& rel, std::vector<Path>& out)
{
    for (const std::string& name : list_files(rel.empty() ? folder : folder / rel)) {
        Path child = rel.empty() ? Path(name) : child_path(rel, name);
        platform::Kind kind = platform::kind_of((folder / child).str());
        if (kind == platform::Kind::Folder)
            collect(folder, child, out);
        else if (kind == platform::Kind::File && is_xml_name(name))
            out.push_back(child);
    }
}

std::unique_ptr<xmlpp::DomParser> parse_or_null(const Path& file, std::string* error)
{
    try {
        return parse_game_file(file);
    } catch (const XmlLibraryError& e) {
        if (error)
            *error = e.what();
        return nullptr;
    }
}

// The faults of the game's own copy of rel against the same schema.
std::vector<SchemaViolation> game_faults(const GameFiles& game, const Path& rel, const Schema& schema)
{
    Path copy = game.find(rel);
    if (copy.empty() || !exists(copy))
        return {};
    auto parser = parse_or_null(copy, nullptr);
    if (!parser || !parser->get_document()->get_root_node())
        return {};
    return check_document(parser->get_document()->get_root_node(), schema);
}

// The bytes of a schema file, hashed once per verification.
std::uint64_t schema_bytes(const std::string& file, std::map<std::string, std::uint64_t>& hashed)
{
    auto it = hashed.find(file);
    if (it != hashed.end())
        return it->second;
    std::uint64_t h = 0;
    if (!hash_file(Path(file), h))
        h = 0; // unreadable: a kept scan never matches it
    return hashed.emplace(file, h).first->second;
}

struct Memo {
    VerifyMemo& kept;
    const Manifest& written;
    std::uint64_t table;
    std::map<std::string, std::uint64_t> schema_hashes;
};

// The kept scan of rel when it still holds: the file's bytes, the table and
// every schema lookup are what they were.
const VerifyMemo::Scan* kept_scan(
    const Path& folder, const Path& rel, const GameFiles& game, Memo& memo, std::uint64_t& bytes)
{
    const ManifestEntry* e = memo.written.find(rel.str());
    if (!e)
        return nullptr;
    bytes = e->hash;
    auto it = memo.kept.files.find(rel.str());
    if (it == memo.kept.files.end() || it->second.bytes != e->hash || it->second.table != memo.table)
        return nullptr;
    for (const VerifyMemo::Lookup& l : it->second.lookups) {
        const Path found = find_schema_file(l.name, rel, folder, game);
        if (found.str() != l.found || (!found.empty() && schema_bytes(found.str(), memo.schema_hashes) != l.bytes))
            return nullptr;
    }
    return &it->second;
}

void check_file(const Path& folder, const Path& rel, const GameFiles& game, SchemaCache& schemas,
    Verification& out, Memo* memo)
{
    std::uint64_t bytes = 0;
    if (memo) {
        if (const VerifyMemo::Scan* scan = kept_scan(folder, rel, game, *memo, bytes)) {
            out.checked += scan->checked;
            return;
        }
        memo->kept.files.erase(rel.str());
    }
    std::vector<VerifyMemo::Lookup> lookups;
    // Most files have no fault: a pass without a tree tells, and only a file
    // with a fault is parsed into a tree for the details.
    const SchemaScan scan = scan_against_schema(folder / rel, [&](const std::string& name) -> const Schema* {
        Path found = find_schema_file(name, rel, folder, game);
        lookups.push_back({name, found.str(), 0});
        return found.empty() ? nullptr : schemas.get(found);
    });
    // Only a file in the manifest has known bytes to keep its scan by.
    if (memo && bytes != 0 && scan != SchemaScan::faulty) {
        bool readable = true;
        for (VerifyMemo::Lookup& l : lookups)
            if (!l.found.empty())
                readable = readable && (l.bytes = schema_bytes(l.found, memo->schema_hashes)) != 0;
        if (readable)
            memo->kept.files[rel.str()] = {bytes, memo->table, std::move(lookups), scan == SchemaScan::clean};
    }
    if (scan == SchemaScan::no_schema)
        return;
    if (scan == SchemaScan::clean) {
        ++out.checked;
        return;
    }
    std::string error;
    auto parser = parse_or_null(folder / rel, &error);
    const xmlpp::Element* root = parser ? parser->get_document()->get_root_node() : nullptr;
    if (!root) {
        SchemaViolation v;
        while (!error.empty() && (error.back() == '\n' || error.back() == ' '))
            error.pop_back();
        v.problem = error.empty() ? "the file has no root element" : "the file cannot be read: " + error;
        out.files.push_back({rel, {v}, {}});
        return;
    }
    const Schema* schema = schema_for(root, rel, folder, game, schemas);
    if (!schema)
        return;
    ++out.checked;
    std::vector<SchemaViolation> faults = check_document(root, *schema);
    if (faults.empty())
        return;
    const std::vector<SchemaViolation> known = game_faults(game, rel, *schema);
    FileFaults file{rel, {}, {}};
    for (SchemaViolation& v : faults) {
        bool old = std::any_of(known.begin(), known.end(), [&](const SchemaViolation& k) { return k.same_fault(v); });
        (old ? file.in_game : file.faults).push_back(std::move(v));
    }
    out.files.push_back(std::move(file));
}

} // namespace

unsigned Verification::files_at_fault() const
{
    return static_cast<unsigned>(
        std::count_if(files.begin(), files.end(), [](const FileFaults& f) { return !f.faults.empty(); }));
}

std::string describe(const Path& file, const SchemaViolation& v, bool in_game)
{
    std::string out = platform::native(file);
    if (v.line)
        out += format(", line %u", v.line);
    if (!v.record.empty())
        out += ", record " + v.record;
    out += ": " + v.problem;
    if (in_game)
        out += " (already in the game's file)";
    return out;
}

Verification verify_folder(
    const Path& folder, const GameFiles& game, SchemaCache& schemas, VerifyMemo* memo, const Manifest* written)
{
    Verification out;
    std::vector<Path> files;
    if (platform::kind_of(folder.str()) == platform::Kind::Folder)
        collect(folder, Path(), files);
    std::unique_ptr<Memo> m;
    if (memo && written)
        m.reset(new Memo {*memo, *written, ElementInfoStorage::instance().digest(), {}});
    for (const Path& rel : files)
        check_file(folder, rel, game, schemas, out, m.get());
    if (m) {
        // Files no longer in the folder: their scans are dropped.
        std::set<std::string> present;
        for (const Path& rel : files)
            present.insert(rel.str());
        for (auto it = memo->files.begin(); it != memo->files.end();)
            it = present.count(it->first) ? std::next(it) : memo->files.erase(it);
    }
    return out;
}

void check_merged_file(const Path& folder, const Path& rel, const xmlpp::Element* root, std::uint64_t bytes,
    const GameFiles& game, SchemaCache& schemas, VerifyMemo& memo)
{
    if (!root || bytes == 0)
        return;
    VerifyMemo::Scan scan{bytes, ElementInfoStorage::instance().digest(), {}, false};
    const std::string name = schema_name(root);
    if (!name.empty()) {
        const Path found = find_schema_file(name, rel, folder, game);
        VerifyMemo::Lookup lookup{name, found.str(), 0};
        if (!found.empty()) {
            if (!hash_file(found, lookup.bytes) || lookup.bytes == 0)
                return;
            if (const Schema* schema = schemas.get(found)) {
                if (!check_document(root, *schema).empty())
                    return;
                scan.checked = true;
            }
        }
        scan.lookups.push_back(std::move(lookup));
    }
    memo.files[rel.str()] = std::move(scan);
}

} // namespace velmora
