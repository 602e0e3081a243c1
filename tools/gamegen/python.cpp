#include "tools/gamegen/python.h"

#include <algorithm>
#include <cmath>

#include "tools/gamegen/text.h"
#include "tools/gamegen/world.h"

namespace velmora::gamegen {

namespace {

struct Named {
    const char* path;
    int lines;
};

// Modules under the names the game's interface looks them up by; their sizes
// follow the spread of a real script folder.
const std::vector<Named> kNamed = {{"Python/CvEventManager.py", 1300}, {"Python/CvUtil.py", 520},
    {"Python/PyHelpers.py", 950}, {"Python/CvGameUtils.py", 480}, {"Python/CvScreenEnums.py", 140},
    {"Python/CvAdvisorUtils.py", 600}, {"Python/CvCameraControls.py", 300},
    {"Python/EntryPoints/CvEventInterface.py", 60}, {"Python/EntryPoints/CvGameInterface.py", 420},
    {"Python/EntryPoints/CvScreensInterface.py", 1100}, {"Python/EntryPoints/CvAppInterface.py", 160},
    {"Python/EntryPoints/CvRandomEventInterface.py", 3900}, {"Python/EntryPoints/CvWBInterface.py", 120},
    {"Python/Screens/CvMainInterface.py", 6000}, {"Python/Screens/CvTechChooser.py", 1500},
    {"Python/Screens/CvDomesticAdvisor.py", 800}, {"Python/Screens/CvForeignAdvisor.py", 1300},
    {"Python/Screens/CvVictoryScreen.py", 2300}, {"Python/Screens/CvInfoScreen.py", 3600},
    {"Python/Screens/CvPediaMain.py", 950}, {"Python/Screens/CvPediaUnit.py", 420},
    {"Python/Screens/CvPediaBuilding.py", 400}, {"Python/Screens/CvFinanceAdvisor.py", 500},
    {"Python/Screens/CvReligionScreen.py", 700}, {"Python/Screens/CvMilitaryAdvisor.py", 900},
    {"Python/Screens/CvEspionageAdvisor.py", 800}, {"Python/Screens/CvCivicsScreen.py", 500},
    {"Python/Screens/CvDawnOfMan.py", 150}, {"Python/Screens/CvOptionsScreen.py", 1000},
    {"Python/pyHelper/Popup.py", 250}, {"Python/pyWB/CvWBDesc.py", 1800}, {"Python/pyWB/CvWBPopups.py", 700},
    {"Python/BUG/BugCore.py", 400}, {"Python/BUG/BugOptions.py", 900}, {"Python/BUG/BugUtil.py", 1000},
    {"Python/BUG/BugPath.py", 700}, {"Python/BUG/BugConfig.py", 1200}, {"Python/BUG/BugEventManager.py", 800},
    {"Python/Contrib/ConfigStore.py", 2800}, {"Python/Contrib/RandomNameUtils.py", 4500}};

const std::vector<std::string> kFolders
    = {"Python/BUG/", "Python/Contrib/", "Python/Screens/", "Python/Contrib/"};
const std::vector<std::string> kKinds
    = {"Utils", "Screen", "Advisor", "Manager", "Options", "Events", "Helper"};

int scaled_lines(int base, double scale) { return std::max(30, static_cast<int>(std::lround(base * scale))); }

const std::vector<std::string> kObjects = {"pPlayer", "pCity", "pUnit", "pPlot", "pTeam", "pGame", "screen"};
const std::vector<std::string> kGetters = {"getOwner", "getID", "getTeam", "getPopulation", "getX", "getY",
    "getGold", "getCurrentEra", "getNumCities", "getCivilizationType", "getLeaderType", "getUnitType",
    "getBuildingClassCount", "getCommerceRate", "getGameTurn", "getArea", "getHealth", "getHappiness"};
const std::vector<std::string> kConditions = {"isNone", "isHuman", "isAlive", "isBarbarian", "isCoastal",
    "isCapital", "isHills", "isWater", "isOccupation", "isDisorder", "isAtWar", "isHasMet"};
const std::vector<std::string> kInfos = {"Unit", "Building", "Tech", "Civic", "Bonus", "Promotion",
    "Improvement", "Specialist", "Religion", "Corporation", "Leader", "Civilization"};
const std::vector<std::string> kVariables = {"iValue", "iCount", "iPlayer", "iTurn", "iGold", "iCost",
    "iBestValue", "iIndex", "szText", "szName", "bFound", "iLoop", "iX", "iY", "iChange"};
const std::vector<std::string> kEvents = {"GameStart", "BeginGameTurn", "EndGameTurn", "BeginPlayerTurn",
    "EndPlayerTurn", "CityBuilt", "CityRazed", "CityAcquired", "CityLost", "CityGrowth", "UnitBuilt",
    "UnitKilled", "UnitPromoted", "UnitMove", "TechAcquired", "TechSelected", "BuildingBuilt", "ProjectBuilt",
    "ReligionFounded", "CorporationFounded", "GoldenAge", "ChangeWar", "PlotRevealed", "ImprovementBuilt",
    "RouteBuilt", "GreatPersonBorn", "VictoryAchieved", "WindowActivation", "MouseEvent", "KbdEvent"};
const std::vector<std::string> kScreenParts
    = {"Background", "Header", "Table", "Panel", "Button", "Label", "Scroll", "Icon", "Text", "Title"};

class Script {
public:
    Script(Rng& rng, const PythonFile& file)
        : rng_(rng)
        , file_(file)
        , unit_(file.spaces ? "    " : "\t")
    { }

    std::string text()
    {
        std::string module = file_.path.substr(file_.path.rfind('/') + 1);
        module = module.substr(0, module.size() - 3);
        head(module);
        while (static_cast<int>(lines_.size()) + 4 <= file_.lines)
            method();
        while (static_cast<int>(lines_.size()) < file_.lines)
            line(1, "pass");
        lines_.resize(static_cast<std::size_t>(file_.lines));
        std::string eol = file_.crlf ? "\r\n" : "\n", out;
        for (const auto& l : lines_)
            out += l + eol;
        return out;
    }

private:
    void line(int depth, const std::string& text)
    {
        std::string l;
        for (int i = 0; i < depth; ++i)
            l += unit_;
        lines_.push_back(l + text);
    }

    void head(const std::string& module)
    {
        if (file_.latin1)
            line(0, "# -*- coding: iso-8859-1 -*-");
        line(0, "## " + module);
        line(0, "## Sample script made by velmora-gamegen: every line is made up.");
        line(0, "##");
        line(0, "from CvPythonExtensions import *");
        line(0, "import CvUtil");
        line(0, "import PyHelpers");
        if (rng_.chance(50))
            line(0, "import Popup as PyPopup");
        line(0, "");
        line(0, "gc = CyGlobalContext()");
        line(0, "localText = CyTranslator()");
        line(0, "PyPlayer = PyHelpers.PyPlayer");
        if (file_.latin1)
            line(0, "# " + latin1_phrase(rng_, "German", 6));
        line(0, "");
        line(0, "class " + module + ":");
        line(1, "\"" + capital(english_phrase(rng_, 5)) + "\"");
        line(0, "");
        line(1, "def __init__(self):");
        int members = rng_.range(2, 6);
        for (int i = 0; i < members; ++i)
            line(2, "self." + rng_.pick(kVariables) + " = " + std::to_string(rng_.range(-1, 10)));
        line(0, "");
    }

    void method()
    {
        int budget = file_.lines - static_cast<int>(lines_.size());
        int body = std::min(budget - 3, rng_.range(4, 40));
        line(1, "def on" + rng_.pick(kEvents) + "(self, argsList):");
        line(2, "'" + capital(english_phrase(rng_, 4)) + "'");
        std::size_t end = lines_.size() + static_cast<std::size_t>(body);
        while (lines_.size() + 1 < end)
            statement(2, end - 1);
        line(2, "return " + (rng_.chance(50) ? std::string("0") : rng_.pick(kVariables)));
        line(0, "");
    }

    // One statement at depth, or a block that ends before line end.
    void statement(int depth, std::size_t end)
    {
        std::size_t room = end - lines_.size();
        int pick = rng_.range(0, 9);
        if (room >= 3 && depth < 5 && pick < 2) {
            line(depth,
                pick == 0 ? "if " + rng_.pick(kObjects) + "." + rng_.pick(kConditions) + "():"
                          : "for i in range(gc.getNum" + rng_.pick(kInfos) + "Infos()):");
            std::size_t block_end = lines_.size()
                + static_cast<std::size_t>(
                    rng_.range(1, static_cast<int>(std::min<std::size_t>(room - 1, 6))));
            while (lines_.size() < block_end)
                statement(depth + 1, block_end);
            return;
        }
        switch (pick) {
        case 2:
            line(depth,
                rng_.pick(kVariables) + " = " + rng_.pick(kObjects) + "." + rng_.pick(kGetters) + "()");
            break;
        case 3:
            line(depth, rng_.pick(kVariables) + " += " + std::to_string(rng_.range(1, 100)));
            break;
        case 4:
            line(depth, "CvUtil.pyPrint('" + capital(english_phrase(rng_, 4)) + "')");
            break;
        case 5:
            line(depth, "pPlayer = gc.getPlayer(" + rng_.pick(kVariables) + ")");
            break;
        case 6:
            line(depth,
                "screen.setText(\"" + rng_.pick(kScreenParts) + std::to_string(rng_.range(0, 99))
                    + "\", \"Background\", localText.getText(\"TXT_KEY_" + to_upper(rng_.pick(kInfos))
                    + "\", ()), CvUtil.FONT_LEFT_JUSTIFY, " + std::to_string(rng_.range(0, 1024)) + ", "
                    + std::to_string(rng_.range(0, 768))
                    + ", -0.1, FontTypes.GAME_FONT, WidgetTypes.WIDGET_GENERAL, -1, -1)");
            break;
        case 7:
            line(depth, "# " + (file_.latin1 ? latin1_phrase(rng_, "French", 5) : english_phrase(rng_, 6)));
            break;
        case 8:
            line(depth,
                "iValue = pCity.getYieldRate(YieldTypes."
                    + rng_.pick(std::vector<std::string>{"YIELD_FOOD", "YIELD_PRODUCTION", "YIELD_COMMERCE"})
                    + ")");
            break;
        default:
            line(depth, "self." + rng_.pick(kVariables) + " = " + std::to_string(rng_.range(0, 500)));
        }
    }

    static std::string capital(std::string s)
    {
        if (!s.empty() && s[0] >= 'a' && s[0] <= 'z')
            s[0] = static_cast<char>(s[0] - 'a' + 'A');
        return s;
    }

    Rng& rng_;
    const PythonFile& file_;
    std::string unit_;
    std::vector<std::string> lines_;
};

} // namespace

std::vector<PythonFile> python_files(double scale)
{
    std::vector<PythonFile> out;
    for (const auto& n : kNamed) {
        PythonFile f;
        f.path = n.path;
        f.lines = scaled_lines(n.lines, scale);
        out.push_back(f);
    }
    int extra = static_cast<int>(std::lround(155 * scale)) - static_cast<int>(out.size());
    Rng rng(hash_text("python-files"));
    for (int i = 0; i < extra; ++i) {
        PythonFile f;
        const std::string& kind = kKinds[static_cast<std::size_t>(i) % kKinds.size()];
        f.path = kFolders[static_cast<std::size_t>(i) % kFolders.size()] + invented_name(i * 7 + 3) + kind
            + ".py";
        // Most scripts have a few hundred lines; one in eight is much larger.
        int lines = rng.range(30, 450) * (rng.chance(12) ? 6 : 1);
        f.lines = scaled_lines(lines, scale);
        out.push_back(f);
    }
    for (auto& f : out) {
        std::uint64_t h = hash_text(f.path);
        f.crlf = h % 9 == 0 || f.path == "Python/EntryPoints/CvRandomEventInterface.py";
        f.spaces = f.path == "Python/Contrib/ConfigStore.py" || h % 61 == 5;
        f.latin1 = f.path == "Python/Contrib/RandomNameUtils.py" || f.path == "Python/Screens/CvDawnOfMan.py";
    }
    std::sort(
        out.begin(), out.end(), [](const PythonFile& a, const PythonFile& b) { return a.path < b.path; });
    return out;
}

std::string python_script(Rng& rng, const PythonFile& file) { return Script(rng, file).text(); }

} // namespace velmora::gamegen
