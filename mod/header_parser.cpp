#include "mod/header_parser.h"

namespace velmora {

Mod::HeaderParser::HeaderParser(Mod& m)
    : mod_(m)
{ }

void Mod::HeaderParser::on_start_element(const Glib::ustring& name, const AttributeList&)
{
    text_.clear();
    if (name == "Change")
        header_done_ = true;
}

void Mod::HeaderParser::on_end_element(const Glib::ustring& name)
{
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
