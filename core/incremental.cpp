#include "core/incremental.h"

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "base/hash.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/element_info.h"

namespace velmora {

namespace {

// Raised when what a file is built from, or how, changes in a way its inputs
// do not show, so that no file of an older build is taken for a new one.
const char* const build_rules = "velmora build 1";

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

bool counts(const Change& c)
{
    return c.type == Change::WHOLE || c.type == Change::XML || c.type == Change::DIFF;
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

bool file_size(const Path& file, std::uint64_t& out) { return platform::file_size(file.str(), out) == 0; }

// Copies from to a new file to, through a temporary name: to is either
// complete or absent.
bool copy_file(const Path& from, const Path& to)
{
    const std::string part = to.str() + ".velmora-part";
    {
        std::ifstream in(platform::native(from), std::ios::binary);
        std::ofstream out(platform::native(part), std::ios::binary | std::ios::trunc);
        if (!in || !out)
            return false;
        out << in.rdbuf();
        out.close();
        if (!out || in.bad()) {
            platform::unlink(part);
            return false;
        }
    }
    if (platform::rename(part, to.str()) != 0) {
        platform::unlink(part);
        return false;
    }
    return true;
}

} // namespace

IncrementalBuild::IncrementalBuild(const Path& old_folder, const Path& assets, const std::list<Mod*>& order)
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
        if (list.front()->type != Change::WHOLE) {
            const Path base = fix_case(assets / Path(list.front()->file));
            std::uint64_t game = 0;
            if (platform::kind_of(base.str()) == platform::Kind::None)
                h.add("no game file");
            else if (hash_file(base, game))
                h.add("game file").add(hash_text(game));
            else
                continue; // unreadable: built again, and the build says why
        }
        for (const Change* c : list)
            h.add(std::to_string(static_cast<int>(c->type))).add(c->file).add(c->text);
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
    f.state = carry_over(f, dst) ? File::Carried : File::Built;
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
    std::uint64_t hash = 0, size = 0;
    if (platform::kind_of(from.str()) != platform::Kind::File || !file_size(from, size) || size != f.old->size
        || !hash_file(from, hash) || hash != f.old->hash)
        return false;
    if (platform::kind_of(dst.str()) != platform::Kind::None)
        return false;
    return platform::hard_link(from.str(), dst.str()) == 0 || copy_file(from, dst);
}

Manifest IncrementalBuild::manifest(const Path& fresh) const
{
    Manifest m;
    for (const auto& [key, f] : files) {
        if (f.dst.empty())
            continue;
        ManifestEntry e;
        e.file = relative(f.dst, fresh);
        e.inputs = f.inputs;
        if (f.state == File::Carried) {
            e.size = f.old->size;
            e.hash = f.old->hash;
        } else if (platform::kind_of(f.dst.str()) != platform::Kind::File || !file_size(f.dst, e.size)
            || !hash_file(f.dst, e.hash)) {
            continue; // not written (a difference found applied already), or not readable
        }
        m.entries.push_back(std::move(e));
    }
    // Sorted by file, as Manifest::find looks them up.
    std::sort(m.entries.begin(), m.entries.end(),
        [](const ManifestEntry& a, const ManifestEntry& b) { return a.file < b.file; });
    return m;
}

} // namespace velmora
