// The KX33 restart: the stepped wait, the wake-up and the re-established interpreter.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/quorlink.h"
#include "link_fixture.h"

using namespace testing_support;

namespace {

class Kx33EstablishTest : public ScriptedLinkTest {
protected:
    void SetUp() override {
        ScriptedLinkTest::SetUp();
        // Restart, wake-up, then the TCP port is re-opened and the interpreter woken again.
        peer->expect("PRC9,1\r\n").expect("\x12\r\n").expect("DCL\r\n");
    }
};

// In each test the second scriptOpen plays the re-established interpreter.
TEST_F(Kx33EstablishTest, RestartWaitIsTakenInStepsOf200Ms) {
    scriptOpen(*peer);
    EXPECT_EQ(EstabKX33(6000, recordMessage, recordProgress, recordStatus, nullptr, 1, 4, "", "", ""), 0);
    const auto waits = clock.waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 200), 10);
    EXPECT_EQ(reports.progress, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_EQ(reports.statuses.front(), std::make_pair(5, std::string("Restart OS...")));
}

TEST_F(Kx33EstablishTest, NoRestartWaitSendsTheWakeUpAtOnce) {
    scriptOpen(*peer);
    EXPECT_EQ(EstabKX33(6000, recordMessage, recordProgress, recordStatus, nullptr, 0, 4, "", "", ""), 0);
    EXPECT_EQ(clock.waits().front(), 5);   // before "PRC9,1"
    EXPECT_EQ(clock.waits()[1], 5);        // before "DCL": nothing between restart and wake-up
    const auto& writes = peer->writes();
    const auto restart = std::find(writes.begin(), writes.end(), "PRC9,1\r\n");
    ASSERT_NE(restart, writes.end());
    EXPECT_EQ(*std::next(restart), "\x12\r\n");
}

TEST_F(Kx33EstablishTest, SilentSystemAfterTheRestartFails) {
    // Both attempts wake nobody.
    peer->expectActivate(false).expect("DCL\r\n").expectActivate(false);
    EXPECT_EQ(EstabKX33(6000, recordMessage, recordProgress, recordStatus, nullptr, 0, 4, "", "", ""), -1);
    EXPECT_EQ(lastMessage(), "Error reset system, maybe timeout!");
}

}  // namespace
