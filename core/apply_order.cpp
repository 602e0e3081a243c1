#include "core/apply_order.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "base/errors.h"
#include "base/format.h"
#include "mod/mod.h"

namespace velmora {

namespace {

// For each winner, the mods it won against, in the order of the answers.
using Losers = std::map<const Mod*, std::list<Mod*>>;

bool ready(const Mod* mod, const Losers& losers, const std::set<const Mod*>& placed)
{
    auto it = losers.find(mod);
    if (it == losers.end())
        return true;
    for (const Mod* loser : it->second)
        if (!placed.count(loser))
            return false;
    return true;
}

// Every unplaced mod waits for another unplaced one, so following "won
// against" links from any of them must come back to a mod already seen.
[[noreturn]] void throw_cycle(
    const std::list<Mod*>& mods, const Losers& losers, const std::set<const Mod*>& placed)
{
    std::list<Mod*> path;
    Mod* current = nullptr;
    for (Mod* mod : mods)
        if (!placed.count(mod)) {
            current = mod;
            break;
        }
    while (std::find(path.begin(), path.end(), current) == path.end()) {
        path.push_back(current);
        for (Mod* loser : losers.at(current))
            if (!placed.count(loser)) {
                current = loser;
                break;
            }
    }
    std::string cycle;
    auto it = std::find(path.begin(), path.end(), current);
    for (; it != path.end(); ++it) {
        auto next = std::next(it);
        const Mod* loser = next == path.end() ? current : *next;
        cycle += format("%s'%S' over '%S'", cycle.empty() ? "" : ", ", &(*it)->name, &loser->name);
    }
    throw ConflictError(format("The priority answers contradict each other: %S. Apply again and answer "
                               "one of these questions the other way.",
        &cycle));
}

} // namespace

std::list<Mod*> order_mods(const std::list<Mod*>& mods, const std::list<PriorityAnswer>& answers)
{
    std::set<const Mod*> known(mods.begin(), mods.end());
    Losers losers;
    for (const PriorityAnswer& answer : answers)
        if (known.count(answer.first) && known.count(answer.second))
            losers[answer.first].push_back(answer.second);

    std::list<Mod*> order;
    std::set<const Mod*> placed;
    while (order.size() < mods.size()) {
        Mod* next = nullptr;
        for (Mod* mod : mods)
            if (!placed.count(mod) && ready(mod, losers, placed)) {
                next = mod;
                break;
            }
        if (!next)
            throw_cycle(mods, losers, placed);
        order.push_back(next);
        placed.insert(next);
    }
    return order;
}

} // namespace velmora
