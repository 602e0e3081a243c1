// A mod made from a modified copy of the game's files, saved, loaded again and
// applied to the game's files, gives back the modified copy: what makes the
// creator trustworthy.
#include <gtest/gtest.h>
#include <libxml++/attribute.h>
#include <libxml++/nodes/element.h>
#include <libxml++/nodes/textnode.h>
#include <libxml++/parsers/domparser.h>

#include <algorithm>
#include <map>

#include "base/errors.h"
#include "core/verify.h"
#include "mod/game_files.h"
#include "path/platform.h"
#include "tests/creator/creator_fixture.h"
#include "xml/element_info.h"
#include "xml/elements.h"
#include "xml/schema.h"

#if __has_include("tools/gamegen/gamegen.h")
#include "tools/gamegen/gamegen.h"
#include "support/case_name.h"
#define VELMORA_HAVE_GAMEGEN 1
#endif

namespace velmora::test {
namespace {

// An element as text for comparing two documents: name, attributes, then its
// element children or its text. White space between elements and comments do
// not count. The children of collections and records, and the items of sets,
// are sorted: applying a mod appends new records, fields and items after the
// game's, where the modder may have put them anywhere.
std::string canonical(const xmlpp::Element* e)
{
    std::string s = "<" + e->get_name();
    std::vector<std::string> attributes;
    for (const xmlpp::Attribute* a : e->get_attributes())
        attributes.push_back(a->get_name() + "=\"" + a->get_value() + "\"");
    std::sort(attributes.begin(), attributes.end());
    for (const std::string& a : attributes)
        s += " " + a;
    s += ">";
    std::vector<std::string> children;
    for (const xmlpp::Node* n : e->get_children())
        if (const auto* c = dynamic_cast<const xmlpp::Element*>(n))
            children.push_back(canonical(c));
    if (children.empty()) {
        const xmlpp::TextNode* text = e->get_child_text();
        s += text ? std::string(text->get_content()) : std::string();
    } else {
        const int type = get_element_type(e);
        if (type == CONTAINER || type == OBJECT || type == SET)
            std::sort(children.begin(), children.end());
        for (const std::string& c : children)
            s += "\n" + c;
    }
    return s + "</" + e->get_name() + ">";
}

std::string canonical_file(const Path& file)
{
    std::unique_ptr<xmlpp::DomParser> parser = parse_game_file(file);
    return canonical(parser->get_document()->get_root_node());
}

// The files below folder, relative to it ("a\b.txt").
void collect(const Path& folder, const Path& rel, std::vector<Path>& out)
{
    for (const std::string& name : list_files(rel.empty() ? folder : folder / rel)) {
        Path child = child_path(rel, name);
        bool is_folder = false;
        platform::stat((folder / child).str(), &is_folder);
        if (is_folder)
            collect(folder, child, out);
        else
            out.push_back(child);
    }
}

class RoundTripTest : public CreatorFixture {
protected:
    // Creates the mod from the modified folder, saves it, loads it again and
    // applies it onto an empty custom-assets folder.
    void create_save_load_apply()
    {
        std::unique_ptr<Mod> mod = create();
        ASSERT_TRUE(mod);
        mod->name = "Round trip";
        const Path file = tmp / "mods/Round trip.Pellarix";
        mkpath(tmp / "mods", 0755);
        ASSERT_EQ(mod->save(file), 0);
        Mod loaded;
        ASSERT_EQ(loaded.load(file), 0);
        // Every change comes back, an empty file's too; unchanged files gave none.
        ASSERT_EQ(loaded.changes.size(), mod->changes.size());
        mkpath(custom(), 0755);
        ASSERT_EQ(loaded.apply(game(), custom()), 0);
    }

    Path custom() const { return tmp / "CustomAssets"; }

    // Every file of the modified folder against the game as the mod leaves
    // it: the custom-assets file where the mod wrote one, else the game's.
    void expect_result_is_the_modified_tree()
    {
        std::vector<Path> files;
        collect(modified(), Path(), files);
        ASSERT_FALSE(files.empty());
        for (const Path& rel : files) {
            const std::string name = rel[-1];
            if (name.find('.') == std::string::npos)
                continue;
            const Path result = exists(custom() / rel) ? custom() / rel : game(rel.str());
            ASSERT_TRUE(exists(result)) << rel.str();
            const bool xml = name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0;
            // Scripts too come back byte for byte, line ends included.
            if (xml && exists(game(rel.str())))
                EXPECT_EQ(canonical_file(result), canonical_file(modified(rel.str()))) << rel.str();
            else
                EXPECT_EQ(read_file(result), read_file(modified(rel.str()))) << rel.str();
        }
    }
};

std::string game_text(const std::string& records)
{
    return game_document(
        "Civ4GameText", "xmlns=\"http://www.firaxis.com\"", records, Declaration::iso_8859_1);
}

std::string text_record(const std::string& tag, const std::string& english, const std::string& french)
{
    return "\t<TEXT>\n\t\t<Tag>" + tag + "</Tag>\n\t\t<English>" + english + "</English>\n\t\t<French>"
        + french + "</French>\n\t</TEXT>\n";
}

const char* const script = "# Things: events of the things\n"
                           "import CvUtil\n"
                           "\n"
                           "def onGameStart(argsList):\n"
                           "\tiPlayer = argsList[0]\n"
                           "\tCvUtil.pyPrint(\"game start\")\n"
                           "\treturn 0\n"
                           "\n"
                           "def onEndTurn(argsList):\n"
                           "\treturn 0\n";

TEST_F(RoundTripTest, applyingTheCreatedModToTheGameGivesTheModifiedFiles)
{
    write_file(tmp / "run/more.txt",
        "GameText\tCiv4GameText\tcontainer\nGameText\tTEXT\tobject\tTag\nGameText\tEnglish\topaque\n"
        "GameText\tFrench\topaque\n");
    ElementInfoStorage::instance().load(platform::native(tmp / "run/more.txt"));

    const std::string art_a = "\t\t\t<Art>\n\t\t\t\t<Mesh file=\"a.nif\"/>\n\t\t\t</Art>\n";
    const std::string game_things = crlf(things(thing("THING_A",
                                                    field("iSize", "1") + field("Description", "Axe")
                                                        + items("Tags", "Tag", {"TAG_X", "TAG_Y"}) + art_a)
        + thing("THING_B",
            field("iSize", "4") + items("Sizes", "iSize", {"1", "2", "3"}) + flavors({{"FLAVOR_GOLD", "2"}}))
        + thing("THING_D", field("iSize", "9"))));
    const std::string modified_things
        = crlf(things(thing("THING_A",
                          field("iSize", "2") + field("Description", "Great axe")
                              + items("Tags", "Tag", {"TAG_Z", "TAG_X", "TAG_Y"})
                              + "\t\t\t<Art>\n\t\t\t\t<Mesh "
                                "file=\"b.nif\"/>\n\t\t\t\t<Button>b.dds</Button>\n\t\t\t</Art>\n")
            + thing("THING_C", field("iSize", "3") + items("Sizes", "iSize", {"5"}))
            + thing("THING_B",
                field("iSize", "4") + items("Sizes", "iSize", {"3", "1", "2", "0"})
                    + flavors({{"FLAVOR_SCIENCE", "4"}, {"FLAVOR_GOLD", "3"}}))
            + thing("THING_D", field("iSize", "9"))));
    write_pair(things_file, game_things, modified_things);

    const std::string game_texts = to_latin1(game_text(
        text_record("TXT_KEY_THING_A", "Épée", "Épée") + text_record("TXT_KEY_THING_B", "Bow", "Arc")));
    const std::string modified_texts
        = to_latin1(game_text(text_record("TXT_KEY_THING_A", "Épée longue", "Épée longue")
            + text_record("TXT_KEY_THING_B", "Bow", "Arc")
            + text_record("TXT_KEY_THING_C", "Çart", "Charrette")));
    write_pair("XML/Text/CIV4GameText_Things.xml", game_texts, modified_texts);
    // Unchanged: no change for the XML, an empty difference for the script.
    write_pair("XML/Text/CIV4GameText_Other.xml", game_texts, game_texts);
    write_pair("Python/CvOther.py", script, script);

    std::string modified_script = script;
    modified_script.replace(modified_script.find("game start"), 10, "Velmora: game start");
    modified_script += "\ndef onCityBuilt(argsList):\n\treturn 1\n";
    write_pair("Python/CvThings.py", script, modified_script);

    // Windows line ends, with and without a final one, and a final one removed.
    write_pair("Python/CvThingsWindows.py", crlf(script), crlf(modified_script));
    std::string unended = script;
    unended.pop_back();
    write_pair(
        "Python/CvUnended.py", crlf(unended), crlf(modified_script.substr(0, modified_script.size() - 1)));
    write_pair("Python/CvCut.py", script, unended);
    write_file(modified("Python/Contrib/__init__.py"), "");

    write_pair("Art/button.dds", std::string("DDS |\0\x01\x02", 8), std::string("DDS |\0\xff\x02 more", 13));
    write_pair("Art/same.dds", std::string("DDS |\0\x01\x02", 8), std::string("DDS |\0\x01\x02", 8));
    write_file(modified("Art/new.dds"), std::string("DDS |\0\x7f", 7));
    write_file(modified("XML/Things/Civ4NewInfos.xml"), things(thing("THING_NEW")));

    create_save_load_apply();

    expect_result_is_the_modified_tree();
    for (const char* unchanged : {"XML/Text/CIV4GameText_Other.xml", "Python/CvOther.py", "Art/same.dds"})
        EXPECT_FALSE(exists(custom() / unchanged)) << unchanged;
}

#ifdef VELMORA_HAVE_GAMEGEN
// The same on a generated tree shaped like the game's, with the table that
// ships with the program, for copies modified with several seeds.
class GeneratedRoundTripTest : public RoundTripTest, public ::testing::WithParamInterface<unsigned> { };

TEST_P(GeneratedRoundTripTest, applyingTheCreatedModToTheGameGivesTheModifiedFiles)
{
    ElementInfoStorage::instance().clear();
    table.load_shipped();
    rmdir(game(), true);
    rmdir(modified(), true);
    GameGenOptions options;
    options.seed = 3;
    options.scale = 0.01;
    generate_assets(game(), options);
    ModifyOptions modify;
    modify.seed = GetParam();
    modify.fraction = 0.5;
    modify.removals = true;
    std::vector<ModifiedFile> changed = modify_tree(game(), modified(), modify);
    ASSERT_FALSE(changed.empty());

    create_save_load_apply();

    expect_result_is_the_modified_tree();
    // The game would load every file the mod's apply wrote.
    SchemaCache schemas;
    const Verification v = verify_folder(custom(), GameFiles({game()}), schemas);
    EXPECT_GT(v.checked, 0u);
    for (const FileFaults& f : v.files)
        for (const SchemaViolation& fault : f.faults)
            ADD_FAILURE() << describe(f.file, fault, false);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedRoundTripTest, ::testing::Values(1u, 2u, 3u),
    ::velmora::test::CaseName());
#endif

} // namespace
} // namespace velmora::test
