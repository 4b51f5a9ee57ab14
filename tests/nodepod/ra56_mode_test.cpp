// Switching an RA56 into its download mode: selection, the two polled steps with their progress,
// and the ways the switch can be refused.
#include "link/quorlink.h"
#include "scripted_nodepod.h"

using namespace nodepod_tests;
using testing_support::recordMessage;
using testing_support::recordProgress;
using testing_support::recordStatus;

namespace {

const Script kSelectAndStart = {{"PCS3", "0"}, {"PAR10001", "0"}};
const Script kFirstStepRefused = {{"PCH1,1", "?"}, {"ACH?0", "-1"}};
const Script kSecondStepRefused = {
    {"PCH1,1", "0"}, {"SCH?", "0,0"}, {"PCH1,3", "?"}, {"ACH?0", "-1,0"}, {"SCH?", "0,0"}};
constexpr const char* kNotDownload = "Error switching RA56 to download mode!";
constexpr const char* kNotNormal = "Error switching RA56 to normal mode!";
constexpr const char* kParameterInit =
    "RA56 is in parameter init mode! Please wait a moment and try again!";

struct ModeCase {
    const char* what;
    int mode;
    std::vector<Script> script;  // joined in order
    int result;
    std::vector<std::string> messages;
};

const std::vector<ModeCase> kModes = {
    {"mode zero only selects", 0, {{{"PCS3", "0"}}}, 0, {}},
    {"not selectable", 1, {{{"PCS3", "?"}}}, -2, {"Amplifier RA56 not selectable!"}},
    {"back to normal mode", 2, {{{"PCS3", "0"}, {"PCH1,0", "0"}}}, 0, {}},
    {"normal mode refused", 2, {{{"PCS3", "0"}, {"PCH1,0", "?"}}}, -5, {kNotNormal}},
    {"refused first step on an idle RA56",
     1,
     {kSelectAndStart, kFirstStepRefused, {{"SCH?", "0,0"}, {"PCH1,0", "?"}}},
     -3,
     {kNotDownload}},
    {"parameter initialisation",
     1,
     {kSelectAndStart, kFirstStepRefused, {{"SCH?", "1,40"}}},
     -3333,
     {kParameterInit}},
    {"refused second step goes back to normal mode",
     1,
     {kSelectAndStart, kSecondStepRefused, {{"PCH1,0", "0"}}},
     -3,
     {kNotDownload}},
    {"refused second step and normal mode",
     1,
     {kSelectAndStart, kSecondStepRefused, {{"PCH1,0", "?"}}},
     -5,
     {kNotDownload, kNotNormal}},
    {"refused confirmation",
     1,
     {kSelectAndStart,
      {{"PCH1,1", "0"}, {"SCH?", "0"}, {"PCH1,3", "0"}, {"SCH?", "0"}, {"PCH1,2", "?"}}},
     -5,
     {kNotDownload}},
};

class Ra56ModeTest : public ScriptedNodePodTest {
  protected:
    int setMode(int mode) {
        return NodePod_SetRA56Mode(5500, recordMessage, recordProgress, recordStatus, 3, mode);
    }
};

TEST_F(Ra56ModeTest, SelectionNormalModeAndRefusalsOfEachStep) {
    for (const ModeCase& c : kModes) {
        SCOPED_TRACE(c.what);
        reports.clear();
        for (const Script& part : c.script) play(part);
        EXPECT_EQ(setMode(c.mode), c.result);
        EXPECT_EQ(messageTexts(), c.messages);
        if (c.result == 0) {
            EXPECT_TRUE(reports.progress.empty());
        }
    }
}

TEST_F(Ra56ModeTest, IntoDownloadModeWithBothPolledStepsAndPollingStopsAfterAThousand) {
    play({{"PCS3", "0"},
          {"PAR10001", "?"},
          {"PCH1,1", "0"},
          {"SCH?", "2,50"},
          {"SCH?", "3\t6"},
          {"SCH?", "0,0"},
          {"PCH1,3", "0"},
          {"SCH?", "1,30"},
          {"SCH?", "0"},
          {"PCH1,2", "0"}});
    EXPECT_EQ(setMode(1), 0);
    // ((s - 1) + p / 100) * 100 / 6 for the first step, ((s + 2) + p / 100) * 100 / 6 for the
    // second.
    EXPECT_EQ(reports.progress, (std::vector<int>{25, 34, 50, 55, 100}));
    EXPECT_EQ(protocolWaits(), (std::vector<int>{30, 30, 30}));
    ASSERT_EQ(reports.statuses.size(), 1u);
    EXPECT_EQ(reports.statuses[0], std::make_pair(1, std::string("Wait for RA56...")));

    play({{"PCS3", "0"}, {"PAR10001", "0"}, {"PCH1,1", "0"}});
    for (int i = 0; i < 1000; ++i) peer->line(cmd("SCH?"), "1,0");
    play({{"PCH1,3", "?"}, {"ACH?0", "0"}, {"SCH?", "1,0"}});
    EXPECT_EQ(setMode(1), -3333);
    EXPECT_EQ(protocolWaits().size(), 3u + 999u) << "three waits of the first run";
}

}  // namespace
