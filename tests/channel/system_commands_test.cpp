// Baud-rate modes, system reset, multi-master mode, version query, log file name.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "link/quorlink.h"
#include "link_fixture.h"
#include "linkpad/linkpad.h"
#include "scoped_env.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

using SystemCommandsTest = ScriptedLinkTest;

TEST_F(SystemCommandsTest, Mode0KeepsTheFieldsAfterTheFirstComma) {
    peer->line("BDR?\r\n", "9600,2,1,0").expect("BDR38400,2,1,0\r\n");
    EXPECT_EQ(SetBdrVTX(38400, 3000, recordMessage, 0, "e", 1), 0);
    EXPECT_EQ(QTX_GetCurrTimeout(), 3000);
}

TEST_F(SystemCommandsTest, Mode0WithoutCommaSendsTheRateAlone) {
    peer->line("BDR?\r\n", "9600").expect("BDR19200\r\n");
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 0, "e", 1), 0);
}

TEST_F(SystemCommandsTest, Mode0TimeoutLeavesTheRateUnchanged) {
    peer->expect("BDR?\r\n");
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 0, "e", 1), -1);
    EXPECT_EQ(messageTexts(), Texts{"Port Timeout! Baudrate not changed!"});
}

TEST_F(SystemCommandsTest, Mode1ReportsEitherTextAndSucceeds) {
    peer->line("BDR19200,,,4\r\n", "0").line("BDR19200,,,4\r\n", "?");
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 1, "e", 1), 0);
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 1, "e", 1), 0);
    EXPECT_EQ(messageTexts(), (Texts{"Internal Baudrate have been succesfully reset to be compatible!", "Internal Baudrate should be compatible to old loader before!"}));
}

TEST_F(SystemCommandsTest, Mode2ParityCodes) {
    peer->line("BDR?\r\n", "9600,2,1,0").expect("BDR9600,1,1,0\r\n");
    peer->line("BDR?\r\n", "9600,2,1,0").expect("BDR9600,2,2,0\r\n");
    peer->line("BDR?\r\n", "9600,2,1,0").expect("BDR57600,0,1,0\r\n");
    EXPECT_EQ(SetBdrVTX(9600, 3000, recordMessage, 2, "odd", 1), 0);
    EXPECT_EQ(SetBdrVTX(9600, 3000, recordMessage, 2, "even", 2), 0);
    EXPECT_EQ(SetBdrVTX(57600, 6000, recordMessage, 2, "none", 1), 0);
}

TEST_F(SystemCommandsTest, UnknownModeSendsNothing) {
    EXPECT_EQ(SetBdrVTX(9600, 3000, recordMessage, 7, "e", 1), 0);
}

TEST_F(SystemCommandsTest, ResetReportsProgressIn200MsSteps) {
    peer->expect("RST\r\n").expect("\x12\r\n");
    scriptClose(*peer);
    peer->expectActivate().line("SRB1\r\n", "0");
    clock.clearWaits();
    EXPECT_EQ(ResetVTX(recordMessage, recordProgress, 3), 0);
    const std::vector<int> expected{6, 13, 20, 26, 33, 40, 46, 53, 60, 66, 73, 80, 86, 93, 100};
    EXPECT_EQ(reports.progress, expected);
    const auto waits = clock.waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 200), 15);
}

TEST_F(SystemCommandsTest, ResetWithZeroSecondsGoesStraightToTheInterpreter) {
    peer->expect("RST\r\n").expect("\x12\r\n");
    scriptClose(*peer);
    peer->expectActivate().line("SRB1\r\n", "0");
    EXPECT_EQ(ResetVTX(recordMessage, recordProgress, 0), 0);
    EXPECT_TRUE(reports.progress.empty());
}

TEST_F(SystemCommandsTest, ResetOfARackThatStaysSilentAsksForAPowerCycle) {
    peer->expect("RST\r\n").expect("\x12\r\n");
    for (int attempt = 0; attempt < 2; ++attempt) {
        scriptClose(*peer);
        peer->expectActivate(false);
    }
    EXPECT_EQ(ResetVTX(recordMessage, recordProgress, 0), -1);
    EXPECT_EQ(messageTexts(), Texts{"Error reset system, maybe timeout. \nPlease reset your VTX system by switching "
              "power off and on."});
}

TEST_F(SystemCommandsTest, MultiMasterModeVerdicts) {
    peer->line("PRC10\r\n", "0").line("PRC10\r\n", "?").expect("PRC10\r\n");
    EXPECT_EQ(MultiMasterMode(recordMessage, recordProgress, 0), 0);
    EXPECT_EQ(reports.progress, (std::vector<int>{33, 66, 100}));
    EXPECT_EQ(MultiMasterMode(recordMessage, recordProgress, 0), -2);
    EXPECT_EQ(reports.messages.back().second, "Error switching multi master mode on!");
    EXPECT_EQ(MultiMasterMode(recordMessage, recordProgress, 0), -1);
    EXPECT_EQ(reports.messages.back().second, "Port Timeout!");
}

TEST_F(SystemCommandsTest, CheckVersionCopiesTheAnswerOrEmptiesTheBuffer) {
    peer->line("PRC?11\r\n", "P1.41").expect("PRC?11\r\n");
    char buffer[40] = "junk";
    int32_t length = -1;
    EXPECT_EQ(CheckVersion(buffer, &length), 0);
    EXPECT_STREQ(buffer, "P1.41");
    EXPECT_EQ(length, 5);
    EXPECT_EQ(CheckVersion(buffer, &length), -1);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(length, 0);
    EXPECT_TRUE(reports.messages.empty());
}

std::string logFileName() {
    char buffer[600] = {};
    int32_t length = 0;
    EXPECT_EQ(GetLogFileName(buffer, &length), 0);
    EXPECT_EQ(length, static_cast<int32_t>(strlen(buffer)));
    return buffer;
}

TEST(LogFileName, PrefersTheTemporaryDirectoryAndFallsBackWhenItIsNoDirectory) {
    const TempDir dir;
    {
        const ScopedEnv tmpdir("TMPDIR", dir.path().string());
        EXPECT_EQ(logFileName(), dir.file("Quorlink.log"));
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "Quorlink.log"));
    }
    const ScopedEnv tmpdir("TMPDIR", dir.file("missing"));
    const std::string path = logFileName();
    EXPECT_TRUE(path.ends_with("/Quorlink.log"));
    EXPECT_EQ(path.find("missing"), std::string::npos);
}

}  // namespace
