#ifndef VELMORA_CORE_BUILD_REPORT_H
#define VELMORA_CORE_BUILD_REPORT_H

#include <cstddef>
#include <string>
#include <vector>

#include "core/preview.h"

namespace velmora {

// One line of the tree of a build, as the windows show it: a built file, a
// record or a run of script lines in it, or a field of a record, with the
// mod whose work stands there and the mods it replaced.
struct BuildItem {
    enum Kind { File, Record, Lines, Field };
    Kind kind = File;
    // The file (Path text), the record's key path, "lines 3-9", the field.
    std::string name;
    std::string value; // a field's value as it stands
    // A field's or lines' mod, a file's whole-file mod: the one whose work
    // stands ("" for the game's).
    std::string mod;
    // A file: every mod that changed it; a record: the mods of its fields;
    // once each, in the order they come.
    std::vector<std::string> mods;
    // The mods whose different value, lines or file were replaced here; for
    // a file or a record, here and below.
    std::vector<std::string> losers;
    // The mods whose same value (or a set's items) stands with the winner's.
    std::vector<std::string> with;
    // A file: the mods whose files or changes its whole file replaced.
    std::vector<std::string> replaced;
    std::vector<BuildItem> children;

    // Some mod's work was replaced by another's here or below.
    bool conflict() const { return !losers.empty(); }
    // The mod won, lost or merged here or below.
    bool involves(const std::string& mod) const;
};

// The files of a build by name, each with its records (by key path, their
// fields by name) or its script lines in line order.
std::vector<BuildItem> build_items(const Provenance& provenance);

// What the tree shows: only what one mod touches (all: empty), only conflicts.
struct BuildFilter {
    std::string mod;
    bool conflicts_only = false;
};
// The items the filter lets through: the fields and lines that pass, with
// their records and files, and the files that pass as a whole (a whole file
// that replaced others, or one the mod changed where nothing below names it).
std::vector<BuildItem> filter_build(const std::vector<BuildItem>& items, const BuildFilter& filter);

// Every mod that built something, in the order the files first name them.
std::vector<std::string> build_mods(const Provenance& provenance);

// One file that two mods both changed, and how their work fared there.
struct ModOverlap {
    std::string other;
    std::string file; // Path text
    unsigned wins = 0; // fields, runs of lines or whole files where the mod's work stands over other's
    unsigned losses = 0; // where other's stands over the mod's
};
// The files that mod and each of others both changed: by other (in the
// order given), then by file.
std::vector<ModOverlap> overlaps_of(
    const Provenance& provenance, const std::string& mod, const std::vector<std::string>& others);

// "12 files change: A, B, C and 9 more" (at most `names` files named).
std::string preview_headline(const BuildPreview& preview, std::size_t names = 3);
// One line per changed file, then its fields or lines indented:
// "changed  XML\Units\CIV4UnitInfos.xml (Alpha, Bravo)",
// "    UNIT_ARCHER  iCombat 3 -> 5 (Bravo)".
std::vector<std::string> preview_lines(const BuildPreview& preview);

} // namespace velmora

#endif
