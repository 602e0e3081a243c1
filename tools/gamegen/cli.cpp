#include "tools/gamegen/cli.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "base/errors.h"
#include "tools/gamegen/gamegen.h"

namespace velmora {

namespace {

const char* const kUsage = "usage: velmora-gamegen assets DIR [--seed N] [--scale X]\n"
                           "       velmora-gamegen modify ASSETS OUT [--seed N] [--fraction F] [--removals]\n"
                           "\n"
                           "assets  writes a made-up game-like Assets tree into DIR (new or empty);\n"
                           "        scale 1 (the default) is the size of the game's data, 0.01 a tiny copy.\n"
                           "modify  writes changed copies of some files of ASSETS, and a few new files,\n"
                           "        into OUT (new or empty); fraction 0.1 (the default) changes a tenth;\n"
                           "        with --removals, edits also delete records, fields and set items.\n"
                           "The same seed (default 1) gives the same bytes.\n";

struct UsageError {
    std::string message;
};

struct Arguments {
    std::vector<std::string> positional;
    std::optional<std::string> seed, scale, fraction;
    bool removals = false;
};

Arguments parse(const std::vector<std::string>& args)
{
    Arguments a;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.compare(0, 2, "--") != 0 || arg == "--") {
            a.positional.push_back(arg);
            continue;
        }
        if (arg == "--removals") {
            a.removals = true;
            continue;
        }
        std::string name = arg, value;
        std::string::size_type eq = arg.find('=');
        if (eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            throw UsageError{"option " + arg + " needs a value"};
        }
        std::optional<std::string>* slot = name == "--seed" ? &a.seed
            : name == "--scale"                             ? &a.scale
            : name == "--fraction"                          ? &a.fraction
                                                            : nullptr;
        if (!slot)
            throw UsageError{"unknown option " + name};
        *slot = value;
    }
    return a;
}

unsigned parse_seed(const std::optional<std::string>& text)
{
    if (!text)
        return 1;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = std::strtoull(text->c_str(), &end, 10);
    if (text->empty() || *end != '\0' || (*text)[0] == '-' || errno == ERANGE || v > 0xFFFFFFFFull)
        throw UsageError{"the seed \"" + *text + "\" is not a whole number from 0 to 4294967295"};
    return static_cast<unsigned>(v);
}

double parse_number(const std::optional<std::string>& text, double fallback, const char* what)
{
    if (!text)
        return fallback;
    char* end = nullptr;
    double v = std::strtod(text->c_str(), &end);
    if (text->empty() || *end != '\0' || !std::isfinite(v))
        throw UsageError{std::string("the ") + what + " \"" + *text + "\" is not a number"};
    return v;
}

std::string megabytes(std::uint64_t bytes)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f MB", static_cast<double>(bytes) / 1e6);
    return buf;
}

int run_assets(const Arguments& a, std::ostream& out)
{
    if (a.positional.size() != 1 || a.fraction || a.removals)
        throw UsageError{a.fraction ? "assets takes no --fraction"
                : a.removals        ? "assets takes no --removals"
                                    : "assets takes one folder"};
    GameGenOptions options;
    options.seed = parse_seed(a.seed);
    options.scale = parse_number(a.scale, 1.0, "scale");
    auto start = std::chrono::steady_clock::now();
    GameGenSummary s = generate_assets(Path(a.positional[0]), options);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char time[32];
    std::snprintf(time, sizeof time, "%.2f s", seconds);
    out << "Wrote " << a.positional[0] << " in " << time << ":\n"
        << "  " << s.xml.files << " XML files, " << megabytes(s.xml.bytes) << " (largest " << s.largest_xml
        << ", " << megabytes(s.largest_xml_bytes) << ")\n"
        << "  " << s.python.files << " Python files, " << megabytes(s.python.bytes) << "\n"
        << "  " << s.binary.files << " binary files, " << megabytes(s.binary.bytes) << "\n";
    return 0;
}

int run_modify(const Arguments& a, std::ostream& out)
{
    if (a.positional.size() != 2 || a.scale)
        throw UsageError{
            a.scale ? "modify takes no --scale" : "modify takes the assets folder and the output folder"};
    ModifyOptions options;
    options.seed = parse_seed(a.seed);
    options.fraction = parse_number(a.fraction, 0.1, "fraction");
    options.removals = a.removals;
    for (const auto& f : modify_tree(Path(a.positional[0]), Path(a.positional[1]), options)) {
        out << (f.kind == ModifiedFile::Kind::Added ? "added   " : "changed ") << f.path << "\n";
        for (const auto& note : f.notes)
            out << "    " << note << "\n";
    }
    return 0;
}

} // namespace

int gamegen_main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    try {
        if (args.empty())
            throw UsageError{"no command given"};
        if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
            out << kUsage;
            return 0;
        }
        Arguments a = parse(args);
        if (args[0] == "assets")
            return run_assets(a, out);
        if (args[0] == "modify")
            return run_modify(a, out);
        throw UsageError{"unknown command \"" + args[0] + "\""};
    } catch (const UsageError& e) {
        err << "velmora-gamegen: " << e.message << "\n" << kUsage;
        return 2;
    } catch (const GenericError& e) {
        err << "velmora-gamegen: " << e.what() << "\n";
        return 1;
    }
}

} // namespace velmora
