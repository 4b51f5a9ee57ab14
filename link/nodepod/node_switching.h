#pragma once
// Moving a node between its programs: into loader 1, into loader 2, into the application.
#include <cstdint>

#include "link/channel/channel.h"

namespace quorlink::nodepod {

// Reset mode 1 insists on the node accepting the reset ("PCH2"); other modes send it only when
// the node is not known to run a loader, and do not look at the answer.
int switchToLoader1(Channel& channel, int32_t nodeId, bool inLoader, int32_t loader2Address,
                    int32_t resetMode);
int switchToLoader2(Channel& channel, int32_t nodeId, int32_t loader2Address);
int startApplication(Channel& channel, int32_t nodeId, int32_t applicationAddress);

}  // namespace quorlink::nodepod
