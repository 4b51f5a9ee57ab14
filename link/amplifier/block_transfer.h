#pragma once
// Block programming through loader 2: address, data, program, check value; pairs of the
// external area; the total check of each channel.
#include <cstdint>
#include <cstdio>

namespace quorlink::amplifier {

struct BlockPauses {
    int beforeProgram = 6;
    int afterProgram = 20;
};

// "B00<block>", "D" (without data when the block is all `fill`), "P"; the answer must
// complement `blockSum`. 0 or -1 (reported).
int programBlock(std::FILE* image, int block, uint8_t blockSum, uint8_t fill, BlockPauses pauses);

// Blocks i and i + 1 of the external image with "B00<i / 2>", two "D" and "F"; the answer must
// complement both sums. Adds the pair's sum to `total`. 0 or -1.
int programPair(std::FILE* image, int i, const uint8_t* sums, uint8_t& total);

// "C<address>" for every selected channel from the highest down. 0 or -1.
int checkTotals(uint32_t mask, uint8_t total);

}  // namespace quorlink::amplifier
