#include "tools/gamegen/catalog.h"

namespace velmora::gamegen {

const char* const kPlainDeclaration = "<?xml version=\"1.0\"?>";
const char* const kLatin1Declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";

namespace {

const char* const kUtf8Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

using Fields = std::vector<Field>;

// The three key texts most records carry.
Fields described(const std::string& key_name, const std::string& pool)
{
    return {key(key_name, pool), key_text("Description", "TXT_KEY_"),
        key_text("Civilopedia", "TXT_KEY_", "_PEDIA")};
}

Fields operator+(Fields a, const Fields& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Fields hotkey()
{
    return {fixed("HotKey", ""), flag("bAltDown", 5), flag("bShiftDown", 5), flag("bCtrlDown", 5),
        num("iHotKeyPriority", 0, 3, 70)};
}

Fields yields(const std::vector<std::string>& names, int lo, int hi, int empty)
{
    Fields out;
    for (const auto& n : names)
        out.push_back(list(n, "iYield", 3, lo, hi, empty));
    return out;
}

Fields commerces(const std::vector<std::string>& names, int lo, int hi, int empty)
{
    Fields out;
    for (const auto& n : names)
        out.push_back(list(n, "iCommerce", 4, lo, hi, empty));
    return out;
}

// Mostly-zero numbers and mostly-false flags: the bulk of every big record.
Fields nums(const std::vector<std::string>& names, int lo, int hi, int zero)
{
    Fields out;
    for (const auto& n : names)
        out.push_back(num(n, lo, hi, zero));
    return out;
}

Fields flags(const std::vector<std::string>& names, int true_percent)
{
    Fields out;
    for (const auto& n : names)
        out.push_back(flag(n, true_percent));
    return out;
}

Field terrain_pairs(const std::string& container, const std::string& item, const std::string& value)
{
    return sparse(pairs(container, item, "TerrainType", "terrain", value, 10, 50, 1, 2), 85);
}

Field feature_pairs(const std::string& container, const std::string& item, const std::string& value)
{
    return sparse(pairs(container, item, "FeatureType", "feature", value, 10, 50, 1, 2), 85);
}

Field flavors(int min, int max, int empty)
{
    return sparse(pairs("Flavors", "Flavor", "FlavorType", "flavor", "iFlavor", 1, 10, min, max), empty);
}

Field footsteps()
{
    return records("FootstepSounds", "FootstepSound", 2, 5,
        {key("FootstepAudioType", "footstep"), key_text("FootstepAudioScript", "AS3D_", "_STEP")});
}

Fields unit_info()
{
    return Fields{same("Class", "unitclass"), key("Type", "unit"),
        sparse(set("UniqueNames", "UniqueName", "greatname", 1, 6), 90), fixed("Special", "NONE"),
        fixed("Capture", "NONE"), ref("Combat", "unitcombat", 15), ref("Domain", "domain"),
        ref("DefaultUnitAI", "unitai"), fixed("Invisible", "NONE"), fixed("SeeInvisible", "NONE"),
        key_text("Description", "TXT_KEY_"), key_text("Civilopedia", "TXT_KEY_", "_PEDIA"),
        key_text("Strategy", "TXT_KEY_", "_STRATEGY"), optional(fixed("Help", ""), 60), ref("Advisor", "advisor"),
        flag("bAnimal", 4), flag("bFoodProduction", 4), flag("bNoBadGoodies", 5), flag("bOnlyDefensive", 8),
        optional(flag("bOnlyAttackAnimals", 50), 90), flag("bNoCapture", 5), flag("bQuickCombat", 3), flag("bRivalTerritory", 5),
        flag("bMilitaryHappiness", 60), flag("bMilitarySupport", 70), flag("bMilitaryProduction", 70),
        flag("bPillage", 60), flag("bSpy", 2), flag("bSabotage", 2), flag("bDestroy", 2),
        flag("bStealPlans", 2), flag("bInvestigate", 2), flag("bCounterSpy", 2), flag("bFound", 2),
        flag("bGoldenAge", 2), flag("bInvisible", 2), flag("bFirstStrikeImmune", 5),
        flag("bNoDefensiveBonus", 10), flag("bIgnoreBuildingDefense", 10), flag("bCanMoveImpassable", 2),
        flag("bCanMoveAllTerrain", 2), flag("bFlatMovementCost", 3), flag("bIgnoreTerrainCost", 3),
        flag("bNukeImmune", 2), flag("bPrereqBonuses", 4), flag("bPrereqReligion", 4),
        flag("bMechanized", 20), flag("bRenderBelowWater", 4), flag("bRenderAlways", 4), flag("bSuicide", 2),
        flag("bLineOfSight", 4), flag("bHiddenNationality", 2), flag("bAlwaysHostile", 2),
        flag("bNoRevealMap", 2),
        sparse(pairs("UnitClassUpgrades", "UnitClassUpgrade", "UnitClassUpgradeType", "unitclass",
                   "bUnitClassUpgrade", 1, 1, 1, 2),
            40),
        sparse(pairs("UnitClassTargets", "UnitClassTarget", "UnitClassTargetType", "unitclass",
                   "bUnitClassTarget", 1, 1, 1, 1),
            95),
        sparse(pairs("UnitCombatTargets", "UnitCombatTarget", "UnitCombatTargetType", "unitcombat",
                   "bUnitCombatTarget", 1, 1, 1, 1),
            95),
        sparse(pairs("UnitClassDefenders", "UnitClassDefender", "UnitClassDefenderType", "unitclass",
                   "bUnitClassDefender", 1, 1, 1, 1),
            97),
        sparse(pairs("UnitCombatDefenders", "UnitCombatDefender", "UnitCombatDefenderType", "unitcombat",
                   "bUnitCombatDefender", 1, 1, 1, 1),
            97),
        sparse(pairs("FlankingStrikes", "FlankingStrike", "FlankingStrikeUnitClass", "unitclass",
                   "iFlankingStrength", 25, 100, 1, 2),
            90),
        sparse(pairs("UnitAIs", "UnitAI", "UnitAIType", "unitai", "bUnitAI", 1, 1, 1, 3), 5),
        sparse(pairs("NotUnitAIs", "UnitAI", "UnitAIType", "unitai", "bUnitAI", 1, 1, 1, 1), 95),
        sparse(pairs("Builds", "Build", "BuildType", "build", "bBuild", 1, 1, 1, 4), 90),
        sparse(pairs("ReligionSpreads", "ReligionSpread", "ReligionType", "religion", "iReligionSpread", 20,
                   100, 1, 1),
            94),
        sparse(pairs("CorporationSpreads", "CorporationSpread", "CorporationType", "corporation",
                   "iCorporationSpread", 20, 100, 1, 1),
            95),
        sparse(
            pairs("GreatPeoples", "GreatPeople", "GreatPeopleType", "specialist", "bGreatPeople", 1, 1, 1, 1),
            94),
        sparse(pairs("Buildings", "Building", "BuildingType", "building", "bBuilding", 1, 1, 1, 2), 94),
        sparse(pairs("ForceBuildings", "ForceBuilding", "BuildingType", "building", "bForceBuilding", 1, 1, 1,
                   1),
            97),
        ref("HolyCity", "religion", 96), ref("ReligionType", "religion", 92),
        ref("StateReligion", "religion", 95), ref("PrereqReligion", "religion", 94),
        ref("PrereqCorporation", "corporation", 96), ref("PrereqBuilding", "building", 90),
        ref("PrereqTech", "tech", 8), set("TechTypes", "PrereqTech", "tech", 0, 2, 35),
        ref("BonusType", "bonus", 70), set("PrereqBonuses", "BonusType", "bonus", 0, 2, 30),
        sparse(pairs("ProductionTraits", "ProductionTrait", "ProductionTraitType", "trait",
                   "iProductionTrait", 25, 100, 1, 1),
            95),
        flavors(1, 3, 30), num("iAIWeight", 0, 20, 70), num("iCost", 15, 600),
        num("iHurryCostModifier", 0, 50, 85), num("iAdvancedStartCost", 10, 300, 10),
        num("iAdvancedStartCostIncrease", 0, 50, 70), num("iMinAreaSize", 0, 20, 80), num("iMoves", 1, 4),
        num("iAirRange", 0, 12, 90), num("iAirUnitCap", 0, 4, 92), num("iDropRange", 0, 8, 95),
        num("iNukeRange", -1, -1), num("iWorkRate", 0, 100, 85), num("iSpreadFactor", 0, 100, 90),
        num("iCombat", 0, 40, 10), num("iCombatLimit", 50, 100), num("iAirCombat", 0, 24, 90),
        num("iAirCombatLimit", 0, 100, 90), num("iXPValueAttack", 2, 6), num("iXPValueDefense", 1, 3),
        num("iFirstStrikes", 0, 2, 80), num("iChanceFirstStrikes", 0, 2, 85),
        num("iInterceptionProbability", 0, 100, 85), num("iEvasionProbability", 0, 100, 92),
        num("iWithdrawalProb", 0, 50, 75), num("iCollateralDamage", 0, 100, 85),
        num("iCollateralDamageLimit", 0, 100, 85), num("iCollateralDamageMaxUnits", 0, 8, 85),
        num("iCityAttack", 0, 100, 80), num("iCityDefense", 0, 100, 85), num("iAnimalCombat", 0, 100, 90),
        num("iHillsAttack", 0, 50, 90), num("iHillsDefense", 0, 50, 88),
        terrain_pairs("TerrainNatives", "TerrainNative", "bTerrainNative"),
        feature_pairs("FeatureNatives", "FeatureNative", "bFeatureNative"),
        terrain_pairs("TerrainAttacks", "TerrainAttack", "iTerrainAttack"),
        terrain_pairs("TerrainDefenses", "TerrainDefense", "iTerrainDefense"),
        feature_pairs("FeatureAttacks", "FeatureAttack", "iFeatureAttack"),
        feature_pairs("FeatureDefenses", "FeatureDefense", "iFeatureDefense"),
        terrain_pairs("TerrainImpassables", "TerrainImpassable", "bTerrainImpassable"),
        feature_pairs("FeatureImpassables", "FeatureImpassable", "bFeatureImpassable"),
        sparse(records("TerrainPassableTechs", "TerrainPassableTech", 1, 1,
                   {key("TerrainType", "terrain"), ref("PassableTech", "tech")}),
            97),
        sparse(pairs("UnitClassAttackMods", "UnitClassAttackMod", "UnitClassType", "unitclass",
                   "iUnitClassMod", 10, 100, 1, 2),
            88),
        sparse(pairs("UnitClassDefenseMods", "UnitClassDefenseMod", "UnitClassType", "unitclass",
                   "iUnitClassMod", 10, 100, 1, 2),
            92),
        sparse(pairs("UnitCombatMods", "UnitCombatMod", "UnitCombatType", "unitcombat", "iUnitCombatMod", 10,
                   100, 1, 2),
            70),
        sparse(pairs("UnitCombatCollateralImmunes", "UnitCombatCollateralImmune", "UnitCombatType",
                   "unitcombat", "iUnitCombatCollateralImmune", 1, 1, 1, 1),
            94),
        sparse(pairs("DomainMods", "DomainMod", "DomainType", "domain", "iDomainMod", 10, 50, 1, 1), 95),
        sparse(pairs("BonusProductionModifiers", "BonusProductionModifier", "BonusType", "bonus",
                   "iProductonModifier", 25, 100, 1, 1),
            94),
        num("iBombRate", 0, 20, 92), num("iBombardRate", 0, 16, 88), fixed("SpecialCargo", "NONE"),
        fixed("DomainCargo", "NONE"), num("iCargo", 0, 4, 88), num("iConscription", 0, 3, 88),
        num("iCultureGarrison", 0, 9, 60), num("iExtraCost", 0, 2, 92), num("iAsset", 0, 9, 30),
        num("iPower", 0, 60, 20),
        object("UnitMeshGroups",
            {num("iGroupSize", 1, 3), real("fMaxSpeed", 150, 300), real("fPadTime", 50, 100),
                num("iMeleeWaveSize", 1, 3), num("iRangedWaveSize", 0, 3, 50),
                records("", "UnitMeshGroup", 1, 2,
                    {num("iRequired", 1, 3), key_text("EarlyArtDefineTag", "ART_DEF_"),
                        key_text("LateArtDefineTag", "ART_DEF_"),
                        key_text("MiddleArtDefineTag", "ART_DEF_")})}),
        fixed("FormationType", "FORMATION_TYPE_DEFAULT"), fixed("HotKey", ""), flag("bAltDown", 3),
        flag("bShiftDown", 3), flag("bCtrlDown", 3), num("iHotKeyPriority", 0, 2, 80),
        sparse(pairs("FreePromotions", "FreePromotion", "PromotionType", "promotion", "bFreePromotion", 1, 1,
                   1, 2),
            80),
        ref("LeaderPromotion", "promotion", 96), num("iLeaderExperience", 0, 10, 94),
        num("iOrderPriority", 0, 100, 50), art("Button", "Art/Interface/Buttons/Units/{}.dds")};
}

Fields unit_class_info()
{
    return {key("Type", "unitclass"), key_text("Description", "TXT_KEY_"),
        num("iMaxGlobalInstances", -1, 4, 0), num("iMaxTeamInstances", -1, -1),
        num("iMaxPlayerInstances", -1, 4), num("iInstanceCostModifier", 0, 20, 90),
        same("DefaultUnit", "unit")};
}

Fields promotion_info()
{
    return described("Type", "promotion")
        + Fields{fixed("Sound", "AS2D_IF_LEVELUP"), fixed("LayerAnimationPath", "NONE"),
            ref("PromotionPrereq", "promotion", 60), ref("PromotionPrereqOr1", "promotion", 80),
            ref("PromotionPrereqOr2", "promotion", 90), ref("TechPrereq", "tech", 70),
            ref("StateReligionPrereq", "religion", 95)}
    + flags({"bLeader", "bBlitz", "bAmphib", "bRiver", "bEnemyRoute", "bAlwaysHeal", "bHillsDoubleMove",
                "bImmuneToFirstStrikes"},
        5)
        + nums({"iVisibilityChange", "iMovesChange", "iMoveDiscountChange", "iAirRangeChange",
                   "iInterceptChange", "iEvasionChange", "iWithdrawalChange", "iCargoChange",
                   "iCollateralDamageChange", "iBombardRateChange", "iFirstStrikesChange",
                   "iChanceFirstStrikesChange", "iEnemyHealChange", "iNeighborHealChange",
                   "iSameTileHealChange"},
            1, 25, 85)
        + Fields{num("iCombatPercent", 10, 25, 60), num("iCityAttack", 10, 25, 80),
            num("iCityDefense", 10, 25, 80), num("iHillsAttack", 10, 25, 85),
            num("iHillsDefense", 10, 25, 85), num("iKamikazePercent", 0, 50, 97),
            num("iRevoltProtection", 0, 50, 95), num("iCollateralDamageProtection", 0, 100, 90),
            num("iPillageChange", 0, 50, 95), num("iUpgradeDiscount", 0, 50, 95),
            num("iExperiencePercent", 0, 100, 95),
            terrain_pairs("TerrainAttacks", "TerrainAttack", "iTerrainAttack"),
            terrain_pairs("TerrainDefenses", "TerrainDefense", "iTerrainDefense"),
            feature_pairs("FeatureAttacks", "FeatureAttack", "iFeatureAttack"),
            feature_pairs("FeatureDefenses", "FeatureDefense", "iFeatureDefense"),
            sparse(pairs("UnitCombatMods", "UnitCombatMod", "UnitCombatType", "unitcombat", "iUnitCombatMod",
                       10, 50, 1, 1),
                90),
            sparse(pairs("DomainMods", "DomainMod", "DomainType", "domain", "iDomainMod", 10, 50, 1, 1), 95),
            terrain_pairs("TerrainDoubleMoves", "TerrainDoubleMove", "bTerrainDoubleMove"),
            feature_pairs("FeatureDoubleMoves", "FeatureDoubleMove", "bFeatureDoubleMove"),
            pairs("UnitCombats", "UnitCombat", "UnitCombatType", "unitcombat", "bUnitCombat", 1, 1, 1, 5)}
    + hotkey()
        + Fields{num("iOrderPriority", 0, 20), art("Button", "Art/Interface/Buttons/Promotions/{}.dds")};
}

Fields build_info()
{
    return Fields{key("Type", "build"), key_text("Description", "TXT_KEY_"),
               key_text("Help", "TXT_KEY_", "_HELP"), ref("PrereqTech", "tech", 30),
               num("iTime", 0, 1000, 10), num("iCost", 0, 100, 80), flag("bKill", 10),
               ref("ImprovementType", "improvement", 20), ref("RouteType", "route", 85),
               fixed("EntityEvent", "ENTITY_EVENT_BUILD"),
               sparse(records("FeatureStructs", "FeatureStruct", 1, 3,
                          {key("FeatureType", "feature"), ref("PrereqTech", "tech", 50), num("iTime", 0, 500),
                              num("iProduction", 0, 40, 50), flag("bRemove", 70)}),
                   40)}
    + hotkey() + Fields{art("Button", "Art/Interface/Buttons/Builds/{}.dds")};
}

Fields mission_info()
{
    return Fields{key("Type", "mission"), key_text("Description", "TXT_KEY_"),
               key_text("Help", "TXT_KEY_", "_HELP"), fixed("Waypoint", "NONE"), num("iTime", 0, 20),
               flag("bSound", 30), flag("bTarget", 30), flag("bBuild", 10), flag("bVisible", 80),
               fixed("EntityEventType", "ENTITY_EVENT_NONE")}
    + hotkey() + Fields{art("Button", "Art/Interface/Buttons/Actions/{}.dds")};
}

Fields building_info()
{
    return Fields{same("BuildingClass", "buildingclass"), key("Type", "building"),
               ref("SpecialBuildingType", "specialbuilding", 85), key_text("Description", "TXT_KEY_"),
               key_text("Civilopedia", "TXT_KEY_", "_PEDIA"), key_text("Strategy", "TXT_KEY_", "_STRATEGY"),
               fixed("Help", ""), ref("Advisor", "advisor"), key_text("ArtDefineTag", "ART_DEF_"),
               fixed("MovieDefineTag", "NONE"), ref("HolyCity", "religion", 95),
               ref("ReligionType", "religion", 90), ref("StateReligion", "religion", 95),
               flag("bStateReligion", 3), ref("PrereqReligion", "religion", 92),
               ref("PrereqCorporation", "corporation", 97), ref("FoundsCorporation", "corporation", 97),
               ref("GlobalReligionCommerce", "religion", 96),
               ref("GlobalCorporationCommerce", "corporation", 97), ref("VictoryPrereq", "victory", 97),
               ref("FreeStartEra", "era", 95), ref("MaxStartEra", "era", 90), ref("ObsoleteTech", "tech", 70),
               ref("PrereqTech", "tech", 15), set("TechTypes", "PrereqTech", "tech", 0, 2, 20),
               ref("Bonus", "bonus", 80), set("PrereqBonuses", "BonusType", "bonus", 0, 2),
               sparse(pairs("ProductionTraits", "ProductionTrait", "ProductionTraitType", "trait",
                          "iProductionTrait", 50, 100, 1, 1),
                   90),
               sparse(pairs("HappinessTraits", "HappinessTrait", "HappinessTraitType", "trait",
                          "iHappinessTrait", 1, 2, 1, 1),
                   95),
               ref("NoBonus", "bonus", 97), ref("PowerBonus", "bonus", 95), ref("FreeBonus", "bonus", 90),
               num("iNumFreeBonuses", 0, 2, 90), ref("FreeBuilding", "building", 95),
               ref("FreePromotion", "promotion", 95), ref("CivicOption", "civicoption", 95),
               ref("GreatPeopleUnitClass", "unitclass", 85), num("iGreatPeopleRateChange", 1, 3, 85),
               num("iHurryAngerModifier", 0, 50, 95)}
    + flags({"bBorderObstacle", "bTeamShare", "bWater", "bRiver", "bPower", "bDirtyPower", "bAreaCleanPower",
                "bDiploVote", "bForceTeamVoteElig", "bCapital", "bGovernmentCenter", "bGoldenAge",
                "bAllowsNukes", "bMapCentering", "bNoUnhappiness", "bNoUnhealthyPopulation",
                "bBuildingOnlyHealthy", "bNeverCapture", "bNukeImmune", "bPrereqReligion", "bCenterInCity"},
        4)
        + Fields{num("iAIWeight", 0, 30, 60), num("iCost", 30, 1200), num("iHurryCostModifier", 0, 50, 80),
            num("iAdvancedStartCost", 20, 300, 20), num("iAdvancedStartCostIncrease", 0, 50, 80),
            num("iMinAreaSize", -1, 10, 70), num("iConquestProb", 0, 100, 20), num("iCitiesPrereq", 0, 4, 90),
            num("iTeamsPrereq", 0, 2, 95), num("iLevelPrereq", 0, 3, 95), num("iMinLatitude", 0, 30, 90),
            num("iMaxLatitude", 90, 90)}
    + nums({"iGreatPeopleRateModifier", "iGreatGeneralRateModifier", "iDomesticGreatGeneralRateModifier",
               "iGlobalGreatPeopleRateModifier", "iAnarchyModifier", "iGoldenAgeModifier",
               "iGlobalHurryModifier", "iExperience", "iGlobalExperience", "iFoodKept", "iAirlift",
               "iAirModifier", "iAirUnitCapacity", "iNukeModifier", "iNukeExplosionRand", "iFreeSpecialist",
               "iAreaFreeSpecialist", "iGlobalFreeSpecialist", "iMaintenanceModifier",
               "iWarWearinessModifier", "iGlobalWarWearinessModifier", "iEnemyWarWearinessModifier",
               "iHealRateChange", "iHealth", "iAreaHealth", "iGlobalHealth", "iHappiness", "iAreaHappiness",
               "iGlobalHappiness", "iStateReligionHappiness", "iWorkerSpeedModifier",
               "iMilitaryProductionModifier", "iSpaceProductionModifier", "iGlobalSpaceProductionModifier",
               "iTradeRoutes", "iCoastalTradeRoutes", "iGlobalTradeRoutes", "iTradeRouteModifier",
               "iForeignTradeRouteModifier", "iGlobalPopulationChange", "iFreeTechs", "iDefense",
               "iBombardDefense", "iAllCityDefense", "iEspionageDefense"},
        1, 50, 88)
        + Fields{num("iAsset", 0, 10, 30), num("iPower", 0, 10, 80), real("fVisibilityPriority", 100, 150)}
    + yields({"SeaPlotYieldChanges", "RiverPlotYieldChanges", "GlobalSeaPlotYieldChanges"}, 0, 1, 92)
        + yields({"YieldChanges"}, 0, 2, 85) + yields({"YieldModifiers"}, 0, 50, 75)
        + yields({"PowerYieldModifiers", "AreaYieldModifiers", "GlobalYieldModifiers"}, 0, 25, 95)
        + commerces({"CommerceChanges"}, 0, 3, 80) + commerces({"ObsoleteSafeCommerceChanges"}, 0, 3, 90)
        + commerces({"CommerceChangeDoubleTimes"}, 0, 1000, 95) + commerces({"CommerceModifiers"}, 0, 50, 75)
        + commerces({"GlobalCommerceModifiers", "SpecialistExtraCommerces", "StateReligionCommerces",
                        "CommerceHappinesses"},
            0, 2, 96)
        + Fields{sparse(pairs("ReligionChanges", "ReligionChange", "ReligionType", "religion",
                            "iReligionChange", 1, 1, 1, 1),
                     95),
            sparse(pairs("SpecialistCounts", "SpecialistCount", "SpecialistType", "specialist",
                       "iSpecialistCount", 1, 2, 1, 2),
                70),
            sparse(pairs("FreeSpecialistCounts", "FreeSpecialistCount", "SpecialistType", "specialist",
                       "iFreeSpecialistCount", 1, 2, 1, 1),
                95),
            list("CommerceFlexibles", "bCommerceFlexible", 4, 0, 1, 97),
            list("CommerceChangeOriginalOwners", "bCommerceChangeOriginalOwner", 4, 0, 1, 95),
            key_text("ConstructSound", "AS2D_BUILD_")}
    + hotkey()
        + Fields{num("iOrderPriority", 0, 20),
            sparse(pairs("BonusHealthChanges", "BonusHealthChange", "BonusType", "bonus", "iHealthChange", 1,
                       2, 1, 2),
                90),
            sparse(pairs("BonusHappinessChanges", "BonusHappinessChange", "BonusType", "bonus",
                       "iHappinessChange", 1, 2, 1, 2),
                90),
            sparse(pairs("BonusProductionModifiers", "BonusProductionModifier", "BonusType", "bonus",
                       "iProductonModifier", 25, 100, 1, 1),
                88),
            sparse(pairs("UnitCombatFreeExperiences", "UnitCombatFreeExperience", "UnitCombatType",
                       "unitcombat", "iExperience", 2, 4, 1, 2),
                96),
            sparse(pairs("DomainFreeExperiences", "DomainFreeExperience", "DomainType", "domain",
                       "iExperience", 2, 4, 1, 1),
                96),
            sparse(pairs("DomainProductionModifiers", "DomainProductionModifier", "DomainType", "domain",
                       "iProductionModifier", 25, 50, 1, 1),
                98),
            sparse(pairs("BuildingHappinessChanges", "BuildingHappinessChange", "BuildingType", "building",
                       "iHappinessChange", 1, 2, 1, 1),
                97),
            sparse(pairs("PrereqBuildingClasses", "PrereqBuildingClass", "BuildingClassType", "buildingclass",
                       "iNumBuildingNeeded", 1, 3, 1, 1),
                90),
            sparse(pairs("BuildingClassNeededs", "BuildingClassNeeded", "BuildingClassType", "buildingclass",
                       "bNeededInCity", 1, 1, 1, 1),
                82),
            sparse(records("SpecialistYieldChanges", "SpecialistYieldChange", 1, 1,
                       {key("SpecialistType", "specialist"), list("YieldChanges", "iYield", 3, 0, 2, 0)}),
                97),
            sparse(records("BonusYieldModifiers", "BonusYieldModifier", 1, 1,
                       {key("BonusType", "bonus"), list("YieldModifiers", "iYield", 3, 0, 50, 0)}),
                97),
            sparse(pairs("ImprovementFreeSpecialists", "ImprovementFreeSpecialist", "ImprovementType",
                       "improvement", "iFreeSpecialistCount", 1, 1, 1, 1),
                98),
            flavors(1, 3, 10), art("Button", "Art/Interface/Buttons/Buildings/{}.dds")};
}

Fields building_class_info()
{
    return {key("Type", "buildingclass"), key_text("Description", "TXT_KEY_"),
        num("iMaxGlobalInstances", -1, 1), num("iMaxTeamInstances", -1, -1),
        num("iMaxPlayerInstances", -1, 1), num("iExtraPlayerInstances", 0, 1, 95), flag("bNoLimit", 3),
        flag("bMonument", 3), same("DefaultBuilding", "building"),
        sparse(pairs("VictoryThresholds", "VictoryThreshold", "VictoryType", "victory", "iThreshold", 1, 3, 1,
                   1),
            97)};
}

Fields tech_info()
{
    return described("Type", "tech")
        + Fields{key_text("Help", "TXT_KEY_", "_HELP"), key_text("Strategy", "TXT_KEY_", "_STRATEGY"),
            ref("Advisor", "advisor"), num("iAIWeight", 0, 20, 70), num("iAITradeModifier", 0, 20, 50),
            num("iCost", 50, 9000), num("iAdvancedStartCost", 50, 400),
            num("iAdvancedStartCostIncrease", 0, 30), ref("Era", "era"),
            ref("FirstFreeUnitClass", "unitclass", 90)}
    + nums({"iFeatureProductionModifier", "iWorkerSpeedModifier", "iTradeRoutes", "iHealth", "iHappiness",
               "iFirstFreeTechs"},
        1, 50, 92)
        + Fields{num("iAsset", 1, 10), num("iPower", 0, 10, 80), flag("bRepeat", 1), flag("bTrade", 90),
            flag("bDisable", 2), flag("bGoodyTech", 20)}
    + flags({"bExtraWaterSeeFrom", "bMapCentering", "bMapVisible", "bMapTrading", "bTechTrading",
                "bGoldTrading", "bOpenBordersTrading", "bDefensivePactTrading", "bPermanentAllianceTrading",
                "bVassalStateTrading", "bBridgeBuilding", "bIrrigation", "bIgnoreIrrigation", "bWaterWork",
                "bRiverTrade"},
        3)
        + Fields{num("iGridX", 1, 60), num("iGridY", 1, 20),
            sparse(pairs("DomainExtraMoves", "DomainExtraMove", "DomainType", "domain", "iExtraMoves", 1, 1,
                       1, 1),
                96),
            list("CommerceFlexible", "bFlexible", 4, 0, 1, 95),
            sparse(
                pairs("TerrainTrades", "TerrainTrade", "TerrainType", "terrain", "bTerrainTrade", 1, 1, 1, 1),
                96),
            flavors(1, 3, 5), sparse(set("OrPreReqs", "PrereqTech", "tech", 1, 3), 15),
            sparse(set("AndPreReqs", "PrereqTech", "tech", 1, 2), 40),
            commerces({"SpecialistExtraCommerces"}, 0, 1, 97)[0], key_text("Quote", "TXT_KEY_", "_QUOTE"),
            fixed("Sound", "AS2D_TECH_GENERIC"), fixed("SoundMP", "AS2D_TECH_MP"),
            art("Button", "Art/Interface/Buttons/TechTree/{}.dds")};
}

Fields terrain_info()
{
    return described("Type", "terrain")
        + Fields{key_text("ArtDefineTag", "ART_DEF_"), list("Yields", "iYield", 3, 0, 3, 0),
            list("RiverYieldChange", "iYield", 3, 0, 1, 50), list("HillsYieldChange", "iYield", 3, 0, 1, 50),
            flag("bWater", 20), flag("bImpassable", 10), flag("bFound", 80), flag("bFoundCoast", 20),
            flag("bFoundFreshWater", 10), num("iMovement", 1, 3), num("iSeeFrom", 1, 2),
            num("iHealthPercent", 0, 50, 80), num("iDefense", 0, 50, 50), num("iBuildModifier", 0, 50, 60),
            footsteps(), key_text("WorldSoundscapeAudioScript", "ASSS_"),
            art("Button", "Art/Interface/Buttons/WorldBuilder/{}.dds")};
}

Fields feature_info()
{
    return described("Type", "feature")
        + Fields{key_text("ArtDefineTag", "ART_DEF_"), list("YieldChanges", "iYieldChange", 3, -1, 1, 40),
            list("RiverYieldChange", "iYield", 3, 0, 1, 80), list("HillsYieldChange", "iYield", 3, 0, 1, 80),
            num("iMovement", 1, 3), num("iSeeThrough", 0, 1), num("iHealthPercent", -50, 50, 50),
            num("iAppearance", 0, 1000), num("iDisappearance", 0, 100, 70), num("iGrowth", 0, 50, 60),
            num("iDefense", 0, 50, 50), num("iAdvancedStartRemoveCost", 0, 50, 60),
            num("iTurnDamage", 0, 20, 90)}
    + flags({"bNoCoast", "bNoRiver", "bNoAdjacent", "bRequiresFlatlands", "bRequiresRiver", "bAddsFreshWater",
                "bImpassable", "bNoCity", "bNoImprovement", "bVisibleAlways", "bNukeImmune"},
        10)
        + Fields{fixed("OnUnitChangeTo", "NONE"),
            pairs("TerrainBooleans", "TerrainBoolean", "TerrainType", "terrain", "bTerrain", 1, 1, 1, 3),
            footsteps(), key_text("WorldSoundscapeAudioScript", "ASSS_"),
            art("Button", "Art/Interface/Buttons/WorldBuilder/{}.dds")};
}

Fields bonus_info()
{
    return described("Type", "bonus")
        + Fields{ref("BonusClassType", "bonusclass"), key_text("ArtDefineTag", "ART_DEF_"),
            ref("TechReveal", "tech", 20), ref("TechCityTrade", "tech", 20), ref("TechObsolete", "tech", 90),
            list("YieldChanges", "iYieldChange", 3, 0, 2, 30), num("iAITradeModifier", 0, 30, 50),
            num("iAIObjective", 0, 5, 80), num("iHealth", 0, 1, 60), num("iHappiness", 0, 1, 60),
            num("iMinAreaSize", 0, 10, 60), num("iMinLatitude", 0, 40, 60), num("iMaxLatitude", 50, 90),
            num("iPlacementOrder", -1, 10), num("iConstAppearance", 50, 100),
            num("iMinLandPercent", 0, 50, 80), num("iUnique", 0, 6, 30), num("iGroupRange", 0, 2, 60),
            num("iGroupRand", 0, 50, 60),
            object("Rands",
                {num("iRandApp1", 0, 25, 50), num("iRandApp2", 0, 25, 50), num("iRandApp3", 0, 25, 80),
                    num("iRandApp4", 0, 25, 90)}),
            num("iPlayer", 0, 100, 40), num("iTilesPer", 0, 64, 40)}
    + flags({"bOneArea", "bHills", "bFlatlands", "bNoRiverSide", "bNormalize"}, 20)
        + Fields{sparse(pairs("TerrainBooleans", "TerrainBoolean", "TerrainType", "terrain", "bTerrain", 1, 1,
                            1, 3),
                     20),
            sparse(
                pairs("FeatureBooleans", "FeatureBoolean", "FeatureType", "feature", "bFeature", 1, 1, 1, 2),
                60),
            sparse(pairs("FeatureTerrainBooleans", "FeatureTerrainBoolean", "TerrainType", "terrain",
                       "bFeatureTerrain", 1, 1, 1, 2),
                60),
            art("Button", "Art/Interface/Buttons/WorldBuilder/{}.dds")};
}

Fields improvement_info()
{
    return described("Type", "improvement")
        + Fields{key_text("ArtDefineTag", "ART_DEF_"), list("PrereqNatureYields", "iYield", 3, 0, 1, 80),
            list("YieldChanges", "iYield", 3, 0, 2, 30), list("RiverSideYieldChange", "iYield", 3, 0, 1, 80),
            list("HillsYieldChange", "iYield", 3, 0, 1, 80),
            list("IrrigatedYieldChange", "iYield", 3, 0, 1, 90)}
    + flags({"bHillsMakesValid", "bFreshWaterMakesValid", "bRiverSideMakesValid", "bNoFreshWater",
                "bRequiresFlatlands", "bRequiresRiverSide", "bRequiresIrrigation", "bCarriesIrrigation",
                "bRequiresFeature", "bWater", "bGoody", "bPermanent", "bUseLSystem", "bOutsideBorders"},
        10)
        + Fields{num("iTilesPerGoody", 0, 40, 90), num("iGoodyRange", 0, 4, 90),
            num("iFeatureGrowth", 0, 50, 90), num("iUpgradeTime", 0, 20, 60),
            num("iAirBombDefense", 0, 20, 90), num("iDefenseModifier", 0, 50, 80),
            num("iHappiness", 0, 1, 90), num("iPillageGold", 0, 20),
            ref("ImprovementPillage", "improvement", 70), ref("ImprovementUpgrade", "improvement", 80),
            sparse(pairs("TerrainMakesValids", "TerrainMakesValid", "TerrainType", "terrain", "bMakesValid",
                       1, 1, 1, 4),
                20),
            sparse(pairs("FeatureMakesValids", "FeatureMakesValid", "FeatureType", "feature", "bMakesValid",
                       1, 1, 1, 2),
                70),
            sparse(records("BonusTypeStructs", "BonusTypeStruct", 1, 4,
                       {key("BonusType", "bonus"), flag("bBonusMakesValid", 80), flag("bBonusTrade", 80),
                           num("iDiscoverRand", 0, 10000, 60),
                           list("YieldChanges", "iYieldChange", 3, 0, 2, 40)}),
                50),
            sparse(records("TechYieldChanges", "TechYieldChange", 1, 2,
                       {key("PrereqTech", "tech"), list("TechYields", "iYield", 3, 0, 1, 0)}),
                60),
            sparse(records("RouteYieldChanges", "RouteYieldChange", 1, 1,
                       {key("RouteType", "route"), list("RouteYields", "iYield", 3, 0, 1, 0)}),
                85),
            key_text("WorldSoundscapeAudioScript", "ASSS_"),
            art("Button", "Art/Interface/Buttons/Improvements/{}.dds")};
}

Fields yield_info()
{
    return Fields{key("Type", "yield"), key_text("Description", "TXT_KEY_")}
    + nums({"iHillsChange", "iPeakChange", "iLakeChange", "iCityChange", "iPopulationChangeOffset",
               "iPopulationChangeDivisor", "iMinCity", "iTradeModifier", "iGoldenAgeYield",
               "iGoldenAgeYieldThreshold", "iAIWeightPercent"},
        -1, 3, 40)
        + Fields{key_text("ColorType", "COLOR_")};
}

Fields civilization_info()
{
    return Fields{key("Type", "civ"), key_text("Description", "TXT_KEY_", "_DESC"),
        key_text("ShortDescription", "TXT_KEY_", "_SHORT_DESC"),
        key_text("Adjective", "TXT_KEY_", "_ADJECTIVE"), key_text("Civilopedia", "TXT_KEY_", "_PEDIA"),
        ref("DefaultPlayerColor", "colorval"), key_text("ArtDefineTag", "ART_DEF_"),
        ref("ArtStyleType", "artstyle"), ref("UnitArtStyleType", "artstyle"), flag("bPlayable", 90),
        flag("bAIPlayable", 90), set("Cities", "City", "cityname", 5, 30),
        sparse(records("Buildings", "Building", 1, 3,
                   {key("BuildingClassType", "buildingclass"), ref("BuildingType", "building")}),
            30),
        sparse(
            records("Units", "Unit", 1, 2, {key("UnitClassType", "unitclass"), ref("UnitType", "unit")}), 30),
        pairs("FreeUnitClasses", "FreeUnitClass", "UnitClassType", "unitclass", "iFreeUnits", 1, 2, 1, 2),
        sparse(pairs("FreeBuildingClasses", "FreeBuildingClass", "BuildingClassType", "buildingclass",
                   "bFreeBuildingClass", 1, 1, 1, 1),
            50),
        pairs("FreeTechs", "FreeTech", "TechType", "tech", "bFreeTech", 1, 1, 1, 2),
        sparse(pairs("DisableTechs", "DisableTech", "TechType", "tech", "bDisable", 1, 1, 1, 1), 90),
        set("InitialCivics", "CivicType", "civic", 5, 5),
        pairs("Leaders", "Leader", "LeaderName", "leader", "bLeaderAvailability", 1, 1, 1, 3),
        key_text("CivilizationSelectionSound", "AS3D_", "_SELECT"),
        key_text("CivilizationActionSound", "AS3D_", "_ORDER"),
        art("Button", "Art/Interface/Buttons/Civs/{}.dds")};
}

Fields leader_head_info()
{
    return described("Type", "leader")
        + Fields{key_text("ArtDefineTag", "ART_DEF_"), num("iWonderConstructRand", 0, 50),
            num("iBaseAttitude", -1, 2, 40), num("iBasePeaceWeight", 0, 10)}
    + nums(
        {"iPeaceWeightRand", "iWarmongerRespect", "iEspionageWeight", "iRefuseToTalkWarThreshold",
            "iNoTechTradeThreshold", "iTechTradeKnownPercent", "iMaxGoldTradePercent",
            "iMaxGoldPerTurnTradePercent", "iMaxWarRand", "iMaxWarNearbyPowerRatio",
            "iMaxWarDistantPowerRatio", "iMaxWarMinAdjacentLandPercent", "iLimitedWarRand",
            "iLimitedWarPowerRatio", "iDogpileWarRand", "iMakePeaceRand", "iDeclareWarTradeRand",
            "iDemandRebukedSneakProb", "iDemandRebukedWarProb", "iRazeCityProb", "iBuildUnitProb",
            "iBaseAttackOddsChange", "iAttackOddsChangeRand", "iWorseRankDifferenceAttitudeChange",
            "iBetterRankDifferenceAttitudeChange", "iCloseBordersAttitudeChange", "iLostWarAttitudeChange",
            "iAtWarAttitudeDivisor", "iAtWarAttitudeChangeLimit", "iAtPeaceAttitudeDivisor",
            "iAtPeaceAttitudeChangeLimit", "iSameReligionAttitudeChange", "iSameReligionAttitudeDivisor",
            "iSameReligionAttitudeChangeLimit", "iDifferentReligionAttitudeChange",
            "iDifferentReligionAttitudeDivisor", "iDifferentReligionAttitudeChangeLimit",
            "iBonusTradeAttitudeDivisor", "iBonusTradeAttitudeChangeLimit", "iOpenBordersAttitudeDivisor",
            "iOpenBordersAttitudeChangeLimit", "iDefensivePactAttitudeDivisor",
            "iDefensivePactAttitudeChangeLimit", "iShareWarAttitudeChange", "iShareWarAttitudeDivisor",
            "iShareWarAttitudeChangeLimit", "iFavoriteCivicAttitudeChange", "iFavoriteCivicAttitudeDivisor",
            "iFavoriteCivicAttitudeChangeLimit", "iVassalPowerModifier", "iFreedomAppreciation"},
        -2, 100, 20)
        + Fields{ref("DemandTributeAttitudeThreshold", "attitude"),
            ref("NoGiveHelpAttitudeThreshold", "attitude"), ref("TechRefuseAttitudeThreshold", "attitude"),
            ref("StrategicBonusRefuseAttitudeThreshold", "attitude"),
            ref("HappinessBonusRefuseAttitudeThreshold", "attitude"),
            ref("HealthBonusRefuseAttitudeThreshold", "attitude"),
            ref("MapRefuseAttitudeThreshold", "attitude"),
            ref("DeclareWarRefuseAttitudeThreshold", "attitude"),
            ref("OpenBordersRefuseAttitudeThreshold", "attitude"),
            ref("DefensivePactRefuseAttitudeThreshold", "attitude"),
            ref("PermanentAllianceRefuseAttitudeThreshold", "attitude"), ref("FavoriteCivic", "civic"),
            ref("FavoriteReligion", "religion", 50),
            pairs("Traits", "Trait", "TraitType", "trait", "bTrait", 1, 1, 2, 2), flavors(2, 3, 0),
            pairs("ContactRands", "ContactRand", "ContactType", "contact", "iContactRand", 1, 100, 8, 14),
            pairs("ContactDelays", "ContactDelay", "ContactType", "contact", "iContactDelay", 5, 50, 8, 14),
            pairs("MemoryDecays", "MemoryDecay", "MemoryType", "memory", "iMemoryRand", 1, 100, 10, 18),
            pairs("MemoryAttitudePercents", "MemoryAttitudePercent", "MemoryType", "memory",
                "iMemoryAttitudePercent", -200, 100, 2, 6),
            pairs("NoWarAttitudeProbs", "NoWarAttitudeProb", "AttitudeType", "attitude", "iNoWarProb", 0, 100,
                5, 5),
            sparse(pairs("UnitAIWeightModifiers", "UnitAIWeightModifier", "UnitAIType", "unitai",
                       "iWeightModifier", -50, 100, 1, 2),
                30),
            sparse(pairs("ImprovementWeightModifiers", "ImprovementWeightModifier", "ImprovementType",
                       "improvement", "iWeightModifier", 10, 100, 1, 2),
                30),
            records("DiplomacyIntroMusicPeace", "DiploMusicPeaceEra", 1, 1,
                {key("EraType", "era"), key_text("DiploScriptId", "AS2D_DIPLO_", "_INTRO")}),
            records("DiplomacyIntroMusicWar", "DiploMusicWarEra", 1, 1,
                {key("EraType", "era"), key_text("DiploScriptId", "AS2D_DIPLO_", "_WAR_INTRO")}),
            records("DiplomacyMusicPeace", "DiploMusicPeaceEra", 7, 7,
                {key("EraType", "era"), key_text("DiploScriptId", "AS2D_DIPLO_", "_PEACE")}),
            records("DiplomacyMusicWar", "DiploMusicWarEra", 1, 2,
                {key("EraType", "era"), key_text("DiploScriptId", "AS2D_DIPLO_", "_WAR")})};
}

Fields trait_info()
{
    return Fields{key("Type", "trait"), key_text("Description", "TXT_KEY_"),
               key_text("ShortDescription", "TXT_KEY_", "_SHORT")}
    + nums({"iHealth", "iHappiness", "iMaxAnarchy", "iUpkeepModifier", "iLevelExperienceModifier",
               "iGreatPeopleRateModifier", "iGreatGeneralRateModifier", "iDomesticGreatGeneralRateModifier",
               "iMaxGlobalBuildingProductionModifier", "iMaxTeamBuildingProductionModifier",
               "iMaxPlayerBuildingProductionModifier"},
        1, 100, 80)
        + yields({"ExtraYieldThresholds", "TradeYieldModifiers"}, 0, 2, 80)
        + commerces({"CommerceChanges"}, 0, 2, 90) + commerces({"CommerceModifiers"}, 0, 100, 80)
        + Fields{sparse(pairs("FreePromotions", "FreePromotion", "PromotionType", "promotion",
                            "bFreePromotion", 1, 1, 1, 2),
                     50),
            sparse(pairs("FreePromotionUnitCombats", "FreePromotionUnitCombat", "UnitCombatType",
                       "unitcombat", "bFreePromotionUnitCombat", 1, 1, 1, 3),
                50)};
}

Fields civic_info()
{
    return Fields{ref("CivicOptionType", "civicoption"), key("Type", "civic"),
               key_text("Description", "TXT_KEY_"), key_text("Civilopedia", "TXT_KEY_", "_PEDIA"),
               key_text("Strategy", "TXT_KEY_", "_STRATEGY"), ref("TechPrereq", "tech", 10),
               num("iAnarchyLength", 0, 2), ref("Upkeep", "upkeep"), num("iAIWeight", 0, 20, 60)}
    + nums({"iGreatPeopleRateModifier", "iGreatGeneralRateModifier", "iDomesticGreatGeneralRateModifier",
               "iStateReligionGreatPeopleRateModifier", "iDistanceMaintenanceModifier",
               "iNumCitiesMaintenanceModifier", "iCorporationMaintenanceModifier", "iExtraHealth",
               "iFreeExperience", "iWorkerSpeedModifier", "iImprovementUpgradeRateModifier",
               "iMilitaryProductionModifier", "iBaseFreeUnits", "iBaseFreeMilitaryUnits",
               "iFreeUnitsPopulationPercent", "iFreeMilitaryUnitsPopulationPercent", "iGoldPerUnit",
               "iGoldPerMilitaryUnit", "iHappyPerMilitaryUnit", "iMaxConscript", "iLargestCityHappiness",
               "iWarWearinessModifier", "iFreeSpecialist", "iTradeRoutes", "iCivicPercentAnger",
               "iStateReligionHappiness", "iNonStateReligionHappiness",
               "iStateReligionUnitProductionModifier", "iStateReligionBuildingProductionModifier",
               "iStateReligionFreeExperience", "iExpInBorderModifier"},
        -25, 100, 85)
        + flags(
            {"bMilitaryFoodProduction", "bNoUnhealthyPopulation", "bBuildingOnlyHealthy", "bNoForeignTrade",
                "bNoCorporations", "bNoForeignCorporations", "bStateReligion", "bNoNonStateReligionSpread"},
            8)
        + yields({"YieldModifiers", "CapitalYieldModifiers", "TradeYieldModifiers"}, 0, 100, 85)
        + commerces({"CommerceModifiers", "CapitalCommerceModifiers", "SpecialistExtraCommerces"}, 0, 100, 85)
        + Fields{sparse(pairs("Hurrys", "Hurry", "HurryType", "hurry", "bHurry", 1, 1, 1, 1), 80),
            sparse(pairs("SpecialBuildingNotRequireds", "SpecialBuildingNotRequired", "SpecialBuildingType",
                       "specialbuilding", "bNotRequired", 1, 1, 1, 1),
                90),
            sparse(pairs("SpecialistValids", "SpecialistValid", "SpecialistType", "specialist", "bValid", 1,
                       1, 1, 2),
                80),
            sparse(pairs("BuildingHappinessChanges", "BuildingHappinessChange", "BuildingType", "building",
                       "iHappinessChange", 1, 2, 1, 1),
                85),
            sparse(pairs("BuildingHealthChanges", "BuildingHealthChange", "BuildingType", "building",
                       "iHealthChange", 1, 2, 1, 1),
                90),
            sparse(pairs("FeatureHappinessChanges", "FeatureHappinessChange", "FeatureType", "feature",
                       "iHappinessChange", 1, 1, 1, 1),
                92),
            sparse(
                records("ImprovementYieldChanges", "ImprovementYieldChange", 1, 2,
                    {key("ImprovementType", "improvement"), list("ImprovementYields", "iYield", 3, 0, 1, 0)}),
                80),
            fixed("WeLoveTheKing", ""), art("Button", "Art/Interface/Buttons/Civics/{}.dds")};
}

Fields era_info()
{
    return Fields{key("Type", "era"), key_text("Description", "TXT_KEY_"),
               key_text("Strategy", "TXT_KEY_", "_STRATEGY")}
    + flags({"bNoGoodies", "bNoAnimals", "bNoBarbUnits", "bNoBarbCities"}, 15)
        + nums({"iAdvancedStartPoints", "iStartingUnitMultiplier", "iStartingDefenseUnits",
                   "iStartingWorkerUnits", "iStartingExploreUnits", "iFreePopulation", "iStartPercent",
                   "iGrowthPercent", "iTrainPercent", "iConstructPercent", "iCreatePercent",
                   "iResearchPercent", "iBuildPercent", "iImprovementPercent", "iGreatPeoplePercent",
                   "iAnarchyPercent", "iEventChancePerTurn", "iSoundtrackSpace"},
            0, 300, 20)
        + Fields{flag("bFirstSoundtrackFirst", 30),
            set("EraInfoSoundtracks", "EraInfoSoundtrack", "script2d", 2, 8),
            records("CitySoundscapes", "CitySoundscape", 3, 3,
                {key("CitySizeType", "citysize"), key_text("SoundscapeScript", "ASSS_")}),
            fixed("AudioUnitVictoryScript", "AS2D_UNIT_VICTORY"),
            fixed("AudioUnitDefeatScript", "AS2D_UNIT_DEFEAT")};
}

Fields specialist_info()
{
    return described("Type", "specialist")
        + Fields{key_text("Strategy", "TXT_KEY_", "_STRATEGY"),
            art("Button", "Art/Interface/Buttons/Citizens/{}.dds"), flag("bVisible", 80),
            ref("GreatPeopleUnitClass", "unitclass", 50), num("iGreatPeopleRateChange", 0, 3),
            num("iMissionType", -1, -1), list("Yields", "iYield", 3, 0, 2, 30),
            list("Commerces", "iCommerce", 4, 0, 3, 20), num("iExperience", 0, 2, 70), flavors(1, 2, 30),
            fixed("Texture", "")};
}

Fields handicap_info()
{
    return Fields{key("Type", "handicap"), key_text("Description", "TXT_KEY_"),
               key_text("Help", "TXT_KEY_", "_HELP")}
    + nums(
        {"iFreeWinsVsBarbs", "iAnimalAttackProb", "iStartingLocPercent", "iAdvancedStartPointsMod",
            "iStartingGold", "iFreeUnits", "iUnitCostPercent", "iResearchPercent",
            "iDistanceMaintenancePercent", "iNumCitiesMaintenancePercent", "iMaxNumCitiesMaintenance",
            "iColonyMaintenancePercent", "iMaxColonyMaintenance", "iCorporationMaintenancePercent",
            "iCivicUpkeepPercent", "iInflationPercent", "iHealthBonus", "iHappyBonus", "iAttitudeChange",
            "iNoTechTradeModifier", "iTechTradeKnownModifier", "iUnownedTilesPerGameAnimal",
            "iUnownedTilesPerBarbarianUnit", "iUnownedWaterTilesPerBarbarianUnit",
            "iUnownedTilesPerBarbarianCity", "iBarbarianCityCreationTurnsElapsed",
            "iBarbarianCityCreationProb", "iAnimalBonus", "iBarbarianBonus", "iAIAnimalBonus",
            "iAIBarbarianBonus", "iStartingDefenseUnits", "iStartingWorkerUnits", "iStartingExploreUnits",
            "iAIStartingUnitMultiplier", "iAIStartingDefenseUnits", "iAIStartingWorkerUnits",
            "iAIStartingExploreUnits", "iBarbarianDefenders", "iAIDeclareWarProb", "iAIWorkRateModifier",
            "iAIGrowthPercent", "iAITrainPercent", "iAIWorldTrainPercent", "iAIConstructPercent",
            "iAIWorldConstructPercent", "iAICreatePercent", "iAIWorldCreatePercent", "iAICivicUpkeepPercent",
            "iAIUnitCostPercent", "iAIUnitSupplyPercent", "iAIUnitUpgradePercent", "iAIInflationPercent",
            "iAIWarWearinessPercent", "iAIPerEraModifier", "iAIAdvancedStartPercent"},
        -10, 150, 10)
        + Fields{set("Goodies", "GoodyType", "goody", 6, 12),
            sparse(pairs("FreeTechs", "FreeTech", "TechType", "tech", "bFreeTech", 1, 1, 1, 2), 60),
            sparse(pairs("AIFreeTechs", "FreeTech", "TechType", "tech", "bFreeTech", 1, 1, 1, 2), 50)};
}

Fields game_speed_info()
{
    return Fields{key("Type", "gamespeed"), key_text("Description", "TXT_KEY_"),
               key_text("Help", "TXT_KEY_", "_HELP")}
    + nums(
        {"iGrowthPercent", "iTrainPercent", "iConstructPercent", "iCreatePercent", "iResearchPercent",
            "iBuildPercent", "iImprovementPercent", "iGreatPeoplePercent", "iAnarchyPercent", "iBarbPercent",
            "iFeatureProductionPercent", "iUnitDiscoverPercent", "iUnitHurryPercent", "iUnitTradePercent",
            "iUnitGreatWorkPercent", "iGoldenAgePercent", "iHurryPercent", "iHurryConscriptAngerPercent",
            "iInflationOffset", "iInflationPercent", "iVictoryDelayPercent"},
        50, 300, 0)
        + Fields{records("GameTurnInfos", "GameTurnInfo", 3, 8,
            {num("iMonthIncrement", 1, 50), num("iTurnsPerIncrement", 10, 200)})};
}

Fields world_info()
{
    return Fields{key("Type", "worldsize"), key_text("Description", "TXT_KEY_"),
               key_text("Help", "TXT_KEY_", "_HELP")}
    + nums({"iDefaultPlayers", "iUnitNameModifier", "iTargetNumCities", "iNumFreeBuildingBonuses",
               "iBuildingClassPrereqModifier", "iMaxConscriptModifier", "iWarWearinessModifier", "iGridWidth",
               "iGridHeight", "iTerrainGrainChange", "iFeatureGrainChange", "iResearchPercent",
               "iTradeRouteModifier", "iDistanceMaintenancePercent", "iNumCitiesMaintenancePercent",
               "iColonyMaintenancePercent", "iCorporationMaintenancePercent", "iNumCitiesAnarchyPercent",
               "iAdvancedStartPointsMod"},
        -20, 150, 0);
}

Fields religion_info()
{
    return described("Type", "religion")
        + Fields{key_text("Adjective", "TXT_KEY_", "_ADJECTIVE"), ref("TechPrereq", "tech"),
            ref("FreeUnitClass", "unitclass"), num("iFreeUnits", 0, 2), num("iSpreadFactor", 50, 100),
            commerces({"GlobalReligionCommerces"}, 0, 1, 40)[0],
            commerces({"HolyCityCommerces"}, 0, 2, 60)[0], commerces({"StateReligionCommerces"}, 0, 1, 70)[0],
            art("Button", "Art/Interface/Buttons/Religions/{}.dds"),
            art("TechButton", "Art/Interface/Buttons/TechTree/{}.dds"), fixed("GenericTechButton", ""),
            fixed("MovieFile", ""), fixed("MovieSound", ""), key_text("Sound", "AS2D_FOUND_")};
}

Fields corporation_info()
{
    return described("Type", "corporation")
        + Fields{ref("TechPrereq", "tech"), ref("FreeUnitClass", "unitclass"), num("iSpreadFactor", 50, 100),
            num("iSpreadCost", 50, 300), num("iMaintenance", 0, 300),
            commerces({"HeadquarterCommerces"}, 0, 4, 0)[0],
            list("CommercesProduced", "iCommerceProduced", 4, 0, 50, 50),
            list("YieldsProduced", "iYieldProduced", 3, 0, 50, 50),
            set("PrereqBonuses", "BonusType", "bonus", 2, 4), ref("BonusProduced", "bonus", 50),
            art("Button", "Art/Interface/Buttons/Corporations/{}.dds"), fixed("MovieFile", ""),
            fixed("MovieSound", ""), key_text("Sound", "AS2D_FOUND_")};
}

Fields culture_level_info()
{
    return {key("Type", "culturelevel"), key_text("Description", "TXT_KEY_"),
        num("iCityDefenseModifier", 0, 100),
        pairs("SpeedThresholds", "SpeedThreshold", "GameSpeedType", "gamespeed", "iThreshold", 10, 50000, 4,
            4)};
}

Fields diplomacy_info()
{
    return {key("Type", "diplomacy"),
        records("Responses", "Response", 1, 4,
            {sparse(pairs("Civilizations", "Civilization", "CivilizationType", "civ", "bCivilizationType", 1,
                        1, 1, 1),
                 80),
                sparse(pairs("Leaders", "Leader", "LeaderType", "leader", "bLeaderType", 1, 1, 1, 2), 70),
                sparse(
                    pairs("Attitudes", "Attitude", "AttitudeType", "attitude", "bAttitudeType", 1, 1, 1, 2),
                    50),
                sparse(pairs("DiplomacyPowers", "DiplomacyPower", "DiplomacyPowerType", "diplomacypower",
                           "bDiplomacyPowerType", 1, 1, 1, 1),
                    70),
                set("DiplomacyText", "Text", "diplotext", 1, 6)})};
}

Fields goody_info()
{
    return Fields{
               key("Type", "goody"), key_text("Description", "TXT_KEY_"), fixed("Sound", "AS2D_GOODY_GOLD")}
    + nums({"iGold", "iGoldRand1", "iGoldRand2", "iMapOffset", "iMapRange", "iMapProb", "iExperience",
               "iHealing", "iDamagePrereq", "iBarbarianUnitProb", "iMinBarbarians"},
        0, 100, 60)
        + Fields{ref("UnitClass", "unitclass", 70), ref("BarbarianUnitClass", "unitclass", 80),
            flag("bTech", 10), flag("bBad", 20)};
}

Fields option_info(const std::string& pool)
{
    return {key("Type", pool), key_text("Description", "TXT_KEY_"), key_text("Help", "TXT_KEY_", "_HELP"),
        flag("bDefault", 30), flag("bVisible", 90)};
}

Fields project_info()
{
    return described("Type", "project")
        + Fields{key_text("Strategy", "TXT_KEY_", "_STRATEGY"), ref("VictoryPrereq", "victory", 50),
            ref("TechPrereq", "tech"), ref("AnyoneProjectPrereq", "project", 80),
            num("iMaxGlobalInstances", -1, 1), num("iMaxTeamInstances", -1, 5), num("iCost", 100, 2000),
            num("iNukeInterception", 0, 75, 90), num("iTechShare", 0, 5, 90),
            num("iEveryoneSpecialUnit", 0, 1, 95), flag("bSpaceship", 30), flag("bAllowsNukes", 5),
            sparse(pairs("PrereqProjects", "PrereqProject", "ProjectType", "project", "iNeeded", 1, 2, 1, 2),
                60),
            sparse(pairs("VictoryThresholds", "VictoryThreshold", "VictoryType", "victory", "iThreshold", 1,
                       5, 1, 1),
                70),
            sparse(pairs("VictoryMinThresholds", "VictoryMinThreshold", "VictoryType", "victory",
                       "iThreshold", 1, 5, 1, 1),
                80),
            sparse(pairs("BonusProductionModifiers", "BonusProductionModifier", "BonusType", "bonus",
                       "iProductonModifier", 25, 100, 1, 1),
                80),
            fixed("CreateSound", "AS2D_PROJECT_COMPLETED"),
            art("Button", "Art/Interface/Buttons/Projects/{}.dds")};
}

Fields event_info()
{
    return Fields{key("Type", "event"), key_text("Description", "TXT_KEY_"),
               key_text("LocalInfoText", "TXT_KEY_", "_LOCAL"),
               sparse(set("WorldNewsTexts", "Text", "uitext", 1, 1), 80), fixed("OtherPlayerPopup", ""),
               fixed("QuestFailText", "")}
    + flags({"bQuest", "bGlobal", "bTeam", "bPickCity", "bPickOtherPlayerCity", "bDeclareWar", "bGoldenAge",
                "bDisbandUnit"},
        5)
        + Fields{num("iGold", -100, 200, 40), num("iRandomGold", 0, 100, 80)}
    + nums({"iCulture", "iEspionagePoints", "iFreeUnitSupport", "iInflationMod", "iSpaceProductionMod",
               "iTechPercent", "iTechCostPercent", "iTechMinTurnsLeft"},
        1, 50, 85)
        + Fields{ref("Tech", "tech", 90), ref("PrereqTech", "tech", 90), ref("UnitClass", "unitclass", 85),
            num("iNumFreeUnits", 0, 2, 85), num("iUnitExperience", 0, 10, 90),
            num("iUnitImmobileTurns", 0, 3, 95), ref("UnitPromotion", "promotion", 90), fixed("UnitName", ""),
            sparse(records("UnitCombatPromotions", "UnitCombatPromotion", 1, 1,
                       {key("UnitCombat", "unitcombat"), ref("UnitPromotion", "promotion")}),
                95),
            sparse(records("UnitClassPromotions", "UnitClassPromotion", 1, 1,
                       {key("UnitClass", "unitclass"), ref("UnitPromotion", "promotion")}),
                95),
            ref("BuildingClass", "buildingclass", 90), num("iBuildingChange", -1, 1, 90),
            sparse(pairs("BuildingExtraHappies", "BuildingExtraHappy", "BuildingClass", "buildingclass",
                       "iHappy", 1, 2, 1, 1),
                94),
            sparse(pairs("BuildingExtraHealths", "BuildingExtraHealth", "BuildingClass", "buildingclass",
                       "iHealth", 1, 2, 1, 1),
                96),
            sparse(records("BuildingExtraYields", "BuildingExtraYield", 1, 1,
                       {key("BuildingClass", "buildingclass"), ref("YieldType", "yield"),
                           num("iExtraYield", 1, 2)}),
                94),
            sparse(records("BuildingExtraCommerces", "BuildingExtraCommerce", 1, 2,
                       {ref("BuildingClass", "buildingclass"), ref("CommerceType", "commerce"),
                           num("iExtraCommerce", 1, 3)}),
                93)}
    + nums({"iHappy", "iHealth", "iHurryAnger", "iHappyTurns", "iRevoltTurns", "iMinPillage", "iMaxPillage",
               "iFood", "iFoodPercent"},
        -2, 10, 85)
        + Fields{sparse(pairs("FreeSpecialistCounts", "FreeSpecialistCount", "SpecialistType", "specialist",
                            "iFreeSpecialistCount", 1, 2, 1, 1),
                     96),
            ref("FeatureType", "feature", 90), num("iFeaturePercent", 0, 100, 90),
            ref("BonusType", "bonus", 90), ref("ImprovementType", "improvement", 90),
            num("iImprovementChange", -1, 1, 90), ref("RouteType", "route", 95),
            ref("BonusRevealed", "bonus", 95), ref("BonusGift", "bonus", 95)}
    + nums({"iConvertOwnCities", "iConvertOtherCities", "iMaxNumReligions", "iOurAttitudeModifier",
               "iAttitudeModifier", "iTheirEnemyAttitudeModifier", "iPopulationChange", "iRevolutionTicks"},
        -1, 3, 88)
        + Fields{
            sparse(pairs("AdditionalEvents", "EventChance", "Event", "event", "iEventChance", 10, 100, 1, 2),
                70),
            sparse(pairs("ClearEvents", "EventChance", "Event", "event", "iEventChance", 100, 100, 1, 1), 85),
            sparse(
                pairs("PlotExtraYields", "PlotExtraYield", "YieldType", "yield", "iExtraYield", 1, 2, 1, 1),
                95),
            sparse(pairs("TechFlavors", "TechFlavor", "FlavorType", "flavor", "iFlavor", 1, 5, 1, 1), 95),
            fixed("PythonCallback", ""), fixed("PythonExpireCheck", ""), fixed("PythonCanDo", ""),
            fixed("PythonHelp", ""), art("Button", "Art/Interface/Buttons/Events/{}.dds")};
}

Fields event_trigger_info()
{
    return Fields{key("Type", "eventtrigger"), sparse(set("WorldNewsTexts", "Text", "uitext", 1, 3), 20),
               sparse(records("TriggerTexts", "TriggerText", 1, 3,
                          {ref("Text", "uitext"), ref("Era", "era", 50)}),
                   20),
               flag("bSinglePlayer", 10), num("iPercentGamesActive", 50, 100), num("iWeight", -1, 500),
               flag("bProbabilityUnitMultiply", 20), flag("bProbabilityBuildingMultiply", 20),
               ref("Civic", "civic", 90)}
    + nums({"iMinTreasury", "iMinPopulation", "iMaxPopulation", "iMinMapLandmass", "iMinOurLandmass",
               "iMaxOurLandmass", "iAngry", "iUnhealthy"},
        -1, 20, 80)
        + Fields{ref("MinDifficulty", "handicap", 80),
            sparse(set("UnitsRequired", "UnitClass", "unitclass", 1, 2), 70), num("iNumUnits", 0, 2, 70),
            num("iNumUnitsGlobal", 0, 2, 90), num("iUnitDamagedWeight", 0, 100, 90),
            num("iUnitDistanceWeight", 0, 100, 90), num("iUnitExperienceWeight", 0, 100, 90),
            flag("bUnitsOnPlot", 20),
            sparse(set("BuildingsRequired", "BuildingClass", "buildingclass", 1, 2), 75),
            num("iNumBuildings", 0, 2, 75), num("iNumBuildingsGlobal", 0, 2, 90),
            num("iNumPlotsRequired", 0, 4, 70), flag("bOwnPlot", 40), num("iPlotType", -1, 2),
            set("FeaturesRequired", "FeatureType", "feature", 0, 2, 30),
            set("TerrainsRequired", "TerrainType", "terrain", 0, 2),
            set("ImprovementsRequired", "ImprovementType", "improvement", 0, 3, 30),
            set("BonusesRequired", "BonusType", "bonus", 0, 2, 20),
            set("RoutesRequired", "RouteType", "route", 0, 1, 30),
            sparse(set("ReligionsRequired", "ReligionType", "religion", 1, 2), 85),
            num("iNumReligions", 0, 2, 85),
            sparse(set("CorporationsRequired", "CorporationType", "corporation", 1, 1), 95),
            num("iNumCorporations", 0, 1, 95), flag("bPickReligion", 5), flag("bStateReligion", 5),
            flag("bHolyCity", 5), flag("bPickCorporation", 3), flag("bHeadquarters", 3),
            sparse(set("OrPreReqs", "PrereqTech", "tech", 1, 3), 60),
            sparse(set("AndPreReqs", "PrereqTech", "tech", 1, 2), 90),
            sparse(set("ObsoleteTechs", "ObsoleteTech", "tech", 1, 2), 65),
            set("Events", "Event", "event", 1, 4), sparse(set("PrereqEvents", "Event", "event", 1, 1), 88),
            flag("bPrereqEventPlot", 5), num("iOtherPlayerShareBorders", 0, 1, 90),
            ref("OtherPlayerHasTech", "tech", 95), flag("bOtherPlayerWar", 5),
            flag("bOtherPlayerHasReligion", 5), flag("bOtherPlayerHasOtherReligion", 5),
            flag("bOtherPlayerAI", 5), flag("bPickPlayer", 10), flag("bPickOtherPlayerCity", 5),
            flag("bShowPlot", 50), num("iCityFoodWeight", 0, 10, 90), fixed("PythonCanDo", ""),
            fixed("PythonCanDoCity", ""), fixed("PythonCanDoUnit", ""), fixed("PythonCallback", "")};
}

Fields art_unit()
{
    return {key_text("Type", "ART_DEF_"), art("Button", "Art/Interface/Buttons/Units/{}.dds"),
        real("fScale", 30, 100), real("fInterfaceScale", 50, 150), flag("bActAsLand", 5),
        flag("bActAsAir", 5), art("NIF", "Art/Units/{}/{}.nif"), art("KFM", "Art/Units/{}/{}.kfm"),
        art("SHADERNIF", "Art/Units/{}/{}_FX.nif"),
        object("ShadowDef",
            {fixed("ShadowNIF", "Art/Units/01_UnitShadows/UnitShadow.nif"),
                fixed("ShadowAttachNode", "BIP Pelvis"), real("fShadowScale", 50, 150)}),
        num("iDamageStates", 0, 3), real("fBattleDistance", 20, 50), real("fRangedDeathTime", 0, 100),
        flag("bActAsRanged", 30), fixed("TrainSound", "AS2D_UNIT_BUILD_UNIT"),
        object(
            "AudioRunSounds", {key_text("AudioRunTypeLoop", "AS3D_", "_RUN"), fixed("AudioRunTypeEnd", "")}),
        key_text("SelectionSound", "AS3D_", "_SELECT"), key_text("ActionSound", "AS3D_", "_ORDER")};
}

Fields art_building()
{
    return {key_text("Type", "ART_DEF_"), flag("bAnimated", 10),
        art("Button", "Art/Interface/Buttons/Buildings/{}.dds"),
        art("NIF", "Art/Structures/Buildings/{}/{}.nif"), fixed("KFM", ""), fixed("LSystem", "LSYSTEM_1x1"),
        real("fScale", 50, 150), real("fInterfaceScale", 50, 150), num("iPlacementOrder", 0, 3, 70)};
}

Fields art_improvement()
{
    return {key_text("Type", "ART_DEF_"), flag("bExtraAnimations", 10), real("fScale", 50, 150),
        real("fInterfaceScale", 50, 150), art("NIF", "Art/Terrain/Improvements/{}/{}.nif"),
        art("Button", "Art/Interface/Buttons/Improvements/{}.dds")};
}

Fields art_leaderhead()
{
    return {key_text("Type", "ART_DEF_"), art("Button", "Art/Interface/Buttons/Leaderheads/{}.dds"),
        art("NIF", "Art/LeaderHeads/{}/{}.nif"), art("KFM", "Art/LeaderHeads/{}/{}.kfm"),
        fixed("NoShadeNIF", ""), art("BackgroundKFM", "Art/LeaderHeads/{}/{}_Bg.kfm")};
}

Fields sound_data()
{
    return {key("SoundID", "sound"), art("Filename", "Sounds/{}"), ref("LoadType", "loadtype"),
        flag("bIsCompressed", 80), flag("bInGeneric", 60)};
}

Fields script_2d_sound()
{
    return Fields{key("ScriptID", "script2d"), ref("SoundID", "sound"), ref("SoundType", "soundtype")}
    + nums({"iMinVolume", "iMaxVolume", "iPitchChangeDown", "iPitchChangeUp", "iMinLeftPan", "iMaxLeftPan",
               "iMinRightPan", "iMaxRightPan"},
        0, 100, 30)
        + Fields{flag("bLooping", 10), num("iMinTimeDelay", 0, 1000, 80), num("iMaxTimeDelay", 0, 3000, 80),
            flag("bTaperForSoundtracks", 10), num("iLengthOfSound", 0, 20000, 50),
            real("fMinDryLevel", 100, 100), real("fMaxDryLevel", 100, 100), real("fMinWetLevel", 0, 0),
            real("fMaxWetLevel", 0, 50), num("iNotPlayPercent", 0, 50, 90)};
}

Fields audio_defines()
{
    return {
        object("AudioSystemInit",
            {num("iSampleRate", 22050, 44100), num("iChannels", 2, 2), num("iMaxVoices", 32, 64),
                num("iMax3DVoices", 16, 32), flag("bHardwareMixing", 50), real("fDistanceFactor", 100, 100),
                real("fRolloffFactor", 50, 150), real("fDopplerFactor", 0, 100)}),
        table("SoundDatas", "SoundData", "sound", sound_data()),
        all("ContextTypes", "ContextType", "contexttype"), all("SoundTypes", "SoundType", "soundtype"),
        all("PositionTypes", "PositionType", "positiontype"), all("ScriptTypes", "ScriptType", "scripttype"),
        all("LoadTypes", "LoadType", "loadtype"), all("SpeakerConfigs", "SpeakerConfig", "speakerconfig"),
        all("EffectTypes", "EffectType", "effecttype"),
        all("GameEnvironmentTypes", "GameEnvironmentType", "gameenvironment"),
        records("Effects", "GameEnvironmentMap", 1, 1,
            {key("GameEnvironmentType", "gameenvironment"),
                object("ReverbData",
                    {num("iRoom", -1000, 0), num("iRoomHF", -1000, 0), real("fDecayTime", 10, 500),
                        real("fDecayHFRatio", 10, 200), num("iReflections", -2000, 0)}),
                ref("EffectType", "effecttype")})};
}

Fields define_value()
{
    return {key("DefineName", "define"),
        one_of(
            {num("iDefineIntVal", 0, 100), num("iDefineIntVal", -10, 1000), real("fDefineFloatVal", 0, 500),
                ref("DefineTextVal", "unit"), ref("DefineTextVal", "building")})};
}

Fields global_types()
{
    return {all("FlavorTypes", "FlavorType", "flavor"), all("ArtStyleTypes", "ArtStyleType", "artstyle"),
        all("CitySizeTypes", "CitySizeType", "citysize"), all("ContactTypes", "ContactType", "contact"),
        all("DiplomacyPowerTypes", "DiplomacyPowerType", "diplomacypower"),
        all("FootstepAudioTypes", "FootstepAudioType", "footstep")};
}

RecordFile recipe(const std::string& path, const std::string& root, const std::string& schema,
    const std::string& title, bool crlf, Fields fields, const std::string& declaration = kPlainDeclaration)
{
    return {path, root, schema, declaration, title, crlf, std::move(fields)};
}

// Record files of the common Civ4XInfos > XInfos > XInfo shape.
RecordFile infos(const std::string& path, const std::string& group, const std::string& pool,
    const std::string& schema, const std::string& title, bool crlf, Fields record)
{
    return recipe(path, "Civ4" + group + "s", schema, title, crlf,
        {table(group + "s", group, pool, std::move(record))});
}

std::vector<RecordFile> make_catalog()
{
    const std::string units = "CIV4UnitSchema.xml", buildings = "CIV4BuildingsSchema.xml",
                      techs = "CIV4TechnologiesSchema.xml", terrain = "CIV4TerrainSchema.xml",
                      civs = "CIV4CivilizationsSchema.xml", game = "CIV4GameInfoSchema.xml",
                      basic = "CIV4BasicInfoSchema.xml", events = "CIV4EventSchema.xml",
                      art_defines = "CIV4ArtDefinesSchema.xml", iface = "CIV4InterfaceSchema.xml",
                      defines = "CIV4GlobalDefinesSchema.xml";
    std::vector<RecordFile> c;
    c.push_back(
        infos("XML/Units/CIV4UnitInfos.xml", "UnitInfo", "unit", units, "Unit Infos", true, unit_info()));
    c.push_back(infos("XML/Units/CIV4UnitClassInfos.xml", "UnitClassInfo", "unitclass", units,
        "Unit Class Infos", false, unit_class_info()));
    c.push_back(infos("XML/Units/CIV4PromotionInfos.xml", "PromotionInfo", "promotion", units,
        "Promotion Infos", false, promotion_info()));
    c.push_back(infos(
        "XML/Units/CIV4BuildInfos.xml", "BuildInfo", "build", units, "Build Infos", true, build_info()));
    c.push_back(infos("XML/Units/CIV4MissionInfos.xml", "MissionInfo", "mission", units, "Mission Infos",
        false, mission_info()));
    c.push_back(infos("XML/Buildings/CIV4BuildingInfos.xml", "BuildingInfo", "building", buildings,
        "Building Infos", true, building_info()));
    c.push_back(infos("XML/Buildings/CIV4BuildingClassInfos.xml", "BuildingClassInfo", "buildingclass",
        buildings, "Building Class Infos", false, building_class_info()));
    c.push_back(infos(
        "XML/Technologies/CIV4TechInfos.xml", "TechInfo", "tech", techs, "Tech Infos", false, tech_info()));
    c.push_back(infos("XML/Terrain/CIV4TerrainInfos.xml", "TerrainInfo", "terrain", terrain, "Terrain Infos",
        true, terrain_info()));
    c.push_back(infos("XML/Terrain/CIV4FeatureInfos.xml", "FeatureInfo", "feature", terrain, "Feature Infos",
        true, feature_info()));
    c.push_back(infos(
        "XML/Terrain/CIV4BonusInfos.xml", "BonusInfo", "bonus", terrain, "Bonus Infos", false, bonus_info()));
    c.push_back(infos("XML/Terrain/CIV4BonusClassInfos.xml", "BonusClassInfo", "bonusclass", terrain,
        "Bonus Class Infos", false, {key("Type", "bonusclass"), num("iUnique", 0, 6)}));
    c.push_back(infos("XML/Terrain/CIV4ImprovementInfos.xml", "ImprovementInfo", "improvement", terrain,
        "Improvement Infos", false, improvement_info()));
    c.push_back(infos(
        "XML/Terrain/CIV4YieldInfos.xml", "YieldInfo", "yield", terrain, "Yield Infos", false, yield_info()));
    c.push_back(infos("XML/Civilizations/CIV4CivilizationInfos.xml", "CivilizationInfo", "civ", civs,
        "Civilization Infos", true, civilization_info()));
    c.push_back(infos("XML/Civilizations/CIV4LeaderHeadInfos.xml", "LeaderHeadInfo", "leader", civs,
        "Leader Head Infos", false, leader_head_info()));
    c.push_back(infos("XML/Civilizations/CIV4TraitInfos.xml", "TraitInfo", "trait", civs, "Trait Infos",
        false, trait_info()));
    c.push_back(infos(
        "XML/GameInfo/CIV4CivicInfos.xml", "CivicInfo", "civic", game, "Civic Infos", false, civic_info()));
    c.push_back(
        infos("XML/GameInfo/CIV4EraInfos.xml", "EraInfo", "era", game, "Era Infos", true, era_info()));
    c.push_back(infos("XML/GameInfo/CIV4SpecialistInfos.xml", "SpecialistInfo", "specialist", game,
        "Specialist Infos", false, specialist_info()));
    c.push_back(recipe("XML/GameInfo/CIV4HandicapInfo.xml", "Civ4HandicapInfo", game, "Handicap Infos", false,
        {table("HandicapInfos", "HandicapInfo", "handicap", handicap_info())}));
    c.push_back(recipe("XML/GameInfo/CIV4GameSpeedInfo.xml", "Civ4GameSpeedInfo", game, "Game Speed Infos",
        false, {table("GameSpeedInfos", "GameSpeedInfo", "gamespeed", game_speed_info())}));
    c.push_back(recipe("XML/GameInfo/CIV4WorldInfo.xml", "Civ4WorldInfo", game, "World Infos", true,
        {table("WorldInfos", "WorldInfo", "worldsize", world_info())}));
    c.push_back(
        recipe("XML/GameInfo/CIV4SeaLevelInfo.xml", "Civ4SeaLevelInfo", game, "Sea Level Infos", false,
            {table("SeaLevelInfos", "SeaLevelInfo", "sealevel",
                {key("Type", "sealevel"), key_text("Description", "TXT_KEY_"), num("iSeaLevelChange", -8, 8),
                    num("iResearchPercent", 90, 110)})},
            kUtf8Declaration));
    c.push_back(recipe("XML/GameInfo/CIV4ReligionInfo.xml", "Civ4ReligionInfo", game, "Religion Infos", false,
        {table("ReligionInfos", "ReligionInfo", "religion", religion_info())}));
    c.push_back(
        recipe("XML/GameInfo/CIV4CorporationInfo.xml", "Civ4CorporationInfo", game, "Corporation Infos",
            false, {table("CorporationInfos", "CorporationInfo", "corporation", corporation_info())}));
    c.push_back(recipe("XML/GameInfo/CIV4CommerceInfo.xml", "Civ4CommerceInfo", game, "Commerce Infos", false,
        {table("CommerceInfos", "CommerceInfo", "commerce",
            {key("Type", "commerce"), key_text("Description", "TXT_KEY_"), num("iInitialPercent", 0, 100),
                num("iInitialHappiness", 0, 2), num("iAIWeightPercent", 50, 150),
                flag("bFlexiblePercent", 70)})}));
    c.push_back(
        recipe("XML/GameInfo/CIV4CultureLevelInfo.xml", "Civ4CultureLevelInfo", game, "Culture Level Infos",
            true, {table("CultureLevelInfos", "CultureLevelInfo", "culturelevel", culture_level_info())}));
    c.push_back(recipe("XML/GameInfo/CIV4Hints.xml", "Civ4Hints", game, "Hints", false,
        {table("HintInfos", "HintInfo", "hint", {key("Description", "hint")})}));
    c.push_back(infos("XML/GameInfo/CIV4DiplomacyInfos.xml", "DiplomacyInfo", "diplomacy", game,
        "Diplomacy Infos", false, diplomacy_info()));
    c.push_back(recipe("XML/GameInfo/CIV4GoodyInfo.xml", "Civ4GoodyInfo", game, "Goody Infos", false,
        {table("GoodyInfos", "GoodyInfo", "goody", goody_info())}));
    c.push_back(infos("XML/GameInfo/CIV4GameOptionInfos.xml", "GameOptionInfo", "gameoption", game,
        "Game Option Infos", false, option_info("gameoption")));
    c.push_back(recipe("XML/GameInfo/CIV4ProjectInfo.xml", "Civ4ProjectInfo", game, "Project Infos", false,
        {table("ProjectInfos", "ProjectInfo", "project", project_info())}));
    c.push_back(infos(
        "XML/Events/CIV4EventInfos.xml", "EventInfo", "event", events, "Event Infos", false, event_info()));
    c.push_back(infos("XML/Events/CIV4EventTriggerInfos.xml", "EventTriggerInfo", "eventtrigger", events,
        "Event Trigger Infos", true, event_trigger_info()));
    c.push_back(infos("XML/BasicInfos/CIV4UnitAIInfos.xml", "UnitAIInfo", "unitai", basic, "Unit AI Infos",
        false, {key("Type", "unitai"), key_text("Description", "TXT_KEY_")}));
    c.push_back(infos("XML/BasicInfos/CIV4NewConceptInfos.xml", "NewConceptInfo", "newconcept", basic,
        "New Concept Infos", false, described("Type", "newconcept")));
    c.push_back(recipe("XML/Interface/CIV4ColorVals.xml", "Civ4ColorVals", iface, "Color Values", false,
        {table("ColorVals", "ColorVal", "colorval",
            {key("Type", "colorval"), real("fRed", 0, 100), real("fGreen", 0, 100), real("fBlue", 0, 100),
                real("fAlpha", 100, 100)})}));
    c.push_back(infos("XML/Interface/CIV4InterfaceModeInfos.xml", "InterfaceModeInfo", "interfacemode", iface,
        "Interface Mode Infos", false,
        Fields{key("Type", "interfacemode"), key_text("Description", "TXT_KEY_"),
            fixed("Cursor", "CURSOR_DEFAULT"), fixed("Mission", "NONE")}
            + hotkey()
            + Fields{flag("bVisible", 80), flag("bGotoPlot", 30), flag("bHighlightPlot", 30),
                flag("bSelectType", 10), flag("bSelectAll", 10),
                art("Button", "Art/Interface/Buttons/Actions/{}.dds")}));
    c.push_back(recipe("XML/Art/CIV4ArtDefines_Unit.xml", "Civ4ArtDefines", art_defines, "Unit Art Defines",
        false, {table("UnitArtInfos", "UnitArtInfo", "unit", art_unit())}));
    c.push_back(
        recipe("XML/Art/CIV4ArtDefines_Building.xml", "Civ4ArtDefines", art_defines, "Building Art Defines",
            false, {table("BuildingArtInfos", "BuildingArtInfo", "building", art_building())}));
    c.push_back(recipe("XML/Art/CIV4ArtDefines_Improvement.xml", "Civ4ArtDefines", art_defines,
        "Improvement Art Defines", true,
        {table("ImprovementArtInfos", "ImprovementArtInfo", "improvement", art_improvement())}));
    c.push_back(recipe("XML/Art/CIV4ArtDefines_Leaderhead.xml", "Civ4ArtDefines", art_defines,
        "Leaderhead Art Defines", false,
        {table("LeaderheadArtInfos", "LeaderheadArtInfo", "leader", art_leaderhead())}));
    c.push_back(recipe("XML/Art/CIV4ArtDefines_Interface.xml", "Civ4ArtDefines", art_defines,
        "Interface Art Defines", false,
        {table("InterfaceArtInfos", "InterfaceArtInfo", "interfaceart",
            {key("Type", "interfaceart"), art("Path", "Art/Interface/Screens/{}.dds")})}));
    c.push_back(
        recipe("XML/Art/CIV4ArtDefines_Misc.xml", "Civ4ArtDefines", art_defines, "Misc Art Defines", false,
            {table("MiscArtInfos", "MiscArtInfo", "miscart",
                {key("Type", "miscart"), art("Path", "Art/Misc/{}.dds"), real("fScale", 50, 150),
                    art("NIF", "Art/Misc/{}.nif"), fixed("KFM", "")})}));
    c.push_back(recipe("XML/Audio/AudioDefines.xml", "AudioDefines", "AudioDefinesSchema.xml",
        "Audio Defines", true, audio_defines()));
    c.push_back(recipe("XML/Audio/Audio2DScripts.xml", "Script2DSounds", "AudioScriptSchema.xml",
        "2D Audio Scripts", false, {table("", "Script2DSound", "script2d", script_2d_sound())}));
    c.push_back(recipe("XML/Misc/CIV4DetailManager.xml", "DetailManagerInfos", "CIV4DetailManagerSchema.xml",
        "Detail Manager", false,
        {table("", "Fader", "fader",
            {key("Name", "fader"), num("Key", 0, 100), real("Value", 0, 100), num("Key", 100, 200),
                real("Value", 0, 100)})},
        ""));
    c.push_back(recipe("XML/GlobalDefines.xml", "Civ4Defines", defines, "Global Defines", true,
        {table("", "Define", "define", define_value())}));
    c.push_back(
        recipe("XML/PythonCallbackDefines.xml", "Civ4Defines", defines, "Python Callback Defines", false,
            {table("", "Define", "define_python",
                {key("DefineName", "define_python"), num("iDefineIntVal", 0, 1)})}));
    c.push_back(recipe("XML/GlobalTypes.xml", "Civ4Types", "CIV4GlobalTypesSchema.xml", "Global Types", false,
        global_types()));
    return c;
}

} // namespace

const std::vector<RecordFile>& xml_catalog()
{
    static const std::vector<RecordFile> catalog = make_catalog();
    return catalog;
}

} // namespace velmora::gamegen
