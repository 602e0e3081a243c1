// The apply pipeline of the core: load the enabled mods, ask about each
// conflict, order the mods by the answers and rebuild the custom-assets folder.
#include <cstdlib>
#include <libxml++/exceptions/exception.h>

#include "core/apply_order.h"
#include "core/custom_assets.h"
#include "core/prefs_checks.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "mod/mod.h"

namespace velmora {

namespace {

float fraction(double value) { return static_cast<float>(value); }

// The XML library's own exception is not one of ours; no front end would
// catch it.
XmlError xml_error(const Mod& mod, const xmlpp::exception& e)
{
    return XmlError(format("XML error in mod '%S': %s", &mod.name, e.what()));
}

} // namespace

void Orrindel::apply()
{
    const Path target
        = checked_custom_assets_dir(custom_assets_dir, {civ4_dir, mods_dir, settings_dir, home, Path()});
    const std::list<Mod*> enabled = get_enabled_mods_in_order();
    if (!enabled.empty() && civ4_dir.empty())
        throw GenericError("The game folder is not set. Choose it in the preferences before applying mods.");

    load_enabled_mods(enabled);
    const std::list<Mod*> order = order_mods(enabled, ask_priorities(enabled));
    if (order.empty())
        remove_custom_assets(target);
    else
        build_custom_assets(order, target);
}

void Orrindel::load_enabled_mods(const std::list<Mod*>& enabled)
{
    const double n = static_cast<double>(enabled.size());
    unsigned i = 0;
    for (Mod* mod : enabled) {
        signal_apply_progress.emit("Loading", fraction(i * 0.1 / n));
        // Loaded changes stay in memory: a second apply does not read the file again.
        if (!mod->loaded && mod->load(mod->path) != 0)
            throw GenericError(
                format("Cannot load mod '%S': its file %S no longer exists.", &mod->name, &mod->path));
        ++i;
    }
}

std::list<PriorityAnswer> Orrindel::ask_priorities(const std::list<Mod*>& enabled)
{
    std::list<PriorityAnswer> answers;
    for (auto a = enabled.begin(); a != enabled.end(); ++a) {
        for (auto b = std::next(a); b != enabled.end(); ++b) {
            try {
                if (check_step)
                    check_step(**a, **b);
                else
                    (*a)->check_conflicts(*b);
            } catch (const ConflictError& e) {
                unsigned int r = signal_mod_priority.emit(*a, *b, e.what());
                if (r == 1)
                    answers.emplace_back(*a, *b);
                else if (r == 2)
                    answers.emplace_back(*b, *a);
                else
                    throw ConflictError(format("Unresolved conflict between mods '%S' and '%S': %s",
                        &(*a)->name, &(*b)->name, e.what()));
            } catch (const xmlpp::exception& e) {
                throw xml_error(**a, e);
            }
        }
    }
    return answers;
}

void Orrindel::build_custom_assets(const std::list<Mod*>& order, const Path& target)
{
    CustomAssetsBuild build(target);
    const Path assets = civ4_dir / Path("Assets");
    const double n = static_cast<double>(order.size());
    unsigned i = 0;
    for (const Mod* mod : order) {
        signal_apply_progress.emit(mod->name, fraction(0.1 + i * 0.9 / n));
        try {
            if (apply_step)
                apply_step(*mod, assets, build.folder());
            else if (mod->apply(assets, build.folder()) != 0)
                throw GenericError(format("Cannot apply mod '%S'.", &mod->name));
        } catch (const xmlpp::exception& e) {
            throw xml_error(*mod, e);
        }
        ++i;
    }
    build.commit();
}

} // namespace velmora
