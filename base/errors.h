#ifndef VELMORA_BASE_ERRORS_H
#define VELMORA_BASE_ERRORS_H

#include <exception>
#include <string>

namespace velmora {

// Every failure the user gets to read travels as one of these, with a finished
// message. ConflictError: two mods (or a mod and a game file) cannot both be
// applied. XmlError: an XML text cannot be parsed.
class GenericError : public std::exception {
public:
    explicit GenericError(const std::string& message)
        : message_(message)
    { }
    ~GenericError() override = default;
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

class ConflictError : public GenericError {
public:
    using GenericError::GenericError;
};

class XmlError : public GenericError {
public:
    using GenericError::GenericError;
};

} // namespace velmora

#endif
