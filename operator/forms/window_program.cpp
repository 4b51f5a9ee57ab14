#include "operator/forms/window_program.h"

#include <QAction>
#include <QDir>
#include <QRegularExpression>
#include <QGuiApplication>
#include <QScreen>

#include "linkpad/com_ports.h"
#include "operator/drivers/amplifier_commands.h"
#include "operator/drivers/device_information.h"
#include "operator/drivers/device_state.h"
#include "operator/drivers/menu_commands.h"
#include "operator/drivers/processor_panel_commands.h"
#include "operator/drivers/shell_commands.h"
#include "operator/forms/about_box.h"
#include "operator/forms/bootstrap_input_dialog.h"
#include "operator/forms/choice_list_dialog.h"
#include "operator/forms/colour_scheme.h"
#include "operator/forms/directory_dialog.h"
#include "operator/forms/help_window.h"
#include "operator/forms/information_dialog.h"
#include "operator/forms/nodepod_dialog.h"
#include "operator/forms/port_dialog.h"
#include "operator/forms/run_view_dialog.h"
#include "operator/forms/selection_view.h"
#include "operator/shell/installation_paths.h"

namespace quorvel::forms {
namespace {

const char* const kDarkThemeEntry = "mnuDarkTheme";

constexpr int kMinimumWidth = 200;
constexpr int kMinimumHeight = 200;

}  // namespace

WindowProgram::WindowProgram(WindowProgramOptions options)
    : options_(std::move(options)),
      ui_(window_),
      shell_(std::make_unique<OperatorShell>(ui_, options_.environment)),
      selection_(shell_->state()),
      context_(std::make_unique<DriverContext>(*shell_)),
      dispatcher_(std::make_unique<CommandDispatcher>(*context_)) {
    RegisterShellCommands(*dispatcher_);
    RegisterAmplifierCommands(*dispatcher_);
    RegisterProcessorAndPanelCommands(*dispatcher_);
    dispatcher_->add(menu::kNodePodDownload, {{}, {}, [this] { return openNodePodWindow(); }});
    context_->chooseFirmware = [this](const FirmwareTarget& target, bool quiet) {
        return chooseFirmware(target, quiet);
    };
    context_->refreshDeviceTree = [this] { refreshDeviceTree(); };
    context_->rescan = [this] { scan(); };
    context_->tickPanel = [this] {
        selection_.tickPanelForBootstrap();
        ShowSelection(selection_, window_);
    };
    context_->askBootstrapValues = [this](const std::function<bool()>& confirmCancel) {
        BootstrapInputDialog dialog(confirmCancel, ui_.owner());
        return dialog.ask();
    };
    ui_.setMessageService(
        [this](const QString& prompt, int style) { return shell_->ShowMessage(prompt, style); });
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
    dispatcher_.reset();
    context_.reset();
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
    if (!options_.downloadDirectory.isEmpty())
        shell_->state().DownloadDirectory = options_.downloadDirectory;
    window_.setProgressVisible(false);
    const bool darkStored = shell_->settings().value("App", "DarkTheme", "0") == "1";
    UseDarkPalette(options_.dark || darkStored);
    window_.entry(kDarkThemeEntry)->setChecked(DarkPaletteInUse());
    refreshDeviceTree();
    return true;
}

void WindowProgram::useDarkTheme(bool dark) {
    UseDarkPalette(dark);
    window_.entry(kDarkThemeEntry)->setChecked(dark);
    shell_->settings().setValue("App", "DarkTheme", dark ? "1" : "0");
}

// The stored size and position, within the screen's available area: a window stored on a larger
// screen, or a default size at a high scale, must not hide its status bar below the screen.
void WindowProgram::restoreGeometry() {
    SettingsStore& store = shell_->settings();
    const int width = store.value("App", "Width", "0").toInt();
    const int height = store.value("App", "Height", "0").toInt();
    if (width >= kMinimumWidth && height >= kMinimumHeight) window_.resize(width, height);
    const QPoint position(store.value("App", "Left", "-1").toInt(),
                          store.value("App", "Top", "-1").toInt());
    QScreen* screen = QGuiApplication::screenAt(position);
    if (position.x() >= 0 && position.y() >= 0 && screen) window_.move(position);
    FitIntoScreen(window_, screen ? screen : window_.screen());
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
    const RackStatus status = DecideRackStatus(shell_->state(), failedSlots_);
    DeviceTree* tree = window_.deviceTree();
    tree->setStatus({DeviceBox::Processor, 0}, status.processor);
    tree->setStatus({DeviceBox::Panel, 0}, status.panel);
    for (int slot = 0; slot < DeviceInventory::kSlots; ++slot)
        tree->setStatus({DeviceBox::Slot, slot}, status.amplifierSlots[static_cast<size_t>(slot)]);
    window_.setSummary(status.summary());
}

void WindowProgram::runEntry(const QString& name) {
    if (shell_->state().Busy) return;
    if (name == menu::kExit) {
        window_.close();
    } else if (name == menu::kConfigurePort) {
        configurePort();
    } else if (name == menu::kDownloadDirectory) {
        chooseDownloadDirectory();
    } else if (name == menu::kScan) {
        scan();
    } else if (name == kDarkThemeEntry) {
        useDarkTheme(!DarkPaletteInUse());
    } else if (name == menu::kHelp) {
        showHelp();
    } else if (name == menu::kAbout) {
        showAbout();
    } else if (dispatcher_->contains(name)) {
        dispatch(name);
    }
}

void WindowProgram::runToolbar(const QString& key) {
    if (shell_->state().Busy) return;
    if (key == menu::kButtonConfigurePort) {
        shell_->WriteProtocol("-->Button ConfigurePort.<--");
        configurePort();
    } else if (key == menu::kButtonScan) {
        scan();
    } else if (key == menu::kButtonSelectAll) {
        shell_->WriteProtocol("-->Button SelectAllRA.<--");
        selection_.SelectAllAmplifiers();
        ShowSelection(selection_, window_);
    } else if (key == menu::kButtonHelp) {
        shell_->WriteProtocol("-->Button Online Help.<--");
        showHelp();
    } else if (key == menu::kButtonNodePod) {
        runEntry(menu::kNodePodDownload);
    } else if (dispatcher_->contains(key)) {
        dispatch(key);
    }
}

// The caption of the entry or button that starts an operation, without its access key.
QString WindowProgram::operationCaption(const QString& name) const {
    const QAction* action = window_.entry(name) ? window_.entry(name) : window_.toolbarButton(name);
    return action ? QString(action->text()).remove(QRegularExpression("&(?=[^&])")) : QString();
}

void WindowProgram::dispatch(const QString& name) {
    DeviceChoice& choice = context_->selection;
    choice.processor = selection_.processor().ticked;
    choice.panel = selection_.panel().ticked;
    choice.amplifierSlots = selection_.tickedSlots();
    const DeviceInventory before = shell_->state().Inventory;
    context_->startReport({});  // drivers that report name their operation
    ui_.setOperation(operationCaption(name));
    const int result = dispatcher_->dispatch(name);
    ui_.setOperation({});
    rememberFailedSlots(before, result);
    window_.setProgressVisible(false);  // whatever way the operation ended
    refreshDeviceTree();
    showOutcome(before, result);
}

// The slots a run left failed keep their "needs attention" mark until the next run.
void WindowProgram::rememberFailedSlots(const DeviceInventory& before, int result) {
    const RunReport& report = context_->report();
    if (report.operation().isEmpty() || result == CommandDispatcher::kDeclined ||
        result == CommandDispatcher::kBusy)
        return;
    const ProgramState& state = shell_->state();
    failedSlots_.clear();
    const RunSummary summary =
        SummariseRun(report, result, before, state.Inventory, state.SelectedFirmwareVersion);
    for (const SlotRun& run : summary.slotRuns)
        if (run.result == "failed") failedSlots_.insert(run.slot);
}

void WindowProgram::showOutcome(const DeviceInventory& before, int result) {
    const RunReport& report = context_->report();
    if (report.operation().isEmpty() || result == CommandDispatcher::kDeclined ||
        result == CommandDispatcher::kBusy)
        return;
    const ProgramState& state = shell_->state();
    RunSummary summary =
        SummariseRun(report, result, before, state.Inventory, state.SelectedFirmwareVersion);
    if (!summary.failed && summary.slotRuns.size() < 2) return;
    RunViewDialog dialog(
        summary, [this, summary] { return diagnostics(summary); }, ui_.owner());
    dialog.exec();
}

Diagnostics WindowProgram::diagnostics(const RunSummary& summary) {
    const ProgramState& state = shell_->state();
    Diagnostics content;
    content.libraryLocation = LibraryLocation(shell_->library());
    content.summary = summary.text();
    content.report = context_->report().toJson();
    const DeviceInventory& inventory = state.Inventory;
    content.inventory = "Processor: " + inventory.processor.Identity +
                        "\nPanel: " + inventory.panel.Identity + "\n";
    for (const SlotRecord& record : inventory.slotRecords)
        if (record.Present)
            content.inventory += QString("Slot %1: %2\n").arg(record.Slot + 1).arg(record.Identity);
    shell_->protocolLog().flush();
    content.files << shell_->settings().fileName() << shell_->protocolLog().fileName();
    const QDir here = QDir::current();
    for (const QString& file : here.entryList(QDir::Files))
        if (file.compare(kTrafficLogFile, Qt::CaseInsensitive) == 0)
            content.files << here.filePath(file);
    return content;
}

std::optional<FirmwareChoice> WindowProgram::chooseFirmware(const FirmwareTarget& target,
                                                            bool quiet) {
    ProgramState& state = shell_->state();
    const FirmwareList list = OpenFirmwareList(state, target);
    if (quiet) {
        StoreQuietChoice(state, list);
        return StoredFirmwareChoice(state);
    }
    ChoiceListBehaviour behaviour;
    behaviour.showMessage = [this](const QString& prompt, int style) {
        return shell_->ShowMessage(prompt, style);
    };
    const QString directory = state.DownloadDirectory;
    behaviour.rowInformation = [&list, directory](int row) -> std::optional<QString> {
        const FirmwareEntry& entry = list.entries[static_cast<size_t>(row)];
        if (!entry.hasInformation) return std::nullopt;
        return AdditionalInformation(directory, entry);
    };
    behaviour.confirmCancel = true;
    ChoiceListDialog dialog(FirmwareChoiceList(list, false), behaviour, ui_.owner());
    StoreFirmwareChoice(state, list, dialog.choose());
    return StoredFirmwareChoice(state);
}

void WindowProgram::clickBox(DeviceRef device, bool checked) {
    switch (device.box) {
        case DeviceBox::Processor:
            selection_.setProcessorTicked(checked);
            break;
        case DeviceBox::Panel:
            selection_.setPanelTicked(checked);
            break;
        case DeviceBox::Slot:
            selection_.setSlotTicked(device.slot, checked);
            break;
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

int WindowProgram::openNodePodWindow() {
    const std::vector<int> ticked = selection_.tickedSlots();
    if (ticked.size() != 1) return kOperationDeclined;
    NodePodDialog::Services services;
    services.ui = &ui_;
    services.changeDirectory = [this] { chooseDownloadDirectory(); };
    window_.setStatusText("NODEPOD download...");
    NodePodDialog dialog(*context_, ticked.front(), services, &window_);
    dialog.exec();
    // The window's library waits ("Wait for RA56...") end with it.
    window_.setWaitNotice({});
    window_.setStatusText("Ready");
    return context_->report().result();
}

void WindowProgram::showInformation(DeviceRef device) {
    const DeviceInventory& inventory = shell_->state().Inventory;
    std::vector<InformationRow> rows;
    switch (device.box) {
        case DeviceBox::Processor:
            rows = ProcessorInformation(inventory.processor);
            break;
        case DeviceBox::Panel:
            rows = PanelInformation(inventory.panel);
            break;
        case DeviceBox::Slot:
            rows = SlotInformation(inventory.slotRecords[static_cast<size_t>(device.slot)]);
            break;
    }
    InformationDialog dialog(rows, &window_);
    dialog.exec();
}

void WindowProgram::scan() {
    ui_.setOperation(operationCaption(menu::kScan));
    dispatcher_->dispatch(menu::kScan);
    ui_.setOperation({});
    window_.setProgressVisible(false);
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
    const QString fallback =
        DirectoryBelow(WorkFolderBase(shell_->environment().programDirectory), "Download");
    DirectoryDialog dialog(state.DownloadDirectory, fallback, &window_);
    if (dialog.exec() != QDialog::Accepted) return;
    state.DownloadDirectory = dialog.pendingDirectory();
    shell_->settings().setValue("Properties", "DownloadPath", state.DownloadDirectory);
    shell_->settings().sync();
    refreshDeviceTree();
}

void WindowProgram::showHelp() { ShowManual(&window_, shell_->environment().programDirectory); }

void WindowProgram::showAbout() { ShowAboutBox(&window_, shell_->library()); }

}  // namespace quorvel::forms
