// The KX33 update against a scripted processor: exact commands, checks, waits and results.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "link/quorlink.h"
#include "link_fixture.h"
#include "temp_dir.h"
#include "linkpad/linkpad.h"

using namespace testing_support;

namespace {

constexpr int kTimeout = 1000;
constexpr int kBlockSize = 4;

std::string hexByte(unsigned byte) {
    constexpr const char* kDigits = "0123456789ABCDEF";
    return {kDigits[(byte >> 4) & 0xF], kDigits[byte & 0xF]};
}

// "PRC310,<n>," + the block's hex text + its checksum (one's complement of the byte sum, low byte
// first) + CR LF.
std::string blockCommand(int n, const std::vector<uint8_t>& image) {
    std::string command = "PRC310," + std::to_string(n) + ",";
    unsigned sum = 0;
    for (int i = 0; i < kBlockSize; ++i) {
        const uint8_t byte = image[static_cast<size_t>(n * kBlockSize + i)];
        sum += byte;
        command += hexByte(byte);
    }
    const unsigned check = ~sum & 0xFFFF;
    return command + hexByte(check & 0xFF) + hexByte(check >> 8) + "\r\n";
}

std::string blockAnswer(int n, const std::vector<uint8_t>& image) {
    unsigned sum = 0;
    for (int i = 0; i < kBlockSize; ++i) sum += image[static_cast<size_t>(n * kBlockSize + i)];
    return std::to_string(~sum & 0xFFFF);
}

class Kx33UpdateTest : public ScriptedLinkTest {
protected:
    Kx33UpdateTest() {
        for (uint8_t i = 0; i < 16; ++i) image.push_back(static_cast<uint8_t>(0xF0 + i));
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }

    // Boot loader on and the block parameters accepted.
    void scriptParameters(int first, int count) {
        peer->line("PRC300,1\r\n", "0")
            .line("PRC301," + std::to_string(first) + "\r\n", "0")
            .line("PRC302," + std::to_string(count) + "\r\n", "0")
            .line("PRC303,0\r\n", "0");
    }

    int update(int first, int count, int blockSize = kBlockSize, int version = 0,
               const std::string& file = {}) {
        return UpdateKX33(kTimeout, recordMessage, recordProgress, recordStatus, nullptr,
                          (file.empty() ? path : file).c_str(), "000", first, count, blockSize, version, 0, 0);
    }

    std::vector<uint8_t> image;
    TempDir directory;
    std::string path = directory.file("kx33.bin");
};

TEST_F(Kx33UpdateTest, BlocksGoToRamFlashIsFollowedPerSectorAndChecked) {
    scriptParameters(1, 2);
    // Block sums: F4+F5+F6+F7 = 0x3D6, F8+F9+FA+FB = 0x3E6; image checksum ~0x7BC = 0xF843.
    peer->line(blockCommand(1, image), blockAnswer(1, image))
        .line(blockCommand(2, image), blockAnswer(2, image))
        .line("PRC304\r\n", "0")
        .line("PRC?304\r\n", "0xF843")            // hexadecimal is read as such
        .line("PRC305\r\n", "1", 2 * kTimeout - 100)  // later than the time-out: it is doubled
        .line("PRC?308\r\n", "63555")
        .line("PRC300,0\r\n", "0");
    EXPECT_EQ(update(1, 2), 0);
    EXPECT_EQ(reports.progress, (std::vector<int>{0, 0, 50, 0, 100}));
    EXPECT_EQ(reports.statuses, (std::vector<std::pair<int, std::string>>{
                                    {5, "Transfer KX33 firmware..."}, {5, "Flashing KX33 firmware..."}}));
    const auto waits = clock.waits();
    const std::vector<int> settleThenCommand = {4800, 500, 5};
    EXPECT_NE(std::search(waits.begin(), waits.end(), settleThenCommand.begin(), settleThenCommand.end()),
              waits.end());
    EXPECT_EQ(QTX_GetCurrTimeout(), kTimeout);
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(Kx33UpdateTest, ABlockRefusedOnceIsSentAgain) {
    scriptParameters(0, 1);
    peer->line(blockCommand(0, image), "?")
        .line(blockCommand(0, image), blockAnswer(0, image))
        .line("PRC304\r\n", "0")
        .line("PRC?304\r\n", blockAnswer(0, image))
        .line("PRC305\r\n", "0")
        .line("PRC?308\r\n", blockAnswer(0, image))
        .line("PRC300,0\r\n", "0");
    EXPECT_EQ(update(0, 1), 0);
}

TEST_F(Kx33UpdateTest, ABlockFailingTwiceEndsInMeasurementMode) {
    scriptParameters(0, 2);
    peer->line(blockCommand(0, image), "?")
        .line(blockCommand(0, image), "12345")  // a checksum that differs
        .line("PRC300,0\r\n", "0");
    EXPECT_EQ(update(0, 2), -22);
    EXPECT_EQ(lastMessage(),
              "Checksum Error Transfer Block 0 to RAM memory! \nRestart Ventrix and try again!");
}

TEST_F(Kx33UpdateTest, NoAnswerToABlockEndsAtOnce) {
    scriptParameters(0, 2);
    peer->expect(blockCommand(0, image));
    EXPECT_EQ(update(0, 2), -21);
    EXPECT_EQ(lastMessage(), "Port Timeout!");
}

TEST_F(Kx33UpdateTest, WrongSectorLineWaitsFlushesAndRestoresMeasurementMode) {
    scriptParameters(2, 1);
    peer->line(blockCommand(2, image), blockAnswer(2, image))
        .line("PRC304\r\n", "0")
        .line("PRC?304\r\n", blockAnswer(2, image))
        .line("PRC305\r\n", "3")
        .line("PRC300,0\r\n", "0");
    EXPECT_EQ(update(2, 1), -41);
    EXPECT_EQ(lastMessage(), "Error flashing! Didn't get block number information!");
    EXPECT_EQ(clock.waits().back(), 5);
    EXPECT_EQ(clock.waits()[clock.waits().size() - 2], 500);
    EXPECT_EQ(QTX_GetCurrTimeout(), kTimeout);
}

TEST_F(Kx33UpdateTest, MissingSectorLineLeavesTheTimeoutDoubled) {
    scriptParameters(0, 1);
    peer->line(blockCommand(0, image), blockAnswer(0, image))
        .line("PRC304\r\n", "0")
        .line("PRC?304\r\n", blockAnswer(0, image))
        .expect("PRC305\r\n");
    EXPECT_EQ(update(0, 1), -40);
    EXPECT_EQ(lastMessage(), "Port timeout flashing!");
    EXPECT_EQ(QTX_GetCurrTimeout(), 2 * kTimeout);
}

TEST_F(Kx33UpdateTest, RamAndFlashChecksumsMustMatchTheImage) {
    scriptParameters(0, 1);
    peer->line(blockCommand(0, image), blockAnswer(0, image))
        .line("PRC304\r\n", "0")
        .line("PRC?304\r\n", "1")
        .line("PRC300,0\r\n", "0");
    EXPECT_EQ(update(0, 1), -33);
    EXPECT_EQ(lastMessage(), "Checksum error in RAM memory!");
}

TEST_F(Kx33UpdateTest, ZeroBlocksGoStraightToTheTransferEnd) {
    scriptParameters(3, 0);
    peer->line("PRC304\r\n", "0")
        .line("PRC?304\r\n", "65535")  // the complement of an empty sum
        .expect("PRC305\r\n")
        .line("PRC?308\r\n", "65535")
        .line("PRC300,0\r\n", "0");
    EXPECT_EQ(update(3, 0), 0);
}

TEST_F(Kx33UpdateTest, ArgumentsThatCannotWorkAreRefusedBeforeAnyTraffic) {
    EXPECT_EQ(update(0, 1, kBlockSize, 2), -2);
    EXPECT_EQ(lastMessage(), "Download not supported by this version of Quorlink!");
    EXPECT_EQ(update(0, 1, 591), -2);
    EXPECT_EQ(lastMessage(), "KX33 block size 591 is not supported! Use 1 to 590 bytes per block.");
    EXPECT_EQ(update(0, 1, 0), -2);
    EXPECT_EQ(update(0, 1, 512, 0, "/nonexistent/kx33.bin"), -3);
    EXPECT_EQ(lastMessage(), "KX33 Firmware file not found!");
}

TEST_F(Kx33UpdateTest, ImageShorterThanTheRangeEndsInMeasurementMode) {
    scriptParameters(3, 2);
    peer->line(blockCommand(3, image), blockAnswer(3, image)).line("PRC300,0\r\n", "0");
    EXPECT_EQ(update(3, 2), -20);
    EXPECT_EQ(lastMessage(), "Can't read data out of firmware file!");
}

TEST_F(Kx33UpdateTest, RefusedParametersRestartMeasurementMode) {
    peer->line("PRC300,1\r\n", "0").line("PRC301,0\r\n", "?").line("PRC300,0\r\n", "?");
    EXPECT_EQ(update(0, 1), -7);
    EXPECT_EQ(messageTexts(), (Texts{"Can't set first block information!", "Can't start measurement mode!"}));
}

}  // namespace
