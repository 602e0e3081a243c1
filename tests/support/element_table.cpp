#include "support/element_table.h"

#include "support/tempdir.h"
#include "xml/element_info.h"

namespace velmora::test {

ElementTableScope::ElementTableScope() { ElementInfoStorage::instance().clear(); }

ElementTableScope::~ElementTableScope() { ElementInfoStorage::instance().clear(); }

void ElementTableScope::load_text(const std::string& lines)
{
    TempDir dir;
    write_file(dir / "elements.txt", lines);
    ElementInfoStorage::instance().load(dir.native() + "/elements.txt");
}

void ElementTableScope::load_shipped() { ElementInfoStorage::instance().load(shipped_table_file()); }

std::string shipped_table_file() { return VELMORA_SOURCE_DIR "/elements.txt"; }

} // namespace velmora::test
