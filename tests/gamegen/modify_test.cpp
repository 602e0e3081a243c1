#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <set>

#include "base/errors.h"
#include "gamegen/tree.h"
#include "path/fs.h"
#include "support/tempdir.h"
#include "tools/gamegen/gamegen.h"
#include "tools/gamegen/xml_doc.h"

namespace velmora {
namespace {

using test::TempDir;

bool has_crlf(const std::string& s) { return s.find("\r\n") != std::string::npos; }

std::string key_of(const gamegen::XmlNode& n)
{
    for (const char* k : {"Type", "Tag", "DefineName", "ScriptID", "SoundID", "Name", "Description"})
        if (const gamegen::XmlNode* c = n.child(k))
            if (c->is_leaf())
                return c->text;
    return {};
}

// The records of a document by key, each written out, and the document with
// its records taken out (what no edit may touch).
struct Records {
    std::map<std::string, std::string> by_key;
    std::string rest;
};

Records split_records(const std::string& bytes)
{
    gamegen::XmlDocument doc;
    std::string error;
    EXPECT_TRUE(gamegen::read_document(bytes, doc, error)) << error;
    Records out;
    auto take = [&](gamegen::XmlNode& container) {
        std::vector<gamegen::XmlNode> kept;
        for (auto& c : container.children) {
            std::string key = key_of(c);
            if (key.empty()) {
                kept.push_back(c);
                continue;
            }
            gamegen::XmlDocument one;
            one.root = c;
            out.by_key[key] = gamegen::write_document(one);
        }
        bool any = kept.size() != container.children.size();
        container.children = kept;
        return any;
    };
    if (!take(doc.root))
        for (auto& c : doc.root.children)
            take(c);
    out.rest = gamegen::write_document(doc);
    return out;
}

class ModifiedCopy : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TempDir;
        generate_assets(assets(), GameGenOptions{5, 0.01});
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    static Path assets() { return *dir_ / "Assets"; }
    static std::string original(const std::string& relative)
    {
        return test::read_file(assets() / Path(relative));
    }

    static TempDir* dir_;
};

TempDir* ModifiedCopy::dir_ = nullptr;

TEST_F(ModifiedCopy, holdsExactlyTheFilesItReports)
{
    TempDir out;
    auto report = modify_tree(assets(), out / "Mod", ModifyOptions{1, 0.2});
    std::vector<std::string> paths;
    for (const auto& f : report)
        paths.push_back(f.path);
    EXPECT_TRUE(std::is_sorted(paths.begin(), paths.end()));
    EXPECT_EQ(gamegen::walk_files(out / "Mod"), paths);

    std::set<std::string> kinds;
    for (const auto& f : report) {
        SCOPED_TRACE(f.path);
        std::string copy = test::read_file(out / "Mod" / f.path);
        EXPECT_FALSE(f.notes.empty());
        if (f.kind == ModifiedFile::Kind::Added) {
            kinds.insert("added");
            EXPECT_FALSE(exists(assets() / Path(f.path)));
            continue;
        }
        std::string before = original(f.path);
        EXPECT_NE(copy, before);
        EXPECT_EQ(has_crlf(copy), has_crlf(before)) << "line ends kept";
        std::string ext = f.path.substr(f.path.rfind('.'));
        kinds.insert(ext == ".xml" || ext == ".py" ? ext : "binary");
        if (ext == ".py") {
            EXPECT_GE(
                std::count(copy.begin(), copy.end(), '\n'), std::count(before.begin(), before.end(), '\n'));
        } else if (ext != ".xml") {
            EXPECT_EQ(copy.size(), before.size());
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string>{".xml", ".py", "binary", "added"}));
}

TEST_F(ModifiedCopy, changedXmlKeepsItsShapeAndChangesOnlyTheRecordsItNames)
{
    TempDir out;
    auto report = modify_tree(assets(), out / "Mod", ModifyOptions{2, 0.3});
    int checked = 0;
    for (const auto& f : report) {
        if (!test::ends_with(f.path, ".xml"))
            continue;
        SCOPED_TRACE(f.path);
        std::string copy = test::read_file(out / "Mod" / f.path);
        auto parser = test::parse_xml(out / "Mod" / f.path);
        EXPECT_NE(parser->get_document()->get_root_node()->get_namespace_uri(), "");
        if (f.kind == ModifiedFile::Kind::Added)
            continue;
        std::string before = original(f.path);
        EXPECT_EQ(copy.substr(0, copy.find('\n')), before.substr(0, before.find('\n'))) << "declaration kept";
        Records a = split_records(before), b = split_records(copy);
        EXPECT_EQ(b.rest, a.rest) << "nothing outside the records changes";
        std::set<std::string> differing;
        for (const auto& [key, text] : b.by_key) {
            auto it = a.by_key.find(key);
            if (it == a.by_key.end() || it->second != text)
                differing.insert(key);
        }
        for (const auto& [key, text] : a.by_key)
            EXPECT_TRUE(b.by_key.count(key)) << key << " was removed";
        EXPECT_EQ(differing, std::set<std::string>(f.records.begin(), f.records.end()));
        ++checked;
    }
    EXPECT_GE(checked, 5);
}

TEST_F(ModifiedCopy, sameSeedGivesTheSameCopy)
{
    TempDir one, two;
    auto a = modify_tree(assets(), one / "Mod", ModifyOptions{3, 0.1});
    auto b = modify_tree(assets(), two / "Mod", ModifyOptions{3, 0.1});
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].path, b[i].path);
        EXPECT_EQ(a[i].notes, b[i].notes);
        EXPECT_EQ(test::first_difference(
                      test::read_file(one / "Mod" / a[i].path), test::read_file(two / "Mod" / b[i].path)),
            "")
            << a[i].path;
    }
}

// Mods made from copies with different seeds must sometimes conflict (the
// same record changed by both) and sometimes not.
TEST_F(ModifiedCopy, copiesWithDifferentSeedsSometimesMeetOnARecord)
{
    std::vector<std::set<std::string>> touched;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        TempDir out;
        std::set<std::string> records;
        for (const auto& f : modify_tree(assets(), out / "Mod", ModifyOptions{seed, 0.05}))
            for (const auto& key : f.records)
                records.insert(f.path + " " + key);
        touched.push_back(records);
    }
    int meeting = 0, apart = 0;
    for (std::size_t i = 0; i < touched.size(); ++i)
        for (std::size_t j = i + 1; j < touched.size(); ++j) {
            std::vector<std::string> common;
            std::set_intersection(touched[i].begin(), touched[i].end(), touched[j].begin(), touched[j].end(),
                std::back_inserter(common));
            (common.empty() ? apart : meeting) += 1;
        }
    EXPECT_GT(meeting, 0);
    EXPECT_GT(apart, 0);
}

TEST(ModifyTree, leavesFilesOutsideTheGeneratorsLayoutAlone)
{
    TempDir dir;
    test::write_file(dir / "Assets/XML/Spaces.xml", "<Civ4X>\n  <X>\n    <Type>A</Type>\n  </X>\n</Civ4X>\n");
    test::write_file(dir / "Assets/XML/Broken.xml", "<Civ4X>\n\t<X>\n\t\t<Type>A</Type>\n</Civ4X>\n");
    test::write_file(dir / "Assets/XML/Binary.xml", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    test::write_file(dir / "Assets/Python/Script.py", "def f():\n\tx = 1\n\treturn x\n");
    auto report = modify_tree(dir / "Assets", dir / "Mod", ModifyOptions{1, 1.0});
    for (const auto& f : report)
        EXPECT_TRUE(f.kind == ModifiedFile::Kind::Added || f.path == "Python/Script.py") << f.path;
    EXPECT_EQ(
        test::read_file(dir / "Assets/XML/Broken.xml"), "<Civ4X>\n\t<X>\n\t\t<Type>A</Type>\n</Civ4X>\n");
}

struct Refusal {
    const char* name;
    // Makes the folders in dir; returns the assets and output folders.
    std::function<std::pair<Path, Path>(const TempDir&)> setup;
    double fraction;
    const char* message;
};

class ModifyTreeRefuses : public testing::TestWithParam<Refusal> { };

TEST_P(ModifyTreeRefuses, withAMessageNamingTheProblem)
{
    TempDir dir;
    auto [assets, out] = GetParam().setup(dir);
    bool had_output = exists(out);
    try {
        modify_tree(assets, out, ModifyOptions{1, GetParam().fraction});
        FAIL() << "no error";
    } catch (const GenericError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
    EXPECT_EQ(exists(out), had_output) << "nothing written";
}

std::pair<Path, Path> usual(const TempDir& dir)
{
    test::write_file(dir / "Assets/Python/Script.py", "x = 1\n");
    return {dir / "Assets", dir / "Mod"};
}

INSTANTIATE_TEST_SUITE_P(Cases, ModifyTreeRefuses,
    testing::Values(Refusal{"MissingAssets",
                        [](const TempDir& d) {
                            return std::pair{d / "Missing", d / "Mod"};
                        },
                        0.1, "Missing\" does not exist"},
        Refusal{"AssetsIsAFile",
            [](const TempDir& d) {
                test::write_file(d / "Assets", "x");
                return std::pair{d / "Assets", d / "Mod"};
            },
            0.1, "is a file"},
        Refusal{"EmptyAssets",
            [](const TempDir& d) {
                mkpath(d / "Assets", 0755);
                return std::pair{d / "Assets", d / "Mod"};
            },
            0.1, "holds no files"},
        Refusal{"OutputInsideAssets",
            [](const TempDir& d) {
                usual(d);
                return std::pair{d / "Assets", d / "Assets/Python/Mod"};
            },
            0.1, "inside the assets folder"},
        Refusal{"OutputNotEmpty",
            [](const TempDir& d) {
                test::write_file(d / "Mod/old.txt", "x");
                return usual(d);
            },
            0.1, "Mod\" is not empty"},
        Refusal{"FractionZero", usual, 0.0, "fraction"}, Refusal{"FractionAboveOne", usual, 1.5, "fraction"},
        Refusal{"FractionNaN", usual, std::numeric_limits<double>::quiet_NaN(), "fraction"}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora
