#include "scripted_nodepod.h"


#include "link/quorlink.h"
#include "link_fixture.h"

namespace nodepod_tests {

std::string hexOf(const uint8_t* bytes, size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

NodeScan scanNode(int nodeId) {
    NodeScan r;
    char name[100], firmware[100], loader1[100], hardware[100];
    int32_t firmwareLength = 0, loader1Length = 0, hardwareLength = 0;
    r.result = NodePod_NodeIDScan(5500, testing_support::recordMessage, nodeId, &r.state, &r.type,
                                  &r.serial, name, &r.nameLength, firmware, &firmwareLength,
                                  loader1, &loader1Length, hardware, &hardwareLength);
    r.name = name;
    r.firmware = firmware;
    r.loader1 = loader1;
    r.hardware = hardware;
    EXPECT_EQ(static_cast<size_t>(firmwareLength), r.firmware.size());
    EXPECT_EQ(static_cast<size_t>(loader1Length), r.loader1.size());
    EXPECT_EQ(static_cast<size_t>(hardwareLength), r.hardware.size());
    return r;
}

}  // namespace nodepod_tests
