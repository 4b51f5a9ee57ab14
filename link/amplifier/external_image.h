#pragma once
// The second block image of a download (external data, or the whole type-3 memory) and the
// walk over its block pairs.
#include <cstdint>
#include <cstdio>

namespace quorlink::amplifier {

struct ExternalImage {
    std::FILE* image = nullptr;  // null when the file holds no data in the range
    int64_t start = 0;           // lowest address found
    int64_t end = 0;             // one past the highest address found
};

// Block count that holds every pair up to `endBlock` (at least `minimum`); 0 when that would not
// fit the check table.
int pairImageBlocks(int minimum, int endBlock);
// First block after the pairs: (end - base) / 128, plus 2 when not a whole block.
int pairEndBlock(int64_t end, int64_t base);
// Programs the pairs from `startBlock` while below `endBlock`, adding to `total`. 0 or -1.
int programPairs(const ExternalImage& external, int startBlock, int endBlock, uint8_t& total);

}  // namespace quorlink::amplifier
