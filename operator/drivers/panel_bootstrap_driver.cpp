#include <QDir>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/operation_frame.h"
#include "operator/drivers/panel_driver.h"
#include "operator/shell/callbacks.h"

namespace quorvel {
namespace {

constexpr int kSerialNumberLength = 12;
constexpr int kHardwareRevisionLength = 4;
// The library cuts both texts in place to 31 characters.
constexpr int kWrittenBackSize = 32;
const QString kConfigurationFile = "STRAPPER.CFG";
const QString kInputTitle = "Urbootloader DVxxA";
const QString kSerialPortOnly =
    "Bootloader DV function only supported for serial port!\rPlease use serial port COM1 or "
    "COM2 and try again!";
const QString kExpertQuestion =
    "DV bootstraploader function for experienced person only!\rPlease be sure that:\r- "
    "transf.exe is transferred to KX43B flash\r- bootstraploader is activated by DV jumper "
    "setting\r\rAre you sure to start bootstraploader mode?";
const QString kCancelQuestion =
    "You have selected CANCEL!\rThis will stop bootstraploser!\rAre you sure?";
const QString kFinished =
    "DV bootstraploader finished!\r\rPlease switch your Ventrix off, set jumper\rto application "
    "mode and restart system!";
const QString kFailed =
    "DV bootstraploader finished with error,\rerror information located in status bar!\r\rPlease "
    "switch Ventrix off and on and try again!";

struct PanelValues {
    QString serialNumber;
    QString hardwareRevision;
};

bool confirmCancel(DriverContext& context) {
    return context.ShowMessage(kCancelQuestion, kYesNo | kIconExclamation) == kAnswerYes;
}

// One field of the input window; nullopt when the operator cancelled and confirmed it.
std::optional<QString> askField(DriverContext& context, const QString& label) {
    while (true) {
        if (auto value = context.ui().askInput(label, kInputTitle)) return value;
        if (confirmCancel(context)) return std::nullopt;
    }
}

std::optional<PanelValues> inputValues(DriverContext& context,
                                       const PanelBootstrapRequest& request) {
    if (!request.serialNumber && !request.hardwareRevision && context.askBootstrapValues) {
        const auto typed =
            context.askBootstrapValues([&context] { return confirmCancel(context); });
        if (!typed) return std::nullopt;
        return PanelValues{typed->first.left(kSerialNumberLength),
                           typed->second.left(kHardwareRevisionLength)};
    }
    auto serial = request.serialNumber ? request.serialNumber
                                       : askField(context, "Serial Number/ Serien-Nummer:");
    if (!serial) return std::nullopt;
    auto revision = request.hardwareRevision ? request.hardwareRevision
                                             : askField(context, "Hardware Revision Number:");
    if (!revision) return std::nullopt;
    return PanelValues{serial->left(kSerialNumberLength), revision->left(kHardwareRevisionLength)};
}

QByteArray writableText(const QString& text) {
    QByteArray bytes = text.toLocal8Bit();
    bytes.resize(std::max<qsizetype>(bytes.size(), kWrittenBackSize) + 1, '\0');
    return bytes;
}

int bootstrap(DriverContext& context, const QString& firmwarePath, PanelValues& values) {
    const ProgramState& state = context.state();
    const QByteArray config =
        QDir(state.DownloadDirectory).filePath(kConfigurationFile).toLocal8Bit();
    const QByteArray program = firmwarePath.toLocal8Bit();
    QByteArray loader = writableText({});
    QByteArray serial = writableText(values.serialNumber);
    QByteArray revision = writableText(values.hardwareRevision);
    const int result = context.gateway().call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, BootDV, state.Connection.portKind, config.constData(),
                               program.constData(), loader.data(), serial.data(), revision.data(),
                               ProgressCallback, StatusCallback);
    });
    values.serialNumber = QString::fromLocal8Bit(serial.constData());
    values.hardwareRevision = QString::fromLocal8Bit(revision.constData());
    return result;
}

int run(DriverContext& context, const PanelBootstrapRequest& request) {
    ProgramState& state = context.state();
    if (state.Port.commPort != "COM1" && state.Port.commPort != "COM2") {
        context.ShowMessage(RefusalText(kSerialPortOnly), kIconExclamation);
        return kOperationDeclined;
    }
    state.PanelLoader1 = false;
    if (state.StartMode == "P") {
        context.selection = {.processor = false, .panel = true, .amplifierSlots = {}};
        if (context.tickPanel) context.tickPanel();
    } else if (context.ShowMessage(kExpertQuestion, kYesNo | kIconExclamation) != kAnswerYes) {
        return kOperationDeclined;
    }
    const auto chosen = context.chooseFirmware({FirmwareDeviceKind::Panel, -1, {}},
                                               context.messages().QuietMessages);
    if (!chosen) return kOperationDeclined;
    PanelRecord& panel = state.Inventory.panel;
    if (panel.Identity == "not detected")
        panel.SoftwareVersion = PanelVersionFromFileName(state.SelectedFirmwareFile);
    auto values = inputValues(context, request);
    if (!values) return kOperationDeclined;
    const QString path = chosen->file;
    if (context.dryRun) {
        context.report().beginPhase("bootstrap", Outcome::Planned).details
            << "file " + path << "serial number " + values->serialNumber
            << "hardware revision " + values->hardwareRevision;
        return 0;
    }
    OperationFrame frame(context);
    int result = 0;
    {
        ConnectionGuard connection(context.gateway());
        context.ui().setProgress(0);
        context.ui().setStatus("Bootloader DV...");
        result = connection.opened() ? bootstrap(context, path, *values) : connection.result();
        context.RefreshDeviceTree();
    }
    if (result != 0) {
        context.report().failPhase();
        context.ShowMessage(kFailed, kIconExclamation);
        return result;
    }
    context.ui().setStatus("Bootloader DV finished!");
    state.RestartPending = false;
    context.ShowMessage(
        state.StartMode == "P" ? "DV bootstraploader finished successfully!" : kFinished,
        kIconExclamation);
    return 0;
}

}  // namespace

int RunPanelBootstrapDriver(DriverContext& context, const PanelBootstrapRequest& request) {
    context.startReport("panel bootstrap");
    const int result = run(context, request);
    context.report().setResult(result);
    return result;
}

}  // namespace quorvel
