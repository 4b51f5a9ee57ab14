#pragma once
// A block image built in memory: pre-filled, written record by record (bytes outside the image
// are dropped, never written elsewhere), then saved to the image file in one piece.
#include <cstdint>
#include <cstdio>
#include <vector>

namespace quorlink {

class BlockImage {
  public:
    BlockImage(int64_t blocks, int64_t blockSize, uint8_t fill);

    // Writes the bytes that fall inside the image; returns how many did.
    size_t write(int64_t position, const std::vector<uint8_t>& bytes);
    // Sum of the block's bytes modulo 256.
    uint8_t blockSum(int64_t block) const;
    // Rewinds the file and writes the whole image; false on a write error.
    bool saveTo(std::FILE* file) const;

    int64_t size() const { return static_cast<int64_t>(bytes_.size()); }

  private:
    int64_t blockSize_;
    std::vector<uint8_t> bytes_;
};

}  // namespace quorlink
