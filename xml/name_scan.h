#ifndef VELMORA_XML_NAME_SCAN_H
#define VELMORA_XML_NAME_SCAN_H

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class ReferenceTable;

// A value of a family the reference table knows, where a record points at a name.
struct ScannedReference {
    std::string record; // the key of the record holding it; "" outside any record
    std::string field; // the element whose text it is
    std::string name;
};

// The names one XML data file defines and the names it points at.
struct NameScan {
    // The keys of its records (those not inside another record): the Type of
    // a UnitInfo, the Tag of a text, the Type of an art define.
    std::vector<std::string> defined;
    // Values of the table's families, in document order; a record's own key
    // is a definition, not a reference.
    std::vector<ScannedReference> references;
};

// Reads a document's text once, without building a tree: the records are
// known from the element table (as merging knows them). A file that is not
// well formed gives what was read up to the fault; an XDR schema gives nothing.
NameScan scan_names(std::string_view text, const ReferenceTable& table);

} // namespace velmora

#endif
