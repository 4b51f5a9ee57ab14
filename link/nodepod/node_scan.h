#pragma once
// Finding out what runs at one node ID: application, loader 1 or loader 2, and its identity.
#include <cstdint>
#include <string>

#include "link/channel/channel.h"

namespace quorlink::nodepod {

enum ProgramState : int32_t {
    kNoNode = 0,
    kApplication = 1,
    kLoader1 = 2,
    kLoader2Stuck = 3,  // loader 2 was found and could not be sent back to loader 1
};

struct NodeIdentity {
    int32_t state = kNoNode;
    int32_t typeNumber = 0;
    int32_t serialNumber = 0;
    std::string name = " ";
    std::string firmwareVersion = " ";
    std::string loader1Version = " ";
    std::string hardwareRevision = " ";
};

// Loader 1's entry: a node found in loader 2 is sent there.
constexpr int64_t kLoader1Entry = 0xFA004;

// 0, -1 (time-out), -3/-4 (name or version unreadable), -5/-6 (loader 2 would not go back).
int scanNode(Channel& channel, int32_t nodeId, NodeIdentity& identity);

}  // namespace quorlink::nodepod
