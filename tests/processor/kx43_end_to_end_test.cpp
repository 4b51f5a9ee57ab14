// The KX43 update and start over a real pseudo-terminal, on the real clock, against the
// simulator's own server: the serial line's settings go into the initialisation file. (Over TCP
// the same update runs in-process; the TCP transport has its own end-to-end test.)
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>

#include "link/quorlink.h"
#include "link_fixture.h"
#include "rack/processor/kx43_board.h"
#include "served_rack.h"
#include "temp_dir.h"
#include "tools/fwgen/processor_firmware.h"

using namespace testing_support;

namespace {

constexpr int kTimeout = 3000;
constexpr int kRestartWait = 1;  // second; the boards restart in 600 ms

const nlohmann::json kRack = {
    {"processor",
     {{"kind", "KX43"},
      {"version", "P1.41"},
      {"restartMs", 600},
      {"prepareMs", 100},
      {"settings",
       {{"serialNumber", "\"KX43-4711\""}, {"tcpIpAddress", "10.1.2.3"}, {"gpibAddress", 9},
        {"rs485Address", 4}, {"rs232", "19200,1,2"}, {"rs485", "57600,0,1"},
        {"powerSaveMode", "1"}, {"powerSaveTiming", "3"}}}}}};

class Kx43EndToEndTest : public ::testing::Test {
protected:
    Kx43EndToEndTest() {
        Reports::current().clear();
        fwgen::writeKx43Firmware(directory.path(), "P3.10", 11);
    }

    // Update, start, close; 0 when every step succeeded.
    int updateAndStart() {
        const std::string list = fwgen::kx43FileList(fwgen::kx43FirmwareFiles());
        if (int r = UpdateKX43(kTimeout, recordMessage, recordProgress, recordStatus, nullptr,
                               directory.path().c_str(), "P3.10", 1, 10, list.c_str(), kRestartWait);
            r != 0)
            return r;
        if (int r = EstabKX43(kTimeout, recordMessage, recordProgress, recordStatus, nullptr,
                              kRestartWait, 1);
            r != 0)
            return r;
        char version[32] = {};
        int32_t length = 0;
        if (CheckVersion(version, &length) != 0 || std::string(version) != "P3.10") return 1;
        return CloseConnection();
    }

    void expectFilesArrived(rack::Kx43Board& board) {
        for (const auto& name : fwgen::kx43FirmwareFiles()) {
            const std::string* flash = board.flashFiles().find(name);
            ASSERT_NE(flash, nullptr) << name;
            const std::string pc = readFile(directory.path() / name);
            if (name == "kx43ini.cnf") {
                EXPECT_EQ(flash->substr(14), pc.substr(14));
            } else {
                EXPECT_EQ(*flash, pc) << name;
            }
        }
    }

    std::string lastMessage() const {
        const auto& messages = Reports::current().messages;
        return messages.empty() ? "" : messages.back().second;
    }

    TempDir directory;
};

TEST_F(Kx43EndToEndTest, UpdateOverASerialPseudoTerminal) {
    ServedRack served(kRack, ServedRack::Over::PseudoTerminal);
    ::setenv("QUORVEL_COM1", served.where().c_str(), 1);
    ASSERT_EQ(OpenConnection(1, 38400, "e", 8, 1, 6000, recordMessage, -1, 0), 0) << lastMessage();
    EXPECT_EQ(updateAndStart(), 0) << lastMessage();
    ::unsetenv("QUORVEL_COM1");
    auto& board = dynamic_cast<rack::Kx43Board&>(*served.finish().processor());
    expectFilesArrived(board);
    // The line in use came with the initialisation file; the others were written back.
    EXPECT_EQ(board.settings().rs232, (rack::SerialLine{38400, 2, 1}));
    EXPECT_EQ(board.settings().rs485, (rack::SerialLine{57600, 0, 1}));
    EXPECT_EQ(board.settings().tcpIpAddress, "10.1.2.3");
    EXPECT_EQ(board.settings().gpibAddress, 9);
}

}  // namespace
