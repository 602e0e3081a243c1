#include <gtest/gtest.h>

#include <string>

#include "mod/change_path.h"
#include "support/case_name.h"

using velmora::is_safe_change_path;

namespace {

class SafeChangePath : public testing::TestWithParam<std::string> { };

TEST_P(SafeChangePath, isAccepted) { EXPECT_TRUE(is_safe_change_path(GetParam())); }

INSTANTIATE_TEST_SUITE_P(GamePaths, SafeChangePath,
    testing::Values("XML\\Units\\Civ4UnitInfos.xml", "Python\\CvEventManager.py", "Art\\Interface\\x.dds",
        "XML/Units/Civ4UnitInfos.xml", "XML\\Units/Civ4UnitInfos.xml", "Civ4.ini", "res\\Fonts\\GameFont.tga",
        "XML\\..\\Python\\x.py", "XML\\.\\x.xml", "XML\\\\x.xml", ".hidden",
        "Art\\Leaderheads\\P\xc3\xa9tain.dds", "Sounds\\my file.wav", "XML\\CONSOLE.xml",
        "XML\\Text\\CIV4GameText_Objects.xml"),
    ::velmora::test::CaseName());

class UnsafeChangePath : public testing::TestWithParam<std::string> { };

TEST_P(UnsafeChangePath, isRefused) { EXPECT_FALSE(is_safe_change_path(GetParam())); }

INSTANTIATE_TEST_SUITE_P(Escapes, UnsafeChangePath,
    testing::Values(
        // Empty, rooted and drive forms.
        "", "\\Windows\\win.ini", "/etc/passwd", "\\\\server\\share\\x", "//server/share/x", "\\\\?\\C:\\x",
        "C:x", "c:\\x", "C:/x", "C:", "XML\\x.xml:stream",
        // Climbing above the start, with any separator.
        "..", "..\\..\\.bashrc", "XML\\..\\..\\x", "../x", "XML/../../x", "XML\\../..\\x",
        "a\\b\\..\\..\\..\\c",
        // Names Windows trims to "..", or that it cannot create.
        "...", "...\\x", ".. \\x", "XML\\.. \\..\\..\\x", "x.", "x ", "XML\\x.xml.", "XML \\x",
        // No file name.
        ".", "XML\\", "XML/", "XML\\..", "XML\\.",
        // Control bytes, characters Windows forbids, devices.
        std::string("XML\\x\0.xml", 10), "XML\\x\n.xml", "XML\\x\t.xml", "XML\\x\x7f", "a<b", "a>b", "a|b",
        "a?b", "a*b", "a\"b", "CON", "XML\\nul.xml", "XML\\Com1", "lpt9.txt", "aux ", "XML\\PRN.xml.bak"),
    ::velmora::test::CaseName());

} // namespace
