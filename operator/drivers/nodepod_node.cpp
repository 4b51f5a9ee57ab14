#include "operator/drivers/nodepod_node.h"

namespace quorvel {

QString NodePodText(const QString& text) { return text.section('\r', 0, 0); }

QString NodePodLoader1Version(const QString& text) {
    const QString version = NodePodText(text);
    return !version.isEmpty() && version.toDouble() > 9999 ? QString("1.00") : version;
}

void ApplyNodePodType(NodePodNode& node, const std::vector<NodePodRow>& table) {
    node.datName = "not supported";
    for (const auto& row : table) {
        if (row.type != node.typeNumber) continue;
        node.datName = row.datName;
        node.adrAppl = row.adrAppl;
        node.adrL1 = row.adrL1;
        node.adrL2 = node.hardwareRevision.toDouble() >= 3.0 ? row.adrL2Rev3 : row.adrL2;
        return;
    }
}

QString NodePodNode::caption(int entry) const {
    if (inLoader2()) return "NODEPOD in loader2, please reboot NODEPOD!";
    QString text = QString::number(entry) + " - ";
    text += inLoader() ? "L" + loader1Version : "P" + softwareVersion;
    text += ", #" + QString::number(serialNumber);
    if (!name.trimmed().isEmpty()) text += ", " + name;
    return text;
}

std::vector<QString> NodePodNode::protocolLines() const {
    return {"Node ID " + QString::number(nodeId) + " found:",
            "Type   : " + QString::number(typeNumber),
            "Name   : " + name,
            "SerNum : " + QString::number(serialNumber),
            "SWVer  : " + softwareVersion,
            "HWRev  : " + hardwareRevision,
            "L1Ver  : " + loader1Version,
            "DatName: " + datName,
            "AdrAppl: " + QString::number(adrAppl),
            "AdrL1  : " + QString::number(adrL1),
            "AdrL2  : " + QString::number(adrL2)};
}

}  // namespace quorvel
