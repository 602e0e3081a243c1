#ifndef VELMORA_PATH_PLATFORM_H
#define VELMORA_PATH_PLATFORM_H

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

class Path;

// The one place that talks to the operating system about files. Paths keep
// their backslash text everywhere else; here it becomes the native form.
// Every function reports by return value (0 or -1, errno set) and never throws.
namespace platform {

#ifdef _WIN32
constexpr bool slash_roots = false;
#else
// On POSIX a text beginning with "/" is rooted like one beginning with "\".
constexpr bool slash_roots = true;
#endif

// The text handed to the system for a path: backslashes become "/" on POSIX.
std::string native(const std::string& text);
std::string native(const Path& p);

enum class Kind { None, File, Folder, Link, Other };

// _stat: 0 when the name exists (following links); is_folder tells a folder.
int stat(const std::string& text, bool* is_folder);
// The kind of the name itself, links not followed.
Kind kind_of(const std::string& text);
int mkdir(const std::string& text);
int rmdir(const std::string& text);
int unlink(const std::string& text);
int rename(const std::string& from, const std::string& to);
// A second name for an existing file (a hard link); -1 with errno set when the
// file system cannot give one.
int hard_link(const std::string& existing, const std::string& name);
// Swaps two existing names in one step where the system can (renameat2 with
// RENAME_EXCHANGE on Linux); -1 with errno ENOSYS/EINVAL where it cannot.
int exchange(const std::string& a, const std::string& b);
// Flushes a written file or a folder's entries to the disk.
int sync_path(const std::string& text);
int stricmp(const char* a, const char* b);
// The size of a file (the name itself, links not followed).
int file_size(const std::string& text, std::uint64_t& size);
// A second name for an existing file (a hard link): no bytes are copied.
int link(const std::string& from, const std::string& to);
// A copy of a file's bytes, or of a symbolic link as a link.
int copy_file(const std::string& from, const std::string& to);

// An exclusive lock on a folder, or on a small file of its own, created when
// missing. The
// system releases it when the process ends, however it ends, so a killed
// program never leaves a stale lock. Waits up to wait_ms for another holder;
// returns the handle to unlock() with, or -1 (errno EWOULDBLOCK when another
// process still holds it).
int lock(const std::string& text, int wait_ms);
void unlock(int handle);

// The names in a folder, "." and ".." included, in the folder's own order.
// Returns false when the folder cannot be opened.
bool read_dir(const std::string& text, std::vector<std::string>& names);

// Removes the plain files directly in a folder, and nothing else: its
// subfolders and the links in it stay, and a folder that is itself a link is
// not entered. removed counts the files removed; the first failure stops it
// (-1, errno set).
int remove_files_in(const std::string& text, unsigned& removed);

// This process's id, to name files of this run alone.
long process_id();

// The folder that holds the running executable, or "" when unknown.
std::string executable_dir();

// The absolute native name of an existing file or folder with every symbolic
// link, "." and ".." resolved (realpath); "" with errno set when it cannot be.
std::string real_path(const std::string& text);

// Creates a new folder that only this user may enter, named prefix followed by
// random characters, in the system's temporary folder ($TMPDIR, else /tmp).
// Returns its native name, or "" with errno set.
std::string make_temp_dir(const std::string& prefix);

} // namespace platform
} // namespace velmora

#endif
