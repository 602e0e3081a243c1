#include <gtest/gtest.h>

#include <sstream>

#include "support/tempdir.h"
#include "tools/gamegen/cli.h"
#include "support/case_name.h"

namespace velmora {
namespace {

using test::TempDir;

struct Outcome {
    int code;
    std::string out, err;
};

Outcome run(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    int code = gamegen_main(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(GamegenProgram, writesATreeThenAModifiedCopy)
{
    TempDir dir;
    std::string assets = dir.native() + "/Assets", mod = dir.native() + "/Mod";
    Outcome a = run({"assets", assets, "--seed", "4", "--scale=0.01"});
    EXPECT_EQ(a.code, 0) << a.err;
    EXPECT_NE(a.out.find("XML files"), std::string::npos) << a.out;
    Outcome m = run({"modify", assets, mod, "--fraction", "0.05", "--seed", "9"});
    EXPECT_EQ(m.code, 0) << m.err;
    EXPECT_NE(m.out.find("changed "), std::string::npos) << m.out;
    EXPECT_NE(m.out.find("added "), std::string::npos) << m.out;
}

struct Misuse {
    std::vector<std::string> args;
    int code;
    const char* message;
};

class GamegenProgramRefuses : public testing::TestWithParam<Misuse> { };

TEST_P(GamegenProgramRefuses, withTheExitCodeAndAReason)
{
    TempDir dir;
    test::write_file(dir / "Full/file.txt", "x");
    std::vector<std::string> args;
    for (auto a : GetParam().args) {
        if (a.compare(0, 4, "DIR/") == 0)
            a = dir.native() + a.substr(3);
        args.push_back(a);
    }
    Outcome r = run(args);
    EXPECT_EQ(r.code, GetParam().code);
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, GamegenProgramRefuses,
    testing::Values(Misuse{{}, 2, "no command"}, Misuse{{"frobnicate"}, 2, "unknown command \"frobnicate\""},
        Misuse{{"assets"}, 2, "one folder"}, Misuse{{"assets", "DIR/A", "DIR/B"}, 2, "one folder"},
        Misuse{{"assets", "DIR/A", "--scale"}, 2, "--scale needs a value"},
        Misuse{{"assets", "DIR/A", "--scale", "big"}, 2, "scale \"big\" is not a number"},
        Misuse{{"assets", "DIR/A", "--seed", "-1"}, 2, "seed \"-1\""},
        Misuse{{"assets", "DIR/A", "--seed", "4294967296"}, 2, "seed"},
        Misuse{{"assets", "DIR/A", "--colour", "red"}, 2, "unknown option --colour"},
        Misuse{{"assets", "DIR/A", "--fraction", "0.5"}, 2, "no --fraction"},
        Misuse{{"modify", "DIR/A"}, 2, "output folder"},
        Misuse{{"modify", "DIR/A", "DIR/B", "--scale", "1"}, 2, "no --scale"},
        Misuse{{"assets", "DIR/Full"}, 1, "Full\" is not empty"},
        Misuse{{"assets", "DIR/A", "--scale", "0"}, 1, "scale 0 is out of range"},
        Misuse{{"modify", "DIR/Missing", "DIR/B"}, 1, "Missing\" does not exist"}),
    ::velmora::test::CaseNameBy<&Misuse::message>());

} // namespace
} // namespace velmora
