#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

#include "base/errors.h"
#include "gamegen/tree.h"
#include "path/fs.h"
#include "support/tempdir.h"
#include "tools/gamegen/gamegen.h"
#include "tools/gamegen/xml_doc.h"
#include "support/case_name.h"

namespace velmora {
namespace {

using test::TempDir;

// One small tree for the whole suite: generating is what the suite checks,
// and its files are only read.
class GeneratedTree : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TempDir;
        summary_ = generate_assets(assets(), GameGenOptions{7, 0.01});
        files_ = gamegen::walk_files(assets());
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }

    static Path assets() { return *dir_ / "Assets"; }
    static Path file(const std::string& relative) { return assets() / Path(relative); }
    static std::string bytes(const std::string& relative) { return test::read_file(file(relative)); }

    static TempDir* dir_;
    static GameGenSummary summary_;
    static std::vector<std::string> files_;
};

TempDir* GeneratedTree::dir_ = nullptr;
GameGenSummary GeneratedTree::summary_;
std::vector<std::string> GeneratedTree::files_;

TEST_F(GeneratedTree, sameSeedAndScaleGiveTheSameBytes)
{
    TempDir other;
    generate_assets(other.path(), GameGenOptions{7, 0.01});
    ASSERT_EQ(gamegen::walk_files(other.path()), files_);
    for (const auto& f : files_)
        EXPECT_EQ(test::first_difference(test::read_file(other / f), bytes(f)), "") << f;
}

TEST_F(GeneratedTree, anotherSeedKeepsTheFileSetAndChangesTheContent)
{
    TempDir other;
    generate_assets(other.path(), GameGenOptions{8, 0.01});
    ASSERT_EQ(gamegen::walk_files(other.path()), files_) << "the file set depends on the scale only";
    std::size_t differing = 0;
    for (const auto& f : files_)
        differing += test::read_file(other / f) != bytes(f);
    EXPECT_GT(differing, files_.size() * 9 / 10);
}

TEST_F(GeneratedTree, summaryCountsTheFilesOnDisk)
{
    EXPECT_EQ(summary_.xml.files, test::files_with(files_, ".xml").size());
    EXPECT_EQ(summary_.python.files, test::files_with(files_, ".py").size());
    EXPECT_EQ(summary_.xml.files + summary_.python.files + summary_.binary.files, files_.size());
    EXPECT_EQ(bytes(summary_.largest_xml).size(), summary_.largest_xml_bytes);
}

// Every XML file is what libxml2 accepts and what the modified-copy maker can
// edit without touching anything else: it reads back to its own bytes.
TEST_F(GeneratedTree, everyXmlFileIsWellFormedInTheGameLayout)
{
    auto xml = test::files_with(files_, ".xml");
    ASSERT_GE(xml.size(), 50u);
    for (const auto& f : xml) {
        SCOPED_TRACE(f);
        std::unique_ptr<xmlpp::DomParser> parser;
        ASSERT_NO_THROW(parser = test::parse_xml(file(f)));
        EXPECT_NE(parser->get_document()->get_root_node()->get_namespace_uri(), "") << "default namespace";
        std::string text = bytes(f), error;
        gamegen::XmlDocument doc;
        ASSERT_TRUE(gamegen::read_document(text, doc, error)) << error;
        EXPECT_EQ(test::first_difference(gamegen::write_document(doc), text), "");
        EXPECT_FALSE(doc.comments.empty()) << "a comment header before the root";
    }
}

// Record keys name records; a repeated one would make every merge of that
// record ambiguous.
TEST_F(GeneratedTree, recordKeysAreUniqueInEveryFile)
{
    const char* const keys[] = {"Type", "Tag", "DefineName", "ScriptID", "SoundID", "Name", "Description"};
    auto key_of = [&](const xmlpp::Node* record) {
        for (const char* k : keys)
            if (auto children = record->get_children(k); !children.empty())
                return test::text_of(children.front());
        return std::string();
    };
    for (const auto& f : test::files_with(files_, ".xml")) {
        auto parser = test::parse_xml(file(f));
        // Records sit under the root, or under a container under the root.
        for (const char* containers : {"/*", "/*/*"}) {
            for (auto* container : test::find(*parser, containers)) {
                std::map<std::string, int> seen;
                for (auto* record : container->get_children()) {
                    std::string key = key_of(record);
                    if (!key.empty() && ++seen[key] == 2)
                        ADD_FAILURE() << f << ": " << key << " repeats";
                }
            }
        }
    }
}

struct Shape {
    const char* path;
    const char* root;
    const char* ns;
    const char* declaration; // the first line, or the comment header for none
    bool crlf;
};

class GeneratedFile : public GeneratedTree, public testing::WithParamInterface<Shape> { };

TEST_P(GeneratedFile, hasTheGameShape)
{
    const Shape& s = GetParam();
    std::string text = bytes(s.path);
    EXPECT_EQ(text.substr(0, text.find_first_of("\r\n")), s.declaration);
    EXPECT_EQ(text.find("\r\n") != std::string::npos, s.crlf);
    auto parser = test::parse_xml(file(s.path));
    auto* root = parser->get_document()->get_root_node();
    EXPECT_EQ(root->get_name(), s.root);
    EXPECT_EQ(root->get_namespace_uri(), s.ns);
}

INSTANTIATE_TEST_SUITE_P(Files, GeneratedFile,
    testing::Values(Shape{"XML/Units/CIV4UnitInfos.xml", "Civ4UnitInfos", "x-schema:CIV4UnitSchema.xml",
                        "<?xml version=\"1.0\"?>", true},
        Shape{"XML/Technologies/CIV4TechInfos.xml", "Civ4TechInfos", "x-schema:CIV4TechnologiesSchema.xml",
            "<?xml version=\"1.0\"?>", false},
        Shape{"XML/GlobalDefines.xml", "Civ4Defines", "x-schema:CIV4GlobalDefinesSchema.xml",
            "<?xml version=\"1.0\"?>", true},
        Shape{"XML/Text/CIV4GameTextInfos_Objects.xml", "Civ4GameText", "http://www.firaxis.com",
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", true},
        Shape{"XML/Audio/AudioDefines.xml", "AudioDefines", "x-schema:AudioDefinesSchema.xml",
            "<?xml version=\"1.0\"?>", true},
        Shape{"XML/Units/CIV4UnitSchema.xml", "Schema", "urn:schemas-microsoft-com:xml-data",
            "<!-- Sample game data made by velmora-gamegen (seed 7, scale 0.01) -->", false}),
    ::velmora::test::CaseNameBy<&Shape::path>());

TEST_F(GeneratedTree, textFilesHoldLatin1BytesAndStructuredLanguages)
{
    const std::string path = "XML/Text/CIV4GameTextInfos_Objects.xml";
    std::string text = bytes(path);
    // A Latin-1 letter is one byte of 0xC0 or more followed by ASCII, which
    // UTF-8 never has.
    bool latin1 = false;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        latin1 = latin1
            || (static_cast<unsigned char>(text[i]) >= 0xC0
                && static_cast<unsigned char>(text[i + 1]) < 0x80);
    EXPECT_TRUE(latin1);

    auto parser = test::parse_xml(file(path));
    bool accented = false;
    for (auto* n : test::find(*parser, "//*[local-name()='French' or local-name()='German']"))
        for (unsigned char c : test::text_of(n))
            accented = accented || c >= 0xC3;
    EXPECT_TRUE(accented) << "the declared encoding turns the bytes into accented letters";
    EXPECT_FALSE(test::find(*parser,
        "/*/*[local-name()='TEXT']/*[*[local-name()='Text'] and *[local-name()='Gender'] and "
        "*[local-name()='Plural']]")
                     .empty());
    EXPECT_FALSE(
        test::find(*parser, "/*/*[local-name()='TEXT']/*[local-name()='English' and not(*)]").empty());
}

TEST_F(GeneratedTree, recordsNestPairRecordsListsAndSets)
{
    auto units = test::parse_xml(file("XML/Units/CIV4UnitInfos.xml"));
    EXPECT_FALSE(test::find(*units,
        "//*[local-name()='UnitInfo']/*[local-name()='Flavors']/*[local-name()='Flavor']"
        "[*[1][local-name()='FlavorType'] and *[2][local-name()='iFlavor']]")
                     .empty());
    EXPECT_FALSE(test::find(*units, "//*[local-name()='UnitInfo']/*[1][local-name()='Class']").empty())
        << "the key is not always the first child";
    auto buildings = test::parse_xml(file("XML/Buildings/CIV4BuildingInfos.xml"));
    EXPECT_FALSE(
        test::find(*buildings, "//*[local-name()='YieldChanges' and count(*[local-name()='iYield']) = 3]")
            .empty());
    EXPECT_FALSE(
        test::find(*buildings, "//*[local-name()='TechTypes']/*[local-name()='PrereqTech']").empty());
    auto defines = test::parse_xml(file("XML/GlobalDefines.xml"));
    EXPECT_FALSE(test::find(*defines, "/*/*[local-name()='Define']/*[1][local-name()='DefineName']").empty())
        << "the root holds the records directly";
}

TEST_F(GeneratedTree, scriptsAndArtLookLikeTheGames)
{
    auto python = test::files_with(files_, ".py");
    EXPECT_NE(std::find(python.begin(), python.end(), "Python/CvEventManager.py"), python.end());
    EXPECT_NE(std::find(python.begin(), python.end(), "Python/Screens/CvMainInterface.py"), python.end());
    std::string events = bytes("Python/CvEventManager.py");
    EXPECT_NE(events.find("\n\tdef on"), std::string::npos) << "tab-indented methods";

    std::string dds = bytes(test::files_with(files_, ".dds").at(0));
    EXPECT_EQ(dds.substr(0, 4), "DDS ");
    EXPECT_NE(dds.find('\0'), std::string::npos);
    auto art = test::parse_xml(file("XML/Art/CIV4ArtDefines_Unit.xml"));
    std::string nif = test::text_of(test::find(*art, "//*[local-name()='NIF']").at(0));
    EXPECT_TRUE(exists(file(nif))) << nif << ": art defines point at files of the tree";
}

TEST(GenerateAssets, refusesAFolderThatIsNotEmptyAndTouchesNothing)
{
    TempDir dir;
    test::write_file(dir / "Assets/keep.txt", "mine");
    try {
        generate_assets(dir / "Assets", GameGenOptions{1, 0.01});
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find((dir / "Assets").str()), std::string::npos) << e.what();
    }
    EXPECT_EQ(gamegen::walk_files(dir / "Assets"), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(test::read_file(dir / "Assets/keep.txt"), "mine");
}

TEST(GenerateAssets, namesTheFolderItCannotCreate)
{
    TempDir dir;
    test::write_file(dir / "file", "x");
    try {
        generate_assets(dir / "file/Assets", GameGenOptions{1, 0.01});
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find((dir / "file/Assets").str()), std::string::npos) << e.what();
    }
}

class GenerateAssetsScale : public testing::TestWithParam<double> { };

TEST_P(GenerateAssetsScale, outOfRangeIsRefusedBeforeWriting)
{
    TempDir dir;
    EXPECT_THROW(generate_assets(dir / "Assets", GameGenOptions{1, GetParam()}), GenericError);
    EXPECT_FALSE(exists(dir / "Assets"));
}

INSTANTIATE_TEST_SUITE_P(Cases, GenerateAssetsScale,
    testing::Values(
        0.0, -1.0, 20.5, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()),
    ::velmora::test::CaseName());

} // namespace
} // namespace velmora
