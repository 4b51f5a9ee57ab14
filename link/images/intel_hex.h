#pragma once
// Intel HEX files into block images of a given block size, with the optional date stamp.
#include <cstdint>
#include <cstdio>

namespace quorlink {

// Stamp kinds: 2 -> image position 0x4FF80, 3 -> 0x3FF80, 255 -> 0x1FF80, others none.
// A data record lands at paragraphs * 16 + address + base; records outside the image are skipped.
// Mode 0: table A = block sums, total A; mode 1: table B, total B. 0 or -1.
int ConvertIntelHex(std::FILE* file, std::FILE* image, int blocks, int64_t paragraphs,
                    int blockSize, uint8_t fill, int stampKind, int mode);

// As ScanSRecordRange; high = -1 means no upper limit.
int ScanIntelHexRange(std::FILE* file, int64_t low, int64_t high, int64_t& lowest, int64_t& end);

}  // namespace quorlink
