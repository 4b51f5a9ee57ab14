// The device tree as the operator clicks it after a scan of the default rack: RA51 in slots 0
// and 1, an RA56 with NodePods in slot 8.
#include "operator/drivers/amplifier_types.h"
#include "window_fixture.h"

namespace forms_tests {
namespace {

constexpr int kRa51 = 0;
constexpr int kSecondRa51 = 1;
constexpr int kRa56 = 8;

using Selection = WindowTest;

// Two amplifiers block processor and panel; one RA56 enables NodePod, unless its type was given
// by hand.
TEST_F(Selection, ScanShowsEveryDeviceAndClicksFollowTheEnablingRules) {
    startAndScan();
    EXPECT_TRUE(box(kProcessor)->isVisible());
    EXPECT_TRUE(box(kProcessor)->text().contains("KX43"));
    EXPECT_TRUE(box(Slot(kRa56))->text().contains("RA56"));
    EXPECT_EQ(window().deviceTree()->nodePodPicture(kRa56)->picture(),
              quorvel::NodePodPicture::Normal);
    EXPECT_FALSE(entryEnabled("mnuTransferDown"));

    click(Slot(kRa51));
    click(Slot(kSecondRa51));
    EXPECT_TRUE(box(Slot(kRa51))->isChecked());
    EXPECT_FALSE(box(kProcessor)->isEnabled());
    EXPECT_FALSE(box(kPanel)->isEnabled());
    EXPECT_TRUE(entryEnabled("mnuTransferDown"));
    EXPECT_TRUE(buttonEnabled("Download"));
    click(kProcessor);  // disabled: nothing changes
    EXPECT_FALSE(box(kProcessor)->isChecked());

    click(Slot(kRa51));
    EXPECT_FALSE(box(kPanel)->isEnabled());
    click(Slot(kSecondRa51));
    EXPECT_TRUE(box(kProcessor)->isEnabled());
    EXPECT_TRUE(box(kPanel)->isEnabled());
    click(kPanel);
    EXPECT_TRUE(box(kPanel)->isChecked());
    EXPECT_FALSE(box(Slot(kRa51))->isEnabled());
    EXPECT_TRUE(entryEnabled("mnuToolsActDV33"));
    click(kPanel);

    // One RA56 enables NodePod until a second amplifier is ticked.
    click(Slot(kRa56));
    EXPECT_TRUE(entryEnabled("mnuTransferNodePodDown"));
    EXPECT_TRUE(buttonEnabled("NodePod"));
    click(Slot(kRa51));
    EXPECT_FALSE(entryEnabled("mnuTransferNodePodDown"));
    EXPECT_FALSE(buttonEnabled("NodePod"));
    click(Slot(kRa51));
    EXPECT_TRUE(entryEnabled("mnuTransferNodePodDown"));
    click(Slot(kRa56));

    // A hand-assigned RA56 keeps NodePod disabled.
    ASSERT_TRUE(quorvel::AssignAmplifierType(state(), {kRa56}, "RA56"));
    program->refreshDeviceTree();
    EXPECT_EQ(window().deviceTree()->nodePodPicture(kRa56)->picture(),
              quorvel::NodePodPicture::Disabled);
    click(Slot(kRa56));
    EXPECT_TRUE(box(Slot(kRa56))->isChecked());
    EXPECT_FALSE(entryEnabled("mnuTransferNodePodDown"));
}

TEST_F(Selection, SelectAllTicksEveryEnabledAmplifierAndUnticksThemTheSecondTime) {
    startAndScan();
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
    triggerButton("SelectAll");
    EXPECT_TRUE(program->selection().tickedSlots().empty());
    EXPECT_FALSE(box(Slot(kRa51))->isChecked());
    EXPECT_TRUE(box(kProcessor)->isEnabled());
    EXPECT_NE(protocol().indexOf("-->Button SelectAllRA.<--"), -1);
}

}  // namespace
}  // namespace forms_tests
