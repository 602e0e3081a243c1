// Profiles: named sets of enabled mods, each with its answers file and
// same-field preference, stored in "conf" beside the common folders.
#include <gtest/gtest.h>
#include <memory>
#include <set>

#include "base/errors.h"
#include "core/orrindel.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "support/case_name.h"
#include "support/core_fixtures.h"

namespace velmora {
namespace {

using test::CoreSandbox;
using test::mod_file_text;
using test::read_file;
using test::write_file;

class ProfilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"A", "B", "C", "D"})
            write_file(box.mods() / (std::string(name) + ".Pellarix"), mod_file_text(name));
    }

    std::unique_ptr<Orrindel> start()
    {
        auto core = std::make_unique<Orrindel>(box.home());
        core->startup();
        return core;
    }

    static Mod* mod(const Orrindel& core, const std::string& name)
    {
        for (Mod* m : core.get_mods())
            if (m->name == name)
                return m;
        return nullptr;
    }

    static std::set<std::string> enabled(const Orrindel& core)
    {
        std::set<std::string> names;
        for (const Mod* m : core.get_enabled_mods())
            names.insert(m->name);
        return names;
    }

    CoreSandbox box;
};

TEST_F(ProfilesTest, settingsFromBeforeProfilesAreTheDefaultProfile)
{
    box.write_conf(box.game(), Path(), {"A", "C"});
    auto core = start();

    EXPECT_EQ(core->get_profiles(), std::vector<std::string>{"Default"});
    EXPECT_EQ(core->get_profile(), "Default");
    EXPECT_EQ(core->get_current_profile(), "Default");
    EXPECT_EQ(enabled(*core), (std::set<std::string>{"A", "C"}));
    EXPECT_EQ(core->get_civ4_dir(), box.game());
}

TEST_F(ProfilesTest, eachProfileKeepsItsModsAndPreferenceAcrossSwitchesAndRestarts)
{
    box.write_conf(box.game(), Path(), {"A"});
    auto core = start();
    core->new_profile("Big Rebalance", false);
    core->switch_profile("Big Rebalance");
    EXPECT_TRUE(core->get_enabled_mods().empty()) << "a new profile starts with no mods";
    core->set_mod_enabled(mod(*core, "B"), true);
    core->set_ask_fields_only(true);
    core->switch_profile("Default");
    EXPECT_EQ(enabled(*core), std::set<std::string>{"A"});
    EXPECT_FALSE(core->get_ask_fields_only());
    core->switch_profile("Big Rebalance");
    core.reset();

    core = start();
    EXPECT_EQ(core->get_profile(), "Big Rebalance") << "the current profile is kept";
    EXPECT_EQ(enabled(*core), std::set<std::string>{"B"});
    EXPECT_TRUE(core->get_ask_fields_only());
    EXPECT_EQ(core->get_civ4_dir(), box.game()) << "the folders are common";
    core->use_profile("Default");
    EXPECT_EQ(enabled(*core), std::set<std::string>{"A"});
    core.reset();
    EXPECT_EQ(start()->get_current_profile(), "Big Rebalance") << "using a profile does not switch to it";
}

TEST_F(ProfilesTest, aCopyTakesTheModsAnswersAndPreferenceOfTheProfileInUse)
{
    box.write_conf(box.game(), Path(), {"A", "B"});
    write_file(box.settings() / "answers",
        "<?xml version=\"1.0\"?>\n<VelmoraAnswers>\n  <Answer>\n    <Winner>A</Winner>\n"
        "    <WinnerChanges>0000000000000001</WinnerChanges>\n    <Loser>B</Loser>\n"
        "    <LoserChanges>0000000000000002</LoserChanges>\n  </Answer>\n</VelmoraAnswers>\n");
    auto core = start();
    core->set_ask_fields_only(true);
    core->new_profile("Copy", true);
    core->new_profile("Empty", false);

    core->switch_profile("Copy");
    EXPECT_EQ(enabled(*core), (std::set<std::string>{"A", "B"}));
    EXPECT_TRUE(core->get_ask_fields_only());
    ASSERT_EQ(core->get_remembered_answers().size(), 1u);
    core->forget_all_answers();
    core->switch_profile("Empty");
    EXPECT_TRUE(core->get_remembered_answers().empty());
    EXPECT_FALSE(core->get_ask_fields_only());
    core->switch_profile("Default");
    EXPECT_EQ(core->get_remembered_answers().size(), 1u) << "each profile has its own answers";
}

TEST_F(ProfilesTest, renameAndDeleteKeepTheRest)
{
    auto core = start();
    core->new_profile("One", true);
    core->new_profile("Two", false);
    core->rename_profile("Default", "Main");
    core->rename_profile("Two", "Second");
    EXPECT_EQ(core->get_profile(), "Main");
    EXPECT_EQ(core->get_profiles(), (std::vector<std::string>{"Main", "One", "Second"}));
    const Path answers = box.settings() / core->get_profile_values("Second").answers_file();
    write_file(answers, "<?xml version=\"1.0\"?>\n<VelmoraAnswers/>\n");
    core->delete_profile("Second");
    EXPECT_FALSE(exists(answers)) << "its remembered answers go with it";
    core.reset();

    core = start();
    EXPECT_EQ(core->get_profiles(), (std::vector<std::string>{"Main", "One"}));
    EXPECT_EQ(core->get_current_profile(), "Main");
}

struct BadProfileCase {
    const char* title;
    std::function<void(Orrindel&)> action;
    const char* message;
};

std::ostream& operator<<(std::ostream& os, const BadProfileCase& c) { return os << c.title; }

class ProfileErrorsTest : public ProfilesTest, public ::testing::WithParamInterface<BadProfileCase> { };

TEST_P(ProfileErrorsTest, areRefusedNamingTheProblemAndChangeNothing)
{
    auto core = start();
    core->new_profile("Other", false);
    const std::vector<std::string> before = core->get_profiles();
    try {
        GetParam().action(*core);
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
    EXPECT_EQ(core->get_profiles(), before);
    EXPECT_EQ(core->get_profile(), "Default");
}

INSTANTIATE_TEST_SUITE_P(Profiles, ProfileErrorsTest,
    ::testing::Values(
        BadProfileCase{"deleting the current one", [](Orrindel& c) { c.delete_profile("Default"); },
            "is the current one"},
        BadProfileCase{"a name taken", [](Orrindel& c) { c.new_profile("Other", false); }, "already exists"},
        BadProfileCase{"renaming onto a name taken", [](Orrindel& c) { c.rename_profile("Default", "Other"); },
            "already exists"},
        BadProfileCase{"an empty name", [](Orrindel& c) { c.new_profile("", false); }, "needs a name"},
        BadProfileCase{"a control character", [](Orrindel& c) { c.new_profile("a\nb", false); },
            "control characters"},
        BadProfileCase{"a space at the end", [](Orrindel& c) { c.new_profile("Big ", false); }, "end with a space"},
        BadProfileCase{"switching to none", [](Orrindel& c) { c.switch_profile("Nope"); },
            "no profile named 'Nope'"},
        BadProfileCase{"deleting none", [](Orrindel& c) { c.delete_profile("Nope"); }, "no profile named 'Nope'"}),
    ::velmora::test::CaseName());

// The windows stay open on one profile while velmora-cli makes and switches
// others: each save keeps what the other program changed.
TEST_F(ProfilesTest, twoVelmorasWorkingOnProfilesAtOnceLoseNothing)
{
    box.write_conf(box.game(), Path(), {"A"});
    auto windows = start();
    {
        auto cli = start();
        cli->new_profile("Rebalance", false);
        cli->switch_profile("Rebalance");
        cli->set_mod_enabled(mod(*cli, "C"), true);
        cli->save_config();
    }
    windows->set_mod_enabled(mod(*windows, "B"), true);
    windows->new_profile("Interface", false);
    windows->save_config();

    auto after = start();
    EXPECT_EQ(after->get_profiles(), (std::vector<std::string>{"Default", "Rebalance", "Interface"}));
    EXPECT_EQ(after->get_current_profile(), "Rebalance") << "the other's switch stays";
    EXPECT_EQ(enabled(*after), std::set<std::string>{"C"});
    after->use_profile("Default");
    EXPECT_EQ(enabled(*after), (std::set<std::string>{"A", "B"}));
    after.reset();

    // The windows switch in their turn; the profile the other made stays.
    windows->switch_profile("Interface");
    windows->set_mod_enabled(mod(*windows, "D"), true);
    windows->save_config();
    after = start();
    EXPECT_EQ(after->get_current_profile(), "Interface");
    EXPECT_EQ(enabled(*after), std::set<std::string>{"D"});
    after->use_profile("Rebalance");
    EXPECT_EQ(enabled(*after), std::set<std::string>{"C"});
}

// A later Velmora may keep more in a profile; what this one does not know is
// written back as it was read.
TEST_F(ProfilesTest, settingsOfAProfileThatThisVelmoraDoesNotKnowAreKept)
{
    write_file(box.conf(), "<?xml version=\"1.0\"?>\n<VelmoraConfig>\n  <ModsDir>" + box.mods().str()
            + "</ModsDir>\n  <EnabledMod>A</EnabledMod>\n  <Profile>\n    <Name>Later</Name>\n"
              "    <EnabledMod>B</EnabledMod>\n    <ModTarget>BTS</ModTarget>\n  </Profile>\n</VelmoraConfig>\n");
    auto core = start();
    core->switch_profile("Later");
    core->set_mod_enabled(mod(*core, "C"), true);
    core->save_config();
    core.reset();

    const std::string conf = read_file(box.conf());
    EXPECT_NE(conf.find("<ModTarget>BTS</ModTarget>"), std::string::npos) << conf;
    EXPECT_NE(conf.find("<CurrentProfile>Later</CurrentProfile>"), std::string::npos) << conf;
    core = start();
    EXPECT_EQ(enabled(*core), (std::set<std::string>{"B", "C"}));
}

} // namespace
} // namespace velmora
