#include "path/fs.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "path/platform.h"

namespace velmora {

bool exists(const Path& p) { return !p.empty() && platform::stat(p.str(), nullptr) == 0; }

int mkpath(const Path& p, int /*mode: folders get the system's default permissions*/)
{
    Path cur;
    for (auto it = p.begin(); it != p.end(); ++it) {
        std::string c = *it;
        cur /= Path(c);
        if (cur.size() == 1 && is_windows_drive(c))
            continue;
        bool is_folder = false;
        if (platform::stat(cur.str(), &is_folder) != 0) {
            if (errno != ENOENT)
                return -1;
            if (platform::mkdir(cur.str()) != 0)
                return -1;
        } else if (!is_folder) {
            errno = EEXIST;
            return -1;
        }
    }
    return 0;
}

Path fix_case_below(const Path& base, const Path& rel)
{
    Path result = base;
    bool searching = true;
    for (auto it = rel.begin(); it != rel.end(); ++it) {
        std::string c = *it;
        if (!searching || c == "\\") {
            result /= Path(c);
            continue;
        }
        searching = false;
        std::vector<std::string> names;
        if (platform::read_dir(result.size() == 0 ? std::string(".") : result.str(), names)) {
            // Of several names differing only in case, the first in byte
            // order, so that the same one is chosen on every run.
            const std::string* found = nullptr;
            for (const auto& n : names)
                if (platform::stricmp(n.c_str(), c.c_str()) == 0 && (!found || n < *found))
                    found = &n;
            if (found) {
                result /= Path(*found);
                searching = true;
            }
        }
        if (!searching)
            result /= Path(c);
    }
    return result;
}

Path fix_case(const Path& p) { return fix_case_below(Path(), p); }

std::list<std::string> list_files(const Path& dir)
{
    std::vector<std::string> names;
    if (!platform::read_dir(dir.str(), names))
        return {};
    std::sort(names.begin(), names.end());
    std::list<std::string> out;
    for (auto& n : names)
        if (n != "." && n != "..")
            out.push_back(std::move(n));
    return out;
}

bool is_folder(const Path& p)
{
    bool folder = false;
    return !p.empty() && platform::stat(p.str(), &folder) == 0 && folder;
}

Path child_path(const Path& dir, const std::string& name)
{
    if (dir.empty())
        return Path(name == ".." || is_windows_drive(name.substr(0, 2)) ? ".\\" + name : name);
    if (dir.str().back() == '\\')
        return Path(dir.str() + name);
    return Path(dir.str() + "\\" + name);
}

int rmdir(const Path& p, bool recursive)
{
    if (recursive) {
        for (const auto& name : list_files(p)) {
            Path child = child_path(p, name);
            int r = platform::kind_of(child.str()) == platform::Kind::Folder ? rmdir(child, true)
                                                                             : platform::unlink(child.str());
            if (r != 0)
                return r;
        }
    }
    return platform::rmdir(p.str());
}

} // namespace velmora
