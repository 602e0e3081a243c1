#ifndef VELMORA_MOD_PROVENANCE_H
#define VELMORA_MOD_PROVENANCE_H

#include <map>
#include <string>
#include <vector>

#include "path/path.h"

namespace xmlpp {
class Element;
}

namespace velmora {

// Which mod's value stands in one field of a record, and which mods before
// it set the same field.
struct FieldOrigin {
    std::string value; // as it stands, on one line; long values cut ("...")
    std::string mod;
    std::vector<std::string> over; // earlier mods whose different value it replaced
    std::vector<std::string> with; // earlier mods whose value it keeps (the same value, or a set's items)
};

// One record a mod touched: its fields by key ("iCombat", "Flavors").
struct RecordOrigin {
    std::string element; // the record's element name ("UnitInfo")
    std::map<std::string, FieldOrigin> fields;
};

// Lines of a built script written by one mod: first to last, from 1.
struct HunkOrigin {
    unsigned first = 0;
    unsigned last = 0;
    std::string mod;
    std::vector<std::string> over; // mods whose lines these replaced
};

// Who made one built file.
struct FileOrigin {
    std::string file; // as the first change names it, Path text
    std::vector<std::string> mods; // the mod of each change of the file, in the order applied
    // The mod whose whole file the build starts from ("" for the game's own
    // copy) and the mods whose files or changes it replaced.
    std::string whole;
    std::vector<std::string> replaced;
    // By key path: the keys from the file's first container down to the
    // record, joined by '/' ("UNIT_WARRIOR"; "TECH_X/Flavor" for a record in a record).
    std::map<std::string, RecordOrigin> records;
    std::vector<HunkOrigin> hunks; // in line order
};

// What each mod made of each file an apply built, kept beside the manifest
// in the custom-assets folder so that it describes exactly the files there.
class Provenance {
public:
    // The file's name in the custom-assets folder, which the game ignores.
    static const char* const file_name;

    // By folded file name (lower case, forward slashes).
    std::map<std::string, FileOrigin> files;

    // The file of that name, in any letter case and with either slash; null when no mod changed it.
    const FileOrigin* find(const std::string& file) const;
    FileOrigin& add(const std::string& file);
    // The mod whose value stands in one field of a built record ("" when no
    // mod changed it): file as find takes it, record a key path.
    std::string mod_of(const std::string& file, const std::string& record, const std::string& field) const;

    // false (out empty) when missing or damaged
    static bool read(const Path& folder, Provenance& out);
    // atomically; throws GenericError naming the file
    void write(const Path& folder) const;

    bool operator==(const Provenance& other) const;
};

// The folded form of a change's file: lower case, forward slashes.
std::string provenance_key(const std::string& file);

// Replaces, in one file's origin, each mod name by the one at the same place
// in `mods` (the mods of the same changes now): a file carried over from the
// last build whose mods were renamed since.
void rename_mods(FileOrigin& origin, const std::vector<std::string>& mods);

// The fields an XML document sets, by the key path of their record, as the
// merge matches them: a container's records by key, a record's fields by
// key, records inside records as records of their own: key path ->
// (element name, field -> value). Values on one line; with `cut`, long ones
// shortened ("..."). A set's value starts with a tab: its items are added to
// what stands rather than replacing it.
using RecordFields = std::map<std::string, std::pair<std::string, std::map<std::string, std::string>>>;
RecordFields record_fields(xmlpp::Element* root, bool cut = true);

// Records, while an apply runs, what each change does to its file.
class ProvenanceRecorder {
public:
    explicit ProvenanceRecorder(Provenance& out)
        : out(out)
    { }
    // A whole file replaces what the file was.
    void whole(const std::string& file, const std::string& mod);
    // An XML change (its parsed document) merged into the file.
    void xml(const std::string& file, const std::string& mod, xmlpp::Element* change_root);
    // A script's text before and after a mod's line difference.
    void script(const std::string& file, const std::string& mod, const std::string& before, const std::string& after);
    // The file is done, so far: its script lines become hunks (again).
    void finish(const std::string& file);

private:
    FileOrigin& origin(const std::string& file, const std::string& mod);

    Provenance& out;
    struct Line {
        int mod = -1; // index in `names`; -1 the game's
        std::vector<int> over;
    };
    // Who wrote each line of the scripts being built, by folded file.
    std::map<std::string, std::vector<Line>> lines;
    std::vector<std::string> names;
};

} // namespace velmora

#endif
