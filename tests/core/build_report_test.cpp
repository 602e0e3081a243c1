// The build as the windows show it: the tree of files, records, lines and
// fields with their mods, its filters, one mod's overlaps with others and the
// preview's lines.
#include "core/build_report.h"

#include <gtest/gtest.h>

#include "path/platform.h"
#include "support/case_name.h"

namespace velmora {
namespace {

using Names = std::vector<std::string>;

// Alpha, Bravo and Charlie built three files:
// - the units: UNIT_ARCHER's iCombat is Bravo's over Alpha's, its iCost
//   Alpha's alone, its Flavors set Charlie's with Alpha's items kept;
//   UNIT_WARRIOR's iCombat Charlie's alone;
// - a script: lines 1-3 Alpha's, lines 8-9 Bravo's over Alpha's;
// - a picture: Charlie's whole file over Alpha's.
Provenance three_mods()
{
    Provenance p;
    FileOrigin& units = p.add("XML\\Units\\CIV4UnitInfos.xml");
    units.mods = {"Alpha", "Bravo", "Charlie"};
    RecordOrigin& archer = units.records["UNIT_ARCHER"];
    archer.element = "UnitInfo";
    archer.fields["iCombat"] = {"5", "Bravo", {"Alpha"}, {}};
    archer.fields["iCost"] = {"30", "Alpha", {}, {}};
    archer.fields["Flavors"] = {"{FLAVOR_MILITARY: 2}", "Charlie", {}, {"Alpha"}};
    RecordOrigin& warrior = units.records["UNIT_WARRIOR"];
    warrior.element = "UnitInfo";
    warrior.fields["iCombat"] = {"2", "Charlie", {}, {}};

    FileOrigin& script = p.add("Python\\CvEventManager.py");
    script.mods = {"Alpha", "Bravo"};
    script.hunks = {{1, 3, "Alpha", {}}, {8, 9, "Bravo", {"Alpha"}}};

    FileOrigin& picture = p.add("Art\\Interface\\Button.dds");
    picture.mods = {"Alpha", "Charlie"};
    picture.whole = "Charlie";
    picture.replaced = {"Alpha"};
    return p;
}

// Each item as "name [mod|mods] <losers> +with", children indented.
void flatten(const std::vector<BuildItem>& items, const std::string& indent, Names& out)
{
    for (const BuildItem& item : items) {
        std::string line = indent + item.name;
        if (!item.value.empty())
            line += " = " + item.value;
        std::string mods = item.mod;
        if (item.kind == BuildItem::File || item.kind == BuildItem::Record) {
            mods.clear();
            for (const std::string& m : item.mods)
                mods += (mods.empty() ? "" : ",") + m;
        }
        line += " [" + mods + "]";
        for (const std::string& l : item.losers)
            line += " -" + l;
        for (const std::string& w : item.with)
            line += " +" + w;
        out.push_back(line);
        flatten(item.children, indent + "  ", out);
    }
}

Names flat(const std::vector<BuildItem>& items)
{
    Names out;
    flatten(items, "", out);
    return out;
}

TEST(BuildItems, treeHasEachFileRecordLinesAndFieldWithWinnersAndLosersGatheredUpwards)
{
    EXPECT_EQ(flat(build_items(three_mods())),
        (Names{
            "Art\\Interface\\Button.dds [Charlie,Alpha] -Alpha",
            "Python\\CvEventManager.py [Alpha,Bravo] -Alpha",
            "  lines 1-3 [Alpha]",
            "  lines 8-9 [Bravo] -Alpha",
            "XML\\Units\\CIV4UnitInfos.xml [Alpha,Bravo,Charlie] -Alpha +Alpha",
            "  UNIT_ARCHER [Charlie,Bravo,Alpha] -Alpha +Alpha",
            "    Flavors = {FLAVOR_MILITARY: 2} [Charlie] +Alpha",
            "    iCombat = 5 [Bravo] -Alpha",
            "    iCost = 30 [Alpha]",
            "  UNIT_WARRIOR [Charlie]",
            "    iCombat = 2 [Charlie]",
        }));
    EXPECT_TRUE(build_items(Provenance()).empty());
}

struct FilterCase {
    const char* name;
    BuildFilter filter;
    Names shown;
};

std::ostream& operator<<(std::ostream& os, const FilterCase& c) { return os << c.name; }

class BuildFilterTest : public testing::TestWithParam<FilterCase> { };

TEST_P(BuildFilterTest, keepsWhatPassesWithItsParents)
{
    EXPECT_EQ(flat(filter_build(build_items(three_mods()), GetParam().filter)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Filters, BuildFilterTest,
    testing::Values(
        FilterCase{"conflictsOnly", {"", true},
            {"Art\\Interface\\Button.dds [Charlie,Alpha] -Alpha",
                "Python\\CvEventManager.py [Alpha,Bravo] -Alpha", "  lines 8-9 [Bravo] -Alpha",
                "XML\\Units\\CIV4UnitInfos.xml [Alpha,Bravo,Charlie] -Alpha +Alpha",
                "  UNIT_ARCHER [Charlie,Bravo,Alpha] -Alpha +Alpha", "    iCombat = 5 [Bravo] -Alpha"}},
        // Bravo's own work, whether it won or lost, and nothing else.
        FilterCase{"oneMod", {"Bravo", false},
            {"Python\\CvEventManager.py [Alpha,Bravo] -Alpha", "  lines 8-9 [Bravo] -Alpha",
                "XML\\Units\\CIV4UnitInfos.xml [Alpha,Bravo,Charlie] -Alpha +Alpha",
                "  UNIT_ARCHER [Charlie,Bravo,Alpha] -Alpha +Alpha", "    iCombat = 5 [Bravo] -Alpha"}},
        // A mod whose work was kept or replaced is in it too.
        FilterCase{"oneModThatLostOrMerged", {"Alpha", false},
            {"Art\\Interface\\Button.dds [Charlie,Alpha] -Alpha",
                "Python\\CvEventManager.py [Alpha,Bravo] -Alpha", "  lines 1-3 [Alpha]",
                "  lines 8-9 [Bravo] -Alpha",
                "XML\\Units\\CIV4UnitInfos.xml [Alpha,Bravo,Charlie] -Alpha +Alpha",
                "  UNIT_ARCHER [Charlie,Bravo,Alpha] -Alpha +Alpha",
                "    Flavors = {FLAVOR_MILITARY: 2} [Charlie] +Alpha", "    iCombat = 5 [Bravo] -Alpha",
                "    iCost = 30 [Alpha]"}},
        FilterCase{
            "oneModsConflicts", {"Charlie", true}, {"Art\\Interface\\Button.dds [Charlie,Alpha] -Alpha"}},
        FilterCase{"aModThatBuiltNothing", {"Delta", false}, {}},
        FilterCase{"oneModThatWonWhereverItWorked", {"Charlie", false},
            {"Art\\Interface\\Button.dds [Charlie,Alpha] -Alpha",
                "XML\\Units\\CIV4UnitInfos.xml [Alpha,Bravo,Charlie] -Alpha +Alpha",
                "  UNIT_ARCHER [Charlie,Bravo,Alpha] -Alpha +Alpha",
                "    Flavors = {FLAVOR_MILITARY: 2} [Charlie] +Alpha", "  UNIT_WARRIOR [Charlie]",
                "    iCombat = 2 [Charlie]"}}),
    test::CaseName());

TEST(BuildMods, namesEveryModOnceInTheOrderTheFilesNameThem)
{
    EXPECT_EQ(build_mods(three_mods()), (Names{"Charlie", "Alpha", "Bravo"}));
}

TEST(ModOverlaps, countWhereEachModsWorkStandsOverTheOthersFileByFile)
{
    Provenance p = three_mods();
    auto text = [](const std::vector<ModOverlap>& list) {
        Names out;
        for (const ModOverlap& o : list)
            out.push_back(
                o.other + " " + o.file + " " + std::to_string(o.wins) + ":" + std::to_string(o.losses));
        return out;
    };
    EXPECT_EQ(text(overlaps_of(p, "Alpha", {"Alpha", "Bravo", "Charlie", "Delta"})),
        (Names{"Bravo Python\\CvEventManager.py 0:1", "Bravo XML\\Units\\CIV4UnitInfos.xml 0:1",
            "Charlie Art\\Interface\\Button.dds 0:1", "Charlie XML\\Units\\CIV4UnitInfos.xml 0:0"}));
    EXPECT_EQ(text(overlaps_of(p, "Charlie", {"Bravo", "Alpha"})),
        (Names{"Bravo XML\\Units\\CIV4UnitInfos.xml 0:0", "Alpha Art\\Interface\\Button.dds 1:0",
            "Alpha XML\\Units\\CIV4UnitInfos.xml 0:0"}));
    EXPECT_TRUE(overlaps_of(p, "Delta", {"Alpha"}).empty());
}

BuildPreview preview_of(std::size_t files)
{
    BuildPreview p;
    for (std::size_t i = 0; i < files; ++i) {
        FileChange f;
        f.file = "XML\\File" + std::to_string(i) + ".xml";
        p.files.push_back(f);
    }
    return p;
}

std::string native(const std::string& file) { return platform::native(Path(file)); }

TEST(PreviewText, headlineCountsTheFilesAndNamesTheFirst)
{
    EXPECT_EQ(preview_headline(preview_of(0)), "No file changes.");
    EXPECT_EQ(preview_headline(preview_of(1)), "1 file changes: " + native("XML\\File0.xml"));
    EXPECT_EQ(preview_headline(preview_of(3)),
        "3 files change: " + native("XML\\File0.xml") + ", " + native("XML\\File1.xml") + ", "
            + native("XML\\File2.xml"));
    EXPECT_EQ(preview_headline(preview_of(5), 2),
        "5 files change: " + native("XML\\File0.xml") + ", " + native("XML\\File1.xml") + " and 3 more");
}

TEST(PreviewText, linesSayEachFilesChangeThenItsFieldsAndLines)
{
    BuildPreview p;
    FileChange units;
    units.kind = FileChange::Changed;
    units.file = "XML\\Units\\CIV4UnitInfos.xml";
    units.mods = {"Alpha", "Bravo"};
    units.fields = {{"UNIT_ARCHER", "iCombat", "3", "5", true, true, "Bravo"},
        {"UNIT_ARCHER", "iCost", "", "30", false, true, "Alpha"},
        {"UNIT_WARRIOR", "iMoves", "2", "", true, false, ""}};
    FileChange script;
    script.kind = FileChange::Added;
    script.file = "Python\\CvEventManager.py";
    script.mods = {"Alpha"};
    script.lines = {{4, 6, "Alpha"}, {9, 8, ""}};
    FileChange gone;
    gone.kind = FileChange::Removed;
    gone.file = "Art\\Old.dds";
    p.files = {units, script, gone};
    EXPECT_EQ(preview_lines(p),
        (Names{"changed  " + native(units.file) + " (Alpha, Bravo)",
            "    UNIT_ARCHER  iCombat 3 -> 5 (Bravo)", "    UNIT_ARCHER  iCost (none) -> 30 (Alpha)",
            "    UNIT_WARRIOR  iMoves 2 -> (none) (game)", "added  " + native(script.file) + " (Alpha)",
            "    lines 4-6 (Alpha)", "    before line 9 (game)", "removed  " + native(gone.file)}));
}

} // namespace
} // namespace velmora
