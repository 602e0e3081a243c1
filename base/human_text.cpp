#include "base/human_text.h"

#include <cstdio>

namespace velmora {

std::string size_text(std::uint64_t bytes)
{
    char text[32];
    const double b = static_cast<double>(bytes);
    if (bytes < 1024)
        std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
    else if (bytes < 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f KB", b / 1024.0);
    else if (bytes < 1024ull * 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f MB", b / (1024.0 * 1024));
    else
        std::snprintf(text, sizeof text, "%.1f GB", b / (1024.0 * 1024 * 1024));
    return text;
}

std::string local_time_text(std::time_t when)
{
    if (when == 0)
        return "unknown time";
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

} // namespace velmora
