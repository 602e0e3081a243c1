// Sharing a profile: a setup file written from the profile in use, and a new
// profile made from one, its mods found in this mods folder.
#include <algorithm>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "core/orrindel.h"
#include "mod/mod.h"

namespace velmora {

namespace {

// The hash of a mod file's bytes; 0 when it cannot be read.
std::uint64_t file_hash(const Mod& mod)
{
    std::uint64_t hash = 0;
    return hash_file(mod.path, hash) ? hash : 0;
}

int index_of(const std::vector<const Mod*>& mods, const Mod* mod)
{
    auto it = std::find(mods.begin(), mods.end(), mod);
    return it == mods.end() ? -1 : static_cast<int>(it - mods.begin());
}

} // namespace

Setup Orrindel::export_setup() const
{
    Setup setup;
    setup.profile = profile;
    setup.ask_fields_only = ask_fields_only;
    std::vector<const Mod*> listed;
    for (const Mod* mod : get_enabled_mods_in_order()) {
        const std::uint64_t hash = file_hash(*mod);
        if (hash == 0) {
            throw GenericError(format("Cannot read the mod file %S to export it.", &mod->path));
        }
        setup.mods.push_back({mod->name, mod->version, mod->path[-1], hash});
        listed.push_back(mod);
    }
    for (const RememberedAnswer& r : remembered.get()) {
        SetupAnswer a;
        a.winner_changes = r.winner_changes;
        a.loser_changes = r.loser_changes;
        const std::vector<Mod*> winners = mods_for_key(r.winner), losers = mods_for_key(r.loser);
        a.winner_mod = winners.size() == 1 ? index_of(listed, winners.front()) : -1;
        a.loser_mod = losers.size() == 1 ? index_of(listed, losers.front()) : -1;
        // By the mod's own name: a file name means nothing in another folder.
        a.winner = a.winner_mod >= 0 ? listed[a.winner_mod]->name : r.winner;
        a.loser = a.loser_mod >= 0 ? listed[a.loser_mod]->name : r.loser;
        setup.answers.push_back(a);
    }
    return setup;
}

std::vector<SetupMatch> Orrindel::match_setup(const Setup& setup) const
{
    std::vector<std::pair<Mod*, std::uint64_t>> hashes;
    for (Mod* mod : get_mods())
        hashes.emplace_back(mod, file_hash(*mod));
    std::vector<SetupMatch> matches;
    for (const SetupMod& wanted : setup.mods) {
        SetupMatch m{wanted, nullptr, false};
        for (const auto& [mod, hash] : hashes)
            if (hash != 0 && hash == wanted.hash) {
                m.found = mod;
                break;
            }
        if (!m.found) {
            const std::vector<Mod*> named = mods_for_key(wanted.name);
            // Of several versions, the one with the setup's file name, else the first.
            for (Mod* mod : named)
                if (!m.found || mod->path[-1] == wanted.file)
                    m.found = mod;
            m.version_differs = m.found != nullptr;
        }
        matches.push_back(m);
    }
    return matches;
}

std::vector<SetupMatch> Orrindel::import_setup(const Setup& setup, const std::string& name)
{
    require_new_profile_name(name);
    const std::vector<SetupMatch> matches = match_setup(setup);
    ProfileValues p;
    p.name = name;
    p.ask_fields_only = setup.ask_fields_only;
    p.answers = new_answers_file();
    auto key = [&](const SetupMatch& m) { return m.found ? key_of(m.found) : m.wanted.name; };
    for (const SetupMatch& m : matches) {
        // A missing mod stays enabled by name: the profile says what it lacks.
        const std::string k = key(m);
        if (std::find(p.enabled.begin(), p.enabled.end(), k) == p.enabled.end())
            p.enabled.push_back(k);
    }
    RememberedAnswers answers;
    answers.load(settings_dir / Path(p.answers));
    for (const SetupAnswer& a : setup.answers) {
        const std::string winner = a.winner_mod >= 0 ? key(matches[a.winner_mod]) : a.winner;
        const std::string loser = a.loser_mod >= 0 ? key(matches[a.loser_mod]) : a.loser;
        answers.remember({winner, loser, a.winner_changes, a.loser_changes});
    }
    if (!answers.get().empty())
        answers.save();
    config.store_profile(profile_values());
    config.store_profile(p);
    profiles_changed.emit();
    return matches;
}

} // namespace velmora
