// The device tree as the operator clicks it after a scan of the default rack (RA51 in slots 0
// and 1, an RA56 with NodePods in slot 8): the clicks reach the selection, whose rules the
// operator tests hold in a table, and the boxes, entries, buttons and pictures follow it; the
// processor and panel entries reach their drivers.
#include <tuple>

#include "operator/drivers/amplifier_types.h"
#include "window_fixture.h"

namespace forms_tests {
namespace {

constexpr int kRa51 = 0;
constexpr int kRa56 = 8;

using Selection = WindowTest;

TEST_F(Selection, ClicksReachTheSelectionAndTheWindowFollowsIt) {
    startAndScan();
    EXPECT_TRUE(box(kProcessor)->text().contains("KX43"));
    EXPECT_TRUE(box(Slot(kRa56))->text().contains("RA56"));
    EXPECT_EQ(window().deviceTree()->nodePodPicture(kRa56)->picture(),
              quorvel::NodePodPicture::Normal);
    EXPECT_FALSE(entryEnabled("mnuTransferDown"));

    click(Slot(kRa51));
    triggerButton("SelectAll");
    std::vector<int> ticked;
    for (int slot = 0; slot < quorvel::DeviceInventory::kSlots; ++slot) {
        if (box(Slot(slot))->isEnabled()) {
            EXPECT_TRUE(box(Slot(slot))->isChecked()) << slot;
            ticked.push_back(slot);
        }
    }
    EXPECT_EQ(program->selection().tickedSlots(), ticked);
    EXPECT_GE(ticked.size(), 3u);
    EXPECT_FALSE(box(kProcessor)->isEnabled());
    EXPECT_FALSE(box(kPanel)->isEnabled());
    EXPECT_TRUE(entryEnabled("mnuTransferDown"));
    EXPECT_TRUE(buttonEnabled("Download"));
    EXPECT_FALSE(entryEnabled("mnuTransferNodePodDown"));
    EXPECT_FALSE(buttonEnabled("NodePod"));
    click(kProcessor);  // disabled: nothing changes
    EXPECT_FALSE(box(kProcessor)->isChecked());
    triggerButton("SelectAll");
    EXPECT_TRUE(program->selection().tickedSlots().empty());
    EXPECT_FALSE(box(Slot(kRa51))->isChecked());
    EXPECT_TRUE(box(kProcessor)->isEnabled());
    EXPECT_NE(protocol().indexOf("-->Button SelectAllRA.<--"), -1);

    click(Slot(kRa56));
    EXPECT_TRUE(entryEnabled("mnuTransferNodePodDown"));
    EXPECT_TRUE(buttonEnabled("NodePod"));
    click(Slot(kRa56));

    answerer.rejectEverything(true);  // the drivers' questions and lists: nothing is written
    for (const auto& [device, entry, line] :
         {std::tuple(kProcessor, "mnuToolsActKX43", "-->Activate KX.<--"),
          std::tuple(kPanel, "mnuToolsActDV33", "-->Activate DV.<--")}) {
        click(device);
        EXPECT_TRUE(box(device)->isChecked());
        EXPECT_FALSE(box(Slot(kRa51))->isEnabled());
        ASSERT_TRUE(entryEnabled(entry)) << entry;
        trigger(entry);
        EXPECT_TRUE(protocol().contains(line)) << entry;
        EXPECT_FALSE(window().isLocked());
        click(device);  // untick for the next case
    }

    // A hand-assigned RA56 keeps NodePod disabled.
    ASSERT_TRUE(quorvel::AssignAmplifierType(state(), {kRa56}, "RA56"));
    program->refreshDeviceTree();
    EXPECT_EQ(window().deviceTree()->nodePodPicture(kRa56)->picture(),
              quorvel::NodePodPicture::Disabled);
    click(Slot(kRa56));
    EXPECT_TRUE(box(Slot(kRa56))->isChecked());
    EXPECT_FALSE(entryEnabled("mnuTransferNodePodDown"));
}

}  // namespace
}  // namespace forms_tests
