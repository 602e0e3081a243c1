#ifndef VELMORA_MOD_HEADER_PARSER_H
#define VELMORA_MOD_HEADER_PARSER_H

#include <libxml++/libxml++.h>
#include <string>

#include "mod/mod.h"

namespace velmora {

// Streams a mod file up to its first change and fills the mod's header from
// the "Name", "Author", "Version" and "Description" elements, wherever they
// sit. Scanning the mods folder reads only this much of each file.
class Mod::HeaderParser : public xmlpp::SaxParser {
public:
    explicit HeaderParser(Mod& m);

    // A "Change" start tag has been seen: the header is over.
    bool header_done() const { return header_done_; }

protected:
    void on_start_element(const Glib::ustring& name, const AttributeList& attributes) override;
    void on_end_element(const Glib::ustring& name) override;
    void on_characters(const Glib::ustring& text) override;
    void on_cdata_block(const Glib::ustring& text) override;

private:
    Mod& mod_;
    bool header_done_ = false;
    std::string text_; // character data since the last start tag
};

} // namespace velmora

#endif
