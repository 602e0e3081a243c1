// Any bytes as a mod's INI file: the values read are valid UTF-8 XML text.
#include <cstdint>
#include <sstream>
#include <string>

#include "core/ini.h"
#include "mod/xml_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    velmora::ModIni ini = velmora::read_mod_ini(in);
    if ((ini.name && !velmora::is_xml_text(*ini.name))
        || (ini.description && !velmora::is_xml_text(*ini.description)))
        __builtin_trap();
    return 0;
}
