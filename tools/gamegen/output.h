#ifndef VELMORA_TOOLS_GAMEGEN_OUTPUT_H
#define VELMORA_TOOLS_GAMEGEN_OUTPUT_H

#include <set>
#include <string>
#include <vector>

#include "path/path.h"
#include "tools/gamegen/gamegen.h"

namespace velmora::gamegen {

enum class FileKind { Xml, Python, Binary };

// The folder a run writes into. Files are written whole, one at a time, and
// counted by kind.
class OutputTree {
public:
    explicit OutputTree(const Path& root)
        : root_(root)
    { }

    // Writes bytes to relative ("/" separated) under the root, making its
    // folders. Throws GenericError naming the file on failure.
    void write(const std::string& relative, const std::string& bytes, FileKind kind);
    const GameGenSummary& summary() const { return summary_; }

private:
    Path root_;
    std::set<std::string> folders_;
    GameGenSummary summary_;
};

// The bytes of a file; throws GenericError naming it when it cannot be read.
std::string read_bytes(const Path& file);
// Writes a whole file (its folder must exist); throws GenericError naming it.
void write_bytes(const Path& file, const std::string& bytes);
// Makes a folder and its parents; throws GenericError naming it.
void make_folder(const Path& folder);
// Fails unless folder is missing or empty, so that a run never mixes its
// files with others or overwrites anything. Returns whether it was missing.
bool require_empty_folder(const Path& folder, const char* what);
// Every file under folder, relative to it ("/" separated), in byte order.
std::vector<std::string> walk_files(const Path& folder);

// The comment lines a generated file starts with.
std::vector<std::string> header_comments(
    const std::string& path, const std::string& title, unsigned seed, double scale);
// 0.01 -> "0.01", 1 -> "1": the scale as a person writes it.
std::string scale_text(double scale);

} // namespace velmora::gamegen

#endif
