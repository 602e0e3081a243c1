// The names a data file defines and points at, read in one pass over its
// text: after every apply all of the game's data files are read, and a tree
// of each would cost more than the merge itself.
#include "xml/name_scan.h"

#include <cstring>
#include <unordered_map>

#include "xml/element_info.h"
#include "xml/elements.h"
#include "xml/reference_table.h"

namespace velmora {

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// What the element table says of an element name in this document's group.
struct Kind {
    bool record = false; // a keyed record
    std::string key;
};

struct Open {
    std::string_view name;
    const Kind* kind;
    std::size_t text_begin; // just after the start tag
    bool has_children = false;
};

class Scanner {
public:
    Scanner(std::string_view text, const ReferenceTable& table)
        : text_(text)
        , table_(table)
    { }

    NameScan run();

private:
    const Kind& kind_of(std::string_view name);
    void start(std::string_view name, std::size_t text_begin, bool empty);
    void end(std::size_t tag_begin);
    void leaf(const Open& e, std::string_view value);
    std::size_t skip_past(std::size_t from, const char* what) const;

    std::string_view text_;
    const ReferenceTable& table_;
    std::string group_;
    bool schema_ = false;
    bool constants_ = false; // the keys name constants, not records
    std::unordered_map<std::string_view, Kind> kinds_;
    std::vector<Open> open_;
    // The index in open_ of the record being read, and where its references start.
    std::size_t record_ = SIZE_MAX;
    std::size_t record_refs_ = 0;
    std::string record_key_;
    NameScan out_;
};

const Kind& Scanner::kind_of(std::string_view name)
{
    auto it = kinds_.find(name);
    if (it != kinds_.end())
        return it->second;
    Kind k;
    const std::string n(name);
    if (get_element_type(group_, n) == OBJECT) {
        const char* key = get_object_key(group_, n);
        k.record = key && *key;
        if (k.record)
            k.key = key;
    }
    return kinds_.emplace(name, std::move(k)).first->second;
}

void Scanner::start(std::string_view name, std::size_t text_begin, bool empty)
{
    if (open_.empty()) {
        // Schemas describe the data; their names are not the game's.
        schema_ = name == "Schema" || name.substr(name.find(':') + 1) == "Schema";
        group_ = group_of_root(std::string(name));
        constants_ = table_.constants(group_);
    } else {
        open_.back().has_children = true;
    }
    const Kind& kind = kind_of(name);
    open_.push_back({name, &kind, text_begin});
    if (kind.record && record_ == SIZE_MAX) {
        record_ = open_.size() - 1;
        record_refs_ = out_.references.size();
        record_key_.clear();
    }
    if (empty)
        end(text_begin);
}

void Scanner::end(std::size_t tag_begin)
{
    if (open_.empty())
        return;
    Open e = open_.back();
    open_.pop_back();
    if (!e.has_children && tag_begin > e.text_begin)
        leaf(e, text_.substr(e.text_begin, tag_begin - e.text_begin));
    if (open_.size() == record_)
        record_ = SIZE_MAX;
}

void Scanner::leaf(const Open& e, std::string_view raw)
{
    const std::string_view value = trimmed(raw);
    if (value.empty())
        return;
    const bool key = record_ != SIZE_MAX && open_.size() == record_ + 1 && e.name == open_[record_].kind->key;
    // Names start with a capital; most leaves are numbers and words.
    if (!key && (value.front() < 'A' || value.front() > 'Z'))
        return;
    // Text around a comment is rare in the game's data; it is never a name.
    if (value.find('<') != std::string_view::npos)
        return;
    // The record's own key: a name the file defines.
    if (key) {
        record_key_ = std::string(value);
        if (!constants_)
            out_.defined.push_back(record_key_);
        for (std::size_t i = record_refs_; i < out_.references.size(); ++i)
            out_.references[i].record = record_key_;
        return;
    }
    if (table_.family_of(value).empty() || table_.exempt_field(group_, e.name))
        return;
    // Until the key is read (a UnitInfo starts with its Class), the record is
    // named when its key comes.
    out_.references.push_back(
        {record_ != SIZE_MAX ? record_key_ : std::string(), std::string(e.name), std::string(value)});
}

std::size_t Scanner::skip_past(std::size_t from, const char* what) const
{
    const std::size_t at = what[1] ? text_.find(what, from) : text_.find(what[0], from);
    return at == std::string_view::npos ? text_.size() : at + std::strlen(what);
}

NameScan Scanner::run()
{
    std::size_t i = 0;
    const std::size_t n = text_.size();
    while (i < n && !schema_) {
        const void* lt = std::memchr(text_.data() + i, '<', n - i);
        if (!lt)
            break;
        const std::size_t tag = static_cast<const char*>(lt) - text_.data();
        const char next = tag + 1 < n ? text_[tag + 1] : '\0';
        if (next == '!' && text_.compare(tag, 4, "<!--") == 0) {
            i = skip_past(tag + 4, "-->");
            continue;
        }
        if (next == '!' && text_.compare(tag, 9, "<![CDATA[") == 0) {
            i = skip_past(tag + 9, "]]>");
            continue;
        }
        if (next == '?' || next == '!') {
            i = skip_past(tag + 1, ">");
            continue;
        }
        if (next == '/') {
            end(tag);
            i = skip_past(tag + 2, ">");
            continue;
        }
        // A start tag; attribute values may hold '>'.
        std::size_t j = tag + 1;
        while (j < n && !blank(text_[j]) && text_[j] != '>' && text_[j] != '/')
            ++j;
        const std::string_view name = text_.substr(tag + 1, j - tag - 1);
        char quote = 0;
        while (j < n && (quote || text_[j] != '>')) {
            if (quote ? text_[j] == quote : (text_[j] == '"' || text_[j] == '\''))
                quote = quote ? 0 : text_[j];
            ++j;
        }
        if (j >= n || name.empty())
            break;
        start(name, j + 1, text_[j - 1] == '/');
        i = j + 1;
    }
    if (schema_)
        return NameScan();
    return std::move(out_);
}

} // namespace

NameScan scan_names(std::string_view text, const ReferenceTable& table) { return Scanner(text, table).run(); }

} // namespace velmora
