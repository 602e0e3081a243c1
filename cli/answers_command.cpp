// velmora-cli answers: the remembered answers to conflicts, and forgetting them.
#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>
#include <set>
#include <utility>

#include "cli/commands.h"
#include "cli/json.h"
#include "cli/mod_lookup.h"
#include "cli/text.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"

namespace velmora::cli {

namespace {

// The names a side of "WINNER:LOSER" may mean: the text itself (an answer
// outlives its mod) and, for the one listed mod it names, the name answers
// keep it by and its plain name. A name that several mods share names none:
// ambiguous is then set to them.
std::set<std::string> names_for(const Orrindel& core, const std::string& text, std::vector<Mod*>& ambiguous)
{
    std::set<std::string> names{text};
    const std::vector<Mod*> mods = find_mods(core, text);
    if (mods.size() == 1) {
        names.insert(core.key_of(mods.front()));
        names.insert(mods.front()->name);
    } else if (mods.size() > 1) {
        ambiguous = mods;
    }
    return names;
}

// The remembered answer "WINNER:LOSER" names, split where a remembered
// answer has both sides (a mod name may hold a colon).
std::pair<std::string, std::string> find_answer(const Orrindel& core, const std::string& text)
{
    const std::string shown_rule = printable(text);
    if (text.find(':') == std::string::npos)
        throw UsageError(format("--forget \"%S\": write WINNER:LOSER, the names of two mods.", &shown_rule));
    std::string ambiguous_text;
    std::vector<Mod*> ambiguous;
    for (auto colon = text.find(':'); colon != std::string::npos; colon = text.find(':', colon + 1)) {
        std::vector<Mod*> shared_winner, shared_loser;
        const std::set<std::string> winners = names_for(core, text.substr(0, colon), shared_winner);
        const std::set<std::string> losers = names_for(core, text.substr(colon + 1), shared_loser);
        for (const RememberedAnswer& a : core.get_remembered_answers())
            if (winners.count(a.winner) && losers.count(a.loser))
                return {a.winner, a.loser};
        if (ambiguous.empty() && (!shared_winner.empty() || !shared_loser.empty())) {
            ambiguous_text = shared_winner.empty() ? text.substr(colon + 1) : text.substr(0, colon);
            ambiguous = shared_winner.empty() ? shared_loser : shared_winner;
        }
    }
    if (!ambiguous.empty())
        throw UsageError("--forget \"" + shown_rule + "\": " + ambiguous_name_message(ambiguous_text, ambiguous));
    throw GenericError(format("No remembered answer makes \"%S\" win; \"velmora-cli answers\" lists them.", &shown_rule));
}

void print_answers(const Orrindel& core, bool json)
{
    const std::vector<RememberedAnswer>& answers = core.get_remembered_answers();
    if (json) {
        nlohmann::json out = {{"answers", nlohmann::json::array()}};
        for (const RememberedAnswer& a : answers)
            out["answers"].push_back({{"winner", a.winner}, {"loser", a.loser}});
        print(std::cout, out);
        return;
    }
    if (answers.empty())
        std::cout << "No remembered answers.\n";
    for (const RememberedAnswer& a : answers)
        std::cout << "'" << printable(one_line(a.winner)) << "' wins over '" << printable(one_line(a.loser))
                  << "'\n";
}

} // namespace

int run_answers(Orrindel& core, const AnswersOptions& options)
{
    if (options.forget_all) {
        core.forget_all_answers();
    } else if (!options.forget.empty()) {
        // Every rule is checked before anything is forgotten.
        std::vector<std::pair<std::string, std::string>> found;
        for (const std::string& text : options.forget)
            found.push_back(find_answer(core, text));
        for (const auto& [winner, loser] : found)
            core.forget_answer(winner, loser);
    }
    print_answers(core, options.json);
    return exit_success;
}

} // namespace velmora::cli
