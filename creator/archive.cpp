#include "creator/archive.h"

#include <archive.h>
#include <archive_entry.h>

#include "base/errors.h"
#include "base/format.h"
#include "path/platform.h"

namespace velmora {

namespace {

ArchiveEntry::Kind kind_of(struct archive_entry* e)
{
    if (archive_entry_hardlink(e))
        return ArchiveEntry::Kind::HardLink;
    switch (archive_entry_filetype(e)) {
    case AE_IFREG:
        return ArchiveEntry::Kind::File;
    case AE_IFDIR:
        return ArchiveEntry::Kind::Folder;
    case AE_IFLNK:
        return ArchiveEntry::Kind::SymbolicLink;
    default:
        return ArchiveEntry::Kind::Other;
    }
}

std::string text_or_empty(const char* s) { return s ? std::string(s) : std::string(); }

} // namespace

ArchiveReader::ArchiveReader(const Path& file)
    : file(file)
    , reader(archive_read_new())
{
    if (!reader)
        throw GenericError("Out of memory.");
    archive_read_support_filter_all(reader);
    archive_read_support_format_all(reader);
    if (archive_read_open_filename(reader, platform::native(file).c_str(), 65536) != ARCHIVE_OK) {
        // A constructor that throws runs no destructor: the reader is freed here.
        try {
            fail("open");
        } catch (...) {
            archive_read_free(reader);
            throw;
        }
    }
}

ArchiveReader::~ArchiveReader() { archive_read_free(reader); }

void ArchiveReader::fail(const char* doing)
{
    const std::string name = platform::native(file);
    const char* why = archive_error_string(reader);
    const std::string reason = why ? why : "unknown error";
    if (entry_name.empty())
        throw GenericError(format("Cannot %s the archive \"%S\": %S.", doing, &name, &reason));
    throw GenericError(format(
        "Cannot %s the archive \"%S\" at the entry \"%S\": %S. The archive may be damaged or incomplete.",
        doing, &name, &entry_name, &reason));
}

bool ArchiveReader::next(ArchiveEntry& entry)
{
    struct archive_entry* e = nullptr;
    int r = archive_read_next_header(reader, &e);
    if (r == ARCHIVE_EOF)
        return false;
    // A warning (an unconvertible name, an unknown extension) still gives a usable entry.
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN)
        fail("read");
    entry.name = text_or_empty(archive_entry_pathname(e));
    entry.kind = kind_of(e);
    entry.target = entry.kind == ArchiveEntry::Kind::HardLink ? text_or_empty(archive_entry_hardlink(e))
        : entry.kind == ArchiveEntry::Kind::SymbolicLink      ? text_or_empty(archive_entry_symlink(e))
                                                              : std::string();
    entry.size = archive_entry_size_is_set(e) ? archive_entry_size(e) : -1;
    entry_name = entry.name;
    return true;
}

void ArchiveReader::read_data(const std::function<void(const char*, std::size_t)>& sink)
{
    char buffer[65536];
    for (;;) {
        la_ssize_t n = archive_read_data(reader, buffer, sizeof buffer);
        if (n == 0)
            return;
        // A warning here is damage to the entry itself (a zip entry whose
        // checksum does not match): its bytes must not pass for the file.
        if (n < 0)
            fail("read");
        if (n > 0)
            sink(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace velmora
