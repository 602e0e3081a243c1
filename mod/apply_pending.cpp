// Temporary: applying and conflict checking are being written; this file goes
// away with them. It lets the rest of the program link meanwhile.
#include "core/errors.h"
#include "mod/mod.h"

namespace velmora {

void Mod::check_conflicts(const Mod*) const { throw GenericError("Conflict checks are not available yet"); }
int Mod::apply(const Path&, const Path&) const { throw GenericError("Applying mods is not available yet"); }

} // namespace velmora
