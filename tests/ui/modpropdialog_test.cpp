#include <gtest/gtest.h>

#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"
#include "ui/editchangedialog.h"
#include "ui/mainwindow.h"
#include "ui/modpropdialog.h"
#include "ui_fixture.h"

namespace velmora::test {
namespace {

const std::string unit_change = "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n\t<UnitInfos>\n"
                                "\t\t<UnitInfo>\n\t\t\t<Type>UNIT_ARCHER</Type>\n\t\t\t<iCombat>4</iCombat>\n"
                                "\t\t</UnitInfo>\n\t</UnitInfos>\n</Civ4UnitInfos>\n";
// A script difference in the game's ISO-8859-1: "Début de partie".
const std::string latin1_diff
    = "@@ -5,3 +5,3 @@\n \tiPlayer = argsList[0]\n-\tCvUtil.pyPrint(\"game start\")\n"
      "+\tCvUtil.pyPrint(\"D\xe9"
      "but de partie\")\n \treturn 0\n";
const std::string picture = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20);
// Long enough to wait on disk once the mod is read, as large whole files do.
const std::string readme = "Big Mod\nInstall with Velmora.\n" + std::string(20000, '=') + "\n";

// A whole change whose bytes the mod file carries in its base-64 code.
std::string encoded_change(const std::string& file, const char* type, const std::string& bytes)
{
    return "  <Change file=\"" + file + "\" type=\"" + type + "\" base64=\"1\" size=\""
        + std::to_string(bytes.size()) + "\">" + encode_mod_base64(bytes) + "</Change>\n";
}

// "Big Mod" with one change of each kind; "Header Only" with none.
class ModPropDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string text = mod_file_text("Big Mod",
            {{unit_infos_file, "xml", unit_change}, {"Art\\Readme.txt", "whole", readme}}, "Ana", "1.0",
            "Everything at once");
        std::string::size_type end = text.rfind("</Pellarix>");
        text.insert(end,
            encoded_change(events_script_file, "diff", latin1_diff)
                + encoded_change("Art\\Interface\\Button.dds", "whole", picture));
        big_file = box.write_mod("Big.Pellarix", text);
        box.write_mod("Header.Pellarix", mod_file_text("Header Only"));
        box.start();
        props = box.ui->mod_properties;
        editor = box.ui->edit_change;
        big = box.mod_named("Big Mod");
    }

    std::vector<std::pair<std::string, std::string>> listed() const
    {
        std::vector<std::pair<std::string, std::string>> out;
        for (const Gtk::TreeModel::Row& row : props->file_list->get_model()->children())
            out.emplace_back(
                std::string(row[props->columns.file_column]), Glib::ustring(row[props->columns.type_column]));
        return out;
    }

    Change& change(int i) const { return *std::next(big->changes.begin(), i); }

    void select_row(int i) const
    {
        props->file_list->get_selection()->select(Gtk::TreeModel::Path(std::to_string(i)));
    }

    UiSandbox box;
    Path big_file;
    ModPropDialog* props = nullptr;
    EditChangeDialog* editor = nullptr;
    Mod* big = nullptr;
};

TEST_F(ModPropDialogTest, showsTheHeaderAndEachChangeWithItsType)
{
    ASSERT_FALSE(big->loaded);
    props->set_mod(big);

    EXPECT_TRUE(big->loaded);
    EXPECT_EQ(props->name_entry->get_text(), "Big Mod");
    EXPECT_EQ(props->author_entry->get_text(), "Ana");
    EXPECT_EQ(props->version_entry->get_text(), "1.0");
    EXPECT_EQ(props->description_entry->get_text(), "Everything at once");
    std::vector<std::pair<std::string, std::string>> expected = {
        {"XML/Units/CIV4UnitInfos.xml", "xml"},
        {"Art/Readme.txt", "whole"},
        {"Python/CvVelmoraEvents.py", "diff"},
        {"Art/Interface/Button.dds", "whole"},
    };
    EXPECT_EQ(listed(), expected);
}

TEST_F(ModPropDialogTest, readsTheModFileOnlyTheFirstTime)
{
    props->set_mod(big);
    box.write_mod("Big.Pellarix", mod_file_text("Rewritten Meanwhile"));

    props->set_mod(big);

    EXPECT_EQ(props->name_entry->get_text(), "Big Mod");
    EXPECT_EQ(listed().size(), 4u);
}

TEST_F(ModPropDialogTest, editWithoutASelectedChangeSaysSo)
{
    Mod* mods[] = {box.mod_named("Header Only"), big};
    for (Mod* mod : mods) {
        props->set_mod(mod);
        Answers answers;
        answers.then_respond(Gtk::RESPONSE_OK);
        props->edit_chg_clicked();
        EXPECT_EQ(answers.messages, std::vector<std::string>{"No file selected"});
    }
}

TEST_F(ModPropDialogTest, changeSavedInTheEditorStaysInMemoryUntilThePropertiesAreSaved)
{
    const std::string on_disk = read_file(big_file);
    props->set_mod(big);
    ASSERT_TRUE(change(1).stored);
    select_row(1);
    Answers answers;
    answers.then([&](Gtk::Window& w) {
        EXPECT_EQ(&w, editor);
        EXPECT_TRUE(editor->get_modal());
        EXPECT_EQ(editor->get_transient_for(), props);
        EXPECT_TRUE(editor->text_view->get_buffer()->get_text() == readme);
        editor->text_view->get_buffer()->set_text("Read me first.\n");
        editor->save_clicked();
        editor->close_clicked();
        return 0;
    });

    props->edit_chg_clicked();
    props->close_clicked();

    EXPECT_EQ(change(1).bytes(), "Read me first.\n");
    EXPECT_FALSE(change(1).stored);
    EXPECT_EQ(read_file(big_file), on_disk);
    props->set_mod(big);
    editor->set_change(&change(1));
    EXPECT_EQ(editor->text_view->get_buffer()->get_text(), "Read me first.\n");
}

TEST_F(ModPropDialogTest, closingTheEditorWithUnsavedTextAsksFirst)
{
    props->set_mod(big);
    editor->set_change(&change(1));
    editor->show();
    editor->text_view->get_buffer()->set_text("typed, not saved");
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_CANCEL).then_respond(Gtk::RESPONSE_OK);

    editor->close_clicked();
    EXPECT_TRUE(editor->is_visible());
    EXPECT_EQ(editor->text_view->get_buffer()->get_text(), "typed, not saved");
    close_by_window_manager(*editor);

    EXPECT_FALSE(editor->is_visible());
    ASSERT_EQ(answers.messages.size(), 2u);
    EXPECT_EQ(answers.messages[0],
        "The text of Art/Readme.txt was edited but not saved. Close it and drop the edits?");
    EXPECT_TRUE(change(1).bytes() == readme);
}

TEST_F(ModPropDialogTest, saveRewritesTheSameFileAndRefreshesTheList)
{
    props->set_mod(big);
    editor->set_change(&change(0));
    editor->text_view->get_buffer()->set_text(unit_change + "<!-- tuned -->\n");
    editor->save_clicked();
    props->name_entry->set_text("Bigger Mod");
    props->version_entry->set_text("1.1");

    props->save_clicked();

    EXPECT_EQ(list_tree(box.mods()), (std::vector<std::string>{"Big.Pellarix", "Header.Pellarix"}));
    Mod saved;
    ASSERT_EQ(saved.load(big_file), 0);
    EXPECT_EQ(saved.name, "Bigger Mod");
    EXPECT_EQ(saved.version, "1.1");
    ASSERT_EQ(saved.changes.size(), 4u);
    EXPECT_NE(saved.changes.front().text.find("tuned"), std::string::npos);
    EXPECT_EQ(std::next(saved.changes.begin(), 2)->text, latin1_diff);
    EXPECT_EQ(saved.changes.back().text, picture);
    EXPECT_EQ(box.rows()[0].name, "Bigger Mod");
}

TEST_F(ModPropDialogTest, saveThatFailsSaysWhyAndKeepsTheEdits)
{
    props->set_mod(big);
    props->name_entry->set_text("Renamed");
    // The mods folder is replaced by a file: nothing can be written in it.
    ASSERT_EQ(rmdir(box.mods(), true), 0);
    write_file(box.mods(), "not a folder");
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);

    props->save_clicked();

    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("Big.Pellarix"), std::string::npos) << answers.messages[0];
    EXPECT_EQ(props->name_entry->get_text(), "Renamed");
}

TEST_F(ModPropDialogTest, binaryContentIsDescribedAndNeverWrittenBack)
{
    props->set_mod(big);
    editor->set_change(&change(3));

    EXPECT_EQ(editor->get_encoding(), EditChangeDialog::Encoding::Binary);
    EXPECT_TRUE(editor->notice->is_visible());
    EXPECT_NE(editor->notice->get_text().find("binary content (20 bytes)"), std::string::npos)
        << editor->notice->get_text();
    EXPECT_FALSE(editor->save_button->is_sensitive());
    EXPECT_FALSE(editor->text_view->get_editable());
    editor->save_clicked();
    EXPECT_EQ(change(3).text, picture);

    // The next text change is editable again.
    editor->set_change(&change(1));
    EXPECT_EQ(editor->get_encoding(), EditChangeDialog::Encoding::Utf8);
    EXPECT_FALSE(editor->notice->is_visible());
    EXPECT_TRUE(editor->save_button->is_sensitive());
}

TEST_F(ModPropDialogTest, gameTextInIso88591IsShownConvertedAndSavedBackInIt)
{
    props->set_mod(big);
    editor->set_change(&change(2));
    Glib::RefPtr<Gtk::TextBuffer> buffer = editor->text_view->get_buffer();

    EXPECT_EQ(editor->get_encoding(), EditChangeDialog::Encoding::Latin1);
    EXPECT_NE(std::string(buffer->get_text())
                  .find("D\xc3\xa9"
                        "but"),
        std::string::npos);
    editor->save_clicked();
    EXPECT_EQ(change(2).text, latin1_diff);

    buffer->set_text(buffer->get_text() + "+\t# \xc3\xa9t\xc3\xa9\n");
    editor->save_clicked();
    EXPECT_EQ(change(2).text, latin1_diff + "+\t# \xe9t\xe9\n");

    // A character the encoding cannot hold is refused; the change keeps its text.
    buffer->set_text(buffer->get_text() + "+\t# \xce\xa9\n");
    Answers answers;
    answers.then_respond(Gtk::RESPONSE_OK);
    editor->save_clicked();
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_NE(answers.messages[0].find("'\xce\xa9'"), std::string::npos) << answers.messages[0];
    EXPECT_EQ(change(2).text, latin1_diff + "+\t# \xe9t\xe9\n");
}

} // namespace
} // namespace velmora::test
