#include "operator/drivers/nodepod_window.h"

#include <array>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/nodepod_sequence.h"
#include "operator/shell/callbacks.h"

namespace quorvel {
namespace {

constexpr int kTextBuffer = 100;

QString bufferText(const std::array<char, kTextBuffer>& buffer, int32_t length) {
    const int size = std::clamp<int>(length, 0, kTextBuffer - 1);
    return QString::fromLocal8Bit(
        buffer.data(), static_cast<qsizetype>(::strnlen(buffer.data(), static_cast<size_t>(size))));
}

}  // namespace

NodePodNode IdentifyNodePod(LibraryGateway& gateway, int nodeId) {
    int32_t state = 0, type = 0, serial = 0;
    std::array<char, kTextBuffer> name{}, version{}, loader1{}, hardware{};
    int32_t nameLength = 0, versionLength = 0, loader1Length = 0, hardwareLength = 0;
    gateway.call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, NodePod_NodeIDScan, NodePodWindow::kTimeoutMs,
                               MessageCallback, nodeId, &state, &type, &serial, name.data(),
                               &nameLength, version.data(), &versionLength, loader1.data(),
                               &loader1Length, hardware.data(), &hardwareLength);
    });
    NodePodNode node;
    node.programState = state;
    node.nodeId = nodeId;
    node.typeNumber = type;
    node.serialNumber = serial;
    node.name = NodePodText(bufferText(name, nameLength));
    node.softwareVersion = NodePodText(bufferText(version, versionLength));
    node.loader1Version = NodePodLoader1Version(bufferText(loader1, loader1Length));
    node.hardwareRevision = NodePodText(bufferText(hardware, hardwareLength));
    return node;
}

NodePodWindow::NodePodWindow(DriverContext& context, OperatorUi& window, int slot)
    : context_(context), window_(window), slot_(slot), leftInLoaderText_(kNodePodLeftInLoader) {}

std::vector<int> NodePodWindow::ScannedNodeIds() {
    std::vector<int> ids;
    for (int id = 2; id <= 24; id += 2) ids.push_back(id);
    for (int id = 100; id <= 127; ++id) ids.push_back(id);
    return ids;
}

QString NodePodWindow::frameCaption() const {
    return "NODEPOD system components (slot " + QString::number(slot_ + 1) + ")";
}

void NodePodWindow::setStatus(const QString& text) { window_.setStatus(text); }

void NodePodWindow::scan() {
    busy_ = true;
    setStatus("Node-ID scan...");
    context_.WriteProtocol("-->Node ID scan for NODEPODs, RA56 slot " + QString::number(slot_ + 1) +
                           ".<--");
    {
        ConnectionGuard connection(context_.gateway());
        const int mode = context_.gateway().call([&](QuorlinkLibrary& library) {
            return QUORLINK_INVOKE(library, NodePod_SetRA56Mode, kTimeoutMs, MessageCallback,
                                   ProgressCallback, StatusCallback, slot_ + 1, kIntoDownloadMode);
        });
        if (mode != 0) stop_ = true;
        // The switch was sent: the RA56 may be in its download mode even when an answer was
        // missing, so leaving the window resets the rack in any case.
        if (mode != LibraryGateway::kLibraryMissing) downloadMode_ = true;
        const std::vector<int> ids = ScannedNodeIds();
        for (size_t asked = 0; asked < ids.size() && !stop_; ++asked) {
            // The scan takes a while without heads: progress, and a window that can be stopped.
            window_.setProgress(static_cast<int>(asked * 100 / ids.size()));
            window_.processEvents();
            if (stop_) break;
            NodePodNode node = IdentifyNodePod(context_.gateway(), ids[asked]);
            if (node.programState > 0) addNode(std::move(node));
        }
    }
    window_.setProgress(0);
    setStatus("Ready");
    context_.WriteProtocol("-->Node ID scan for NODEPODs finished.<--");
    scanned_ = true;
    busy_ = false;
}

void NodePodWindow::addNode(NodePodNode node) {
    if (static_cast<int>(nodes_.size()) >= kMaximumNodes) return;
    ApplyNodePodType(node, context_.state().Tables.nodePods);
    for (const QString& line : node.protocolLines()) context_.WriteProtocol(line);
    NodePodBox box;
    box.enabled = !node.inLoader2();
    box.marked = node.inLoader2() || !node.supported();
    nodes_.push_back(std::move(node));
    boxes_.push_back(box);
}

bool NodePodWindow::downloadEnabled() const { return !tickedEntries().empty(); }

std::vector<int> NodePodWindow::tickedEntries() const {
    std::vector<int> entries;
    for (size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i].ticked) entries.push_back(static_cast<int>(i));
    return entries;
}

QString NodePodWindow::tickedStem() const {
    const auto ticked = tickedEntries();
    return ticked.empty() ? QString() : nodes_[static_cast<size_t>(ticked.front())].datName;
}

void NodePodWindow::setTicked(int entry, bool ticked) {
    if (entry < 0 || entry >= static_cast<int>(boxes_.size()) || !boxes_[entry].enabled || busy_)
        return;
    boxes_[entry].ticked = ticked;
    enableByStem();
}

void NodePodWindow::enableByStem() {
    const QString stem = tickedStem();
    for (size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i].enabled = !nodes_[i].inLoader2() && (stem.isEmpty() || nodes_[i].datName == stem);
}

void NodePodWindow::selectAll() {
    bool anyUnticked = false;
    for (const auto& box : boxes_) anyUnticked |= box.enabled && !box.ticked;
    for (size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i].enabled) setTicked(static_cast<int>(i), anyUnticked);
}

int NodePodWindow::download(const QString& firmwareFile, bool onlyLoader1) {
    std::vector<const NodePodNode*> ticked;
    for (const int entry : tickedEntries()) ticked.push_back(&nodes_[static_cast<size_t>(entry)]);
    busy_ = true;
    NodePodSequence sequence(context_, window_,
                             {slot_, firmwareFile, onlyLoader1, downloadMode_, leftInLoaderText_});
    const int result = sequence.run(ticked);
    downloadMode_ = downloadMode_ || sequence.switchedRa56();
    // The table shows what the nodes were identified running after the run.
    for (const NodePodNode& found : sequence.identified())
        for (NodePodNode& node : nodes_)
            if (node.nodeId == found.nodeId) {
                node.programState = found.programState;
                node.softwareVersion = found.softwareVersion;
            }
    lastResult_ = result;
    busy_ = false;
    if (result == 0)
        for (const int entry : tickedEntries()) {
            boxes_[entry].ticked = false;
            boxes_[entry].done = true;
        }
    enableByStem();
    return result;
}

bool NodePodWindow::close() {
    if (busy_) return false;
    stop_ = false;
    if (!downloadMode_) return true;
    busy_ = true;
    setStatus("Reset...");
    {
        ConnectionGuard connection(context_.gateway());
        context_.gateway().ResetVTX(context_.state().Connection.resetSeconds);
    }
    downloadMode_ = false;
    busy_ = false;
    return true;
}

}  // namespace quorvel
