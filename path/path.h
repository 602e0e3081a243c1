#ifndef VELMORA_PATH_PATH_H
#define VELMORA_PATH_PATH_H

#include <string>

namespace velmora {

// A file or folder name in normal form: components joined by single
// backslashes, optionally led by the root '\' or a drive 'C:'. Both "/" and
// "\" are accepted as separators on input; on POSIX a leading "/" roots the
// path like a leading backslash. Comparison ignores letter case.
class Path {
public:
    class iterator;

    Path() = default;
    Path(const std::string& text) { init(text); }
    Path(const char* text) { init(text); }

    void init(const std::string& text);

    const std::string& str() const { return text_; }
    bool empty() const { return text_.empty(); }
    unsigned size() const;
    std::string operator[](int i) const;
    Path subpath(unsigned first, unsigned count) const;

    Path& operator/=(const Path& other);
    Path operator/(const Path& other) const;
    bool operator==(const Path& other) const;
    bool operator!=(const Path& other) const { return !(*this == other); }
    bool is_absolute() const;

    iterator begin() const;
    iterator end() const;

private:
    std::string text_;
};

bool is_windows_drive(const std::string& s);

class Path::iterator {
public:
    static constexpr std::string::size_type npos = std::string::npos;

    explicit iterator(const Path& p);
    iterator(const Path& p, std::string::size_type start, std::string::size_type end)
        : path_(&p)
        , start_(start)
        , end_(end)
    { }

    std::string operator*() const;
    iterator& operator++();
    iterator& operator--();
    bool operator==(const iterator& o) const { return start_ == o.start_ && end_ == o.end_; }
    bool operator!=(const iterator& o) const { return !(*this == o); }

private:
    friend class Path;
    const Path* path_;
    std::string::size_type start_;
    std::string::size_type end_;
};

} // namespace velmora

#endif
