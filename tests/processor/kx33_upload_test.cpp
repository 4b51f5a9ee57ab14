// The KX33 upload against a scripted processor: block placement, answer checks, file handling.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/quorlink.h"
#include "link_fixture.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

constexpr int kUploadTimeout = 1000;

class Kx33UploadTest : public ScriptedLinkTest {
protected:
  void SetUp() override {
      ScriptedLinkTest::SetUp();
      peer->line("PRC300,1\r\n", "0");
  }
    int upload(int first, int count) {
        return UploadKX33(kUploadTimeout, recordMessage, recordProgress, recordStatus, nullptr,
                          target.c_str(), "", first, count, 4, 0, 0, 0);
    }

    void expectOnlyTheOldFile() {
        EXPECT_EQ(readFile(target), "previous upload");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()),
                                std::filesystem::directory_iterator()),
                  1);
    }

    TempDir directory;
    std::string target = directory.file("kx33.upl");
};

TEST_F(Kx33UploadTest, BlocksLandAtTheirFlashOffsets) {
    // Checksums: ~(0x01+0x02+0x03+0x04) = 0xFFF5, ~(0xF4+0xF5+0xF6+0xF7) = 0xFC29, low byte first.
    peer->line("PRC?310,1\r\n", "0000001,01020304f5ff")
        .line("PRC?310,2\r\n", "0000002,F4F5F6F729FC")
        .line("PRC300,0\r\n", "0");
    EXPECT_EQ(upload(1, 2), 0);
    EXPECT_EQ(readFile(target), std::string("\0\0\0\0\x01\x02\x03\x04\xF4\xF5\xF6\xF7", 12));
    EXPECT_EQ(reports.progress, (std::vector<int>{0, 0, 50}));
    EXPECT_EQ(reports.statuses.back(), std::make_pair(5, std::string("Upload KX33 firmware...")));
}

TEST_F(Kx33UploadTest, FailuresInTheBlockLoopKeepThePreviousFile) {
    std::ofstream(target) << "previous upload";
    peer->line("PRC?310,0\r\n", "0000000,01020304f5ff").line("PRC?310,1\r\n", "0000001,0102030");
    EXPECT_EQ(upload(0, 2), -1);
    EXPECT_EQ(lastMessage(), "KX33 did not answer correctly!");
    expectOnlyTheOldFile();
}

TEST_F(Kx33UploadTest, ChecksumErrorNamesTheBlock) {
    std::ofstream(target) << "previous upload";
    peer->line("PRC?310,7\r\n", "0000007,01020304f6ff");
    EXPECT_EQ(upload(7, 1), -11);
    EXPECT_EQ(lastMessage(),
              "Checksum Error Transfer Block 7 from KX33! \nRestart Ventrix and try again!");
    expectOnlyTheOldFile();
}

TEST_F(Kx33UploadTest, TextThatIsNotHexIsAnInternalError) {
    peer->line("PRC?310,0\r\n", "0000000,0102030Gf5ff");
    EXPECT_EQ(upload(0, 1), -1);
    EXPECT_EQ(lastMessage(), "Error in internal communication!");
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(Kx33UploadTest, RefusedMeasurementModeKeepsTheCompleteFile) {
    peer->line("PRC?310,0\r\n", "0000000,01020304f5ff").line("PRC300,0\r\n", "?");
    EXPECT_EQ(upload(0, 1), -29);
    EXPECT_EQ(readFile(target), "\x01\x02\x03\x04");
}

}  // namespace
