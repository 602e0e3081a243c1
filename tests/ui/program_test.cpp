#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace velmora::test {
namespace {

// Runs command through the shell; its exit status and what it printed.
std::pair<int, std::string> run(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return {-1, out};
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        out += buffer;
    int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST(Program, withoutADisplaySaysSoInOneLineAndFails)
{
    auto [status, output]
        = run(std::string("env -u DISPLAY HOME=/nonexistent '") + VELMORA_PROGRAM + "' 2>&1");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output, "velmora: cannot open a display (is DISPLAY set?)\n");
}

} // namespace
} // namespace velmora::test
