#pragma once
// The identifiers of the main window's menu entries and toolbar buttons that start something.
// Front ends bind their entries to these names and hand them to the CommandDispatcher.
namespace quorvel::menu {

// Transfer
inline constexpr const char* kConfigurePort = "mnuOptionsConfig";
inline constexpr const char* kDownloadDirectory = "mnuSetDirDownload";
inline constexpr const char* kScan = "mnuOptionsScan";
inline constexpr const char* kDownload = "mnuTransferDown";
inline constexpr const char* kNodePodDownload = "mnuTransferNodePodDown";
inline constexpr const char* kDownloadIec = "mnuTransferDownIEC";
inline constexpr const char* kUpdateAll = "mnuTransferAll";
inline constexpr const char* kUploadIec = "mnuTransferUpIEC";
inline constexpr const char* kUploadKx33 = "mnuTransferUpKX33";
inline constexpr const char* kUploadAmplifier = "mnuTransferUpRA";
inline constexpr const char* kUploadEeprom = "mnuTransferUpEEPROM";
inline constexpr const char* kKx43Loader1 = "mnuTransferKX43Loader1";
inline constexpr const char* kPanelLoader1 = "mnuTransferDVLoader1";
inline constexpr const char* kPanelBootstrap = "mnuBootloaderDV";
// Tools
inline constexpr const char* kActivateProcessor = "mnuToolsActKX43";
inline constexpr const char* kActivatePanel = "mnuToolsActDV33";
inline constexpr const char* kActivateAmplifiers = "mnuToolsActRAxx";
inline constexpr const char* kSwitchToRc = "mnuToolsSwitch2RC";
inline constexpr const char* kSwitchToRa = "mnuToolsSwitch2RA";
inline constexpr const char* kSubChannels = "mnuToolsChannels51";
inline constexpr const char* kShowLogFile = "mnuShowLogFile";
inline constexpr const char* kInterfaceBaudRate = "mnuToolsIntBaudrate";
inline constexpr const char* kResetRack = "mnuToolsResetVTX";
inline constexpr const char* kResetLoader1 = "mnuToolsResetL1Split";
inline constexpr const char* kClearChannelNames = "mnuToolsClrUcc";
// Options
inline constexpr const char* kScanForLoader1 = "mnuScanForLoader1";
inline constexpr const char* kTrafficLog = "mnuLogFileActive";
inline constexpr const char* kIncludeLoader1 = "mnuIncludeLoader1";
inline constexpr const char* kOnlyLoader1 = "mnuOnlyLoader1";
inline constexpr const char* kSequentialDownload = "mnuSequRA";
// File and help
inline constexpr const char* kExit = "mnuFileExit";
inline constexpr const char* kHelp = "mnuHelp";
inline constexpr const char* kAbout = "mnuHelpAbout";
// Toolbar buttons (by key)
inline constexpr const char* kButtonConfigurePort = "ConfigurePort";
inline constexpr const char* kButtonScan = "ScanSystem";
inline constexpr const char* kButtonDownload = "Download";
inline constexpr const char* kButtonNodePod = "NodePod";
inline constexpr const char* kButtonSelectAll = "SelectAll";
inline constexpr const char* kButtonHelp = "OnlineHelp";

}  // namespace quorvel::menu
