#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/format.h"
#include "path/path.h"
#include "path/platform.h"

namespace velmora {
namespace {

// Counts its own destructions, to show that format owns "%O" objects.
struct Probe : fmtobjbase {
    explicit Probe(int* deleted)
        : deleted_(deleted)
    { }
    ~Probe() override { ++*deleted_; }
    void write(std::ostream& os) const override { os << "probe"; }
    int* deleted_;
};

TEST(Format, fillsEachConversionInOrder)
{
    std::string name = "Big Mod";
    EXPECT_EQ(format("Delete mod '%S'?", &name), "Delete mod 'Big Mod'?");
    std::string a = "X", b = "Y";
    EXPECT_EQ(format("Unresolved conflict between mods '%S' and '%S': %s", &a, &b, "Conflict in f"),
        "Unresolved conflict between mods 'X' and 'Y': Conflict in f");
    EXPECT_EQ(format("Attempt to build list of element %S with type %d", &name, -1),
        "Attempt to build list of element Big Mod with type -1");
    EXPECT_EQ(format("%u", 4000000000u), "4000000000");
    EXPECT_EQ(format("[%d]", 2), "[2]");
    EXPECT_EQ(format("100%% of %s", "it"), "100% of it");
}

// A path is shown as the system writes it, whatever its stored form.
TEST(Format, writesAPathInItsNativeForm)
{
    Path p("\\home\\me\\XML\\Things");
    EXPECT_EQ(format("Directory %S does no exist", &p), "Directory " + platform::native(p) + " does no exist");
#ifndef _WIN32
    EXPECT_EQ(format("%S", &p), "/home/me/XML/Things");
#endif
    std::string stored = "XML\\Things";
    EXPECT_EQ(format("%S", &stored), "XML\\Things") << "a plain string is written as it is";
    const Path* none = nullptr;
    EXPECT_EQ(format("<%S>", none), "<>");
}

TEST(Format, ownsAndDeletesItsObjects)
{
    int deleted = 0;
    EXPECT_EQ(format("<%O>", new Probe(&deleted)), "<probe>");
    EXPECT_EQ(deleted, 1);
    (void)format("no conversion", new Probe(&deleted));
    EXPECT_EQ(deleted, 2) << "an unused object is deleted too";
}

TEST(Format, missingArgumentsWriteNothing) { EXPECT_EQ(format("a%sb%dc"), "abc"); }

TEST(Errors, keepTheirMessageWhenCaughtAsGenericError)
{
    try {
        throw ConflictError("Conflict in a");
    } catch (const GenericError& e) {
        EXPECT_STREQ(e.what(), "Conflict in a");
    }
    try {
        throw XmlError(format("XML error in %s: %s", "f.xml", "bad"));
    } catch (const GenericError& e) {
        EXPECT_STREQ(e.what(), "XML error in f.xml: bad");
    }
}

} // namespace
} // namespace velmora
