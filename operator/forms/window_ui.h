#pragma once
// The operator's UI as windows: message boxes, questions and lists as modal dialogs over the main
// window, progress and status in the main window, the lock around every operation.
#include <functional>
#include <optional>

#include "operator/forms/library_waits.h"
#include "operator/forms/main_window.h"
#include "operator/shell/operator_ui.h"

namespace quorvel::forms {

class WindowUi : public OperatorUi {
  public:
    explicit WindowUi(MainWindow& window) : window_(window) {}

    // Messages the dialogs show go through the program's logged message service once it runs.
    void setMessageService(std::function<int(const QString&, int)> showMessage) {
        showMessage_ = std::move(showMessage);
    }

    // The operation that runs, named in the message boxes' titles ("Quorvel – Download Ventrix
    // Firmware"); empty between operations.
    void setOperation(const QString& name) { operation_ = name; }
    int showMessageBox(const QString& prompt, int style, const QString& title) override;
    std::optional<QString> askInput(const QString& prompt, const QString& title,
                                    const QString& defaultValue) override;
    std::optional<int> chooseOne(const QString& title, const QStringList& choices) override;
    std::optional<int> chooseFromList(const ChoiceList& list) override;
    std::optional<QString> chooseSaveFile(const QString& title, const QString& filter,
                                          const QString& proposedPath) override;
    bool showReport(const ReportView& view) override;
    void setProgress(int percent) override { window_.setProgress(percent); }
    void setProgressVisible(bool visible) override { window_.setProgressVisible(visible); }
    void setRunPosition(const std::optional<RunPosition>& position) override {
        window_.setRunPosition(position);
    }
    void setProgressCountdown(int totalMs) override {
        window_.setProgressCountdown(totalMs);
        processEvents();
    }
    void setStatus(const QString& text) override { window_.setStatusText(text); }
    void setPortSummary(const QString& text) override { window_.setSettingsText(text); }
    void setInterfaceEnabled(bool enabled) override;
    void processEvents() override;

    void setTitle(const QString& title) override { window_.setWindowTitle(title); }
    void setMenuEntryVisible(const QString& entry, bool visible) override;
    void setMenuEntryChecked(const QString& entry, bool checked) override;
    void setMenuEntryEnabled(const QString& entry, bool enabled) override;
    void setDeviceTreeVisible(bool visible) override { window_.setDeviceTreeVisible(visible); }
    void setDeviceBox(DeviceBox box, int slot, const DeviceBoxState& state) override;
    void setNodePodPicture(int slot, NodePodPicture picture) override;
    void moveMainWindow(int left, int top) override { window_.move(left, top); }
    std::optional<std::pair<int, int>> mainWindowPosition() const override;
    void showProtocolViewer(const QString& caption, const QString& text, bool found) override;

    // The window that owns dialogs right now: the active modal one, else the main window.
    QWidget* owner() const;

  private:
    int message(const QString& prompt, int style);

    MainWindow& window_;
    std::function<int(const QString&, int)> showMessage_;
    std::optional<LibraryWaits> waits_;  // while an operation runs
    QString operation_;
};

// A filter "Upload files (*.up*)|*.up*|All files (*.*)|*.*" as Qt's file dialogs want it.
QString QtFileFilter(const QString& filter);

}  // namespace quorvel::forms
