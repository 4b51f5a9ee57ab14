// The NodePod exports against the simulated RA56 and its heads: the rack confirms every effect
// (program the head runs, flash contents, versions it reports after the update).
#include <algorithm>

#include "link/quorlink.h"
#include "rack/nodepod/nodepod_firmware.h"
#include "rack/nodepod/ra56_module.h"
#include "nodepod_heads.h"
#include "scripted_nodepod.h"
#include "sim_rack.h"
#include "tools/fwgen/fwgen.h"
#include "tools/fwgen/nodepod_set.h"

using namespace nodepod_tests;
using rack::nodepod::NodeProgram;
using testing_support::nodePodHead;
using testing_support::recordMessage;
using testing_support::recordProgress;
using testing_support::recordStatus;
namespace fw = nodepod_firmware;

namespace {

constexpr int kSlot = 2;
constexpr int kChannel = kSlot + 1;
constexpr int kType = testing_support::kNodePodType;
constexpr int kApplicationAddress = 0xC0100;

nlohmann::json rackWith(const std::vector<nlohmann::json>& nodes,
                        const nlohmann::json& extra = {}) {
    nlohmann::json ra56 = {{"slot", kSlot}, {"kind", "RA56"}, {"stageMs", 300}};
    ra56["nodes"] = nodes;
    if (extra.is_object()) ra56.update(extra);
    // An ordinary amplifier in front of the RA56 answers the rack-wide channel selection.
    const nlohmann::json other = {{"slot", 0}, {"kind", "RA51"}, {"firmwareType", 2}};
    nlohmann::json description;
    description["slots"] = nlohmann::json::array({other, ra56});
    return description;
}

class NodePodRackTest : public testing_support::SimRackTest {
  protected:
    void start(const nlohmann::json& description) {
        useRack(description);
        ASSERT_EQ(open(), 0);
        files = fwgen::writeNodePodSet(scratch.path().string(), set);
    }
    rack::nodepod::Ra56Module& ra56() {
        return dynamic_cast<rack::nodepod::Ra56Module&>(*rack().slot(kSlot));
    }
    rack::nodepod::SimulatedNode& head(int id) { return *ra56().node(id); }
    int setMode(int mode, int channel = kChannel) {
        return NodePod_SetRA56Mode(5500, recordMessage, recordProgress, recordStatus, channel,
                                   mode);
    }
    int downloadMode() { return setMode(1); }
    int downApplication(int kind, const std::string& path, int id, int hardwareCode) {
        return NodePod_DownApplication(5500, recordMessage, recordProgress, kind, path.c_str(), id,
                                       kType, hardwareCode);
    }
    // The head's flash holds the new application exactly, and nothing else in its area.
    void expectApplicationInFlash(int id) { EXPECT_TRUE(testing_support::flashHoldsApplication(head(id), set)); }

    ScratchDirectory scratch;
    fwgen::NodePodSet set;
    fwgen::NodePodFiles files;
};

// New hardware from loader 1 (old hardware from its application is the fault sweep's clean run).
TEST_F(NodePodRackTest, FullUpdateOfNewHardwareStartsTheApplicationForGood) {
    start(rackWith({nodePodHead(100, "4", "loader1")}));
    ASSERT_EQ(downloadMode(), 0);
    ASSERT_EQ(updateHead(files, 100, true, 4), 0) << reports.messages.back().second;
    EXPECT_EQ(head(100).program(), NodeProgram::Application);
    expectApplicationInFlash(100);
    EXPECT_EQ(scanNode(100).firmware, "2.05");
    head(100).powerOn();
    EXPECT_EQ(head(100).program(), NodeProgram::Application);
    EXPECT_EQ(scanNode(100).firmware, "2.05");
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(NodePodRackTest, FailedAndUnfinishedDownloadsAreRecoveredByARepeat) {
    start(rackWith({nodePodHead(2, "2")}));
    ASSERT_EQ(downloadMode(), 0);
    ASSERT_EQ(intoLoader2(2, false, 2, files.loader2Old, 1024), 0);
    ASSERT_EQ(downApplication(0, files.application, 2, 2), 0);
    ASSERT_EQ(NodePod_Switch(5500, recordMessage, 2, kType, kApplicationAddress), 0);
    EXPECT_EQ(scanNode(2).firmware, "2.05");
    head(2).powerOn();
    EXPECT_EQ(head(2).program(), NodeProgram::Loader1);

    ASSERT_EQ(intoLoader2(2, true, 2, files.loader2Old, 1024), 0);
    rack().faults().add({"^PCH30,2,", 30, rack::FaultAction::Drop});
    EXPECT_EQ(downApplication(0, files.application, 2, 2), -1);
    head(2).powerOn();
    EXPECT_EQ(head(2).program(), NodeProgram::Loader1);
    EXPECT_EQ(scanNode(2).state, 2);
    reports.clear();
    ASSERT_EQ(updateHead(files, 2, true, 2), 0) << reports.messages.back().second;
    expectApplicationInFlash(2);
    head(2).powerOn();
    EXPECT_EQ(head(2).program(), NodeProgram::Application);

    set.loader1Version = "1.20";  // loader 1 rewritten, the application kept
    files = fwgen::writeNodePodSet(scratch.path().string(), set);
    ASSERT_EQ(intoLoader2(2, false, 2, files.loader2Old, 1024), 0);
    ASSERT_EQ(downApplication(3, files.loader1, 2, 2), 0);
    EXPECT_EQ(fw::readLoader1Version(head(2).flash().at(fw::kLoader1Start), 64), "1.20");
    ASSERT_EQ(NodePod_Switch2Loader1(5500, recordMessage, 2, 1, kType, 1024, 1), 0);
    EXPECT_EQ(scanNode(2).loader1, "1.20");
    head(2).powerOn();
    EXPECT_EQ(head(2).program(), NodeProgram::Application);
}

// Loader 2 of the other hardware does not start; the right one takes the application and loader 1
// in one file.
TEST_F(NodePodRackTest, ApplicationAndLoaderOneInOneFileOnNewHardware) {
    start(rackWith({nodePodHead(100, "4")}));
    ASSERT_EQ(downloadMode(), 0);
    EXPECT_EQ(intoLoader2(100, false, 2, files.loader2Old, 1024), -2);
    EXPECT_EQ(reports.messages.back().second, "Error starting loader 2!");
    EXPECT_EQ(head(100).program(), NodeProgram::Loader1);
    fw::ApplicationInfo info{kType, "NodePod-S", "3.00"};
    auto parts = fw::buildApplication(info);
    const auto loader1 = fw::buildLoader1({"1.30", fw::Hardware::New});
    parts.insert(parts.end(), loader1.begin(), loader1.end());
    std::vector<fwgen::Segment> segments;
    for (const auto& p : parts) segments.push_back({p.address, p.data});
    const std::string path = scratch.file("combined.s19");
    fwgen::writeFileAtomically(path, fwgen::toSRecord(segments));

    ASSERT_EQ(intoLoader2(100, true, 2, files.loader2New, 65536), 0);
    ASSERT_EQ(downApplication(1, path, 100, 4), 0);
    for (const auto& p : parts)
        EXPECT_TRUE(std::equal(p.data.begin(), p.data.end(), head(100).flash().at(p.address)));
    head(100).powerOn();  // the restart vector came with the file
    EXPECT_EQ(scanNode(100).firmware, "3.00");
}

TEST_F(NodePodRackTest, RefusedDownloadModeAndParameterInitialisation) {
    start(rackWith({nodePodHead(2, "2")}, {{"parameterInitMs", 8000}}));
    EXPECT_EQ(downloadMode(), -3333);
    EXPECT_EQ(reports.messages.back().second,
              "RA56 is in parameter init mode! Please wait a moment and try again!");
    clock.advance(std::chrono::seconds(8));
    EXPECT_EQ(downloadMode(), 0);
    EXPECT_EQ(ra56().state(), rack::nodepod::Ra56State::Download);
    EXPECT_EQ(setMode(2), 0);
    EXPECT_EQ(ra56().state(), rack::nodepod::Ra56State::Normal);
    ra56().setRefuseDownloadMode(true);
    EXPECT_EQ(downloadMode(), -3);
    EXPECT_EQ(reports.messages.back().second, "Error switching RA56 to download mode!");
}

}  // namespace
