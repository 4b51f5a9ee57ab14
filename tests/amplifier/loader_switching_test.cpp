// Loader switching, loader-2 transfer, start, establish and reset against exact scripts.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <utility>

#include "link/amplifier/flash_erase.h"
#include "link/images/temp_images.h"
#include "link/quorlink.h"
#include "link_fixture.h"
#include "temp_dir.h"
#include "tools/fwgen/fwgen.h"

using namespace testing_support;

namespace {

class LoaderSwitchingTest : public ScriptedLinkTest {
protected:
    int switch1(int channel, int code, int already, int subReset, int readId, int panel = 0, int marker = 0xFF) {
        return Switch2Loader1(6000, channel, 0, recordMessage, id, &length, code, already, 2, subReset, readId,
                              panel, marker);
    }
    char id[256] = {};
    int32_t length = -1;
};

// Channel 15 uses address 10 and its channel bit; a module already in loader 1 skips the switch;
// a refused channel selection is -111 without a message.
TEST_F(LoaderSwitchingTest, Channel15AlreadyInLoader1AndRefusedSelection) {
    peer->line("CHS32768\r\n", "0").line("CAN1\r\n", "0").line("PRG9,1,\"SYSTEM\"\r\n", "0");
    peer->line("PRC1,2,I10\r\n", "1").line("PRC1,2,K10\r\n", "Q").line("PRC1,2,K10\r\n", std::string(1, '\0'));
    peer->line("PRC1,2,A101055\r\n", "0");
    EXPECT_EQ(switch1(15, 0x10, 0, 2, 1, 0, 0x55), 0);
    EXPECT_STREQ(id, "Q");
    EXPECT_EQ(length, 1);
    EXPECT_EQ(protocolWaits(), (std::vector<int>{250, 100}));

    peer->line("PRC1,2,A0110FF\r\n", "0");
    EXPECT_EQ(switch1(0, 0x10, 1, 1, 0), 0);
    EXPECT_EQ(length, 0);

    peer->line("CHS4\r\n", "?");
    EXPECT_EQ(switch1(2, 0x10, 0, 2, 1), -111);
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(LoaderSwitchingTest, SubChannelResetWarnsAndGoesOn) {
    peer->line("PRC2,1\r\n", "0").line("PRC1,1\r\n", "0");
    peer->line("CHS1\r\n", "0").line("SPS0\r\n", "?").line("TDD1,1\r\n", "0").line("TID0,\"\"\r\n", "0");
    peer->line("TDD2,1\r\n", "0").line("SPS1\r\n", "0").line("CAN1\r\n", "0").line("PRG9,1,\"SYSTEM\"\r\n", "0");
    peer->line("PRC1,2,I01\r\n", "0").line("PRC1,2,A0110FF\r\n", "0");
    EXPECT_EQ(switch1(0, 0x10, 0, 1, 1, 1), 0);
    // the second message does not stop the activation
    EXPECT_EQ(messageTexts(), (Texts{"Amplifier subchannel not selectable! Continue.", "Error getting identstring of Loader 1"}));
    EXPECT_EQ(protocolWaits(), (std::vector<int>{1000, 250, 100}));
}

TEST_F(LoaderSwitchingTest, DeactivationExpectsF) {
    peer->line("PRC1,2,A0100FF\r\n", "0").line("PRC1,2,A0100FF\r\n", "F");
    EXPECT_EQ(switch1(0, 0, 1, 0, 0), -2);
    EXPECT_EQ(lastMessage(), "Error deactivating RA-LoaderI !");
    EXPECT_EQ(switch1(0, 0x100, 1, 0, 0), 0);  // only the low byte counts
}

// The identification drops its 120th character, or ends on 0xFF without it; a refused start is
// reported and a silent loader names the channel.
TEST_F(LoaderSwitchingTest, LoaderTwoIdentificationAndItsFailures) {
    peer->line("PRC1,1\r\n", "0").line("PRC1,2,S0389\r\n", "0").line("PRC1,2,I03\r\n", "2");
    for (int i = 0; i < 120; ++i) peer->line("PRC1,2,K03\r\n", "x");
    EXPECT_EQ(Switch2Loader2(6000, 2, 0, recordMessage, id, &length, 3, 1), 0);
    EXPECT_EQ(length, 119);
    EXPECT_EQ(protocolWaits(), (std::vector<int>{20}));

    peer->line("PRC1,1\r\n", "0").line("PRC1,2,S0389\r\n", "?").line("PRC1,2,I03\r\n", "2");
    peer->line("PRC1,2,K03\r\n", "L").line("PRC1,2,K03\r\n", "\xFF");
    EXPECT_EQ(Switch2Loader2(6000, 2, 0, recordMessage, id, &length, 4, 1), 0);
    EXPECT_STREQ(id, "L");
    EXPECT_EQ(lastMessage(), "Error starting LoaderII channel 03 !");

    peer->line("PRC1,1\r\n", "0").expect("PRC1,2,S0C89\r\n");
    EXPECT_EQ(Switch2Loader2(6000, 11, 0, recordMessage, id, &length, 2, 1), -1);
    EXPECT_EQ(lastMessage(), "Port Timeout channel 12 !");
}

TEST_F(LoaderSwitchingTest, ResetLoader1IgnoresRefusalsOfItsGroupCommands) {
    peer->line("PRC1,1\r\n", "0").line("PRC1,6,A050755\r\n", "?").line("PRC1,6,DFA000000\r\n", "?");
    peer->line("PRC1,6,S0589\r\n", "?").line("PRC1,4\r\n", "0");
    EXPECT_EQ(ResetLoader1(6000, 0, recordMessage, recordProgress, 5, 7), 0);
    EXPECT_EQ(reports.progress, (std::vector<int>{10, 40, 60, 80, 90, 100}));
    EXPECT_EQ(protocolWaits(), (std::vector<int>{100, 1000, 500, 500}));
    EXPECT_TRUE(reports.messages.empty());
}

// Steps whose answer decides a fixed wait: the script (command and answer lines), the result,
// the waits and the last message.
struct FixedWaitCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> script;
    std::function<int()> call;
    int result;
    std::vector<int> waits;
    std::string message;
};

// The loader-1 erase of channel 2 (the last selected, so marked 0xFF).
int eraseLoader1OfChannel2() {
    quorlink::amplifier::ApplicationJob job;
    job.moduleCode = 0x10;
    job.channelMask = 1u << 1;
    quorlink::amplifier::eraseLoader1Areas(job);
    return 0;
}

TEST_F(LoaderSwitchingTest, StepsWhoseAnswerDecidesAFixedWait) {
    const FixedWaitCase cases[] = {
        {"StartWithoutResetReturnsAfterTheWait",
         {{"PRC1,2,X0300012000", "0"}, {"PRC1,2,X0600012000", "?"}},
         [] { return SwitchWS(6000, 2, 0, recordMessage, recordProgress, 2, (1 << 2) | (1 << 5), 0x12000, 4, 5); },
         0, {8000}, ""},
        {"OlderSeriesEstablishWarnsOnly", {{"PRC1,1", "?"}, {"PRC1,2,Z0304", "?"}},
         [] { return EstabWS(6000, 3, 0, recordMessage, 0x103, 0, 1, 4); }, 0, {300},
         "Error on activating new RA-Application!"},
        {"AcceptedLoader1EraseGoesOnAtOnce", {{"PRC1,2,L0210FF00", "0"}}, eraseLoader1OfChannel2, 0, {}, ""},
        {"RefusedLoader1EraseGivesTheFlashEightSeconds", {{"PRC1,2,L0210FF00", "5"}}, eraseLoader1OfChannel2, 0,
         {8000}, "Error selecting RA-channel 02, \nError 35, maybe flash erase time too long. Try to ignore it."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clock.clearWaits();
        reports.clear();
        for (const auto& [command, answer] : c.script) peer->line(command + "\r\n", answer);
        EXPECT_EQ(c.call(), c.result);
        EXPECT_EQ(protocolWaits(), c.waits);
        EXPECT_EQ(lastMessage(), c.message);
    }
}

TEST_F(LoaderSwitchingTest, ResetOfZeroSecondsStillResetsAndChecks) {
    peer->line("PRC1,2,X1234\r\n", "0").expect("RST\r\n").expect("\x12\r\n");
    scriptClose(*peer);
    peer->expectActivate().line("SRB1\r\n", "0").line("PRC1,5\r\n", "?");
    EXPECT_EQ(SwitchWS(6000, 0, 0, recordMessage, recordProgress, 1, 1, 0x1234, 0, 0), -1);
    EXPECT_TRUE(reports.progress.empty());
    EXPECT_EQ(lastMessage(), "Error on performing channel-check!");
}

// An empty mask starts and establishes nothing; the establish accepts only a zero byte.
TEST_F(LoaderSwitchingTest, EstablishOfAnEmptyMaskAndOfARefusingChannel) {
    peer->line("PRC1,1\r\n", "0");
    EXPECT_EQ(SwitchWS(6000, 0, 0, recordMessage, recordProgress, 3, 0, 0, 0, 5), 0);
    EXPECT_EQ(EstabWS(6000, 0, 0, recordMessage, 0x10, 0, 3, 4), 0);

    peer->line("PRC1,1\r\n", "0").line("PRC1,2,Z1001\r\n", std::string(1, '\0')).line("PRC1,2,Z1002\r\n", "0");
    EXPECT_EQ(EstabWS(6000, 0, 0, recordMessage, 0x10, 3, 2, 4), -1);
    EXPECT_EQ(lastMessage(), "Error establishing RA-channel 02, \nError 30");
}

// A loader 2 of 0x1000 bytes 0x5A from address 0x1000: 32 blocks of data, then erased ones.
class Loader2TransferTest : public ScriptedLinkTest {
protected:
    Loader2TransferTest() {
        std::ofstream(path) << fwgen::toIntelHex({{0x1000, std::vector<uint8_t>(0x1000, 0x5A)}});
        for (int i = 0; i < 128; ++i) filled += "5A", erased += "FF";
    }
    TempDir directory;
    std::string path = directory.file("loader2.ld2");
    std::string filled, erased;
};

TEST_F(Loader2TransferTest, ShortLoaderSendsSixtySixBlocksWithData) {
    peer->line("PRC1,1\r\n", "0");
    for (int i = 0; i < 66; ++i) peer->line("PRC1,2,D" + (i < 32 ? filled : erased) + "\r\n", "0");
    EXPECT_EQ(DownLoader2(6000, 0, 0, recordMessage, recordProgress, path.c_str(), 2), 0);
    ASSERT_EQ(reports.progress.size(), 66u);
    EXPECT_EQ(reports.progress.front(), -1);
    EXPECT_EQ(reports.progress.back(), 98);
    EXPECT_EQ(protocolWaits(), (std::vector<int>{300}));
    EXPECT_EQ(quorlink::TempImageCount(), 0);
}

TEST_F(Loader2TransferTest, MissingFileOrRefusedBlockEndsWithNoTemporaryImage) {
    peer->line("PRC1,1\r\n", "0");
    EXPECT_EQ(DownLoader2(6000, 0, 0, recordMessage, recordProgress, "/nonexistent/x.ld2", 4), -1);
    EXPECT_EQ(lastMessage(), "Error opening loader2 file. Maybe loader2 does not exist.");
    EXPECT_EQ(quorlink::TempImageCount(), 0);

    peer->line("PRC1,1\r\n", "0");
    peer->line("PRC1,2,D" + filled + "\r\n", "0").line("PRC1,2,D" + filled + "\r\n", "?");
    EXPECT_EQ(DownLoader2(6000, 0, 0, recordMessage, recordProgress, path.c_str(), 3), -2);
    EXPECT_EQ(lastMessage(), "Error downloading Loader II Datablock!");
    EXPECT_EQ(quorlink::TempImageCount(), 0);
}

}  // namespace
