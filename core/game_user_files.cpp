#include "core/game_user_files.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/errors.h"
#include "base/format.h"
#include "path/file_io.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

const char* const backup_header = "velmora game-ini 1";

bool same_name(const std::string& a, const std::string& b)
{
    return platform::stricmp(a.c_str(), b.c_str()) == 0;
}

Path parent_of(const Path& p) { return p.size() > 1 ? p.subpath(0, p.size() - 1) : Path(); }

// The entry of dir named name in any letter case, else dir / name.
Path entry_any_case(const Path& dir, const std::string& name)
{
    for (const std::string& n : list_files(dir))
        if (same_name(n, name))
            return child_path(dir, n);
    return child_path(dir, name);
}

std::string trimmed(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(" \t") + 1 - first);
}

// One line of the file: its text and its line ending ("\r\n", "\n" or "").
struct Line {
    std::string text;
    std::string end;
};

std::vector<Line> split_lines(const std::string& text)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t nl = text.find('\n', start);
        if (nl == std::string::npos) {
            lines.push_back({text.substr(start), ""});
            break;
        }
        const bool cr = nl > start && text[nl - 1] == '\r';
        lines.push_back({text.substr(start, nl - start - (cr ? 1 : 0)), cr ? "\r\n" : "\n"});
        start = nl + 1;
    }
    return lines;
}

std::string joined(const std::vector<Line>& lines)
{
    std::string text;
    for (const Line& l : lines)
        text += l.text + l.end;
    return text;
}

// "[NAME]" lines start sections; the game reads "Mod" in [CONFIG].
bool is_section(const std::string& line, std::string* name = nullptr)
{
    const std::string t = trimmed(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    if (name)
        *name = trimmed(t.substr(1, t.size() - 2));
    return true;
}

std::string key_of(const std::string& line)
{
    const std::string t = trimmed(line);
    const std::size_t eq = t.find('=');
    if (t.empty() || t[0] == ';' || t[0] == '#' || eq == std::string::npos)
        return std::string();
    return trimmed(t.substr(0, eq));
}

// The index of the Mod line, or lines.size().
std::size_t mod_line(const std::vector<Line>& lines)
{
    bool in_config = true; // lines before any section count as the game's
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string section;
        if (is_section(lines[i].text, &section))
            in_config = same_name(section, "CONFIG");
        else if (in_config && same_name(key_of(lines[i].text), "Mod"))
            return i;
    }
    return lines.size();
}

std::string line_end_of(const std::vector<Line>& lines)
{
    for (const Line& l : lines)
        if (!l.end.empty())
            return l.end;
    return "\r\n";
}

std::string reason() { return errno ? std::strerror(errno) : "input/output error"; }

std::optional<std::string> read_bytes(const Path& file)
{
    std::string bytes;
    if (read_whole_file(file, bytes) != 0)
        return std::nullopt;
    return bytes;
}

// A failure leaves the old file whole.
void write_atomically(const Path& file, const std::string& bytes)
{
    if (write_file_atomically(file, bytes) != 0) {
        const std::string why = reason();
        throw GenericError(format("Cannot write \"%S\": %S.", &file, &why));
    }
}

// What the backup file keeps: the INI it is for, the line replaced there
// (nothing when the file had none) and the value written in its place.
struct IniBackup {
    Path ini;
    std::optional<std::string> old_line;
    std::string written;
};

std::optional<IniBackup> read_backup(const Path& backup)
{
    const std::optional<std::string> bytes = read_bytes(backup);
    if (!bytes)
        return std::nullopt;
    IniBackup b;
    bool headed = false;
    for (const Line& l : split_lines(*bytes)) {
        const std::size_t space = l.text.find(' ');
        const std::string key = l.text.substr(0, space);
        const std::string value = space == std::string::npos ? std::string() : l.text.substr(space + 1);
        if (l.text == backup_header)
            headed = true;
        else if (key == "ini")
            b.ini = Path(value);
        else if (key == "old")
            b.old_line = value;
        else if (key == "written")
            b.written = value;
    }
    if (!headed || b.ini.empty())
        throw GenericError(
            format("The file \"%S\" is not the backup of a game settings file Velmora writes; move it "
                   "away and try again.",
                &backup));
    return b;
}

void write_backup(const Path& backup, const IniBackup& b)
{
    std::string text = std::string(backup_header) + "\nini " + b.ini.str() + "\n";
    if (b.old_line)
        text += "old " + *b.old_line + "\n";
    text += "written " + b.written + "\n";
    write_atomically(backup, text);
}

std::string read_ini(const Path& ini)
{
    if (platform::kind_of(ini.str()) == platform::Kind::None)
        throw GenericError(
            format("The game's settings file \"%S\" does not exist. Start the game once so that it "
                   "writes the file, then try again.",
                &ini));
    const std::optional<std::string> text = read_bytes(ini);
    if (!text) {
        const std::string why = reason();
        throw GenericError(format("Cannot read the game's settings file \"%S\": %S.", &ini, &why));
    }
    return *text;
}

} // namespace

Path game_ini_file(const Path& custom_assets)
{
    const Path folder = parent_of(custom_assets);
    return folder.empty() ? Path() : entry_any_case(folder, "CivilizationIV.ini");
}

Path game_cache_folder(const Path& custom_assets)
{
    const Path edition_dir = parent_of(custom_assets);
    if (edition_dir.empty())
        return Path();
    const Path beside = entry_any_case(edition_dir, "cache");
    const Path my_games = parent_of(edition_dir);
    const Path user = parent_of(parent_of(my_games));
    if (my_games.empty() || user.empty() || !same_name(my_games[-1], "My Games"))
        return beside;
    const Path rel = Path("My Games") / Path(edition_dir[-1]) / Path("cache");
    const Path local[] = {Path("AppData/Local") / rel, Path("Local Settings/Application Data") / rel};
    for (const Path& r : local) {
        const Path found = fix_case_below(user, r);
        if (platform::kind_of(found.str()) != platform::Kind::None)
            return found;
    }
    return platform::kind_of(beside.str()) != platform::Kind::None ? beside : fix_case_below(user, local[0]);
}

std::optional<std::string> ini_mod_value(const std::string& text)
{
    const std::vector<Line> lines = split_lines(text);
    const std::size_t i = mod_line(lines);
    if (i == lines.size())
        return std::nullopt;
    const std::string& line = lines[i].text;
    return trimmed(line.substr(line.find('=') + 1));
}

std::string ini_with_mod(
    const std::string& text, const std::string& value, std::optional<std::string>& old_line)
{
    std::vector<Line> lines = split_lines(text);
    const std::string end = line_end_of(lines);
    const std::string line = "Mod = " + value;
    const std::size_t i = mod_line(lines);
    if (i < lines.size()) {
        old_line = lines[i].text;
        lines[i].text = line;
        if (lines[i].end.empty() && i + 1 < lines.size())
            lines[i].end = end;
        return joined(lines);
    }
    old_line.reset();
    for (std::size_t s = 0; s < lines.size(); ++s) {
        std::string section;
        if (is_section(lines[s].text, &section) && same_name(section, "CONFIG")) {
            if (lines[s].end.empty())
                lines[s].end = end;
            lines.insert(lines.begin() + static_cast<long>(s) + 1, Line{line, end});
            return joined(lines);
        }
    }
    if (!lines.empty() && lines.back().end.empty())
        lines.back().end = end;
    lines.push_back({"[CONFIG]", end});
    lines.push_back({line, end});
    return joined(lines);
}

std::string ini_with_mod_line(const std::string& text, const std::optional<std::string>& old_line)
{
    std::vector<Line> lines = split_lines(text);
    const std::size_t i = mod_line(lines);
    if (i == lines.size())
        return text;
    if (old_line)
        lines[i].text = *old_line;
    else
        lines.erase(lines.begin() + static_cast<long>(i));
    return joined(lines);
}

std::string start_mod_in_game_ini(const Path& ini, const Path& backup, const std::string& name)
{
    if (ini.empty())
        throw GenericError(
            "Velmora cannot tell where the game's settings file CivilizationIV.ini is: set the "
            "custom assets folder (the game's \"My Games\" folder holds both) first.");
    std::optional<IniBackup> kept = read_backup(backup);
    // A backup of another file (the custom assets folder moved) goes back there first.
    if (kept && kept->ini != ini) {
        restore_game_ini(backup);
        kept.reset();
    }
    const std::string text = read_ini(ini);
    const std::string value = "Mods\\" + name;
    const std::optional<std::string> now = ini_mod_value(text);
    if (kept && now && same_name(*now, value))
        return std::string();
    std::optional<std::string> old_line;
    const std::string changed = ini_with_mod(text, value, old_line);
    // The line the user had is kept before the file changes, and only the first time.
    IniBackup b = kept ? *kept : IniBackup{ini, old_line, value};
    b.written = value;
    write_backup(backup, b);
    if (changed != text)
        write_atomically(ini, changed);
    return format("The game starts with the mod: \"%S\" says \"Mod = %S\" (switching the mod target off puts the "
                  "old line back).",
        &ini, &value);
}

std::string restore_game_ini(const Path& backup)
{
    const std::optional<IniBackup> kept = read_backup(backup);
    if (!kept)
        return std::string();
    std::string done;
    if (platform::kind_of(kept->ini.str()) == platform::Kind::None) {
        done = format("The game's settings file \"%S\" is gone: there is no Mod line to put back.", &kept->ini);
    } else {
        const std::string text = read_ini(kept->ini);
        const std::optional<std::string> now = ini_mod_value(text);
        if (!now || !same_name(*now, kept->written)) {
            done = format(
                "\"%S\": its Mod line was changed since Velmora set it, and is left as it is.", &kept->ini);
        } else {
            write_atomically(kept->ini, ini_with_mod_line(text, kept->old_line));
            const std::string old = kept->old_line ? trimmed(*kept->old_line) : std::string();
            done = kept->old_line ? format("\"%S\" says \"%S\" again.", &kept->ini, &old)
                                  : format("\"%S\" no longer names a mod to start with.", &kept->ini);
        }
    }
    if (platform::unlink(backup.str()) != 0 && errno != ENOENT) {
        const std::string why = reason();
        throw GenericError(format("Cannot remove \"%S\": %S.", &backup, &why));
    }
    return done;
}

unsigned empty_game_cache(const Path& folder)
{
    const platform::Kind kind = platform::kind_of(folder.str());
    if (kind == platform::Kind::None)
        return 0;
    if (kind != platform::Kind::Folder)
        throw GenericError(
            format("The game's cache \"%S\" is not a folder (a link, or a file): Velmora empties only "
                   "a folder of the game's own; empty it yourself.",
                &folder));
    unsigned removed = 0;
    if (platform::remove_files_in(folder.str(), removed) != 0) {
        const std::string why = reason();
        throw GenericError(format("Cannot empty the game's cache \"%S\": %S.", &folder, &why));
    }
    return removed;
}

} // namespace velmora
