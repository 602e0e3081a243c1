#include "cli/json.h"

#include <nlohmann/json.hpp>

#include "path/path.h"
#include "path/platform.h"

namespace velmora::cli {

std::string platform_path(const Path& p) { return platform::native(p); }

void print(std::ostream& out, const nlohmann::json& document)
{
    out << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

} // namespace velmora::cli
