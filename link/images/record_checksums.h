#pragma once
// Record checksums. A record whose checksum is missing, not hex or wrong is malformed: a flipped
// digit would otherwise be flashed, and the module's own check is computed from the same image.
#include <string>

namespace quorlink {

// S-record: the count byte, then count bytes (address, data, checksum); the checksum is the one's
// complement of the sum of the count, address and data bytes.
bool sRecordChecksumValid(const std::string& line);

// Intel HEX: count, 16-bit address, type, data and checksum from position 1, summing to 0.
bool intelHexChecksumValid(const std::string& line);

}  // namespace quorlink
