#include <gtest/gtest.h>

#include "core/mod_name.h"
#include "support/case_name.h"

namespace velmora {
namespace {

struct NameCase {
    const char* name;
    const char* refusal; // a piece of the message, or nullptr when the name is accepted
};

std::ostream& operator<<(std::ostream& os, const NameCase& c) { return os << '"' << c.name << '"'; }

class ModFileName : public testing::TestWithParam<NameCase> { };

TEST_P(ModFileName, isAcceptedOrRefusedWithItsReason)
{
    const NameCase& c = GetParam();
    std::string message = check_mod_file_name(c.name);
    if (!c.refusal) {
        EXPECT_EQ(message, "");
        return;
    }
    EXPECT_NE(message.find(c.refusal), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(Names, ModFileName,
    testing::Values(NameCase{"Better Archers", nullptr},
        NameCase{"Bessere Bogensch\xc3\xbctzen v1.2", nullptr}, NameCase{"Conquest", nullptr},
        NameCase{"COM10", nullptr}, NameCase{"a.b", nullptr}, NameCase{" Leading space", nullptr},
        NameCase{"", "needs a name"}, NameCase{"..\\..\\Windows\\evil", "'\\'"}, NameCase{"../evil", "'/'"},
        NameCase{"..", "'..'"}, NameCase{"a..b", "'..'"}, NameCase{"C:evil", "':'"}, NameCase{"what?", "'?'"},
        NameCase{"a*", "'*'"}, NameCase{"a<b>", "'<'"}, NameCase{"say \"hi\"", "'\"'"},
        NameCase{"a|b", "'|'"}, NameCase{"tab\there", "control character"},
        NameCase{"line\nbreak", "control character"}, NameCase{"dot.", "ends with a dot"},
        NameCase{"space ", "ends with a dot or a space"}, NameCase{"CON", "device name"},
        NameCase{"con", "device name"}, NameCase{"Nul.mod", "device name"}, NameCase{"com1", "device name"},
        NameCase{"LPT9", "device name"}, NameCase{"aux .x", "device name"}),
    ::velmora::test::CaseName());

} // namespace
} // namespace velmora
