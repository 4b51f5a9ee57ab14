#pragma once
// The window program: the main window and its dialogs over the operator shell and the device
// selection. Menu entries and toolbar buttons are routed here; the shell, the selection and the
// drivers decide, the windows present.
#include <QObject>
#include <memory>
#include <set>

#include "operator/drivers/command_dispatcher.h"
#include "operator/drivers/device_selection.h"
#include "operator/drivers/firmware_choice.h"
#include "operator/forms/diagnostics.h"
#include "operator/forms/main_window.h"
#include "operator/forms/run_summary.h"
#include "operator/forms/window_ui.h"
#include "operator/shell/operator_shell.h"

namespace quorvel::forms {

struct WindowProgramOptions {
    ShellEnvironment environment;
    QString startMode;             // "S", "A", "P", "PS", "O" or empty
    QString comMappingFile;        // empty: the port library's mapping file
    QString simulatedRackAddress;  // not empty: connect to this simulated rack over TCP
    QString downloadDirectory;     // not empty: instead of the stored one, for this run only
    bool dark = false;             // the dark palette, whatever the stored choice
};

class WindowProgram : public QObject {
    Q_OBJECT
  public:
    explicit WindowProgram(WindowProgramOptions options);
    ~WindowProgram() override;

    // Start-up; false when the operator declined to start a second instance.
    bool start();

    MainWindow& window() { return window_; }
    OperatorShell& shell() { return *shell_; }
    DeviceSelection& selection() { return selection_; }
    DriverContext& drivers() { return *context_; }

    // RefreshDeviceTree: the selection after a scan, a port change or an operation.
    void refreshDeviceTree();

  private:
    void runEntry(const QString& name);
    void runToolbar(const QString& key);
    void clickBox(DeviceRef device, bool checked);
    void clickNodePod(int slot);
    void doubleClickNodePod(int slot);
    // The NodePod window for the one ticked RA56; the result of its last download.
    int openNodePodWindow();
    void showInformation(DeviceRef device);
    void scan();
    void configurePort();
    void chooseDownloadDirectory();
    void dispatch(const QString& name);
    QString operationCaption(const QString& name) const;
    // After an operation: a failure, or a run over several slots, in the run view.
    void showOutcome(const DeviceInventory& before, int result);
    void rememberFailedSlots(const DeviceInventory& before, int result);
    Diagnostics diagnostics(const RunSummary& summary);
    std::optional<FirmwareChoice> chooseFirmware(const FirmwareTarget& target, bool quiet);
    void showHelp();
    // Options → Dark theme: the dark palette or the desktop's, kept for the next start.
    void useDarkTheme(bool dark);
    void showAbout();
    void restoreGeometry();
    bool closeWindow();

    WindowProgramOptions options_;
    MainWindow window_;
    WindowUi ui_;
    std::unique_ptr<OperatorShell> shell_;
    DeviceSelection selection_;
    std::unique_ptr<DriverContext> context_;
    std::unique_ptr<CommandDispatcher> dispatcher_;
    bool shutDown_ = false;
    std::set<int> failedSlots_;  // 0-15: the slots the last run left failed
};

}  // namespace quorvel::forms
