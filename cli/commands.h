#ifndef VELMORA_CLI_COMMANDS_H
#define VELMORA_CLI_COMMANDS_H

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {

class Orrindel;

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
    bool no_backup = false;
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

struct PrefsOptions {
    std::optional<std::string> civ4_dir;
    std::optional<std::string> mods_dir;
    std::optional<std::string> custom_assets_dir;
    bool force = false;
    bool json = false;
};

// Each command works on a started core and returns the exit code; failures
// are thrown.
int run_list(Orrindel& core, const ListOptions& options);
int run_enable(Orrindel& core, const EnableOptions& options);
int run_show(Orrindel& core, const ShowOptions& options);
int run_check(Orrindel& core, const CheckOptions& options);
int run_apply(Orrindel& core, const ApplyOptions& options);
int run_create(Orrindel& core, const CreateOptions& options);
int run_prefs(Orrindel& core, const PrefsOptions& options);

// A line on standard error: "velmora-cli: warning: ...".
void warn(const std::string& message);
// A line on standard error: "velmora-cli: error: ...".
void report_error(const std::string& message);
// A line on standard error: "velmora-cli: hint: ...".
void hint(const std::string& message);

} // namespace cli
} // namespace velmora

#endif
