// Conflict checks between two mods' changes of the same files.
#include <libxml++/parsers/domparser.h>

#include <sstream>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "mod/change_errors.h"
#include "mod/change_path.h"
#include "mod/conflict_cache.h"
#include "mod/game_file_names.h"
#include "mod/mod.h"
#include "path/platform.h"
#include "path/path.h"

namespace velmora {

ConflictCacheSlot::ConflictCacheSlot() = default;
ConflictCacheSlot::~ConflictCacheSlot() = default;
ConflictCacheSlot::ConflictCacheSlot(const ConflictCacheSlot&) { }
ConflictCacheSlot& ConflictCacheSlot::operator=(const ConflictCacheSlot&)
{
    cache_.reset();
    return *this;
}

ConflictCache& ConflictCacheSlot::get()
{
    if (!cache_)
        cache_ = std::make_unique<ConflictCache>();
    return *cache_;
}

TextPrint TextPrint::of(const std::string& text)
{
    return {text.size(), hash_bytes(text)};
}

bool TextPrint::matches(const std::string& text) const
{
    return size == text.size() && hash == hash_bytes(text);
}

const std::vector<ConflictCache::Entry>& ConflictCache::sync(const std::list<Change>& changes)
{
    bool same = entries_.size() == changes.size();
    if (same) {
        auto e = entries_.begin();
        for (const Change& c : changes) {
            if (e->change != &c || e->type != c.type || e->file != c.file) {
                same = false;
                break;
            }
            ++e;
        }
    }
    if (same)
        return entries_;
    by_key_.clear();
    parsed_.clear();
    entries_.clear();
    entries_.reserve(changes.size());
    for (const Change& c : changes)
        entries_.push_back({&c, c.file, c.type, file_key(c.file), is_game_file_name(c.file)});
    for (const Entry& e : entries_)
        by_key_[e.key].push_back(&e);
    return entries_;
}

const std::vector<const ConflictCache::Entry*>* ConflictCache::find(const std::string& key) const
{
    auto it = by_key_.find(key);
    return it == by_key_.end() ? nullptr : &it->second;
}

ConflictCache::Parsed& ConflictCache::parsed(const Change& change)
{
    Parsed& p = parsed_[&change];
    // An edit may have replaced the text since it was parsed.
    if ((p.view || p.diff) && (p.type != change.type || !p.text.matches(change.text))) {
        p.view.reset();
        p.diff.reset();
    }
    return p;
}

const ConflictView& ConflictCache::view(const Mod& mod, const Change& change)
{
    Parsed& p = parsed(change);
    if (!p.view) {
        std::shared_ptr<xmlpp::DomParser> parser = parse_change_text(mod, change);
        auto view
            = std::make_unique<ConflictView>(make_conflict_view(parser->get_document()->get_root_node()));
        // Only an opaque element is compared in the document itself.
        if (view->opaque)
            view->document = std::move(parser);
        p.type = change.type;
        p.text = TextPrint::of(change.text);
        p.view = std::move(view);
    }
    return *p.view;
}

const Diff& ConflictCache::diff(const Mod& mod, const Change& change)
{
    Parsed& p = parsed(change);
    if (!p.diff) {
        auto diff = std::make_unique<Diff>();
        std::istringstream in(change.text);
        try {
            diff->read(in);
        } catch (const ConflictError&) {
            throw;
        } catch (const GenericError& e) {
            throw GenericError(e.what() + change_context(mod, change));
        }
        p.type = change.type;
        p.text = TextPrint::of(change.text);
        p.diff = std::move(diff);
    }
    return *p.diff;
}

namespace {

[[noreturn]] void conflict(const Change& a, const std::string& detail = std::string())
{
    throw ConflictError("Conflict in " + platform::native(a.file) + (detail.empty() ? "" : ": " + detail));
}

} // namespace

void Mod::check_conflicts(const Mod* other) const
{
    if (!other)
        return;
    ConflictCache& mine = conflict_cache.get();
    ConflictCache& theirs = other->conflict_cache.get();
    const std::vector<ConflictCache::Entry>& entries = mine.sync(changes);
    theirs.sync(other->changes);
    for (const ConflictCache::Entry& entry : entries) {
        // Old mods may carry files no game reads (Thumbs.db): applied by
        // neither mod, they are no question.
        if (!entry.game_file)
            continue;
        const std::vector<const ConflictCache::Entry*>* matches = theirs.find(entry.key);
        if (!matches)
            continue;
        const Change& a = *entry.change;
        for (const ConflictCache::Entry* match : *matches) {
            const Change& b = *match->change;
            if (a.type != b.type)
                conflict(a);
            switch (a.type) {
            case Change::WHOLE:
                if (!a.same_payload(b))
                    conflict(a);
                break;
            case Change::DIFF:
                if (std::vector<DiffConflict> found = find_conflicts(mine.diff(*this, a), theirs.diff(*other, b));
                    !found.empty()) {
                    std::string lines;
                    for (const DiffConflict& c : found)
                        lines += (lines.empty() ? "" : ", ") + describe_lines(c);
                    conflict(a, lines);
                }
                break;
            case Change::XML:
                try {
                    compare_conflict_views(mine.view(*this, a), theirs.view(*other, b));
                } catch (const ConflictError& e) {
                    conflict(a, e.what());
                } catch (const XmlError&) {
                    throw;
                } catch (const GenericError& e) {
                    // Not a conflict: the two changes cannot be compared at all.
                    std::string where = printable_name(a.file);
                    throw GenericError(format(
                        "%s (mods '%S' and '%S', changes to %S)", e.what(), &name, &other->name, &where));
                }
                break;
            }
        }
    }
}

void Mod::check_element_conflicts(xmlpp::Element* a, xmlpp::Element* b) const
{
    compare_conflict_views(make_conflict_view(a), make_conflict_view(b));
}

} // namespace velmora
