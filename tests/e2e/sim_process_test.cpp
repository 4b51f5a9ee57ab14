// The library against ventrix-sim running as a process of its own, over real loopback TCP and
// over a pseudo-terminal mapped to COM1, on the real clock with a rack whose reset is short.
#include "rack/sim/sim_process.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "link/quorlink.h"
#include "link_fixture.h"
#include "linkpad/linkpad.h"
#include "scoped_env.h"
#include "temp_dir.h"

using testing_support::recordMessage;
using testing_support::recordProgress;

namespace {

class SimProcessTest : public ::testing::Test {
  protected:
    SimProcessTest() {
        std::filesystem::current_path(dir.path());  // the traffic log goes here
        reports.clear();
    }
    ~SimProcessTest() override { std::filesystem::current_path(previous); }

    // Starts the simulator with the rack (reset 300 ms, `faults`) and the serving arguments.
    std::unique_ptr<rack::sim::SimProcess> start(std::vector<std::string> serving,
                                                 const nlohmann::json& faults = nullptr) {
        nlohmann::json rack = {{"timing", {{"resetMs", 300}}},
                               {"processor",
                                {{"kind", "KX43"},
                                 {"identity", "QTX,KX43,0,P1.41"},
                                 {"version", "P1.41"},
                                 {"baudSetting", "9600,2,1,0"}}}};
        if (!faults.is_null()) rack["faults"] = faults;
        testing_support::writeFile(dir.file("rack.json"), rack.dump(2));
        serving.insert(serving.begin(), {"--rack", dir.file("rack.json")});
        return std::make_unique<rack::sim::SimProcess>(VENTRIX_SIM_PROGRAM, serving);
    }

    // Asks the rack one question over a fresh port, through the port library alone.
    static std::string askRack(int portKind, int parameter, const std::string& address,
                               const char* command) {
        if (QTX_OpenPort(portKind, parameter, address.c_str(), 8, 1, 4096) != 0) return "<no port>";
        std::string answer = "<no answer>";
        if (QTX_ActivateInterpreter(1500) == 0 && QTX_WritePort(command) == 0) {
            char buffer[100] = {};
            int32_t count = 0;
            int32_t status = 0;
            if (QTX_ReadPort(buffer, 100, &count, &status, 10) == 0) answer = buffer;
        }
        QTX_ClosePort();
        return answer;
    }

    testing_support::TempDir dir;
    std::filesystem::path previous = std::filesystem::current_path();
    testing_support::Reports& reports = testing_support::Reports::current();
};

TEST_F(SimProcessTest, SystemCommandsOverTcpChangeTheRackAndTheSettingOutlivesTheConnection) {
    auto sim = start({"--tcp", "127.0.0.1:0"});
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
    const std::string log = testing_support::readFile(dir.path() / "comlog.log");
    EXPECT_NE(log.find("> PRC10\\r\\n"), std::string::npos) << log;
    EXPECT_NE(log.find("> RST\\r\\n"), std::string::npos) << log;
    EXPECT_EQ(sim->stop(), 0);  // SIGTERM ends it cleanly
}

TEST_F(SimProcessTest, RackThatCutsTheTcpConnectionMidSessionFailsTheCommandAtOnce) {
    auto sim = start({"--tcp", "127.0.0.1:0"}, {{{"pattern", "^PRC\\?11$"}, {"action", "close"}}});
    ASSERT_EQ(OpenConnection(100, 0, sim->where().c_str(), 0, 0, 60000, recordMessage, -1, 0), 0);
    char version[40] = {};
    int32_t length = 0;
    EXPECT_EQ(CheckVersion(version, &length), -1);  // a hang would run into the test time-out
    EXPECT_EQ(length, 0);
    CloseConnection();
    // The rack serves the next host with its state.
    EXPECT_EQ(askRack(QTX_PORT_TCP, 0, sim->where(), "PRC?11\r\n"), "P1.41");
}

// The RS485 kind of COM1 uses the same mapping.
TEST_F(SimProcessTest, OpenQueryBaudAndCloseOverCom1AtTheLineRate) {
    auto sim = start({"--pty", "--baud", "9600"});
    testing_support::ScopedEnv com1("QUORVEL_COM1", sim->where());
    ASSERT_EQ(OpenConnection(1, 9600, "e", 8, 1, 3000, recordMessage, -1, 0), 0);
    char version[40] = {};
    int32_t length = 0;
    EXPECT_EQ(CheckVersion(version, &length), 0);
    EXPECT_STREQ(version, "P1.41");
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 1, "e", 1), 0);
    EXPECT_EQ(CloseConnection(), 0);
    ASSERT_EQ(reports.messages.size(), 1u);
    EXPECT_EQ(reports.messages[0].second,
              "Internal Baudrate have been succesfully reset to be compatible!");
    EXPECT_EQ(askRack(QTX_PORT_COM1, 9600, "e", "BDR?\r\n"), "19200,2,1,0");
    EXPECT_EQ(askRack(QTX_PORT_COM1_RS485, 9600, "e", "HWR?\r\n"), "\"A01\"");
}

}  // namespace
