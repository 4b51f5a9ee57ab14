// The simulated processor boards refuse what a real board would refuse.
#include <gtest/gtest.h>

#include "hex_text.h"
#include "rack/processor/kx33_board.h"
#include "rack/processor/kx43_board.h"
#include "rack_fixture.h"

namespace {

class BoardTest : public rack_testing::RackTest {
protected:
    void boot(const nlohmann::json& processor) {
        build({{"processor", processor}});
        send("\x12", clockMs);
    }
};

// A block of 512 bytes 0xAA ('A') or 0x00 with its check value, low byte first.
std::string block512Command(int n, char fill, bool spoilChecksum = false) {
    const std::string bytes(512, fill == 'A' ? '\xAA' : '\0');
    unsigned check = ~((fill == 'A' ? 0xAAu : 0u) * 512) & 0xFFFF;
    if (spoilChecksum) check ^= 1;
    return "PRC310," + std::to_string(n) + "," + testing_support::upperHex(bytes) +
           testing_support::upperHexLowFirst(check);
}

TEST_F(BoardTest, Kx33LoaderCommandsNeedTheBootLoaderAndARange) {
    boot({{"kind", "KX33"}});
    EXPECT_EQ(answers("PRC301,0"), "?\r\n");
    EXPECT_EQ(answers("PRC300,1"), "0\r\n");
    EXPECT_EQ(answers("PRC302,4"), "?\r\n");  // no first block yet
    EXPECT_EQ(answers("PRC301,8190"), "0\r\n");
    EXPECT_EQ(answers("PRC302,3"), "?\r\n");  // beyond the flash
    EXPECT_EQ(answers("PRC302,2"), "0\r\n");
    EXPECT_EQ(answers(block512Command(8189, 'A')), "?\r\n");  // outside the range
    EXPECT_EQ(answers(block512Command(8190, 'A', true)), "?\r\n");
    EXPECT_EQ(answers(block512Command(8190, 'A')), std::to_string(~(0xAAu * 512) & 0xFFFF) + "\r\n");
    EXPECT_EQ(answers("PRC304"), "?\r\n");  // block 8191 is missing
    EXPECT_EQ(answers("PRC305"), "?\r\n");
}

TEST_F(BoardTest, Kx33ErasesTouchedSectorsAndReportsFromTheFirstBlock) {
    boot({{"kind", "KX33"}, {"sectorMs", 100}});
    auto& board = dynamic_cast<rack::Kx33Board&>(*rack().processor());
    board.loadFlash(0, std::string(300 * 512, '\x11'));
    answers("PRC300,1");
    answers("PRC301,255");
    answers("PRC302,2");
    answers("PRC303,0");
    answers(block512Command(255, 'A'));
    answers(block512Command(256, 'A'));
    EXPECT_EQ(answers("PRC304"), "0\r\n");
    EXPECT_EQ(answers("PRC305"), "255\r\n");  // one line per 256 blocks from the first
    EXPECT_EQ(board.flash().substr(255 * 512, 1024), std::string(1024, '\xAA'));
    // Both sectors the range touches were erased to the empty value, the rest is untouched.
    EXPECT_EQ(board.flash()[0], '\0');
    EXPECT_EQ(board.flash()[299 * 512], '\0');
    EXPECT_EQ(board.flash()[512 * 512], '\xFF');
}

TEST_F(BoardTest, Kx43WritesOnlyIntoAnOpenFileOfAPreparedFileSystem) {
    boot({{"kind", "KX43"}, {"bootLoader", true}});
    const auto loader = [&](const std::string& line) { return answers(line, "\n"); };  // LF alone
    EXPECT_EQ(loader("PRC?9"), "1\r\n");
    EXPECT_EQ(loader("PRC9,2,kx43.exe"), "?\r\n");  // not prepared
    EXPECT_EQ(loader("PRC9,7"), "0\r\n");
    EXPECT_EQ(loader("PRC9,3,,\"00\""), "?\r\n");   // no open file
    EXPECT_EQ(loader("PRC9,2,kx43.exe"), "0\r\n");
    EXPECT_EQ(loader("PRC9,2,other"), "?\r\n");     // one file at a time
    EXPECT_EQ(loader("PRC9,3,,\"0G\""), "?\r\n");
    EXPECT_EQ(loader("PRC9,3,,\"" + std::string(258, '0') + "\""), "?\r\n");  // 129 bytes
    EXPECT_EQ(loader("PRC9,3,,\"414243\""), "0\r\n");
    auto& board = dynamic_cast<rack::Kx43Board&>(*rack().processor());
    EXPECT_EQ(board.flashFiles().find("kx43.exe"), nullptr);  // visible once closed
    EXPECT_EQ(loader("PRC9,4"), "0\r\n");
    EXPECT_EQ(*board.flashFiles().find("kx43.exe"), "ABC");
    EXPECT_EQ(answers("SNO?"), "?\r\n");  // settings wait for the application
}

TEST_F(BoardTest, Kx43OlderGenerationStartsOnlyAfterItsSystemRestart) {
    boot({{"kind", "KX43"}, {"bootLoader", true}, {"restartMs", 1000}});
    auto& board = dynamic_cast<rack::Kx43Board&>(*rack().processor());
    board.flashFiles().put("kx43.exe", "....VERSION=P4.50....");
    EXPECT_EQ(answers("PRC9,5", "\n"), "?\r\n");
    EXPECT_EQ(answers("PRC9,6", "\n"), "");
    EXPECT_EQ(answers("IDN?"), "");  // restarting, and asleep until DC2
    clockMs += 1000;
    send("\x12", clockMs);
    EXPECT_EQ(answers("PRC9,5", "\n"), "0\r\n");
    clockMs += 1000;
    send("\x12", clockMs);
    EXPECT_EQ(answers("PRC?9", "\n"), "?\r\n");
    EXPECT_EQ(answers("PRC?11"), "P4.50\r\n");
    EXPECT_FALSE(board.activated());
    rack().reset();  // power cycle before activation: back to the boot loader
    EXPECT_TRUE(board.inBootLoader());
}

TEST_F(BoardTest, Kx43SerialNumberNeedsTheAccessCode) {
    boot({{"kind", "KX43"}});
    EXPECT_EQ(answers("SNO\"X-1\",-1"), "?\r\n");
    EXPECT_EQ(answers("SNO\"X-1\",-58246"), "0\r\n");
    EXPECT_EQ(answers("SNO?"), "\"X-1\"\r\n");
    EXPECT_EQ(answers("SBR1301,14400,2,1"), "?\r\n");
    EXPECT_EQ(answers("SBR1301,57600,1,2"), "0\r\n");
    EXPECT_EQ(answers("SBR?1301"), "1301,57600,1,2\r\n");
}

}  // namespace
