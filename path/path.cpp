#include "path/path.h"

#include "path/platform.h"

namespace velmora {

namespace {
constexpr std::string::size_type npos = std::string::npos;
}

bool is_windows_drive(const std::string& s)
{
    return s.size() == 2 && ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z')) && s[1] == ':';
}

void Path::init(const std::string& text)
{
    // A leading backslash roots the path everywhere; on POSIX a leading "/"
    // does too, or "/home/me" would read as the relative "home\me".
    bool rooted = !text.empty() && (text[0] == '\\' || (platform::slash_roots && text[0] == '/'));
    std::string::size_type pos = 0;
    for (;;) {
        std::string::size_type next = text.find_first_of("/\\", pos);
        if (next == npos || next > pos) {
            if (!text_.empty() || rooted)
                text_ += '\\';
            text_.append(text, pos, next == npos ? npos : next - pos);
        }
        if (next == npos)
            break;
        pos = next + 1;
    }
}

unsigned Path::size() const
{
    if (text_.empty())
        return 0;
    if (text_ == "\\")
        return 1;
    unsigned n = 1;
    for (char c : text_)
        n += c == '\\';
    return n;
}

Path::iterator Path::begin() const { return iterator(*this); }
Path::iterator Path::end() const { return iterator(*this, npos, npos); }

std::string Path::operator[](int i) const
{
    if (i >= 0) {
        iterator it = begin();
        for (int k = 0; k < i && it != end(); ++k)
            ++it;
        return it == end() ? std::string() : *it;
    }
    iterator it = end();
    --it;
    iterator first = begin();
    for (int k = 1; k < -i; ++k) {
        if (it == first)
            return std::string();
        --it;
    }
    return *it;
}

Path Path::subpath(unsigned first, unsigned count) const
{
    iterator it = begin();
    for (unsigned k = 0; k < first && it != end(); ++k)
        ++it;
    // Most paths are plain names: the components taken are then the text
    // between the first's start and the last's end, cut out whole. A "." or
    // "..", or a drive after the first, is joined component by component.
    const iterator from = it;
    std::string::size_type stop = from.start_;
    for (unsigned k = 0; k < count && it != end(); ++k, ++it) {
        const std::string::size_type n = (it.end_ == npos ? text_.size() : it.end_) - it.start_;
        const char* c = text_.data() + it.start_;
        if ((n == 1 && c[0] == '.') || (n == 2 && c[0] == '.' && c[1] == '.')
            || (k > 0 && n == 2 && is_windows_drive(std::string(c, 2)))) {
            Path result;
            it = from;
            for (unsigned j = 0; j < count && it != end(); ++j, ++it)
                result /= Path(*it);
            return result;
        }
        stop = it.end_ == npos ? text_.size() : it.end_;
    }
    Path result;
    if (from != end())
        result.text_.assign(text_, from.start_, stop - from.start_);
    return result;
}

Path& Path::operator/=(const Path& other)
{
    if (other.is_absolute()) {
        text_ = other.text_;
        return *this;
    }
    for (iterator it = other.begin(); it != other.end(); ++it) {
        std::string c = *it;
        if (c == "..") {
            std::string::size_type p = text_.rfind('\\');
            std::string before = p == npos ? text_ : text_.substr(0, p);
            std::string::size_type cut = is_windows_drive(before) ? p + 1 : p;
            if (is_windows_drive(text_)) // a bare drive stays as it is
                continue;
            if (cut == 0)
                cut = 1;
            if (cut == npos)
                text_.clear();
            else
                text_.resize(cut);
        } else if (c != ".") {
            if (!text_.empty() && text_.back() != '\\')
                text_ += '\\';
            text_ += c;
        }
    }
    return *this;
}

Path Path::operator/(const Path& other) const
{
    Path p(*this);
    p /= other;
    return p;
}

bool Path::operator==(const Path& other) const
{
    return platform::stricmp(text_.c_str(), other.text_.c_str()) == 0;
}

bool Path::is_absolute() const
{
    return is_windows_drive((*this)[0]) || (!text_.empty() && text_[0] == '\\');
}

Path::iterator::iterator(const Path& p)
    : path_(&p)
    , start_(0)
{
    const std::string& t = p.text_;
    if (!t.empty() && t[0] == '\\')
        end_ = 1;
    else if (t.size() >= 3 && t[2] == '\\' && is_windows_drive(t.substr(0, 2)))
        end_ = 2;
    else
        end_ = t.find('\\');
}

std::string Path::iterator::operator*() const
{
    const std::string& t = path_->text_;
    if (start_ >= t.size() || start_ == end_)
        return std::string();
    return t.substr(start_, end_ == npos ? npos : end_ - start_);
}

Path::iterator& Path::iterator::operator++()
{
    const std::string& t = path_->text_;
    start_ = end_;
    if (start_ >= t.size()) {
        start_ = end_ = npos;
        return *this;
    }
    if (t[start_] == '\\')
        ++start_;
    end_ = t.find('\\', start_);
    return *this;
}

Path::iterator& Path::iterator::operator--()
{
    const std::string& t = path_->text_;
    if (start_ == npos) {
        // From past-the-end to the last component.
        end_ = npos;
        std::string::size_type b = t.rfind('\\');
        start_ = b == npos ? 0 : b + 1;
        if (t == "\\") {
            start_ = 0;
            end_ = 1;
        }
        return *this;
    }
    if (start_ == 1 && !t.empty() && t[0] == '\\') {
        start_ = 0;
        end_ = 1;
        return *this;
    }
    if (start_ == 0)
        return *this; // the first component is never decremented
    end_ = start_ - 1;
    std::string::size_type b = end_ == 0 ? npos : t.rfind('\\', end_ - 1);
    start_ = b == npos ? 0 : b + 1;
    return *this;
}

} // namespace velmora
