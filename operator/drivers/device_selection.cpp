#include "operator/drivers/device_selection.h"

namespace quorvel {
namespace {

const QStringList kProcessorControls = {"mnuToolsActKX43", "mnuTransferUpKX33",
                                        "mnuTransferKX43Loader1"};
const QStringList kPanelControls = {"mnuToolsActDV33", "mnuTransferDVLoader1", "mnuBootloaderDV"};
const QStringList kAmplifierControls = {
    "mnuToolsClrUcc",     "mnuToolsActRAxx",     "mnuToolsSwitch2RC", "mnuToolsSwitch2RA",
    "mnuToolsChannels51", "mnuTransferDownIEC",  "mnuTransferUpIEC",  "mnuTransferNodePodDown",
    "mnuTransferUpRA",    "mnuTransferUpEEPROM", "NodePod",
};
const QStringList kDownloadControls = {"mnuTransferDown", "Download"};

const QStringList kRcRaTypes = {"RA40B", "RA80B", "RA10407077B", "RA0147B"};
const QStringList kChannelCountTypes = {"RA50",  "RA51",  "RA56",  "RA901B", "RA55",
                                        "RA51B", "RA50B", "RA55B", "RA56B"};
const QStringList kIecTypes = {"RA97B", "RA50", "RA50B", "RA97C"};
const QStringList kNodePodTypes = {"RA56", "RA56B"};

}  // namespace

bool EepromReadable(const SlotRecord& record) {
    const QString& type = record.IdentifiedType;
    if (type == "RA901B" || type == "RA677") return record.SoftwareVersion > "P6.36";
    if (type == "RA901") return record.SoftwareVersion > "P5.30";
    return false;
}

bool HasRcAndRaModes(const QString& type) { return kRcRaTypes.contains(type); }

bool HasSubChannelCount(const QString& type) { return kChannelCountTypes.contains(type); }

DeviceSelection::DeviceSelection(const ProgramState& state) : state_(state) {}

const QStringList& DeviceSelection::DependentControls() {
    static const QStringList controls = kDownloadControls + kProcessorControls + kPanelControls +
                                        kAmplifierControls + QStringList{"SelectAll"};
    return controls;
}

void DeviceSelection::refresh() {
    if (!processor().enabled) processorTicked_ = false;
    if (!panel().enabled) panelTicked_ = false;
    for (int s = 0; s < DeviceInventory::kSlots; ++s) {
        if (!slot(s).enabled) slotTicked_[s] = false;
    }
}

void DeviceSelection::clear() {
    processorTicked_ = false;
    panelTicked_ = false;
    panelForced_ = false;
    slotTicked_.fill(false);
}

bool DeviceSelection::slotDetected(int s) const {
    const SlotRecord& record = state_.Inventory.slotRecords[s];
    return record.Present && record.Identity != kNotDetected;
}

bool DeviceSelection::nodePodCapable(int s) const {
    const SlotRecord& record = state_.Inventory.slotRecords[s];
    return slotDetected(s) && kNodePodTypes.contains(record.IdentifiedType) &&
           !record.TypeAssignedByHand;
}

BoxSelection DeviceSelection::processor() const {
    const DeviceInventory& inventory = state_.Inventory;
    const bool shown = !inventory.processor.Identity.isEmpty() && !inventory.processorRefused;
    return {processorTicked_, shown && !panelTicked_ && tickedSlots().empty()};
}

BoxSelection DeviceSelection::panel() const {
    const bool shown = state_.Inventory.panel.Present || panelForced_;
    return {panelTicked_, shown && !processorTicked_ && tickedSlots().empty()};
}

BoxSelection DeviceSelection::slot(int s) const {
    if (s < 0 || s >= DeviceInventory::kSlots) return {};
    return {slotTicked_[s], slotDetected(s) && !processorTicked_ && !panelTicked_};
}

NodePodPicture DeviceSelection::nodePodPicture(int s) const {
    if (s < 0 || s >= DeviceInventory::kSlots || !slotDetected(s)) return NodePodPicture::Hidden;
    const SlotRecord& record = state_.Inventory.slotRecords[s];
    if (!kNodePodTypes.contains(record.IdentifiedType)) return NodePodPicture::Hidden;
    return record.TypeAssignedByHand ? NodePodPicture::Disabled : NodePodPicture::Normal;
}

bool DeviceSelection::setProcessorTicked(bool ticked) {
    if (state_.Busy || !processor().enabled) return false;
    processorTicked_ = ticked;
    return true;
}

bool DeviceSelection::setPanelTicked(bool ticked) {
    if (state_.Busy || !panel().enabled) return false;
    panelTicked_ = ticked;
    if (!ticked) panelForced_ = false;
    return true;
}

bool DeviceSelection::tickPanelForBootstrap() {
    if (state_.StartMode != "P") return false;
    clear();
    panelTicked_ = true;
    panelForced_ = true;
    return true;
}

bool DeviceSelection::setSlotTicked(int s, bool ticked) {
    if (state_.Busy || !slot(s).enabled) return false;
    const bool first = ticked && tickedSlots().empty();
    slotTicked_[s] = ticked;
    // Sequential download works through the whole rack: the first tick selects every module.
    if (first && state_.SequentialDownload && s < DeviceInventory::kSlots - 1) {
        SelectAllAmplifiers();
    }
    return true;
}

bool DeviceSelection::SelectAllAmplifiers() {
    if (state_.Busy) return false;
    int enabled = 0;
    int ticked = 0;
    for (int s = 0; s < DeviceInventory::kSlots; ++s) {
        if (!slot(s).enabled) continue;
        ++enabled;
        if (slotTicked_[s]) ++ticked;
    }
    if (enabled == 0) return false;
    const bool tick = ticked != enabled;
    for (int s = 0; s < DeviceInventory::kSlots; ++s) {
        if (slot(s).enabled) slotTicked_[s] = tick;
    }
    return true;
}

bool DeviceSelection::clickNodePod(int s) {
    if (state_.Busy || s < 0 || s >= DeviceInventory::kSlots || !nodePodCapable(s)) {
        return isEnabled("mnuTransferNodePodDown");
    }
    const std::vector<int> ticked = tickedSlots();
    const bool alone = ticked.empty() || ticked == std::vector<int>{s};
    if (alone && slot(s).enabled) slotTicked_[s] = true;
    return isEnabled("mnuTransferNodePodDown");
}

SelectedDevices DeviceSelection::selected() const {
    if (processorTicked_) return SelectedDevices::Processor;
    if (panelTicked_) return SelectedDevices::Panel;
    return tickedSlots().empty() ? SelectedDevices::None : SelectedDevices::Amplifiers;
}

std::vector<int> DeviceSelection::tickedSlots() const {
    std::vector<int> ticked;
    for (int s = 0; s < DeviceInventory::kSlots; ++s) {
        if (slotTicked_[s]) ticked.push_back(s);
    }
    return ticked;
}

int DeviceSelection::tickedSlotMask() const {
    int mask = 0;
    for (const int s : tickedSlots()) mask |= 1 << s;
    return mask;
}

bool DeviceSelection::isEnabled(const QString& control) const {
    if (!DependentControls().contains(control)) return true;
    const SelectedDevices devices = selected();
    if (control == "SelectAll") {
        if (devices == SelectedDevices::Processor || devices == SelectedDevices::Panel)
            return false;
        for (int s = 0; s < DeviceInventory::kSlots; ++s) {
            if (slot(s).enabled) return true;
        }
        return false;
    }
    if (kDownloadControls.contains(control)) return devices != SelectedDevices::None;
    if (kProcessorControls.contains(control)) {
        if (devices != SelectedDevices::Processor) return false;
        const QString& type = state_.Inventory.processor.ProcessorType;
        if (control == "mnuTransferUpKX33") return type == "KX33";
        if (control == "mnuTransferKX43Loader1") return type.startsWith("KX43");
        return true;
    }
    // A production start offers the bootstrap from the start, before any scan: a panel whose
    // firmware does not start may not answer one; the bootstrap ticks the panel itself.
    if (control == "mnuBootloaderDV")
        return state_.StartMode == "P" &&
               (devices == SelectedDevices::None || devices == SelectedDevices::Panel);
    if (kPanelControls.contains(control)) return devices == SelectedDevices::Panel;
    return devices == SelectedDevices::Amplifiers && amplifierEntryEnabled(control);
}

bool DeviceSelection::amplifierEntryEnabled(const QString& control) const {
    const std::vector<int> ticked = tickedSlots();
    const auto allOf = [&](const QStringList& types) {
        for (const int s : ticked) {
            if (!types.contains(state_.Inventory.slotRecords[s].IdentifiedType)) return false;
        }
        return true;
    };
    if (control == "mnuToolsSwitch2RC" || control == "mnuToolsSwitch2RA") return allOf(kRcRaTypes);
    if (control == "mnuToolsChannels51") return allOf(kChannelCountTypes);
    if (control == "mnuTransferDownIEC" || control == "mnuTransferUpIEC") return allOf(kIecTypes);
    if (control == "mnuTransferNodePodDown" || control == "NodePod") {
        return ticked.size() == 1 && nodePodCapable(ticked.front());
    }
    if (control == "mnuTransferUpRA") return ticked.size() == 1;
    if (control == "mnuTransferUpEEPROM") {
        for (const int s : ticked) {
            if (!EepromReadable(state_.Inventory.slotRecords[s])) return false;
        }
        return true;
    }
    return true;  // mnuToolsClrUcc, mnuToolsActRAxx
}

QStringList DeviceSelection::enabledControls() const {
    QStringList enabled;
    for (const QString& control : DependentControls()) {
        if (isEnabled(control)) enabled << control;
    }
    return enabled;
}

}  // namespace quorvel
