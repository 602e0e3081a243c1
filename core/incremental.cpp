#include "core/incremental.h"

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "base/hash.h"
#include "mod/game_file_names.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/schemas.h"
#include "path/file_stamp.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/element_info.h"

namespace velmora {

namespace {

// Raised when what a file is built from, or how, changes in a way its inputs
// do not show, so that no file of an older build is taken for a new one.
const char* const build_rules = "velmora build 3";

std::string folded(const std::string& file)
{
    std::string s = file;
    for (char& c : s) {
        if (c == '\\')
            c = '/';
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    }
    return s;
}

// The changes apply writes (see apply_mods).
bool counts(const Change& c)
{
    return (c.type == Change::WHOLE || c.type == Change::XML || c.type == Change::DIFF) && is_game_file_name(c.file);
}

// The part of p below folder, as Path text ("XML\\Units\\...").
std::string relative(const Path& p, const Path& folder)
{
    std::string rel;
    for (unsigned i = folder.size(); i < p.size(); ++i) {
        if (!rel.empty())
            rel += '\\';
        rel += p[static_cast<int>(i)];
    }
    return rel;
}

bool same_file(const platform::FileStamp& a, const platform::FileStamp& b)
{
    return a.size == b.size && a.mtime_ns == b.mtime_ns && a.inode == b.inode && a.device == b.device;
}

// Copies from to a new file to, through a temporary name: to is either
// complete or absent. The fresh folder is flushed as a whole, not file by file.
bool copy_file(const Path& from, const Path& to)
{
    std::ifstream in(platform::native(from), std::ios::binary);
    if (!in)
        return false;
    bool read_failed = false;
    const int r = write_file_atomically(
        to,
        [&](std::ostream& out) {
            out << in.rdbuf();
            read_failed = in.bad();
            if (read_failed) // a copy cut short must not take the name
                out.setstate(std::ios::badbit);
        },
        Flush::Later);
    return r == 0 && !read_failed;
}

// Adds a game file to h: the folder it was found in and its bytes. False
// when it exists but cannot be read.
bool add_game_file(Hasher& h, const Path& file, GameFileHashes* hashes)
{
    if (file.empty() || platform::kind_of(file.str()) == platform::Kind::None)
        return h.add("none"), true;
    std::uint64_t bytes = 0;
    if (!(hashes ? hashes->hash(file, bytes) : hash_file(file, bytes)))
        return false;
    h.add(file.str()).add(hash_text(bytes));
    return true;
}

// The schema names ("x-schema:NAME") in text. The document's root names its
// schema near the top; every name found counts, which at worst builds a file
// again that could have been carried over.
void schema_names(const std::string& text, std::vector<std::string>& names)
{
    const std::string mark = "x-schema:";
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
        at += mark.size();
        std::size_t end = text.find_first_of("\"' \t\r\n<>", at);
        names.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    }
}

// How much of an XML file is searched for the schema its root names.
constexpr std::size_t head_size = 16384;

// The first bytes of file, where its root element stands.
std::string head_of(const Path& file)
{
    std::ifstream in(platform::native(file), std::ios::binary);
    std::string head(head_size, '\0');
    in.read(&head[0], static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

} // namespace

bool GameFileHashes::hash(const Path& file, std::uint64_t& out)
{
    const std::int64_t clock = platform::clock_now();
    platform::FileStamp stamp;
    const bool stamped = platform::file_stamp(file.str(), stamp) == 0;
    if (stamped) {
        auto it = known.find(file.str());
        if (it != known.end() && platform::same_stamp(it->second.stamp, stamp)
            && platform::settled(it->second.stamp, it->second.clock, settle_ns)) {
            out = it->second.hash;
            return true;
        }
    }
    ++read_count;
    if (!hash_file(file, out))
        return false;
    // Stamped before it was read: a write while it was read shows in the next stamp.
    if (stamped)
        known[file.str()] = {stamp, clock, out};
    return true;
}

IncrementalBuild::IncrementalBuild(
    const Path& old_folder, const GameFiles& game, const std::list<Mod*>& order, GameFileHashes* hashes)
    : old_folder(old_folder)
{
    if (Manifest::read(old_folder, old_manifest))
        for (const ManifestEntry& e : old_manifest.entries)
            old_entries.emplace(folded(e.file), &e);

    // The changes to each file, in the order they are applied.
    std::map<std::string, std::vector<const Change*>> changes;
    for (const Mod* mod : order)
        for (const Change& c : mod->changes)
            if (counts(c))
                changes[folded(c.file)].push_back(&c);
    const std::string table = hash_text(ElementInfoStorage::instance().digest());
    for (const auto& [key, list] : changes) {
        Hasher h;
        h.add(build_rules).add(table);
        // A file whose first change replaces it whole never reads the game's copy.
        Path base;
        if (list.front()->type != Change::WHOLE) {
            base = game.find(Path(list.front()->file));
            if (!add_game_file(h.add("game file"), base, hashes))
                continue; // unreadable: built again, and the build says why
        }
        // An XML merge orders what it adds by the schema the document names.
        bool merged = false;
        std::vector<std::string> names;
        if (!base.empty() && platform::kind_of(base.str()) == platform::Kind::File)
            schema_names(head_of(base), names);
        for (const Change* c : list) {
            merged = merged || c->type == Change::XML;
            // A stored payload is a whole file: its root, which names the schema, is at the start.
            if (c->type != Change::XML)
                schema_names(c->stored ? c->head(head_size) : c->text, names);
        }
        bool known = true;
        if (merged) {
            const Path file(list.front()->file);
            const Path folder = file.size() > 1 ? file.subpath(0, file.size() - 1) : Path();
            for (const std::string& name : names) {
                // One a mod writes is read from the folder being built: built again.
                const Path rel = folder.empty() ? Path(name) : folder / Path(name);
                if (changes.count(folded(rel.str()))) {
                    known = false;
                    break;
                }
                if (!add_game_file(
                        h.add("schema").add(name), find_schema_file(name, file, Path(), game), hashes)) {
                    known = false;
                    break;
                }
            }
        }
        if (!known)
            continue;
        for (const Change* c : list)
            h.add(std::to_string(static_cast<int>(c->type))).add(c->file).add(hash_text(c->payload_hash()));
        File& f = files[key];
        f.inputs = h.value();
        auto old = old_entries.find(key);
        if (old != old_entries.end())
            f.old = old->second;
    }
}

bool IncrementalBuild::carry(const Change& change, const Path& dst)
{
    File& f = files[folded(change.file)];
    f.dst = dst;
    switch (f.state) {
    case File::Carried:
        return true;
    case File::Built:
        return false;
    case File::Undecided:
        break;
    }
    f.state = (!may_carry || may_carry(change.file)) && carry_over(f, dst) ? File::Carried : File::Built;
    if (f.state == File::Carried)
        ++carried_count;
    return f.state == File::Carried;
}

bool IncrementalBuild::carry_over(File& f, const Path& dst)
{
    if (!f.old || f.inputs == 0 || f.inputs != f.old->inputs)
        return false;
    const Path from = old_folder / Path(f.old->file);
    // Only a plain file that still holds what was written: a link, or a file
    // someone edited since, is built again.
    if (!still_written(old_folder, *f.old, &f.seen))
        return false;
    if (platform::kind_of(dst.str()) != platform::Kind::None)
        return false;
    return platform::hard_link(from.str(), dst.str()) == 0 || copy_file(from, dst);
}

std::vector<std::string> IncrementalBuild::carried_files() const
{
    std::vector<std::string> out;
    for (const auto& [key, f] : files)
        if (f.state == File::Carried)
            out.push_back(key);
    return out;
}

Manifest IncrementalBuild::manifest(const Path& fresh) const
{
    Manifest m;
    // Read before any stamp is taken: a stamp older than it cannot hide a later write.
    std::int64_t clock = 0;
    if (platform::clock_of(fresh.str(), clock) != 0)
        clock = 0; // no stamp kept: the next apply hashes every file
    for (const auto& [key, f] : files) {
        if (f.dst.empty())
            continue;
        ManifestEntry e;
        e.file = relative(f.dst, fresh);
        e.inputs = f.inputs;
        platform::FileStamp stamp;
        if (platform::file_stamp(f.dst.str(), stamp) != 0)
            continue; // not written (a difference found applied already), or not a plain file
        if (f.state == File::Carried) {
            e.size = f.old->size;
            e.hash = f.old->hash;
            // Written since it was found unchanged, or a copy: its bytes are hashed next time.
            if (!same_file(stamp, f.seen))
                stamp.mtime_ns = 0;
        } else {
            e.size = stamp.size;
            if (!hash_file(f.dst, e.hash))
                continue; // not readable
        }
        e.set_stamp(stamp, clock);
        m.entries.push_back(std::move(e));
    }
    // Sorted by file, as Manifest::find looks them up.
    std::sort(m.entries.begin(), m.entries.end(),
        [](const ManifestEntry& a, const ManifestEntry& b) { return a.file < b.file; });
    return m;
}

} // namespace velmora
