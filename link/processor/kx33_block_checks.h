#pragma once
// Checks every KX33 export makes on its block arguments before any traffic.
#include "link/processor/kx33.h"

namespace quorlink::processor {

// Reports why the format version or block geometry cannot be used; true when they can.
// `refusedVersion` is the export's own text for a format version above 1.
bool kx33ArgumentsUsable(const Kx33Blocks& blocks, const char* refusedVersion);

}  // namespace quorlink::processor
