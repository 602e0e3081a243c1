#ifndef VELMORA_PATH_SPOOL_H
#define VELMORA_PATH_SPOOL_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace velmora {

// A private temporary file that keeps bytes out of memory until they are
// needed: the art that loaded mods replace whole would otherwise stay in
// memory from the moment a mod is read until the end of an apply. The file
// has no name (it is removed as soon as it is opened), so nobody else sees
// or changes it, and the system frees it when the last piece is gone.
class Spool {
public:
    // One piece of stored bytes. Its range of the file is freed when the last
    // copy of the piece goes.
    class Piece {
    public:
        std::uint64_t size() const { return size_; }
        // The hash the bytes were stored with (the caller's; see store).
        std::uint64_t hash() const { return hash_; }
        // The bytes, whole or in blocks of at most 64 KiB. False, with errno
        // set, when the file cannot be read back.
        bool read(std::string& out) const;
        bool read(const std::function<void(std::string_view)>& block) const;
        // Up to n bytes from the start.
        bool read_head(std::size_t n, std::string& out) const;

        Piece(std::shared_ptr<Spool> spool, std::uint64_t offset, std::uint64_t size, std::uint64_t hash);
        ~Piece();
        Piece(const Piece&) = delete;
        Piece& operator=(const Piece&) = delete;

    private:
        std::shared_ptr<Spool> spool_;
        std::uint64_t offset_;
        std::uint64_t size_;
        std::uint64_t hash_;
    };

    ~Spool();
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    // Stores bytes in the spool this process shares, made on first use under
    // $TMPDIR, else /var/tmp (which lives on disk where /tmp may be memory).
    // The piece keeps `hash`, which the caller computed of the bytes, to
    // compare pieces without reading them back. Null when no spool can be
    // made or written (a full or read-only disk): the caller keeps the bytes
    // in memory.
    static std::shared_ptr<const Piece> store(std::string_view bytes, std::uint64_t hash);

private:
    explicit Spool(int fd);
    int fd_;
    long owner_; // the process that made it
    std::uint64_t end_ = 0;
};

} // namespace velmora

#endif
