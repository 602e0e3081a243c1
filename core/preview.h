#ifndef VELMORA_CORE_PREVIEW_H
#define VELMORA_CORE_PREVIEW_H

#include <string>
#include <vector>

#include "core/questions.h"
#include "mod/provenance.h"
#include "path/path.h"

namespace velmora {

// One field of a record whose value an apply would change.
struct FieldChange {
    std::string record; // key path, as in FileOrigin::records
    std::string field;
    std::string before; // "" with had = false: the field is not there now
    std::string after;  // "" with has = false: the field goes
    bool had = true;
    bool has = true;
    std::string mod; // whose value stands after; "" for the game's
};

// Lines of a script an apply would write: first to last of the new text,
// from 1; last = first - 1 when lines go before line first and none come.
struct LineChange {
    unsigned first = 0;
    unsigned last = 0;
    std::string mod; // "" for the game's lines (a mod's lines taken out)
};

// One file an apply would add, change or remove in the custom-assets folder.
struct FileChange {
    enum Kind { Added, Changed, Removed };
    Kind kind = Changed;
    std::string file; // Path text relative to the folder ("XML\\Units\\CIV4UnitInfos.xml")
    std::vector<std::string> mods; // the mods that build it, in order (none for a removed file)
    std::vector<FieldChange> fields; // a changed XML file
    std::vector<LineChange> lines; // a changed script or other text
};

// What an apply would do, found without writing anything.
struct BuildPreview {
    // Conflicts that neither a given nor a remembered answer settles; while
    // there are any, nothing below is filled in.
    std::vector<PriorityQuestion> unanswered;
    std::vector<std::string> order; // the mods' names in the order they would be applied
    std::vector<FileChange> files; // by file
    unsigned unchanged = 0; // files built that are already what the folder holds
    Provenance provenance; // what the apply would record
    bool changes() const { return !files.empty(); }
};

// The differences between the custom-assets folder as it is (`current`,
// missing or not) and a folder built for it, which `provenance` describes.
std::vector<FileChange> compare_builds(
    const Path& current, const Path& built, const Provenance& provenance, unsigned* unchanged = nullptr);

// "lines 120-140", "line 7", "before line 7".
std::string describe_lines(unsigned first, unsigned last);

} // namespace velmora

#endif
