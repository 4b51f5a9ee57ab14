#pragma once
// Writing loader 2 into a node's RAM while loader 1 runs.
#include <cstdint>

#include "link/channel/channel.h"

namespace quorlink::nodepod {

// 0, -1 (no file, no temporary image, time-out), -2 (bad or empty file), -3 (packet refused).
int downLoader2(Channel& channel, const char* path, int32_t nodeId);

}  // namespace quorlink::nodepod
