#pragma once
// "Additional Information": what the scan knows about one device, as setting/value rows, with
// the firmware file pattern the loader expects for it.
#include <QString>
#include <vector>

#include "operator/shell/device_inventory.h"

namespace quorvel {

struct InformationRow {
    QString setting;
    QString value;
    bool operator==(const InformationRow&) const = default;
};

// One CAN head behind an amplifier as the NodePod scan found it.
struct NodePodNodeInformation {
    int nodeId = 0;
    long long serialNumber = 0;
    QString name;
    QString datName;
    long long type = 0;
    QString softwareVersion;
    QString hardwareRevision;
    QString loader1Version;
    bool loader1Active = false;
    long long adrAppl = 0;
    long long adrL1 = 0;
    long long adrL2 = 0;
};

inline constexpr const char* kInformationCaption = "Additional Information";
inline constexpr const char* kInformationSettingColumn = "Setting";
inline constexpr const char* kInformationValueColumn = "Value";

std::vector<InformationRow> SlotInformation(const SlotRecord& record);
std::vector<InformationRow> ProcessorInformation(const ProcessorRecord& record);
std::vector<InformationRow> PanelInformation(const PanelRecord& record);
std::vector<InformationRow> NodePodInformation(const NodePodNodeInformation& node);

// "Type of controller" of an amplifier: "WS003-Type", "B-Type", "1-Type", "RA5x-B-Type", or
// "not supported, " + the kind.
QString ControllerKindText(int controllerKind);

}  // namespace quorvel
