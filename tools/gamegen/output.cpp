#include "tools/gamegen/output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "path/fs.h"
#include "path/platform.h"
#include "tools/gamegen/rng.h"

namespace velmora::gamegen {

namespace {

std::string quoted(const Path& p) { return "\"" + p.str() + "\""; }

std::string system_reason() { return errno ? std::strerror(errno) : "unknown error"; }

void walk(const Path& folder, const std::string& prefix, std::vector<std::string>& out)
{
    for (const auto& name : list_files(folder)) {
        Path p = child_path(folder, name);
        bool is_folder = false;
        if (platform::stat(p.str(), &is_folder) != 0)
            continue;
        if (is_folder)
            walk(p, prefix + name + "/", out);
        else
            out.push_back(prefix + name);
    }
}

} // namespace

void OutputTree::write(const std::string& relative, const std::string& bytes, FileKind kind)
{
    Path file = root_ / Path(relative);
    std::string::size_type slash = relative.rfind('/');
    if (slash != std::string::npos) {
        std::string folder = relative.substr(0, slash);
        if (folders_.insert(folder).second)
            make_folder(root_ / Path(folder));
    }
    write_bytes(file, bytes);
    FileTally& tally = kind == FileKind::Xml ? summary_.xml
        : kind == FileKind::Python           ? summary_.python
                                             : summary_.binary;
    ++tally.files;
    tally.bytes += bytes.size();
    if (kind == FileKind::Xml && bytes.size() > summary_.largest_xml_bytes) {
        summary_.largest_xml_bytes = bytes.size();
        summary_.largest_xml = relative;
    }
}

std::string read_bytes(const Path& file)
{
    std::ifstream in(platform::native(file), std::ios::binary);
    if (!in)
        throw GenericError("Cannot read file " + quoted(file) + ": " + system_reason() + ".");
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad())
        throw GenericError("Cannot read file " + quoted(file) + ": " + system_reason() + ".");
    return s.str();
}

void write_bytes(const Path& file, const std::string& bytes)
{
    errno = 0;
    std::ofstream out(platform::native(file), std::ios::binary | std::ios::trunc);
    if (out)
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out)
        out.close();
    if (!out)
        throw GenericError("Cannot write file " + quoted(file) + ": " + system_reason() + ".");
}

void make_folder(const Path& folder)
{
    errno = 0;
    if (mkpath(folder, 0755) != 0)
        throw GenericError("Cannot create folder " + quoted(folder) + ": " + system_reason() + ".");
}

bool require_empty_folder(const Path& folder, const char* what)
{
    bool is_folder = false;
    if (platform::stat(folder.str(), &is_folder) != 0)
        return true;
    if (!is_folder)
        throw GenericError(std::string(what) + " " + quoted(folder) + " is a file, not a folder.");
    if (!list_files(folder).empty())
        throw GenericError(std::string(what) + " " + quoted(folder)
            + " is not empty: choose a new or empty folder, nothing in it is overwritten.");
    return false;
}

std::vector<std::string> walk_files(const Path& folder)
{
    std::vector<std::string> out;
    walk(folder, "", out);
    return out;
}

std::string scale_text(double scale)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", scale);
    return buf;
}

std::vector<std::string> header_comments(
    const std::string& path, const std::string& title, unsigned seed, double scale)
{
    std::vector<std::string> out = {" Sample game data made by velmora-gamegen (seed " + std::to_string(seed)
        + ", scale " + scale_text(scale) + ") "};
    // Real files carry between one and a dozen comments; vary it per file.
    std::uint64_t h = hash_text(path);
    if (h % 3 != 0)
        out.push_back(" Every value in this file is made up; none comes from the game ");
    if (h % 2 == 0)
        out.push_back(" ");
    out.push_back(" " + title + " ");
    return out;
}

} // namespace velmora::gamegen
