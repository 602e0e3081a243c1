// Names no game reads: system and editor leftovers and Velmora's own files
// are told apart from game files, and old mods that carry them neither
// conflict over them nor write them.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "mod/apply_mods.h"
#include "mod/game_file_names.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/mod_test_support.h"
#include "path/fs.h"
#include "support/case_name.h"
#include "support/core_fixtures.h"
#include "support/tempdir.h"

namespace velmora::test {
namespace {

struct NameCase {
    const char* title;
    const char* file;
    NameKind kind;
};

std::ostream& operator<<(std::ostream& os, const NameCase& c) { return os << c.title; }

class GameFileNameTest : public ::testing::TestWithParam<NameCase> { };

TEST_P(GameFileNameTest, isToldByItsName)
{
    EXPECT_EQ(kind_of_name(GetParam().file), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Names, GameFileNameTest,
    ::testing::Values(NameCase{"thumbnail cache", "Art\\Thumbs.db", NameKind::Junk},
        NameCase{"thumbnail cache in capitals", "Art/THUMBS.DB", NameKind::Junk},
        NameCase{"folder settings", "desktop.ini", NameKind::Junk},
        NameCase{"Finder settings", "XML\\.DS_Store", NameKind::Junk},
        NameCase{"folder icon", "Art\\Icon\r", NameKind::Junk},
        NameCase{"AppleDouble", "Art\\Interface\\._button.dds", NameKind::Junk},
        NameCase{"anything in MACOSX", "__MACOSX\\XML\\Units\\CIV4UnitInfos.xml", NameKind::Junk},
        NameCase{"editor backup", "XML\\Units\\CIV4UnitInfos.xml~", NameKind::Junk},
        NameCase{"bak", "Python\\CvUtil.py.bak", NameKind::Junk},
        NameCase{"orig", "Python\\CvUtil.py.ORIG", NameKind::Junk},
        NameCase{"rej", "Python\\CvUtil.py.rej", NameKind::Junk},
        NameCase{"swap file", "Python\\.CvUtil.py.swp", NameKind::Junk},
        NameCase{"the manifest", ".velmora-manifest", NameKind::Own},
        NameCase{"the manifest in any case", ".VELMORA-MANIFEST", NameKind::Own},
        NameCase{"an own name below", "XML\\.velmora-provenance", NameKind::Own},
        NameCase{"a file being written", "XML\\Units\\CIV4UnitInfos.xml.velmora-part", NameKind::Own},
        NameCase{"an own folder", ".velmora-new\\XML\\a.xml", NameKind::Own},
        NameCase{"own beats junk", ".velmora-manifest~", NameKind::Own},
        NameCase{"units file", "XML\\Units\\CIV4UnitInfos.xml", NameKind::GameFile},
        NameCase{"a database that is not the cache", "Art\\MyThumbs.db", NameKind::GameFile},
        NameCase{"a folder named like a backup", "Art\\bak\\button.dds", NameKind::GameFile},
        NameCase{"a dot file of a mod", "Python\\.pylintrc", NameKind::GameFile},
        NameCase{"a readme", "readme.txt", NameKind::GameFile},
        NameCase{"the settings folder name alone", ".velmora", NameKind::GameFile}),
    CaseName());

struct DocumentCase {
    const char* title;
    const char* file;
    bool document;
};

std::ostream& operator<<(std::ostream& os, const DocumentCase& c) { return os << c.title; }

class TopDocumentTest : public ::testing::TestWithParam<DocumentCase> { };

TEST_P(TopDocumentTest, isADocumentOnlyAtTheTop)
{
    EXPECT_EQ(is_top_document(GetParam().file), GetParam().document);
}

INSTANTIATE_TEST_SUITE_P(Files, TopDocumentTest,
    ::testing::Values(DocumentCase{"readme", "readme.txt", true}, DocumentCase{"capitals", "ReadMe.TXT", true},
        DocumentCase{"manual", "Manual.pdf", true}, DocumentCase{"changes", "CHANGES.md", true},
        DocumentCase{"page", "Info.html", true}, DocumentCase{"below the top", "Art\\readme.txt", false},
        DocumentCase{"game text below", "XML\\Text\\notes.txt", false},
        DocumentCase{"game file at the top", "CvGameCoreDLL.dll", false}),
    CaseName());

// Two mods made before junk was left out, each carrying its own copy of every
// kind of it beside a file of the game that both change alike.
class OldModsWithJunkTest : public ::testing::Test {
protected:
    static Mod old_mod(const std::string& name)
    {
        std::vector<Change> changes{whole_change("Art\\button.dds", "the same button")};
        for (const char* junk : {"Art\\Thumbs.db", "desktop.ini", "XML\\.DS_Store", "Art\\._button.dds",
                 "__MACOSX\\Art\\._button.dds", "XML\\Units\\CIV4UnitInfos.xml~", "Python\\CvUtil.py.bak",
                 "Python\\CvUtil.py.orig", "Python\\CvUtil.py.rej", "Python\\.CvUtil.py.swp"})
            changes.push_back(whole_change(junk, name + "'s own " + junk));
        // A script's difference where the other mod stores its junk whole.
        changes.push_back(diff_change("Art\\Thumbs.db", diff_text("a\n", "b\n")));
        return mod_with(name, changes);
    }

    Mod first = old_mod("P");
    Mod second = old_mod("Q");
    TempDir tmp;
};

TEST_F(OldModsWithJunkTest, doNotConflictOverIt)
{
    EXPECT_EQ(conflict_of(first, second), "");
    EXPECT_EQ(conflict_of(second, first), "");
}

TEST_F(OldModsWithJunkTest, writeNoneOfIt)
{
    const Path target = tmp / "CustomAssets";
    mkpath(target, 0755);
    const GameFiles game({tmp / "game/Assets"});

    apply_mods({&first, &second}, game, target, nullptr, nullptr);
    EXPECT_EQ(list_tree(target), std::vector<std::string>{"Art\\button.dds"});

    rmdir(target, true);
    mkpath(target, 0755);
    first.apply(game, target);
    EXPECT_EQ(list_tree(target), std::vector<std::string>{"Art\\button.dds"});
}

TEST(OwnNameChangeTest, isRefusedBeforeAnythingIsWritten)
{
    TempDir tmp;
    const Path target = tmp / "CustomAssets";
    mkpath(target, 0755);
    const Mod mod = mod_with("Sneaky", {whole_change("Art\\button.dds", "button"),
                                           whole_change(".velmora-manifest", "velmora-manifest 2\n")});

    try {
        apply_mods({&mod}, GameFiles({tmp / "game/Assets"}), target, nullptr, nullptr);
        ADD_FAILURE() << "applied";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find("Sneaky"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(list_tree(target).empty());
}

// Loading keeps what no game reads (saving the mod loses nothing of it) but
// refuses a change aimed at Velmora's own files, naming the mod.
class ModFileUnreadTest : public ::testing::Test {
protected:
    Path write_mod(const std::vector<FixtureChange>& changes) const
    {
        const Path file = tmp / "Old.Pellarix";
        write_file(file, mod_file_text("Old Mod", changes));
        return file;
    }

    TempDir tmp;
};

TEST_F(ModFileUnreadTest, keepsFilesNoGameReadsThroughASave)
{
    const Path file = write_mod({{"Art\\Thumbs.db", "whole", "thumbnails"}, {"__MACOSX\\._a.dds", "whole", "fork"}});
    Mod mod;
    ASSERT_EQ(mod.load(file), 0);
    mod.save(file);

    Mod again;
    ASSERT_EQ(again.load(file), 0);
    ASSERT_EQ(again.changes.size(), 2u);
    EXPECT_EQ(again.changes.front().file, "Art\\Thumbs.db");
    EXPECT_EQ(again.changes.front().text, "thumbnails");
    EXPECT_EQ(again.changes.back().file, "__MACOSX\\._a.dds");
}

TEST_F(ModFileUnreadTest, refusesAChangeToAnOwnNameNamingTheMod)
{
    const Path file = write_mod({{"Art\\a.dds", "whole", "a"}, {"XML\\.VELMORA-manifest", "whole", "forged"}});
    Mod mod;
    try {
        mod.load(file);
        ADD_FAILURE() << "loaded";
    } catch (const GenericError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("The mod 'Old Mod'"), std::string::npos) << message;
        EXPECT_NE(message.find("Old.Pellarix"), std::string::npos) << message;
        EXPECT_NE(message.find("XML\\.VELMORA-manifest"), std::string::npos) << message;
    }
    EXPECT_FALSE(mod.loaded);
}

} // namespace
} // namespace velmora::test
