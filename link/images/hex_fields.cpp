#include "link/images/hex_fields.h"

#include "link/images/hex_digits.h"

namespace quorlink {

namespace {

// The pair's value, or -1 when it is not a hex pair or runs past the line's end.
int pairAt(const std::string& line, size_t position) {
    if (position + 1 >= line.size()) return -1;
    return hexPairValue(line[position], line[position + 1]);
}

}  // namespace

std::optional<int64_t> hexField(const std::string& line, size_t position, int pairs) {
    int64_t value = 0;
    for (int i = 0; i < pairs; ++i) {
        const int byte = pairAt(line, position + 2 * static_cast<size_t>(i));
        if (byte < 0) return std::nullopt;
        value = value * 256 + byte;
    }
    return value;
}

bool hexBytes(const std::string& line, size_t position, int64_t count,
              std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (count < 0 || position + 2 * static_cast<size_t>(count) > line.size()) return false;
    bytes.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int byte = hexPairValue(line[position + 2 * i], line[position + 2 * i + 1]);
        if (byte < 0) return false;
        bytes[i] = static_cast<uint8_t>(byte);
    }
    return true;
}

}  // namespace quorlink
