#pragma once
// The device inventory as a table for people and as JSON for scripts, each device with its state
// (current, outdated, attention, empty) and the newer firmware the download directory offers.
// Slots are numbered 1-16 as every option and output does; "channel" is the library's 0-15.
#include <nlohmann/json.hpp>
#include <string>

#include "operator/drivers/device_state.h"
#include "operator/shell/device_inventory.h"

namespace quorvel::cli {

nlohmann::json InventoryJson(const DeviceInventory& inventory, const RackStatus& status);
std::string InventoryTable(const DeviceInventory& inventory, const RackStatus& status);

}  // namespace quorvel::cli
