#ifndef VELMORA_BASE_FORMAT_H
#define VELMORA_BASE_FORMAT_H

#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

namespace velmora {

class Path;

// An object that writes itself into a message ("%O").
class fmtobjbase {
public:
    virtual ~fmtobjbase() = default;
    virtual void write(std::ostream&) const { }
};

// Holds the address of a value, not a copy: the value must outlive the format call.
// Each printable T provides a specialisation of write().
template <typename T> class fmtobject : public fmtobjbase {
public:
    explicit fmtobject(const T* value)
        : value_(value)
    { }
    void write(std::ostream& os) const override;

private:
    const T* value_;
};

namespace detail {

// One argument of a format call. Only the kinds below exist, so an argument of
// any other type does not compile.
struct FormatArg {
    enum Kind { Chars, String, Signed, Unsigned, Object, PathText } kind;
    const char* chars = nullptr;
    const std::string* string = nullptr;
    long long number = 0;
    fmtobjbase* object = nullptr;
    const Path* path = nullptr;
};

inline FormatArg make_arg(const char* s) { return {FormatArg::Chars, s}; }
inline FormatArg make_arg(char* s) { return {FormatArg::Chars, s}; }
inline FormatArg make_arg(const std::string* s) { return {FormatArg::String, nullptr, s}; }
inline FormatArg make_arg(std::string* s) { return {FormatArg::String, nullptr, s}; }
FormatArg make_arg(const Path* p);
inline FormatArg make_arg(Path* p) { return make_arg(static_cast<const Path*>(p)); }
inline FormatArg make_arg(int n) { return {FormatArg::Signed, nullptr, nullptr, n}; }
inline FormatArg make_arg(unsigned int n) { return {FormatArg::Unsigned, nullptr, nullptr, n}; }

template <typename T>
constexpr bool is_format_object
    = std::is_pointer_v<T>&& std::is_base_of_v<fmtobjbase, std::remove_cv_t<std::remove_pointer_t<T>>>;

template <typename T, std::enable_if_t<is_format_object<T>, int> = 0> FormatArg make_arg(T o)
{
    return {
        FormatArg::Object, nullptr, nullptr, 0, const_cast<fmtobjbase*>(static_cast<const fmtobjbase*>(o))};
}
// Everything else (long, size_t, double, bool, std::string by value, ...) is a compile error.
template <typename T, std::enable_if_t<!is_format_object<T>, int> = 0> FormatArg make_arg(T) = delete;

} // namespace detail

// A printf-like message builder that is itself the formatted text.
// Conversions: "%s" const char*, "%S" const std::string* or const Path* (a
// path in the form of the system it runs on: "/home/me/Civ4"), "%d" int,
// "%u" unsigned int, "%O" fmtobjbase* (handed over: format deletes it), "%%" a
// percent sign. A conversion whose argument is missing writes nothing; an
// argument of another kind than its conversion asks for is written as what it is.
class format : public std::string {
public:
    template <typename... Args> explicit format(const std::string& fmt, Args... args)
    {
        std::vector<detail::FormatArg> list{detail::make_arg(args)...};
        build(fmt, list);
    }

private:
    void build(const std::string& fmt, std::vector<detail::FormatArg>& args);
};

} // namespace velmora

#endif
