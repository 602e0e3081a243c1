#include "core/custom_assets.h"

#include <cerrno>
#include <cstring>

#include "base/errors.h"
#include "base/format.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

const char* const fresh_suffix = ".velmora-new";
const char* const old_suffix = ".velmora-old";
const char* const backup_part_suffix = ".velmora-backup-part";
// What an interrupted apply may leave beside the folder. Under the lock none
// of them belongs to a running apply.
const char* const leftover_suffixes[] = {fresh_suffix, old_suffix, backup_part_suffix};

// A hidden name beside target, so that the temporary folders sit on the same
// file system (renames between them are single steps) and are easy to tell.
Path beside(const Path& target, const char* suffix)
{
    return child_path(target.subpath(0, target.size() - 1), "." + target[-1] + suffix);
}

std::string last_error() { return std::strerror(errno); }

// Removes a folder, file or link of ours; a link is removed, never followed.
bool remove_entry(const Path& p)
{
    switch (platform::kind_of(p.str())) {
    case platform::Kind::None:
        return true;
    case platform::Kind::Folder:
        return rmdir(p, true) == 0;
    default:
        return platform::unlink(p.str()) == 0;
    }
}

void remove_leftover(const Path& p)
{
    if (!remove_entry(p)) {
        std::string why = last_error();
        throw GenericError(format("Cannot remove %S, left over from an earlier apply: %S", &p, &why));
    }
}

bool starts_with(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

void remove_leftovers(const Path& target)
{
    const Path parent = target.subpath(0, target.size() - 1);
    for (const std::string& name : list_files(parent))
        for (const char* suffix : leftover_suffixes)
            if (starts_with(name, "." + target[-1] + suffix)) {
                remove_leftover(child_path(parent, name));
                break;
            }
}

// A name for this run alone: two programs never build in the same folder.
Path unique_beside(const Path& target, const char* suffix)
{
    static unsigned serial = 0;
    return beside(target,
        (std::string(suffix) + "-" + std::to_string(platform::process_id()) + "-" + std::to_string(++serial)).c_str());
}

// Copies folder from to the new folder to, entry by entry: files hard-linked
// where the file system allows, else copied; links copied as links.
void copy_tree(const Path& from, const Path& to)
{
    if (platform::mkdir(to.str()) != 0) {
        std::string why = last_error();
        throw GenericError(format("Cannot create the folder %S: %S", &to, &why));
    }
    for (const std::string& name : list_files(from)) {
        const Path src = child_path(from, name), dst = child_path(to, name);
        platform::Kind kind = platform::kind_of(src.str());
        if (kind == platform::Kind::Folder) {
            copy_tree(src, dst);
            continue;
        }
        if (kind == platform::Kind::Other)
            continue; // a pipe or socket holds no data; opening one could block
        if (kind == platform::Kind::File && platform::link(src.str(), dst.str()) == 0)
            continue;
        if (platform::copy_file(src.str(), dst.str()) != 0) {
            std::string why = last_error();
            throw GenericError(format("Cannot copy %S to the backup %S: %S", &src, &dst, &why));
        }
    }
}

std::string timestamp(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace

Path real_location(const Path& p)
{
    const unsigned n = p.size();
    const unsigned shortest = p.is_absolute() ? 1 : 0;
    for (unsigned k = n + 1; k-- > shortest;) {
        std::string real = platform::real_path(k == 0 ? std::string(".") : p.subpath(0, k).str());
        if (real.empty())
            continue;
        Path result(real);
        // A trailing separator is an empty last component; it names nothing.
        for (unsigned i = k; i < n; ++i)
            if (!p[static_cast<int>(i)].empty())
                result /= Path(p[static_cast<int>(i)]);
        return result;
    }
    return p;
}

CustomAssetsLock::CustomAssetsLock(const Path& target, int wait_ms)
{
    // The folder itself is swapped by the apply, so the lock is on the folder
    // that holds it: no lock file is left behind. Two custom-assets folders in
    // one folder wait for each other, which costs nothing that matters.
    const Path parent = target.subpath(0, target.size() - 1);
    mkpath(parent, 0755);
    handle = platform::lock(parent.str(), wait_ms);
    if (handle >= 0)
        return;
    if (errno == EWOULDBLOCK)
        throw GenericError(format("Another Velmora is applying mods to %S. Try again when it has finished; "
                                  "nothing was changed.",
            &target));
    std::string why = last_error();
    throw GenericError(format("Cannot lock the custom assets folder %S: %S", &target, &why));
}

CustomAssetsLock::~CustomAssetsLock() { platform::unlock(handle); }

Path backup_folder(const Path& target, std::time_t when)
{
    const Path parent = target.subpath(0, target.size() - 1);
    const std::string name = target[-1] + ".velmora-backup-" + timestamp(when);
    Path result = child_path(parent, name);
    for (unsigned n = 2; platform::kind_of(result.str()) != platform::Kind::None; ++n)
        result = child_path(parent, name + "-" + std::to_string(n));
    return result;
}

Path back_up_custom_assets(const Path& target)
{
    const Path part = unique_beside(target, backup_part_suffix);
    copy_tree(target, part);
    const Path backup = backup_folder(target, std::time(nullptr));
    if (platform::rename(part.str(), backup.str()) != 0) {
        std::string why = last_error();
        remove_entry(part);
        throw GenericError(format("Cannot make the backup %S: %S", &backup, &why));
    }
    return backup;
}

CustomAssetsBuild::CustomAssetsBuild(const Path& target)
    : target(target)
    , fresh(unique_beside(target, fresh_suffix))
    , old(unique_beside(target, old_suffix))
{
    remove_leftovers(target);
    if (mkpath(fresh, 0755) != 0) {
        std::string why = last_error();
        throw GenericError(format("Cannot create the folder %S: %S", &fresh, &why));
    }
}

CustomAssetsBuild::~CustomAssetsBuild()
{
    if (!committed)
        remove_entry(fresh);
}

void CustomAssetsBuild::commit(const Path& keep_old_as)
{
    if (platform::kind_of(target.str()) == platform::Kind::None) {
        if (platform::rename(fresh.str(), target.str()) != 0) {
            std::string why = last_error();
            throw GenericError(format("Cannot move the new custom assets folder to %S: %S", &target, &why));
        }
        committed = true;
        return;
    }
    if (platform::exchange(fresh.str(), target.str()) == 0) {
        committed = true;
        // Now the old folder; a leftover is removed by the next apply.
        if (keep_old_as.empty() || platform::rename(fresh.str(), keep_old_as.str()) != 0)
            remove_entry(fresh);
        return;
    }
    if (errno != ENOSYS && errno != EINVAL) {
        std::string why = last_error();
        throw GenericError(format("Cannot replace the custom assets folder %S: %S", &target, &why));
    }
    // Without an atomic exchange: the old folder steps aside, then the new one takes its name.
    if (platform::rename(target.str(), old.str()) != 0) {
        std::string why = last_error();
        throw GenericError(format("Cannot replace the custom assets folder %S: %S", &target, &why));
    }
    if (platform::rename(fresh.str(), target.str()) != 0) {
        std::string why = last_error();
        platform::rename(old.str(), target.str());
        throw GenericError(format("Cannot replace the custom assets folder %S: %S", &target, &why));
    }
    committed = true;
    if (keep_old_as.empty() || platform::rename(old.str(), keep_old_as.str()) != 0)
        remove_entry(old);
}

void remove_custom_assets(const Path& target, const Path& keep_as)
{
    if (platform::kind_of(target.str()) == platform::Kind::None)
        return;
    remove_leftovers(target);
    if (!keep_as.empty()) {
        if (platform::rename(target.str(), keep_as.str()) != 0) {
            std::string why = last_error();
            throw GenericError(format("Cannot move the custom assets folder %S to the backup %S: %S", &target,
                &keep_as, &why));
        }
        return;
    }
    const Path old = unique_beside(target, old_suffix);
    if (platform::rename(target.str(), old.str()) == 0) {
        remove_entry(old); // gone from its name already; a leftover is removed by the next apply
        return;
    }
    if (!remove_entry(target)) {
        std::string why = last_error();
        throw GenericError(format("Cannot remove the custom assets folder %S: %S", &target, &why));
    }
}

} // namespace velmora
