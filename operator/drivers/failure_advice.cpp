#include "operator/drivers/failure_advice.h"

#include <QStringList>

namespace quorvel {
namespace {

// The states a failure leaves, and the step that recovers from each.
const QString kStateIntact =
    "The old firmware is intact; the module may wait in its loader until the rack is reset.";
const QString kStepResetAndRepeat =
    "Check the connection (Options, Port), reset the rack (Tools, Reset VTX system), scan, and "
    "start the download again.";
const QString kStateCanDeleted =
    "The module's CAN database is deleted; its firmware is intact and the module may wait in its "
    "loader until the rack is reset.";
const QString kStateReplacing =
    "The firmware was being replaced: the module waits in its loader without a complete "
    "firmware.";
const QString kStepRepeatAtOnce =
    "Do not switch the rack off. Start the same download again at once: the module takes new "
    "firmware from its loader. Where the slot shows no module (it lost power, or waits in loader "
    "1, which a plain scan does not ask), switch the rack on, tick Options, \"Scan empty slot for "
    "Loader1\", scan, and start it then. If it fails again, save the diagnostics and send them "
    "to service.";
const QString kStateChannelCheck =
    "The firmware was started, but the rack's channel check refused: a module waits in its "
    "loader, either one of this run whose firmware did not start or another one (a plain scan "
    "does not show a module in loader 1).";
const QString kStepLoadWaitingFirst =
    "Do not switch the rack off. Start the same download again at once: a module of this run "
    "takes new firmware from its loader. If the check refuses again, tick Options, \"Scan empty "
    "slot for Loader1\", scan, and download to every other module shown in its loader first.";
const QString kStateWritten =
    "The new firmware is written; the module may not have restarted with it.";
const QString kStepPowerCycle =
    "Switch the rack off and on, scan, and check the version shown for the module.";
const QString kStateNotAtTarget =
    "The module is not at the target version: it runs what its slot shows (old firmware or a "
    "loader).";
const QString kStepRepeatFromScan =
    "Do not switch the rack off. Tick the slot (the tree shows what it runs now) and start the "
    "same download again; a module in its loader takes new firmware from there.";
const QString kStateUploadFlash =
    "The module's firmware is unchanged; it may wait in its loader until the rack is reset. No "
    "incomplete file was kept.";
const QString kStepUploadFlash =
    "Reset the rack (Tools, Reset VTX system), scan, and start the upload again.";
const QString kStateBackup =
    "Nothing was downloaded: the module's firmware is unchanged; it may wait in its loader until "
    "the rack is reset.";
const QString kStepBackup = "Reset the rack (Tools, Reset VTX system), scan, check the backup "
                            "directory, and start the download with its backup again.";
const QString kStateUploadEeprom =
    "The modules' firmware and settings are unchanged. No incomplete file was kept.";
const QString kStepUploadEeprom = "Check the connection (Options, Port) and start the upload again.";
const QString kStateMaintenance =
    "The command may not have reached every module; the firmware is unchanged.";
const QString kStepMaintenance = "Scan, check the settings shown for the modules, and give the "
                                 "command again.";
const QString kStateModeSwitch =
    "Some modules may run in the new mode and others in the old one; their settings may not be "
    "stored. The rack was not reset.";
const QString kStepModeSwitch =
    "Scan, tick the same modules and switch them again; the rack is reset after the switch.";
const QString kStateModeReset = "The modules run in the new mode; the rack may not have restarted.";
const QString kStateSubChannels =
    "Some modules may have the new count and others the old one; the rack may still be "
    "restarting.";
const QString kStepSubChannels =
    "Wait until the rack answers, scan, check the counts shown and give the command again.";
const QString kStateBaudRate =
    "The rack's interface may still run at its old baud rate; the modules are unchanged.";
const QString kStepBaudRate = "Switch the rack off and on, scan, and give the command again.";
const QString kStateLoader1Reset =
    "Loader 1 of the module may not be rebuilt; its firmware is unchanged.";
const QString kStepLoader1Reset =
    "Reset the rack (Tools, Reset VTX system), scan, and reset loader 1 of the slot again.";
const QString kStateChannelNames = "Some channel names may remain; nothing else was changed.";
const QString kStepChannelNames = "Scan and clear the channel names again.";
const QString kStateRackReset = "The rack may not have restarted; the modules are unchanged.";
const QString kStepRackReset = "Switch the rack off and on, and scan.";
const QString kStateKxNotInLoader =
    "The processor did not start its boot loader: it still runs the firmware it ran before; "
    "nothing was activated.";
const QString kStepKxNotInLoader =
    "Reset the rack (Tools, Reset VTX system), scan, and start the processor download again.";
const QString kStateNodePod = "The NodePod may be left in its loader.";
const QString kStepNodePod =
    "Switch the rack and the NodePods off and on, scan, and start the NodePod download of that "
    "NodePod again (Transfer, Download NODEPOD Firmware).";
const QString kStateKxSettingsSaved =
    "The processor waits in its boot loader with part of the new files; the settings it had are "
    "saved on this computer.";
const QString kStepKxRepeat =
    "Do not switch the rack off. Run the same processor download again: it goes on from the boot "
    "loader and writes the saved settings back.";
const QString kStateKxUnknown =
    "The processor runs its old firmware, or waits in its boot loader when the copy had begun.";
const QString kStepKxScanAndRepeat =
    "Scan, and run the same processor download again; a processor in its boot loader takes the "
    "firmware from there.";
const QString kStateKx33NotRestarted =
    "The new firmware is in the KX33's flash, but the processor did not answer after its restart.";
const QString kStepKx33Restart =
    "Check the KX33, or choose a higher reset time (Options, Port); switch the rack off and on, "
    "and scan.";
const QString kStateKx33FlashBroken = "The KX33's flash holds no complete firmware.";
const QString kStepKx33RepeatAtOnce =
    "Do not switch the rack off. Run the same KX33 download again until it succeeds.";
const QString kStateKx33Unchanged = "The KX33 keeps its old firmware.";
const QString kStepKx33Repeat = "Check the connection (Options, Port) and start the KX33 download "
                                "again.";
const QString kStatePanel =
    "The panel may wait in its loader without a complete firmware.";
const QString kStepPanel =
    "Run the same panel download again; a panel that no longer answers is brought back with the "
    "panel bootstrap (service start).";
const QString kStateBootstrap =
    "The panel's flash may be incomplete; the panel stays in its bootstrap mode while its jumper "
    "is set.";
const QString kStepBootstrap = "Switch the rack off and on, and run the bootstrap again.";
// A processor, panel or NodePod run that ended without its device at the chosen version.
const QString kStateKxNotAtTarget =
    "The processor does not run the chosen firmware: it runs what the tree shows (its old "
    "firmware, or its boot loader when the copy had begun).";
const QString kStateKx33NotAtTarget =
    "The KX33 does not run the chosen firmware: it runs what the tree shows, or does not answer.";
const QString kStatePanelNotAtTarget =
    "The panel does not run the chosen firmware: it runs what the tree shows, or waits in its "
    "loader.";
const QString kStateNodePodNotAtTarget =
    "The NodePod does not run the chosen firmware: it runs what its scan shows, or waits in its "
    "loader.";
const QString kStateUnknown = "Unknown: the program cannot tell what the device holds now.";
const QString kStepUnknown =
    "Switch the rack off and on, scan, and check every module; save the diagnostics if the "
    "failure repeats.";
const QString kStepRefused = "Correct what the message names and start again.";
const QString kStateLeftOut =
    "Nothing was sent to the module: it runs the firmware it ran before. The other selected "
    "modules were loaded.";
const QString kStepLeftOut =
    "Choose firmware the module accepts (the message says which) and download it to this slot.";

struct Row {
    QString phase;      // the run report's phase name; ending in '*': every name it begins
    QString operation;  // empty: every operation
    QString message;    // empty: every message; else the start of the failure's message
    QString state;
    QString nextStep;
    bool nothingChanged = false;
};

// The table. A row that names an operation or a message wins over one that does not.
const Row kRows[] = {
    {phase::kCheckSelection, {}, {}, kNothingChanged, kStepRefused, true},
    {phase::kDeleteCanDatabase, {}, {}, kStateCanDeleted, kStepResetAndRepeat},
    {phase::kSwitchToLoader1, {}, {}, kStateIntact, kStepResetAndRepeat},
    {phase::kDownloadLoader2, {}, {}, kStateIntact, kStepResetAndRepeat},
    {phase::kDownloadApplication, {}, {}, kStateReplacing, kStepRepeatAtOnce},
    {phase::kStartApplication, {}, {}, kStateReplacing, kStepRepeatAtOnce},
    {phase::kChannelCheck, {}, {}, kStateChannelCheck, kStepLoadWaitingFirst},
    {phase::kVerifyNewFirmware, {}, {}, kStateReplacing, kStepRepeatAtOnce},
    {phase::kLoader2OfNewFirmware, {}, {}, kStateWritten, kStepPowerCycle},
    {phase::kEstablish, {}, {}, kStateWritten, kStepPowerCycle},
    {phase::kReset, {}, {}, kStateWritten, kStepPowerCycle},
    {phase::kResetRack, {}, {}, kStateWritten, kStepPowerCycle},
    {phase::kIdentify, {}, {}, kStateNotAtTarget, kStepRepeatFromScan},
    {phase::kLeftOut, {}, {}, kStateLeftOut, kStepLeftOut},
    {phase::kUploadFlash, {}, {}, kStateUploadFlash, kStepUploadFlash},
    {phase::kReset, "upload flash", {}, kStateUploadFlash, kStepUploadFlash},
    {phase::kBackup, {}, {}, kStateBackup, kStepBackup},
    {phase::kUploadEeprom, {}, {}, kStateUploadEeprom, kStepUploadEeprom},
    {phase::kMaintenance, {}, {}, kStateMaintenance, kStepMaintenance},
    {phase::kSwitchToRc, {}, {}, kStateModeSwitch, kStepModeSwitch},
    {phase::kSwitchToRa, {}, {}, kStateModeSwitch, kStepModeSwitch},
    {phase::kResetRack, "switch to RC", {}, kStateModeReset, kStepPowerCycle},
    {phase::kResetRack, "switch to RA", {}, kStateModeReset, kStepPowerCycle},
    {phase::kResetRack, "reset", {}, kStateRackReset, kStepRackReset},
    {phase::kChangeSubChannels, {}, {}, kStateSubChannels, kStepSubChannels},
    {phase::kInterfaceBaudRate, {}, {}, kStateBaudRate, kStepBaudRate},
    {phase::kResetLoader1, {}, {}, kStateLoader1Reset, kStepLoader1Reset},
    {phase::kClearChannelNames, {}, {}, kStateChannelNames, kStepChannelNames},
    {"*", {}, "KX is not in BootLoader1 mode!", kStateKxNotInLoader, kStepKxNotInLoader},
    {"node *", {}, {}, kStateNodePod, kStepNodePod},
    {"*", "processor download", "KX is left in its boot loader", kStateKxSettingsSaved,
     kStepKxRepeat},
    {"*", "processor download", {}, kStateKxUnknown, kStepKxScanAndRepeat},
    {"*", "kx33 download", "Flash programmed correctly", kStateKx33NotRestarted, kStepKx33Restart},
    {"*", "kx33 download", "C R I T I C A L", kStateKx33FlashBroken, kStepKx33RepeatAtOnce},
    {"*", "kx33 download", {}, kStateKx33Unchanged, kStepKx33Repeat},
    {"*", "panel download", {}, kStatePanel, kStepPanel},
    {"*", "panel loader1", {}, kStatePanel, kStepPanel},
    {"*", "panel bootstrap", {}, kStateBootstrap, kStepBootstrap},
    {phase::kIdentify, "processor download", {}, kStateKxNotAtTarget, kStepKxScanAndRepeat},
    {phase::kIdentify, "processor activate", {}, kStateKxNotAtTarget, kStepKxScanAndRepeat},
    {phase::kIdentify, "kx33 download", {}, kStateKx33NotAtTarget, kStepKx33Restart},
    {phase::kIdentify, "panel download", {}, kStatePanelNotAtTarget, kStepPanel},
    {phase::kIdentify, "panel loader1", {}, kStatePanelNotAtTarget, kStepPanel},
    {phase::kIdentify, "panel activate", {}, kStatePanelNotAtTarget, kStepPanel},
    {phase::kIdentify, "nodepod download", {}, kStateNodePodNotAtTarget, kStepNodePod},
    {phase::kIdentify, "NodePod download", {}, kStateNodePodNotAtTarget, kStepNodePod},
    {phase::kIdentify, "nodepod loader 1 download", {}, kStateNodePodNotAtTarget, kStepNodePod},
};

bool phaseMatches(const Row& row, const QString& name) {
    // A null name (a failure outside every phase) starts with nothing but the empty prefix.
    if (row.phase.endsWith('*')) return row.phase == "*" || name.startsWith(row.phase.chopped(1));
    return row.phase == name;
}

}  // namespace

FailureAdvice AdviceFor(const QString& phaseName, const QString& operation,
                        const QString& message) {
    const Row* best = nullptr;
    int bestScore = -1;
    for (const Row& row : kRows) {
        if (!phaseMatches(row, phaseName)) continue;
        if (!row.operation.isEmpty() && row.operation != operation) continue;
        if (!row.message.isEmpty() && !message.startsWith(row.message)) continue;
        const int score = (row.message.isEmpty() ? 0 : 4) + (row.operation.isEmpty() ? 0 : 2) +
                          (row.phase.endsWith('*') ? 0 : 1);
        if (score > bestScore) {
            best = &row;
            bestScore = score;
        }
    }
    if (!best) return {kStateUnknown, kStepUnknown, false};
    return {best->state, best->nextStep, best->nothingChanged};
}

FailureAdvice RefusalAdvice() { return AdviceFor(phase::kCheckSelection); }

QString RefusalText(const QString& message) { return message + "\r" + RefusalAdvice().state; }

QString AdviceLines(const FailureAdvice& advice) {
    return "State: " + advice.state + "\rNext step: " + advice.nextStep;
}

}  // namespace quorvel
