#pragma once
// The NodePod download window over its model: a tick box per node found behind one RA56, the
// download, select-all, directory and stop/exit buttons, its own status bar and progress bar.
// The scan runs when the window is first shown; the window cannot be closed while it scans or
// downloads, and leaving it resets the rack when the RA56 was put into its download mode.
#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "operator/drivers/nodepod_window.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace quorvel::forms {

class LibraryWaits;

inline constexpr const char* kNodePodTitle = "NODEPOD download";

class NodePodDialog : public QDialog {
    Q_OBJECT
  public:
    struct Services {
        // Messages, lists and questions go to the program's window UI.
        OperatorUi* ui = nullptr;
        // Opens the download directory dialog.
        std::function<void()> changeDirectory;
    };

    NodePodDialog(DriverContext& context, int slot, Services services, QWidget* parent = nullptr);
    ~NodePodDialog() override;

    const NodePodWindow& model() const { return *model_; }
    QCheckBox* nodeBox(int entry) const { return boxes_[static_cast<size_t>(entry)]; }
    QPushButton* downloadButton() const { return download_; }
    QPushButton* selectAllButton() const { return selectAll_; }
    QPushButton* directoryButton() const { return directory_; }
    QPushButton* stopOrExitButton() const { return stopOrExit_; }
    QLabel* notFoundText() const { return notFound_; }
    // Beside each node: the newest file for its type and how it compares.
    QLabel* versionNote(int entry) const { return versionNotes_[static_cast<size_t>(entry)]; }
    QString statusText() const;
    int progress() const;

    // Leaves the window unless it is busy (the close box, Escape and the exit button).
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    // A status tip (a marked node's reason) shows in the window's status bar while pointed at.
    bool event(QEvent* event) override;

  private:
    class WindowStatus;

    void scan();
    void download();
    void tick(int entry, bool ticked);
    // Right click on a node's box: its "Additional Information".
    void showInformation(int entry);
    void stopOrExit();
    void showNodes();
    // The newest file per node, read again from the download directory.
    void findNewestFiles();
    // A download to an older version than a ticked node runs is asked first.
    bool olderVersionAccepted(const QString& fileVersion);
    void setButtonsEnabled(bool enabled);

    DriverContext& context_;
    Services services_;
    std::unique_ptr<LibraryWaits> waits_;
    std::unique_ptr<WindowStatus> status_;
    std::unique_ptr<NodePodWindow> model_;
    bool scanStarted_ = false;
    bool stopRequested_ = false;  // the operator stopped the node-ID scan
    QGroupBox* frame_ = nullptr;
    int slot_;
    std::vector<QCheckBox*> boxes_;
    std::vector<QLabel*> versionNotes_;
    std::vector<QString> newest_;  // per node, the newest version in the download directory
    QLabel* notFound_ = nullptr;
    QPushButton* download_ = nullptr;
    QPushButton* selectAll_ = nullptr;
    QPushButton* directory_ = nullptr;
    QPushButton* stopOrExit_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
};

}  // namespace quorvel::forms
