#include "path/file_stamp.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "path/platform.h"

namespace velmora {
namespace platform {

namespace {

std::int64_t nanoseconds(const struct ::timespec& t)
{
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

} // namespace

int file_stamp(const std::string& text, FileStamp& out)
{
    struct ::stat st;
    if (::lstat(native(text).c_str(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    out.size = static_cast<std::uint64_t>(st.st_size);
    out.mtime_ns = nanoseconds(st.st_mtim);
    out.ctime_ns = nanoseconds(st.st_ctim);
    out.inode = static_cast<std::uint64_t>(st.st_ino);
    out.device = static_cast<std::uint64_t>(st.st_dev);
    out.links = static_cast<std::uint64_t>(st.st_nlink);
    return 0;
}

std::int64_t clock_now()
{
    struct ::timespec t { };
    ::clock_gettime(CLOCK_REALTIME, &t);
    return nanoseconds(t);
}

bool same_stamp(const FileStamp& a, const FileStamp& b)
{
    return a.size == b.size && a.mtime_ns == b.mtime_ns && a.ctime_ns == b.ctime_ns && a.inode == b.inode
        && a.device == b.device;
}

bool settled(const FileStamp& stamp, std::int64_t clock, std::int64_t settle_ns)
{
    return stamp.ctime_ns < clock - settle_ns && stamp.mtime_ns < clock - settle_ns;
}

int clock_of(const std::string& folder, std::int64_t& ns)
{
    const std::string probe = native(folder) + "/.velmora-clock-" + std::to_string(process_id());
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct ::stat st;
    const int r = ::fstat(fd, &st);
    const int saved = errno;
    ::close(fd);
    ::unlink(probe.c_str());
    if (r != 0) {
        errno = saved;
        return -1;
    }
    ns = nanoseconds(st.st_mtim);
    return 0;
}

} // namespace platform
} // namespace velmora
