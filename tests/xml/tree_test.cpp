#include <gtest/gtest.h>

#include <libxml++/document.h>
#include <libxml++/nodes/element.h>
#include <libxml++/parsers/domparser.h>

#include <memory>
#include <string>

#include "support/case_name.h"
#include "xml/parse.h"
#include "xml/tree.h"

using namespace velmora;

namespace {

struct Doc {
    std::unique_ptr<xmlpp::DomParser> parser;
    xmlpp::Element* root_element() const { return parser->get_document()->get_root_node(); }
    TreeNode root() const { return TreeNode(root_element()); }
    // The root's first element child named name.
    TreeNode child(const std::string& name) const
    {
        for (TreeNode c = root().first_child(); c; c = c.next())
            if (c.is_element() && c.name() == name)
                return c;
        ADD_FAILURE() << "no element " << name;
        return TreeNode();
    }
    // The document as written, without its XML declaration.
    std::string text() const
    {
        std::string s = parser->get_document()->write_to_string();
        s.erase(0, s.find('\n') + 1);
        if (!s.empty() && s.back() == '\n')
            s.pop_back();
        return s;
    }
};

Doc parse(const std::string& text) { return {parse_xml_text(text)}; }

// ---- adding a copy where the indentation says ----

struct AddCase {
    const char* name;
    const char* base; // its root is the parent
    const char* added; // its root is copied
    const char* before; // a child of the parent; null: appended
    const char* expected;
};

class TreeAdd : public testing::TestWithParam<AddCase> { };

TEST_P(TreeAdd, putsTheCopyWithTheIndentationOfItsNeighbours)
{
    const AddCase& c = GetParam();
    Doc base = parse(c.base), added = parse(c.added);
    const TreeNode copy = copy_to_document(added.root_element(), base.root());
    if (c.before)
        insert_indented(copy, base.child(c.before));
    else
        append_indented(base.root(), copy);
    adopt_namespaces(copy);
    EXPECT_EQ(base.text(), c.expected);
    // The copy belongs to the base's document: the change's may go first.
    added.parser.reset();
    EXPECT_EQ(base.text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeAdd,
    testing::Values(AddCase{"beforeAnIndentedElement", "<R>\n\t<A/>\n\t<B/>\n</R>", "<N/>", "B",
                        "<R>\n\t<A/>\n\t<N/>\n\t<B/>\n</R>"},
        AddCase{"beforeTheFirst", "<R>\n\t<A/>\n</R>", "<N/>", "A", "<R>\n\t<N/>\n\t<A/>\n</R>"},
        AddCase{"beforeAnElementWithoutIndent", "<R><A/><B/></R>", "<N/>", "B", "<R><A/><N/><B/></R>"},
        AddCase{
            "beforeAfterAComment", "<R>\n\t<!--c--><A/>\n</R>", "<N/>", "A", "<R>\n\t<!--c--><N/><A/>\n</R>"},
        AddCase{"appendedAfterTheLastElement", "<R>\n\t\t<A/>\n\t\t<B/>\n\t</R>", "<N>\n\t<C>1</C>\n</N>",
            nullptr, "<R>\n\t\t<A/>\n\t\t<B/>\n\t\t<N>\n\t<C>1</C>\n</N>\n\t</R>"},
        AddCase{"appendedToAnEmptyParent", "<R/>", "<N/>", nullptr, "<R><N/></R>"},
        AddCase{"appendedWithoutIndent", "<R><A/></R>", "<N/>", nullptr, "<R><A/><N/></R>"},
        // Only white space that closes the parent is kept after the copy.
        AddCase{"appendedAfterACommentAtTheEnd", "<R>\n\t<A/>\n\t<!--c-->\n</R>", "<N/>", nullptr,
            "<R>\n\t<A/>\n\t<!--c-->\n<N/></R>"},
        // Namespaces: the copy declares only what the base does not declare alike around it.
        AddCase{"intoTheSameDefaultNamespace", "<R xmlns=\"x-schema:S.xml\">\n\t<A/>\n</R>",
            "<N xmlns=\"x-schema:S.xml\"><C/></N>", nullptr,
            "<R xmlns=\"x-schema:S.xml\">\n\t<A/>\n\t<N><C/></N>\n</R>"},
        AddCase{"intoAnotherDefaultNamespace", "<R xmlns=\"x-schema:S.xml\"><A/></R>",
            "<N xmlns=\"x-schema:T.xml\"/>", "A",
            "<R xmlns=\"x-schema:S.xml\"><N xmlns=\"x-schema:T.xml\"/><A/></R>"},
        AddCase{"intoNoNamespace", "<R><A/></R>", "<N xmlns=\"x-schema:S.xml\"/>", nullptr,
            "<R><A/><N xmlns=\"x-schema:S.xml\"/></R>"},
        AddCase{"prefixedAttributeIntoTheSameBinding", "<R xmlns:p=\"urn:p\"/>",
            "<N xmlns:p=\"urn:p\" p:a=\"1\"/>", nullptr, "<R xmlns:p=\"urn:p\"><N p:a=\"1\"/></R>"},
        AddCase{"prefixBoundElsewhereToAnotherUri", "<R xmlns:p=\"urn:q\"/>",
            "<N xmlns:p=\"urn:p\" p:a=\"1\"/>", nullptr,
            "<R xmlns:p=\"urn:q\"><N xmlns:p=\"urn:p\" p:a=\"1\"/></R>"}),
    ::velmora::test::CaseNameBy<&AddCase::name>());

// ---- removing and replacing ----

struct RemoveCase {
    const char* name;
    const char* base;
    const char* removed; // a child of the root
    const char* expected;
};

class TreeRemove : public testing::TestWithParam<RemoveCase> { };

TEST_P(TreeRemove, takesTheIndentBeforeTheElementWithIt)
{
    const RemoveCase& c = GetParam();
    Doc base = parse(c.base);
    const TreeNode removed = base.child(c.removed);
    removed.element(); // its libxml++ object goes with it
    remove_indented(removed);
    EXPECT_EQ(base.text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeRemove,
    testing::Values(
        RemoveCase{"middle", "<R>\n\t<A/>\n\t<B><C/></B>\n\t<D/>\n</R>", "B", "<R>\n\t<A/>\n\t<D/>\n</R>"},
        RemoveCase{"last", "<R>\n\t<A/>\n\t<B/>\n</R>", "B", "<R>\n\t<A/>\n</R>"},
        RemoveCase{"notIndented", "<R><A/><B/></R>", "A", "<R><B/></R>"},
        RemoveCase{"afterAComment", "<R>\n\t<!--c--><A/>\n</R>", "A", "<R>\n\t<!--c-->\n</R>"},
        RemoveCase{"afterText", "<R>x <A/></R>", "A", "<R>x </R>"}),
    ::velmora::test::CaseNameBy<&RemoveCase::name>());

TEST(TreeReplace, putsTheCopyInTheOldPlaceAndFreesTheOld)
{
    Doc base = parse("<R xmlns=\"x-schema:S.xml\">\n\t<A/>\n\t<B>old</B>\n\t<C/>\n</R>");
    Doc change = parse("<B xmlns=\"x-schema:S.xml\"><D>new</D></B>");
    const TreeNode old = base.child("B");
    old.element();
    const TreeNode copy = copy_to_document(change.root_element(), base.root());
    replace_node(old, copy);
    adopt_namespaces(copy);
    EXPECT_EQ(base.text(), "<R xmlns=\"x-schema:S.xml\">\n\t<A/>\n\t<B><D>new</D></B>\n\t<C/>\n</R>");
}

TEST(TreeRemoveNonelements, keepsOnlyTheElements)
{
    Doc base = parse("<R>\n\t<A>a</A>\n\t<!--c-->\n\t<?p x?>text<B/>\n</R>");
    remove_nonelements(base.root());
    EXPECT_EQ(base.text(), "<R><A>a</A><B/></R>");
}

// ---- namespaced attributes ----

struct AttributeCase {
    const char* name;
    const char* base; // the attribute goes on the root's child A
    const char* expected;
};

class TreeNamespacedAttribute : public testing::TestWithParam<AttributeCase> { };

TEST_P(TreeNamespacedAttribute, declaresThePrefixOnTheRootOnlyWhenNeeded)
{
    Doc base = parse(GetParam().base);
    set_namespaced_attribute(base.child("A"), "urn:mark", "m", "remove", "1");
    EXPECT_EQ(base.text(), GetParam().expected);
    remove_namespaced_attribute(base.child("A"), "urn:mark", "remove");
    EXPECT_EQ(base.text().find(":remove="), std::string::npos) << base.text();
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeNamespacedAttribute,
    testing::Values(
        AttributeCase{"declaredOnTheRoot", "<R><A/></R>", "<R xmlns:m=\"urn:mark\"><A m:remove=\"1\"/></R>"},
        AttributeCase{"prefixTakenOnTheRoot", "<R xmlns:m=\"urn:other\"><A/></R>",
            "<R xmlns:m=\"urn:other\" xmlns:m1=\"urn:mark\"><A m1:remove=\"1\"/></R>"},
        AttributeCase{"prefixAndNextTaken", "<R xmlns:m=\"urn:other\" xmlns:m1=\"urn:more\"><A/></R>",
            "<R xmlns:m=\"urn:other\" xmlns:m1=\"urn:more\" xmlns:m2=\"urn:mark\"><A m2:remove=\"1\"/></R>"},
        AttributeCase{"alreadyInScope", "<R xmlns:q=\"urn:mark\"><A/></R>",
            "<R xmlns:q=\"urn:mark\"><A q:remove=\"1\"/></R>"},
        AttributeCase{"anAttributeWithoutNamespaceStays", "<R><A remove=\"x\"/></R>",
            "<R xmlns:m=\"urn:mark\"><A remove=\"x\" m:remove=\"1\"/></R>"}),
    ::velmora::test::CaseNameBy<&AttributeCase::name>());

TEST(TreeNamespaceDeclaration, isDroppedByUri)
{
    Doc base = parse("<R xmlns:a=\"urn:a\" xmlns:b=\"urn:b\" xmlns:c=\"urn:a\"><A/></R>");
    EXPECT_TRUE(declares_namespace(base.root(), "urn:a"));
    EXPECT_FALSE(declares_namespace(base.child("A"), "urn:a"));
    undeclare_namespace(base.root(), "urn:a");
    EXPECT_FALSE(declares_namespace(base.root(), "urn:a"));
    EXPECT_EQ(base.text(), "<R xmlns:b=\"urn:b\"><A/></R>");
}

// ---- copies made node by node into another document ----

struct ScopeCase {
    const char* name;
    const char* target; // its root receives the copy
    const char* expected;
};

class TreeCopyInScope : public testing::TestWithParam<ScopeCase> { };

TEST_P(TreeCopyInScope, usesTheTargetsBindingsAndDeclaresNone)
{
    Doc game = parse(
        "<G xmlns=\"x-schema:S.xml\" xmlns:p=\"urn:p\"><U><T>X</T><F p:a=\"1\">y<!--c--></F></U></G>");
    Doc target = parse(GetParam().target);
    const TreeNode u = game.child("U");
    const TreeNode mark = append_element_like(target.root(), u);
    ASSERT_TRUE(mark);
    for (TreeNode c = u.first_child(); c; c = c.next())
        append_copy_in_scope(mark, c);
    game.parser.reset();
    EXPECT_EQ(target.text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeCopyInScope,
    testing::Values(
        ScopeCase{"sameBindings", "<G xmlns=\"x-schema:S.xml\" xmlns:p=\"urn:p\"/>",
            "<G xmlns=\"x-schema:S.xml\" xmlns:p=\"urn:p\"><U><T>X</T><F p:a=\"1\">y</F></U></G>"},
        ScopeCase{"otherPrefix", "<G xmlns=\"x-schema:S.xml\" xmlns:q=\"urn:p\"/>",
            "<G xmlns=\"x-schema:S.xml\" xmlns:q=\"urn:p\"><U><T>X</T><F q:a=\"1\">y</F></U></G>"},
        // Unbound there: in no namespace, rather than a declaration on every copy.
        ScopeCase{"unbound", "<G/>", "<G><U><T>X</T><F a=\"1\">y</F></U></G>"}),
    ::velmora::test::CaseNameBy<&ScopeCase::name>());

// ---- reading ----

struct SubtreeCase {
    const char* name;
    const char* a;
    const char* b;
    bool same;
};

class TreeSameSubtree : public testing::TestWithParam<SubtreeCase> { };

TEST_P(TreeSameSubtree, comparesEverythingTheParserKept)
{
    Doc a = parse(GetParam().a), b = parse(GetParam().b);
    EXPECT_EQ(same_subtree(a.root(), b.root()), GetParam().same);
    EXPECT_EQ(same_subtree(b.root(), a.root()), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeSameSubtree,
    testing::Values(SubtreeCase{"identical", "<A x=\"1\">\n\t<B>t</B><!--c-->\n</A>",
                        "<A x=\"1\">\n\t<B>t</B><!--c-->\n</A>", true},
        SubtreeCase{"text", "<A><B>t</B></A>", "<A><B>u</B></A>", false},
        SubtreeCase{"whiteSpace", "<A>\n\t<B/>\n</A>", "<A>\n<B/>\n</A>", false},
        SubtreeCase{"comment", "<A><!--c--></A>", "<A><!--d--></A>", false},
        SubtreeCase{"attributeOrder", "<A x=\"1\" y=\"2\"/>", "<A y=\"2\" x=\"1\"/>", false},
        SubtreeCase{"attributeMissing", "<A x=\"1\"/>", "<A x=\"1\" y=\"2\"/>", false},
        SubtreeCase{"namespace", "<A xmlns=\"urn:a\"/>", "<A xmlns=\"urn:b\"/>", false},
        SubtreeCase{"prefixOnly", "<p:A xmlns:p=\"urn:a\"/>", "<q:A xmlns:q=\"urn:a\"/>", true},
        SubtreeCase{"childMissing", "<A><B/></A>", "<A><B/><C/></A>", false}),
    ::velmora::test::CaseNameBy<&SubtreeCase::name>());

TEST(TreeNodeReading, givesTextsElementsAndBlankText)
{
    Doc d = parse("<R>\n\t<A>one<!--c-->two</A>\n\t<B/>\n</R>");
    const TreeNode a = d.child("A");
    EXPECT_EQ(a.text(), "one");
    EXPECT_EQ(d.child("B").text(), "");
    EXPECT_EQ(d.root().first_element(), a);
    EXPECT_TRUE(d.root().has_element_children());
    EXPECT_FALSE(a.has_element_children());
    EXPECT_EQ(a.first_child().top(), d.root());
    EXPECT_TRUE(is_blank_text(a.prev()));
    EXPECT_FALSE(is_blank_text(a.first_child()));
    EXPECT_FALSE(is_blank_text(a));
    EXPECT_FALSE(is_blank_text(TreeNode()));
    EXPECT_EQ(a.element()->get_name(), "A");
    EXPECT_EQ(a.element(), a.element()); // one libxml++ object per node
}

} // namespace
