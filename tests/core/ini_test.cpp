// The header a mod's folder gives in its INI files: which files count, and
// which value wins when several give one.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ini.h"
#include "path/fs.h"
#include "support/tempdir.h"

namespace velmora::test {
namespace {

struct FolderCase {
    const char* label;
    std::vector<std::pair<const char*, const char*>> files; // name in the folder, text
    std::optional<std::string> name;
    std::optional<std::string> description;
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.label; }

class ModIniFolder : public ::testing::TestWithParam<FolderCase> {
protected:
    TempDir tmp;
};

TEST_P(ModIniFolder, givesTheKeysOfItsIniFilesTheLaterFileWinning)
{
    const FolderCase& c = GetParam();
    const Path folder = tmp / "My Mod";
    mkpath(folder, 0755);
    for (const auto& [name, text] : c.files)
        write_file(folder / Path(name), text);

    const ModIni ini = read_mod_ini_folder(folder);

    EXPECT_EQ(ini.name, c.name);
    EXPECT_EQ(ini.description, c.description);
}

INSTANTIATE_TEST_SUITE_P(Folders, ModIniFolder,
    ::testing::Values(FolderCase{"none", {{"readme.txt", "Name = not an ini\n"}}, std::nullopt, std::nullopt},
        FolderCase{"laterFileWinsKeyByKey",
            {{"b.ini", "Name = B\n"}, {"a.ini", "Name = A\nDescription = from a\n"}}, "B", "from a"},
        FolderCase{"otherLetterCaseAndNoStemAreNotRead",
            {{"MOD.INI", "Name = upper\n"}, {".ini", "Name = no stem\n"}, {"m.ini", "Description = d\n"}},
            std::nullopt, "d"},
        FolderCase{"subfoldersAreNotRead", {{"Assets/c.ini", "Name = below\n"}}, std::nullopt, std::nullopt}),
    [](const ::testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.label); });

TEST(ModIniFile, aFileOrFolderThatCannotBeReadGivesNothing)
{
    TempDir tmp;
    const ModIni file = read_mod_ini_file(tmp / "missing.ini");
    const ModIni folder = read_mod_ini_folder(tmp / "missing");
    EXPECT_FALSE(file.name || file.description || folder.name || folder.description);
}

} // namespace
} // namespace velmora::test
