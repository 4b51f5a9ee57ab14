#pragma once
// The firmware catalogue: for the device chosen for a download, which names in the download
// directory are offered, with version, description and default choice. The firmware list of the
// window program, the command line's "firmware list" and the test UI all show this data.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "operator/drivers/device_selection.h"
#include "operator/shell/program_state.h"

namespace quorvel {

enum class FirmwareDeviceKind {
    None,       // nothing selected
    Processor,  // firmware directories
    Panel,
    PanelLoader1,
    Amplifier,
    AmplifierLoader1,     // "Only Loader1 download" ticked
    AmplifierDriverMode,  // the amplifier driver's mode flag: "*.apl" / "*.bpl"
    NodePod,
    NodePodLoader1,
};

// The device a firmware list is built for.
struct FirmwareTarget {
    FirmwareDeviceKind kind = FirmwareDeviceKind::None;
    int slot = -1;              // amplifier slot 0-15; for NodePod kinds the node's amplifier
    QString nodePodTypePrefix;  // file prefix of the node (NodePod kinds)
};

// The first ticked and enabled node of the NodePod window while that window is visible.
struct NodePodWindowChoice {
    int slot = -1;
    QString typePrefix;
};

// The device kind taken in order: NodePod window, processor box, panel box, first ticked
// amplifier slot.
FirmwareTarget DetermineFirmwareTarget(const DeviceSelection& selection, const ProgramState& state,
                                       const std::optional<NodePodWindowChoice>& nodePod = {});

// The amplifier firmware for one slot as the amplifier download asks for it.
FirmwareTarget AmplifierTarget(const ProgramState& state, int slot);

// Where and how the download directory is searched.
struct FirmwareSearch {
    QString displayPattern;        // shown when nothing is found
    QString secondDisplayPattern;  // "or" + this line when not empty
    QStringList searchPatterns;    // in search order; case is ignored
    bool directoriesOnly = false;  // processors: firmware directories, never plain files
    bool hideF72 = false;          // skip names containing ".F72" or ".S72"
    bool unsupported = false;      // "Device not supported!" instead of the no-firmware lines
};

// The patterns of `target` with every override applied. Reads the inventory as it stands and
// never changes it.
FirmwareSearch BuildFirmwareSearch(const FirmwareTarget& target, const ProgramState& state);

// The prefix a module's files are named with: its `TypePrefix`, without "-F72" and what follows
// when a normal start sees an F72 module. The stored prefix keeps the marker, so that the F72
// module stays a type of its own (download-all groups by it) until the next scan.
QString FileTypePrefix(const ProgramState& state, const SlotRecord& record);

struct FirmwareEntry {
    QString key;                  // the name as the directory listing gave it
    QString text;                 // the name in upper case
    QString version;              // VersionFromFileName(text)
    QString description;          // first field of the information file, " " for ".S00", else
                                  // "Special version"
    bool hasInformation = false;  // an information file exists
    int pattern = 0;              // the first search pattern that found it
    QString descriptionColumn() const { return version + " " + description; }
};

struct FirmwareList {
    FirmwareTarget target;
    FirmwareSearch search;
    std::vector<FirmwareEntry> entries;  // empty: `messages` explains why
    QStringList messages;
    // The newest ".S00" entry of the first pattern that found one, else the newest entry of the
    // first pattern; -1 without entries.
    int defaultRow = -1;
};

// Lists the download directory for `search` (the directory need not end with "/").
FirmwareList ListFirmware(const QString& downloadDirectory, const FirmwareTarget& target,
                          const FirmwareSearch& search);

// The firmware list as the window opens it: the search and the listing; clears the chosen
// firmware when nothing is found.
FirmwareList OpenFirmwareList(ProgramState& state, const FirmwareTarget& target);

// What OK (row) or Cancel (nullopt) stores: `SelectedFirmwareFile` = the row's key and
// `SelectedFirmwareVersion` = its version, both empty for Cancel or a messages-only list.
void StoreFirmwareChoice(ProgramState& state, const FirmwareList& list, std::optional<int> row);

// The automatic choice while `QuietMessages` is set: the default row.
void StoreQuietChoice(ProgramState& state, const FirmwareList& list);

// The version text of a firmware name: "P" + digit + "." + two digits, or empty.
QString VersionFromFileName(const QString& name);

// The information file's name: the first character after the first "." becomes "T".
QString InformationFileName(const QString& name);

// The text of "Add. Info" for an entry.
QString AdditionalInformation(const QString& downloadDirectory, const FirmwareEntry& entry);

// Texts of the firmware list window.
inline constexpr const char* kFirmwareListCaption = "Select Firmware Version";
inline constexpr const char* kFirmwareColumn = "Firmware Version";
inline constexpr const char* kDescriptionColumn = "Description";
inline constexpr const char* kSelectTypeWarning =
    "Please select a type or leave the window\rwith the CANCEL button!";
inline constexpr const char* kCancelDownloadQuestion = "Cancel download, are you sure?";
inline constexpr const char* kInfoButtonCaption = "Add. Info";
inline constexpr const char* kInfoButtonToolTip =
    "Additional information for selected firmware file";

}  // namespace quorvel
