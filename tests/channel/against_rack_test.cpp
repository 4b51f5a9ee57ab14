// The connection and system commands against the simulated rack; the rack confirms the effects.
#include <gtest/gtest.h>

#include "link/quorlink.h"
#include "rack/core/system_processor.h"
#include "sim_rack.h"

using namespace testing_support;

namespace {

const nlohmann::json kRack = {{"timing", {{"resetMs", 20000}}},
                              {"processor",
                               {{"kind", "KX43"},
                                {"identity", "QTX,KX43,0,P1.52"},
                                {"version", "P1.52"},
                                {"baudSetting", "9600,2,1,0"}}}};

class AgainstRackTest : public SimRackTest {
  protected:
    rack::SystemProcessor& processor() {
        return dynamic_cast<rack::SystemProcessor&>(*rack().processor());
    }
};

// A reset longer than the rack's reset time comes back at once; a shorter one needs the second
// attempt.
TEST_F(AgainstRackTest, QueryBaudRateMultiMasterResetsAndClose) {
    useRack(kRack);
    ASSERT_EQ(open(), 0);
    char version[40] = {};
    int32_t length = 0;
    EXPECT_EQ(CheckVersion(version, &length), 0);
    EXPECT_STREQ(version, "P1.52");
    EXPECT_EQ(SetBdrVTX(38400, 3000, recordMessage, 2, "odd", 2), 0);
    EXPECT_EQ(processor().identity().baudSetting, "38400,1,2,0");
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 1, "e", 1), 0);
    EXPECT_TRUE(processor().compatibleBaud());
    EXPECT_EQ(lastMessage(), "Internal Baudrate have been succesfully reset to be compatible!");
    EXPECT_EQ(SetBdrVTX(57600, 3000, recordMessage, 0, "e", 1), 0);
    EXPECT_EQ(processor().identity().baudSetting, "57600,2,1,0");
    EXPECT_EQ(MultiMasterMode(recordMessage, recordProgress, 0), 0);
    EXPECT_TRUE(processor().multiMaster());
    EXPECT_EQ(CloseConnection(), 0);
    EXPECT_FALSE(rack().awake());  // "DCL" put the interpreter to sleep

    ASSERT_EQ(open(), 0);
    reports.clear();
    clock.clearWaits();
    EXPECT_EQ(ResetVTX(recordMessage, recordProgress, 25), 0);
    const auto waits = clock.waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 11000), 0);
    EXPECT_EQ(reports.progress.size(), 125u);
    EXPECT_TRUE(rack().awake());

    clock.clearWaits();
    EXPECT_EQ(ResetVTX(recordMessage, recordProgress, 15), 0);
    const auto shorter = clock.waits();
    EXPECT_EQ(std::count(shorter.begin(), shorter.end(), 11000), 1);
    EXPECT_TRUE(reports.messages.empty());
}

// A dropped SRB1 answer fails the open (the rule fires once); a connection cut mid-answer fails
// the command quickly.
TEST_F(AgainstRackTest, DroppedSrb1AndACutConnection) {
    auto& r = useRack(kRack);
    r.faults().add({"^SRB1$", 1, rack::FaultAction::Drop});
    r.faults().add({"^PRC\\?11$", 1, rack::FaultAction::Close});
    EXPECT_EQ(open(), -1);
    EXPECT_EQ(reports.messages.back().second, "Port Timeout!");
    reports.clear();
    ASSERT_EQ(open(), 0);
    const auto before = clock.nowMs();
    char version[40];
    int32_t length = 0;
    EXPECT_EQ(CheckVersion(version, &length), -1);
    EXPECT_LT(clock.nowMs() - before, 100);
}

}  // namespace
