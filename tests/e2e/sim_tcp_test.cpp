// The library against ventrix-sim over real loopback TCP.
#include "e2e_fixture.h"

using namespace e2e;
using testing_support::recordMessage;
using testing_support::recordProgress;

namespace {

using SimOverTcp = SimProcessTest;

TEST_F(SimOverTcp, SystemCommandsChangeTheRackAndTheSettingOutlivesTheConnection) {
    auto sim = start(rackWithShortReset(), {"--tcp", "127.0.0.1:0"});
    ASSERT_EQ(OpenConnection(100, 0, sim->where().c_str(), 0, 0, 3000, recordMessage, -1, 1), 0);
    char version[40] = {};
    int32_t length = 0;
    EXPECT_EQ(CheckVersion(version, &length), 0);
    EXPECT_STREQ(version, "P1.41");
    EXPECT_EQ(length, 5);
    EXPECT_EQ(SetBdrVTX(38400, 3000, recordMessage, 2, "odd", 1), 0);
    EXPECT_EQ(MultiMasterMode(recordMessage, recordProgress, 0), 0);
    EXPECT_EQ(ResetVTX(recordMessage, recordProgress, 1), 0);
    EXPECT_EQ(CloseConnection(), 0);
    EXPECT_TRUE(reports.messages.empty());
    EXPECT_EQ(reports.progress, (std::vector<int>{33, 66, 100, 20, 40, 60, 80, 100}));

    EXPECT_EQ(askRack(QTX_PORT_TCP, 0, sim->where(), "BDR?\r\n"), "38400,1,1,0");
    const std::string log = trafficLog();
    EXPECT_NE(log.find("> PRC10\\r\\n"), std::string::npos) << log;
    EXPECT_NE(log.find("> RST\\r\\n"), std::string::npos) << log;
    EXPECT_EQ(sim->stop(), 0);  // SIGTERM ends it cleanly
}

TEST_F(SimOverTcp, RackThatCutsTheConnectionMidSessionFailsTheCommandAtOnce) {
    auto rack = rackWithShortReset();
    rack["faults"] = {{{"pattern", "^PRC\\?11$"}, {"action", "close"}}};
    auto sim = start(rack, {"--tcp", "127.0.0.1:0"});
    ASSERT_EQ(OpenConnection(100, 0, sim->where().c_str(), 0, 0, 60000, recordMessage, -1, 0), 0);
    char version[40] = {};
    int32_t length = 0;
    EXPECT_EQ(CheckVersion(version, &length), -1);  // a hang would run into the test time-out
    EXPECT_EQ(length, 0);
    CloseConnection();
    // The rack serves the next host with its state.
    EXPECT_EQ(askRack(QTX_PORT_TCP, 0, sim->where(), "PRC?11\r\n"), "P1.41");
}

}  // namespace
