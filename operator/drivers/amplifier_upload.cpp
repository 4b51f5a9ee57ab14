#include "operator/drivers/amplifier_upload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/failure_advice.h"
#include "operator/drivers/loader2_file.h"
#include "operator/drivers/operation_frame.h"
#include "operator/drivers/panel_switch_out.h"
#include "operator/drivers/slot_checks.h"
#include "operator/drivers/upload_files.h"
#include "operator/drivers/verify_step.h"

namespace quorvel {
namespace {

const QString kNoUploadLoader2 =
    "Loader2 file for this device not found!\rMaybe wrong directory setting "
    "(Transfer->Directory...).";
constexpr int kNothingUploaded = -2;

// Ports other than the serial COM ports relay the upload only from these processor firmwares on.
bool uploadRefusedOnPort(const ProgramState& state) {
    const QString& port = state.Port.commPort;
    if (port == "COM1" || port == "COM2") return false;
    const ProcessorRecord& p = state.Inventory.processor;
    if (p.ProcessorType == "KX13") return p.SoftwareVersion < "P2.0";
    if (p.ProcessorType == "KX43" || p.ProcessorType == "KX43-B")
        return p.SoftwareVersion < "P2.10";
    if (p.ProcessorType == "KX43B") return p.SoftwareVersion < "P3.00";
    return false;
}

QString flashLoader2(const ProgramState& state, const SlotRecord& record, bool iec) {
    const QDir directory(state.DownloadDirectory);
    if (iec) {
        for (const QString& name :
             {QString("iecupload.ld2"), "iec" + FileTypePrefix(state, record).toLower() + ".ld2"}) {
            if (directory.exists(name)) return directory.filePath(name);
        }
        return {};
    }
    return FindLoader2File(directory.filePath(FileTypePrefix(state, record) + ".x"), "l?2");
}

// Asks before an existing file is replaced. The old file stays until the new one is complete.
bool replaceAgreed(DriverContext& context, const QString& path) {
    if (!QFileInfo::exists(path)) return true;
    return context.ShowMessage("Replace existing file - " + path + " ?",
                               kYesNo | kIconQuestion) == kAnswerYes;
}

bool writableTarget(const QString& path) {
    const QFileInfo info(path);
    return !info.fileName().isEmpty() && !info.isDir() && QFileInfo(info.absolutePath()).isDir() &&
           QFileInfo(info.absolutePath()).isWritable();
}

// The name the library gives the external flash of an upload into `path`.
QString externalFlashName(const QString& path) { return path.left(path.size() - 1) + "1"; }

// The upload's temporary name for `target`; ends in "0", so the library's external file
// (last character "1") never meets it.
QString temporaryName(const QString& target) { return target + ".partial0"; }

// Checks the delivered files and puts them in place; false (and the reason shown) otherwise.
bool keepCompleteFiles(DriverContext& context, UploadFiles& files, const QString& slotText) {
    const QString missing = files.incomplete();
    if (!missing.isEmpty()) {
        context.ShowMessage("Upload of " + slotText + " incomplete: " + missing +
                                ".\rNo file was written; an older file is kept.",
                            kIconStop);
        return false;
    }
    QString blocked;
    if (files.commit(blocked)) return true;
    context.ShowMessage("Error deleting file\r" + blocked, kIconStop);
    return false;
}

class FlashUpload {
  public:
    FlashUpload(DriverContext& context, const FlashUploadRequest& request)
        : context_(context), state_(context.state()), request_(request) {}

    int run() {
        context_.report().beginPhase(phase::kCheckSelection);
        if (const int refused = check()) return refused;
        if (!chooseTarget()) return refuse();
        Phase& plan = context_.report().beginPhase(
            phase::kUploadFlash, context_.dryRun ? Outcome::Planned : Outcome::Done);
        plan.details << QString("slot %1").arg(slot_ + 1) << "loader 2 " + loader2_
                     << "file " + target_;
        if (withInternal()) plan.details << "external flash file " + externalFlashName(target_);
        if (context_.dryRun) return 0;
        const int result = upload();
        showOutcome(result);
        return result;
    }

  private:
    const SlotRecord& record() const { return state_.Inventory.slotRecords[slot_]; }
    // The internal flash goes to the named file and the external flash beside it; otherwise
    // (IEC software, type 3) the external flash goes to the named file.
    bool withInternal() const { return !request_.iec && record().ControllerKind != 3; }

    int refuse() {
        context_.report().failPhase();
        return kOperationDeclined;
    }

    // Every check that can refuse, before the target is chosen.
    int check() {
        if (request_.amplifierSlots.size() > 1) {
            context_.ShowMessage("Error, more than one channel selected!", kIconExclamation);
            return refuse();
        }
        const QString operation = request_.iec ? "IEC software upload" : "Flash upload";
        if (const int refused =
                CheckSlotsHoldModules(context_, operation, request_.amplifierSlots))
            return refused;
        slot_ = request_.amplifierSlots.front();
        if (const int refused = CheckTypesOffer(
                context_, operation, {slot_},
                [](const SlotRecord& r) { return r.ControllerKind >= 2 && r.ControllerKind <= 4; },
                "only modules of controller kinds 2, 3 and 4 deliver their flash"))
            return refused;
        if (uploadRefusedOnPort(state_)) {
            context_.ShowMessage("Upload function only supported for COM port!", kIconExclamation);
            return refuse();
        }
        loader2_ = flashLoader2(state_, record(), request_.iec);
        if (loader2_.isEmpty()) {
            context_.ShowMessage(kNoUploadLoader2, kIconExclamation);
            return refuse();
        }
        return 0;
    }

    bool chooseTarget() {
        if (request_.target) {
            target_ = *request_.target;
        } else {
            const QString proposed =
                QDir(state_.UploadDirectory).filePath(ProposedUploadName(record(), request_.iec));
            const auto chosen = context_.ui().chooseSaveFile(
                "Select path and filename for upload data",
                "Upload files (*.up*)|*.up*|All files (*.*)|*.*", proposed);
            if (!chosen) return false;
            target_ = *chosen;
        }
        if (!writableTarget(target_)) {
            context_.ShowMessage("Error FileName Upload", kIconExclamation);
            return false;
        }
        if (withInternal() && externalFlashName(target_) == target_) {
            context_.ShowMessage("The external flash is written beside the upload file, under its "
                                 "name with the last character replaced by \"1\": " +
                                     target_ +
                                     " would receive both.\rChoose a name that does not end in "
                                     "\"1\", for example " +
                                     QFileInfo(target_).completeBaseName() + ".upl.\r" +
                                     kNothingChanged,
                                 kIconStop);
            return false;
        }
        return replaceAgreed(context_, target_) &&
               (!withInternal() || replaceAgreed(context_, externalFlashName(target_)));
    }

    int switchToLoader1() {
        LibraryGateway::Loader1Switch call;
        call.channel = slot_;
        call.activationCode = static_cast<int>(record().AmpCode);
        call.firmwareType = record().ControllerKind;
        int result = SwitchToLoader1PanelOut(context_, call);
        if (result == kRefusedChannelSelection) {
            call.alreadyInLoader1 = true;
            result = context_.gateway().Switch2Loader1(call);
        }
        return result;
    }

    // The library writes under a temporary name; the files are checked before they replace
    // anything.
    int uploadInto(UploadFiles& files) {
        const QString written = temporaryName(target_);
        if (withInternal()) {
            files.add(written, target_, InternalFlashSize());
            files.add(externalFlashName(written), externalFlashName(target_),
                      ExternalFlashSize(true));
        } else {
            files.add(written, target_, ExternalFlashSize(false));
        }
        const int result = context_.gateway().UpLoadRAFlash(
            slot_, written, record().ControllerKind, state_.Connection.resetSeconds,
            request_.iec);
        if (result != 0) return result;
        return keepCompleteFiles(context_, files, QString("slot %1").arg(slot_ + 1))
                   ? 0
                   : kNothingUploaded;
    }

    int upload() {
        OperationFrame frame(context_);
        ConnectionGuard connection(context_.gateway());
        if (!connection.opened()) return connection.result();
        LibraryGateway& gateway = context_.gateway();
        OperatorUi& ui = context_.ui();
        const int type = record().ControllerKind;
        const int resetSeconds = state_.Connection.resetSeconds;
        ui.setStatus("Switching to Loader1...");
        int result = switchToLoader1();
        if (result == 0) {
            ui.setStatus("Download Loader2...");
            result = gateway.DownLoader2(slot_, loader2_, type);
        }
        if (result == 0) result = gateway.Switch2Loader2(slot_, type, true);
        UploadFiles files;
        if (result == 0) {
            ui.setStatus("Upload RA Flash...");
            result = uploadInto(files);
        }
        if (result != 0) context_.report().failPhase();
        context_.report().beginPhase(phase::kReset);
        ui.setStatus("Reset system...");
        const PanelRecord& panel = state_.Inventory.panel;
        const bool panelShown =
            panel.Present && panel.Identity != "not detected" && panel.PanelType != "DV13";
        const int reset =
            gateway.SwitchWS(slot_, type, 1 << slot_, static_cast<int>(record().StartAddress),
                             resetSeconds, panelShown ? 2 : 1);
        if (reset != 0) {
            context_.report().failPhase();
            context_.ShowMessage(kRestartFailed, kIconExclamation);
        }
        // The upload's success is its complete file; the slot is identified again so that the
        // tree shows what the module runs after the restart (or that it no longer answers).
        IdentifyAgain(context_, {slot_});
        context_.report().addDetail(QString("slot %1 runs ").arg(slot_ + 1) +
                                    RunningState(record()));
        context_.RefreshDeviceTree();
        state_.RestartPending = false;
        return result != 0 ? result : reset;
    }

    void showOutcome(int result) {
        if (result != 0) {
            context_.ui().setStatus("Error upload!");
            context_.ShowMessage("Error upload!\rPlease restart your VTX-System\rand try again!",
                                 kIconExclamation);
            return;
        }
        context_.ui().setStatus("Upload finished!");
        if (!request_.quietOutcome) context_.ShowMessage("Upload finished!", kIconExclamation);
    }

    DriverContext& context_;
    ProgramState& state_;
    const FlashUploadRequest& request_;
    int slot_ = 0;
    QString loader2_;
    QString target_;
};

// The EEPROM files of `slot` under `prefix`: the library's names and the operator's.
QString eepromPrefix(const QString& prefix, int slot) {
    return prefix + "_" + QString::number(slot + 1);
}

// Every selected module must deliver its EEPROM data; the others are named and nothing is read.
int checkEepromReadable(DriverContext& context, const std::vector<int>& amplifierSlots) {
    const DeviceInventory& inventory = context.state().Inventory;
    std::vector<int> unreadable;
    for (const int slot : amplifierSlots) {
        if (EepromReadable(inventory.slotRecords[slot])) continue;
        unreadable.push_back(slot);
        context.ShowMessage("Slot " + QString::number(slot + 1) +
                                " not readable. You'll need a current firmware version!",
                            kIconExclamation);
    }
    if (unreadable.empty()) return 0;
    return RefuseBeforeSending(context,
                               "EEPROM upload: " + SlotsWithTypes(inventory, unreadable) +
                                   " cannot deliver EEPROM data; update its firmware or leave "
                                   "it out.",
                               unreadable.size() == amplifierSlots.size() ? kNothingToDo
                                                                          : kOperationDeclined);
}

}  // namespace

QString ProposedUploadName(const SlotRecord& record, bool iec) {
    const QString type = record.IdentifiedType.isEmpty() ? "RA" : record.IdentifiedType;
    return (iec ? "IEC_" : "") + type + "_" + QString::number(record.Slot + 1) + "_" +
           record.SoftwareVersion + ".upl";
}

int UploadAmplifierFlash(DriverContext& context, const FlashUploadRequest& request) {
    return FlashUpload(context, request).run();
}

int UploadAmplifierEeprom(DriverContext& context, const std::vector<int>& amplifierSlots,
                          std::optional<QString> prefix) {
    RunReport& report = context.report();
    report.beginPhase(phase::kCheckSelection);
    if (const int refused = CheckSlotsHoldModules(context, "EEPROM upload", amplifierSlots))
        return refused;
    if (const int refused = checkEepromReadable(context, amplifierSlots)) return refused;
    if (!prefix) {
        prefix = context.ui().chooseSaveFile("Select path and filename for upload data",
                                             "EEPROM files (*.eep)|*.eep|All files (*.*)|*.*",
                                             QDir(context.state().UploadDirectory).filePath("JB"));
        if (!prefix) return kOperationDeclined;
    }
    if (!writableTarget(*prefix)) {
        context.ShowMessage("Error FileName Upload", kIconExclamation);
        return kOperationDeclined;
    }
    QStringList targets;
    for (const int slot : amplifierSlots) {
        for (const char* board : {"_JB1.eep", "_JB2.eep"}) {
            const QString file = eepromPrefix(*prefix, slot) + board;
            targets << file;
            if (replaceAgreed(context, file)) continue;
            context.ShowMessage("Function aborted!", kIconExclamation);
            return kOperationDeclined;
        }
    }
    report.beginPhase(phase::kUploadEeprom, context.dryRun ? Outcome::Planned : Outcome::Done).details
        << targets;
    if (context.dryRun) return 0;
    int result = 0;
    {
        OperationFrame frame(context);
        ConnectionGuard connection(context.gateway());
        if (!connection.opened()) return connection.result();
        for (const int slot : amplifierSlots) {
            context.ui().setStatus("Upload EEPROM " + QString::number(slot + 1) + " ...");
            const QString target = eepromPrefix(*prefix, slot);
            const QString written = target + ".partial";
            UploadFiles files;
            files.add(written + "_JB1.eep", target + "_JB1.eep", EepromFileSize(false));
            files.add(written + "_JB2.eep", target + "_JB2.eep", EepromFileSize(true));
            result = context.gateway().UpLoadRAEEPROM(slot, written);
            if (result == 0 && !keepCompleteFiles(context, files, "slot " + QString::number(slot + 1)))
                result = kNothingUploaded;
            if (result != 0) break;
        }
        context.RefreshDeviceTree();
    }
    if (result != 0) {
        report.failPhase();
        context.ShowMessage("Error EEPROM upload!", kIconExclamation);
    } else {
        context.ShowMessage("Upload EEPROM finished!", kIconExclamation);
    }
    return result;
}

}  // namespace quorvel
