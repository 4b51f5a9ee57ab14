#include "link/images/record_checksums.h"

#include <cstdint>
#include <optional>

#include "link/images/hex_fields.h"

namespace quorlink {

namespace {

// The sum modulo 256 of `pairs` hex pairs from `position`, or nothing when one is missing.
std::optional<uint8_t> byteSum(const std::string& line, size_t position, int64_t pairs) {
    uint8_t sum = 0;
    for (int64_t i = 0; i < pairs; ++i) {
        const auto byte = hexField(line, position + 2 * static_cast<size_t>(i), 1);
        if (!byte) return std::nullopt;
        sum = static_cast<uint8_t>(sum + *byte);
    }
    return sum;
}

constexpr size_t kSRecordCountPosition = 2;
constexpr size_t kIntelHexCountPosition = 1;
constexpr int64_t kIntelHexFieldsBesidesData = 5;  // count, address high/low, type, checksum

}  // namespace

bool sRecordChecksumValid(const std::string& line) {
    const auto count = hexField(line, kSRecordCountPosition, 1);
    if (!count || *count == 0) return false;  // no room for a checksum
    const auto sum = byteSum(line, kSRecordCountPosition, *count + 1);
    return sum == 0xFF;
}

bool intelHexChecksumValid(const std::string& line) {
    const auto count = hexField(line, kIntelHexCountPosition, 1);
    if (!count) return false;
    const auto sum = byteSum(line, kIntelHexCountPosition, *count + kIntelHexFieldsBesidesData);
    return sum == 0;
}

}  // namespace quorlink
