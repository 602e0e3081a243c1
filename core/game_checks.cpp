// The checks of a built game that the front ends ask for: its files against
// the game's schemas, and the names its records point at.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "mod/apply_mods.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "mod/schemas.h"
#include "path/fs.h"
#include "path/platform.h"
#include "xml/reference_table.h"
#include "xml/schema.h"
#include "xml/library.h"

namespace velmora {

namespace {

bool is_data_file(const std::string& file)
{
    return file.size() > 4 && platform::stricmp(file.c_str() + file.size() - 4, ".xml") == 0;
}

// A private folder for merged files that no one will read, removed with its content.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const std::string folder = platform::make_temp_dir("velmora-check-");
        if (folder.empty()) {
            const std::string reason = std::strerror(errno);
            throw GenericError(format("Cannot create a temporary folder to check the mods in: %S.", &reason));
        }
        path = Path(folder);
    }
    ~ScratchFolder() { velmora::rmdir(path, true); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    Path path;
};

} // namespace

void Orrindel::name_reference_mods(ReferenceCheck& check, const std::vector<const Mod*>& order)
{
    if (check.caused_by_mods() == 0)
        return;
    std::vector<const Mod*> others;
    // A copy of each mod that is not enabled is read for the names it would
    // define, and dropped afterwards: the list keeps only headers.
    std::vector<std::unique_ptr<Mod>> read;
    for (Mod* mod : get_mods()) {
        if (std::find(order.begin(), order.end(), mod) != order.end())
            continue;
        if (mod->loaded) {
            others.push_back(mod);
            continue;
        }
        auto copy = std::make_unique<Mod>();
        try {
            if (copy->load(mod->path) != 0)
                continue;
        } catch (const std::exception&) {
            continue; // a mod that cannot be read defines nothing here
        }
        copy->name = mod->name;
        others.push_back(copy.get());
        read.push_back(std::move(copy));
    }
    name_mods(check, *reference_table, order, others);
}

Verification Orrindel::verify(const Path& folder)
{
    const GameFiles game = get_game_files();
    SchemaCache schemas;
    Verification result = verify_folder(folder, game, schemas);
    result.references = velmora::check_references(folder, game, *reference_table, &reference_memo);
    if (result.references.caused_by_mods() == 0)
        return result;
    // The order of the last apply when there was one in this run, else the list's.
    const std::list<Mod*> enabled = get_enabled_mods_in_order();
    std::vector<Mod*> applied;
    for (const std::string& name : applied_order)
        for (Mod* mod : enabled)
            if (mod->name == name)
                applied.push_back(mod);
    if (applied.size() != enabled.size())
        applied.assign(enabled.begin(), enabled.end());
    std::vector<const Mod*> order;
    for (Mod* mod : applied) {
        try {
            if (mod->loaded || mod->load(mod->path) == 0)
                order.push_back(mod);
        } catch (const std::exception&) {
            // A mod that cannot be read is named by apply; here it names nothing.
        }
    }
    name_reference_mods(result.references, order);
    return result;
}

ReferenceCheck Orrindel::check_references(const std::list<Mod*>& order)
{
    if (reference_table->empty() || civ4_dir.empty())
        return ReferenceCheck();
    for (Mod* mod : order)
        if (!mod->loaded && mod->load(mod->path) != 0)
            throw GenericError(
                format("Cannot load mod '%S': its file %S no longer exists.", &mod->name, &mod->path));
    const GameFiles game = get_game_files();
    const std::vector<const Mod*> mods(order.begin(), order.end());
    ScratchFolder scratch;
    // Only the data files matter to the names: the rest is left out.
    auto skip = [](const Change& change, const Path&) { return !is_data_file(change.file); };
    SchemaCache schemas;
    const Mod* current = nullptr;
    try {
        call_xml_library([&] {
            apply_mods(
                mods, game, scratch.path, skip, [&](const Mod& mod, unsigned, unsigned) { current = &mod; },
                &schemas);
        });
    } catch (const XmlLibraryError& e) {
        if (!current)
            throw;
        throw XmlError(format("XML error in mod '%S': %s", &current->name, e.what()));
    }
    ReferenceCheck check = velmora::check_references(scratch.path, game, *reference_table, &reference_memo);
    name_reference_mods(check, mods);
    return check;
}

} // namespace velmora
