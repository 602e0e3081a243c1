#ifndef VELMORA_CORE_CHECK_MEMOS_H
#define VELMORA_CORE_CHECK_MEMOS_H

#include <cstdint>

#include "path/path.h"

namespace velmora {

struct ReferenceMemo;
struct VerifyMemo;

// The scans of the checks after an apply (against the schemas, of the names),
// kept in a file beside the manifest, so that an apply in a new process does
// not scan again every file the last one built and every data file of the
// game. Every scan is kept by the hash of the bytes it read, so an entry for
// bytes that changed is never used; a file that is missing, damaged or made
// with other tables is as no file, and everything is scanned again.
class CheckMemos {
public:
    // The file's name in the folder Velmora builds.
    static const char* const file_name;

    // Reads folder's memos into verify and names, which must be empty, when
    // they were made with the tables of these digests (the element table's,
    // the reference table's). False, and both left empty, otherwise.
    static bool read(const Path& folder, std::uint64_t elements, std::uint64_t references, VerifyMemo& verify,
        ReferenceMemo& names);
    // Writes them atomically (not flushed to the disk: the folder is flushed
    // whole, and a memo lost is only time). Returns false when it could not.
    static bool write(const Path& folder, std::uint64_t elements, std::uint64_t references,
        const VerifyMemo& verify, const ReferenceMemo& names);
};

} // namespace velmora

#endif
