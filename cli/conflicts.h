#ifndef VELMORA_CLI_CONFLICTS_H
#define VELMORA_CLI_CONFLICTS_H

#include <list>
#include <string>
#include <vector>

#include "core/questions.h"

namespace velmora {

class Mod;
class Orrindel;

namespace cli {

// The answers to conflicts given on the command line, "WINNER:LOSER" each,
// by mod name or file name. A mod name may itself hold a colon: the text is
// split where both sides name a listed mod.
class PreferRules {
public:
    // Throws UsageError for a rule that is not "WINNER:LOSER", GenericError
    // for a name no listed mod has, an ambiguous split, a mod preferred over
    // itself, or two rules that contradict each other. Warns about a rule that
    // names a mod that is not enabled.
    PreferRules(const Orrindel& core, const std::vector<std::string>& texts);

    // 1 when a rule makes first win, 2 when second, 0 when none speaks.
    unsigned int winner(const Mod* first, const Mod* second) const;

private:
    struct Rule {
        std::string text;
        std::vector<Mod*> winners;
        std::vector<Mod*> losers;
    };
    static Rule parse(const Orrindel& core, const std::string& text);

    std::vector<Rule> rules;
};

// The rules of apply or check, given once the folders apply needs are known
// to be there: a rule that is not "WINNER:LOSER" is the command line's
// mistake and comes first; a mods folder that is gone, which would make every
// name unknown, is said as such. Throws as PreferRules and
// Orrindel::check_folders do.
PreferRules rules_for_apply(const Orrindel& core, const std::vector<std::string>& texts);

// Two enabled mods that conflict, in the order apply asks about them.
struct Conflict {
    Mod* first;
    Mod* second;
    std::string message;
    // What each mod changes where they meet; whether apply asks at all.
    ConflictReport report;
    bool skipped;
    bool remembered;
    // 1 first wins, 2 second wins, 0 none: the rules' answer, else a
    // remembered one (as apply takes them); 0 also when skipped.
    unsigned int answer;
};

// Loads the changes of the enabled mods (as apply does) and checks every
// pair, going on past each conflict so that all of them are found. Touches
// no folder. Throws what loading or checking throws other than a conflict.
std::vector<Conflict> find_conflicts(
    const Orrindel& core, const std::list<Mod*>& enabled, const PreferRules& rules);

} // namespace cli
} // namespace velmora

#endif
