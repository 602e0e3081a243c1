#ifndef VELMORA_CLI_COMMANDS_H
#define VELMORA_CLI_COMMANDS_H

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {

class Orrindel;
struct Verification;
struct ReferenceCheck;

namespace cli {

// Exit codes: what scripts test.
constexpr int exit_success = 0;
constexpr int exit_failure = 1;
constexpr int exit_usage = 2;

// The command line asks for something impossible (exit code 2); failures of
// the work itself are GenericError and its kinds (exit code 1).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ListOptions {
    bool json = false;
};

struct EnableOptions {
    std::vector<std::string> mods;
    bool enable = true;
};

struct ShowOptions {
    std::string mod;
    std::optional<std::string> change;
    bool json = false;
};

struct CheckOptions {
    std::vector<std::string> prefer;
    bool json = false;
};

struct ApplyOptions {
    std::vector<std::string> prefer;
    bool remember = false;
    bool no_backup = false;
    bool dry_run = false;
    bool json = false;
};

struct BlameOptions {
    std::string file;
    std::optional<std::string> record;
    bool json = false;
};

struct VerifyOptions {
    std::optional<std::string> dir;
    bool json = false;
};

struct AnswersOptions {
    std::vector<std::string> forget;
    bool forget_all = false;
    bool json = false;
};

struct CreateOptions {
    std::string dir;
    std::string name;
    std::string author;
    std::string version;
    std::string description;
    bool report = false;
    bool force = false;
};

struct ImportOptions {
    std::string file;
    std::optional<std::string> name;
    std::string author;
    std::optional<std::string> version;
    std::optional<std::string> description;
    bool report = false;
    bool force = false;
    // The limits against archive bombs; empty or 0: the defaults.
    std::string max_size;
    unsigned long long max_entries = 0;
    unsigned long long max_ratio = 0;
};

struct PrefsOptions {
    std::optional<std::string> civ4_dir;
    std::optional<std::string> mods_dir;
    std::optional<std::string> custom_assets_dir;
    // A folder, or "none" to clear it.
    std::optional<std::string> base_mod;
    // A folder name in the game's Mods folder, or "none" to clear it.
    std::optional<std::string> mod_target;
    std::optional<bool> ask_fields_only;
    std::optional<unsigned> restore_points;
    std::optional<bool> game_ini;
    std::optional<bool> empty_cache;
    bool force = false;
    bool json = false;
    // Look for the game's installs; use: which of them to store (its number
    // in the list or its game folder).
    bool detect = false;
    std::optional<std::string> use;
};

struct ProfileOptions {
    std::string action; // list, new, switch, rename, delete
    std::vector<std::string> names;
    bool copy = false;
    bool json = false;
};

struct FingerprintOptions {
    bool json = false;
};

struct RestoreOptions {
    unsigned number = 1;
    bool list = false;
    bool json = false;
};

struct UnmodOptions { };

struct ExportOptions {
    std::string file;
};

struct ImportSetupOptions {
    std::string file;
    std::optional<std::string> as;
};

// Each command works on a started core and returns the exit code; failures
// are thrown.
int run_list(Orrindel& core, const ListOptions& options);
int run_enable(Orrindel& core, const EnableOptions& options);
int run_show(Orrindel& core, const ShowOptions& options);
int run_check(Orrindel& core, const CheckOptions& options);
int run_apply(Orrindel& core, const ApplyOptions& options);
// What apply would change, writing nothing; exits with 1 when a conflict has no answer.
int run_dry_run(Orrindel& core, const ApplyOptions& options);
// Exits with 1 when there is no build or the file is not in it.
int run_blame(Orrindel& core, const BlameOptions& options);
// Exits with 1 when a file breaks its schema where the game's copy does not,
// or when a name points nowhere where the game's own files do not.
int run_verify(Orrindel& core, const VerifyOptions& options);
int run_create(Orrindel& core, const CreateOptions& options);
int run_import(Orrindel& core, const ImportOptions& options);
int run_prefs(Orrindel& core, const PrefsOptions& options);
int run_answers(Orrindel& core, const AnswersOptions& options);
int run_profile(Orrindel& core, const ProfileOptions& options);
int run_fingerprint(Orrindel& core, const FingerprintOptions& options);
int run_restore(Orrindel& core, const RestoreOptions& options);
int run_unmod(Orrindel& core, const UnmodOptions& options);
int run_export(Orrindel& core, const ExportOptions& options);
// Exits with 1 when a mod of the setup is missing from the mods folder.
int run_import_setup(Orrindel& core, const ImportSetupOptions& options);

// A line on standard error: "velmora-cli: warning: ...".
void warn(const std::string& message);
// A line on standard error: "velmora-cli: error: ...".
void report_error(const std::string& message);
// The faults apply found in what it built, as warnings.
void warn_verification(const Verification& result);
// The broken references of a build, as warnings: those the mods caused one by
// one, those the game has too counted.
void warn_references(const ReferenceCheck& check);
// The same, one line each on standard output: the mods' first.
void print_references(const ReferenceCheck& check);
// The broken references for --json: file, record, field, name, mod...
nlohmann::json references_json(const ReferenceCheck& check);
// A line on standard error: "velmora-cli: hint: ...".
void hint(const std::string& message);

} // namespace cli
} // namespace velmora

#endif
