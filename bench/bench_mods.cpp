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
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/errors.h"
#include "core/orrindel.h"
#include "core/verify.h"
#include "creator/modcreator.h"
#include "mod/apply_mods.h"
#include "mod/change_path.h"
#include "mod/conflict_cache.h"
#include "mod/game_files.h"
#include "mod/mod.h"
#include "path/platform.h"
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

// Enables every mod but those named in `left_out`, then applies.
int child_apply(const std::string& home, const std::vector<std::string>& left_out)
{
    auto core = start(home);
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, std::find(left_out.begin(), left_out.end(), mod->name) == left_out.end());
    // Every conflict goes to the mod listed first.
    core->signal_mod_priority().connect([](PriorityQuestion&) { return 1u; });
    core->apply();
    return 0;
}

// Enables every mod, then applies with every question answered 1 either
// by a rule given beforehand, as `apply --prefer` does ("given"), or in the
// question's handler after reading its details, as the windows do ("shown").
int child_apply_answers(const std::string& home, const std::string& mode)
{
    auto core = start(home);
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, true);
    if (mode == "given")
        core->set_given_answers([](PriorityQuestion&) { return 1u; });
    std::size_t lines = 0;
    core->signal_mod_priority().connect([&lines](PriorityQuestion& q) {
        lines += q.report().text().size();
        return 1u;
    });
    core->apply();
    return lines == 0 && mode == "shown" ? 1 : 0;
}

// The time of one step inside a child, written to the file named by
// VELMORA_BENCH_TIME; the parent takes it for the child's wall and CPU time.
struct StepTimer {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    double cpu = cpu_ms();

    static double cpu_ms()
    {
        rusage u {};
        getrusage(RUSAGE_SELF, &u);
        auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
        return ms(u.ru_utime) + ms(u.ru_stime);
    }
    void report() const
    {
        const char* file = std::getenv("VELMORA_BENCH_TIME");
        if (!file)
            return;
        std::ofstream(file) << std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count()
                            << " " << cpu_ms() - cpu << "\n";
    }
};

// Applying again in a running Velmora, as the window does: the mods are
// loaded already. "incremental": the mods but "Small" applied (over the
// folder as that apply left it), then "Small" enabled and applied, timed.
// "disabled": all applied, then "Small" disabled and applied, timed.
// "full": all applied, the folder removed, then all applied again, timed.
int child_apply_again(const std::string& home, const std::string& mode)
{
    auto core = start(home);
    core->signal_mod_priority().connect([](PriorityQuestion&) { return 1u; });
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, mode != "incremental" || mod->name != "Small");
    core->apply();
    if (mode == "full")
        fs::remove_all(platform::native(core->get_custom_assets_dir()));
    else
        for (Mod* mod : core->get_mods())
            core->set_mod_enabled(mod, mode == "incremental" || mod->name != "Small");
    StepTimer timer;
    core->apply();
    timer.report();
    return 0;
}

// The floor of a re-apply after "Small" was enabled or disabled: the files
// Small changes, each parsed from the game's copy, merged with every enabled
// mod's changes to it in order and written (Velmora's own rebuild of those
// files alone: no conflict check, no description, no carry-over, no
// verification). "loaded": the mods are read first, untimed, as in a running
// Velmora; "new": reading them is part of it, as in a new process.
// "enabled" or "disabled": whether Small's own changes are among them.
int child_floor(const std::string& home, const std::string& out, const std::string& loaded, const std::string& small)
{
    // A new process is timed whole by the parent, as apply's child is.
    auto core = start(home);
    std::vector<Mod*> enabled;
    for (Mod* mod : core->get_mods()) {
        if (small == "disabled" && mod->name == "Small")
            continue;
        enabled.push_back(mod);
    }
    Mod* toggled = nullptr;
    for (Mod* mod : core->get_mods()) {
        if (mod->load(mod->path) != 0)
            fail("cannot load " + mod->path.str());
        if (mod->name == "Small")
            toggled = mod;
    }
    if (!toggled)
        fail("no mod named Small");
    StepTimer timer;
    std::set<std::string> files;
    for (const Change& c : toggled->changes)
        files.insert(file_key(c.file));
    std::vector<Mod> parts;
    parts.reserve(enabled.size());
    for (const Mod* mod : enabled) {
        Mod part;
        part.name = mod->name;
        for (const Change& c : mod->changes)
            if (files.count(file_key(c.file)))
                part.changes.push_back(c);
        if (!part.changes.empty())
            parts.push_back(std::move(part));
    }
    std::vector<const Mod*> order;
    for (const Mod& part : parts)
        order.push_back(&part);
    fs::create_directories(out);
    apply_mods(order, GameFiles::of_game(core->get_civ4_dir()), Path(out), Mod::CarryOver(),
        [](const Mod&, unsigned, unsigned) { });
    if (loaded == "loaded")
        timer.report();
    return 0;
}

// apply without the check of what it built against the game's schemas, or
// (`names_only`) without the check of the names its records point at.
int child_apply_unverified(const std::string& home, bool names_only)
{
    auto core = start(home);
    if (names_only)
        core->set_check_references(false);
    else
        core->set_verify_after_apply(false);
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, true);
    core->signal_mod_priority().connect([](PriorityQuestion&) { return 1u; });
    core->apply();
    return 0;
}

int child_apply_without_provenance(const std::string& home)
{
    auto core = start(home);
    core->set_record_provenance(false);
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, true);
    core->signal_mod_priority().connect([](PriorityQuestion&) { return 1u; });
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

// --- Measuring -------------------------------------------------------------

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
    const std::string time_file = work_dir + "/time";
    std::remove(time_file.c_str());
    pid_t pid = fork();
    if (pid == 0) {
        setenv("VELMORA_BENCH_PEAK", peak_file.c_str(), 1);
        setenv("VELMORA_BENCH_TIME", time_file.c_str(), 1);
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
    Sample s {std::chrono::duration<double, std::milli>(end - begin).count(), ms(usage.ru_utime) + ms(usage.ru_stime),
        read_peak(peak_file)};
    // A child that timed one step of its own reports that step alone.
    std::ifstream step(time_file);
    double wall = 0, cpu = 0;
    if (step >> wall >> cpu) {
        s.wall_ms = wall;
        s.cpu_ms = cpu;
    }
    step.close();
    std::remove(time_file.c_str());
    return s;
}

// One measured program: its arguments and what must happen before each run
// (not measured), such as emptying its output folder.
struct Job {
    std::vector<std::string> args;
    std::function<void()> prepare = [] { };
};

Sample run(const Job& job)
{
    job.prepare();
    return run(job.args);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Several runs of one program: the median and the spread of each figure.
struct Series {
    std::vector<double> wall, cpu;
    long peak_kb = 0;

    void add(const Sample& s)
    {
        wall.push_back(s.wall_ms);
        cpu.push_back(s.cpu_ms);
        peak_kb = std::max(peak_kb, s.peak_kb);
    }
};

struct Spread {
    double median, min, max;
};

Spread spread(const std::vector<double>& v)
{
    return {median(v), *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end())};
}

// A ratio of two programs measured in pairs: the runs alternate (ours, then
// the reference), so that a burst of load on the shared machine falls on
// both, and each pair gives one ratio; the median of those ratios is the figure.
struct Paired {
    Series ours, ref;
    std::vector<double> wall_ratio, cpu_ratio;
};

int runs = 5;
double game_scale = 1.0;

Paired measure_pairs(const Job& ours, const Job& ref)
{
    Paired p;
    for (int n = 0; n < runs; ++n) {
        Sample a = run(ours);
        Sample b = run(ref);
        p.ours.add(a);
        p.ref.add(b);
        p.wall_ratio.push_back(a.wall_ms / b.wall_ms);
        p.cpu_ratio.push_back(a.cpu_ms / b.cpu_ms);
    }
    return p;
}

Series measure(int count, const Job& job)
{
    Series s;
    for (int n = 0; n < count; ++n)
        s.add(run(job));
    return s;
}

void row(const std::string& operation, const std::string& input, const std::string& program, const Series& s)
{
    const Spread w = spread(s.wall), c = spread(s.cpu);
    std::printf("| %s | %s | %s | %.1f ms (%.1f–%.1f) | %.1f ms | %.1f MB |\n", operation.c_str(), input.c_str(),
        program.c_str(), w.median, w.min, w.max, c.median, s.peak_kb / 1024.0);
    std::fflush(stdout);
}

struct Ratio {
    std::string what;
    Spread wall, cpu;
    double goal;
    double memory; // peak memory, ours / reference; 0 when not a goal
    double memory_goal;
};
std::vector<Ratio> ratios;

void compare(const std::string& operation, const std::string& input, const Paired& p, const std::string& ref_name,
    double goal, double memory_goal = 0)
{
    row(operation, input, "Velmora", p.ours);
    row(operation, input, ref_name, p.ref);
    ratios.push_back({operation + ", " + input, spread(p.wall_ratio), spread(p.cpu_ratio), goal,
        double(p.ours.peak_kb) / p.ref.peak_kb, memory_goal});
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

std::string mod_name(unsigned m)
{
    char name[32];
    std::snprintf(name, sizeof name, "Mod %02u", m);
    return name;
}

// A generated game with a settings folder that names it.
struct Game {
    std::string civ4, assets;
    GameGenSummary summary;
    std::string setup_home;
    std::unique_ptr<Orrindel> setup;
    std::string mods; // the apply mods made so far, "Mod NN.Pellarix"
    unsigned made = 0;
};

Game make_game(const std::string& name, double scale)
{
    Game g;
    g.civ4 = work_dir + "/" + name;
    g.assets = g.civ4 + "/Assets";
    g.summary = generate_assets(Path(g.assets), {1, scale});
    g.setup_home = work_dir + "/" + name + "-setup";
    make_home(g.setup_home, g.civ4, "");
    g.setup = std::make_unique<Orrindel>(Path(g.setup_home));
    g.setup->startup();
    g.mods = work_dir + "/" + name + "-mods";
    fs::create_directories(g.mods);
    return g;
}

// Makes the apply mods 1 to count of a game (those not made yet), each from a
// modify_tree copy with `fraction` of the files changed.
void make_apply_mods(Game& g, unsigned count)
{
    for (unsigned m = g.made + 1; m <= count; ++m) {
        const std::string copy = work_dir + "/copy/Assets";
        modify_tree(Path(g.assets), Path(copy), {100 + m, 0.1});
        create_mod(*g.setup, copy, g.mods + "/" + mod_name(m) + ".Pellarix", mod_name(m));
        fs::remove_all(copy);
    }
    g.made = std::max(g.made, count);
}

// A settings folder for applying the game's mods 1 to count (hard links to
// the made mods) into custom; returns its path.
std::string apply_home(const Game& g, const std::string& name, unsigned count, const std::string& custom)
{
    const std::string home = work_dir + "/" + name;
    make_home(home, g.civ4, custom);
    fs::create_directories(mods_dir_of(home));
    for (unsigned m = 1; m <= count; ++m) {
        const std::string file = "/" + mod_name(m) + ".Pellarix";
        fs::create_hard_link(g.mods + file, mods_dir_of(home) + file);
    }
    return home;
}

Job empty_then(const std::string& folder, std::vector<std::string> args)
{
    return {std::move(args), [folder] {
                fs::remove_all(folder);
                fs::create_directories(folder);
            }};
}

std::string game_input(const Game& g, unsigned mods)
{
    std::ostringstream s;
    s << mods << " mods, " << (g.summary.xml.bytes + g.summary.python.bytes + g.summary.binary.bytes) / 1000000
      << " MB game";
    return s.str();
}

// --- The benchmarks (one function each) --------------------------------------

// apply: 20 mods, each file they change listed in order for the reference.
void bench_apply(Game& g)
{
    make_apply_mods(g, 20);
    const std::string custom = work_dir + "/CustomAssets";
    const std::string home = apply_home(g, "apply", 20, custom);
    const std::string list = work_dir + "/apply.list";
    // The reference follows the order in which Velmora applies them: the
    // mods list's order, which load_mods gives.
    {
        std::ofstream out(list);
        Orrindel core {Path(home)};
        core.startup();
        fs::create_directories(work_dir + "/whole");
        unsigned wholes = 0;
        for (Mod* listed : core.get_mods()) {
            Mod mod;
            mod.load(listed->path);
            for (const Change& c : mod.changes) {
                std::string rel = c.file;
                std::replace(rel.begin(), rel.end(), '\\', '/');
                if (c.type == Change::XML) {
                    out << "xml\t" << rel << "\n";
                } else if (c.type == Change::DIFF) {
                    out << "diff\t" << rel << "\n";
                } else {
                    const std::string bytes = work_dir + "/whole/" + std::to_string(wholes++);
                    std::ofstream(bytes, std::ios::binary) << c.bytes();
                    out << "whole\t" << rel << "\t" << bytes << "\n";
                }
            }
        }
    }
    const std::string ref_out = work_dir + "/reference-out";
    Paired p = measure_pairs(empty_then(custom, {"apply", home}),
        empty_then(ref_out, {"reference-apply", g.assets, list, ref_out}));
    compare("apply", game_input(g, 20), p, "parse and write each touched file", 1.2, 2.0);
    // The questions' details are made only when read: with every question
    // answered by a rule (--prefer) none is described; shown in a window,
    // each is, as every apply did before.
    Paired a = measure_pairs(empty_then(custom, {"apply-answers", home, "given"}),
        empty_then(custom, {"apply-answers", home, "shown"}));
    row("apply", game_input(g, 20) + ", every question answered by --prefer", "Velmora", a.ours);
    row("apply", game_input(g, 20) + ", every question shown with its details", "Velmora", a.ref);
    ratios.push_back({"apply, 20 mods, every question answered by --prefer, against every question shown (each "
                      "described, as every apply did before)",
        spread(a.wall_ratio), spread(a.cpu_ratio), 0, 0, 0});
    drop(custom);
    drop(ref_out);
    drop(home);
    drop(work_dir + "/whole");
}

// incremental apply: mods 1 to 19 applied, then one small mod more enabled
// and applied again, against a full apply of the same 20 mods.
void bench_incremental(Game& g)
{
    make_apply_mods(g, 19);
    const std::string custom = work_dir + "/CustomAssets-incremental";
    const std::string saved = work_dir + "/CustomAssets-19";
    const std::string home = apply_home(g, "incremental", 19, custom);
    {
        // The small mod: a fiftieth of the files changed.
        const std::string copy = work_dir + "/copy/Assets";
        modify_tree(Path(g.assets), Path(copy), {999, 0.02});
        for (const auto& e : fs::recursive_directory_iterator(copy))
            if (e.path().extension() == ".py")
                fs::remove(e.path());
        create_mod(*g.setup, copy, mods_dir_of(home) + "/Small.Pellarix", "Small");
        fs::remove_all(copy);
    }
    fs::remove_all(custom);
    run({"apply", home, "Small"});
    fs::copy(custom, saved, fs::copy_options::recursive);
    auto restore = [&] {
        fs::remove_all(custom);
        fs::copy(saved, custom, fs::copy_options::recursive);
    };
    // In a new process each time: the mods are loaded as part of the apply.
    Paired p = measure_pairs({{"apply", home}, restore}, empty_then(custom, {"apply", home}));
    row("incremental apply", "one small mod enabled, 20 mods, new process", "Velmora, again after 19", p.ours);
    row("incremental apply", "one small mod enabled, 20 mods, new process", "Velmora, into an empty folder", p.ref);
    ratios.push_back({"incremental apply, new process (mods loaded again), against a full apply", spread(p.wall_ratio),
        spread(p.cpu_ratio), 0, 0, 0});
    // In a running Velmora, as after a click in the window: the apply() call alone.
    Paired q = measure_pairs({{"apply-again", home, "incremental"}, restore}, {{"apply-again", home, "full"}, restore});
    row("incremental apply", "one small mod enabled, 20 mods, mods loaded", "Velmora, again after 19", q.ours);
    row("incremental apply", "one small mod enabled, 20 mods, mods loaded", "Velmora, into an empty folder", q.ref);
    ratios.push_back({"incremental apply, one small mod enabled of 20, against a full apply", spread(q.wall_ratio),
        spread(q.cpu_ratio), 0, 0, 0});

    // Against the floor: the files the small mod touches rebuilt alone.
    const std::string floor_out = work_dir + "/floor-out";
    const std::string input_on = "one small mod enabled, 20 mods";
    const std::string input_off = "one small mod disabled, 20 mods";
    const char* floor_name = "parse and write the files whose inputs changed";
    Paired fl = measure_pairs(
        {{"apply-again", home, "incremental"}, restore}, empty_then(floor_out, {"floor", home, floor_out, "loaded", "enabled"}));
    compare("incremental apply against its floor", input_on + ", mods loaded", fl, floor_name, 1.5);
    Paired fn = measure_pairs({{"apply", home}, restore}, empty_then(floor_out, {"floor", home, floor_out, "new", "enabled"}));
    compare("incremental apply against its floor", input_on + ", new process", fn, floor_name, 1.5);
    // Disabling: all 20 applied first, then the small mod left out.
    const std::string saved_20 = work_dir + "/CustomAssets-20";
    fs::remove_all(custom);
    run({"apply", home});
    fs::copy(custom, saved_20, fs::copy_options::recursive);
    auto restore_20 = [&] {
        fs::remove_all(custom);
        fs::copy(saved_20, custom, fs::copy_options::recursive);
    };
    Paired dl = measure_pairs({{"apply-again", home, "disabled"}, restore_20},
        empty_then(floor_out, {"floor", home, floor_out, "loaded", "disabled"}));
    compare("incremental apply against its floor", input_off + ", mods loaded", dl, floor_name, 1.5);
    Paired dn = measure_pairs({{"apply", home, "Small"}, restore_20},
        empty_then(floor_out, {"floor", home, floor_out, "new", "disabled"}));
    compare("incremental apply against its floor", input_off + ", new process", dn, floor_name, 1.5);
    drop(floor_out);
    drop(saved_20);
    drop(custom);
    drop(saved);
    drop(home);
}

// Apply with and without verification, 10 mods on the game, and what
// verification finds in the result.
void bench_verification(Game& g)
{
    make_apply_mods(g, 10);
    const std::string custom = work_dir + "/VerifiedAssets";
    const std::string home = apply_home(g, "verify", 10, custom);
    Paired p = measure_pairs(empty_then(custom, {"apply", home}), empty_then(custom, {"apply-unverified", home}));
    const std::string input = game_input(g, 10);
    row("apply with verification", input, "Velmora", p.ours);
    row("apply without verification", input, "Velmora", p.ref);
    ratios.push_back({"apply with verification, against without", spread(p.wall_ratio), spread(p.cpu_ratio), 1.1,
        0, 0});
    auto core = start(home);
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, true);
    core->signal_mod_priority().connect([](PriorityQuestion&) { return 1u; });
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

// Apply with and without the record of who made each file (a full apply of
// 20 mods into an empty folder each time).
void bench_provenance(Game& g)
{
    make_apply_mods(g, 20);
    const std::string custom = work_dir + "/ProvenanceAssets";
    const std::string home = apply_home(g, "provenance", 20, custom);
    Paired p = measure_pairs(
        empty_then(custom, {"apply", home}), empty_then(custom, {"apply-without-provenance", home}));
    const std::string input = game_input(g, 20);
    row("apply with provenance", input, "Velmora", p.ours);
    row("apply without provenance", input, "Velmora", p.ref);
    ratios.push_back(
        {"apply with provenance, against without", spread(p.wall_ratio), spread(p.cpu_ratio), 1.05, 0, 0});
    drop(custom);
    drop(home);
}

// Apply with and without the check of the names the built records point at
// (the schema check runs in both), 10 mods on the game, and what it finds.
void bench_references(Game& g)
{
    make_apply_mods(g, 10);
    const std::string custom = work_dir + "/ReferencedAssets";
    const std::string home = apply_home(g, "references", 10, custom);
    Paired p = measure_pairs(empty_then(custom, {"apply", home}), empty_then(custom, {"apply-unreferenced", home}));
    const std::string input = game_input(g, 10);
    row("apply with the reference check", input, "Velmora", p.ours);
    row("apply without the reference check", input, "Velmora", p.ref);
    ratios.push_back({"apply with the reference check, against without", spread(p.wall_ratio),
        spread(p.cpu_ratio), 1.1, 0, 0});
    auto core = start(home);
    for (Mod* mod : core->get_mods())
        core->set_mod_enabled(mod, true);
    core->signal_mod_priority().connect([](PriorityQuestion&) { return 1u; });
    core->apply();
    const ReferenceCheck& r = core->get_verification().references;
    std::printf("The reference check read %u files: %u broken references the mods caused, %u the game has too.\n",
        r.files, r.caused_by_mods(), static_cast<unsigned>(r.broken.size()) - r.caused_by_mods());
    drop(custom);
    drop(home);
}

// Fits time = a * size^b by least squares on the logarithms: b is the growth
// (1 linear, 2 quadratic).
double growth_exponent(const std::vector<std::pair<double, double>>& points)
{
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    const double n = points.size();
    for (const auto& [size, ms] : points) {
        const double x = std::log(size), y = std::log(ms);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

// Growth of apply with the number of mods and with the size of the game.
void bench_growth(Game& g)
{
    const int count = std::max(1, runs - 2);
    std::printf("\n| Apply growth | Input | Wall time (median, min–max) | CPU time | Peak memory |\n|---|---|---|---|---|\n");
    const std::string custom = work_dir + "/CustomAssets-growth";
    std::vector<std::pair<double, double>> by_mods, by_scale, cpu_by_mods, cpu_by_scale;
    auto point = [&](Game& game, unsigned mods, const std::string& label) {
        make_apply_mods(game, mods);
        const std::string home = apply_home(game, "growth", mods, custom);
        Series s = measure(count, empty_then(custom, {"apply", home}));
        const Spread w = spread(s.wall), c = spread(s.cpu);
        std::printf("| %s | %s | %.1f ms (%.1f–%.1f) | %.1f ms | %.1f MB |\n", label.c_str(),
            game_input(game, mods).c_str(), w.median, w.min, w.max, c.median, s.peak_kb / 1024.0);
        std::fflush(stdout);
        fs::remove_all(home);
        fs::remove_all(custom);
        return std::make_pair(w.median, c.median);
    };
    for (unsigned mods : {5u, 10u, 20u, 40u}) {
        const auto [wall, cpu] = point(g, mods, "by mods");
        by_mods.emplace_back(mods, wall);
        cpu_by_mods.emplace_back(mods, cpu);
    }
    // Other game sizes, 10 mods each.
    for (double scale : {0.5, 1.0, 2.0}) {
        const double s = scale * game_scale;
        // The fit takes the game's bytes: the generator's scale is not quite proportional to them.
        auto bytes = [](const Game& game) {
            return double(game.summary.xml.bytes + game.summary.python.bytes + game.summary.binary.bytes);
        };
        if (scale == 1.0) {
            const auto [wall, cpu] = point(g, 10, "by game size");
            by_scale.emplace_back(bytes(g), wall);
            cpu_by_scale.emplace_back(bytes(g), cpu);
            continue;
        }
        Game other = make_game(scale < 1 ? "Civ4-small" : "Civ4-large", s);
        const auto [wall, cpu] = point(other, 10, "by game size");
        by_scale.emplace_back(bytes(other), wall);
        cpu_by_scale.emplace_back(bytes(other), cpu);
        fs::remove_all(other.civ4);
        fs::remove_all(other.mods);
        fs::remove_all(other.setup_home);
    }
    std::printf("\nFitted growth (time proportional to size^b, 1 is linear): by the number of mods b = %.2f (wall), "
                "%.2f (CPU); by the game's size b = %.2f (wall), %.2f (CPU).\n\n",
        growth_exponent(by_mods), growth_exponent(cpu_by_mods), growth_exponent(by_scale),
        growth_exponent(cpu_by_scale));
    std::fflush(stdout);
}

// conflict check: 30 mods that all change the largest file, each made
// from a modified copy of a tree that holds only that file.
void bench_check(Game& g)
{
    const std::string one = work_dir + "/one/Assets";
    fs::path rel = g.summary.largest_xml;
    fs::create_directories((fs::path(one) / rel).parent_path());
    fs::copy_file(g.assets + "/" + g.summary.largest_xml, fs::path(one) / rel);
    const std::string mods = work_dir + "/check-mods";
    fs::create_directories(mods);
    for (unsigned m = 1; m <= 30; ++m) {
        const std::string copy = work_dir + "/copy/Assets";
        modify_tree(Path(one), Path(copy), {200 + m, 1.0});
        create_mod(*g.setup, copy, mods + "/" + mod_name(m) + ".Pellarix", mod_name(m));
        fs::remove_all(copy);
    }
    fs::remove_all(work_dir + "/one");
    const std::string input = "30 mods of " + g.summary.largest_xml.substr(g.summary.largest_xml.rfind('/') + 1)
        + " (" + mb(g.summary.largest_xml_bytes) + "), 435 pairs";
    Paired p = measure_pairs({{"check", mods}}, {{"reference-check", mods}});
    compare("conflict check", input, p, "load, parse each change once", 1.5);
    drop(mods);
}

// mod creation from a full modified copy.
void bench_create(Game& g)
{
    const std::string copy = work_dir + "/full-copy/Assets";
    modify_tree(Path(g.assets), Path(copy), {300, 0.1});
    fill_copy(g.assets, copy);
    const std::string out = work_dir + "/created.Pellarix";
    Paired p = measure_pairs({{"create", g.setup_home, copy, out}}, {{"reference-create", g.assets, copy}});
    compare("mod creation", "full modified copy, a tenth changed", p, "read both trees, parse both versions", 1.3,
        2.0);
    drop(work_dir + "/full-copy");
    drop(out);
}

// start-up scan: 500 mods of each size.
void bench_scan(Game& g)
{
    for (std::size_t size : {std::size_t(1000000), std::size_t(10000)}) {
        const std::string home = work_dir + "/scan-" + std::to_string(size);
        make_home(home, g.civ4, "");
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
        Paired p = measure_pairs({{"scan", home}}, {{"reference-scan", mods}});
        compare("start-up scan", input, p, "open each, read 1 KB", 1.5);
        drop(home);
    }
}

const char* const benchmark_names[]
    = {"apply", "incremental", "growth", "check", "create", "scan", "verification", "provenance",
        "references"};

int run_all(const std::vector<std::string>& only)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/velmora-bench-XXXXXX";
    if (work_dir.empty()) {
        if (!mkdtemp(pattern.data()))
            fail("cannot make a folder in " + pattern);
        work_dir = pattern;
    }
    Game game = make_game("Civ4", game_scale);
    auto wanted = [&](const char* name) {
        return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
    };
    if (wanted("apply"))
        bench_apply(game);
    if (wanted("incremental"))
        bench_incremental(game);
    if (wanted("check"))
        bench_check(game);
    if (wanted("create"))
        bench_create(game);
    if (wanted("scan"))
        bench_scan(game);
    if (wanted("verification"))
        bench_verification(game);
    if (wanted("provenance"))
        bench_provenance(game);
    if (wanted("references"))
        bench_references(game);
    if (wanted("growth"))
        bench_growth(game);

    std::printf("\n| Benchmark | Velmora / reference, wall: median (min–max) | CPU: median (min–max) | Peak memory "
                "| Goal |\n|---|---|---|---|---|\n");
    for (const Ratio& r : ratios) {
        char memory[32] = "", goal[64] = "none (for information)";
        if (r.goal > 0)
            std::snprintf(goal, sizeof goal, "at most %.2f", r.goal);
        if (r.memory_goal > 0) {
            std::snprintf(memory, sizeof memory, "%.2f", r.memory);
            std::snprintf(goal, sizeof goal, "at most %.2f, memory at most %.1f", r.goal, r.memory_goal);
        }
        const bool met
            = r.goal <= 0 || (r.wall.median <= r.goal && (r.memory_goal == 0 || r.memory <= r.memory_goal));
        std::printf("| %s | %.2f (%.2f–%.2f) | %.2f (%.2f–%.2f) | %s | %s%s |\n", r.what.c_str(), r.wall.median,
            r.wall.min, r.wall.max, r.cpu.median, r.cpu.min, r.cpu.max, memory, goal,
            met ? "" : " (missed)");
    }
    std::printf("\n%d paired runs each, game at scale %.2f.\n", runs, game_scale);
    remove_work_dir();
    return 0;
}

int child(const std::vector<std::string>& a)
{
    const std::string& what = a.at(0);
    if (what == "apply")
        return child_apply(a.at(1), std::vector<std::string>(a.begin() + 2, a.end()));
    if (what == "apply-unverified")
        return child_apply_unverified(a.at(1), false);
    if (what == "apply-unreferenced")
        return child_apply_unverified(a.at(1), true);
    if (what == "apply-without-provenance")
        return child_apply_without_provenance(a.at(1));
    if (what == "apply-again")
        return child_apply_again(a.at(1), a.at(2));
    if (what == "apply-answers")
        return child_apply_answers(a.at(1), a.at(2));
    if (what == "floor")
        return child_floor(a.at(1), a.at(2), a.at(3), a.at(4));
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

const char* const usage =
    "Usage: bench_mods [--quick] [--runs N] [--scale S] [--keep DIR] [BENCHMARK...]\n"
    "\n"
    "Measures Velmora's mod operations against reference programs on a generated\n"
    "game and prints Markdown tables: each row the median of paired runs (Velmora\n"
    "and the reference alternating) with the spread (min-max), then the ratios\n"
    "and the growth of apply with the number of mods and the game's size.\n"
    "\n"
    "  --quick      3 runs on a game at scale 0.25, for trying changes out\n"
    "  --runs N     paired runs per ratio (default 5)\n"
    "  --scale S    size of the generated game (default 1, the real game's size)\n"
    "  --keep DIR   generate the inputs in DIR and leave them there\n"
    "  --help       this text\n"
    "\n"
    "BENCHMARK: apply, incremental, growth, check, create, scan, verification,\n"
    "provenance, references\n"
    "(default: all).\n"
    "Needs about 1 GB of free space under $TMPDIR at full scale.\n";

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
        std::vector<std::string> only;
        for (int i = 1; i < argc; ++i) {
            const std::string a = argv[i];
            auto value = [&]() -> std::string {
                if (i + 1 >= argc) {
                    std::cerr << "bench_mods: " << a << " needs a value\n" << usage;
                    std::exit(2);
                }
                return argv[++i];
            };
            if (a == "--help" || a == "-h") {
                std::cout << usage;
                return 0;
            } else if (a == "--quick") {
                runs = 3;
                game_scale = 0.25;
            } else if (a == "--runs") {
                runs = std::max(1, std::atoi(value().c_str()));
            } else if (a == "--scale") {
                game_scale = std::atof(value().c_str());
                if (!(game_scale > 0)) {
                    std::cerr << "bench_mods: the scale must be above 0\n";
                    return 2;
                }
            } else if (a == "--keep") {
                work_dir = value();
                keep_inputs = true;
                fs::create_directories(work_dir);
            } else if (std::find(std::begin(benchmark_names), std::end(benchmark_names), a)
                != std::end(benchmark_names)) {
                only.push_back(a);
            } else {
                std::cerr << "bench_mods: unknown argument " << a << "\n" << usage;
                return 2;
            }
        }
        return run_all(only);
    } catch (const std::exception& e) {
        std::cerr << "bench_mods: " << e.what() << "\n";
        remove_work_dir();
        return 2;
    }
}
