#ifndef VELMORA_TOOLS_GAMEGEN_WORLD_H
#define VELMORA_TOOLS_GAMEGEN_WORLD_H

#include <map>
#include <string>
#include <vector>

namespace velmora::gamegen {

// The type names every file refers to (UNIT_..., TECH_..., FLAVOR_...), in
// named pools. A record file holds one record per name of its pool, and other
// files refer to those names, as the game's files refer to each other. The
// names depend on the scale only, never on the seed.
class World {
public:
    explicit World(double scale);

    double scale() const { return scale_; }
    // The pool of that name; a missing pool is a fault of the tables.
    const std::vector<std::string>& pool(const std::string& name) const;
    // A record count for this scale: base at scale 1, never below least.
    int scaled(int base, int least) const;

private:
    void add(const std::string& name, std::vector<std::string> names);
    void add_parallel(const std::string& name, const std::string& of, const std::string& prefix);

    double scale_;
    std::map<std::string, std::vector<std::string>> pools_;
};

// "UNIT_ROYAL_ARCHER" -> "Royal Archer": the words after the type prefix.
std::string display_name(const std::string& type);
// "UNIT_ROYAL_ARCHER" -> "RoyalArcher", for file names.
std::string camel_name(const std::string& type);
// A made-up proper name ("Telmara", "Korvath") for index i; distinct for distinct i.
std::string invented_name(int i);
std::string to_upper(std::string s);

} // namespace velmora::gamegen

#endif
