// Fault rules: each action, occurrence counting, limits, and rules from the rack file.
#include "rack_fixture.h"

using namespace rack_testing;

namespace {

class FaultsTest : public RackTest {
protected:
    FaultsTest() {
        build(kPlainRack);
        send("\x12");
    }
    void rule(const std::string& pattern, rack::FaultAction action, int occurrence = 1, int delayMs = 0) {
        rack().faults().add({pattern, occurrence, action, delayMs});
    }
};

TEST_F(FaultsTest, DropLosesOnlyTheChosenOccurrence) {
    rule("^PRC\\?11$", rack::FaultAction::Drop, 2);
    EXPECT_EQ(ask("PRC?11"), "P1.41\r\n");
    EXPECT_EQ(ask("PRC?11"), "<none>");
    EXPECT_EQ(ask("PRC?11"), "P1.41\r\n");
    EXPECT_EQ(rack().faults().fired(), 1u);
}

TEST_F(FaultsTest, GarbleChangesTheFirstByte) {
    rule("IDN", rack::FaultAction::Garble);
    const std::string answer = ask("IDN?");
    EXPECT_NE(answer[0], 'Q');
    EXPECT_EQ(answer.substr(1), "TX,KX43,0,P1.41\r\n");
}

TEST_F(FaultsTest, DelayShiftsTheAnswer) {
    rule("SRB1", rack::FaultAction::Delay, 1, 2500);
    send("SRB1\r\n", 100);
    const auto answer = next();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->bytes, "0\r\n");
    EXPECT_EQ(answer->readyAtMs, 2600);
}

TEST_F(FaultsTest, QuestionReplacesTheAnswer) {
    rule("PRC10", rack::FaultAction::Question);
    EXPECT_EQ(ask("PRC10"), "?\r\n");
}

TEST_F(FaultsTest, CloseHangsUpAfterEarlierAnswers) {
    rule("HWR", rack::FaultAction::Close);
    send("IDN?\r\nHWR?\r\n", 10);
    EXPECT_EQ(next()->bytes, "QTX,KX43,0,P1.41\r\n");
    const auto cut = next();
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->hangUp);
}

TEST_F(FaultsTest, PowerOffSilencesTheOwnerUntilTheRackResets) {
    rule("PRC\\?11", rack::FaultAction::PowerOff);
    EXPECT_EQ(ask("PRC?11"), "<none>");
    EXPECT_FALSE(rack().processor()->powered());
    EXPECT_EQ(ask("IDN?"), "<none>");
    rack().reset();
    EXPECT_TRUE(rack().processor()->powered());
}

TEST_F(FaultsTest, EveryOccurrenceWithALimit) {
    rack().faults().add({"IDN", 0, rack::FaultAction::Question, 0, 2});
    EXPECT_EQ(ask("IDN?"), "?\r\n");
    EXPECT_EQ(ask("IDN?"), "?\r\n");
    EXPECT_EQ(ask("IDN?"), "QTX,KX43,0,P1.41\r\n");
}

TEST_F(FaultsTest, RulesComeFromTheRackFile) {
    auto description = kPlainRack;
    description["faults"] = {{{"pattern", "BDR\\?"}, {"occurrence", 1}, {"action", "question"}},
                             {{"pattern", "HWR"}, {"action", "delay"}, {"delayMs", 700}}};
    build(description);
    send("\x12");
    EXPECT_EQ(ask("BDR?"), "?\r\n");
    EXPECT_EQ(ask("BDR?"), "9600,2,1,0\r\n");
    send("HWR?\r\n", 50);
    EXPECT_EQ(next()->readyAtMs, 750);
}

}  // namespace
