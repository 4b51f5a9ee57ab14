// Moving a node between its programs: exact commands, waits and refusals.
#include "link/images/temp_images.h"
#include "link/quorlink.h"
#include "scripted_nodepod.h"

using namespace nodepod_tests;
using testing_support::recordMessage;

namespace {

using SwitchingTest = ScriptedNodePodTest;

// Loader 1: an application is reset first (leftover temporary images deleted before), a node in
// its loader only with reset mode 1; each refusal has its text.
TEST_F(SwitchingTest, LoaderOneActivation) {
    peer->line(cmd("PCH2,5"), "?").line(cmd("PCH11,5,1024"), "0");
    EXPECT_EQ(NodePod_Switch2Loader1(5500, recordMessage, 5, 0, 21, 1024, 2), 0);
    EXPECT_EQ(protocolWaits(), std::vector<int>{2000});
    EXPECT_TRUE(reports.messages.empty());

    ASSERT_NE(quorlink::CreateTempImage(), nullptr);
    peer->line(cmd("PCH11,5,1024"), "0");
    EXPECT_EQ(NodePod_Switch2Loader1(5500, recordMessage, 5, 1, 21, 1024, 0), 0);
    EXPECT_EQ(quorlink::TempImageCount(), 0);

    peer->line(cmd("PCH11,5,65536"), "0");
    EXPECT_EQ(NodePod_Switch2Loader1(5500, recordMessage, 5, 1, 21, 65536, 2), 0);
    peer->line(cmd("PCH2,5"), "0").line(cmd("PCH11,5,65536"), "0");
    EXPECT_EQ(NodePod_Switch2Loader1(5500, recordMessage, 5, 1, 21, 65536, 1), 0);

    peer->line(cmd("PCH2,5"), "?");
    EXPECT_EQ(NodePod_Switch2Loader1(5500, recordMessage, 5, 1, 21, 1024, 1), -2);
    EXPECT_EQ(reports.messages.back().second, "Error switching to bootloader 1!");
    peer->line(cmd("PCH11,5,1024"), "?");
    EXPECT_EQ(NodePod_Switch2Loader1(5500, recordMessage, 5, 1, 21, 1024, 0), -2);
    EXPECT_EQ(reports.messages.back().second, "Error activating bootloader 1!");
    peer->expect(cmd("PCH2,5"));
    EXPECT_EQ(NodePod_Switch2Loader1(5500, recordMessage, 5, 0, 21, 1024, 0), -1);
    EXPECT_EQ(reports.messages.back().second, "Port Timeout!");
}

TEST_F(SwitchingTest, LoaderTwoGivenASecondAndTheApplicationCheckedAfterThree) {
    peer->line(cmd("PCH12,5,1024"), "0").line(cmd("PCH12,5,1024"), "?");
    EXPECT_EQ(NodePod_Switch2Loader2(5500, recordMessage, 5, 21, 1024), 0);
    EXPECT_EQ(protocolWaits(), (std::vector<int>{500, 500}));
    EXPECT_EQ(NodePod_Switch2Loader2(5500, recordMessage, 5, 21, 1024), -2);
    EXPECT_EQ(reports.messages.back().second, "Error starting loader 2!");

    peer->line(cmd("PCH24,5,786688"), "0").line(cmd("PCH?1,5"), "21");
    auto waits = protocolWaits();
    EXPECT_EQ(NodePod_Switch(5500, recordMessage, 5, 21, 786688), 0);
    waits.push_back(3000);
    EXPECT_EQ(protocolWaits(), waits);

    peer->line(cmd("PCH24,5,786688"), "?");
    EXPECT_EQ(NodePod_Switch(5500, recordMessage, 5, 21, 786688), -2);
    EXPECT_EQ(reports.messages.back().second, "Can't start application firmware!");
    peer->line(cmd("PCH24,5,786688"), "0").line(cmd("PCH?1,5"), "?");
    EXPECT_EQ(NodePod_Switch(5500, recordMessage, 5, 21, 786688), -3);
    EXPECT_EQ(reports.messages.back().second,
              "Error starting new application firmware, no communication!");
}

}  // namespace
