#include "operator/drivers/amplifier_download.h"

#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <map>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/failure_advice.h"
#include "operator/drivers/firmware_catalogue.h"
#include "operator/drivers/firmware_file_check.h"
#include "operator/drivers/loader2_file.h"
#include "operator/drivers/maintenance.h"
#include "operator/drivers/operation_frame.h"
#include "operator/drivers/panel_switch_out.h"
#include "operator/drivers/run_plan.h"
#include "operator/drivers/undetected_device.h"
#include "operator/drivers/verify_step.h"

namespace quorvel {
namespace {

const QString kUndetectedChannelQuestion =
    "You have selected an undetected channel !\r\rThis works only if there was an unsuccesful\r"
    "download with a WS003 (RAxx) device !!!\r\rIf you have a WS004 or WS006 device (e.g. "
    "RAxxB)\rthe device MUST appear (in bootloader mode) -\rin this case switch option 'scan "
    "empty slot for loader1'\rto on and scan VTX system again!\r\rDo you want to continue?";
const QString kNewHardwareQuestion =
    "Some RA901B/RA677 with hardware revision >= 1.20 detected.\rOnly firmware versions >= "
    "P6.48 in these amplifiers allowed!\r\rWould you like to update all amplifiers with hardware "
    "revision < 1.20?";
const QString kNewHardwareRefused =
    "RA901B/RA677 with hardware revision >= 1.20 detected.\rOnly firmware versions >= P6.48 "
    "allowed!\rPlease select again!";
const QString kNoLoader2 =
    "No Loader2 *.ld2 file found for selected firmware!\rPlease have a look at your firmware "
    "files installation.";
const QString kNoProductionLoader2 =
    "No Loader2 *.lp2 file found for selected firmware!\rYou are in production mode, be sure "
    "that you want that!\rPlease have a look at your firmware files installation.";
const QString kGeneralError =
    "Error download!\rIt's possible, that this device stays\rin a bootloader mode now!\rPlease "
    "restart your VTX-System\rand try again!";
constexpr int kLastMarker = 0xFF;
constexpr int kOtherMarker = 0x55;

bool isProductionMode(const QString& startMode) { return startMode == "P" || startMode == "O"; }

// The slot's error with what it runs now, the state it is left in and the next step (from the
// table of advice).
QString slotError(int slot, const QString& phaseName, const QString& running) {
    return "Download Error in Slot " + QString::number(slot + 1) + " !" + "\r\r" + "Slot " +
           QString::number(slot + 1) + " now runs: " + running + "\r" +
           AdviceLines(AdviceFor(phaseName, "download"));
}

// A refusal before anything was sent: what is wrong, then the table's refusal advice.
QString refusal(const QString& problem) { return problem + "\r\r" + AdviceLines(RefusalAdvice()); }

bool detected(const SlotRecord& record) {
    return !record.Identity.isEmpty() && record.Identity != "not detected";
}

QString slotName(const SlotRecord& record) {
    return "slot " + QString::number(record.Slot + 1) + " " +
           (record.IdentifiedType.isEmpty() ? record.TypePrefix : record.IdentifiedType);
}

// Firmware that drops the module's CAN settings when it is replaced.
bool losesCanSettings(const SlotRecord& record) {
    return (record.IdentifiedType == "RA51" && record.SoftwareVersion == "P2.06") ||
           (record.IdentifiedType == "RA51B" && record.SoftwareVersion == "P5.06");
}

}  // namespace

bool RefusesOldFirmware(const SlotRecord& record, const QString& fileName) {
    const QString name = fileName.toLower();
    if (record.HardwareRevision < "1.20") return false;
    if (record.IdentifiedType == "RA901B") return name < "ra901bp648";
    if (record.IdentifiedType == "RA677") return name < "ra677p648";
    return false;
}

namespace {

class AmplifierDownload {
  public:
    AmplifierDownload(DriverContext& context, AmplifierDownloadRequest request)
        : context_(context),
          state_(context.state()),
          ui_(context.ui()),
          gateway_(context.gateway()),
          report_(context.report()),
          request_(std::move(request)) {
        std::sort(request_.amplifierSlots.begin(), request_.amplifierSlots.end());
    }

    AmplifierDownloadResult run() {
        context_.WriteProtocol("-->Download RA().<--");
        context_.WriteProtocol("DownloadType : " + QString::number(request_.downloadType));
        context_.WriteProtocol("Activate Only: " + QString::number(request_.activateOnly));
        report_.beginPhase(phase::kCheckSelection);
        if (!checkSelection()) return declined();
        // In a dry run the hook only records what it would do.
        if (context_.beforeRun) {
            if (const int r = context_.beforeRun(request_.amplifierSlots)) {
                result_.result = r;
                return result_;
            }
        }
        if (context_.dryRun) return plan();
        planSteps();
        if (!deleteCanDatabases()) return result_;
        if (BaudRateCommandNeeded(state_.Inventory, request_.amplifierSlots))
            SetInterfaceBaudRate(context_);
        download();
        return result_;
    }

  private:
    const SlotRecord& record(int slot) const { return state_.Inventory.slotRecords[slot]; }
    QString fileName() const { return QFileInfo(request_.firmware.file).fileName(); }

    AmplifierDownloadResult declined() {
        result_.result = kOperationDeclined;
        result_.declined = true;
        report_.failPhase();
        return result_;
    }

    // A question; in a dry run it is only noted and counts as yes.
    bool ask(const QString& question) {
        if (context_.dryRun) {
            report_.addMessage(ReportMessage::Kind::Warning, "asks: " + question);
            return true;
        }
        return context_.ShowMessage(question, kYesNo | kIconExclamation) == kAnswerYes;
    }

    // Every check that can refuse, the questions last: nothing is sent before all passed.
    bool checkSelection() {
        if (request_.amplifierSlots.empty()) return false;
        if (!checkOneFamily() || !checkFirmwareFile()) return false;
        if (!checkUndetected() || !checkNewHardware() || !findLoader2()) return false;
        return checkCanSettings();
    }

    bool refuse(const QString& problem) {
        report_.addMessage(ReportMessage::Kind::Error, problem);
        context_.ShowMessage(refusal(problem), kIconExclamation);
        return false;
    }

    // One download loads one firmware into every selected module: the type code, module code and
    // file of the first detected module serve them all.
    bool checkOneFamily() {
        const SlotRecord* first = nullptr;
        QStringList named;
        bool mixed = false;
        for (const int slot : request_.amplifierSlots) {
            const SlotRecord& r = record(slot);
            if (!detected(r)) continue;
            named << slotName(r);
            if (!first) {
                first = &r;
                continue;
            }
            mixed = mixed || r.ControllerKind != first->ControllerKind ||
                    r.AmpCode != first->AmpCode ||
                    FileTypePrefix(state_, r).compare(FileTypePrefix(state_, *first),
                                                      Qt::CaseInsensitive) != 0;
        }
        if (!mixed) return true;
        return refuse("The selected modules need different firmware: " + named.join(", ") +
                      ".\rOne download loads one firmware type. Select modules of one type, or "
                      "use \"Update all RA Amplifiers\" (quorvel-cli update-all) for a rack of "
                      "mixed types.");
    }

    // The file exists, the image readers accept it, and the firmware list of the selection's
    // modules offers it (it is of their family).
    bool checkFirmwareFile() {
        using Content = AmplifierDownloadRequest::Content;
        if (request_.content == Content::IecSoftware) return true;
        if (const QString problem = FirmwareFileProblem(request_.firmware.file); !problem.isEmpty())
            return refuse(problem);
        if (request_.content != Content::Application) return true;
        for (const int slot : request_.amplifierSlots) {
            if (!detected(record(slot))) continue;
            ProgramState scratch = state_;  // opening a list records its choice
            const FirmwareList list = OpenFirmwareList(scratch, AmplifierTarget(scratch, slot));
            for (const FirmwareEntry& entry : list.entries)
                if (entry.key.compare(fileName(), Qt::CaseInsensitive) == 0) return true;
            return refuse("The firmware file " + fileName() + " is not made for " +
                          slotName(record(slot)) + ".\rChoose one of its firmware list.");
        }
        return true;
    }

    bool checkUndetected() {
        const bool any = std::any_of(request_.amplifierSlots.begin(), request_.amplifierSlots.end(),
                                     [&](int s) { return record(s).Identity == "not detected"; });
        if (!any || ask(kUndetectedChannelQuestion)) return true;
        context_.ShowMessage(kUndetectedStopped, kIconExclamation);
        return false;
    }

    bool checkNewHardware() {
        std::vector<int> older;
        for (const int slot : request_.amplifierSlots)
            if (!RefusesOldFirmware(record(slot), fileName())) older.push_back(slot);
        if (older.size() == request_.amplifierSlots.size()) return true;
        if (!older.empty() && ask(kNewHardwareQuestion)) {
            for (const int slot : request_.amplifierSlots)
                if (std::find(older.begin(), older.end(), slot) == older.end())
                    leftOut_.push_back(slot);
            request_.amplifierSlots = older;
            return true;
        }
        if (older.empty()) context_.ShowMessage(kNewHardwareRefused, kIconExclamation);
        return false;
    }

    bool findLoader2() {
        const QString extension = Loader2Extension(state_.StartMode);
        loader2_ = FindLoader2File(request_.firmware.file, extension);
        if (loader2_.isEmpty() &&
            request_.content == AmplifierDownloadRequest::Content::Loader1Only) {
            // A loader-1 file is named after loader 1; its loader 2 goes by the module's prefix.
            const QString directory = QFileInfo(request_.firmware.file).absolutePath();
            loader2_ = FindLoader2File(
                directory + "/" + FileTypePrefix(state_, record(request_.amplifierSlots.front())) +
                    ".x",
                extension);
        }
        if (loader2_.isEmpty()) {
            context_.ShowMessage(
                isProductionMode(state_.StartMode) ? kNoProductionLoader2 : kNoLoader2,
                kIconExclamation);
            return false;
        }
        QString problem = FirmwareFileProblem(loader2_);
        return problem.isEmpty() || refuse(problem.replace("firmware file", "loader 2 file"));
    }

    bool checkCanSettings() {
        QStringList names;
        for (const int slot : request_.amplifierSlots) {
            if (!losesCanSettings(record(slot))) continue;
            canMask_ |= 1 << slot;
            if (!names.contains(record(slot).IdentifiedType)) names << record(slot).IdentifiedType;
        }
        if (canMask_ == 0) return true;
        const QString question = "\rATTENTION:" + names.join("/") + " will lose its CAN settings" +
                                 "\r" + "in firmware update!" + "\r" + "Are you sure to continue?";
        if (ask(question)) return true;
        context_.ShowMessage("Firmware Update canceled!", kIconExclamation);
        return false;
    }

    // The run's steps with their typical durations, so that the operator sees where the run
    // stands and how long it still takes.
    void planSteps() {
        const auto all = groups();
        if (canMask_) runPlan_.add(SlotsUnit(all.front()), "delete CAN database", 3000);
        const qint64 resetMs = state_.Connection.resetSeconds * 1000;
        const bool twoImages =
            request_.includeLoader1 && request_.content == AmplifierDownloadRequest::Content::Application;
        for (const auto& group : all) {
            const QString unit = SlotsUnit(group);
            const qint64 slots = static_cast<qint64>(group.size());
            runPlan_.add(unit, "switch to loader 1", 1500 * slots);
            runPlan_.add(unit, "download loader 2", 1000 + 500 * slots);
            runPlan_.add(unit, "download application", (twoImages ? 2 : 1) * 45000);
            runPlan_.add(unit, "start application", 9000 + resetMs);
            runPlan_.add(unit, "verify new firmware", 1000 * slots);
            runPlan_.add(unit, "loader 2 of the new firmware", 1000 + 500 * slots);
            runPlan_.add(unit, "establish", 1000);
            runPlan_.add(unit, "reset", 10000 + resetMs);
        }
    }

    bool deleteCanDatabases() {
        if (canMask_ == 0) return true;
        runPlan_.enter("delete CAN database");
        report_.beginPhase("delete CAN database").details << maskText(canMask_);
        context_.WriteProtocol("-->Delete RA51 CAN database.<--");
        ConnectionGuard connection(gateway_);
        const int result =
            connection.opened() ? gateway_.DeleteRA51CanDataBase(canMask_) : connection.result();
        if (result != 0) {
            report_.failPhase();
            result_.result = result;
            // The selected slots, touched or not, show what they run now.
            for (const int slot : request_.amplifierSlots)
                failedIn_[slot] = phase::kDeleteCanDatabase;
            if (connection.opened()) verify();
            return false;
        }
        context_.WriteProtocol("RA51 CAN database deleted.");
        return true;
    }

    // One slot at a time when asked for, and always for the older series: its loaders take
    // commands without an address, which only the module in the highest slot answers.
    std::vector<std::vector<int>> groups() const {
        const bool olderSeries = record(request_.amplifierSlots.front()).ControllerKind == 1;
        if (!olderSeries && !(request_.sequential && request_.downloadType == 0))
            return {request_.amplifierSlots};
        std::vector<std::vector<int>> each;
        for (const int slot : request_.amplifierSlots) each.push_back({slot});
        return each;
    }

    static QString maskText(int mask) { return "channel mask 0x" + QString::number(mask, 16); }

    // The steps in the order they run: the CAN databases go before the download.
    AmplifierDownloadResult plan() {
        if (canMask_)
            report_.beginPhase("delete CAN database", Outcome::Planned).details
                << maskText(canMask_);
        for (const auto& group : groups()) {
            QStringList amplifierSlots;
            for (const int s : group) {
                amplifierSlots << QString("slot %1 (%2 %3)")
                                      .arg(s + 1)
                                      .arg(record(s).IdentifiedType, record(s).SoftwareVersion);
            }
            report_.beginPhase("download", Outcome::Planned).details
                << amplifierSlots.join(", ")
                << "firmware " + request_.firmware.file + " (" + request_.firmware.version + ")"
                << "loader 2 " + loader2_;
        }
        recordLeftOut(Outcome::Planned);
        QStringList numbers;
        for (const int s : request_.amplifierSlots) numbers << QString::number(s + 1);
        report_.beginPhase(phase::kIdentify, Outcome::Planned).details
            << "slots " + numbers.join(',') << "target " + targetText();
        return result_;
    }

    void download() {
        OperationFrame frame(context_, {}, "-->Download finished.<--");
        const auto started = std::chrono::steady_clock::now();
        {
            ConnectionGuard connection(gateway_);
            if (!connection.opened()) {
                result_.result = connection.result();
                return;
            }
            for (const auto& group : groups()) {
                if (!runGroup(group)) break;
            }
            verify();
        }
        state_.RestartPending = false;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now() - started)
                                 .count();
        showOutcome(seconds);
    }

    bool newApplication() const {
        return request_.content == AmplifierDownloadRequest::Content::Application &&
               !request_.activateOnly;
    }

    QString targetText() const {
        return newApplication() ? request_.firmware.version : QString("the application running");
    }

    // Every selected slot identified again: a slot the run thought done but that does not run
    // the target is failed, and the tree shows what each slot runs now.
    void recordLeftOut(Outcome outcome) {
        if (leftOut_.empty()) return;
        Phase& leftOut = report_.beginPhase(phase::kLeftOut, outcome);
        for (const int slot : leftOut_)
            leftOut.details << slotName(record(slot)) +
                                   ": hardware revision >= 1.20 takes only "
                                   "firmware >= P6.48";
    }

    // The slots the operator let the plan leave out are identified too and count as not done.
    void verify() {
        recordLeftOut(Outcome::Skipped);
        std::vector<SlotTarget> targets;
        for (const int slot : request_.amplifierSlots)
            targets.push_back({slot, newApplication() ? request_.firmware.version : QString()});
        for (const int slot : leftOut_) {
            targets.push_back({slot, request_.firmware.version});
            failedIn_[slot] = phase::kLeftOut;
        }
        for (const auto& [slot, phaseName] : VerifySlots(context_, targets, failedIn_)) {
            if (failedIn_.count(slot)) continue;
            failedIn_[slot] = phaseName;
            result_.failedSlots.push_back(slot);
        }
        if (result_.result == 0 && (!result_.failedSlots.empty() || !leftOut_.empty()))
            result_.result = kNotAtTarget;
    }

    void showOutcome(long long seconds) {
        if (result_.result != 0) {
            ui_.setStatus("Error download!");
            for (const int slot : result_.failedSlots)
                context_.ShowMessage(slotError(slot, failedIn_[slot], RunningState(record(slot))),
                                     kIconExclamation);
            for (const int slot : leftOut_)
                context_.ShowMessage(leftOutMessage(slot), kIconExclamation);
            if (result_.failedSlots.empty() && leftOut_.empty())
                context_.ShowMessage(kGeneralError, kIconExclamation);
            return;
        }
        ui_.setStatus("Download finished!");
        if (isProductionMode(state_.StartMode)) {
            context_.ShowMessage(
                "Download finished in production mode!\rPlease restart your "
                "VTX-System!\rDownloadtime: " +
                    QString::number(seconds) + " seconds.",
                kIconInformation);
        } else {
            context_.ShowMessage("Download finished!", kIconInformation);
        }
    }

    QString leftOutMessage(int slot) const {
        return "Slot " + QString::number(slot + 1) + " (" + record(slot).IdentifiedType +
               ") was left out of the download: hardware revision >= 1.20 takes only firmware "
               ">= P6.48.\r\rSlot " +
               QString::number(slot + 1) + " now runs: " + RunningState(record(slot)) + "\r" +
               AdviceLines(AdviceFor(phase::kLeftOut, "download"));
    }

    // -- one run of the phases over the slots of `group`
    bool fail(int result, const std::vector<int>& amplifierSlots) {
        report_.failPhase();
        if (result_.result == 0) result_.result = result;
        for (const int slot : amplifierSlots)
            if (std::find(result_.failedSlots.begin(), result_.failedSlots.end(), slot) ==
                result_.failedSlots.end()) {
                result_.failedSlots.push_back(slot);
                failedIn_[slot] = report_.phases().back().name;
            }
        return false;
    }

    int mask(const std::vector<int>& amplifierSlots) const {
        int m = 0;
        for (const int s : amplifierSlots) m |= 1 << s;
        return m;
    }

    Phase& phase(const QString& name, const std::vector<int>& amplifierSlots) {
        runPlan_.enter(name);
        Phase& p = report_.beginPhase(name);
        QStringList numbers;
        for (const int s : amplifierSlots) numbers << QString::number(s + 1);
        p.details << "slots " + numbers.join(",");
        return p;
    }

    bool runGroup(std::vector<int> group) {
        const SlotRecord& first = record(group.front());
        type_ = first.ControllerKind;
        moduleCode_ = static_cast<int>(first.AmpCode);
        startAddress_ = static_cast<int>(first.StartAddress);
        if (!switchToLoader1(group) || !loader2(group, true) || !application(group) ||
            !startApplication(group) || !verify(group) || !loader2(group, false)) {
            return false;
        }
        return establishAndReset(group);
    }

    int switchCall(int slot, int highest, bool first) {
        GatewayLoader1Call call;
        call.channel = slot;
        call.activationCode = static_cast<int>(record(slot).AmpCode);
        call.firmwareType = type_;
        call.subChannelReset = first ? 2 : 1;
        call.readIdentification = first;
        call.marker = slot == highest ? kLastMarker : kOtherMarker;
        const bool panelOut = first && panelSwitchOut_;
        if (first) panelSwitchOut_ = false;
        int result =
            panelOut ? SwitchToLoader1PanelOut(context_, call) : gateway_.Switch2Loader1(call);
        if (result == kRefusedChannelSelection && (first || request_.downloadType != 0)) {
            call.alreadyInLoader1 = true;
            result = gateway_.Switch2Loader1(call);
        }
        return result;
    }

    bool switchToLoader1(const std::vector<int>& group) {
        phase("switch to loader 1", group);
        for (const int slot : group) {
            ui_.setStatus("Switching to Loader1...");
            const int result = switchCall(slot, group.back(), true);
            context_.WriteProtocol("Switch RA " + QString::number(slot + 1) + " to loader1.");
            if (result != 0) return fail(result, group);
        }
        return true;
    }

    bool loader2(const std::vector<int>& group, bool firstPass) {
        phase(firstPass ? "download loader 2" : "loader 2 of the new firmware", group).details
            << loader2_;
        context_.WriteProtocol(firstPass ? "Download loader2 " + loader2_ + "."
                                         : QString("Download loader2."));
        ui_.setStatus("Download Loader2...");
        if (const int r = gateway_.DownLoader2(group.front(), loader2_, type_))
            return fail(r, group);
        for (const int slot : group) {
            ui_.setStatus("Switching to Loader2...");
            context_.WriteProtocol("Starting loader2 in slot " + QString::number(slot + 1) + ".");
            QString identification;
            const int r = gateway_.Switch2Loader2(slot, type_, firstPass, &identification);
            if (r != 0) return fail(r, group);
            if (firstPass) {
                context_.WriteProtocol("Channel " + QString::number(slot) +
                                       " User Data Block Information : " + "\r" + identification);
            }
        }
        return true;
    }

    bool application(const std::vector<int>& group) {
        phase("download application", group).details << request_.firmware.file;
        context_.WriteProtocol("Download selected firmware " + request_.firmware.file + ".");
        LibraryGateway::ApplicationDownload call;
        call.channel = group.front();
        call.path = request_.firmware.file;
        call.moduleCode = moduleCode_;
        call.channelMask = mask(group);
        call.firmwareType = type_;
        call.activateOnly = request_.activateOnly;
        using Content = AmplifierDownloadRequest::Content;
        if (request_.includeLoader1 && request_.content == Content::Application) {
            ui_.setStatus("Download RA Loader1...");
            call.programMode = 1;
            if (const int r = gateway_.DownApplication(call)) return fail(r, group);
        }
        switch (request_.content) {
            case Content::Loader1Only:
                ui_.setStatus("Download RA Loader1...");
                call.programMode = 1;
                break;
            case Content::IecSoftware:
                ui_.setStatus("Download IEC software...");
                call.programMode = 0;
                call.activateOnly = true;  // the IEC software lives outside the main image
                break;
            default:
                ui_.setStatus("Download RA Application...");
                call.programMode = 0;
        }
        if (const int r = gateway_.DownApplication(call)) return fail(r, group);
        return true;
    }

    bool startApplication(const std::vector<int>& group) {
        phase("start application", group);
        ui_.setStatus("Switching to RA Application...");
        const int r = gateway_.SwitchWS(group.front(), type_, mask(group), startAddress_,
                                        state_.Connection.resetSeconds, 0);
        return r == 0 || fail(r, group);
    }

    // Each module must come back from its new firmware into loader 1; one that does not is
    // failed and left out of the remaining phases.
    bool verify(std::vector<int>& group) {
        phase("verify new firmware", group);
        std::vector<int> running;
        for (const int slot : group) {
            ui_.setStatus("Switching to Loader1...");
            context_.WriteProtocol("Starting new firmware RA " + QString::number(slot + 1) + ".");
            const int r = switchCall(slot, group.back(), false);
            if (r == 0) {
                running.push_back(slot);
                continue;
            }
            if (r == kRefusedChannelSelection) {
                context_.ShowMessage(
                    "Error starting new firmware of RA channel " + QString::number(slot),
                    kIconExclamation);
            }
            fail(r, {slot});
        }
        group = running;
        return !group.empty();
    }

    bool establishAndReset(const std::vector<int>& group) {
        phase("establish", group);
        ui_.setStatus("Establish RA...");
        if (const int r = gateway_.EstabWS(group.front(), moduleCode_, mask(group), type_,
                                           state_.Connection.resetSeconds)) {
            return fail(r, group);
        }
        phase("reset", group);
        ui_.setStatus("Reset system...");
        const PanelRecord& panel = state_.Inventory.panel;
        const bool panelShown = panel.Identity != "not detected" && !panel.Identity.isEmpty() &&
                                panel.PanelType != "DV13";
        const int r = gateway_.SwitchWS(group.front(), type_, mask(group), startAddress_,
                                        state_.Connection.resetSeconds, panelShown ? 2 : 1);
        if (r != 0) {
            context_.ShowMessage(kRestartFailed, kIconExclamation);
            report_.failPhase();
            if (result_.result == 0) result_.result = r;
            return false;
        }
        return result_.result == 0;
    }

    using GatewayLoader1Call = LibraryGateway::Loader1Switch;

    DriverContext& context_;
    ProgramState& state_;
    OperatorUi& ui_;
    LibraryGateway& gateway_;
    RunReport& report_;
    RunPlan runPlan_{context_.ui()};
    AmplifierDownloadRequest request_;
    AmplifierDownloadResult result_;
    QString loader2_;
    std::map<int, QString> failedIn_;  // slot -> the phase it failed in
    std::vector<int> leftOut_;         // new hardware the operator let the plan leave out
    int canMask_ = 0;
    bool panelSwitchOut_ = true;  // only the run's first switch to loader 1 switches it out
    int type_ = 0;
    int moduleCode_ = 0;
    int startAddress_ = 0;
};

}  // namespace

AmplifierDownloadRequest DownloadRequestFromOptions(const ProgramState& state,
                                                    std::vector<int> amplifierSlots,
                                                    FirmwareChoice firmware) {
    AmplifierDownloadRequest request;
    request.amplifierSlots = std::move(amplifierSlots);
    request.firmware = std::move(firmware);
    request.includeLoader1 = state.IncludeLoader1;
    request.sequential = state.SequentialDownload;
    if (state.OnlyLoader1) request.content = AmplifierDownloadRequest::Content::Loader1Only;
    return request;
}

AmplifierDownloadResult RunAmplifierDownload(DriverContext& context,
                                             AmplifierDownloadRequest request) {
    return AmplifierDownload(context, std::move(request)).run();
}

}  // namespace quorvel
