#include "support/core_fixtures.h"

#include <algorithm>
#include <stdexcept>
#include <unistd.h>

#include "core/build_info.h"
#include "core/check_memos.h"
#include "core/manifest.h"
#include "mod/provenance.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/text.h"
#include "xml/element_info.h"

namespace velmora::test {

const char* const unit_infos_file = "XML\\Units\\CIV4UnitInfos.xml";
const char* const events_script_file = "Python\\CvVelmoraEvents.py";

std::string fixture_elements_table()
{
    return "# Velmora element table for the test game\n"
           "UnitInfos\tCiv4UnitInfos\ttoplevel\n"
           "UnitInfos\tUnitInfos\tcontainer\n"
           "UnitInfos\tUnitInfo\tobject\tType\n"
           "UnitInfos\tFlavors\tcontainer\n"
           "UnitInfos\tFlavor\tobject\tFlavorType\n";
}

namespace {

bool needs_encoding(const std::string& bytes)
{
    for (std::string::size_type i = 0; i < bytes.size() && i < 1024; ++i) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        if ((b < 0x20 && b != '\n' && b != '\r') || b >= 0x7f)
            return true;
    }
    return false;
}

} // namespace

std::string game_unit_infos()
{
    // "Données" in ISO-8859-1: the file's declared encoding.
    return crlf("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                "<!-- edited with XMLSPY v2004 rel. 2 U (http://www.xmlspy.com) by Velmora Tests -->\n"
                "<!-- Velmora test data: Donn\xe9"
                "es des unit\xe9s -->\n"
                "<Civ4UnitInfos xmlns=\"x-schema:CIV4UnitSchema.xml\">\n"
                "\t<UnitInfos>\n"
                "\t\t<UnitInfo>\n"
                "\t\t\t<Class>UNITCLASS_WARRIOR</Class>\n"
                "\t\t\t<Type>UNIT_WARRIOR</Type>\n"
                "\t\t\t<Description>TXT_KEY_UNIT_WARRIOR</Description>\n"
                "\t\t\t<iCombat>1</iCombat>\n"
                "\t\t\t<Flavors>\n"
                "\t\t\t\t<Flavor>\n"
                "\t\t\t\t\t<FlavorType>FLAVOR_MILITARY</FlavorType>\n"
                "\t\t\t\t\t<iFlavor>2</iFlavor>\n"
                "\t\t\t\t</Flavor>\n"
                "\t\t\t</Flavors>\n"
                "\t\t</UnitInfo>\n"
                "\t\t<UnitInfo>\n"
                "\t\t\t<Class>UNITCLASS_ARCHER</Class>\n"
                "\t\t\t<Type>UNIT_ARCHER</Type>\n"
                "\t\t\t<Description>TXT_KEY_UNIT_ARCHER</Description>\n"
                "\t\t\t<iCombat>3</iCombat>\n"
                "\t\t\t<Flavors>\n"
                "\t\t\t\t<Flavor>\n"
                "\t\t\t\t\t<FlavorType>FLAVOR_DEFENSE</FlavorType>\n"
                "\t\t\t\t\t<iFlavor>5</iFlavor>\n"
                "\t\t\t\t</Flavor>\n"
                "\t\t\t</Flavors>\n"
                "\t\t</UnitInfo>\n"
                "\t</UnitInfos>\n"
                "</Civ4UnitInfos>\n");
}

std::string game_events_script()
{
    return "# Velmora test game: event handlers\n"
           "import CvUtil\n"
           "\n"
           "def onGameStart(argsList):\n"
           "\tiPlayer = argsList[0]\n"
           "\tCvUtil.pyPrint(\"game start\")\n"
           "\treturn 0\n"
           "\n"
           "def onEndTurn(argsList):\n"
           "\treturn 0\n";
}

void write_game(const Path& civ4_dir)
{
    write_file(civ4_dir / Path("Assets") / Path(unit_infos_file), game_unit_infos());
    write_file(civ4_dir / Path("Assets") / Path(events_script_file), game_events_script());
}

std::string mod_file_text(const std::string& name, const std::vector<FixtureChange>& changes,
    const std::string& author, const std::string& version, const std::string& description)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Pellarix>\n";
    text += "  <Name>" + escape_xml(name) + "</Name>\n";
    text += "  <Author>" + escape_xml(author) + "</Author>\n";
    text += "  <Version>" + escape_xml(version) + "</Version>\n";
    text += "  <Description>" + escape_xml(description) + "</Description>\n";
    for (const FixtureChange& c : changes) {
        text += "  <Change file=\"" + escape_xml(c.file) + "\" type=\"" + c.type + "\"";
        if (c.type == "whole" && needs_encoding(c.text))
            text += " base64=\"1\" size=\"" + std::to_string(c.text.size()) + "\">"
                + encode_mod_base64(c.text);
        else
            text += ">" + escape_xml(c.text);
        text += "</Change>\n";
    }
    return text + "</Pellarix>\n";
}

CurrentFolder::CurrentFolder(const Path& folder)
{
    char buf[4096];
    if (!::getcwd(buf, sizeof buf))
        throw std::runtime_error("cannot read the current folder");
    previous_ = buf;
    if (::chdir(platform::native(folder).c_str()) != 0)
        throw std::runtime_error("cannot enter " + folder.str());
}

CurrentFolder::~CurrentFolder() { (void)::chdir(previous_.c_str()); }

namespace {

Path prepare_run_folder(const TempDir& dir)
{
    ElementInfoStorage::instance().clear();
    write_file(dir / "run/elements.txt", fixture_elements_table());
    // The program's own reference table, as an install has it beside elements.txt.
    write_file(dir / "run/references.txt", read_file(Path(VELMORA_SOURCE_DIR "/references.txt")));
    return dir / "run";
}

} // namespace

CoreSandbox::CoreSandbox()
    : cwd_(prepare_run_folder(dir_))
{
    mkpath(home(), 0755);
    write_game(game());
}

CoreSandbox::~CoreSandbox() { ElementInfoStorage::instance().clear(); }

void CoreSandbox::write_conf(
    const Path& civ4, const Path& custom_assets, const std::vector<std::string>& enabled) const
{
    std::string text = "<?xml version=\"1.0\"?>\n<VelmoraConfig>\n";
    text += "  <Civ4Dir>" + civ4.str() + "</Civ4Dir>\n";
    text += "  <ModsDir>" + mods().str() + "</ModsDir>\n";
    text += "  <CustomAssetsDir>" + custom_assets.str() + "</CustomAssetsDir>\n";
    for (const std::string& name : enabled)
        text += "  <EnabledMod>" + escape_xml(name) + "</EnabledMod>\n";
    write_file(conf(), text + "</VelmoraConfig>\n");
}

namespace {

void collect(const Path& folder, const std::string& prefix, std::vector<std::string>& out)
{
    for (const std::string& name : list_files(folder)) {
        Path child = child_path(folder, name);
        if (platform::kind_of(child.str()) == platform::Kind::Folder)
            collect(child, prefix + name + "\\", out);
        else
            out.push_back(prefix + name);
    }
}

} // namespace

std::vector<std::string> CoreSandbox::backups() const
{
    std::vector<std::string> found;
    for (const std::string& name : list_files(dir_ / "My Games"))
        if (name.rfind("CustomAssets.velmora-backup-", 0) == 0)
            found.push_back(name);
    return found;
}

std::vector<std::string> list_tree(const Path& folder)
{
    std::vector<std::string> out;
    collect(folder, "", out);
    // The list of what an apply wrote, the record of who made each file, the
    // record of what the build was made from and the scans of its checks are
    // not files it built.
    auto own = [](const std::string& f) {
        for (const std::string name :
            {Manifest::file_name, Provenance::file_name, BuildInfo::file_name, CheckMemos::file_name})
            if (f == name
                || (f.size() > name.size() && f.compare(f.size() - name.size() - 1, name.size() + 1, "\\" + name) == 0))
                return true;
        return false;
    };
    out.erase(std::remove_if(out.begin(), out.end(), own), out.end());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace velmora::test
