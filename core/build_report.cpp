// The build as the windows show it: a tree of files, records, lines and
// fields with the mod of each, the overlaps of one mod with others, and a
// preview in a few lines.
#include "core/build_report.h"

#include <algorithm>

#include "path/platform.h"

namespace velmora {

namespace {

bool has(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

void add_once(std::vector<std::string>& names, const std::string& name)
{
    if (!name.empty() && !has(names, name))
        names.push_back(name);
}

void add_all(std::vector<std::string>& names, const std::vector<std::string>& more)
{
    for (const std::string& name : more)
        add_once(names, name);
}

BuildItem field_item(const std::string& field, const FieldOrigin& origin)
{
    BuildItem item;
    item.kind = BuildItem::Field;
    item.name = field;
    item.value = origin.value;
    item.mod = origin.mod;
    add_all(item.losers, origin.over);
    add_all(item.with, origin.with);
    return item;
}

BuildItem record_item(const std::string& key, const RecordOrigin& record)
{
    BuildItem item;
    item.kind = BuildItem::Record;
    item.name = key;
    for (const auto& [field, origin] : record.fields) {
        BuildItem f = field_item(field, origin);
        add_once(item.mods, f.mod);
        add_all(item.losers, f.losers);
        add_all(item.with, f.with);
        item.children.push_back(std::move(f));
    }
    if (item.mods.size() == 1)
        item.mod = item.mods.front();
    return item;
}

BuildItem file_item(const FileOrigin& origin)
{
    BuildItem item;
    item.kind = BuildItem::File;
    item.name = origin.file;
    item.mod = origin.whole;
    add_once(item.mods, origin.whole);
    add_all(item.mods, origin.mods);
    add_all(item.losers, origin.replaced);
    add_all(item.replaced, origin.replaced);
    for (const auto& [key, record] : origin.records) {
        BuildItem r = record_item(key, record);
        add_all(item.losers, r.losers);
        add_all(item.with, r.with);
        item.children.push_back(std::move(r));
    }
    for (const HunkOrigin& hunk : origin.hunks) {
        BuildItem lines;
        lines.kind = BuildItem::Lines;
        lines.name = describe_lines(hunk.first, hunk.last);
        lines.mod = hunk.mod;
        add_all(lines.losers, hunk.over);
        add_all(item.losers, lines.losers);
        item.children.push_back(std::move(lines));
    }
    return item;
}

bool passes(const BuildItem& item, const BuildFilter& filter)
{
    return (filter.mod.empty() || item.involves(filter.mod)) && (!filter.conflicts_only || item.conflict());
}

// A file passes by itself, whatever its records and lines say: the mod
// changed it, and, for conflicts, its whole file replaced others.
bool passes_as_file(const BuildItem& item, const BuildFilter& filter)
{
    return item.kind == BuildItem::File
        && (filter.mod.empty() || has(item.mods, filter.mod) || has(item.replaced, filter.mod))
        && (!filter.conflicts_only || !item.replaced.empty());
}

// Counts, for one place of a file, whether mod's work stands over other's or the reverse.
void count(ModOverlap& overlap, const std::string& mod, const std::string& winner,
    const std::vector<std::string>& losers)
{
    if (winner == mod && has(losers, overlap.other))
        ++overlap.wins;
    else if (winner == overlap.other && has(losers, mod))
        ++overlap.losses;
}

const char* kind_word(FileChange::Kind kind)
{
    switch (kind) {
    case FileChange::Added:
        return "added";
    case FileChange::Removed:
        return "removed";
    case FileChange::Changed:
        break;
    }
    return "changed";
}

std::string joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

std::string by(const std::string& mod) { return mod.empty() ? "(game)" : "(" + mod + ")"; }

} // namespace

bool BuildItem::involves(const std::string& name) const
{
    return name == mod || has(mods, name) || has(losers, name) || has(with, name);
}

std::vector<BuildItem> build_items(const Provenance& provenance)
{
    std::vector<BuildItem> out;
    for (const auto& entry : provenance.files)
        out.push_back(file_item(entry.second));
    return out;
}

std::vector<BuildItem> filter_build(const std::vector<BuildItem>& items, const BuildFilter& filter)
{
    std::vector<BuildItem> out;
    for (const BuildItem& item : items) {
        if (!passes(item, filter))
            continue;
        BuildItem kept = item;
        kept.children = filter_build(item.children, filter);
        if (!item.children.empty() && kept.children.empty() && !passes_as_file(item, filter))
            continue; // only what is below passed, and nothing there passes both ways
        out.push_back(std::move(kept));
    }
    return out;
}

std::vector<std::string> build_mods(const Provenance& provenance)
{
    std::vector<std::string> out;
    for (const auto& entry : provenance.files) {
        add_once(out, entry.second.whole);
        add_all(out, entry.second.mods);
        add_all(out, entry.second.replaced);
    }
    return out;
}

std::vector<ModOverlap> overlaps_of(
    const Provenance& provenance, const std::string& mod, const std::vector<std::string>& others)
{
    std::vector<ModOverlap> out;
    for (const std::string& other : others) {
        if (other == mod)
            continue;
        for (const auto& entry : provenance.files) {
            const FileOrigin& origin = entry.second;
            auto changed = [&](const std::string& name) {
                return origin.whole == name || has(origin.mods, name) || has(origin.replaced, name);
            };
            if (!changed(mod) || !changed(other))
                continue;
            ModOverlap overlap;
            overlap.other = other;
            overlap.file = origin.file;
            count(overlap, mod, origin.whole, origin.replaced);
            for (const auto& record : origin.records)
                for (const auto& [field, f] : record.second.fields)
                    count(overlap, mod, f.mod, f.over);
            for (const HunkOrigin& hunk : origin.hunks)
                count(overlap, mod, hunk.mod, hunk.over);
            out.push_back(std::move(overlap));
        }
    }
    return out;
}

std::string preview_headline(const BuildPreview& preview, std::size_t names)
{
    const std::size_t n = preview.files.size();
    if (n == 0)
        return "No file changes.";
    std::string out = std::to_string(n) + (n == 1 ? " file changes: " : " files change: ");
    for (std::size_t i = 0; i < n && i < names; ++i)
        out += (i == 0 ? "" : ", ") + platform::native(Path(preview.files[i].file));
    if (n > names)
        out += " and " + std::to_string(n - names) + " more";
    return out;
}

std::vector<std::string> preview_lines(const BuildPreview& preview)
{
    std::vector<std::string> out;
    for (const FileChange& f : preview.files) {
        std::string line = std::string(kind_word(f.kind)) + "  " + platform::native(Path(f.file));
        if (!f.mods.empty())
            line += " (" + joined(f.mods) + ")";
        out.push_back(line);
        for (const FieldChange& c : f.fields)
            out.push_back("    " + c.record + "  " + c.field + " " + (c.had ? c.before : "(none)") + " -> "
                + (c.has ? c.after : "(none)") + " " + by(c.mod));
        for (const LineChange& l : f.lines)
            out.push_back("    " + describe_lines(l.first, l.last) + " " + by(l.mod));
    }
    return out;
}

} // namespace velmora
