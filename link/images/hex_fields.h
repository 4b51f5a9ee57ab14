#pragma once
// Fixed-position hex fields of a record line. Characters beyond the line's end are not hex
// digits, so a record that is shorter than it claims fails like a bad pair.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorlink {

// The value of `pairs` hex pairs starting at `position`, most significant first.
std::optional<int64_t> hexField(const std::string& line, size_t position, int pairs);

// `count` bytes of hex pairs from `position` into `bytes` (replaced). False on a bad pair.
bool hexBytes(const std::string& line, size_t position, int64_t count, std::vector<uint8_t>& bytes);

}  // namespace quorlink
