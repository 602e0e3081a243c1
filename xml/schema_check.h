#ifndef VELMORA_XML_SCHEMA_CHECK_H
#define VELMORA_XML_SCHEMA_CHECK_H

#include <functional>
#include <string>
#include <vector>

namespace xmlpp {
class Element;
}

namespace velmora {

class Path;
class Schema;

// One place where a document breaks its schema.
struct SchemaViolation {
    // The keys of the records that hold the fault, outermost first, joined by
    // " / " ("UNIT_WARRIOR / FLAVOR_MILITARY"); "" outside any keyed record.
    std::string record;
    std::string element; // the element at fault (the missing one, for a missing element)
    std::string problem; // what is wrong and what the schema expects there, a sentence
    unsigned line = 0; // of the element at fault or of its parent

    // The same fault, wherever it stands in the file.
    bool same_fault(const SchemaViolation& o) const
    {
        return record == o.record && element == o.element && problem == o.problem;
    }
};

// The faults of the document under root against schema, in document order:
// elements out of the content model's order, required elements missing,
// elements the schema does not allow there, elements repeated that may stand
// once, text where only elements belong and elements where only text belongs.
// The record keys come from the element table.
std::vector<SchemaViolation> check_document(const xmlpp::Element* root, const Schema& schema);

// What a quick pass over a file tells: a readable file without a schema to
// check against, no fault, or a fault (or a text that does not read) that
// check_document on the parsed file will describe.
enum class SchemaScan { no_schema, clean, faulty };

// The same rules as check_document, in one pass over the file without a tree,
// stopping at the first fault: most built files have none, and their tree
// would cost more than the check. schema_of gives the schema that the root's
// "x-schema:NAME" names (NAME is given), or null.
SchemaScan scan_against_schema(const Path& file, const std::function<const Schema*(const std::string&)>& schema_of);

} // namespace velmora

#endif
