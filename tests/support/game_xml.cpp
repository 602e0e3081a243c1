#include "support/game_xml.h"

namespace velmora::test {

std::string game_document(const std::string& root, const std::string& root_attributes,
    const std::string& body, Declaration declaration)
{
    std::string text;
    switch (declaration) {
    case Declaration::plain:
        text += "<?xml version=\"1.0\"?>\n";
        break;
    case Declaration::iso_8859_1:
        text += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
        break;
    case Declaration::utf_8:
        text += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        break;
    case Declaration::none:
        break;
    }
    text += "<!-- Velmora test data, written by hand -->\n"
            "<!-- Laid out like the game's own files -->\n"
            "<!-- -->\n"
            "<!-- "
        + root + " -->\n";
    text += "<" + root + (root_attributes.empty() ? "" : " " + root_attributes) + ">\n";
    text += body;
    text += "</" + root + ">\n";
    return text;
}

std::string crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string to_latin1(const std::string& utf8)
{
    std::string out;
    for (std::string::size_type i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80)
            out += utf8[i];
        else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            ++i;
        } else {
            out += '?';
            while (i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80)
                ++i;
        }
    }
    return out;
}

// Two units: one with mostly empty collections, one with every collection filled.
std::string unit_infos_xml()
{
    return crlf(game_document("Civ4UnitInfos", R"(xmlns="x-schema:CIV4UnitSchema.xml")", R"XML(	<UnitInfos>
		<UnitInfo>
			<Class>UNITCLASS_WARRIOR</Class>
			<Type>UNIT_WARRIOR</Type>
			<UniqueNames/>
			<Special>NONE</Special>
			<Capture>NONE</Capture>
			<Combat>UNITCOMBAT_MELEE</Combat>
			<Domain>DOMAIN_LAND</Domain>
			<DefaultUnitAI>UNITAI_ATTACK</DefaultUnitAI>
			<Invisible>NONE</Invisible>
			<SeeInvisible>NONE</SeeInvisible>
			<Description>TXT_KEY_UNIT_WARRIOR</Description>
			<Civilopedia>TXT_KEY_UNIT_WARRIOR_PEDIA</Civilopedia>
			<Strategy>TXT_KEY_UNIT_WARRIOR_STRATEGY</Strategy>
			<Advisor>ADVISOR_MILITARY</Advisor>
			<bAnimal>0</bAnimal>
			<bFood>0</bFood>
			<UnitClassUpgrades>
				<UnitClassUpgrade>
					<UnitClassUpgradeType>UNITCLASS_AXEMAN</UnitClassUpgradeType>
					<bUnitClassUpgrade>1</bUnitClassUpgrade>
				</UnitClassUpgrade>
				<UnitClassUpgrade>
					<UnitClassUpgradeType>UNITCLASS_SPEARMAN</UnitClassUpgradeType>
					<bUnitClassUpgrade>1</bUnitClassUpgrade>
				</UnitClassUpgrade>
			</UnitClassUpgrades>
			<UnitClassTargets/>
			<UnitCombatTargets/>
			<UnitClassDefenders/>
			<UnitCombatDefenders/>
			<FlankingStrikes/>
			<UnitAIs>
				<UnitAI>
					<UnitAIType>UNITAI_ATTACK</UnitAIType>
					<bUnitAI>1</bUnitAI>
				</UnitAI>
				<UnitAI>
					<UnitAIType>UNITAI_CITY_DEFENSE</UnitAIType>
					<bUnitAI>1</bUnitAI>
				</UnitAI>
			</UnitAIs>
			<NotUnitAIs/>
			<Builds/>
			<ReligionSpreads/>
			<CorporationSpreads/>
			<GreatPeoples/>
			<Buildings/>
			<ForceBuildings/>
			<PrereqBuilding>NONE</PrereqBuilding>
			<PrereqTech>NONE</PrereqTech>
			<TechTypes/>
			<BonusType>NONE</BonusType>
			<PrereqBonuses/>
			<ProductionTraits/>
			<Flavors/>
			<iAIWeight>0</iAIWeight>
			<iCost>15</iCost>
			<iMoves>1</iMoves>
			<iCombat>2</iCombat>
			<TerrainImpassables/>
			<FeatureImpassables/>
			<TerrainPassableTechs/>
			<FeaturePassableTechs/>
			<TerrainNatives/>
			<FeatureNatives/>
			<TerrainAttacks/>
			<TerrainDefenses/>
			<FeatureAttacks/>
			<FeatureDefenses/>
			<UnitClassAttackMods/>
			<UnitClassDefenseMods/>
			<UnitCombatMods/>
			<UnitCombatCollateralImmunes/>
			<DomainMods/>
			<BonusProductionModifiers/>
			<FreePromotions>
				<FreePromotion>
					<PromotionType>PROMOTION_CITY_GARRISON1</PromotionType>
					<bFreePromotion>1</bFreePromotion>
				</FreePromotion>
			</FreePromotions>
			<LeaderPromotion>NONE</LeaderPromotion>
			<UnitMeshGroups>
				<iGroupSize>3</iGroupSize>
				<fMaxSpeed>1.75</fMaxSpeed>
				<fPadTime>1</fPadTime>
				<iMeleeWaveSize>3</iMeleeWaveSize>
				<iRangedWaveSize>0</iRangedWaveSize>
				<UnitMeshGroup>
					<iRequired>3</iRequired>
					<EarlyArtDefineTag>ART_DEF_UNIT_WARRIOR</EarlyArtDefineTag>
				</UnitMeshGroup>
			</UnitMeshGroups>
			<FormationType>FORMATION_TYPE_DEFAULT</FormationType>
			<HotKey/>
			<iOrderPriority>0</iOrderPriority>
		</UnitInfo>
		<UnitInfo>
			<Class>UNITCLASS_KNIGHT</Class>
			<Type>UNIT_KNIGHT</Type>
			<UniqueNames>
				<UniqueName>TXT_KEY_UNIT_KNIGHT_NAME_1</UniqueName>
				<UniqueName>TXT_KEY_UNIT_KNIGHT_NAME_2</UniqueName>
			</UniqueNames>
			<Special>NONE</Special>
			<Capture>NONE</Capture>
			<Combat>UNITCOMBAT_MOUNTED</Combat>
			<Domain>DOMAIN_LAND</Domain>
			<DefaultUnitAI>UNITAI_ATTACK</DefaultUnitAI>
			<Invisible>NONE</Invisible>
			<SeeInvisible>NONE</SeeInvisible>
			<Description>TXT_KEY_UNIT_KNIGHT</Description>
			<Civilopedia>TXT_KEY_UNIT_KNIGHT_PEDIA</Civilopedia>
			<Strategy>TXT_KEY_UNIT_KNIGHT_STRATEGY</Strategy>
			<Advisor>ADVISOR_MILITARY</Advisor>
			<bAnimal>0</bAnimal>
			<bFood>0</bFood>
			<UnitClassUpgrades>
				<UnitClassUpgrade>
					<UnitClassUpgradeType>UNITCLASS_CUIRASSIER</UnitClassUpgradeType>
					<bUnitClassUpgrade>1</bUnitClassUpgrade>
				</UnitClassUpgrade>
			</UnitClassUpgrades>
			<UnitClassTargets>
				<UnitClassTarget>
					<UnitClassTargetType>UNITCLASS_CATAPULT</UnitClassTargetType>
					<bUnitClassTarget>1</bUnitClassTarget>
				</UnitClassTarget>
			</UnitClassTargets>
			<UnitCombatTargets>
				<UnitCombatTarget>
					<UnitCombatTargetType>UNITCOMBAT_SIEGE</UnitCombatTargetType>
					<bUnitCombatTarget>1</bUnitCombatTarget>
				</UnitCombatTarget>
			</UnitCombatTargets>
			<UnitClassDefenders>
				<UnitClassDefender>
					<UnitClassDefenderType>UNITCLASS_PIKEMAN</UnitClassDefenderType>
					<bUnitClassDefender>1</bUnitClassDefender>
				</UnitClassDefender>
			</UnitClassDefenders>
			<UnitCombatDefenders>
				<UnitCombatDefender>
					<UnitCombatDefenderType>UNITCOMBAT_MELEE</UnitCombatDefenderType>
					<bUnitCombatDefender>1</bUnitCombatDefender>
				</UnitCombatDefender>
			</UnitCombatDefenders>
			<FlankingStrikes>
				<FlankingStrike>
					<FlankingStrikeUnitClass>UNITCLASS_CATAPULT</FlankingStrikeUnitClass>
					<iFlankingStrength>100</iFlankingStrength>
				</FlankingStrike>
				<FlankingStrike>
					<FlankingStrikeUnitClass>UNITCLASS_TREBUCHET</FlankingStrikeUnitClass>
					<iFlankingStrength>100</iFlankingStrength>
				</FlankingStrike>
			</FlankingStrikes>
			<UnitAIs>
				<UnitAI>
					<UnitAIType>UNITAI_ATTACK</UnitAIType>
					<bUnitAI>1</bUnitAI>
				</UnitAI>
				<UnitAI>
					<UnitAIType>UNITAI_COUNTER</UnitAIType>
					<bUnitAI>1</bUnitAI>
				</UnitAI>
			</UnitAIs>
			<NotUnitAIs>
				<UnitAI>
					<UnitAIType>UNITAI_CITY_DEFENSE</UnitAIType>
					<bUnitAI>1</bUnitAI>
				</UnitAI>
			</NotUnitAIs>
			<Builds>
				<Build>
					<BuildType>BUILD_FORT</BuildType>
					<bBuild>0</bBuild>
				</Build>
			</Builds>
			<ReligionSpreads>
				<ReligionSpread>
					<ReligionType>RELIGION_CHRISTIANITY</ReligionType>
					<iReligionSpread>0</iReligionSpread>
				</ReligionSpread>
			</ReligionSpreads>
			<CorporationSpreads>
				<CorporationSpread>
					<CorporationType>CORPORATION_1</CorporationType>
					<iCorporationSpread>0</iCorporationSpread>
				</CorporationSpread>
			</CorporationSpreads>
			<GreatPeoples>
				<GreatPeople>
					<GreatPeopleType>SPECIALIST_GREAT_GENERAL</GreatPeopleType>
					<bGreatPeople>0</bGreatPeople>
				</GreatPeople>
			</GreatPeoples>
			<Buildings>
				<Building>
					<BuildingType>BUILDING_STABLE</BuildingType>
					<bBuilding>0</bBuilding>
				</Building>
			</Buildings>
			<ForceBuildings>
				<ForceBuilding>
					<BuildingType>BUILDING_STABLE</BuildingType>
					<bForceBuilding>0</bForceBuilding>
				</ForceBuilding>
			</ForceBuildings>
			<PrereqBuilding>NONE</PrereqBuilding>
			<PrereqTech>TECH_GUILDS</PrereqTech>
			<TechTypes>
				<PrereqTech>TECH_HORSEBACK_RIDING</PrereqTech>
				<PrereqTech>NONE</PrereqTech>
			</TechTypes>
			<BonusType>BONUS_HORSE</BonusType>
			<PrereqBonuses>
				<BonusType>BONUS_IRON</BonusType>
				<BonusType/>
				<BonusType>NONE</BonusType>
			</PrereqBonuses>
			<ProductionTraits>
				<ProductionTrait>
					<ProductionTraitType>TRAIT_AGGRESSIVE</ProductionTraitType>
					<iProductionTrait>25</iProductionTrait>
				</ProductionTrait>
			</ProductionTraits>
			<Flavors>
				<Flavor>
					<FlavorType>FLAVOR_MILITARY</FlavorType>
					<iFlavor>3</iFlavor>
				</Flavor>
			</Flavors>
			<iAIWeight>0</iAIWeight>
			<iCost>90</iCost>
			<iMoves>2</iMoves>
			<iCombat>10</iCombat>
			<TerrainImpassables>
				<TerrainImpassable>
					<TerrainType>TERRAIN_PEAK</TerrainType>
					<bTerrainImpassable>1</bTerrainImpassable>
				</TerrainImpassable>
			</TerrainImpassables>
			<FeatureImpassables>
				<FeatureImpassable>
					<FeatureType>FEATURE_ICE</FeatureType>
					<bFeatureImpassable>1</bFeatureImpassable>
				</FeatureImpassable>
			</FeatureImpassables>
			<TerrainPassableTechs>
				<TerrainPassableTech>
					<TerrainType>TERRAIN_PEAK</TerrainType>
					<PassableTech>TECH_ENGINEERING</PassableTech>
				</TerrainPassableTech>
			</TerrainPassableTechs>
			<FeaturePassableTechs>
				<FeaturePassableTech>
					<FeatureType>FEATURE_JUNGLE</FeatureType>
					<PassableTech>TECH_IRON_WORKING</PassableTech>
				</FeaturePassableTech>
			</FeaturePassableTechs>
			<TerrainNatives>
				<TerrainNative>
					<TerrainType>TERRAIN_PLAINS</TerrainType>
					<bTerrainNative>1</bTerrainNative>
				</TerrainNative>
			</TerrainNatives>
			<FeatureNatives>
				<FeatureNative>
					<FeatureType>FEATURE_FOREST</FeatureType>
					<bFeatureNative>1</bFeatureNative>
				</FeatureNative>
			</FeatureNatives>
			<TerrainAttacks>
				<TerrainAttack>
					<TerrainType>TERRAIN_GRASS</TerrainType>
					<iTerrainAttack>10</iTerrainAttack>
				</TerrainAttack>
			</TerrainAttacks>
			<TerrainDefenses>
				<TerrainDefense>
					<TerrainType>TERRAIN_DESERT</TerrainType>
					<iTerrainDefense>10</iTerrainDefense>
				</TerrainDefense>
			</TerrainDefenses>
			<FeatureAttacks>
				<FeatureAttack>
					<FeatureType>FEATURE_FOREST</FeatureType>
					<iFeatureAttack>-10</iFeatureAttack>
				</FeatureAttack>
			</FeatureAttacks>
			<FeatureDefenses>
				<FeatureDefense>
					<FeatureType>FEATURE_JUNGLE</FeatureType>
					<iFeatureDefense>-10</iFeatureDefense>
				</FeatureDefense>
			</FeatureDefenses>
			<UnitClassAttackMods>
				<UnitClassAttackMod>
					<UnitClassType>UNITCLASS_CATAPULT</UnitClassType>
					<iUnitClassMod>50</iUnitClassMod>
				</UnitClassAttackMod>
			</UnitClassAttackMods>
			<UnitClassDefenseMods>
				<UnitClassDefenseMod>
					<UnitClassType>UNITCLASS_CATAPULT</UnitClassType>
					<iUnitClassMod>50</iUnitClassMod>
				</UnitClassDefenseMod>
			</UnitClassDefenseMods>
			<UnitCombatMods>
				<UnitCombatMod>
					<UnitCombatType>UNITCOMBAT_ARCHER</UnitCombatType>
					<iUnitCombatMod>25</iUnitCombatMod>
				</UnitCombatMod>
			</UnitCombatMods>
			<UnitCombatCollateralImmunes>
				<UnitCombatCollateralImmune>
					<UnitCombatType>UNITCOMBAT_MOUNTED</UnitCombatType>
					<iUnitCombatCollateralImmune>1</iUnitCombatCollateralImmune>
				</UnitCombatCollateralImmune>
			</UnitCombatCollateralImmunes>
			<DomainMods>
				<DomainMod>
					<DomainType>DOMAIN_LAND</DomainType>
					<iDomainMod>0</iDomainMod>
				</DomainMod>
			</DomainMods>
			<BonusProductionModifiers>
				<BonusProductionModifier>
					<BonusType>BONUS_HORSE</BonusType>
					<iProductonModifier>25</iProductonModifier>
				</BonusProductionModifier>
			</BonusProductionModifiers>
			<FreePromotions/>
			<LeaderPromotion>NONE</LeaderPromotion>
			<UnitMeshGroups>
				<iGroupSize>2</iGroupSize>
				<fMaxSpeed>2.5</fMaxSpeed>
				<fPadTime>1</fPadTime>
				<iMeleeWaveSize>2</iMeleeWaveSize>
				<iRangedWaveSize>0</iRangedWaveSize>
				<UnitMeshGroup>
					<iRequired>1</iRequired>
					<EarlyArtDefineTag>ART_DEF_UNIT_KNIGHT</EarlyArtDefineTag>
				</UnitMeshGroup>
				<UnitMeshGroup>
					<iRequired>1</iRequired>
					<EarlyArtDefineTag>ART_DEF_UNIT_KNIGHT_BANNER</EarlyArtDefineTag>
					<LateArtDefineTag>ART_DEF_UNIT_KNIGHT_BANNER</LateArtDefineTag>
				</UnitMeshGroup>
			</UnitMeshGroups>
			<FormationType>FORMATION_TYPE_MOUNTED</FormationType>
			<HotKey/>
			<iOrderPriority>0</iOrderPriority>
		</UnitInfo>
	</UnitInfos>
)XML",
        Declaration::plain));
}

// A building whose record starts with BuildingClass, not Type.
std::string building_infos_xml()
{
    return game_document("Civ4BuildingInfos", R"(xmlns="x-schema:CIV4BuildingsSchema.xml")",
        R"XML(	<BuildingInfos>
		<BuildingInfo>
			<BuildingClass>BUILDINGCLASS_FORGE</BuildingClass>
			<Type>BUILDING_FORGE</Type>
			<SpecialBuildingType>NONE</SpecialBuildingType>
			<Description>TXT_KEY_BUILDING_FORGE</Description>
			<Civilopedia>TXT_KEY_BUILDING_FORGE_PEDIA</Civilopedia>
			<Strategy>TXT_KEY_BUILDING_FORGE_STRATEGY</Strategy>
			<Advisor>ADVISOR_ECONOMY</Advisor>
			<ArtDefineTag>ART_DEF_BUILDING_FORGE</ArtDefineTag>
			<MovieDefineTag>NONE</MovieDefineTag>
			<HolyCity>NONE</HolyCity>
			<ReligionType>NONE</ReligionType>
			<StateReligion>NONE</StateReligion>
			<bStateReligion>0</bStateReligion>
			<PrereqReligion>NONE</PrereqReligion>
			<PrereqCorporation>NONE</PrereqCorporation>
			<FoundsCorporation>NONE</FoundsCorporation>
			<GlobalReligionCommerce>NONE</GlobalReligionCommerce>
			<GlobalCorporationCommerce>NONE</GlobalCorporationCommerce>
			<VictoryPrereq>NONE</VictoryPrereq>
			<FreeStartEra>NONE</FreeStartEra>
			<MaxStartEra>NONE</MaxStartEra>
			<ObsoleteTech>NONE</ObsoleteTech>
			<PrereqTech>TECH_METAL_CASTING</PrereqTech>
			<TechTypes>
				<PrereqTech>TECH_BRONZE_WORKING</PrereqTech>
			</TechTypes>
			<Bonus>NONE</Bonus>
			<PrereqBonuses>
				<BonusType>BONUS_COPPER</BonusType>
				<BonusType>BONUS_IRON</BonusType>
			</PrereqBonuses>
			<ProductionTraits>
				<ProductionTrait>
					<ProductionTraitType>TRAIT_INDUSTRIOUS</ProductionTraitType>
					<iProductionTrait>100</iProductionTrait>
				</ProductionTrait>
			</ProductionTraits>
			<HappinessTraits>
				<HappinessTrait>
					<HappinessTraitType>TRAIT_CREATIVE</HappinessTraitType>
					<iHappinessTrait>1</iHappinessTrait>
				</HappinessTrait>
			</HappinessTraits>
			<NoBonus>NONE</NoBonus>
			<PowerBonus>NONE</PowerBonus>
			<FreeBonus>NONE</FreeBonus>
			<iNumFreeBonuses>0</iNumFreeBonuses>
			<FreeBuilding>NONE</FreeBuilding>
			<FreePromotion>NONE</FreePromotion>
			<CivicOption>NONE</CivicOption>
			<GreatPeopleUnitClass>UNITCLASS_ENGINEER</GreatPeopleUnitClass>
			<iGreatPeopleRateChange>0</iGreatPeopleRateChange>
			<iCost>120</iCost>
			<iHurryCostModifier>0</iHurryCostModifier>
			<iHealth>-1</iHealth>
			<SeaPlotYieldChanges>
				<iYield>0</iYield>
				<iYield>0</iYield>
				<iYield>0</iYield>
			</SeaPlotYieldChanges>
			<RiverPlotYieldChanges>
				<iYield>0</iYield>
				<iYield>0</iYield>
			</RiverPlotYieldChanges>
			<GlobalSeaPlotYieldChanges/>
			<YieldChanges/>
			<YieldModifiers>
				<iYield>0</iYield>
				<iYield>25</iYield>
				<iYield>0</iYield>
			</YieldModifiers>
			<PowerYieldModifiers/>
			<AreaYieldModifiers/>
			<GlobalYieldModifiers/>
			<CommerceChanges>
				<iCommerce>0</iCommerce>
				<iCommerce>0</iCommerce>
				<iCommerce>1</iCommerce>
				<iCommerce>0</iCommerce>
			</CommerceChanges>
			<ObsoleteSafeCommerceChanges/>
			<CommerceChangeDoubleTimes/>
			<CommerceModifiers>
				<iCommerce>0</iCommerce>
				<iCommerce>0</iCommerce>
				<iCommerce>0</iCommerce>
				<iCommerce>0</iCommerce>
			</CommerceModifiers>
			<GlobalCommerceModifiers/>
			<SpecialistExtraCommerces/>
			<StateReligionCommerces/>
			<CommerceHappinesses/>
			<ReligionChanges>
				<ReligionChange>
					<ReligionType>RELIGION_JUDAISM</ReligionType>
					<iReligionChange>1</iReligionChange>
				</ReligionChange>
			</ReligionChanges>
			<SpecialistCounts>
				<SpecialistCount>
					<SpecialistType>SPECIALIST_ENGINEER</SpecialistType>
					<iSpecialistCount>1</iSpecialistCount>
				</SpecialistCount>
			</SpecialistCounts>
			<FreeSpecialistCounts>
				<FreeSpecialistCount>
					<SpecialistType>SPECIALIST_CITIZEN</SpecialistType>
					<iFreeSpecialistCount>1</iFreeSpecialistCount>
				</FreeSpecialistCount>
			</FreeSpecialistCounts>
			<CommerceFlexibles>
				<bCommerce>0</bCommerce>
				<bCommerce>0</bCommerce>
				<bCommerce>0</bCommerce>
				<bCommerce>1</bCommerce>
			</CommerceFlexibles>
			<CommerceChangeOriginalOwners>
				<bCommerceChangeOriginalOwner>0</bCommerceChangeOriginalOwner>
				<bCommerceChangeOriginalOwner>0</bCommerceChangeOriginalOwner>
				<bCommerceChangeOriginalOwner>1</bCommerceChangeOriginalOwner>
			</CommerceChangeOriginalOwners>
			<ConstructSound>AS2D_BUILD_FORGE</ConstructSound>
			<BonusHealthChanges>
				<BonusHealthChange>
					<BonusType>BONUS_COAL</BonusType>
					<iHealthChange>-1</iHealthChange>
				</BonusHealthChange>
			</BonusHealthChanges>
			<BonusHappinessChanges>
				<BonusHappinessChange>
					<BonusType>BONUS_GOLD</BonusType>
					<iHappinessChange>1</iHappinessChange>
				</BonusHappinessChange>
				<BonusHappinessChange>
					<BonusType>BONUS_SILVER</BonusType>
					<iHappinessChange>1</iHappinessChange>
				</BonusHappinessChange>
			</BonusHappinessChanges>
			<BonusProductionModifiers>
				<BonusProductionModifier>
					<BonusType>BONUS_COPPER</BonusType>
					<iProductonModifier>50</iProductonModifier>
				</BonusProductionModifier>
			</BonusProductionModifiers>
			<UnitCombatFreeExperiences>
				<UnitCombatFreeExperience>
					<UnitCombatType>UNITCOMBAT_MELEE</UnitCombatType>
					<iExperience>2</iExperience>
				</UnitCombatFreeExperience>
			</UnitCombatFreeExperiences>
			<DomainFreeExperiences>
				<DomainFreeExperience>
					<DomainType>DOMAIN_LAND</DomainType>
					<iExperience>2</iExperience>
				</DomainFreeExperience>
			</DomainFreeExperiences>
			<DomainProductionModifiers>
				<DomainProductionModifier>
					<DomainType>DOMAIN_SEA</DomainType>
					<iProductionModifier>25</iProductionModifier>
				</DomainProductionModifier>
			</DomainProductionModifiers>
			<BuildingHappinessChanges>
				<BuildingHappinessChange>
					<BuildingType>BUILDING_COLOSSEUM</BuildingType>
					<iHappinessChange>1</iHappinessChange>
				</BuildingHappinessChange>
			</BuildingHappinessChanges>
			<PrereqBuildingClasses>
				<PrereqBuildingClass>
					<BuildingClassType>BUILDINGCLASS_BARRACKS</BuildingClassType>
					<iNumBuildingNeeded>1</iNumBuildingNeeded>
				</PrereqBuildingClass>
			</PrereqBuildingClasses>
			<BuildingClassNeededs>
				<BuildingClassNeeded>
					<BuildingClassType>BUILDINGCLASS_BARRACKS</BuildingClassType>
					<bNeededInCity>1</bNeededInCity>
				</BuildingClassNeeded>
			</BuildingClassNeededs>
			<SpecialistYieldChanges>
				<SpecialistYieldChange>
					<SpecialistType>SPECIALIST_ENGINEER</SpecialistType>
					<YieldChanges>
						<iYield>0</iYield>
						<iYield>1</iYield>
						<iYield>0</iYield>
					</YieldChanges>
				</SpecialistYieldChange>
			</SpecialistYieldChanges>
			<BonusYieldModifiers>
				<BonusYieldModifier>
					<BonusType>BONUS_COAL</BonusType>
					<YieldModifiers>
						<iYield>0</iYield>
						<iYield>25</iYield>
						<iYield>0</iYield>
					</YieldModifiers>
				</BonusYieldModifier>
			</BonusYieldModifiers>
			<ImprovementFreeSpecialists>
				<ImprovementFreeSpecialist>
					<ImprovementType>IMPROVEMENT_MINE</ImprovementType>
					<iFreeSpecialistCount>1</iFreeSpecialistCount>
				</ImprovementFreeSpecialist>
			</ImprovementFreeSpecialists>
			<Flavors>
				<Flavor>
					<FlavorType>FLAVOR_PRODUCTION</FlavorType>
					<iFlavor>10</iFlavor>
				</Flavor>
				<Flavor>
					<FlavorType>FLAVOR_MILITARY</FlavorType>
					<iFlavor>2</iFlavor>
				</Flavor>
			</Flavors>
			<HotKey/>
			<iOrderPriority>0</iOrderPriority>
			<Button>,Art/Interface/Buttons/Buildings/Forge.dds,Art/Interface/Buttons/BTS_Atlas1.dds,2,5</Button>
		</BuildingInfo>
	</BuildingInfos>
)XML",
        Declaration::plain);
}

std::string tech_infos_xml()
{
    return game_document("Civ4TechInfos", R"(xmlns="x-schema:CIV4TechnologiesSchema.xml")",
        R"XML(	<TechInfos>
		<TechInfo>
			<Type>TECH_BRONZE_WORKING</Type>
			<Description>TXT_KEY_TECH_BRONZE_WORKING</Description>
			<Civilopedia>TXT_KEY_TECH_BRONZE_WORKING_PEDIA</Civilopedia>
			<Help/>
			<Strategy>TXT_KEY_TECH_BRONZE_WORKING_STRATEGY</Strategy>
			<Advisor>ADVISOR_MILITARY</Advisor>
			<iAIWeight>0</iAIWeight>
			<iAITradeModifier>10</iAITradeModifier>
			<iCost>120</iCost>
			<iAdvancedStartCost>100</iAdvancedStartCost>
			<iAdvancedStartCostIncrease>0</iAdvancedStartCostIncrease>
			<Era>ERA_ANCIENT</Era>
			<FirstFreeUnitClass>NONE</FirstFreeUnitClass>
			<iFeatureProductionModifier>0</iFeatureProductionModifier>
			<iWorkerSpeedModifier>0</iWorkerSpeedModifier>
			<iTradeRoutes>0</iTradeRoutes>
			<iHealth>0</iHealth>
			<iHappiness>0</iHappiness>
			<iFirstFreeTechs>0</iFirstFreeTechs>
			<iAsset>4</iAsset>
			<iPower>2</iPower>
			<bRepeat>0</bRepeat>
			<bTrade>1</bTrade>
			<bDisable>0</bDisable>
			<bGoodyTech>1</bGoodyTech>
			<bMapTrading>0</bMapTrading>
			<bBridgeBuilding>0</bBridgeBuilding>
			<bIrrigation>0</bIrrigation>
			<iGridX>3</iGridX>
			<iGridY>9</iGridY>
			<DomainExtraMoves>
				<DomainExtraMove>
					<DomainType>DOMAIN_SEA</DomainType>
					<iExtraMoves>1</iExtraMoves>
				</DomainExtraMove>
			</DomainExtraMoves>
			<CommerceFlexible>
				<bFlexible>0</bFlexible>
				<bFlexible>0</bFlexible>
				<bFlexible>0</bFlexible>
				<bFlexible>1</bFlexible>
			</CommerceFlexible>
			<SpecialistExtraCommerces/>
			<TerrainTrades>
				<TerrainTrade>
					<TerrainType>TERRAIN_COAST</TerrainType>
					<bTerrainTrade>1</bTerrainTrade>
				</TerrainTrade>
			</TerrainTrades>
			<bRiverTrade>0</bRiverTrade>
			<Flavors>
				<Flavor>
					<FlavorType>FLAVOR_MILITARY</FlavorType>
					<iFlavor>4</iFlavor>
				</Flavor>
				<Flavor>
					<FlavorType>FLAVOR_PRODUCTION</FlavorType>
					<iFlavor>5</iFlavor>
				</Flavor>
			</Flavors>
			<OrPreReqs>
				<PrereqTech>TECH_MINING</PrereqTech>
			</OrPreReqs>
			<AndPreReqs/>
			<Quote>TXT_KEY_TECH_BRONZE_WORKING_QUOTE</Quote>
			<Sound>AS2D_TECH_BRONZE_WORKING</Sound>
			<SoundMP>AS2D_TECH_MP_BRONZE_WORKING</SoundMP>
			<Button>,Art/Interface/Buttons/TechTree/BronzeWorking.dds,Art/Interface/Buttons/TechTree_Atlas.dds,6,1</Button>
		</TechInfo>
		<TechInfo>
			<Type>TECH_METAL_CASTING</Type>
			<Description>TXT_KEY_TECH_METAL_CASTING</Description>
			<Civilopedia>TXT_KEY_TECH_METAL_CASTING_PEDIA</Civilopedia>
			<Help/>
			<Strategy>TXT_KEY_TECH_METAL_CASTING_STRATEGY</Strategy>
			<Advisor>ADVISOR_ECONOMY</Advisor>
			<iAIWeight>0</iAIWeight>
			<iAITradeModifier>10</iAITradeModifier>
			<iCost>550</iCost>
			<Era>ERA_CLASSICAL</Era>
			<FirstFreeUnitClass>NONE</FirstFreeUnitClass>
			<iGridX>7</iGridX>
			<iGridY>9</iGridY>
			<DomainExtraMoves/>
			<CommerceFlexible/>
			<TerrainTrades/>
			<bRiverTrade>0</bRiverTrade>
			<Flavors>
				<Flavor>
					<FlavorType>FLAVOR_PRODUCTION</FlavorType>
					<iFlavor>5</iFlavor>
				</Flavor>
			</Flavors>
			<OrPreReqs>
				<PrereqTech>TECH_BRONZE_WORKING</PrereqTech>
			</OrPreReqs>
			<AndPreReqs>
				<PrereqTech>TECH_POTTERY</PrereqTech>
			</AndPreReqs>
			<Quote>TXT_KEY_TECH_METAL_CASTING_QUOTE</Quote>
			<Sound>AS2D_TECH_METAL_CASTING</Sound>
			<SoundMP>AS2D_TECH_MP_METAL_CASTING</SoundMP>
			<Button>,Art/Interface/Buttons/TechTree/MetalCasting.dds,Art/Interface/Buttons/TechTree_Atlas.dds,2,4</Button>
		</TechInfo>
	</TechInfos>
)XML",
        Declaration::plain);
}

// The barbarians list one building class twice, as the game's data does.
std::string civilization_infos_xml()
{
    return crlf(game_document("Civ4CivilizationInfos", R"(xmlns="x-schema:CIV4CivilizationsSchema.xml")",
        R"XML(	<CivilizationInfos>
		<CivilizationInfo>
			<Type>CIVILIZATION_FRANCE</Type>
			<Description>TXT_KEY_CIV_FRANCE_DESC</Description>
			<ShortDescription>TXT_KEY_CIV_FRANCE_SHORT_DESC</ShortDescription>
			<Adjective>TXT_KEY_CIV_FRANCE_ADJECTIVE</Adjective>
			<Civilopedia>TXT_KEY_CIV_FRANCE_PEDIA</Civilopedia>
			<DefaultPlayerColor>PLAYERCOLOR_LIGHT_BLUE</DefaultPlayerColor>
			<ArtDefineTag>ART_DEF_CIVILIZATION_FRANCE</ArtDefineTag>
			<ArtStyleType>ARTSTYLE_EUROPEAN</ArtStyleType>
			<UnitArtStyleType>UNIT_ARTSTYLE_EUROPEAN</UnitArtStyleType>
			<bPlayable>1</bPlayable>
			<bAIPlayable>1</bAIPlayable>
			<Cities>
				<City>TXT_KEY_CITY_NAME_PARIS</City>
				<City>TXT_KEY_CITY_NAME_ORLEANS</City>
				<City>TXT_KEY_CITY_NAME_LYON</City>
				<City>TXT_KEY_CITY_NAME_TROYES</City>
			</Cities>
			<Buildings>
				<Building>
					<BuildingClassType>BUILDINGCLASS_CASTLE</BuildingClassType>
					<BuildingType>BUILDING_FRENCH_SALON</BuildingType>
				</Building>
			</Buildings>
			<Units>
				<Unit>
					<UnitClassType>UNITCLASS_MUSKETMAN</UnitClassType>
					<UnitType>UNIT_FRENCH_MUSKETEER</UnitType>
				</Unit>
			</Units>
			<FreeUnitClasses>
				<FreeUnitClass>
					<UnitClassType>UNITCLASS_SETTLER</UnitClassType>
					<iFreeUnits>1</iFreeUnits>
				</FreeUnitClass>
			</FreeUnitClasses>
			<FreeBuildingClasses>
				<FreeBuildingClass>
					<BuildingClassType>BUILDINGCLASS_PALACE</BuildingClassType>
					<bFreeBuildingClass>1</bFreeBuildingClass>
				</FreeBuildingClass>
			</FreeBuildingClasses>
			<FreeTechs>
				<FreeTech>
					<TechType>TECH_AGRICULTURE</TechType>
					<bFreeTech>1</bFreeTech>
				</FreeTech>
				<FreeTech>
					<TechType>TECH_THE_WHEEL</TechType>
					<bFreeTech>1</bFreeTech>
				</FreeTech>
			</FreeTechs>
			<DisableTechs/>
			<InitialCivics>
				<CivicType>CIVIC_DESPOTISM</CivicType>
				<CivicType>CIVIC_BARBARISM</CivicType>
				<CivicType>CIVIC_TRIBALISM</CivicType>
				<CivicType>CIVIC_PAGANISM</CivicType>
				<CivicType>CIVIC_DECENTRALIZATION</CivicType>
			</InitialCivics>
			<Leaders>
				<Leader>
					<LeaderName>LEADER_LOUIS_XIV</LeaderName>
					<bLeaderAvailability>1</bLeaderAvailability>
				</Leader>
				<Leader>
					<LeaderName>LEADER_DE_GAULLE</LeaderName>
					<bLeaderAvailability>1</bLeaderAvailability>
				</Leader>
			</Leaders>
			<CivilizationSelectionSound>AS3D_FRANCE_SELECT</CivilizationSelectionSound>
			<CivilizationActionSound>AS3D_FRANCE_ORDER</CivilizationActionSound>
		</CivilizationInfo>
		<CivilizationInfo>
			<Type>CIVILIZATION_BARBARIAN</Type>
			<Description>TXT_KEY_CIV_BARBARIAN_DESC</Description>
			<ShortDescription>TXT_KEY_CIV_BARBARIAN_SHORT_DESC</ShortDescription>
			<Adjective>TXT_KEY_CIV_BARBARIAN_ADJECTIVE</Adjective>
			<Civilopedia>TXT_KEY_CIV_BARBARIAN_PEDIA</Civilopedia>
			<DefaultPlayerColor>PLAYERCOLOR_BLACK</DefaultPlayerColor>
			<ArtDefineTag>ART_DEF_CIVILIZATION_BARBARIAN</ArtDefineTag>
			<ArtStyleType>ARTSTYLE_BARBARIAN</ArtStyleType>
			<UnitArtStyleType>NONE</UnitArtStyleType>
			<bPlayable>0</bPlayable>
			<bAIPlayable>0</bAIPlayable>
			<Cities/>
			<Buildings>
				<Building>
					<BuildingClassType>BUILDINGCLASS_PALACE</BuildingClassType>
					<BuildingType>NONE</BuildingType>
				</Building>
				<Building>
					<BuildingClassType>BUILDINGCLASS_BROADCAST_TOWER</BuildingClassType>
					<BuildingType>NONE</BuildingType>
				</Building>
				<Building>
					<BuildingClassType>BUILDINGCLASS_BROADCAST_TOWER</BuildingClassType>
					<BuildingType>NONE</BuildingType>
				</Building>
			</Buildings>
			<Units>
				<Unit>
					<UnitClassType>UNITCLASS_SETTLER</UnitClassType>
					<UnitType>NONE</UnitType>
				</Unit>
			</Units>
			<FreeUnitClasses/>
			<FreeBuildingClasses/>
			<FreeTechs/>
			<DisableTechs>
				<DisableTech>
					<TechType>TECH_FEUDALISM</TechType>
					<bDisable>1</bDisable>
				</DisableTech>
			</DisableTechs>
			<InitialCivics/>
			<Leaders>
				<Leader>
					<LeaderName>LEADER_BARBARIAN</LeaderName>
					<bLeaderAvailability>0</bLeaderAvailability>
				</Leader>
			</Leaders>
			<CivilizationSelectionSound/>
			<CivilizationActionSound/>
		</CivilizationInfo>
	</CivilizationInfos>
)XML",
        Declaration::plain));
}

std::string leaderhead_infos_xml()
{
    return game_document("Civ4LeaderHeadInfos", R"(xmlns="x-schema:CIV4CivilizationsSchema.xml")",
        R"XML(	<LeaderHeadInfos>
		<LeaderHeadInfo>
			<Type>LEADER_LOUIS_XIV</Type>
			<Description>TXT_KEY_LEADER_LOUIS_XIV</Description>
			<Civilopedia>TXT_KEY_LEADER_LOUIS_XIV_PEDIA</Civilopedia>
			<ArtDefineTag>ART_DEF_LEADER_LOUIS_XIV</ArtDefineTag>
			<iWonderConstructRand>50</iWonderConstructRand>
			<iBaseAttitude>0</iBaseAttitude>
			<iBasePeaceWeight>4</iBasePeaceWeight>
			<iMaxWarRand>150</iMaxWarRand>
			<FavoriteCivic>CIVIC_HEREDITARY_RULE</FavoriteCivic>
			<FavoriteReligion>NONE</FavoriteReligion>
			<Traits>
				<Trait>
					<TraitType>TRAIT_CREATIVE</TraitType>
					<bTrait>1</bTrait>
				</Trait>
				<Trait>
					<TraitType>TRAIT_INDUSTRIOUS</TraitType>
					<bTrait>1</bTrait>
				</Trait>
			</Traits>
			<Flavors>
				<Flavor>
					<FlavorType>FLAVOR_CULTURE</FlavorType>
					<iFlavor>5</iFlavor>
				</Flavor>
			</Flavors>
			<ContactRands>
				<ContactRand>
					<ContactType>CONTACT_RELIGION_PRESSURE</ContactType>
					<iContactRand>50</iContactRand>
				</ContactRand>
				<ContactRand>
					<ContactType>CONTACT_TRADE_TECH</ContactType>
					<iContactRand>10</iContactRand>
				</ContactRand>
			</ContactRands>
			<ContactDelays>
				<ContactDelay>
					<ContactType>CONTACT_TRADE_TECH</ContactType>
					<iContactDelay>20</iContactDelay>
				</ContactDelay>
			</ContactDelays>
			<MemoryDecays>
				<MemoryDecay>
					<MemoryType>MEMORY_DECLARED_WAR</MemoryType>
					<iMemoryRand>200</iMemoryRand>
				</MemoryDecay>
			</MemoryDecays>
			<MemoryAttitudePercents>
				<MemoryAttitudePercent>
					<MemoryType>MEMORY_DECLARED_WAR</MemoryType>
					<iMemoryAttitudePercent>-100</iMemoryAttitudePercent>
				</MemoryAttitudePercent>
			</MemoryAttitudePercents>
			<NoWarAttitudeProbs>
				<NoWarAttitudeProb>
					<AttitudeType>ATTITUDE_FRIENDLY</AttitudeType>
					<iNoWarProb>100</iNoWarProb>
				</NoWarAttitudeProb>
				<NoWarAttitudeProb>
					<AttitudeType>ATTITUDE_PLEASED</AttitudeType>
					<iNoWarProb>70</iNoWarProb>
				</NoWarAttitudeProb>
			</NoWarAttitudeProbs>
			<UnitAIWeightModifiers>
				<UnitAIWeightModifier>
					<UnitAIType>UNITAI_SETTLE</UnitAIType>
					<iWeightModifier>10</iWeightModifier>
				</UnitAIWeightModifier>
			</UnitAIWeightModifiers>
			<ImprovementWeightModifiers>
				<ImprovementWeightModifier>
					<ImprovementType>IMPROVEMENT_COTTAGE</ImprovementType>
					<iWeightModifier>20</iWeightModifier>
				</ImprovementWeightModifier>
			</ImprovementWeightModifiers>
			<DiplomacyIntroMusicPeace>
				<DiploMusicPeaceEra>
					<EraType>ERA_ANCIENT</EraType>
					<DiploScriptId>AS2D_DIP_LOUIS_XIV_PEACE_INTRO_ANCIENT</DiploScriptId>
				</DiploMusicPeaceEra>
			</DiplomacyIntroMusicPeace>
			<DiplomacyIntroMusicWar>
				<DiploMusicWarEra>
					<EraType>ERA_ANCIENT</EraType>
					<DiploScriptId>AS2D_DIP_LOUIS_XIV_WAR_INTRO_ANCIENT</DiploScriptId>
				</DiploMusicWarEra>
			</DiplomacyIntroMusicWar>
			<DiplomacyMusicPeace>
				<DiploMusicPeaceEra>
					<EraType>ERA_ANCIENT</EraType>
					<DiploScriptId>AS2D_DIP_LOUIS_XIV_PEACE_ANCIENT</DiploScriptId>
				</DiploMusicPeaceEra>
				<DiploMusicPeaceEra>
					<EraType>ERA_MEDIEVAL</EraType>
					<DiploScriptId>AS2D_DIP_LOUIS_XIV_PEACE_MEDIEVAL</DiploScriptId>
				</DiploMusicPeaceEra>
			</DiplomacyMusicPeace>
			<DiplomacyMusicWar>
				<DiploMusicWarEra>
					<EraType>ERA_ANCIENT</EraType>
					<DiploScriptId>AS2D_DIP_LOUIS_XIV_WAR_ANCIENT</DiploScriptId>
				</DiploMusicWarEra>
			</DiplomacyMusicWar>
		</LeaderHeadInfo>
	</LeaderHeadInfos>
)XML",
        Declaration::plain);
}

std::string promotion_infos_xml()
{
    return game_document("Civ4PromotionInfos", R"(xmlns="x-schema:CIV4UnitSchema.xml")",
        R"XML(	<PromotionInfos>
		<PromotionInfo>
			<Type>PROMOTION_COMBAT1</Type>
			<Description>TXT_KEY_PROMOTION_COMBAT1</Description>
			<Sound>AS2D_IF_LEVELUP</Sound>
			<LayerAnimationPath>NONE</LayerAnimationPath>
			<PromotionPrereq>NONE</PromotionPrereq>
			<PromotionPrereqOr1>NONE</PromotionPrereqOr1>
			<PromotionPrereqOr2>NONE</PromotionPrereqOr2>
			<TechPrereq>NONE</TechPrereq>
			<StateReligionPrereq>NONE</StateReligionPrereq>
			<bLeader>0</bLeader>
			<bBlitz>0</bBlitz>
			<iCombatPercent>10</iCombatPercent>
			<TerrainAttacks/>
			<TerrainDefenses/>
			<FeatureAttacks/>
			<FeatureDefenses/>
			<UnitCombatMods/>
			<DomainMods/>
			<TerrainDoubleMoves/>
			<FeatureDoubleMoves/>
			<UnitCombats>
				<UnitCombat>
					<UnitCombatType>UNITCOMBAT_ARCHER</UnitCombatType>
					<bUnitCombat>1</bUnitCombat>
				</UnitCombat>
				<UnitCombat>
					<UnitCombatType>UNITCOMBAT_MELEE</UnitCombatType>
					<bUnitCombat>1</bUnitCombat>
				</UnitCombat>
			</UnitCombats>
			<HotKey/>
			<Button>,Art/Interface/Buttons/Promotions/Combat1.dds,Art/Interface/Buttons/Promotions_Atlas.dds,1,1</Button>
		</PromotionInfo>
		<PromotionInfo>
			<Type>PROMOTION_WOODSMAN1</Type>
			<Description>TXT_KEY_PROMOTION_WOODSMAN1</Description>
			<Sound>AS2D_IF_LEVELUP</Sound>
			<LayerAnimationPath>NONE</LayerAnimationPath>
			<PromotionPrereq>PROMOTION_COMBAT1</PromotionPrereq>
			<PromotionPrereqOr1>NONE</PromotionPrereqOr1>
			<PromotionPrereqOr2>NONE</PromotionPrereqOr2>
			<TechPrereq>NONE</TechPrereq>
			<StateReligionPrereq>NONE</StateReligionPrereq>
			<bLeader>0</bLeader>
			<bBlitz>0</bBlitz>
			<iCombatPercent>0</iCombatPercent>
			<TerrainAttacks>
				<TerrainAttack>
					<TerrainType>TERRAIN_HILL</TerrainType>
					<iTerrainAttack>10</iTerrainAttack>
				</TerrainAttack>
			</TerrainAttacks>
			<TerrainDefenses>
				<TerrainDefense>
					<TerrainType>TERRAIN_HILL</TerrainType>
					<iTerrainDefense>10</iTerrainDefense>
				</TerrainDefense>
			</TerrainDefenses>
			<FeatureAttacks>
				<FeatureAttack>
					<FeatureType>FEATURE_FOREST</FeatureType>
					<iFeatureAttack>20</iFeatureAttack>
				</FeatureAttack>
			</FeatureAttacks>
			<FeatureDefenses>
				<FeatureDefense>
					<FeatureType>FEATURE_FOREST</FeatureType>
					<iFeatureDefense>20</iFeatureDefense>
				</FeatureDefense>
				<FeatureDefense>
					<FeatureType>FEATURE_JUNGLE</FeatureType>
					<iFeatureDefense>20</iFeatureDefense>
				</FeatureDefense>
			</FeatureDefenses>
			<UnitCombatMods>
				<UnitCombatMod>
					<UnitCombatType>UNITCOMBAT_MOUNTED</UnitCombatType>
					<iUnitCombatMod>10</iUnitCombatMod>
				</UnitCombatMod>
			</UnitCombatMods>
			<DomainMods>
				<DomainMod>
					<DomainType>DOMAIN_LAND</DomainType>
					<iDomainMod>5</iDomainMod>
				</DomainMod>
			</DomainMods>
			<TerrainDoubleMoves>
				<TerrainDoubleMove>
					<TerrainType>TERRAIN_HILL</TerrainType>
					<bTerrainDoubleMove>1</bTerrainDoubleMove>
				</TerrainDoubleMove>
			</TerrainDoubleMoves>
			<FeatureDoubleMoves>
				<FeatureDoubleMove>
					<FeatureType>FEATURE_FOREST</FeatureType>
					<bFeatureDoubleMove>1</bFeatureDoubleMove>
				</FeatureDoubleMove>
			</FeatureDoubleMoves>
			<UnitCombats>
				<UnitCombat>
					<UnitCombatType>UNITCOMBAT_MELEE</UnitCombatType>
					<bUnitCombat>1</bUnitCombat>
				</UnitCombat>
			</UnitCombats>
			<HotKey/>
			<Button>,Art/Interface/Buttons/Promotions/Woodsman1.dds,Art/Interface/Buttons/Promotions_Atlas.dds,4,2</Button>
		</PromotionInfo>
	</PromotionInfos>
)XML",
        Declaration::plain);
}

std::string civic_infos_xml()
{
    return game_document("Civ4CivicInfos", R"(xmlns="x-schema:CIV4GameInfoSchema.xml")", R"XML(	<CivicInfos>
		<CivicInfo>
			<CivicOptionType>CIVICOPTION_GOVERNMENT</CivicOptionType>
			<Type>CIVIC_HEREDITARY_RULE</Type>
			<Description>TXT_KEY_CIVIC_HEREDITARY_RULE</Description>
			<Civilopedia>TXT_KEY_CIVIC_HEREDITARY_RULE_PEDIA</Civilopedia>
			<Strategy>TXT_KEY_CIVIC_HEREDITARY_RULE_STRATEGY</Strategy>
			<Help/>
			<TechPrereq>TECH_MONARCHY</TechPrereq>
			<iAnarchyLength>1</iAnarchyLength>
			<Upkeep>UPKEEP_LOW</Upkeep>
			<iAIWeight>0</iAIWeight>
			<iHappyPerMilitaryUnit>1</iHappyPerMilitaryUnit>
			<YieldModifiers/>
			<CapitalYieldModifiers>
				<iYield>0</iYield>
				<iYield>10</iYield>
				<iYield>0</iYield>
			</CapitalYieldModifiers>
			<TradeYieldModifiers/>
			<CommerceModifiers/>
			<CapitalCommerceModifiers/>
			<SpecialistExtraCommerces/>
			<Hurrys>
				<Hurry>
					<HurryType>HURRY_GOLD</HurryType>
					<bHurry>1</bHurry>
				</Hurry>
			</Hurrys>
			<SpecialBuildingNotRequireds>
				<SpecialBuildingNotRequired>
					<SpecialBuildingType>SPECIALBUILDING_MONASTERY</SpecialBuildingType>
					<bNotRequired>1</bNotRequired>
				</SpecialBuildingNotRequired>
			</SpecialBuildingNotRequireds>
			<SpecialistValids>
				<SpecialistValid>
					<SpecialistType>SPECIALIST_PRIEST</SpecialistType>
					<bValid>1</bValid>
				</SpecialistValid>
			</SpecialistValids>
			<BuildingHappinessChanges>
				<BuildingHappinessChange>
					<BuildingType>BUILDING_BARRACKS</BuildingType>
					<iHappinessChange>1</iHappinessChange>
				</BuildingHappinessChange>
			</BuildingHappinessChanges>
			<BuildingHealthChanges>
				<BuildingHealthChange>
					<BuildingType>BUILDING_AQUEDUCT</BuildingType>
					<iHealthChange>1</iHealthChange>
				</BuildingHealthChange>
			</BuildingHealthChanges>
			<FeatureHappinessChanges>
				<FeatureHappinessChange>
					<FeatureType>FEATURE_FOREST</FeatureType>
					<iHappinessChange>1</iHappinessChange>
				</FeatureHappinessChange>
			</FeatureHappinessChanges>
			<ImprovementYieldChanges>
				<ImprovementYieldChange>
					<ImprovementType>IMPROVEMENT_FARM</ImprovementType>
					<ImprovementYields>
						<iYield>1</iYield>
						<iYield>0</iYield>
						<iYield>0</iYield>
					</ImprovementYields>
				</ImprovementYieldChange>
			</ImprovementYieldChanges>
			<WeLoveTheKing>TXT_KEY_CIVIC_WLTKD_HEREDITARY_RULE</WeLoveTheKing>
			<Button>,Art/Interface/Buttons/Civics/HereditaryRule.dds,Art/Interface/Buttons/Civics_Civilization_Religions_Atlas.dds,2,1</Button>
		</CivicInfo>
		<CivicInfo>
			<CivicOptionType>CIVICOPTION_ECONOMY</CivicOptionType>
			<Type>CIVIC_FREE_MARKET</Type>
			<Description>TXT_KEY_CIVIC_FREE_MARKET</Description>
			<Civilopedia>TXT_KEY_CIVIC_FREE_MARKET_PEDIA</Civilopedia>
			<Strategy>TXT_KEY_CIVIC_FREE_MARKET_STRATEGY</Strategy>
			<Help/>
			<TechPrereq>TECH_ECONOMICS</TechPrereq>
			<iAnarchyLength>1</iAnarchyLength>
			<Upkeep>UPKEEP_MEDIUM</Upkeep>
			<iAIWeight>0</iAIWeight>
			<iHappyPerMilitaryUnit>0</iHappyPerMilitaryUnit>
			<YieldModifiers>
				<iYield>0</iYield>
				<iYield>0</iYield>
				<iYield>0</iYield>
			</YieldModifiers>
			<CapitalYieldModifiers/>
			<TradeYieldModifiers>
				<iYield>0</iYield>
				<iYield>0</iYield>
				<iYield>100</iYield>
			</TradeYieldModifiers>
			<CommerceModifiers>
				<iCommerce>0</iCommerce>
				<iCommerce>0</iCommerce>
				<iCommerce>0</iCommerce>
				<iCommerce>0</iCommerce>
			</CommerceModifiers>
			<CapitalCommerceModifiers/>
			<SpecialistExtraCommerces>
				<iCommerce>0</iCommerce>
				<iCommerce>0</iCommerce>
				<iCommerce>0</iCommerce>
			</SpecialistExtraCommerces>
			<Hurrys/>
			<SpecialBuildingNotRequireds/>
			<SpecialistValids/>
			<BuildingHappinessChanges/>
			<BuildingHealthChanges/>
			<FeatureHappinessChanges/>
			<ImprovementYieldChanges/>
			<WeLoveTheKing>TXT_KEY_CIVIC_WLTKD_FREE_MARKET</WeLoveTheKing>
			<Button>,Art/Interface/Buttons/Civics/FreeMarket.dds,Art/Interface/Buttons/Civics_Civilization_Religions_Atlas.dds,7,1</Button>
		</CivicInfo>
	</CivicInfos>
)XML",
        Declaration::plain);
}

std::string event_infos_xml()
{
    return crlf(
        game_document("Civ4EventInfos", R"(xmlns="x-schema:CIV4EventSchema.xml")", R"XML(	<EventInfos>
		<EventInfo>
			<Type>EVENT_GREED_1</Type>
			<Description>TXT_KEY_EVENT_GREED_1</Description>
			<LocalInfoText/>
			<WorldNewsTexts>
				<Text>TXT_KEY_EVENT_GREED_1_NEWS</Text>
			</WorldNewsTexts>
			<OtherPlayerPopup/>
			<QuestFailText/>
			<bQuest>0</bQuest>
			<bGlobal>0</bGlobal>
			<bTeam>0</bTeam>
			<bPickCity>1</bPickCity>
			<bPickOtherPlayerCity>0</bPickOtherPlayerCity>
			<iGold>-25</iGold>
			<iRandomGold>0</iRandomGold>
			<iCulture>0</iCulture>
			<iEspionagePoints>0</iEspionagePoints>
			<Tech>NONE</Tech>
			<TechFlavors>
				<TechFlavor>
					<FlavorType>FLAVOR_MILITARY</FlavorType>
					<iFlavor>5</iFlavor>
				</TechFlavor>
			</TechFlavors>
			<iTechPercent>0</iTechPercent>
			<BonusType>NONE</BonusType>
			<UnitClass>UNITCLASS_AXEMAN</UnitClass>
			<iNumFreeUnits>2</iNumFreeUnits>
			<PlotExtraYields>
				<PlotExtraYield>
					<YieldType>YIELD_FOOD</YieldType>
					<iExtraYield>1</iExtraYield>
				</PlotExtraYield>
			</PlotExtraYields>
			<FreeSpecialistCounts>
				<FreeSpecialistCount>
					<SpecialistType>SPECIALIST_MERCHANT</SpecialistType>
					<iFreeSpecialistCount>1</iFreeSpecialistCount>
				</FreeSpecialistCount>
			</FreeSpecialistCounts>
			<UnitClassPromotions>
				<UnitClassPromotion>
					<UnitClass>UNITCLASS_AXEMAN</UnitClass>
					<UnitPromotion>PROMOTION_COMBAT1</UnitPromotion>
				</UnitClassPromotion>
			</UnitClassPromotions>
			<UnitCombatPromotions>
				<UnitCombatPromotion>
					<UnitCombat>UNITCOMBAT_MELEE</UnitCombat>
					<UnitPromotion>PROMOTION_SHOCK</UnitPromotion>
				</UnitCombatPromotion>
			</UnitCombatPromotions>
			<BuildingExtraYields>
				<BuildingExtraYield>
					<BuildingClass>BUILDINGCLASS_GRANARY</BuildingClass>
					<YieldType>YIELD_FOOD</YieldType>
					<iExtraYield>1</iExtraYield>
				</BuildingExtraYield>
			</BuildingExtraYields>
			<BuildingExtraCommerces>
				<BuildingExtraCommerce>
					<BuildingClass>BUILDINGCLASS_TEMPLE</BuildingClass>
					<CommerceType>COMMERCE_CULTURE</CommerceType>
					<iExtraCommerce>1</iExtraCommerce>
				</BuildingExtraCommerce>
				<BuildingExtraCommerce>
					<BuildingClass>BUILDINGCLASS_TEMPLE</BuildingClass>
					<CommerceType>COMMERCE_GOLD</CommerceType>
					<iExtraCommerce>1</iExtraCommerce>
				</BuildingExtraCommerce>
			</BuildingExtraCommerces>
			<BuildingExtraHappies>
				<BuildingExtraHappy>
					<BuildingClass>BUILDINGCLASS_COLOSSEUM</BuildingClass>
					<iHappy>1</iHappy>
				</BuildingExtraHappy>
			</BuildingExtraHappies>
			<BuildingExtraHealths>
				<BuildingExtraHealth>
					<BuildingClass>BUILDINGCLASS_AQUEDUCT</BuildingClass>
					<iHealth>1</iHealth>
				</BuildingExtraHealth>
			</BuildingExtraHealths>
			<AdditionalEvents>
				<EventChance>
					<Event>EVENT_GREED_DONE</Event>
					<iEventChance>100</iEventChance>
				</EventChance>
			</AdditionalEvents>
			<ClearEvents>
				<EventChance>
					<Event>EVENT_GREED_2</Event>
					<iEventChance>100</iEventChance>
				</EventChance>
			</ClearEvents>
			<PythonCallback/>
			<PythonExpireCheck/>
			<PythonCanDo>canDoGreed1</PythonCanDo>
			<PythonHelp>getHelpGreed1</PythonHelp>
			<Button>,Art/Interface/Buttons/Process/Blank.dds,Art/Interface/Buttons/Beyond_the_Sword_Atlas.dds,8,5</Button>
		</EventInfo>
	</EventInfos>
)XML",
            Declaration::plain));
}

std::string event_trigger_infos_xml()
{
    return crlf(game_document("Civ4EventTriggerInfos", R"(xmlns="x-schema:CIV4EventSchema.xml")",
        R"XML(	<EventTriggerInfos>
		<EventTriggerInfo>
			<Type>EVENTTRIGGER_GREED</Type>
			<WorldNewsTexts>
				<Text>TXT_KEY_EVENTTRIGGER_GREED_NEWS_1</Text>
				<Text>TXT_KEY_EVENTTRIGGER_GREED_NEWS_2</Text>
			</WorldNewsTexts>
			<TriggerTexts>
				<TriggerText>
					<Text>TXT_KEY_EVENTTRIGGER_GREED</Text>
					<Era>NONE</Era>
				</TriggerText>
				<TriggerText>
					<Text>TXT_KEY_EVENTTRIGGER_GREED_MODERN</Text>
					<Era>ERA_MODERN</Era>
				</TriggerText>
			</TriggerTexts>
			<bSinglePlayer>0</bSinglePlayer>
			<iPercentGamesActive>100</iPercentGamesActive>
			<iWeight>200</iWeight>
			<bProbabilityUnitMultiply>0</bProbabilityUnitMultiply>
			<bProbabilityBuildingMultiply>0</bProbabilityBuildingMultiply>
			<Civic>NONE</Civic>
			<iMinTreasury>0</iMinTreasury>
			<iMinPopulation>0</iMinPopulation>
			<iMaxPopulation>0</iMaxPopulation>
			<MinDifficulty>NONE</MinDifficulty>
			<UnitsRequired>
				<UnitClass>UNITCLASS_WARRIOR</UnitClass>
				<UnitClass>UNITCLASS_AXEMAN</UnitClass>
			</UnitsRequired>
			<iNumUnits>1</iNumUnits>
			<BuildingsRequired>
				<BuildingClass>BUILDINGCLASS_BARRACKS</BuildingClass>
			</BuildingsRequired>
			<iNumBuildings>0</iNumBuildings>
			<iNumPlotsRequired>1</iNumPlotsRequired>
			<bOwnPlot>0</bOwnPlot>
			<iPlotType>-1</iPlotType>
			<FeaturesRequired>
				<FeatureType>NONE</FeatureType>
			</FeaturesRequired>
			<TerrainsRequired>
				<TerrainType>TERRAIN_GRASS</TerrainType>
				<TerrainType>TERRAIN_PLAINS</TerrainType>
			</TerrainsRequired>
			<ImprovementsRequired>
				<ImprovementType/>
			</ImprovementsRequired>
			<BonusesRequired>
				<BonusType>BONUS_GOLD</BonusType>
			</BonusesRequired>
			<RoutesRequired>
				<RouteType>NONE</RouteType>
			</RoutesRequired>
			<ReligionsRequired>
				<ReligionType>RELIGION_BUDDHISM</ReligionType>
			</ReligionsRequired>
			<iNumReligions>0</iNumReligions>
			<CorporationsRequired>
				<CorporationType>CORPORATION_3</CorporationType>
			</CorporationsRequired>
			<iNumCorporations>0</iNumCorporations>
			<PrereqEvents>
				<Event>EVENT_GREED_DONE</Event>
			</PrereqEvents>
			<bPrereqEventPlot>0</bPrereqEventPlot>
			<OrPreReqs>
				<PrereqTech>TECH_BRONZE_WORKING</PrereqTech>
			</OrPreReqs>
			<AndPreReqs/>
			<ObsoleteTechs>
				<ObsoleteTech>TECH_ASTRONOMY</ObsoleteTech>
			</ObsoleteTechs>
			<bRecurring>0</bRecurring>
			<bTeam>0</bTeam>
			<bGlobal>0</bGlobal>
			<bPickPlayer>1</bPickPlayer>
			<Events>
				<Event>EVENT_GREED_1</Event>
				<Event>EVENT_GREED_2</Event>
			</Events>
			<PythonCanDo>canTriggerGreed</PythonCanDo>
			<PythonCallback/>
		</EventTriggerInfo>
	</EventTriggerInfos>
)XML",
        Declaration::plain));
}

// Responses have no element that identifies them.
std::string diplomacy_infos_xml()
{
    return game_document("Civ4DiplomacyInfos", R"(xmlns="x-schema:CIV4GameInfoSchema.xml")",
        R"XML(	<DiplomacyInfos>
		<DiplomacyInfo>
			<Type>AI_DIPLOCOMMENT_FIRST_CONTACT</Type>
			<Responses>
				<Response>
					<Civilizations/>
					<Leaders>
						<Leader>
							<LeaderType>LEADER_LOUIS_XIV</LeaderType>
							<bLeaderType>1</bLeaderType>
						</Leader>
					</Leaders>
					<Attitudes/>
					<DiplomacyPowers/>
					<DiplomacyText>
						<Text>AI_DIPLO_FIRST_CONTACT_LEADER_LOUIS_XIV_1</Text>
						<Text>AI_DIPLO_FIRST_CONTACT_LEADER_LOUIS_XIV_2</Text>
					</DiplomacyText>
				</Response>
				<Response>
					<Civilizations/>
					<Leaders/>
					<Attitudes>
						<Attitude>
							<AttitudeType>ATTITUDE_FURIOUS</AttitudeType>
							<bAttitudeType>1</bAttitudeType>
						</Attitude>
					</Attitudes>
					<DiplomacyPowers>
						<DiplomacyPower>
							<DiplomacyPowerType>DIPLOMACYPOWER_STRONGER</DiplomacyPowerType>
							<bDiplomacyPowerType>1</bDiplomacyPowerType>
						</DiplomacyPower>
					</DiplomacyPowers>
					<DiplomacyText>
						<Text>AI_DIPLO_FIRST_CONTACT_1</Text>
					</DiplomacyText>
				</Response>
			</Responses>
		</DiplomacyInfo>
	</DiplomacyInfos>
)XML",
        Declaration::plain);
}

// The root holds the records directly.
std::string global_defines_xml()
{
    return game_document("Civ4Defines", R"(xmlns="x-schema:CIV4GlobalDefinesSchema.xml")",
        R"XML(	<Define>
		<DefineName>MAX_CITY_DEFENSE_DAMAGE</DefineName>
		<iDefineIntVal>100</iDefineIntVal>
	</Define>
	<Define>
		<DefineName>CITY_DEFENSE_DAMAGE_HEAL_RATE</DefineName>
		<iDefineIntVal>5</iDefineIntVal>
	</Define>
	<Define>
		<DefineName>CAMERA_MIN_YAW</DefineName>
		<fDefineFloatVal>-10.0</fDefineFloatVal>
	</Define>
	<Define>
		<DefineName>INITIAL_CITY_ROUTE_TYPE</DefineName>
		<DefineTextVal>ROUTE_ROAD</DefineTextVal>
	</Define>
)XML",
        Declaration::plain);
}

// ISO-8859-1 bytes; the warrior's translations are structured.
std::string game_text_xml()
{
    return crlf(game_document("Civ4GameText", R"(xmlns="http://www.firaxis.com")", to_latin1(R"XML(	<TEXT>
		<Tag>TXT_KEY_UNIT_WARRIOR</Tag>
		<English>Warrior</English>
		<French>
			<Text>Guerrier:Guerriers</Text>
			<Gender>Male:Male</Gender>
			<Plural>0:1</Plural>
		</French>
		<German>
			<Text>Krieger:Krieger</Text>
			<Gender>Male:Male</Gender>
			<Plural>0:1</Plural>
		</German>
		<Italian>
			<Text>Guerriero:Guerrieri</Text>
			<Gender>Male:Male</Gender>
			<Plural>0:1</Plural>
		</Italian>
		<Spanish>
			<Text>Guerrero:Guerreros</Text>
			<Gender>Male:Male</Gender>
			<Plural>0:1</Plural>
		</Spanish>
	</TEXT>
	<TEXT>
		<Tag>TXT_KEY_BUILDING_FORGE_PEDIA</Tag>
		<English>The forge turns ore into tools and weapons.</English>
		<French>La forge transforme le minerai en outils et en armes, à la chaleur du métal.</French>
		<German>Die Schmiede verarbeitet Erz zu Werkzeugen und Waffen für das Heer.</German>
		<Italian>La fucina trasforma il minerale in attrezzi e armi più robusti.</Italian>
		<Spanish>La forja convierte el mineral en herramientas y armas de hierro.</Spanish>
	</TEXT>
	<TEXT>
		<Tag>TXT_KEY_CITY_NAME_ORLEANS</Tag>
		<English>Orléans</English>
		<French>Orléans</French>
		<German>Orléans</German>
		<Italian>Orléans</Italian>
		<Spanish>Orleans</Spanish>
	</TEXT>
)XML"),
        Declaration::iso_8859_1));
}

std::string art_defines_unit_xml()
{
    return game_document("Civ4ArtDefines", R"(xmlns="x-schema:CIV4ArtDefinesSchema.xml")",
        R"XML(	<UnitArtInfos>
		<UnitArtInfo>
			<Type>ART_DEF_UNIT_WARRIOR</Type>
			<Button>,Art/Interface/Buttons/Units/Warrior.dds,Art/Interface/Buttons/Unit_Resource_Atlas.dds,1,2</Button>
			<fScale>0.42</fScale>
			<fInterfaceScale>1.0</fInterfaceScale>
			<bActAsLand>0</bActAsLand>
			<bActAsAir>0</bActAsAir>
			<NIF>Art/Units/Warrior/Warrior.nif</NIF>
			<KFM>Art/Units/Warrior/Warrior.kfm</KFM>
			<SHADERNIF>Art/Units/Warrior/Warrior_FX.nif</SHADERNIF>
			<ShadowDef>
				<ShadowNIF>Art/Units/01_UnitShadows/UnitShadow.nif</ShadowNIF>
				<ShadowAttachNode>BIP Pelvis</ShadowAttachNode>
				<fShadowScale>1.0</fShadowScale>
			</ShadowDef>
			<fBattleDistance>0.35</fBattleDistance>
			<fRangedDeathTime>0.31</fRangedDeathTime>
			<bActAsRanged>0</bActAsRanged>
			<TrainSound>AS2D_UNIT_BUILD_UNIT</TrainSound>
			<AudioRunSounds>
				<AudioRunTypeLoop/>
				<AudioRunTypeEnd/>
			</AudioRunSounds>
			<SelectionSound>AS3D_UN_WARRIOR_SELECT</SelectionSound>
			<ActionSound>AS3D_UN_WARRIOR_ORDER</ActionSound>
		</UnitArtInfo>
		<UnitArtInfo>
			<Type>ART_DEF_UNIT_WORKBOAT</Type>
			<Button>,Art/Interface/Buttons/Units/WorkBoat.dds,Art/Interface/Buttons/Unit_Resource_Atlas.dds,3,2</Button>
			<fScale>0.5</fScale>
			<fInterfaceScale>0.8</fInterfaceScale>
			<bActAsLand>0</bActAsLand>
			<bActAsAir>0</bActAsAir>
			<NIF>Art/Units/WorkBoat/WorkBoat.nif</NIF>
			<KFM>Art/Units/WorkBoat/WorkBoat.kfm</KFM>
			<SHADERNIF/>
			<ShadowDef>
				<ShadowNIF>Art/Units/01_UnitShadows/ShipShadow.nif</ShadowNIF>
				<ShadowAttachNode>WorkBoat</ShadowAttachNode>
				<fShadowScale>0.6</fShadowScale>
			</ShadowDef>
			<fBattleDistance>0.35</fBattleDistance>
			<fRangedDeathTime>0.31</fRangedDeathTime>
			<bActAsRanged>0</bActAsRanged>
			<TrainSound>AS2D_UNIT_BUILD_UNIT</TrainSound>
			<AudioRunSounds>
				<AudioRunTypeLoop>LOOPSTEP_BOAT</AudioRunTypeLoop>
				<AudioRunTypeEnd>ENDSTEP_BOAT</AudioRunTypeEnd>
			</AudioRunSounds>
			<TrailDefinition>
				<Texture>Art/Shared/wake.dds</Texture>
				<fWidth>0.6</fWidth>
				<fLength>120.0</fLength>
				<fTaper>1.0</fTaper>
				<fFadeStartTime>0.2</fFadeStartTime>
				<fFadeFalloff>0.35</fFadeFalloff>
			</TrailDefinition>
			<SelectionSound>AS3D_UN_BOAT_SELECT</SelectionSound>
			<ActionSound>AS3D_UN_BOAT_ORDER</ActionSound>
		</UnitArtInfo>
	</UnitArtInfos>
)XML",
        Declaration::plain);
}

// A root of several sections: records, enum lists, settings.
std::string audio_defines_xml()
{
    return game_document("AudioDefines", R"(xmlns="x-schema:AudioDefinesSchema.xml")",
        R"XML(	<AudioSystemInit>
		<MaxVoices>32</MaxVoices>
		<MaxStreams>4</MaxStreams>
		<SampleRate>44100</SampleRate>
		<fDistanceFactor>1.0</fDistanceFactor>
		<fRolloffFactor>0.25</fRolloffFactor>
		<fDopplerFactor>0.0</fDopplerFactor>
		<SpeakerConfig>SPEAKER_STEREO</SpeakerConfig>
		<bUseHardware>1</bUseHardware>
	</AudioSystemInit>
	<SoundDatas>
		<SoundData>
			<SoundID>SND_WARRIOR_SELECT</SoundID>
			<Filename>Sounds/Units/Warrior_Select</Filename>
			<LoadType>DYNAMIC_RES</LoadType>
			<bIsCompressed>1</bIsCompressed>
			<bInGeneric>1</bInGeneric>
		</SoundData>
		<SoundData>
			<SoundID>SND_FORGE_BUILT</SoundID>
			<Filename>Sounds/Buildings/Forge</Filename>
			<LoadType>DYNAMIC_RES</LoadType>
			<bIsCompressed>1</bIsCompressed>
			<bInGeneric>1</bInGeneric>
		</SoundData>
	</SoundDatas>
	<ContextTypes>
		<ContextType>CONTEXT_DEFAULT</ContextType>
	</ContextTypes>
	<SoundTypes>
		<SoundType>GLOBAL</SoundType>
		<SoundType>UNITS</SoundType>
		<SoundType>INTERFACE</SoundType>
		<SoundType>SOUNDTRACK</SoundType>
		<SoundType>VOICE</SoundType>
	</SoundTypes>
	<PositionTypes>
		<PositionType>POSITION_2D</PositionType>
		<PositionType>POSITION_3D</PositionType>
	</PositionTypes>
	<LoadTypes>
		<LoadType>STATIC</LoadType>
		<LoadType>DYNAMIC_RES</LoadType>
		<LoadType>STREAMED</LoadType>
	</LoadTypes>
	<ScriptTypes>
		<ScriptType>SCRIPT_2D</ScriptType>
		<ScriptType>SCRIPT_3D</ScriptType>
	</ScriptTypes>
	<SpeakerConfigs>
		<SpeakerConfig>SPEAKER_STEREO</SpeakerConfig>
		<SpeakerConfig>SPEAKER_QUAD</SpeakerConfig>
	</SpeakerConfigs>
	<EffectTypes>
		<EffectType>EFFECT_NONE</EffectType>
		<EffectType>EFFECT_CAVE</EffectType>
	</EffectTypes>
	<GameEnvironmentTypes>
		<GameEnvironmentType>GAMEENV_DEFAULT</GameEnvironmentType>
	</GameEnvironmentTypes>
	<Effects>
		<GameEnvironmentMap>
			<GameEnvironmentType>GAMEENV_DEFAULT</GameEnvironmentType>
			<ReverbData>
				<fRoom>-1000</fRoom>
				<fRoomHF>-100</fRoomHF>
				<fDecayTime>1.49</fDecayTime>
				<fReflections>-2602</fReflections>
				<fReverb>200</fReverb>
			</ReverbData>
			<EffectType>EFFECT_NONE</EffectType>
		</GameEnvironmentMap>
	</Effects>
)XML",
        Declaration::plain);
}

std::string audio_2d_scripts_xml()
{
    return game_document("Script2DSounds", R"(xmlns="x-schema:AudioScriptSchema.xml")",
        R"XML(	<Script2DSound>
		<ScriptID>AS2D_BUILD_FORGE</ScriptID>
		<SoundID>SND_FORGE_BUILT</SoundID>
		<SoundType>GAME</SoundType>
		<iMinVolume>70</iMinVolume>
		<iMaxVolume>70</iMaxVolume>
		<iPitchChangeDown>0</iPitchChangeDown>
		<iPitchChangeUp>0</iPitchChangeUp>
		<iMinLeftPan>-1</iMinLeftPan>
		<iMaxLeftPan>-1</iMaxLeftPan>
		<iMinRightPan>-1</iMinRightPan>
		<iMaxRightPan>-1</iMaxRightPan>
		<bLooping>0</bLooping>
		<iMinTimeDelay>0</iMinTimeDelay>
		<iMaxTimeDelay>0</iMaxTimeDelay>
		<bTaperForSoundtracks>0</bTaperForSoundtracks>
		<iLengthOfSound>0</iLengthOfSound>
		<fMinDryLevel>1.0</fMinDryLevel>
		<fMaxDryLevel>1.0</fMaxDryLevel>
		<fMinWetLevel>0.0</fMinWetLevel>
		<fMaxWetLevel>0.0</fMaxWetLevel>
		<iNotPlayPercent>0</iNotPlayPercent>
	</Script2DSound>
	<Script2DSound>
		<ScriptID>AS2D_UNIT_BUILD_UNIT</ScriptID>
		<SoundID>SND_WARRIOR_SELECT</SoundID>
		<SoundType>GAME</SoundType>
		<iMinVolume>80</iMinVolume>
		<iMaxVolume>80</iMaxVolume>
		<iPitchChangeDown>0</iPitchChangeDown>
		<iPitchChangeUp>0</iPitchChangeUp>
		<iMinLeftPan>-1</iMinLeftPan>
		<iMaxLeftPan>-1</iMaxLeftPan>
		<iMinRightPan>-1</iMinRightPan>
		<iMaxRightPan>-1</iMaxRightPan>
		<bLooping>0</bLooping>
		<iMinTimeDelay>0</iMinTimeDelay>
		<iMaxTimeDelay>0</iMaxTimeDelay>
		<bTaperForSoundtracks>0</bTaperForSoundtracks>
		<iLengthOfSound>0</iLengthOfSound>
		<fMinDryLevel>1.0</fMinDryLevel>
		<fMaxDryLevel>1.0</fMaxDryLevel>
		<fMinWetLevel>0.0</fMinWetLevel>
		<fMaxWetLevel>0.0</fMaxWetLevel>
		<iNotPlayPercent>0</iNotPlayPercent>
	</Script2DSound>
)XML",
        Declaration::plain);
}

// Hints are keyed by their text key, and one repeats.
std::string hints_xml()
{
    return game_document("Civ4Hints", R"(xmlns="x-schema:CIV4GameInfoSchema.xml")", R"XML(	<HintInfos>
		<HintInfo>
			<Description>TXT_KEY_HINT_1</Description>
		</HintInfo>
		<HintInfo>
			<Description>TXT_KEY_HINT_2</Description>
		</HintInfo>
		<HintInfo>
			<Description>TXT_KEY_HINT_1</Description>
		</HintInfo>
	</HintInfos>
)XML",
        Declaration::plain);
}

std::string game_speed_info_xml()
{
    return game_document("Civ4GameSpeedInfo", R"(xmlns="x-schema:CIV4GameInfoSchema.xml")",
        R"XML(	<GameSpeedInfos>
		<GameSpeedInfo>
			<Type>GAMESPEED_NORMAL</Type>
			<Description>TXT_KEY_GAMESPEED_NORMAL</Description>
			<Help>TXT_KEY_GAMESPEED_NORMAL_HELP</Help>
			<iGrowthPercent>100</iGrowthPercent>
			<iTrainPercent>100</iTrainPercent>
			<iConstructPercent>100</iConstructPercent>
			<iCreatePercent>100</iCreatePercent>
			<iResearchPercent>100</iResearchPercent>
			<iBuildPercent>100</iBuildPercent>
			<iImprovementPercent>100</iImprovementPercent>
			<iGreatPeoplePercent>100</iGreatPeoplePercent>
			<iAnarchyPercent>100</iAnarchyPercent>
			<iBarbPercent>100</iBarbPercent>
			<iInflationOffset>-90</iInflationOffset>
			<iInflationPercent>30</iInflationPercent>
			<iVictoryDelayPercent>100</iVictoryDelayPercent>
			<GameTurnInfos>
				<GameTurnInfo>
					<iMonthIncrement>480</iMonthIncrement>
					<iTurnsPerIncrement>75</iTurnsPerIncrement>
				</GameTurnInfo>
				<GameTurnInfo>
					<iMonthIncrement>300</iMonthIncrement>
					<iTurnsPerIncrement>60</iTurnsPerIncrement>
				</GameTurnInfo>
				<GameTurnInfo>
					<iMonthIncrement>12</iMonthIncrement>
					<iTurnsPerIncrement>60</iTurnsPerIncrement>
				</GameTurnInfo>
			</GameTurnInfos>
		</GameSpeedInfo>
	</GameSpeedInfos>
)XML",
        Declaration::plain);
}

std::string handicap_info_xml()
{
    return game_document("Civ4HandicapInfo", R"(xmlns="x-schema:CIV4GameInfoSchema.xml")",
        R"XML(	<HandicapInfos>
		<HandicapInfo>
			<Type>HANDICAP_NOBLE</Type>
			<Description>TXT_KEY_HANDICAP_NOBLE</Description>
			<Help>TXT_KEY_HANDICAP_NOBLE_HELP</Help>
			<iFreeWinsVsBarbs>2</iFreeWinsVsBarbs>
			<iAnimalAttackProb>50</iAnimalAttackProb>
			<iStartingLocPercent>50</iStartingLocPercent>
			<iStartingGold>0</iStartingGold>
			<iAIPerEraModifier>0</iAIPerEraModifier>
			<Goodies>
				<GoodyType>GOODY_LOW_GOLD</GoodyType>
				<GoodyType>GOODY_LOW_GOLD</GoodyType>
				<GoodyType>GOODY_MAP</GoodyType>
				<GoodyType>GOODY_TECH</GoodyType>
			</Goodies>
			<FreeTechs/>
			<AIFreeTechs>
				<FreeTech>
					<TechType>TECH_HUNTING</TechType>
					<bFreeTech>1</bFreeTech>
				</FreeTech>
			</AIFreeTechs>
		</HandicapInfo>
	</HandicapInfos>
)XML",
        Declaration::plain);
}

// No XML declaration, like the game's file.
std::string detail_manager_xml()
{
    return game_document("DetailManagerInfos", R"(xmlns="x-schema:CIV4DetailManagerSchema.xml")",
        R"XML(	<Fader>
		<Name>FADER_TREES</Name>
		<Key>0.0</Key>
		<Key>0.6</Key>
		<Value>1.0</Value>
	</Fader>
	<Fader>
		<Name>FADER_CLOUDS</Name>
		<Key>0.2</Key>
		<Value>0.5</Value>
	</Fader>
)XML",
        Declaration::none);
}

std::string unit_schema_xml()
{
    return crlf(game_document("Schema",
        R"(xmlns="urn:schemas-microsoft-com:xml-data" xmlns:dt="urn:schemas-microsoft-com:datatypes")",
        R"XML(	<ElementType name="Class" content="textOnly"/>
	<ElementType name="Type" content="textOnly"/>
	<ElementType name="iCost" content="textOnly" dt:type="int"/>
	<ElementType name="UnitInfo" content="eltOnly">
		<element type="Class"/>
		<element type="Type"/>
		<element type="iCost" minOccurs="0"/>
	</ElementType>
	<ElementType name="UnitInfos" content="eltOnly">
		<element type="UnitInfo" maxOccurs="*"/>
	</ElementType>
	<ElementType name="Civ4UnitInfos" content="eltOnly">
		<element type="UnitInfos" minOccurs="0" maxOccurs="*"/>
	</ElementType>
)XML",
        Declaration::none));
}

std::string improvement_infos_xml()
{
    return game_document("Civ4ImprovementInfos", R"(xmlns="x-schema:CIV4TerrainSchema.xml")",
        R"XML(	<ImprovementInfos>
		<ImprovementInfo>
			<Type>IMPROVEMENT_FARM</Type>
			<Description>TXT_KEY_IMPROVEMENT_FARM</Description>
			<Civilopedia>TXT_KEY_IMPROVEMENT_FARM_PEDIA</Civilopedia>
			<ArtDefineTag>ART_DEF_IMPROVEMENT_FARM</ArtDefineTag>
			<PrereqNatureYields>
				<iYield>0</iYield>
				<iYield>0</iYield>
				<iYield>0</iYield>
			</PrereqNatureYields>
			<YieldChanges>
				<iYieldChange>1</iYieldChange>
				<iYieldChange>0</iYieldChange>
				<iYieldChange>0</iYieldChange>
			</YieldChanges>
			<RiverSideYieldChange/>
			<HillsYieldChange/>
			<IrrigatedYieldChange>
				<iYield>1</iYield>
				<iYield>0</iYield>
				<iYield>0</iYield>
			</IrrigatedYieldChange>
			<bHillsMakesValid>1</bHillsMakesValid>
			<bRequiresIrrigation>1</bRequiresIrrigation>
			<iTilesPerGoody>0</iTilesPerGoody>
			<TerrainMakesValids>
				<TerrainMakesValid>
					<TerrainType>TERRAIN_GRASS</TerrainType>
					<bMakesValid>1</bMakesValid>
				</TerrainMakesValid>
				<TerrainMakesValid>
					<TerrainType>TERRAIN_PLAINS</TerrainType>
					<bMakesValid>1</bMakesValid>
				</TerrainMakesValid>
			</TerrainMakesValids>
			<FeatureMakesValids>
				<FeatureMakesValid>
					<FeatureType>FEATURE_FLOOD_PLAINS</FeatureType>
					<bMakesValid>1</bMakesValid>
				</FeatureMakesValid>
			</FeatureMakesValids>
			<BonusTypeStructs>
				<BonusTypeStruct>
					<BonusType>BONUS_WHEAT</BonusType>
					<bBonusMakesValid>1</bBonusMakesValid>
					<bBonusTrade>1</bBonusTrade>
					<iDiscoverRand>0</iDiscoverRand>
					<YieldChanges>
						<iYieldChange>2</iYieldChange>
						<iYieldChange>0</iYieldChange>
						<iYieldChange>0</iYieldChange>
					</YieldChanges>
				</BonusTypeStruct>
			</BonusTypeStructs>
			<ImprovementPillage>NONE</ImprovementPillage>
			<ImprovementUpgrade>NONE</ImprovementUpgrade>
			<TechYieldChanges>
				<TechYieldChange>
					<PrereqTech>TECH_BIOLOGY</PrereqTech>
					<TechYields>
						<iYield>1</iYield>
						<iYield>0</iYield>
						<iYield>0</iYield>
					</TechYields>
				</TechYieldChange>
			</TechYieldChanges>
			<RouteYieldChanges>
				<RouteYieldChange>
					<RouteType>ROUTE_RAILROAD</RouteType>
					<RouteYields>
						<iYield>0</iYield>
						<iYield>1</iYield>
						<iYield>0</iYield>
					</RouteYields>
				</RouteYieldChange>
			</RouteYieldChanges>
			<WorldSoundscapeAudioScript>ASSS_FARM_SELECT_AMB</WorldSoundscapeAudioScript>
			<bGraphicalOnly>0</bGraphicalOnly>
		</ImprovementInfo>
	</ImprovementInfos>
)XML",
        Declaration::plain);
}

std::string bonus_infos_xml()
{
    return game_document("Civ4BonusInfos", R"(xmlns="x-schema:CIV4TerrainSchema.xml")", R"XML(	<BonusInfos>
		<BonusInfo>
			<Type>BONUS_WHEAT</Type>
			<Description>TXT_KEY_BONUS_WHEAT</Description>
			<Civilopedia>TXT_KEY_BONUS_WHEAT_PEDIA</Civilopedia>
			<BonusClassType>BONUSCLASS_GRAIN</BonusClassType>
			<ArtDefineTag>ART_DEF_BONUS_WHEAT</ArtDefineTag>
			<TechReveal>NONE</TechReveal>
			<TechCityTrade>TECH_AGRICULTURE</TechCityTrade>
			<TechObsolete>NONE</TechObsolete>
			<YieldChanges>
				<iYieldChange>1</iYieldChange>
				<iYieldChange>0</iYieldChange>
				<iYieldChange>0</iYieldChange>
			</YieldChanges>
			<iAITradeModifier>0</iAITradeModifier>
			<iHealth>1</iHealth>
			<iHappiness>0</iHappiness>
			<iPlacementOrder>4</iPlacementOrder>
			<Rands>
				<iRandApp1>10</iRandApp1>
				<iRandApp2>10</iRandApp2>
				<iRandApp3>0</iRandApp3>
				<iRandApp4>0</iRandApp4>
			</Rands>
			<bHills>0</bHills>
			<bFlatlands>1</bFlatlands>
			<TerrainBooleans>
				<TerrainBoolean>
					<TerrainType>TERRAIN_PLAINS</TerrainType>
					<bTerrain>1</bTerrain>
				</TerrainBoolean>
			</TerrainBooleans>
			<FeatureBooleans>
				<FeatureBoolean>
					<FeatureType>FEATURE_FLOOD_PLAINS</FeatureType>
					<bFeature>1</bFeature>
				</FeatureBoolean>
			</FeatureBooleans>
			<FeatureTerrainBooleans>
				<FeatureTerrainBoolean>
					<TerrainType>TERRAIN_DESERT</TerrainType>
					<bFeatureTerrain>1</bFeatureTerrain>
				</FeatureTerrainBoolean>
			</FeatureTerrainBooleans>
			<bUseLSystem>1</bUseLSystem>
		</BonusInfo>
	</BonusInfos>
)XML",
        Declaration::plain);
}

std::string terrain_infos_xml()
{
    return game_document("Civ4TerrainInfos", R"(xmlns="x-schema:CIV4TerrainSchema.xml")",
        R"XML(	<TerrainInfos>
		<TerrainInfo>
			<Type>TERRAIN_GRASS</Type>
			<Description>TXT_KEY_TERRAIN_GRASS</Description>
			<Civilopedia>TXT_KEY_TERRAIN_GRASS_PEDIA</Civilopedia>
			<ArtDefineTag>ART_DEF_TERRAIN_GRASS</ArtDefineTag>
			<Yields>
				<iYield>2</iYield>
				<iYield>0</iYield>
				<iYield>0</iYield>
			</Yields>
			<RiverYieldChange>
				<iYield>0</iYield>
				<iYield>0</iYield>
				<iYield>1</iYield>
			</RiverYieldChange>
			<HillsYieldChange>
				<iYield>-1</iYield>
				<iYield>1</iYield>
				<iYield>0</iYield>
			</HillsYieldChange>
			<bWater>0</bWater>
			<bImpassable>0</bImpassable>
			<iMovement>1</iMovement>
			<iDefense>0</iDefense>
			<FootstepSounds>
				<FootstepSound>
					<FootstepAudioType>FOOTSTEP_AUDIO_HUMAN</FootstepAudioType>
					<FootstepAudioScript>AS3D_FOOTSTEP_GRASS</FootstepAudioScript>
				</FootstepSound>
			</FootstepSounds>
			<WorldSoundscapeAudioScript>ASSS_GRASSLAND_SELECT_AMB</WorldSoundscapeAudioScript>
			<Button>Art/Interface/Buttons/WorldBuilder/Terrain_Grass.dds</Button>
		</TerrainInfo>
	</TerrainInfos>
)XML",
        Declaration::plain);
}

std::string feature_infos_xml()
{
    return game_document("Civ4FeatureInfos", R"(xmlns="x-schema:CIV4TerrainSchema.xml")",
        R"XML(	<FeatureInfos>
		<FeatureInfo>
			<Type>FEATURE_FOREST</Type>
			<Description>TXT_KEY_FEATURE_FOREST</Description>
			<Civilopedia>TXT_KEY_FEATURE_FOREST_PEDIA</Civilopedia>
			<ArtDefineTag>ART_DEF_FEATURE_FOREST</ArtDefineTag>
			<YieldChanges>
				<iYieldChange>0</iYieldChange>
				<iYieldChange>1</iYieldChange>
				<iYieldChange>0</iYieldChange>
			</YieldChanges>
			<RiverYieldChange/>
			<HillsYieldChange/>
			<iMovement>2</iMovement>
			<iSeeThrough>1</iSeeThrough>
			<iHealthPercent>40</iHealthPercent>
			<iDefense>50</iDefense>
			<TerrainBooleans>
				<TerrainBoolean>
					<TerrainType>TERRAIN_GRASS</TerrainType>
					<bTerrain>1</bTerrain>
				</TerrainBoolean>
				<TerrainBoolean>
					<TerrainType>TERRAIN_PLAINS</TerrainType>
					<bTerrain>1</bTerrain>
				</TerrainBoolean>
			</TerrainBooleans>
			<FootstepSounds>
				<FootstepSound>
					<FootstepAudioType>FOOTSTEP_AUDIO_HUMAN</FootstepAudioType>
					<FootstepAudioScript>AS3D_FOOTSTEP_FOREST</FootstepAudioScript>
				</FootstepSound>
			</FootstepSounds>
			<WorldSoundscapeAudioScript>ASSS_FOREST_SELECT_AMB</WorldSoundscapeAudioScript>
			<EffectType>NONE</EffectType>
		</FeatureInfo>
	</FeatureInfos>
)XML",
        Declaration::plain);
}

std::string culture_level_info_xml()
{
    return game_document("Civ4CultureLevelInfo", R"(xmlns="x-schema:CIV4GameInfoSchema.xml")",
        R"XML(	<CultureLevelInfos>
		<CultureLevelInfo>
			<Type>CULTURELEVEL_DEVELOPING</Type>
			<Description>TXT_KEY_CULTURELEVEL_DEVELOPING</Description>
			<iCityDefenseModifier>20</iCityDefenseModifier>
			<SpeedThresholds>
				<SpeedThreshold>
					<GameSpeedType>GAMESPEED_MARATHON</GameSpeedType>
					<iThreshold>30</iThreshold>
				</SpeedThreshold>
				<SpeedThreshold>
					<GameSpeedType>GAMESPEED_NORMAL</GameSpeedType>
					<iThreshold>10</iThreshold>
				</SpeedThreshold>
			</SpeedThresholds>
		</CultureLevelInfo>
	</CultureLevelInfos>
)XML",
        Declaration::plain);
}

std::string era_infos_xml()
{
    return game_document("Civ4EraInfos", R"(xmlns="x-schema:CIV4GameInfoSchema.xml")", R"XML(	<EraInfos>
		<EraInfo>
			<Type>ERA_ANCIENT</Type>
			<Description>TXT_KEY_ERA_ANCIENT</Description>
			<Strategy>TXT_KEY_ERA_ANCIENT_STRATEGY</Strategy>
			<bNoGoodies>0</bNoGoodies>
			<bNoAnimals>0</bNoAnimals>
			<iStartingUnitMultiplier>1</iStartingUnitMultiplier>
			<iResearchPercent>100</iResearchPercent>
			<EraInfoSoundtracks>
				<EraInfoSoundtrack>AS2D_ANCIENT_SOUNDTRACK_1</EraInfoSoundtrack>
				<EraInfoSoundtrack>AS2D_ANCIENT_SOUNDTRACK_2</EraInfoSoundtrack>
			</EraInfoSoundtracks>
			<CitySoundscapes>
				<CitySoundscape>
					<CitySizeType>CITYSIZE_SMALL</CitySizeType>
					<SoundscapeScript>ASSS_CITY_SMALL_ANCIENT</SoundscapeScript>
				</CitySoundscape>
			</CitySoundscapes>
			<AudioUnitVictoryScript>AS2D_VICTORY_ANCIENT</AudioUnitVictoryScript>
			<AudioUnitDefeatScript>AS2D_DEFEAT_ANCIENT</AudioUnitDefeatScript>
		</EraInfo>
	</EraInfos>
)XML",
        Declaration::plain);
}

std::string corporation_info_xml()
{
    return game_document("Civ4CorporationInfo", R"(xmlns="x-schema:CIV4GameInfoSchema.xml")",
        R"XML(	<CorporationInfos>
		<CorporationInfo>
			<Type>CORPORATION_3</Type>
			<Description>TXT_KEY_CORPORATION_3</Description>
			<Civilopedia>TXT_KEY_CORPORATION_3_PEDIA</Civilopedia>
			<TechPrereq>TECH_CORPORATION</TechPrereq>
			<FreeUnitClass>UNITCLASS_EXECUTIVE_3</FreeUnitClass>
			<SpreadFactor>100</SpreadFactor>
			<iSpreadCost>100</iSpreadCost>
			<iMaintenance>50</iMaintenance>
			<PrereqBonuses>
				<BonusType>BONUS_WHEAT</BonusType>
				<BonusType>BONUS_CORN</BonusType>
				<BonusType>BONUS_RICE</BonusType>
			</PrereqBonuses>
			<HeadquarterCommerces>
				<iHeadquarterCommerce>4</iHeadquarterCommerce>
				<iHeadquarterCommerce>0</iHeadquarterCommerce>
				<iHeadquarterCommerce>0</iHeadquarterCommerce>
				<iHeadquarterCommerce>0</iHeadquarterCommerce>
			</HeadquarterCommerces>
			<CommercesProduced/>
			<YieldsProduced>
				<iYieldProduced>100</iYieldProduced>
				<iYieldProduced>0</iYieldProduced>
				<iYieldProduced>0</iYieldProduced>
			</YieldsProduced>
			<BonusProduced>NONE</BonusProduced>
			<Button>,Art/Interface/Buttons/Corporations/Corporation3.dds,Art/Interface/Buttons/Beyond_the_Sword_Atlas.dds,3,3</Button>
		</CorporationInfo>
	</CorporationInfos>
)XML",
        Declaration::plain);
}

std::string specialist_infos_xml()
{
    return game_document("Civ4SpecialistInfos", R"(xmlns="x-schema:CIV4GameInfoSchema.xml")",
        R"XML(	<SpecialistInfos>
		<SpecialistInfo>
			<Type>SPECIALIST_ENGINEER</Type>
			<Description>TXT_KEY_SPECIALIST_ENGINEER</Description>
			<Civilopedia>TXT_KEY_SPECIALIST_ENGINEER_PEDIA</Civilopedia>
			<Strategy>TXT_KEY_SPECIALIST_ENGINEER_STRATEGY</Strategy>
			<bVisible>1</bVisible>
			<GreatPeopleUnitClass>UNITCLASS_ENGINEER</GreatPeopleUnitClass>
			<iGreatPeopleRateChange>3</iGreatPeopleRateChange>
			<Yields>
				<iYield>0</iYield>
				<iYield>2</iYield>
				<iYield>0</iYield>
			</Yields>
			<Commerces/>
			<iExperience>0</iExperience>
			<Flavors>
				<Flavor>
					<FlavorType>FLAVOR_PRODUCTION</FlavorType>
					<iFlavor>2</iFlavor>
				</Flavor>
			</Flavors>
			<Texture>Art/Interface/Buttons/Citizens/Engineer.dds</Texture>
		</SpecialistInfo>
	</SpecialistInfos>
)XML",
        Declaration::plain);
}

std::string color_vals_xml()
{
    return game_document("Civ4ColorVals", R"(xmlns="x-schema:CIV4InterfaceSchema.xml")", R"XML(	<ColorVals>
		<ColorVal>
			<Type>COLOR_CLEAR</Type>
			<fRed>0</fRed>
			<fGreen>0</fGreen>
			<fBlue>0</fBlue>
			<fAlpha>0</fAlpha>
		</ColorVal>
		<ColorVal>
			<Type>COLOR_PLAYER_LIGHT_BLUE</Type>
			<fRed>0.5</fRed>
			<fGreen>0.75</fGreen>
			<fBlue>1.0</fBlue>
			<fAlpha>1.0</fAlpha>
		</ColorVal>
	</ColorVals>
)XML",
        Declaration::plain);
}

std::string undeclared_latin1_text_xml()
{
    return crlf(game_document("Civ4GameText", R"(xmlns="http://www.firaxis.com")", to_latin1(R"XML(	<TEXT>
		<Tag>TXT_KEY_AUTOPLAY_TURN_ON</Tag>
		<English>Turn automatic play on</English>
		<French>Activer le jeu automatique (Contrôle désactivé)</French>
	</TEXT>
)XML")));
}

std::string game_text_quirks_xml()
{
    return game_document("Civ4GameText", R"(xmlns="http://www.firaxis.com")", R"XML(	<TEXT>
		<Tag>TXT_KEY_QUIRK_REPEATED_LANGUAGE</Tag>
		<English>Shown twice in German</English>
		<German>Erste Fassung</German>
		<German>Zweite Fassung</German>
	</TEXT>
	<TEXT>
		<Tag/>
		<English>A record with an empty key</English>
	</TEXT>
	<English>Stray text under the root</English>
	<French>
		<Text>Texte perdu</Text>
		<Gender>Male</Gender>
		<Plural>0</Plural>
	</French>
)XML",
        Declaration::utf_8);
}

std::vector<GameFile> game_files()
{
    struct Entry {
        const char* path;
        std::string (*text)();
    };
    static const Entry entries[] = {
        {"XML\\Units\\CIV4UnitInfos.xml", unit_infos_xml},
        {"XML\\Buildings\\CIV4BuildingInfos.xml", building_infos_xml},
        {"XML\\Technologies\\CIV4TechInfos.xml", tech_infos_xml},
        {"XML\\Civilizations\\CIV4CivilizationInfos.xml", civilization_infos_xml},
        {"XML\\Civilizations\\CIV4LeaderHeadInfos.xml", leaderhead_infos_xml},
        {"XML\\Units\\CIV4PromotionInfos.xml", promotion_infos_xml},
        {"XML\\GameInfo\\CIV4CivicInfos.xml", civic_infos_xml},
        {"XML\\Events\\CIV4EventInfos.xml", event_infos_xml},
        {"XML\\Events\\CIV4EventTriggerInfos.xml", event_trigger_infos_xml},
        {"XML\\GameInfo\\CIV4DiplomacyInfos.xml", diplomacy_infos_xml},
        {"XML\\GlobalDefines.xml", global_defines_xml},
        {"XML\\Text\\CIV4GameTextInfos_Objects.xml", game_text_xml},
        {"XML\\Art\\CIV4ArtDefines_Unit.xml", art_defines_unit_xml},
        {"XML\\Audio\\AudioDefines.xml", audio_defines_xml},
        {"XML\\Audio\\Audio2DScripts.xml", audio_2d_scripts_xml},
        {"XML\\GameInfo\\CIV4Hints.xml", hints_xml},
        {"XML\\GameInfo\\CIV4GameSpeedInfo.xml", game_speed_info_xml},
        {"XML\\GameInfo\\CIV4HandicapInfo.xml", handicap_info_xml},
        {"XML\\Misc\\CIV4DetailManager.xml", detail_manager_xml},
        {"XML\\Units\\CIV4UnitSchema.xml", unit_schema_xml},
        {"XML\\Terrain\\CIV4ImprovementInfos.xml", improvement_infos_xml},
        {"XML\\Terrain\\CIV4BonusInfos.xml", bonus_infos_xml},
        {"XML\\Terrain\\CIV4TerrainInfos.xml", terrain_infos_xml},
        {"XML\\Terrain\\CIV4FeatureInfos.xml", feature_infos_xml},
        {"XML\\GameInfo\\CIV4CultureLevelInfo.xml", culture_level_info_xml},
        {"XML\\GameInfo\\CIV4EraInfos.xml", era_infos_xml},
        {"XML\\GameInfo\\CIV4CorporationInfo.xml", corporation_info_xml},
        {"XML\\GameInfo\\CIV4SpecialistInfos.xml", specialist_infos_xml},
        {"XML\\Interface\\CIV4ColorVals.xml", color_vals_xml},
        {"XML\\Text\\CIV4GameText_AIAutoPlay.xml", undeclared_latin1_text_xml},
        {"XML\\Text\\CIV4GameText_Quirks.xml", game_text_quirks_xml},
    };
    std::vector<GameFile> files;
    for (const Entry& e : entries)
        files.push_back({e.path, e.text()});
    return files;
}

} // namespace velmora::test
