#include "tools/gamegen/world.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

namespace velmora::gamegen {

namespace {

using Words = std::vector<const char*>;

// Made-up vocabulary in the manner of the game's type names; no list is taken
// from the game.
const Words kAdjectives
    = {"ROYAL", "HEAVY", "ELITE", "ANCIENT", "NORTHERN", "IMPERIAL", "GREAT", "IRON", "SACRED", "FREE",
        "GRAND", "HIGH", "OLD", "NEW", "SILVER", "GOLDEN", "WILD", "EASTERN", "SOUTHERN", "WESTERN", "LIGHT",
        "DARK", "FIRST", "SECOND", "STONE", "BRONZE", "RIVER", "MOUNTAIN", "DESERT", "COASTAL"};

const Words kUnits = {"WARRIOR", "SCOUT", "ARCHER", "SPEARMAN", "AXEMAN", "SWORDSMAN", "HORSEMAN", "CHARIOT",
    "CATAPULT", "GALLEY", "TRIREME", "LANCER", "CROSSBOWMAN", "PIKEMAN", "KNIGHT", "MUSKETEER", "CANNON",
    "FRIGATE", "RIFLEMAN", "GRENADIER", "CAVALRY", "ARTILLERY", "INFANTRY", "TANK", "DESTROYER", "FIGHTER",
    "BOMBER", "WORKER", "SETTLER", "MISSIONARY", "CARAVAN", "SPY", "SKIRMISHER", "SLINGER", "RANGER",
    "HUSSAR", "DRAGOON", "MARINE", "PARATROOPER", "SUBMARINE", "CARRIER", "BATTLESHIP", "CARAVEL", "GALLEON",
    "PRIVATEER", "HOPLITE", "PELTAST", "JAVELINEER", "BALLISTA", "TREBUCHET"};

const Words kBuildings
    = {"PALACE", "BARRACKS", "GRANARY", "WALLS", "LIBRARY", "TEMPLE", "MARKET", "HARBOR", "AQUEDUCT", "ARENA",
        "FORGE", "LIGHTHOUSE", "MONASTERY", "UNIVERSITY", "THEATRE", "BANK", "CASTLE", "OBSERVATORY",
        "GROCER", "SEWER", "FACTORY", "HOSPITAL", "LABORATORY", "AIRPORT", "STADIUM", "COURTHOUSE", "JAIL",
        "MINT", "WORKSHOP", "ARSENAL", "DOCKYARD", "ACADEMY", "ARCHIVE", "BATHHOUSE", "GARDEN", "GUILDHALL",
        "MILL", "OBELISK", "SHRINE", "TOWER", "VAULT", "WAREHOUSE", "CISTERN", "FOUNDRY", "SCHOOL", "MUSEUM"};

const Words kTechs = {"MINING", "POTTERY", "ARCHERY", "WRITING", "MASONRY", "SAILING", "ALPHABET", "CALENDAR",
    "MATHEMATICS", "ASTRONOMY", "PHILOSOPHY", "ENGINEERING", "OPTICS", "BANKING", "PRINTING", "GUNPOWDER",
    "CHEMISTRY", "NAVIGATION", "ECONOMICS", "PHYSICS", "BIOLOGY", "ELECTRICITY", "RAILWAYS", "STEAM_POWER",
    "RADIO", "FLIGHT", "ROCKETRY", "COMPUTERS", "GENETICS", "ROBOTICS", "METALLURGY", "LITERATURE", "DRAMA",
    "MUSIC", "LAW", "CURRENCY", "TRADE", "CARTOGRAPHY", "RIDING", "BRONZE_WORKING", "IRON_WORKING",
    "AGRICULTURE", "HERDING", "FISHING", "HUNTING", "THEOLOGY", "MEDICINE", "GEOLOGY"};

const Words kPromotions = {"COMBAT", "DRILL", "SHOCK", "COVER", "FORMATION", "AMBUSH", "CHARGE", "MEDIC",
    "SENTRY", "MOBILITY", "SEAFARING", "BARRAGE", "ACCURACY", "RAIDER", "GARRISON", "GUERILLA", "WOODSMAN",
    "AMPHIBIOUS", "MARCH", "BLITZ", "COMMANDO", "LEADERSHIP", "TACTICS", "MORALE", "FLANKING", "INTERCEPTION",
    "ACE", "RANGE", "EVASION", "SIEGE"};

const Words kBonuses = {"WHEAT", "CORN", "RICE", "FISH", "CLAM", "CRAB", "COW", "PIG", "SHEEP", "DEER",
    "BANANA", "SUGAR", "SPICES", "SILK", "DYE", "INCENSE", "WINE", "FUR", "IVORY", "GEMS", "GOLD", "SILVER",
    "MARBLE", "STONE", "COPPER", "IRON", "HORSE", "COAL", "OIL", "ALUMINUM", "URANIUM", "WHALE", "COTTON",
    "TEA", "COFFEE", "SALT", "AMBER", "PEARLS", "TIN", "JADE"};

const Words kImprovements = {"FARM", "MINE", "PASTURE", "PLANTATION", "CAMP", "QUARRY", "LUMBERMILL",
    "COTTAGE", "HAMLET", "VILLAGE", "TOWN", "WINERY", "WORKSHOP", "WATERMILL", "WINDMILL", "FORT", "WELL",
    "FISHING_BOATS", "WHALING_BOATS", "OFFSHORE_PLATFORM", "ORCHARD", "TERRACE", "DIKE", "SALTWORKS"};

const Words kEvents
    = {"FLOOD", "DROUGHT", "FESTIVAL", "PLAGUE", "HARVEST", "MINE_COLLAPSE", "BANDITS", "PILGRIMS", "COMET",
        "EARTHQUAKE", "MERCHANTS", "WEDDING", "FIRE", "LOCUSTS", "STORM", "HEROES", "SCANDAL", "DISCOVERY",
        "MIGRATION", "TOURNAMENT", "ECLIPSE", "TREASURE", "REBELLION", "SCHISM", "FEUD", "FAIR"};

const Words kConstants = {"MAX", "MIN", "BASE", "CITY", "UNIT", "PLOT", "RIVER", "DEFENSE", "ATTACK", "HEAL",
    "RATE", "PERCENT", "TURNS", "GOLD", "RESEARCH", "CULTURE", "WAR", "PEACE", "TRADE", "ROUTE", "BONUS",
    "COST", "LIMIT", "CHANCE", "AI", "PLAYER", "TEAM", "BORDER", "FOREST", "HILLS", "SEA", "AIR", "SIZE",
    "GROWTH", "FOOD", "EXPERIENCE", "LEVEL", "MODIFIER", "RANGE", "DAMAGE"};

const Words kThings = {"MAIN", "MENU", "CITY", "UNIT", "PLAYER", "MAP", "TURN", "SCORE", "TRADE", "TEAM",
    "OPTION", "SCREEN", "ADVISOR", "BUTTON", "HELP", "WARNING", "MESSAGE", "POPUP", "PEDIA", "DIPLOMACY",
    "ESPIONAGE", "RELIGION", "CORPORATION", "VICTORY", "REPLAY", "HALL", "FAME", "GOLDEN", "AGE", "WONDER"};

const Words kColors = {"RED", "GREEN", "BLUE", "YELLOW", "CYAN", "MAGENTA", "WHITE", "BLACK", "GREY", "BROWN",
    "ORANGE", "PURPLE", "PINK", "TEAL", "OLIVE", "MAROON", "NAVY", "GOLD", "SILVER", "IVORY"};

std::vector<std::string> fixed_names(const std::string& prefix, const Words& words)
{
    std::vector<std::string> out;
    for (const char* w : words)
        out.push_back(prefix + w);
    return out;
}

// count names: the plain words first, then adjective + word, then numbered.
std::vector<std::string> names(const std::string& prefix, const Words& words, int count)
{
    std::vector<std::string> out;
    const int w = static_cast<int>(words.size());
    const int a = static_cast<int>(kAdjectives.size());
    for (int i = 0; i < count; ++i) {
        if (i < w) {
            out.push_back(prefix + words[i]);
            continue;
        }
        int k = i - w;
        std::string name = prefix + kAdjectives[(k / w) % a] + "_" + words[k % w];
        if (k / (w * a) > 0)
            name += "_" + std::to_string(k / (w * a) + 1);
        out.push_back(name);
    }
    return out;
}

// count names of two or three words taken from one list, all distinct.
std::vector<std::string> compound_names(const std::string& prefix, const Words& words, int count)
{
    std::vector<std::string> out;
    const int w = static_cast<int>(words.size());
    for (int i = 0; i < count; ++i) {
        std::string name = prefix + words[i % w] + "_" + words[(i / w + i + 1) % w];
        if (i >= w * w)
            name += "_" + std::string(words[(i / (w * w)) % w]);
        if (i >= w * w * w)
            name += "_" + std::to_string(i / (w * w * w));
        out.push_back(name);
    }
    return out;
}

std::vector<std::string> invented_names(const std::string& prefix, int count)
{
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(prefix + to_upper(invented_name(i)));
    return out;
}

std::vector<std::string> numbered(const std::string& prefix, int count)
{
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(prefix + std::to_string(i + 1));
    return out;
}

} // namespace

std::string to_upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string invented_name(int i)
{
    static const Words first
        = {"Tel", "Kor", "Ash", "Bel", "Dor", "Ev", "Fal", "Gar", "Hal", "Is", "Jor", "Kal", "Lor", "Mar",
            "Nor", "Ol", "Pel", "Quin", "Ran", "Sal", "Tor", "Ul", "Var", "Wen", "Yor", "Zel"};
    static const Words middle = {"a", "e", "i", "o", "u", "ar", "en", "il", "om", "ur"};
    static const Words last
        = {"mara", "vath", "dor", "ien", "is", "oth", "ana", "ek", "ir", "une", "ald", "esh"};
    const int f = static_cast<int>(first.size()), m = static_cast<int>(middle.size()),
              l = static_cast<int>(last.size());
    std::string name = std::string(first[i % f]) + middle[(i / f) % m] + last[(i / (f * m)) % l];
    if (i >= f * m * l)
        name += std::to_string(i / (f * m * l));
    return name;
}

std::string display_name(const std::string& type)
{
    std::size_t start = type.find('_');
    start = start == std::string::npos ? 0 : start + 1;
    std::string out;
    bool word_start = true;
    for (std::size_t i = start; i < type.size(); ++i) {
        char c = type[i];
        if (c == '_') {
            out += ' ';
            word_start = true;
            continue;
        }
        out += word_start ? c : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        word_start = false;
    }
    return out;
}

std::string camel_name(const std::string& type)
{
    std::string out;
    for (char c : display_name(type))
        if (c != ' ')
            out += c;
    return out;
}

World::World(double scale)
    : scale_(scale)
{
    add("yield", fixed_names("YIELD_", {"FOOD", "PRODUCTION", "COMMERCE"}));
    add("commerce", fixed_names("COMMERCE_", {"GOLD", "RESEARCH", "CULTURE", "ESPIONAGE"}));
    add("flavor",
        fixed_names("FLAVOR_",
            {"MILITARY", "RELIGION", "PRODUCTION", "GOLD", "SCIENCE", "CULTURE", "GROWTH", "ESPIONAGE"}));
    add("domain", fixed_names("DOMAIN_", {"SEA", "AIR", "LAND", "IMMOBILE"}));
    add("unitai",
        fixed_names("UNITAI_",
            {"ANIMAL", "SETTLE", "WORKER", "ATTACK", "ATTACK_CITY", "COLLATERAL", "PILLAGE", "RESERVE",
                "COUNTER", "CITY_DEFENSE", "CITY_COUNTER", "EXPLORE", "MISSIONARY", "GENERAL", "MERCHANT",
                "SPY", "WORKER_SEA", "ATTACK_SEA", "ESCORT_SEA", "EXPLORE_SEA", "ASSAULT_SEA", "ATTACK_AIR",
                "DEFENSE_AIR", "CARRIER_SEA"}));
    add("unitcombat",
        fixed_names("UNITCOMBAT_",
            {"ARCHER", "MOUNTED", "MELEE", "SIEGE", "GUN", "ARMOR", "HELICOPTER", "NAVAL", "RECON"}));
    add("terrain",
        fixed_names("TERRAIN_",
            {"GRASS", "PLAINS", "DESERT", "TUNDRA", "SNOW", "COAST", "OCEAN", "PEAK", "HILL", "MARSH"}));
    add("feature",
        fixed_names(
            "FEATURE_", {"ICE", "JUNGLE", "OASIS", "FLOOD_PLAINS", "FOREST", "FALLOUT", "SWAMP", "REEF"}));
    add("era",
        fixed_names(
            "ERA_", {"ANCIENT", "CLASSICAL", "MEDIEVAL", "RENAISSANCE", "INDUSTRIAL", "MODERN", "FUTURE"}));
    add("gamespeed", fixed_names("GAMESPEED_", {"QUICK", "NORMAL", "EPIC", "MARATHON"}));
    add("handicap",
        fixed_names(
            "HANDICAP_", {"CALM", "EASY", "FAIR", "STEADY", "MODERATE", "FIRM", "HARD", "FIERCE", "BRUTAL"}));
    add("worldsize", fixed_names("WORLDSIZE_", {"DUEL", "TINY", "SMALL", "STANDARD", "LARGE", "HUGE"}));
    add("sealevel", fixed_names("SEALEVEL_", {"LOW", "MEDIUM", "HIGH"}));
    add("climate", fixed_names("CLIMATE_", {"TEMPERATE", "TROPICAL", "ARID", "ROCKY", "COLD"}));
    add("specialist",
        fixed_names("SPECIALIST_",
            {"CITIZEN", "PRIEST", "ARTIST", "SCIENTIST", "MERCHANT", "ENGINEER", "SPY", "GREAT_PRIEST",
                "GREAT_ARTIST", "GREAT_SCIENTIST", "GREAT_MERCHANT", "GREAT_ENGINEER"}));
    add("attitude", fixed_names("ATTITUDE_", {"FURIOUS", "ANNOYED", "CAUTIOUS", "PLEASED", "FRIENDLY"}));
    add("memory",
        names("MEMORY_",
            {"DECLARED_WAR", "HIRED_TRADE", "NUKED", "RAZED_CITY", "GIVE_HELP", "REFUSED_HELP",
                "ACCEPT_DEMAND", "REJECTED_DEMAND", "TRADED_TECH", "VOTED_FOR", "VOTED_AGAINST", "SPY_CAUGHT",
                "LIBERATED_CITIES", "CANCELLED_OPEN_BORDERS", "EVENT_GOOD", "EVENT_BAD", "STOPPED_TRADING",
                "DENIED"},
            18));
    add("contact",
        fixed_names("CONTACT_",
            {"RELIGION_PRESSURE", "CIVIC_PRESSURE", "JOIN_WAR", "STOP_TRADING", "GIVE_HELP", "ASK_FOR_HELP",
                "DEMAND_TRIBUTE", "OPEN_BORDERS", "DEFENSIVE_PACT", "PERMANENT_ALLIANCE", "PEACE_TREATY",
                "TRADE_TECH", "TRADE_BONUS", "TRADE_MAP"}));
    add("civicoption", fixed_names("CIVICOPTION_", {"GOVERNMENT", "LEGAL", "LABOR", "ECONOMY", "RELIGION"}));
    add("religion", fixed_names("RELIGION_", {"SUN", "MOON", "STARS", "SEA", "STONE", "FIRE", "SKY"}));
    add("corporation", invented_names("CORPORATION_", 7));
    add("victory",
        fixed_names(
            "VICTORY_", {"TIME", "CONQUEST", "DOMINATION", "CULTURAL", "SPACE_RACE", "DIPLOMATIC", "SCORE"}));
    add("route", fixed_names("ROUTE_", {"ROAD", "RAILROAD"}));
    add("hurry", fixed_names("HURRY_", {"GOLD", "POPULATION"}));
    add("culturelevel",
        fixed_names("CULTURELEVEL_",
            {"NONE", "POOR", "FLEDGLING", "DEVELOPING", "REFINED", "INFLUENTIAL", "LEGENDARY"}));
    add("trait",
        fixed_names("TRAIT_",
            {"AGGRESSIVE", "CREATIVE", "EXPANSIVE", "FINANCIAL", "INDUSTRIOUS", "ORGANIZED", "PHILOSOPHICAL",
                "SPIRITUAL", "CHARISMATIC", "IMPERIALIST", "PROTECTIVE"}));
    add("advisor",
        fixed_names("ADVISOR_", {"MILITARY", "RELIGION", "ECONOMY", "SCIENCE", "CULTURE", "GROWTH"}));
    add("citysize", fixed_names("CITYSIZE_", {"SMALL", "MEDIUM", "LARGE"}));
    add("footstep",
        fixed_names(
            "FOOTSTEP_AUDIO_", {"HUMAN", "HORSE", "TRACKED", "WHEELED", "HUGE", "ANIMAL", "SHIP", "NONE"}));
    add("diplomacypower", fixed_names("DIPLOMACYPOWER_", {"WEAKER", "EQUAL", "STRONGER"}));
    add("process", fixed_names("PROCESS_", {"WEALTH", "RESEARCH", "CULTURE", "ESPIONAGE"}));
    add("bonusclass",
        fixed_names("BONUSCLASS_", {"GENERAL", "GRAIN", "LIVESTOCK", "SEAFOOD", "LUXURY", "WONDER", "RUSH"}));
    add("specialbuilding",
        fixed_names(
            "SPECIALBUILDING_", {"MONASTERY", "TEMPLE", "CATHEDRAL", "MISSION", "BUNKER", "EXECUTIVE"}));
    add("artstyle",
        fixed_names("ARTSTYLE_", {"NORTHERN", "SOUTHERN", "EASTERN", "WESTERN", "ISLAND", "STEPPE"}));
    add("upkeep", fixed_names("UPKEEP_", {"NONE", "LOW", "MEDIUM", "HIGH"}));
    add("loadtype", fixed_names("", {"DYNAMIC_RES", "DYNAMIC", "RESIDENT"}));
    add("soundtype", fixed_names("SOUND_TYPE_", {"INTERFACE", "SPEECH", "SOUNDTRACK", "GAME", "AMBIENT"}));
    add("positiontype",
        fixed_names("POSITION_TYPE_",
            {"FRONT", "BACK", "LEFT", "RIGHT", "CENTER", "UNIT", "CITY", "PLOT", "CAMERA", "WORLD", "NEAR",
                "FAR"}));
    add("scripttype", fixed_names("SCRIPT_TYPE_", {"2D", "3D", "SOUNDSCAPE", "MUSIC"}));
    add("speakerconfig",
        fixed_names("SPEAKER_",
            {"MONO", "STEREO", "HEADPHONES", "QUAD", "SURROUND", "5POINT1", "6POINT1", "7POINT1"}));
    add("effecttype",
        fixed_names("EFFECT_",
            {"GENERIC", "ROOM", "HALL", "CAVE", "ARENA", "FOREST", "CITY", "MOUNTAINS", "PLAIN", "UNDERWATER",
                "VALLEY", "DIZZY"}));
    add("gameenvironment", fixed_names("GAME_ENVIRONMENT_", {"DEFAULT"}));
    add("contexttype", fixed_names("CONTEXT_", {"GAME"}));
    add("graphicoption", names("GRAPHICOPTION_", kThings, 12));
    add("interfacemode", names("INTERFACEMODE_", kThings, 20));

    add("unit", names("UNIT_", kUnits, scaled(430, 3)));
    add_parallel("unitclass", "unit", "UNITCLASS_");
    add("building", names("BUILDING_", kBuildings, scaled(460, 3)));
    add_parallel("buildingclass", "building", "BUILDINGCLASS_");
    add("tech", names("TECH_", kTechs, scaled(360, 3)));
    add("promotion", names("PROMOTION_", kPromotions, scaled(300, 3)));
    add("civ", invented_names("CIVILIZATION_", scaled(90, 2)));
    add("leader", invented_names("LEADER_", scaled(180, 2)));
    add("bonus", names("BONUS_", kBonuses, scaled(120, 3)));
    add("improvement", names("IMPROVEMENT_", kImprovements, scaled(60, 2)));
    add("build", names("BUILD_", kImprovements, scaled(70, 2)));
    add("civic", compound_names("CIVIC_", kConstants, std::max(5, scaled(60, 5))));
    add("event", names("EVENT_", kEvents, scaled(1000, 3)));
    add("eventtrigger", names("EVENTTRIGGER_", kEvents, scaled(700, 3)));
    add("diplomacy", compound_names("AI_DIPLO_", kThings, scaled(300, 3)));
    add("diplotext", compound_names("AI_DIPLO_TEXT_", kThings, scaled(1800, 4)));
    add("sound", compound_names("SND_", kConstants, scaled(9000, 4)));
    add("script2d", compound_names("AS2D_", kThings, scaled(3500, 4)));
    add("define", compound_names("", kConstants, scaled(2400, 4)));
    add("define_python", compound_names("USE_", kThings, scaled(120, 3)));
    add("hint", numbered("TXT_KEY_HINT_", scaled(500, 3)));
    add("newconcept", compound_names("CONCEPT_", kThings, scaled(120, 3)));
    add("interfaceart", compound_names("INTERFACE_", kThings, scaled(3000, 4)));
    add("miscart", compound_names("MISC_", kThings, scaled(200, 2)));
    add("fader", compound_names("FADER_", kThings, scaled(85, 2)));
    add("uitext", compound_names("TXT_KEY_", kThings, scaled(4200, 5)));
    add("greatname", invented_names("TXT_KEY_GREAT_PERSON_", scaled(300, 3)));
    add("cityname", invented_names("TXT_KEY_CITY_NAME_", scaled(2400, 8)));
    add("colorval", names("COLOR_", kColors, scaled(300, 4)));
    add("control", compound_names("CONTROL_", kThings, scaled(64, 4)));
    add("mission", compound_names("MISSION_", kThings, scaled(48, 4)));
    add("gameoption", compound_names("GAMEOPTION_", kThings, scaled(27, 3)));
    add("project", invented_names("PROJECT_", scaled(40, 2)));
    add("espionagemission", compound_names("ESPIONAGEMISSION_", kThings, scaled(19, 3)));
    add("goody", compound_names("GOODY_", kConstants, 12));
    add("vote", invented_names("VOTE_", 8));
}

int World::scaled(int base, int least) const
{
    long v = std::lround(base * scale_);
    return static_cast<int>(std::max<long>(least, v));
}

const std::vector<std::string>& World::pool(const std::string& name) const
{
    auto it = pools_.find(name);
    if (it == pools_.end())
        throw std::logic_error("no pool of type names called " + name);
    return it->second;
}

void World::add(const std::string& name, std::vector<std::string> names) { pools_[name] = std::move(names); }

void World::add_parallel(const std::string& name, const std::string& of, const std::string& prefix)
{
    std::vector<std::string> out;
    for (const auto& n : pool(of))
        out.push_back(prefix + n.substr(n.find('_') + 1));
    add(name, std::move(out));
}

} // namespace velmora::gamegen
