#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <map>
#include <set>

#include "base/errors.h"
#include "path/fs.h"
#include "path/platform.h"
#include "tools/gamegen/art.h"
#include "tools/gamegen/catalog.h"
#include "tools/gamegen/fields.h"
#include "tools/gamegen/gamegen.h"
#include "tools/gamegen/output.h"
#include "tools/gamegen/python.h"
#include "tools/gamegen/text.h"
#include "tools/gamegen/xml_doc.h"

namespace velmora {

namespace {

using namespace gamegen;

// Files mods change most; every copy prefers them, so copies made with
// different seeds meet there. Others are preferred by a fixed hash.
const std::vector<std::string> kPopular = {"XML/Units/CIV4UnitInfos.xml",
    "XML/Buildings/CIV4BuildingInfos.xml", "XML/Technologies/CIV4TechInfos.xml", "XML/GlobalDefines.xml",
    "XML/Text/CIV4GameTextInfos_Objects.xml", "XML/Civilizations/CIV4CivilizationInfos.xml",
    "XML/Civilizations/CIV4LeaderHeadInfos.xml", "XML/GameInfo/CIV4CivicInfos.xml",
    "Python/CvEventManager.py", "Python/Screens/CvMainInterface.py", "Python/CvGameUtils.py"};

// The first records of a file and the first lines of a script are where
// copies meet; the rest are spread evenly.
constexpr std::size_t kHotRecords = 3;
constexpr int kHotPercent = 50;

// In priority order: a 2D script names the sound it plays, but is keyed by its ScriptID.
const char* const kKeyNames[] = {"Type", "Tag", "DefineName", "ScriptID", "SoundID", "Name", "Description"};
const char* const kLanguages[] = {"English", "French", "German", "Italian", "Spanish"};

bool ends_with_ci(const std::string& s, const std::string& tail)
{
    if (s.size() < tail.size())
        return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i])
            return false;
    return true;
}

bool is_number(const std::string& s)
{
    std::size_t i = s.size() > 1 && s[0] == '-' ? 1 : 0, digits = 0;
    bool dot = false;
    for (; i < s.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(s[i])))
            ++digits;
        else if (s[i] == '.' && !dot)
            dot = true;
        else
            return false;
    }
    return digits > 0;
}

bool is_type_name(const std::string& s)
{
    if (s.empty() || !std::isupper(static_cast<unsigned char>(s[0])))
        return false;
    for (char c : s)
        if (!std::isupper(static_cast<unsigned char>(c)) && !std::isdigit(static_cast<unsigned char>(c))
            && c != '_')
            return false;
    return true;
}

// iCost, bAnimal, fScale: the game's prefixes for numbers, flags and decimals.
bool is_value_field(const XmlNode& n)
{
    return n.is_leaf() && n.name.size() > 1 && (n.name[0] == 'i' || n.name[0] == 'b' || n.name[0] == 'f')
        && std::isupper(static_cast<unsigned char>(n.name[1])) && is_number(n.text);
}

bool is_language(const std::string& name)
{
    for (const char* l : kLanguages)
        if (name == l)
            return true;
    return false;
}

std::string key_of(const XmlNode& n)
{
    if (n.comment)
        return {};
    for (const char* k : kKeyNames)
        if (const XmlNode* c = n.child(k))
            if (c->is_leaf() && !c->text.empty())
                return c->text;
    return {};
}

std::vector<const XmlNode*> elements(const XmlNode& n)
{
    std::vector<const XmlNode*> out;
    for (const auto& c : n.children)
        if (!c.comment)
            out.push_back(&c);
    return out;
}

enum class Shape { None, List, Set, Pairs };

// What an element with children holds: a positional list of numbers, a set of
// type names, pair records keyed by their first child, or fields.
Shape shape_of(const XmlNode& n)
{
    auto items = elements(n);
    if (items.empty())
        return Shape::None;
    for (const XmlNode* c : items)
        if (c->name != items[0]->name)
            return Shape::None;
    bool leaves = true, numbers = true, keyed = true;
    for (const XmlNode* c : items) {
        leaves = leaves && c->is_leaf();
        numbers = numbers && c->is_leaf() && is_number(c->text);
        auto sub = elements(*c);
        keyed = keyed && !sub.empty() && sub[0]->is_leaf() && is_type_name(sub[0]->text);
    }
    if (leaves)
        return numbers ? Shape::List : Shape::Set;
    return keyed ? Shape::Pairs : Shape::None;
}

int changed_int(Rng& rng, int v)
{
    int step = std::max(1, std::abs(v) / 4);
    int d = rng.range(1, step);
    return rng.chance(50) && v - d >= 0 ? v - d : v + d;
}

std::string changed_value(Rng& rng, const std::string& name, const std::string& text)
{
    if (name[0] == 'b')
        return text == "0" ? "1" : "0";
    if (name[0] == 'f') {
        double v = std::strtod(text.c_str(), nullptr);
        int hundredths = static_cast<int>(std::lround(v * 100));
        return decimal_text(hundredths + (rng.chance(50) ? 1 : -1) * rng.range(5, 50));
    }
    return std::to_string(changed_int(rng, std::atoi(text.c_str())));
}

// The fields of a record file's records in the order its schema lists them,
// and which of them records may leave out.
struct FieldOrder {
    std::vector<std::string> names;
    std::vector<std::string> optional;

    void add(const Field& f)
    {
        if (f.kind == FieldKind::OneOf) {
            for (const auto& choice : f.fields)
                add(choice);
            return;
        }
        const std::string& name = f.kind == FieldKind::Records && f.name.empty() ? f.item : f.name;
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
        if (f.absent > 0 && (f.kind == FieldKind::Bool || f.kind == FieldKind::Int || f.kind == FieldKind::Const))
            optional.push_back(name);
    }

    std::size_t rank(const std::string& name) const
    {
        return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
    }
};

FieldOrder field_order(const std::string& file)
{
    FieldOrder order;
    for (const auto& recipe : xml_catalog()) {
        if (recipe.path != file)
            continue;
        for (const auto& f : recipe.fields)
            if (f.kind == FieldKind::Records)
                for (const auto& field : f.fields)
                    order.add(field);
    }
    return order;
}

// An XML file being changed: its document, its records and, per element
// name, the shape and the values seen anywhere in the file.
class XmlEdit {
public:
    XmlEdit(XmlDocument doc, Rng& rng, unsigned seed, ModifiedFile& report, FieldOrder order, bool removals)
        : doc_(std::move(doc))
        , rng_(rng)
        , seed_(seed)
        , report_(report)
        , order_(std::move(order))
        , removals_(removals)
    {
        find_records();
        for (const auto& r : records_) {
            learn(record(r));
            before_[key_of(record(r))] = write_record(record(r));
        }
        std::string decl = doc_.declaration;
        for (char& c : decl)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        latin1_ = decl.find("8859-1") != std::string::npos;
    }

    bool has_records() const { return !records_.empty(); }
    const XmlDocument& document() const { return doc_; }
    // The new records' text keys (Description and the like) that need a text.
    const std::vector<std::pair<std::string, TextKind>>& new_tags() const { return new_tags_; }

    void edit(int count)
    {
        int copies = 0;
        for (int i = 0; i < count; ++i) {
            std::size_t r = pick_record();
            if (removals_ && rng_.chance(25) && remove_part(r))
                continue;
            if (rng_.chance(15) && copies < 2 && add_copy(r))
                ++copies;
            else
                change_record(r);
        }
        for (auto& [container, node] : copies_)
            container->add(std::move(node));
        copies_.clear();
        remove_records();
        forget_undone_changes();
    }

private:
    struct RecordRef {
        XmlNode* container;
        std::size_t index;
    };
    struct Known {
        Shape shape = Shape::None;
        XmlNode item;
        std::vector<std::string> values;
    };
    enum class SiteKind { Value, List, Set, Pairs, Text };
    struct Site {
        SiteKind kind;
        XmlNode* node;
    };

    XmlNode& record(const RecordRef& r) { return r.container->children[r.index]; }

    static std::string write_record(const XmlNode& n)
    {
        XmlDocument d;
        d.root = n;
        return write_document(d);
    }

    // A value changed twice may be back where it was: such a record is not
    // reported as changed.
    void forget_undone_changes()
    {
        std::vector<std::string> kept;
        for (const auto& key : report_.records) {
            auto it = before_.find(key);
            bool changed = it == before_.end() || removed_keys_.count(key) > 0;
            for (const auto& r : records_)
                if (!changed && key_of(record(r)) == key)
                    changed = write_record(record(r)) != it->second;
            if (changed)
                kept.push_back(key);
        }
        report_.records = std::move(kept);
    }

    void find_records()
    {
        auto collect = [this](XmlNode& container) {
            for (std::size_t i = 0; i < container.children.size(); ++i)
                if (!key_of(container.children[i]).empty())
                    records_.push_back({&container, i});
        };
        collect(doc_.root);
        if (!records_.empty())
            return;
        for (auto& c : doc_.root.children)
            if (!c.comment)
                collect(c);
    }

    void learn(const XmlNode& n)
    {
        for (const auto& c : n.children) {
            if (c.comment || c.is_leaf())
                continue;
            Shape s = shape_of(c);
            if (s == Shape::Set || s == Shape::Pairs) {
                Known& k = known_[c.name];
                if (k.shape == Shape::None) {
                    k.shape = s;
                    k.item = *elements(c).front();
                }
                if (k.shape == s)
                    for (const XmlNode* item : elements(c)) {
                        const std::string& v = s == Shape::Set ? item->text : elements(*item)[0]->text;
                        if (v != "NONE" && std::find(k.values.begin(), k.values.end(), v) == k.values.end())
                            k.values.push_back(v);
                    }
            }
            learn(c);
        }
    }

    void collect(XmlNode& n, std::vector<Site>& out)
    {
        for (auto& c : n.children) {
            if (c.comment)
                continue;
            if (is_language(c.name)) {
                out.push_back({SiteKind::Text, &c});
                continue;
            }
            if (c.is_leaf()) {
                auto known = known_.find(c.name);
                if (is_value_field(c))
                    out.push_back({SiteKind::Value, &c});
                else if (c.text.empty() && known != known_.end())
                    out.push_back({known->second.shape == Shape::Set ? SiteKind::Set : SiteKind::Pairs, &c});
                continue;
            }
            switch (shape_of(c)) {
            case Shape::List:
                out.push_back({SiteKind::List, &c});
                break;
            case Shape::Set:
                out.push_back({SiteKind::Set, &c});
                break;
            case Shape::Pairs:
                out.push_back({SiteKind::Pairs, &c});
                collect(c, out);
                break;
            case Shape::None:
                collect(c, out);
                break;
            }
        }
    }

    std::size_t pick_record()
    {
        std::size_t hot = std::min(kHotRecords, records_.size());
        return rng_.chance(kHotPercent) ? rng_.index(hot) : rng_.index(records_.size());
    }

    std::string label(const XmlNode& rec) { return rec.name + " " + key_of(rec) + ": "; }

    void touched(const std::string& key)
    {
        if (std::find(report_.records.begin(), report_.records.end(), key) == report_.records.end())
            report_.records.push_back(key);
    }

    // Gives the record one of the optional fields it lacks, where the schema
    // orders it: mods add fields in the middle of records, not only at the end.
    std::string add_optional_field(XmlNode& rec)
    {
        std::vector<std::string> missing;
        for (const auto& name : order_.optional) {
            bool present = false;
            for (const auto& c : rec.children)
                present = present || (!c.comment && c.name == name);
            if (!present)
                missing.push_back(name);
        }
        if (missing.empty())
            return {};
        const std::string name = missing[rng_.index(missing.size())];
        const std::size_t rank = order_.rank(name);
        auto at = std::find_if(rec.children.begin(), rec.children.end(),
            [&](const XmlNode& c) { return !c.comment && order_.rank(c.name) > rank && order_.rank(c.name) < order_.names.size(); });
        const std::string text = name[0] == 'b' ? "1" : name[0] == 'i' ? std::to_string(rng_.range(1, 9)) : "";
        rec.children.insert(at, XmlNode(name, text));
        return "+" + name;
    }

    void change_record(std::size_t r)
    {
        XmlNode& rec = record(records_[r]);
        if (!order_.optional.empty() && rng_.chance(30)) {
            std::string note = add_optional_field(rec);
            if (!note.empty()) {
                report_.notes.push_back(label(rec) + note);
                touched(key_of(rec));
                return;
            }
        }
        std::vector<Site> sites;
        collect(rec, sites);
        if (sites.empty())
            return;
        // Copies meet on a record's first number half of the time.
        auto first_number = std::find_if(sites.begin(), sites.end(),
            [](const Site& s) { return s.kind == SiteKind::Value && s.node->name[0] == 'i'; });
        std::vector<Site> order;
        if (first_number != sites.end() && rng_.chance(kHotPercent))
            order.push_back(*first_number);
        for (int attempt = 0; attempt < 4; ++attempt)
            order.push_back(sites[rng_.index(sites.size())]);
        for (const Site& s : order) {
            std::string note = apply(s);
            if (!note.empty()) {
                report_.notes.push_back(label(rec) + note);
                touched(key_of(rec));
                return;
            }
        }
    }

    std::string apply(const Site& s)
    {
        XmlNode& n = *s.node;
        switch (s.kind) {
        case SiteKind::Value: {
            std::string before = n.text;
            n.text = changed_value(rng_, n.name, n.text);
            return n.name + " " + before + " -> " + n.text;
        }
        case SiteKind::List: {
            std::size_t i = rng_.index(n.children.size());
            XmlNode& item = n.children[i];
            if (item.comment)
                return {};
            std::string before = item.text;
            item.text = changed_value(rng_, item.name, item.text);
            return n.name + " entry " + std::to_string(i + 1) + " " + before + " -> " + item.text;
        }
        case SiteKind::Set:
            return add_set_item(n);
        case SiteKind::Pairs:
            return add_pair(n);
        case SiteKind::Text:
            return extend_text(n);
        }
        return {};
    }

    // Deletes something of record r, as modders do: the whole record, one
    // of its optional fields, or an item of one of its sets or pair
    // collections. Sets and collections keep an item, containers two records:
    // the schema may want one. False when the record has nothing to spare.
    bool remove_part(std::size_t r)
    {
        const int first = rng_.range(0, 2);
        for (int k = 0; k < 3; ++k) {
            std::string note;
            XmlNode& rec = record(records_[r]);
            const std::string label_text = label(rec);
            switch ((first + k) % 3) {
            case 0:
                note = remove_record(r);
                break;
            case 1:
                note = remove_optional_field(rec);
                break;
            default:
                note = remove_item(rec);
                break;
            }
            if (!note.empty()) {
                report_.notes.push_back(label_text + note);
                touched(key_of(record(records_[r])));
                return true;
            }
        }
        return false;
    }

    std::string remove_record(std::size_t r)
    {
        const RecordRef& ref = records_[r];
        if (removed_.count({ref.container, ref.index}))
            return {};
        std::size_t left = 0;
        for (const auto& other : records_)
            left += other.container == ref.container && !removed_.count({other.container, other.index});
        if (left <= 2)
            return {};
        removed_.insert({ref.container, ref.index});
        removed_keys_.insert(key_of(record(ref)));
        return "removed";
    }

    std::string remove_optional_field(XmlNode& rec)
    {
        std::vector<std::size_t> present;
        for (std::size_t i = 0; i < rec.children.size(); ++i) {
            const XmlNode& c = rec.children[i];
            if (!c.comment && c.is_leaf()
                && std::find(order_.optional.begin(), order_.optional.end(), c.name) != order_.optional.end())
                present.push_back(i);
        }
        if (present.empty())
            return {};
        const std::size_t i = present[rng_.index(present.size())];
        const std::string name = rec.children[i].name;
        rec.children.erase(rec.children.begin() + static_cast<std::ptrdiff_t>(i));
        return "-" + name;
    }

    std::string remove_item(XmlNode& rec)
    {
        std::vector<Site> sites, spare;
        collect(rec, sites);
        for (const Site& s : sites)
            if ((s.kind == SiteKind::Set || s.kind == SiteKind::Pairs) && elements(*s.node).size() >= 2)
                spare.push_back(s);
        if (spare.empty())
            return {};
        XmlNode& n = *spare[rng_.index(spare.size())].node;
        std::vector<std::size_t> items;
        for (std::size_t i = 0; i < n.children.size(); ++i)
            if (!n.children[i].comment)
                items.push_back(i);
        const std::size_t i = items[rng_.index(items.size())];
        const XmlNode& item = n.children[i];
        const std::string what = item.is_leaf() ? item.text : item.name + " " + key_or_first(item);
        n.children.erase(n.children.begin() + static_cast<std::ptrdiff_t>(i));
        return n.name + " loses " + what;
    }

    static std::string key_or_first(const XmlNode& item)
    {
        auto sub = elements(item);
        return sub.empty() ? std::string() : sub[0]->text;
    }

    // The records remove_record chose, taken out once nothing refers to them
    // by position any more; the records are then found again.
    void remove_records()
    {
        if (removed_.empty())
            return;
        for (auto it = removed_.rbegin(); it != removed_.rend(); ++it)
            it->first->children.erase(it->first->children.begin() + static_cast<std::ptrdiff_t>(it->second));
        removed_.clear();
        records_.clear();
        find_records();
    }

    std::string unused_value(const XmlNode& n, const Known& k, bool pairs)
    {
        std::vector<std::string> present;
        for (const XmlNode* item : elements(n))
            present.push_back(pairs ? elements(*item)[0]->text : item->text);
        std::vector<std::string> free;
        for (const auto& v : k.values)
            if (std::find(present.begin(), present.end(), v) == present.end())
                free.push_back(v);
        return free.empty() ? std::string() : rng_.pick(free);
    }

    std::string add_set_item(XmlNode& n)
    {
        auto it = known_.find(n.name);
        if (it == known_.end() || it->second.shape != Shape::Set)
            return {};
        const Known& k = it->second;
        std::string value = unused_value(n, k, false);
        if (value.empty())
            return {};
        // A set padded with NONE to its capacity takes the new name in the
        // first padding slot.
        for (auto& item : n.children)
            if (!item.comment && item.text == "NONE") {
                item.text = value;
                return n.name + " gains " + value;
            }
        n.add(k.item.name, value);
        return n.name + " gains " + value;
    }

    std::string add_pair(XmlNode& n)
    {
        auto it = known_.find(n.name);
        if (it == known_.end() || it->second.shape != Shape::Pairs)
            return {};
        const Known& k = it->second;
        std::string key = unused_value(n, k, true);
        if (key.empty())
            return {};
        XmlNode item = k.item;
        bool first = true;
        for (auto& field : item.children) {
            if (field.comment)
                continue;
            if (first)
                field.text = key;
            else if (is_value_field(field))
                field.text = field.name[0] == 'b' ? "1" : changed_value(rng_, field.name, field.text);
            first = false;
        }
        n.add(std::move(item));
        return n.name + " gains " + k.item.name + " " + key;
    }

    std::string extend_text(XmlNode& n)
    {
        XmlNode* target = n.is_leaf() ? &n : n.child("Text");
        if (!target || !target->is_leaf())
            return {};
        std::string more = latin1_ && n.name != "English" ? latin1_phrase(rng_, n.name, rng_.range(2, 5))
                                                          : english_phrase(rng_, rng_.range(2, 5));
        target->text += (target->text.empty() ? "" : " ") + more;
        return n.name + " text extended";
    }

    // A new record: a copy of r under a new key, with one value changed.
    bool add_copy(std::size_t r)
    {
        const RecordRef& ref = records_[r];
        const XmlNode& original = record(ref);
        std::string old_key = key_of(original);
        // A third of new records take a name every copy may choose, so that
        // two mods sometimes add the same record differently.
        std::string new_key = old_key + (rng_.chance(30) ? "_EXTRA" : "_V" + std::to_string(seed_));
        while (key_taken(new_key))
            new_key += "_2";
        XmlNode copy = original;
        rename(copy, old_key, new_key);
        std::vector<Site> sites;
        collect(copy, sites);
        std::string change;
        for (int attempt = 0; attempt < 4 && change.empty() && !sites.empty(); ++attempt) {
            const Site& s = sites[rng_.index(sites.size())];
            if (s.kind == SiteKind::Value || s.kind == SiteKind::Text || s.kind == SiteKind::List)
                change = apply(s);
        }
        note_tags(copy);
        report_.notes.push_back("new " + copy.name + " " + new_key + " (a copy of " + old_key + ")"
            + (change.empty() ? "" : ", " + change));
        touched(new_key);
        added_keys_.push_back(new_key);
        copies_.emplace_back(ref.container, std::move(copy));
        return true;
    }

    bool key_taken(const std::string& key)
    {
        if (std::find(added_keys_.begin(), added_keys_.end(), key) != added_keys_.end())
            return true;
        for (const auto& r : records_)
            if (key_of(record(r)) == key)
                return true;
        return false;
    }

    // The copy's own texts (its key, TXT_KEY_<key>, ART_DEF_<key>) follow the new key.
    static void rename(XmlNode& n, const std::string& from, const std::string& to)
    {
        for (auto& c : n.children) {
            if (c.comment)
                continue;
            if (c.is_leaf()) {
                std::string::size_type at = c.text.find(from);
                if (at != std::string::npos
                    && (at + from.size() == c.text.size() || c.text[at + from.size()] == '_'))
                    c.text.replace(at, from.size(), to);
            } else {
                rename(c, from, to);
            }
        }
    }

    void note_tags(const XmlNode& copy)
    {
        static const std::vector<std::pair<std::string, TextKind>> fields
            = {{"Description", TextKind::Name}, {"Civilopedia", TextKind::Article},
                {"Strategy", TextKind::Sentence}, {"Help", TextKind::Sentence}};
        for (const auto& [name, kind] : fields)
            if (const XmlNode* c = copy.child(name))
                if (c->text.compare(0, 8, "TXT_KEY_") == 0)
                    new_tags_.emplace_back(c->text, kind);
    }

    XmlDocument doc_;
    Rng& rng_;
    unsigned seed_;
    ModifiedFile& report_;
    FieldOrder order_;
    bool removals_;
    // The records to remove, by container and position (in that order, so
    // that the last of a container comes out first).
    std::set<std::pair<XmlNode*, std::size_t>> removed_;
    std::set<std::string> removed_keys_;
    bool latin1_ = false;
    std::vector<RecordRef> records_;
    std::map<std::string, Known> known_;
    std::vector<std::pair<XmlNode*, XmlNode>> copies_;
    std::vector<std::string> added_keys_;
    std::vector<std::pair<std::string, TextKind>> new_tags_;
    std::map<std::string, std::string> before_;
};

struct Result {
    ModifiedFile file;
    std::string bytes;
};

class TreeEdit {
public:
    TreeEdit(const Path& assets, const ModifyOptions& options)
        : assets_(assets)
        , options_(options)
        , rng_(stream(options.seed, "modified copy"))
    { }

    std::vector<Result> run(const std::vector<std::string>& files)
    {
        std::vector<std::string> xml, python, binary;
        for (const auto& f : files)
            (ends_with_ci(f, ".xml") ? xml : ends_with_ci(f, ".py") ? python : binary).push_back(f);
        edit_some(xml, [this](const std::string& f, ModifiedFile& m) { return edit_xml(f, m); });
        edit_some(python, [this](const std::string& f, ModifiedFile& m) { return edit_python(f, m); });
        edit_some(binary, [this](const std::string& f, ModifiedFile& m) { return edit_binary(f, m); });
        add_new_files(files);
        std::sort(results_.begin(), results_.end(),
            [](const Result& a, const Result& b) { return a.file.path < b.file.path; });
        return std::move(results_);
    }

private:
    template <typename Edit> void edit_some(const std::vector<std::string>& files, Edit edit)
    {
        if (files.empty())
            return;
        std::size_t wanted = std::max<std::size_t>(
            1, static_cast<std::size_t>(std::lround(options_.fraction * files.size())));
        std::size_t done = 0;
        for (const auto& f : preferred_order(files)) {
            if (done == wanted)
                break;
            Result r;
            r.file.path = f;
            if (edit(f, r.file)) {
                r.bytes = std::move(edited_);
                results_.push_back(std::move(r));
                ++done;
            }
        }
    }

    static bool is_popular(const std::string& f)
    {
        return std::find(kPopular.begin(), kPopular.end(), f) != kPopular.end() || hash_text(f) % 8 == 0;
    }

    std::vector<std::string> preferred_order(const std::vector<std::string>& files)
    {
        std::vector<std::string> hot, cold, out;
        for (const auto& f : files)
            (is_popular(f) ? hot : cold).push_back(f);
        while (!hot.empty() || !cold.empty()) {
            auto& from = !hot.empty() && (cold.empty() || rng_.chance(60)) ? hot : cold;
            std::size_t i = rng_.index(from.size());
            out.push_back(from[i]);
            from.erase(from.begin() + static_cast<std::ptrdiff_t>(i));
        }
        return out;
    }

    std::string read(const std::string& f) { return read_bytes(assets_ / Path(f)); }

    bool edit_xml(const std::string& f, ModifiedFile& m)
    {
        std::string bytes = read(f), why;
        XmlDocument doc;
        // Only files in the generator's own layout are edited: they are known
        // to read back to the same bytes, so nothing but the edits changes.
        if (!read_document(bytes, doc, why) || write_document(doc) != bytes)
            return false;
        XmlEdit edit(std::move(doc), rng_, options_.seed, m, field_order(f), options_.removals);
        if (!edit.has_records())
            return false;
        edit.edit(rng_.range(1, 3) + rng_.range(0, 2));
        edited_ = write_document(edit.document());
        if (edited_ == bytes)
            return false;
        for (const auto& t : edit.new_tags())
            new_tags_.push_back(t);
        return true;
    }

    bool edit_python(const std::string& f, ModifiedFile& m)
    {
        std::string bytes = read(f);
        std::size_t lf = std::count(bytes.begin(), bytes.end(), '\n');
        std::size_t crlf = 0;
        for (std::size_t i = 1; i < bytes.size(); ++i)
            crlf += bytes[i] == '\n' && bytes[i - 1] == '\r';
        if (lf == 0 || bytes.back() != '\n' || (crlf != 0 && crlf != lf))
            return false;
        std::string eol = crlf ? "\r\n" : "\n";
        std::vector<std::string> lines;
        for (std::size_t start = 0; start < bytes.size();) {
            std::size_t end = bytes.find('\n', start);
            lines.push_back(bytes.substr(start, end - start - (crlf ? 1 : 0)));
            start = end + 1;
        }
        std::string unit = "\t";
        for (const auto& l : lines)
            if (!l.empty() && (l[0] == '\t' || l[0] == ' ')) {
                unit = l[0] == '\t' ? "\t" : "    ";
                break;
            }
        int hunks = rng_.range(1, 3);
        for (int h = 0; h < hunks; ++h)
            edit_line(lines, unit, m);
        edited_.clear();
        for (const auto& l : lines)
            edited_ += l + eol;
        return edited_ != bytes;
    }

    static bool is_code(const std::string& line)
    {
        std::size_t i = line.find_first_not_of(" \t");
        return i != std::string::npos && line[i] != '#';
    }

    void edit_line(std::vector<std::string>& lines, const std::string& unit, ModifiedFile& m)
    {
        std::vector<std::size_t> code;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (is_code(lines[i]))
                code.push_back(i);
        if (code.empty())
            return;
        // Copies meet in the first forty lines of code half of the time.
        std::size_t hot = std::min<std::size_t>(40, code.size());
        std::size_t at = code[rng_.chance(kHotPercent) ? rng_.index(hot) : rng_.index(code.size())];
        std::string& line = lines[at];
        std::size_t digits_end = line.find_last_of("0123456789");
        if (digits_end != std::string::npos && line.find('"') == std::string::npos
            && line.find('\'') == std::string::npos) {
            std::size_t begin = digits_end;
            while (begin > 0 && std::isdigit(static_cast<unsigned char>(line[begin - 1])))
                --begin;
            bool literal = begin == 0
                || !(std::isalnum(static_cast<unsigned char>(line[begin - 1])) || line[begin - 1] == '_');
            if (literal) {
                std::string before = line.substr(begin, digits_end + 1 - begin);
                std::string after = std::to_string(changed_int(rng_, std::atoi(before.c_str())));
                line.replace(begin, before.size(), after);
                m.notes.push_back("line " + std::to_string(at + 1) + ": " + before + " -> " + after);
                return;
            }
        }
        std::string indent = line.substr(0, line.find_first_not_of(" \t"));
        std::string trimmed = line.substr(indent.size());
        if (!trimmed.empty() && trimmed.back() == ':')
            indent += unit;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at + 1),
            indent + "CvUtil.pyPrint('" + english_phrase(rng_, 4) + "')");
        m.notes.push_back("line " + std::to_string(at + 2) + ": new line");
    }

    bool edit_binary(const std::string& f, ModifiedFile& m)
    {
        edited_ = read(f);
        if (edited_.empty())
            return false;
        std::size_t size = edited_.size();
        std::size_t at = size > 64 ? size / 4 + rng_.index(size - size / 4) : rng_.index(size);
        std::size_t n = std::min<std::size_t>(64, size - at);
        for (std::size_t i = 0; i < n; ++i)
            edited_[at + i] = static_cast<char>(edited_[at + i] ^ static_cast<char>(rng_.next() | 1));
        m.notes.push_back("bytes " + std::to_string(at) + " to " + std::to_string(at + n - 1) + " rewritten");
        return true;
    }

    std::string free_path(const std::vector<std::string>& files, std::string path)
    {
        while (std::find(files.begin(), files.end(), path) != files.end())
            path.insert(path.rfind('.'), "2");
        return path;
    }

    void add_new_files(const std::vector<std::string>& files)
    {
        std::string name = invented_name(static_cast<int>(options_.seed % 3120));
        int count = std::clamp(static_cast<int>(std::lround(options_.fraction * 3)), 1, 3);
        // New records need their texts, so the text file comes first then.
        unsigned first = new_tags_.empty() ? options_.seed % 3 : 0;
        for (int i = 0; i < count; ++i) {
            Result r;
            r.file.kind = ModifiedFile::Kind::Added;
            switch ((first + static_cast<unsigned>(i)) % 3) {
            case 0:
                new_text_file(r, free_path(files, "XML/Text/CIV4GameText_" + name + ".xml"), name);
                break;
            case 1: {
                PythonFile p;
                p.path = free_path(files, "Python/Contrib/" + name + "Events.py");
                p.lines = rng_.range(40, 160);
                r.file.path = p.path;
                r.bytes = python_script(rng_, p);
                r.file.notes.push_back("new script of " + std::to_string(p.lines) + " lines");
                break;
            }
            default:
                r.file.path = free_path(files, "Art/Interface/Buttons/Mods/" + name + ".dds");
                r.bytes = binary_bytes(rng_, r.file.path, static_cast<std::size_t>(rng_.range(2048, 20480)));
                r.file.notes.push_back("new texture of " + std::to_string(r.bytes.size()) + " bytes");
            }
            results_.push_back(std::move(r));
        }
    }

    // The texts of the new records, and a few strings of the mod's own.
    void new_text_file(Result& r, const std::string& path, const std::string& name)
    {
        XmlDocument doc;
        doc.declaration = kLatin1Declaration;
        doc.comments = {" Texts of the " + name + " mod, made by velmora-gamegen "};
        doc.crlf = rng_.chance(50);
        doc.root = text_root();
        for (const auto& [tag, kind] : new_tags_) {
            std::string subject = tag.substr(8);
            for (const char* suffix : {"_PEDIA", "_STRATEGY", "_HELP"})
                if (subject.size() > std::strlen(suffix)
                    && subject.compare(subject.size() - std::strlen(suffix), std::string::npos, suffix) == 0)
                    subject.resize(subject.size() - std::strlen(suffix));
            subject = display_name(subject);
            doc.root.add(text_record(rng_, tag, kind, subject));
            r.file.records.push_back(tag);
        }
        int own = rng_.range(2, 5);
        for (int i = 0; i < own; ++i) {
            std::string tag = "TXT_KEY_" + to_upper(name) + "_" + std::to_string(i + 1);
            doc.root.add(text_record(rng_, tag, TextKind::Interface, name));
            r.file.records.push_back(tag);
        }
        r.file.path = path;
        r.bytes = write_document(doc);
        r.file.notes.push_back("new text file with " + std::to_string(r.file.records.size()) + " texts");
    }

    Path assets_;
    ModifyOptions options_;
    Rng rng_;
    std::string edited_;
    std::vector<Result> results_;
    std::vector<std::pair<std::string, TextKind>> new_tags_;
};

// Where a name is, links resolved, even when its last component is missing.
std::string real_location(const Path& p)
{
    std::string real = platform::real_path(p.str());
    if (!real.empty() || p.size() == 0)
        return real;
    Path parent = p.subpath(0, p.size() - 1);
    std::string above = platform::real_path(parent.empty() ? std::string(".") : parent.str());
    return above.empty() ? std::string() : above + "/" + p[static_cast<int>(p.size()) - 1];
}

void check_folders(const Path& assets, const Path& out)
{
    bool is_folder = false;
    if (platform::stat(assets.str(), &is_folder) != 0)
        throw GenericError("The assets folder \"" + assets.str() + "\" does not exist.");
    if (!is_folder)
        throw GenericError("The assets folder \"" + assets.str() + "\" is a file, not a folder.");
    std::string a = real_location(assets), o = real_location(out);
    if (!a.empty() && !o.empty() && (o == a || o.compare(0, a.size() + 1, a + "/") == 0))
        throw GenericError("The output folder \"" + out.str() + "\" lies inside the assets folder \""
            + assets.str() + "\": choose a folder outside it.");
}

} // namespace

std::vector<ModifiedFile> modify_tree(
    const Path& assets_dir, const Path& out_dir, const ModifyOptions& options)
{
    if (!std::isfinite(options.fraction) || options.fraction <= 0 || options.fraction > 1)
        throw GenericError("The fraction " + scale_text(options.fraction)
            + " is out of range: it must be above 0 and at most 1.");
    check_folders(assets_dir, out_dir);
    std::vector<std::string> files = walk_files(assets_dir);
    if (files.empty())
        throw GenericError("The assets folder \"" + assets_dir.str() + "\" holds no files to modify.");
    bool was_missing = require_empty_folder(out_dir, "The output folder");

    std::vector<Result> results = TreeEdit(assets_dir, options).run(files);

    make_folder(out_dir);
    OutputTree out(out_dir);
    std::vector<ModifiedFile> report;
    try {
        for (auto& r : results) {
            FileKind kind = ends_with_ci(r.file.path, ".xml") ? FileKind::Xml
                : ends_with_ci(r.file.path, ".py")            ? FileKind::Python
                                                              : FileKind::Binary;
            out.write(r.file.path, r.bytes, kind);
            report.push_back(std::move(r.file));
        }
    } catch (...) {
        rmdir(out_dir, true);
        if (!was_missing)
            mkpath(out_dir, 0755);
        throw;
    }
    return report;
}

} // namespace velmora
