#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/tempdir.h"
#include "support/case_name.h"

namespace velmora {
namespace {

using test::list_tree;
using test::mod_with;
using test::whole_change;
using test::write_file;

// A game, a custom-assets folder two levels down and a folder beside them,
// with the current folder inside the sandbox too, so that a file written
// anywhere relative shows up in it.
class ApplyDestination : public testing::Test {
protected:
    ApplyDestination()
        : cwd((mkpath(root / "cwd", 0755), root / "cwd"))
    {
        write_file(source / "XML\\Units\\CIV4UnitInfos.xml", "<Civ4UnitInfos/>");
        mkpath(target, 0755);
        mkpath(outside, 0755);
    }

    std::string error_of(const Mod& m)
    {
        try {
            m.apply(source, target);
        } catch (const GenericError& e) {
            return e.what();
        }
        return "no error";
    }

    void link(const std::string& at, const Path& to)
    {
        mkpath((target / Path(at)).subpath(0, (target / Path(at)).size() - 1), 0755);
        ASSERT_EQ(::symlink(platform::native(to).c_str(), platform::native(target / Path(at)).c_str()), 0);
    }

    test::TempDir root;
    test::CurrentFolder cwd;
    Path source = root / "game\\Assets";
    Path target = root / "out\\deep\\CustomAssets";
    Path outside = root / "outside";
};

class EscapingPath : public ApplyDestination, public testing::WithParamInterface<std::string> { };

TEST_P(EscapingPath, writesNothingAnywhereAndNamesThePath)
{
    const std::string& file = GetParam();
    std::vector<std::string> before = list_tree(root.path());
    Mod m = mod_with("Sneaky", {whole_change("XML\\harmless.xml", "first"), whole_change(file, "owned")});

    std::string error = error_of(m);
    EXPECT_NE(
        error.find("The mod 'Sneaky' was not applied: its change of '" + file + "' would write outside"),
        std::string::npos)
        << error;
    // Not even the change before it was written.
    EXPECT_EQ(list_tree(root.path()), before);
    EXPECT_FALSE(exists(Path("\\etc\\velmora-escape.txt")));
}

INSTANTIATE_TEST_SUITE_P(Cases, EscapingPath,
    testing::Values("..\\..\\escape.txt", "\\etc\\velmora-escape.txt", "/etc/velmora-escape.txt",
        "C:\\escape.txt", "C:escape.txt", "XML\\..\\..\\escape.txt", "XML\\..\\..\\..\\outside\\escape.txt",
        "XML\\Units\\", ""),
    ::velmora::test::CaseName());

// A symbolic link inside the custom-assets folder that leads out of it, to
// a folder, to a file or to nothing, is never written through, whatever the
// letter case the mod uses for it.
struct LinkCase {
    const char* name;
    std::string link; // inside the target
    std::string to; // relative to the sandbox
    std::string file; // the change's file
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }

class LinkOut : public ApplyDestination, public testing::WithParamInterface<LinkCase> { };

TEST_P(LinkOut, isRefusedBeforeAnythingIsWritten)
{
    const LinkCase& c = GetParam();
    write_file(outside / "kept.xml", "kept");
    link(c.link, root / c.to);
    std::vector<std::string> before = list_tree(root.path());
    Mod m = mod_with("Linked", {whole_change("Art\\first.dds", "first"), whole_change(c.file, "owned")});

    std::string error = error_of(m);
    EXPECT_NE(
        error.find("its change of '" + c.file + "' would write through the symbolic link"), std::string::npos)
        << error;
    EXPECT_EQ(list_tree(root.path()), before);
    EXPECT_EQ(test::read_file(outside / "kept.xml"), "kept");
}

INSTANTIATE_TEST_SUITE_P(Cases, LinkOut,
    testing::Values(LinkCase{"folder", "XML", "outside", "xml\\Units\\CIV4UnitInfos.xml"},
        LinkCase{"file", "XML\\kept.xml", "outside\\kept.xml", "XML\\KEPT.xml"},
        LinkCase{"nowhere", "XML\\new.xml", "outside\\new.xml", "XML\\new.xml"},
        LinkCase{"parentOfTheTarget", "XML", "out\\deep", "XML\\a.xml"}),
    [](const testing::TestParamInfo<LinkCase>& info) { return info.param.name; });

TEST_F(ApplyDestination, aLinkThatStaysInsideIsWrittenThrough)
{
    mkpath(target / "Real", 0755);
    link("XML", target / "Real");
    ASSERT_EQ(mod_with("Inside", {whole_change("XML\\a.xml", "inside")}).apply(source, target), 0);
    EXPECT_EQ(test::read_file(target / "Real\\a.xml"), "inside");
}

// A write that fails is an error naming the file, never a silent success.
TEST_F(ApplyDestination, aFolderThatCannotBeCreatedIsAnError)
{
    write_file(target / "XML", "a file where the folder should be");
    std::string error = error_of(mod_with("Blocked", {whole_change("XML\\a.xml", "x")}));
    EXPECT_EQ(error.rfind("Cannot create the folder " + platform::native(target / "XML") + ": ", 0), 0u) << error;
}

TEST_F(ApplyDestination, aFileThatCannotBeWrittenIsAnErrorAndLeavesNoPartBehind)
{
    mkpath(target / "XML\\a.xml", 0755);
    std::string error = error_of(mod_with("Blocked", {whole_change("XML\\a.xml", "x")}));
    EXPECT_EQ(error.rfind("Cannot write " + platform::native(target / "XML\\a.xml") + ": ", 0), 0u) << error;
    EXPECT_EQ(list_files(target / "XML"), (std::list<std::string>{"a.xml"}));
}

} // namespace
} // namespace velmora
