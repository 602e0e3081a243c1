#ifndef VELMORA_CORE_ORRINDEL_H
#define VELMORA_CORE_ORRINDEL_H

#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <set>
#include <sigc++/sigc++.h>
#include <string>
#include <vector>

#include "core/answers.h"
#include "core/config.h"
#include "core/questions.h"
#include "path/path.h"

namespace velmora {

class Mod;

// The mod manager's core: the folders it works with, the known mods and the
// enabled ones, the configuration file and the apply pipeline. It knows no
// toolkit: the windows and the command-line tool drive it and listen to its
// signals, which are emitted synchronously on the calling thread.
class Orrindel {
public:
    // A folder setting changed (also once at the end of the configuration step of startup()).
    sigc::signal<void> signal_prefs_changed;
    // The list of mods changed: load_mods, add_mod, remove_mod.
    sigc::signal<void> signal_mods_changed;
    // The set of enabled mods really changed (set_mod_enabled).
    sigc::signal<void> signal_enabled_mods_changed;
    // apply(): a message and a fraction in [0, 1), emitted before each step.
    sigc::signal<void, const std::string&, float> signal_apply_progress;
    // apply(): which of two conflicting mods wins; 1 the first, 2 the second,
    // anything else (0 when no slot is connected) leaves the conflict unresolved.
    // The slot may set the question's `remember` to keep its answer.
    sigc::signal<unsigned int, PriorityQuestion&> signal_mod_priority;

    // The per-mod steps of apply(); they default to Mod::check_conflicts and Mod::apply.
    using ConflictCheck = std::function<void(const Mod& a, const Mod& b)>;
    using ModApplier = std::function<void(const Mod& mod, const Path& assets, const Path& custom_assets)>;
    // An answer the front end has before any question (the command line's
    // --prefer rules): 1 or 2 as signal_mod_priority answers, 0 for none. It
    // may set the question's `remember`.
    using GivenAnswer = std::function<unsigned int(PriorityQuestion& question)>;

    // The settings folder will be ".velmora" in the folder named by HOME.
    Orrindel();
    // The settings folder will be ".velmora" in home; an empty home means none:
    // the settings file and the mods folder are then relative to the current folder.
    explicit Orrindel(const Path& home);
    // Saves the configuration unless save_config() has saved it since the last change.
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

    // Rescans the mods folder, reading each mod's header. Mods enabled before
    // stay enabled by name (at start-up: the names in the configuration).
    void load_mods();
    // Takes ownership of a new mod, replacing a listed mod with the same file.
    void add_mod(Mod* mod);
    // Drops and deletes a listed mod; its file is left alone.
    void remove_mod(Mod* mod);
    void set_mod_enabled(Mod* mod, bool enabled);
    // Rebuilds the custom-assets folder from the game's "Assets" folder and the
    // enabled mods, asking signal_mod_priority about each conflict. On failure
    // the folder is left as it was. Throws GenericError or one of its kinds.
    void apply();

    const Path& get_settings_dir() const { return settings_dir; }
    const Path& get_civ4_dir() const { return civ4_dir; }
    const Path& get_mods_dir() const { return mods_dir; }
    const Path& get_custom_assets_dir() const { return custom_assets_dir; }
    const std::list<Mod*>& get_mods() const { return mods; }
    // Membership is what "enabled" means; the set's own order means nothing.
    const std::set<Mod*>& get_enabled_mods() const { return enabled_mods; }
    // The enabled mods in the order of the mods list.
    std::list<Mod*> get_enabled_mods_in_order() const;

    // Each stores the folder and emits signal_prefs_changed, changed or not.
    void set_civ4_dir(const Path& dir);
    void set_mods_dir(const Path& dir);
    void set_custom_assets_dir(const Path& dir);

    // Ask only about conflicts where two mods change the same field (or
    // anything else whose answer matters): off by default, kept in "conf".
    bool get_ask_fields_only() const { return ask_fields_only; }
    void set_ask_fields_only(bool only);

    // The question two enabled mods raise, settled already when a remembered
    // answer fits or the preferences skip it; none when they do not conflict.
    // Both mods must be loaded. The describer keeps what it read for the
    // next pairs (see conflict_describer). Throws what check_conflicts throws
    // other than a conflict.
    std::optional<PriorityQuestion> find_question(Mod& first, Mod& second, ConflictDescriber& describer) const;
    // A describer that reads the game's values from the game folder.
    std::unique_ptr<ConflictDescriber> conflict_describer() const;

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

    // Replaces the per-mod steps of apply(); an empty function restores the default.
    void set_apply_steps(ConflictCheck check, ModApplier apply_mod);

private:
    void load_element_table();
    void load_config();
    void load_answers();
    void changed() { config_saved = false; }

    void load_enabled_mods(const std::list<Mod*>& enabled);
    std::list<std::pair<Mod*, Mod*>> ask_priorities(
        const std::list<Mod*>& enabled, std::vector<RememberedAnswer>& to_remember);
    void build_custom_assets(const std::list<Mod*>& order, const Path& target);

    Config config;
    RememberedAnswers remembered;
    bool ask_fields_only = false;
    std::list<Mod*> mods;
    Path home;
    Path settings_dir;
    Path civ4_dir;
    Path mods_dir;
    Path custom_assets_dir;
    std::set<Mod*> enabled_mods;
    bool starting_up = true;
    bool config_saved = false;
    std::vector<std::string> warnings;
    ConflictCheck check_step;
    ModApplier apply_step;
    GivenAnswer given_answer;
};

} // namespace velmora

#endif
