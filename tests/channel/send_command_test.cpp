// Command framing: chunking, the traffic-log summary, the 5 ms pause, raw two-byte answers.
#include <gtest/gtest.h>

#include <filesystem>

#include "link/channel/channel.h"
#include "link/quorlink.h"
#include "link_fixture.h"
#include "linkpad/linkpad.h"
#include "temp_dir.h"

using namespace testing_support;
using quorlink::channel;

namespace {

class SendCommandTest : public ScriptedLinkTest {
  protected:
    void SetUp() override {
        ScriptedLinkTest::SetUp();
        written = peer->writes().size();
    }
    std::vector<std::string> newWrites() const {
        return {peer->writes().begin() + static_cast<long>(written), peer->writes().end()};
    }
    size_t written = 0;
};

std::string command(size_t length) {
    std::string text(length - 2, 'A');
    return text + "\r\n";
}

// Long commands are written in 512-byte chunks. Every command is preceded by 5 ms; a two-byte
// answer is read raw without line end; an overlong answer line does not leak into the next answer;
// a missing answer times out after the set time-out.
TEST_F(SendCommandTest, ChunksPausesRawAnswersOverlongLinesAndTimeOuts) {
    std::vector<size_t> sizes;
    for (size_t length : {512, 513, 1200}) {
        peer->expect(command(length));
        channel().sendCommand(command(length));
    }
    for (const auto& write : newWrites()) sizes.push_back(write.size());
    EXPECT_EQ(sizes, (std::vector<size_t>{512, 512, 1, 512, 512, 176}));

    peer->line("PRC?11\r\n", "P1.41").expect("PRC1,2,P\r\n", std::string("\x00\x0a", 2));
    peer->line("IDN?\r\n", std::string(60, 'x')).line("SRB1\r\n", "0").expect("HWR?\r\n");
    clock.clearWaits();
    std::string answer;
    EXPECT_EQ(channel().query("PRC?11\r\n", answer, 30), 0);
    EXPECT_EQ(answer, "P1.41");
    EXPECT_EQ(clock.waits(), std::vector<int>{5});
    ASSERT_EQ(channel().query("PRC1,2,P\r\n", answer, 2), 0);
    EXPECT_EQ(answer, std::string("\x00\x0a", 2));
    ASSERT_EQ(channel().query("IDN?\r\n", answer, 30), 0);
    EXPECT_EQ(answer, std::string(29, 'x'));
    ASSERT_EQ(channel().query("SRB1\r\n", answer, 30), 0);
    EXPECT_EQ(answer, "0");
    QTX_SetTimeout(750);
    const auto before = clock.nowMs();
    EXPECT_NE(channel().query("HWR?\r\n", answer, 30), 0);
    EXPECT_EQ(clock.nowMs() - before, 5 + 750);
}

// The traffic log goes to the working directory.
class TrafficLogTest : public ScriptedLinkTest {
  protected:
    void SetUp() override {
        std::filesystem::current_path(dir.path());
        scriptOpen(*peer);
        attach(peer);
        ASSERT_EQ(OpenConnection(100, 1, "h", 0, 0, 6000, recordMessage, -1, 1), 0);
    }
    void TearDown() override {
        ScriptedLinkTest::TearDown();
        QTX_DisableComLog();
        std::filesystem::current_path(previous);
    }
    std::filesystem::path previous = std::filesystem::current_path();
    TempDir dir;
};

TEST_F(TrafficLogTest, CommandsOver100CharactersAreSummarisedAndWrittenOnce) {
    peer->expect(command(1200)).expect(command(100)).expect(command(101));
    const size_t before = peer->writes().size();
    channel().sendCommand(command(1200));
    EXPECT_EQ(peer->writes().size(), before + 1);
    channel().sendCommand(command(100));
    channel().sendCommand(command(101));
    const std::string text = readFile(dir.path() / "comlog.log");
    EXPECT_NE(text.find("Sent 1200 bytes: AAAAAAAAAAAAAAAAAAAA ..."), std::string::npos);
    EXPECT_NE(text.find("Sent 101 bytes: "), std::string::npos);
    EXPECT_EQ(text.find("Sent 100 bytes: "), std::string::npos);
    EXPECT_EQ(text.find(std::string(200, 'A')), std::string::npos);  // not logged in full
    EXPECT_NE(text.find("> " + std::string(98, 'A') + "\\r\\n"), std::string::npos);
}

}  // namespace
