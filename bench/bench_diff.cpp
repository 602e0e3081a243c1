// Line differences against GNU diff and patch, on the same generated inputs:
// a 20,000-line script with 50 scattered edits and a 200 MB text with 10
// edits. Every measurement runs in a child process of its own (this program
// started again with --create or --apply, or diff or patch), so that the peak
// memory that getrusage reports belongs to that measurement alone.
//
// Prints Markdown table rows: operation | input | program | wall | CPU | peak memory.
//
// bench_diff --generate DIR writes the script pair into DIR; bench_diff
// --create OLD NEW DIFF and bench_diff --apply DIFF OLD OUT are the children,
// to be run alone under a profiler.

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "diff/diff.h"

namespace {

using velmora::Diff;

// The folder of the generated inputs, removed on every way out.
std::string work_dir;

void remove_work_dir()
{
    if (work_dir.empty())
        return;
    for (const char* suffix : {".old", ".new", ".velmora.diff", ".gnu.diff", ".velmora.out", ".gnu.out"})
        for (const char* name : {"script", "large"})
            std::remove((work_dir + "/" + name + suffix).c_str());
    rmdir(work_dir.c_str());
}

[[noreturn]] void fail(const std::string& message)
{
    std::cerr << "bench_diff: " << message << "\n";
    remove_work_dir();
    std::exit(1);
}

// --- The children --------------------------------------------------------

int child_create(const char* old_file, const char* new_file, const char* diff_file)
{
    std::ifstream old_text(old_file, std::ios::binary);
    std::ifstream new_text(new_file, std::ios::binary);
    Diff d;
    d.create(old_text, new_text);
    std::ofstream out(diff_file, std::ios::binary);
    d.write(out);
    return out ? 0 : 3;
}

int child_apply(const char* diff_file, const char* old_file, const char* out_file)
{
    std::ifstream diff_text(diff_file, std::ios::binary);
    Diff d;
    d.read(diff_text);
    std::ifstream in(old_file, std::ios::binary);
    std::ofstream out(out_file, std::ios::binary);
    d.apply(in, out);
    return out ? 0 : 3;
}

// --- Measuring -----------------------------------------------------------

struct Sample {
    double wall_ms;
    double cpu_ms;
    long peak_kb;
};

// Runs a program to its end, standard output into stdout_file when given.
Sample run(const std::vector<std::string>& args, const std::string& stdout_file = "")
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    auto begin = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        if (!stdout_file.empty()) {
            int fd = open(stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
            close(fd);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    auto end = std::chrono::steady_clock::now();
    // diff exits with 1 when the files differ, which they do.
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        fail(args[0] + " " + args[1] + " failed");
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return {std::chrono::duration<double, std::milli>(end - begin).count(),
        ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_maxrss};
}

// The best of several runs: on a shared machine the other processes only
// ever add time, so the fastest run comes nearest to the cost itself. The
// peak memory is the largest one seen.
Sample measure(int runs, const std::vector<std::string>& args, const std::string& stdout_file = "")
{
    Sample best = run(args, stdout_file);
    for (int n = 1; n < runs; ++n) {
        Sample s = run(args, stdout_file);
        best.wall_ms = std::min(best.wall_ms, s.wall_ms);
        best.cpu_ms = std::min(best.cpu_ms, s.cpu_ms);
        best.peak_kb = std::max(best.peak_kb, s.peak_kb);
    }
    return best;
}

void row(const char* operation, const std::string& input, const char* program, const Sample& s)
{
    std::printf("| %s | %s | %s | %.1f ms | %.1f ms | %.1f MB |\n", operation, input.c_str(), program,
        s.wall_ms, s.cpu_ms, s.peak_kb / 1024.0);
    std::fflush(stdout);
}

bool same_files(const std::string& a, const std::string& b)
{
    std::ifstream fa(a, std::ios::binary);
    std::ifstream fb(b, std::ios::binary);
    std::vector<char> ba(1 << 20);
    std::vector<char> bb(1 << 20);
    while (fa && fb) {
        fa.read(ba.data(), ba.size());
        fb.read(bb.data(), bb.size());
        if (fa.gcount() != fb.gcount() || std::memcmp(ba.data(), bb.data(), fa.gcount()) != 0)
            return false;
    }
    return fa.eof() && fb.eof();
}

// --- Inputs --------------------------------------------------------------

// Writes an old text and a new one that differs from it by `edits` edits
// spread over it: a line replaced, lines inserted or lines deleted.
class TextPair {
public:
    TextPair(const std::string& old_file, const std::string& new_file)
        : old_(old_file, std::ios::binary)
        , new_(new_file, std::ios::binary)
    { }

    void both(const std::string& line)
    {
        old_ << line;
        new_ << line;
    }
    void old_only(const std::string& line) { old_ << line; }
    void new_only(const std::string& line) { new_ << line; }

    bool good() const { return old_.good() && new_.good(); }

private:
    std::ofstream old_;
    std::ofstream new_;
};

std::vector<unsigned long> edit_lines(std::mt19937& rng, unsigned long lines, unsigned int edits)
{
    // One edit in each of `edits` equal stretches, away from their edges.
    std::vector<unsigned long> at;
    unsigned long stretch = lines / edits;
    for (unsigned int e = 0; e < edits; ++e)
        at.push_back(e * stretch + stretch / 4 + rng() % (stretch / 2));
    return at;
}

// A Python script: classes of methods, blank lines, comments, and the
// statements that repeat in real scripts.
std::string script_line(std::mt19937& rng, unsigned long n)
{
    static const char* common[]
        = {"        return None", "        pass", "", "        else:", "            return False"};
    switch (n % 23) {
    case 0:
        return "\n";
    case 1:
        return "    def handler_" + std::to_string(n) + "(self, argsList):\n";
    case 2:
        return "        \"Handles event " + std::to_string(n) + "\"\n";
    case 3:
    case 11:
        return std::string(common[rng() % 5]) + "\n";
    case 7:
        return "        # " + std::to_string(rng() % 1000) + " units checked here\n";
    default:
        return "        iValue" + std::to_string(n % 7) + " = gc.getPlayer(" + std::to_string(rng() % 18)
            + ").getUnitCount(" + std::to_string(n) + ")\n";
    }
}

std::string record_line(std::mt19937& rng, unsigned long n)
{
    return "record " + std::to_string(n) + ": value=" + std::to_string(rng() % 100000) + " owner=player"
        + std::to_string(rng() % 18) + " note=unchanged\n";
}

template <typename LineOf>
unsigned long write_pair(const std::string& old_file, const std::string& new_file, unsigned long lines,
    unsigned int edits, unsigned int seed, LineOf line_of)
{
    std::mt19937 rng(seed);
    std::vector<unsigned long> at = edit_lines(rng, lines, edits);
    TextPair pair(old_file, new_file);
    size_t next = 0;
    for (unsigned long n = 0; n < lines; ++n) {
        std::string line = line_of(rng, n);
        if (next == at.size() || n != at[next]) {
            pair.both(line);
            continue;
        }
        switch (next++ % 3) {
        case 0: // a replaced line
            pair.old_only(line);
            pair.new_only("        iValue = 0  # changed by the mod\n");
            break;
        case 1: // three inserted lines
            pair.both(line);
            for (int k = 0; k < 3; ++k)
                pair.new_only("        CyInterface().addMessage(" + std::to_string(k) + ")\n");
            break;
        default: // a deleted line
            pair.old_only(line);
            break;
        }
    }
    if (!pair.good())
        fail("cannot write " + old_file);
    return lines;
}

// --- The benchmark -------------------------------------------------------

void compare(const std::string& self, const std::string& dir, const std::string& name,
    const std::string& input, int runs)
{
    std::string old_file = dir + "/" + name + ".old";
    std::string new_file = dir + "/" + name + ".new";
    std::string ours = dir + "/" + name + ".velmora.diff";
    std::string gnu = dir + "/" + name + ".gnu.diff";
    std::string ours_out = dir + "/" + name + ".velmora.out";
    std::string gnu_out = dir + "/" + name + ".gnu.out";

    row("create a difference", input, "Velmora", measure(runs, {self, "--create", old_file, new_file, ours}));
    row("create a difference", input, "GNU diff -u", measure(runs, {"diff", "-u", old_file, new_file}, gnu));
    row("apply a difference", input, "Velmora", measure(runs, {self, "--apply", ours, old_file, ours_out}));
    row("apply a difference", input, "GNU patch",
        measure(runs, {"patch", "-s", "-o", gnu_out, old_file, gnu}));
    for (const std::string& out : {ours_out, gnu_out})
        if (!same_files(out, new_file))
            fail(out + " differs from " + new_file);
    for (const std::string& f : {old_file, new_file, ours, gnu, ours_out, gnu_out})
        std::remove(f.c_str());
}

int run_all(const char* argv0)
{
    char self[4096];
    ssize_t size = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string me = size > 0 ? std::string(self, size) : argv0;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/velmora-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("bench_diff: mkdtemp");
        return 1;
    }
    work_dir = pattern;
    const std::string& dir = work_dir;

    write_pair(dir + "/script.old", dir + "/script.new", 20000, 50, 1, script_line);
    compare(me, dir, "script", "20,000-line script, 50 edits", 21);

    // About 200 MB: 3.5 million records of some 57 bytes.
    write_pair(dir + "/large.old", dir + "/large.new", 3500000, 10, 2, record_line);
    struct stat st { };
    stat((dir + "/large.old").c_str(), &st);
    compare(me, dir, "large", std::to_string(st.st_size / 1000000) + " MB text, 10 edits", 3);

    remove_work_dir();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        if (argc == 5 && std::strcmp(argv[1], "--create") == 0)
            return child_create(argv[2], argv[3], argv[4]);
        if (argc == 5 && std::strcmp(argv[1], "--apply") == 0)
            return child_apply(argv[2], argv[3], argv[4]);
        if (argc == 3 && std::strcmp(argv[1], "--generate") == 0) {
            // The script pair alone, to profile a child on it.
            std::string dir = argv[2];
            write_pair(dir + "/script.old", dir + "/script.new", 20000, 50, 1, script_line);
            return 0;
        }
        if (argc > 1) {
            const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
            (help ? std::cout : std::cerr)
                << "Usage: bench_diff\n"
                   "       bench_diff --generate DIR\n"
                   "       bench_diff --create OLD NEW OUT | --apply DIFF OLD OUT\n"
                   "\n"
                   "Without arguments: measures creating and applying line differences against\n"
                   "GNU diff and patch and prints Markdown table rows. --generate writes the\n"
                   "script pair into DIR; --create and --apply run one measured step alone,\n"
                   "for a profiler.\n";
            return help ? 0 : 2;
        }
        return run_all(argv[0]);
    } catch (const std::exception& e) {
        // In a child this ends one measurement, which the parent reports.
        std::cerr << "bench_diff: " << e.what() << "\n";
        return 2;
    }
}
