#include "operator/drivers/kx33_driver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/firmware_catalogue.h"
#include "operator/drivers/function_choice.h"
#include "operator/drivers/operation_frame.h"
#include "operator/drivers/processor_types.h"
#include "operator/drivers/run_plan.h"
#include "operator/drivers/verify_step.h"
#include "operator/shell/callbacks.h"
#include "operator/shell/program_version.h"

namespace quorvel {
namespace {

constexpr int kMaximumAttempts = 2;
// Results at or below this come from the flash phase: the old firmware is gone.
constexpr int kFlashPhaseFailure = -40;
constexpr int kKx33Variant = 4;
// The library's result for a missing image file.
constexpr int kImageMissing = -3;

const QString kKx33TransferStep = "transfer firmware";
const QString kKx33RestartStep = "restart";
const QString kKx33IdentifyStep = "identify processor";

const QString kSerialLineQuestion =
    "You have selected the serial line for KX33 download.\rThis may take a very long time, "
    "TCP/IP or USB are much faster.\r\rDo you want to continue?";
const QString kTransferFailed =
    "Error in transferring data to KX33 device!\rFirmware has not been changed!\rPlease check "
    "your connection and try again!";
const QString kFlashCritical =
    "C R I T I C A L    E R R O R   !!!\r\rKX33 Flash is not in an operating state!\rDo not "
    "reboot your Ventrix system!\r\r";
const QString kWillRetry = "Quorlink will try again!";
const QString kNeverReboot =
    "Please try again and never reboot or\rswitch off the device until\rdownload of KX33 "
    "firmware was successful!";
const QString kKx33RestartFailed =
    "Flash programmed correctly with new firmware!\rRestart of Firmware failed, please check "
    "KX33 device\ror choose a higher reset time value in port settings menu!";

class Kx33Driver {
  public:
    explicit Kx33Driver(DriverContext& context) : context_(context), state_(context.state()) {}

    int run() {
        context_.WriteProtocol("-->Download KX33().<--");
        const int port = state_.Connection.portKind;
        if ((port == 1 || port == 2) && !context_.dryRun &&
            context_.ShowMessage(kSerialLineQuestion, kYesNo | kIconExclamation) != kAnswerYes)
            return kOperationDeclined;
        if (!context_.chooseFirmware({FirmwareDeviceKind::Processor, -1, {}},
                                     context_.messages().QuietMessages) ||
            !chooseFunction())
            return kOperationDeclined;
        path_ = QDir(QDir(state_.DownloadDirectory).filePath(state_.SelectedFirmwareFile))
                    .filePath(function_->files);
        if (context_.dryRun) return plan();
        return download();
    }

  private:
    bool chooseFunction() {
        const QString directory =
            QDir(state_.DownloadDirectory).filePath(state_.SelectedFirmwareFile);
        const FunctionFile file = ReadFunctionFile(directory, state_.SelectedFirmwareFile,
                                                   "KX33.CFG", FunctionFileKind::Kx33);
        function_ = ChooseFunction(file, FunctionFileKind::Kx33, state_.StartMode, kProgramVersion,
                                   FunctionWindowOf(context_));
        return function_.has_value();
    }

    int plan() {
        if (!QFileInfo(path_).isFile()) {
            context_.ShowMessage("KX33 Firmware file not found! " + path_, kIconExclamation);
            context_.report().beginPhase("download", Outcome::Failed);
            return kImageMissing;
        }
        Phase& phase = context_.report().beginPhase("download", Outcome::Planned);
        phase.details << "image " + path_ << "function " + function_->name
                      << "blocks " + QString::number(function_->firstBlock) + "-" +
                             QString::number(function_->lastBlock);
        return 0;
    }

    int download() {
        OperationFrame frame(context_, {}, "-->Download KX33 finished.<--");
        QElapsedTimer clock;
        int result = 0;
        for (int attempt = 0; attempt < kMaximumAttempts; ++attempt) {
            result = attemptOnce(attempt, clock);
            // Only a failure of the flash phase is repeated; a KX33 found at another version
            // after its restart is not.
            if (result > kFlashPhaseFailure || result == kNotAtTarget) break;
        }
        context_.RefreshDeviceTree();
        finish(result, clock);
        return result;
    }

    int attemptOnce(int attempt, QElapsedTimer& clock) {
        int result = 0;
        int established = 0;
        int verified = 0;
        {
            ConnectionGuard connection(context_.gateway());
            context_.ui().setProgress(0);
            if (attempt > 0) context_.ui().setStatus("Retry...");
            if (state_.StartMode == "P") clock.start();
            if (plan_.empty()) planSteps();
            plan_.enter(kKx33TransferStep);
            context_.WriteProtocol("Download KX33 firmware " + path_ + ".");
            result = update();
            if (result == 0 && state_.StartMode != "P") {
                plan_.enter(kKx33RestartStep);
                context_.WriteProtocol("Establish KX33().");
                established = establish();
                if (established == 0) verified = verify();
            }
        }
        if (result != 0) reportFailure(result, attempt);
        // The new firmware is in flash but the processor does not answer: the run failed.
        if (established != 0) {
            context_.ShowMessage(kKx33RestartFailed, kIconStop);
            return established;
        }
        return result != 0 ? result : verified;
    }

    // The restarted KX33 identified again before the connection closes: done only when it runs
    // the version the chosen directory's name carries ("KX33P210.S00": P2.10).
    int verify() {
        plan_.enter(kKx33IdentifyStep);
        context_.ui().setStatus("Identifying the processor...");
        const ProcessorRecord& processor = state_.Inventory.processor;
        const bool answered =
            context_.shell().IdentifyProcessor() && processor.Identity != "not detected";
        const QString target = VersionFromFileName(state_.SelectedFirmwareFile);
        const DeviceFinding finding{"processor", answered ? processor.SoftwareVersion
                                                           : QString("not detected"),
                                    answered};
        return VerifyDevice(context_, finding, target) ? 0 : kNotAtTarget;
    }

    void reportFailure(int result, int attempt) {
        if (result > kFlashPhaseFailure && attempt == 0) {
            context_.ShowMessage(kTransferFailed, kIconStop);
            return;
        }
        context_.ShowMessage(kFlashCritical + (attempt == 0 ? kWillRetry : kNeverReboot),
                             kIconStop);
    }

    // The typical durations on the rack: the transfer and flashing by the blocks written, the
    // restart by the rack's reset time. A production run ends with the transfer.
    void planSteps() {
        const QString unit = "processor KX33";
        const qint64 blocks = function_->lastBlock - function_->firstBlock + 1;
        plan_.add(unit, kKx33TransferStep, 5000 + 6 * blocks);
        if (state_.StartMode == "P") return;
        plan_.add(unit, kKx33RestartStep, 3000 + state_.Connection.resetSeconds * 1000);
        plan_.add(unit, kKx33IdentifyStep, 1000);
    }

    int update() {
        const QByteArray path = path_.toLocal8Bit();
        const int count = function_->lastBlock - function_->firstBlock + 1;
        return context_.gateway().call([&](QuorlinkLibrary& library) {
            return QUORLINK_INVOKE(library, UpdateKX33, LibraryGateway::kTimeoutMs, MessageCallback,
                                   ProgressCallback, StatusCallback, InputCallback,
                                   path.constData(), "000", function_->firstBlock, count,
                                   kKx33BlockSize, 0, 0, state_.Connection.resetSeconds);
        });
    }

    int establish() {
        return context_.gateway().call([&](QuorlinkLibrary& library) {
            return QUORLINK_INVOKE(library, EstabKX33, LibraryGateway::kTimeoutMs, MessageCallback,
                                   ProgressCallback, StatusCallback, InputCallback,
                                   state_.Connection.resetSeconds, kKx33Variant, "VerKernel",
                                   "VerAppl", "VerLilo");
        });
    }

    void finish(int result, const QElapsedTimer& clock) {
        state_.LastResult = result;
        state_.RestartPending = false;
        if (result != 0) {
            context_.ui().setStatus("Error download!");
            context_.report().failPhase();
            return;
        }
        context_.ui().setStatus("Download finished!");
        if (state_.StartMode == "P")
            context_.ShowMessage(
                "Download finished in production mode!\rPlease restart your "
                "VTX-System!\rDownloadtime: " +
                    QString::number(clock.elapsed() / 1000) + " seconds.",
                kIconExclamation);
    }

    DriverContext& context_;
    ProgramState& state_;
    std::optional<ProcessorFunction> function_;
    QString path_;
    RunPlan plan_{context_.ui()};
};

}  // namespace

int RunKx33Driver(DriverContext& context) {
    context.startReport("kx33 download");
    const int result = Kx33Driver(context).run();
    context.report().setResult(result);
    return result;
}

}  // namespace quorvel
