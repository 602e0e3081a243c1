// velmora-cli apply --dry-run: what apply would change in the custom-assets
// folder, with nothing written and nothing asked.
#include <iostream>
#include <nlohmann/json.hpp>
#include <sigc++/sigc++.h>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/conflicts.h"
#include "cli/json.h"
#include "cli/terminal.h"
#include "cli/text.h"
#include "core/orrindel.h"
#include "path/platform.h"

namespace velmora::cli {

namespace {

struct GivenAnswersReset {
    Orrindel& core;
    ~GivenAnswersReset() { core.set_given_answers(nullptr); }
};

const char* kind_word(FileChange::Kind kind)
{
    switch (kind) {
    case FileChange::Added:
        return "added";
    case FileChange::Removed:
        return "removed";
    case FileChange::Changed:
        break;
    }
    return "changed";
}

std::string file_text(const std::string& file) { return platform::native(Path(file)); }

nlohmann::json text_or_null(bool present, const std::string& text)
{
    return present ? nlohmann::json(text) : nlohmann::json(nullptr);
}

void print_json(const Orrindel& core, const BuildPreview& preview)
{
    nlohmann::json out = {{"folder", platform_path(core.get_custom_assets_dir())}, {"order", preview.order},
        {"unanswered", nlohmann::json::array()}, {"files", nlohmann::json::array()},
        {"unchanged", preview.unchanged}};
    for (const PriorityQuestion& q : preview.unanswered) {
        nlohmann::json details = nlohmann::json::array();
        for (const ConflictDetail& d : q.report().details)
            details.push_back({{"file", d.file}, {"where", d.where}, {"lines", d.lines}});
        out["unanswered"].push_back({{"first", q.first->name}, {"second", q.second->name},
            {"message", q.report().message}, {"details", details}});
    }
    for (const FileChange& f : preview.files) {
        nlohmann::json file = {{"file", file_text(f.file)}, {"change", kind_word(f.kind)}, {"mods", f.mods},
            {"fields", nlohmann::json::array()}, {"lines", nlohmann::json::array()}};
        for (const FieldChange& c : f.fields)
            file["fields"].push_back({{"record", c.record}, {"field", c.field}, {"old", text_or_null(c.had, c.before)},
                {"new", text_or_null(c.has, c.after)}, {"mod", text_or_null(!c.mod.empty(), c.mod)}});
        for (const LineChange& l : f.lines)
            file["lines"].push_back(
                {{"first", l.first}, {"last", l.last}, {"mod", text_or_null(!l.mod.empty(), l.mod)}});
        out["files"].push_back(file);
    }
    print(std::cout, out);
}

std::string names(const std::vector<std::string>& list)
{
    std::string out;
    for (const std::string& name : list)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

std::string by(const std::string& mod) { return mod.empty() ? "(game)" : "(" + mod + ")"; }

void print_text(const Orrindel& core, const BuildPreview& preview)
{
    const std::string folder = shown(core.get_custom_assets_dir());
    if (!preview.unanswered.empty()) {
        for (const PriorityQuestion& q : preview.unanswered) {
            std::cout << printable(one_line("Conflict: '" + q.first->name + "' and '" + q.second->name
                             + "' [no answer]: " + q.report().message))
                      << "\n";
            for (const std::string& line : q.report().text())
                std::cout << "    " << detail_line(line) << "\n";
        }
        return;
    }
    const std::size_t n = preview.files.size();
    std::cout << "Dry run, nothing written: applying " << preview.order.size()
              << (preview.order.size() == 1 ? " mod" : " mods") << " to \"" << folder << "\" would change " << n
              << (n == 1 ? " file" : " files") << " (" << preview.unchanged << " unchanged).\n";
    for (const FileChange& f : preview.files) {
        std::string line = std::string(kind_word(f.kind)) + "  " + file_text(f.file);
        if (!f.mods.empty())
            line += " (" + names(f.mods) + ")";
        std::cout << printable(one_line(line)) << "\n";
        for (const FieldChange& c : f.fields)
            std::cout << "    "
                      << printable(one_line(c.record + "  " + c.field + " " + (c.had ? c.before : "(none)") + " -> "
                             + (c.has ? c.after : "(none)") + " " + by(c.mod)))
                      << "\n";
        for (const LineChange& l : f.lines)
            std::cout << "    " << printable(describe_lines(l.first, l.last) + " " + by(l.mod)) << "\n";
    }
}

} // namespace

int run_dry_run(Orrindel& core, const ApplyOptions& options)
{
    const PreferRules rules(core, options.prefer);
    ProgressBar bar(std::cerr, is_terminal(STDERR_FILENO));
    sigc::connection progress = core.signal_apply_progress().connect(
        [&](const std::string& message, float fraction) { bar.show(message, fraction); });
    core.set_given_answers([&](PriorityQuestion& q) { return rules.winner(q.first, q.second); });
    GivenAnswersReset reset{core};
    BuildPreview preview;
    try {
        preview = core.preview();
    } catch (...) {
        progress.disconnect();
        throw;
    }
    progress.disconnect();
    bar.clear();
    if (options.json)
        print_json(core, preview);
    else
        print_text(core, preview);
    if (preview.unanswered.empty())
        return exit_success;
    const std::size_t n = preview.unanswered.size();
    report_error(std::to_string(n) + (n == 1 ? " conflict has" : " conflicts have")
        + " no answer: nothing was built (dry run).");
    hint("answer each with --prefer WINNER:LOSER (mod names), given to both apply --dry-run and apply.");
    return exit_failure;
}

} // namespace velmora::cli
