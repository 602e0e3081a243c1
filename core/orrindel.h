#ifndef VELMORA_CORE_ORRINDEL_H
#define VELMORA_CORE_ORRINDEL_H

#include <functional>
#include <list>
#include <memory>
#include <set>
#include <sigc++/sigc++.h>
#include <string>
#include <vector>

#include "core/answers.h"
#include "core/build_info.h"
#include "core/config.h"
#include "core/conflict_reports.h"
#include "core/incremental.h"
#include "core/manifest.h"
#include "core/mod_list.h"
#include "core/preview.h"
#include "core/questions.h"
#include "core/restore_points.h"
#include "core/setup_file.h"
#include "core/signal_view.h"
#include "core/verify.h"
#include "mod/mod.h"
#include "path/path.h"

namespace velmora {

class GameFiles;
class ReferenceTable;

// What a command needs of the folders in the settings, looked at before it
// touches anything.
enum class FolderUse {
    // apply and check: the custom-assets folder; with a mod enabled, the game
    // folder to build on and the mods folder the mods are read from.
    Apply,
    // create and import: the game folder to compare with and the mods folder
    // the new mod is saved in.
    CreateMod,
    // verify: the game folder, when one is set, for its schemas and its own
    // copies of the files.
    Verify,
};

// One thing apply did to the game's own files after building, for the user.
struct ApplyNote {
    std::string text;
    bool failed = false;
};

// What the custom-assets folder holds now: the fingerprint of the files an
// apply wrote there, how many, and what it was built from.
struct BuildSummary {
    std::string fingerprint;
    std::size_t files = 0;
    BuildInfo info;
};

// The mod manager's core: the folders it works with, the known mods and the
// enabled ones, the configuration file and the apply pipeline. It knows no
// toolkit: the windows and the command-line tool drive it and listen to its
// signals, which are emitted synchronously on the calling thread.
class Orrindel {
public:
    // The core's signals, emitted synchronously on the calling thread; the
    // front ends connect to them, only the core emits them.
    //
    // A folder setting changed (also once at the end of the configuration step of startup()).
    SignalView<sigc::signal<void>> signal_prefs_changed() { return SignalView(prefs_changed); }
    // The list of mods changed: load_mods, add_mod, remove_mod, save_mod.
    SignalView<sigc::signal<void>> signal_mods_changed() { return SignalView(mods_changed); }
    // The set of enabled mods really changed (set_mod_enabled).
    SignalView<sigc::signal<void>> signal_enabled_mods_changed() { return SignalView(enabled_mods_changed); }
    // apply(): a message and a fraction in [0, 1), emitted before each step.
    using ProgressSignal = sigc::signal<void, const std::string&, float>;
    SignalView<ProgressSignal> signal_apply_progress() { return SignalView(apply_progress); }
    // apply(): which of two conflicting mods wins; 1 the first, 2 the second,
    // anything else (0 when no slot is connected) leaves the conflict unresolved.
    // The slot may set the question's `remember` to keep its answer.
    using PrioritySignal = sigc::signal<unsigned int, PriorityQuestion&>;
    SignalView<PrioritySignal> signal_mod_priority() { return SignalView(mod_priority); }
    // The profiles changed: one made, renamed or deleted, or another one in use.
    SignalView<sigc::signal<void>> signal_profiles_changed() { return SignalView(profiles_changed); }

    // The per-mod steps of apply(); they default to Mod::check_conflicts and Mod::apply.
    using ConflictCheck = std::function<void(const Mod& a, const Mod& b)>;
    // game: the Assets folders the game reads its files from, in its order.
    using ModApplier = std::function<void(const Mod& mod, const GameFiles& game, const Path& custom_assets)>;
    // An answer the front end has before any question (the command line's
    // --prefer rules): 1 or 2 as signal_mod_priority answers, 0 for none. It
    // may set the question's `remember`.
    using GivenAnswer = std::function<unsigned int(PriorityQuestion& question)>;

    // The settings folder will be ".velmora" in the folder named by HOME.
    Orrindel();
    // The settings folder will be ".velmora" in home; an empty home means none:
    // the settings file and the mods folder are then relative to the current folder.
    explicit Orrindel(const Path& home);
    // Saves the configuration when a setting changed since it was read or saved.
    ~Orrindel();
    Orrindel(const Orrindel&) = delete;
    Orrindel& operator=(const Orrindel&) = delete;

    // Sets up the settings and mods folders (creating them when missing), loads
    // the element table, reads the configuration, announces the preferences
    // once and scans the mods folder. Throws GenericError when the element
    // table cannot be found or read. An unreadable configuration file does not
    // stop it: it is kept as "conf.bad", the defaults stay, and a message is
    // added to get_warnings().
    void startup();
    // Messages about problems startup() overcame, for the front end to show.
    const std::vector<std::string>& get_warnings() const { return warnings; }
    // Writes the configuration file now. Throws GenericError when it cannot.
    void save_config();
    // Writes it only when a setting changed since it was read or saved.
    void save_changed_config();

    // Rescans the mods folder, reading each mod's header. Mods enabled before
    // stay enabled by name (at start-up: the names in the configuration).
    void load_mods();
    // Takes ownership of a new mod, replacing a listed mod with the same file:
    // the new one takes its place in the list and in the enabled mods of
    // every profile that had it. A null mod changes nothing.
    void add_mod(std::unique_ptr<Mod> mod);
    // Drops and deletes a listed mod; its file is left alone.
    void remove_mod(Mod* mod);
    // Writes a listed mod, its header edited, to its file and tells the
    // front ends (signal_mods_changed). The changes of a mod read only as far
    // as its header are read first, so that the file keeps them. Throws
    // GenericError when the file is gone or cannot be written (as Mod::save);
    // the edits stay in memory then.
    void save_mod(Mod& mod);
    void set_mod_enabled(Mod* mod, bool enabled);
    // Builds the target (the custom-assets folder, or the mod folder of a mod
    // target) from the game's files, the base mod's first, and the enabled
    // mods: asks signal_mod_priority about each conflict no rule or
    // remembered answer settles, orders the mods by the answers, then builds
    // file by file (each game file parsed once, every mod's changes to it
    // merged in order, written once) beside the old folder, carrying over the
    // files whose inputs are unchanged since the last apply. The new folder
    // replaces the old one whole, which becomes a restore point; with it go
    // the manifest, the record of who made each part and the build record.
    // What was built is then checked (schemas, names that point nowhere:
    // get_verification()). On failure the target is left as it was. Files in
    // it that Velmora did not write, or that changed since, are kept (unless
    // set_keep_foreign_files(false)): the old folder goes to get_last_backup()
    // first. Only one apply at a time works on a folder; another one waits a
    // few seconds and then fails. Throws GenericError or one of its kinds.
    void apply();
    // The first folder of the settings that use needs and cannot have, as a
    // finished message naming it and saying how to set it; "" when every one
    // is there. Touches nothing.
    std::string folder_problem(FolderUse use) const;
    // Throws GenericError with folder_problem's message.
    void check_folders(FolderUse use) const;
    // Everything apply() does up to writing, with the folder built in a
    // private temporary folder that is removed afterwards: what the apply
    // would add, change and remove in the custom-assets folder. Nothing is
    // asked (the unanswered conflicts are listed instead) and nothing of the
    // custom-assets folder or the settings is written. Throws what apply()
    // throws before it writes.
    BuildPreview preview();
    // What the last apply recorded of who made each file of the
    // custom-assets folder; false when there is no such record (no apply yet,
    // or one from before Velmora kept it).
    bool read_provenance(Provenance& out) const;
    // The files of the custom-assets folder that the next apply keeps in a
    // backup, and the name that backup would have if made now.
    ForeignFiles find_foreign_files() const;
    Path next_backup_folder() const;
    void set_keep_foreign_files(bool keep) { keep_foreign = keep; }
    // How long apply waits for another Velmora applying to the same folder.
    void set_apply_lock_wait(int ms) { lock_wait_ms = ms; }
    // The backup the last apply made, or an empty path when it made none.
    const Path& get_last_backup() const { return last_backup; }
    // The names of the mods the last apply() applied, in the order it applied
    // them (each winner after the mods it wins over); empty before the first
    // apply and after one that failed.
    const std::vector<std::string>& get_applied_order() const { return applied_order; }
    // What the last apply() met that did not stop it, one message each: a
    // mod's removal of a record that the file never had.
    const std::vector<std::string>& get_apply_warnings() const { return apply_warnings; }
    // What the last apply() found when it checked the files it built against
    // their schemas (empty before the first apply, or when checking is off).
    const Verification& get_verification() const { return verification; }
    // Whether apply() checks what it built (on by default).
    void set_verify_after_apply(bool on) { verify_after_apply = on; }
    // Whether apply() records who made each file (on by default). Off, the
    // folder holds no such record, and the next apply builds every file again.
    void set_record_provenance(bool on) { record_provenance = on; }
    // Whether that check includes the names the built records point at (on by default).
    void set_check_references(bool on) { check_references_after_apply = on; }
    // What the game would find in folder (a custom-assets folder, or one laid
    // out like it): the files that break their schemas and the names that
    // point nowhere, each broken reference named with the enabled mods (in
    // the order of the last apply, else of the list) and the mods that are
    // not enabled. Loads the mods' changes when it needs them.
    Verification verify(const Path& folder);
    // The broken references applying `order` (the enabled mods, in the order
    // apply would apply them) would leave, found before anything is written:
    // the mods' data files are merged in a private temporary folder that is
    // removed afterwards. Loads the mods. Nothing is checked (done false)
    // without a reference table or a game folder.
    ReferenceCheck check_references(const std::list<Mod*>& order);
    // The table of names that point at records ("references.txt"), read by startup.
    const ReferenceTable& get_reference_table() const { return *reference_table; }

    // The user's home folder the core was made for (where the game is looked for too).
    const Path& get_home() const { return home; }
    const Path& get_settings_dir() const { return settings_dir; }
    const Path& get_civ4_dir() const { return civ4_dir; }
    const Path& get_mods_dir() const { return mods_dir; }
    const Path& get_custom_assets_dir() const { return custom_assets_dir; }
    // The base mod: a mod folder (one holding "Assets") whose files come
    // before the game's wherever Velmora reads the game's files. Empty: none.
    const Path& get_base_mod() const { return base_mod; }
    // The mod target: the name of the folder in the game's "Mods" folder that
    // apply builds instead of the custom-assets folder. Empty: none.
    const std::string& get_mod_target() const { return mod_target; }
    // The folder apply builds: the mod target's folder when one is set, else
    // the custom-assets folder.
    Path get_target_dir() const;
    // The folder that holds what apply builds, as the game finds it: the
    // target, or a mod target's "Assets" folder in its on-disk spelling;
    // empty while the target is not set.
    Path get_built_dir() const;
    // What apply builds on top of what, in one line for the status bar.
    std::string describe_target() const;
    // The "Assets" folders the game's files are read from, in the game's
    // order: the base mod's first, when one is set.
    GameFiles get_game_files() const;
    ModList get_mods() const { return ModList(mods); }
    // The names of enabled mods whose files are not in the mods folder. They
    // stay enabled, in the configuration too, until disabled by name: a folder
    // on a drive that is not mounted must not cost the user the settings.
    const std::set<std::string>& get_missing_mods() const { return missing_mods; }
    void disable_missing_mod(const std::string& name);
    // How the configuration names a mod: by its name while no other listed
    // mod has it, else by its file name, so that two versions of one mod
    // (which keep its name) are told apart.
    std::string key_of(const Mod* mod) const;
    // A mod as messages name it: 'Name', with its file beside it where the name repeats.
    std::string label_of(const Mod* mod) const;
    // The listed mods a configured key names: the mod of that file name, else
    // every mod of that name (several when the name repeats).
    std::vector<Mod*> mods_for_key(const std::string& key) const;
    // The enabled mods other than mod that carry its name.
    std::vector<Mod*> other_versions_enabled(const Mod* mod) const;
    // Names in the configuration that several listed mods carry: none of them
    // is enabled until the user picks one by its file name. Each stays in the
    // configuration until a mod of that name is enabled or disabled.
    const std::set<std::string>& get_ambiguous_mods() const { return ambiguous_mods; }
    // The mods folder does not exist (rather than holding no mods).
    bool mods_dir_missing() const;
    // Membership is what "enabled" means; the set's own order means nothing.
    const std::set<Mod*>& get_enabled_mods() const { return enabled_mods; }
    // The enabled mods in the order of the mods list.
    std::list<Mod*> get_enabled_mods_in_order() const;

    // Each stores the folder and emits signal_prefs_changed, changed or not.
    void set_civ4_dir(const Path& dir);
    void set_mods_dir(const Path& dir);
    void set_custom_assets_dir(const Path& dir);
    // Not checked: judge_base_mod and judge_mod_target (core/mod_target.h)
    // tell the front ends what to refuse; apply refuses a bad target itself.
    void set_base_mod(const Path& dir);
    void set_mod_target(const std::string& name);

    // After an apply into a mod target, write "Mod = Mods\NAME" into the
    // game's CivilizationIV.ini so that the game starts with it; the line it
    // replaces goes back when the target or this is switched off. Off by
    // default, kept in "conf".
    bool get_game_ini_mod() const { return game_ini_mod; }
    void set_game_ini_mod(bool on);
    // After an apply that changed files, empty the game's cache folder, which
    // would otherwise hold what the game parsed of the old ones. Off by
    // default, kept in "conf".
    bool get_empty_game_cache() const { return empty_game_cache; }
    void set_empty_game_cache(bool on);
    // The game's settings file and cache folder, found from the custom-assets
    // folder (core/game_user_files.h); empty while it is not set.
    Path get_game_ini_file() const;
    Path get_game_cache_folder() const;
    // Brings the game's settings file in line with the two settings above:
    // names the mod target when both are on, else puts back the line an
    // earlier call replaced. Returns what it did, for the user, or "" when
    // nothing. Throws GenericError naming the file it cannot read or write.
    std::string update_game_ini();
    // What the last apply() did besides building (the game's settings file,
    // its cache), one message each, and what failed there: the build stays.
    const std::vector<ApplyNote>& get_apply_notes() const { return apply_notes; }

    // Ask only about conflicts where two mods change the same field (or
    // anything else whose answer matters): off by default, kept in "conf".
    bool get_ask_fields_only() const { return ask_fields_only; }
    void set_ask_fields_only(bool only);

    // The questions the enabled mods raise, pair by pair in their order: each
    // settled already when a remembered answer fits or the preferences skip
    // it; pairs that do not conflict raise none. The mods must be loaded.
    // Throws what check_conflicts throws other than a conflict, and XmlError
    // for a change that cannot be described.
    std::vector<PriorityQuestion> find_questions(const std::list<Mod*>& enabled) const;

    // How many conflicting pairs were described since start-up (their game
    // values read), not counting reports kept from an earlier apply. A pair
    // is described only when a front end reads its question's report.
    unsigned get_described_reports() const { return kept_reports.described(); }

    // The answers kept in "answers" in the settings folder (read by startup).
    const std::vector<RememberedAnswer>& get_remembered_answers() const { return remembered.get(); }
    // Each drops answers and saves the file; forget_answer returns false
    // (writing nothing) when winner has no remembered answer over loser.
    // Throw GenericError when the file cannot be written.
    bool forget_answer(const std::string& winner, const std::string& loser);
    void forget_all_answers();

    // Answers that count before remembered ones and before asking; an empty
    // function gives none.
    void set_given_answers(GivenAnswer given) { given_answer = std::move(given); }

    // Profiles: each a name with its own enabled mods, remembered answers and
    // same-field preference; the folders are common. One is current (the one
    // the next start uses, "Default" for settings from before profiles); one
    // is in use, the current one unless use_profile chose another for this
    // run. Each throws GenericError naming the problem: an unknown profile,
    // a name taken or unfit, deleting the one current or in use.
    const std::string& get_profile() const { return profile; }
    const std::string& get_current_profile() const { return current_profile; }
    std::vector<std::string> get_profiles() const;
    // A profile's values as "conf" keeps them (the one in use as it is now).
    ProfileValues get_profile_values(const std::string& name) const;
    // The profile in use as "conf" keeps it.
    ProfileValues profile_values() const;
    // Uses another profile for this run without making it current.
    void use_profile(const std::string& name);
    void switch_profile(const std::string& name);
    // A new profile, empty or (copy) with the values and answers of the one in use.
    void new_profile(const std::string& name, bool copy);
    void rename_profile(const std::string& from, const std::string& to);
    void delete_profile(const std::string& name);

    // The profile in use as a setup file's content: its enabled mods with
    // their file's hash, in order, its answers and its preference. Throws
    // GenericError when a mod file cannot be read.
    Setup export_setup() const;
    // Where the mods of a setup are in the mods folder: the file of the same
    // hash, else a mod of the same name (a version that differs), else none.
    std::vector<SetupMatch> match_setup(const Setup& setup) const;
    // Makes the profile name of a setup (not switching to it): its mods as
    // matched, a missing one enabled by name (so that it shows missing), its
    // answers following the mods. Returns the matches.
    std::vector<SetupMatch> import_setup(const Setup& setup, const std::string& name);

    // The build in the custom-assets folder. Throws GenericError when the
    // folder holds no list of what an apply wrote.
    BuildSummary describe_build() const;
    // The fingerprint of what the last apply built; empty before one, and
    // after an apply with no mods.
    const std::string& get_last_fingerprint() const { return last_fingerprint; }
    // Earlier builds kept beside the custom-assets folder, newest first.
    std::vector<RestorePoint> get_restore_points() const;
    // How many restore points each apply keeps (3 unless "conf" says otherwise).
    unsigned get_restore_point_limit() const { return restore_point_limit; }
    void set_restore_point_limit(unsigned n);
    // Whether the windows show what an apply will change, and ask, before it
    // runs (on until the user turns it off; kept in "conf").
    bool get_preview_before_apply() const { return preview_before_apply; }
    void set_preview_before_apply(bool on) { preview_before_apply = on; }
    // Puts restore point n (1: the newest) back as the custom-assets folder,
    // the build there becoming a restore point itself and files of the
    // user's in it kept in a backup (get_last_backup). Throws GenericError.
    void restore_build(unsigned n);
    // Empties the custom-assets folder as an apply with no mods does: the
    // build is kept as a restore point, files of the user's in a backup, and
    // the enabled mods stay enabled. Returns whether a restore point was
    // kept. Throws GenericError.
    bool unmod();
    // The custom-assets folder exists.
    bool custom_assets_exist() const;

    // Replaces the per-mod steps of apply(); an empty function restores the default.
    void set_apply_steps(ConflictCheck check, ModApplier apply_mod);

private:
    sigc::signal<void> prefs_changed;
    sigc::signal<void> mods_changed;
    sigc::signal<void> enabled_mods_changed;
    ProgressSignal apply_progress;
    PrioritySignal mod_priority;
    sigc::signal<void> profiles_changed;

    void load_element_table();
    void load_reference_table();
    void name_reference_mods(ReferenceCheck& check, const std::vector<const Mod*>& order);
    void load_config();
    void apply_settings(const ConfigValues& values, const ConfigFolders& folders);
    ConfigValues held_settings() const;
    void load_answers();

    Path checked_target() const;
    void refuse_missing_mods() const;
    bool foreign_files_in(const Path& target) const;
    void load_enabled_mods(const std::list<Mod*>& enabled);
    // An enabled mod as the configuration or a rescan knows it: its file when
    // known, and its key (key_of).
    struct EnabledEntry {
        std::string file;
        std::string key;
    };
    void enable_entries(const std::vector<EnabledEntry>& entries);
    unsigned int find_remembered(const PriorityQuestion& q) const;
    std::list<std::pair<Mod*, Mod*>> ask_priorities(
        const std::list<Mod*>& enabled, std::vector<RememberedAnswer>& to_remember);
    void build_custom_assets(const std::list<Mod*>& order, const Path& target);
    void build_mod_folder(const std::list<Mod*>& order, const Path& target);
    Manifest build_files(const std::list<Mod*>& order, const Path& old_folder, const Path& folder);
    // The folder of the target that holds what apply builds: the custom-assets
    // folder, or a mod target's "Assets" folder.
    Path built_files_dir(const Path& target) const;
    std::list<std::pair<Mod*, Mod*>> known_answers(
        const std::list<Mod*>& enabled, std::vector<PriorityQuestion>& unanswered) const;
    bool retire_custom_assets(const Path& target);
    std::string fingerprint_of(const Path& target) const;
    void after_apply(bool changed);
    Path restore_point_for(const Path& target) const;
    std::string new_answers_file() const;
    bool has_profile(const std::string& name) const;
    void require_profile(const std::string& name) const;
    void require_new_profile_name(const std::string& name) const;

    Config config;
    RememberedAnswers remembered;
    std::string profile = default_profile_name;
    std::string current_profile = default_profile_name;
    // The file of the answers of the profile in use; "" is "answers".
    std::string answers_name;
    unsigned restore_point_limit = 3;
    bool preview_before_apply = true;
    std::string last_fingerprint;
    bool ask_fields_only = false;
    ModList::Owned mods;
    Path home;
    Path settings_dir;
    Path civ4_dir;
    Path mods_dir;
    Path custom_assets_dir;
    Path base_mod;
    std::string mod_target;
    bool game_ini_mod = false;
    bool empty_game_cache = false;
    std::vector<ApplyNote> apply_notes;
    std::set<Mod*> enabled_mods;
    bool starting_up = true;
    std::set<std::string> missing_mods;
    std::set<std::string> ambiguous_mods;
    bool keep_foreign = true;
    int lock_wait_ms = 5000;
    Path last_backup;
    std::vector<std::string> applied_order;
    std::vector<std::string> warnings;
    std::vector<std::string> apply_warnings;
    Verification verification;
    bool verify_after_apply = true;
    bool record_provenance = true;
    bool check_references_after_apply = true;
    ConflictCheck check_step;
    ModApplier apply_step;
    GivenAnswer given_answer;
    // Kept across applies: a re-apply describes again only the pairs that changed.
    mutable ConflictReports kept_reports;
    // The scans of the last verification, for the files a re-apply carries over.
    VerifyMemo verify_memo;
    std::unique_ptr<ReferenceTable> reference_table; // never null
    // The names of the game's files read by earlier checks.
    ReferenceMemo reference_memo;
    // The game's files hashed by earlier applies, for the carry-over.
    GameFileHashes game_hashes;
};

} // namespace velmora

#endif
