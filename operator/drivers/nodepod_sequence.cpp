#include "operator/drivers/nodepod_sequence.h"

#include <QDir>
#include <QFileInfo>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/firmware_catalogue.h"
#include "operator/drivers/nodepod_window.h"
#include "operator/drivers/run_plan.h"
#include "operator/drivers/verify_step.h"
#include "operator/shell/callbacks.h"

namespace quorvel {
namespace {

constexpr int kTimeoutMs = NodePodWindow::kTimeoutMs;
constexpr int kSelectOnly = 3;
constexpr int kResetKeepingLoader = 2;  // a node already in its loader is not restarted
constexpr int kResetAlways = 1;
constexpr int kApplicationImage = 0;
constexpr int kLoader1Image = 3;

const QString kNodePodNotSupported = "NODEPOD device type not supported. Please update Quorlink!";
const QString kNoOldLoader2 =
    "No Loader2 *.ld2 file found for selected firmware!\rPlease have a look at your firmware "
    "files installation.";
const QString kNoNewLoader2 =
    "No Loader2 *N4.ld2 file found for selected firmware!\rPlease have a look at your firmware "
    "files installation.\r\rYou'll need this loader2 file for new NODEPOD hardware "
    "revisions.\rPlease get new NODEPOD firmware file versions.";

// `name` in `directory` regardless of case; empty when it does not exist.
QString existing(const QDir& directory, const QString& name) {
    const QStringList found = directory.entryList({name}, QDir::Files);
    return found.isEmpty() ? QString() : directory.filePath(found.front());
}

// The greatest name matching `pattern` in `directory` (case ignored); empty when none does.
QString greatest(const QDir& directory, const QString& pattern) {
    QStringList found = directory.entryList({pattern}, QDir::Files);
    if (found.isEmpty()) return {};
    std::sort(found.begin(), found.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return directory.filePath(found.back());
}

const QString kNodeSwitchStep = "switch to loader 1";
const QString kNodeLoader2Step = "download loader 2";
const QString kNodeFirmwareStep = "download firmware";
const QString kNodeLoader1Step = "download loader 1";
const QString kNodeStartStep = "test and start firmware";
const QString kNodeIdentifyStep = "identify node";

QString counted(const QString& text, int index, int count) {
    return text + QString::number(index) + "/" + QString::number(count) + "...";
}

}  // namespace

NodePodLoader2Files FindNodePodLoader2Files(const QString& downloadDirectory,
                                            const QString& firmwareFile, const QString& stem,
                                            bool onlyLoader1) {
    const QDir directory(downloadDirectory);
    if (onlyLoader1)
        return {greatest(directory, stem + "p???.ld2"), greatest(directory, stem + "p*N4.ld2")};
    const qsizetype dot = firmwareFile.lastIndexOf('.');
    const QString name = dot < 0 ? firmwareFile : firmwareFile.left(dot);
    return {existing(directory, name + ".ld2"), existing(directory, name + "N4.ld2")};
}

NodePodSequence::NodePodSequence(DriverContext& context, OperatorUi& window,
                                 NodePodDownloadPlan plan)
    : context_(context), window_(window), plan_(std::move(plan)) {}

int NodePodSequence::checkFiles(const std::vector<const NodePodNode*>& nodes) {
    for (const NodePodNode* node : nodes) {
        if (!node->supported()) {
            context_.ShowMessage(RefusalText(kNodePodNotSupported), kIconExclamation);
            return kOperationDeclined;
        }
    }
    const QString& directory = context_.state().DownloadDirectory;
    if (directory.isEmpty()) return NodePodWindow::kNoDirectory;
    firmwarePath_ = QDir(directory).filePath(plan_.firmwareFile);
    loader2_ = FindNodePodLoader2Files(directory, plan_.firmwareFile,
                                       nodes.empty() ? QString() : nodes.front()->datName,
                                       plan_.onlyLoader1);
    for (const NodePodNode* node : nodes) {
        if (!node->newHardware() && loader2_.oldHardware.isEmpty()) {
            context_.ShowMessage(RefusalText(kNoOldLoader2), kIconExclamation);
            return kOperationDeclined;
        }
        if (node->newHardware() && loader2_.newHardware.isEmpty()) {
            context_.ShowMessage(RefusalText(kNoNewLoader2), kIconExclamation);
            return kOperationDeclined;
        }
    }
    return 0;
}

int NodePodSequence::run(const std::vector<const NodePodNode*>& nodes) {
    context_.WriteProtocol("-->Download NODEPOD().<--");
    if (const int refused = checkFiles(nodes); refused != 0) return refused;
    if (context_.dryRun) {
        Phase& phase = context_.report().beginPhase("download", Outcome::Planned);
        phase.details << "firmware " + firmwarePath_;
        for (const NodePodNode* node : nodes)
            phase.details << "node " + QString::number(node->nodeId) + " loader 2 " +
                                 loader2For(*node);
        return 0;
    }
    RunPlan runPlan(window_);
    planSteps(runPlan, nodes);
    runPlan_ = &runPlan;
    int result = 0;
    const int count = static_cast<int>(nodes.size());
    for (int i = 0; i < count && result == 0; ++i) result = downloadNode(*nodes[i], i + 1, count);
    runPlan_ = nullptr;
    if (result == 0) {
        window_.setStatus("Download finished!");
    } else {
        context_.report().failPhase();
        context_.ShowMessage(plan_.leftInLoaderText, kIconExclamation);
        window_.setStatus("Error download!");
    }
    context_.WriteProtocol("-->Download NODEPOD finished.<--");
    return result;
}

// The typical durations on the rack: the firmware by its file's size, the test and start by the
// node's two restarts.
void NodePodSequence::planSteps(RunPlan& runPlan, const std::vector<const NodePodNode*>& nodes) {
    const qint64 firmwareMs = 2000 + QFileInfo(firmwarePath_).size() / 64;
    for (const NodePodNode* node : nodes) {
        const QString unit = "node " + QString::number(node->nodeId);
        runPlan.add(unit, kNodeSwitchStep, 2000);
        runPlan.add(unit, kNodeLoader2Step, 1500);
        if (plan_.onlyLoader1) {
            runPlan.add(unit, kNodeLoader1Step, firmwareMs);
            continue;
        }
        runPlan.add(unit, kNodeFirmwareStep, firmwareMs);
        runPlan.add(unit, kNodeStartStep, 9500);
        runPlan.add(unit, kNodeIdentifyStep, 1000);
    }
}

void NodePodSequence::enter(const QString& step) {
    if (runPlan_) runPlan_->enter(step);
}

QString NodePodSequence::loader2For(const NodePodNode& node) const {
    return node.newHardware() ? loader2_.newHardware : loader2_.oldHardware;
}

int NodePodSequence::downloadNode(const NodePodNode& node, int index, int count) {
    enter(kNodeSwitchStep);
    window_.setStatus(count == 1 ? QString("Init Download...")
                                 : counted("Init Download ", index, count));
    context_.report().beginPhase("node " + QString::number(node.nodeId)).details
        << loader2For(node) << "serial number " + QString::number(node.serialNumber);
    ConnectionGuard connection(context_.gateway());
    window_.setProgress(50);
    const int mode = plan_.ra56InDownloadMode ? kSelectOnly : kIntoDownloadMode;
    int result = context_.gateway().call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, NodePod_SetRA56Mode, kTimeoutMs, MessageCallback,
                               ProgressCallback, StatusCallback, plan_.slot + 1, mode);
    });
    if (mode == kIntoDownloadMode && result != LibraryGateway::kLibraryMissing)
        switchedRa56_ = true;
    window_.setProgress(75);
    if (result != 0) return result;
    context_.WriteProtocol("Switch NodePod NodeID " + QString::number(node.nodeId) +
                           " to loader1.");
    result = switchToLoader1(node, kResetKeepingLoader);
    window_.setProgress(100);
    if (result == 0) {
        enter(kNodeLoader2Step);
        window_.setStatus("Download Loader2...");
        context_.WriteProtocol("Download loader2 " + loader2For(node) + ".");
        result = writeLoader2(node);
    }
    if (result == 0) result = writeFirmware(node, index, count);
    if (result == 0 && !plan_.onlyLoader1) result = testAndEstablish(node);
    if (result == 0 && !plan_.onlyLoader1) result = verifyNode(node);
    return result;
}

// The node identified again before the connection closes: done only when its application runs
// the file's version.
int NodePodSequence::verifyNode(const NodePodNode& node) {
    enter(kNodeIdentifyStep);
    window_.setStatus("Identifying the NODEPOD...");
    NodePodNode found = IdentifyNodePod(context_.gateway(), node.nodeId);
    const bool application = found.programState == 1;
    const QString running = application              ? "P" + found.softwareVersion
                            : found.programState == 0 ? QString("not detected")
                                                      : "loader " + QString::number(
                                                                        found.programState - 1);
    identified_.push_back(std::move(found));
    const DeviceFinding finding{"NodePod " + QString::number(node.nodeId), running, application};
    return VerifyDevice(context_, finding, VersionFromFileName(plan_.firmwareFile)) ? 0
                                                                                   : kNotAtTarget;
}

int NodePodSequence::switchToLoader1(const NodePodNode& node, int resetMode) {
    return context_.gateway().call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, NodePod_Switch2Loader1, kTimeoutMs, MessageCallback,
                               node.nodeId, node.inLoader() ? 1 : 0, node.typeNumber,
                               static_cast<int32_t>(node.adrL2), resetMode);
    });
}

// Loader 2 written and started.
int NodePodSequence::writeLoader2(const NodePodNode& node) {
    const QByteArray path = loader2For(node).toLocal8Bit();
    int result = context_.gateway().call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, NodePod_DownLoader2, kTimeoutMs, MessageCallback,
                               ProgressCallback, path.constData(), node.nodeId, node.typeNumber);
    });
    if (result != 0) return result;
    context_.WriteProtocol("Start loader2.");
    return context_.gateway().call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, NodePod_Switch2Loader2, kTimeoutMs, MessageCallback,
                               node.nodeId, node.typeNumber, static_cast<int32_t>(node.adrL2));
    });
}

int NodePodSequence::writeFirmware(const NodePodNode& node, int index, int count) {
    context_.WriteProtocol("Download firmware " + firmwarePath_ + ".");
    int kind = kApplicationImage;
    enter(plan_.onlyLoader1 ? kNodeLoader1Step : kNodeFirmwareStep);
    if (plan_.onlyLoader1) {
        window_.setStatus("Download Loader1...");
        kind = kLoader1Image;
    } else {
        window_.setStatus(count == 1 ? QString("Download Firmware...")
                                     : counted("Load Firmware ", index, count));
    }
    const QByteArray path = firmwarePath_.toLocal8Bit();
    return context_.gateway().call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, NodePod_DownApplication, kTimeoutMs, MessageCallback,
                               ProgressCallback, kind, path.constData(), node.nodeId,
                               node.typeNumber, node.hardwareCode());
    });
}

int NodePodSequence::startApplication(const NodePodNode& node) {
    return context_.gateway().call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, NodePod_Switch, kTimeoutMs, MessageCallback, node.nodeId,
                               node.typeNumber, static_cast<int32_t>(node.adrAppl));
    });
}

// The new application runs once without its restart vector; then loader 2 comes back to make
// it the one the node starts, and the node is established.
int NodePodSequence::testAndEstablish(const NodePodNode& node) {
    enter(kNodeStartStep);
    window_.setStatus("Start Firmware...");
    context_.WriteProtocol("Test firmware.");
    int result = startApplication(node);
    if (result != 0) return result;
    context_.WriteProtocol("Start loader1.");
    result = switchToLoader1(node, kResetAlways);
    if (result == 0) {
        context_.WriteProtocol("Download loader2.");
        result = writeLoader2(node);
    }
    if (result != 0) return result;
    context_.WriteProtocol("Estab NODEPOD.");
    const QByteArray path = firmwarePath_.toLocal8Bit();
    result = context_.gateway().call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, NodePod_Estab, kTimeoutMs, MessageCallback,
                               ProgressCallback, node.nodeId, node.typeNumber, node.hardwareCode(),
                               path.constData());
    });
    if (result != 0) return result;
    window_.setStatus("Start Firmware...");
    return startApplication(node);
}

}  // namespace quorvel
