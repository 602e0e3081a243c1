#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/check_memos.h"
#include "core/references.h"
#include "core/verify.h"
#include "path/fs.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

const std::uint64_t elements = 0x1111, references = 0x2222;

VerifyMemo some_schema_scans()
{
    VerifyMemo memo;
    memo.files["XML\\Units\\CIV4UnitInfos.xml"]
        = {0xabc, elements, {{"CIV4UnitSchema.xml", "/game/Assets/XML/Units/CIV4UnitSchema.xml", 0xdef}}, true};
    memo.files["XML\\Misc\\Notes.xml"] = {0x123, elements, {}, false};
    return memo;
}

ReferenceMemo some_name_scans()
{
    ReferenceMemo memo;
    memo.scans[0x77].names.defined = {"UNIT_WARRIOR", "UNIT_ARCHER"};
    memo.scans[0x77].names.references = {{"UNIT_WARRIOR", "Class", "UNITCLASS_WARRIOR"}, {"", "Tag", "TXT_KEY_A"}};
    memo.scans[0x78].names = NameScan(); // a file that names nothing
    return memo;
}

bool same(const VerifyMemo& a, const VerifyMemo& b)
{
    if (a.files.size() != b.files.size())
        return false;
    for (const auto& [file, scan] : a.files) {
        const auto it = b.files.find(file);
        if (it == b.files.end() || it->second.bytes != scan.bytes || it->second.table != scan.table
            || it->second.checked != scan.checked || it->second.lookups.size() != scan.lookups.size())
            return false;
        for (std::size_t i = 0; i < scan.lookups.size(); ++i) {
            const VerifyMemo::Lookup &x = scan.lookups[i], &y = it->second.lookups[i];
            if (x.name != y.name || x.found != y.found || x.bytes != y.bytes)
                return false;
        }
    }
    return true;
}

bool same(const ReferenceMemo& a, const ReferenceMemo& b)
{
    if (a.scans.size() != b.scans.size())
        return false;
    for (const auto& [bytes, scan] : a.scans) {
        const auto it = b.scans.find(bytes);
        if (it == b.scans.end() || it->second.names.defined != scan.names.defined
            || it->second.names.references.size() != scan.names.references.size())
            return false;
        for (std::size_t i = 0; i < scan.names.references.size(); ++i) {
            const ScannedReference &x = scan.names.references[i], &y = it->second.names.references[i];
            if (x.record != y.record || x.field != y.field || x.name != y.name)
                return false;
        }
    }
    return true;
}

TEST(CheckMemos, bothScansComeBackFromTheFileAsTheyWereWritten)
{
    test::TempDir folder;
    ASSERT_TRUE(CheckMemos::write(folder.path(), elements, references, some_schema_scans(), some_name_scans()));

    VerifyMemo verify;
    ReferenceMemo names;
    ASSERT_TRUE(CheckMemos::read(folder.path(), elements, references, verify, names));
    EXPECT_TRUE(same(verify, some_schema_scans()));
    EXPECT_TRUE(same(names, some_name_scans()));
}

// What happens to the file between the apply that wrote it and the next.
struct Damage {
    const char* name;
    std::function<void(std::string& bytes)> apply;
    std::uint64_t elements = velmora::elements;
    std::uint64_t references = velmora::references;
};

class DamagedMemos : public testing::TestWithParam<Damage> { };

TEST_P(DamagedMemos, areAsNoFileAndLeaveBothMemosEmpty)
{
    test::TempDir folder;
    ASSERT_TRUE(CheckMemos::write(folder.path(), elements, references, some_schema_scans(), some_name_scans()));
    const Path file = child_path(folder.path(), CheckMemos::file_name);
    std::string bytes = test::read_file(file);
    GetParam().apply(bytes);
    test::write_file(file, bytes);

    VerifyMemo verify;
    ReferenceMemo names;
    EXPECT_FALSE(CheckMemos::read(folder.path(), GetParam().elements, GetParam().references, verify, names));
    EXPECT_TRUE(verify.files.empty());
    EXPECT_TRUE(names.scans.empty());
}

INSTANTIATE_TEST_SUITE_P(CheckMemos, DamagedMemos,
    testing::Values(Damage {"cutShort", [](std::string& b) { b.pop_back(); }},
        Damage {"cutAfterItsHeader", [](std::string& b) { b.resize(20); }},
        Damage {"emptied", [](std::string& b) { b.clear(); }},
        Damage {"oneByteChanged", [](std::string& b) { b[b.size() / 2] ^= 0x20; }},
        Damage {"oneByteAdded", [](std::string& b) { b += '\n'; }},
        Damage {"anotherFormat", [](std::string& b) { b.replace(0, 16, "velmora-checks 0"); }},
        Damage {"madeWithAnotherElementTable", [](std::string&) { }, 0x1112, references},
        Damage {"madeWithAnotherReferenceTable", [](std::string&) { }, elements, 0x2223}),
    [](const testing::TestParamInfo<Damage>& info) { return info.param.name; });

TEST(CheckMemos, aFolderWithoutTheFileReadsAsNoMemo)
{
    test::TempDir folder;
    VerifyMemo verify;
    ReferenceMemo names;
    EXPECT_FALSE(CheckMemos::read(folder.path(), elements, references, verify, names));
}

} // namespace
} // namespace velmora
