// The node-ID scan against scripted answers: each program state, the way back from loader 2,
// warnings that do not end the scan, and the failures that do.
#include <string>

#include "link/quorlink.h"
#include "linkpad/linkpad.h"
#include "scripted_nodepod.h"

using namespace nodepod_tests;
using testing_support::recordMessage;

namespace {

struct ScanResult {
    int result = 0;
    int32_t state = -1, type = -1, serial = -1;
    std::string name, firmware, loader1, hardware;
    int32_t nameLength = -1;
};

class ScanTest : public ScriptedNodePodTest {
  protected:
    ScanResult scan(int nodeId) {
        ScanResult r;
        char name[100], firmware[100], loader1[100], hardware[100];
        int32_t firmwareLength = 0, loader1Length = 0, hardwareLength = 0;
        r.result = NodePod_NodeIDScan(5500, recordMessage, nodeId, &r.state, &r.type, &r.serial,
                                      name, &r.nameLength, firmware, &firmwareLength, loader1,
                                      &loader1Length, hardware, &hardwareLength);
        r.name = name;
        r.firmware = firmware;
        r.loader1 = loader1;
        r.hardware = hardware;
        EXPECT_EQ(static_cast<size_t>(firmwareLength), r.firmware.size());
        EXPECT_EQ(static_cast<size_t>(hardwareLength), r.hardware.size());
        return r;
    }
};

TEST_F(ScanTest, NothingAtTheIdGivesStateZeroAndBlankTexts) {
    peer->line(cmd("PCH?1,7"), "?").line(cmd("PCH?21,7"), "?").line(cmd("PCH?11,7"), "?");
    const auto r = scan(7);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.state, 0);
    EXPECT_EQ(r.type, 0);
    EXPECT_EQ(r.name, " ");
    EXPECT_EQ(r.nameLength, 1);
    EXPECT_EQ(r.loader1, " ");
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(ScanTest, ApplicationReportsItsIdentity) {
    peer->line(cmd("PCH?1,2"), "21")
        .line(cmd("PCH?2,2"), "NodePod-S")
        .line(cmd("PCH?3,2"), "2.05")
        .line(cmd("PCH?4,2"), "4")
        .line(cmd("PCH?5,2"), "4711");
    const auto r = scan(2);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.state, 1);
    EXPECT_EQ(r.type, 21);
    EXPECT_EQ(r.serial, 4711);
    EXPECT_EQ(r.name, "NodePod-S");
    EXPECT_EQ(r.nameLength, 9);
    EXPECT_EQ(r.firmware, "2.05");
    EXPECT_EQ(r.hardware, "4");
    EXPECT_EQ(r.loader1, " ");
    EXPECT_EQ(QTX_GetCurrTimeout(), 5500);
}

TEST_F(ScanTest, LoaderTwoIsSentToLoaderOneAndReportedAsLoaderOne) {
    peer->line(cmd("PCH?1,100"), "?")
        .line(cmd("PCH?21,100"), "2.01")
        .line(cmd("PCH24,100,1024004"), "0")
        .line(cmd("PCH?11,100"), "22")
        .line(cmd("PCH?6,100"), "1.10")
        .line(cmd("PCH?4,100"), "?")
        .line(cmd("PCH?5,100"), "?");
    const auto r = scan(100);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.state, 2);
    EXPECT_EQ(r.type, 22);
    EXPECT_EQ(r.loader1, "1.10");
    EXPECT_EQ(r.hardware, " ");
    EXPECT_EQ(r.serial, 0);
    EXPECT_EQ(protocolWaits(), std::vector<int>{1000});
    ASSERT_EQ(reports.messages.size(), 2u);
    EXPECT_EQ(reports.messages[0].second, "Warning: Can't read hardware revision!");
    EXPECT_EQ(reports.messages[1].second, "Warning: Can't read serial number!");
}

TEST_F(ScanTest, LoaderOneWithoutVersionOnlyWarns) {
    peer->line(cmd("PCH?1,4"), "?")
        .line(cmd("PCH?21,4"), "?")
        .line(cmd("PCH?11,4"), "21")
        .line(cmd("PCH?6,4"), "?")
        .line(cmd("PCH?4,4"), "2")
        .line(cmd("PCH?5,4"), "815");
    const auto r = scan(4);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.state, 2);
    EXPECT_EQ(r.serial, 815);
    EXPECT_TRUE(protocolWaits().empty());
    ASSERT_EQ(reports.messages.size(), 1u);
    EXPECT_EQ(reports.messages[0].second, "Warning: Can't read loader1 version!");
}

TEST_F(ScanTest, LoaderTwoThatDoesNotReachLoaderOne) {
    peer->line(cmd("PCH?1,6"), "?")
        .line(cmd("PCH?21,6"), "2.01")
        .line(cmd("PCH24,6,1024004"), "0")
        .line(cmd("PCH?11,6"), "?");
    const auto r = scan(6);
    EXPECT_EQ(r.result, -6);
    EXPECT_EQ(r.state, 3);
    EXPECT_EQ(reports.messages.back().second, "Error2 switching NODEPOD from Loader2 to Loader1!");
}

TEST_F(ScanTest, LoaderTwoRefusingTheJump) {
    peer->line(cmd("PCH?1,6"), "?").line(cmd("PCH?21,6"), "2.01").line(cmd("PCH24,6,1024004"), "?");
    const auto r = scan(6);
    EXPECT_EQ(r.result, -5);
    EXPECT_EQ(r.state, 3);
    EXPECT_EQ(reports.messages.back().second, "Error switching NODEPOD from Loader2 to Loader1!");
}

TEST_F(ScanTest, UnreadableNameOrVersionEndTheScan) {
    peer->line(cmd("PCH?1,2"), "21").line(cmd("PCH?2,2"), "?");
    EXPECT_EQ(scan(2).result, -3);
    EXPECT_EQ(reports.messages.back().second, "Error reading NODEPOD name!");
    peer->line(cmd("PCH?1,2"), "21").line(cmd("PCH?2,2"), "N").line(cmd("PCH?3,2"), "?");
    const auto r = scan(2);
    EXPECT_EQ(r.result, -4);
    EXPECT_EQ(r.name, "N");
    EXPECT_EQ(reports.messages.back().second, "Error reading NODEPOD firmware version!");
}

TEST_F(ScanTest, SilenceIsAPortTimeout) {
    peer->expect(cmd("PCH?1,9"));
    const auto r = scan(9);
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.state, 0);
    EXPECT_EQ(reports.messages.back().second, "Port Timeout!");
}

}  // namespace
