// Image blocks as the hex text of the loaders' data commands.
#include "link/images/block_text.h"

#include <algorithm>
#include <vector>

#include "link/images/check_tables.h"
#include "link/images/file_offsets.h"
#include "link/images/hex_digits.h"

namespace quorlink {

namespace {

// The `size` bytes at block * size, or nothing when they cannot all be read.
std::optional<std::vector<uint8_t>> readBlock(std::FILE* image, int block, size_t size) {
    if (!image || block < 0) return std::nullopt;
    std::vector<uint8_t> bytes(size);
    if (!seekTo(image, int64_t{block} * static_cast<int64_t>(size)) ||
        std::fread(bytes.data(), 1, size, image) != size)
        return std::nullopt;
    return bytes;
}

void appendHex(std::string& out, const std::vector<uint8_t>& bytes) {
    for (uint8_t byte : bytes) appendUpperHex(out, byte);
}

int countDifferent(const std::vector<uint8_t>& bytes, uint8_t fill) {
    return static_cast<int>(
        std::count_if(bytes.begin(), bytes.end(), [fill](uint8_t byte) { return byte != fill; }));
}

}  // namespace

int RenderBlock128(std::string& buffer, int block, size_t position, std::FILE* image,
                   uint8_t fill) {
    const auto bytes = readBlock(image, block, 128);
    if (!bytes || position > buffer.size()) return -1;
    buffer.resize(position);
    appendHex(buffer, *bytes);
    buffer += "\r\n";
    return countDifferent(*bytes, fill);
}

int RenderBlock64(std::string& buffer, int block, std::FILE* image, uint8_t fill) {
    const auto bytes = readBlock(image, block, 64);
    if (!bytes) return -1;
    buffer.clear();
    appendHex(buffer, *bytes);
    uint32_t& wordSum = checkTables().wordSum;
    for (size_t i = 0; i < bytes->size(); i += 2)
        wordSum += static_cast<uint32_t>((*bytes)[i] | (*bytes)[i + 1] << 8);
    return countDifferent(*bytes, fill);
}

}  // namespace quorlink
