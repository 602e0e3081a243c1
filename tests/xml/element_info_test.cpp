#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/errors.h"
#include "support/element_table.h"
#include "support/tempdir.h"
#include "xml/element_info.h"
#include "support/case_name.h"

using velmora::ElementInfo;
using velmora::ElementInfoStorage;
using velmora::GenericError;
using velmora::test::ElementTableScope;

namespace {

struct Expected {
    std::string path;
    bool found;
    int type;
    std::string key;
};

struct LoadCase {
    std::string name;
    std::string table;
    std::vector<Expected> lookups;
};

std::ostream& operator<<(std::ostream& os, const LoadCase& c) { return os << c.name; }

class ElementTableLoad : public testing::TestWithParam<LoadCase> {
protected:
    ElementTableScope table;
};

TEST_P(ElementTableLoad, readsTheLinesAsEntries)
{
    table.load_text(GetParam().table);
    for (const Expected& e : GetParam().lookups) {
        const ElementInfo* info = ElementInfoStorage::instance().get_info(e.path);
        ASSERT_EQ(info != nullptr, e.found) << e.path;
        if (info) {
            EXPECT_EQ(info->type, e.type) << e.path;
            EXPECT_EQ(info->key, e.key) << e.path;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ElementTableLoad,
    testing::Values(LoadCase{"emptyFile", "", {{"/Civ4XInfos/XInfos/XInfo", false, 0, ""}}},
        LoadCase{"onlyTheFirstCharacterMakesAComment", "#XInfos XInfo object\n #XInfos XInfo set\n",
            {{"/Civ4XInfos/XInfo", false, 0, ""}, {"/#XInfos/XInfo", true, velmora::SET, ""}}},
        LoadCase{"crlfLineEnds", "XInfos\tXInfo\tobject\tTag\r\nXInfos YList list\r\n",
            {{"/Civ4XInfos/XInfos/XInfo", true, velmora::OBJECT, "Tag"},
                {"/Civ4XInfos/XInfos/XInfo/YList", true, velmora::LIST, ""}}},
        LoadCase{"shortAndBlankLinesAreSkipped", "XInfos XInfo\n   \t \n\nXInfos Z set\n",
            {{"/Civ4XInfos/XInfo", false, 0, ""}, {"/Civ4XInfos/Z", true, velmora::SET, ""}}},
        LoadCase{"wordsAfterTheFourthAreIgnored", "XInfos XInfo object Tag extra words\n",
            {{"/Civ4XInfos/XInfo", true, velmora::OBJECT, "Tag"}}},
        LoadCase{"theFirstOfTwoLinesWins", "XInfos XInfo object Tag\nXInfos XInfo list\n",
            {{"/Civ4XInfos/XInfo", true, velmora::OBJECT, "Tag"}}},
        LoadCase{"groupAndNameAreCaseSensitive", "xinfos XInfo object\nXInfos xinfo object\n",
            {{"/Civ4XInfos/XInfo", false, 0, ""}}},
        LoadCase{"aKeyOnANonRecordLineIsKept", "XInfos XList list Tag\n",
            {{"/Civ4XInfos/XList", true, velmora::LIST, "Tag"}}},
        LoadCase{"everyKeyword",
            "G A toplevel\nG B container\nG C object\nG D list\nG E set\nG F ignore\nG H opaque\n",
            {{"/G/A", true, velmora::TOPLEVEL, ""}, {"/G/B", true, velmora::CONTAINER, ""},
                {"/G/C", true, velmora::OBJECT, ""}, {"/G/D", true, velmora::LIST, ""},
                {"/G/E", true, velmora::SET, ""}, {"/G/F", true, velmora::IGNORE, ""},
                {"/G/H", true, velmora::OPAQUE, ""}}}),
    [](const testing::TestParamInfo<LoadCase>& info) { return info.param.name; });

struct GroupCase {
    std::string path;
    std::string group;
    std::string name;
};

class ElementTableGroup : public testing::TestWithParam<GroupCase> {
protected:
    ElementTableScope table;
};

// Each case loads the entry it should find (none for an empty group) and a
// decoy with the same name in another group.
TEST_P(ElementTableGroup, findsTheEntryOfTheDocumentGroup)
{
    const GroupCase& c = GetParam();
    table.load_text(
        "Decoy " + c.name + " set\n" + (c.group.empty() ? "" : c.group + " " + c.name + " list\n"));
    const ElementInfo* info = ElementInfoStorage::instance().get_info(c.path);
    if (c.group.empty()) {
        EXPECT_EQ(info, nullptr);
        return;
    }
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->root, c.group);
    EXPECT_EQ(info->type, velmora::LIST);
}

INSTANTIATE_TEST_SUITE_P(Paths, ElementTableGroup,
    testing::Values(GroupCase{"/Civ4XInfos/XInfos/XInfo[12]", "XInfos", "XInfo"},
        GroupCase{"/Civ4XInfos/XInfos/XInfo[2]/Type", "XInfos", "Type"},
        GroupCase{"/XInfos/XInfo", "XInfos", "XInfo"}, GroupCase{"/Civ4XInfos/XInfo", "XInfos", "XInfo"},
        GroupCase{"/Civ4XInfos", "XInfos", "Civ4XInfos"}, GroupCase{"/Other/A/B", "Other", "B"},
        GroupCase{"/Civ4/A", "", "A"}),
    ::velmora::test::CaseNameBy<&GroupCase::path>());

class ElementTableErrors : public testing::Test {
protected:
    ElementTableScope table;
};

TEST_F(ElementTableErrors, aPathWithoutLeadingSlashIsRefused)
{
    try {
        ElementInfoStorage::instance().get_info("XInfos/XInfo");
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_STREQ(e.what(), "What am I supposed to do with XInfos/XInfo?");
    }
}

TEST_F(ElementTableErrors, anUnknownTypeWordRefusesTheWholeFile)
{
    table.load_text("XInfos Kept object Type\n");
    velmora::test::TempDir dir;
    velmora::test::write_file(dir / "elements.txt", "# comment\nXInfos A object Key\n\nXInfos B Object\n");
    std::string file = dir.native() + "/elements.txt";
    try {
        ElementInfoStorage::instance().load(file);
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_EQ(std::string(e.what()),
            "Unknown element type \"Object\" on line 4 of \"" + file
                + "\" (expected toplevel, container, object, list, set, ignore or opaque)");
    }
    EXPECT_NE(ElementInfoStorage::instance().get_info("/XInfos/Kept"), nullptr);
    EXPECT_EQ(ElementInfoStorage::instance().get_info("/XInfos/A"), nullptr);
}

TEST_F(ElementTableErrors, aFileThatCannotBeReadAddsNothing)
{
    table.load_text("XInfos Kept object Type\n");
    velmora::test::TempDir dir;
    for (const std::string& name : {dir.native() + "/missing.txt", dir.native()}) {
        try {
            ElementInfoStorage::instance().load(name);
            FAIL() << "no error for " << name;
        } catch (const GenericError& e) {
            EXPECT_STREQ(e.what(), "Couldn't load element info");
        }
    }
    EXPECT_NE(ElementInfoStorage::instance().get_info("/XInfos/Kept"), nullptr);
}

TEST_F(ElementTableErrors, aSecondFileAddsBehindTheFirst)
{
    table.load_text("XInfos A set\n");
    table.load_text("XInfos A list\nXInfos B list\n");
    EXPECT_EQ(ElementInfoStorage::instance().get_info("/XInfos/A")->type, velmora::SET);
    EXPECT_EQ(ElementInfoStorage::instance().get_info("/XInfos/B")->type, velmora::LIST);
}

} // namespace
