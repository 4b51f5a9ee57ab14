#include "operator/drivers/verify_step.h"

#include <algorithm>

#include "operator/drivers/failure_advice.h"
#include "operator/drivers/maintenance.h"

namespace quorvel {

bool ModuleRunsLoader(const SlotRecord& record) {
    return RunsLoader(record) || record.VersionSuffix.startsWith('L') ||
           record.SoftwareVersion.startsWith('V');
}

QString RunningState(const SlotRecord& record) {
    if (!record.Present || record.Identity.isEmpty() || record.Identity == "not detected")
        return "not detected";
    if (!ModuleRunsLoader(record)) return record.SoftwareVersion;
    const QString loader =
        record.VersionSuffix.startsWith('L') ? "loader " + record.VersionSuffix.mid(1) : "loader";
    return loader + " " + record.SoftwareVersion;
}

bool RunsTarget(const SlotRecord& record, const QString& version) {
    if (!record.Present || record.Identity.isEmpty() || record.Identity == "not detected")
        return false;
    if (ModuleRunsLoader(record)) return false;
    return version.isEmpty() || record.SoftwareVersion == version;
}

void IdentifyAgain(DriverContext& context, const std::vector<int>& slots) {
    auto& records = context.state().Inventory.slotRecords;
    // A slot whose identification fails shows nothing rather than what it ran before.
    for (const int slot : slots) {
        records[slot].Present = false;
        records[slot].Identity = "not detected";
    }
    context.shell().IdentifySlots(slots);
    // A late answer of the run (a module that was still busy) shifts every answer after it: a
    // slot that did not answer is asked once more on a fresh connection, which starts with
    // empty queues.
    std::vector<int> silent;
    for (const int slot : slots)
        if (RunningState(records[slot]) == "not detected") silent.push_back(slot);
    if (silent.empty()) return;
    context.gateway().closeConnection();
    if (context.gateway().openConnection() == 0) context.shell().IdentifySlots(silent);
}

std::map<int, QString> VerifySlots(DriverContext& context, const std::vector<SlotTarget>& targets,
                                   const std::map<int, QString>& failedIn) {
    RunReport& report = context.report();
    Phase& identify = report.beginPhase(phase::kIdentify);
    QStringList numbers;
    std::vector<int> touched;
    for (const SlotTarget& target : targets) {
        numbers << QString::number(target.slot + 1);
        touched.push_back(target.slot);
    }
    identify.details << "slots " + numbers.join(',');
    // A rack reset starts the application a module waiting in its loader holds, selected or not.
    const auto& records = context.state().Inventory.slotRecords;
    for (int slot = 0; slot < DeviceInventory::kSlots; ++slot)
        if (ModuleRunsLoader(records[slot]) && RunningState(records[slot]) != "not detected" &&
            std::find(touched.begin(), touched.end(), slot) == touched.end())
            touched.push_back(slot);
    context.ui().setStatus("Identifying the modules...");
    IdentifyAgain(context, touched);
    context.RefreshDeviceTree();

    std::map<int, QString> notAtTarget;
    for (const SlotTarget& target : targets) {
        const SlotRecord& record = context.state().Inventory.slotRecords[target.slot];
        SlotOutcome outcome;
        outcome.slot = target.slot;
        outcome.module = record.IdentifiedType;
        outcome.target = target.version;
        outcome.running = RunningState(record);
        outcome.atTarget = RunsTarget(record, target.version) && !failedIn.count(target.slot);
        if (!outcome.atTarget) {
            const auto failed = failedIn.find(target.slot);
            outcome.phase = failed == failedIn.end() ? phase::kIdentify : failed->second;
            notAtTarget[target.slot] = outcome.phase;
        }
        report.addDetail("slot " + QString::number(target.slot + 1) + " runs " + outcome.running);
        report.setSlotOutcome(outcome);
    }
    // Only a slot the run thought done fails this phase; the others failed where they failed.
    for (const auto& [slot, phaseName] : notAtTarget)
        if (phaseName == phase::kIdentify) identify.outcome = Outcome::Failed;
    return notAtTarget;
}

bool VerifyDevice(DriverContext& context, const DeviceFinding& finding, const QString& version) {
    RunReport& report = context.report();
    Phase& identify = report.beginPhase(phase::kIdentify);
    identify.details << finding.device + " runs " + finding.running;
    if (!version.isEmpty()) identify.details << "target " + version;
    if (finding.runsApplication && (version.isEmpty() || finding.running == version)) return true;
    identify.outcome = Outcome::Failed;
    const QString target = version.isEmpty() ? "its application" : version;
    context.ShowMessage("Error: the " + finding.device + " runs " + finding.running +
                            " after the run, not " + target + ".\r" +
                            AdviceLines(report.adviceFor(identify)),
                        kIconStop);
    return false;
}

}  // namespace quorvel
