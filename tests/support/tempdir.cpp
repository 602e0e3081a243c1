#include "support/tempdir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "path/fs.h"
#include "path/platform.h"

namespace velmora::test {

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/velmora-\xc3\xa9-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data()))
        throw std::runtime_error("cannot create a temporary folder from " + templ);
    path_ = Path(std::string(buf.data()));
}

TmpdirScope::TmpdirScope(const std::string& value)
{
    const char* old = std::getenv("TMPDIR");
    had_ = old != nullptr;
    old_ = old ? old : "";
    ::setenv("TMPDIR", value.c_str(), 1);
}

TmpdirScope::~TmpdirScope()
{
    if (had_)
        ::setenv("TMPDIR", old_.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

TempDir::~TempDir()
{
    std::string cmd = "chmod -R u+rwx '" + native() + "' 2>/dev/null";
    (void)std::system(cmd.c_str());
    rmdir(path_, true);
}

std::string TempDir::native() const { return platform::native(path_); }

void write_file(const Path& file, const std::string& bytes)
{
    mkpath(file.subpath(0, file.size() - 1), 0755);
    std::ofstream out(platform::native(file), std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush())
        throw std::runtime_error("cannot write " + file.str());
}

std::string read_file(const Path& file)
{
    std::ifstream in(platform::native(file), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.str());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace velmora::test
