#ifndef VELMORA_TOOLS_GAMEGEN_FIELDS_H
#define VELMORA_TOOLS_GAMEGEN_FIELDS_H

#include <string>
#include <vector>

#include "tools/gamegen/rng.h"
#include "tools/gamegen/world.h"
#include "tools/gamegen/xml_doc.h"

namespace velmora::gamegen {

enum class FieldKind {
    Key,
    Same,
    Ref,
    KeyText,
    Int,
    Bool,
    Float,
    Const,
    Art,
    List,
    Set,
    Records,
    Object,
    OneOf
};

// How one child element of a record is made. The tables of the game's files
// are lists of these; see the makers below for what each kind writes.
struct Field {
    FieldKind kind = FieldKind::Const;
    std::string name;
    std::string item; // List, Set, Records: the name of the repeated child
    std::string pool; // Key, Same, Ref, Set; Records: one record per name of the pool
    std::string text; // Const: the text; KeyText: the prefix; Art: the pattern
    std::string suffix; // KeyText
    int lo = 0, hi = 0; // Int, List values; Float in hundredths
    int percent = 0; // Int: zeros; Bool: true; Ref: NONE; List: left empty; Set: padded with NONE
    int min = 0, max = 0; // List length (min); Set and Records item counts
    int empty = 0; // Set, Records: percent of the records where it is left empty
    int absent = 0; // percent of the records that leave the field out (the schema makes it optional)
    std::vector<Field> fields; // Records, Object; OneOf: the choices
};

// The record's key: the name of the pool at the record's position.
Field key(const std::string& name, const std::string& pool);
// The name at the record's position in a parallel pool (UNITCLASS_X for UNIT_X).
Field same(const std::string& name, const std::string& pool);
// Any name of the pool, or NONE in none_percent of the records.
Field ref(const std::string& name, const std::string& pool, int none_percent = 0);
// prefix + record key + suffix: TXT_KEY_UNIT_X_PEDIA, ART_DEF_UNIT_X.
Field key_text(const std::string& name, const std::string& prefix, const std::string& suffix = "");
Field num(const std::string& name, int lo, int hi, int zero_percent = 0);
Field flag(const std::string& name, int true_percent);
// A decimal with two places at most, from lo/100 to hi/100.
Field real(const std::string& name, int lo, int hi);
Field fixed(const std::string& name, const std::string& text);
// A file path; every "{}" in the pattern becomes the record key in camel case.
Field art(const std::string& name, const std::string& pattern);
// A positional list of numbers (YieldChanges/iYield x3); empty in empty_percent.
Field list(const std::string& name, const std::string& item, int length, int lo, int hi, int empty_percent);
// A set of distinct type names (TechTypes/PrereqTech), padded with NONE to max
// in pad_percent of the records.
Field set(const std::string& name, const std::string& item, const std::string& pool, int min, int max,
    int pad_percent = 0);
// Every name of the pool, in order (the enum declarations of GlobalTypes).
Field all(const std::string& name, const std::string& item, const std::string& pool);
// Pair records keyed by a type (Flavors/Flavor{FlavorType, iFlavor}). A value
// named b... is 1; one named i... lies in [lo, hi].
Field pairs(const std::string& container, const std::string& item, const std::string& key_name,
    const std::string& pool, const std::string& value_name, int lo, int hi, int min, int max);
// min..max records made of fields; with a key field, of distinct keys. An
// empty container name puts the records straight into the parent.
Field records(
    const std::string& container, const std::string& item, int min, int max, std::vector<Field> fields);
// One record per name of pool, in pool order: the records of a file.
Field table(const std::string& container, const std::string& item, const std::string& pool,
    std::vector<Field> fields);
// A record inside a record, matched by its name (UnitMeshGroups, ShadowDef).
Field object(const std::string& name, std::vector<Field> fields);
// One of the fields, chosen per record (a define holds an int, a float or a text).
Field one_of(std::vector<Field> choices);
// f (a Set or Records) left empty in empty_percent of the records, as most
// such containers are in the game's files.
Field sparse(Field f, int empty_percent);

// f left out of absent_percent of the records, as the game's records leave
// out the optional fields of their schema.
Field optional(Field f, int absent_percent);

// Appends the elements made by fields to parent.
void build_fields(XmlNode& parent, const std::vector<Field>& fields, const World& world, Rng& rng);

// Hundredths as the game writes decimals: 100 -> "1.0", 125 -> "1.25".
std::string decimal_text(int hundredths);

} // namespace velmora::gamegen

#endif
