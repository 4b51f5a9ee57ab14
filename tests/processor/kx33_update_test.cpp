// The KX33 update against a scripted processor: exact commands, checks, waits and results.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "hex_text.h"
#include "link/quorlink.h"
#include "link_fixture.h"
#include "linkpad/linkpad.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

constexpr int kUpdateTimeout = 1000;
constexpr int kUpdateBlockSize = 4;

// The one's complement of the block's byte sum.
unsigned blockCheck(int n, const std::vector<uint8_t>& image) {
    unsigned sum = 0;
    for (int i = 0; i < kUpdateBlockSize; ++i) sum += image[static_cast<size_t>(n * kUpdateBlockSize + i)];
    return ~sum & 0xFFFF;
}

// "PRC310,<n>," + the block's hex text + its check value (low byte first) + CR LF.
std::string blockCommand(int n, const std::vector<uint8_t>& image) {
    const auto from = image.begin() + n * kUpdateBlockSize;
    const unsigned check = blockCheck(n, image);
    return "PRC310," + std::to_string(n) + "," + upperHex(std::string(from, from + kUpdateBlockSize)) +
           upperHexLowFirst(check) + "\r\n";
}

std::string blockAnswer(int n, const std::vector<uint8_t>& image) {
    return std::to_string(blockCheck(n, image));
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

    int update(int first, int count, int blockSize = kUpdateBlockSize, int version = 0,
               const std::string& file = {}) {
        return UpdateKX33(kUpdateTimeout, recordMessage, recordProgress, recordStatus, nullptr,
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
        .line("PRC305\r\n", "1", 2 * kUpdateTimeout - 100)  // later than the time-out: it is doubled
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
    EXPECT_EQ(QTX_GetCurrTimeout(), kUpdateTimeout);
    EXPECT_TRUE(reports.messages.empty());
}

// Each case: block range, the processor's answers after the parameters (an empty answer is
// silence), the result, the last message ("" for none) and the time-out left behind.
TEST_F(Kx33UpdateTest, BlockTransferFlashingAndChecksumCases) {
    const auto block = [&](int n) { return blockCommand(n, image); };
    const auto sum = [&](int n) { return blockAnswer(n, image); };
    const struct {
        const char* name;
        int first, count;
        std::vector<std::pair<std::string, std::string>> answers;
        int result;
        std::string message;
        int timeoutAfter = kUpdateTimeout;
        std::vector<int> lastWaits = {};  // the flush: the settling pause, then the command pause
    } cases[] = {
        {"a block refused once is sent again", 0, 1,
         {{block(0), "?"}, {block(0), sum(0)}, {"PRC304", "0"}, {"PRC?304", sum(0)},
          {"PRC305", "0"}, {"PRC?308", sum(0)}, {"PRC300,0", "0"}},
         0, ""},
        {"zero blocks go straight to the transfer end", 3, 0,
         {{"PRC304", "0"}, {"PRC?304", "65535"}, {"PRC305", ""}, {"PRC?308", "65535"},
          {"PRC300,0", "0"}},
         0, ""},  // 65535: the complement of an empty sum
        {"a block failing twice ends in measurement mode", 0, 2,
         {{block(0), "?"}, {block(0), "12345"}, {"PRC300,0", "0"}}, -22,
         "Checksum Error Transfer Block 0 to RAM memory! \nRestart Ventrix and try again!"},
        {"no answer to a block ends at once", 0, 2, {{block(0), ""}}, -21, "Port Timeout!"},
        {"wrong sector line restores measurement mode", 2, 1,
         {{block(2), sum(2)}, {"PRC304", "0"}, {"PRC?304", sum(2)}, {"PRC305", "3"},
          {"PRC300,0", "0"}},
         -41, "Error flashing! Didn't get block number information!", kUpdateTimeout, {500, 5}},
        {"RAM checksum must match the image", 0, 1,
         {{block(0), sum(0)}, {"PRC304", "0"}, {"PRC?304", "1"}, {"PRC300,0", "0"}}, -33,
         "Checksum error in RAM memory!"},
        {"image shorter than the range ends in measurement mode", 3, 2,
         {{block(3), sum(3)}, {"PRC300,0", "0"}}, -20, "Can't read data out of firmware file!"},
        {"missing sector line leaves the time-out doubled", 0, 1,
         {{block(0), sum(0)}, {"PRC304", "0"}, {"PRC?304", sum(0)}, {"PRC305", ""}}, -40,
         "Port timeout flashing!", 2 * kUpdateTimeout},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reports.clear();
        scriptParameters(c.first, c.count);
        for (const auto& [command, answer] : c.answers) {
            const std::string sent = command.ends_with("\r\n") ? command : command + "\r\n";
            if (answer.empty()) peer->expect(sent);
            else peer->line(sent, answer);
        }
        EXPECT_EQ(update(c.first, c.count), c.result);
        EXPECT_EQ(lastMessage(), c.message);
        EXPECT_EQ(QTX_GetCurrTimeout(), c.timeoutAfter);
        const auto waits = clock.waits();
        ASSERT_GE(waits.size(), c.lastWaits.size());
        const auto tail = waits.end() - long(c.lastWaits.size());
        EXPECT_EQ(std::vector<int>(tail, waits.end()), c.lastWaits);
    }
}

// Arguments that cannot work are refused before any traffic; refused parameters restart the
// measurement mode.
TEST_F(Kx33UpdateTest, RefusedArgumentsAndParameters) {
    EXPECT_EQ(update(0, 1, kUpdateBlockSize, 2), -2);
    EXPECT_EQ(lastMessage(), "Download not supported by this version of Quorlink!");
    EXPECT_EQ(update(0, 1, 591), -2);
    EXPECT_EQ(lastMessage(), "KX33 block size 591 is not supported! Use 1 to 590 bytes per block.");
    EXPECT_EQ(update(0, 1, 0), -2);
    EXPECT_EQ(update(0, 1, 512, 0, "/nonexistent/kx33.bin"), -3);
    EXPECT_EQ(lastMessage(), "KX33 Firmware file not found!");

    reports.clear();
    peer->line("PRC300,1\r\n", "0").line("PRC301,0\r\n", "?").line("PRC300,0\r\n", "?");
    EXPECT_EQ(update(0, 1), -7);
    EXPECT_EQ(messageTexts(), (Texts{"Can't set first block information!", "Can't start measurement mode!"}));
}

}  // namespace
