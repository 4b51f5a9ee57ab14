#pragma once
// The amplifier maintenance commands on the selected slots: operating mode, sub-channel count,
// interface baud rate, loader-1 reset and clearing the channel names.
#include <optional>
#include <vector>

#include "operator/drivers/driver_context.h"

namespace quorvel {

inline constexpr int kRcMode = 1;
inline constexpr int kRaMode = 2;

// Switches the selected modules to RC (kRcMode) or RA; the rack is reset after a change.
int SwitchOperatingMode(DriverContext& context, const std::vector<int>& amplifierSlots,
                        int targetMode);

// Asks the new sub-channel count (the input box offers the family's default; `value` answers it
// in advance when set) and changes it on the selected modules.
int ChangeSubChannels(DriverContext& context, const std::vector<int>& amplifierSlots);

// The interface baud rate command (19200 baud, even parity).
int SetInterfaceBaudRate(DriverContext& context);

// True when the processor is a KX13 older than P1.33 and an older-series module (controller
// kind 1) is selected: the interface baud rate is set before such a download.
bool BaudRateCommandNeeded(const DeviceInventory& inventory,
                           const std::vector<int>& amplifierSlots);

// The selection's empty slots, types without the operation and mixed sub-channel families are
// refused before anything is sent (kNothingToDo, kNoDevice, kOperationDeclined).
int ResetHiddenLoader1(DriverContext& context, const std::vector<int>& amplifierSlots);
int ClearChannelNames(DriverContext& context, const std::vector<int>& amplifierSlots);

// A module that answered the scan from a loader (its hardware revision could not be read).
bool RunsLoader(const SlotRecord& record);

}  // namespace quorvel
