#pragma once
// The main window: menus, toolbar, device frame, progress bar and the status bar with the panels
// "Status" and "Settings". It presents; the program decides what its entries do.
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMap>
#include <functional>
#include <optional>

#include "operator/forms/device_tree.h"
#include "operator/forms/remaining_time.h"

class QLabel;
class QProgressBar;
class QScreen;
class QScrollArea;
class QToolBar;

namespace quorvel::forms {

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);

    // A menu entry or separator by its control name; nullptr when there is none.
    QAction* entry(const QString& name) const { return entries_.value(name); }
    // A toolbar button by its key ("Download").
    QAction* toolbarButton(const QString& key) const { return buttons_.value(key); }
    DeviceTree* deviceTree() const { return tree_; }
    QScrollArea* deviceArea() const { return area_; }

    void setStatusText(const QString& text);
    QString statusText() const;
    void setSettingsText(const QString& text);
    QString settingsText() const;
    void setProgress(int percent);
    int progress() const;
    // The bar's text: phase, percent and the remaining time once it can be told.
    QString progressText() const;
    // The milliseconds clock the remaining time is measured with (tests set their own).
    void setClock(std::function<qint64()> now) { now_ = std::move(now); }
    void setProgressVisible(bool visible);
    // The line above the bar: where the run stands and what is left of the whole run, as the
    // run's plan expects it; nullopt hides it.
    void setRunPosition(const std::optional<RunPosition>& position);
    QString runPositionText() const;
    // The notice beside the status while the library waits for a module; empty hides it. The
    // wait does not count into the phase's measured rate.
    void setWaitNotice(const QString& text);
    QString waitNotice() const;
    // While `totalMs` is above 0 the progress counts the wait notice down ("waiting for the rack,
    // up to N s"); 0 ends it.
    void setProgressCountdown(int totalMs);
    void setDeviceTreeVisible(bool visible);
    // The line above the device tree: "3 of 9 devices can be updated, 1 needs attention".
    void setSummary(const QString& text);
    QString summary() const;

    // Menus, toolbar and device frame locked with a busy pointer, or unlocked.
    void setLocked(bool locked);
    bool isLocked() const { return locked_; }

    // Asked before the window closes; false keeps it open.
    void setCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }

  signals:
    // A menu entry or toolbar button was triggered (by name or key).
    void entryTriggered(const QString& name);
    void toolbarTriggered(const QString& key);
    // The run position line changed (empty: the run is over).
    void runPositionShown(const QString& text);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void showProgressText(const QString& remaining);
    void showRunPosition();
    qint64 nowMs() const { return now_ ? now_() : clock_.elapsed(); }

    QMap<QString, QAction*> entries_;
    QMap<QString, QAction*> buttons_;
    QToolBar* toolbar_ = nullptr;
    QScrollArea* area_ = nullptr;
    DeviceTree* tree_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* settings_ = nullptr;
    QLabel* waitNotice_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* runPosition_ = nullptr;
    std::optional<RunPosition> position_;
    qint64 stepStartedMs_ = 0;  // when the run's current step began
    int countdownMs_ = 0;       // the wait the progress counts down, 0: none
    qint64 waitStartedMs_ = 0;
    bool locked_ = false;
    RemainingTime remaining_;
    QElapsedTimer clock_;
    std::function<qint64()> now_;
    std::function<bool()> closeGuard_;
};

// Shrinks `window` to `screen`'s available area, its frame included, and moves a placed window
// back onto it.
void FitIntoScreen(QWidget& window, const QScreen* screen);

}  // namespace quorvel::forms
