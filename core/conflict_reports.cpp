#include "core/conflict_reports.h"

#include <set>
#include <string_view>

#include "base/hash.h"
#include "mod/change_path.h"
#include "mod/conflict_cache.h"
#include "mod/mod.h"
#include "path/platform.h"
#include "xml/element_info.h"

namespace velmora {

void ConflictReports::begin_round()
{
    contents.clear();
    keys.clear();
    game_files.clear();
    table = ElementInfoStorage::instance().digest();
    // Reports no pair asked for in the last apply belong to mods since
    // changed or disabled: dropped, so that they do not pile up.
    for (auto it = kept.begin(); it != kept.end();) {
        if (!it->second.used) {
            it = kept.erase(it);
        } else {
            it->second.used = false;
            ++it;
        }
    }
}

// The file keys of a mod's changes, in their order, made once a round.
const std::vector<std::string>& ConflictReports::keys_of(const Mod& mod)
{
    auto [it, added] = keys.try_emplace(&mod);
    if (added)
        for (const Change& c : mod.changes)
            it->second.push_back(file_key(c.file));
    return it->second;
}

std::uint64_t ConflictReports::content(const Mod& mod)
{
    auto it = contents.find(&mod);
    if (it != contents.end())
        return it->second;
    Hasher h;
    h.add(mod.name);
    for (const Change& c : mod.changes)
        h.add(std::to_string(static_cast<int>(c.type))).add(c.file).add(hash_text(c.payload_hash()));
    return contents.emplace(&mod, h.value()).first->second;
}

// The game's copies the describer reads for a and b: those of the files both
// change by XML merges, whose records show the game's values.
std::vector<ConflictReports::GameFile> ConflictReports::game_files_of(
    const Mod& a, const Mod& b, const GameFiles& game)
{
    const std::vector<std::string>& keys_a = keys_of(a);
    const std::vector<std::string>& keys_b = keys_of(b);
    std::set<std::string_view> merged_by_b;
    std::size_t i = 0;
    for (const Change& c : b.changes) {
        if (c.type == Change::XML)
            merged_by_b.insert(keys_b[i]);
        ++i;
    }
    std::set<std::string_view> seen;
    std::vector<GameFile> files;
    i = 0;
    for (const Change& c : a.changes) {
        const std::string& key = keys_a[i++];
        if (c.type != Change::XML || !merged_by_b.count(key) || !seen.insert(key).second)
            continue;
        files.push_back(game_file(key, c.file, game));
    }
    return files;
}

// Where the game has file and its stamp, found once a round: a round's pairs
// share the files, and a report kept from this round is checked again in the next.
const ConflictReports::GameFile& ConflictReports::game_file(
    const std::string& key, const std::string& file, const GameFiles& game)
{
    auto it = game_files.find(key);
    if (it != game_files.end())
        return it->second;
    GameFile f;
    f.path = game.find(Path(file)).str();
    f.clock = platform::clock_now();
    f.exists = !f.path.empty() && platform::file_stamp(f.path, f.stamp) == 0;
    return game_files.emplace(key, f).first->second;
}

// True when each game file is still where it was found, with the stamp it had
// then, and had not been written so shortly before that stamp was taken that
// a write after it could leave the stamp the same.
bool ConflictReports::unchanged(const std::vector<GameFile>& kept_files, const std::vector<GameFile>& now) const
{
    if (kept_files.size() != now.size())
        return false;
    for (std::size_t i = 0; i < now.size(); ++i) {
        const GameFile& then = kept_files[i];
        if (then.path != now[i].path || then.exists != now[i].exists)
            return false;
        if (then.exists
            && (!platform::same_stamp(now[i].stamp, then.stamp)
                || !platform::settled(then.stamp, then.clock, settle_ns)))
            return false;
    }
    return true;
}

std::uint64_t ConflictReports::key_of(const ConflictPair& pair)
{
    Hasher h;
    h.add(hash_text(content(*pair.first))).add(hash_text(content(*pair.second))).add(pair.message);
    h.add(hash_text(table));
    return h.value();
}

std::vector<ConflictReport> ConflictReports::describe(const std::vector<ConflictPair>& pairs, const GameFiles& game)
{
    begin_round();
    return reports(pairs, &game);
}

std::vector<ConflictReport> ConflictReports::describe_more(
    const std::vector<ConflictPair>& pairs, const GameFiles& game)
{
    return reports(pairs, &game);
}

std::vector<ConflictReport> ConflictReports::sides_more(const std::vector<ConflictPair>& pairs)
{
    return reports(pairs, nullptr);
}

// With `game`, described reports; without, reports that may lack their
// details (a kept described one is given whole).
std::vector<ConflictReport> ConflictReports::reports(const std::vector<ConflictPair>& pairs, const GameFiles* game)
{
    std::vector<ConflictReport> out(pairs.size());
    std::vector<ConflictPair> todo;
    std::vector<std::size_t> todo_at;
    std::vector<std::pair<std::uint64_t, std::vector<GameFile>>> todo_keys;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const std::uint64_t key = key_of(pairs[i]);
        auto it = kept.find(key);
        // The sides come from the mods' changes alone.
        if (!game && it != kept.end()) {
            it->second.used = true;
            out[i] = it->second.report;
            continue;
        }
        // Where the game finds each file is asked again: a copy put into an
        // earlier folder of the game replaces the one read. Stamped before the
        // describer reads them: a write while it does shows next time.
        std::vector<GameFile> files;
        if (game) {
            files = game_files_of(*pairs[i].first, *pairs[i].second, *game);
            if (it != kept.end() && it->second.report.described && unchanged(it->second.game_files, files)) {
                it->second.used = true;
                out[i] = it->second.report;
                continue;
            }
        }
        todo.push_back(pairs[i]);
        todo_at.push_back(i);
        todo_keys.emplace_back(key, std::move(files));
    }
    if (todo.empty())
        return out;
    ConflictDescriber describer(game ? *game : GameFiles());
    std::vector<ConflictReport> made = game ? describer.describe(todo) : describer.describe_sides(todo);
    (game ? described_count : sided_count) += static_cast<unsigned>(made.size());
    for (std::size_t j = 0; j < made.size(); ++j) {
        Kept& k = kept[todo_keys[j].first];
        k.report = made[j];
        k.game_files = std::move(todo_keys[j].second);
        k.used = true;
        out[todo_at[j]] = std::move(made[j]);
    }
    return out;
}

} // namespace velmora
