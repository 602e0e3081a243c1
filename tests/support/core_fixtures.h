#ifndef VELMORA_TESTS_SUPPORT_CORE_FIXTURES_H
#define VELMORA_TESTS_SUPPORT_CORE_FIXTURES_H

#include <string>
#include <vector>

#include "path/path.h"
#include "support/tempdir.h"
#include "support/text.h"

namespace velmora::test {

// The element table for the fixtures' game files, in the format of "elements.txt".
std::string fixture_elements_table();

// The game's files as the fixtures write them (relative to "Assets").
extern const char* const unit_infos_file; // 'XML\Units\CIV4UnitInfos.xml'
extern const char* const events_script_file; // 'Python\CvVelmoraEvents.py'
// A units file shaped like the game's: ISO-8859-1 declaration, comment header,
// default namespace on the root, tabs, CRLF line ends, records in a container
// with pair records inside them.
std::string game_unit_infos();
// A game script with LF line ends.
std::string game_events_script();
// Writes a game installation below civ4_dir: 'Assets\XML\Units\...', 'Assets\Python\...'.
void write_game(const Path& civ4_dir);

// One change of a hand-written mod file. A whole change with binary bytes is
// written in the mod format's own base-64 code.
struct FixtureChange {
    std::string file;
    std::string type; // "xml", "diff" or "whole"
    std::string text;
};

// The text of a mod file with the given header and changes.
std::string mod_file_text(const std::string& name, const std::vector<FixtureChange>& changes = {},
    const std::string& author = "Velmora Tests", const std::string& version = "1.0",
    const std::string& description = "A test mod");

// Works in folder for the life of the object, then goes back.
class CurrentFolder {
public:
    explicit CurrentFolder(const Path& folder);
    ~CurrentFolder();
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::string previous_;
};

// Temporary folders for a core: a home folder, the folder the program runs in
// (holding "elements.txt"), a game installation and a place for the custom
// assets. The element table is emptied on entry and on exit.
class CoreSandbox {
public:
    CoreSandbox();
    ~CoreSandbox();

    Path home() const { return dir_ / "home"; }
    Path settings() const { return dir_ / "home/.velmora"; }
    Path mods() const { return dir_ / "home/.velmora/mods"; }
    Path conf() const { return dir_ / "home/.velmora/conf"; }
    Path run() const { return dir_ / "run"; }
    Path game() const { return dir_ / "game"; }
    Path custom_assets() const { return dir_ / "My Games/CustomAssets"; }
    Path operator/(const std::string& relative) const { return dir_ / relative; }
    // The backups an apply made of the custom-assets folder, beside it.
    std::vector<std::string> backups() const;

    // Writes "conf" with the given folders and enabled mods.
    void write_conf(
        const Path& civ4, const Path& custom_assets, const std::vector<std::string>& enabled) const;

private:
    TempDir dir_;
    CurrentFolder cwd_;
};

// The files below folder, relative ('a\b.txt'), sorted; folders, an apply's
// manifest (the list of the files it wrote) and its build record are not listed.
std::vector<std::string> list_tree(const Path& folder);

} // namespace velmora::test

#endif
