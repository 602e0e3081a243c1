#include <gtest/gtest.h>

#include "base/human_text.h"

namespace velmora {
namespace {

TEST(HumanText, sizesChangeUnitAtEach1024)
{
    struct Case {
        std::uint64_t bytes;
        const char* text;
    };
    for (const Case& c : {Case{0, "0 B"}, Case{1023, "1023 B"}, Case{1024, "1.0 KB"}, Case{1536, "1.5 KB"},
             Case{1024 * 1024, "1.0 MB"}, Case{5ull * 1024 * 1024 * 1024, "5.0 GB"}}) {
        EXPECT_EQ(size_text(c.bytes), c.text) << c.bytes;
    }
}

TEST(HumanText, anUnknownTimeIsSaidSo)
{
    EXPECT_EQ(local_time_text(0), "unknown time");
    const std::string text = local_time_text(1765450000);
    EXPECT_EQ(text.size(), 16u) << text; // "YYYY-MM-DD HH:MM"
    EXPECT_EQ(text.substr(0, 3), "202") << text;
}

} // namespace
} // namespace velmora
