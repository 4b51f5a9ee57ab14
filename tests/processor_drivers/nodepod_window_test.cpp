// The NodePod window's model against the simulated RA56 and its heads: scan, table and boxes,
// the download into two heads of old and new hardware with their flash compared, the head in
// loader 2 that cannot be chosen, and the rack reset when the window closes.
#include "operator/drivers/nodepod_window.h"

#include <algorithm>

#include "driver_rack.h"
#include "nodepod_heads.h"
#include "operator/drivers/menu_commands.h"
#include "operator/drivers/nodepod_command.h"
#include "operator/drivers/verify_step.h"
#include "rack/nodepod/nodepod_firmware.h"
#include "rack/nodepod/ra56_module.h"
#include "tools/fwgen/nodepod_set.h"

using namespace quorvel;
namespace fw = nodepod_firmware;

namespace driver_tests {
namespace {

constexpr int kSlot = 2;
const QString kStuckMessage = "Error2 switching NODEPOD from Loader2 to Loader1!";

using testing_support::nodePodHead;

// A head in loader 2 without a loader 1 to go back to stays there.
nlohmann::json stuckInLoader2(int id) {
    nlohmann::json node = nodePodHead(id, "2", "loader2");
    node["loader1"] = nullptr;
    return node;
}

const nlohmann::json kRack = {
    {"timing", {{"resetMs", 1500}}},
    {"processor", {{"kind", "KX43"}, {"version", "P2.06"}, {"loaderRevision", "2.10"}}},
    {"slots",
     {{{"slot", 0}, {"kind", "RA51"}, {"firmwareType", 2}},
      {{"slot", kSlot},
       {"kind", "RA56"},
       {"firmwareType", 2},
       {"moduleCode", 16},
       {"amtNumber", 56},
       {"stageMs", 300},
       {"nodes", {nodePodHead(2, "2"), nodePodHead(4, "4"), stuckInLoader2(100)}}}}}};

class NodePodWindowTest : public DriverRackTest {
  protected:
    NodePodWindowTest() { fwgen::writeNodePodSet(downloads().toStdString(), set); }
    rack::nodepod::Ra56Module& ra56() {
        return dynamic_cast<rack::nodepod::Ra56Module&>(*rack().slot(kSlot));
    }
    bool flashHoldsNewApplication(int id) { return testing_support::flashHoldsApplication(*ra56().node(id), set); }

    fwgen::NodePodSet set;
};

// The toolbar button opens the window for the ticked RA56; when the operator lets it go, the
// command resets the rack, as closing the window does.
TEST_F(NodePodWindowTest, ScanDownloadIntoTwoHeadsAndResetOnClose) {
    startOn(kRack);
    CommandDispatcher dispatcher(*context);
    int shown = 0;
    RegisterNodePodCommand(dispatcher, ui, [&](NodePodWindow& window) {
        ++shown;
        ui.expectMessage(kStuckMessage);
        window.scan();
        ASSERT_EQ(window.nodes().size(), 3u);
        EXPECT_EQ(window.frameCaption(), "NODEPOD system components (slot 3)");
        EXPECT_EQ(window.nodes()[0].caption(1), "1 - P1.00, #1002, NodePod-S");
        EXPECT_EQ(window.nodes()[2].caption(3), "NODEPOD in loader2, please reboot NODEPOD!");
        EXPECT_EQ(window.nodes()[1].datName, "NP21");
        EXPECT_EQ(window.nodes()[1].adrL2, 65536) << "new hardware";
        EXPECT_TRUE(window.box(2).marked);
        EXPECT_FALSE(window.box(2).enabled) << "a head in loader 2 cannot be chosen";
        EXPECT_FALSE(window.downloadEnabled());

        window.selectAll();
        EXPECT_TRUE(window.box(0).ticked && window.box(1).ticked);
        EXPECT_FALSE(window.box(2).ticked);
        ASSERT_EQ(window.download("NP21p205.s19", false), 0);
        EXPECT_TRUE(window.box(0).done && !window.box(0).ticked);
        const QStringList steps = testing_support::StepsOfTheRun(ui.positions, ui.positionTimesMs);
        ASSERT_EQ(steps.size(), 10);
        EXPECT_EQ(steps[0], "node 2 (1 of 2) · step 1 of 5 (switch to loader 1)");
        EXPECT_EQ(steps[2], "node 2 (1 of 2) · step 3 of 5 (download firmware)");
        EXPECT_EQ(steps[9], "node 4 (2 of 2) · step 5 of 5 (identify node)");
    });
    const size_t sent = rack().received().size();
    context->selection.amplifierSlots = {0};  // an RA51 has no NodePods
    EXPECT_EQ(dispatcher.dispatch(menu::kNodePodDownload), kOperationDeclined);
    EXPECT_EQ(rack().received().size(), sent);
    EXPECT_EQ(shown, 0);

    context->selection.amplifierSlots = {kSlot};
    ASSERT_EQ(dispatcher.dispatch(menu::kButtonNodePod), 0);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(flashHoldsNewApplication(2));
    EXPECT_TRUE(flashHoldsNewApplication(4));
    const QStringList lines = protocol();
    EXPECT_TRUE(lines.contains("Download loader2 " + downloads("NP21p205.ld2") + "."));
    EXPECT_TRUE(lines.contains("Download loader2 " + downloads("NP21p205N4.ld2") + "."));
    EXPECT_EQ(lines.back(), "-->Download NODEPOD finished.<--");
    EXPECT_EQ(std::count(rack().received().begin(), rack().received().end(), "RST"), 1);
    const auto& statuses = ui.statuses;
    const auto opened = std::find(statuses.begin(), statuses.end(), "NODEPOD download...");
    const auto finished = std::find(opened, statuses.end(), "Download finished!");
    EXPECT_NE(std::find(finished, statuses.end(), "Reset..."), statuses.end());
    EXPECT_EQ(statuses.back(), "Ready");
}

TEST_F(NodePodWindowTest, NodeIdsAskedAndMissingLoaderTwoFile) {
    const std::vector<int> ids = NodePodWindow::ScannedNodeIds();
    ASSERT_EQ(ids.size(), 12u + 28u);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[11], 24);
    EXPECT_EQ(ids[12], 100);
    EXPECT_EQ(ids.back(), 127);

    startOn(kRack);
    std::filesystem::remove(downloads("NP21p205N4.ld2").toStdString());
    NodePodWindow window(*context, ui, kSlot);
    ui.expectMessage(kStuckMessage);
    window.scan();
    window.setTicked(1, true);  // new hardware
    ui.expectMessage(RefusalText(
        "No Loader2 *N4.ld2 file found for selected firmware!\rPlease have a look at "
        "your firmware files installation.\r\rYou'll need this loader2 file for new "
        "NODEPOD hardware revisions.\rPlease get new NODEPOD firmware file versions."));
    const size_t sent = rack().received().size();
    EXPECT_NE(window.download("NP21p205.s19", false), 0);
    EXPECT_EQ(rack().received().size(), sent);

    // The RA56 took the switch, but its last answer went missing: no node is asked, and leaving
    // the window still resets the rack so that the RA56 leaves its download mode.
    startOn(kRack);
    rack().faults().add({"^PCH1,2$", 1, rack::FaultAction::Drop});
    NodePodWindow lost(*context, ui, kSlot);
    ui.expectMessage("Port Timeout!");
    lost.scan();
    EXPECT_TRUE(lost.nodes().empty());
    EXPECT_TRUE(lost.close());
    EXPECT_EQ(std::count(rack().received().begin(), rack().received().end(), "RST"), 1);

    // Each node is identified again before the connection closes: a file whose name promises
    // P2.06 but holds P2.05 fails the run, the table shows what the node runs, and the warning
    // is the one the front end worded.
    startOn(kRack);
    for (const char* suffix : {".s19", ".ld2"})  // node 2 is of the old hardware
        std::filesystem::copy_file(downloads(QString("NP21p205") + suffix).toStdString(),
                                   downloads(QString("NP21p206") + suffix).toStdString());
    NodePodWindow promised(*context, ui, kSlot);
    promised.setLeftInLoaderText("run the command again");
    ui.expectMessage(kStuckMessage);
    promised.scan();
    promised.setTicked(0, true);
    context->startReport("nodepod download");
    ui.expectMessage("Error: the NodePod 2 runs P2.05 after the run, not P2.06.\r" +
                     AdviceLines(AdviceFor(phase::kIdentify, "nodepod download")))
        .expectMessage("run the command again");
    EXPECT_EQ(promised.download("NP21p206.s19", false), kNotAtTarget);
    EXPECT_EQ(promised.nodes()[0].softwareVersion, "2.05");
    EXPECT_TRUE(flashHoldsNewApplication(2));
    EXPECT_TRUE(promised.close());
}

}  // namespace
}  // namespace driver_tests
