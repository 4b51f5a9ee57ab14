#pragma once
// The device inventory as a table for people and as JSON for scripts.
#include <nlohmann/json.hpp>
#include <string>

#include "operator/shell/device_inventory.h"

namespace quorvel::cli {

nlohmann::json InventoryJson(const DeviceInventory& inventory);
std::string InventoryTable(const DeviceInventory& inventory);

}  // namespace quorvel::cli
