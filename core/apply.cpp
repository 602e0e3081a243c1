// The apply pipeline of the core: load the enabled mods, ask about each
// conflict, order the mods by the answers and rebuild the custom-assets folder.
#include <algorithm>
#include <cstdlib>
#include <ctime>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <libxml++/exceptions/exception.h>

#include "base/errors.h"
#include "base/format.h"
#include "core/apply_order.h"
#include "core/custom_assets.h"
#include "core/incremental.h"
#include "core/manifest.h"
#include "core/prefs_checks.h"
#include "core/questions.h"
#include "core/orrindel.h"
#include "mod/apply_mods.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "path/platform.h"
#include "xml/schema.h"

namespace velmora {

namespace {

float fraction(double value) { return static_cast<float>(value); }

// The XML library's own exception is not one of ours; no front end would
// catch it.
XmlError xml_error(const Mod& mod, const xmlpp::exception& e)
{
    return XmlError(format("XML error in mod '%S': %s", &mod.name, e.what()));
}

void release_free_memory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

Path Orrindel::checked_target() const
{
    return checked_custom_assets_dir(custom_assets_dir, {civ4_dir, mods_dir, settings_dir, home, Path()});
}

void Orrindel::apply()
{
    const Path target = checked_target();
    refuse_missing_mods();
    const std::list<Mod*> enabled = get_enabled_mods_in_order();
    if (!enabled.empty() && civ4_dir.empty())
        throw GenericError("The game folder is not set. Choose it in the preferences before applying mods.");

    verification = Verification();
    applied_order.clear();
    load_enabled_mods(enabled);
    // Reading the mods' files parsed each whole; what the parses left freed
    // goes back to the system before the game's files are parsed.
    release_free_memory();
    std::vector<RememberedAnswer> to_remember;
    const std::list<Mod*> order = order_mods(enabled, ask_priorities(enabled, to_remember));
    // Kept only once the answers are known not to contradict each other.
    if (!to_remember.empty()) {
        for (const RememberedAnswer& answer : to_remember)
            remembered.remember(answer);
        remembered.save();
    }
    last_backup = Path();
    // Taken only now: the questions before may wait long for their answers.
    CustomAssetsLock lock(target, lock_wait_ms);
    if (order.empty()) {
        const Path keep = foreign_files_in(target) ? backup_folder(target, std::time(nullptr)) : Path();
        remove_custom_assets(target, keep);
        last_backup = keep;
    } else {
        build_custom_assets(order, target);
    }
    for (const Mod* mod : order)
        applied_order.push_back(mod->name);
}

// Applying without a mod the user enabled would build a different game than
// the one they chose; it waits until the file is back or the mod disabled.
void Orrindel::refuse_missing_mods() const
{
    if (missing_mods.empty())
        return;
    std::string names;
    for (const std::string& name : missing_mods)
        names += (names.empty() ? "'" : ", '") + name + "'";
    const char* what = missing_mods.size() == 1 ? "The enabled mod %S is" : "The enabled mods %S are";
    throw GenericError(format(std::string(what)
            + " missing from the mods folder %S. Nothing was changed: put the file back, or disable the "
              "mod, then apply again.",
        &names, &mods_dir));
}

bool Orrindel::foreign_files_in(const Path& target) const
{
    return keep_foreign && platform::kind_of(target.str()) == platform::Kind::Folder
        && velmora::find_foreign_files(target).any();
}

ForeignFiles Orrindel::find_foreign_files() const
{
    Path target;
    try {
        target = checked_target();
    } catch (const GenericError&) {
        return ForeignFiles(); // apply refuses such a folder and says why
    }
    if (!keep_foreign || platform::kind_of(target.str()) != platform::Kind::Folder)
        return ForeignFiles();
    return velmora::find_foreign_files(target);
}

Path Orrindel::next_backup_folder() const
{
    try {
        return backup_folder(checked_target(), std::time(nullptr));
    } catch (const GenericError&) {
        return Path();
    }
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

std::vector<PriorityQuestion> Orrindel::find_questions(const std::list<Mod*>& enabled) const
{
    std::vector<ConflictPair> pairs;
    std::vector<std::pair<Mod*, Mod*>> mods;
    for (auto a = enabled.begin(); a != enabled.end(); ++a) {
        for (auto b = std::next(a); b != enabled.end(); ++b) {
            try {
                if (check_step)
                    check_step(**a, **b);
                else
                    (*a)->check_conflicts(*b);
            } catch (const ConflictError& e) {
                pairs.push_back({*a, *b, e.what()});
                mods.emplace_back(*a, *b);
            } catch (const xmlpp::exception& e) {
                throw xml_error(**a, e);
            }
        }
    }
    // The reports are made as far as they are read: the pairs unchanged since
    // the last apply keep theirs; the rest are described together, each game
    // file read once for all of them, when a front end first shows one.
    kept_reports.begin_round();
    auto round = std::make_shared<QuestionRound>(std::move(pairs), civ4_dir, kept_reports);
    std::vector<PriorityQuestion> questions(round->size());
    std::vector<std::size_t> answered_before;
    for (std::size_t i = 0; i < questions.size(); ++i) {
        PriorityQuestion& q = questions[i];
        q.first = mods[i].first;
        q.second = mods[i].second;
        q.message = round->pair(i).message;
        q.round = round;
        q.index = i;
        if (remembered.about(key_of(q.first), key_of(q.second)) || remembered.about(q.first->name, q.second->name))
            answered_before.push_back(i);
    }
    // Whether the answer matters is in the details; a remembered answer fits
    // the hashes of both sides.
    if (ask_fields_only) {
        std::vector<std::size_t> all(questions.size());
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = i;
        round->describe(all);
    } else {
        round->hash(answered_before);
    }
    for (PriorityQuestion& q : questions) {
        q.skipped = ask_fields_only && !q.report().answer_matters();
        if (std::find(answered_before.begin(), answered_before.end(), q.index) != answered_before.end())
            q.remembered = find_remembered(q);
    }
    return questions;
}

// Answers are kept under the configuration's names of the mods. One kept
// under a mod's name before a second version of it came keeps fitting that
// name's versions whose changes are still the ones it was given for.
unsigned int Orrindel::find_remembered(const PriorityQuestion& q) const
{
    const std::string a = key_of(q.first), b = key_of(q.second);
    unsigned int found = remembered.find(a, q.first_changes(), b, q.second_changes());
    if (found == 0 && (a != q.first->name || b != q.second->name) && q.first->name != q.second->name)
        found = remembered.find(q.first->name, q.first_changes(), q.second->name, q.second_changes());
    return found;
}

std::list<PriorityAnswer> Orrindel::ask_priorities(
    const std::list<Mod*>& enabled, std::vector<RememberedAnswer>& to_remember)
{
    std::vector<PriorityQuestion> questions = find_questions(enabled);
    // Answers given now count before remembered ones; the questions they
    // settle are never shown, and not described when the others are.
    std::vector<unsigned int> given(questions.size(), 0);
    for (PriorityQuestion& q : questions) {
        if (q.skipped)
            continue;
        given[q.index] = given_answer ? given_answer(q) : 0;
        if (given[q.index] != 0 || q.remembered != 0)
            q.round->set_wanted(q.index, false);
    }
    std::list<PriorityAnswer> answers;
    std::vector<std::pair<const PriorityQuestion*, unsigned int>> kept_answers;
    for (PriorityQuestion& q : questions) {
        if (q.skipped)
            continue;
        q.round->set_wanted(q.index, false);
        Mod* a = q.first;
        Mod* b = q.second;
        unsigned int r = given[q.index];
        if (r == 0)
            r = q.remembered;
        if (r == 0)
            r = signal_mod_priority.emit(q);
        if ((r == 1 || r == 2) && q.remember && r != q.remembered)
            kept_answers.emplace_back(&q, r);
        if (r == 1)
            answers.emplace_back(a, b);
        else if (r == 2)
            answers.emplace_back(b, a);
        else {
            const std::string first = label_of(a), second = label_of(b);
            throw ConflictError(format("Unresolved conflict between mods %s and %s: %s", first.c_str(),
                second.c_str(), q.message.c_str()));
        }
    }
    // The hashes of the answers to keep, made together.
    std::vector<std::size_t> which;
    for (const auto& [q, r] : kept_answers)
        which.push_back(q->index);
    if (!questions.empty())
        questions.front().round->hash(which);
    for (const auto& [q, r] : kept_answers) {
        const bool first = r == 1;
        to_remember.push_back({first ? key_of(q->first) : key_of(q->second), first ? key_of(q->second) : key_of(q->first),
            first ? q->first_changes() : q->second_changes(), first ? q->second_changes() : q->first_changes()});
    }
    return answers;
}

void Orrindel::build_custom_assets(const std::list<Mod*>& order, const Path& target)
{
    CustomAssetsBuild build(target);
    // Found once: a file Beyond the Sword lacks is read from Warlords' or the original game's folder.
    const GameFiles game = GameFiles::of_game(civ4_dir);
    // Each schema is read once for the whole apply, merges and check alike.
    SchemaCache schemas;
    Manifest manifest;
    if (apply_step) {
        const double n = static_cast<double>(order.size());
        unsigned i = 0;
        for (const Mod* mod : order) {
            signal_apply_progress.emit(mod->name, fraction(0.1 + i * 0.9 / n));
            try {
                apply_step(*mod, game, build.folder());
            } catch (const xmlpp::exception& e) {
                throw xml_error(*mod, e);
            }
            ++i;
        }
        // Without the real steps the inputs say nothing about the files: none recorded.
        manifest = Manifest::of_folder(build.folder());
    } else {
        // Files whose inputs are those of the last apply come over from the old folder.
        IncrementalBuild incremental(target, game, order, &game_hashes);
        auto carry = [&incremental](const Change& change, const Path& dst) { return incremental.carry(change, dst); };
        const std::vector<const Mod*> mods(order.begin(), order.end());
        const Mod* current = nullptr;
        try {
            apply_mods(
                mods, game, build.folder(), carry,
                [&](const Mod& mod, unsigned done, unsigned total) {
                    current = &mod;
                    signal_apply_progress.emit(mod.name, fraction(0.1 + done * 0.9 / total));
                },
                &schemas);
        } catch (const xmlpp::exception& e) {
            if (!current)
                throw;
            throw xml_error(*current, e);
        }
        manifest = incremental.manifest(build.folder());
    }
    if (verify_after_apply)
        verification = verify_folder(build.folder(), game, schemas, &verify_memo, &manifest);
    manifest.write(build.folder());
    if (foreign_files_in(target))
        last_backup = back_up_custom_assets(target);
    build.commit();
}

} // namespace velmora
