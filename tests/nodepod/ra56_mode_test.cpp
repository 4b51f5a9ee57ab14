// Switching an RA56 into its download mode: selection, the two polled steps with their progress,
// and the ways the switch can be refused.
#include "link/quorlink.h"
#include "scripted_nodepod.h"

using namespace nodepod_tests;
using testing_support::recordMessage;
using testing_support::recordProgress;
using testing_support::recordStatus;

namespace {

class Ra56ModeTest : public ScriptedNodePodTest {
  protected:
    int setMode(int mode) {
        return NodePod_SetRA56Mode(5500, recordMessage, recordProgress, recordStatus, 3, mode);
    }
};

TEST_F(Ra56ModeTest, ModeZeroOnlySelects) {
    peer->line(cmd("PCS3"), "0");
    EXPECT_EQ(setMode(0), 0);
    EXPECT_TRUE(reports.progress.empty());
}

TEST_F(Ra56ModeTest, NotSelectable) {
    peer->line(cmd("PCS3"), "?");
    EXPECT_EQ(setMode(1), -2);
    EXPECT_EQ(reports.messages.back().second, "Amplifier RA56 not selectable!");
}

TEST_F(Ra56ModeTest, BackToNormalMode) {
    peer->line(cmd("PCS3"), "0").line(cmd("PCH1,0"), "0");
    EXPECT_EQ(setMode(2), 0);
    peer->line(cmd("PCS3"), "0").line(cmd("PCH1,0"), "?");
    EXPECT_EQ(setMode(2), -5);
    EXPECT_EQ(reports.messages.back().second, "Error switching RA56 to normal mode!");
}

TEST_F(Ra56ModeTest, IntoDownloadModeWithBothPolledSteps) {
    peer->line(cmd("PCS3"), "0")
        .line(cmd("PAR10001"), "?")
        .line(cmd("PCH1,1"), "0")
        .line(cmd("SCH?"), "2,50")
        .line(cmd("SCH?"), "3\t6")
        .line(cmd("SCH?"), "0,0")
        .line(cmd("PCH1,3"), "0")
        .line(cmd("SCH?"), "1,30")
        .line(cmd("SCH?"), "0")
        .line(cmd("PCH1,2"), "0");
    EXPECT_EQ(setMode(1), 0);
    // ((s - 1) + p / 100) * 100 / 6 for the first step, ((s + 2) + p / 100) * 100 / 6 for the
    // second.
    EXPECT_EQ(reports.progress, (std::vector<int>{25, 34, 50, 55, 100}));
    EXPECT_EQ(protocolWaits(), (std::vector<int>{30, 30, 30}));
    ASSERT_EQ(reports.statuses.size(), 1u);
    EXPECT_EQ(reports.statuses[0], std::make_pair(1, std::string("Wait for RA56...")));
}

TEST_F(Ra56ModeTest, PollingStopsAfterAThousandAnswers) {
    peer->line(cmd("PCS3"), "0").line(cmd("PAR10001"), "0").line(cmd("PCH1,1"), "0");
    for (int i = 0; i < 1000; ++i) peer->line(cmd("SCH?"), "1,0");
    peer->line(cmd("PCH1,3"), "?").line(cmd("ACH?0"), "0").line(cmd("SCH?"), "1,0");
    EXPECT_EQ(setMode(1), -3333);
    EXPECT_EQ(protocolWaits().size(), 999u);
}

TEST_F(Ra56ModeTest, RefusedFirstStepOnAnIdleRa56) {
    peer->line(cmd("PCS3"), "0")
        .line(cmd("PAR10001"), "0")
        .line(cmd("PCH1,1"), "?")
        .line(cmd("ACH?0"), "-1")
        .line(cmd("SCH?"), "0,0")
        .line(cmd("PCH1,0"), "?");
    EXPECT_EQ(setMode(1), -3);
    ASSERT_EQ(reports.messages.size(), 1u);
    EXPECT_EQ(reports.messages[0].second, "Error switching RA56 to download mode!");
}

TEST_F(Ra56ModeTest, RefusedSecondStepGoesBackToNormalMode) {
    const auto script = [this](const char* normalAnswer) {
        peer->line(cmd("PCS3"), "0")
            .line(cmd("PAR10001"), "0")
            .line(cmd("PCH1,1"), "0")
            .line(cmd("SCH?"), "0,0")
            .line(cmd("PCH1,3"), "?")
            .line(cmd("ACH?0"), "-1,0")
            .line(cmd("SCH?"), "0,0")
            .line(cmd("PCH1,0"), normalAnswer);
    };
    script("0");
    EXPECT_EQ(setMode(1), -3);
    script("?");
    reports.clear();
    EXPECT_EQ(setMode(1), -5);
    ASSERT_EQ(reports.messages.size(), 2u);
    EXPECT_EQ(reports.messages[0].second, "Error switching RA56 to download mode!");
    EXPECT_EQ(reports.messages[1].second, "Error switching RA56 to normal mode!");
}

TEST_F(Ra56ModeTest, ParameterInitialisation) {
    peer->line(cmd("PCS3"), "0")
        .line(cmd("PAR10001"), "0")
        .line(cmd("PCH1,1"), "?")
        .line(cmd("ACH?0"), "-1")
        .line(cmd("SCH?"), "1,40");
    EXPECT_EQ(setMode(1), -3333);
    EXPECT_EQ(reports.messages.back().second,
              "RA56 is in parameter init mode! Please wait a moment and try again!");
}

TEST_F(Ra56ModeTest, RefusedConfirmation) {
    peer->line(cmd("PCS3"), "0")
        .line(cmd("PAR10001"), "0")
        .line(cmd("PCH1,1"), "0")
        .line(cmd("SCH?"), "0")
        .line(cmd("PCH1,3"), "0")
        .line(cmd("SCH?"), "0")
        .line(cmd("PCH1,2"), "?");
    EXPECT_EQ(setMode(1), -5);
    EXPECT_EQ(reports.messages.back().second, "Error switching RA56 to download mode!");
}

}  // namespace
