// What apply records of who made each part of a built file: the mod whose
// field value stands and the ones it overrode or kept, the lines of a script
// each mod wrote, the whole file that replaced the others; and the record
// read back as it was written.
#include <gtest/gtest.h>

#include "mod/apply_mods.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "mod/provenance.h"
#include "support/element_table.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::diff_change;
using test::diff_text;
using test::mod_with;
using test::unit;
using test::units_doc;
using test::units_file;
using test::whole_change;
using test::xml_change;

const char* const script_file = "Python\\CvEventManager.py";

std::string script(const std::vector<std::pair<int, std::string>>& changed = {})
{
    std::string out;
    for (int i = 1; i <= 20; ++i) {
        std::string line = "\tself.iValue" + std::to_string(i) + " = 0";
        for (const auto& [n, text] : changed)
            if (n == i)
                line = text;
        out += line + "\n";
    }
    return out;
}

class ProvenanceApply : public ::testing::Test {
protected:
    ProvenanceApply()
    {
        table.load_text(test::merge_table);
        test::write_file(game / units_file,
            units_doc(unit("UNIT_WARRIOR", "\t\t\t<iCombat>1</iCombat>\n\t\t\t<iMoves>1</iMoves>\n")
                + unit("UNIT_ARCHER", "\t\t\t<iCombat>3</iCombat>\n")));
        test::write_file(game / script_file, script());
    }

    // Applies the mods in their order and returns what was recorded.
    Provenance apply(const std::vector<Mod>& mods)
    {
        std::vector<const Mod*> order;
        for (const Mod& m : mods)
            order.push_back(&m);
        Provenance out;
        ProvenanceRecorder recorder(out);
        apply_mods(order, GameFiles({game.path()}), target.path(), Mod::CarryOver(), nullptr, nullptr, &recorder);
        return out;
    }

    static Change units(const std::string& records) { return xml_change(units_file, units_doc(records)); }

    test::ElementTableScope table;
    test::TempDir game;
    test::TempDir target;
};

TEST_F(ProvenanceApply, theLastModsFieldStandsOverTheOthersAndKeepsTheEqualOnes)
{
    const Provenance p = apply({
        mod_with("Bravo", {units(unit("UNIT_WARRIOR", "\t\t\t<iCombat>4</iCombat>\n"))}),
        mod_with("Charlie", {units(unit("UNIT_WARRIOR", "\t\t\t<iMoves>2</iMoves>\n"))}),
        mod_with("Delta", {units(unit("UNIT_WARRIOR", "\t\t\t<iMoves>2</iMoves>\n"))}),
        mod_with("Alpha", {units(unit("UNIT_WARRIOR", "\t\t\t<iCombat>23</iCombat>\n")
                              + unit("UNIT_SCOUT", "\t\t\t<iCombat>0</iCombat>\n"))}),
    });

    const FileOrigin* f = p.find("xml/units/civ4unitinfos.XML");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->mods, (std::vector<std::string>{"Bravo", "Charlie", "Delta", "Alpha"}));
    const FieldOrigin& combat = f->records.at("UNIT_WARRIOR").fields.at("iCombat");
    EXPECT_EQ(combat.value, "23");
    EXPECT_EQ(combat.mod, "Alpha");
    EXPECT_EQ(combat.over, std::vector<std::string>{"Bravo"});
    const FieldOrigin& moves = f->records.at("UNIT_WARRIOR").fields.at("iMoves");
    EXPECT_EQ(moves.mod, "Delta");
    EXPECT_TRUE(moves.over.empty());
    EXPECT_EQ(moves.with, std::vector<std::string>{"Charlie"});
    // The key names the record; the class is not changed by anyone.
    EXPECT_FALSE(f->records.at("UNIT_WARRIOR").fields.count("Type"));
    EXPECT_EQ(f->records.at("UNIT_WARRIOR").element, "UnitInfo");
    // A record a mod adds is its own.
    EXPECT_EQ(p.mod_of(units_file, "UNIT_SCOUT", "iCombat"), "Alpha");
    EXPECT_EQ(p.mod_of(units_file, "UNIT_ARCHER", "iCombat"), "");
    EXPECT_EQ(p.mod_of("XML\\Units\\Other.xml", "UNIT_WARRIOR", "iCombat"), "");
}

TEST_F(ProvenanceApply, aSetKeepsTheItemsOfEveryModAndRecordsInRecordsHaveTheirOwnKeys)
{
    auto affinities = [](const std::string& bonus) {
        return unit("UNIT_WARRIOR",
            "\t\t\t<PrereqBonuses>\n\t\t\t\t<Bonus>" + bonus + "</Bonus>\n\t\t\t</PrereqBonuses>\n"
            "\t\t\t<Flavors>\n\t\t\t\t<Flavor>\n\t\t\t\t\t<FlavorType>FLAVOR_" + bonus
                + "</FlavorType>\n\t\t\t\t\t<iFlavor>3</iFlavor>\n\t\t\t\t</Flavor>\n\t\t\t</Flavors>\n");
    };
    const Provenance p = apply({mod_with("Bravo", {units(affinities("COPPER"))}),
        mod_with("Alpha", {units(affinities("IRON"))})});

    const FileOrigin* f = p.find(units_file);
    ASSERT_TRUE(f);
    const FieldOrigin& set = f->records.at("UNIT_WARRIOR").fields.at("PrereqBonuses");
    EXPECT_EQ(set.mod, "Alpha");
    EXPECT_TRUE(set.over.empty());
    EXPECT_EQ(set.with, std::vector<std::string>{"Bravo"});
    EXPECT_EQ(p.mod_of(units_file, "UNIT_WARRIOR/Flavors/FLAVOR_COPPER", "iFlavor"), "Bravo");
    EXPECT_EQ(p.mod_of(units_file, "UNIT_WARRIOR/Flavors/FLAVOR_IRON", "iFlavor"), "Alpha");
}

TEST_F(ProvenanceApply, eachScriptHunkNamesTheModWhoseLinesStandAndTheOnesItReplaced)
{
    const std::string game_script = script();
    const Provenance p = apply({
        mod_with("Bravo", {diff_change(script_file, diff_text(game_script, script({{5, "\tbravo = 5"}})))}),
        mod_with("Charlie", {diff_change(script_file,
                                diff_text(game_script, script({{15, "\tcharlie = 15"}, {16, "\tcharlie = 16"}})))}),
    });
    const FileOrigin* f = p.find(script_file);
    ASSERT_TRUE(f);
    ASSERT_EQ(f->hunks.size(), 2u);
    EXPECT_EQ(f->hunks[0].first, 5u);
    EXPECT_EQ(f->hunks[0].last, 5u);
    EXPECT_EQ(f->hunks[0].mod, "Bravo");
    EXPECT_EQ(f->hunks[1].first, 15u);
    EXPECT_EQ(f->hunks[1].last, 16u);
    EXPECT_EQ(f->hunks[1].mod, "Charlie");
    EXPECT_TRUE(f->hunks[1].over.empty());
}

TEST_F(ProvenanceApply, aLaterDifferenceOverAnEarlierModsLinesNamesIt)
{
    // Recorded directly: two mods' differences that touch the same lines do
    // not merge, but a mod's whole file followed by a difference does.
    Provenance p;
    ProvenanceRecorder recorder(p);
    const std::string game_script = script();
    const std::string bravo = script({{5, "\tbravo = 5"}, {6, "\tbravo = 6"}});
    recorder.script(script_file, "Bravo", game_script, bravo);
    recorder.script(script_file, "Alpha", bravo, script({{5, "\tbravo = 5"}, {6, "\talpha = 6"}, {7, "\talpha = 7"}}));
    recorder.finish(script_file);

    const FileOrigin& f = *p.find(script_file);
    ASSERT_EQ(f.hunks.size(), 2u);
    EXPECT_EQ(f.hunks[0].first, 5u);
    EXPECT_EQ(f.hunks[0].last, 5u);
    EXPECT_EQ(f.hunks[0].mod, "Bravo");
    EXPECT_EQ(f.hunks[1].first, 6u);
    EXPECT_EQ(f.hunks[1].last, 7u);
    EXPECT_EQ(f.hunks[1].mod, "Alpha");
    EXPECT_EQ(f.hunks[1].over, std::vector<std::string>{"Bravo"});
}

TEST_F(ProvenanceApply, aWholeFileReplacesWhatEarlierModsMadeOfIt)
{
    const Provenance p = apply({
        mod_with("Bravo", {whole_change(script_file, "bravo's file\n")}),
        mod_with("Charlie", {diff_change(script_file, diff_text(script(), script({{3, "\tcharlie = 3"}})))}),
        mod_with("Alpha", {whole_change(script_file, "alpha's file\n")}),
    });
    const FileOrigin* f = p.find(script_file);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->whole, "Alpha");
    EXPECT_EQ(f->replaced, (std::vector<std::string>{"Bravo", "Charlie"}));
    EXPECT_TRUE(f->hunks.empty());
}

TEST(Provenance, readsBackWhatItWroteWithAnyCharactersInNamesAndValues)
{
    test::TempDir dir;
    Provenance p;
    FileOrigin& f = p.add("XML\\Units\\CIV4UnitInfos.xml");
    f.mods = {"Alpha\tTab", "Bravo \\ Back"};
    f.whole = "";
    RecordOrigin& r = f.records["UNIT_WARRIOR"];
    r.element = "UnitInfo";
    r.fields["Strategy"] = {"line one\nline two\r\n", "Bravo \\ Back", {"Alpha\tTab"}, {}};
    FileOrigin& s = p.add("Python\\CvEventManager.py");
    s.mods = {"Alpha\tTab"};
    s.hunks.push_back({120, 140, "Alpha\tTab", {"Zed"}});
    p.write(dir.path());

    Provenance back;
    ASSERT_TRUE(Provenance::read(dir.path(), back));
    EXPECT_TRUE(back == p);
    EXPECT_EQ(back.find("python/cveventmanager.py")->hunks[0].last, 140u);
}

TEST(Provenance, aMissingOrDamagedRecordReadsAsNone)
{
    const std::string good = "velmora-provenance 1\nF\ta.py\t1\tA\t\t0\n";
    for (const std::string& text : {std::string(), std::string("velmora-provenance 2\n"),
             good + "H\t1\tx\tA\t0\n", good + "H\t1\t2\tA\t3\tB\n", good + "V\tf\tv\tA\t0\t0\n",
             good + "Q\tstray\n", std::string("velmora-provenance 1\nR\tUNIT\tUnitInfo\n"), good + "F\tbad\\q\t0\t\t0\n"}) {
        test::TempDir dir;
        if (!text.empty())
            test::write_file(dir / Provenance::file_name, text);
        Provenance p;
        p.add("left over");
        EXPECT_FALSE(Provenance::read(dir.path(), p)) << text;
        EXPECT_TRUE(p.files.empty()) << text;
    }
    test::TempDir dir;
    test::write_file(dir / Provenance::file_name, good);
    Provenance p;
    EXPECT_TRUE(Provenance::read(dir.path(), p));
    EXPECT_EQ(p.find("A.PY")->mods, std::vector<std::string>{"A"});
}

TEST(Provenance, renamedModsTakeTheirNewNamesEverywhere)
{
    FileOrigin f;
    f.mods = {"Old Alpha", "Bravo"};
    f.records["UNIT_WARRIOR"].fields["iCombat"] = {"23", "Bravo", {"Old Alpha"}, {}};
    f.hunks.push_back({1, 2, "Old Alpha", {}});
    rename_mods(f, {"Alpha", "Bravo"});
    EXPECT_EQ(f.mods, (std::vector<std::string>{"Alpha", "Bravo"}));
    EXPECT_EQ(f.records["UNIT_WARRIOR"].fields["iCombat"].over, std::vector<std::string>{"Alpha"});
    EXPECT_EQ(f.hunks[0].mod, "Alpha");
}

} // namespace
} // namespace velmora
