// The simulated head checks what it is sent as a real one would: flash bits only go 1 -> 0,
// groups need their check value and four packets, checksum windows are at most 32 KiB, loader 2
// must be whole and built for the head's hardware.
#include <gtest/gtest.h>

#include "rack/nodepod/node_command_line.h"
#include "rack/nodepod/nodepod_firmware.h"
#include "rack/nodepod/simulated_node.h"
#include "scripted_nodepod.h"

using namespace rack::nodepod;
namespace fw = nodepod_firmware;

namespace {

NodeCommandLine parsed(const std::string& line) {
    auto c = parseNodeCommand(line);
    EXPECT_TRUE(c.has_value()) << line;
    return c.value_or(NodeCommandLine{});
}

std::string packetLine(int id, const uint8_t* bytes) {
    return "PCH30," + std::to_string(id) + ",64,\"" + nodepod_tests::hexOf(bytes, 64) + "\"";
}

std::string packetLine(int id, uint8_t value) {
    const std::vector<uint8_t> bytes(64, value);
    return packetLine(id, bytes.data());
}

class SimulatedHeadTest : public ::testing::Test {
  protected:
    SimulatedHeadTest() : head({2, 21, 7, "2"}, NodeFlash(fw::Hardware::Old)) {
        head.flash().load(fw::buildLoader1({"1.10", fw::Hardware::Old}));
        head.powerOn();
        head.runLoader2("2.01");
    }
    std::string send(const std::string& line) {
        const auto answer = head.handle(parsed(line), now);
        return answer ? answer->text : "(silent)";
    }
    SimulatedNode head;
    linkpad::Clock::time_point now{};
};

TEST(NodeCommandLineTest, PartsOfTheLine) {
    const auto query = parseNodeCommand("PCH?25,100");
    ASSERT_TRUE(query);
    EXPECT_TRUE(query->query);
    EXPECT_EQ(query->sub, 25);
    EXPECT_EQ(query->numbers, std::vector<int64_t>{100});
    const auto packet = parseNodeCommand("PCH30,2,64,\"00FF\"");
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->numbers, (std::vector<int64_t>{2, 64}));
    EXPECT_EQ(packet->text, "00FF");
    EXPECT_FALSE(parseNodeCommand("PCH30,2,64,\"00FF"));
    EXPECT_FALSE(parseNodeCommand("PCHX,2"));
    EXPECT_FALSE(parseNodeCommand("PCH22,2,"));
}

TEST(NodeFlashTest, ProgrammingOnlyClearsBitsAndEraseRestores) {
    NodeFlash flash(fw::Hardware::New);
    EXPECT_EQ(flash.banks().size(), 9u);
    EXPECT_TRUE(flash.program(0xC0000, {0x0F, 0xF0}));
    EXPECT_FALSE(flash.program(0xC0000, {0xFF}));
    EXPECT_TRUE(flash.program(0xC0000, {0x0F}));  // the same value again is harmless
    EXPECT_EQ(flash.wordSum(0xC0000, 0xC0001), 0xF00Fu);
    EXPECT_TRUE(flash.erase(8));
    EXPECT_EQ(*flash.at(0xC0000), 0xFF);
    EXPECT_FALSE(flash.erase(9));
    EXPECT_FALSE(flash.program(0xFFFFF, {1, 2}));
    EXPECT_EQ(NodeFlash(fw::Hardware::Old).banks().size(), 7u);
}

// Checksum windows are at most 32 KiB; a group needs four packets and its check value.
TEST_F(SimulatedHeadTest, ChecksumWindowsAndGroups) {
    EXPECT_EQ(send("PCH?25,2"), "?");
    EXPECT_EQ(send("PCH25,2,786432,819200"), "?");  // one byte more than 32 KiB
    EXPECT_EQ(send("PCH25,2,786432,819199"), "0");
    EXPECT_EQ(send("PCH?25,2"), "1073725440");

    EXPECT_EQ(send("PCH30,2,64,\"00\""), "?");
    EXPECT_EQ(send("PCH22,2,3072"), "0");
    for (int k = 0; k < 4; ++k) EXPECT_EQ(send(packetLine(2, 1)), "0");
    EXPECT_EQ(send(packetLine(2, 1)), "?");  // a fifth does not fit
    EXPECT_EQ(send("PCH23,2,1"), "?");       // 256 x 1 is 0 modulo 256
    EXPECT_EQ(send("PCH22,2,3072"), "0");
    for (int k = 0; k < 3; ++k) send(packetLine(2, 1));
    EXPECT_EQ(send("PCH23,2,0"), "?");  // only three packets
    EXPECT_EQ(send("PCH22,2,3072"), "0");
    for (int k = 0; k < 4; ++k) send(packetLine(2, 1));
    EXPECT_EQ(send("PCH23,2,0"), "0");
    EXPECT_EQ(*head.flash().at(0xC0000), 1);
    EXPECT_EQ(send("PCH22,2,3072"), "0");
    for (int k = 0; k < 4; ++k) send(packetLine(2, 2));
    EXPECT_EQ(send("PCH23,2,0"), "?");     // not erased: bit 1 cannot be set again
    EXPECT_EQ(send("PCH22,2,4096"), "?");  // past the flash
}

TEST_F(SimulatedHeadTest, LoaderTwoMustFitTheHardware) {
    EXPECT_EQ(send("PCH24,2,1024004"), "0");
    now += std::chrono::seconds(1);
    ASSERT_EQ(head.program(), NodeProgram::Loader1);
    EXPECT_EQ(send("PCH11,2,1024"), "0");
    auto image = fw::buildLoader2({"2.02", fw::Hardware::New}).front().data;
    image.resize((image.size() + 63) / 64 * 64, 0xFF);
    for (size_t at = 0; at < image.size(); at += 64)
        ASSERT_EQ(send(packetLine(2, image.data() + at)), "0");
    EXPECT_EQ(send("PCH12,2,1024"), "?");  // built for new hardware at another address
    EXPECT_EQ(head.program(), NodeProgram::Loader1);
}

TEST_F(SimulatedHeadTest, JumpIntoNothingSilencesTheHead) {
    EXPECT_EQ(send("PCH24,2,786688"), "0");  // no application in flash
    EXPECT_EQ(head.program(), NodeProgram::Crashed);
    EXPECT_EQ(send("PCH?11,2"), "(silent)");
    head.powerOn();
    EXPECT_EQ(send("PCH?11,2"), "21");
}

}  // namespace
