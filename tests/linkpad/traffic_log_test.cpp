// The traffic log comlog.log: what is written, what pausing hides, why an open failed.
#include <regex>

#include "port_fixture.h"

using namespace port_testing;

namespace {

using TrafficLogTest = PortTest;

// Writes and answers with time stamps, control bytes and time-outs, explicit lines; pausing hides
// data but not explicit lines.
TEST_F(TrafficLogTest, WritesAnswersAndTimeOutsAreLoggedUnlessPaused) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(1, "P1.41\r\n");
    ASSERT_EQ(QTX_EnableComLog(), 0);
    openTo(peer);
    QTX_WritePort("PRC?11\r\n");
    read(30);
    QTX_SetTimeout(100);
    QTX_WritePort("\x12IDN?\r\n");
    read(30);
    QTX_WriteLog("Sent 1200 bytes: S1130000AAAAAAAAAAAA ...\r\n\n", 0);
    QTX_PauseComLog(0);
    QTX_WritePort("S1130000AAAAAAAAAAAAHIDDEN\r\n");
    QTX_PauseComLog(1);
    QTX_WritePort("SHOWN\r\n");
    EXPECT_EQ(QTX_DisableComLog(), 0);
    const std::string log = trafficLog();
    EXPECT_TRUE(std::regex_search(log, std::regex(R"(\d\d:\d\d:\d\d\.\d{3} > PRC\?11\\r\\n\n)"))) << log;
    EXPECT_TRUE(std::regex_search(log, std::regex(R"(\d\d:\d\d:\d\d\.\d{3} < P1\.41\\r\\n\n)"))) << log;
    EXPECT_NE(log.find("> <12>IDN?\\r\\n"), std::string::npos) << log;
    EXPECT_NE(log.find("[time-out]"), std::string::npos) << log;
    EXPECT_NE(log.find("# Sent 1200 bytes: S1130000AAAAAAAAAAAA ...\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("HIDDEN"), std::string::npos) << log;
    EXPECT_NE(log.find("> SHOWN"), std::string::npos) << log;
}

// Nothing is written while the log is off; the log is appended across sessions.
TEST_F(TrafficLogTest, NothingIsWrittenWhileOffAndTheLogIsAppended) {
    openTo(std::make_shared<ChunkPeer>());
    QTX_WritePort("IDN?\r\n");
    QTX_WriteLog("note", 0);
    EXPECT_FALSE(std::filesystem::exists("comlog.log"));
    QTX_EnableComLog();
    QTX_WriteLog("first", 0);
    QTX_DisableComLog();
    QTX_EnableComLog();
    QTX_WriteLog("second", 0);
    const std::string log = trafficLog();
    EXPECT_LT(log.find("first"), log.find("second"));
    EXPECT_EQ(log.find("note"), std::string::npos);
}

TEST_F(TrafficLogTest, PortKindsWithoutTransportSayWhyInTheLog) {
    QTX_EnableComLog();
    EXPECT_EQ(QTX_OpenPort(QTX_PORT_LPT1, 0, nullptr, 0, 0, 4096), QTX_ERR_UNSUPPORTED);
    EXPECT_EQ(QTX_OpenPort(QTX_PORT_GPIB, 0, nullptr, 0, 0, 4096), QTX_ERR_UNSUPPORTED);
    EXPECT_EQ(QTX_OpenPort(77, 0, nullptr, 0, 0, 4096), QTX_ERR_ARGUMENT);
    const std::string log = trafficLog();
    EXPECT_NE(log.find("open failed: parallel ports (LPT) have no transport"), std::string::npos) << log;
    EXPECT_NE(log.find("open failed: GPIB (IEEE488) has no transport"), std::string::npos) << log;
    EXPECT_NE(log.find("unknown port kind 77"), std::string::npos) << log;
    // Direct port I/O is only for the parallel ports.
    EXPECT_EQ(QTX_EnableNTPortIO(QTX_PORT_LPT1), 0);
    EXPECT_EQ(QTX_EnableNTPortIO(QTX_PORT_LPT2), 0);
    EXPECT_EQ(QTX_DisableNTPortIO(QTX_PORT_LPT2), 0);
    EXPECT_LT(QTX_EnableNTPortIO(QTX_PORT_COM1), 0);
}

}  // namespace
