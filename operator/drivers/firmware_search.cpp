// Which names of the download directory belong to a device: the device kind and its patterns.
#include "operator/drivers/firmware_catalogue.h"

namespace quorvel {
namespace {

const QString kF72Marker = "-F72";

const SlotRecord* slotOf(const ProgramState& state, const FirmwareTarget& target) {
    if (target.slot < 0 || target.slot >= DeviceInventory::kSlots) return nullptr;
    return &state.Inventory.slotRecords[target.slot];
}

bool f72Module(const ProgramState& state, const SlotRecord& record) {
    return state.StartMode.isEmpty() && record.VersionSuffix == "F72";
}

QString prefixWithoutF72(const QString& prefix) {
    const qsizetype marker = prefix.indexOf(kF72Marker);
    return marker < 0 ? prefix : prefix.left(marker);
}

FirmwareSearch processorSearch(const ProcessorRecord& processor) {
    const QString& t = processor.ProcessorType;
    FirmwareSearch search;
    search.directoriesOnly = true;
    if (t == "KX43") {
        search.displayPattern = t + "AorP*.s*";
        search.searchPatterns = {t + "P*.s*", t + "A*.s*"};
    } else if (t == "KX33" || t == "KX63") {
        search.displayPattern = t + "P*.s*";
        search.searchPatterns = {t + "P*.s*", t + "P*.f*"};
    } else {
        search.displayPattern = t + "*.s*";
        search.searchPatterns = {t + "*.s*", t + "*.f*"};
    }
    // An old boot loader cannot tell application from production images.
    if (processor.InBootLoader && processor.LoaderRevision < "2") {
        search.displayPattern = t + "*.s*";
        search.searchPatterns[0] = t + "*.s*";
    }
    return search;
}

FirmwareSearch filesSearch(const QString& display, const QStringList& patterns) {
    FirmwareSearch search;
    search.displayPattern = display;
    search.searchPatterns = patterns;
    return search;
}

// Patterns built on an empty prefix would offer every "p*" file to a module of unknown type:
// they stay empty places in the list, which the search drops at the end.
QStringList withPrefix(const QString& prefix, const QStringList& tails) {
    QStringList patterns;
    for (const QString& tail : tails) patterns << (prefix.isEmpty() ? QString() : prefix + tail);
    return patterns;
}

void applyFamilyOverrides(FirmwareSearch& search, const ProgramState& state,
                          const SlotRecord& record) {
    const QString& type = record.IdentifiedType;
    const bool familyChoice =
        state.StartMode == "S" || state.StartMode == "P" || record.TypeAssignedByHand;
    const auto replaceFirstTwo = [&search](const QString& first, const QString& second) {
        search.searchPatterns[0] = first;
        search.searchPatterns[1] = second;
    };
    if ((type == "RA51" || type == "RA51S6") && familyChoice) {
        search.displayPattern = "RA51*.*";
        replaceFirstTwo("RA51p*.s*", "RA51S6p*.s*");
    }
    if ((type == "RA51B" || type == "RA51S6B") && familyChoice) {
        search.displayPattern = "RA51B*.*";
        replaceFirstTwo("RA51b*.s*", "RA51b*.f*");
    }
    const bool production = state.StartMode == "P" && state.IncludeLoader1;
    if ((type == "RA901B" || type == "RA677" || type == "RA977") && production) {
        search.displayPattern = "RA901Bp*.*";
        search.searchPatterns = {"RA901Bp*.s*", "RA901Bp*.f*", "RA?77p*.s*", "RA?77p*.f*"};
    }
}

FirmwareSearch amplifierSearch(const ProgramState& state, const SlotRecord& record) {
    const bool f72 = f72Module(state, record);
    const QString t = FileTypePrefix(state, record);
    const QString& t2 = record.SecondTypePrefix;
    const QStringList tails = f72 ? QStringList{"p*.s72", "p*.f72"} : QStringList{"p*.s*", "p*.f*"};
    FirmwareSearch search = filesSearch(t + "P*.*", withPrefix(t, tails) + withPrefix(t2, tails));
    if (!t2.isEmpty()) search.secondDisplayPattern = t2 + "P*.*";
    applyFamilyOverrides(search, state, record);
    search.hideF72 =
        !record.TypeAssignedByHand && state.StartMode.isEmpty() && record.VersionSuffix != "F72";
    return search;
}

FirmwareSearch amplifierLoader1Search(const ProgramState& state, const SlotRecord& record) {
    const QString t = FileTypePrefix(state, record);
    FirmwareSearch search = filesSearch(t + "*.LD1", {t + "*.LD1"});
    const int kind = record.ControllerKind;
    if (kind < 2 || kind > 4) {
        search.searchPatterns = {"xxxdasd.xas"};
        search.unsupported = true;
    }
    return search;
}

FirmwareTarget amplifierKind(const ProgramState& state, int slot) {
    FirmwareTarget target;
    target.slot = slot;
    if (state.AmplifierModeFlag) {
        target.kind = FirmwareDeviceKind::AmplifierDriverMode;
    } else if (state.OnlyLoader1) {
        target.kind = FirmwareDeviceKind::AmplifierLoader1;
    } else {
        target.kind = FirmwareDeviceKind::Amplifier;
    }
    return target;
}

}  // namespace

FirmwareTarget AmplifierTarget(const ProgramState& state, int slot) {
    return amplifierKind(state, slot);
}

FirmwareTarget DetermineFirmwareTarget(const DeviceSelection& selection, const ProgramState& state,
                                       const std::optional<NodePodWindowChoice>& nodePod) {
    FirmwareTarget target;
    if (nodePod) {
        target.kind =
            state.OnlyLoader1 ? FirmwareDeviceKind::NodePodLoader1 : FirmwareDeviceKind::NodePod;
        target.slot = nodePod->slot;
        target.nodePodTypePrefix = nodePod->typePrefix;
        return target;
    }
    const BoxSelection processor = selection.processor();
    if (processor.ticked && processor.enabled) {
        target.kind = FirmwareDeviceKind::Processor;
        return target;
    }
    const BoxSelection panel = selection.panel();
    if (panel.ticked && panel.enabled) {
        target.kind =
            state.PanelLoader1 ? FirmwareDeviceKind::PanelLoader1 : FirmwareDeviceKind::Panel;
        return target;
    }
    for (const int slot : selection.tickedSlots()) {
        if (selection.slot(slot).enabled) return amplifierKind(state, slot);
    }
    return target;
}

namespace {

FirmwareSearch searchFor(const FirmwareTarget& target, const ProgramState& state) {
    const QString& panelType = state.Inventory.panel.PanelType;
    const QString& node = target.nodePodTypePrefix;
    const SlotRecord* record = slotOf(state, target);
    switch (target.kind) {
        case FirmwareDeviceKind::Processor:
            return processorSearch(state.Inventory.processor);
        case FirmwareDeviceKind::Panel:
            return filesSearch(panelType + "*.s*", {panelType + "*.s*", panelType + "*.f*"});
        case FirmwareDeviceKind::PanelLoader1:
            return filesSearch(panelType + "*.ld1", {panelType + "*.ld1"});
        case FirmwareDeviceKind::Amplifier:
            return record ? amplifierSearch(state, *record) : FirmwareSearch{};
        case FirmwareDeviceKind::AmplifierLoader1:
            return record ? amplifierLoader1Search(state, *record) : FirmwareSearch{};
        case FirmwareDeviceKind::AmplifierDriverMode: {
            const QString pattern = record && record->ControllerKind == 4 ? "*.bpl" : "*.apl";
            return filesSearch(pattern, {pattern});
        }
        case FirmwareDeviceKind::NodePod:
            return filesSearch(node + "p*.*", withPrefix(node, {"p*.s*", "p*.f*"}));
        case FirmwareDeviceKind::NodePodLoader1:
            return filesSearch(node + "*.ld1", withPrefix(node, {"*.ld1"}));
        case FirmwareDeviceKind::None:
            break;
    }
    return {};
}

}  // namespace

FirmwareSearch BuildFirmwareSearch(const FirmwareTarget& target, const ProgramState& state) {
    FirmwareSearch search = searchFor(target, state);
    search.searchPatterns.removeAll(QString());
    return search;
}

QString FileTypePrefix(const ProgramState& state, const SlotRecord& record) {
    return f72Module(state, record) ? prefixWithoutF72(record.TypePrefix) : record.TypePrefix;
}

}  // namespace quorvel
