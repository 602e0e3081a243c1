#ifndef VELMORA_CORE_CONFIG_H
#define VELMORA_CORE_CONFIG_H

#include <functional>
#include <list>
#include <string>
#include <vector>

#include "path/path.h"

namespace xmlpp {
class Document;
}

namespace velmora {

class Orrindel;

// Writes doc to file through a temporary file beside it, flushed to the disk
// and renamed over file, so that a failure or a crash leaves the old file
// whole. Returns why it failed, or "" when it did not.
std::string write_document_atomically(xmlpp::Document& doc, const Path& file);

// The settings that "conf" holds, as text: the folders in their stored form,
// the same-field preference and the enabled mods' names, in the order they
// are written.
struct ConfigValues {
    std::string civ4_dir;
    std::string mods_dir;
    std::string custom_assets_dir;
    std::string base_mod;
    std::string mod_target;
    bool ask_fields_only = false;
    std::vector<std::string> enabled;
    // Equal settings: the same folders and preference and the same set of enabled names.
    bool same_as(const ConfigValues& other) const;
};

// Reads and writes the user's settings file "conf": the three folders of the
// core, whether to ask only when two mods change the same field, and the
// names of the enabled mods. It keeps no folder values of its
// own: load hands them to the core's setters, save reads them from the core.
class Config {
public:
    explicit Config(Orrindel& orrindel);

    // Sets the file ("conf" in the settings folder) if not yet set, then reads
    // it when it exists. Throws XmlError naming the file when it cannot be
    // parsed; no setting has been changed then.
    void load();
    // Writes the file through a temporary file renamed into place, so a failed
    // write leaves the old file whole. Another Velmora may have changed the
    // file since it was read: under a lock on the file, it is read again and
    // only what changed here since the last load or save replaces its values,
    // so neither program loses the other's changes. Does nothing before load()
    // chose the file, or after an unreadable file could not be set aside.
    // Throws GenericError naming the file when it cannot be written.
    void save();
    // save() when a setting changed since the last load or save; reading the
    // settings never writes them.
    void save_if_changed();
    // The settings as they are now are the ones the file holds (called once
    // start-up has turned the file's values into the core's).
    void mark_saved();

    // Moves the file that load() could not parse to "conf.bad" so the next
    // save does not destroy it. Returns the new name, or an empty Path when the
    // file could not be moved; save() then leaves the file alone.
    Path keep_bad_file();

    const Path& get_file() const { return file; }
    // The enabled-mod names that load() read, in file order.
    const std::list<std::string>& get_enabled_mod_names() const { return enabled_mod_names; }

private:
    ConfigValues current() const;
    ConfigValues merged_with_file(const ConfigValues& now) const;
    void write(const ConfigValues& values);

    Orrindel& orrindel;
    ConfigValues saved;
    Path file;
    std::list<std::string> enabled_mod_names;
    bool writable = true;
};

} // namespace velmora

#endif
