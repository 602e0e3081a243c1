#ifndef VELMORA_TESTS_SUPPORT_ARCHIVES_H
#define VELMORA_TESTS_SUPPORT_ARCHIVES_H

#include <string>
#include <utility>
#include <vector>

#include "path/path.h"

namespace velmora::test {

// One entry of an archive the tests write.
struct ArchiveItem {
    enum Kind { File, Folder, SymbolicLink, HardLink };
    ArchiveItem(std::string name, std::string data = "", Kind kind = File, std::string target = "")
        : name(std::move(name))
        , data(std::move(data))
        , kind(kind)
        , target(std::move(target))
    { }
    std::string name;
    std::string data; // a file's bytes
    Kind kind = File;
    std::string target; // a link's target
};

// Writes an archive with libarchive's writer; format is one of its names
// ("zip", "7zip", "pax", "ustar") and options its writer options
// ("zip:compression=store"). Throws std::runtime_error on failure.
void write_archive(const Path& file, const std::string& format, const std::vector<ArchiveItem>& items,
    const std::string& options = "");

// The bytes of a RAR 4 archive holding the files stored (not compressed),
// built by hand: no free program writes RAR archives.
std::string rar4_archive(const std::vector<ArchiveItem>& files);

} // namespace velmora::test

#endif
