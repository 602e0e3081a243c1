#include "xml/element_info.h"

#include <fstream>

#include "base/errors.h"
#include "base/hash.h"
#include "base/format.h"
#include "xml/misc.h"

namespace velmora {

namespace {

// -1 for a word that names no type.
int type_from_keyword(const std::string& word)
{
    static const struct {
        const char* word;
        int type;
    } keywords[] = {{"toplevel", TOPLEVEL}, {"container", CONTAINER}, {"object", OBJECT}, {"list", LIST},
        {"set", SET}, {"ignore", IGNORE}, {"opaque", OPAQUE}};
    for (const auto& k : keywords)
        if (word == k.word)
            return k.type;
    return -1;
}

std::string index_key(const std::string& group, const std::string& name) { return group + '\t' + name; }

} // namespace

ElementInfoStorage& ElementInfoStorage::instance()
{
    static ElementInfoStorage storage;
    return storage;
}

void ElementInfoStorage::load(const std::string& filename)
{
    std::ifstream in(filename, std::ios::binary);
    if (!in)
        throw GenericError("Couldn't load element info");
    std::list<ElementInfo> loaded;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        // Only the very first character makes a comment.
        if (!line.empty() && line[0] == '#')
            continue;
        std::vector<std::string> words = split(line, " \t\r\n", false);
        if (words.size() < 3)
            continue;
        int type = type_from_keyword(words[2]);
        // An entry without a type would be merged by guesswork later on.
        if (type < 0)
            throw GenericError(format("Unknown element type \"%S\" on line %d of \"%S\" (expected toplevel, "
                                      "container, object, list, set, ignore or opaque)",
                &words[2], number, &filename));
        loaded.push_back({words[0], words[1], type, words.size() > 3 ? words[3] : std::string()});
    }
    // A read error half-way would leave a partial table that looks complete.
    if (in.bad())
        throw GenericError("Couldn't load element info");

    if (loaded.empty())
        return;
    auto first_new = loaded.begin();
    infos_.splice(infos_.end(), loaded);
    // emplace keeps an existing entry: the earlier line wins.
    for (auto it = first_new; it != infos_.end(); ++it)
        index_.emplace(index_key(it->root, it->name), &*it);
}

const ElementInfo* ElementInfoStorage::get_info(const std::string& path) const
{
    if (path.empty() || path[0] != '/')
        throw GenericError("What am I supposed to do with " + path + "?");
    std::string::size_type skip = path.compare(0, 5, "/Civ4") == 0 ? 5 : 1;
    std::string::size_type end = path.find('/', 1);
    std::string group = path.substr(skip, end == std::string::npos ? std::string::npos : end - skip);
    return find(group, basename_from_path(path));
}

const ElementInfo* ElementInfoStorage::find(const std::string& group, const std::string& name) const
{
    auto it = index_.find(index_key(group, name));
    return it == index_.end() ? nullptr : it->second;
}

void ElementInfoStorage::clear()
{
    index_.clear();
    infos_.clear();
}

std::uint64_t ElementInfoStorage::digest() const
{
    Hasher h;
    for (const ElementInfo& info : infos_)
        h.add(info.root).add(info.name).add(std::to_string(info.type)).add(info.key);
    return h.value();
}

std::string group_of_root(const std::string& root_name)
{
    return root_name.compare(0, 4, "Civ4") == 0 ? root_name.substr(4) : root_name;
}

} // namespace velmora
