#include "core/data_file.h"

#include <gtest/gtest.h>

#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/tempdir.h"
#include "support/case_name.h"

namespace velmora {
namespace {

using test::TempDir;
using test::write_file;

// Which of three folders hold the file (as a file, or as a folder of that
// name), and which one the search must answer with (-1: none).
struct DataFileCase {
    const char* layout; // per folder: 'f' file, 'd' folder, '-' nothing
    int found;
};

class FindDataFileTest : public ::testing::TestWithParam<DataFileCase> { };

TEST_P(FindDataFileTest, takesTheFirstFolderHoldingTheFile)
{
    TempDir dir;
    std::vector<Path> folders{dir / "current", dir / "program", dir / "installed"};
    for (int i = 0; i < 3; ++i) {
        Path entry = folders[i] / Path("velmora.glade");
        if (GetParam().layout[i] == 'f')
            write_file(entry, "<glade-interface/>");
        else if (GetParam().layout[i] == 'd')
            mkpath(entry, 0755);
    }
    Path expected = GetParam().found < 0 ? Path() : folders[GetParam().found] / Path("velmora.glade");
    EXPECT_EQ(find_data_file("velmora.glade", folders), expected);
}

INSTANTIATE_TEST_SUITE_P(Layouts, FindDataFileTest,
    ::testing::Values(DataFileCase{"fff", 0}, DataFileCase{"-ff", 1}, DataFileCase{"--f", 2},
        DataFileCase{"df-", 1}, DataFileCase{"---", -1}, DataFileCase{"dd-", -1}),
    ::velmora::test::CaseNameBy<&DataFileCase::layout>());

TEST(FindDataFile, inTheCurrentFolderIsTheBareName)
{
    TempDir dir;
    write_file(dir / "elements.txt", "");
    test::CurrentFolder here(dir.path());
    EXPECT_EQ(find_data_file("elements.txt").str(), "elements.txt");
}

TEST(FindDataFile, searchesTheCurrentFolderThenTheProgramsFolderThenItsShareFolderThenTheInstalledOne)
{
    std::vector<Path> folders = data_folders();
    ASSERT_EQ(folders.size(), 4u);
    EXPECT_TRUE(folders[0].empty());
    const Path program(platform::executable_dir());
    EXPECT_EQ(folders[1], program);
    EXPECT_EQ(folders[2], program.subpath(0, program.size() - 1) / Path("share/velmora"));
    EXPECT_NE(folders[3].str().find("velmora"), std::string::npos);
}

} // namespace
} // namespace velmora
