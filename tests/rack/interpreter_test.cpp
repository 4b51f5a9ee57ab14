// The rack's interpreter: DC2 wake-up, sleep after "DCL", silence while it resets, the
// processor's rack-wide commands.
#include "rack/core/system_processor.h"
#include "rack_fixture.h"

using namespace rack_testing;

namespace {

class InterpreterTest : public RackTest {
protected:
    InterpreterTest() { build(kPlainRack); }
    rack::SystemProcessor& processor() { return dynamic_cast<rack::SystemProcessor&>(*rack().processor()); }
};

TEST_F(InterpreterTest, AsleepUntilDc2) {
    EXPECT_EQ(ask("IDN?"), "<none>");
    EXPECT_FALSE(rack().awake());
    EXPECT_EQ(ask("\x12IDN?"), "QTX,KX43,0,P1.41\r\n");
    EXPECT_TRUE(rack().awake());
    EXPECT_EQ(ask("HWR?"), "\"A01\"\r\n");
}

TEST_F(InterpreterTest, Dc2DiscardsAHalfReceivedLine) {
    send("\x12PRC");
    EXPECT_EQ(ask("\x12HWR?"), "\"A01\"\r\n");
}

TEST_F(InterpreterTest, OneAnswerLinePerCommandAndQuestionMarkForUnknown) {
    send("\x12PRC?11\r\nFOO\r\nSRB1\nPRC10\r\n");
    EXPECT_EQ(next()->bytes, "P1.41\r\n");
    EXPECT_EQ(next()->bytes, "?\r\n");
    EXPECT_EQ(next()->bytes, "0\r\n");
    EXPECT_EQ(next()->bytes, "0\r\n");
    EXPECT_FALSE(next());
    EXPECT_TRUE(processor().multiMaster());
}

TEST_F(InterpreterTest, DclPutsTheInterpreterToSleep) {
    send("\x12");
    EXPECT_EQ(ask("DCL"), "<none>");
    EXPECT_EQ(ask("IDN?"), "<none>");
    EXPECT_EQ(ask("\x12IDN?"), "QTX,KX43,0,P1.41\r\n");
}

TEST_F(InterpreterTest, ResetIsSilentForTheResetTimeAndNeedsDc2Afterwards) {
    send("\x12PRC10\r\n");
    next();
    EXPECT_EQ(ask("RST", 1000), "<none>");
    EXPECT_EQ(ask("\x12IDN?", 3999), "<none>");  // lost: still resetting
    EXPECT_EQ(ask("IDN?", 4001), "<none>");      // up again, but asleep
    EXPECT_EQ(ask("\x12IDN?", 4002), "QTX,KX43,0,P1.41\r\n");
    EXPECT_FALSE(processor().multiMaster());
}

TEST_F(InterpreterTest, BaudSettingIsKept) {
    send("\x12");
    EXPECT_EQ(ask("BDR?"), "9600,2,1,0\r\n");
    EXPECT_EQ(ask("BDR38400,1,2,0"), "<none>");  // takes effect at once, no answer at the old rate
    EXPECT_EQ(ask("BDR?"), "38400,1,2,0\r\n");
    EXPECT_FALSE(processor().compatibleBaud());
}

TEST_F(InterpreterTest, CompatibleBaudResetAnswersAndUsesEvenParityOneStopBit) {
    send("\x12");
    EXPECT_EQ(ask("BDR19200,,,4"), "0\r\n");
    EXPECT_TRUE(processor().compatibleBaud());
    EXPECT_EQ(ask("BDR?"), "19200,2,1,0\r\n");
}

TEST_F(InterpreterTest, HostDisconnectDropsHalfLinesAndQueuedAnswers) {
    send("\x12IDN?\r\nHWR");
    rack().hostDisconnected();
    EXPECT_FALSE(next());
    EXPECT_EQ(ask("PRC?11"), "P1.41\r\n");  // not "HWRPRC?11"
}

TEST_F(InterpreterTest, ReceivedCommandsAreRecorded) {
    send("\x12IDN?\r\nBDR?\r\n");
    EXPECT_EQ(rack().received(), (std::vector<std::string>{"IDN?", "BDR?"}));
}

}  // namespace
