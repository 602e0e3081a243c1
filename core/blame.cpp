// Who made each field of a built record: the record as it stands in the
// custom-assets folder, with what the last apply recorded and the game's copy.
#include "core/blame.h"

#include <libxml++/document.h>
#include <libxml++/parsers/domparser.h>

#include "base/errors.h"
#include "base/format.h"
#include "core/orrindel.h"
#include "mod/game_files.h"
#include "path/platform.h"
#include "xml/parse.h"
#include "xml/library.h"

namespace velmora {

namespace {

bool same_letters(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && platform::stricmp(a.c_str(), b.c_str()) == 0;
}

std::string last_key(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The records of an XML file; false when it cannot be read as XML.
bool read_records(const Path& file, RecordFields& out)
{
    try {
        call_xml_library([&] {
            std::unique_ptr<xmlpp::DomParser> parser = parse_game_file(file);
            out = record_fields(parser->get_document()->get_root_node());
        });
        return true;
    } catch (const XmlLibraryError&) {
        return false;
    }
}

std::string plain(const std::string& value) { return !value.empty() && value[0] == '\t' ? value.substr(1) : value; }

} // namespace

std::string find_record_key(const FileOrigin& origin, const std::string& record)
{
    if (origin.records.count(record))
        return record;
    std::string found;
    for (const auto& [key, r] : origin.records) {
        if (!same_letters(key, record) && !same_letters(last_key(key), record))
            continue;
        if (!found.empty())
            return std::string(); // several: the whole key path tells them apart
        found = key;
    }
    return found;
}

RecordBlame blame_record(const Path& folder, const GameFiles& game, const FileOrigin& origin, const std::string& key)
{
    const Path built = folder / Path(origin.file);
    RecordFields records;
    if (!read_records(built, records))
        throw GenericError(format("Cannot read %S as XML.", &built));
    auto it = records.find(key);
    if (it == records.end())
        throw GenericError(format("%S holds no record %S.", &built, &key));
    RecordFields game_records;
    const Path game_file = game.find(Path(origin.file));
    if (!game_file.empty() && platform::kind_of(game_file.str()) == platform::Kind::File)
        read_records(game_file, game_records);
    auto game_record = game_records.find(key);
    auto recorded = origin.records.find(key);
    RecordBlame out{key, it->second.first, {}};
    for (const auto& [field, value] : it->second.second) {
        BlameField f{field, plain(value), nullptr, std::string(), false};
        if (recorded != origin.records.end()) {
            auto o = recorded->second.fields.find(field);
            if (o != recorded->second.fields.end())
                f.origin = &o->second;
        }
        if (f.origin && game_record != game_records.end()) {
            auto g = game_record->second.second.find(field);
            if (g != game_record->second.second.end()) {
                f.in_game = true;
                f.game = plain(g->second);
            }
        }
        out.fields.push_back(std::move(f));
    }
    return out;
}

RecordBlame blame_record(const Orrindel& core, const FileOrigin& origin, const std::string& key)
{
    // What the build started from is the base mod's copy before the game's own.
    return blame_record(core.get_built_dir(), core.get_game_files(), origin, key);
}

bool game_has_file(const Orrindel& core, const Path& file)
{
    const Path game_file = core.get_game_files().find(file);
    return !game_file.empty() && platform::kind_of(game_file.str()) == platform::Kind::File;
}

} // namespace velmora
