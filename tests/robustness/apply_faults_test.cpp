// Applying when the disk refuses to take the new custom-assets folder: the
// error names the file or folder, and the old folder stays as it was.
//
// Each case runs in a child process. Where mounting is permitted (a private
// mount namespace, as root) the custom-assets parent is a read-only bind mount
// or a small tmpfs that fills up; a file-size limit needs no privilege.
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/errors.h"
#include "core/orrindel.h"
#include "path/fs.h"
#include "path/platform.h"
#include "support/core_fixtures.h"
#include "support/tempdir.h"

namespace velmora {
namespace {

using test::CoreSandbox;
using test::read_file;
using test::write_file;

enum class Fault { read_only_parent, disk_full, file_size_limit };

struct FaultCase {
    const char* name;
    Fault fault;
    const char* file_in_message; // the error must name it
};

const FaultCase fault_cases[] = {
    {"readOnlyParent", Fault::read_only_parent, ".CustomAssets.velmora-new"},
    {"diskFullMidway", Fault::disk_full, "big.txt"},
    {"fileSizeLimitMidway", Fault::file_size_limit, "big.txt"},
};

const std::map<std::string, std::string> old_tree = {
    {"XML\\Units\\CIV4UnitInfos.xml", "from an earlier apply"},
    {"Art\\old.txt", std::string(4096, 'o')},
};

// The files below folder with their bytes, as one text.
std::string describe_tree(const Path& folder)
{
    std::string out;
    for (const std::string& f : test::list_tree(folder))
        out += f + "=" + read_file(folder / Path(f)) + "\n";
    return out;
}

std::string describe_old_tree()
{
    std::string out;
    for (const auto& [name, bytes] : old_tree)
        out += name + "=" + bytes + "\n";
    return out;
}

// What the child saw: "skip", or the error text and the custom-assets tree after the apply.
struct ChildReport {
    bool skipped = false;
    std::string error;
    std::string tree;
};

// Sets up the fault, writes the old tree, applies. Runs in the child.
std::string child_run(const CoreSandbox& box, Fault fault)
{
    const std::string parent = platform::native(box / "My Games");
    mkpath(box / "My Games", 0755);
    if (fault != Fault::file_size_limit) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return "skip";
        if (fault == Fault::disk_full && ::mount("tmpfs", parent.c_str(), "tmpfs", 0, "size=256k") != 0)
            return "skip";
        if (fault == Fault::read_only_parent
            && ::mount(parent.c_str(), parent.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return "skip";
    }
    for (const auto& [name, bytes] : old_tree)
        write_file(box.custom_assets() / Path(name), bytes);
    if (fault == Fault::read_only_parent
        && ::mount(nullptr, parent.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        return "skip";
    if (fault == Fault::file_size_limit) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {256 * 1024, 256 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::string error;
    try {
        Orrindel core(box.home());
        core.startup();
        core.apply();
    } catch (const GenericError& e) {
        error = e.what();
    }
    return error + "\n--\n" + describe_tree(box.custom_assets());
}

ChildReport run_in_child(const CoreSandbox& box, Fault fault)
{
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe");
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string out;
        try {
            out = child_run(box, fault);
        } catch (const std::exception& e) {
            out = std::string("child failed: ") + e.what() + "\n--\n";
        }
        size_t done = 0;
        while (done < out.size()) {
            ssize_t n = ::write(fds[1], out.data() + done, out.size() - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ChildReport r;
    if (text == "skip") {
        r.skipped = true;
        return r;
    }
    std::string::size_type cut = text.find("\n--\n");
    r.error = text.substr(0, cut);
    r.tree = cut == std::string::npos ? "" : text.substr(cut + 4);
    return r;
}

class ApplyFaults : public ::testing::TestWithParam<FaultCase> { };

TEST_P(ApplyFaults, errorNamesTheFileAndTheOldFolderStays)
{
    CoreSandbox box;
    // 1 MiB of text: more than the tmpfs or the file-size limit takes.
    write_file(box.mods() / "big.Pellarix",
        test::mod_file_text("Big",
            {{"Art\\small.txt", "whole", "small"}, {"Art\\big.txt", "whole", std::string(1 << 20, 'b')}}));
    box.write_conf(box.game(), box.custom_assets(), {"Big"});

    ChildReport r = run_in_child(box, GetParam().fault);
    if (r.skipped)
        GTEST_SKIP() << "mounting is not permitted here";
    EXPECT_NE(r.error, "") << "the apply succeeded";
    EXPECT_NE(r.error.find(GetParam().file_in_message), std::string::npos) << r.error;
    EXPECT_EQ(r.tree, describe_old_tree());
}

INSTANTIATE_TEST_SUITE_P(Robustness, ApplyFaults, ::testing::ValuesIn(fault_cases),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora
