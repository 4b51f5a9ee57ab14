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
    void rule(const std::string& pattern, rack::FaultAction action, int occurrence = 1,
              int delayMs = 0) {
        rack().faults().add({pattern, occurrence, action, delayMs});
    }
};

// A rule spoils only the answers it picks; the commands are asked in turn.
struct AnswerCase {
    rack::FaultRule rule;
    std::vector<std::string> commands;
    std::vector<std::string> answers;
};

// A delay shifts the answer; power-off silences the owner until the rack resets; close hangs up
// after the earlier answers. A rule spoils only the answers it picks; the commands are asked in
// turn.
TEST_F(FaultsTest, EachActionAndRulesFromTheRackFile) {
    rule("SRB1", rack::FaultAction::Delay, 1, 2500);
    send("SRB1\r\n", 100);
    const auto answer = next();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->bytes, "0\r\n");
    EXPECT_EQ(answer->readyAtMs, 2600);

    rule("PRC\\?11", rack::FaultAction::PowerOff);
    EXPECT_EQ(ask("PRC?11"), "<none>");
    EXPECT_FALSE(rack().processor()->powered());
    EXPECT_EQ(ask("IDN?"), "<none>");
    rack().reset();
    EXPECT_TRUE(rack().processor()->powered());

    rule("HWR", rack::FaultAction::Close);
    send("\x12IDN?\r\nHWR?\r\n", 10000);  // awake again after the reset time
    EXPECT_EQ(next()->bytes, "QTX,KX43,0,P1.41\r\n");
    const auto cut = next();
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->hangUp);

    const AnswerCase cases[] = {
        {{"^PRC\\?11$", 2, rack::FaultAction::Drop},
         {"PRC?11", "PRC?11", "PRC?11"},
         {"P1.41\r\n", "<none>", "P1.41\r\n"}},
        {{"IDN", 1, rack::FaultAction::Garble}, {"IDN?"}, {"\x0BTX,KX43,0,P1.41\r\n"}},
        {{"PRC10", 1, rack::FaultAction::Question}, {"PRC10"}, {"?\r\n"}},
        {{"IDN", 0, rack::FaultAction::Question, 0, 2},
         {"IDN?", "IDN?", "IDN?"},
         {"?\r\n", "?\r\n", "QTX,KX43,0,P1.41\r\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule.pattern);
        build(kPlainRack);
        send("\x12");
        rack().faults().add(c.rule);
        std::vector<std::string> answers;
        for (const auto& command : c.commands) answers.push_back(ask(command));
        EXPECT_EQ(answers, c.answers);
    }

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
