#pragma once
// Text helpers shared by the two writers: upper-case hex and one-byte record checksums.
#include <cstdint>
#include <string>
#include <vector>

namespace fwgen::detail {

// Appends `value` as `digits` upper-case hex digits.
void appendHex(std::string& out, uint64_t value, int digits);

// A record's fields as bytes (count, address, data...) and their two's or ones' complement sum.
uint8_t onesComplementSum(const std::vector<uint8_t>& bytes);
uint8_t twosComplementSum(const std::vector<uint8_t>& bytes);

// Big-endian bytes of the lowest `count` bytes of `value`.
void appendBigEndian(std::vector<uint8_t>& out, uint32_t value, int count);

}  // namespace fwgen::detail
