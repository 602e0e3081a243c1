#include "xml/parse.h"

#include <libxml++/exceptions/exception.h>
#include <libxml++/parsers/domparser.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <limits>

#include "base/utf8.h"
#include "path/file_io.h"
#include "path/path.h"

namespace velmora {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether the text opens with an XML declaration that names an encoding.
bool declares_encoding(const std::string& bytes)
{
    if (bytes.compare(0, 5, "<?xml") != 0 || bytes.size() < 6 || !is_blank(bytes[5]))
        return false;
    std::string::size_type end = bytes.find("?>");
    std::string::size_type encoding = bytes.find("encoding", 5);
    return encoding != std::string::npos && encoding < end;
}

bool has_byte_order_mark(const std::string& bytes)
{
    return bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0
        || bytes.compare(0, 2, "\xFF\xFE") == 0;
}

// A warning (a relative namespace URI, say) does not make a text unreadable,
// but the library reports the context's last message as a parse error, and
// libxml2 records warnings there too. Warnings are dropped on arrival; errors
// still reach the library's own handler and fail the parse.
extern "C" void drop_warning(void* context, const char*, ...)
{
    auto* parser_context = static_cast<xmlParserCtxtPtr>(context);
    if (parser_context && parser_context->lastError.level == XML_ERR_WARNING)
        xmlResetError(&parser_context->lastError);
}

class Parser : public xmlpp::DomParser {
protected:
    void initialize_context() override
    {
        xmlpp::DomParser::initialize_context();
        if (context_ && context_->sax)
            context_->sax->warning = &drop_warning;
    }
};

extern "C" void drop_message(void*, const char*, ...) { }

std::unique_ptr<xmlpp::DomParser> parse_bytes(const std::string& bytes)
{
    quiet_xml_library();
    // The game reads undeclared files as ISO-8859-1; some of its files rely on that.
    if (!has_byte_order_mark(bytes) && !declares_encoding(bytes) && !is_valid_utf8(bytes))
        return parse_bytes(latin1_to_utf8(bytes));
    if (bytes.size() > std::numeric_limits<xmlpp::Parser::size_type>::max())
        throw xmlpp::exception("The XML text is too large");
    auto parser = std::make_unique<Parser>();
    parser->set_throw_messages(true);
    parser->set_validate(false);
    parser->set_substitute_entities(false);
    parser->set_include_default_attributes(false);
    // Nothing outside the text is ever fetched or expanded.
    parser->set_parser_options(XML_PARSE_NONET,
        XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_DTDVALID | XML_PARSE_XINCLUDE
            | XML_PARSE_HUGE);
    parser->parse_memory_raw(reinterpret_cast<const unsigned char*>(bytes.data()),
        static_cast<xmlpp::Parser::size_type>(bytes.size()));
    return parser;
}

} // namespace

void quiet_xml_library()
{
    // Only the generic handler: a structured one would take the parse errors
    // away from the parsers, whose messages become the exceptions' text.
    thread_local bool quiet = false;
    if (quiet)
        return;
    xmlSetGenericErrorFunc(nullptr, &drop_message);
    quiet = true;
}

std::unique_ptr<xmlpp::DomParser> parse_game_file(const Path& file)
{
    std::string bytes;
    if (read_whole_file(file, bytes) != 0)
        throw xmlpp::exception("The file cannot be read");
    return parse_bytes(bytes);
}

bool scan_game_file(const Path& file, xmlSAXHandler handler, void* user)
{
    quiet_xml_library();
    std::string bytes;
    if (read_whole_file(file, bytes) != 0)
        return false;
    if (!has_byte_order_mark(bytes) && !declares_encoding(bytes) && !is_valid_utf8(bytes))
        bytes = latin1_to_utf8(bytes);
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return false;
    handler.initialized = XML_SAX2_MAGIC;
    handler.error = &drop_message;
    handler.warning = &drop_message;
    handler.fatalError = &drop_message;
    handler.serror = nullptr;
    xmlParserCtxtPtr context = xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size()));
    if (!context)
        return false;
    xmlSAXHandlerPtr own = context->sax;
    context->sax = &handler;
    context->_private = user;
    // Nothing outside the text is ever fetched or expanded.
    xmlCtxtUseOptions(context, XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR);
    xmlParseDocument(context);
    const bool ok = context->wellFormed && !context->disableSAX;
    context->sax = own;
    xmlFreeParserCtxt(context);
    return ok;
}

std::unique_ptr<xmlpp::DomParser> parse_xml_text(const std::string& text) { return parse_bytes(text); }

} // namespace velmora
