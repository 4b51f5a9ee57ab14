#pragma once
// Writing an image into a node's flash while loader 2 runs: erase, groups of four packets, and
// the node's own checksum over what it holds afterwards.
#include <cstdint>

#include "link/channel/channel.h"

namespace quorlink::nodepod {

struct ApplicationDownload {
    int32_t imageKind = 0;
    const char* path = nullptr;
    int32_t nodeId = 0;
    int32_t hardwareCode = 0;
};

// 0, or -1 (time-out), -2 (no file), -3 (no temporary image), -4 (bad file, or nothing in the
// window), -5 (erase refused), -7/-8/-9 (group refused), -8/-9 (checksum test refused),
// -10 (the node holds other data than the image).
int downApplication(Channel& channel, const ApplicationDownload& download);

}  // namespace quorlink::nodepod
