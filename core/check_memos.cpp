// The checks' scans on disk. A binary file: a header line, the hash of the
// rest, then the tables' digests and the two memos, every count and length
// before what it counts. Anything that does not read back whole is dropped.
#include "core/check_memos.h"

#include <cstring>
#include <string>
#include <string_view>

#include "base/hash.h"
#include "core/references.h"
#include "core/verify.h"
#include "path/file_io.h"
#include "path/fs.h"

namespace velmora {

const char* const CheckMemos::file_name = ".velmora-checks";

namespace {

// Raised whenever the scans a memo stands for would come out otherwise: the
// file format, the schema check or the scan of names.
const char* const header = "velmora-checks 1\n";

class Writer {
public:
    void number(std::uint64_t n)
    {
        char b[8];
        for (int i = 0; i < 8; ++i)
            b[i] = static_cast<char>(n >> (8 * i));
        out.append(b, 8);
    }
    void text(std::string_view s)
    {
        number(s.size());
        out.append(s.data(), s.size());
    }
    std::string out;
};

class Reader {
public:
    explicit Reader(std::string_view in)
        : in(in)
    { }
    bool number(std::uint64_t& n)
    {
        if (in.size() - at < 8)
            return false;
        n = 0;
        for (int i = 0; i < 8; ++i)
            n |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
        at += 8;
        return true;
    }
    bool text(std::string& s)
    {
        std::uint64_t n = 0;
        if (!number(n) || n > in.size() - at)
            return false;
        s.assign(in.data() + at, n);
        at += n;
        return true;
    }
    // A count of things each at least `least` bytes long: one larger than the
    // bytes left is damage, not a reason to reserve gigabytes.
    bool count(std::uint64_t& n, std::size_t least)
    {
        return number(n) && n <= (in.size() - at) / least;
    }
    bool done() const { return at == in.size(); }

private:
    std::string_view in;
    std::size_t at = 0;
};

void write_verify(Writer& w, const VerifyMemo& memo)
{
    w.number(memo.files.size());
    for (const auto& [file, scan] : memo.files) {
        w.text(file);
        w.number(scan.bytes);
        w.number(scan.table);
        w.number(scan.checked ? 1 : 0);
        w.number(scan.lookups.size());
        for (const VerifyMemo::Lookup& l : scan.lookups) {
            w.text(l.name);
            w.text(l.found);
            w.number(l.bytes);
        }
    }
}

bool read_verify(Reader& r, VerifyMemo& memo)
{
    std::uint64_t files = 0;
    if (!r.count(files, 40))
        return false;
    for (std::uint64_t i = 0; i < files; ++i) {
        std::string file;
        VerifyMemo::Scan scan;
        std::uint64_t checked = 0, lookups = 0;
        if (!r.text(file) || !r.number(scan.bytes) || !r.number(scan.table) || !r.number(checked) || checked > 1
            || !r.count(lookups, 24))
            return false;
        scan.checked = checked == 1;
        scan.lookups.resize(lookups);
        for (VerifyMemo::Lookup& l : scan.lookups)
            if (!r.text(l.name) || !r.text(l.found) || !r.number(l.bytes))
                return false;
        memo.files[file] = std::move(scan);
    }
    return true;
}

void write_names(Writer& w, const ReferenceMemo& memo)
{
    w.number(memo.scans.size());
    for (const auto& [bytes, scan] : memo.scans) {
        w.number(bytes);
        w.number(scan.names.defined.size());
        for (const std::string& name : scan.names.defined)
            w.text(name);
        w.number(scan.names.references.size());
        for (const ScannedReference& ref : scan.names.references) {
            w.text(ref.record);
            w.text(ref.field);
            w.text(ref.name);
        }
    }
}

bool read_names(Reader& r, ReferenceMemo& memo)
{
    std::uint64_t scans = 0;
    if (!r.count(scans, 24))
        return false;
    for (std::uint64_t i = 0; i < scans; ++i) {
        std::uint64_t bytes = 0, defined = 0, references = 0;
        if (!r.number(bytes) || !r.count(defined, 8))
            return false;
        NameScan names;
        names.defined.resize(defined);
        for (std::string& name : names.defined)
            if (!r.text(name))
                return false;
        if (!r.count(references, 24))
            return false;
        names.references.resize(references);
        for (ScannedReference& ref : names.references)
            if (!r.text(ref.record) || !r.text(ref.field) || !r.text(ref.name))
                return false;
        memo.scans[bytes].names = std::move(names);
    }
    return true;
}

} // namespace

bool CheckMemos::read(const Path& folder, std::uint64_t elements, std::uint64_t references, VerifyMemo& verify,
    ReferenceMemo& names)
{
    std::string bytes;
    if (read_whole_file(child_path(folder, file_name), bytes) != 0)
        return false;
    const std::size_t head = std::strlen(header);
    if (bytes.size() < head + 8 || bytes.compare(0, head, header) != 0)
        return false;
    const std::string_view body = std::string_view(bytes).substr(head + 8);
    Reader check(std::string_view(bytes).substr(head, 8));
    std::uint64_t sum = 0, made_elements = 0, made_references = 0;
    if (!check.number(sum) || sum != hash_bytes(body))
        return false;
    Reader r(body);
    if (!r.number(made_elements) || !r.number(made_references) || made_elements != elements
        || made_references != references)
        return false;
    if (!read_verify(r, verify) || !read_names(r, names) || !r.done()) {
        verify = VerifyMemo();
        names = ReferenceMemo();
        return false;
    }
    return true;
}

bool CheckMemos::write(const Path& folder, std::uint64_t elements, std::uint64_t references,
    const VerifyMemo& verify, const ReferenceMemo& names)
{
    Writer w;
    w.number(elements);
    w.number(references);
    write_verify(w, verify);
    write_names(w, names);
    Writer sum;
    sum.number(hash_bytes(w.out));
    return write_file_atomically(child_path(folder, file_name), header + sum.out + w.out, Flush::Later) == 0;
}

} // namespace velmora
