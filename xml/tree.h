#ifndef VELMORA_XML_TREE_H
#define VELMORA_XML_TREE_H

// The XML library's tree reached directly, for walks that must not make a
// libxml++ object of every node they pass (a file of thousands of records is
// walked node by node) and for the edits libxml++ does not offer: copies
// between documents that keep the indentation, namespaces moved or dropped.
// TreeNode and TreeAttribute are handles: copied freely, owning nothing, valid
// as long as the node. The library's own types stay behind them, in xml/.

#include <libxml++/nodes/element.h>
#include <libxml/tree.h>

#include <string>
#include <string_view>

namespace velmora {

class TreeAttribute {
public:
    TreeAttribute() = default;
    explicit TreeAttribute(xmlAttr* a)
        : a_(a)
    { }

    explicit operator bool() const { return a_ != nullptr; }
    TreeAttribute next() const { return TreeAttribute(a_->next); }
    const char* name() const { return reinterpret_cast<const char*>(a_->name); }
    // The URI of its namespace; null when it is in none.
    const char* namespace_uri() const
    {
        return a_->ns ? reinterpret_cast<const char*>(a_->ns->href) : nullptr;
    }
    // The texts of its value joined.
    std::string value() const;

private:
    xmlAttr* a_ = nullptr;
};

class TreeNode {
public:
    TreeNode() = default;
    explicit TreeNode(xmlNode* n)
        : n_(n)
    { }
    explicit TreeNode(const xmlNode* n)
        : n_(const_cast<xmlNode*>(n))
    { }
    // The node behind a libxml++ object.
    explicit TreeNode(const xmlpp::Node* n)
        : n_(const_cast<xmlpp::Node*>(n)->cobj())
    { }

    explicit operator bool() const { return n_ != nullptr; }
    bool operator==(TreeNode other) const { return n_ == other.n_; }
    bool operator!=(TreeNode other) const { return n_ != other.n_; }

    bool is_element() const { return n_->type == XML_ELEMENT_NODE; }
    bool is_text() const { return n_->type == XML_TEXT_NODE; }
    const char* name() const { return reinterpret_cast<const char*>(n_->name); }
    // Where the name is stored. The parser keeps each name once, in its
    // document's dictionary: two nodes whose names are interned there have the
    // same name exactly when these are equal.
    const void* name_address() const { return n_->name; }
    bool name_interned() const
    {
        return n_->doc && n_->doc->dict && xmlDictOwns(n_->doc->dict, n_->name) == 1;
    }
    // A text node's text (null when it has none); null for an element.
    const char* content() const { return reinterpret_cast<const char*>(n_->content); }
    // The URI of an element's namespace; null when it is in none.
    const char* namespace_uri() const
    {
        return n_->ns ? reinterpret_cast<const char*>(n_->ns->href) : nullptr;
    }

    TreeNode parent() const { return TreeNode(n_->parent); }
    TreeNode first_child() const { return TreeNode(n_->children); }
    TreeNode last_child() const { return TreeNode(n_->last); }
    TreeNode next() const { return TreeNode(n_->next); }
    TreeNode prev() const { return TreeNode(n_->prev); }
    TreeAttribute first_attribute() const
    {
        return TreeAttribute(n_->type == XML_ELEMENT_NODE ? n_->properties : nullptr);
    }

    // The first element child, or a null handle.
    TreeNode first_element() const
    {
        for (xmlNode* c = n_->children; c; c = c->next)
            if (c->type == XML_ELEMENT_NODE)
                return TreeNode(c);
        return TreeNode();
    }
    bool has_element_children() const { return static_cast<bool>(first_element()); }
    // The first text child (the text libxml++'s get_child_text gives), or a
    // null handle.
    TreeNode child_text() const
    {
        for (xmlNode* c = n_->children; c; c = c->next)
            if (c->type == XML_TEXT_NODE)
                return TreeNode(c);
        return TreeNode();
    }
    // The first text child's text; empty when it has none.
    std::string_view text() const
    {
        const TreeNode t = child_text();
        return t && t.n_->content ? std::string_view(t.content()) : std::string_view();
    }
    // The element at the top of the tree the node is in (the node itself
    // when it has no element above it).
    TreeNode top() const
    {
        xmlNode* n = n_;
        while (n->parent && n->parent->type == XML_ELEMENT_NODE)
            n = n->parent;
        return TreeNode(n);
    }
    // The libxml++ object of an element, made on the first call.
    xmlpp::Element* element() const
    {
        xmlpp::Node::create_wrapper(n_);
        return static_cast<xmlpp::Element*>(n_->_private);
    }

    xmlNode* cobj() const { return n_; }

private:
    xmlNode* n_ = nullptr;
};

// Whether n is a text node of nothing but spaces, tabs and line ends (false
// for a null handle).
bool is_blank_text(TreeNode n);

// A deep copy of e made in the document of `place`, in no tree yet. Throws
// GenericError naming e when the library cannot make it.
TreeNode copy_to_document(const xmlpp::Element* e, TreeNode place);
// Frees a node that is in no tree, and what it holds.
void free_detached(TreeNode n);

// Puts copy, an element in no tree, before `before`, with the indentation
// that stands before `before` repeated for it.
void insert_indented(TreeNode copy, TreeNode before);
// Adds copy, an element in no tree, after parent's last element, indented
// as that one is: between it and the white space that closes parent.
void append_indented(TreeNode parent, TreeNode copy);
// Puts copy, an element in no tree, where old is, and frees old with its
// libxml++ objects.
void replace_node(TreeNode old, TreeNode copy);
// Takes n out of its tree and frees it with its libxml++ objects.
void remove_node(TreeNode n);
// The same with the white space that indents n.
void remove_indented(TreeNode n);
// Removes every child node of e that is not an element.
void remove_nonelements(TreeNode e);

// Drops the namespace declarations of copy (an element just put in its
// tree) that the tree around it already makes alike (same prefix, same
// URI), its elements and attributes then using the outer one: an element
// copied from another document declares again what that one declared on its
// root.
void adopt_namespaces(TreeNode copy);
// Whether e declares a namespace of that URI on itself.
bool declares_namespace(TreeNode e, const char* uri);
// Drops e's declarations of a namespace of that URI. Nothing in e may use
// them.
void undeclare_namespace(TreeNode e, const char* uri);

// Sets the attribute `name` of the namespace `uri` on e to value. When no
// prefix is bound to the URI where e stands, it is declared on the top
// element of e's tree with the prefix `prefix`, or that prefix followed by
// 1, 2... when the top element binds it to something else already.
void set_namespaced_attribute(
    TreeNode e, const char* uri, const char* prefix, const char* name, const char* value);
// Removes the attribute `name` of the namespace `uri` that is in scope at e
// (of no namespace when the URI is not in scope).
void remove_namespaced_attribute(TreeNode e, const char* uri, const char* name);

// Appends to parent an empty element named as `like` (an element of any
// document), in the namespace that parent's scope binds to like's namespace
// URI, else in none. Null when the library cannot make it.
TreeNode append_element_like(TreeNode parent, TreeNode like);
// Appends to parent a copy of n (an element with its content, or a text
// node; nothing for anything else) of any document: its elements and
// attributes in the namespaces that parent's scope binds to their URIs, so
// that the copy declares none of its own. Throws GenericError naming an
// element that cannot be made.
void append_copy_in_scope(TreeNode parent, TreeNode n);

// The two subtrees as the parser built them are the same: names,
// namespaces, attributes in order, texts, comments, everything.
bool same_subtree(TreeNode a, TreeNode b);

} // namespace velmora

#endif
