#include "operator/drivers/maintenance.h"

#include <functional>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/device_selection.h"
#include "operator/drivers/failure_advice.h"
#include "operator/drivers/operation_frame.h"
#include "operator/drivers/slot_checks.h"
#include "operator/drivers/verify_step.h"

namespace quorvel {
namespace {

constexpr int kMaximumSubChannels = 256;

int maskOf(const std::vector<int>& amplifierSlots) {
    int mask = 0;
    for (const int slot : amplifierSlots) mask |= 1 << slot;
    return mask;
}

void rescan(DriverContext& context) {
    context.RefreshDeviceTree();
    if (context.rescan) context.rescan();
}

// The details of a new phase: planned in a dry run, else done.
QStringList& phaseDetails(DriverContext& context, const QString& name) {
    return context.report()
        .beginPhase(name, context.dryRun ? Outcome::Planned : Outcome::Done)
        .details;
}

// A failed command: the current phase fails and the operator reads the state it left and the
// next step, beside what the library reported.
int failed(DriverContext& context, int result) {
    context.report().failPhase();
    context.ShowMessage(AdviceLines(context.report().advice()), kIconExclamation);
    return result;
}

// `call` over a connection of its own inside the operation frame, with `status` shown. The rack
// needs no restart afterwards, whatever the result. Whatever the result, the `touched` slots are
// identified again before the connection closes, so the device tree shows what they run; after
// a success a module that does not answer with its application fails the command. A connection
// that does not open changes nothing but fails the phase like any other failure, with its advice.
int callConnected(DriverContext& context, const QString& status, const std::function<int()>& call,
                  const std::vector<int>& touched = {}) {
    RunReport& report = context.report();
    int result = 0;
    {
        OperationFrame frame(context);
        ConnectionGuard connection(context.gateway());
        if (!connection.opened()) return failed(context, connection.result());
        context.ui().setStatus(status);
        result = call();
        if (result != 0) report.failPhase();
        std::vector<SlotTarget> targets;
        std::map<int, QString> failedIn;
        for (const int slot : touched) {
            targets.push_back({slot, {}});
            if (result != 0) failedIn[slot] = report.failedPhase()->name;
        }
        if (!targets.empty() && !VerifySlots(context, targets, failedIn).empty() && result == 0)
            result = kNotAtTarget;
    }
    context.state().RestartPending = false;
    if (result == 0) return 0;
    context.ShowMessage(AdviceLines(report.advice()), kIconExclamation);
    return result;
}

struct SubChannelFamily {
    QString name;
    QString title;
    QString prompt;
    QString defaultValue;
    QString errorText;
    int variant;
    bool (*allowed)(int);
    bool nodePods = false;
};

std::optional<SubChannelFamily> familyOf(const QString& type) {
    if (type.startsWith("RA51") || type.startsWith("RA50")) {
        return SubChannelFamily{type.startsWith("RA51") ? "RA51" : "RA50",
                                "RA5x Settings",
                                "Please input new subchannel number for RA5x (8..128):",
                                "8",
                                "Please choose a value between 8 and 128!\rPlease try again.",
                                type.startsWith("RA51") ? 0 : 1,
                                [](int v) { return v >= 8 && v <= 128; }};
    }
    if (type.startsWith("RA56")) {
        return SubChannelFamily{"RA56",
                                "RA5x Settings",
                                "Please input new count of NODEPODs for RA56 (1..12):",
                                "1",
                                "Please choose a value between 1 and 12!\rPlease try again.",
                                4,
                                [](int v) { return v >= 1 && v <= 12; },
                                true};
    }
    if (type.startsWith("RA55")) {
        return SubChannelFamily{"RA55",
                                "RA5x Settings",
                                "Please input new subchannel number for RA55 (1,8..64):",
                                "1",
                                "Please choose a value between 8 and 64 or 1!\rPlease try again.",
                                3,
                                [](int v) { return v == 1 || (v >= 8 && v <= 64); }};
    }
    if (type == "RA901B") {
        return SubChannelFamily{"RA901B",
                                "RA901B Settings",
                                "Please input new subchannel number for RA901B (2, 4 or 8):",
                                "8",
                                "Please choose a value 2, 4 or 8 !\rPlease try again.",
                                2,
                                [](int v) { return v == 2 || v == 4 || v == 8; }};
    }
    return std::nullopt;
}

bool versionTooOld(DriverContext& context, const std::vector<int>& amplifierSlots) {
    const DeviceInventory& inventory = context.state().Inventory;
    const auto tooOld = [&](const QString& what, const QString& version, const QString& needed) {
        if (version >= needed) return false;
        context.ShowMessage("You have " + what + " version " + version + "\r" +
                                "and you need at least version " + needed + "!",
                            kIconExclamation);
        return true;
    };
    if (inventory.processor.ProcessorType == "KX13" &&
        tooOld("KX", inventory.processor.SoftwareVersion, "P2.06")) {
        return true;
    }
    for (const int slot : amplifierSlots) {
        const SlotRecord& r = inventory.slotRecords[slot];
        if (r.IdentifiedType == "RA51" && tooOld("RA51", r.SoftwareVersion, "P1.30")) return true;
        if (r.IdentifiedType == "RA55" && tooOld("RA55", r.SoftwareVersion, "P2.00")) return true;
    }
    return false;
}

// The largest value each selected module may take so that the rack stays within 256.
int maximumValue(const DeviceInventory& inventory, const std::vector<int>& amplifierSlots) {
    long long others = 0;
    for (int slot = 0; slot < DeviceInventory::kSlots; ++slot) {
        if (std::find(amplifierSlots.begin(), amplifierSlots.end(), slot) != amplifierSlots.end())
            continue;
        const SlotRecord& r = inventory.slotRecords[slot];
        if (r.Identity != "not detected") others += r.SubChannelCount;
    }
    return static_cast<int>((kMaximumSubChannels - others) /
                            static_cast<long long>(amplifierSlots.size()));
}

// The value from the operator, repeated until it fits; nullopt when cancelled.
std::optional<int> askSubChannels(DriverContext& context, const SubChannelFamily& family,
                                  const std::vector<int>& amplifierSlots) {
    const int maximum = maximumValue(context.state().Inventory, amplifierSlots);
    for (;;) {
        const auto answer = context.ui().askInput(family.prompt, family.title, family.defaultValue);
        if (!answer) return std::nullopt;
        bool number = false;
        const int value = answer->trimmed().toInt(&number);
        if (!number || !family.allowed(value)) {
            context.ShowMessage(family.errorText, kIconExclamation);
            continue;
        }
        if (value > maximum) {
            QString text = "Maximum subchannels input is " + QString::number(maximum) + "\r";
            if (family.nodePods) text += "( = " + QString::number(maximum) + " NODEPODs )\r";
            context.ShowMessage(text +
                                    "because of limit of maximum 256\rsubchannels per Ventrix "
                                    "(KX) !\r\rPlease repeat input!",
                                kIconExclamation);
            continue;
        }
        return value;
    }
}

// Refuses a selection with a module that runs a loader: its application must answer.
int checkApplicationsRun(DriverContext& context, const std::vector<int>& amplifierSlots) {
    for (const int slot : amplifierSlots) {
        if (!RunsLoader(context.state().Inventory.slotRecords[slot])) continue;
        context.ShowMessage(
            "There is at least one selected \ramplifier in Bootloader mode!"
            "\r\rPlease activate firmware first!",
            kIconExclamation);
        context.report().failPhase();
        return kOperationDeclined;
    }
    return 0;
}

// The one family of the selected modules; a type without a sub-channel count or a mix of
// families (other ranges, other commands) is refused.
std::optional<SubChannelFamily> selectedFamily(DriverContext& context,
                                               const std::vector<int>& amplifierSlots,
                                               int& refusal) {
    const DeviceInventory& inventory = context.state().Inventory;
    refusal = CheckTypesOffer(
        context, "Change channel count", amplifierSlots,
        [](const SlotRecord& r) { return HasSubChannelCount(r.IdentifiedType); },
        "only RA50, RA51, RA55, RA56 and RA901B modules have a sub-channel count");
    if (refusal) return std::nullopt;
    const auto family = familyOf(inventory.slotRecords[amplifierSlots.front()].IdentifiedType);
    for (const int slot : amplifierSlots) {
        if (familyOf(inventory.slotRecords[slot].IdentifiedType)->name == family->name) continue;
        refusal = RefuseBeforeSending(
            context,
            "Change channel count: " + SlotsWithTypes(inventory, amplifierSlots) +
                " take different values and commands. Change one family at a time.",
            kOperationDeclined);
        return std::nullopt;
    }
    return family;
}

}  // namespace

bool RunsLoader(const SlotRecord& record) {
    return record.Identity != "not detected" && record.HardwareRevision == " ";
}

int SwitchOperatingMode(DriverContext& context, const std::vector<int>& amplifierSlots,
                        int targetMode) {
    RunReport& report = context.report();
    const QString operation = targetMode == kRcMode ? "Switch to RC mode" : "Switch to RA mode";
    report.beginPhase(phase::kCheckSelection);
    if (const int refused = CheckSlotsHoldModules(context, operation, amplifierSlots))
        return refused;
    if (const int refused = CheckTypesOffer(
            context, operation, amplifierSlots,
            [](const SlotRecord& r) { return HasRcAndRaModes(r.IdentifiedType); },
            "only RA40B, RA80B, RA10407077B and RA0147B modules run in both modes"))
        return refused;
    if (const int refused = checkApplicationsRun(context, amplifierSlots)) return refused;
    phaseDetails(context, targetMode == kRcMode ? phase::kSwitchToRc : phase::kSwitchToRa)
        << QString("channel mask 0x%1").arg(maskOf(amplifierSlots), 0, 16);
    if (context.dryRun) return 0;
    const int result =
        callConnected(context, targetMode == kRcMode ? "Switch to RC..." : "Switch to RA...", [&] {
            const int changed =
                context.gateway().ChangeRcRaMode(maskOf(amplifierSlots), targetMode);
            if (changed != 0) return changed;
            context.ui().setProgress(0);
            context.ui().setStatus("Reset VTX system...");
            report.beginPhase(phase::kResetRack);
            return context.gateway().ResetVTX(context.state().Connection.resetSeconds);
        }, amplifierSlots);
    if (result != 0) return result;
    context.ui().setStatus("Switch finished!");
    rescan(context);
    return 0;
}

int ChangeSubChannels(DriverContext& context, const std::vector<int>& amplifierSlots) {
    RunReport& report = context.report();
    report.beginPhase(phase::kCheckSelection);
    if (const int refused =
            CheckSlotsHoldModules(context, "Change channel count", amplifierSlots))
        return refused;
    if (const int refused = checkApplicationsRun(context, amplifierSlots)) return refused;
    int refusal = 0;
    const auto family = selectedFamily(context, amplifierSlots, refusal);
    if (!family) return refusal;
    if (versionTooOld(context, amplifierSlots)) {
        report.failPhase();
        return kOperationDeclined;
    }
    const auto value = askSubChannels(context, *family, amplifierSlots);
    if (!value) return kOperationDeclined;
    phaseDetails(context, phase::kChangeSubChannels) << family->name + " " + QString::number(*value);
    if (context.dryRun) return 0;
    const int result = callConnected(context, "Change Channel value...", [&] {
        return context.gateway().ChangeSubChanRA51(maskOf(amplifierSlots), *value,
                                                   context.state().Connection.resetSeconds,
                                                   family->variant);
    }, amplifierSlots);
    if (result != 0) {
        context.ui().setStatus("Value not changed!");
        return result;
    }
    context.ui().setStatus("Value changed!");
    rescan(context);
    return 0;
}

int SetInterfaceBaudRate(DriverContext& context) {
    phaseDetails(context, phase::kInterfaceBaudRate) << "19200 baud, even parity";
    if (context.dryRun) return 0;
    ConnectionGuard connection(context.gateway());
    if (!connection.opened()) return failed(context, connection.result());
    const int result = context.gateway().SetBdrVTX(19200, 3000, 1, "e", 0);
    return result == 0 ? 0 : failed(context, result);
}

bool BaudRateCommandNeeded(const DeviceInventory& inventory,
                           const std::vector<int>& amplifierSlots) {
    const ProcessorRecord& processor = inventory.processor;
    if (processor.ProcessorType != "KX13" || processor.SoftwareVersion >= "P1.33") return false;
    return std::any_of(amplifierSlots.begin(), amplifierSlots.end(),
                       [&](int slot) { return inventory.slotRecords[slot].ControllerKind == 1; });
}

int ResetHiddenLoader1(DriverContext& context, const std::vector<int>& amplifierSlots) {
    context.report().beginPhase(phase::kCheckSelection);
    if (const int refused = CheckSlotsHoldModules(context, "Reset Loader1", amplifierSlots))
        return refused;
    if (amplifierSlots.size() > 1) {
        return RefuseBeforeSending(context,
                                   "Reset Loader1 works on one slot at a time; " +
                                       SlotsWithTypes(context.state().Inventory, amplifierSlots) +
                                       " are selected.",
                                   kOperationDeclined);
    }
    const int slot = amplifierSlots.front();
    const SlotRecord& record = context.state().Inventory.slotRecords[slot];
    const int address = slot + 1;
    const int secondByte = static_cast<int>(record.AmpCode);
    phaseDetails(context, phase::kResetLoader1) << QString("slot %1, loader address %2, second byte %3")
                                                   .arg(slot + 1)
                                                   .arg(address)
                                                   .arg(secondByte);
    if (context.dryRun) return 0;
    const int result = callConnected(context, "Reset Loader1...", [&] {
        return context.gateway().ResetLoader1(address, secondByte);
    });
    if (result != 0) return result;
    context.ui().setStatus("Reset Loader1 finished.");
    return 0;
}

int ClearChannelNames(DriverContext& context, const std::vector<int>& amplifierSlots) {
    context.report().beginPhase(phase::kCheckSelection);
    if (const int refused =
            CheckSlotsHoldModules(context, "Clear channel names", amplifierSlots))
        return refused;
    phaseDetails(context, phase::kClearChannelNames)
        << QString("channel mask 0x%1").arg(maskOf(amplifierSlots), 0, 16);
    if (context.dryRun) return 0;
    const int result = callConnected(context, "Clear channel names...", [&] {
        return context.gateway().ClearUccs(maskOf(amplifierSlots));
    }, amplifierSlots);
    if (result != 0) return result;
    context.ui().setStatus("Channel names cleared!");
    rescan(context);
    return 0;
}

}  // namespace quorvel
