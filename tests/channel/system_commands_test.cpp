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

// Mode 0 keeps the fields after the first comma (or sends the rate alone), mode 1 reports either
// text and succeeds, mode 2 codes the parity, an unknown mode sends nothing, and a mode-0 query
// without answer leaves the rate unchanged. Multi-master mode has three verdicts; the version query
// copies the answer or empties the buffer. A reset of 0 s goes straight to the interpreter; one of
// 3 s reports progress in 200 ms steps; a rack that stays silent is asked to be power-cycled.
TEST_F(SystemCommandsTest, BaudRateModesMultiMasterVersionAndReset) {
    peer->line("BDR?\r\n", "9600,2,1,0").expect("BDR38400,2,1,0\r\n");
    peer->line("BDR?\r\n", "9600").expect("BDR19200\r\n");
    peer->line("BDR19200,,,4\r\n", "0").line("BDR19200,,,4\r\n", "?");
    for (const char* command : {"BDR9600,1,1,0\r\n", "BDR9600,2,2,0\r\n", "BDR57600,0,1,0\r\n"})
        peer->line("BDR?\r\n", "9600,2,1,0").expect(command);
    peer->expect("BDR?\r\n");
    EXPECT_EQ(SetBdrVTX(38400, 3000, recordMessage, 0, "e", 1), 0);
    EXPECT_EQ(QTX_GetCurrTimeout(), 3000);
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 0, "e", 1), 0);
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 1, "e", 1), 0);
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 1, "e", 1), 0);
    EXPECT_EQ(SetBdrVTX(9600, 3000, recordMessage, 2, "odd", 1), 0);
    EXPECT_EQ(SetBdrVTX(9600, 3000, recordMessage, 2, "even", 2), 0);
    EXPECT_EQ(SetBdrVTX(57600, 6000, recordMessage, 2, "none", 1), 0);
    EXPECT_EQ(SetBdrVTX(9600, 3000, recordMessage, 7, "e", 1), 0);
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 0, "e", 1), -1);
    EXPECT_EQ(messageTexts(),
              (Texts{"Internal Baudrate have been succesfully reset to be compatible!",
                     "Internal Baudrate should be compatible to old loader before!",
                     "Port Timeout! Baudrate not changed!"}));

    reports.clear();
    peer->line("PRC10\r\n", "0").line("PRC10\r\n", "?").expect("PRC10\r\n");
    EXPECT_EQ(MultiMasterMode(recordMessage, recordProgress, 0), 0);
    EXPECT_EQ(reports.progress, (std::vector<int>{33, 66, 100}));
    EXPECT_EQ(MultiMasterMode(recordMessage, recordProgress, 0), -2);
    EXPECT_EQ(reports.messages.back().second, "Error switching multi master mode on!");
    EXPECT_EQ(MultiMasterMode(recordMessage, recordProgress, 0), -1);
    EXPECT_EQ(reports.messages.back().second, "Port Timeout!");

    peer->line("PRC?11\r\n", "P1.41").expect("PRC?11\r\n");
    char buffer[40] = "junk";
    int32_t length = -1;
    EXPECT_EQ(CheckVersion(buffer, &length), 0);
    EXPECT_STREQ(buffer, "P1.41");
    EXPECT_EQ(length, 5);
    EXPECT_EQ(CheckVersion(buffer, &length), -1);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(length, 0);
    EXPECT_EQ(reports.messages.size(), 2u);  // the version query shows none

    reports.clear();
    for (int reset = 0; reset < 2; ++reset) {
        peer->expect("RST\r\n").expect("\x12\r\n");
        scriptClose(*peer);
        peer->expectActivate().line("SRB1\r\n", "0");
    }
    EXPECT_EQ(ResetVTX(recordMessage, recordProgress, 0), 0);
    EXPECT_TRUE(reports.progress.empty());
    clock.clearWaits();
    EXPECT_EQ(ResetVTX(recordMessage, recordProgress, 3), 0);
    const std::vector<int> expected{6, 13, 20, 26, 33, 40, 46, 53, 60, 66, 73, 80, 86, 93, 100};
    EXPECT_EQ(reports.progress, expected);
    const auto waits = clock.waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 200), 15);

    peer->expect("RST\r\n").expect("\x12\r\n");
    for (int attempt = 0; attempt < 2; ++attempt) {
        scriptClose(*peer);
        peer->expectActivate(false);
    }
    EXPECT_EQ(ResetVTX(recordMessage, recordProgress, 0), -1);
    EXPECT_EQ(
        messageTexts(),
        Texts{"Error reset system, maybe timeout. \nPlease reset your VTX system by switching "
              "power off and on."});
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
