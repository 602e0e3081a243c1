// Applying again after the enabled mods changed carries over the files whose
// inputs are the same; the folder must be what a full rebuild gives, byte for
// byte, and anything in doubt is built again.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <random>

#include "base/hash.h"
#include "core/manifest.h"
#include "core/orrindel.h"
#include "creator/modcreator.h"
#include "mod/mod.h"
#include "mod/provenance.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/element_table.h"
#include "support/tempdir.h"

#if __has_include("tools/gamegen/gamegen.h")
#include "tools/gamegen/gamegen.h"

namespace velmora::test {
namespace {

const char* const manifest_file = ".velmora-manifest";

// A generated game, four mods made from modified copies of it (scripts left
// out: two line differences on nearby lines cannot both apply), and a core
// that applies them into one folder incrementally and into another afresh.
class IncrementalApply : public ::testing::Test {
protected:
    // The game and the mods are made once for the suite; each test works on copies.
    static void SetUpTestSuite()
    {
        made = new TempDir;
        ElementTableScope scope;
        write_file(*made / "run/elements.txt", read_file(Path(shipped_table_file())));
        CurrentFolder in_run(*made / "run");
        generate_assets(*made / "Civ4/Assets", {5, 0.01});
        Orrindel maker(*made / "home");
        maker.startup();
        maker.set_civ4_dir(*made / "Civ4");
        mkpath(*made / "mods", 0755);
        for (unsigned m = 1; m <= 4; ++m) {
            const Path copy = *made / "copy/Assets";
            modify_tree(*made / "Civ4/Assets", copy, {10 + m, 0.3});
            remove_scripts(copy);
            ModCreator creator(maker.get_civ4_dir(), maker.get_settings_dir(), copy, false);
            std::unique_ptr<Mod> mod(creator.create());
            ASSERT_TRUE(mod);
            mod->name = "Mod " + std::to_string(m);
            ASSERT_EQ(mod->save(*made / ("mods/" + mod->name + ".Pellarix")), 0);
            rmdir(*made / "copy", true);
        }
    }
    static void TearDownTestSuite()
    {
        delete made;
        made = nullptr;
    }

    void SetUp() override
    {
        const auto copy = std::filesystem::copy_options::recursive;
        std::filesystem::copy(platform::native(*made / "run"), platform::native(tmp / "run"), copy);
        std::filesystem::copy(platform::native(*made / "Civ4"), platform::native(tmp / "Civ4"), copy);
        mkpath(tmp / "home/.velmora", 0755);
        std::filesystem::copy(platform::native(*made / "mods"), platform::native(tmp / "home/.velmora/mods"), copy);
        cwd = std::make_unique<CurrentFolder>(tmp / "run");
        core = std::make_unique<Orrindel>(tmp / "home");
        core->startup();
        core->set_civ4_dir(tmp / "Civ4");
        core->signal_mod_priority().connect([](PriorityQuestion&) { return 1u; });
        ASSERT_EQ(core->get_mods().size(), 4u);
    }

    static void remove_scripts(const Path& folder)
    {
        for (const std::string& name : list_files(folder)) {
            const Path p = folder / Path(name);
            bool is_folder = false;
            platform::stat(p.str(), &is_folder);
            if (is_folder)
                remove_scripts(p);
            else if (name.size() > 3 && name.compare(name.size() - 3, 3, ".py") == 0)
                platform::unlink(p.str());
        }
    }

    void enable(const std::vector<bool>& on)
    {
        unsigned i = 0;
        for (Mod* mod : core->get_mods())
            core->set_mod_enabled(mod, on[i++]);
    }

    void apply_into(const Path& folder)
    {
        core->set_custom_assets_dir(folder);
        core->apply();
    }

    // Applies into the incremental folder, then afresh into an empty one, and
    // expects the two the same: the files' names and bytes, and the manifest.
    void expect_same_as_full_rebuild(const std::string& when)
    {
        apply_into(incremental());
        rmdir(fresh(), true);
        apply_into(fresh());
        const std::vector<std::string> files = list_tree(fresh());
        ASSERT_EQ(list_tree(incremental()), files) << when;
        for (const std::string& f : files)
            EXPECT_TRUE(read_file(incremental() / Path(f)) == read_file(fresh() / Path(f))) << f << ", " << when;
        // The record of what was written too: the next apply trusts it. The
        // stamps differ from folder to folder (inodes, times); the rest not.
        EXPECT_EQ(written(incremental()), written(fresh())) << when;
        // And the record of who made each file: carried files keep theirs.
        Provenance carried, built;
        EXPECT_TRUE(Provenance::read(incremental(), carried)) << when;
        EXPECT_TRUE(Provenance::read(fresh(), built)) << when;
        EXPECT_FALSE(built.files.empty()) << when;
        EXPECT_TRUE(carried == built) << when;
    }

    // Each file of folder's manifest with its size, hash and inputs.
    static std::vector<std::string> written(const Path& folder)
    {
        Manifest m;
        EXPECT_TRUE(Manifest::read(folder, m)) << folder.str();
        std::vector<std::string> lines;
        for (const ManifestEntry& e : m.entries)
            lines.push_back(e.file + " " + std::to_string(e.size) + " " + hash_text(e.hash) + " " + hash_text(e.inputs));
        return lines;
    }

    // The files of the incremental folder by their identity on disk: a file
    // carried over by a link keeps it.
    std::map<std::string, ino_t> identities() const
    {
        std::map<std::string, ino_t> ids;
        for (const std::string& f : list_tree(incremental())) {
            struct stat st {};
            if (f != manifest_file && ::lstat(platform::native(incremental() / Path(f)).c_str(), &st) == 0)
                ids[f] = st.st_ino;
        }
        return ids;
    }

    static unsigned kept(const std::map<std::string, ino_t>& before, const std::map<std::string, ino_t>& after)
    {
        unsigned n = 0;
        for (const auto& [file, id] : after) {
            auto b = before.find(file);
            n += b != before.end() && b->second == id;
        }
        return n;
    }

    Path incremental() const { return tmp / "My Games/CustomAssets"; }
    Path fresh() const { return tmp / "Fresh/CustomAssets"; }

    static TempDir* made;
    TempDir tmp;
    ElementTableScope table;
    std::unique_ptr<CurrentFolder> cwd;
    std::unique_ptr<Orrindel> core;
};

TempDir* IncrementalApply::made = nullptr;

TEST_F(IncrementalApply, equalsAFullRebuildOverRandomEnablesAndDisables)
{
    std::mt19937 random(19);
    std::vector<bool> on {true, true, false, true};
    enable(on);
    expect_same_as_full_rebuild("first apply");
    unsigned carried = 0;
    for (int step = 1; step <= 8; ++step) {
        const unsigned toggled = random() % on.size();
        on[toggled] = !on[toggled];
        if (std::none_of(on.begin(), on.end(), [](bool b) { return b; }))
            on[(toggled + 1) % on.size()] = true;
        enable(on);
        const auto before = identities();
        expect_same_as_full_rebuild("step " + std::to_string(step) + ", mod " + std::to_string(toggled + 1));
        carried += kept(before, identities());
    }
    // Carried over, not built again: else the test would show nothing.
    EXPECT_GT(carried, 0u);
}

// What makes the last build's files untrustworthy, done to the incremental
// folder (or the game) after an apply; the next apply must build again what
// it touches.
struct Doubt {
    const char* name;
    bool everything; // the whole folder is built again, not only the file
    std::function<void(const Path& folder, const Path& game, const std::string& file)> cause;
};

void PrintTo(const Doubt& d, std::ostream* os) { *os << d.name; }

class IncrementalApplyInDoubt : public IncrementalApply, public ::testing::WithParamInterface<Doubt> { };

TEST_P(IncrementalApplyInDoubt, buildsAgainWhatItCannotTrust)
{
    enable({true, true, true, false});
    expect_same_as_full_rebuild("first apply");
    // An XML file that the game has and the mods change.
    std::string file;
    for (const std::string& f : list_tree(incremental()))
        if (f.size() > 4 && f.compare(f.size() - 4, 4, ".xml") == 0 && exists(tmp / "Civ4/Assets" / Path(f)))
            file = f;
    ASSERT_FALSE(file.empty());
    const auto before = identities();
    GetParam().cause(incremental(), tmp / "Civ4/Assets", file);

    expect_same_as_full_rebuild(GetParam().name);

    const auto after = identities();
    EXPECT_NE(before.at(file), after.at(file)) << file << " was carried over";
    if (GetParam().everything)
        EXPECT_EQ(kept(before, after), 0u);
    else
        EXPECT_GT(kept(before, after), 0u);
}

INSTANTIATE_TEST_SUITE_P(Causes, IncrementalApplyInDoubt,
    ::testing::Values(
        Doubt {"fileEditedSinceItWasWritten", false,
            [](const Path& folder, const Path&, const std::string& file) {
                write_file(folder / Path(file), read_file(folder / Path(file)) + "<!-- edited -->\n");
            }},
        Doubt {"fileEditedInPlaceWithItsSize", false,
            [](const Path& folder, const Path&, const std::string& file) {
                // One letter changed to upper case: the size stays, only the time of the write shows it.
                std::string text = read_file(folder / Path(file));
                const std::size_t at = text.find_first_of("abcdefghijklmnopqrstuvwxyz", text.size() / 2);
                ASSERT_NE(at, std::string::npos) << file;
                text[at] = static_cast<char>(text[at] - 'a' + 'A');
                write_file(folder / Path(file), text);
            }},
        Doubt {"fileReplacedByALink", false,
            [](const Path& folder, const Path&, const std::string& file) {
                const Path target = folder / Path(file);
                const std::string bytes = read_file(target);
                write_file(folder / Path("../elsewhere.xml"), bytes);
                platform::unlink(target.str());
                ASSERT_EQ(::symlink(platform::native(folder / Path("../elsewhere.xml")).c_str(),
                              platform::native(target).c_str()),
                    0);
            }},
        Doubt {"gameFileChanged", false,
            [](const Path&, const Path& game, const std::string& file) {
                write_file(game / Path(file), read_file(game / Path(file)) + "<!-- a patch of the game -->\n");
            }},
        Doubt {"schemaChanged", false,
            [](const Path&, const Path& game, const std::string& file) {
                // The schema the file names, beside it: what the merge orders new elements by.
                const std::string text = read_file(game / Path(file));
                const std::size_t at = text.find("x-schema:");
                ASSERT_NE(at, std::string::npos) << file;
                const std::string name = text.substr(at + 9, text.find('"', at) - at - 9);
                const Path rel(file);
                const Path schema = game / rel.subpath(0, rel.size() - 1) / Path(name);
                ASSERT_TRUE(exists(schema)) << schema.str();
                write_file(schema, read_file(schema) + "<!-- a patch of the game -->\n");
            }},
        Doubt {"gameFileNowFoundInWarlords", false,
            [](const Path&, const Path& game, const std::string& file) {
                // The same bytes, from another folder of the game: the folder counts too.
                const Path warlords = game.subpath(0, game.size() - 2) / Path("Warlords/Assets") / Path(file);
                mkpath(warlords.subpath(0, warlords.size() - 1), 0755);
                write_file(warlords, read_file(game / Path(file)));
                platform::unlink((game / Path(file)).str());
            }},
        Doubt {"manifestMissing", true,
            [](const Path& folder, const Path&, const std::string&) {
                platform::unlink((folder / Path(manifest_file)).str());
            }},
        Doubt {"manifestCutShort", true,
            [](const Path& folder, const Path&, const std::string&) {
                // In the middle of a line: a whole line missing would only leave its file out.
                const std::string text = read_file(folder / Path(manifest_file));
                write_file(folder / Path(manifest_file), text.substr(0, text.find('\n', text.size() / 2) + 5));
            }},
        Doubt {"manifestGarbled", true,
            [](const Path& folder, const Path&, const std::string&) {
                std::string text = read_file(folder / Path(manifest_file));
                text[text.find('\n') + 1] = 'x'; // the first entry's hash, no longer hex
                write_file(folder / Path(manifest_file), text);
            }}),
    [](const ::testing::TestParamInfo<Doubt>& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora::test

#endif
