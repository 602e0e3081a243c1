// What two conflicting mods change where they meet: the fields of a record
// with the game's value and each mod's, the lines each mod writes into a
// script, or how each changes a file as a whole.
#include "mod/conflict_details.h"

#include <libxml++/exceptions/exception.h>
#include <libxml++/nodes/element.h>
#include <libxml++/parsers/domparser.h>

#include <algorithm>
#include <deque>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string_view>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "diff/diff.h"
#include "mod/change_errors.h"
#include "mod/change_path.h"
#include "mod/conflict_cache.h"
#include "mod/game_file_names.h"
#include "mod/mod.h"
#include "mod/removal.h"
#include "mod/untrusted_xml.h"
#include "path/platform.h"
#include "xml/element_info.h"
#include "xml/elements.h"
#include "xml/parse.h"

namespace velmora {

struct ConflictDescriber::XmlIndex {
    struct Field {
        int type;
        std::string value;
        bool removed = false; // the change removes the field
        // A set: the texts of the items the change adds and removes, sorted.
        std::vector<std::string> added_items;
        std::vector<std::string> removed_items;
    };
    struct Item {
        std::string name;
        int type;
        std::string value;
        std::string key_field; // a record's key child, which names it rather than changes it
        std::map<std::string, Field> fields; // a record's children by key
        bool removed = false; // the change removes the record
    };

    std::vector<std::string> path; // element names from the root down to the compared level
    int type = -1; // of the compared level
    std::string value;
    std::vector<std::string> added_items, removed_items; // a set's, sorted
    std::map<std::string, Item> children; // a container's or record's children by key
};

namespace {

using XmlIndex = ConflictDescriber::XmlIndex;

// Longer values are cut in the question: it shows what changed, not whole records.
const std::string::size_type shown_limit = 60;
const std::size_t shown_places_limit = 30;

std::string trimmed(const std::string& s)
{
    auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<xmlpp::Element*> element_children(const xmlpp::Element* e)
{
    std::vector<xmlpp::Element*> out;
    for (xmlpp::Node* n : e->get_children())
        if (auto* c = dynamic_cast<xmlpp::Element*>(n))
            out.push_back(c);
    return out;
}

// An element's content on one line, for comparing and showing: a leaf's
// text, else its children as "{Name: value, ...}"; a removal as "removed",
// or "removes X" for one that names what it removes by its content.
std::string compact(const xmlpp::Element* e)
{
    std::vector<xmlpp::Element*> children = element_children(e);
    std::string out;
    if (children.empty()) {
        out = trimmed(element_text(e));
    } else {
        out = "{";
        for (const xmlpp::Element* c : children)
            out += (out.size() > 1 ? ", " : "") + c->get_name() + ": " + compact(c);
        out += "}";
    }
    if (is_removal(e))
        return out.empty() ? "removed" : "removes " + out;
    return out;
}

// The items of a set that a change adds and removes, sorted.
void set_items(xmlpp::Element* e, std::vector<std::string>& added, std::vector<std::string>& removed)
{
    for (const xmlpp::Element* c : element_children(e))
        (is_removal(c) ? removed : added).push_back(element_text(c));
    std::sort(added.begin(), added.end());
    std::sort(removed.begin(), removed.end());
}

bool share_any(const std::vector<std::string>& sorted_a, const std::vector<std::string>& sorted_b)
{
    std::vector<std::string> both;
    std::set_intersection(
        sorted_a.begin(), sorted_a.end(), sorted_b.begin(), sorted_b.end(), std::back_inserter(both));
    return !both.empty();
}

std::string shown(const std::string& value)
{
    if (value.size() <= shown_limit)
        return value;
    std::string::size_type cut = shown_limit;
    // Not inside a UTF-8 sequence.
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
        --cut;
    return value.substr(0, cut) + "...";
}

// The children of e by key; with `wanted`, only those (a game file, whose
// other records no question shows).
void index_children(XmlIndex& index, xmlpp::Element* e, const std::set<std::string>* wanted)
{
    ElementMap map;
    try {
        map = build_element_map(e);
    } catch (const GenericError&) {
        return; // check_conflicts reports what cannot be compared
    }
    for (const auto& [key, child] : map) {
        if (wanted && !wanted->count(key))
            continue;
        XmlIndex::Item item{child->get_name(), get_element_type(child), compact(child), {}, {}, is_removal(child)};
        if (item.type == OBJECT && !item.removed) {
            if (const char* k = get_object_key(child))
                item.key_field = k;
            try {
                for (const auto& [field, f] : build_element_map(child)) {
                    XmlIndex::Field& out = item.fields[field];
                    out.type = get_element_type(f);
                    out.value = compact(f);
                    out.removed = is_removal(f);
                    if (out.type == SET && !out.removed)
                        set_items(f, out.added_items, out.removed_items);
                }
            } catch (const GenericError&) {
                item.fields.clear();
            }
        }
        index.children.emplace(key, std::move(item));
    }
}

xmlpp::Element* child_named(xmlpp::Element* e, const std::string& name)
{
    for (xmlpp::Element* c : element_children(e))
        if (c->get_name().raw() == name)
            return c;
    return nullptr;
}

// The index of a document from root down to the level conflicts compare, as
// make_conflict_view walks it; with `follow`, along the same element names
// (a game file), and null when the document has no such path. With `wanted`,
// only the children of those keys are indexed.
std::unique_ptr<XmlIndex> index_document(xmlpp::Element* root, const std::vector<std::string>* follow,
    const std::set<std::string>* wanted = nullptr)
{
    auto index = std::make_unique<XmlIndex>();
    xmlpp::Element* e = root;
    for (std::size_t i = 0; e; ++i) {
        if (follow && (i >= follow->size() || (*follow)[i] != e->get_name()))
            return nullptr;
        index->path.push_back(e->get_name());
        index->type = get_element_type(e);
        if (index->type != TOPLEVEL)
            break;
        e = follow ? (i + 1 < follow->size() ? child_named(e, (*follow)[i + 1]) : nullptr) : get_child_element(e);
    }
    if (!e)
        return index;
    if (index->type == CONTAINER || index->type == OBJECT)
        index_children(*index, e, wanted);
    else
        index->value = compact(e);
    if (index->type == SET)
        set_items(e, index->added_items, index->removed_items);
    return index;
}

// "game 2, " when the game's value is known.
std::string game_part(const XmlIndex* game, const std::string* value)
{
    if (!game)
        return std::string();
    return "game " + (value ? shown(*value) : std::string("none")) + ", ";
}

// "A 3", or "A removes it".
std::string side(const std::string& name, const std::string& value, bool removed)
{
    return removed ? name + " removes it" : name + " " + shown(value);
}

// "game 2, A 3, B 4": the game's value and each mod's.
std::string values_line(const XmlIndex* game, const std::string* game_value, const std::string& a_name,
    const XmlIndex::Item& a, const std::string& b_name, const XmlIndex::Item& b)
{
    return game_part(game, game_value) + side(a_name, a.value, a.removed) + ", " + side(b_name, b.value, b.removed);
}

// Whether the order of two changes of one field decides what it becomes.
bool order_matters(const XmlIndex::Field& x, const XmlIndex::Field& y)
{
    if (x.removed || y.removed)
        return x.removed != y.removed;
    // Two mods' items of one set are all kept, unless one removes what the other adds.
    if (x.type == SET)
        return share_any(x.added_items, y.removed_items) || share_any(y.added_items, x.removed_items);
    return x.value != y.value;
}

// What identifies each mod's side of a report, as the pieces its hash is
// made of: the places of one file are described apart from the rest of the
// report and hashed in the report's order at the end. A piece is seen, not
// copied, when it lasts until then (a change's text, its index): a report on
// two mods that replace the same art would otherwise hold the art again.
struct Pieces {
    // A piece is text, or a change's payload (which may wait on disk).
    struct Piece {
        std::string_view text;
        const Change* payload = nullptr;
    };
    std::vector<Piece> pieces;
    std::deque<std::string> owned; // the pieces made for the report; a deque keeps their places

    Pieces& add(std::string_view lasting)
    {
        pieces.push_back({lasting});
        return *this;
    }
    Pieces& add(const Change& change)
    {
        pieces.push_back({{}, &change});
        return *this;
    }
    void hash_into(Hasher& h) const
    {
        for (const Piece& piece : pieces) {
            if (piece.payload)
                add_payload(h, *piece.payload);
            else
                h.add(piece.text);
        }
    }
    Pieces& add_copy(std::string piece)
    {
        owned.push_back(std::move(piece));
        pieces.push_back({owned.back()});
        return *this;
    }
};

struct Sides {
    Pieces first;
    Pieces second;
};

// The fields of one record that a mod changes: those whose value differs
// from the game's (all but the key when the game's record is unknown).
std::map<std::string, const XmlIndex::Field*> changed_fields(
    const XmlIndex::Item& item, const XmlIndex::Item* game_item)
{
    std::map<std::string, const XmlIndex::Field*> out;
    for (const auto& [key, field] : item.fields) {
        if (key == item.key_field)
            continue;
        if (game_item) {
            auto g = game_item->fields.find(key);
            if (g != game_item->fields.end() && g->second.value == field.value)
                continue;
        }
        out[key] = &field;
    }
    return out;
}

// "sets iCost 58, iMoves 2, removes iFoo": what a change does to a record
// that another change removes.
std::string record_changes(const std::map<std::string, const XmlIndex::Field*>& fields)
{
    std::string sets, removes;
    for (const auto& [name, field] : fields) {
        std::string& list = field->removed ? removes : sets;
        list += (list.empty() ? "" : ", ") + (field->removed ? name : name + " " + shown(field->value));
    }
    if (sets.empty() && removes.empty())
        return "changes it";
    if (removes.empty())
        return "sets " + sets;
    return sets.empty() ? "removes " + removes : "sets " + sets + ", removes " + removes;
}

ConflictDetail record_detail(const std::string& file, const std::string& key, const XmlIndex::Item& a,
    const XmlIndex::Item& b, const XmlIndex* game, const std::string& a_name, const std::string& b_name)
{
    ConflictDetail d{file, a.name + " " + key, {}, false};
    const XmlIndex::Item* g = nullptr;
    if (game) {
        auto it = game->children.find(key);
        if (it != game->children.end() && it->second.type == OBJECT)
            g = &it->second;
    }
    if (a.removed || b.removed) {
        // Removed first, the record comes back with the other's fields only; removed last, it is gone.
        d.answer_matters = true;
        const std::string& remover = a.removed ? a_name : b_name;
        const std::string& other = a.removed ? b_name : a_name;
        const XmlIndex::Item& changed = a.removed ? b : a;
        d.lines.push_back(key + ": " + remover + " removes it, " + other + " " + record_changes(changed_fields(changed, g)));
        return d;
    }
    const auto fa = changed_fields(a, g);
    const auto fb = changed_fields(b, g);
    std::map<std::string, int> all;
    for (const auto& f : fa)
        all[f.first] |= 1;
    for (const auto& f : fb)
        all[f.first] |= 2;
    bool shared = false;
    bool alike = true; // the fields both change get the same values
    for (const auto& [field, sides] : all) {
        const std::string* gv = nullptr;
        if (g) {
            auto it = g->fields.find(field);
            if (it != g->fields.end())
                gv = &it->second.value;
        }
        std::string line = field + ": " + game_part(game, gv);
        if (sides == 3) {
            const XmlIndex::Field& x = *fa.at(field);
            const XmlIndex::Field& y = *fb.at(field);
            // Without the game's record, a field both give alike is most
            // likely one neither changes (a record's class, its description).
            if (!g && x.value == y.value)
                continue;
            shared = true;
            alike = alike && x.value == y.value;
            if (order_matters(x, y))
                d.answer_matters = true;
            line += side(a_name, x.value, x.removed) + ", " + side(b_name, y.value, y.removed);
        } else if (sides == 1) {
            line += side(a_name, fa.at(field)->value, fa.at(field)->removed);
        } else {
            line += side(b_name, fb.at(field)->value, fb.at(field)->removed);
        }
        d.lines.push_back(line);
    }
    if (!shared)
        d.lines.push_back("No field is changed by both: both changes are kept whatever the answer.");
    else if (!d.answer_matters && alike)
        d.lines.push_back("The fields both change get the same values: both changes are kept whatever the answer.");
    else if (!d.answer_matters)
        d.lines.push_back("Both mods' changes of the fields both change are kept whatever the answer.");
    return d;
}

void describe_script(const std::string& file, const Diff& a, const Diff& b, const std::string& a_name,
    const std::string& b_name, ConflictReport& report, Sides& sides)
{
    // The same regions the conflict check reports, so the question and its
    // message name the same lines.
    for (const DiffConflict& region : find_conflicts(a, b)) {
        ConflictDetail d{file, describe_lines(region), {}, true};
        for (int side = 0; side < 2; ++side) {
            Pieces& hasher = side == 0 ? sides.first : sides.second;
            hasher.add_copy(d.where);
            const std::vector<std::string>& written = side == 0 ? region.lines_a : region.lines_b;
            for (const std::string& line : written)
                hasher.add_copy(line);
            const std::string& name = side == 0 ? a_name : b_name;
            d.lines.push_back(written.empty() ? name + " removes them." : name + " writes:");
            for (const std::string& line : written)
                d.lines.push_back("    " + line);
        }
        report.details.push_back(std::move(d));
    }
}

const char* what_change_does(Change::Type type)
{
    switch (type) {
    case Change::WHOLE:
        return "replaces the whole file";
    case Change::DIFF:
        return "changes lines of it";
    case Change::XML:
        return "changes elements of it";
    }
    return "changes it";
}

void describe_whole(
    const Change& a, const Change& b, const std::string& a_name, const std::string& b_name, ConflictReport& report)
{
    report.details.push_back({a.file, "", {a_name + " " + what_change_does(a.type), b_name + " " + what_change_does(b.type)}, true});
}

// The records, fields or values two xml changes of one file both change;
// without `report`, only what identifies each side.
void describe_xml(const std::string& file, const XmlIndex& ia, const XmlIndex& ib, const XmlIndex* g,
    const std::string& a_name, const std::string& b_name, ConflictReport* report, Sides& sides)
{
    sides.first.add(file);
    sides.second.add(file);
    if (ia.type == CONTAINER || ia.type == OBJECT) {
        for (const auto& [key, item] : ia.children) {
            auto other = ib.children.find(key);
            if (other == ib.children.end())
                continue;
            // Removed by both: gone whichever comes last.
            if (item.removed && other->second.removed)
                continue;
            sides.first.add(key).add(item.value);
            sides.second.add(key).add(other->second.value);
            if (!report)
                continue;
            if (item.type == OBJECT && other->second.type == OBJECT) {
                report->details.push_back(record_detail(file, key, item, other->second, g, a_name, b_name));
                continue;
            }
            const std::string* gv = nullptr;
            if (g) {
                auto it = g->children.find(key);
                if (it != g->children.end())
                    gv = &it->second.value;
            }
            report->details.push_back({file, item.name, {values_line(g, gv, a_name, item, b_name, other->second)},
                item.value != other->second.value});
        }
        return;
    }
    // The items of both are kept, unless one removes what the other adds.
    if (ia.type == SET && !share_any(ia.added_items, ib.removed_items) && !share_any(ib.added_items, ia.removed_items))
        return;
    sides.first.add(ia.value);
    sides.second.add(ib.value);
    if (!report)
        return;
    report->details.push_back({file, ia.path.back(),
        {game_part(g, g ? &g->value : nullptr) + a_name + " " + shown(ia.value) + ", " + b_name + " "
            + shown(ib.value)},
        ia.value != ib.value});
}

} // namespace

bool ConflictReport::answer_matters() const
{
    return details.empty()
        || std::any_of(details.begin(), details.end(), [](const ConflictDetail& d) { return d.answer_matters; });
}

std::vector<std::string> ConflictReport::text() const
{
    std::vector<std::string> out;
    std::size_t shown_places = 0;
    for (const ConflictDetail& d : details) {
        // Two overhauls may share thousands of records: a question shows the first ones.
        if (shown_places == shown_places_limit) {
            const std::size_t more = details.size() - shown_places;
            out.push_back("... and " + std::to_string(more) + (more == 1 ? " more place." : " more places."));
            break;
        }
        ++shown_places;
        const std::string file = platform::native(d.file);
        out.push_back(d.where.empty() ? file + ":" : file + ", " + d.where + ":");
        for (const std::string& line : d.lines)
            out.push_back("  " + line);
    }
    return out;
}

// Where two changes of a pair meet (one file, or two changes of it), and
// what is found there.
struct ConflictDescriber::Meeting {
    std::size_t pair;
    const Mod* a;
    const Mod* b;
    const Change* ca;
    const Change* cb;
    std::vector<ConflictDetail> details;
    Sides sides;
};

namespace {

std::unique_ptr<XmlIndex> change_index(const Mod& mod, const Change& change)
{
    std::unique_ptr<xmlpp::DomParser> parser = parse_change_text(mod, change);
    return index_document(parser->get_document()->get_root_node(), nullptr);
}

// The game's copy of file along like's path, its records indexed only where
// `wanted` names them: the game's other records would cost time and memory
// for nothing.
std::unique_ptr<XmlIndex> game_index(
    const GameFiles& game, const std::string& file, const XmlIndex& like, const std::set<std::string>& wanted)
{
    const Path found = game.find(Path(file));
    try {
        if (!found.empty()) {
            std::unique_ptr<xmlpp::DomParser> parser = parse_game_file(found);
            if (xmlpp::Element* root = parser->get_document()->get_root_node())
                return index_document(root, &like.path, &wanted);
        }
    } catch (const std::exception&) {
        // Missing or unreadable: the question shows the mods' values only.
    }
    return nullptr;
}

void describe_meeting(const Change& ca, const Change& cb, const std::string& a_name, const std::string& b_name,
    ConflictReport& report, Sides& sides)
{
    if (ca.type == Change::DIFF && cb.type == Change::DIFF) {
        Diff da, db;
        std::istringstream ina(ca.text), inb(cb.text);
        try {
            da.read(ina);
            db.read(inb);
        } catch (const GenericError&) {
            return; // check_conflicts reports an unreadable difference
        }
        describe_script(ca.file, da, db, a_name, b_name, report, sides);
        if (report.details.empty() && da.check_conflicts(db)) {
            // Not one line both change, but too close for the check.
            report.details.push_back({ca.file, "", {a_name + " and " + b_name + " change lines close to each other."}, true});
            sides.first.add(ca.text);
            sides.second.add(cb.text);
        }
    } else if (ca.type != cb.type || !ca.same_payload(cb)) {
        describe_whole(ca, cb, a_name, b_name, report);
        sides.first.add(ca);
        sides.second.add(cb);
    }
}

} // namespace

ConflictDescriber::ConflictDescriber(GameFiles game)
    : game(std::move(game))
{ }

ConflictDescriber::~ConflictDescriber() = default;

// The meetings of one file: its game copy is read once and dropped when the
// file is done; each xml change is indexed once into `changes`, which the
// report's hash pieces see until the end.
void ConflictDescriber::describe_file(std::vector<Meeting*>& meetings, ChangeIndexes& changes, bool details)
{
    auto index_of = [&changes](const Mod& mod, const Change& change) -> const XmlIndex& {
        std::unique_ptr<XmlIndex>& slot = changes[&change];
        if (!slot)
            slot = change_index(mod, change);
        return *slot;
    };
    auto xml_error = [](const Meeting& m, const xmlpp::exception& e) {
        // The XML library's own exception is not one of ours; no front end would catch it.
        const std::string message = library_message(e);
        return XmlError(format("XML error in mod '%S': %S", &m.a->name, &message));
    };
    // The two changes' indexes when both are xml changes of the same level.
    auto xml_sides = [&](const Meeting& m) -> std::pair<const XmlIndex*, const XmlIndex*> {
        if (m.ca->type != Change::XML || m.cb->type != Change::XML)
            return {nullptr, nullptr};
        const XmlIndex& ia = index_of(*m.a, *m.ca);
        const XmlIndex& ib = index_of(*m.b, *m.cb);
        if (ia.path != ib.path || ia.type != ib.type)
            return {nullptr, nullptr};
        return {&ia, &ib};
    };
    // The game's copy is read along the first such meeting's path, with the
    // records that two changes both name.
    const Meeting* first = nullptr;
    const XmlIndex* like = nullptr;
    std::set<std::string> wanted;
    for (Meeting* m : meetings) {
        try {
            auto [ia, ib] = xml_sides(*m);
            if (!ia)
                continue;
            if (!like) {
                first = m;
                like = ia;
            }
            for (const auto& child : ia->children)
                if (ib->children.count(child.first))
                    wanted.insert(child.first);
        } catch (const xmlpp::exception& e) {
            throw xml_error(*m, e);
        }
    }
    // Records that no two changes share need no game values: the file is not
    // read; nor is it when only the sides are wanted.
    const bool by_key = like && (like->type == CONTAINER || like->type == OBJECT);
    std::unique_ptr<XmlIndex> game_copy;
    if (details && like && !(by_key && wanted.empty()))
        game_copy = game_index(game, first->ca->file, *like, wanted);
    for (Meeting* m : meetings) {
        ConflictReport part;
        try {
            auto [ia, ib] = xml_sides(*m);
            if (ia)
                describe_xml(m->ca->file, *ia, *ib, game_copy.get(), m->a->name, m->b->name, details ? &part : nullptr,
                    m->sides);
            else if (m->ca->type != Change::XML || m->cb->type != Change::XML)
                describe_meeting(*m->ca, *m->cb, m->a->name, m->b->name, part, m->sides);
        } catch (const xmlpp::exception& e) {
            throw xml_error(*m, e);
        }
        m->details = std::move(part.details);
    }
}

std::vector<ConflictReport> ConflictDescriber::describe(const std::vector<ConflictPair>& pairs)
{
    return reports(pairs, true);
}

std::vector<ConflictReport> ConflictDescriber::describe_sides(const std::vector<ConflictPair>& pairs)
{
    return reports(pairs, false);
}

std::vector<ConflictReport> ConflictDescriber::reports(const std::vector<ConflictPair>& pairs, bool details)
{
    // Each mod's changes keyed once, in their order and by file: a mod meets many others.
    struct Keyed {
        std::vector<std::string> keys;
        std::map<std::string, std::vector<const Change*>> by_file;
    };
    std::map<const Mod*, Keyed> keyed;
    auto keyed_of = [&keyed](const Mod& mod) -> const Keyed& {
        auto [it, added] = keyed.try_emplace(&mod);
        if (added)
            for (const Change& c : mod.changes) {
                it->second.keys.push_back(file_key(c.file));
                it->second.by_file[it->second.keys.back()].push_back(&c);
            }
        return it->second;
    };
    // Every meeting of every pair in the reports' order, then grouped by file.
    std::vector<Meeting> meetings;
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        const Mod& a = *pairs[p].first;
        const Mod& b = *pairs[p].second;
        const Keyed& of_a = keyed_of(a);
        const Keyed& of_b = keyed_of(b);
        std::size_t i = 0;
        for (const Change& ca : a.changes) {
            auto same_file = of_b.by_file.find(of_a.keys[i++]);
            // As the conflict check: files no game reads are applied by neither.
            if (same_file != of_b.by_file.end() && is_game_file_name(ca.file))
                for (const Change* cb : same_file->second)
                    meetings.push_back({p, &a, &b, &ca, cb, {}, {}});
        }
    }
    ChangeIndexes changes;
    std::map<std::string, std::vector<Meeting*>> by_file;
    for (Meeting& m : meetings)
        by_file[file_key(m.ca->file)].push_back(&m);
    for (auto& [key, of_file] : by_file)
        describe_file(of_file, changes, details);

    std::vector<ConflictReport> reports(pairs.size());
    std::vector<std::pair<Hasher, Hasher>> hashers(pairs.size());
    for (std::size_t p = 0; p < pairs.size(); ++p)
        reports[p].message = pairs[p].message;
    for (Meeting& m : meetings) {
        ConflictReport& report = reports[m.pair];
        if (details)
            std::move(m.details.begin(), m.details.end(), std::back_inserter(report.details));
        m.sides.first.hash_into(hashers[m.pair].first);
        m.sides.second.hash_into(hashers[m.pair].second);
    }
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        reports[p].first_changes = hashers[p].first.value();
        reports[p].second_changes = hashers[p].second.value();
        reports[p].described = details;
    }
    return reports;
}

ConflictReport ConflictDescriber::describe(const Mod& a, const Mod& b, const std::string& message)
{
    return std::move(describe({{&a, &b, message}}).front());
}

} // namespace velmora
