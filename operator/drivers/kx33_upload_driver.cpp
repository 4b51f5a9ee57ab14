#include "operator/drivers/kx33_upload_driver.h"

#include <QDir>
#include <QFileInfo>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/operation_frame.h"
#include "operator/drivers/processor_types.h"
#include "operator/shell/callbacks.h"

namespace quorvel {
namespace {

constexpr int kLastArgument = 45;

const QString kDialogTitle = "Select path and filename for upload data";
const QString kFilter = "Upload files (*.upl)|*.upl|All files (*.*)|*.*";

// The chosen path, the existing file deleted when the operator wants it replaced; nullopt when
// the operator cancelled or the file could not be handled (the message was shown).
std::optional<QString> chooseTarget(DriverContext& context, const QString& proposed) {
    while (true) {
        const auto path = context.ui().chooseSaveFile(kDialogTitle, kFilter, proposed);
        if (!path) return std::nullopt;
        const QFileInfo file(*path);
        if (file.fileName().isEmpty() || file.isDir()) {
            context.ShowMessage("Error FileName Upload", kIconExclamation);
            return std::nullopt;
        }
        if (!file.exists()) return path;
        const int answer = context.ShowMessage("Replace existing file - " + *path + " ?",
                                               kYesNoCancel | kIconQuestion);
        if (answer == kAnswerCancel) continue;
        if (answer == kAnswerYes && !QFile::remove(*path)) {
            context.ShowMessage("Error deleting file", kIconExclamation);
            return std::nullopt;
        }
        return path;
    }
}

int upload(DriverContext& context, const QString& path) {
    const QByteArray target = path.toLocal8Bit();
    return context.gateway().call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, UploadKX33, LibraryGateway::kTimeoutMs, MessageCallback,
                               ProgressCallback, StatusCallback, InputCallback, target.constData(),
                               "000", 0, kKx33BlockCount, kKx33BlockSize, 0, 0, kLastArgument);
    });
}

}  // namespace

QString DefaultKx33UploadName(const ProcessorRecord& processor) {
    const QString& version = processor.SoftwareVersion;
    return processor.ProcessorType + "p" + version.left(2) + version.mid(3, 2) + ".upl";
}

int RunKx33UploadDriver(DriverContext& context) {
    RunReport& report = context.startReport("kx33 upload");
    ProgramState& state = context.state();
    const QString proposed =
        QDir(state.UploadDirectory).filePath(DefaultKx33UploadName(state.Inventory.processor));
    const auto path = chooseTarget(context, proposed);
    if (!path) {
        report.setResult(kOperationDeclined);
        return kOperationDeclined;
    }
    if (context.dryRun) {
        report.beginPhase("upload", Outcome::Planned).details
            << "file " + *path
            << "blocks 0-" + QString::number(kKx33BlockCount - 1) + " of " +
                   QString::number(kKx33BlockSize) + " bytes";
        return 0;
    }
    int result = 0;
    {
        OperationFrame frame(context);
        {
            ConnectionGuard connection(context.gateway());
            context.ui().setProgress(0);
            result = upload(context, *path);
        }
        context.ui().setStatus(result == 0 ? "Upload finished!" : "Error upload!");
        if (result == 0) state.RestartPending = false;
    }
    if (result != 0) {
        report.beginPhase("upload").outcome = Outcome::Failed;
        context.ShowMessage("Error upload!\rPlease restart your VTX-System\rand try again!",
                            kIconExclamation);
    } else {
        report.beginPhase("upload").details << "file " + *path;
        context.ShowMessage("Upload finished!", kIconExclamation);
    }
    report.setResult(result);
    return result;
}

}  // namespace quorvel
