#include "creator/modcreator.h"

#include <libxml++/document.h>
#include <libxml++/nodes/element.h>
#include <libxml++/nodes/textnode.h>
#include <libxml++/parsers/domparser.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <string_view>
#include <unordered_map>
#include <sstream>
#include <unordered_set>
#include <vector>

#include "base/errors.h"
#include "base/format.h"
#include "diff/diff.h"
#include "mod/change_path.h"
#include "mod/game_file_names.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/removal.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/element_info.h"
#include "xml/elements.h"
#include "xml/library.h"
#include "xml/misc.h"
#include "xml/parse.h"
#include "xml/tree.h"

namespace velmora {

namespace {

std::string system_reason(int error) { return error ? std::strerror(error) : "read error"; }

bool last_component_is(const Path& p, const char* name)
{
    return !p.empty() && platform::stricmp(p[-1].c_str(), name) == 0;
}

bool is_file(const Path& p)
{
    bool folder = false;
    return !p.empty() && platform::stat(p.str(), &folder) == 0 && !folder;
}

std::string read_bytes(const Path& file)
{
    std::string bytes;
    // A file cut short would be recorded as if the modder had cut it.
    if (read_whole_file(file, bytes) != 0) {
        std::string reason = system_reason(errno);
        throw GenericError(format("Cannot read %S: %S", &file, &reason));
    }
    return bytes;
}

// Whether file holds exactly bytes. Read block by block and stopped at the
// first difference: a copied art folder holds gigabytes that equal the game's.
bool same_bytes(const Path& file, const std::string& bytes)
{
    errno = 0;
    std::ifstream in(platform::native(file), std::ios::binary | std::ios::ate);
    if (!in) {
        std::string reason = system_reason(errno);
        throw GenericError(format("Cannot read %S: %S", &file, &reason));
    }
    if (static_cast<std::streamoff>(in.tellg()) != static_cast<std::streamoff>(bytes.size()))
        return false;
    in.seekg(0);
    char buffer[65536];
    std::string::size_type at = 0;
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        const auto n = static_cast<std::string::size_type>(in.gcount());
        if (at + n > bytes.size() || bytes.compare(at, n, buffer, n) != 0)
            return false;
        at += n;
    }
    if (in.bad()) {
        std::string reason = system_reason(errno);
        throw GenericError(format("Cannot read %S: %S", &file, &reason));
    }
    return at == bytes.size();
}

std::unique_ptr<xmlpp::DomParser> parse(const Path& file, const std::string& bytes)
{
    try {
        // The same reader as parse_game_file (its ISO-8859-1 fallback included),
        // given the bytes that were read once for the comparison as well.
        std::unique_ptr<xmlpp::DomParser> parser = parse_xml_text(bytes);
        if (!parser->get_document()->get_root_node())
            throw XmlLibraryError("The file has no root element");
        return parser;
    } catch (const XmlLibraryError& e) {
        std::string message = library_message(e);
        throw XmlError(format("XML error in %S: %S", &file, &message));
    }
}

const char* type_word(Change::Type type)
{
    switch (type) {
    case Change::DIFF:
        return "diff";
    case Change::XML:
        return "xml";
    default:
        return "whole";
    }
}

} // namespace

ModCreator::ModCreator(const Path& civ4_dir, const Path& settings_dir, const Path& dir, bool write_report)
    : assets_dir(civ4_dir)
    , dir(dir)
{
    if (!write_report)
        return;
    report_file = settings_dir / Path("report.txt");
    errno = 0;
    report = std::make_unique<std::ofstream>(platform::native(report_file), std::ios::out | std::ios::trunc);
    if (!*report) {
        std::string reason = system_reason(errno);
        throw GenericError(format("Cannot write the report %S: %S", &report_file, &reason));
    }
}

ModCreator::~ModCreator() = default;

Mod* ModCreator::create()
{
    files.clear();
    skipped_files.clear();
    document_files.clear();
    processed = 0;
    walking.clear();

    if (!last_component_is(dir, "Assets") && !last_component_is(dir, "CustomAssets"))
        dir = dir / Path("Assets");
    dir = fix_case(dir);
    if (!is_folder(dir))
        throw GenericError(format("Directory %S does not exist", &dir));
    if (!last_component_is(assets_dir, "Assets"))
        assets_dir = assets_dir / Path("Assets");
    assets_dir = fix_case(assets_dir);
    if (!is_folder(assets_dir))
        throw GenericError("Your Civ4 directory seems to be invalid (no Assets directory found)");
    // The game's own folder first, as the user chose it; the others as the game finds them.
    std::vector<Path> game_dirs = GameFiles::of_game(assets_dir.subpath(0, assets_dir.size() - 1)).folders();
    if (game_dirs.empty())
        game_dirs.push_back(assets_dir);
    else
        game_dirs.front() = assets_dir;
    if (!base_mod.empty()) {
        const Path base = fix_case(base_mod / Path("Assets"));
        if (!is_folder(base))
            throw GenericError(format("The base mod folder %S has no \"Assets\" folder.", &base_mod));
        game_dirs.insert(game_dirs.begin(), base);
    }
    game = std::make_unique<GameFiles>(std::move(game_dirs));

    std::unique_ptr<Mod> result(new Mod);
    mod = result.get();
    struct Done {
        Mod*& mod;
        ~Done() { mod = nullptr; }
    } done{mod};

    if (process_directory(Path()) != 0)
        return nullptr;
    for (const Path& rel : files)
        if (process_file(rel) != 0)
            return nullptr;
    return result.release();
}

int ModCreator::process_directory(const Path& rel)
{
    const Path folder = dir / rel;
    // A link to a folder is walked like the folder, but not one that leads
    // back into a folder being walked: that would never end.
    const std::string real = platform::real_path(folder.str());
    if (!real.empty() && !walking.insert(real).second)
        return 0;
    std::vector<std::string> names;
    errno = 0;
    if (!platform::read_dir(folder.str(), names)) {
        std::string reason = system_reason(errno);
        throw GenericError(format("Cannot read the directory %S: %S", &folder, &reason));
    }
    // In byte order, like list_files: the same mod from the same folder on every system.
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (name == "." || name == "..")
            continue;
        const Path child = child_path(rel, name);
        if (is_folder(dir / child))
            process_directory(child);
        else
            files.push_back(child);
    }
    if (!real.empty())
        walking.erase(real);
    return 0;
}

int ModCreator::process_file(const Path& rel)
{
    // Only create() sets up the folders and the mod.
    if (!mod)
        return -1;
    // Before the name's other checks: "Icon\r" is no valid name on Windows,
    // but it is a folder's icon on a Mac, not something to stop at.
    const NameKind kind = kind_of_name(rel.str());
    if (kind != NameKind::GameFile) {
        skipped_files.push_back(rel.str());
        report_type(rel, kind == NameKind::Own ? "skipped (Velmora's own file)" : "skipped (no game reads it)");
        return 0;
    }
    const std::string name = rel.empty() ? std::string() : rel[-1];
    const std::string::size_type dot = name.rfind('.');
    if (dot == std::string::npos)
        return 0;
    const std::string ext = name.substr(dot + 1);
    // The mod could be saved but never loaded again.
    if (!is_safe_change_path(rel.str()))
        throw GenericError(format("The file %S cannot be part of a mod: its name is not a valid file name on "
                                  "Windows",
            &rel));

    const double fraction = files.empty() ? 0.0 : static_cast<double>(processed) / files.size();
    signal_progress.emit(rel, static_cast<float>(fraction));
    ++processed;

    const Path game = this->game->find(rel);
    const Path modified = dir / rel;
    Change::Type type = Change::WHOLE;
    if (is_file(game) && ext == "xml")
        type = Change::XML;
    else if (is_file(game) && ext == "py")
        type = Change::DIFF;

    switch (type) {
    case Change::XML:
        // Written first: the element comparison adds its lines below it.
        report_type(rel, type_word(type));
        process_xml(rel, game, modified);
        break;
    case Change::DIFF:
        process_diff(rel, game, modified);
        break;
    default: {
        const std::size_t before = mod->changes.size();
        process_whole(rel, game, modified);
        if (mod->changes.size() > before && is_top_document(rel.str())) {
            document_files.push_back(rel.str());
            report_line(1, "a document: the game does not read it, the mod carries it");
        }
        break;
    }
    }
    return 0;
}

void ModCreator::report_type(const Path& rel, const char* word)
{
    write_report(rel.str() + " -> " + word + "\n");
}

void ModCreator::process_xml(const Path& rel, const Path& game, const Path& modified)
{
    std::unique_ptr<xmlpp::DomParser> orig_parser, modified_parser;
    {
        const std::string orig_bytes = read_bytes(game);
        const std::string modified_bytes = read_bytes(modified);
        orig_parser = parse(game, orig_bytes);
        // Most files of a copied "Assets" folder are unchanged. Such a file is
        // compared with itself: the walk writes the same report lines and
        // meets the same errors as with a second parse, at half the cost.
        modified_parser = orig_bytes == modified_bytes ? nullptr : parse(modified, modified_bytes);
    }
    xmlpp::Document* document = (modified_parser ? modified_parser : orig_parser)->get_document();

    int r;
    try {
        r = with_xml_library([&] {
            return process_element(orig_parser->get_document()->get_root_node(), document->get_root_node(), 1);
        });
    } catch (const GenericError& e) {
        throw GenericError(format("%s (in %S)", e.what(), &rel));
    } catch (const XmlLibraryError& e) {
        std::string message = library_message(e);
        throw GenericError(format("%S (in %S)", &message, &rel));
    }
    if (r != 0)
        return;

    std::ostringstream text;
    try {
        call_xml_library([&] { document->write_to_stream_formatted(text, "utf8"); });
    } catch (const XmlLibraryError& e) {
        std::string message = library_message(e);
        throw GenericError(format("Cannot write the change of %S: %S", &rel, &message));
    }
    mod->changes.push_back({rel.str(), Change::XML, format_xml(text.str())});
}

void ModCreator::process_diff(const Path& rel, const Path& game, const Path& modified)
{
    // Diff reads an unreadable stream as no lines: that would record a script
    // emptied, or one added whole, so both are checked.
    auto open = [](const Path& file, std::ifstream& in) {
        errno = 0;
        in.open(platform::native(file));
        if (!in) {
            std::string reason = system_reason(errno);
            throw GenericError(format("Cannot read %S: %S", &file, &reason));
        }
    };
    std::ifstream orig_in, modified_in;
    open(game, orig_in);
    open(modified, modified_in);
    Diff diff;
    diff.create(orig_in, modified_in);
    if (orig_in.bad())
        throw GenericError(format("Cannot read %S: %s", &game, "read error"));
    if (modified_in.bad())
        throw GenericError(format("Cannot read %S: %s", &modified, "read error"));
    // A script that differs in nothing (or only in its kind of line ends,
    // which applying keeps from the game's copy) needs no change.
    if (diff.blocks.empty()) {
        report_type(rel, "unchanged");
        return;
    }
    report_type(rel, type_word(Change::DIFF));
    std::ostringstream text;
    diff.write(text);
    mod->changes.push_back({rel.str(), Change::DIFF, text.str()});
}

void ModCreator::process_whole(const Path& rel, const Path& game, const Path& modified)
{
    std::string bytes = read_bytes(modified);
    // A copy of the game's own file would change nothing alone, and with
    // other mods it would undo their changes to that file.
    if (is_file(game) && same_bytes(game, bytes)) {
        report_type(rel, "unchanged");
        return;
    }
    report_type(rel, type_word(Change::WHOLE));
    mod->changes.push_back({rel.str(), Change::WHOLE, std::move(bytes)});
}

// The comparison walks the XML library's nodes directly (TreeNode): libxml++
// would create a C++ object for every node it hands out, and the element
// table would be asked once per element with freshly built strings.
class ModCreator::Comparison {
public:
    Comparison(ModCreator& creator, TreeNode any);

    int element(TreeNode orig, TreeNode modified, unsigned int depth);
    int object_element(TreeNode orig, TreeNode modified, unsigned int depth);
    int list_element(TreeNode orig, TreeNode modified, unsigned int depth);
    int set_element(TreeNode orig, TreeNode modified, unsigned int depth);

private:
    struct Kind {
        int type;
        const char* key; // a record's key word, as get_object_key
    };
    // The element children of a container or record by key, in key order
    // (the order of the report), as build_element_map numbers them.
    struct NodeMap {
        struct Entry {
            std::string_view first; // the key, numbered
            TreeNode second;
            std::string_view base; // the key before numbering
            unsigned occurrence; // of base, from 0 in document order
        };
        std::vector<Entry> entries;
        std::deque<std::string> numbered; // the keys "[n]" made, which entries point into
        TreeNode find(std::string_view key) const
        {
            auto it = std::lower_bound(entries.begin(), entries.end(), key,
                [](const Entry& e, std::string_view k) { return e.first < k; });
            return it != entries.end() && it->first == key ? it->second : TreeNode();
        }
    };
    using NodeList = std::vector<std::pair<std::string_view, TreeNode>>;

    const Kind& kind_of(TreeNode e);
    std::string_view key_of(TreeNode c);
    NodeMap build_map(TreeNode e);
    NodeList build_list(TreeNode e);
    void check_unchanged(TreeNode e, unsigned int depth);
    bool keep_new_element(TreeNode e, std::string_view key, unsigned int depth);
    void drop_ignored_children(TreeNode e, unsigned int depth);
    void keep_as_anchor(TreeNode m);
    void record_removals(TreeNode modified, std::vector<const NodeMap::Entry*>& removed);
    void record_removal(TreeNode modified, TreeNode removed, const std::string& name);

    ModCreator& creator;
    const std::string group;
    // The keys from the collection of the file's records down to the element
    // being compared: where a removal's report line says it is.
    std::vector<std::string> path;
    // The table's answer by element name. Names that the document's dictionary
    // holds are kept by address: the parser stores each name once there.
    std::unordered_map<const void*, Kind> by_address;
    std::map<std::string, Kind, std::less<>> by_name;
};

namespace {

// Plain items compare by their text; an item with content of its own (an
// opaque one) by that content, which its leading text does not show.
bool same_item(const std::pair<std::string_view, TreeNode>& a, const std::pair<std::string_view, TreeNode>& b)
{
    if (a.second.has_element_children() || b.second.has_element_children())
        return opaque_equal(a.second, b.second);
    return a.first == b.first;
}

} // namespace

ModCreator::Comparison::Comparison(ModCreator& creator, TreeNode any)
    : creator(creator)
    , group(group_of_root(any.top().name()))
{ }

const ModCreator::Comparison::Kind& ModCreator::Comparison::kind_of(TreeNode e)
{
    const bool interned = e.name_interned();
    if (interned) {
        auto it = by_address.find(e.name_address());
        if (it != by_address.end())
            return it->second;
    }
    const char* name = e.name();
    auto it = by_name.find(std::string_view(name));
    if (it == by_name.end()) {
        // The path of any element of that name in this document gives the
        // table's answer: only the group and the name count.
        const std::string path = "/Civ4" + group + "/" + name;
        it = by_name.emplace(name, Kind {get_element_type(path), get_object_key(path)}).first;
    }
    if (interned)
        by_address.emplace(e.name_address(), it->second);
    return it->second;
}

std::string_view ModCreator::Comparison::key_of(TreeNode c)
{
    const char* name = c.name();
    const Kind& kind = kind_of(c);
    if (kind.type != OBJECT)
        return name;
    if (!kind.key)
        throw GenericError(std::string("Don't know key for object ") + name);
    // A record listed without a key word is matched by its name, like a field.
    if (!*kind.key)
        return name;
    for (TreeNode k = c.first_child(); k; k = k.next())
        if (k.is_element() && std::strcmp(k.name(), kind.key) == 0)
            // The game's data has records whose key element is empty: "" is their key.
            return k.text();
    throw GenericError(std::string("No key found for object ") + name);
}

ModCreator::Comparison::NodeMap ModCreator::Comparison::build_map(TreeNode e)
{
    NodeMap map;
    std::vector<std::pair<std::string_view, TreeNode>> children;
    for (TreeNode c = e.first_child(); c; c = c.next())
        if (c.is_element())
            children.emplace_back(key_of(c), c);
    // A repeated key gets "[1]", "[2]"... in document order; a numbered key
    // that is taken already moves on to the next free number.
    std::unordered_map<std::string_view, unsigned> seen;
    std::unordered_set<std::string_view> taken;
    seen.reserve(children.size());
    taken.reserve(children.size());
    for (auto& [key, c] : children) {
        unsigned& count = seen[key];
        std::string_view numbered = key;
        if (count > 0) {
            map.numbered.push_back(std::string(key) + "[" + std::to_string(count) + "]");
            numbered = map.numbered.back();
        }
        ++count;
        while (taken.count(numbered)) {
            map.numbered.push_back(std::string(key) + "[" + std::to_string(count) + "]");
            numbered = map.numbered.back();
            ++count;
        }
        taken.insert(numbered);
        map.entries.push_back({numbered, c, key, count - 1});
    }
    std::sort(map.entries.begin(), map.entries.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    return map;
}

ModCreator::Comparison::NodeList ModCreator::Comparison::build_list(TreeNode e)
{
    NodeList list;
    for (TreeNode c = e.first_child(); c; c = c.next()) {
        if (!c.is_element())
            continue;
        const int type = kind_of(c).type;
        if (type != VALUE && type != OPAQUE)
            throw GenericError(std::string("Non-value element ") + c.name() + " when building element list");
        // Empty items (padding such as <BonusType/>) occur in the game's data.
        list.emplace_back(c.text(), c);
    }
    return list;
}

// The walk of an element compared with itself: nothing differs, but the
// report shows what is ignored and the element table's errors are found, as
// for any other element.
void ModCreator::Comparison::check_unchanged(TreeNode e, unsigned int depth)
{
    const int type = kind_of(e).type;
    switch (type) {
    case IGNORE:
        creator.report_line(depth, std::string("Warning: ignoring ") + e.name());
        return;
    case TOPLEVEL: {
        TreeNode a = e.first_element();
        if (!a)
            throw GenericError("Toplevel element with no contents?");
        check_unchanged(a, depth);
        return;
    }
    case CONTAINER:
    case OBJECT: {
        if (!creator.report) {
            // Without a report only the errors count: no order to keep, no map to build.
            for (TreeNode c = e.first_child(); c; c = c.next())
                if (c.is_element())
                    key_of(c);
            for (TreeNode c = e.first_child(); c; c = c.next())
                if (c.is_element())
                    check_unchanged(c, type == CONTAINER ? depth + 1 : depth);
            return;
        }
        const NodeMap map = build_map(e);
        for (const auto& entry : map.entries)
            check_unchanged(entry.second, type == CONTAINER ? depth + 1 : depth);
        return;
    }
    case LIST:
    case SET:
        build_list(e);
        return;
    case OPAQUE:
        return;
    case VALUE:
        if (e.has_element_children())
            throw GenericError(std::string("Value element ") + e.name()
                + " has children.  Maybe it isn't really a value element?");
        return;
    default: {
        const std::string name = e.name();
        throw GenericError(format("Don't know type of element %S", &name));
    }
    }
}

int ModCreator::Comparison::element(TreeNode orig, TreeNode modified, unsigned int depth)
{
    if (std::strcmp(orig.name(), modified.name()) != 0)
        throw GenericError("Attempt to process elements with different names");
    if (orig == modified) {
        check_unchanged(orig, depth);
        return 1;
    }
    const int type = kind_of(orig).type;
    switch (type) {
    case IGNORE:
        creator.report_line(depth, std::string("Warning: ignoring ") + orig.name());
        return 1;
    case TOPLEVEL: {
        TreeNode a = orig.first_element();
        TreeNode b = modified.first_element();
        if (!a || !b)
            throw GenericError("Toplevel element with no contents?");
        return element(a, b, depth);
    }
    case CONTAINER:
    case OBJECT:
        return object_element(orig, modified, depth);
    case LIST:
        return list_element(orig, modified, depth);
    case SET:
        return set_element(orig, modified, depth);
    case OPAQUE:
        if (opaque_equal(orig, modified))
            return 1;
        creator.report_line(depth, std::string(orig.name()) + ": changed");
        return 0;
    case VALUE: {
        if (orig.has_element_children() || modified.has_element_children())
            throw GenericError(std::string("Value element ") + orig.name()
                + " has children.  Maybe it isn't really a value element?");
        const TreeNode a = orig.child_text();
        const TreeNode b = modified.child_text();
        if (!a || !b)
            return !a && !b ? 1 : 0;
        const std::string_view ta = orig.text(), tb = modified.text();
        if (ta == tb)
            return 1;
        creator.report_line(
            depth, std::string(orig.name()) + ": changed " + std::string(ta) + " -> " + std::string(tb));
        return 0;
    }
    default: {
        const std::string name = orig.name();
        throw GenericError(format("Don't know type of element %S", &name));
    }
    }
}

int ModCreator::Comparison::object_element(TreeNode orig, TreeNode modified, unsigned int depth)
{
    if (orig == modified) {
        check_unchanged(orig, depth);
        return 1;
    }
    const NodeMap mo = build_map(orig);
    const NodeMap mm = build_map(modified);
    const Kind& kind = kind_of(orig);
    const bool container = kind.type == CONTAINER;
    std::string_view keyname;
    if (!container) {
        if (!kind.key)
            throw GenericError(std::string("Don't know key for object ") + orig.name());
        keyname = kind.key;
    }

    // A removed key numbered "[n]" is the n+1st of its name in the game's
    // element: the change keeps the modifier's elements of that name before
    // it, so that its removal is numbered alike when the change is merged.
    std::unordered_set<std::string_view> anchored;
    // Found before the walk below frees unchanged children of modified, whose
    // texts mm's keys point into.
    std::vector<const NodeMap::Entry*> removed;
    for (const auto& entry : mo.entries) {
        if (mm.find(entry.first))
            continue;
        // Ignored elements are the game's business, as when they change.
        if (kind_of(entry.second).type != IGNORE)
            removed.push_back(&entry);
        if (entry.occurrence > 0)
            anchored.insert(entry.base);
    }

    bool unchanged = true;
    for (const auto& entry : mm.entries) {
        const std::string_view key = entry.first;
        TreeNode m = entry.second;
        TreeNode o = mo.find(key);
        if (!o) {
            if (keep_new_element(m, key, depth))
                unchanged = false;
            continue;
        }
        // Fields are reported at their record's depth; records one level below their container.
        const unsigned int child_depth = container ? depth + 1 : depth;
        // The key of a changed record stays: it names the record the change applies to.
        const bool drop = container || key != keyname;
        const bool anchor = anchored.count(entry.base) > 0;
        path.emplace_back(key);
        if (drop && same_subtree(o, m)) {
            check_unchanged(o, child_depth);
            if (anchor)
                keep_as_anchor(m);
            else
                remove_node(m);
        } else if (element(o, m, child_depth) != 1) {
            unchanged = false;
            if (container)
                creator.report_line(depth, std::string(key) + ": changed");
        } else if (drop && !anchor) {
            remove_node(m);
        }
        path.pop_back();
    }
    remove_nonelements(modified);
    if (!removed.empty()) {
        record_removals(modified, removed);
        unchanged = false;
    }
    return unchanged ? 1 : 0;
}

// An unchanged element kept for the numbering of a removal after it: a
// record with its key alone (merging it changes nothing), anything else whole.
void ModCreator::Comparison::keep_as_anchor(TreeNode m)
{
    const Kind& kind = kind_of(m);
    if (kind.type != OBJECT || !kind.key || !*kind.key)
        return;
    for (TreeNode c = m.first_child(); c;) {
        const TreeNode next = c.next();
        if (!c.is_element() || std::strcmp(c.name(), kind.key) != 0)
            remove_node(c);
        c = next;
    }
}

// The children of the game's element that modified lacks, recorded as
// removals at the end of modified, repeated keys in their order.
void ModCreator::Comparison::record_removals(TreeNode modified, std::vector<const NodeMap::Entry*>& removed)
{
    std::sort(removed.begin(), removed.end(), [](const NodeMap::Entry* a, const NodeMap::Entry* b) {
        return a->base != b->base ? a->base < b->base : a->occurrence < b->occurrence;
    });
    for (const NodeMap::Entry* entry : removed)
        record_removal(modified, entry->second, std::string(entry->first));
}

// Appends to modified the mark that removes `removed` (an element of the
// game's document): a record with a copy of its key element, a set item with
// a copy of its content, anything else empty. name is how the report names it.
void ModCreator::Comparison::record_removal(TreeNode modified, TreeNode removed, const std::string& name)
{
    const TreeNode mark = append_element_like(modified, removed);
    if (!mark)
        throw GenericError(std::string("Cannot record the removal of ") + removed.name());
    const Kind& kind = kind_of(removed);
    const Kind& parent = kind_of(modified);
    if (kind.type == OBJECT && kind.key && *kind.key) {
        for (TreeNode k = removed.first_child(); k; k = k.next())
            if (k.is_element() && std::strcmp(k.name(), kind.key) == 0) {
                append_copy_in_scope(mark, k);
                break;
            }
    } else if (parent.type == SET) {
        for (TreeNode c = removed.first_child(); c; c = c.next())
            append_copy_in_scope(mark, c);
    }
    mark_removal(mark);
    const std::string top = path.empty() ? std::string(modified.name()) : std::string();
    creator.write_report(removal_line(path, top, name) + "\n");
}

int ModCreator::Comparison::list_element(TreeNode orig, TreeNode modified, unsigned int depth)
{
    const NodeList lo = build_list(orig);
    if (orig == modified)
        return 1;
    const NodeList lm = build_list(modified);
    if (lo.size() != lm.size())
        return 0;
    bool unchanged = true;
    for (auto a = lo.begin(), b = lm.begin(); a != lo.end(); ++a, ++b) {
        if (!same_item(*a, *b)) {
            creator.report_line(depth, std::string(a->first) + " != " + std::string(b->first));
            unchanged = false;
            break;
        }
    }
    remove_nonelements(modified);
    return unchanged ? 1 : 0;
}

int ModCreator::Comparison::set_element(TreeNode orig, TreeNode modified, unsigned int depth)
{
    const NodeList lo = build_list(orig);
    if (orig == modified)
        return 1;
    const NodeList lm = build_list(modified);
    // A set is a multiset: an item the game has twice and the modified file
    // once is removed once. Counted, not compared item by item: a set of a
    // few hundred types would be quadratic.
    std::unordered_map<std::string_view, unsigned> plain;
    std::vector<const NodeList::value_type*> structured;
    for (const auto& item : lo) {
        if (item.second.has_element_children())
            structured.push_back(&item);
        else
            ++plain[item.first];
    }

    bool unchanged = true;
    for (const auto& item : lm) {
        bool found = false;
        if (item.second.has_element_children()) {
            auto match = std::find_if(structured.begin(), structured.end(),
                [&item](const NodeList::value_type* o) { return o && same_item(*o, item); });
            if (match != structured.end()) {
                *match = nullptr;
                found = true;
            }
        } else {
            auto match = plain.find(item.first);
            if (match != plain.end() && match->second > 0) {
                --match->second;
                found = true;
            }
        }
        if (found) {
            remove_node(item.second);
        } else {
            creator.report_line(depth, std::string(item.first) + ": new");
            drop_ignored_children(item.second, depth + 1);
            unchanged = false;
        }
    }
    remove_nonelements(modified);
    // What the game's set has more often than the modified one, in its order.
    for (const auto& item : lo) {
        bool removed = false;
        if (item.second.has_element_children()) {
            auto left = std::find(structured.begin(), structured.end(), &item);
            if (left != structured.end()) {
                *left = nullptr;
                removed = true;
            }
        } else {
            auto left = plain.find(item.first);
            if (left->second > 0) {
                --left->second;
                removed = true;
            }
        }
        if (removed) {
            record_removal(
                modified, item.second, removed_item_name(std::string(item.first), item.second.name()));
            unchanged = false;
        }
    }
    return unchanged ? 1 : 0;
}

// A child that the game's element lacks stays in the change, except what the
// element table marks "ignore": merging refuses such elements, so a mod that
// carried one could never be applied.
bool ModCreator::Comparison::keep_new_element(TreeNode e, std::string_view key, unsigned int depth)
{
    if (kind_of(e).type == IGNORE) {
        creator.report_line(depth, std::string("Warning: ignoring ") + e.name());
        remove_node(e);
        return false;
    }
    creator.report_line(depth, std::string(key) + ": new");
    drop_ignored_children(e, depth + 1);
    return true;
}

void ModCreator::Comparison::drop_ignored_children(TreeNode e, unsigned int depth)
{
    for (TreeNode c = e.first_child(); c;) {
        const TreeNode next = c.next();
        if (c.is_element()) {
            if (kind_of(c).type == IGNORE) {
                creator.report_line(depth, std::string("Warning: ignoring ") + c.name());
                remove_node(c);
            } else {
                drop_ignored_children(c, depth + 1);
            }
        }
        c = next;
    }
}

int ModCreator::process_element(xmlpp::Element* orig, xmlpp::Element* modified, unsigned int depth)
{
    return Comparison(*this, TreeNode(orig)).element(TreeNode(orig), TreeNode(modified), depth);
}

int ModCreator::process_object_element(xmlpp::Element* orig, xmlpp::Element* modified, unsigned int depth)
{
    return Comparison(*this, TreeNode(orig)).object_element(TreeNode(orig), TreeNode(modified), depth);
}

int ModCreator::process_list_element(xmlpp::Element* orig, xmlpp::Element* modified, unsigned int depth)
{
    return Comparison(*this, TreeNode(orig)).list_element(TreeNode(orig), TreeNode(modified), depth);
}

int ModCreator::process_set_element(xmlpp::Element* orig, xmlpp::Element* modified, unsigned int depth)
{
    return Comparison(*this, TreeNode(orig)).set_element(TreeNode(orig), TreeNode(modified), depth);
}

void ModCreator::report_line(unsigned int depth, const std::string& text)
{
    if (report)
        write_report(std::string(2 * depth, ' ') + text + "\n");
}

void ModCreator::write_report(const std::string& text)
{
    if (!report)
        return;
    errno = 0;
    *report << text;
    // Flushed line by line: after a failure the report shows how far the work got.
    report->flush();
    if (!*report) {
        std::string reason = system_reason(errno);
        throw GenericError(format("Cannot write the report %S: %S", &report_file, &reason));
    }
}

} // namespace velmora
