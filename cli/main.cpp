// velmora-cli: the mod manager's operations from a shell or a script, on the
// same settings folder, configuration and mods folder as the windows.
#include <CLI/CLI.hpp>
#include <functional>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/session.h"
#include "cli/text.h"
#include "base/errors.h"
#include "core/orrindel.h"

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "unknown"
#endif

namespace velmora::cli {

namespace {

// Messages quote names from mod files: they are made safe for a terminal too.
void message_line(const char* kind, const std::string& message)
{
    std::cerr << "velmora-cli: " << kind << ": " << printable(one_line(message)) << std::endl;
}

} // namespace

void warn(const std::string& message) { message_line("warning", message); }
void report_error(const std::string& message) { message_line("error", message); }
void hint(const std::string& message) { message_line("hint", message); }

namespace {

using Command = std::function<int(Orrindel&)>;

// Every subcommand, and the run of the one the command line names.
class Parser {
public:
    Parser();
    // The exit code of the whole program.
    int run(int argc, char** argv);

private:
    CLI::App* add(const std::string& name, const std::string& description, Command command);
    void add_mod_commands();
    void add_apply_commands();
    void add_create();
    void add_import();
    void add_prefs();
    void add_answers();
    void add_profile();
    void add_builds();
    void add_setups();
    int run_command();

    CLI::App app{
        "Manages and applies Civilization IV mods (.Pellarix files) with the settings of the Velmora "
        "windows.",
        "velmora-cli"};
    std::string home;
    std::vector<std::pair<CLI::App*, Command>> commands;

    ListOptions list;
    EnableOptions enable;
    EnableOptions disable;
    ShowOptions show;
    std::string show_change;
    CheckOptions check;
    ApplyOptions apply;
    BlameOptions blame;
    std::string blame_record;
    VerifyOptions verify;
    std::string verify_dir;
    CreateOptions create;
    ImportOptions import;
    std::string import_name, import_version, import_description;
    PrefsOptions prefs;
    std::string civ4_dir, mods_dir, custom_assets_dir, base_mod, mod_target, prefs_use, ask_fields_only,
        game_ini, empty_cache;
    unsigned restore_points = 3;
    AnswersOptions answers;
    std::string profile_name;
    ProfileOptions profile;
    FingerprintOptions fingerprint;
    RestoreOptions restore;
    UnmodOptions unmod;
    ExportOptions export_setup;
    ImportSetupOptions import_setup;
    std::string import_as;
};

Parser::Parser()
{
    app.set_version_flag("--version", "velmora-cli " VELMORA_VERSION);
    app.require_subcommand(1);
    // "velmora-cli list --home DIR" as well as "velmora-cli --home DIR list".
    app.fallthrough();
    app.add_option("--home", home,
           "Use DIR instead of $HOME: the settings are in DIR/.velmora (configuration \"conf\", mods folder "
           "\"mods\")")
        ->type_name("DIR");
    add_mod_commands();
    add_apply_commands();
    add_create();
    add_import();
    app.add_option("--profile", profile_name,
           "Work on the profile NAME for this run, without making it the current one")
        ->type_name("NAME");
    add_prefs();
    add_answers();
    add_profile();
    add_builds();
    add_setups();
}

CLI::App* Parser::add(const std::string& name, const std::string& description, Command command)
{
    CLI::App* sub = app.add_subcommand(name, description);
    commands.emplace_back(sub, std::move(command));
    return sub;
}

void Parser::add_mod_commands()
{
    CLI::App* sub = add("list", "List the mods: enabled mark, name, version, file and description",
        [this](Orrindel& core) { return run_list(core, list); });
    sub->add_flag("--json", list.json, "Print a JSON document for scripts");

    disable.enable = false;
    sub = add("enable", "Enable mods, by name or file name",
        [this](Orrindel& core) { return run_enable(core, enable); });
    sub->add_option("MOD", enable.mods, "A mod's name or its file name")->required();
    sub = add("disable", "Disable mods, by name or file name",
        [this](Orrindel& core) { return run_enable(core, disable); });
    sub->add_option("MOD", disable.mods, "A mod's name or its file name")->required();

    sub = add("show", "Show a mod's header and its changes (file, type, size)",
        [this](Orrindel& core) { return run_show(core, show); });
    sub->add_option("MOD", show.mod, "A mod's name or its file name")->required();
    CLI::Option* change = sub->add_option("--change", show_change,
                                 "Print the text of the mod's change to FILE (a game file path "
                                 "such as XML/Units/CIV4UnitInfos.xml)")
                              ->type_name("FILE");
    sub->add_flag("--json", show.json, "Print a JSON document for scripts")->excludes(change);
}

void Parser::add_apply_commands()
{
    const char* prefer_help
        = "Answer a conflict: mod WINNER wins over mod LOSER and is applied after it (names or "
          "file names; repeat for each conflict)";
    CLI::App* sub = add("check",
        "Load the enabled mods and list every conflict, touching nothing. Exits with 1 when a conflict has "
        "no "
        "answer",
        [this](Orrindel& core) { return run_check(core, check); });
    sub->add_option("--prefer", check.prefer, prefer_help)->type_name("WINNER:LOSER");
    sub->add_flag("--json", check.json, "Print a JSON document for scripts");

    sub = add("apply",
        "Rebuild the custom assets folder from the game's Assets folder and the enabled mods. A conflict "
        "without "
        "a --prefer answer is asked on the terminal; without a terminal it stops the run, changing nothing",
        [this](Orrindel& core) { return apply.dry_run ? run_dry_run(core, apply) : run_apply(core, apply); });
    sub->add_option("--prefer", apply.prefer, prefer_help)->type_name("WINNER:LOSER");
    sub->add_flag("--remember", apply.remember,
        "Remember this run's answers: later applies take them without asking while neither mod's "
        "conflicting changes differ");
    sub->add_flag("--no-backup", apply.no_backup,
        "Delete the files in the custom assets folder that Velmora did not write or that changed since, "
        "instead of keeping the old folder as a backup beside it");
    CLI::Option* dry_run = sub->add_flag("--dry-run", apply.dry_run,
        "Do everything up to writing and write nothing: list the files, records and lines the apply would "
        "change. Unanswered conflicts are listed, not asked; exits with 1 when there are any");
    sub->add_flag("--json", apply.json, "With --dry-run: print a JSON document for scripts")->needs(dry_run);
    sub->get_option("--remember")->excludes(dry_run);

    sub = add("blame",
        "Show which mod made each record field, script line range or whole file of FILE as the last apply "
        "built it; with RECORD, each field of that record with its mod and the game's value",
        [this](Orrindel& core) { return run_blame(core, blame); });
    sub->add_option("FILE", blame.file, "A game file path such as XML/Units/CIV4UnitInfos.xml (any letter case, either slash)")
        ->required();
    sub->add_option("RECORD", blame_record, "A record's key, such as UNIT_WARRIOR");
    sub->add_flag("--json", blame.json, "Print a JSON document for scripts");

    sub = add("verify",
        "Check the XML files of the custom assets folder against the game's schemas. Exits with 1 when a "
        "file breaks its schema in a way the game's own copy does not",
        [this](Orrindel& core) { return run_verify(core, verify); });
    sub->add_option("--dir", verify_dir, "Check DIR instead of the custom assets folder")->type_name("DIR");
    sub->add_flag("--json", verify.json, "Print a JSON document for scripts");
}

void Parser::add_create()
{
    CLI::App* sub = add("create",
        "Create a mod from DIR, a folder of modified game files, and save it as NAME.Pellarix in the mods "
        "folder",
        [this](Orrindel& core) { return run_create(core, create); });
    sub->add_option("DIR", create.dir,
           "The folder of modified files, laid out like the game's Assets folder: named Assets or "
           "CustomAssets, or a mod's folder holding Assets")
        ->required();
    sub->add_option("--name", create.name, "The mod's name, also its file name")->required();
    sub->add_option("--author", create.author, "The mod's author");
    sub->add_option("--version", create.version, "The mod's version");
    sub->add_option("--description", create.description, "The mod's description");
    sub->add_flag(
        "--report", create.report, "Write a report of the comparison to report.txt in the settings folder");
    sub->add_flag("--force", create.force, "Replace a mod file of the same name");
}

void Parser::add_import()
{
    CLI::App* sub = add("import",
        "Create a mod from a downloaded archive (zip, 7z, rar, tar): the folder inside that holds the "
        "modified game files is compared with the game's files, as create does",
        [this](Orrindel& core) { return run_import(core, import); });
    sub->add_option("FILE", import.file, "The archive")->required();
    sub->add_option("--name", import_name, "The mod's name, also its file name (default: from the archive's name)");
    sub->add_option("--author", import.author, "The mod's author");
    sub->add_option("--version", import_version, "The mod's version (default: from the archive's name)");
    sub->add_option("--description", import_description, "The mod's description (default: a readme inside)");
    sub->add_flag(
        "--report", import.report, "Write a report of the comparison to report.txt in the settings folder");
    sub->add_flag("--force", import.force, "Replace a mod file of the same name");
    sub->add_option("--max-size", import.max_size,
           "Unpack at most SIZE bytes (K, M, G suffixes; default 4G): a guard against archive bombs")
        ->type_name("SIZE");
    sub->add_option("--max-entries", import.max_entries, "Read at most N entries (default 100000)")
        ->type_name("N");
    sub->add_option("--max-ratio", import.max_ratio,
           "Unpack at most N times the archive's size (default 200)")
        ->type_name("N");
}

void Parser::add_prefs()
{
    CLI::App* sub = add("prefs", "Show the folders; with options, set them first",
        [this](Orrindel& core) { return run_prefs(core, prefs); });
    sub->add_option("--civ4-dir", civ4_dir, "The folder Civilization IV is installed in (holding Assets)")
        ->type_name("DIR");
    sub->add_option("--mods-dir", mods_dir, "The folder of mod files")->type_name("DIR");
    sub->add_option("--custom-assets-dir", custom_assets_dir,
           "The folder the game reads mods from; apply deletes and rebuilds it")
        ->type_name("DIR");
    sub->add_option("--base-mod", base_mod,
           "The mod folder (holding Assets) the enabled mods are made for: its files come before the game's; "
           "none clears it")
        ->type_name("DIR|none");
    sub->add_option("--mod-target", mod_target,
           "Build the game's Mods/NAME (the base mod with the built files) instead of the custom assets "
           "folder; none goes back to the custom assets folder")
        ->type_name("NAME|none");
    sub->add_option("--ask-fields-only", ask_fields_only,
           "yes: ask only when two mods change the same field (or anything else whose answer matters); "
           "no: ask about every conflict")
        ->type_name("yes|no")
        ->check(CLI::IsMember({"yes", "no"}));
    sub->add_option("--game-ini", game_ini,
           "yes: after an apply into the mod target, write Mod = Mods\\NAME into the game's "
           "CivilizationIV.ini "
           "(the old line is put back when the target or this is switched off); default no")
        ->type_name("yes|no")
        ->check(CLI::IsMember({"yes", "no"}));
    sub->add_option("--empty-cache", empty_cache,
           "yes: after an apply that changed files, remove the files of the game's cache folder; default no")
        ->type_name("yes|no")
        ->check(CLI::IsMember({"yes", "no"}));
    sub->add_option("--restore-points", restore_points,
           "How many earlier builds each apply keeps beside the custom assets folder (default 3; 0 keeps none)")
        ->type_name("N")
        ->check(CLI::Range(0, 999));
    sub->add_flag("--force", prefs.force,
        "Store a folder that does not exist or a custom assets folder not named Assets or CustomAssets");
    sub->add_flag("--json", prefs.json, "Print a JSON document for scripts");
    CLI::Option* detect = sub->add_flag("--detect", prefs.detect,
        "Look for Civilization IV (Steam, Proton, Wine, Lutris, Heroic, GOG) and list what is found; when one "
        "install is found, store its game and custom assets folders");
    sub->add_option("--use", prefs_use,
           "With --detect: store the install numbered N in the list, or the one whose game folder is DIR")
        ->type_name("N|DIR")
        ->needs(detect);
    detect->excludes(sub->get_option("--civ4-dir"))->excludes(sub->get_option("--custom-assets-dir"));
}

void Parser::add_answers()
{
    CLI::App* sub = add("answers", "List the remembered answers to conflicts; with options, forget some first",
        [this](Orrindel& core) { return run_answers(core, answers); });
    CLI::Option* all = sub->add_flag("--forget-all", answers.forget_all, "Forget every remembered answer");
    sub->add_option("--forget", answers.forget, "Forget that mod WINNER wins over mod LOSER (repeatable)")
        ->type_name("WINNER:LOSER")
        ->excludes(all);
    sub->add_flag("--json", answers.json, "Print a JSON document for scripts");
}

void Parser::add_profile()
{
    CLI::App* sub = add("profile",
        "Profiles: named sets of enabled mods, each with its remembered answers and preference; the folders "
        "are common",
        [this](Orrindel& core) { return run_profile(core, profile); });
    sub->require_subcommand(1);
    CLI::App* list = sub->add_subcommand("list", "List the profiles; * marks the current one");
    list->add_flag("--json", profile.json, "Print a JSON document for scripts");
    list->callback([this] { profile.action = "list"; });
    CLI::App* made = sub->add_subcommand("new", "Make a new profile with no mods enabled");
    made->add_option("NAME", profile.names, "The new profile's name")->required()->expected(1);
    made->add_flag("--copy", profile.copy, "Copy the enabled mods, remembered answers and preference of the "
                                           "current profile");
    made->callback([this] { profile.action = "new"; });
    CLI::App* to = sub->add_subcommand("switch", "Make NAME the current profile: the next apply builds it");
    to->add_option("NAME", profile.names, "A profile's name")->required()->expected(1);
    to->callback([this] { profile.action = "switch"; });
    CLI::App* rename = sub->add_subcommand("rename", "Rename the profile OLD to NEW");
    rename->add_option("NAMES", profile.names, "OLD NEW")->required()->expected(2);
    rename->callback([this] { profile.action = "rename"; });
    CLI::App* del = sub->add_subcommand("delete", "Delete a profile other than the current one");
    del->add_option("NAME", profile.names, "A profile's name")->required()->expected(1);
    del->callback([this] { profile.action = "delete"; });
}

void Parser::add_builds()
{
    CLI::App* sub = add("fingerprint",
        "Print the fingerprint of the build in the custom assets folder: equal on two machines that built "
        "the same files",
        [this](Orrindel& core) { return run_fingerprint(core, fingerprint); });
    sub->add_flag("--json", fingerprint.json, "Print a JSON document for scripts");

    sub = add("restore",
        "Put an earlier build back as the custom assets folder; the build there becomes a restore point",
        [this](Orrindel& core) { return run_restore(core, restore); });
    sub->add_option("N", restore.number, "The restore point's number in --list (default 1, the newest)")
        ->check(CLI::PositiveNumber);
    sub->add_flag("--list", restore.list, "List the restore points: when built, profile, disk use and mods");
    sub->add_flag("--json", restore.json, "With --list: print a JSON document for scripts");

    add("unmod",
        "Empty the custom assets folder so that the game starts without mods; the build is kept as a restore "
        "point and the enabled mods stay enabled",
        [this](Orrindel& core) { return run_unmod(core, unmod); });
}

void Parser::add_setups()
{
    CLI::App* sub = add("export",
        "Write the current profile to FILE: its enabled mods with their versions and hashes, in order, its "
        "remembered answers and its preference",
        [this](Orrindel& core) { return run_export(core, export_setup); });
    sub->add_option("FILE", export_setup.file, "The setup file to write")->required();

    sub = add("import-setup",
        "Make a profile of a setup file, finding its mods in the mods folder by hash, else by name. Exits with "
        "1 when a mod is missing",
        [this](Orrindel& core) { return run_import_setup(core, import_setup); });
    sub->add_option("FILE", import_setup.file, "The setup file")->required();
    sub->add_option("--as", import_as, "The new profile's name (default: the name in the file)")->type_name("NAME");
}

int Parser::run(int argc, char** argv)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForVersion& e) {
        std::cout << e.what() << "\n";
        return exit_success;
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0)
            return app.exit(e); // --help
        // A mistyped command is taken for a stray argument, and reported as a
        // missing command.
        std::vector<std::string> rest = app.remaining();
        if (app.get_subcommands().empty() && !rest.empty())
            report_error("Unknown command \"" + rest.front() + "\".");
        else
            report_error(e.what());
        hint("\"velmora-cli --help\" lists the commands, \"velmora-cli COMMAND --help\" their options.");
        return exit_usage;
    }
    if (app.get_subcommand("show")->get_option("--change")->count())
        show.change = show_change;
    CLI::App* i = app.get_subcommand("import");
    if (i->get_option("--name")->count())
        import.name = import_name;
    if (i->get_option("--version")->count())
        import.version = import_version;
    if (i->get_option("--description")->count())
        import.description = import_description;
    if (app.get_subcommand("blame")->get_option("RECORD")->count())
        blame.record = blame_record;
    if (app.get_subcommand("verify")->get_option("--dir")->count())
        verify.dir = verify_dir;
    if (app.get_subcommand("import-setup")->get_option("--as")->count())
        import_setup.as = import_as;
    CLI::App* p = app.get_subcommand("prefs");
    if (p->get_option("--civ4-dir")->count())
        prefs.civ4_dir = civ4_dir;
    if (p->get_option("--mods-dir")->count())
        prefs.mods_dir = mods_dir;
    if (p->get_option("--custom-assets-dir")->count())
        prefs.custom_assets_dir = custom_assets_dir;
    if (p->get_option("--base-mod")->count())
        prefs.base_mod = base_mod;
    if (p->get_option("--mod-target")->count())
        prefs.mod_target = mod_target;
    if (p->get_option("--ask-fields-only")->count())
        prefs.ask_fields_only = ask_fields_only == "yes";
    if (p->get_option("--game-ini")->count())
        prefs.game_ini = game_ini == "yes";
    if (p->get_option("--empty-cache")->count())
        prefs.empty_cache = empty_cache == "yes";
    if (p->get_option("--restore-points")->count())
        prefs.restore_points = restore_points;
    if (p->get_option("--use")->count())
        prefs.use = prefs_use;
    return run_command();
}

int Parser::run_command()
{
    std::optional<std::string> given_home;
    if (app.get_option("--home")->count())
        given_home = home;
    try {
        std::unique_ptr<Orrindel> core = start_core(given_home);
        if (app.get_option("--profile")->count())
            core->use_profile(profile_name);
        int code = exit_failure;
        for (auto& [sub, command] : commands)
            if (sub->parsed())
                code = command(*core);
        if (!(std::cout << std::flush)) {
            report_error("Cannot write to standard output.");
            return exit_failure;
        }
        return code;
    } catch (const UsageError& e) {
        report_error(e.what());
        return exit_usage;
    } catch (const GenericError& e) {
        report_error(e.what());
        return exit_failure;
    } catch (const std::bad_alloc&) {
        report_error("Out of memory.");
        return exit_failure;
    } catch (const std::exception& e) {
        report_error(e.what());
        return exit_failure;
    }
}

} // namespace
} // namespace velmora::cli

int main(int argc, char** argv)
{
    velmora::cli::Parser parser;
    return parser.run(argc, argv);
}
