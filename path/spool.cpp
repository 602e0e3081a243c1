#include "path/spool.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace velmora {

namespace {

constexpr std::size_t block_size = 65536;

std::mutex spool_mutex;
// The shared spool while any piece of it lives.
std::weak_ptr<Spool> current;

// A file without a name in folder: O_TMPFILE where the file system knows it,
// else a unique name removed at once.
int open_unnamed(const std::string& folder)
{
    int fd = -1;
#ifdef O_TMPFILE
    fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
#endif
    std::string pattern = folder + "/velmora-spool-XXXXXX";
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd >= 0)
        ::unlink(pattern.c_str());
    return fd;
}

bool read_at(int fd, char* out, std::uint64_t size, std::uint64_t offset)
{
    while (size > 0) {
        ssize_t n = ::pread(fd, out, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO; // the file is shorter than what was stored in it
            return false;
        }
        out += n;
        size -= static_cast<std::uint64_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool write_at(int fd, const char* data, std::uint64_t size, std::uint64_t offset)
{
    while (size > 0) {
        ssize_t n = ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::uint64_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

} // namespace

Spool::Spool(int fd)
    : fd_(fd)
    , owner_(::getpid())
{ }

Spool::~Spool() { ::close(fd_); }

std::shared_ptr<const Spool::Piece> Spool::store(std::string_view bytes, std::uint64_t hash)
{
    std::lock_guard<std::mutex> lock(spool_mutex);
    std::shared_ptr<Spool> spool = current.lock();
    // A process forked from the one that made the spool has its own: both
    // would otherwise write their next pieces at the same place.
    if (!spool || spool->owner_ != ::getpid()) {
        const char* tmp = std::getenv("TMPDIR");
        int fd = open_unnamed(tmp && *tmp ? tmp : "/var/tmp");
        if (fd < 0 && !(tmp && *tmp))
            fd = open_unnamed("/tmp");
        if (fd < 0)
            return nullptr;
        spool.reset(new Spool(fd));
        current = spool;
    }
    const std::uint64_t offset = spool->end_;
    if (!write_at(spool->fd_, bytes.data(), bytes.size(), offset))
        return nullptr; // what was written of it is past the end, overwritten by the next piece
    spool->end_ += bytes.size();
    return std::make_shared<const Piece>(spool, offset, bytes.size(), hash);
}

Spool::Piece::Piece(
    std::shared_ptr<Spool> spool, std::uint64_t offset, std::uint64_t size, std::uint64_t hash)
    : spool_(std::move(spool))
    , offset_(offset)
    , size_(size)
    , hash_(hash)
{ }

Spool::Piece::~Piece()
{
#ifdef FALLOC_FL_PUNCH_HOLE
    // The disk space goes back at once: a session that loads mods again and
    // again does not fill the disk. Where the file system cannot do this, the
    // space is freed with the spool. A forked process leaves the file to the
    // one that made it: the piece is that process's too.
    if (size_ > 0 && spool_->owner_ == ::getpid())
        ::fallocate(spool_->fd_, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset_),
            static_cast<off_t>(size_));
#endif
}

bool Spool::Piece::read(std::string& out) const
{
    out.resize(size_);
    return read_at(spool_->fd_, out.data(), size_, offset_);
}

bool Spool::Piece::read(const std::function<void(std::string_view)>& block) const
{
    std::string buffer(static_cast<std::size_t>(std::min<std::uint64_t>(size_, block_size)), '\0');
    for (std::uint64_t done = 0; done < size_;) {
        const std::uint64_t n = std::min<std::uint64_t>(size_ - done, block_size);
        if (!read_at(spool_->fd_, buffer.data(), n, offset_ + done))
            return false;
        block(std::string_view(buffer.data(), n));
        done += n;
    }
    return true;
}

bool Spool::Piece::read_head(std::size_t n, std::string& out) const
{
    out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size_, n)));
    return read_at(spool_->fd_, out.data(), out.size(), offset_);
}

} // namespace velmora
