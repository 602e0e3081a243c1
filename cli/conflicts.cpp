#include "cli/conflicts.h"

#include <algorithm>

#include "cli/commands.h"
#include "cli/mod_lookup.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"

namespace velmora::cli {

namespace {

bool contains(const std::vector<Mod*>& mods, const Mod* mod)
{
    return std::find(mods.begin(), mods.end(), mod) != mods.end();
}

bool overlap(const std::vector<Mod*>& a, const std::vector<Mod*>& b)
{
    return std::any_of(a.begin(), a.end(), [&](const Mod* m) { return contains(b, m); });
}

bool any_enabled(const Orrindel& core, const std::vector<Mod*>& mods)
{
    return std::any_of(
        mods.begin(), mods.end(), [&](Mod* m) { return core.get_enabled_mods().count(m) > 0; });
}

void load_changes(Mod& mod)
{
    if (mod.loaded)
        return;
    if (mod.load(mod.path) != 0) {
        const std::string file = shown(mod.path);
        throw GenericError(
            format("Cannot load mod '%S': its file \"%S\" no longer exists.", &mod.name, &file));
    }
}

} // namespace

PreferRules::PreferRules(const Orrindel& core, const std::vector<std::string>& texts)
{
    for (const std::string& text : texts) {
        Rule rule = parse(core, text);
        const std::string shown_rule = printable(text);
        if (overlap(rule.winners, rule.losers))
            throw GenericError(format("--prefer \"%S\": a mod cannot win over itself.", &shown_rule));
        for (const Rule& other : rules) {
            if (overlap(rule.winners, other.losers) && overlap(rule.losers, other.winners)) {
                const std::string shown_other = printable(other.text);
                throw GenericError(
                    format("--prefer \"%S\" contradicts --prefer \"%S\".", &shown_rule, &shown_other));
            }
        }
        if (!any_enabled(core, rule.winners) || !any_enabled(core, rule.losers))
            warn(format("--prefer \"%S\" names a mod that is not enabled; it answers nothing.", &shown_rule));
        rules.push_back(std::move(rule));
    }
}

PreferRules::Rule PreferRules::parse(const Orrindel& core, const std::string& text)
{
    const std::string shown_rule = printable(text);
    struct Split {
        Rule rule;
        std::string::size_type colon;
    };
    std::vector<Split> splits;
    for (auto colon = text.find(':'); colon != std::string::npos; colon = text.find(':', colon + 1)) {
        Rule r{text, find_mods(core, text.substr(0, colon)), find_mods(core, text.substr(colon + 1))};
        if (!r.winners.empty() && !r.losers.empty())
            splits.push_back({std::move(r), colon});
    }
    if (splits.size() == 1) {
        // Two versions of one mod share its name; a rule must say which one it means.
        const Rule& r = splits.front().rule;
        const std::string::size_type colon = splits.front().colon;
        if (r.winners.size() > 1)
            throw UsageError(
                "--prefer \"" + shown_rule + "\": " + ambiguous_name_message(text.substr(0, colon), r.winners));
        if (r.losers.size() > 1)
            throw UsageError(
                "--prefer \"" + shown_rule + "\": " + ambiguous_name_message(text.substr(colon + 1), r.losers));
        return r;
    }
    if (splits.size() > 1)
        throw GenericError(
            format("--prefer \"%S\" can be read in more than one way; use the mods' file names "
                   "instead of their names.",
                &shown_rule));
    auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
        throw UsageError(format("--prefer \"%S\": write WINNER:LOSER, the names of two mods.", &shown_rule));
    // Neither split names two mods: report the first name that is unknown.
    std::string winner = text.substr(0, colon);
    require_mods(core, winner);
    require_mods(core, text.substr(colon + 1));
    throw GenericError(format("--prefer \"%S\" does not name two mods.", &shown_rule));
}

unsigned int PreferRules::winner(const Mod* first, const Mod* second) const
{
    for (const Rule& r : rules) {
        if (contains(r.winners, first) && contains(r.losers, second))
            return 1;
        if (contains(r.winners, second) && contains(r.losers, first))
            return 2;
    }
    return 0;
}

PreferRules rules_for_apply(const Orrindel& core, const std::vector<std::string>& texts)
{
    try {
        PreferRules rules(core, texts);
        core.check_folders(FolderUse::Apply);
        return rules;
    } catch (const GenericError&) {
        core.check_folders(FolderUse::Apply);
        throw;
    }
}

std::vector<Conflict> find_conflicts(
    const Orrindel& core, const std::list<Mod*>& enabled, const PreferRules& rules)
{
    for (Mod* mod : enabled)
        load_changes(*mod);
    std::vector<Conflict> conflicts;
    for (PriorityQuestion& q : core.find_questions(enabled)) {
        // As apply takes them: a rule, else a remembered answer.
        const unsigned int ruled = rules.winner(q.first, q.second);
        const unsigned int answer = q.skipped ? 0 : ruled ? ruled : q.remembered;
        conflicts.push_back({q.first, q.second, q.message, q.report(), q.skipped,
            !q.skipped && !ruled && q.remembered != 0, answer});
    }
    return conflicts;
}

} // namespace velmora::cli
