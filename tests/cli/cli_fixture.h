#ifndef VELMORA_TESTS_CLI_CLI_FIXTURE_H
#define VELMORA_TESTS_CLI_CLI_FIXTURE_H

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"

namespace velmora::test {

// A home folder, a game installation, a custom-assets place and a run folder
// holding the element table; velmora-cli runs in the run folder with --home.
class CliTest : public ::testing::Test {
protected:
    static std::string native(const Path& p) { return platform::native(p); }

    // velmora-cli --home HOME args..., with input on a pipe for standard input.
    CliRun cli(const std::vector<std::string>& args, const std::string& input = "") const
    {
        std::vector<std::string> all{"--home", native(box.home())};
        all.insert(all.end(), args.begin(), args.end());
        return run_cli(all, native(box.run()), input);
    }

    void write_mod(const std::string& file, const std::string& name,
        const std::vector<FixtureChange>& changes = {}, const std::string& version = "1.0",
        const std::string& description = "A test mod") const
    {
        write_file(box.mods() / file, mod_file_text(name, changes, "Velmora Tests", version, description));
    }

    // The settings the windows would have stored: the fixture's game and
    // custom-assets folders, and these mods enabled.
    void configure(const std::vector<std::string>& enabled) const
    {
        box.write_conf(box.game(), box.custom_assets(), enabled);
    }

    // An xml change that gives the archer another strength: two of them with
    // different values conflict.
    static FixtureChange archer_combat(int combat)
    {
        return {unit_infos_file, "xml",
            "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n"
            "\t<UnitInfos>\n"
            "\t\t<UnitInfo>\n"
            "\t\t\t<Type>UNIT_ARCHER</Type>\n"
            "\t\t\t<iCombat>"
                + std::to_string(combat)
                + "</iCombat>\n"
                  "\t\t</UnitInfo>\n"
                  "\t</UnitInfos>\n"
                  "</Civ4UnitInfos>\n"};
    }

    // The custom-assets folder's units file, as the game would read it.
    std::string applied_units() const { return read_file(box.custom_assets() / unit_infos_file); }

    CoreSandbox box;
};

// The lines of a text, without their line feeds.
inline std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The one line that contains needle, or "" when none or several do.
inline std::string line_with(const std::string& text, const std::string& needle)
{
    std::string found;
    int count = 0;
    for (const std::string& line : lines_of(text))
        if (line.find(needle) != std::string::npos) {
            found = line;
            ++count;
        }
    return count == 1 ? found : std::string();
}

} // namespace velmora::test

#endif
