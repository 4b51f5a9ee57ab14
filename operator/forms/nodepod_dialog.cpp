#include "operator/forms/nodepod_dialog.h"

#include <QCheckBox>
#include <QStatusTipEvent>
#include <QFileInfo>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "operator/drivers/device_information.h"
#include "operator/drivers/nodepod_versions.h"
#include "operator/forms/information_dialog.h"
#include "operator/forms/library_waits.h"

namespace quorvel::forms {
namespace {

// Marked nodes (in loader 2, unsupported type) and nodes downloaded by the last run; the text
// colour is set too so that the boxes stay readable under a dark palette.
const QString kMarkedStyle = "QCheckBox { background-color: #f3d36b; color: #1c1c1c; }";
const QString kDoneStyle = "QCheckBox { background-color: #a8dca8; color: #1c1c1c; }";

QPushButton* button(const QString& name, const QString& caption, const QString& tip) {
    auto* shown = new QPushButton(caption);
    shown->setObjectName(name);
    shown->setToolTip(tip);
    shown->setAccessibleName(QString(caption).remove('&'));
    return shown;
}

NodePodNodeInformation informationOf(const NodePodNode& node) {
    NodePodNodeInformation info;
    info.nodeId = node.nodeId;
    info.serialNumber = node.serialNumber;
    info.name = node.name;
    info.datName = node.datName;
    info.type = node.typeNumber;
    info.softwareVersion = node.softwareVersion;
    info.hardwareRevision = node.hardwareRevision;
    info.loader1Version = node.loader1Version;
    info.loader1Active = node.inLoader();
    info.adrAppl = node.adrAppl;
    info.adrL1 = node.adrL1;
    info.adrL2 = node.adrL2;
    return info;
}

}  // namespace

// The window's own status bar and progress bar for the model; everything else goes to the
// program's window UI, whose dialogs open over this window.
class NodePodDialog::WindowStatus : public OperatorUi {
  public:
    WindowStatus(OperatorUi& program, QLabel& status, QProgressBar& progress, QLabel& position)
        : program_(program), status_(status), progress_(progress), position_(position) {}

    int showMessageBox(const QString& prompt, int style, const QString& title) override {
        return program_.showMessageBox(prompt, style, title);
    }
    std::optional<QString> askInput(const QString& prompt, const QString& title,
                                    const QString& defaultValue) override {
        return program_.askInput(prompt, title, defaultValue);
    }
    std::optional<int> chooseOne(const QString& title, const QStringList& choices) override {
        return program_.chooseOne(title, choices);
    }
    std::optional<int> chooseFromList(const ChoiceList& list) override {
        return program_.chooseFromList(list);
    }
    std::optional<QString> chooseSaveFile(const QString& title, const QString& filter,
                                          const QString& proposedPath) override {
        return program_.chooseSaveFile(title, filter, proposedPath);
    }
    bool showReport(const ReportView& view) override { return program_.showReport(view); }
    void setProgress(int percent) override {
        progress_.setValue(std::clamp(percent, 0, 100));
        program_.processEvents();
    }
    void setStatus(const QString& text) override {
        status_.setText(text);
        program_.processEvents();
    }
    // Where the download stands over every node, with the estimate as the step begins.
    void setRunPosition(const std::optional<RunPosition>& position) override {
        const QString text = position ? RunPositionLine(*position, 0) : QString();
        position_.setText(text);
        position_.setAccessibleName(text);
        position_.setVisible(position.has_value());
        program_.processEvents();
    }
    void setPortSummary(const QString& text) override { program_.setPortSummary(text); }
    void setInterfaceEnabled(bool enabled) override { program_.setInterfaceEnabled(enabled); }
    void processEvents() override { program_.processEvents(); }
    void showProtocolViewer(const QString& caption, const QString& text, bool found) override {
        program_.showProtocolViewer(caption, text, found);
    }

  private:
    OperatorUi& program_;
    QLabel& status_;
    QProgressBar& progress_;
    QLabel& position_;
};

NodePodDialog::NodePodDialog(DriverContext& context, int slot, Services services, QWidget* parent)
    : QDialog(parent), context_(context), services_(std::move(services)), slot_(slot) {
    setObjectName("frmChooseNodePod");
    setWindowTitle(kNodePodTitle);
    setModal(true);
    auto* column = new QVBoxLayout(this);

    frame_ = new QGroupBox;
    frame_->setObjectName("frameChoose");
    auto* grid = new QGridLayout(frame_);
    for (int entry = 0; entry < NodePodWindow::kMaximumNodes; ++entry) {
        auto* box = new QCheckBox;
        box->setObjectName(QString("chkNodePod%1").arg(entry));
        box->setToolTip("Selection for NODEPOD");
        box->setAutoFillBackground(true);
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        box->hide();
        connect(box, &QCheckBox::clicked, this, [this, entry](bool on) { tick(entry, on); });
        connect(box, &QCheckBox::customContextMenuRequested, this,
                [this, entry] { showInformation(entry); });
        grid->addWidget(box, entry % 6, entry / 6 * 2);
        boxes_.push_back(box);
        auto* note = new QLabel;
        note->setObjectName(QString("lblNodePodVersion%1").arg(entry));
        note->setEnabled(false);  // a quieter colour beside the box
        note->hide();
        grid->addWidget(note, entry % 6, entry / 6 * 2 + 1);
        versionNotes_.push_back(note);
    }
    frame_->hide();
    column->addWidget(frame_, 1);

    notFound_ = new QLabel;
    notFound_->setObjectName("txtNodePodNotFound");
    notFound_->setWordWrap(true);
    notFound_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notFound_->hide();
    column->addWidget(notFound_);

    // A button box orders the buttons as the platform does; they act through their own clicks.
    auto* row = new QDialogButtonBox;
    download_ = button("OKButton", "&Download", "Start Download of selected device");
    selectAll_ = button("btnNPSelAll", "Select &All", "Select All Channels/ Select None");
    directory_ =
        button("btnNPChangeDir", "Di&rectory...", "Change directory for firmware files location");
    stopOrExit_ = button("btnCancel", "&Cancel", "Stop node ID scan, back to main menu");
    row->addButton(download_, QDialogButtonBox::AcceptRole);
    row->addButton(selectAll_, QDialogButtonBox::ActionRole);
    row->addButton(directory_, QDialogButtonBox::ActionRole);
    row->addButton(stopOrExit_, QDialogButtonBox::RejectRole);
    for (QPushButton* shown : {download_, selectAll_, directory_}) shown->hide();
    column->addWidget(row);
    connect(download_, &QPushButton::clicked, this, &NodePodDialog::download);
    connect(selectAll_, &QPushButton::clicked, this, [this] {
        model_->selectAll();
        showNodes();
    });
    connect(directory_, &QPushButton::clicked, this, [this] {
        if (services_.changeDirectory) services_.changeDirectory();
        findNewestFiles();
        showNodes();
    });
    connect(stopOrExit_, &QPushButton::clicked, this, &NodePodDialog::stopOrExit);

    progressBar_ = new QProgressBar;
    progressBar_->setObjectName("ProgressBar2");
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setAccessibleName("Progress");
    column->addWidget(progressBar_);
    auto* position = new QLabel;
    position->setObjectName("lblRunPosition");
    position->hide();
    column->addWidget(position);
    auto* statusBar = statusBar_ = new QStatusBar;
    statusBar->setObjectName("sbrStatusNP");
    statusBar->setSizeGripEnabled(false);
    statusPanel_ = new QLabel;
    statusPanel_->setAccessibleName("Status");
    statusBar->addWidget(statusPanel_, 1);
    auto* waitNotice = new QLabel;
    waitNotice->setObjectName("WaitNotice");
    waitNotice->setAccessibleName("Wait");
    waitNotice->hide();
    statusBar->addWidget(waitNotice);
    column->addWidget(statusBar);
    // The library's long waits count down here while the window is open, not in the main
    // window behind it.
    waits_ = std::make_unique<LibraryWaits>([waitNotice](const QString& text) {
        waitNotice->setText(text);
        waitNotice->setVisible(!text.isEmpty());
    });

    status_ = std::make_unique<WindowStatus>(*services_.ui, *statusPanel_, *progressBar_,
                                             *position);
    model_ = std::make_unique<NodePodWindow>(context_, *status_, slot);
    frame_->setTitle(model_->frameCaption());
    setMinimumWidth(fontMetrics().averageCharWidth() * 90);
}

NodePodDialog::~NodePodDialog() = default;

QString NodePodDialog::statusText() const { return statusPanel_->text(); }

int NodePodDialog::progress() const { return progressBar_->value(); }

void NodePodDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (scanStarted_) return;
    scanStarted_ = true;
    // After the window is on screen, so the operator sees it and its stop button during the scan.
    QTimer::singleShot(0, this, &NodePodDialog::scan);
}

void NodePodDialog::scan() {
    stopOrExit_->setFocus();
    model_->scan();
    if (stopRequested_) {
        const auto found = model_->nodes().size();
        statusPanel_->setText(
            QString("Scan stopped: %1 node%2 found").arg(found).arg(found == 1 ? "" : "s"));
    }
    stopOrExit_->setEnabled(true);
    stopOrExit_->setText("E&xit");
    stopOrExit_->setToolTip("Leave back to main window");
    stopOrExit_->setAccessibleName("Exit");
    if (model_->nothingFound()) {
        notFound_->setText(NodePodWindow::kNotFoundText);
        notFound_->show();
        return;
    }
    frame_->show();
    for (QPushButton* shown : {download_, selectAll_, directory_}) shown->show();
    findNewestFiles();
    showNodes();
    adjustSize();
}

void NodePodDialog::showNodes() {
    const auto& nodes = model_->nodes();
    for (size_t i = 0; i < boxes_.size(); ++i) {
        QCheckBox* box = boxes_[i];
        if (i >= nodes.size()) {
            box->hide();
            continue;
        }
        const NodePodBox& state = model_->box(static_cast<int>(i));
        box->setText(nodes[i].caption(static_cast<int>(i) + 1));
        box->setAccessibleName(box->text());
        box->setChecked(state.ticked);
        box->setEnabled(state.enabled && !model_->busy());
        box->setStyleSheet(state.marked ? kMarkedStyle : state.done ? kDoneStyle : QString());
        const QString reason = state.marked ? NodePodMarkReason(nodes[i]) : QString();
        box->setToolTip(reason.isEmpty() ? "Selection for NODEPOD"
                                         : "Selection for NODEPOD\n" + reason);
        box->setStatusTip(reason);
        box->setAccessibleDescription(reason);
        box->show();
        QLabel* note = versionNotes_[i];
        note->setText(i < newest_.size() ? NodePodVersionNote(nodes[i], newest_[i]) : QString());
        note->setVisible(!note->text().isEmpty());
    }
    download_->setEnabled(model_->downloadEnabled() && !model_->busy());
    if (download_->isEnabled()) download_->setDefault(true);
}

void NodePodDialog::findNewestFiles() {
    newest_.clear();
    for (const NodePodNode& node : model_->nodes())
        newest_.push_back(NewestNodePodFirmware(context_.state(), slot_, node));
}

bool NodePodDialog::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (tip.isEmpty()) {
            statusBar_->clearMessage();
        } else {
            statusBar_->showMessage(tip);
        }
        return true;
    }
    return QDialog::event(event);
}

bool NodePodDialog::olderVersionAccepted(const QString& fileVersion) {
    std::vector<const NodePodNode*> ticked;
    for (size_t i = 0; i < model_->nodes().size(); ++i)
        if (model_->box(static_cast<int>(i)).ticked) ticked.push_back(&model_->nodes()[i]);
    const QString question = OlderFirmwareQuestion(ticked, fileVersion);
    return question.isEmpty() ||
           context_.ShowMessage(question, kYesNo | kIconQuestion) == kAnswerYes;
}

void NodePodDialog::showInformation(int entry) {
    if (entry >= static_cast<int>(model_->nodes().size())) return;
    InformationDialog dialog(
        NodePodInformation(informationOf(model_->nodes()[static_cast<size_t>(entry)])), this);
    dialog.exec();
}

void NodePodDialog::tick(int entry, bool ticked) {
    model_->setTicked(entry, ticked);
    showNodes();
}

void NodePodDialog::setButtonsEnabled(bool enabled) {
    for (QPushButton* shown : {download_, selectAll_, directory_, stopOrExit_})
        shown->setEnabled(enabled);
    for (QCheckBox* box : boxes_) box->setEnabled(enabled);
}

void NodePodDialog::download() {
    if (!model_->downloadEnabled() || model_->busy()) return;
    ProgramState& state = context_.state();
    const bool onlyLoader1 = state.OnlyLoader1;
    const FirmwareTarget target{
        onlyLoader1 ? FirmwareDeviceKind::NodePodLoader1 : FirmwareDeviceKind::NodePod, -1,
        model_->tickedStem()};
    context_.startReport(onlyLoader1 ? "nodepod loader 1 download" : "nodepod download");
    const auto chosen = context_.chooseFirmware(target, context_.messages().QuietMessages);
    if (!chosen || (!onlyLoader1 && !olderVersionAccepted(chosen->version))) return;
    setButtonsEnabled(false);
    const int result = model_->download(QFileInfo(chosen->file).fileName(), onlyLoader1);
    context_.report().setResult(result);
    setButtonsEnabled(true);
    showNodes();
}

void NodePodDialog::stopOrExit() {
    if (model_->busy()) {
        stopRequested_ = true;
        model_->requestStop();
        stopOrExit_->setEnabled(false);
        return;
    }
    reject();
}

void NodePodDialog::reject() {
    if (model_->busy()) return;
    setButtonsEnabled(false);
    if (model_->close()) {
        QDialog::reject();
        return;
    }
    setButtonsEnabled(true);
}

}  // namespace quorvel::forms
