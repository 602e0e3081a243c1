// Who made each part of a built file: the record fields, script lines and
// whole files each mod put there, and the mods they replaced.
#include "mod/provenance.h"

#include <libxml++/nodes/element.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "diff/diff.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/element_info.h"
#include "xml/elements.h"

namespace velmora {

const char* const Provenance::file_name = ".velmora-provenance";

namespace {

const char* const header = "velmora-provenance 1";

// Values are kept to show who set them, not to rebuild anything.
const std::size_t value_limit = 120;

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// An element's content on one line: a leaf's text, else its children as
// "{Name: value, ...}"; stops soon after limit.
void compact(const xmlpp::Element* e, std::string& out, std::size_t limit)
{
    bool any = false;
    for (const xmlpp::Node* n : e->get_children()) {
        const auto* c = dynamic_cast<const xmlpp::Element*>(n);
        if (!c)
            continue;
        out += any ? ", " : "{";
        any = true;
        out += c->get_name();
        out += ": ";
        compact(c, out, limit);
        if (out.size() > limit)
            return;
    }
    if (any)
        out += '}';
    else
        out += trimmed(element_text(e));
}

std::string shown(const xmlpp::Element* e, bool cut)
{
    std::string value;
    compact(e, value, cut ? value_limit : std::string::npos);
    if (!cut || value.size() <= value_limit)
        return value;
    std::size_t at = value_limit;
    while (at > 0 && (static_cast<unsigned char>(value[at]) & 0xC0) == 0x80)
        --at; // not inside a UTF-8 sequence
    return value.substr(0, at) + "...";
}

void walk(xmlpp::Element* e, const std::string& path, bool cut, RecordFields& out)
{
    const int type = get_element_type(e);
    if (type == TOPLEVEL) {
        if (xmlpp::Element* c = get_child_element(e))
            walk(c, path, cut, out);
        return;
    }
    const std::string here = path.empty() ? std::string(e->get_name()) : path;
    if (type != CONTAINER && type != OBJECT) {
        auto& record = out[here];
        record.first = e->get_name();
        record.second[e->get_name()] = shown(e, cut);
        return;
    }
    ElementMap map;
    try {
        map = build_element_map(e);
    } catch (const GenericError&) {
        return; // the merge said what is wrong with it
    }
    const char* key_field = type == OBJECT ? get_object_key(e) : nullptr;
    if (type == OBJECT)
        out[here].first = e->get_name();
    for (const auto& [key, c] : map) {
        const int child_type = get_element_type(c);
        if (child_type == CONTAINER || child_type == OBJECT) {
            walk(c, path.empty() ? key : path + "/" + key, cut, out);
            continue;
        }
        if (key_field && key == key_field)
            continue; // names the record, changes nothing
        auto& record = out[here];
        record.first = e->get_name();
        // A set's items are added to what stands: marked by a leading tab, which no trimmed value has.
        record.second[key] = (child_type == SET ? "\t" : "") + shown(c, cut);
    }
}

bool contains(const std::vector<std::string>& list, const std::string& name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

void add_unique(std::vector<std::string>& list, const std::string& name)
{
    if (!name.empty() && !contains(list, name))
        list.push_back(name);
}

unsigned line_count(const std::string& text)
{
    unsigned n = static_cast<unsigned>(std::count(text.begin(), text.end(), '\n'));
    return n + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

// The file's text form: fields separated by tabs, one record a line.
std::string escaped(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

bool unescaped(std::string_view s, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size())
            return false;
        switch (s[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return false;
        }
    }
    return true;
}

class LineWriter {
public:
    explicit LineWriter(std::ostream& out, char kind)
        : out(out)
    {
        out << kind;
    }
    ~LineWriter() { out << '\n'; }
    LineWriter& operator<<(const std::string& field)
    {
        out << '\t' << escaped(field);
        return *this;
    }
    LineWriter& operator<<(const std::vector<std::string>& list)
    {
        out << '\t' << list.size();
        for (const std::string& s : list)
            *this << s;
        return *this;
    }
    LineWriter& operator<<(unsigned n)
    {
        out << '\t' << n;
        return *this;
    }

private:
    std::ostream& out;
};

// Reads the fields of one line in turn; any misstep leaves it failed.
class LineReader {
public:
    explicit LineReader(const std::string& line)
        : line(line)
    { }
    bool ok() const { return good && at > line.size(); }
    LineReader& operator>>(std::string& field)
    {
        if (!good || at > line.size())
            return good = false, *this;
        std::size_t end = line.find('\t', at);
        if (end == std::string::npos)
            end = line.size();
        good = unescaped(std::string_view(line).substr(at, end - at), field);
        at = end + 1;
        return *this;
    }
    LineReader& operator>>(unsigned& n)
    {
        std::string text;
        *this >> text;
        if (!good || text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
            return good = false, *this;
        n = static_cast<unsigned>(std::stoul(text));
        return *this;
    }
    LineReader& operator>>(std::vector<std::string>& list)
    {
        unsigned n = 0;
        *this >> n;
        list.clear();
        for (unsigned i = 0; good && i < n; ++i) {
            std::string s;
            *this >> s;
            list.push_back(std::move(s));
        }
        return *this;
    }

private:
    const std::string& line;
    std::size_t at = 2; // after the kind and its tab
    bool good = true;
};

bool parse_line(const std::string& line, Provenance& out, FileOrigin*& file, RecordOrigin*& record)
{
    if (line.size() < 2 || line[1] != '\t')
        return false;
    LineReader in(line);
    switch (line[0]) {
    case 'F': {
        FileOrigin f;
        in >> f.file >> f.mods >> f.whole >> f.replaced;
        if (!in.ok() || f.file.empty())
            return false;
        file = &out.add(f.file);
        *file = std::move(f);
        record = nullptr;
        return true;
    }
    case 'R': {
        std::string key, element;
        in >> key >> element;
        if (!in.ok() || !file)
            return false;
        record = &file->records[key];
        record->element = element;
        return true;
    }
    case 'V': {
        std::string field;
        FieldOrigin v;
        in >> field >> v.value >> v.mod >> v.over >> v.with;
        if (!in.ok() || !record)
            return false;
        record->fields[field] = std::move(v);
        return true;
    }
    case 'H': {
        HunkOrigin h;
        in >> h.first >> h.last >> h.mod >> h.over;
        if (!in.ok() || !file)
            return false;
        file->hunks.push_back(std::move(h));
        return true;
    }
    default:
        return false;
    }
}

} // namespace

std::string provenance_key(const std::string& file)
{
    std::string key = file;
    for (char& c : key)
        c = c == '\\' ? '/' : c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    return key;
}

RecordFields record_fields(xmlpp::Element* root, bool cut)
{
    RecordFields out;
    if (root)
        walk(root, std::string(), cut, out);
    return out;
}

const FileOrigin* Provenance::find(const std::string& file) const
{
    auto it = files.find(provenance_key(file));
    return it == files.end() ? nullptr : &it->second;
}

FileOrigin& Provenance::add(const std::string& file)
{
    FileOrigin& f = files[provenance_key(file)];
    if (f.file.empty())
        f.file = file;
    return f;
}

std::string Provenance::mod_of(const std::string& file, const std::string& record, const std::string& field) const
{
    const FileOrigin* f = find(file);
    if (!f)
        return std::string();
    auto r = f->records.find(record);
    if (r == f->records.end())
        return std::string();
    auto v = r->second.fields.find(field);
    return v == r->second.fields.end() ? std::string() : v->second.mod;
}

bool Provenance::read(const Path& folder, Provenance& out)
{
    out.files.clear();
    std::ifstream in(platform::native(child_path(folder, file_name)), std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || line != header)
        return false;
    FileOrigin* file = nullptr;
    RecordOrigin* record = nullptr;
    while (std::getline(in, line)) {
        if (!parse_line(line, out, file, record)) {
            out.files.clear();
            return false;
        }
    }
    if (in.bad()) {
        out.files.clear();
        return false;
    }
    return true;
}

void Provenance::write(const Path& folder) const
{
    const Path file = child_path(folder, file_name);
    std::ostringstream text;
    text << header << '\n';
    for (const auto& [key, f] : files) {
        LineWriter(text, 'F') << f.file << f.mods << f.whole << f.replaced;
        for (const auto& [record_key, r] : f.records) {
            LineWriter(text, 'R') << record_key << r.element;
            for (const auto& [field, v] : r.fields)
                LineWriter(text, 'V') << field << v.value << v.mod << v.over << v.with;
        }
        for (const HunkOrigin& h : f.hunks)
            LineWriter(text, 'H') << h.first << h.last << h.mod << h.over;
    }
    if (write_file_atomically(file, text.str()) != 0) {
        std::string problem = std::strerror(errno);
        throw GenericError(format("Cannot write the record of what each mod built, %S: %S", &file, &problem));
    }
}

bool Provenance::operator==(const Provenance& other) const
{
    if (files.size() != other.files.size())
        return false;
    for (auto a = files.begin(), b = other.files.begin(); a != files.end(); ++a, ++b) {
        const FileOrigin& x = a->second;
        const FileOrigin& y = b->second;
        if (a->first != b->first || x.mods != y.mods || x.whole != y.whole || x.replaced != y.replaced
            || x.records.size() != y.records.size() || x.hunks.size() != y.hunks.size())
            return false;
        for (auto r = x.records.begin(), s = y.records.begin(); r != x.records.end(); ++r, ++s) {
            if (r->first != s->first || r->second.element != s->second.element
                || r->second.fields.size() != s->second.fields.size())
                return false;
            for (auto v = r->second.fields.begin(), w = s->second.fields.begin(); v != r->second.fields.end();
                 ++v, ++w)
                if (v->first != w->first || v->second.value != w->second.value || v->second.mod != w->second.mod
                    || v->second.over != w->second.over || v->second.with != w->second.with)
                    return false;
        }
        for (std::size_t i = 0; i < x.hunks.size(); ++i) {
            const HunkOrigin& h = x.hunks[i];
            const HunkOrigin& k = y.hunks[i];
            if (h.first != k.first || h.last != k.last || h.mod != k.mod || h.over != k.over)
                return false;
        }
    }
    return true;
}

void rename_mods(FileOrigin& origin, const std::vector<std::string>& mods)
{
    if (mods.size() != origin.mods.size() || mods == origin.mods)
        return;
    std::map<std::string, std::string> to;
    for (std::size_t i = 0; i < mods.size(); ++i)
        to.emplace(origin.mods[i], mods[i]);
    auto rename = [&to](std::string& name) {
        auto it = to.find(name);
        if (it != to.end())
            name = it->second;
    };
    auto rename_all = [&rename](std::vector<std::string>& names) {
        for (std::string& name : names)
            rename(name);
    };
    rename_all(origin.mods);
    rename(origin.whole);
    rename_all(origin.replaced);
    for (auto& [key, record] : origin.records) {
        for (auto& [field, value] : record.fields) {
            rename(value.mod);
            rename_all(value.over);
            rename_all(value.with);
        }
    }
    for (HunkOrigin& hunk : origin.hunks) {
        rename(hunk.mod);
        rename_all(hunk.over);
    }
}

FileOrigin& ProvenanceRecorder::origin(const std::string& file, const std::string& mod)
{
    FileOrigin& f = out.add(file);
    f.mods.push_back(mod);
    return f;
}

void ProvenanceRecorder::whole(const std::string& file, const std::string& mod)
{
    FileOrigin& f = origin(file, mod);
    // What stood before is gone: the mods that made it lost to this one.
    for (std::size_t i = 0; i + 1 < f.mods.size(); ++i)
        if (f.mods[i] != mod)
            add_unique(f.replaced, f.mods[i]);
    f.whole = mod;
    f.records.clear();
    f.hunks.clear();
    lines.erase(provenance_key(file));
}

void ProvenanceRecorder::xml(const std::string& file, const std::string& mod, xmlpp::Element* change_root)
{
    FileOrigin& f = origin(file, mod);
    for (auto& [key, record] : record_fields(change_root)) {
        RecordOrigin& r = f.records[key];
        r.element = record.first;
        for (auto& [field, value] : record.second) {
            const bool set = !value.empty() && value[0] == '\t';
            std::string v = set ? value.substr(1) : value;
            FieldOrigin& o = r.fields[field];
            if (!o.mod.empty() && o.mod != mod) {
                if (set || o.value == v) {
                    add_unique(o.with, o.mod);
                } else {
                    for (const std::string& w : o.with)
                        add_unique(o.over, w);
                    o.with.clear();
                    add_unique(o.over, o.mod);
                }
            }
            o.mod = mod;
            o.value = std::move(v);
        }
    }
}

void ProvenanceRecorder::script(
    const std::string& file, const std::string& mod, const std::string& before, const std::string& after)
{
    FileOrigin& f = origin(file, mod);
    auto name = std::find(names.begin(), names.end(), mod);
    const int who = static_cast<int>(name - names.begin());
    if (name == names.end())
        names.push_back(mod);
    std::vector<Line>& current = lines[provenance_key(file)];
    if (current.empty()) {
        // The text this difference met: the game's, else a mod's whole file.
        Line base;
        if (!f.whole.empty()) {
            auto w = std::find(names.begin(), names.end(), f.whole);
            base.mod = static_cast<int>(w - names.begin());
            if (w == names.end())
                names.push_back(f.whole);
        }
        current.assign(line_count(before), base);
    }
    Diff diff;
    std::istringstream old_text(before), new_text(after);
    diff.create(old_text, new_text);
    std::vector<Line> next;
    next.reserve(current.size());
    std::size_t old = 0;
    auto keep = [&](std::size_t until) {
        for (; old < until; ++old)
            next.push_back(old < current.size() ? current[old] : Line());
    };
    for (const Diff::Block& block : diff.blocks) {
        keep(block.old_start);
        std::vector<int> removed;
        for (const Diff::Line& line : block.lines) {
            if (line.type == ' ') {
                keep(old + 1);
                removed.clear();
            } else if (line.type == '-') {
                if (old < current.size() && current[old].mod >= 0 && current[old].mod != who
                    && std::find(removed.begin(), removed.end(), current[old].mod) == removed.end())
                    removed.push_back(current[old].mod);
                ++old;
            } else {
                next.push_back(Line{who, removed});
            }
        }
    }
    keep(std::max(current.size(), old));
    current.swap(next);
}

void ProvenanceRecorder::finish(const std::string& file)
{
    auto it = lines.find(provenance_key(file));
    if (it == lines.end())
        return;
    FileOrigin& f = out.add(file);
    f.hunks.clear();
    const std::vector<Line>& current = it->second;
    for (std::size_t i = 0; i < current.size();) {
        const Line& line = current[i];
        std::size_t j = i + 1;
        while (j < current.size() && current[j].mod == line.mod && current[j].over == line.over)
            ++j;
        if (line.mod >= 0 && names[static_cast<std::size_t>(line.mod)] != f.whole) {
            HunkOrigin h{static_cast<unsigned>(i + 1), static_cast<unsigned>(j), names[static_cast<std::size_t>(line.mod)], {}};
            for (int o : line.over)
                h.over.push_back(names[static_cast<std::size_t>(o)]);
            f.hunks.push_back(std::move(h));
        }
        i = j;
    }
}

} // namespace velmora
