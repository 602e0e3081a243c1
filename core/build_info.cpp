#include "core/build_info.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "core/manifest.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

const char* const BuildInfo::file_name = ".velmora-build";

namespace {

const char* const header = "velmora-build 1";

// Names come from mod headers: a tab, line end or backslash in one is
// written escaped so that each field stays on its line.
std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string unescaped(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    std::string::size_type start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        out.push_back(unescaped(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
        if (tab == std::string::npos)
            return out;
        start = tab + 1;
    }
}

} // namespace

bool BuildInfo::read(const Path& folder, BuildInfo& out)
{
    out = BuildInfo();
    std::ifstream in(platform::native(child_path(folder, file_name)), std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || line != header)
        return false;
    BuildInfo info;
    while (std::getline(in, line)) {
        const auto space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
        if (key == "time") {
            char* end = nullptr;
            errno = 0;
            const long long t = std::strtoll(value.c_str(), &end, 10);
            if (errno || end == value.c_str() || *end)
                return false;
            info.time = static_cast<std::time_t>(t);
        } else if (key == "profile") {
            info.profile = unescaped(value);
        } else if (key == "mod") {
            const std::vector<std::string> f = fields(value);
            if (f.size() != 3)
                return false;
            info.mods.push_back({f[2], f[0], f[1]});
        }
        // Lines of other kinds come from a later Velmora: skipped.
    }
    if (in.bad())
        return false;
    out = std::move(info);
    return true;
}

void BuildInfo::write(const Path& folder) const
{
    const Path file = child_path(folder, file_name);
    std::ostringstream text;
    text << header << '\n' << "time " << static_cast<long long>(time) << '\n' << "profile " << escaped(profile)
         << '\n';
    for (const BuildMod& m : mods)
        text << "mod " << escaped(m.version) << '\t' << escaped(m.file) << '\t' << escaped(m.name) << '\n';
    if (write_file_atomically(file, text.str()) != 0) {
        std::string problem = std::strerror(errno);
        throw GenericError(format("Cannot write what the build was made from, %S: %S", &file, &problem));
    }
}

std::string build_fingerprint(const Manifest& manifest)
{
    // The entries are sorted by their path; each one's path, size and hash
    // go in as pieces of one stream.
    Hasher h;
    h.add("velmora-fingerprint 1");
    for (const ManifestEntry& e : manifest.entries)
        h.add(e.file).add(std::to_string(e.size)).add(hash_text(e.hash));
    const std::string hex = hash_text(h.value());
    return hex.substr(0, 4) + "-" + hex.substr(4, 4) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4);
}

} // namespace velmora
