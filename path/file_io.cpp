#include "path/file_io.h"

#include <cerrno>
#include <fstream>

#include "path/platform.h"

namespace velmora {

int read_whole_file(const Path& file, std::string& bytes)
{
    bytes.clear();
    bool folder = false;
    if (platform::stat(file.str(), &folder) == 0 && folder) {
        errno = EISDIR;
        return -1;
    }
    errno = 0;
    std::ifstream in(platform::native(file), std::ios::binary);
    if (!in) {
        if (errno == 0)
            errno = EIO;
        return -1;
    }
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.append(buffer, static_cast<std::string::size_type>(in.gcount()));
    if (in.bad()) {
        if (errno == 0)
            errno = EIO;
        bytes.clear();
        return -1;
    }
    return 0;
}

Path temporary_name(const Path& file) { return Path(file.str() + ".velmora-part"); }

int write_file_atomically(const Path& file, const std::function<void(std::ostream&)>& write, Flush flush)
{
    const Path part = temporary_name(file);
    auto fail = [&part](int error) {
        platform::unlink(part.str());
        errno = error ? error : EIO;
        return -1;
    };
    if (platform::kind_of(part.str()) != platform::Kind::None && platform::unlink(part.str()) != 0)
        return -1;
    errno = 0;
    std::ofstream out(platform::native(part), std::ios::binary | std::ios::out | std::ios::trunc);
    if (!out)
        return fail(errno);
    try {
        write(out);
    } catch (...) {
        out.close();
        platform::unlink(part.str());
        throw;
    }
    out.close();
    if (!out)
        return fail(errno);
    if (flush == Flush::ToDisk && platform::sync_path(part.str()) != 0)
        return fail(errno);
    if (platform::rename(part.str(), file.str()) != 0)
        return fail(errno);
    // The rename itself reaches the disk with the folder's entries.
    if (flush == Flush::ToDisk) {
        const Path folder = file.size() > 1 ? file.subpath(0, file.size() - 1) : Path(".");
        platform::sync_path(folder.str());
    }
    return 0;
}

int write_file_atomically(const Path& file, const std::string& bytes, Flush flush)
{
    return write_file_atomically(
        file, [&bytes](std::ostream& out) { out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); },
        flush);
}

} // namespace velmora
