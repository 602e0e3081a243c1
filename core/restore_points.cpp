#include "core/restore_points.h"

#include <algorithm>
#include <cstdio>

#include "core/manifest.h"
#include "path/file_stamp.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

const char* const restore_infix = ".velmora-restore-";

std::string prefix_of(const Path& target) { return "." + target[-1] + restore_infix; }

// "YYYYMMDD-HHMMSS" or "YYYYMMDD-HHMMSS-N" after the prefix: the local time
// it was made and the serial that tells apart two of one second.
bool parse_stamp(const std::string& text, std::time_t& when, unsigned& serial)
{
    std::tm local{};
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d%2d%2d-%2d%2d%2d%n", &local.tm_year, &local.tm_mon, &local.tm_mday,
            &local.tm_hour, &local.tm_min, &local.tm_sec, &consumed)
            != 6
        || consumed != 15)
        return false;
    serial = 1;
    if (text.size() > 15) {
        unsigned n = 0;
        int used = 0;
        if (text[15] != '-' || std::sscanf(text.c_str() + 16, "%u%n", &n, &used) != 1
            || static_cast<std::size_t>(16 + used) != text.size())
            return false;
        serial = n;
    }
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_isdst = -1;
    when = std::mktime(&local);
    return when != static_cast<std::time_t>(-1);
}

void add_sizes(const Path& folder, RestorePoint& point)
{
    for (const std::string& name : list_files(folder)) {
        const Path p = child_path(folder, name);
        if (platform::kind_of(p.str()) == platform::Kind::Folder) {
            add_sizes(p, point);
            continue;
        }
        platform::FileStamp stamp;
        if (platform::file_stamp(p.str(), stamp) != 0)
            continue;
        point.bytes += stamp.size;
        if (stamp.links <= 1)
            point.own_bytes += stamp.size;
    }
}

struct Named {
    RestorePoint point;
    unsigned serial;
};

std::vector<Named> find_points(const Path& target, bool with_details)
{
    std::vector<Named> found;
    const Path parent = target.subpath(0, target.size() - 1);
    const std::string prefix = prefix_of(target);
    for (const std::string& name : list_files(parent)) {
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        Named n;
        n.point.folder = child_path(parent, name);
        if (!parse_stamp(name.substr(prefix.size()), n.point.replaced, n.serial)
            || platform::kind_of(n.point.folder.str()) != platform::Kind::Folder)
            continue;
        if (with_details) {
            BuildInfo::read(n.point.folder, n.point.info);
            add_sizes(n.point.folder, n.point);
        }
        found.push_back(std::move(n));
    }
    std::sort(found.begin(), found.end(), [](const Named& a, const Named& b) {
        return a.point.replaced != b.point.replaced ? a.point.replaced > b.point.replaced : a.serial > b.serial;
    });
    return found;
}

} // namespace

std::vector<RestorePoint> list_restore_points(const Path& target)
{
    std::vector<RestorePoint> points;
    for (Named& n : find_points(target, true))
        points.push_back(std::move(n.point));
    return points;
}

Path new_restore_point(const Path& target, std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const Path parent = target.subpath(0, target.size() - 1);
    const std::string name = prefix_of(target) + stamp;
    Path result = child_path(parent, name);
    for (unsigned n = 2; platform::kind_of(result.str()) != platform::Kind::None; ++n)
        result = child_path(parent, name + "-" + std::to_string(n));
    return result;
}

bool is_build(const Path& folder)
{
    Manifest m;
    return platform::kind_of(folder.str()) == platform::Kind::Folder && Manifest::read(folder, m);
}

bool prune_restore_points(const Path& target, unsigned keep)
{
    bool all = true;
    const std::vector<Named> found = find_points(target, false);
    for (std::size_t i = keep; i < found.size(); ++i)
        if (rmdir(found[i].point.folder, true) != 0)
            all = false;
    return all;
}

} // namespace velmora
