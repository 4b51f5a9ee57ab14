#include "link/processor/kx33_block_checks.h"

#include <string>

#include "link/channel/channel.h"

namespace quorlink::processor {

bool kx33ArgumentsUsable(const Kx33Blocks& blocks, const char* refusedVersion) {
    Channel& ch = channel();
    if (blocks.formatVersion > 1) {
        ch.reportMessage(refusedVersion, 0);
        return false;
    }
    if (blocks.blockSize < 1 || blocks.blockSize > kKx33LargestBlock) {
        ch.reportMessage("KX33 block size " + std::to_string(blocks.blockSize) +
                             " is not supported! Use 1 to " + std::to_string(kKx33LargestBlock) +
                             " bytes per block.",
                         0);
        return false;
    }
    if (blocks.firstBlock < 0 || blocks.blockCount < 0) {
        ch.reportMessage("KX33 block range " + std::to_string(blocks.firstBlock) + " + " +
                             std::to_string(blocks.blockCount) + " is not valid!",
                         0);
        return false;
    }
    return true;
}

}  // namespace quorlink::processor
