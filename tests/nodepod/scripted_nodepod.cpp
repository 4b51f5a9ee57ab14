#include "scripted_nodepod.h"

#include "hex_text.h"
#include "link/quorlink.h"
#include "link_fixture.h"
#include "nodepod_heads.h"

namespace nodepod_tests {

std::string hexOf(const uint8_t* bytes, size_t count) {
    return testing_support::upperHex({reinterpret_cast<const char*>(bytes), count});
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

using testing_support::kNodePodType;
using testing_support::recordMessage;
using testing_support::recordProgress;

int intoLoader2(int id, bool inLoader, int resetMode, const std::string& loader2, int address) {
    if (int r = NodePod_Switch2Loader1(5500, recordMessage, id, inLoader, kNodePodType, address,
                                       resetMode))
        return r;
    if (int r = NodePod_DownLoader2(5500, recordMessage, recordProgress, loader2.c_str(), id,
                                    kNodePodType))
        return r;
    return NodePod_Switch2Loader2(5500, recordMessage, id, kNodePodType, address);
}

int updateHead(const fwgen::NodePodFiles& files, int id, bool inLoader, int hardwareCode) {
    constexpr int kApplicationAddress = 0xC0100;
    const bool isNew = hardwareCode >= 3;
    const std::string& loader2 = isNew ? files.loader2New : files.loader2Old;
    const int address = isNew ? 65536 : 1024;
    if (int r = intoLoader2(id, inLoader, 2, loader2, address)) return r;
    if (int r = NodePod_DownApplication(5500, recordMessage, recordProgress, 0,
                                        files.application.c_str(), id, kNodePodType, hardwareCode))
        return r;
    if (int r = NodePod_Switch(5500, recordMessage, id, kNodePodType, kApplicationAddress)) return r;
    if (int r = intoLoader2(id, true, 1, loader2, address)) return r;
    if (int r = NodePod_Estab(5500, recordMessage, recordProgress, id, kNodePodType, hardwareCode,
                              files.application.c_str()))
        return r;
    return NodePod_Switch(5500, recordMessage, id, kNodePodType, kApplicationAddress);
}

}  // namespace nodepod_tests
