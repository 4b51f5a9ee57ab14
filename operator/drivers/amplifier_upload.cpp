#include "operator/drivers/amplifier_upload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/loader2_file.h"
#include "operator/drivers/operation_frame.h"

namespace quorvel {
namespace {

const QString kRestartFailed = "Automatic restart of VTX failed.\rPlease restart your VTX system.";
const QString kNoLoader2 =
    "Loader2 file for this device not found!\rMaybe wrong directory setting "
    "(Transfer->Directory...).";
constexpr int kRefusedChannelSelection = -111;
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

enum class Replace { Free, Kept, Failed };

// Asks before an existing file is replaced and deletes it on yes.
Replace replaceExisting(DriverContext& context, const QString& path, const QString& deleteError) {
    if (!QFileInfo::exists(path)) return Replace::Free;
    if (context.ShowMessage("Replace existing file - " + path + " ?", kYesNo | kIconQuestion) !=
        kAnswerYes) {
        return Replace::Kept;
    }
    if (QFile::remove(path)) return Replace::Free;
    context.ShowMessage(deleteError, kIconExclamation);
    return Replace::Failed;
}

bool writableTarget(const QString& path) {
    const QFileInfo info(path);
    return !info.fileName().isEmpty() && !info.isDir() && QFileInfo(info.absolutePath()).isDir() &&
           QFileInfo(info.absolutePath()).isWritable();
}

class FlashUpload {
  public:
    FlashUpload(DriverContext& context, const FlashUploadRequest& request)
        : context_(context), state_(context.state()), request_(request) {}

    int run() {
        RunReport& report = context_.report();
        report.beginPhase("check selection");
        if (request_.amplifierSlots.size() != 1) {
            context_.ShowMessage("Error, more than one channel selected!", kIconExclamation);
            return refuse();
        }
        slot_ = request_.amplifierSlots.front();
        if (uploadRefusedOnPort(state_)) {
            context_.ShowMessage("Upload function only supported for COM port!", kIconExclamation);
            return refuse();
        }
        loader2_ = flashLoader2(state_, record(), request_.iec);
        if (loader2_.isEmpty()) {
            context_.ShowMessage(kNoLoader2, kIconExclamation);
            return refuse();
        }
        if (!chooseTarget()) return refuse();
        report.beginPhase("upload flash", context_.dryRun ? Outcome::Planned : Outcome::Done)
                .details
            << QString("slot %1").arg(slot_ + 1) << "loader 2 " + loader2_ << "file " + target_;
        if (context_.dryRun) return 0;
        const int result = upload();
        showOutcome(result);
        return result;
    }

  private:
    const SlotRecord& record() const { return state_.Inventory.slotRecords[slot_]; }

    int refuse() {
        context_.report().failPhase();
        return kOperationDeclined;
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
        return context_.dryRun ||
               replaceExisting(context_, target_, "Error deleting file") == Replace::Free;
    }

    int switchToLoader1() {
        LibraryGateway::Loader1Switch call;
        call.channel = slot_;
        call.activationCode = static_cast<int>(record().AmpCode);
        call.firmwareType = record().ControllerKind;
        const PanelRecord& panel = state_.Inventory.panel;
        call.panelSwitchOut = panel.Present && panel.Identity != "not detected";
        int result = context_.gateway().Switch2Loader1(call);
        if (result == kRefusedChannelSelection) {
            call.alreadyInLoader1 = true;
            result = context_.gateway().Switch2Loader1(call);
        }
        return result;
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
        if (result == 0) {
            ui.setStatus("Upload RA Flash...");
            result = gateway.UpLoadRAFlash(slot_, target_, type, resetSeconds, request_.iec);
            // A module that cannot deliver its flash is reported, but the call succeeds.
            if (result == 0 && !QFileInfo::exists(target_)) result = kNothingUploaded;
        }
        if (result != 0) context_.report().failPhase();
        context_.report().beginPhase("reset");
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
    report.beginPhase("check selection");
    const DeviceInventory& inventory = context.state().Inventory;
    std::vector<int> readable;
    for (const int slot : amplifierSlots) {
        if (EepromReadable(inventory.slotRecords[slot])) {
            readable.push_back(slot);
        } else {
            context.ShowMessage("Slot " + QString::number(slot + 1) +
                                    " not readable. You'll need a current firmware version!",
                                kIconExclamation);
        }
    }
    if (readable.empty()) return kOperationDeclined;
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
    QStringList files;
    for (const int slot : readable) {
        const QString slotPrefix = *prefix + "_" + QString::number(slot + 1);
        for (const char* board : {"_JB1.eep", "_JB2.eep"}) {
            const QString file = slotPrefix + board;
            files << file;
            if (context.dryRun) continue;
            const Replace replaced = replaceExisting(context, file, "Error deleting file!");
            if (replaced == Replace::Kept)
                context.ShowMessage("Function aborted!", kIconExclamation);
            if (replaced != Replace::Free) return kOperationDeclined;
        }
    }
    report.beginPhase("upload EEPROM", context.dryRun ? Outcome::Planned : Outcome::Done).details
        << files;
    if (context.dryRun) return 0;
    int result = 0;
    {
        OperationFrame frame(context);
        ConnectionGuard connection(context.gateway());
        if (!connection.opened()) return connection.result();
        for (const int slot : readable) {
            context.ui().setStatus("Upload EEPROM " + QString::number(slot + 1) + " ...");
            result =
                context.gateway().UpLoadRAEEPROM(slot, *prefix + "_" + QString::number(slot + 1));
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
