// The device selection: a rack inventory, a sequence of clicks, and what is ticked, what can be
// ticked and which selection-dependent entries are enabled afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "operator/drivers/device_selection.h"

using namespace quorvel;

namespace {

void putModule(ProgramState& s, int slot, const QString& type, const QString& version = "P2.06") {
    SlotRecord& r = s.Inventory.slotRecords[slot];
    r.Present = true;
    r.Slot = slot;
    r.Identity = "QTX-" + type + "," + type + "-WS050,0," + version;
    r.IdentifiedType = type;
    r.SoftwareVersion = version;
}

// KX43 processor, a panel, modules in slots 0-4 and 15, slot 5 empty; the rest never scanned.
ProgramState scannedRack() {
    ProgramState s;
    s.Inventory.processor.Identity = "QTX,KX43,0,P1.41";
    s.Inventory.processor.ProcessorType = "KX43";
    s.Inventory.panel.Present = true;
    s.Inventory.panel.Identity = "QTX,DV43A,P4.10";
    putModule(s, 0, "RA51");
    putModule(s, 1, "RA56");
    putModule(s, 2, "RA901B", "P6.48");
    putModule(s, 3, "RA40B");
    putModule(s, 4, "RA50");
    putModule(s, 15, "RA51");
    s.Inventory.slotRecords[5].Present = true;
    s.Inventory.slotRecords[5].Identity = "not detected";
    s.Inventory.scanned = true;
    return s;
}

enum class On { Processor, Panel, Slot, SelectAll, NodePod };
struct Click {
    On on;
    int slot = 0;
    bool tick = true;
};

bool apply(DeviceSelection& selection, const Click& c) {
    switch (c.on) {
        case On::Processor:
            return selection.setProcessorTicked(c.tick);
        case On::Panel:
            return selection.setPanelTicked(c.tick);
        case On::Slot:
            return selection.setSlotTicked(c.slot, c.tick);
        case On::SelectAll:
            return selection.SelectAllAmplifiers();
        case On::NodePod:
            selection.clickNodePod(c.slot);
            return true;
    }
    return false;
}

const QStringList kAmplifierBase = {"mnuTransferDown", "Download", "mnuToolsClrUcc",
                                    "mnuToolsActRAxx", "SelectAll"};

struct SelectionCase {
    const char* name;
    std::function<void(ProgramState&)> setup;
    std::vector<Click> clicks;
    std::vector<int> ticked;
    bool processorEnabled;
    bool panelEnabled;
    QStringList enabled;  // every enabled selection-dependent control
    bool lastClickAccepted = true;
};

void none(ProgramState&) {}

const SelectionCase kCases[] = {
    SelectionCase("NothingTicked", none, {}, {}, true, true, {"SelectAll"}),
    SelectionCase("TwoAmplifiersLockOutProcessorAndPanel", none,
                  {{On::Slot, 0}, {On::Slot, 15}, {On::Processor}}, {0, 15}, false, false,
                  kAmplifierBase + QStringList{"mnuToolsChannels51"}, false),
    SelectionCase("UntickingTheLastAmplifierFreesProcessorAndPanel", none,
                  {{On::Slot, 0}, {On::Slot, 15}, {On::Slot, 0, false}, {On::Slot, 15, false}}, {},
                  true, true, {"SelectAll"}),
    SelectionCase("EmptySlotCannotBeTicked", none, {{On::Slot, 5}}, {}, true, true, {"SelectAll"},
                  false),
    SelectionCase("UnscannedSlotCannotBeTicked", none, {{On::Slot, 9}}, {}, true, true,
                  {"SelectAll"}, false),
    SelectionCase("ProcessorKX43", none, {{On::Processor}, {On::Slot, 0}}, {}, true, false,
                  {"mnuTransferDown", "Download", "mnuToolsActKX43", "mnuTransferKX43Loader1"},
                  false),
    SelectionCase("ProcessorKX33",
                  [](ProgramState& s) { s.Inventory.processor.ProcessorType = "KX33"; },
                  {{On::Processor}}, {}, true, false,
                  {"mnuTransferDown", "Download", "mnuToolsActKX43", "mnuTransferUpKX33"}),
    SelectionCase(
        "ProcessorRefusedByThePortRule",
        [](ProgramState& s) { s.Inventory.processorRefused = true; }, {{On::Processor}}, {}, false,
        true, {"SelectAll"}, false),
    SelectionCase("PanelInNormalStart", none, {{On::Panel}}, {}, false, true,
                  {"mnuTransferDown", "Download", "mnuToolsActDV33", "mnuTransferDVLoader1"}),
    SelectionCase("PanelInProductionStart", [](ProgramState& s) { s.StartMode = "P"; },
                  {{On::Panel}}, {}, false, true,
                  {"mnuTransferDown", "Download", "mnuToolsActDV33", "mnuTransferDVLoader1",
                   "mnuBootloaderDV"}),
    SelectionCase("ProductionStartOffersTheBootstrapWithoutASelection",
                  [](ProgramState& s) { s.StartMode = "P"; }, {}, {}, true, true,
                  {"SelectAll", "mnuBootloaderDV"}),
    SelectionCase("OneRA56OffersNodePodAndUpload", none, {{On::Slot, 1}}, {1}, false, false,
                  kAmplifierBase + QStringList{"mnuToolsChannels51", "mnuTransferNodePodDown",
                                               "NodePod", "mnuTransferUpRA"}),
    SelectionCase("SecondAmplifierTakesNodePodAway", none, {{On::Slot, 1}, {On::Slot, 0}}, {0, 1},
                  false, false, kAmplifierBase + QStringList{"mnuToolsChannels51"}),
    SelectionCase(
        "RA56TypedByHandHasNoNodePod",
        [](ProgramState& s) { s.Inventory.slotRecords[1].TypeAssignedByHand = true; },
        {{On::Slot, 1}}, {1}, false, false,
        kAmplifierBase + QStringList{"mnuToolsChannels51", "mnuTransferUpRA"}),
    SelectionCase("NodePodPictureTicksItsAmplifier", none, {{On::NodePod, 1}}, {1}, false, false,
                  kAmplifierBase + QStringList{"mnuToolsChannels51", "mnuTransferNodePodDown",
                                               "NodePod", "mnuTransferUpRA"}),
    SelectionCase("NodePodPictureLeavesAnotherSelectionAlone", none,
                  {{On::Slot, 0}, {On::NodePod, 1}}, {0}, false, false,
                  kAmplifierBase + QStringList{"mnuToolsChannels51", "mnuTransferUpRA"}),
    SelectionCase(
        "RcRaOnlyWhenEveryTickedModuleCanSwitch", none, {{On::Slot, 3}}, {3}, false, false,
        kAmplifierBase + QStringList{"mnuToolsSwitch2RC", "mnuToolsSwitch2RA", "mnuTransferUpRA"}),
    SelectionCase("MixedRcRaSelection", none, {{On::Slot, 3}, {On::Slot, 0}}, {0, 3}, false, false,
                  kAmplifierBase),
    SelectionCase("IecForRA50", none, {{On::Slot, 4}}, {4}, false, false,
                  kAmplifierBase + QStringList{"mnuToolsChannels51", "mnuTransferDownIEC",
                                               "mnuTransferUpIEC", "mnuTransferUpRA"}),
    SelectionCase("EepromOfACurrentRA901B", none, {{On::Slot, 2}}, {2}, false, false,
                  kAmplifierBase +
                      QStringList{"mnuToolsChannels51", "mnuTransferUpRA", "mnuTransferUpEEPROM"}),
    SelectionCase(
        "EepromOfAnOldRA901BIsNotReadable",
        [](ProgramState& s) { s.Inventory.slotRecords[2].SoftwareVersion = "P6.36"; },
        {{On::Slot, 2}}, {2}, false, false,
        kAmplifierBase + QStringList{"mnuToolsChannels51", "mnuTransferUpRA"}),
    SelectionCase(
        "EepromOfRA901AboveP530", [](ProgramState& s) { putModule(s, 2, "RA901", "P5.31"); },
        {{On::Slot, 2}}, {2}, false, false,
        kAmplifierBase + QStringList{"mnuTransferUpRA", "mnuTransferUpEEPROM"}),
    SelectionCase("EepromNeedsEveryTickedModuleReadable", none, {{On::Slot, 2}, {On::Slot, 0}},
                  {0, 2}, false, false, kAmplifierBase + QStringList{"mnuToolsChannels51"}),
    SelectionCase("SelectAllTicksEveryEnabledBox", none, {{On::SelectAll}}, {0, 1, 2, 3, 4, 15},
                  false, false, kAmplifierBase),
    SelectionCase("SelectAllTwiceUnticks", none, {{On::SelectAll}, {On::SelectAll}}, {}, true, true,
                  {"SelectAll"}),
    SelectionCase("SelectAllCompletesAPartialSelection", none, {{On::Slot, 0}, {On::SelectAll}},
                  {0, 1, 2, 3, 4, 15}, false, false, kAmplifierBase),
    SelectionCase(
        "SequentialDownloadTicksTheWholeRack", [](ProgramState& s) { s.SequentialDownload = true; },
        {{On::Slot, 3}}, {0, 1, 2, 3, 4, 15}, false, false, kAmplifierBase),
    SelectionCase(
        "SequentialDownloadIgnoresTheLastSlot",
        [](ProgramState& s) { s.SequentialDownload = true; }, {{On::Slot, 15}}, {15}, false, false,
        kAmplifierBase + QStringList{"mnuToolsChannels51", "mnuTransferUpRA"}),
    SelectionCase(
        "BusyKeepsTheSelection", [](ProgramState& s) { s.Busy = true; }, {{On::Slot, 0}}, {}, true,
        true, {"SelectAll"}, false),
};

class SelectionRules : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionRules, TicksEnablingAndEntries) {
    const SelectionCase& c = GetParam();
    ProgramState state = scannedRack();
    c.setup(state);
    DeviceSelection selection(state);
    bool accepted = true;
    for (const Click& click : c.clicks) accepted = apply(selection, click);
    EXPECT_EQ(accepted, c.lastClickAccepted);
    EXPECT_EQ(selection.tickedSlots(), c.ticked);
    EXPECT_EQ(selection.processor().enabled, c.processorEnabled);
    EXPECT_EQ(selection.panel().enabled, c.panelEnabled);
    QStringList expected = c.enabled;
    QStringList actual = selection.enabledControls();
    expected.sort();
    actual.sort();
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SelectionRules, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.name); });

// A rescan drops the ticks of modules that are gone and draws the NodePod pictures; the bootstrap
// ticks a panel that no scan reached only in a production start.
TEST(Selection, RescanDropsTicksDrawsNodePodPicturesAndTheBootstrapTicksAnUnscannedPanel) {
    ProgramState state = scannedRack();
    DeviceSelection selection(state);
    ASSERT_TRUE(selection.setSlotTicked(1, true));
    ASSERT_TRUE(selection.setSlotTicked(4, true));
    EXPECT_EQ(selection.nodePodPicture(1), NodePodPicture::Normal);
    EXPECT_EQ(selection.nodePodPicture(0), NodePodPicture::Hidden);
    EXPECT_EQ(selection.tickedSlotMask(), 0b10010);

    state.Inventory.slotRecords[4].Identity = "not detected";
    state.Inventory.slotRecords[1].TypeAssignedByHand = true;
    selection.refresh();
    EXPECT_EQ(selection.tickedSlots(), std::vector<int>{1});
    EXPECT_EQ(selection.nodePodPicture(1), NodePodPicture::Disabled);
    EXPECT_FALSE(selection.isEnabled("mnuTransferNodePodDown"));
    EXPECT_TRUE(selection.isEnabled("mnuOptionsScan"));  // not decided by the selection

    ProgramState unscanned = scannedRack();
    unscanned.Inventory.panel.Present = false;
    DeviceSelection bootstrap(unscanned);
    ASSERT_TRUE(bootstrap.setSlotTicked(1, true));
    EXPECT_FALSE(bootstrap.tickPanelForBootstrap());
    unscanned.StartMode = "P";
    ASSERT_TRUE(bootstrap.tickPanelForBootstrap());
    EXPECT_TRUE(bootstrap.tickedSlots().empty());
    EXPECT_TRUE(bootstrap.panel().ticked && bootstrap.panel().enabled);
    EXPECT_TRUE(bootstrap.isEnabled("mnuBootloaderDV"));
    EXPECT_FALSE(bootstrap.processor().enabled);
    ASSERT_TRUE(bootstrap.setPanelTicked(false));
    EXPECT_FALSE(bootstrap.panel().enabled);
}

}  // namespace
