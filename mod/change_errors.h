#ifndef VELMORA_MOD_CHANGE_ERRORS_H
#define VELMORA_MOD_CHANGE_ERRORS_H

#include <memory>
#include <string>

namespace xmlpp {
class DomParser;
}

namespace velmora {

class Mod;
struct Change;

// A file or mod name as it may stand in a message: control bytes as \xNN.
std::string printable_name(const std::string& s);

// Where a failure happened, to append to a message that does not say it:
// " (mod 'Name', change to XML\Units\CIV4UnitInfos.xml)".
std::string change_context(const Mod& mod, const Change& change);

// The parsed text of an xml change. Throws XmlError "XML error in mod data: "
// with the XML library's message and the change's context.
std::unique_ptr<xmlpp::DomParser> parse_change_text(const Mod& mod, const Change& change);

} // namespace velmora

#endif
