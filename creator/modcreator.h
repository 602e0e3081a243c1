#ifndef VELMORA_CREATOR_MODCREATOR_H
#define VELMORA_CREATOR_MODCREATOR_H

#include <fstream>
#include <list>
#include <memory>
#include <set>
#include <sigc++/sigc++.h>
#include <string>
#include <vector>

#include "path/path.h"

namespace xmlpp {
class Element;
}

namespace velmora {

class GameFiles;
class Mod;

// Turns a folder that holds a modified copy of (part of) the game's "Assets"
// folder into a new mod that carries only what differs: for an XML file the
// game also has, the elements that differ; for a script ("py"), a line
// difference; for anything else, the whole file, unless the game's copy has
// the same bytes. The game's copy is the one the game reads: its own, else
// Warlords', else the original game's. On request it writes what it
// found to "report.txt" in the settings folder, one line per finding.
//
// One creator serves one creation: construct it, connect signal_progress,
// call create(), destroy it.
class ModCreator {
public:
    // Before each file is processed: its path relative to the modified
    // "Assets" folder and the fraction of the collected files done before it,
    // from 0 up to (never reaching) 1.
    sigc::signal<void, const Path&, float> signal_progress;

    // civ4_dir is the game's folder (the one holding "Assets") and
    // settings_dir the folder that receives "report.txt". dir is the folder
    // the user chose: a modified "Assets" or "CustomAssets" folder, or a
    // folder that holds "Assets". With write_report the report file is
    // replaced at once (emptied); throws GenericError naming it when it cannot
    // be written.
    ModCreator(const Path& civ4_dir, const Path& settings_dir, const Path& dir, bool write_report);
    ~ModCreator();
    ModCreator(const ModCreator&) = delete;
    ModCreator& operator=(const ModCreator&) = delete;

    // A base mod (the folder holding its "Assets") whose files come before
    // the game's: a folder modified from a copy of that mod gives only what
    // differs from the mod. Call before create(); empty: none.
    void set_base_mod(const Path& folder) { base_mod = folder; }

    // The new mod, owned by the caller: only its changes are filled. Throws
    // GenericError when either folder is missing, XmlError for an XML file
    // that cannot be parsed, GenericError for anything else that stops the
    // work (each naming the file); nothing is returned then.
    Mod* create();

    // Collects every file below dir / rel into files, depth first; returns 0.
    int process_directory(const Path& rel);
    // Records the change for one collected file; returns 0. A file no game
    // reads (kind_of_name: Thumbs.db, an editor's backup, Velmora's own
    // manifest) is left out and listed in skipped().
    int process_file(const Path& rel);

    // After create(): the files left out as no game reads them, and the
    // documents at the top of the folder (readme.txt) that the mod carries
    // although the game does not read them; relative to the modified
    // "Assets" folder ('Art\Thumbs.db'), in walk order.
    const std::vector<std::string>& skipped() const { return skipped_files; }
    const std::vector<std::string>& documents() const { return document_files; }

    // The element-level comparison of a game element (orig, read only) with
    // its modified counterpart, which is pruned in place down to what
    // differs. 1: nothing differs (the caller may drop modified); 0: it
    // differs. depth is the report's indentation level.
    int process_element(xmlpp::Element* orig, xmlpp::Element* modified, unsigned int depth);
    int process_object_element(xmlpp::Element* orig, xmlpp::Element* modified, unsigned int depth);
    int process_list_element(xmlpp::Element* orig, xmlpp::Element* modified, unsigned int depth);
    int process_set_element(xmlpp::Element* orig, xmlpp::Element* modified, unsigned int depth);

private:
    class Comparison;
    friend class Comparison;

    void process_xml(const Path& rel, const Path& game, const Path& modified);
    void process_diff(const Path& rel, const Path& game, const Path& modified);
    void process_whole(const Path& rel, const Path& game, const Path& modified);
    void report_type(const Path& rel, const char* word);
    void report_line(unsigned int depth, const std::string& text);
    void write_report(const std::string& text);

    Mod* mod = nullptr; // the mod under construction, during create()
    Path base_mod;
    Path assets_dir;
    // Where the game reads its files from, in its order: assets_dir, then
    // Warlords' and the original game's "Assets" when they are installed.
    std::unique_ptr<GameFiles> game;
    Path dir;
    std::list<Path> files;
    std::vector<std::string> skipped_files;
    std::vector<std::string> document_files;
    unsigned int processed = 0;
    std::unique_ptr<std::ofstream> report;
    Path report_file;
    // The real locations of the folders being walked, so that a symbolic link
    // back up the tree is not followed for ever.
    std::set<std::string> walking;
};

} // namespace velmora

#endif
