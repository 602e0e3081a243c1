#ifndef VELMORA_PATH_FS_H
#define VELMORA_PATH_FS_H

#include <list>
#include <string>

#include "path/path.h"

namespace velmora {

// Small file-system operations. They report by return value and never throw.

// Something (file or folder) exists at p.
bool exists(const Path& p);
// Creates every missing folder along p; 0 on success, -1 with errno on failure
// (EEXIST when a component is a file).
int mkpath(const Path& p, int mode);
// p with each component that exists on disk in its on-disk letter case.
Path fix_case(const Path& p);
// fix_case(base / rel) for a base spelled as on disk already: only rel's
// folders are read, not every folder from the root (whose parents may hold
// thousands of names).
Path fix_case_below(const Path& base, const Path& rel);
// The names in dir ("." and ".." left out), sorted in byte order so that every
// walk over a folder gives the same result on every file system.
std::list<std::string> list_files(const Path& dir);
// Whether p names a folder (following links); false for the empty path.
bool is_folder(const Path& p);
// The entry `name` of folder dir, joined literally: a name that reads like a
// drive ("C:") or a parent ("..") stays a name inside dir.
Path child_path(const Path& dir, const std::string& name);
// Removes folder p, with its contents when recursive; 0 on success. Symbolic
// links inside are removed, never followed.
int rmdir(const Path& p, bool recursive);

} // namespace velmora

#endif
