#ifndef VELMORA_CREATOR_ARCHIVE_H
#define VELMORA_CREATOR_ARCHIVE_H

#include <cstdint>
#include <functional>
#include <string>

#include "path/path.h"

struct archive;

namespace velmora {

// One entry of an archive as the archive names it: nothing is checked here.
struct ArchiveEntry {
    enum class Kind { File, Folder, SymbolicLink, HardLink, Other };
    std::string name;
    Kind kind = Kind::Other;
    // What a link entry points at (symbolic: relative to the link's folder;
    // hard: the name of another entry).
    std::string target;
    // The size the archive declares, or -1 when it does not say.
    std::int64_t size = -1;
};

// Reads a zip, 7z, rar or tar archive (compressed or not) one entry after the
// other: the one place that talks to libarchive. Every failure is a
// GenericError naming the archive file, so a damaged download reads as such.
class ArchiveReader {
public:
    // Opens file; throws GenericError when it cannot be read or is no archive
    // of a known kind.
    explicit ArchiveReader(const Path& file);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // The next entry into entry; false at the end of the archive.
    bool next(ArchiveEntry& entry);
    // Hands the data of the entry next() returned to sink in pieces; the
    // entry's data can be read once.
    void read_data(const std::function<void(const char* bytes, std::size_t size)>& sink);

private:
    [[noreturn]] void fail(const char* doing);

    Path file;
    struct archive* reader = nullptr;
    std::string entry_name;
};

} // namespace velmora

#endif
