#include "operator/drivers/processor_driver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/function_choice.h"
#include "operator/drivers/operation_frame.h"
#include "operator/drivers/processor_types.h"
#include "operator/drivers/run_plan.h"
#include "operator/drivers/serial_line_switch.h"
#include "operator/drivers/undetected_device.h"
#include "operator/drivers/verify_step.h"
#include "operator/shell/callbacks.h"
#include "operator/shell/program_version.h"

namespace quorvel {
namespace {

const QString kProcessorNotSupported =
    "KX download of this type and/or hardware revision\ris not supported by this Quorlink "
    "version!\rPlease use current Quorlink version or contact QTX!";
const QString kBootLoaderWarning =
    "WARNING, KX is in bootloader mode!\r\rPlease be careful and be sure to choose\rthe correct "
    "KX firmware!\rChoose a KX43B firmware for a B-device \ror choose a KX43-B firmware for a "
    "KX43-B-device \ror a KX43A firmware for an A-device!\rWrong selection can result in "
    "nonoperation!";
const QString kSerialLineOnly =
    "Download KX43 firmware is only possible\rwith RS232 at 9.600baud, 8E1!\r\rPlease connect "
    "RS232 of PC with VTX\rand try again!";
const QString kDowngradeBlocked = "KX may not be downgraded to the desired firmware version!";
const QString kServiceMode = "You are in service mode!\rPay attention!\r\r";
// Hardware from this revision on runs only firmware from kNewHardwareFirmware on.
const QString kNewHardwareRevision = "1.06";
const QString kNewHardwareFirmware = "P4.46";
const QString kSerialRuleLoader = "2.00";
// The library's result for files missing from the firmware directory.
constexpr int kFilesMissing = -3;

const QString kProcessorTransferStep = "transfer files";
const QString kProcessorStartStep = "start application";
const QString kProcessorIdentifyStep = "identify processor";

bool isSerialPort(const ProgramState& state) {
    return state.Port.commPort == "COM1" || state.Port.commPort == "COM2";
}

class ProcessorDriver {
  public:
    ProcessorDriver(DriverContext& context, const ProcessorDownloadRequest& request)
        : context_(context),
          state_(context.state()),
          processor_(context.state().Inventory.processor),
          request_(request),
          type_(ProcessorTypeCodeOf(processor_.ProcessorType)) {}

    int run() {
        context_.WriteProtocol("-->Download KX().<--");
        if (!passesRefusals() || !passesSerialLineRule()) return kOperationDeclined;
        chooseDirectory();
        if (!passesDowngradeRules()) return kOperationDeclined;
        // The function is chosen before the rack's line is switched, so that a function that
        // is cancelled leaves the line as it was.
        if (!chooseFunction()) return kOperationDeclined;
        if (lineSwitch_.needed() && !context_.dryRun && !lineSwitch_.confirmAndSwitch(context_))
            return kOperationDeclined;
        if (context_.dryRun) return plan();
        return download();
    }

  private:
    bool passesRefusals() {
        if (processor_.ProcessorType == "KX13") return refuse("KX13 update not possible.");
        if (processor_.ProcessorType == "not supported") return refuse(kProcessorNotSupported);
        if (undetected() &&
            context_.ShowMessage(kUndetectedDeviceQuestion, kYesNo | kIconExclamation) != kAnswerYes)
            return refuse(kUndetectedStopped);
        if (processor_.InBootLoader && !request_.activateOnly && type_.code < kKx63TypeCode)
            context_.ShowMessage(kBootLoaderWarning, kIconStop);
        return true;
    }

    bool refuse(const QString& text) {
        context_.ShowMessage(RefusalText(text), kIconExclamation);
        return false;
    }

    bool undetected() const { return processor_.Identity == kNotDetected; }

    bool passesSerialLineRule() {
        if (type_.code > 3 || processor_.LoaderRevision >= kSerialRuleLoader) return true;
        if (!isSerialPort(state_)) return refuse(kSerialLineOnly);
        lineSwitch_ = SerialLineSwitch(state_);
        return true;
    }

    // Activate mode chooses no directory but runs as if one was chosen.
    void chooseDirectory() {
        if (request_.activateOnly)
            state_.SelectedFirmwareFile = "dummy";
        else
            context_.chooseFirmware({FirmwareDeviceKind::Processor, -1, {}},
                                    context_.messages().QuietMessages);
    }

    bool passesDowngradeRules() {
        if (request_.activateOnly || state_.SelectedFirmwareFile.isEmpty() ||
            processor_.InBootLoader || undetected())
            return true;
        version_ = DirectoryVersion(state_.SelectedFirmwareFile, type_.prefixLength);
        const QString& current = processor_.SoftwareVersion;
        if (!(version_ < current)) return true;
        const QString versions =
            "You have KX version " + current + "\r" + "and you try to download version " + version_;
        const QString& mode = state_.StartMode;
        if (mode != "S" && mode != "A" && mode != "P") {
            context_.ShowMessage(RefusalText(versions +
                                             ".\r\rDownload of older KX versions is not\rallowed! "
                                             "Please ask QTX!"),
                                 kIconStop);
            return false;
        }
        if (processor_.HardwareRevision >= kNewHardwareRevision &&
            version_ < kNewHardwareFirmware) {
            context_.ShowMessage(RefusalText(kDowngradeBlocked), kOkOnly);
            return false;
        }
        context_.ShowMessage(kServiceMode + versions + " !", kIconExclamation);
        return true;
    }

    bool chooseFunction() {
        if (request_.activateOnly) return true;
        if (state_.SelectedFirmwareFile.isEmpty()) return false;
        const QString name = state_.SelectedFirmwareFile;
        const FunctionFile file = ReadFunctionFile(
            directoryPath(), name, ProcessorFunctionFileName(processor_.ProcessorType),
            FunctionFileKind::Processor);
        function_ = ChooseFunction(file, FunctionFileKind::Processor, state_.StartMode,
                                   kProgramVersion, FunctionWindowOf(context_));
        if (!function_) return false;
        if ((undetected() || processor_.InBootLoader) && name.size() > 7)
            version_ = DirectoryVersion(name, type_.prefixLength);
        return true;
    }

    QString directoryPath() const {
        return QDir(state_.DownloadDirectory).filePath(state_.SelectedFirmwareFile);
    }

    // The files of the chosen function that the directory lacks.
    QStringList missingFiles() const {
        QStringList missing;
        const QDir directory(directoryPath());
        for (const QString& name : function_->files.split('#', Qt::SkipEmptyParts))
            if (!QFileInfo(directory.filePath(name)).isFile()) missing << name;
        return missing;
    }

    int plan() {
        if (!request_.activateOnly) {
            if (const QStringList missing = missingFiles(); !missing.isEmpty()) {
                context_.ShowMessage("Not all files found in current directory! Missing: " +
                                         missing.join(", "),
                                     kIconExclamation);
                context_.report().beginPhase("download", Outcome::Failed);
                return kFilesMissing;
            }
        }
        RunReport& report = context_.report();
        Phase& phase =
            report.beginPhase(request_.activateOnly ? "activate" : "download", Outcome::Planned);
        phase.details << "processor " + processor_.ProcessorType
                      << "type code " + QString::number(type_.code);
        if (!request_.activateOnly)
            phase.details << "directory " + directoryPath() << "version " + version_
                          << "function " + function_->name << "files " + function_->files;
        if (lineSwitch_.needed()) phase.details << "rack switched to 9600 baud, 8E1 and back";
        return 0;
    }

    int download() {
        OperationFrame frame(context_, {}, "-->Download KX() finished.<--");
        QElapsedTimer clock;
        int result = 0;
        {
            auto parameters = lineSwitch_.downloadParameters(state_);
            ScopedConnectionParameters scoped(state_, parameters);
            ConnectionGuard connection(context_.gateway());
            context_.ui().setProgress(0);
            if (state_.StartMode == "P") clock.start();
            planSteps();
            result = request_.activateOnly ? activate(connection.result()) : update();
            if (result == 0) result = establish();
            if (result == 0) result = verify();
            if (lineSwitch_.switched()) lineSwitch_.restore(context_);
            context_.RefreshDeviceTree();
        }
        finish(result, clock);
        return result;
    }

    // The typical durations on the rack: the files' transfer by their count, the application's
    // start (uncompressed, restarted twice) by the rack's restart time.
    void planSteps() {
        const QString unit = "processor " + processor_.ProcessorType;
        const qint64 restartMs = (resetSeconds() + 2) * 1000;
        if (!request_.activateOnly)
            plan_.add(unit, kProcessorTransferStep, 1500 + 1000 * qint64(function_->fileCount));
        plan_.add(unit, kProcessorStartStep, 12000 + 2 * restartMs);
        plan_.add(unit, kProcessorIdentifyStep, 1000);
    }

    int activate(int connectionResult) {
        context_.ui().setStatus("Activating KX...");
        return connectionResult;
    }

    int update() {
        plan_.enter(kProcessorTransferStep);
        context_.ui().setStatus(function_->name + "...");
        const QString path = directoryPath();
        context_.WriteProtocol("KXDatName: " + processor_.ProcessorType);
        context_.WriteProtocol("KXType   : " + QString::number(type_.code));
        context_.WriteProtocol("Filename : " + path);
        const QByteArray directory = path.toLocal8Bit();
        const QByteArray version = version_.toLocal8Bit();
        const QByteArray files = function_->files.toLocal8Bit();
        const int restartWait = resetSeconds() + 2;
        return context_.gateway().call([&](QuorlinkLibrary& library) {
            return QUORLINK_INVOKE(library, UpdateKX43, LibraryGateway::kTimeoutMs, MessageCallback,
                                   ProgressCallback, StatusCallback, InputCallback,
                                   directory.constData(), version.constData(), type_.code,
                                   function_->fileCount, files.constData(), restartWait);
        });
    }

    int establish() {
        plan_.enter(kProcessorStartStep);
        context_.WriteProtocol("EstabKX()");
        const int restartWait = resetSeconds() + 2;
        return context_.gateway().call([&](QuorlinkLibrary& library) {
            return QUORLINK_INVOKE(library, EstabKX43, LibraryGateway::kTimeoutMs, MessageCallback,
                                   ProgressCallback, StatusCallback, InputCallback, restartWait,
                                   type_.code);
        });
    }

    // The processor identified again before the connection closes: done only when it runs the
    // chosen directory's version (activate: any application).
    int verify() {
        plan_.enter(kProcessorIdentifyStep);
        context_.ui().setStatus("Identifying the processor...");
        const bool answered =
            context_.shell().IdentifyProcessor() && processor_.Identity != kNotDetected;
        const QString running = !answered                 ? QString("not detected")
                                : processor_.InBootLoader ? QString("its boot loader")
                                                          : processor_.SoftwareVersion;
        const DeviceFinding finding{"processor", running, answered && !processor_.InBootLoader};
        return VerifyDevice(context_, finding, request_.activateOnly ? QString() : version_)
                   ? 0
                   : kNotAtTarget;
    }

    int resetSeconds() const { return state_.Connection.resetSeconds; }

    void finish(int result, const QElapsedTimer& clock) {
        OperatorUi& ui = context_.ui();
        state_.LastResult = result;
        if (result != 0) {
            ui.setStatus("Error download!");
            context_.report().failPhase();
            return;
        }
        state_.RestartPending = false;
        if (request_.activateOnly) {
            ui.setStatus("Activate KX finished!");
            return;
        }
        ui.setStatus("Download finished!");
        if (state_.StartMode == "P")
            context_.ShowMessage("Download finished!\rDownloadtime: " +
                                     QString::number(clock.elapsed() / 1000) + " seconds.",
                                 kIconExclamation);
    }

    DriverContext& context_;
    ProgramState& state_;
    const ProcessorRecord& processor_;
    const ProcessorDownloadRequest& request_;
    ProcessorTypeCode type_;
    SerialLineSwitch lineSwitch_;
    QString version_;
    std::optional<ProcessorFunction> function_;
    RunPlan plan_{context_.ui()};
};

}  // namespace

QString ProcessorFunctionFileName(const QString& processorType) {
    return ProcessorTypeCodeOf(processorType).code == kKx63TypeCode ? "KXxx.CFG" : "KX43.CFG";
}

int RunProcessorDriver(DriverContext& context, const ProcessorDownloadRequest& request) {
    context.startReport(request.activateOnly ? "processor activate" : "processor download");
    const int result = ProcessorDriver(context, request).run();
    context.report().setResult(result);
    return result;
}

}  // namespace quorvel
