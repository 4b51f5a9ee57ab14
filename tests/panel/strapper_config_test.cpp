// The bootstrap configuration file: keys, limits, syntax errors and the log file.
#include "link/panel/strapper_config.h"

#include <gtest/gtest.h>

#include "link/channel/channel.h"
#include "link_fixture.h"
#include "panel_files.h"

using namespace quorlink::panel;
using namespace testing_support;

namespace {

class StrapperConfig : public LinkTest {
  protected:
    StrapperConfig() {
        quorlink::channel().setStatusCallback(recordStatus);
        quorlink::channel().setProgressCallback(recordProgress);
    }
    int read(const std::string& text) {
        testing_support::writeFile(path, text);
        return readStrapperConfig(path, parameters, reporter);
    }

    panel_testing::ScratchDir dir;
    std::string path = dir.file("STRAPPER.CFG");
    StrapperParameters parameters;
    StrapperReporter reporter{quorlink::channel()};
};

TEST_F(StrapperConfig, EveryKeyIsRead) {
    ASSERT_EQ(read("  com = 38400 , 8, E, 2\r\n"
                   "TRANSF=1\r\n"
                   "SERADR = 0x7F000\r\n"
                   "SERNUM = abcdefghijklmnopqrstuvwxyz0123456789\r\n"
                   "REVADR = 010\r\n"
                   "REVNUM = b1\r\n"
                   "BOOT = Boot/Mini.h67, Prog2.h67\r\n"
                   "SIZE = 1000, 512\r\n"
                   "FREE = 0x100-0x1FF, 0x400 - 0x5FF\r\n"
                   "DATFILE = Image.dat\r\n"
                   "HEXFILE = A.hex, B.hex\r\n"
                   "HEXFILE = /abs/C.hex\r\n"),
              0);
    EXPECT_EQ(parameters.baudRate, 38400);
    EXPECT_EQ(parameters.bitsPerChar, 8);
    EXPECT_EQ(parameters.parity, "e");
    EXPECT_EQ(parameters.stopBits, 2);
    EXPECT_TRUE(parameters.transfer);
    EXPECT_EQ(parameters.serialAddress, 0x7F000);
    EXPECT_EQ(parameters.serialNumber, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");  // 31 characters
    EXPECT_EQ(parameters.revisionAddress, 8);                               // octal
    EXPECT_EQ(parameters.revisionNumber, "B1");
    EXPECT_EQ(parameters.loadFile, dir.file("Boot/Mini.h67"));
    EXPECT_EQ(parameters.programFile, dir.file("Prog2.h67"));
    EXPECT_EQ(parameters.imageSize, 1024);  // rounded up to whole blocks
    ASSERT_EQ(parameters.freeRanges.size(), 3u);
    EXPECT_EQ(parameters.freeRanges[2].start, 0x400);
    EXPECT_EQ(parameters.freeRanges[2].end, 0x5FF);
    EXPECT_EQ(parameters.imageFile, dir.file("Image.dat"));
    EXPECT_EQ(parameters.hexFiles,
              (std::vector<std::string>{dir.file("A.hex"), dir.file("B.hex"), "/abs/C.hex"}));
}

TEST_F(StrapperConfig, ShownLinesAndTheVersion) {
    ASSERT_EQ(
        read("rem lower case is a comment too\r\nVERSION\r\nDATFILE = x.dat\r\nSIZE=4096,256\r\n"
             "NONSENSE = 1\r\nCOMMENT = no key\r\n"),
        0);
    std::vector<std::string> shown;
    for (const auto& status : reports.statuses) shown.push_back(status.second);
    EXPECT_EQ(shown, (std::vector<std::string>{"REM LOWER CASE IS A COMMENT TOO", "VERSION",
                                               "STRAPPER Version 2.1", "-------------------",
                                               "SIZE=4096,256"}));
    EXPECT_EQ(parameters.baudRate, 0);  // "COMMENT" is not "COM"
}

// Syntax errors are -101, a fourth added free range or a fifth hex file -107, a log file that
// cannot be created -103.
TEST_F(StrapperConfig, SyntaxErrorsLimitsAndTheLogFile) {
    const std::pair<const char*, int> cases[] = {
        {"COM = 9600, 8, N\r\n", -101},
        {"BOOT = Load.h67\r\n", -101},
        {"SIZE = 4096\r\n", -101},
        {"FREE = 0x100\r\n", -101},
        {"FREE = 0x200-0x100\r\n", -101},
        {"SIZE = 4096, 0\r\n", -101},
        {"SERADR = nowhere\r\n", -101},
        {"SIZE = 0x10000000, 1\r\n", -101},
        {"FREE = 1-2, 3-4, 5-6\r\n", 0},
        {"FREE = 1-2, 3-4\r\nFREE = 5-6, 7-8\r\n", -107},
        {"HEXFILE = a, b, c, d\r\n", 0},
        {"HEXFILE = a, b, c\r\nHEXFILE = d, e\r\n", -107},
        {"LOGFILE = no/such/folder/boot.log\r\n", -103},
    };
    for (const auto& [text, result] : cases) {
        parameters = {};
        EXPECT_EQ(read(text), result) << text;
    }
}

TEST_F(StrapperConfig, LogFileGetsEveryLine) {
    ASSERT_EQ(read("LOGFILE = boot.log\r\nREM hello\r\nHEXFILE = a.hex\r\n"), 0);
    reporter.log("done");
    EXPECT_EQ(testing_support::readFile(dir.file("boot.log")),
              "ConfigFile = " + path + "\nLOGFILE = BOOT.LOG\nREM HELLO\nHEXFILE = A.HEX\ndone\n");
}

TEST_F(StrapperConfig, LinesWithoutCarriageReturnKeepTheirLastCharacters) {
    ASSERT_EQ(read("SIZE = 2048, 256\nSERNUM = 1234"), 0);
    EXPECT_EQ(parameters.imageSize, 2048);
    EXPECT_EQ(parameters.serialNumber, "1234");
}

}  // namespace
