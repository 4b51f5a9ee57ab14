#pragma once
// The menu entries that need no device driver: the scan, the protocol viewer, the rack reset,
// the traffic-log switch and the option toggles.
#include "operator/drivers/command_dispatcher.h"

namespace quorvel {

// The traffic log file the port library writes into the working directory.
inline constexpr const char* kTrafficLogFile = "comlog.log";

void RegisterShellCommands(CommandDispatcher& dispatcher);

// Reset of the rack (`mnuToolsResetVTX` after its protocol line); 0 when the rack was reset.
int ResetRack(DriverContext& context);
// `mnuLogFileActive`: switches the traffic log for the next connection.
int SwitchTrafficLog(DriverContext& context);

}  // namespace quorvel
