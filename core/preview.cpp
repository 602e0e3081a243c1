// What an apply would change in the custom-assets folder: the files, the
// records' fields and the scripts' lines, compared with the folder as it is.
#include "core/preview.h"

#include <libxml++/document.h>
#include <libxml++/parsers/domparser.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "core/manifest.h"
#include "diff/diff.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/parse.h"
#include "xml/library.h"

namespace velmora {

namespace {

// Texts larger than this are not compared line by line: a difference of
// such files tells a user nothing they can read.
const std::uint64_t text_limit = 8u << 20;

bool read_bytes(const Path& file, std::string& out)
{
    std::ifstream in(platform::native(file), std::ios::binary);
    if (!in)
        return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    out = bytes.str();
    return !in.bad();
}

bool is_xml(const std::string& file)
{
    return file.size() > 4 && provenance_key(file.substr(file.size() - 4)) == ".xml";
}

// The fields of every record of an XML file; false when it cannot be read as XML.
bool fields_of(const Path& file, RecordFields& out)
{
    try {
        call_xml_library([&] {
            std::unique_ptr<xmlpp::DomParser> parser = parse_game_file(file);
            out = record_fields(parser->get_document()->get_root_node(), false);
        });
        return true;
    } catch (const XmlLibraryError&) {
        return false;
    }
}

std::string without_set_mark(const std::string& value)
{
    return !value.empty() && value[0] == '\t' ? value.substr(1) : value;
}

bool compare_xml(const Path& before, const Path& after, const std::string& file, const Provenance& provenance,
    std::vector<FieldChange>& out)
{
    RecordFields old_fields, new_fields;
    if (!fields_of(before, old_fields) || !fields_of(after, new_fields))
        return false;
    static const std::map<std::string, std::string> none;
    auto fields = [](const RecordFields& all, const std::string& key) -> const std::map<std::string, std::string>& {
        auto it = all.find(key);
        return it == all.end() ? none : it->second.second;
    };
    std::vector<std::string> keys;
    for (const auto& [key, record] : new_fields)
        keys.push_back(key);
    for (const auto& [key, record] : old_fields)
        if (!new_fields.count(key))
            keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    for (const std::string& key : keys) {
        const auto& was = fields(old_fields, key);
        const auto& is = fields(new_fields, key);
        for (const auto& [field, value] : is) {
            auto old = was.find(field);
            if (old != was.end() && old->second == value)
                continue;
            FieldChange c{key, field, old == was.end() ? std::string() : without_set_mark(old->second),
                without_set_mark(value), old != was.end(), true, provenance.mod_of(file, key, field)};
            out.push_back(std::move(c));
        }
        for (const auto& [field, value] : was)
            if (!is.count(field))
                out.push_back({key, field, without_set_mark(value), std::string(), true, false, std::string()});
    }
    return true;
}

// The lines of `after` that differ from `before`, with the mod of each run.
std::vector<LineChange> compare_text(const std::string& before, const std::string& after, const FileOrigin* origin)
{
    Diff diff;
    std::istringstream old_text(before), new_text(after);
    diff.create(old_text, new_text);
    std::vector<LineChange> out;
    auto add = [&](unsigned first, unsigned added) {
        LineChange c;
        c.first = first;
        c.last = first + added - 1;
        if (origin && added > 0) {
            for (const HunkOrigin& h : origin->hunks)
                if (h.first <= c.last && h.last >= c.first) {
                    c.mod = h.mod;
                    break;
                }
            if (c.mod.empty())
                c.mod = origin->whole;
        }
        out.push_back(std::move(c));
    };
    long offset = 0; // new line number minus old line number
    for (const Diff::Block& block : diff.blocks) {
        unsigned old_line = block.old_start; // from 0
        unsigned added = 0, removed = 0;
        auto close = [&] {
            if (added + removed > 0)
                add(static_cast<unsigned>(static_cast<long>(old_line) + offset) - added + 1, added);
            added = removed = 0;
        };
        for (const Diff::Line& line : block.lines) {
            if (line.type == ' ') {
                close();
                ++old_line;
            } else if (line.type == '-') {
                ++removed;
                ++old_line;
                --offset;
            } else {
                ++added;
                ++offset;
            }
        }
        close();
    }
    return out;
}

FileChange changed(const std::string& file, const Path& before, const Path& after, const Provenance& provenance)
{
    FileChange c{FileChange::Changed, file, {}, {}, {}};
    const FileOrigin* origin = provenance.find(file);
    if (origin)
        c.mods = origin->mods;
    if (is_xml(file) && compare_xml(before, after, file, provenance, c.fields))
        return c;
    std::uint64_t a = 0, b = 0;
    std::string old_text, new_text;
    if (platform::file_size(before.str(), a) != 0 || platform::file_size(after.str(), b) != 0 || a > text_limit
        || b > text_limit || !read_bytes(before, old_text) || !read_bytes(after, new_text)
        || old_text.find('\0') != std::string::npos || new_text.find('\0') != std::string::npos)
        return c; // art and the like: changed as a whole
    c.lines = compare_text(old_text, new_text, origin);
    return c;
}

} // namespace

std::string describe_lines(unsigned first, unsigned last)
{
    if (last < first)
        return "before line " + std::to_string(first);
    if (last == first)
        return "line " + std::to_string(first);
    return "lines " + std::to_string(first) + "-" + std::to_string(last);
}

std::vector<FileChange> compare_builds(
    const Path& current, const Path& built, const Provenance& provenance, unsigned* unchanged)
{
    const Manifest now = platform::kind_of(current.str()) == platform::Kind::Folder ? Manifest::of_folder(current)
                                                                                       : Manifest();
    const Manifest then = Manifest::of_folder(built);
    std::map<std::string, const ManifestEntry*> old_files;
    for (const ManifestEntry& e : now.entries)
        old_files.emplace(provenance_key(e.file), &e);
    std::vector<FileChange> out;
    unsigned same = 0;
    for (const ManifestEntry& e : then.entries) {
        auto old = old_files.find(provenance_key(e.file));
        if (old == old_files.end()) {
            const FileOrigin* origin = provenance.find(e.file);
            out.push_back({FileChange::Added, e.file, origin ? origin->mods : std::vector<std::string>(), {}, {}});
            continue;
        }
        const ManifestEntry& was = *old->second;
        old_files.erase(old);
        if (was.size == e.size && was.hash == e.hash) {
            ++same;
            continue;
        }
        out.push_back(changed(e.file, current / Path(was.file), built / Path(e.file), provenance));
    }
    for (const auto& [key, e] : old_files)
        out.push_back({FileChange::Removed, e->file, {}, {}, {}});
    std::sort(out.begin(), out.end(),
        [](const FileChange& a, const FileChange& b) { return provenance_key(a.file) < provenance_key(b.file); });
    if (unchanged)
        *unchanged = same;
    return out;
}

} // namespace velmora
