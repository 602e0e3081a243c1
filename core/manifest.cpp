#include "core/manifest.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

const char* const Manifest::file_name = ".velmora-manifest";

namespace {

const char* const header = "velmora-manifest 1";

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

// One line: hash, size, inputs, then the file, which may hold spaces.
bool parse_entry(const std::string& line, ManifestEntry& e)
{
    std::size_t a = line.find(' ');
    std::size_t b = a == std::string::npos ? a : line.find(' ', a + 1);
    std::size_t c = b == std::string::npos ? b : line.find(' ', b + 1);
    if (c == std::string::npos || c + 1 >= line.size())
        return false;
    e.file = line.substr(c + 1);
    return parse_hash(std::string_view(line).substr(0, a), e.hash)
        && parse_number(line.substr(a + 1, b - a - 1), e.size)
        && parse_hash(std::string_view(line).substr(b + 1, c - b - 1), e.inputs);
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
        if (prefix.empty() && name == Manifest::file_name)
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
    if (!in || !std::getline(in, line) || line != header)
        return false;
    while (std::getline(in, line)) {
        ManifestEntry e;
        if (!parse_entry(line, e)) {
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
    const Path temporary = child_path(folder, std::string(file_name) + ".new");
    std::ostringstream text;
    text << header << '\n';
    for (const ManifestEntry& e : entries)
        if (e.file.find('\n') == std::string::npos) // such a name is kept as a foreign file
            text << hash_text(e.hash) << ' ' << e.size << ' ' << hash_text(e.inputs) << ' ' << e.file << '\n';
    std::string problem;
    {
        std::ofstream out(platform::native(temporary), std::ios::binary | std::ios::trunc);
        out << text.str();
        out.close();
        if (!out)
            problem = errno ? std::strerror(errno) : "write error";
    }
    if (problem.empty()
        && (platform::sync_path(temporary.str()) != 0 || platform::rename(temporary.str(), file.str()) != 0))
        problem = std::strerror(errno);
    if (!problem.empty()) {
        platform::unlink(temporary.str());
        throw GenericError(format("Cannot write the list of files Velmora wrote, %S: %S", &file, &problem));
    }
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
