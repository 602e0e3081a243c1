#ifndef VELMORA_MOD_REMOVAL_H
#define VELMORA_MOD_REMOVAL_H

#include <string>
#include <vector>

namespace xmlpp {
class Element;
}

namespace velmora {

class Mod;
class TreeNode;
struct Change;

// What an xml change removes from the game's file. A removal is an element of
// the change marked with the attribute remove="1" in Velmora's own namespace
// (declared on the change's root as xmlns:velmora="urn:velmora:change"),
// standing where the removed element stands in the game's file:
//   a record:  <UnitInfo velmora:remove="1"><Type>UNIT_WARRIOR</Type></UnitInfo>
//   a field:   <iCost velmora:remove="1"/>
//   a set item: <PrereqBonus velmora:remove="1">BONUS_IRON</PrereqBonus>
// A change without removals holds no trace of the namespace.
extern const char* const removal_namespace;

// Whether e carries the mark. Throws GenericError for an attribute of
// Velmora's namespace that is not a well-formed mark (another name, or a
// value other than "1"): a typing error of a hand-written change must not
// pass as a change to merge.
bool is_removal(const xmlpp::Element* e);
bool is_removal(TreeNode e);

// Marks e, declaring the namespace on its document's root when needed.
void mark_removal(TreeNode e);

// Whether e or an element below it is marked.
bool holds_removal(TreeNode e);

// Takes the marked elements out of e's subtree, and then the elements that
// only led to them: a record left with nothing but its key, a collection or
// set left empty. True when e itself is left with nothing to add. `top` is
// the name of the top element of the document e comes from (e may be a copy
// not yet in a document): it decides how the element table types e.
bool drop_removals(TreeNode e, const std::string& top);

// Drops the namespace's declaration from e when nothing in e uses it: a copy
// of a change's element must not carry it into the game's file.
void forget_removal_namespace(TreeNode e);

// Whether everything e changes is a removal (e is marked, or all it holds
// besides a record's key are removals), and the text by which two such
// elements are compared; "" when e changes anything else.
std::string removal_signature(const xmlpp::Element* e);

// The report's line for the removal of `item` from the element reached by
// `path` (the keys from the collection of the file's records down), or from
// the collection named `top` when path is empty:
// "UNIT_GERMAN_PANZER: FreePromotions: removed PROMOTION_FLANKING1".
std::string removal_line(const std::vector<std::string>& path, const std::string& top, const std::string& item);

// How a removed set item is named: its text, or its element name when it
// has none.
std::string removed_item_name(const std::string& text, const std::string& element_name);

// What merging a change's removals met, for the warnings of an apply. Each
// place is given by its keys from the collection of the file's records down
// ("UNIT_WARRIOR", "FreePromotions", "PROMOTION_FLANKING1").
struct RemovalLog {
    struct Missing {
        std::vector<std::string> place; // a record the file lacks
        bool whole = false; // the change removes the record itself, not a part of it
    };
    std::vector<Missing> missing;
    std::vector<std::vector<std::string>> removed; // every record, field and item removed
};

// The removals of the change whose root is root, one report line each, in
// the order of the change's keys. Parts that cannot be keyed are skipped:
// merging reports them.
std::vector<std::string> describe_removals(xmlpp::Element* root);
// The same for a change of mod (none for a change that is not xml). Throws
// XmlError when its text cannot be parsed.
std::vector<std::string> change_removals(const Mod& mod, const Change& change);

} // namespace velmora

#endif
