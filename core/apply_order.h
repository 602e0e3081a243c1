#ifndef VELMORA_CORE_APPLY_ORDER_H
#define VELMORA_CORE_APPLY_ORDER_H

#include <list>
#include <utility>

namespace velmora {

class Mod;

// The user's answer to one priority question: first won over second, so first
// is applied after second.
using PriorityAnswer = std::pair<Mod*, Mod*>;

// The order in which to apply mods: every winner after each mod it won
// against, and otherwise the order of `mods` (the earliest mod that may go
// next goes next). Throws ConflictError when the answers form a cycle; the
// message lists the cycle as the answers that make it ("'X' over 'Y', ...").
std::list<Mod*> order_mods(const std::list<Mod*>& mods, const std::list<PriorityAnswer>& answers);

} // namespace velmora

#endif
