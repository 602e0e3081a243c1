#include "path/platform.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "path/path.h"

namespace velmora::platform {

std::string native(const std::string& text)
{
    std::string s = text;
    for (char& c : s)
        if (c == '\\')
            c = '/';
    return s;
}

std::string native(const Path& p) { return native(p.str()); }

int stat(const std::string& text, bool* is_folder)
{
    struct ::stat st;
    if (::stat(native(text).c_str(), &st) != 0)
        return -1;
    if (is_folder)
        *is_folder = (st.st_mode & S_IFMT) == S_IFDIR;
    return 0;
}

Kind kind_of(const std::string& text)
{
    struct ::stat st;
    if (::lstat(native(text).c_str(), &st) != 0)
        return Kind::None;
    switch (st.st_mode & S_IFMT) {
    case S_IFREG:
        return Kind::File;
    case S_IFDIR:
        return Kind::Folder;
    case S_IFLNK:
        return Kind::Link;
    default:
        return Kind::Other;
    }
}

int mkdir(const std::string& text) { return ::mkdir(native(text).c_str(), 0755) == 0 ? 0 : -1; }
int rmdir(const std::string& text) { return ::rmdir(native(text).c_str()) == 0 ? 0 : -1; }
int unlink(const std::string& text) { return ::unlink(native(text).c_str()) == 0 ? 0 : -1; }

int rename(const std::string& from, const std::string& to)
{
    return ::rename(native(from).c_str(), native(to).c_str()) == 0 ? 0 : -1;
}

int hard_link(const std::string& existing, const std::string& name)
{
    return ::link(native(existing).c_str(), native(name).c_str()) == 0 ? 0 : -1;
}

int exchange(const std::string& a, const std::string& b)
{
#if defined(__linux__) && defined(SYS_renameat2)
    constexpr unsigned rename_exchange = 1 << 1; // RENAME_EXCHANGE
    long r
        = ::syscall(SYS_renameat2, AT_FDCWD, native(a).c_str(), AT_FDCWD, native(b).c_str(), rename_exchange);
    return r == 0 ? 0 : -1;
#else
    (void)a;
    (void)b;
    errno = ENOSYS;
    return -1;
#endif
}

int sync_path(const std::string& text)
{
    int fd = ::open(native(text).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int r = ::fsync(fd);
    int saved = errno;
    ::close(fd);
    errno = saved;
    return r == 0 ? 0 : -1;
}

int stricmp(const char* a, const char* b)
{
    // ASCII letters only, whatever the locale: names compare as the game's
    // Windows file system compares them.
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (;; ++a, ++b) {
        int d = lower(static_cast<unsigned char>(*a)) - lower(static_cast<unsigned char>(*b));
        if (d != 0 || *a == 0)
            return d;
    }
}

int file_size(const std::string& text, std::uint64_t& size)
{
    struct ::stat st;
    if (::lstat(native(text).c_str(), &st) != 0)
        return -1;
    size = static_cast<std::uint64_t>(st.st_size);
    return 0;
}

int link(const std::string& from, const std::string& to)
{
    return ::link(native(from).c_str(), native(to).c_str()) == 0 ? 0 : -1;
}

namespace {

int copy_symlink(const std::string& from, const std::string& to)
{
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = ::readlink(from.c_str(), buf.data(), buf.size() - 1);
    if (n < 0)
        return -1;
    return ::symlink(std::string(buf.data(), static_cast<size_t>(n)).c_str(), to.c_str()) == 0 ? 0 : -1;
}

int copy_bytes(int in, int out)
{
    std::vector<char> buf(1 << 16);
    for (;;) {
        ssize_t n = ::read(in, buf.data(), buf.size());
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(out, buf.data() + done, static_cast<size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return -1;
            }
            done += w;
        }
    }
}

} // namespace

int copy_file(const std::string& from, const std::string& to)
{
    const std::string src = native(from), dst = native(to);
    struct ::stat st;
    if (::lstat(src.c_str(), &st) != 0)
        return -1;
    if ((st.st_mode & S_IFMT) == S_IFLNK)
        return copy_symlink(src, dst);
    int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return -1;
    int out = ::open(dst.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        int saved = errno;
        ::close(in);
        errno = saved;
        return -1;
    }
    int r = copy_bytes(in, out);
    int saved = errno;
    ::close(in);
    if (::close(out) != 0 && r == 0) {
        r = -1;
        saved = errno;
    }
    errno = saved;
    return r;
}

int lock(const std::string& text, int wait_ms)
{
    // A folder is locked as it is: no file of the lock's own is left in it.
    const std::string name = native(text);
    int fd = kind_of(text) == Kind::Folder ? ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                           : ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    const int step_ms = 50;
    for (int waited = 0;; waited += step_ms) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= wait_ms)
            break;
        ::usleep(step_ms * 1000);
    }
    int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
}

void unlock(int handle)
{
    if (handle >= 0)
        ::close(handle); // closing the last descriptor releases the lock
}

bool read_dir(const std::string& text, std::vector<std::string>& names)
{
    std::string n = native(text);
    DIR* dir = ::opendir(n.c_str());
    if (!dir)
        return false;
    while (struct dirent* e = ::readdir(dir))
        names.emplace_back(e->d_name);
    ::closedir(dir);
    return true;
}

int remove_files_in(const std::string& text, unsigned& removed)
{
    removed = 0;
    // Names are looked at through the folder's descriptor: a name swapped for
    // a link between the look and the removal cannot lead outside.
    const int fd = ::open(native(text).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
    int result = 0;
    while (struct dirent* e = ::readdir(dir)) {
        struct stat st;
        if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (::unlinkat(fd, e->d_name, 0) != 0) {
            result = -1;
            break;
        }
        ++removed;
    }
    const int saved = errno;
    ::closedir(dir);
    errno = saved;
    return result;
}

long process_id() { return static_cast<long>(::getpid()); }

std::string executable_dir()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return std::string();
    std::string exe(buf, static_cast<size_t>(n));
    auto slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash == 0 ? 1 : slash);
}

std::string real_path(const std::string& text)
{
    char* resolved = ::realpath(native(text).c_str(), nullptr);
    if (!resolved)
        return std::string();
    std::string result(resolved);
    ::free(resolved);
    return result;
}

std::string make_temp_dir(const std::string& prefix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = (tmp && *tmp ? std::string(tmp) : std::string("/tmp")) + "/" + prefix + "XXXXXX";
    // mkdtemp creates the folder with mode 0700: no one else reads what is unpacked there.
    if (!::mkdtemp(pattern.data()))
        return std::string();
    return pattern;
}

} // namespace velmora::platform
