// A fuzz target as a plain program, without libFuzzer: feeds it every file of
// the folders named on the command line (its seed corpus, and the inputs that
// once crashed it), in name order, so that `make test` replays them with any
// compiler. A fault stops the program (a trap, an abort or a sanitizer's
// report) after the name of the input on standard output.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER...\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        // A folder that is not there holds nothing: a target that never crashed has no crashes folder.
        std::error_code error;
        std::vector<fs::path> files;
        for (const fs::directory_entry& e : fs::directory_iterator(argv[i], error))
            if (e.is_regular_file())
                files.push_back(e.path());
        std::sort(files.begin(), files.end());
        inputs.insert(inputs.end(), files.begin(), files.end());
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "%s: no input in the folders given\n", argv[0]);
        return 1;
    }
    for (const fs::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv[0], input.c_str());
            return 1;
        }
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::printf("%s\n", input.c_str());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs, no fault\n", inputs.size());
    return 0;
}
