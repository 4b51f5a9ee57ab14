#include "operator/drivers/nodepod_versions.h"

#include <QStringList>

#include "operator/drivers/firmware_catalogue.h"

namespace quorvel {
namespace {

// Versions compare as texts, as every version of the rack does: "P2.05" against "P1.10".
QString runningVersion(const NodePodNode& node) {
    return node.programState == 1 && !node.softwareVersion.isEmpty() ? "P" + node.softwareVersion
                                                                      : QString();
}

}  // namespace

QString NewestNodePodFirmware(const ProgramState& state, int slot, const NodePodNode& node) {
    if (!node.supported()) return {};
    ProgramState scratch = state;  // opening a list records its choice
    const FirmwareList list =
        OpenFirmwareList(scratch, {FirmwareDeviceKind::NodePod, slot, node.datName});
    QString newest;
    for (const FirmwareEntry& entry : list.entries)
        if (entry.version > newest) newest = entry.version;
    return newest;
}

QString NodePodVersionNote(const NodePodNode& node, const QString& newest) {
    if (newest.isEmpty()) return "no firmware file for its type";
    const QString running = runningVersion(node);
    if (running.isEmpty()) return "runs a loader, newest file " + newest;
    if (newest > running) return "update: " + newest + " (runs " + running + ")";
    if (newest == running) return "up to date: runs " + running;
    return "up to date: runs " + running + ", newest file " + newest + " is older";
}

QString NodePodMarkReason(const NodePodNode& node) {
    if (node.inLoader2())
        return "Marked: the NODEPOD waits in loader 2. Switch it off and on, then open this "
               "window again to load it.";
    if (!node.supported())
        return QString("Marked: type %1 is not in NodePod.cfg, so no firmware can be chosen for "
                       "it. Update Quorvel and its configuration files.")
            .arg(node.typeNumber);
    return {};
}

QString OlderFirmwareQuestion(const std::vector<const NodePodNode*>& nodes,
                              const QString& fileVersion) {
    if (fileVersion.isEmpty()) return {};
    QStringList newer;
    for (const NodePodNode* node : nodes) {
        const QString running = runningVersion(*node);
        if (running.isEmpty() || running <= fileVersion) continue;
        newer << QString("NODEPOD ID %1 (#%2) runs %3")
                     .arg(node->nodeId)
                     .arg(node->serialNumber)
                     .arg(node->softwareVersion);
    }
    if (newer.isEmpty()) return {};
    return newer.join(", ") + "; the chosen file is " + fileVersion.mid(1) +
           ". Load the older version?";
}

}  // namespace quorvel
