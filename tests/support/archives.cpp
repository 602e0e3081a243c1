#include "support/archives.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <stdexcept>

#include "path/platform.h"

namespace velmora::test {

void write_archive(
    const Path& file, const std::string& format, const std::vector<ArchiveItem>& items, const std::string& options)
{
    struct archive* a = archive_write_new();
    auto check = [a](int r) {
        if (r < ARCHIVE_WARN)
            throw std::runtime_error(std::string("libarchive: ") + archive_error_string(a));
    };
    check(archive_write_set_format_by_name(a, format.c_str()));
    if (!options.empty())
        check(archive_write_set_options(a, options.c_str()));
    check(archive_write_open_filename(a, platform::native(file).c_str()));
    for (const ArchiveItem& item : items) {
        struct archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, item.name.c_str());
        archive_entry_set_mtime(e, 1700000000, 0);
        switch (item.kind) {
        case ArchiveItem::File:
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, 0644);
            archive_entry_set_size(e, static_cast<la_int64_t>(item.data.size()));
            break;
        case ArchiveItem::Folder:
            archive_entry_set_filetype(e, AE_IFDIR);
            archive_entry_set_perm(e, 0755);
            break;
        case ArchiveItem::SymbolicLink:
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_perm(e, 0777);
            archive_entry_set_symlink(e, item.target.c_str());
            break;
        case ArchiveItem::HardLink:
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, 0644);
            archive_entry_set_hardlink(e, item.target.c_str());
            break;
        }
        check(archive_write_header(a, e));
        if (item.kind == ArchiveItem::File && !item.data.empty())
            if (archive_write_data(a, item.data.data(), item.data.size()) < 0)
                check(ARCHIVE_FATAL);
        archive_entry_free(e);
    }
    check(archive_write_close(a));
    archive_write_free(a);
}

namespace {

std::uint32_t crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put16(std::string& s, unsigned v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& s, std::uint32_t v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// A block: its CRC (the low half of the CRC-32 of what follows it), then the rest.
std::string block(const std::string& after_crc)
{
    std::string b;
    put16(b, crc32(after_crc) & 0xFFFF);
    return b + after_crc;
}

} // namespace

// RAR 4: the marker block, the archive header, a file header followed by the
// data of each file (method 0x30: stored), the end-of-archive block. Names
// use "\" as RAR does.
std::string rar4_archive(const std::vector<ArchiveItem>& files)
{
    std::string out("Rar!\x1A\x07\x00", 7);
    std::string main;
    main += '\x73';
    put16(main, 0); // flags
    put16(main, 13); // header size
    put16(main, 0); // reserved
    put32(main, 0);
    out += block(main);
    for (const ArchiveItem& f : files) {
        std::string name = f.name;
        for (char& c : name)
            if (c == '/')
                c = '\\';
        std::string h;
        h += '\x74';
        put16(h, 0x8000); // a data area follows the header
        put16(h, static_cast<unsigned>(32 + name.size()));
        put32(h, static_cast<std::uint32_t>(f.data.size())); // packed size
        put32(h, static_cast<std::uint32_t>(f.data.size())); // unpacked size
        h += '\x00'; // made on MS-DOS
        put32(h, crc32(f.data));
        put32(h, 0x5A8E3100); // 2024-12-14 06:08, DOS format
        h += '\x14'; // version 2.0 can unpack it
        h += '\x30'; // stored
        put16(h, static_cast<unsigned>(name.size()));
        put32(h, 0x20); // archive attribute
        h += name;
        out += block(h) + f.data;
    }
    out += std::string("\xC4\x3D\x7B\x00\x40\x07\x00", 7);
    return out;
}

} // namespace velmora::test
