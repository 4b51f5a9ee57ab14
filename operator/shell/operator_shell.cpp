#include "operator/shell/operator_shell.h"

#include <QDir>
#include <vector>

#include "operator/shell/config_files.h"
#include "operator/shell/installation_paths.h"
#include "operator/shell/program_version.h"
#include "operator/shell/start_mode.h"
#include "operator/shell/text_fields.h"

namespace quorvel {
namespace {

constexpr int kLogActive = 255;
constexpr int kBaudRateLimit = 38400;
constexpr int kLogFileNameBuffer = 525;  // the library writes at most 524 characters

const QString kSecondInstanceQuestion =
    "An Instance of Quorlink is already running!\r\rYou can perform downloads to different "
    "Ventrix\rat the same time. If you operate with two instances\rof Quorlink and you work "
    "with one Ventrix\rthen this might result in unexpected behavior.\rPlease be careful.\r\r"
    "Do you really want to start another instance?";

}  // namespace

QString DirectoryBelow(const QString& directory, const QString& name) {
    return directory.endsWith('/') ? directory : directory + "/" + name + "/";
}

OperatorShell::OperatorShell(OperatorUi& ui, ShellEnvironment environment)
    : ui_(ui),
      environment_(std::move(environment)),
      log_(environment_.now),
      messages_(ui_, log_),
      settings_(environment_.settingsFile),
      library_(environment_.libraryPath),
      callbacks_(CallbackContext{&library_, &messages_, &ui_, nullptr}) {}

OperatorShell::~OperatorShell() = default;

void OperatorShell::reportLibraryError(const LibraryError& error) {
    ShowMessage(QString::fromStdString(error.what()), kIconExclamation, "Quorvel Error");
}

void OperatorShell::applyStartMode(const QString& commandLine) {
    const StartModeEffects effects = ApplyStartMode(commandLine);
    state_.StartMode = effects.startMode;
    state_.StartSubMode = effects.startSubMode;
    for (const auto& entry : effects.visibleEntries) ui_.setMenuEntryVisible(entry, true);
    for (const auto& entry : effects.checkedEntries) ui_.setMenuEntryChecked(entry, true);
    for (const auto& entry : effects.enabledEntries) ui_.setMenuEntryEnabled(entry, true);
    // A ticked option entry and its flag always agree.
    state_.IncludeLoader1 = effects.checkedEntries.contains("mnuIncludeLoader1");
    state_.SequentialDownload = effects.checkedEntries.contains("mnuSequRA");
    state_.Title = QString(MessageService::kProgramTitle) + effects.titleSuffix;
}

QString OperatorShell::libraryLogFileName() {
    std::vector<char> buffer(kLogFileNameBuffer, '\0');
    int32_t length = 0;
    try {
        QUORLINK_INVOKE(library_, GetLogFileName, buffer.data(), &length);
    } catch (const LibraryError& error) {
        reportLibraryError(error);
        return QDir::temp().filePath("Quorlink.log");
    }
    return QString::fromLocal8Bit(buffer.data(), std::clamp(length, 0, kLogFileNameBuffer - 1));
}

bool OperatorShell::checkSecondInstance(const StoredSettings& stored) {
    instances_ = std::make_unique<InstanceCheck>(environment_.instanceLockDirectory);
    if (instances_->otherInstanceRunning()) {
        if (!IsServiceMode(state_.StartMode) &&
            ShowMessage(kSecondInstanceQuestion, kYesNo | kIconStop) == kAnswerNo) {
            return false;
        }
        state_.Instance = static_cast<int>(LeadingNumber(stored.instance)) + 1;
        state_.IpCnt = static_cast<int>(LeadingNumber(stored.ipCnt)) + 1;
        state_.Port.ipAdr = OffsetIpAddress(state_.Port.ipAdr, state_.IpCnt);
        state_.Title += " +" + QString::number(state_.Instance);
    } else {
        state_.Instance = 0;
        state_.IpCnt = 0;
    }
    settings_.setValue("App", "Instance", QString::number(state_.Instance));
    settings_.setValue("App", "IpCnt", QString::number(state_.IpCnt));
    settings_.setValue("Properties", "LogFileName", stored.logFileName);
    settings_.setValue("Properties", "LogActive", stored.logActive);
    settings_.sync();
    return true;
}

void OperatorShell::readConfigurationFiles() {
    const QString& tables = environment_.tablesDirectory.isEmpty()
                                ? environment_.programDirectory
                                : environment_.tablesDirectory;
    ReadConfigurationFiles({tables, state_.StartMode, messages_, log_}, state_.Tables);
}

bool OperatorShell::start(const QString& commandLine) {
    applyStartMode(commandLine);
    const SettingsDefaults defaults{
        DirectoryBelow(WorkFolderBase(environment_.programDirectory), "Download"),
        libraryLogFileName()};
    const StoredSettings stored = settings_.readAll(defaults);
    state_.Port = stored.port;
    state_.DownloadDirectory = stored.downloadPath;
    log_.setFileName(stored.logFileName);
    log_.setActive(LeadingNumber(stored.logActive) == kLogActive);

    if (LeadingNumber(state_.Port.baudrate) > kBaudRateLimit && !IsServiceMode(state_.StartMode)) {
        state_.Port.baudrate = QString::number(kBaudRateLimit);
    }
    if (state_.StartMode == "P") state_.Port.usbAdr.clear();
    if (!checkSecondInstance(stored)) return false;
    if (state_.StartMode == "P" || state_.Instance > 0) log_.setActive(false);

    const long long left = LeadingNumber(stored.left);
    const long long top = LeadingNumber(stored.top);
    if (left >= 0 && top >= 0 && !instances_->otherInstanceRunning()) {
        ui_.moveMainWindow(static_cast<int>(left), static_cast<int>(top));
    }
    ui_.setTitle(state_.Title);
    ui_.setDeviceTreeVisible(false);
    ui_.setStatus("offline!");
    ComputeConnectionParameters();
    if (log_.active()) ui_.setMenuEntryChecked("mnuVTXLogFileActive", true);

    state_.PanelLoader1 = false;
    state_.Busy = false;
    messages_.QuietMessages = false;
    state_.RestartPending = false;
    state_.LastResult = 0;
    readConfigurationFiles();
    state_.UploadDirectory =
        DirectoryBelow(WorkFolderBase(environment_.programDirectory), "Upload");
    writeStartProtocol();
    return true;
}

void OperatorShell::writeStartProtocol() {
    WriteProtocol("-->Quorlink started.<--");
    WriteProtocol(QString("Version : V") + kProgramVersion);
    WriteProtocol("UserMode: " + state_.StartMode);
    WriteProtocol("AppPath : " + environment_.programDirectory);
    WriteProtocol("Firmware: " + state_.DownloadDirectory);
}

void OperatorShell::EnableUserInterface(bool enable) {
    state_.Busy = !enable;
    if (enable && log_.active()) FlushProtocol();
    ui_.setInterfaceEnabled(enable);
    if (enable) ui_.processEvents();
}

void OperatorShell::ComputeConnectionParameters() {
    quorvel::ComputeConnectionParameters(state_.Port, state_.TrafficLogOn, state_.Connection);
    ShowPortSummary();
}

void OperatorShell::ShowPortSummary() { ui_.setPortSummary(PortSummary(state_.Port)); }

void OperatorShell::ShowProtocolFile() {
    const auto viewer = log_.viewerText();
    ui_.showProtocolViewer("Quorlink Log File", viewer.text, viewer.found);
}

int OperatorShell::openConnection() {
    const ConnectionParameters& c = state_.Connection;
    const QByteArray text = c.portText.value_or(QString()).toLocal8Bit();
    try {
        lastConnectionResult_ =
            QUORLINK_INVOKE(library_, OpenConnection, c.portKind, c.portParameter,
                            c.portText ? text.constData() : nullptr, c.dataBits, c.stopBits,
                            kConnectTimeoutMs, MessageCallback, c.deviceAddress, c.trafficLog);
    } catch (const LibraryError& error) {
        reportLibraryError(error);
        lastConnectionResult_ = kLibraryMissing;
    }
    return lastConnectionResult_;
}

void OperatorShell::closeConnection() {
    try {
        QUORLINK_INVOKE(library_, CloseConnection);
    } catch (const LibraryError&) {
        // Nothing was opened without the library.
    }
}

void OperatorShell::restartRack() {
    const bool due = state_.RestartPending && state_.Inventory.processor.ProcessorType != "KX13" &&
                     state_.StartMode != "P" && state_.StartMode != "O";
    if (!due) {
        ui_.setProgress(90);
        return;
    }
    if (openConnection() != 0) {
        ShowMessage("Automatic restart of VTX failed.\rPlease restart your VTX system.",
                    kIconExclamation);
        return;
    }
    try {
        QUORLINK_INVOKE(library_, MultiMasterMode, MessageCallback, ProgressCallback, 0);
        state_.RestartPending = false;
    } catch (const LibraryError& error) {
        reportLibraryError(error);
    }
}

void OperatorShell::shutdown() {
    WriteProtocol("-->Quorlink exit.<--");
    EnableUserInterface(false);
    ui_.setStatus("Exit Quorlink...");
    if (const auto position = ui_.mainWindowPosition()) {
        settings_.setValue("App", "Left", QString::number(position->first));
        settings_.setValue("App", "Top", QString::number(position->second));
        settings_.sync();
    }
    restartRack();
    closeConnection();
    EnableUserInterface(true);
    TrimProtocol();
}

}  // namespace quorvel
