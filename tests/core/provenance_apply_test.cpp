// The record of who made each built file, as the core's apply keeps it
// beside the manifest: written with the build, carried with carried files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/orrindel.h"
#include "mod/mod.h"
#include "mod/provenance.h"
#include "path/platform.h"
#include "support/core_fixtures.h"

namespace velmora::test {
namespace {

std::string units_change(int combat)
{
    return "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n\t\t<UnitInfo>\n"
           "\t\t\t<Type>UNIT_WARRIOR</Type>\n\t\t\t<iCombat>"
        + std::to_string(combat) + "</iCombat>\n\t\t</UnitInfo>\n\t</UnitInfos>\n</Civ4UnitInfos>\n";
}

class ProvenanceOfApply : public ::testing::Test {
protected:
    void SetUp() override
    {
        write_alpha("Alpha");
        write_file(box.mods() / "bravo.Pellarix",
            mod_file_text("Bravo", {{unit_infos_file, "xml", units_change(4)}, {"Art\\b.dds", "whole", "DDS b"}}));
        box.write_conf(box.game(), box.custom_assets(), {"Alpha", "Bravo"});
        core = std::make_unique<Orrindel>(box.home());
        core->startup();
        // Alpha wins wherever they meet.
        core->signal_mod_priority().connect(
            [](PriorityQuestion& q) { return q.first->name.rfind("Alpha", 0) == 0 ? 1u : 2u; });
    }

    void write_alpha(const std::string& name)
    {
        write_file(box.mods() / "alpha.Pellarix", mod_file_text(name, {{unit_infos_file, "xml", units_change(23)}}));
    }

    Provenance recorded() const
    {
        Provenance p;
        EXPECT_TRUE(Provenance::read(box.custom_assets(), p));
        return p;
    }

    ino_t identity(const std::string& file) const
    {
        struct stat st {};
        ::lstat(platform::native(box.custom_assets() / Path(file)).c_str(), &st);
        return st.st_ino;
    }

    CoreSandbox box;
    std::unique_ptr<Orrindel> core;
};

TEST_F(ProvenanceOfApply, anAnsweredConflictRecordsTheWinnerAndTheLoserOfTheField)
{
    core->apply();
    const Provenance p = recorded();
    const FieldOrigin& combat = p.find(unit_infos_file)->records.at("UNIT_WARRIOR").fields.at("iCombat");
    EXPECT_EQ(combat.mod, "Alpha");
    EXPECT_EQ(combat.over, std::vector<std::string>{"Bravo"});
    EXPECT_EQ(p.mod_of(unit_infos_file, "UNIT_WARRIOR", "iCombat"), "Alpha");
    EXPECT_EQ(p.find("art/B.DDS")->whole, "Bravo");
    // The record is Velmora's own: never taken for a file of the user's.
    EXPECT_FALSE(core->find_foreign_files().any());
}

TEST_F(ProvenanceOfApply, aCarriedFileTakesTheNewNameOfARenamedMod)
{
    core->apply();
    const ino_t built = identity(unit_infos_file);
    write_alpha("Alpha Renamed");
    core->load_mods();
    core->disable_missing_mod("Alpha");
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, true);
    core->apply();

    ASSERT_EQ(identity(unit_infos_file), built) << "the file was carried over, not built again";
    const Provenance p = recorded();
    const FileOrigin* units = p.find(unit_infos_file);
    ASSERT_TRUE(units);
    EXPECT_EQ(units->mods, (std::vector<std::string>{"Bravo", "Alpha Renamed"}));
    EXPECT_EQ(units->records.at("UNIT_WARRIOR").fields.at("iCombat").mod, "Alpha Renamed");
}

TEST_F(ProvenanceOfApply, aFileTheLastRecordLacksIsBuiltAgainToBeRecorded)
{
    core->apply();
    ASSERT_EQ(platform::unlink((box.custom_assets() / Provenance::file_name).str()), 0);
    core->apply();
    const Provenance p = recorded();
    const FileOrigin* units = p.find(unit_infos_file);
    ASSERT_TRUE(units);
    EXPECT_EQ(units->records.at("UNIT_WARRIOR").fields.at("iCombat").mod, "Alpha");
    EXPECT_TRUE(p.find("Art\\b.dds"));
}

} // namespace
} // namespace velmora::test
