#ifndef VELMORA_XML_LIBRARY_H
#define VELMORA_XML_LIBRARY_H

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "base/errors.h"

namespace xmlpp {
class Parser;
}

namespace velmora {

// The edge of the XML library (libxml++ over libxml2): its own exception
// never leaves xml/. What it reports arrives as an XmlLibraryError with the
// library's text (library_message puts it on one line); the caller, who knows
// what it was reading or writing, words the message the user reads, as an
// XmlError or GenericError. It is not one of those itself: a handler of the
// program's errors between the library and the caller must not take it for a
// finished message.
class XmlLibraryError : public std::exception {
public:
    explicit XmlLibraryError(std::string message)
        : message_(std::move(message))
    { }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Runs f, which calls the XML library, and throws the library's failure as
// XmlLibraryError. Other exceptions pass through unchanged.
void call_xml_library(const std::function<void()>& f);

// call_xml_library for a call that returns a value.
template <typename F> auto with_xml_library(F&& f) -> decltype(f())
{
    using Result = decltype(f());
    if constexpr (std::is_void_v<Result>) {
        call_xml_library(std::forward<F>(f));
    } else {
        std::optional<Result> result;
        call_xml_library([&result, &f] { result.emplace(f()); });
        return std::move(*result);
    }
}

// Sets a parser up for text that comes from a mod: entities are not
// substituted, no DTD is loaded and nothing is fetched from the network, so a
// mod cannot make the parser read a local file (XXE) into its data. With
// large_text, text nodes may be longer than the library's 10 MB default: a
// mod file holds each whole file's bytes as one text node, and a mod that
// saves must load again. Nesting depth and entity checks stay as they are.
void restrict_parser(xmlpp::Parser& parser, bool large_text = false);

// An exception's message on one line: its lines trimmed and joined by spaces
// (the library's text begins and ends with line feeds).
std::string library_message(const std::exception& e);

} // namespace velmora

#endif
