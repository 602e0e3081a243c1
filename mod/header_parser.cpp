#include "mod/header_parser.h"

namespace velmora {

Mod::HeaderParser::HeaderParser(Mod& m)
    : mod_(m)
{ }

// Names are compared as bytes: Glib::ustring's own comparison collates by the
// locale, which is slow and may call different names equal.
void Mod::HeaderParser::on_start_element(const Glib::ustring& name, const AttributeList&)
{
    text_.clear();
    if (name.raw() == "Change")
        header_done_ = true;
}

void Mod::HeaderParser::on_end_element(const Glib::ustring& ustring_name)
{
    const std::string& name = ustring_name.raw();
    if (name == "Name")
        mod_.name = text_;
    else if (name == "Author")
        mod_.author = text_;
    else if (name == "Version")
        mod_.version = text_;
    else if (name == "Description")
        mod_.description = text_;
}

// The library may hand one text over in several pieces.
void Mod::HeaderParser::on_characters(const Glib::ustring& text) { text_ += text.raw(); }

void Mod::HeaderParser::on_cdata_block(const Glib::ustring& text) { text_ += text.raw(); }

} // namespace velmora
