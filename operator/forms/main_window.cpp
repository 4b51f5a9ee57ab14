#include "operator/forms/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "operator/forms/menu_layout.h"
#include "operator/shell/wait_notice_text.h"

// The pictures are compiled into this library; a static library must register them itself.
static void registerPictures() { Q_INIT_RESOURCE(forms); }

namespace quorvel::forms {
namespace {

constexpr QSize kFrameAllowance(16, 40);

QIcon buttonIcon(const ToolbarButton& button) {
    return QIcon::fromTheme(button.icon, QIcon(":/icons/" + button.key + ".svg"));
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    registerPictures();
    setObjectName("frmMain");
    setWindowIcon(QIcon(":/icons/quorvel.svg"));
    buildMenus();
    buildToolbar();

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    summary_ = new QLabel;
    summary_->setObjectName("lblSummary");
    summary_->hide();
    column->addWidget(summary_);
    tree_ = new DeviceTree;
    area_ = new QScrollArea;
    area_->setWidget(tree_);
    area_->setWidgetResizable(true);
    area_->setFrameShape(QFrame::NoFrame);
    column->addWidget(area_, 1);
    runPosition_ = new QLabel;
    runPosition_->setObjectName("lblRunPosition");
    runPosition_->setWordWrap(true);
    runPosition_->hide();
    column->addWidget(runPosition_);
    progress_ = new QProgressBar;
    progress_->setObjectName("ProgressBar1");
    progress_->setRange(0, 100);
    progress_->setAccessibleName("Progress");
    column->addWidget(progress_);
    setCentralWidget(central);
    buildStatusBar();
    resize(520, 640);
    clock_.start();
}

void MainWindow::buildMenus() {
    for (const Menu& menu : MainMenus()) {
        QMenu* shown = menuBar()->addMenu(menu.caption);
        shown->setObjectName(menu.name);
        for (const MenuEntry& item : menu.entries) {
            QAction* action =
                item.caption.isEmpty() ? shown->addSeparator() : shown->addAction(item.caption);
            action->setObjectName(item.name);
            action->setCheckable(item.checkable);
            action->setVisible(!item.hidden);
            entries_.insert(item.name, action);
            if (item.caption.isEmpty()) continue;
            const QString name = item.name;
            connect(action, &QAction::triggered, this, [this, action, name](bool checked) {
                // A check mark shows the program's flag: only the program sets it.
                if (action->isCheckable()) action->setChecked(!checked);
                emit entryTriggered(name);
            });
        }
    }
}

void MainWindow::buildToolbar() {
    toolbar_ = addToolBar("Toolbar");
    toolbar_->setObjectName("Toolbar1");
    toolbar_->setMovable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolbarButton& button : ToolbarButtons()) {
        QAction* action = toolbar_->addAction(buttonIcon(button), button.caption);
        action->setObjectName("Toolbar1" + button.key);
        action->setToolTip(button.toolTip);
        buttons_.insert(button.key, action);
        const QString key = button.key;
        connect(action, &QAction::triggered, this, [this, key] { emit toolbarTriggered(key); });
    }
}

void MainWindow::buildStatusBar() {
    statusBar()->setObjectName("sbrStatus");
    status_ = new QLabel;
    status_->setObjectName("Status");
    status_->setAccessibleName("Status");
    settings_ = new QLabel;
    settings_->setObjectName("Settings");
    settings_->setAccessibleName("Settings");
    waitNotice_ = new QLabel;
    waitNotice_->setObjectName("WaitNotice");
    waitNotice_->setAccessibleName("Wait");
    waitNotice_->hide();
    statusBar()->addWidget(status_, 1);
    statusBar()->addWidget(waitNotice_);
    statusBar()->addPermanentWidget(settings_);
}

void MainWindow::setStatusText(const QString& text) {
    if (text != status_->text()) remaining_.restart();
    status_->setText(text);
    showProgressText({});
}

void MainWindow::showProgressText(const QString& remaining) {
    // The bar names the phase it measures and, once measured, the time the phase still needs.
    const QString phase = status_->text();
    QString format = phase.isEmpty() ? QString("%p%") : phase + "  %p%";
    if (!remaining.isEmpty()) format += ", " + remaining;
    progress_->setFormat(format);
}
QString MainWindow::statusText() const { return status_->text(); }
QString MainWindow::progressText() const { return progress_->text(); }
void MainWindow::setSettingsText(const QString& text) { settings_->setText(text); }
QString MainWindow::settingsText() const { return settings_->text(); }
void MainWindow::setProgress(int percent) {
    const int shown = std::clamp(percent, 0, 100);
    progress_->setValue(shown);
    showProgressText(remaining_.update(shown, nowMs()));
    showRunPosition();
    if (countdownMs_ > 0)
        setWaitNotice(WaitNoticeText(countdownMs_, countdownMs_ * shown / 100, "the rack"));
}

void MainWindow::setProgressCountdown(int totalMs) {
    countdownMs_ = totalMs;
    setWaitNotice(totalMs > 0 ? WaitNoticeText(totalMs, 0, "the rack") : QString());
}

void MainWindow::setRunPosition(const std::optional<RunPosition>& position) {
    position_ = position;
    stepStartedMs_ = nowMs();
    showRunPosition();
}

void MainWindow::showRunPosition() {
    const QString text =
        position_ ? RunPositionLine(*position_, nowMs() - stepStartedMs_) : QString();
    runPosition_->setVisible(position_.has_value());
    if (text == runPosition_->text()) return;
    runPosition_->setText(text);
    runPosition_->setAccessibleName(text);
    emit runPositionShown(text);
}

QString MainWindow::runPositionText() const { return runPosition_->text(); }

void MainWindow::setWaitNotice(const QString& text) {
    const bool waiting = !waitNotice_->text().isEmpty();
    if (!waiting && !text.isEmpty()) waitStartedMs_ = nowMs();
    if (waiting && text.isEmpty()) remaining_.skip(nowMs() - waitStartedMs_);
    waitNotice_->setText(text);
    waitNotice_->setVisible(!text.isEmpty());
    showRunPosition();
}

QString MainWindow::waitNotice() const { return waitNotice_->text(); }
int MainWindow::progress() const { return progress_->value(); }
void MainWindow::setProgressVisible(bool visible) { progress_->setVisible(visible); }
void MainWindow::setDeviceTreeVisible(bool visible) { tree_->setVisible(visible); }

void MainWindow::setSummary(const QString& text) {
    summary_->setText(text);
    summary_->setAccessibleName(text);
    summary_->setVisible(!text.isEmpty());
}

QString MainWindow::summary() const { return summary_->text(); }

void MainWindow::setLocked(bool locked) {
    if (locked == locked_) return;
    locked_ = locked;
    menuBar()->setEnabled(!locked);
    toolbar_->setEnabled(!locked);
    tree_->setEnabled(!locked);
    if (locked) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (locked_ || (closeGuard_ && !closeGuard_())) {
        event->ignore();
        return;
    }
    event->accept();
}

void FitIntoScreen(QWidget& window, const QScreen* screen) {
    if (!screen) return;
    // The frame is known once the window manager decorated the window; until then a title bar's
    // and a border's worth is kept free.
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    const QSize margin = frame.isEmpty() ? kFrameAllowance : frame;
    const QRect available = screen->availableGeometry();
    const QSize room = available.size() - margin;
    window.resize(window.size().boundedTo(room));
    if (!window.testAttribute(Qt::WA_Moved)) return;
    const QSize outer = window.size() + margin;
    window.move(std::clamp(window.x(), available.left(), available.right() + 1 - outer.width()),
                std::clamp(window.y(), available.top(), available.bottom() + 1 - outer.height()));
}

}  // namespace quorvel::forms
