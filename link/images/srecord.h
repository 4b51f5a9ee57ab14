#pragma once
// Motorola S-record files into 128-byte block images.
#include <cstdint>
#include <cstdio>

namespace quorlink {

// Mode 0 fills check table A (negated block sums, total without blocks 509-511) over a 0x00
// image; mode 1 fills table B (block sums) over a 0xFF image. A record at address a lands at
// image position offset + a.
// 0, or -1 for a malformed or unreadable file. Data outside the image is never written.
int ConvertSRecord(std::FILE* file, std::FILE* image, int blocks, int mode, int64_t offset);

// Lowest start and highest end of the data records inside [low, high].
// 0, -1 malformed, -11 no data in the range. lowest/end are -1 unless the result is 0.
int ScanSRecordRange(std::FILE* file, int64_t low, int64_t high, int64_t& lowest, int64_t& end);

}  // namespace quorlink
