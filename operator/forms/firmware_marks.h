#pragma once
// Which amplifier modules the download directory holds newer firmware for, decided by the rule
// the update of all amplifiers uses: the default file of each module's firmware list against the
// module's version.
#include <QString>
#include <array>

#include "operator/shell/device_inventory.h"
#include "operator/shell/program_state.h"

namespace quorvel::forms {

// Per slot the newer firmware's version ("P2.07"); empty when the module is up to date, absent,
// or the directory holds nothing for it.
std::array<QString, DeviceInventory::kSlots> NewerAmplifierFirmware(const ProgramState& state);

}  // namespace quorvel::forms
