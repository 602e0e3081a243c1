#include "creator/import.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <regex>
#include <vector>

#include "base/errors.h"
#include "base/format.h"
#include "base/utf8.h"
#include "creator/archive.h"
#include "creator/modcreator.h"
#include "mod/game_file_names.h"
#include "mod/mod.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

using Names = std::vector<std::string>;

// Below this many unpacked bytes the ratio is not judged: a small file of
// repeated text packs far better than any bomb needs to be refused for.
constexpr std::uint64_t ratio_floor = 1 << 20;
// A readme longer than this is cut: a mod's description is read in a list.
constexpr std::size_t readme_bytes = 65536;
constexpr std::size_t description_bytes = 4000;

bool same_name(const std::string& a, const std::string& b) { return platform::stricmp(a.c_str(), b.c_str()) == 0; }

std::string joined(const Names& names, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count && i < names.size(); ++i)
        text += (i ? "/" : "") + names[i];
    return text;
}

// The parts of an archive name between "/" and "\\" (zip files made on
// Windows use either), empty parts and "." left out; false when a part holds
// a colon, which names a drive ("C:x") or a Windows data stream: never a
// mod's file.
bool name_parts(const std::string& name, Names& parts)
{
    parts.clear();
    std::string::size_type start = 0;
    while (start <= name.size()) {
        std::string::size_type end = name.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = name.size();
        std::string part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part.find(':') != std::string::npos)
            return false;
        parts.push_back(std::move(part));
    }
    return true;
}

// The folder names of an entry's name. False for a name that leaves the
// folder it is unpacked into: absolute, with a drive ("C:"), or climbing with "..".
bool split_name(const std::string& name, Names& names)
{
    if (!name.empty() && (name[0] == '/' || name[0] == '\\'))
        return false;
    if (!name_parts(name, names))
        return false;
    for (const std::string& part : names)
        if (part == "..")
            return false;
    return true;
}

// Where a symbolic link at link points: false when outside the archive's top.
bool resolve_link(const Names& link, const std::string& target, Names& names)
{
    if (target.empty() || target[0] == '/' || target[0] == '\\')
        return false;
    Names parts;
    if (!name_parts(target, parts))
        return false;
    names.assign(link.begin(), link.end() - (link.empty() ? 0 : 1));
    for (std::string& part : parts) {
        if (part == "..") {
            if (names.empty())
                return false;
            names.pop_back();
            continue;
        }
        names.push_back(std::move(part));
    }
    return true;
}

bool is_assets_name(const std::string& name) { return same_name(name, "Assets") || same_name(name, "CustomAssets"); }

// The folders of the game's Assets folder that give a mod folder away.
bool is_content_folder(const std::string& name)
{
    for (const char* folder : {"XML", "Python", "Art", "res", "Sounds"})
        if (same_name(name, folder))
            return true;
    return false;
}

bool is_readme(const Names& names)
{
    if (names.empty())
        return false;
    std::string name = names.back();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::string::size_type dot = name.rfind('.');
    const std::string stem = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    const bool readme_stem = stem == "readme" || stem == "read me" || stem == "read_me" || stem == "read-me";
    return readme_stem && (extension.empty() || extension == ".txt" || extension == ".md");
}

// Forum readmes come from Windows editors: Windows-1252 or UTF-8, CRLF lines.
// The description keeps the text readable and valid in the mod's XML file.
std::string description_from_readme(std::string text)
{
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    if (!is_valid_utf8(text))
        text = latin1_to_utf8(text);
    std::string clean;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n')
                clean += '\n';
        } else if (c >= 0x20 || c == '\n' || c == '\t') {
            clean += static_cast<char>(c);
        }
    }
    const std::string::size_type first = clean.find_first_not_of(" \t\n");
    if (first == std::string::npos)
        return std::string();
    clean = clean.substr(first, clean.find_last_not_of(" \t\n") - first + 1);
    if (clean.size() > description_bytes) {
        std::string::size_type cut = clean.rfind('\n', description_bytes);
        if (cut == std::string::npos || cut == 0) {
            cut = description_bytes;
            while (cut > 0 && (static_cast<unsigned char>(clean[cut]) >> 6) == 2)
                --cut;
        }
        clean = clean.substr(0, cut) + "\n...";
    }
    return clean;
}

std::string size_text(std::uint64_t bytes)
{
    const char* units[] = {"bytes", "KiB", "MiB", "GiB", "TiB"};
    unsigned unit = 0;
    double value = static_cast<double>(bytes);
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    char text[64];
    std::snprintf(text, sizeof text, unit ? "%.1f %s" : "%.0f %s", value, units[unit]);
    return text;
}

// The private folder an archive is unpacked into, removed with its content.
class UnpackFolder {
public:
    UnpackFolder()
    {
        const std::string folder = platform::make_temp_dir("velmora-import-");
        if (folder.empty()) {
            const std::string reason = std::strerror(errno);
            throw GenericError(format("Cannot create a temporary folder to unpack the archive in: %S.", &reason));
        }
        path = Path(folder);
    }
    ~UnpackFolder() { velmora::rmdir(path, true); }
    UnpackFolder(const UnpackFolder&) = delete;
    UnpackFolder& operator=(const UnpackFolder&) = delete;

    Path path;
};

Path on_disk(const Path& target, const Names& names, std::size_t first)
{
    Path p = target;
    for (std::size_t i = first; i < names.size(); ++i)
        p = child_path(p, names[i]);
    return p;
}

void make_folder(const Path& folder)
{
    if (mkpath(folder, 0755) != 0) {
        const std::string name = platform::native(folder);
        const std::string reason = std::strerror(errno);
        throw GenericError(format("Cannot create the folder \"%S\": %S.", &name, &reason));
    }
}

[[noreturn]] void write_failed(const Path& file)
{
    const std::string name = platform::native(file);
    const std::string reason = std::strerror(errno);
    throw GenericError(format("Cannot write \"%S\": %S.", &name, &reason));
}

} // namespace

ArchiveFileNames names_from_archive_file(const std::string& file_name)
{
    std::string stem = file_name.substr(file_name.find_last_of("/\\") + 1);
    static const char* const extensions[]
        = {".zip", ".7z", ".rar", ".tar", ".gz", ".tgz", ".bz2", ".tbz2", ".xz", ".txz", ".zst", ".lzma"};
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (const char* extension : extensions) {
            const std::size_t n = std::strlen(extension);
            if (stem.size() > n && same_name(stem.substr(stem.size() - n), extension)) {
                stem.erase(stem.size() - n);
                stripped = true;
            }
        }
    }
    std::replace(stem.begin(), stem.end(), '_', ' ');
    ArchiveFileNames names;
    static const std::regex version_at_end(R"(^(.*?[^\s\-.])[\s\-.]+[vV]?(\d+(?:\.\d+)*[a-zA-Z]?)$)");
    std::smatch match;
    if (std::regex_match(stem, match, version_at_end)) {
        names.name = match[1];
        names.version = match[2];
    } else {
        names.name = stem;
    }
    static const std::regex spaces(R"(\s+)");
    names.name = std::regex_replace(names.name, spaces, " ");
    const std::string::size_type first = names.name.find_first_not_of(' ');
    names.name = first == std::string::npos ? std::string()
                                            : names.name.substr(first, names.name.find_last_not_of(' ') - first + 1);
    return names;
}

struct ModImporter::Entry {
    std::string name;
    Names names;
    ArchiveEntry::Kind kind;
    Names target; // links: the entry they point at
};

// What the first reading of the archive learnt: its entries, the mod folder, the readme.
class ModImporter::Scan {
public:
    std::vector<Entry> entries;
    Names root;
    bool found_root = false;
    std::ptrdiff_t readme = -1;
    std::uint64_t declared_size = 0;

    bool under_root(const Names& names) const
    {
        if (names.size() <= root.size())
            return false;
        for (std::size_t i = 0; i < root.size(); ++i)
            if (!same_name(names[i], root[i]))
                return false;
        return true;
    }
};

ModImporter::ModImporter(const Path& civ4_dir, const Path& settings_dir, const Path& archive, bool write_report,
    const ArchiveLimits& limits)
    : civ4_dir(civ4_dir)
    , settings_dir(settings_dir)
    , archive(archive)
    , write_report(write_report)
    , limits(limits)
{ }

ModImporter::~ModImporter() = default;

void ModImporter::check_limit(ArchiveLimits::Kind kind, bool passed, const std::string& message)
{
    if (!passed)
        return;
    if (!signal_limit_exceeded.emit(kind, message))
        throw GenericError(message);
    const std::uint64_t none = std::numeric_limits<std::uint64_t>::max();
    switch (kind) {
    case ArchiveLimits::Kind::Size:
        limits.max_size = none;
        break;
    case ArchiveLimits::Kind::Entries:
        limits.max_entries = none;
        break;
    case ArchiveLimits::Kind::Ratio:
        limits.max_ratio = none;
        break;
    }
}

void ModImporter::scan(Scan& scan)
{
    const std::string file = platform::native(archive);
    ArchiveReader reader(archive);
    ArchiveEntry entry;
    while (reader.next(entry)) {
        Entry e{entry.name, {}, entry.kind, {}};
        if (!split_name(entry.name, e.names))
            throw GenericError(format("The archive \"%S\" is refused: its entry \"%S\" would be written outside the "
                                      "folder it is unpacked into.",
                &file, &entry.name));
        const bool link_inside = entry.kind == ArchiveEntry::Kind::HardLink ? split_name(entry.target, e.target)
            : entry.kind == ArchiveEntry::Kind::SymbolicLink              ? resolve_link(e.names, entry.target, e.target)
                                                                          : true;
        if (!link_inside)
            throw GenericError(format("The archive \"%S\" is refused: its entry \"%S\" is a link pointing outside "
                                      "the archive (to \"%S\").",
                &file, &entry.name, &entry.target));
        if (entry.size > 0)
            scan.declared_size += static_cast<std::uint64_t>(entry.size);
        const std::string count = std::to_string(limits.max_entries);
        check_limit(ArchiveLimits::Kind::Entries, scan.entries.size() >= limits.max_entries,
            format("The archive \"%S\" holds more than %S entries, more than a mod needs: it may be an archive "
                   "bomb.",
                &file, &count));
        scan.entries.push_back(std::move(e));
    }
    const std::string size = size_text(limits.max_size);
    check_limit(ArchiveLimits::Kind::Size, scan.declared_size > limits.max_size,
        format("The archive \"%S\" unpacks to more than %S: it may be an archive bomb.", &file, &size));
}

namespace {

// The folder that plays the part of "Assets": the shallowest folder named
// Assets or CustomAssets or holding one of the game's content folders, a
// named one first among equals. Mods are often packed inside a folder or two
// ("Better Archers/Mods/Better Archers/Assets").
struct RootChoice {
    Names folder;
    bool named = false;
    bool found = false;
    std::string other; // a second, equally good candidate
};

void consider(RootChoice& choice, const Names& folder, bool named)
{
    const auto rank = [](std::size_t depth, bool named) { return depth * 2 + (named ? 0 : 1); };
    if (choice.found) {
        const std::size_t have = rank(choice.folder.size(), choice.named);
        const std::size_t offered = rank(folder.size(), named);
        if (offered > have)
            return;
        if (offered == have) {
            bool same = true;
            for (std::size_t i = 0; i < folder.size(); ++i)
                same = same && same_name(folder[i], choice.folder[i]);
            if (!same && choice.other.empty())
                choice.other = joined(folder, folder.size());
            return;
        }
        choice.other.clear();
    }
    choice.folder = folder;
    choice.named = named;
    choice.found = true;
}

} // namespace

std::unique_ptr<Mod> ModImporter::import()
{
    const std::string file = platform::native(archive);
    bool is_folder = false;
    if (platform::stat(archive.str(), &is_folder) != 0 || is_folder)
        throw GenericError(format("The archive \"%S\" does not exist.", &file));
    {
        std::ifstream in(file, std::ios::binary | std::ios::ate);
        archive_size = in ? static_cast<std::uint64_t>(in.tellg()) : 0;
    }
    // The creator would refuse a missing game only after a long unpacking.
    Path game = civ4_dir;
    if (game.empty() || platform::stricmp(game[-1].c_str(), "Assets") != 0)
        game = game / Path("Assets");
    if (platform::stat(fix_case(game).str(), &is_folder) != 0 || !is_folder)
        throw GenericError("Your Civ4 directory seems to be invalid (no Assets directory found)");
    signal_progress.emit("Reading the archive", 0.0f);
    Scan found;
    scan(found);

    RootChoice choice;
    std::size_t readme_depth = std::numeric_limits<std::size_t>::max();
    for (std::size_t i = 0; i < found.entries.size(); ++i) {
        const Entry& e = found.entries[i];
        // A Mac's copies of the folders ("__MACOSX/Mod/Assets/._x") hold no mod.
        if (!is_game_file_name(joined(e.names, e.names.size())))
            continue;
        const bool folder = e.kind == ArchiveEntry::Kind::Folder;
        const std::size_t folders = e.names.size() - (folder || e.names.empty() ? 0 : 1);
        for (std::size_t k = 0; k <= folders; ++k) {
            const Names prefix(e.names.begin(), e.names.begin() + k);
            const bool named = k > 0 && is_assets_name(e.names[k - 1]);
            if (named || (k < folders && is_content_folder(e.names[k])))
                consider(choice, prefix, named);
        }
        if (e.kind == ArchiveEntry::Kind::File && is_readme(e.names) && e.names.size() < readme_depth) {
            readme_depth = e.names.size();
            found.readme = static_cast<std::ptrdiff_t>(i);
        }
    }
    if (!choice.found)
        throw GenericError(format("The archive \"%S\" holds no mod: no folder named Assets or CustomAssets, and "
                                  "none holding XML, Python, Art, res or Sounds.",
            &file));
    if (!choice.other.empty()) {
        const std::string first = joined(choice.folder, choice.folder.size());
        throw GenericError(format("The archive \"%S\" holds more than one mod folder (\"%S\" and \"%S\"); unpack "
                                  "it and create the mod from the folder you want.",
            &file, &first, &choice.other));
    }
    found.root = choice.folder;
    found.found_root = true;
    root_text = joined(found.root, found.root.size());

    UnpackFolder folder;
    const Path assets = folder.path / Path("Assets");
    make_folder(assets);
    unpack(found, assets);
    copy_links(found, assets);

    ModCreator creator(civ4_dir, settings_dir, assets, write_report);
    creator.set_base_mod(base_mod);
    creator.signal_progress.connect([this](const Path& rel, float fraction) {
        signal_progress.emit(platform::native(rel), 0.5f + fraction / 2);
    });
    std::unique_ptr<Mod> mod(creator.create());
    if (!mod)
        throw GenericError(format("No mod could be made from the archive \"%S\".", &file));
    skipped_files = creator.skipped();
    document_files = creator.documents();
    const ArchiveFileNames names = names_from_archive_file(archive.empty() ? std::string() : archive[-1]);
    mod->name = names.name;
    mod->version = names.version;
    mod->description = description_from_readme(readme);
    return mod;
}

void ModImporter::unpack(const Scan& scan, const Path& target)
{
    const std::string file = platform::native(archive);
    ArchiveReader reader(archive);
    ArchiveEntry entry;
    const float whole = static_cast<float>(std::max<std::uint64_t>(scan.declared_size, 1));
    struct Enough { };
    for (std::size_t i = 0; reader.next(entry) && i < scan.entries.size(); ++i) {
        const Entry& e = scan.entries[i];
        if (static_cast<std::ptrdiff_t>(i) == scan.readme && !scan.under_root(e.names)) {
            try {
                reader.read_data([this](const char* bytes, std::size_t n) {
                    readme.append(bytes, std::min(n, readme_bytes - readme.size()));
                    if (readme.size() >= readme_bytes)
                        throw Enough();
                });
            } catch (const Enough&) {
            }
            continue;
        }
        if (!scan.under_root(e.names))
            continue;
        const Path path = on_disk(target, e.names, scan.root.size());
        if (e.kind == ArchiveEntry::Kind::Folder) {
            make_folder(path);
            continue;
        }
        if (e.kind != ArchiveEntry::Kind::File)
            continue;
        signal_progress.emit(e.name, 0.5f * static_cast<float>(std::min<double>(unpacked / whole, 1.0)));
        make_folder(Path(path).subpath(0, path.size() - 1));
        std::ofstream out(platform::native(path), std::ios::binary | std::ios::trunc);
        if (!out)
            write_failed(path);
        reader.read_data([&](const char* bytes, std::size_t n) {
            count_unpacked(n);
            if (!out.write(bytes, static_cast<std::streamsize>(n)))
                write_failed(path);
        });
        out.close();
        if (!out)
            write_failed(path);
        if (static_cast<std::ptrdiff_t>(i) == scan.readme)
            read_readme(path);
    }
}

void ModImporter::count_unpacked(std::uint64_t bytes)
{
    const std::string file = platform::native(archive);
    unpacked += bytes;
    const std::string size = size_text(limits.max_size);
    check_limit(ArchiveLimits::Kind::Size, unpacked > limits.max_size,
        format("The archive \"%S\" unpacks to more than %S: it may be an archive bomb.", &file, &size));
    const std::string ratio = std::to_string(limits.max_ratio);
    const std::uint64_t per_byte = std::max<std::uint64_t>(limits.max_ratio, 1);
    check_limit(ArchiveLimits::Kind::Ratio, unpacked > ratio_floor && unpacked / per_byte > archive_size,
        format("The archive \"%S\" unpacks to more than %S times its own size: it may be an archive bomb.", &file,
            &ratio));
}

void ModImporter::read_readme(const Path& file)
{
    std::ifstream in(platform::native(file), std::ios::binary);
    std::string bytes(readme_bytes, '\0');
    in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    readme = bytes;
}

// Links become copies of what they point at: nothing unpacked is a link, so
// no later entry can be written through one.
void ModImporter::copy_links(const Scan& scan, const Path& target)
{
    for (const Entry& e : scan.entries) {
        const bool link = e.kind == ArchiveEntry::Kind::SymbolicLink || e.kind == ArchiveEntry::Kind::HardLink;
        if (!link || !scan.under_root(e.names) || !scan.under_root(e.target))
            continue;
        const Path from = on_disk(target, e.target, scan.root.size());
        if (platform::kind_of(from.str()) != platform::Kind::File)
            continue;
        const Path to = on_disk(target, e.names, scan.root.size());
        make_folder(Path(to).subpath(0, to.size() - 1));
        std::ifstream in(platform::native(from), std::ios::binary);
        std::ofstream out(platform::native(to), std::ios::binary | std::ios::trunc);
        char buffer[65536];
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
            count_unpacked(static_cast<std::uint64_t>(in.gcount()));
            if (!out.write(buffer, in.gcount()))
                write_failed(to);
        }
        out.close();
        if (!out)
            write_failed(to);
    }
}

} // namespace velmora
