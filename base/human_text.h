#ifndef VELMORA_BASE_HUMAN_TEXT_H
#define VELMORA_BASE_HUMAN_TEXT_H

#include <cstdint>
#include <ctime>
#include <string>

namespace velmora {

// Sizes and times as the command line and the windows show them to people.

// "512 B", "1.5 KB", "12.3 MB", "2.0 GB" (units of 1024).
std::string size_text(std::uint64_t bytes);
// "2026-12-11 14:30" in local time; "unknown time" for 0.
std::string local_time_text(std::time_t when);

} // namespace velmora

#endif
