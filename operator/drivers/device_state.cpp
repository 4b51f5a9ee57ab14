#include "operator/drivers/device_state.h"

#include "operator/drivers/download_all.h"
#include "operator/drivers/firmware_catalogue.h"
#include "operator/drivers/verify_step.h"

namespace quorvel {
namespace {

bool detected(const QString& identity) { return !identity.isEmpty() && identity != kNotDetected; }

// The default file of the device's firmware list; empty when the directory holds none.
QString offeredVersion(const ProgramState& state, const FirmwareTarget& target) {
    if (state.DownloadDirectory.isEmpty()) return {};
    // Opening a list records its choice in the state; deciding must not change the program's.
    ProgramState scratch = state;
    const FirmwareList list = OpenFirmwareList(scratch, target);
    if (list.defaultRow < 0) return {};
    return list.entries[static_cast<size_t>(list.defaultRow)].version;
}

DeviceStatus attention(const QString& reason) { return {DeviceState::Attention, {}, reason}; }

DeviceStatus byVersion(const QString& suffix, const QString& running, const QString& offered) {
    if (offered.isEmpty())
        return {DeviceState::Current,
                {},
                "runs " + running + "; no firmware for it in the download directory"};
    if (FirmwareUpToDate(suffix, running, offered))
        return {DeviceState::Current, {}, "runs " + running + ", up to date"};
    return {DeviceState::Outdated, offered, "runs " + running + "; " + offered + " is available"};
}

DeviceStatus processorStatus(const ProgramState& state) {
    const ProcessorRecord& p = state.Inventory.processor;
    if (!detected(p.Identity)) return {};
    if (p.InBootLoader) return attention("runs its boot loader " + p.LoaderRevision);
    if (p.ProcessorType == "not supported")
        return attention("its model is not in the processor table (kx.cfg)");
    const QString offered = offeredVersion(state, {FirmwareDeviceKind::Processor, -1, {}});
    return byVersion(p.VersionSuffix, p.SoftwareVersion, offered);
}

DeviceStatus panelStatus(const ProgramState& state) {
    const PanelRecord& d = state.Inventory.panel;
    if (!d.Present || !detected(d.Identity)) return {};
    // The panel reports "4.10" where its files say "P4.10".
    return byVersion("0", "P" + d.SoftwareVersion,
                     offeredVersion(state, {FirmwareDeviceKind::Panel, -1, {}}));
}

DeviceStatus slotStatus(const ProgramState& state, int slot, bool failed) {
    const SlotRecord& s = state.Inventory.slotRecords[static_cast<size_t>(slot)];
    if (!s.Present || !detected(s.Identity)) return {};
    if (failed) return attention("the last run failed on this module; scan and repeat it");
    if (ModuleRunsLoader(s))
        return attention("runs " + RunningState(s) + " instead of its application");
    if (s.ControllerKind == 0 || s.TypePrefix.isEmpty())
        return attention("its type " + s.IdentifiedType +
                         " is not in the amplifier table (ws.cfg)");
    return byVersion(s.VersionSuffix, s.SoftwareVersion,
                     offeredVersion(state, AmplifierTarget(state, slot)));
}

}  // namespace

const char* DeviceStateName(DeviceState state) {
    switch (state) {
        case DeviceState::Current:
            return "current";
        case DeviceState::Outdated:
            return "outdated";
        case DeviceState::Attention:
            return "attention";
        case DeviceState::Empty:
            break;
    }
    return "empty";
}

QString RackStatus::summary() const {
    int devices = 0, outdated = 0, needAttention = 0;
    const auto count = [&](const DeviceStatus& status) {
        if (status.state == DeviceState::Empty) return;
        ++devices;
        if (status.state == DeviceState::Outdated) ++outdated;
        if (status.state == DeviceState::Attention) ++needAttention;
    };
    count(processor);
    count(panel);
    for (const DeviceStatus& slot : amplifierSlots) count(slot);
    if (devices == 0) return {};
    QString text = QString("%1 of %2 devices can be updated").arg(outdated).arg(devices);
    if (needAttention == 1) text += ", 1 needs attention";
    if (needAttention > 1) text += QString(", %1 need attention").arg(needAttention);
    return text;
}

RackStatus DecideRackStatus(const ProgramState& state, const std::set<int>& failedSlots) {
    RackStatus status;
    status.processor = processorStatus(state);
    status.panel = panelStatus(state);
    for (int slot = 0; slot < DeviceInventory::kSlots; ++slot)
        status.amplifierSlots[static_cast<size_t>(slot)] =
            slotStatus(state, slot, failedSlots.count(slot) > 0);
    return status;
}

}  // namespace quorvel
