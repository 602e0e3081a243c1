#include "diff/diff.h"

#include <cstring>
#include <utility>

namespace velmora {

namespace {

constexpr size_t BLOCK_SIZE = 1 << 16;
constexpr size_t FIRST_RING_SIZE = 16;

} // namespace

Diff::Input::Input(std::istream& in)
    : in_(in)
    , ring_(FIRST_RING_SIZE)
    , ends_(FIRST_RING_SIZE, End::LF)
{ }

bool Diff::Input::fill()
{
    std::streambuf* buf = in_.rdbuf();
    if (buffer_.empty())
        buffer_.resize(BLOCK_SIZE);
    std::streamsize got = buf ? buf->sgetn(buffer_.data(), static_cast<std::streamsize>(buffer_.size())) : 0;
    begin_ = 0;
    end_ = got > 0 ? static_cast<size_t>(got) : 0;
    if (end_ == 0)
        in_.setstate(std::ios::eofbit);
    return end_ > 0;
}

// Doubles the ring, the held lines first in it.
void Diff::Input::grow()
{
    std::vector<std::string> bigger(ring_.size() * 2);
    std::vector<End> bigger_ends(ring_.size() * 2, End::LF);
    for (size_t n = 0; n < ring_.size(); ++n) {
        size_t slot = (head_ + n) & (ring_.size() - 1);
        bigger[n].swap(ring_[slot]);
        bigger_ends[n] = ends_[slot];
    }
    ring_.swap(bigger);
    ends_.swap(bigger_ends);
    head_ = 0;
}

// Cuts the next line out of the stream: up to a line feed, or the rest of the
// stream when no line feed follows (a final line without one still counts).
bool Diff::Input::read_next()
{
    if (ended_)
        return false;
    if (count_ - first_ == ring_.size())
        grow();
    const size_t slot = (head_ + (count_ - first_)) & (ring_.size() - 1);
    std::string& line = ring_[slot];
    line.clear();
    bool any = false;
    bool fed = false;
    for (;;) {
        if (begin_ == end_ && !fill()) {
            ended_ = true;
            break;
        }
        any = true;
        const char* from = buffer_.data() + begin_;
        const void* feed = std::memchr(from, '\n', end_ - begin_);
        size_t length = feed ? static_cast<size_t>(static_cast<const char*>(feed) - from) : end_ - begin_;
        line.append(from, length);
        begin_ += length;
        if (feed) {
            ++begin_;
            fed = true;
            break;
        }
    }
    if (!any)
        return false;
    End end = fed ? End::LF : End::NONE;
    // A carriage return at the very end, with no line feed after it, stays in
    // the text: dropping it would lose a byte of the file.
    if (fed && !line.empty() && line.back() == '\r') {
        line.pop_back();
        end = End::CRLF;
    }
    ends_[slot] = end;
    ended_without_end_ = end == End::NONE;
    ++count_;
    return true;
}

const std::string* Diff::Input::read_through(unsigned int n)
{
    if (n < first_)
        return nullptr;
    while (count_ <= n)
        if (!read_next())
            return nullptr;
    return &ring_[(head_ + (n - first_)) & (ring_.size() - 1)];
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
    // Lines not yet read are never released.
    unsigned int to = n < count_ ? n : count_;
    if (to <= first_)
        return;
    head_ = (head_ + (to - first_)) & (ring_.size() - 1);
    first_ = to;
}

} // namespace velmora
