// Making a new mod through the core, as both front ends do: from a folder or
// an archive, saved in the mods folder and listed, with the header the user
// gave, the progress shown, and an archive's limits asked about.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <optional>

#include "base/errors.h"
#include "core/new_mod.h"
#include "path/platform.h"
#include "support/archives.h"
#include "tests/creator/creator_fixture.h"

namespace velmora::test {
namespace {

using ::testing::HasSubstr;

class NewModTest : public CreatorFixture {
protected:
    NewModTest()
    {
        write_pair(things_file, things(thing("THING_A", field("iSize", "1"))),
            things(thing("THING_A", field("iSize", "2"))));
        write_file(modified("Art/Thumbs.db"), "junk");
    }

    NewMod create(const NewModHeader& header)
    {
        return create_mod(*core, tmp / "MyMod", header, new_mod_file(*core, header.name), false,
            [this](const std::string& step, float fraction) { steps.emplace_back(step, fraction); });
    }

    Path mod_file(const std::string& name) const { return core->get_mods_dir() / Path(name + ".Pellarix"); }

    std::vector<std::pair<std::string, float>> steps;
};

TEST_F(NewModTest, aFolderBecomesASavedAndListedModWithTheGivenHeader)
{
    const NewMod made = create({"Bigger Things", "Ana", std::string("2"), std::string("Things grow.")});

    ASSERT_TRUE(made.mod);
    EXPECT_EQ(made.mod->path, mod_file("Bigger Things"));
    EXPECT_EQ(core->get_mods().back(), made.mod);
    EXPECT_EQ(made.skipped, std::vector<std::string>{"Art\\Thumbs.db"});
    EXPECT_TRUE(made.replaced_in.empty());
    // What was saved is what is listed.
    Mod saved;
    ASSERT_EQ(saved.load(mod_file("Bigger Things")), 0);
    EXPECT_EQ(saved.name, "Bigger Things");
    EXPECT_EQ(saved.author, "Ana");
    EXPECT_EQ(saved.version, "2");
    EXPECT_EQ(saved.description, "Things grow.");
    EXPECT_EQ(saved.changes.size(), 1u);
    // Each file in its native form, then the save.
    ASSERT_FALSE(steps.empty());
    EXPECT_THAT(steps, ::testing::Contains(::testing::Key(platform::native(Path(things_file)))));
    EXPECT_EQ(steps.back(), std::make_pair(std::string("Saving"), 1.0f));
}

TEST_F(NewModTest, aModOfAnEnabledModsFileKeepsItsPlaceInEveryProfile)
{
    create({"Bigger Things", "", std::nullopt, std::nullopt});
    core->set_mod_enabled(core->get_mods().back(), true);
    core->new_profile("Second", true);

    const NewMod made = create({"Bigger Things", "Ana", std::string("3"), std::nullopt});

    EXPECT_EQ(made.replaced_in, (std::vector<std::string>{"Default", "Second"}));
    ASSERT_EQ(core->get_mods().size(), 1u);
    EXPECT_EQ(core->get_mods().front(), made.mod);
    EXPECT_EQ(core->get_enabled_mods().count(made.mod), 1u);
    EXPECT_EQ(made.mod->version, "3");
}

TEST_F(NewModTest, aModThatCannotBeSavedIsNotListed)
{
    rmdir(core->get_mods_dir(), true);
    write_file(core->get_mods_dir(), "a file where the folder was");

    EXPECT_THROW(create({"Bigger Things", "", std::nullopt, std::nullopt}), GenericError);
    EXPECT_TRUE(core->get_mods().empty());
}

// --- Archives ---------------------------------------------------------------

struct HeaderCase {
    const char* label;
    std::optional<std::string> version;
    std::optional<std::string> description;
    const char* saved_version;
    const char* saved_description;
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.label; }

class NewModArchiveTest : public NewModTest {
protected:
    NewModArchiveTest()
    {
        write_archive(tmp / "Better_Archers_v1.2.zip", "zip",
            {{"Better Archers/Assets/XML/Things/Civ4ThingInfos.xml", things(thing("THING_A", field("iSize", "2")))},
                {"Better Archers/ReadMe.txt", "Archers get +1 range.\r\n"}});
    }

    NewMod import(const NewModHeader& header, const ArchiveLimits& limits = ArchiveLimits(),
        const ArchiveLimitQuestion& ask = ArchiveLimitQuestion())
    {
        return import_mod(*core, tmp / "Better_Archers_v1.2.zip", header, new_mod_file(*core, header.name), false,
            limits, NewModProgress(), ask);
    }
};

class NewModHeaderTest : public NewModArchiveTest, public ::testing::WithParamInterface<HeaderCase> { };

TEST_P(NewModHeaderTest, keepsWhatTheArchiveGivesUnlessTheUserGaveIt)
{
    const HeaderCase& c = GetParam();
    const NewMod made = import({"Archers", "Ana", c.version, c.description});

    ASSERT_TRUE(made.mod);
    EXPECT_EQ(made.assets_folder, "Better Archers/Assets");
    Mod saved;
    ASSERT_EQ(saved.load(mod_file("Archers")), 0);
    EXPECT_EQ(saved.name, "Archers");
    EXPECT_EQ(saved.author, "Ana");
    EXPECT_EQ(saved.version, c.saved_version);
    EXPECT_EQ(saved.description, c.saved_description);
}

INSTANTIATE_TEST_SUITE_P(Headers, NewModHeaderTest,
    ::testing::Values(HeaderCase{"notGiven", std::nullopt, std::nullopt, "1.2", "Archers get +1 range."},
        HeaderCase{"given", std::string("7"), std::string("Mine."), "7", "Mine."},
        HeaderCase{"givenEmpty", std::string(), std::string(), "", ""}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.label); });

TEST_F(NewModArchiveTest, aPassedLimitIsAskedAboutAndARefusalSavesNothing)
{
    ArchiveLimits small;
    small.max_size = 12;
    std::vector<ArchiveLimits::Kind> asked;
    auto answer = [&asked](bool go_on) {
        return [&asked, go_on](ArchiveLimits::Kind kind, const std::string&) {
            asked.push_back(kind);
            return go_on;
        };
    };

    try {
        import({"Archers", "", std::nullopt, std::nullopt}, small, answer(false));
        ADD_FAILURE() << "a refused limit did not stop the import";
    } catch (const GenericError& e) {
        EXPECT_THAT(e.what(), HasSubstr("unpacks to more than 12 bytes"));
    }
    EXPECT_THROW(import({"Archers", "", std::nullopt, std::nullopt}, small), GenericError) << "nobody to ask";
    EXPECT_FALSE(exists(mod_file("Archers")));
    EXPECT_TRUE(core->get_mods().empty());

    const NewMod made = import({"Archers", "", std::nullopt, std::nullopt}, small, answer(true));
    EXPECT_EQ(asked, (std::vector<ArchiveLimits::Kind>{ArchiveLimits::Kind::Size, ArchiveLimits::Kind::Size}));
    ASSERT_TRUE(made.mod);
    EXPECT_TRUE(exists(mod_file("Archers")));
}

} // namespace
} // namespace velmora::test
