#pragma once
// The bootstrap tool's own Intel HEX readers. -103 covers every failure.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace quorlink {

constexpr int kStrapperFileError = -103;

// Writes every data byte at base + address of the image; `progress` gets percent of the file read.
// Addresses beyond `imageLimit` bytes are refused with -103 instead of growing the file unbounded.
int CopyHexToImage(std::FILE* hex, std::FILE* image, const std::function<void(int)>& progress,
                   int64_t imageLimit);

// The data bytes of all data records in file order. Files with more than `maximum` data bytes
// are refused with -103 (the bootstrap programs' buffers hold 512 bytes).
int ReadHexBytes(std::vector<uint8_t>& bytes, const std::string& path, size_t maximum);

// Length of an open file; its position is kept. -1 when it cannot be determined.
int64_t FileSize(std::FILE* file);

// `size` zero bytes from the start; -103 when the file cannot be positioned or written.
int ClearImage(std::FILE* image, int64_t size);

}  // namespace quorlink
