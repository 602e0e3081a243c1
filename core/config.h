#ifndef VELMORA_CORE_CONFIG_H
#define VELMORA_CORE_CONFIG_H

#include <list>
#include <string>

#include "path/path.h"

namespace velmora {

class Orrindel;

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
    // write leaves the old file whole. Does nothing before load() chose the
    // file, or after an unreadable file could not be set aside. Throws
    // GenericError naming the file when it cannot be written.
    void save();

    // Moves the file that load() could not parse to "conf.bad" so the next
    // save does not destroy it. Returns the new name, or an empty Path when the
    // file could not be moved; save() then leaves the file alone.
    Path keep_bad_file();

    const Path& get_file() const { return file; }
    // The enabled-mod names that load() read, in file order.
    const std::list<std::string>& get_enabled_mod_names() const { return enabled_mod_names; }

private:
    Orrindel& orrindel;
    Path file;
    std::list<std::string> enabled_mod_names;
    bool writable = true;
};

} // namespace velmora

#endif
