#pragma once
// One NodePod found behind an RA56: what its scan answered and what the type table adds.
#include <QString>
#include <vector>

#include "operator/shell/config_tables.h"

namespace quorvel {

struct NodePodNode {
    static constexpr int kProgramLoader1 = 2;
    static constexpr int kProgramLoader2 = 3;

    int programState = 0;  // 1 application, 2 loader 1, 3 loader 2
    int nodeId = 0;
    int typeNumber = 0;
    QString name;
    QString softwareVersion;   // SWVer
    QString hardwareRevision;  // HWRev
    QString loader1Version;    // L1Ver
    int serialNumber = 0;
    QString datName;  // firmware file name stem; "not supported" for an unknown type
    long long adrAppl = 0;
    long long adrL1 = 0;
    long long adrL2 = 0;

    bool inLoader() const { return programState == kProgramLoader1; }
    bool inLoader2() const { return programState == kProgramLoader2; }
    bool supported() const { return datName != "not supported"; }
    // Hardware revisions above 2.0 are the new hardware with its own loader 2.
    bool newHardware() const { return hardwareRevision.toDouble() > 2.0; }
    // The hardware code the library takes: the revision read as an integer.
    int hardwareCode() const { return static_cast<int>(hardwareRevision.toDouble()); }
    // The tick box caption of table entry `entry` (1-based).
    QString caption(int entry) const;
    // The protocol block written when the node was found.
    std::vector<QString> protocolLines() const;
};

// Fills stem and addresses from the type table; the loader-2 address follows the hardware.
void ApplyNodePodType(NodePodNode& node, const std::vector<NodePodRow>& table);

// The scan's texts: cut at the first CR; a loader-1 version above 9999 reads "1.00".
QString NodePodText(const QString& text);
QString NodePodLoader1Version(const QString& text);

}  // namespace quorvel
