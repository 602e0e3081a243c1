#ifndef VELMORA_PATH_FILE_STAMP_H
#define VELMORA_PATH_FILE_STAMP_H

#include <cstdint>
#include <string>

namespace velmora {
namespace platform {

// What the system tells of a plain file without reading it. Two equal stamps
// say the file was not written between them, but for one case: see clock_of.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t mtime_ns = 0; // last write of the bytes (a user may set it back)
    std::int64_t ctime_ns = 0; // last write of the bytes or of the names (no user sets it)
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    // Names the file has (hard links); no part of the stamp's comparisons.
    std::uint64_t links = 0;
};

// The stamp of a plain file (the name itself, links not followed); -1 with
// errno set, EINVAL for a link, folder or other kind. Reports by return value
// and never throws, like the rest of the platform layer.
int file_stamp(const std::string& text, FileStamp& out);

// The file system's own clock in folder, in the nanoseconds of a stamp's
// times: the time a file written there now gets. File times are the coarse
// time of the system's last tick, so a file written again after its stamp
// was taken can show the same times when both writes fall in one tick. A
// stamp whose time is older than a clock read before the stamp was taken has
// no such doubt: any later write gives the file a time no older than that clock.
int clock_of(const std::string& folder, std::int64_t& ns);

// The system's clock now, in the nanoseconds of a stamp's times.
std::int64_t clock_now();

// Whether two stamps agree in every field but the link count.
bool same_stamp(const FileStamp& a, const FileStamp& b);

// Whether a stamp taken after `clock` was read can be trusted to change with
// the next write: both its times are more than settle_ns older than clock. A
// file written within one tick of the file system's clock after its stamp
// was taken could otherwise keep the same stamp.
bool settled(const FileStamp& stamp, std::int64_t clock, std::int64_t settle_ns);

} // namespace platform
} // namespace velmora

#endif
