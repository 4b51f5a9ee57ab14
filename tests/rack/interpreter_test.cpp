// The rack's interpreter: DC2 wake-up, silence while it resets, one answer per command line,
// what a lost connection drops. (Sleep after "DCL", the baud settings and the record of received
// commands are checked through the library against the rack.)
#include "rack/core/system_processor.h"
#include "rack_fixture.h"

using namespace rack_testing;

namespace {

class InterpreterTest : public RackTest {
  protected:
    InterpreterTest() { build(kPlainRack); }
    rack::SystemProcessor& processor() {
        return dynamic_cast<rack::SystemProcessor&>(*rack().processor());
    }
};

// DC2 discards a half-received line; one answer line per command, "?" for an unknown one; a reset
// is silent for the reset time and needs DC2 afterwards; a host disconnect drops half lines and
// queued answers, a serial line's close only the answers. Each component takes only the line end
// its commands use: LF alone for the KX43's loader commands, CR LF for everything else; a line with
// the other end is answered "?".
TEST_F(InterpreterTest, AsleepUntilDc2ThenOneAnswerLinePerCommandAndSilentWhileResetting) {
    EXPECT_EQ(ask("IDN?"), "<none>");
    EXPECT_FALSE(rack().awake());
    EXPECT_EQ(ask("\x12IDN?"), "QTX,KX43,0,P1.41\r\n");
    EXPECT_TRUE(rack().awake());
    EXPECT_EQ(ask("HWR?"), "\"A01\"\r\n");

    send("\x12PRC");
    EXPECT_EQ(ask("\x12HWR?"), "\"A01\"\r\n");

    send("\x12PRC?11\r\nFOO\r\nSRB1\nPRC10\r\n");
    EXPECT_EQ(next()->bytes, "P1.41\r\n");
    EXPECT_EQ(next()->bytes, "?\r\n");
    EXPECT_EQ(next()->bytes, "0\r\n");
    EXPECT_EQ(next()->bytes, "0\r\n");
    EXPECT_FALSE(next());
    EXPECT_TRUE(processor().multiMaster());
    EXPECT_EQ(ask("RST", 1000), "<none>");
    EXPECT_EQ(ask("\x12IDN?", 3999), "<none>");  // lost: still resetting
    EXPECT_EQ(ask("IDN?", 4001), "<none>");      // up again, but asleep
    EXPECT_EQ(ask("\x12IDN?", 4002), "QTX,KX43,0,P1.41\r\n");
    EXPECT_FALSE(processor().multiMaster());

    send("\x12IDN?\r\nHWR");
    rack().hostDisconnected();
    EXPECT_FALSE(next());
    EXPECT_EQ(ask("PRC?11"), "P1.41\r\n");  // not "HWRPRC?11"

    send("\x12IDN?\r\nPRC?");
    rack().serialLineClosed();
    EXPECT_FALSE(next());
    EXPECT_EQ(ask("11"), "P1.41\r\n");  // the half line survives, as on a real serial line

    struct Case {
        const char* processor;
        std::string bytes;
        std::string answer;
    };
    const Case cases[] = {
        {"KX43", "PRC?9\n", "1\r\n"},
        {"KX43", "PRC?9\r\n", "?\r\n"},
        {"KX43", "DID?\r\n", "QTX,DV43A,P4.02,1.00,0012345\r\n"},
        {"KX43", "DID?\n", "?\r\n"},
        {"KX33", "SRB1\r\n", "0\r\n"},
        {"KX33", "SRB1\n", "?\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.processor) + " " + c.bytes);
        build({{"processor", {{"kind", c.processor}, {"bootLoader", true}}},
               {"panel", {{"kind", "DV43A"}, {"version", "P4.02"}}}});
        send("\x12" + c.bytes);
        const auto answer = next();
        EXPECT_EQ(answer ? answer->bytes : "<none>", c.answer);
    }
}

}  // namespace
