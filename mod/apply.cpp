// Applying a mod's changes to the custom-assets folder.
#include <libxml++/document.h>
#include <libxml++/parsers/domparser.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "base/errors.h"
#include "base/format.h"
#include "diff/diff.h"
#include "mod/apply_mods.h"
#include "mod/change_errors.h"
#include "mod/change_path.h"
#include "mod/merge.h"
#include "mod/conflict_cache.h"
#include "mod/game_file_names.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/provenance.h"
#include "mod/removal.h"
#include "mod/schemas.h"
#include "mod/script_merge.h"
#include "xml/library.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "path/memory.h"
#include "path/platform.h"
#include "xml/parse.h"
#include "xml/schema.h"

namespace velmora {

namespace {

std::string system_reason(int error) { return error ? std::strerror(error) : "write error"; }

[[noreturn]] void refuse(const Mod& mod, const Change& change, const Path& target, const std::string& why)
{
    std::string name = printable_name(mod.name);
    std::string file = printable_name(change.file);
    throw GenericError(
        format("The mod '%S' was not applied: its change of '%S' %S the custom assets folder %S.", &name,
            &file, &why, &target));
}

bool same_component(const std::string& a, const std::string& b)
{
    // Real locations come from the system in their exact spelling; only Windows
    // names ignore letter case.
    return platform::slash_roots ? a == b : platform::stricmp(a.c_str(), b.c_str()) == 0;
}

bool lies_within(const Path& inner, const Path& outer)
{
    if (inner.size() < outer.size())
        return false;
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i)
        if (!same_component(*i, *o))
            return false;
    return true;
}

// Refuses a destination whose existing part below target passes through a
// symbolic link that leads out of target (or nowhere: writing through a
// dangling link would create its target, wherever that is).
void refuse_links_out(const Mod& mod, const Change& change, const Path& target, const Path& dst)
{
    std::string real_target;
    for (unsigned k = target.size() + 1; k <= dst.size(); ++k) {
        Path part = dst.subpath(0, k);
        platform::Kind kind = platform::kind_of(part.str());
        if (kind == platform::Kind::None)
            return;
        if (kind != platform::Kind::Link)
            continue;
        if (real_target.empty())
            real_target = platform::real_path(target.str());
        std::string real = platform::real_path(part.str());
        if (real.empty() || real_target.empty() || !lies_within(Path(real), Path(real_target))) {
            std::string shown = platform::native(part);
            refuse(mod, change, target,
                "would write through the symbolic link \"" + shown + "\", which leads outside");
        }
    }
}

// The file a change writes: target joined with the change's file, each part
// that exists already in its on-disk letter case. Refuses any file that would
// not lie inside target: mods come from forums, and their file names are
// checked when they are loaded, but a mod may also be built in memory.
Path destination(const Mod& mod, const Change& change, const Path& target)
{
    if (!is_safe_change_path(change.file))
        refuse(mod, change, target, "would write outside");
    if (kind_of_name(change.file) == NameKind::Own)
        refuse(mod, change, target, "would write a file that Velmora keeps for itself in");
    Path joined = target / Path(change.file);
    Path fixed = fix_case_below(target, Path(change.file));
    if (joined.size() <= target.size() || fixed.size() != joined.size() || !lies_within(joined, target)
        || !(fixed.subpath(0, target.size()) == target))
        refuse(mod, change, target, "would write outside");
    // Below target as found on disk, joined to target as given: fixing the
    // case of target's own components could pick a sibling folder.
    Path dst = target;
    dst /= fixed.subpath(target.size(), fixed.size() - target.size());
    refuse_links_out(mod, change, target, dst);
    return dst;
}

// Replaces dst through a temporary file beside it, so that a failed write
// never leaves a truncated file under dst's name. The fresh folder is flushed
// as a whole, not file by file.
void write_file(const Path& dst, const std::function<void(std::ostream&)>& write)
{
    if (write_file_atomically(dst, write, Flush::Later) != 0) {
        std::string reason = system_reason(errno);
        throw GenericError(format("Cannot write %S: %S", &dst, &reason));
    }
}

void write_file(const Path& dst, const std::string& bytes)
{
    if (write_file_atomically(dst, bytes, Flush::Later) != 0) {
        std::string reason = system_reason(errno);
        throw GenericError(format("Cannot write %S: %S", &dst, &reason));
    }
}

void make_folder(const Path& dst)
{
    Path folder = dst.subpath(0, dst.size() - 1);
    errno = 0;
    if (mkpath(folder, 0755) != 0) {
        std::string reason = system_reason(errno);
        throw GenericError(format("Cannot create the folder %S: %S", &folder, &reason));
    }
}

void apply_whole(const Change& change, const Path& dst)
{
    if (!change.stored) {
        write_file(dst, change.text);
        return;
    }
    write_file(dst, [&change](std::ostream& out) {
        change.read([&out](std::string_view block) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        });
    });
}

// Where the merge finds the schema of the file it changes.
struct SchemaSource {
    const GameFiles& game;
    const Path& target;
    SchemaCache& schemas;
};

std::unique_ptr<xmlpp::DomParser> parse_base(const Path& base)
{
    std::unique_ptr<xmlpp::DomParser> base_parser;
    try {
        base_parser = parse_game_file(base);
    } catch (const XmlLibraryError& e) {
        std::string message = library_message(e);
        throw XmlError(format("XML error in %S: %s", &base, message.c_str()));
    }
    if (!base_parser->get_document()->get_root_node())
        throw XmlError(format("XML error in %S: the file has no root element", &base));
    return base_parser;
}

void merge_change(const Mod& mod, const Change& change, xmlpp::Document* document, const SchemaSource& where,
    ProvenanceRecorder* provenance = nullptr, RemovalLog* log = nullptr)
{
    std::unique_ptr<xmlpp::DomParser> change_parser = parse_change_text(mod, change);
    const Schema* schema
        = schema_for(document->get_root_node(), Path(change.file), where.target, where.game, where.schemas);
    try {
        call_xml_library([&] {
            apply_element(document->get_root_node(), change_parser->get_document()->get_root_node(), schema, log);
        });
    } catch (const ConflictError&) {
        throw;
    } catch (const XmlError&) {
        throw;
    } catch (const GenericError& e) {
        throw GenericError(e.what() + change_context(mod, change));
    } catch (const XmlLibraryError& e) {
        throw GenericError(library_message(e) + change_context(mod, change));
    }
    if (provenance)
        provenance->xml(change.file, mod.name, change_parser->get_document()->get_root_node());
}

std::string written_document(xmlpp::Document* document, const Path& base)
{
    try {
        // Unformatted, so that the game's layout and comments stay as they were.
        return with_xml_library([document] { return document->write_to_string("latin1").raw(); });
    } catch (const XmlLibraryError& e) {
        std::string message = library_message(e);
        throw GenericError(format("Cannot write the merged %S: %s", &base, message.c_str()));
    }
}

std::string merged_document(const Mod& mod, const Change& change, const Path& base, const SchemaSource& where)
{
    std::unique_ptr<xmlpp::DomParser> base_parser = parse_base(base);
    merge_change(mod, change, base_parser->get_document(), where);
    return written_document(base_parser->get_document(), base);
}

void apply_xml(const Mod& mod, const Change& change, const Path& src, const Path& dst, const SchemaSource& where)
{
    // The base is what an earlier mod wrote, else the game's own file.
    std::string bytes = merged_document(mod, change, exists(dst) ? dst : src, where);
    write_file(dst, bytes);
}

std::string read_file(const Path& p)
{
    std::string bytes;
    if (read_whole_file(p, bytes) != 0) {
        std::string reason = system_reason(errno);
        throw GenericError(format("Cannot read %S: %S", &p, &reason));
    }
    return bytes;
}

// The names of the mods applied before this one that change file, quoted.
std::vector<std::string> earlier_changes(
    const std::vector<const Mod*>& applied_before, const std::string& file)
{
    std::vector<std::string> names;
    const std::string key = file_key(file);
    for (const Mod* m : applied_before) {
        for (const Change& c : m->changes) {
            if (file_key(c.file) == key) {
                names.push_back("'" + printable_name(m->name) + "'");
                break;
            }
        }
    }
    return names;
}

// A difference that fits neither the game's file nor the file as the mods
// before it left it: the message says which mod and which mods before it
// changed the file, the ones to look at.
[[noreturn]] void unable(const Mod& mod, const Change& change, const std::vector<const Mod*>& applied_before)
{
    std::string message = "Unable to apply diff to " + platform::native(printable_name(change.file)) + ": the mod '"
        + printable_name(mod.name) + "' was made for another version of the file";
    std::vector<std::string> others = earlier_changes(applied_before, change.file);
    if (!others.empty()) {
        std::string list = others.front();
        for (size_t i = 1; i < others.size(); ++i)
            list += (i + 1 == others.size() ? " and " : ", ") + others[i];
        message += others.size() == 1 ? ", which mod " + list + ", applied before it, also changes"
                                      : ", which mods " + list + ", applied before it, also change";
    }
    throw ConflictError(message + ".");
}

void apply_diff(const Mod& mod, const Change& change, const Path& game_file, const Path& dst,
    const std::vector<const Mod*>& applied_before, ProvenanceRecorder* provenance = nullptr)
{
    if (provenance) {
        // The text before and after, to tell which lines are the mod's.
        const Path from = exists(dst) ? dst : game_file;
        const std::string before = exists(from) ? read_file(from) : std::string();
        apply_diff(mod, change, game_file, dst, applied_before);
        provenance->script(change.file, mod.name, before, exists(dst) ? read_file(dst) : before);
        return;
    }
    Diff diff;
    std::istringstream text(change.text);
    try {
        diff.read(text);
    } catch (const GenericError& e) {
        throw GenericError(e.what() + change_context(mod, change));
    }
    // A file that mods applied before this one changed: the difference was
    // made against the game's file, so it is merged with their changes.
    if (exists(dst) && exists(game_file)) {
        std::optional<std::string> merged;
        try {
            merged = merge_script(diff, read_file(game_file), read_file(dst));
        } catch (const GenericError& e) {
            throw GenericError(e.what() + change_context(mod, change));
        }
        if (merged) {
            write_file(dst, *merged);
            return;
        }
    }
    // A file that cannot be opened reads as no lines.
    std::ifstream in(platform::native(exists(dst) ? dst : game_file));
    int fit = diff.check(in);
    if (fit == 1)
        unable(mod, change, applied_before);
    if (fit == 2)
        return; // the file carries the difference already
    in.clear();
    in.seekg(0);
    std::ostringstream out;
    try {
        diff.apply(in, out);
    } catch (const ConflictError&) {
        unable(mod, change, applied_before);
    }
    // The input is closed before dst, which may be the same file, is replaced.
    in.close();
    write_file(dst, out.str());
}


bool starts_with(const std::vector<std::string>& place, const std::vector<std::string>& prefix)
{
    return prefix.size() <= place.size() && std::equal(prefix.begin(), prefix.end(), place.begin());
}

std::string joined(const std::vector<std::string>& place)
{
    std::string text;
    for (const std::string& key : place)
        text += (text.empty() ? "" : ": ") + key;
    return text;
}

// The removals of the mods applied so far, file by file, and what to say
// about a removal of a record that was never there: one that an earlier mod
// removed already is as the mod wants it, and says nothing.
class RemovalWarnings {
public:
    explicit RemovalWarnings(std::vector<std::string>* out)
        : out(out)
    { }

    RemovalLog* log() { return out ? &current : nullptr; }

    // After each merge of mod's change.
    void merged(const Mod& mod, const Change& change, const std::string& file_key)
    {
        if (!out)
            return;
        std::vector<std::vector<std::string>>& earlier = removed[file_key];
        for (const RemovalLog::Missing& m : current.missing) {
            if (std::any_of(earlier.begin(), earlier.end(),
                    [&m](const std::vector<std::string>& r) { return starts_with(m.place, r); }))
                continue;
            const std::string name = printable_name(mod.name);
            const std::string file = platform::native(printable_name(change.file));
            const std::string place = printable_name(joined(m.place));
            out->push_back(m.whole
                    ? format("The mod '%S' removes %S from %S, but the file never had it: nothing was removed.",
                          &name, &place, &file)
                    : format("The mod '%S' removes parts of %S in %S, but the file never had it: nothing was "
                             "removed.",
                          &name, &place, &file));
        }
        earlier.insert(earlier.end(), current.removed.begin(), current.removed.end());
        current = RemovalLog();
    }

private:
    std::vector<std::string>* out;
    RemovalLog current;
    std::map<std::string, std::vector<std::vector<std::string>>> removed;
};

// Whether change may write a schema that a merge of another file reads. The
// game's schemas are named "...Schema.xml", but a file's root may name any
// XML file as its schema ("x-schema:UnitDefs.xml"), so an XML file whose
// change defines element types counts too, and a line difference of an XML
// file, whose text may show no sign of it. Other files (art, scripts) are not
// searched: their texts are the bulk of a mod.
bool may_write_schema(const Change& change)
{
    const std::string file = file_key(change.file);
    if (file.find("schema") != std::string::npos)
        return true;
    if (file.size() < 4 || file.compare(file.size() - 4, 4, ".xml") != 0)
        return false;
    return change.type == Change::DIFF
        || (change.stored ? change.bytes() : change.text).find("ElementType") != std::string::npos;
}

// Whether change writes anything: an old mod may carry files no game reads
// (Thumbs.db, an editor's backup), kept in its file but never written.
bool applies(const Change& change)
{
    const bool known = change.type == Change::WHOLE || change.type == Change::XML || change.type == Change::DIFF;
    return known && is_game_file_name(change.file);
}

} // namespace

void apply_mods(const std::vector<const Mod*>& order, const GameFiles& game, const Path& target,
    const Mod::CarryOver& carry, const std::function<void(const Mod&, unsigned, unsigned)>& starting,
    SchemaCache* schemas, ProvenanceRecorder* provenance, std::vector<std::string>* warnings, const MergedFile& merged)
{
    SchemaCache own;
    const SchemaSource where{game, target, schemas ? *schemas : own};
    RemovalWarnings removals(warnings);
    struct Step {
        const Mod* mod;
        const Change* change;
        std::size_t position; // of mod in order
    };
    std::vector<Step> steps;
    // A merge reads the schema beside its file in target first: when a mod
    // writes a file that may be such a schema, each merge must see it as the
    // mods before had left it, so the changes keep the mods' order.
    bool schema_changed = false;
    for (std::size_t m = 0; m < order.size(); ++m) {
        const Mod* mod = order[m];
        for (const Change& change : mod->changes)
            destination(*mod, change, target);
        for (const Change& change : mod->changes) {
            if (!applies(change))
                continue;
            steps.push_back({mod, &change, m});
            if (may_write_schema(change))
                schema_changed = true;
        }
    }
    // The changes of each file, the files in the order of their first change.
    std::vector<std::vector<Step>> files;
    if (schema_changed) {
        for (const Step& step : steps)
            files.push_back({step});
    } else {
        std::map<std::string, std::size_t> index;
        for (const Step& step : steps) {
            auto [it, added] = index.emplace(file_key(step.change->file), files.size());
            if (added)
                files.emplace_back();
            files[it->second].push_back(step);
        }
    }
    const unsigned total = static_cast<unsigned>(files.size());
    for (unsigned done = 0; done < total; ++done) {
        // The XML document merged so far, written once no more XML change follows.
        std::unique_ptr<xmlpp::DomParser> document;
        Path base, written;
        auto flush = [&] {
            if (!document)
                return;
            std::string bytes = written_document(document->get_document(), base);
            write_file(written, bytes);
            if (merged)
                merged(written, document->get_document()->get_root_node(), bytes);
            document.reset();
            platform::release_free_memory();
        };
        for (const Step& step : files[done]) {
            const Mod& mod = *step.mod;
            const Change& change = *step.change;
            if (starting)
                starting(mod, done, total);
            // As Mod::apply: an earlier file may have made a folder that fixes the case of this one.
            const Path dst = destination(mod, change, target);
            make_folder(dst);
            if (carry && carry(change, dst))
                continue;
            // A schema read earlier in this apply may be the file this change replaces.
            where.schemas.forget(dst);
            switch (change.type) {
            case Change::WHOLE:
                document.reset(); // replaced whole: what was merged so far is not kept
                apply_whole(change, dst);
                if (provenance)
                    provenance->whole(change.file, mod.name);
                break;
            case Change::XML:
                if (!document) {
                    base = exists(dst) ? dst : game.find(Path(change.file));
                    document = parse_base(base);
                    written = dst;
                }
                merge_change(mod, change, document->get_document(), where, provenance, removals.log());
                removals.merged(mod, change, file_key(change.file));
                break;
            case Change::DIFF: {
                flush();
                const std::vector<const Mod*> before(order.begin(), order.begin() + step.position);
                apply_diff(mod, change, game.find(Path(change.file)), dst, before, provenance);
                break;
            }
            }
        }
        flush();
        if (provenance)
            provenance->finish(files[done].front().change->file);
    }
}

int Mod::apply(const Path& source, const Path& target) const { return apply(GameFiles({source}), target); }

int Mod::apply(const GameFiles& game, const Path& target, const std::vector<const Mod*>& applied_before,
    SchemaCache* schemas) const
{
    SchemaCache own;
    const SchemaSource where{game, target, schemas ? *schemas : own};
    // Every destination is checked before anything is written.
    for (const Change& change : changes)
        destination(*this, change, target);
    for (const Change& change : changes) {
        if (!applies(change))
            continue;
        // Again: an earlier change may have made a folder that fixes the case of this one.
        const Path dst = destination(*this, change, target);
        // Only read when target lacks the file: a whole change needs no base.
        const Path src = change.type == Change::WHOLE ? Path() : game.find(Path(change.file));
        make_folder(dst);
        // A schema read earlier in this apply may be the file this change replaces.
        where.schemas.forget(dst);
        switch (change.type) {
        case Change::WHOLE:
            apply_whole(change, dst);
            break;
        case Change::XML:
            apply_xml(*this, change, src, dst, where);
            break;
        case Change::DIFF:
            apply_diff(*this, change, src, dst, applied_before);
            break;
        }
    }
    return 0;
}

} // namespace velmora
