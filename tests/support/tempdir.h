#ifndef VELMORA_TESTS_SUPPORT_TEMPDIR_H
#define VELMORA_TESTS_SUPPORT_TEMPDIR_H

#include <string>

#include "path/path.h"

namespace velmora::test {

// A real temporary folder, removed with everything in it when the object goes.
// Its name carries a non-ASCII character on purpose.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const Path& path() const { return path_; }
    // Native text of the folder ("/tmp/velmora-é-XXXXXX").
    std::string native() const;
    // Path of a name inside the folder (backslashes or slashes, any depth).
    Path operator/(const std::string& relative) const { return path_ / Path(relative); }

private:
    Path path_;
};

// Sets TMPDIR for the life of the object, then puts back what was there.
class TmpdirScope {
public:
    explicit TmpdirScope(const std::string& value);
    ~TmpdirScope();
    TmpdirScope(const TmpdirScope&) = delete;
    TmpdirScope& operator=(const TmpdirScope&) = delete;

private:
    bool had_;
    std::string old_;
};

// Writes bytes to a file, creating its folders. Throws std::runtime_error on failure.
void write_file(const Path& file, const std::string& bytes);
// The bytes of a file. Throws std::runtime_error when it cannot be read.
std::string read_file(const Path& file);

} // namespace velmora::test

#endif
