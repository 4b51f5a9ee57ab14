#include "tools/fwgen/cli/input_bytes.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fwgen::cli {

std::vector<uint8_t> readRawFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " + path);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
    if (file.bad()) throw std::runtime_error("cannot read " + path);
    return bytes;
}

std::vector<uint8_t> patternBytes(size_t size, uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(generator() >> 24);
    return bytes;
}

}  // namespace fwgen::cli
