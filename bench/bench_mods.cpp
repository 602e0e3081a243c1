// Velmora's work on mods against the reference cost of what that work cannot
// avoid, on a generated game tree (velmora-gamegen at full scale) and mods
// made from modified copies of it with the mod creator, saved and loaded like
// real mods:
//
//   apply          20 mods applied to the full tree, against parsing and
//                  writing each touched XML file once per mod that touches it
//                  (libxml++ directly) and copying the other changed files;
//   conflict check 30 mods that all change the largest file, all 435 pairs
//                  checked, against loading them and parsing each change text once;
//   mod creation   a full modified copy of the tree (a tenth of the files
//                  changed), against reading both trees and parsing both
//                  versions of every XML file once;
//   start-up scan  500 mods of 1 MB and of 10 KB (their headers read), against
//                  opening each mod file and reading its first 1 KB.
//
// Every measurement runs in a child process of its own (this program started
// again with a --child option), so that the peak memory from wait4 belongs to
// that measurement alone. Prints Markdown table rows like bench_diff, then the
// ratios. bench_mods --keep DIR leaves the inputs in DIR for profiling a child.

#include <libxml++/document.h>
#include <libxml++/parsers/domparser.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/errors.h"
#include "core/orrindel.h"
#include "core/verify.h"
#include "creator/modcreator.h"
#include "mod/mod.h"
#include "tools/gamegen/gamegen.h"
#include "xml/parse.h"

namespace fs = std::filesystem;

namespace {

using namespace velmora;

std::string work_dir;
bool keep_inputs = false;

void remove_work_dir()
{
    if (!work_dir.empty() && !keep_inputs) {
        std::error_code ec;
        fs::remove_all(work_dir, ec);
    }
}

[[noreturn]] void fail(const std::string& message)
{
    std::cerr << "bench_mods: " << message << "\n";
    remove_work_dir();
    std::exit(1);
}

// --- Children: Velmora ---------------------------------------------------

// The settings folder "home/.velmora" with its mods folder; the game and the
// custom assets folder are set by the parent through the configuration.
std::unique_ptr<Orrindel> start(const std::string& home)
{
    auto core = std::make_unique<Orrindel>(Path(home));
    core->startup();
    return core;
}

int child_apply(const std::string& home)
{
    auto core = start(home);
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, true);
    // Every conflict goes to the mod listed first.
    core->signal_mod_priority.connect([](PriorityQuestion&) { return 1u; });
    core->apply();
    return 0;
}

std::vector<std::string> files_in(const std::string& dir)
{
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(dir))
        files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

int child_check(const std::string& mods_dir)
{
    std::vector<std::unique_ptr<Mod>> mods;
    for (const std::string& f : files_in(mods_dir)) {
        mods.push_back(std::make_unique<Mod>());
        if (mods.back()->load(Path(f)) != 0)
            return 3;
    }
    unsigned conflicts = 0;
    for (size_t a = 0; a < mods.size(); ++a)
        for (size_t b = a + 1; b < mods.size(); ++b) {
            try {
                mods[a]->check_conflicts(mods[b].get());
            } catch (const ConflictError&) {
                ++conflicts;
            }
        }
    return conflicts > 0 ? 0 : 3; // mods made from copies of one file conflict
}

int child_create(const std::string& home, const std::string& modified, const std::string& out)
{
    auto core = start(home);
    ModCreator creator(core->get_civ4_dir(), core->get_settings_dir(), Path(modified), false);
    std::unique_ptr<Mod> mod(creator.create());
    if (!mod)
        return 3;
    mod->name = "Created";
    return mod->save(Path(out)) == 0 ? 0 : 3;
}

int child_scan(const std::string& home)
{
    auto core = start(home);
    return core->get_mods().empty() ? 3 : 0;
}

// --- Children: the references --------------------------------------------

bool is_xml(const std::string& file)
{
    return file.size() > 4 && strcasecmp(file.c_str() + file.size() - 4, ".xml") == 0;
}

void copy_bytes(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

// The list holds one line per change of every mod, in order: the file's path
// under Assets, "/" separated.
int reference_apply(const std::string& assets, const std::string& list, const std::string& out)
{
    std::ifstream in(list);
    std::string line;
    while (std::getline(in, line)) {
        // "xml<TAB>path", "diff<TAB>path" or "whole<TAB>path<TAB>file of the bytes"
        std::istringstream fields(line);
        std::string kind, rel, bytes;
        std::getline(fields, kind, '\t');
        std::getline(fields, rel, '\t');
        std::getline(fields, bytes, '\t');
        const std::string target = out + "/" + rel;
        fs::create_directories(fs::path(target).parent_path());
        if (kind == "xml") {
            const std::string source = fs::exists(target) ? target : assets + "/" + rel;
            auto parser = parse_game_file(Path(source));
            parser->get_document()->write_to_file(target);
        } else if (kind == "diff") {
            // A script is read and written again, whole.
            std::ifstream script(fs::exists(target) ? target : assets + "/" + rel, std::ios::binary);
            std::ostringstream text;
            text << script.rdbuf();
            script.close();
            std::ofstream(target, std::ios::binary) << text.str();
        } else {
            copy_bytes(bytes, target);
        }
    }
    return 0;
}

int reference_check(const std::string& mods_dir)
{
    for (const std::string& f : files_in(mods_dir)) {
        Mod mod;
        if (mod.load(Path(f)) != 0)
            return 3;
        for (const Change& c : mod.changes)
            if (c.type == Change::XML)
                parse_xml_text(c.text);
    }
    return 0;
}

void read_tree(const std::string& dir, std::vector<char>& buffer, std::map<std::string, std::string>& xml)
{
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (!e.is_regular_file())
            continue;
        const std::string p = e.path().string();
        std::ifstream in(p, std::ios::binary);
        while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) { }
        if (is_xml(p))
            xml[fs::relative(e.path(), dir).string()] = p;
    }
}

int reference_create(const std::string& assets, const std::string& modified)
{
    std::vector<char> buffer(1 << 16);
    std::map<std::string, std::string> game, mod;
    read_tree(assets, buffer, game);
    read_tree(modified, buffer, mod);
    for (const auto& [rel, file] : mod) {
        parse_game_file(Path(file));
        auto g = game.find(rel);
        if (g != game.end())
            parse_game_file(Path(g->second));
    }
    return 0;
}

int reference_scan(const std::string& mods_dir)
{
    char head[1024];
    for (const std::string& f : files_in(mods_dir)) {
        std::ifstream in(f, std::ios::binary);
        in.read(head, sizeof head);
        if (in.gcount() == 0)
            return 3;
    }
    return 0;
}

// --- Measuring (as in bench_diff) ------------------------------------------

// The child's own peak resident memory (VmHWM of its address space), written
// to the file named by VELMORA_BENCH_PEAK. ru_maxrss from wait4 cannot be
// used here: it also counts the parent's memory that the forked child held
// until its exec, and the parent holds the generated tree's lists.
void report_peak()
{
    const char* file = std::getenv("VELMORA_BENCH_PEAK");
    if (!file)
        return;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "VmHWM:") == 0)
            std::ofstream(file) << std::strtol(line.c_str() + 6, nullptr, 10) << "\n";
}

long read_peak(const std::string& file)
{
    std::ifstream in(file);
    long kb = -1;
    in >> kb;
    std::remove(file.c_str());
    if (kb < 0)
        fail("a child did not report its peak memory");
    return kb;
}

struct Sample {
    double wall_ms;
    double cpu_ms;
    long peak_kb;
};

std::string self;

Sample run(const std::vector<std::string>& args)
{
    std::vector<std::string> full {self, "--child"};
    full.insert(full.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (const std::string& a : full)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    auto begin = std::chrono::steady_clock::now();
    const std::string peak_file = work_dir + "/peak";
    pid_t pid = fork();
    if (pid == 0) {
        setenv("VELMORA_BENCH_PEAK", peak_file.c_str(), 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("the child " + args[0] + " failed");
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return {std::chrono::duration<double, std::milli>(end - begin).count(),
        ms(usage.ru_utime) + ms(usage.ru_stime), read_peak(peak_file)};
}

// The best of several runs; `prepare` runs before each (not measured).
template <typename Prepare>
Sample measure(int runs, const std::vector<std::string>& args, Prepare prepare)
{
    prepare();
    Sample best = run(args);
    for (int n = 1; n < runs; ++n) {
        prepare();
        Sample s = run(args);
        best.wall_ms = std::min(best.wall_ms, s.wall_ms);
        best.cpu_ms = std::min(best.cpu_ms, s.cpu_ms);
        best.peak_kb = std::max(best.peak_kb, s.peak_kb);
    }
    return best;
}

Sample measure(int runs, const std::vector<std::string>& args)
{
    return measure(runs, args, [] { });
}

void row(const char* operation, const std::string& input, const char* program, const Sample& s)
{
    std::printf("| %s | %s | %s | %.1f ms | %.1f ms | %.1f MB |\n", operation, input.c_str(), program,
        s.wall_ms, s.cpu_ms, s.peak_kb / 1024.0);
    std::fflush(stdout);
}

struct Ratio {
    std::string what;
    double ratio;
    double cpu_ratio;
    double goal;
};
std::vector<Ratio> ratios;

void compare(const char* operation, const std::string& input, const Sample& ours, const Sample& ref,
    const char* ref_name, double goal)
{
    row(operation, input, "Velmora", ours);
    row(operation, input, ref_name, ref);
    ratios.push_back({std::string(operation) + ", " + input, ours.wall_ms / ref.wall_ms, ours.cpu_ms / ref.cpu_ms, goal});
}

// --- Inputs ----------------------------------------------------------------

// A settings folder whose configuration names the game and the custom assets
// folder, written through the core as the preferences would be.
void make_home(const std::string& home, const std::string& civ4, const std::string& custom)
{
    fs::create_directories(home);
    Orrindel core {Path(home)};
    core.startup();
    core.set_civ4_dir(Path(civ4));
    if (!custom.empty())
        core.set_custom_assets_dir(Path(custom));
    core.save_config();
}

// Removes a benchmark's inputs once it is measured, unless --keep asked to keep them.
void drop(const std::string& path)
{
    if (!keep_inputs)
        fs::remove_all(path);
}

std::string mods_dir_of(const std::string& home) { return home + "/.velmora/mods"; }

// A mod made with the creator from a modified copy, saved into mods_dir.
void create_mod(const Orrindel& core, const std::string& modified, const std::string& file,
    const std::string& name)
{
    ModCreator creator(core.get_civ4_dir(), core.get_settings_dir(), Path(modified), false);
    std::unique_ptr<Mod> mod(creator.create());
    if (!mod)
        fail("no mod from " + modified);
    mod->name = name;
    mod->author = "bench";
    mod->version = "1";
    if (mod->save(Path(file)) != 0)
        fail("cannot save " + file);
}

// Copies into `copy` every file of `assets` that it does not hold yet.
void fill_copy(const std::string& assets, const std::string& copy)
{
    for (const auto& e : fs::recursive_directory_iterator(assets)) {
        if (!e.is_regular_file())
            continue;
        fs::path target = fs::path(copy) / fs::relative(e.path(), assets);
        if (fs::exists(target))
            continue;
        fs::create_directories(target.parent_path());
        fs::copy_file(e.path(), target);
    }
}

std::string mb(std::uintmax_t bytes)
{
    std::ostringstream s;
    s.precision(1);
    s << std::fixed << bytes / 1e6 << " MB";
    return s.str();
}

// --- Verification after apply ----------------------------------------------

// apply without the check of what it built against the game's schemas.
int child_apply_unverified(const std::string& home)
{
    auto core = start(home);
    core->set_verify_after_apply(false);
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, true);
    core->signal_mod_priority.connect([](PriorityQuestion&) { return 1u; });
    core->apply();
    return 0;
}

// Apply with and without verification, 10 mods on the full-scale game, and
// what verification finds in the result.
void bench_verification(const std::string& dir, const std::string& civ4, const std::string& assets,
    const Orrindel& setup)
{
    const std::string home = dir + "/verify";
    const std::string custom = dir + "/VerifiedAssets";
    make_home(home, civ4, custom);
    fs::create_directories(mods_dir_of(home));
    for (unsigned m = 1; m <= 10; ++m) {
        const std::string copy = dir + "/copy/Assets";
        modify_tree(Path(assets), Path(copy), {400 + m, 0.1});
        for (const auto& e : fs::recursive_directory_iterator(copy))
            if (e.path().extension() == ".py")
                fs::remove(e.path());
        char name[32];
        std::snprintf(name, sizeof name, "Mod %02u", m);
        create_mod(setup, copy, mods_dir_of(home) + "/" + name + ".Pellarix", name);
        fs::remove_all(copy);
    }
    auto clear = [&] { fs::remove_all(custom); fs::create_directories(custom); };
    Sample with = measure(3, {"apply", home}, clear);
    Sample without = measure(3, {"apply-unverified", home}, clear);
    const std::string input = "10 mods, full-scale game";
    row("apply with verification", input, "Velmora", with);
    row("apply without verification", input, "Velmora", without);
    std::printf("\nVerification: %.1f %% of apply's wall time, %.1f %% of its CPU time (goal: at most 10 %%).\n",
        100.0 * (with.wall_ms - without.wall_ms) / without.wall_ms,
        100.0 * (with.cpu_ms - without.cpu_ms) / without.cpu_ms);
    auto core = start(home);
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, true);
    core->signal_mod_priority.connect([](PriorityQuestion&) { return 1u; });
    core->apply();
    const Verification& v = core->get_verification();
    unsigned faults = 0, in_game = 0;
    for (const FileFaults& f : v.files) {
        faults += static_cast<unsigned>(f.faults.size());
        in_game += static_cast<unsigned>(f.in_game.size());
        for (const SchemaViolation& fault : f.faults)
            std::printf("  %s\n", describe(f.file, fault, false).c_str());
    }
    std::printf("It checked %u files: %u faults in %u files, %u already in the game's files.\n", v.checked,
        faults, v.files_at_fault(), in_game);
    drop(custom);
    drop(home);
}

bool only_verification = false;

int run_all()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/velmora-bench-XXXXXX";
    if (work_dir.empty()) {
        if (!mkdtemp(pattern.data()))
            fail("cannot make a folder in " + pattern);
        work_dir = pattern;
    }
    const std::string& dir = work_dir;
    const std::string civ4 = dir + "/Civ4";
    const std::string assets = civ4 + "/Assets";
    GameGenSummary game = generate_assets(Path(assets), {1, 1.0});
    const std::string largest = assets + "/" + game.largest_xml;

    const std::string setup_home = dir + "/setup";
    make_home(setup_home, civ4, "");
    Orrindel setup {Path(setup_home)};
    setup.startup();

    if (only_verification) {
        bench_verification(dir, civ4, assets, setup);
        remove_work_dir();
        return 0;
    }

    // 1. apply: 20 mods from modify_tree copies, each file they change listed
    // in order for the reference.
    {
        const std::string home = dir + "/apply";
        const std::string custom = dir + "/CustomAssets";
        make_home(home, civ4, custom);
        fs::create_directories(mods_dir_of(home));
        std::ofstream list(dir + "/apply.list");
        for (unsigned m = 1; m <= 20; ++m) {
            const std::string copy = dir + "/copy/Assets";
            modify_tree(Path(assets), Path(copy), {100 + m, 0.1});
            char name[32];
            std::snprintf(name, sizeof name, "Mod %02u", m);
            const std::string file = mods_dir_of(home) + "/" + name + ".Pellarix";
            create_mod(setup, copy, file, name);
            fs::remove_all(copy);
        }
        // The reference follows the order in which Velmora applies them: the
        // mods list's order, which load_mods gives.
        {
            Orrindel core {Path(home)};
            core.startup();
            fs::create_directories(dir + "/whole");
            unsigned wholes = 0;
            for (Mod* listed : core.get_mods()) {
                Mod mod;
                mod.load(listed->path);
                for (const Change& c : mod.changes) {
                    std::string rel = c.file;
                    std::replace(rel.begin(), rel.end(), '\\', '/');
                    if (c.type == Change::XML) {
                        list << "xml\t" << rel << "\n";
                    } else if (c.type == Change::DIFF) {
                        list << "diff\t" << rel << "\n";
                    } else {
                        const std::string bytes = dir + "/whole/" + std::to_string(wholes++);
                        std::ofstream(bytes, std::ios::binary) << c.text;
                        list << "whole\t" << rel << "\t" << bytes << "\n";
                    }
                }
            }
        }
        list.close();
        const std::string ref_out = dir + "/reference-out";
        Sample ours = measure(3, {"apply", home}, [&] { fs::remove_all(custom); fs::create_directories(custom); });
        Sample ref = measure(3, {"reference-apply", assets, dir + "/apply.list", ref_out},
            [&] { fs::remove_all(ref_out); fs::create_directories(ref_out); });
        compare("apply", "20 mods, full-scale game", ours, ref, "parse and write each touched file", 1.3);
        drop(custom);
        drop(ref_out);
        drop(home);
        drop(dir + "/whole");
    }

    // 2. conflict check: 30 mods that all change the largest file, each made
    // from a modified copy of a tree that holds only that file.
    {
        const std::string one = dir + "/one/Assets";
        fs::path rel = game.largest_xml;
        fs::create_directories((fs::path(one) / rel).parent_path());
        fs::copy_file(largest, fs::path(one) / rel);
        const std::string mods = dir + "/check-mods";
        fs::create_directories(mods);
        for (unsigned m = 1; m <= 30; ++m) {
            const std::string copy = dir + "/copy/Assets";
            modify_tree(Path(one), Path(copy), {200 + m, 1.0});
            char name[32];
            std::snprintf(name, sizeof name, "Mod %02u", m);
            create_mod(setup, copy, mods + "/" + name + ".Pellarix", name);
            fs::remove_all(copy);
        }
        fs::remove_all(dir + "/one");
        const std::string input = "30 mods of " + game.largest_xml.substr(game.largest_xml.rfind('/') + 1)
            + " (" + mb(game.largest_xml_bytes) + "), 435 pairs";
        Sample ours = measure(3, {"check", mods});
        Sample ref = measure(3, {"reference-check", mods});
        compare("conflict check", input, ours, ref, "load, parse each change once", 2.0);
        drop(mods);
    }

    // 3. mod creation from a full modified copy.
    {
        const std::string copy = dir + "/full-copy/Assets";
        modify_tree(Path(assets), Path(copy), {300, 0.1});
        fill_copy(assets, copy);
        const std::string out = dir + "/created.Pellarix";
        Sample ours = measure(3, {"create", setup_home, copy, out});
        Sample ref = measure(3, {"reference-create", assets, copy});
        compare("mod creation", "full modified copy, a tenth changed", ours, ref,
            "read both trees, parse both versions", 1.5);
        drop(dir + "/full-copy");
        drop(out);
    }

    // 4. start-up scan: 500 mods of each size.
    for (std::size_t size : {std::size_t(1000000), std::size_t(10000)}) {
        const std::string home = dir + "/scan-" + std::to_string(size);
        make_home(home, civ4, "");
        const std::string mods = mods_dir_of(home);
        fs::create_directories(mods);
        Mod mod;
        mod.author = "bench";
        mod.version = "1";
        mod.description = "A mod of " + std::to_string(size) + " bytes";
        Change whole;
        whole.file = "Art\\Bench\\payload.dds";
        whole.type = Change::WHOLE;
        whole.text.assign(size, 'x');
        for (std::size_t i = 0; i < whole.text.size(); i += 61)
            whole.text[i] = char('a' + i % 26);
        mod.changes.push_back(whole);
        for (unsigned m = 1; m <= 500; ++m) {
            char name[32];
            std::snprintf(name, sizeof name, "Mod %03u", m);
            mod.name = name;
            if (mod.save(Path(mods + "/" + name + ".Pellarix")) != 0)
                fail("cannot save a mod in " + mods);
        }
        const std::string input = "500 mods of " + (size >= 1000000 ? mb(size) : std::to_string(size / 1000) + " KB");
        Sample ours = measure(3, {"scan", home});
        Sample ref = measure(3, {"reference-scan", mods});
        compare("start-up scan", input, ours, ref, "open each, read 1 KB", 3.0);
        drop(home);
    }

    bench_verification(dir, civ4, assets, setup);

    std::printf("\n| Benchmark | Velmora / reference, wall | CPU | Goal |\n|---|---|---|---|\n");
    for (const Ratio& r : ratios)
        std::printf("| %s | %.2f | %.2f | at most %.1f%s |\n", r.what.c_str(), r.ratio, r.cpu_ratio, r.goal,
            r.ratio <= r.goal ? "" : " (missed)");
    remove_work_dir();
    return 0;
}

int child(const std::vector<std::string>& a)
{
    const std::string& what = a.at(0);
    if (what == "apply")
        return child_apply(a.at(1));
    if (what == "apply-unverified")
        return child_apply_unverified(a.at(1));
    if (what == "check")
        return child_check(a.at(1));
    if (what == "create")
        return child_create(a.at(1), a.at(2), a.at(3));
    if (what == "scan")
        return child_scan(a.at(1));
    if (what == "reference-apply")
        return reference_apply(a.at(1), a.at(2), a.at(3));
    if (what == "reference-check")
        return reference_check(a.at(1));
    if (what == "reference-create")
        return reference_create(a.at(1), a.at(2));
    if (what == "reference-scan")
        return reference_scan(a.at(1));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        char path[4096];
        ssize_t size = readlink("/proc/self/exe", path, sizeof path - 1);
        self = size > 0 ? std::string(path, size) : argv[0];
        if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
            int rc = child(std::vector<std::string>(argv + 2, argv + argc));
            report_peak();
            return rc;
        }
        // Only the verification rows: bench_mods --verification.
        if (argc == 2 && std::strcmp(argv[1], "--verification") == 0)
            only_verification = true;
        if (argc == 3 && std::strcmp(argv[1], "--keep") == 0) {
            work_dir = argv[2];
            keep_inputs = true;
            fs::create_directories(work_dir);
        }
        return run_all();
    } catch (const std::exception& e) {
        std::cerr << "bench_mods: " << e.what() << "\n";
        remove_work_dir();
        return 2;
    }
}
