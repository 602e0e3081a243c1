#include "core/manifest.h"

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "mod/provenance.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

const char* const Manifest::file_name = ".velmora-manifest";

namespace {

const char* const header = "velmora-manifest 2";

bool by_file(const ManifestEntry& a, const ManifestEntry& b) { return a.file < b.file; }

bool parse_number(const std::string& text, std::uint64_t& out)
{
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
    if (errno != 0)
        return false;
    out = v;
    return true;
}

// Version 1 lines hold hash, size, inputs, then the file, which may hold
// spaces; version 2 adds the stamp (mtime, inode, device) before the file.
const char* const header_v1 = "velmora-manifest 1";

// The fields of a line before the file name, split at single spaces; false
// when the line has fewer.
bool split_fields(const std::string& line, std::vector<std::string_view>& fields, std::string_view& file)
{
    std::size_t at = 0;
    for (std::string_view& field : fields) {
        const std::size_t end = line.find(' ', at);
        if (end == std::string::npos)
            return false;
        field = std::string_view(line).substr(at, end - at);
        at = end + 1;
    }
    if (at >= line.size())
        return false;
    file = std::string_view(line).substr(at);
    return true;
}

bool parse_entry(const std::string& line, bool stamped, ManifestEntry& e)
{
    std::vector<std::string_view> f(stamped ? 6 : 3);
    std::string_view file;
    if (!split_fields(line, f, file))
        return false;
    e.file = std::string(file);
    if (!parse_hash(f[0], e.hash) || !parse_number(std::string(f[1]), e.size) || !parse_hash(f[2], e.inputs))
        return false;
    if (!stamped)
        return true;
    std::uint64_t mtime = 0;
    if (!parse_number(std::string(f[3]), mtime) || !parse_number(std::string(f[4]), e.inode)
        || !parse_number(std::string(f[5]), e.device) || mtime > std::uint64_t(INT64_MAX))
        return false;
    e.mtime_ns = static_cast<std::int64_t>(mtime);
    return true;
}

// Walks folder below prefix (Path text relative to the top, "" at the top).
// Hashes only when asked: telling foreign files needs a hash only where the
// size matches.
void collect(const Path& top, const std::string& prefix, bool hash, Manifest& out)
{
    const Path folder = prefix.empty() ? top : top / Path(prefix);
    for (const std::string& name : list_files(folder)) {
        const std::string rel = prefix.empty() ? name : prefix + "\\" + name;
        const Path full = child_path(folder, name);
        platform::Kind kind = platform::kind_of(full.str());
        if (kind == platform::Kind::Folder) {
            collect(top, rel, hash, out);
            continue;
        }
        // The manifest and what is recorded beside it are Velmora's own.
        if (prefix.empty() && name.compare(0, 9, ".velmora-") == 0)
            continue;
        ManifestEntry e;
        e.file = rel;
        // A link or a file that cannot be read gets no hash and so never
        // matches what Velmora wrote: it is kept, not deleted.
        if (kind == platform::Kind::File && platform::file_size(full.str(), e.size) == 0 && hash)
            hash_file(full, e.hash);
        if (kind != platform::Kind::File)
            e.size = ~std::uint64_t(0);
        out.entries.push_back(e);
    }
}

} // namespace

bool Manifest::read(const Path& folder, Manifest& out)
{
    out.entries.clear();
    std::ifstream in(platform::native(child_path(folder, file_name)), std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || (line != header && line != header_v1))
        return false;
    const bool stamped = line == header;
    while (std::getline(in, line)) {
        ManifestEntry e;
        if (!parse_entry(line, stamped, e)) {
            out.entries.clear();
            return false;
        }
        out.entries.push_back(e);
    }
    if (in.bad()) {
        out.entries.clear();
        return false;
    }
    std::sort(out.entries.begin(), out.entries.end(), by_file);
    return true;
}

void Manifest::write(const Path& folder) const
{
    const Path file = child_path(folder, file_name);
    std::ostringstream text;
    text << header << '\n';
    for (const ManifestEntry& e : entries)
        if (e.file.find('\n') == std::string::npos) // such a name is kept as a foreign file
            text << hash_text(e.hash) << ' ' << e.size << ' ' << hash_text(e.inputs) << ' ' << e.mtime_ns << ' '
                 << e.inode << ' ' << e.device << ' ' << e.file << '\n';
    if (write_file_atomically(file, text.str()) != 0) {
        std::string problem = std::strerror(errno);
        throw GenericError(format("Cannot write the list of files Velmora wrote, %S: %S", &file, &problem));
    }
}

void ManifestEntry::set_stamp(const platform::FileStamp& stamp, std::int64_t clock)
{
    const bool certain = stamp.mtime_ns > 0 && stamp.mtime_ns < clock && stamp.size == size;
    mtime_ns = certain ? stamp.mtime_ns : 0;
    inode = certain ? stamp.inode : 0;
    device = certain ? stamp.device : 0;
}

bool still_written(const Path& folder, const ManifestEntry& e, platform::FileStamp* seen)
{
    const Path file = folder / Path(e.file);
    platform::FileStamp now;
    if (platform::file_stamp(file.str(), now) != 0 || now.size != e.size)
        return false;
    if (seen)
        *seen = now;
    if (e.mtime_ns != 0 && now.mtime_ns == e.mtime_ns && now.inode == e.inode && now.device == e.device)
        return true;
    std::uint64_t hash = 0;
    return hash_file(file, hash) && hash == e.hash;
}

const ManifestEntry* Manifest::find(const std::string& file) const
{
    ManifestEntry key;
    key.file = file;
    auto it = std::lower_bound(entries.begin(), entries.end(), key, by_file);
    return it != entries.end() && it->file == file ? &*it : nullptr;
}

Manifest Manifest::of_folder(const Path& folder)
{
    Manifest m;
    collect(folder, "", true, m);
    std::sort(m.entries.begin(), m.entries.end(), by_file);
    return m;
}

ForeignFiles find_foreign_files(const Path& folder)
{
    ForeignFiles result;
    Manifest written;
    Manifest::read(folder, written);
    Manifest found;
    collect(folder, "", false, found);
    for (const ManifestEntry& now : found.entries) {
        const ManifestEntry* then = written.find(now.file);
        // Hashed, never trusted by its stamp: a user's file put in place of
        // Velmora's with the same size and time kept (cp -p) would be lost.
        std::uint64_t hash = 0;
        if (!then)
            ++result.foreign;
        else if (then->size != now.size || !hash_file(folder / Path(now.file), hash) || hash != then->hash)
            ++result.changed;
        else
            continue;
        result.files.push_back(now.file);
    }
    return result;
}

} // namespace velmora
