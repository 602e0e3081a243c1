#ifndef VELMORA_TESTS_SUPPORT_CASE_NAME_H
#define VELMORA_TESTS_SUPPORT_CASE_NAME_H

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace velmora::test {

// A case's description made a test name: letters, digits and '_' kept, every
// other run of characters one '_' ("the game's Assets" -> "the_game_s_Assets").
std::string case_name(const std::string& description);
// Whether description is made only of letters, digits, '_' and single spaces,
// so that case_name keeps it apart from every other such description.
bool is_plain_name(const std::string& description);

namespace detail {

template <typename T, typename = void> struct has_title : std::false_type { };
template <typename T> struct has_title<T, std::void_t<decltype(std::declval<const T&>().title)>> : std::true_type { };

template <typename T, typename = void> struct has_name : std::false_type { };
template <typename T> struct has_name<T, std::void_t<decltype(std::declval<const T&>().name)>> : std::true_type { };

template <typename T, typename = void> struct has_what : std::false_type { };
template <typename T> struct has_what<T, std::void_t<decltype(std::declval<const T&>().what)>> : std::true_type { };

template <typename T> struct is_vector : std::false_type { };
template <typename T, typename A> struct is_vector<std::vector<T, A>> : std::true_type { };

template <typename T, typename = void> struct printable : std::false_type { };
template <typename T>
struct printable<T, std::void_t<decltype(std::declval<std::ostream&>() << std::declval<const T&>())>>
    : std::true_type { };

template <typename T> std::string describe(const T& param)
{
    if constexpr (std::is_convertible_v<T, const char*>)
        return param ? std::string(param) : std::string("null");
    else if constexpr (is_vector<T>::value) {
        std::string words;
        for (const auto& item : param)
            words += (words.empty() ? "" : " ") + describe(item);
        return words;
    } else if constexpr (has_title<T>::value)
        return std::string(param.title);
    else if constexpr (has_name<T>::value)
        return std::string(param.name);
    else if constexpr (has_what<T>::value)
        return std::string(param.what);
    else {
        // Without this the test list shows "24-byte object <A0-F2 ...>".
        static_assert(printable<T>::value, "a case needs a title, a name or an operator<<");
        return ::testing::PrintToString(param);
    }
}

} // namespace detail

// The name generator of INSTANTIATE_TEST_SUITE_P: each case is named by its
// `title` member, else its `name` or `what` member, else what operator<< prints, so that
// the test list and ctest name the case rather than its bytes.
struct CaseName {
    template <typename P> std::string operator()(const ::testing::TestParamInfo<P>& info) const
    {
        const std::string description = detail::describe(info.param);
        std::string name = case_name(description);
        // Where characters were dropped, two cases could come out alike.
        if (!is_plain_name(description))
            name += "_" + std::to_string(info.index);
        return name;
    }
};

// The name generator for cases told apart by an input text rather than a
// title: named by that field, then the case's position, since two inputs that
// differ only in punctuation would otherwise get one name.
template <auto Field> struct CaseNameBy {
    template <typename P> std::string operator()(const ::testing::TestParamInfo<P>& info) const
    {
        return case_name(detail::describe(info.param.*Field)) + "_" + std::to_string(info.index);
    }
};

} // namespace velmora::test

#endif
