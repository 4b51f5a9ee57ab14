#pragma once
// The menu entries of the amplifier drivers: download (and its IEC and activate variants),
// update all, flash and EEPROM upload, and the maintenance tools. "mnuTransferDown" routes by
// the selection; the processor and panel drivers register under kDownloadProcessor and
// kDownloadPanel.
#include "operator/drivers/command_dispatcher.h"

namespace quorvel {

inline constexpr const char* kDownloadProcessor = "download processor";
inline constexpr const char* kDownloadPanel = "download panel";

void RegisterAmplifierCommands(CommandDispatcher& dispatcher);

// The amplifier download of the selected slots with the firmware the operator chooses for the
// first of them and the option flags of the program state. Returns the driver's result.
int DownloadSelectedAmplifiers(DriverContext& context, bool activateOnly = false, bool iec = false);

}  // namespace quorvel
