#include "operator/drivers/device_information.h"

namespace quorvel {
namespace {

QString hardwareRevisionOfLoader(const SlotRecord& record) {
    const QString& letter = record.ControllerLetter;
    if (letter == "F") return letter + " (ST10F163)";
    if (letter == "C") return letter + " (C165)";
    if (letter == "S") return letter + (record.ControllerKind == 3 ? " (C163), HY" : " (C163)");
    if (letter == "B") return letter + " (XC161)";
    return letter;
}

QString processorFirmwarePattern(const QString& type) {
    if (type == "KX13") return "EPROM";
    if (type == "KX43B") return "KX43B*.S*";
    if (type == "KX43") return "KX43A*.S* or KX43P*.S*";
    if (type == "KX33" || type == "KX63") return type + "P*.S*";
    if (type == "not supported") return "-";
    return type + "*.S*";
}

QString hexAddress(long long address) { return "0x" + QString::number(address, 16).toUpper(); }

}  // namespace

QString ControllerKindText(int controllerKind) {
    switch (controllerKind) {
        case 1:
            return "WS003-Type";
        case 2:
            return "B-Type";
        case 3:
            return "1-Type";
        case 4:
            return "RA5x-B-Type";
        default:
            return "not supported, " + QString::number(controllerKind);
    }
}

std::vector<InformationRow> SlotInformation(const SlotRecord& r) {
    const QString firmware = r.TypePrefix.isEmpty() ? "not supported" : r.TypePrefix + "P*.*";
    const QString optional = r.SecondTypePrefix.isEmpty() ? QString() : r.SecondTypePrefix + "P*.*";
    return {
        {"Identstring", r.Identity},
        {"Slot", QString::number(r.Slot + 1)},
        {"Subchannels", QString::number(r.SubChannelCount)},
        {"AMT number", QString::number(r.AmtNumber)},
        {"AMP Code", QString::number(r.AmpCode)},
        {"Firmware File Name", firmware},
        {"Type of controller", ControllerKindText(r.ControllerKind)},
        {"SWVersion", r.SoftwareVersion},
        {"SWVersionSuffix", r.VersionSuffix},
        {"HWRevBootloader", hardwareRevisionOfLoader(r)},
        {"BootloaderRev.", r.LoaderRevision},
        {"HWRev.", r.HardwareRevision},
        {"UserBlock", r.UserBlock},
        {"Optional File Name", optional},
    };
}

std::vector<InformationRow> ProcessorInformation(const ProcessorRecord& r) {
    return {
        {"Identstring", r.Identity},
        {"Type of controller", r.ProcessorType},
        {"SWVersion", r.SoftwareVersion},
        {"SWVersionSuffix", r.VersionSuffix},
        {"Firmware File Name", processorFirmwarePattern(r.ProcessorType)},
        {"BootloaderRev.", r.LoaderRevision},
        {"HWRev.", r.HardwareRevision},
        {"Kernel Rev.", r.KernelRevision},
        {"Filesystem Rev.", r.FileSystemRevision},
    };
}

std::vector<InformationRow> PanelInformation(const PanelRecord& r) {
    return {
        {"Identstring", r.Identity},
        {"SWVersion", r.SoftwareVersion},
        {"Firmware File Name", r.PanelType + "*.S*"},
        {"HWRev.", r.HardwareRevision},
        {"Serial No.", r.SerialNumber},
    };
}

std::vector<InformationRow> NodePodInformation(const NodePodNodeInformation& n) {
    return {
        {"Node-ID", QString::number(n.nodeId)},
        {"SerNum", QString::number(n.serialNumber)},
        {"Name", n.name},
        {"DatName", n.datName},
        {"Type", QString::number(n.type)},
        {"SWVer.", n.softwareVersion},
        {"HWRev.", n.hardwareRevision},
        {"L1Ver.", n.loader1Version},
        {"L1Active", n.loader1Active ? "yes" : "no"},
        {"AdrAppl.", hexAddress(n.adrAppl)},
        {"AdrL1", hexAddress(n.adrL1)},
        {"AdrL2", hexAddress(n.adrL2)},
    };
}

}  // namespace quorvel
