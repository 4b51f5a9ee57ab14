#include "operator/forms/window_program.h"

#include <QFile>

#include "linkpad/com_ports.h"
#include "operator/drivers/device_information.h"
#include "operator/forms/about_box.h"
#include "operator/forms/directory_dialog.h"
#include "operator/forms/help_window.h"
#include "operator/forms/information_dialog.h"
#include "operator/forms/port_dialog.h"
#include "operator/forms/selection_view.h"

namespace quorvel::forms {
namespace {

constexpr int kMinimumWidth = 200;
constexpr int kMinimumHeight = 200;

// Option entries that only flip their check mark and flag, with the protocol line they write.
struct OptionToggle {
    const char* entry;
    bool ProgramState::*flag;
    const char* protocolLine;  // nullptr: none
};
constexpr OptionToggle kOptionToggles[] = {
    {"mnuScanForLoader1", &ProgramState::ScanForLoader1, "-->Scan for loader1 clicked.<--"},
    {"mnuIncludeLoader1", &ProgramState::IncludeLoader1, nullptr},
    {"mnuOnlyLoader1", &ProgramState::OnlyLoader1, nullptr},
    {"mnuSequRA", &ProgramState::SequentialDownload, "-->Sequentiel RA download clicked.<--"},
};

}  // namespace

WindowProgram::WindowProgram(WindowProgramOptions options)
    : options_(std::move(options)),
      ui_(window_),
      shell_(std::make_unique<OperatorShell>(ui_, options_.environment)),
      selection_(shell_->state()) {
    if (options_.comMappingFile.isEmpty()) {
        options_.comMappingFile = QString::fromStdString(linkpad::comMappingFile().string());
    }
    connect(&window_, &MainWindow::entryTriggered, this, &WindowProgram::runEntry);
    connect(&window_, &MainWindow::toolbarTriggered, this, &WindowProgram::runToolbar);
    DeviceTree* tree = window_.deviceTree();
    connect(tree, &DeviceTree::boxClicked, this, &WindowProgram::clickBox);
    connect(tree, &DeviceTree::nodePodClicked, this, &WindowProgram::clickNodePod);
    connect(tree, &DeviceTree::nodePodDoubleClicked, this, &WindowProgram::doubleClickNodePod);
    connect(tree, &DeviceTree::informationRequested, this, &WindowProgram::showInformation);
    window_.setCloseGuard([this] { return closeWindow(); });
}

WindowProgram::~WindowProgram() {
    if (!shutDown_ && shell_) shell_->shutdown();
}

bool WindowProgram::start() {
    restoreGeometry();
    if (!shell_->start(options_.startMode)) {
        shutDown_ = true;
        return false;
    }
    if (!options_.simulatedRackAddress.isEmpty()) {
        PortSettings& port = shell_->state().Port;
        port.commPort = "Ethernet TCP/IP";
        port.ipAdr = options_.simulatedRackAddress;
        shell_->settings().writePort(port);
        shell_->ComputeConnectionParameters();
    }
    window_.setProgressVisible(false);
    refreshDeviceTree();
    return true;
}

void WindowProgram::restoreGeometry() {
    SettingsStore& store = shell_->settings();
    const int width = store.value("App", "Width", "0").toInt();
    const int height = store.value("App", "Height", "0").toInt();
    if (width >= kMinimumWidth && height >= kMinimumHeight) window_.resize(width, height);
}

bool WindowProgram::closeWindow() {
    if (shell_->state().Busy) return false;
    if (shutDown_) return true;
    shell_->settings().setValue("App", "Width", QString::number(window_.width()));
    shell_->settings().setValue("App", "Height", QString::number(window_.height()));
    shell_->shutdown();
    shutDown_ = true;
    return true;
}

void WindowProgram::refreshDeviceTree() {
    selection_.refresh();
    ShowSelection(selection_, window_);
}

void WindowProgram::runEntry(const QString& name) {
    if (shell_->state().Busy) return;
    if (name == "mnuFileExit") {
        window_.close();
    } else if (name == "mnuOptionsConfig") {
        configurePort();
    } else if (name == "mnuSetDirDownload") {
        chooseDownloadDirectory();
    } else if (name == "mnuOptionsScan") {
        scan();
    } else if (name == "mnuShowLogFile") {
        shell_->ShowProtocolFile();
    } else if (name == "mnuLogFileActive") {
        switchTrafficLog();
    } else if (name == "mnuVTXLogFileActive") {
        ui_.setMenuEntryChecked(name, shell_->protocolLog().active());
    } else if (name == "mnuHelp") {
        showHelp();
    } else if (name == "mnuHelpAbout") {
        showAbout();
    } else {
        toggleOption(name);
    }
}

void WindowProgram::runToolbar(const QString& key) {
    if (shell_->state().Busy) return;
    if (key == "ConfigurePort") {
        shell_->WriteProtocol("-->Button ConfigurePort.<--");
        configurePort();
    } else if (key == "ScanSystem") {
        scan();
    } else if (key == "SelectAll") {
        shell_->WriteProtocol("-->Button SelectAllRA.<--");
        selection_.SelectAllAmplifiers();
        ShowSelection(selection_, window_);
    } else if (key == "OnlineHelp") {
        shell_->WriteProtocol("-->Button Online Help.<--");
        showHelp();
    } else if (key == "Download") {
        runEntry("mnuTransferDown");
    } else if (key == "NodePod") {
        runEntry("mnuTransferNodePodDown");
    }
}

void WindowProgram::clickBox(DeviceRef device, bool checked) {
    switch (device.box) {
        case DeviceBox::Processor: selection_.setProcessorTicked(checked); break;
        case DeviceBox::Panel: selection_.setPanelTicked(checked); break;
        case DeviceBox::Slot: selection_.setSlotTicked(device.slot, checked); break;
    }
    ShowSelection(selection_, window_);
}

void WindowProgram::clickNodePod(int slot) {
    selection_.clickNodePod(slot);
    ShowSelection(selection_, window_);
}

void WindowProgram::doubleClickNodePod(int slot) {
    clickNodePod(slot);
    shell_->WriteProtocol("-->Download NODEPOD.<--");
    if (selection_.isEnabled("mnuTransferNodePodDown")) runEntry("mnuTransferNodePodDown");
}

void WindowProgram::showInformation(DeviceRef device) {
    const DeviceInventory& inventory = shell_->state().Inventory;
    std::vector<InformationRow> rows;
    switch (device.box) {
        case DeviceBox::Processor: rows = ProcessorInformation(inventory.processor); break;
        case DeviceBox::Panel: rows = PanelInformation(inventory.panel); break;
        case DeviceBox::Slot:
            rows = SlotInformation(inventory.slotRecords[static_cast<size_t>(device.slot)]);
            break;
    }
    InformationDialog dialog(rows, &window_);
    dialog.exec();
}

void WindowProgram::scan() {
    shell_->ScanSystem();
    refreshDeviceTree();
}

void WindowProgram::configurePort() {
    ProgramState& state = shell_->state();
    PortDialog dialog(state.Port, shell_->settings(), state.StartMode, options_.comMappingFile,
                      &window_);
    if (dialog.exec() == QDialog::Accepted) state.IpCnt = 0;
    shell_->ComputeConnectionParameters();
    refreshDeviceTree();
}

void WindowProgram::chooseDownloadDirectory() {
    ProgramState& state = shell_->state();
    const QString fallback = DirectoryBelow(shell_->environment().programDirectory, "Download");
    DirectoryDialog dialog(state.DownloadDirectory, fallback, &window_);
    if (dialog.exec() != QDialog::Accepted) return;
    state.DownloadDirectory = dialog.pendingDirectory();
    shell_->settings().setValue("Properties", "DownloadPath", state.DownloadDirectory);
    shell_->settings().sync();
}

void WindowProgram::switchTrafficLog() {
    ProgramState& state = shell_->state();
    if (state.TrafficLogOn) {
        state.TrafficLogOn = false;
    } else {
        if (QFile::exists("Comlog.log") &&
            shell_->ShowMessage("There is an existing logfile. Delete it?",
                                kYesNo | kIconExclamation) == kAnswerYes) {
            QFile::remove("Comlog.log");
        }
        state.TrafficLogOn = true;
    }
    ui_.setMenuEntryChecked("mnuLogFileActive", state.TrafficLogOn);
    shell_->ComputeConnectionParameters();
}

void WindowProgram::toggleOption(const QString& entry) {
    ProgramState& state = shell_->state();
    for (const OptionToggle& toggle : kOptionToggles) {
        if (entry != toggle.entry) continue;
        const bool on = !(state.*toggle.flag);
        if (on && entry == "mnuIncludeLoader1" &&
            shell_->ShowMessage("If a download with this option fails, your amplifier(s)\rwill "
                                "not be operational anymore!\r\rAre you sure to include loader1 "
                                "in RA download?",
                                kYesNo | kIconExclamation) != kAnswerYes) {
            ui_.setMenuEntryChecked(entry, false);
            return;
        }
        state.*toggle.flag = on;
        ui_.setMenuEntryChecked(entry, on);
        if (toggle.protocolLine) shell_->WriteProtocol(toggle.protocolLine);
        if (on && entry == "mnuOnlyLoader1") {
            shell_->ShowMessage("You have selected Loader1 download, please be careful!",
                                kIconExclamation);
        }
        return;
    }
}

void WindowProgram::showHelp() { ShowManual(&window_, shell_->environment().programDirectory); }

void WindowProgram::showAbout() {
    ShowAboutBox(&window_, shell_->library());
}

}  // namespace quorvel::forms
