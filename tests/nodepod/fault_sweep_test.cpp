// Faults at every phase of the NodePod download of one head (see fault_sweep.h): download mode,
// loader 1 and 2, the application with its test start, the restart vector and the final start.
// Success is the head running the application from a flash equal to the firmware.
#include <gtest/gtest.h>

#include "fault_sweep.h"
#include "nodepod_heads.h"
#include "link/quorlink.h"
#include "rack/nodepod/ra56_module.h"
#include "scripted_nodepod.h"
#include "tools/fwgen/nodepod_set.h"

using namespace testing_support;
using nodepod_tests::scanNode;
using rack::nodepod::NodeProgram;

namespace {

constexpr int kSweepSlot = 2;
constexpr int kNode = 2;
constexpr int kHardwareCode = 2;

class NodePodDownloadSweep : public FaultSweepFixture {
protected:
    NodePodDownloadSweep() { files = fwgen::writeNodePodSet(scratch.path().string(), set); }
    void startRack() override {
        const nlohmann::json ra56 = {{"slot", kSweepSlot}, {"kind", "RA56"}, {"stageMs", 300}, {"nodes", nlohmann::json::array({nodePodHead(kNode, "2")})}};
        const nlohmann::json other = {{"slot", 0}, {"kind", "RA51"}, {"firmwareType", 2}};
        useRack({{"timing", {{"resetMs", 3000}}}, {"slots", nlohmann::json::array({other, ra56})}});
        ASSERT_EQ(open(), 0);
    }
    // The download window's sequence; where the head is now (application or a loader) comes from
    // the scan, as in the window.
    int runLoader() override {
        if (int r = NodePod_SetRA56Mode(5500, recordMessage, recordProgress, recordStatus, kSweepSlot + 1, 1)) return r;
        return nodepod_tests::updateHead(files, kNode, scanNode(kNode).state != 1, kHardwareCode);
    }
    bool effectComplete() override {
        auto& head = *dynamic_cast<rack::nodepod::Ra56Module&>(*rack().slot(kSweepSlot)).node(kNode);
        if (head.program() != NodeProgram::Application || !flashHoldsApplication(head, set)) return false;
        head.powerOn();  // the restart vector must start the application on its own
        return head.program() == NodeProgram::Application;
    }
    // "Please leave NODEPOD download window, switch Ventrix and NODEPOD(s) off and on": a failed
    // download may leave the RA56 in its download mode and the head in a loader.
    void recover(rack::FaultAction) override { powerCycle(); }
    std::filesystem::path workFolder() const override { return scratch.path(); }
    std::vector<std::filesystem::path> keptFiles() const override { return {files.application, files.loader2Old}; }

    nodepod_tests::ScratchDirectory scratch;
    fwgen::NodePodSet set;
    fwgen::NodePodFiles files;
};

TEST_F(NodePodDownloadSweep, FaultSweep) { sweep("NodePod download"); }

}  // namespace
