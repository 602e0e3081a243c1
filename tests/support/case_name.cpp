#include "support/case_name.h"

#include <cctype>

namespace velmora::test {

std::string case_name(const std::string& description)
{
    std::string name;
    for (char c : description) {
        if ((std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80) || c == '_')
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name.empty() ? std::string("empty") : name;
}

bool is_plain_name(const std::string& description)
{
    if (description.empty() || description.front() == ' ' || description.back() == ' ')
        return false;
    for (std::string::size_type i = 0; i < description.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(description[i]);
        if (c == ' ' ? description[i + 1] == ' ' : !(c < 0x80 && (std::isalnum(c) || c == '_')))
            return false;
    }
    return true;
}

} // namespace velmora::test
