// The names a built game points at, checked against the names it defines:
// the commonest way a set of mods breaks the game is a name that points
// nowhere, which the game only finds while loading.
#include "core/references.h"

#include <algorithm>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "base/errors.h"
#include "base/hash.h"
#include "core/manifest.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/reference_table.h"

namespace velmora {

namespace {

bool is_xml_name(const std::string& name)
{
    return name.size() > 4 && platform::stricmp(name.c_str() + name.size() - 4, ".xml") == 0;
}

std::string folded(const std::string& s)
{
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

void collect(const Path& folder, const Path& rel, std::vector<Path>& out)
{
    for (const std::string& name : list_files(folder / rel)) {
        const Path child = child_path(rel, name);
        const platform::Kind kind = platform::kind_of((folder / child).str());
        if (kind == platform::Kind::Folder)
            collect(folder, child, out);
        else if (kind == platform::Kind::File && is_xml_name(name))
            out.push_back(child);
    }
}

// One data file as the game reads it.
struct Source {
    Path rel;
    Path full;
    const NameScan* names = nullptr;
    std::uint64_t bytes = 0; // the hash of its bytes when an apply just wrote it; 0 = unknown
};
using Sources = std::map<std::string, Source>; // by the folded relative name, in path order

// The data files below folder's "XML" folder (any letter case) that sources
// lacks: the game reads the first copy of each.
void add_data_files(const Path& folder, Sources& sources)
{
    if (folder.empty() || platform::kind_of(folder.str()) != platform::Kind::Folder)
        return;
    for (const std::string& name : list_files(folder)) {
        if (platform::stricmp(name.c_str(), "XML") != 0
            || platform::kind_of((folder / name).str()) != platform::Kind::Folder)
            continue;
        std::vector<Path> files;
        collect(folder, Path(name), files);
        for (const Path& rel : files)
            sources.emplace(folded(rel.str()), Source{rel, folder / rel, nullptr});
    }
}

const NameScan& scan_of_bytes(const std::string& bytes, std::uint64_t hash, const ReferenceTable& table, ReferenceMemo& memo)
{
    const auto [kept, added] = memo.scans.try_emplace(hash);
    if (added)
        kept->second.names = scan_names(bytes, table);
    kept->second.used = true;
    return kept->second.names;
}

const NameScan& scan_of(const Path& file, const ReferenceTable& table, ReferenceMemo& memo, std::uint64_t bytes_hash = 0)
{
    if (bytes_hash != 0) {
        const auto found = memo.scans.find(bytes_hash);
        if (found != memo.scans.end()) {
            found->second.used = true;
            return found->second.names;
        }
        std::string bytes;
        // Kept by its bytes only when they were read: one that cannot be read
        // is read again by the next check.
        if (read_whole_file(file, bytes) == 0)
            return scan_of_bytes(bytes, bytes_hash, table, memo);
    }
    platform::FileStamp stamp;
    const bool stamped = platform::file_stamp(file.str(), stamp) == 0;
    const auto seen = memo.files.find(file.str());
    if (seen != memo.files.end() && stamped && platform::same_stamp(seen->second.stamp, stamp)) {
        const auto found = memo.scans.find(seen->second.bytes);
        if (found != memo.scans.end()) {
            seen->second.used = found->second.used = true;
            return found->second.names;
        }
    }
    // A file that cannot be read defines nothing and points at nothing.
    std::string bytes;
    const bool read = read_whole_file(file, bytes) == 0;
    if (!read)
        bytes.clear();
    const std::uint64_t hash = hash_bytes(bytes);
    if (read && stamped)
        memo.files[file.str()] = {stamp, hash, true};
    return scan_of_bytes(bytes, hash, table, memo);
}

// The names the game alone and the game as built define, each looked up
// once: most files are the same in both.
struct Defined {
    static constexpr unsigned char by_game = 1, by_build = 2;
    std::unordered_map<std::string_view, unsigned char> names;
    std::unordered_map<std::string_view, const Path*> game_file; // the game's first file defining each
    std::set<std::string, std::less<>> game_families, build_families;

    void add(const Source& s, unsigned char by, const ReferenceTable& table)
    {
        for (const std::string& name : s.names->defined) {
            unsigned char& flags = names[name];
            if ((flags & by) == by)
                continue;
            if ((by & by_game) && !(flags & by_game))
                game_file.emplace(name, &s.rel);
            flags |= by;
            const std::string_view family = table.family_of(name);
            if (family.empty())
                continue;
            if ((by & by_game) && !game_families.count(family))
                game_families.emplace(family);
            if ((by & by_build) && !build_families.count(family))
                build_families.emplace(family);
        }
    }
    unsigned char of(std::string_view name) const
    {
        const auto it = names.find(name);
        return it == names.end() ? 0 : it->second;
    }
};

} // namespace

unsigned ReferenceCheck::caused_by_mods() const
{
    return static_cast<unsigned>(
        std::count_if(broken.begin(), broken.end(), [](const BrokenReference& r) { return !r.in_game; }));
}

std::string describe(const BrokenReference& r)
{
    std::string out = platform::native(r.file) + ": ";
    if (!r.record.empty())
        out += r.record + ": ";
    out += r.field + " " + r.name;
    if (r.in_game)
        return out + " is defined nowhere in the game (also in the game's own files)";
    out += " is defined by no enabled mod";
    std::vector<std::string> why;
    if (!r.added_by.empty())
        why.push_back("added by " + r.added_by);
    if (!r.removed_by.empty())
        why.push_back("removed by " + r.removed_by);
    if (!r.defined_by.empty())
        why.push_back("defined by " + r.defined_by + ", not enabled");
    for (std::size_t i = 0; i < why.size(); ++i)
        out += (i == 0 ? " (" : "; ") + why[i];
    return why.empty() ? out : out + ")";
}

void scan_game_files(const std::vector<Path>& assets_folders, const ReferenceTable& table, ReferenceMemo& memo)
{
    if (table.empty())
        return;
    Sources own;
    for (const Path& assets : assets_folders)
        add_data_files(assets, own);
    for (const auto& s : own)
        scan_of(s.second.full, table, memo);
}

ReferenceCheck check_references(const Path& folder, const GameFiles& game, const ReferenceTable& table,
    ReferenceMemo* memo, const Manifest* written)
{
    ReferenceCheck out;
    if (table.empty())
        return out;
    out.done = true;
    ReferenceMemo local;
    ReferenceMemo& m = memo ? *memo : local;
    for (auto& kept : m.scans)
        kept.second.used = false;
    for (auto& seen : m.files)
        seen.second.used = false;

    Sources own;
    for (const Path& assets : game.folders())
        add_data_files(assets, own);
    Sources built;
    add_data_files(folder, built);
    if (written)
        for (auto& s : built)
            if (const ManifestEntry* e = written->find(s.second.rel.str()))
                s.second.bytes = e->hash;
    for (const auto& s : own)
        built.insert(s);
    for (Sources* sources : {&own, &built})
        for (auto& s : *sources)
            s.second.names = &scan_of(s.second.full, table, m, s.second.bytes);
    // What no check read any more is forgotten.
    for (auto it = m.scans.begin(); it != m.scans.end();)
        it = it->second.used ? std::next(it) : m.scans.erase(it);
    for (auto it = m.files.begin(); it != m.files.end();)
        it = it->second.used ? std::next(it) : m.files.erase(it);

    // A game file no mod replaced counts for both.
    Defined defined;
    for (const auto& [key, s] : own)
        defined.add(s, built.at(key).full == s.full ? Defined::by_game | Defined::by_build : Defined::by_game, table);
    for (const auto& [key, s] : built)
        if (!own.count(key) || own.at(key).full != s.full)
            defined.add(s, Defined::by_build, table);

    // A name the game's own files already point at without defining it is
    // the game's fault wherever a mod repeats it (a copied record, say).
    std::unordered_set<std::string_view> game_broken;
    for (const auto& s : own)
        for (const ScannedReference& r : s.second.names->references)
            if (!(defined.of(r.name) & Defined::by_game) && defined.game_families.count(table.family_of(r.name)))
                game_broken.insert(r.name);
    for (const auto& [key, s] : built) {
        ++out.files;
        for (const ScannedReference& r : s.names->references) {
            const unsigned char flags = defined.of(r.name);
            if (flags & Defined::by_build)
                continue;
            const std::string_view family = table.family_of(r.name);
            if (!defined.build_families.count(family))
                continue;
            BrokenReference b;
            b.file = s.rel;
            b.record = r.record;
            b.field = r.field;
            b.name = r.name;
            if (flags & Defined::by_game)
                b.defined_by_game = *defined.game_file.at(r.name);
            else
                b.in_game = game_broken.count(r.name) > 0;
            out.broken.push_back(std::move(b));
        }
    }
    return out;
}

namespace {

// The scans of the mods' changes to data files, each read once.
class ChangeScans {
public:
    explicit ChangeScans(const ReferenceTable& table)
        : table_(table)
    { }

    // null for a change that is not a data file's XML.
    const NameScan* of(const Change& change)
    {
        auto it = scans_.find(&change);
        if (it != scans_.end())
            return it->second.get();
        std::unique_ptr<NameScan> scan;
        if (is_xml_name(change.file) && change.type != Change::DIFF) {
            try {
                scan.reset(new NameScan(scan_names(change.bytes(), table_)));
            } catch (const GenericError&) {
                // An unreadable payload names no mod.
            }
        }
        return scans_.emplace(&change, std::move(scan)).first->second.get();
    }

private:
    const ReferenceTable& table_;
    std::map<const Change*, std::unique_ptr<NameScan>> scans_;
};

// The files the changes of each mod write, as paths, made once for every
// broken reference: a path is slow to make and there are thousands of changes.
class ChangeFiles {
public:
    explicit ChangeFiles(const std::vector<const Mod*>& order)
    {
        for (const Mod* mod : order) {
            std::vector<Path>& files = files_[mod];
            files.reserve(mod->changes.size());
            for (const Change& c : mod->changes)
                files.emplace_back(c.file);
        }
    }
    // The paths of mod's changes, in the order of its changes.
    const std::vector<Path>& of(const Mod* mod) const { return files_.at(mod); }

private:
    std::map<const Mod*, std::vector<Path>> files_;
};

bool changes_file(const std::vector<Path>& files, const Path& file)
{
    return std::any_of(files.begin(), files.end(), [&](const Path& p) { return p == file; });
}

} // namespace

void name_mods(ReferenceCheck& check, const ReferenceTable& table, const std::vector<const Mod*>& order,
    const std::vector<const Mod*>& others)
{
    ChangeScans scans(table);
    std::unordered_map<std::string, std::string> defined_by; // name -> first mod not enabled defining it
    bool others_read = false;
    std::unique_ptr<ChangeFiles> files;
    for (BrokenReference& b : check.broken) {
        if (b.in_game)
            continue;
        if (!files)
            files.reset(new ChangeFiles(order));
        for (auto mod = order.rbegin(); mod != order.rend() && b.added_by.empty(); ++mod) {
            const std::vector<Path>& paths = files->of(*mod);
            std::size_t i = 0;
            for (const Change& change : (*mod)->changes) {
                const NameScan* scan = paths[i++] == b.file ? scans.of(change) : nullptr;
                if (scan
                    && std::any_of(
                        scan->references.begin(), scan->references.end(), [&](const ScannedReference& r) {
                            return r.name == b.name && r.field == b.field && r.record == b.record;
                        })) {
                    b.added_by = (*mod)->name;
                    break;
                }
            }
        }
        if (!b.defined_by_game.empty()) {
            for (auto mod = order.rbegin(); mod != order.rend() && b.removed_by.empty(); ++mod)
                if (changes_file(files->of(*mod), b.defined_by_game))
                    b.removed_by = (*mod)->name;
        }
        if (!others_read) {
            others_read = true;
            for (const Mod* mod : others)
                for (const Change& change : mod->changes)
                    if (const NameScan* scan = scans.of(change))
                        for (const std::string& name : scan->defined)
                            defined_by.emplace(name, mod->name);
        }
        const auto it = defined_by.find(b.name);
        if (it != defined_by.end())
            b.defined_by = it->second;
    }
}

} // namespace velmora
