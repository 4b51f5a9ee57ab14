// The KX33 upload against a scripted processor: block placement, answer checks, file handling.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "link/quorlink.h"
#include "link_fixture.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

constexpr int kTimeout = 1000;

class Kx33UploadTest : public ScriptedLinkTest {
protected:
  // The boot loader started, then each block query with its answer.
  void script(const std::vector<std::pair<std::string, std::string>>& answers) {
      peer->line("PRC300,1\r\n", "0");
      for (const auto& [command, answer] : answers) peer->line(command + "\r\n", answer);
  }
    int upload(int first, int count) {
        return UploadKX33(kTimeout, recordMessage, recordProgress, recordStatus, nullptr,
                          target.c_str(), "", first, count, 4, 0, 0, 0);
    }

    TempDir directory;
    std::string target = directory.file("kx33.upl");
};

TEST_F(Kx33UploadTest, BlocksLandAtTheirFlashOffsets) {
    // Checksums: ~(0x01+0x02+0x03+0x04) = 0xFFF5, ~(0xF4+0xF5+0xF6+0xF7) = 0xFC29, low byte first.
    script({{"PRC?310,1", "0000001,01020304f5ff"},
            {"PRC?310,2", "0000002,F4F5F6F729FC"},
            {"PRC300,0", "0"}});
    EXPECT_EQ(upload(1, 2), 0);
    EXPECT_EQ(readFile(target), std::string("\0\0\0\0\x01\x02\x03\x04\xF4\xF5\xF6\xF7", 12));
    EXPECT_EQ(reports.progress, (std::vector<int>{0, 0, 50}));
    EXPECT_EQ(reports.statuses.back(), std::make_pair(5, std::string("Upload KX33 firmware...")));
}

// A failure in the block loop keeps the previous file and leaves nothing else; a refused
// measurement mode after the last block keeps the complete new file.
TEST_F(Kx33UploadTest, FailuresKeepThePreviousFileUnlessTheNewOneIsComplete) {
    const struct {
        std::vector<std::pair<std::string, std::string>> answers;
        int first, count, result;
        const char* message;  // nullptr: not checked
        std::string fileAfter;
    } cases[] = {
        {{{"PRC?310,0", "0000000,01020304f5ff"}, {"PRC?310,1", "0000001,0102030"}},
         0,
         2,
         -1,
         "KX33 did not answer correctly!",
         "previous upload"},
        {{{"PRC?310,7", "0000007,01020304f6ff"}},
         7,
         1,
         -11,
         "Checksum Error Transfer Block 7 from KX33! \nRestart Ventrix and try again!",
         "previous upload"},
        {{{"PRC?310,0", "0000000,0102030Gf5ff"}},
         0,
         1,
         -1,
         "Error in internal communication!",
         "previous upload"},
        {{{"PRC?310,0", "0000000,01020304f5ff"}, {"PRC300,0", "?"}},
         0,
         1,
         -29,
         nullptr,
         "\x01\x02\x03\x04"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        writeFile(target, "previous upload");
        script(c.answers);
        EXPECT_EQ(upload(c.first, c.count), c.result);
        if (c.message) {
            EXPECT_EQ(lastMessage(), c.message);
        }
        EXPECT_EQ(readFile(target), c.fileAfter);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()),
                                std::filesystem::directory_iterator()),
                  1);
    }
}

}  // namespace
