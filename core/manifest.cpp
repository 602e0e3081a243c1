#include "core/manifest.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "path/platform.h"

namespace velmora {

namespace {

const char* const manifest_name = ".velmora-manifest";
const char* const first_line = "velmora manifest 1";

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

bool parse_size(const std::string& text, std::uint64_t& out)
{
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (errno != 0)
        return false;
    out = value;
    return true;
}

} // namespace

bool Manifest::read(const Path& folder, Manifest& out)
{
    out.entries.clear();
    std::ifstream in(platform::native(folder / Path(manifest_name)), std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || line != first_line)
        return false;
    // hash TAB size TAB inputs TAB file; the last line is "end", so that a
    // manifest cut short reads as damaged.
    bool ended = false;
    while (std::getline(in, line)) {
        if (ended) {
            out.entries.clear();
            return false;
        }
        if (line == "end") {
            ended = true;
            continue;
        }
        std::istringstream fields(line);
        std::string hash, size, inputs, file;
        ManifestEntry e;
        if (!std::getline(fields, hash, '\t') || !std::getline(fields, size, '\t')
            || !std::getline(fields, inputs, '\t') || !std::getline(fields, file) || file.empty()
            || !parse_hash(hash, e.hash) || !parse_size(size, e.size) || !parse_hash(inputs, e.inputs)) {
            out.entries.clear();
            return false;
        }
        e.file = file;
        out.entries.push_back(std::move(e));
    }
    if (!ended || in.bad()) {
        out.entries.clear();
        return false;
    }
    return true;
}

void Manifest::write(const Path& folder) const
{
    const Path file = folder / Path(manifest_name);
    const Path part(file.str() + ".part");
    std::ostringstream text;
    text << first_line << "\n";
    for (const ManifestEntry& e : entries)
        text << hash_text(e.hash) << '\t' << e.size << '\t' << hash_text(e.inputs) << '\t' << e.file << "\n";
    text << "end\n";
    errno = 0;
    std::ofstream out(platform::native(part), std::ios::binary | std::ios::trunc);
    const std::string bytes = text.str();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out || platform::rename(part.str(), file.str()) != 0) {
        std::string reason = errno ? std::strerror(errno) : "write error";
        platform::unlink(part.str());
        throw GenericError(format("Cannot write %S: %S", &file, &reason));
    }
}

const ManifestEntry* Manifest::find(const std::string& file) const
{
    const std::string key = folded(file);
    for (const ManifestEntry& e : entries)
        if (folded(e.file) == key)
            return &e;
    return nullptr;
}

} // namespace velmora
