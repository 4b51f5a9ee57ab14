#include "link/amplifier/external_image.h"

#include <algorithm>

#include "link/amplifier/block_transfer.h"
#include "link/channel/channel.h"
#include "link/images/check_tables.h"

namespace quorlink::amplifier {

int pairImageBlocks(int minimum, int endBlock) {
    const int blocks = std::max(minimum, endBlock + 2);
    return blocks <= static_cast<int>(checkTables().b.size()) ? blocks : 0;
}

int pairEndBlock(int64_t end, int64_t base) {
    const int64_t bytes = end - base;
    return static_cast<int>(bytes / 128 + (bytes % 128 != 0 ? 2 : 0));
}

int programPairs(const ExternalImage& external, int startBlock, int endBlock, uint8_t& total) {
    const int span = std::max(1, endBlock - startBlock);
    for (int i = startBlock; i < endBlock; i += 2) {
        channel().reportProgress((i - startBlock) * 100 / span);
        if (programPair(external.image, i, checkTables().b.data(), total) != 0) return -1;
    }
    return 0;
}

}  // namespace quorlink::amplifier
