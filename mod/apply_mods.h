#ifndef VELMORA_MOD_APPLY_MODS_H
#define VELMORA_MOD_APPLY_MODS_H

#include <functional>
#include <vector>

#include "mod/mod.h"
#include "path/path.h"

namespace velmora {

// Applies the changes of several mods, in their order, file by file: every
// change to one file before the next file, the files in the order of their
// first change. The result is the one Mod::apply gives mod after mod, but an
// XML file that several mods change is parsed once and written once, and its
// document is freed as soon as it is written. Every destination of every mod
// is checked before anything is written. `starting` is called before each
// change with its mod and the number of files done and in all.
void apply_mods(const std::vector<const Mod*>& order, const Path& source, const Path& target,
    const Mod::CarryOver& carry, const std::function<void(const Mod&, unsigned, unsigned)>& starting);

} // namespace velmora

#endif
