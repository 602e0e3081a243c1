#ifndef VELMORA_CREATOR_IMPORT_H
#define VELMORA_CREATOR_IMPORT_H

#include <cstdint>
#include <memory>
#include <sigc++/sigc++.h>
#include <string>
#include <vector>

#include "path/path.h"

namespace velmora {

class Mod;

// What an archive may unpack to before the import stops and asks: a small
// download that unpacks to gigabytes, or to a million files, is an archive
// bomb, not a mod.
struct ArchiveLimits {
    enum class Kind { Size, Entries, Ratio };
    // Bytes of all unpacked files together.
    std::uint64_t max_size = std::uint64_t(4) << 30;
    // Entries of the archive, folders included.
    std::uint64_t max_entries = 100000;
    // Unpacked bytes per byte of the archive file; big mods of XML and
    // uncompressed textures pack at 5 to 30.
    std::uint64_t max_ratio = 200;
};

// The name and the version a mod takes from its archive's file name:
// "Better_Archers_v1.2.zip" gives "Better Archers" and "1.2".
struct ArchiveFileNames {
    std::string name;
    std::string version;
};
ArchiveFileNames names_from_archive_file(const std::string& file_name);

// Makes a mod from a downloaded archive (zip, 7z, rar, tar): finds the folder
// inside that plays the part of the game's "Assets", unpacks it into a private
// temporary folder, lets ModCreator compare it with the game's files (the same
// work and report as creating a mod from a folder) and removes the folder.
//
// An archive whose entries would land outside the folder they are unpacked
// into (a "..", an absolute name, a drive, a link pointing out) is refused as
// a whole, before anything is written.
class ModImporter {
public:
    // Before each step: what is done and the fraction done, from 0 to 1.
    sigc::signal<void, const std::string&, float> signal_progress;
    // A limit was passed; the message says which. True lifts that limit and
    // goes on; false (also when nothing is connected) stops the import.
    sigc::signal<bool, ArchiveLimits::Kind, const std::string&> signal_limit_exceeded;

    // civ4_dir, settings_dir and write_report as for ModCreator.
    ModImporter(const Path& civ4_dir, const Path& settings_dir, const Path& archive, bool write_report,
        const ArchiveLimits& limits = ArchiveLimits());
    ~ModImporter();
    ModImporter(const ModImporter&) = delete;
    ModImporter& operator=(const ModImporter&) = delete;

    // As ModCreator::set_base_mod: the mod is compared with it first.
    void set_base_mod(const Path& folder) { base_mod = folder; }

    // The new mod, with its name and version taken from the archive's file
    // name and its description from a readme inside. Throws GenericError
    // naming the archive (and the entry) when it cannot be read, holds no mod
    // folder, is hostile or passes a limit that was kept; XmlError for a mod
    // file that cannot be parsed.
    std::unique_ptr<Mod> import();

    // After import(): the folder of the archive taken as "Assets", with "/"
    // between its names; "" for the archive's top.
    const std::string& assets_folder() const { return root_text; }
    // After import(): what ModCreator left out and the documents it kept
    // (see ModCreator::skipped and documents).
    const std::vector<std::string>& skipped() const { return skipped_files; }
    const std::vector<std::string>& documents() const { return document_files; }

private:
    struct Entry;
    class Scan;

    void scan(Scan& scan);
    void unpack(const Scan& scan, const Path& target);
    void check_limit(ArchiveLimits::Kind kind, bool passed, const std::string& message);
    void copy_links(const Scan& scan, const Path& target);
    void count_unpacked(std::uint64_t bytes);
    void read_readme(const Path& file);

    Path civ4_dir;
    Path settings_dir;
    Path base_mod;
    Path archive;
    bool write_report;
    ArchiveLimits limits;
    std::uint64_t archive_size = 0;
    std::uint64_t unpacked = 0;
    std::string root_text;
    std::string readme;
    std::vector<std::string> skipped_files;
    std::vector<std::string> document_files;
};

} // namespace velmora

#endif
