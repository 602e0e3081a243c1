// Applying file by file must build what applying mod after mod builds: the
// same files, byte for byte, and the same message when a change fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/errors.h"
#include "mod/apply_mods.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "path/platform.h"
#include "support/element_table.h"
#include "support/tempdir.h"
#include "support/unit_schema.h"
#include "xml/schema.h"

namespace velmora {
namespace {

using test::diff_change;
using test::diff_text;
using test::mod_with;
using test::schema_unit;
using test::schema_units_doc;
using test::units_file;
using test::warrior_fields;
using test::whole_change;
using test::xml_change;

const char* const script_file = "Python\\CvEventManager.py";

std::string script(int changed_line = -1, const std::string& by = std::string())
{
    std::string out;
    for (int i = 0; i < 30; ++i)
        out += "\t\t" + (i == changed_line ? by : "self.iValue" + std::to_string(i) + " = 0") + "\n";
    return out;
}

Change warrior_change(const std::vector<std::string>& fields)
{
    std::vector<std::string> all = {"<Type>UNIT_WARRIOR</Type>"};
    all.insert(all.end(), fields.begin(), fields.end());
    return xml_change(units_file, schema_units_doc(schema_unit(all)));
}

// The game's units schema with Help moved to the record's end.
std::string help_last_schema()
{
    std::string model = test::unit_info_model;
    const std::string help = "\t\t<element type=\"Help\" minOccurs=\"0\"/>\n";
    model.erase(model.find(help), help.size());
    return test::unit_schema_text(model + help);
}

struct Sequence {
    const char* name;
    bool fails;
    std::function<std::vector<Mod>()> mods;
};

void PrintTo(const Sequence& s, std::ostream* os) { *os << s.name; }

// Every file below folder with its bytes.
std::map<std::string, std::string> contents(const Path& folder)
{
    std::map<std::string, std::string> out;
    const std::filesystem::path root(platform::native(folder));
    if (!std::filesystem::exists(root))
        return out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        if (e.is_regular_file())
            out[e.path().lexically_relative(root).generic_string()] = test::read_file(Path(e.path().string()));
    return out;
}

class ApplyModsSequence : public testing::TestWithParam<Sequence> {
protected:
    ApplyModsSequence()
    {
        table.load_text(test::merge_table);
        test::write_file(game / "XML/Units/CIV4UnitSchema.xml", test::unit_schema());
        test::write_file(game / units_file, schema_units_doc(schema_unit(warrior_fields())));
        test::write_file(game / script_file, script());
    }

    // The message of the failure, or "".
    std::string mod_after_mod(const std::vector<Mod>& mods, const Path& target)
    {
        SchemaCache schemas;
        std::vector<const Mod*> before;
        try {
            for (const Mod& m : mods) {
                m.apply(GameFiles({game.path()}), target, before, &schemas);
                before.push_back(&m);
            }
        } catch (const GenericError& e) {
            return e.what();
        }
        return std::string();
    }

    std::string file_by_file(const std::vector<Mod>& mods, const Path& target)
    {
        std::vector<const Mod*> order;
        for (const Mod& m : mods)
            order.push_back(&m);
        SchemaCache schemas;
        try {
            apply_mods(order, GameFiles({game.path()}), target, Mod::CarryOver(), nullptr, &schemas);
        } catch (const GenericError& e) {
            return e.what();
        }
        return std::string();
    }

    test::ElementTableScope table;
    test::TempDir game;
    test::TempDir one_by_one;
    test::TempDir together;
};

TEST_P(ApplyModsSequence, buildsWhatApplyingModAfterModBuilds)
{
    const std::vector<Mod> mods = GetParam().mods();
    const std::string expected_error = mod_after_mod(mods, one_by_one.path());
    EXPECT_EQ(!expected_error.empty(), GetParam().fails) << expected_error;
    EXPECT_EQ(file_by_file(mods, together.path()), expected_error);
    if (expected_error.empty()) {
        EXPECT_EQ(contents(together.path()), contents(one_by_one.path()));
    }
}

INSTANTIATE_TEST_SUITE_P(Mods, ApplyModsSequence,
    testing::Values(
        Sequence {"mergesOfSeveralModsInSchemaOrder", false,
            [] {
                return std::vector<Mod> {
                    mod_with("First", {warrior_change({"<bOnlyAttackAnimals>1</bOnlyAttackAnimals>"})}),
                    mod_with("Second",
                        {warrior_change({"<Help>TXT_KEY_WARRIOR_HELP</Help>", "<iLeaderExperience>3</iLeaderExperience>"}),
                            whole_change("Art\\Warrior.dds", "DDS ")}),
                    mod_with("Third", {warrior_change({"<Description>TXT_KEY_WARRIOR</Description>"})})};
            }},
        // Each merge orders by the schema as the mods before it left it.
        Sequence {"schemaReplacedBetweenTwoMerges", false,
            [] {
                return std::vector<Mod> {
                    mod_with("First", {warrior_change({"<Description>TXT_KEY_WARRIOR</Description>"})}),
                    mod_with("Schema", {whole_change(test::unit_schema_file, help_last_schema())}),
                    mod_with("Third", {warrior_change({"<Help>TXT_KEY_WARRIOR_HELP</Help>"})})};
            }},
        // The units file names a schema whose name does not say it is one.
        Sequence {"schemaOfAnotherNameReplacedBetweenTwoMerges", false,
            [] {
                auto defs = [](Change change) {
                    change.text.replace(change.text.find("CIV4UnitSchema.xml"), 18, "UnitDefs.xml");
                    return change;
                };
                return std::vector<Mod> {
                    mod_with("Defs", {defs(whole_change(units_file, schema_units_doc(schema_unit(warrior_fields())))),
                                         whole_change("XML\\Units\\UnitDefs.xml", test::unit_schema())}),
                    mod_with("First", {defs(warrior_change({"<Description>TXT_KEY_WARRIOR</Description>"}))}),
                    mod_with("Reorder", {whole_change("XML\\Units\\UnitDefs.xml", help_last_schema())}),
                    mod_with("Third", {defs(warrior_change({"<Help>TXT_KEY_WARRIOR_HELP</Help>"}))})};
            }},
        Sequence {"fileReplacedWholeBetweenTwoMerges", false,
            [] {
                return std::vector<Mod> {
                    mod_with("First", {warrior_change({"<Description>TXT_KEY_WARRIOR</Description>"})}),
                    mod_with("Whole", {whole_change(units_file, schema_units_doc(schema_unit(warrior_fields())))}),
                    mod_with("Third", {warrior_change({"<Help>TXT_KEY_WARRIOR_HELP</Help>"})})};
            }},
        Sequence {"scriptDifferencesMergedThreeWays", false,
            [] {
                return std::vector<Mod> {
                    mod_with("Early", {diff_change(script_file, diff_text(script(), script(3, "early = 1")))}),
                    mod_with("Units", {warrior_change({"<Help>TXT_KEY_WARRIOR_HELP</Help>"})}),
                    mod_with("Late", {diff_change(script_file, diff_text(script(), script(25, "late = 1")))})};
            }},
        // The message names the mods before the failing one that change the script.
        Sequence {"scriptDifferenceForAnotherVersion", true,
            [] {
                return std::vector<Mod> {
                    mod_with("First", {whole_change(script_file, script(5, "other = 1"))}),
                    mod_with("Unrelated", {warrior_change({"<Help>TXT_KEY_WARRIOR_HELP</Help>"})}),
                    mod_with("Later",
                        {diff_change(script_file, diff_text(script(5, "old = 0"), script(5, "new = 0")))})};
            }}),
    [](const testing::TestParamInfo<Sequence>& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora
