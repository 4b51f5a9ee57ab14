#include "operator/drivers/download_all.h"

#include <QFileInfo>

#include "operator/drivers/amplifier_download.h"
#include "operator/drivers/firmware_file_check.h"
#include "operator/drivers/loader2_file.h"
#include "operator/drivers/run_plan.h"
#include "operator/drivers/verify_step.h"

namespace quorvel {
namespace {

constexpr QChar kCr = '\r';
const QString kDownloadAllNotSupported =
    "- Download of this device not supported by this function. Please download manually!";

QString nameOf(const QString& identity) { return identity.section(kCr, 0, 0); }

QString foundLine(const FirmwareChoice& firmware) {
    return "Firmware file " + QFileInfo(firmware.file).fileName().toUpper() + ", Version " +
           firmware.version + ", found for:" + kCr;
}

QString missingLine(const QString& type) {
    return "No Firmware file (" + type.toUpper() + "P*.S00) found for:" + kCr;
}

// Why the download of `file` would be refused (the file or its loader 2 missing or unreadable);
// empty when it can run. Decided in the planning pass, so that no group is refused after
// another one was loaded.
QString filesProblem(const QString& file, const QString& startMode) {
    if (QString problem = FirmwareFileProblem(file); !problem.isEmpty()) return problem;
    const QString extension = Loader2Extension(startMode);
    const QString loader2 = FindLoader2File(file, extension);
    if (loader2.isEmpty()) return "no loader 2 file (*." + extension + ") found for it";
    return FirmwareFileProblem(loader2);
}

// Why update-all leaves the module to the operator with `firmware` (the download would ask
// about its CAN settings, or refuse the firmware); empty when it does not.
QString manualOnly(const SlotRecord& record, const FirmwareChoice& firmware) {
    if (LosesCanSettings(record))
        return QString("Attention: please update RA51/B P2.06/P5.06 manually!");
    if (RefusesOldFirmware(record, QFileInfo(firmware.file).fileName()))
        return NewHardwareRule(record);
    return {};
}

}  // namespace

bool FirmwareUpToDate(const QString& versionSuffix, const QString& softwareVersion,
                      const QString& fileVersion) {
    if (versionSuffix == "0") return !(fileVersion > softwareVersion);
    return fileVersion < softwareVersion;
}

bool ModuleUpToDate(const SlotRecord& record, const QString& fileVersion) {
    return !ModuleRunsLoader(record) &&
           FirmwareUpToDate(record.VersionSuffix, record.SoftwareVersion, fileVersion);
}

const QString& DownloadAll::reportText() const { return context_.messages().CollectedMessages; }

void DownloadAll::append(const QString& text) { context_.messages().CollectedMessages += text; }

std::optional<FirmwareChoice> DownloadAll::defaultFirmware(const FirmwareTarget& target) {
    return context_.chooseFirmware ? context_.chooseFirmware(target, true) : std::nullopt;
}

int DownloadAll::run() {
    RunReport& report = context_.startReport("update all");
    int result = pass(kPlanning);
    if (result == kGoOn && !context_.dryRun) {
        // One position and one estimate over every group the plan loads.
        RunPlan plan(context_.ui());
        for (const PlannedGroup& group : plannedGroups_) {
            plan.beginGroup(group.name);
            PlanAmplifierDownload(
                plan, context_.state(),
                DownloadRequestFromOptions(context_.state(), group.amplifierSlots, group.firmware));
        }
        context_.wholeRunPlan = &plan;
        result = pass(kDownload);
        context_.wholeRunPlan = nullptr;
    }
    // A failed group is a failure of the whole run, whatever the protocol viewer answered.
    if (result == kGoOn && (failedBefore_ || failureCount_ > 0)) result = -1;
    report.setResult(result);
    return result;
}

int DownloadAll::pass(Pass which) {
    pass_ = which;
    ProgramState& state = context_.state();
    state.LastResult = 0;
    failureCount_ = 0;
    failedBefore_ = false;
    context_.shell().EnableUserInterface(false);
    if (pass_ == kPlanning) {
        // Empty slots are asked for a loader too: a module waiting in its loader is outdated,
        // and one left out of the scan would be left out of the update unseen.
        const bool loaderOption = state.ScanForLoader1;
        state.ScanForLoader1 = true;
        scanSucceeded_ = context_.shell().ScanSystem() == ScanOutcome::Finished;
        state.ScanForLoader1 = loaderOption;
        context_.shell().EnableUserInterface(false);
    }
    MessageService& messages = context_.messages();
    messages.CollectedMessages = "Ventrix: " + PortSummary(state.Port) + kCr +
                                 "File Dir: " + state.DownloadDirectory + kCr + kCr;
    if (!scanSucceeded_) {
        context_.ShowMessage("Scan failed, exit function!", kIconStop);
        context_.shell().EnableUserInterface(true);
        return kScanFailed;
    }
    messages.QuietMessages = true;
    components_ = 0;
    loops_ = 0;
    if (pass_ == kPlanning) plannedGroups_.clear();
    enabled_.fill(true);
    checked_.fill(false);
    processorSection();
    panelSection();
    amplifierGroups();
    const int result = endOfPass();
    messages.QuietMessages = false;
    if (pass_ == kPlanning) state.Busy = false;
    context_.shell().EnableUserInterface(true);
    return result;
}

void DownloadAll::processorSection() {
    const ProcessorRecord& processor = context_.state().Inventory.processor;
    if (processor.Identity == kNotDetected || processor.Identity.isEmpty()) return;
    const auto firmware = defaultFirmware({FirmwareDeviceKind::Processor, -1, {}});
    const QString name = "- KX: " + nameOf(processor.Identity) + " --> ";
    if (!firmware) {
        append(missingLine(processor.ProcessorType) + name + "not selected" +
               ", no firmware file found" + kCr);
    } else if (FirmwareUpToDate(processor.VersionSuffix, processor.SoftwareVersion,
                                firmware->version)) {
        append(foundLine(*firmware) + name + "not selected" + ", version is up to date" + kCr);
    } else {
        append(foundLine(*firmware) + name + "not selected, but new version available" + kCr +
               kDownloadAllNotSupported + kCr);
    }
    append(kCr);
}

void DownloadAll::panelSection() {
    const PanelRecord& panel = context_.state().Inventory.panel;
    if (panel.Identity == kNotDetected || panel.Identity.isEmpty()) return;
    const auto firmware = defaultFirmware({FirmwareDeviceKind::Panel, -1, {}});
    const QString name = "- DV: " + nameOf(panel.Identity) + " --> ";
    if (!firmware) {
        append(missingLine(panel.PanelType) + name + "not selected" + ", no firmware file found" +
               kCr);
    } else if (firmware->version > "P" + panel.SoftwareVersion) {
        append(foundLine(*firmware) + name + "not selected, but new version available" + kCr +
               kDownloadAllNotSupported + kCr);
        if (panel.SoftwareVersion < "4.00" && firmware->version >= "P4.00") {
            append(QString("- Maybe DV Loader1 update is necessary first.") + kCr);
        }
    } else {
        append(foundLine(*firmware) + name + "not selected" + ", version is up to date" + kCr);
    }
    append(kCr);
}

void DownloadAll::amplifierGroups() {
    for (;;) {
        int first = -1;
        for (int slot = 0; slot < 16 && first < 0; ++slot)
            if (enabled_[slot] && !checked_[slot]) first = slot;
        if (first < 0) return;
        group(first);
    }
}

void DownloadAll::group(int first) {
    const auto& records = context_.state().Inventory.slotRecords;
    const SlotRecord& leader = records[first];
    checked_[first] = true;
    const bool detected = leader.Identity != kNotDetected && !leader.Identity.isEmpty();
    groupFirmware_.reset();
    groupProblem_.clear();
    if (detected) {
        groupFirmware_ = defaultFirmware(AmplifierTarget(context_.state(), first));
        append(groupFirmware_ ? foundLine(*groupFirmware_) : missingLine(leader.TypePrefix));
        if (groupFirmware_)
            groupProblem_ = filesProblem(groupFirmware_->file, context_.state().StartMode);
    }
    const int snapshot = components_;
    groupSlots_.clear();
    Phase& phase = context_.report().beginPhase(
        "group " + leader.TypePrefix, pass_ == kPlanning ? Outcome::Planned : Outcome::Done);
    if (groupFirmware_) phase.details << "firmware " + groupFirmware_->file;
    for (int slot = 0; slot < 16; ++slot) {
        if (records[slot].TypePrefix != leader.TypePrefix) continue;
        checked_[slot] = true;
        if (records[slot].Identity == kNotDetected || records[slot].Identity.isEmpty()) {
            enabled_[slot] = false;
            if (pass_ == kDownload && plannedSelected_[slot]) lost(slot);
            continue;
        }
        if (decideSlot(slot, groupFirmware_)) groupSlots_.push_back(slot);
    }
    if (!groupSlots_.empty()) {
        if (!failedBefore_) ++loops_;
        if (pass_ == kPlanning)
            plannedGroups_.push_back({leader.TypePrefix, groupSlots_, *groupFirmware_});
        if (pass_ == kDownload) downloadGroup(snapshot);
    }
    if (groupSlots_.empty()) phase.outcome = Outcome::Skipped;
    if (detected) append(kCr);
    context_.RefreshDeviceTree();
}

bool DownloadAll::decideSlot(int slot, const std::optional<FirmwareChoice>& firmware) {
    const SlotRecord& r = context_.state().Inventory.slotRecords[slot];
    append("- Slot " + QString::number(slot + 1) + " : " + nameOf(r.Identity) + " --> ");
    QString decision;
    bool selected = false;
    if (pass_ == kDownload) {
        // The download pass runs the accepted plan, even where an earlier group's rack reset
        // has started a module's application since; but a module that application turns into
        // one the planning pass leaves to the operator is left to the operator.
        decision = plannedDecision_[slot];
        selected = plannedSelected_[slot];
        if (const QString rule = firmware ? manualOnly(r, *firmware) : QString();
            selected && !rule.isEmpty()) {
            selected = false;
            decision = "not selected, it runs " + RunningState(r) + " since the plan, " + rule;
        }
        if (selected && !failedBefore_) ++components_;
    } else if (firmware && LosesCanSettings(r)) {
        decision = "not selected, " + manualOnly(r, *firmware);
    } else if (!firmware) {
        decision = QString("not selected") + ", no firmware file found";
    } else if (!groupProblem_.isEmpty()) {
        decision = "not selected, " + groupProblem_;
    } else if (RefusesOldFirmware(r, QFileInfo(firmware->file).fileName())) {
        decision = "not selected, " + manualOnly(r, *firmware);
    } else if (ModuleUpToDate(r, firmware->version)) {
        decision = QString("not selected") + ", version is up to date";
    } else {
        selected = true;
        decision = "selected for download";
        if (ModuleRunsLoader(r)) decision += " (it runs its " + RunningState(r) + ")";
        if (!failedBefore_) ++components_;
    }
    if (pass_ == kPlanning) {
        plannedDecision_[slot] = decision;
        plannedSelected_[slot] = selected;
    }
    append(decision + kCr);
    context_.report().addDetail("slot " + QString::number(slot + 1) + " " + r.IdentifiedType + " " +
                                r.SoftwareVersion + ": " + decision);
    // Modules that are not loaded, and in the planning pass every module, leave the selection.
    if (!selected || pass_ == kPlanning) enabled_[slot] = false;
    return selected;
}

// A module the plan selected that no longer answers: not loaded, and the run fails.
void DownloadAll::lost(int slot) {
    const QString text =
        "- Slot " + QString::number(slot + 1) + " : --> not loaded, the module no longer answers";
    append(text + kCr);
    context_.report().addDetail(text.mid(2));
    SlotOutcome outcome;
    outcome.slot = slot;
    outcome.target = groupFirmware_ ? groupFirmware_->version : QString();
    outcome.running = "not detected";
    outcome.phase = phase::kIdentify;
    context_.report().setSlotOutcome(outcome);
    ++failureCount_;
}

void DownloadAll::downloadGroup(int snapshot) {
    if (failedBefore_) {
        append(QString("*** Download ignored because of failure before! ***") + kCr);
        context_.report().addDetail("ignored because of a failure before");
        return;
    }
    append(QString("*** Download started! ***") + kCr);
    context_.WriteProtocol("-->Download RAxx.<--");
    if (context_.wholeRunPlan)
        context_.wholeRunPlan->enterGroup(
            context_.state().Inventory.slotRecords[groupSlots_.front()].TypePrefix);
    AmplifierDownloadRequest request =
        DownloadRequestFromOptions(context_.state(), groupSlots_, *groupFirmware_);
    const AmplifierDownloadResult outcome = RunAmplifierDownload(context_, request);
    // This group's modules are done; the next group loads only its own.
    for (const int slot : groupSlots_) enabled_[slot] = false;
    context_.state().LastResult = outcome.result;
    failureCount_ += static_cast<int>(outcome.failedSlots.size());
    if (outcome.result == 0) return;
    append("*** Error " + QString::number(outcome.result) +
           ", function download all exits here! ***" + kCr);
    components_ = snapshot;
    --loops_;
    failedBefore_ = true;
}

int DownloadAll::endOfPass() {
    ReportView view;
    int result = kGoOn;
    const QString totals =
        QString::number(components_) + " in " + QString::number(loops_) + " loop(s).";
    if (pass_ == kPlanning) {
        append("Components selected for download: " + totals);
        view.title = "Download All Amplifiers - To Do List";
        if (components_ == 0) {
            view.message = "Nothing to do!";
            view.firstButton = "Exit";
            view.icon = ReportView::kExclamation;
            result = kNothingToDo;
        } else {
            view.message = "This function may take some time. Start all downloads?";
            view.firstButton = "Start";
            view.secondButton = "Cancel";
            view.icon = ReportView::kQuestion;
        }
        if (context_.dryRun) return result;
    } else {
        append("Downloads done: " + totals);
        view.title = "Download All Amplifiers - Protocol";
        view.firstButton = "OK";
        const bool errors = context_.state().LastResult != 0 || failureCount_ != 0 || failedBefore_;
        if (!errors) {
            if (components_ > 0) append(" No Errors.");
            view.message = components_ > 0 ? "Downloads done. No Errors." : "Nothing done!";
            view.icon = components_ > 0 ? ReportView::kNone : ReportView::kExclamation;
        } else {
            append(" Errors, please check protocol.");
            if (reportText().contains("WS003")) {
                append(QString(kCr) + "You have WS003 devices in your system. If download of" +
                       kCr + "a WS003 device failed, please repeat download manually!" + kCr +
                       "Have a look to the online help file how to do this.");
            }
            view.message = "Error! Please reboot Ventrix and start again!";
            view.icon = ReportView::kExclamation;
        }
    }
    view.report = reportText();
    // Only the to-do list can be declined; the protocol comes after the rack was changed.
    if (!context_.ui().showReport(view) && pass_ == kPlanning) result = kNotConfirmed;
    return result;
}

}  // namespace quorvel
