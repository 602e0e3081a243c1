#include "diff/diff.h"

#include <utility>

namespace velmora {

Diff::Input::Input(std::istream& in)
    : in_(in)
{ }

bool Diff::Input::read_next()
{
    if (ended_)
        return false;
    // A stream at its end or in error ends the input; a final line without a
    // line feed still counts (getline reports it and sets only eof).
    if (!std::getline(in_, spare_)) {
        ended_ = true;
        return false;
    }
    if (!spare_.empty() && spare_.back() == '\r')
        spare_.pop_back();
    lines_.push_back(std::move(spare_));
    spare_.clear();
    ++count_;
    if (in_.eof())
        ended_ = true;
    return true;
}

const std::string* Diff::Input::line(unsigned int n)
{
    if (n < first_)
        return nullptr;
    while (count_ <= n)
        if (!read_next())
            return nullptr;
    return &lines_[n - first_];
}

bool Diff::Input::getline(unsigned int n, std::string& out)
{
    const std::string* l = line(n);
    if (!l)
        return false;
    out = *l;
    return true;
}

void Diff::Input::prune(unsigned int n)
{
    while (first_ < n && !lines_.empty()) {
        spare_ = std::move(lines_.front());
        lines_.pop_front();
        ++first_;
    }
}

} // namespace velmora
