#include <gtest/gtest.h>

#include "core/orrindel.h"
#include "creator/modcreator.h"
#include "tools/gamegen/gamegen.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/element_table.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::CoreSandbox;
using test::FixtureChange;
using test::mod_file_text;
using test::read_file;
using test::write_file;

// Changes one field of a record, one field of a pair record inside another
// record, and adds a record, as a forum mod would write them.
const char* const units_change = "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n"
                                 "\t<UnitInfos>\n"
                                 "\t\t<UnitInfo>\n"
                                 "\t\t\t<Type>UNIT_WARRIOR</Type>\n"
                                 "\t\t\t<iCombat>2</iCombat>\n"
                                 "\t\t</UnitInfo>\n"
                                 "\t\t<UnitInfo>\n"
                                 "\t\t\t<Type>UNIT_ARCHER</Type>\n"
                                 "\t\t\t<Flavors>\n"
                                 "\t\t\t\t<Flavor>\n"
                                 "\t\t\t\t\t<FlavorType>FLAVOR_DEFENSE</FlavorType>\n"
                                 "\t\t\t\t\t<iFlavor>7</iFlavor>\n"
                                 "\t\t\t\t</Flavor>\n"
                                 "\t\t\t</Flavors>\n"
                                 "\t\t</UnitInfo>\n"
                                 "\t\t<UnitInfo>\n"
                                 "\t\t\t<Class>UNITCLASS_SCOUT</Class>\n"
                                 "\t\t\t<Type>UNIT_VELMORA_SCOUT</Type>\n"
                                 "\t\t\t<Description>TXT_KEY_UNIT_VELMORA_SCOUT</Description>\n"
                                 "\t\t\t<iCombat>1</iCombat>\n"
                                 "\t\t\t<Flavors>\n"
                                 "\t\t\t\t<Flavor>\n"
                                 "\t\t\t\t\t<FlavorType>FLAVOR_MILITARY</FlavorType>\n"
                                 "\t\t\t\t\t<iFlavor>1</iFlavor>\n"
                                 "\t\t\t\t</Flavor>\n"
                                 "\t\t\t</Flavors>\n"
                                 "\t\t</UnitInfo>\n"
                                 "\t</UnitInfos>\n"
                                 "</Civ4UnitInfos>\n";

const char* const script_change = "@@ -3,7 +3,7 @@\n"
                                  " \n"
                                  " def onGameStart(argsList):\n"
                                  " \tiPlayer = argsList[0]\n"
                                  "-\tCvUtil.pyPrint(\"game start\")\n"
                                  "+\tCvUtil.pyPrint(\"Velmora: game start\")\n"
                                  " \treturn 0\n"
                                  " \n"
                                  " def onEndTurn(argsList):\n";

const char* const button_file = "Art\\Interface\\Buttons\\Velmora\\velmora_scout.dds";

// A small binary file: every byte value occurs, so it travels encoded.
std::string button_bytes()
{
    std::string bytes = "DDS |";
    for (int i = 0; i < 300; ++i)
        bytes += static_cast<char>(i % 256);
    return bytes;
}

std::string golden(const std::string& relative)
{
    return read_file(Path(VELMORA_SOURCE_DIR "/tests/core/golden/end_to_end") / Path(relative));
}

// Byte equality that names the first differing offset.
::testing::AssertionResult same_bytes(const std::string& actual, const std::string& expected)
{
    size_t i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i])
        ++i;
    if (i == actual.size() && i == expected.size())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "first difference at byte " << i << " of " << actual.size() << " (expected " << expected.size()
        << "): got \"" << actual.substr(i, 40) << "\", expected \"" << expected.substr(i, 40) << "\"";
}

TEST(ApplyEndToEnd, threeModsRebuildTheCustomAssetsTreeByteForByte)
{
    CoreSandbox box;
    write_file(box.mods() / "stronger_warriors.Pellarix",
        mod_file_text("Stronger Warriors", {{test::unit_infos_file, "xml", units_change}}));
    write_file(box.mods() / "event_log.Pellarix",
        mod_file_text("Event Log", {{test::events_script_file, "diff", script_change}}));
    write_file(box.mods() / "velmora_buttons.Pellarix",
        mod_file_text("Velmora Buttons", {{button_file, "whole", button_bytes()}}));
    box.write_conf(box.game(), box.custom_assets(), {"Stronger Warriors", "Event Log", "Velmora Buttons"});
    write_file(box.custom_assets() / Path("XML\\Units\\CIV4UnitInfos.xml"), "from an earlier apply");

    Orrindel core(box.home());
    core.startup();
    ASSERT_EQ(core.get_enabled_mods().size(), 3u);
    core.signal_mod_priority().connect([](PriorityQuestion& question) {
        ADD_FAILURE() << "unexpected question: " << question.message;
        return 0u;
    });
    core.apply();

    EXPECT_EQ(test::list_tree(box.custom_assets()),
        (std::vector<std::string>{button_file, test::events_script_file, test::unit_infos_file}));
    EXPECT_TRUE(same_bytes(
        read_file(box.custom_assets() / Path(test::unit_infos_file)), golden("XML/Units/CIV4UnitInfos.xml")));
    EXPECT_TRUE(same_bytes(read_file(box.custom_assets() / Path(test::events_script_file)),
        golden("Python/CvVelmoraEvents.py")));
    EXPECT_TRUE(same_bytes(read_file(box.custom_assets() / Path(button_file)), button_bytes()));
    EXPECT_EQ(read_file(box.game() / "Assets" / Path(test::unit_infos_file)), test::game_unit_infos());
}

// Beyond the Sword reads a file its own folder lacks from Warlords' folder
// beside it: apply patches that copy.
TEST(ApplyEndToEnd, aScriptOnlyWarlordsHasIsPatchedFromWarlordsCopy)
{
    CoreSandbox box;
    const Path own = box.game() / "Assets" / Path(test::events_script_file);
    write_file(box / "Warlords/Assets" / test::events_script_file, read_file(own));
    ASSERT_EQ(platform::unlink(own.str()), 0);
    write_file(box.mods() / "event_log.Pellarix",
        mod_file_text("Event Log", {{test::events_script_file, "diff", script_change}}));
    box.write_conf(box.game(), box.custom_assets(), {"Event Log"});

    Orrindel core(box.home());
    core.startup();
    core.apply();

    EXPECT_TRUE(same_bytes(read_file(box.custom_assets() / Path(test::events_script_file)),
        golden("Python/CvVelmoraEvents.py")));
}

// As the demo makes them: four mods from modified copies of one generated
// game. Such copies change the same scripts, often a few lines apart; with
// every conflict answered, either way, the mods apply.
TEST(ApplyEndToEnd, fourModsFromCopiesOfOneGameApplyWhicheverWayTheConflictsAreAnswered)
{
    CoreSandbox box;
    const Path civ4 = box / "Civ4";
    const Path assets = civ4 / Path("Assets");
    generate_assets(assets, {1, 0.02});
    box.write_conf(civ4, box.custom_assets(), {});
    test::ElementTableScope table;
    table.load_shipped();
    mkpath(box.mods(), 0755);
    for (unsigned i = 0; i < 4; ++i) {
        const Path edits = box / ("edits" + std::to_string(i) + "/Assets");
        modify_tree(assets, edits, {i + 2, 0.15});
        ModCreator creator(civ4, box.settings(), edits, false);
        std::unique_ptr<Mod> mod(creator.create());
        ASSERT_TRUE(mod);
        mod->name = "Mod " + std::to_string(i);
        ASSERT_EQ(mod->save(box.mods() / ("Mod " + std::to_string(i) + ".Pellarix")), 0);
    }
    for (unsigned answer : {1u, 2u}) {
        SCOPED_TRACE(answer == 1 ? "first wins" : "second wins");
        Orrindel core(box.home());
        core.startup();
        for (Mod* mod : core.get_mods())
            core.set_mod_enabled(mod, true);
        core.signal_mod_priority().connect([answer](PriorityQuestion&) { return answer; });
        EXPECT_NO_THROW(core.apply());
        EXPECT_FALSE(test::list_tree(box.custom_assets() / Path("Python")).empty());
    }
}

} // namespace
} // namespace velmora
