// velmora-cli check: what apply would do, without doing it.
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/commands.h"
#include "cli/conflicts.h"
#include "cli/json.h"
#include "cli/text.h"
#include "core/apply_order.h"
#include "base/errors.h"
#include "core/orrindel.h"

namespace velmora::cli {

namespace {

std::list<PriorityAnswer> answers_of(const std::vector<Conflict>& conflicts)
{
    std::list<PriorityAnswer> answers;
    for (const Conflict& c : conflicts) {
        if (c.answer == 1)
            answers.emplace_back(c.first, c.second);
        else if (c.answer == 2)
            answers.emplace_back(c.second, c.first);
    }
    return answers;
}

const Mod* winner_of(const Conflict& c)
{
    return c.answer == 1 ? c.first : c.answer == 2 ? c.second : nullptr;
}

nlohmann::json mod_ref(const Mod* mod) { return {{"name", mod->name}, {"file", mod->path[-1]}}; }

nlohmann::json details_json(const ConflictReport& report)
{
    nlohmann::json out = nlohmann::json::array();
    for (const ConflictDetail& d : report.details)
        out.push_back(
            {{"file", d.file}, {"where", d.where}, {"lines", d.lines}, {"answer_matters", d.answer_matters}});
    return out;
}

void print_json(const std::list<Mod*>& enabled, const std::vector<Conflict>& conflicts,
    const std::optional<std::list<Mod*>>& order, const ReferenceCheck& references)
{
    nlohmann::json out
        = {{"enabled", nlohmann::json::array()}, {"conflicts", nlohmann::json::array()}, {"order", nullptr}};
    for (const Mod* mod : enabled)
        out["enabled"].push_back(mod_ref(mod));
    for (const Conflict& c : conflicts) {
        const Mod* w = winner_of(c);
        out["conflicts"].push_back({{"first", mod_ref(c.first)}, {"second", mod_ref(c.second)},
            {"message", c.message}, {"winner", w ? mod_ref(w) : nlohmann::json(nullptr)},
            {"remembered", c.remembered}, {"answer_needed", !c.skipped}, {"details", details_json(c.report)}});
    }
    if (order) {
        out["order"] = nlohmann::json::array();
        for (const Mod* mod : *order)
            out["order"].push_back(mod_ref(mod));
    }
    out["references_checked"] = references.done;
    out["broken_references"] = references.caused_by_mods();
    out["references"] = references_json(references);
    print(std::cout, out);
}

std::string quoted(const Mod* mod) { return "'" + printable(one_line(mod->name)) + "'"; }

std::string verdict(const Conflict& c)
{
    if (c.skipped)
        return "no answer needed";
    const Mod* w = winner_of(c);
    if (!w)
        return "no answer";
    return quoted(w) + (c.remembered ? " wins, remembered" : " wins");
}

void print_text(const std::list<Mod*>& enabled, const std::vector<Conflict>& conflicts,
    const std::optional<std::list<Mod*>>& order, const ReferenceCheck& references)
{
    std::cout << "Enabled mods: " << enabled.size() << "\n";
    if (conflicts.empty())
        std::cout << "No conflicts.\n";
    for (const Conflict& c : conflicts) {
        std::cout << "Conflict: " << quoted(c.first) << " and " << quoted(c.second) << " [" << verdict(c)
                  << "]: " << printable(one_line(c.message)) << "\n";
        for (const std::string& line : c.report.text())
            std::cout << "    " << detail_line(line) << "\n";
    }
    if (order && !order->empty()) {
        std::string names;
        for (const Mod* mod : *order)
            names += (names.empty() ? "" : ", ") + quoted(mod);
        std::cout << "Order of applying: " << names << "\n";
    }
    if (!references.done)
        return;
    print_references(references);
    const unsigned broken = references.caused_by_mods();
    if (broken)
        std::cout << broken << (broken == 1 ? " name" : " names")
                  << " would point nowhere after applying: the game may stop while loading or show raw keys.\n";
    else
        std::cout << "No name would point nowhere after applying.\n";
}

} // namespace

int run_check(Orrindel& core, const CheckOptions& options)
{
    const PreferRules rules = rules_for_apply(core, options.prefer);
    // apply would stop at them; check says so but still checks the others.
    for (const std::string& name : core.get_missing_mods())
        warn("The enabled mod '" + printable(one_line(name)) + "' is missing from \"" + shown(core.get_mods_dir())
            + "\": apply stops until its file is back or it is disabled.");
    const std::list<Mod*> enabled = core.get_enabled_mods_in_order();
    const std::vector<Conflict> conflicts = find_conflicts(core, enabled, rules);
    std::size_t unanswered = 0;
    for (const Conflict& c : conflicts)
        unanswered += c.answer == 0 && !c.skipped;
    std::optional<std::list<Mod*>> order;
    // The names are checked on the mods merged in the order apply would use,
    // which is known only when every conflict is answered.
    ReferenceCheck references;
    if (unanswered == 0) {
        order = order_mods(enabled, answers_of(conflicts));
        if (!order->empty() && core.get_missing_mods().empty())
            references = core.check_references(*order);
    }
    if (options.json)
        print_json(enabled, conflicts, order, references);
    else
        print_text(enabled, conflicts, order, references);
    if (!core.get_missing_mods().empty()) {
        report_error("apply stops at the enabled mods whose files are missing (see above).");
        return exit_failure;
    }
    if (unanswered == 0)
        return exit_success;
    report_error(std::to_string(unanswered) + (unanswered == 1 ? " conflict has" : " conflicts have")
        + " no answer: apply stops at the first unanswered conflict unless it is answered on a terminal.");
    hint("answer each with --prefer WINNER:LOSER (mod names), given to both check and apply.");
    return exit_failure;
}

} // namespace velmora::cli
