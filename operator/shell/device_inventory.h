#pragma once
// The rack as the last scan saw it: one processor, one panel and 16 amplifier slots.
#include <QString>
#include <array>

namespace quorvel {

// The identity of a device that did not answer the scan.
inline const QString kNotDetected = "not detected";

struct ProcessorRecord {
    QString Identity;
    QString SoftwareVersion;
    QString VersionSuffix;
    QString LoaderRevision;
    QString ProcessorType;
    bool InBootLoader = false;
    QString HardwareRevision;
    QString KernelRevision;
    QString FileSystemRevision;
    QString LoaderBiosRevision;
};

struct PanelRecord {
    bool Present = false;
    QString Identity;
    QString SoftwareVersion;
    QString PanelType;
    QString HardwareRevision;
    QString SerialNumber;
};

struct SlotRecord {
    bool Present = false;
    bool Reserved = false;
    int Slot = 0;
    long long AmtNumber = 0;
    long long AmpCode = 0;
    QString Identity;
    QString TypePrefix;
    QString SecondTypePrefix;
    QString IdentifiedType;
    long long StartAddress = 0;
    bool TypeAssignedByHand = false;
    int ControllerKind = 0;
    QString ControllerLetter;
    QString HardwareRevision;
    QString LoaderRevision;
    long long SubChannelCount = 0;
    QString SoftwareVersion;
    QString VersionSuffix;
    QString UserBlock;
};

struct DeviceInventory {
    static constexpr int kSlots = 16;
    ProcessorRecord processor;
    PanelRecord panel;
    std::array<SlotRecord, kSlots> slotRecords;
    // The last scan identified the whole rack; cleared when a scan starts.
    bool scanned = false;
    // The last scan found old KX43 firmware behind a port other than COM1/COM2: the processor
    // is shown but cannot be selected.
    bool processorRefused = false;
};

}  // namespace quorvel
