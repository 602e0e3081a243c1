#ifndef VELMORA_PATH_FILE_IO_H
#define VELMORA_PATH_FILE_IO_H

#include <functional>
#include <ostream>
#include <string>

#include "path/path.h"

namespace velmora {

// Reading a file whole and replacing one in a single step. Like the rest of
// path/, these report by return value (0, or -1 with errno set) and leave the
// wording of the message to the caller, who knows what the file is.

// Reads every byte of file into bytes (replacing what it held). -1 with errno
// set when the file cannot be opened or a read fails part way (a folder reads
// as EISDIR): a file cut short must never pass for the whole of it.
int read_whole_file(const Path& file, std::string& bytes);

// Whether write_file_atomically waits for the bytes to reach the disk.
enum class Flush {
    // The bytes and the rename reach the disk before the call returns: a power
    // loss leaves the old file or the new one (settings, mod files, manifests).
    ToDisk,
    // Only the kernel's copy is complete when the call returns: a killed
    // process still leaves the old file or the new one, never a part. For the
    // thousands of files an apply writes into a fresh folder, where a flush
    // each would cost more than the whole apply.
    Later,
};

// The name a file is written under before it replaces file: beside it, so the
// rename stays on one file system. One rule for every writer, so a leftover of
// a killed run is recognised by its name.
Path temporary_name(const Path& file);

// Replaces file with what write puts into the stream, through
// temporary_name(file): write, flush (see Flush), rename over file, flush the
// folder. On any failure the temporary file is removed and file is untouched;
// an exception thrown by write passes through after that cleanup. A leftover
// temporary file (or a link someone put there) is removed first, never
// written through.
int write_file_atomically(const Path& file, const std::function<void(std::ostream&)>& write,
    Flush flush = Flush::ToDisk);
int write_file_atomically(const Path& file, const std::string& bytes, Flush flush = Flush::ToDisk);

} // namespace velmora

#endif
