#include <gtest/gtest.h>
#include <gtkmm/filechooserdialog.h>

#include "path/fs.h"
#include "path/platform.h"
#include "ui/createmoddialog.h"
#include "ui_fixture.h"

namespace velmora::test {
namespace {

struct IniCase {
    const char* label;
    const char* text; // nullptr: no file at all
    const char* name; // the entries afterwards; they held "old" before
    const char* description;
};

std::ostream& operator<<(std::ostream& os, const IniCase& c) { return os << c.label; }

class CreateModIni : public testing::TestWithParam<IniCase> {
protected:
    void SetUp() override
    {
        box.start();
        dlg = box.ui->create_mod;
        dlg->clear();
        dlg->name_entry->set_text("old");
        dlg->description_entry->set_text("old");
    }

    UiSandbox box;
    CreateModDialog* dlg = nullptr;
};

TEST_P(CreateModIni, setsNameAndDescriptionFromTheirKeys)
{
    const IniCase& c = GetParam();
    Path file = box / "My Mod/Mod.ini";
    if (c.text)
        write_file(file, c.text);

    dlg->read_inifile(file);

    EXPECT_EQ(dlg->name_entry->get_text(), c.name);
    EXPECT_EQ(dlg->description_entry->get_text(), c.description);
    EXPECT_EQ(dlg->author_entry->get_text(), "");
    EXPECT_EQ(dlg->version_entry->get_text(), "");
}

INSTANTIATE_TEST_SUITE_P(Lines, CreateModIni,
    testing::Values(
        IniCase{"sectionsCommentsAndSpaces",
            "[section]\n; comment\nName = My Mod\nDescription=  Adds units  \nAuthor = Ana\nVersion = 2\n",
            "My Mod", "Adds units  "},
        IniCase{"leadingSpaceIsPartOfTheKey", " Name = x\n", "old", "old"},
        IniCase{"keysAreCaseSensitive", "name = x\nDESCRIPTION = y\n", "old", "old"},
        IniCase{"nothingAfterTheSignIsEmpty", "Name =\nDescription =   \n", "", ""},
        IniCase{"aTabStaysInTheKey", "Name\t= x\n", "old", "old"},
        IniCase{"crlfLines", "Name = CR Mod\r\nDescription = d\r\n", "CR Mod", "d"},
        IniCase{"aLaterKeyWins", "Name = A\nName = B\n", "B", "old"},
        IniCase{"commentedKey", ";Name = x\n", "old", "old"},
        IniCase{"valueKeepsFurtherSigns", "Name = a=b\n", "a=b", "old"},
        IniCase{"lastLineWithoutLineFeed", "Description = last", "old", "last"},
        IniCase{"gameTextInIso88591", "Name = Tr\xe8s grand\n", "Tr\xc3\xa8s grand", "old"},
        IniCase{"missingFile", nullptr, "old", "old"}),
    [](const testing::TestParamInfo<IniCase>& info) { return std::string(info.param.label); });

class CreateModBrowse : public testing::Test {
protected:
    void SetUp() override
    {
        box.start();
        dlg = box.ui->create_mod;
        dlg->clear();
        dlg->start_dir = box / "game/Mods";
        mkpath(box / "game/Mods/Start", 0755);
    }

    // Answers the chooser: checks where it opened, then picks folder.
    Answers::Answer choose(const std::string& opened_at, const std::string& folder)
    {
        return [=](Gtk::Window& w) {
            auto& chooser = dynamic_cast<Gtk::FileChooserDialog&>(w);
            EXPECT_EQ(chooser.get_title(), "Select Mods directory");
            for (int i = 0; i < 200 && chooser.get_current_folder() != opened_at; ++i) {
                pump();
                Glib::usleep(10000);
            }
            EXPECT_EQ(chooser.get_current_folder(), opened_at);
            chooser.set_current_folder(folder);
            for (int i = 0; i < 200 && chooser.get_current_folder() != folder; ++i) {
                pump();
                Glib::usleep(10000);
            }
            return Gtk::RESPONSE_OK;
        };
    }

    UiSandbox box;
    CreateModDialog* dlg = nullptr;
};

TEST_F(CreateModBrowse, readsEveryIniFileOfTheFolderInOrder)
{
    write_file(box / "My Mod/a.ini", "Name = A\nDescription = from a\n");
    write_file(box / "My Mod/b.ini", "Name = B\n");
    write_file(box / "My Mod/MOD.INI", "Name = upper case\n");
    write_file(box / "My Mod/.ini", "Name = no stem\n");
    write_file(box / "My Mod/Assets/c.ini", "Name = in a subfolder\n");
    Answers answers;
    answers.then(choose(platform::native(box / "game/Mods"), platform::native(box / "My Mod")));

    dlg->dir_browse_clicked();

    EXPECT_EQ(dlg->dir_entry->get_text(), platform::native(box / "My Mod"));
    EXPECT_EQ(dlg->name_entry->get_text(), "B");
    EXPECT_EQ(dlg->description_entry->get_text(), "from a");
}

TEST_F(CreateModBrowse, opensAtATypedFolderAndChangesNothingWhenCancelled)
{
    dlg->dir_entry->set_text(platform::native(box / "game/Mods/Start"));
    Answers answers;
    answers.then([&](Gtk::Window& w) {
        auto& chooser = dynamic_cast<Gtk::FileChooserDialog&>(w);
        std::string typed = platform::native(box / "game/Mods/Start");
        for (int i = 0; i < 200 && chooser.get_current_folder() != typed; ++i) {
            pump();
            Glib::usleep(10000);
        }
        EXPECT_EQ(chooser.get_current_folder(), typed);
        return Gtk::RESPONSE_CANCEL;
    });

    dlg->dir_browse_clicked();

    EXPECT_EQ(dlg->dir_entry->get_text(), platform::native(box / "game/Mods/Start"));
    EXPECT_EQ(dlg->name_entry->get_text(), "");
}

} // namespace
} // namespace velmora::test
