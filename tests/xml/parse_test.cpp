#include <gtest/gtest.h>

#include <libxml++/document.h>
#include <libxml++/exceptions/exception.h>
#include <libxml++/nodes/element.h>
#include <libxml++/parsers/domparser.h>

#include <memory>

#include "support/game_xml.h"
#include "support/tempdir.h"
#include "xml/elements.h"
#include "xml/parse.h"
#include "xml/library.h"

using namespace velmora;
using namespace velmora::test;

namespace {

// The text of the first element named `name` anywhere below e.
std::string text_of_first(xmlpp::Element* e, const std::string& name)
{
    for (xmlpp::Node* n : e->get_children()) {
        auto* c = dynamic_cast<xmlpp::Element*>(n);
        if (!c)
            continue;
        if (c->get_name() == name)
            return element_text(c);
        std::string found = text_of_first(c, name);
        if (!found.empty())
            return found;
    }
    return "";
}

class ParseGameFile : public testing::Test {
protected:
    std::string text_in_file(const std::string& bytes, const std::string& element)
    {
        write_file(dir / "game.xml", bytes);
        std::unique_ptr<xmlpp::DomParser> parser = parse_game_file(dir / "game.xml");
        return text_of_first(parser->get_document()->get_root_node(), element);
    }

    TempDir dir;
};

TEST_F(ParseGameFile, readsAnUndeclaredLatin1FileAsTheGameDoes)
{
    EXPECT_EQ(text_in_file(undeclared_latin1_text_xml(), "French"),
        "Activer le jeu automatique (Contr\xC3\xB4le d\xC3\xA9sactiv\xC3\xA9)");
}

TEST_F(ParseGameFile, readsDeclaredEncodingsAsDeclared)
{
    EXPECT_EQ(text_in_file(game_text_xml(), "English"), "Warrior");
    const std::string body = "\t<TEXT>\n\t\t<Tag>T</Tag>\n\t\t<French>Orl\xC3\xA9"
                             "ans</French>\n\t</TEXT>\n";
    EXPECT_EQ(
        text_in_file(game_document("Civ4GameText", "", to_latin1(body), Declaration::iso_8859_1), "French"),
        "Orl\xC3\xA9"
        "ans");
    // Lower-case names occur in the game's files too.
    EXPECT_EQ(
        text_in_file("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<A><B>\xE9</B></A>", "B"), "\xC3\xA9");
    EXPECT_EQ(text_in_file(game_document("Civ4GameText", "", body, Declaration::utf_8), "French"),
        "Orl\xC3\xA9"
        "ans");
    // Undeclared UTF-8 stays UTF-8.
    EXPECT_EQ(text_in_file(game_document("Civ4GameText", "", body, Declaration::plain), "French"),
        "Orl\xC3\xA9"
        "ans");
}

TEST_F(ParseGameFile, failsOnDeclaredUtf8WithBadBytes)
{
    write_file(dir / "bad.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<A><B>Orl\xE9"
        "ans</B></A>\n");
    EXPECT_THROW(parse_game_file(dir / "bad.xml"), XmlLibraryError);
}

TEST_F(ParseGameFile, failsOnTextThatIsNotWellFormed)
{
    for (const std::string& bytes : {std::string("<A><B></A>"), std::string(), std::string("plain text"),
             std::string("<?xml version=\"1.0\"?>\n<A>\xE9</B>")}) {
        write_file(dir / "bad.xml", bytes);
        EXPECT_THROW(parse_game_file(dir / "bad.xml"), XmlLibraryError) << bytes;
    }
}

TEST_F(ParseGameFile, failsOnAFileThatCannotBeRead)
{
    EXPECT_THROW(parse_game_file(dir / "missing.xml"), XmlLibraryError);
    EXPECT_THROW(parse_game_file(dir.path()), XmlLibraryError);
}

// A file URI for a native path (the test folder's name is not ASCII).
std::string file_uri(const std::string& native)
{
    std::string uri = "file://";
    for (char ch : native) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80 && c != '%' && c != ' ')
            uri += ch;
        else {
            const char* hex = "0123456789ABCDEF";
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

// Mod files come from forums: a document must not reach outside its own text.
TEST(ParseXmlText, neverLoadsExternalEntitiesOrSubstitutesEntities)
{
    TempDir dir;
    write_file(dir / "secret.txt", "SECRET");
    std::string text
        = "<?xml version=\"1.0\"?>\n<!DOCTYPE A [\n<!ENTITY inner \"INNER\">\n<!ENTITY outer SYSTEM \""
        + file_uri(dir.native() + "/secret.txt") + "\">\n]>\n<A><B>&inner;</B><C>&outer;</C></A>";
    std::unique_ptr<xmlpp::DomParser> parser = parse_xml_text(text);
    xmlpp::Element* root = parser->get_document()->get_root_node();
    // The references stay references: nothing is put in their place.
    EXPECT_EQ(text_of_first(root, "B"), "");
    EXPECT_EQ(text_of_first(root, "C"), "");
    EXPECT_EQ(std::string(parser->get_document()->write_to_string()).find("SECRET"), std::string::npos);
}

TEST(ParseXmlText, readsMultiByteTextCompletely)
{
    std::unique_ptr<xmlpp::DomParser> parser = parse_xml_text(
        "<TEXT><Tag>T</Tag><French>Contr\xC3\xB4le \xE2\x80\x94 d\xC3\xA9j\xC3\xA0</French></TEXT>");
    EXPECT_EQ(text_of_first(parser->get_document()->get_root_node(), "French"),
        "Contr\xC3\xB4le \xE2\x80\x94 d\xC3\xA9j\xC3\xA0");
}

TEST(ParseXmlText, failsOnTextThatIsNotWellFormed)
{
    EXPECT_THROW(parse_xml_text("<Civ4UnitInfos><UnitInfos></Civ4UnitInfos>"), XmlLibraryError);
    EXPECT_THROW(parse_xml_text("<A><u:B/></A>"), XmlLibraryError);
}

// A modder's relative namespace URI draws a warning from the library, nothing worse.
TEST(ParseXmlText, readsTextThatOnlyDrawsWarnings)
{
    std::unique_ptr<xmlpp::DomParser> parser
        = parse_xml_text("<Civ4UnitInfos xmlns=\"CIV4UnitSchema.xml\"><UnitInfos/></Civ4UnitInfos>");
    EXPECT_EQ(get_child_element(parser->get_document()->get_root_node())->get_name(), "UnitInfos");
}

// What the library cannot tie to a parser (a file it cannot open or write)
// it would print on the terminal; Velmora reports such failures itself.
TEST(QuietXmlLibrary, keepsTheLibraryOffTheTerminalButItsMessagesInTheExceptions)
{
    quiet_xml_library();
    testing::internal::CaptureStderr();
    try {
        xmlpp::DomParser parser;
        parser.set_throw_messages(true);
        parser.parse_file("/nonexistent-velmora-folder/conf");
    } catch (const xmlpp::exception&) {
    }
    try {
        xmlpp::Document doc;
        doc.create_root_node("VelmoraConfig");
        doc.write_to_file_formatted("/nonexistent-velmora-folder/conf");
    } catch (const xmlpp::exception&) {
    }
    std::string message;
    try {
        parse_xml_text("<Civ4UnitInfos><UnitInfos></Civ4UnitInfos>");
    } catch (const XmlLibraryError& e) {
        message = e.what();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(message.find("UnitInfos"), std::string::npos) << message;
}

} // namespace
