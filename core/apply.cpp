// The apply pipeline of the core: load the enabled mods, ask about each
// conflict, order the mods by the answers and rebuild the custom-assets folder.
#include <cstdlib>
#include <libxml++/exceptions/exception.h>

#include "core/apply_order.h"
#include "core/custom_assets.h"
#include "core/incremental.h"
#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "mod/apply_mods.h"
#include "mod/mod.h"

namespace velmora {

namespace {

// The user's own home folder, also when the core was given another one.
Path environment_home()
{
    const char* home = std::getenv("HOME");
    return home && *home ? Path(home) : Path();
}

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
    const Path target = checked_custom_assets_dir(custom_assets_dir,
        {{"game folder", civ4_dir},
            {"game's Assets folder", civ4_dir.empty() ? Path() : civ4_dir / Path("Assets")},
            {"mods folder", mods_dir}, {"settings folder", settings_dir}, {"home folder", home},
            {"home folder", environment_home()}});
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
    // Files whose inputs are those of the last apply come over from the old folder.
    IncrementalBuild incremental(target, assets, order);
    auto carry = [&incremental](const Change& change, const Path& dst) { return incremental.carry(change, dst); };
    if (apply_step) {
        const double n = static_cast<double>(order.size());
        unsigned i = 0;
        for (const Mod* mod : order) {
            signal_apply_progress.emit(mod->name, fraction(0.1 + i * 0.9 / n));
            try {
                apply_step(*mod, assets, build.folder());
            } catch (const xmlpp::exception& e) {
                throw xml_error(*mod, e);
            }
            ++i;
        }
        // Without the real steps the inputs say nothing about the files: no manifest.
        build.commit();
        return;
    }
    const std::vector<const Mod*> mods(order.begin(), order.end());
    const Mod* current = nullptr;
    try {
        apply_mods(mods, assets, build.folder(), carry, [&](const Mod& mod, unsigned done, unsigned total) {
            current = &mod;
            signal_apply_progress.emit(mod.name, fraction(0.1 + done * 0.9 / total));
        });
    } catch (const xmlpp::exception& e) {
        if (!current)
            throw;
        throw xml_error(*current, e);
    }
    incremental.manifest(build.folder()).write(build.folder());
    build.commit();
}

} // namespace velmora
