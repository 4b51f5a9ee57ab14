#include "link/images/hex_fields.h"

#include "link/images/block_text.h"

namespace quorlink {

namespace {

std::optional<uint8_t> pairAt(const std::string& line, size_t position) {
    if (position + 1 >= line.size()) return std::nullopt;
    return HexPairToByte(line[position], line[position + 1]);
}

}  // namespace

std::optional<int64_t> hexField(const std::string& line, size_t position, int pairs) {
    int64_t value = 0;
    for (int i = 0; i < pairs; ++i) {
        const auto byte = pairAt(line, position + 2 * static_cast<size_t>(i));
        if (!byte) return std::nullopt;
        value = value * 256 + *byte;
    }
    return value;
}

bool hexBytes(const std::string& line, size_t position, int64_t count, std::vector<uint8_t>& bytes) {
    bytes.clear();
    for (int64_t i = 0; i < count; ++i) {
        const auto byte = pairAt(line, position + 2 * static_cast<size_t>(i));
        if (!byte) return false;
        bytes.push_back(*byte);
    }
    return true;
}

}  // namespace quorlink
