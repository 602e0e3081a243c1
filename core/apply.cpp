// The apply pipeline of the core: load the enabled mods, ask about each
// conflict, order the mods by the answers and rebuild the custom-assets folder.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <future>
#include <map>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "core/apply_order.h"
#include "core/build_info.h"
#include "core/check_memos.h"
#include "core/custom_assets.h"
#include "core/game_user_files.h"
#include "core/incremental.h"
#include "core/manifest.h"
#include "core/mod_target.h"
#include "core/orrindel.h"
#include "core/prefs_checks.h"
#include "core/questions.h"
#include "core/restore_points.h"
#include "mod/apply_mods.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/provenance.h"
#include "path/fs.h"
#include "path/memory.h"
#include "path/platform.h"
#include "xml/element_info.h"
#include "xml/reference_table.h"
#include "xml/schema.h"
#include "xml/library.h"

namespace velmora {

namespace {

float fraction(double value) { return static_cast<float>(value); }

// The XML library's failure is not a finished message; no front end would
// catch it.
XmlError xml_error(const Mod& mod, const XmlLibraryError& e)
{
    return XmlError(format("XML error in mod '%S': %s", &mod.name, e.what()));
}

// The mods that change each file (by its folded name), in the order applied:
// one name per change.
std::map<std::string, std::vector<std::string>> makers_of_files(const std::list<Mod*>& order)
{
    std::map<std::string, std::vector<std::string>> makers;
    for (const Mod* mod : order)
        for (const Change& c : mod->changes)
            if (c.type == Change::WHOLE || c.type == Change::XML || c.type == Change::DIFF)
                makers[provenance_key(c.file)].push_back(mod->name);
    return makers;
}

} // namespace

Path Orrindel::checked_target() const
{
    if (!mod_target.empty())
        return checked_mod_target(mod_target, civ4_dir, base_mod);
    return checked_custom_assets_dir(custom_assets_dir, {civ4_dir, mods_dir, settings_dir, home, Path()});
}

std::string Orrindel::folder_problem(FolderUse use) const
{
    std::string problem;
    switch (use) {
    case FolderUse::Apply: {
        // A mod target is judged by checked_target(); the custom-assets folder is not built then.
        if (mod_target.empty()) {
            const CustomAssetsJudgement judgement
                = judge_custom_assets_dir(custom_assets_dir, {civ4_dir, mods_dir, settings_dir, home, Path()});
            if (judgement.refused())
                return judgement.message;
        }
        // Without a mod to apply, apply only removes the custom-assets folder.
        if (enabled_mods.empty() && missing_mods.empty())
            return std::string();
        problem = game_folder_problem(civ4_dir);
        return problem.empty() ? mods_folder_problem(mods_dir) : problem;
    }
    case FolderUse::CreateMod:
        problem = game_folder_problem(civ4_dir);
        return problem.empty() ? mods_folder_problem(mods_dir) : problem;
    case FolderUse::Verify:
        return civ4_dir.empty() ? std::string() : game_folder_problem(civ4_dir);
    }
    return problem;
}

void Orrindel::check_folders(FolderUse use) const
{
    const std::string problem = folder_problem(use);
    if (!problem.empty())
        throw GenericError(problem);
}

void Orrindel::apply()
{
    // A game folder that is gone would otherwise show as a mod made for
    // another version of a file, or an XML file that cannot be read.
    check_folders(FolderUse::Apply);
    const Path target = checked_target();
    refuse_missing_mods();
    const std::list<Mod*> enabled = get_enabled_mods_in_order();
    // Without it every file would be built on the bare game's copy: a mod for nobody.
    if (!base_mod.empty()) {
        const std::string problem = judge_base_mod(base_mod);
        if (!problem.empty())
            throw GenericError(problem + " Nothing was changed: put it back, or choose another base mod.");
    }

    verification = Verification();
    applied_order.clear();
    apply_warnings.clear();
    load_enabled_mods(enabled);
    // Reading the mods' files parsed each whole; what the parses left freed
    // goes back to the system before the game's files are parsed.
    platform::release_free_memory();
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
    last_fingerprint.clear();
    apply_notes.clear();
    const std::string before = fingerprint_of(target);
    if (!mod_target.empty()) {
        // The mod folder holds the base mod even when no mod changes it.
        build_mod_folder(order, target);
    } else if (order.empty()) {
        retire_custom_assets(target);
    } else {
        build_custom_assets(order, target);
    }
    for (const Mod* mod : order)
        applied_order.push_back(mod->name);
    after_apply(before != fingerprint_of(target));
}

// A build's manifest lists every file with its hash: the same fingerprint
// before and after is the same files. Velmora's own records (a mod target's
// "Assets" holds its build's manifest, with the files' stamps) do not count.
std::string Orrindel::fingerprint_of(const Path& target) const
{
    Manifest manifest;
    if (!Manifest::read(target, manifest))
        return std::string();
    std::vector<ManifestEntry>& entries = manifest.entries;
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                      [](const ManifestEntry& e) {
                          const std::size_t slash = e.file.rfind('\\');
                          return e.file.compare(slash == std::string::npos ? 0 : slash + 1, 9, ".velmora-")
                              == 0;
                      }),
        entries.end());
    return build_fingerprint(manifest);
}

// The game's own files, once the build is in place: what fails here does not
// undo the apply, and is told as a warning.
void Orrindel::after_apply(bool changed)
{
    try {
        const std::string done = update_game_ini();
        if (!done.empty())
            apply_notes.push_back({done});
    } catch (const GenericError& e) {
        apply_notes.push_back({e.what(), true});
    }
    if (!empty_game_cache || !changed)
        return;
    const Path cache = get_game_cache_folder();
    if (cache.empty()) {
        apply_notes.push_back({"The game's cache was not emptied: Velmora finds it from the custom assets "
                               "folder, which is not set.",
            true});
        return;
    }
    try {
        const unsigned n = velmora::empty_game_cache(cache);
        if (n > 0)
            apply_notes.push_back(
                {format("Emptied the game's cache \"%S\" (%u %s).", &cache, n, n == 1 ? "file" : "files")});
    } catch (const GenericError& e) {
        apply_notes.push_back({e.what(), true});
    }
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
        apply_progress.emit("Loading", fraction(i * 0.1 / n));
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
                call_xml_library([&] {
                    if (check_step)
                        check_step(**a, **b);
                    else
                        (*a)->check_conflicts(*b);
                });
            } catch (const ConflictError& e) {
                pairs.push_back({*a, *b, e.what()});
                mods.emplace_back(*a, *b);
            } catch (const XmlLibraryError& e) {
                throw xml_error(**a, e);
            }
        }
    }
    // The reports are made as far as they are read: the pairs unchanged since
    // the last apply keep theirs; the rest are described together, each game
    // file read once for all of them, when a front end first shows one.
    kept_reports.begin_round();
    auto round = std::make_shared<QuestionRound>(std::move(pairs), get_game_files(), kept_reports);
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
            r = mod_priority.emit(q);
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

std::list<PriorityAnswer> Orrindel::known_answers(
    const std::list<Mod*>& enabled, std::vector<PriorityQuestion>& unanswered) const
{
    std::list<PriorityAnswer> answers;
    for (PriorityQuestion& q : find_questions(enabled)) {
        if (q.skipped)
            continue;
        unsigned int r = given_answer ? given_answer(q) : 0;
        if (r == 0)
            r = q.remembered;
        if (r == 1)
            answers.emplace_back(q.first, q.second);
        else if (r == 2)
            answers.emplace_back(q.second, q.first);
        else
            unanswered.push_back(std::move(q));
    }
    return answers;
}

BuildPreview Orrindel::preview()
{
    check_folders(FolderUse::Apply);
    const Path target = checked_target();
    refuse_missing_mods();
    const std::list<Mod*> enabled = get_enabled_mods_in_order();
    load_enabled_mods(enabled);
    platform::release_free_memory();
    BuildPreview out;
    const std::list<PriorityAnswer> answers = known_answers(enabled, out.unanswered);
    if (!out.unanswered.empty())
        return out;
    const std::list<Mod*> order = order_mods(enabled, answers);
    for (const Mod* mod : order)
        out.order.push_back(mod->name);
    const std::string made = platform::make_temp_dir("velmora-preview-");
    if (made.empty()) {
        std::string reason = std::strerror(errno);
        throw GenericError(format("Cannot make a temporary folder to build the preview in: %S", &reason));
    }
    const Path folder(made);
    try {
        const GameFiles game = get_game_files();
        SchemaCache schemas;
        ProvenanceRecorder recorder(out.provenance);
        const std::vector<const Mod*> mods(order.begin(), order.end());
        const Mod* current = nullptr;
        // A merged file is checked on its tree before the tree is freed:
        // the check of the folder then does not parse it again.
        const MergedFile check_merged = [&](const Path& file, const xmlpp::Element* root, const std::string& bytes) {
            check_merged_file(folder, file.subpath(folder.size(), file.size() - folder.size()), root,
                hash_bytes(bytes), game, schemas, verify_memo);
        };
        try {
            call_xml_library([&] {
                apply_mods(
                    mods, game, folder, Mod::CarryOver(),
                    [&](const Mod& mod, unsigned done, unsigned total) {
                        current = &mod;
                        apply_progress.emit(mod.name, fraction(0.1 + done * 0.9 / total));
                    },
                    &schemas, &recorder);
            });
        } catch (const XmlLibraryError& e) {
            if (!current)
                throw;
            throw xml_error(*current, e);
        }
        out.files = compare_builds(built_files_dir(target), folder, out.provenance, &out.unchanged);
    } catch (...) {
        rmdir(folder, true);
        throw;
    }
    rmdir(folder, true);
    return out;
}

bool Orrindel::read_provenance(Provenance& out) const
{
    out.files.clear();
    const Path target = get_target_dir();
    return !target.empty() && Provenance::read(built_files_dir(target), out);
}

Path Orrindel::built_files_dir(const Path& target) const
{
    if (mod_target.empty())
        return target;
    // Found as the game finds it: the folder's "Assets" may be spelled otherwise.
    return platform::kind_of(target.str()) == platform::Kind::Folder ? fix_case(target / Path("Assets"))
                                                                     : target / Path("Assets");
}

void Orrindel::build_custom_assets(const std::list<Mod*>& order, const Path& target)
{
    CustomAssetsBuild build(target);
    const Manifest manifest = build_files(order, target, build.folder());
    manifest.write(build.folder());
    BuildInfo info;
    info.time = std::time(nullptr);
    info.profile = profile;
    for (const Mod* mod : order)
        info.mods.push_back({mod->name, mod->version, mod->path.empty() ? std::string() : mod->path[-1]});
    info.write(build.folder());
    if (foreign_files_in(target))
        last_backup = back_up_custom_assets(target);
    // The build replaced is kept whole as the newest restore point.
    const Path keep = restore_point_for(target);
    build.commit(keep);
    prune_restore_points(target, restore_point_limit);
    last_fingerprint = build_fingerprint(manifest);
}

// The mod target is built as the custom-assets folder is (beside the old one,
// swapped in whole, the old one backed up when it holds files Velmora did not
// write), with the files apply builds in its "Assets" folder, listed in a
// manifest there that the next apply carries them over by, then the base mod
// around them. The manifest of the whole folder tells the user's own files
// from Velmora's, the base mod's links included.
void Orrindel::build_mod_folder(const std::list<Mod*>& order, const Path& target)
{
    CustomAssetsBuild build(target);
    const Path assets = build.folder() / Path("Assets");
    if (platform::mkdir(assets.str()) != 0) {
        std::string why = std::strerror(errno);
        throw GenericError(format("Cannot create the folder %S: %S", &assets, &why));
    }
    const Manifest built = build_files(order, built_files_dir(target), assets);
    built.write(assets);
    apply_progress.emit("Adding the base mod", fraction(0.99));
    add_base_mod(build.folder(), base_mod, mod_target);
    Manifest::of_folder(build.folder()).write(build.folder());
    if (foreign_files_in(target))
        last_backup = back_up_custom_assets(target);
    build.commit();
}

// Applies the mods in order into the empty folder, carrying over from
// old_folder (what the last apply built there) the files whose inputs have not
// changed, and checks what was built. Returns the manifest of folder.
Manifest Orrindel::build_files(const std::list<Mod*>& order, const Path& old_folder, const Path& folder)
{
    // Found once: a file the base mod and Beyond the Sword lack is read from Warlords' or the original game's folder.
    const GameFiles game = get_game_files();
    // Each schema is read once for the whole apply, merges and check alike.
    SchemaCache schemas;
    Manifest manifest;
    Provenance provenance;
    // The game's own data files are read for the check of names on another
    // core while the mods are merged; the check then reads only what was built.
    // Until it is joined, reference_memo is the scan's alone.
    // A new process finds the scans of the last apply's checks beside its manifest.
    const std::uint64_t elements = ElementInfoStorage::instance().digest();
    const std::uint64_t references = reference_table->digest();
    if (verify_after_apply && verify_memo.files.empty() && reference_memo.scans.empty())
        CheckMemos::read(old_folder, elements, references, verify_memo, reference_memo);
    std::future<void> game_scan;
    if (verify_after_apply && check_references_after_apply && !reference_table->empty())
        game_scan = std::async(std::launch::async, [this, folders = game.folders()] {
            scan_game_files(folders, *reference_table, reference_memo);
        });
    if (apply_step) {
        const double n = static_cast<double>(order.size());
        unsigned i = 0;
        for (const Mod* mod : order) {
            apply_progress.emit(mod->name, fraction(0.1 + i * 0.9 / n));
            try {
                call_xml_library([&] { apply_step(*mod, game, folder); });
            } catch (const XmlLibraryError& e) {
                throw xml_error(*mod, e);
            }
            ++i;
        }
        // Without the real steps the inputs say nothing about the files: none recorded.
        manifest = Manifest::of_folder(folder);
    } else {
        // Files whose inputs are those of the last apply come over from the old
        // folder, with what the last apply recorded of who made them.
        IncrementalBuild incremental(old_folder, game, order, &game_hashes);
        Provenance old_provenance;
        Provenance::read(old_folder, old_provenance);
        incremental.set_carry_filter(
            [&old_provenance](const std::string& file) { return old_provenance.find(file) != nullptr; });
        ProvenanceRecorder recorder(provenance);
        auto carry = [&incremental](const Change& change, const Path& dst) { return incremental.carry(change, dst); };
        const std::vector<const Mod*> mods(order.begin(), order.end());
        const Mod* current = nullptr;
        // A merged file is checked on its tree before the tree is freed:
        // the check of the folder then does not parse it again.
        const MergedFile check_merged = [&](const Path& file, const xmlpp::Element* root, const std::string& bytes) {
            check_merged_file(folder, file.subpath(folder.size(), file.size() - folder.size()), root,
                hash_bytes(bytes), game, schemas, verify_memo);
        };
        try {
            call_xml_library([&] {
                apply_mods(
                    mods, game, folder, carry,
                    [&](const Mod& mod, unsigned done, unsigned total) {
                        current = &mod;
                        apply_progress.emit(mod.name, fraction(0.1 + done * 0.9 / total));
                    },
                    &schemas, record_provenance ? &recorder : nullptr, &apply_warnings,
                    verify_after_apply ? check_merged : MergedFile());
            });
        } catch (const XmlLibraryError& e) {
            if (!current)
                throw;
            throw xml_error(*current, e);
        }
        manifest = incremental.manifest(folder);
        const auto makers = makers_of_files(order);
        for (const std::string& key : incremental.carried_files()) {
            FileOrigin& origin = provenance.files[key] = *old_provenance.find(key);
            const auto found = makers.find(key);
            rename_mods(origin, found == makers.end() ? std::vector<std::string>() : found->second);
        }
    }
    if (game_scan.valid()) {
        try {
            game_scan.get();
        } catch (const std::exception&) {
            // The check reads again what the scan could not, and says why.
        }
    }
    if (verify_after_apply) {
        verification = verify_folder(folder, game, schemas, &verify_memo, &manifest);
        if (check_references_after_apply) {
            verification.references
                = velmora::check_references(folder, game, *reference_table, &reference_memo, &manifest);
            name_reference_mods(verification.references, std::vector<const Mod*>(order.begin(), order.end()));
        }
    }
    // Only a check's time is lost when it cannot be kept.
    if (verify_after_apply)
        CheckMemos::write(folder, elements, references, verify_memo, reference_memo);
    if (record_provenance)
        provenance.write(folder);
    return manifest;
}

} // namespace velmora
