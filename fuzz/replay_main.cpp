// Replays inputs through a fuzz target without libFuzzer: every file named on the command line, and
// every file inside a named folder, goes once through LLVMFuzzerTestOneInput. Built into the
// sanitizer tree, so a committed corpus input that crashes, leaks or trips the undefined-behaviour
// checks fails the test that runs it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Files of a folder in name order, so a failing run is easy to repeat.
std::vector<std::filesystem::path> inputs(const std::filesystem::path& argument) {
    if (!std::filesystem::is_directory(argument)) return {argument};
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argument))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
        return 2;
    }
    size_t runs = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::filesystem::exists(argv[i])) {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 2;
        }
        for (const auto& file : inputs(argv[i])) {
            const std::vector<uint8_t> bytes = contents(file);
            // as under libFuzzer, an empty input still comes with a valid pointer
            static const uint8_t nothing = 0;
            LLVMFuzzerTestOneInput(bytes.empty() ? &nothing : bytes.data(), bytes.size());
            ++runs;
        }
    }
    if (runs == 0) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 2;
    }
    std::printf("replayed %zu inputs\n", runs);
    return 0;
}
