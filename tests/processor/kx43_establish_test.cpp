// Starting the KX43's new firmware against a scripted processor: the start sequence, the
// settings written back (sets A and B) and the final activation.
#include <gtest/gtest.h>

#include "link/processor/kx43_settings.h"
#include "link/quorlink.h"
#include "link_fixture.h"

using namespace testing_support;
using quorlink::processor::Setting;

namespace {

class Kx43EstablishTest : public ScriptedLinkTest {
protected:
    Kx43EstablishTest() { quorlink::processor::settingsStore().fill("?"); }

    static void store(Setting s, std::string value) {
        quorlink::processor::settingsStore()[static_cast<size_t>(s)] = std::move(value);
    }
    // The TCP port is closed and re-opened, the interpreter woken and asked for "SRB1".
    void scriptReopen() { peer->expect("DCL\r\n").expectActivate().line("SRB1\r\n", "0"); }
    void scriptWakeAndBootLoaderCheck() {
        peer->expect("\x12\r\n");
        scriptReopen();
        peer->line("PRC?9\n", "1");
    }
    // The unpacking: the older generation restarts its system first and answers "PRC9,5".
    void scriptUnpacking(bool older) {
        scriptWakeAndBootLoaderCheck();
        if (older) {
            peer->expect("PRC9,6\n").expectActivate();
            scriptReopen();
            peer->line("PRC9,5\n", "0").expectActivate();
        } else {
            peer->expect("PRC9,5\n").expectActivate();
        }
        scriptReopen();
    }
    void scriptActivation() {
        peer->line("PRC?9\n", "?").line("PRC9,0\n", "0").expect("\x12\r\n");
        scriptReopen();
    }
    int establish(int restartWait, int variant) {
        return EstabKX43(6000, recordMessage, recordProgress, recordStatus, nullptr, restartWait, variant);
    }
    int count200MsSteps() const {
        const auto waits = clock.waits();
        return static_cast<int>(std::count(waits.begin(), waits.end(), 200));
    }
};

TEST_F(Kx43EstablishTest, OlderGenerationRestartsUnpacksAndRestoresSetA) {
    store(Setting::SerialNumber, "\"KX43-0815\"");
    store(Setting::PowerSaveMode, "1");
    store(Setting::PowerSaveTiming, "42");
    store(Setting::Rs232Port, "1301,19200,1,2");
    store(Setting::Rs485Port, "1302,38400,2,1");
    store(Setting::Rs485Address, "5");
    store(Setting::GpibAddress, "12");
    store(Setting::TcpIpAddress, "10.1.2.3");
    scriptUnpacking(true);
    peer->line("SNO\"KX43-0815\",-58246\n", "0")
        .line("PRC6,1\r\n", "0")
        .line("PRC7,4\r\n", "0")
        .line("SBR1301,19200,1,2\r\n", "0")
        .line("SBR1302,38400,2,1\r\n", "0")
        .line("ADS1302,5\r\n", "0")
        .line("ADS1303,12\r\n", "0");  // the TCP address came with the initialisation file
    scriptActivation();
    EXPECT_EQ(establish(2, 1), 0);
    EXPECT_EQ(count200MsSteps(), 3 * 10);
    EXPECT_EQ(reports.statuses.back(), std::make_pair(5, std::string("Establish KX Application...")));
}

// The serial number without quotes and variant 3's power saving; an RS485 line without an
// address the processor gave; the NTP address only after the server was switched on, and only
// when the processor had one.
TEST_F(Kx43EstablishTest, SerialWithoutQuotesPowerSavingAndTheNtpAddress) {
    store(Setting::SerialNumber, "?");
    store(Setting::PowerSaveMode, "0");
    store(Setting::Rs485Port, "1302,9600,2,1");
    scriptUnpacking(true);
    peer->line("SNO\"-\",-58246\n", "0")
        .line("PRC6,1\r\n", "0")
        .line("PRC7,0\r\n", "0")
        .line("SBR1302,9600,2,1\r\n", "0");  // no "ADS1302,?"
    scriptActivation();
    EXPECT_EQ(establish(0, 3), 0);

    store(Setting::NtpServerStart, "1");
    store(Setting::NtpServerAddress, "1,10.0.0.5");
    scriptUnpacking(false);
    peer->line("PRC22,1\r\n", "?");
    scriptActivation();
    EXPECT_EQ(establish(0, 5), 0);

    store(Setting::NtpServerAddress, "?");
    scriptUnpacking(false);
    peer->line("PRC22,1\r\n", "0");  // no "NTP ?"
    scriptActivation();
    EXPECT_EQ(establish(0, 5), 0);
}

TEST_F(Kx43EstablishTest, SetCommandWithoutAnswerEndsTheStartWithItsText) {
    store(Setting::GeneralPurposeRegister, "4711");
    scriptUnpacking(false);
    peer->expect("PRC30,4711\r\n");
    EXPECT_EQ(establish(0, 5), -5);
    EXPECT_EQ(lastMessage(), "Port Timeout Setting General Purpose Register!");
}

// A processor outside its boot loader is not started; an application still in the boot loader
// after the start is reported.
TEST_F(Kx43EstablishTest, BootLoaderBeforeAndAfterTheStart) {
    peer->expect("\x12\r\n");
    scriptReopen();
    peer->line("PRC?9\n", "?");
    EXPECT_EQ(establish(1, 1), -5);
    EXPECT_EQ(lastMessage(), "KX is not in BootLoader1 mode!");

    scriptUnpacking(false);
    peer->line("PRC?9\n", "1");
    EXPECT_EQ(establish(0, 5), -1);
    EXPECT_EQ(lastMessage(),
              "Error! New application is not running! KX is in bootloader mode now, try download "
              "again, maybe with default port settings!");
}

}  // namespace
