// velmora-cli apply: the main window's apply command, with the priority
// questions answered by --prefer rules or on the terminal.
#include <iostream>
#include <optional>
#include <sigc++/sigc++.h>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/conflicts.h"
#include "cli/terminal.h"
#include "cli/text.h"
#include "base/errors.h"
#include "core/mod_target.h"
#include "core/orrindel.h"

namespace velmora::cli {

namespace {

// Disconnects the slots, which refer to the command's locals, when the
// command ends, by return or by exception.
class Connections {
public:
    ~Connections()
    {
        for (sigc::connection& c : list)
            c.disconnect();
    }
    void add(const sigc::connection& c) { list.push_back(c); }

private:
    std::vector<sigc::connection> list;
};

// Takes the rules, which refer to the command's locals, away from the core
// when the command ends.
struct GivenAnswersReset {
    Orrindel& core;
    ~GivenAnswersReset() { core.set_given_answers(nullptr); }
};

struct Unanswered {
    std::string first;
    std::string second;
};

std::string rule(const std::string& winner, const std::string& loser)
{
    return "--prefer \"" + printable(one_line(winner)) + ":" + printable(one_line(loser)) + "\"";
}

void print_summary(const Orrindel& core)
{
    const std::vector<std::string>& order = core.get_applied_order();
    const std::string folder = shown(core.get_target_dir());
    if (!core.get_mod_target().empty()) {
        if (order.empty())
            std::cout << "No mod is enabled: \"" << folder << "\" holds "
                      << (core.get_base_mod().empty() ? "only its settings file" : "the base mod alone") << ".\n";
        std::cout << core.describe_target() << ".\n";
    } else if (order.empty()) {
        std::cout << "No mod is enabled: the custom assets folder \"" << folder << "\" was removed.\n";
        return;
    }
    std::string names;
    for (const std::string& name : order)
        names += (names.empty() ? "'" : ", '") + printable(one_line(name)) + "'";
    if (!order.empty())
        std::cout << "Applied " << order.size() << (order.size() == 1 ? " mod" : " mods") << " to \"" << folder
                  << "\", in this order: " << names << ".\n";
    if (!core.get_mod_target().empty())
        std::cout << how_to_start(core.get_mod_target()) << "\n";
}

} // namespace

int run_apply(Orrindel& core, const ApplyOptions& options)
{
    const PreferRules rules = rules_for_apply(core, options.prefer);
    const bool ask = is_terminal(STDIN_FILENO);
    ProgressBar bar(std::cerr, is_terminal(STDERR_FILENO));
    std::optional<Unanswered> unanswered;

    Connections connections;
    connections.add(core.signal_apply_progress().connect(
        [&](const std::string& message, float fraction) { bar.show(message, fraction); }));
    core.set_given_answers([&](PriorityQuestion& q) {
        q.remember = options.remember;
        return rules.winner(q.first, q.second);
    });
    GivenAnswersReset reset{core};
    connections.add(core.signal_mod_priority().connect([&](PriorityQuestion& q) {
        unsigned int r = 0;
        if (ask) {
            bar.clear();
            r = ask_winner(std::cin, std::cerr, q.first->name, q.second->name, q.message, q.report().text());
        }
        if (r == 0)
            unanswered = Unanswered{q.first->name, q.second->name};
        q.remember = options.remember;
        return r;
    }));

    core.set_keep_foreign_files(!options.no_backup);
    try {
        core.apply();
    } catch (const ConflictError& e) {
        bar.clear();
        if (!unanswered)
            throw;
        report_error(std::string(e.what()) + " (nothing was changed)");
        hint("answer it with " + rule(unanswered->first, unanswered->second) + " or "
            + rule(unanswered->second, unanswered->first) + " (the winner is applied later).");
        return exit_failure;
    }
    bar.clear();
    if (!core.get_last_backup().empty())
        std::cout << (core.get_mod_target().empty() ? "The custom assets folder" : "The mod folder")
                  << " held files that Velmora did not write, or that changed since; the old folder was kept as \""
                  << shown(core.get_last_backup()) << "\".\n";
    print_summary(core);
    for (const ApplyNote& note : core.get_apply_notes()) {
        if (note.failed)
            warn(note.text);
        else
            std::cout << note.text << "\n";
    }
    for (const std::string& warning : core.get_apply_warnings())
        warn(warning);
    warn_verification(core.get_verification());
    return exit_success;
}

} // namespace velmora::cli
