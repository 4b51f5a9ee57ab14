// ventrix-sim as its own process over TCP with the real clock: the default rack's amplifier slots
// are identified as the scan sees them.
#include <gtest/gtest.h>

#include "amplifier_rack.h"
#include "link/quorlink.h"
#include "linkpad/linkpad.h"
#include "rack/sim/sim_process.h"

using namespace testing_support;

namespace {

TEST(AmplifierEndToEnd, DefaultRackSlotsAreIdentifiedOverTcp) {
    rack::sim::SimProcess sim(VENTRIX_SIM, {"--rack", DEFAULT_RACK, "--tcp", "127.0.0.1:0", "--quiet"});
    ASSERT_EQ(OpenConnection(QTX_PORT_TCP, 0, sim.where().c_str(), 0, 0, 6000, recordMessage, -1, 0), 0);
    const auto application = identifySlot(0, 1);
    EXPECT_EQ(application.result, 0);
    EXPECT_EQ(application.identity, "QTX-RA51,RA51-WS050,0,P2.06");
    EXPECT_EQ(application.amplifierMode, 12);
    const auto loader = identifySlot(7, 1);
    EXPECT_EQ(loader.loaderFlag, 1);
    EXPECT_EQ(loader.identity, "QTX-RA51,RA51-WS050,L1,V1.02,0012");
    const auto empty = identifySlot(15, 1);
    EXPECT_EQ(empty.identity, "not detected");
    EXPECT_EQ(CloseConnection(), 0);
}

}  // namespace
