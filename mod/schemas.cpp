#include "mod/schemas.h"

#include "mod/game_files.h"
#include "path/fs.h"
#include "xml/schema.h"

namespace velmora {

Path find_schema_file(const std::string& name, const Path& file, const Path& custom_assets, const GameFiles& game)
{
    // Only a plain file name: a schema name is no way out of the folder.
    if (name.empty() || name.find_first_of("/\\") != std::string::npos || name == "." || name == "..")
        return Path();
    const Path rel = file.size() > 1 ? file.subpath(0, file.size() - 1) / Path(name) : Path(name);
    if (!custom_assets.empty()) {
        Path built = fix_case(custom_assets / rel);
        if (exists(built))
            return built;
    }
    Path found = game.find(rel);
    return !found.empty() && exists(found) ? found : Path();
}

const Schema* schema_for(const xmlpp::Element* root, const Path& file, const Path& custom_assets,
    const GameFiles& game, SchemaCache& schemas)
{
    if (!root)
        return nullptr;
    Path found = find_schema_file(schema_name(root), file, custom_assets, game);
    return found.empty() ? nullptr : schemas.get(found);
}

} // namespace velmora
